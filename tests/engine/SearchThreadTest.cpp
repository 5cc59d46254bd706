#include <atomic>
#include <cstdlib>
#include <numeric>
#include <thread>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "classlib/core/Kernel.h"
#include "classlib/core/Random.h"
#include "engine/FibHeap.h"
#include "engine/SearchMemory.h"
#include "engine/SearchThread.h"

using namespace enginetest;

namespace {
struct Outcome {
  std::vector<Move> moves;
  double elapsed;
};

Outcome Solve(const TBoard& board, int32_t maxDepth, std::vector<int32_t> goal) {
  TList result;
  double elapsed = -1;
  TSearchThread thread(const_cast<TBoard*>(&board), const_cast<int32_t*>(goal.data()), &result, &elapsed,
                       maxDepth, true);
  thread.Resume();
  thread.WaitFor();
  EXPECT_FALSE(thread.FatalException());
  return {TakeMoves(result), elapsed};
}

Outcome Solve(const TBoard& board, int32_t maxDepth) {
  return Solve(board, maxDepth, Goal(board.rows, board.cols));
}

Outcome Solve(int rows, int cols, std::vector<int32_t> cells, int32_t maxDepth) {
  return Solve(*MakeBoard(rows, cols, std::move(cells)), maxDepth);
}

// Plays the moves on a copy of `start`, checking that each moves a tile into the blank in its direction.
bool ReachesGoal(const TBoard& start, const std::vector<Move>& moves) {
  TBoard board(start.rows, start.cols, start.cells);
  for (const auto& [from, to, direction] : moves) {
    TMove played;
    if (!board.MoveTile(static_cast<int8_t>(direction), played) || played.from != from || played.to != to)
      return false;
  }
  return board.IsEqual(Goal(start.rows, start.cols).data());
}

const std::vector<int32_t> Chain3x3{6, 4, 7, 8, 5, -1, 3, 2, 1};
// Tiles 14 and 15 exchanged: no sequence of moves reaches the goal.
const std::vector<int32_t> Unsolvable4x4{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, -1};

// Tiles 47 and 48 exchanged on a board too large to pack.
std::vector<int32_t> Unsolvable7x7() {
  std::vector<int32_t> cells = Goal(7, 7);
  std::swap(cells[46], cells[47]);
  return cells;
}

// Six moves from the goal on a board too large to pack: the blank moved up three rows and left three columns.
std::vector<int32_t> SixMoves7x7() {
  std::vector<int32_t> cells = Goal(7, 7);
  for (int blank : {48, 41, 34}) std::swap(cells[blank], cells[blank - 7]);
  for (int blank : {27, 26, 25}) std::swap(cells[blank], cells[blank - 1]);
  return cells;
}

// The pass hook's part: it counts the passes and, at pass `at`, raises the stop itself or holds the worker
// until somebody else has raised it.
struct TPassGate {
  std::atomic<int64_t> passes{0};
  int64_t at = 0;
  bool stopsItself = false;
  std::atomic<bool> reached{false};
};
TPassGate gate;

void AtPass(TSearchThread& thread) {
  if (++gate.passes != gate.at) return;
  if (gate.stopsItself) {
    thread.Terminate();
    return;
  }
  gate.reached = true;
  while (!thread.Terminated()) std::this_thread::yield();
}

struct HookedPasses {
  explicit HookedPasses(int64_t at = 0, bool stopsItself = false) {
    gate.passes = 0;
    gate.at = at;
    gate.stopsItself = stopsItself;
    gate.reached = false;
    TSearchThread::PassHook = AtPass;
  }
  ~HookedPasses() { TSearchThread::PassHook = nullptr; }
};

// Waits until the worker is held at the gate's pass (true), or has ended without reaching it.
bool HeldAtGate(const TSearchThread& thread) {
  while (!gate.reached && !thread.Finished()) std::this_thread::yield();
  return gate.reached;
}

std::atomic<int> allocationsLeft{-1};
void* Limited(size_t size) {
  return allocationsLeft.fetch_sub(1) <= 0 ? nullptr : std::malloc(size);
}
} // namespace

TEST(SearchThread, FindsTheKnownSolutions) {
  const std::vector<Move> five{{0, 3, 1}, {1, 0, 2}, {4, 1, 0}, {7, 4, 0}, {8, 7, 2}};
  const std::vector<int32_t> start{4, 1, 3, -1, 2, 6, 7, 5, 8};
  EXPECT_EQ(Solve(3, 3, start, 10000).moves, five);
  EXPECT_EQ(Solve(3, 3, start, 5).moves, five);
  EXPECT_TRUE(Solve(3, 3, start, 4).moves.empty());

  EXPECT_EQ(Solve(2, 2, {-1, 3, 2, 1}, 10000).moves,
            (std::vector<Move>{{2, 0, 0}, {3, 2, 2}, {1, 3, 1}, {0, 1, 3}, {2, 0, 0}, {3, 2, 2}}));
}

TEST(SearchThread, ImprovingChainOnTheThreeByThreeExample) {
  const std::vector<Move> opening{{8, 5, 0}, {7, 8, 3}, {6, 7, 3}, {3, 6, 1}, {4, 3, 2}, {7, 4, 0}};
  const auto start = MakeBoard(3, 3, Chain3x3);
  int32_t bound = 10000;
  std::vector<size_t> lengths;
  for (;;) {
    const Outcome run = Solve(*start, bound);
    EXPECT_GE(run.elapsed, 0.0);
    if (run.moves.empty()) break;
    lengths.push_back(run.moves.size());
    EXPECT_TRUE(std::equal(opening.begin(), opening.end(), run.moves.begin())) << run.moves.size();
    EXPECT_TRUE(ReachesGoal(*start, run.moves));
    bound = static_cast<int32_t>(run.moves.size()) - 1;
  }
  EXPECT_EQ(lengths, (std::vector<size_t>{61, 53, 49, 43}));
  EXPECT_EQ(bound, 42);
}

TEST(SearchThread, EndsEmptyButTimedWhenNothingIsFound) {
  // Not solvable: the 12 reachable positions are visited and the open list runs dry.
  Outcome run = Solve(2, 2, {3, -1, 1, 2}, 10000);
  EXPECT_TRUE(run.moves.empty());
  EXPECT_GE(run.elapsed, 0.0);

  run = Solve(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, -1}, 10000);
  EXPECT_TRUE(run.moves.empty());
  EXPECT_GE(run.elapsed, 0.0);

  EXPECT_TRUE(Solve(3, 3, Chain3x3, 0).moves.empty());
  EXPECT_TRUE(Solve(2, 2, {1, 2, -1, 3}, 0).moves.empty());
  EXPECT_EQ(Solve(2, 2, {1, 2, -1, 3}, 1).moves, (std::vector<Move>{{3, 2, 2}}));
}

TEST(SearchThread, SolutionsOfRandomBoardsReachTheGoal) {
  SRand(12345);
  for (int run = 0; run < 25; ++run) {
    const int rows = 2 + run % 3, cols = 2 + (run / 3) % 3;
    if (rows * cols > 12 && run % 2) continue;
    TBoard board(rows, cols, nullptr);
    board.Shuffle();
    const Outcome result = Solve(board, 10000);
    if (board.IsEqual(Goal(rows, cols).data())) {
      EXPECT_TRUE(result.moves.empty());
      continue;
    }
    ASSERT_FALSE(result.moves.empty()) << rows << "x" << cols << " run " << run;
    EXPECT_TRUE(ReachesGoal(board, result.moves)) << rows << "x" << cols << " run " << run;
  }
}

TEST(SearchThread, EachRunOfAChainIsStrictlyShorter) {
  SRand(777);
  for (int game = 0; game < 6; ++game) {
    TBoard board(3, 3, nullptr);
    board.Shuffle();
    size_t previous = 10001;
    int32_t bound = 10000;
    for (;;) {
      const Outcome run = Solve(board, bound);
      if (run.moves.empty()) break;
      EXPECT_LT(run.moves.size(), previous);
      EXPECT_LE(run.moves.size(), static_cast<size_t>(bound));
      EXPECT_TRUE(ReachesGoal(board, run.moves));
      previous = run.moves.size();
      bound = static_cast<int32_t>(previous) - 1;
    }
  }
}

TEST(SearchThread, TerminateEndsTheSearchWithAnEmptyResult) {
  // Solvable, but held at its 20th pass of over a hundred until the stop is raised.
  const HookedPasses hold(20);
  const auto board = MakeBoard(3, 3, Chain3x3);
  const auto goal = Goal(3, 3);
  TList result;
  double elapsed = -1;
  TSearchThread thread(board.get(), const_cast<int32_t*>(goal.data()), &result, &elapsed, 10000, true);
  thread.Resume();
  ASSERT_TRUE(HeldAtGate(thread));
  thread.Terminate();
  thread.WaitFor();
  EXPECT_EQ(result.Count(), 0);
  EXPECT_EQ(gate.passes, 20); // the next pass saw the stop
  EXPECT_GE(elapsed, 0.0);
  EXPECT_TRUE(thread.Finished());
}

TEST(SearchThread, DeletingASearchingThreadStopsItAndRunsItsHandler) {
  SetMainThread();
  const HookedPasses hold(20);
  const auto board = MakeBoard(3, 3, Chain3x3);
  const auto goal = Goal(3, 3);
  TList result;
  double elapsed = -1;
  bool handled = false;
  auto thread = std::make_unique<TSearchThread>(board.get(), const_cast<int32_t*>(goal.data()), &result,
                                                &elapsed, 10000, true);
  TObject* const self = thread.get();
  thread->OnTerminate = [&](TObject* sender) {
    handled = true;
    EXPECT_EQ(sender, self);
    EXPECT_EQ(std::this_thread::get_id(), MainThreadID());
  };
  thread->Resume();
  ASSERT_TRUE(HeldAtGate(*thread));
  thread.reset();
  EXPECT_TRUE(handled);
  EXPECT_EQ(result.Count(), 0);
  EXPECT_EQ(gate.passes, 20);
  EXPECT_GE(elapsed, 0.0);
}

TEST(SearchThread, AStopRaisedInThePassThatReachesTheGoalStillDiscardsTheSolution) {
  // A board of each search: the packed one and the one on TBoard objects.
  const auto packed = MakeBoard(3, 3, Chain3x3);
  const auto wide = MakeBoard(7, 7, SixMoves7x7());
  for (const TBoard* board : {packed.get(), wide.get()}) {
    int64_t last;
    {
      const HookedPasses count;
      ASSERT_FALSE(Solve(*board, 10000).moves.empty());
      last = gate.passes;
    }
    // The stop raised in the pass before the last is seen at the head of the last; raised in the last, it
    // comes after the goal was taken from the open list.
    for (int64_t at : {last - 1, last}) {
      const HookedPasses stop(at, true);
      EXPECT_TRUE(Solve(*board, 10000).moves.empty()) << board->count << " cells, stopped at pass " << at;
      EXPECT_EQ(gate.passes, at);
    }
  }
}

TEST(SearchThread, BoardsThatAreNoPositionAreRefused) {
  // Without a blank no move is defined; these ran outside the cells.
  std::vector<int32_t> full3x3(9), full7x7(49);
  std::iota(full3x3.begin(), full3x3.end(), 1);
  std::iota(full7x7.begin(), full7x7.end(), 1);
  for (const auto& [rows, cols, cells] : {std::tuple{3, 3, full3x3},
                                          {7, 7, full7x7},
                                          {3, 3, std::vector<int32_t>{-1, 2, 3, 4, 5, 6, 7, 8, -1}},
                                          {2, 2, std::vector<int32_t>{1, 1, 2, -1}},
                                          {2, 2, std::vector<int32_t>{1, 0, 2, -1}}}) {
    const Outcome run = Solve(rows, cols, cells, 10000);
    EXPECT_TRUE(run.moves.empty()) << rows << "x" << cols;
    EXPECT_GE(run.elapsed, 0.0);
  }
  // Nor can any position reach a goal without a blank.
  const Outcome run = Solve(*MakeBoard(7, 7, SixMoves7x7()), 10000, full7x7);
  EXPECT_TRUE(run.moves.empty());
  EXPECT_GE(run.elapsed, 0.0);
}

TEST(SearchThread, DeletingAThreadThatNeverRanStillEndsItProperly) {
  const auto board = MakeBoard(3, 3, Chain3x3);
  const auto goal = Goal(3, 3);
  TList result;
  double elapsed = -1;
  { TSearchThread thread(board.get(), const_cast<int32_t*>(goal.data()), &result, &elapsed, 10000, true); }
  EXPECT_EQ(result.Count(), 0);
  EXPECT_GE(elapsed, 0.0);
}

TEST(SearchThread, MemoryRefusedEndsTheSearchLikeAnExhaustedOne) {
  // Boards of 49 cells take the search on TBoard objects, whose open list can be made to fail.
  TFibHeap::AllocateBlock = Limited;
  for (int budget : {0, 1, 2, 5}) {
    allocationsLeft = budget;
    const Outcome run = Solve(7, 7, Unsolvable7x7(), 10000);
    EXPECT_TRUE(run.moves.empty()) << budget;
    EXPECT_GE(run.elapsed, 0.0) << budget;
  }
  // Solvable in one move, but not even the start board finds room.
  allocationsLeft = 1;
  std::vector<int32_t> oneMove = Goal(7, 7);
  std::swap(oneMove[47], oneMove[48]);
  Outcome run = Solve(7, 7, oneMove, 10000);
  TFibHeap::AllocateBlock = nullptr;
  EXPECT_TRUE(run.moves.empty());
  EXPECT_GE(run.elapsed, 0.0);
  EXPECT_EQ(Solve(7, 7, oneMove, 10000).moves, (std::vector<Move>{{48, 47, 2}}));

  // A degree array that cannot grow.
  TFibHeap::ResizeBlock = [](void* block, size_t size) -> void* {
    return block ? nullptr : std::malloc(size);
  };
  run = Solve(7, 7, Unsolvable7x7(), 10000);
  TFibHeap::ResizeBlock = nullptr;
  EXPECT_TRUE(run.moves.empty());
  EXPECT_GE(run.elapsed, 0.0);

  // Packed boards, with the system refusing memory beyond the first few thousand boards.
  TSearchBlock::CommitCeiling = size_t{1} << 20;
  run = Solve(4, 4, Unsolvable4x4, 10000);
  TSearchBlock::CommitCeiling = SIZE_MAX;
  EXPECT_TRUE(run.moves.empty());
  EXPECT_GE(run.elapsed, 0.0);
}
