// The search on TBoard objects against the packed one on the same boards: both must make the same passes,
// store and expand the same boards and return the same moves at every depth and memory bound; and where each
// bound, a stop or a lack of room falls, checked on each search by itself.
#include <cstdlib>
#include <ostream>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "classlib/core/Random.h"
#include "engine/FibHeap.h"
#include "engine/SearchMemory.h"
#include "engine/SearchThread.h"

using namespace enginetest;

namespace {
// Counts the passes and stops the search at pass `stopAt`, if given.
class TPassCounter final : public TPackedSearch::TControl {
 public:
  explicit TPassCounter(int64_t stopAt = 0) : stopAt(stopAt) {}
  bool Pass() override { return ++passes != stopAt; }
  int64_t passes = 0;
  int64_t stopAt;
};

struct SearchRun {
  TPackedSearch::TOutcome outcome;
  std::vector<Move> path;
  int32_t stored;
  int64_t expanded;
  int64_t passes;
  bool operator==(const SearchRun&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SearchRun& run) {
  return out << "outcome " << run.outcome << ", " << run.path.size() << " moves, stored " << run.stored
             << ", expanded " << run.expanded << ", passes " << run.passes;
}

std::vector<Move> MovesOf(const std::vector<TMove>& path) {
  std::vector<Move> moves;
  for (const TMove& m : path) moves.emplace_back(m.from, m.to, m.direction);
  return moves;
}

template <class Search> SearchRun Finish(Search& search, TPassCounter& control) {
  const TPackedSearch::TOutcome outcome = search.Run(control);
  return {outcome, outcome == TPackedSearch::Solved ? MovesOf(search.Path()) : std::vector<Move>{},
          search.Stored(), search.Expanded(), control.passes};
}

const int32_t NoLimit = 1 << 30;

SearchRun Packed(const TBoard& start, int32_t maxDepth, int32_t limit = NoLimit, int64_t stopAt = 0) {
  const auto goal = Goal(start.rows, start.cols);
  auto search = TPackedSearch::Create(start, goal.data(), maxDepth, limit);
  if (!search) {
    ADD_FAILURE() << "not packable";
    return {};
  }
  TPassCounter control(stopAt);
  return Finish(*search, control);
}

SearchRun Boards(const TBoard& start, int32_t maxDepth, int32_t limit = NoLimit, int64_t stopAt = 0) {
  const auto goal = Goal(start.rows, start.cols);
  TBoardSearch search(start, goal.data(), maxDepth, limit);
  TPassCounter control(stopAt);
  return Finish(search, control);
}

// Both searches on the same board and bounds; they must agree in everything.
SearchRun Both(const TBoard& start, int32_t maxDepth, int32_t limit = NoLimit, int64_t stopAt = 0) {
  const SearchRun packed = Packed(start, maxDepth, limit, stopAt);
  EXPECT_EQ(Boards(start, maxDepth, limit, stopAt), packed)
      << start.rows << "x" << start.cols << " depth " << maxDepth << " limit " << limit << " stop " << stopAt;
  return packed;
}

const std::vector<int32_t> FiveMoves{4, 1, 3, -1, 2, 6, 7, 5, 8};
const std::vector<int32_t> Chain3x3{6, 4, 7, 8, 5, -1, 3, 2, 1};
// Tiles 7 and 8 exchanged: the search visits the 181440 positions reachable and never finds the goal.
const std::vector<int32_t> Unsolvable3x3{1, 2, 3, 4, 5, 6, 8, 7, -1};

// Every board size the game offers, and seeded scrambles of the smaller ones.
std::vector<std::unique_ptr<TBoard>> SampleBoards() {
  std::vector<std::unique_ptr<TBoard>> boards;
  boards.push_back(MakeBoard(3, 3, FiveMoves));
  boards.push_back(MakeBoard(3, 3, Chain3x3));
  boards.push_back(MakeBoard(2, 2, {-1, 3, 2, 1}));
  boards.push_back(MakeBoard(2, 2, {3, -1, 1, 2}));
  boards.push_back(MakeBoard(3, 3, Goal(3, 3)));
  SRand(4242);
  for (const auto& [rows, cols] : {std::pair{2, 3}, {3, 2}, {2, 4}, {4, 2}, {3, 3}}) {
    boards.push_back(std::make_unique<TBoard>(rows, cols, nullptr));
    boards.back()->Shuffle();
  }
  return boards;
}
} // namespace

TEST(BoardSearch, AgreesWithThePackedSearchAtEveryDepthBound) {
  // Below its solution's length a bound can leave most of a board's positions to search: a memory bound of
  // a thousand boards keeps each run short.
  const int32_t limit = 1000 * 48;
  for (const auto& board : SampleBoards()) {
    const SearchRun unbounded = Both(*board, 10000);
    const int32_t length = static_cast<int32_t>(unbounded.path.size());
    for (int32_t depth = 0; depth <= length + 1; ++depth) Both(*board, depth, limit);
  }
  // A board is expanded only while its depth is below the bound.
  const auto start = MakeBoard(3, 3, FiveMoves);
  const std::vector<Move> five{{0, 3, 1}, {1, 0, 2}, {4, 1, 0}, {7, 4, 0}, {8, 7, 2}};
  EXPECT_EQ(Boards(*start, 5).path, five);
  EXPECT_EQ(Boards(*start, 4).outcome, TPackedSearch::Exhausted);
  EXPECT_EQ(Boards(*start, 0).expanded, 0);
  EXPECT_EQ(Boards(*start, 1).expanded, 1);
}

TEST(BoardSearch, AgreesWithThePackedSearchAtEveryMemoryBound) {
  // The limit on and just above every multiple of 48, up to the whole search.
  for (const auto& board : SampleBoards()) {
    const int32_t all = Both(*board, 10000).stored;
    if (all > 1000) continue;
    for (int32_t boards = 0; boards <= all + 1; ++boards)
      for (int32_t offset : {0, 1}) Both(*board, 10000, boards * 48 + offset);
  }
}

TEST(BoardSearch, ExpansionEndsExactlyWhereTheStoredBoardsReachTheLimit) {
  const auto board = MakeBoard(3, 3, Unsolvable3x3);
  for (int64_t passes : {1, 2, 3, 10, 100}) {
    // The number of boards stored once `passes` boards have been expanded, found by stopping the search
    // right after.
    const SearchRun before = Both(*board, 10000, NoLimit, passes + 1);
    ASSERT_EQ(before.outcome, TPackedSearch::Stopped);
    ASSERT_EQ(before.expanded, passes);
    const SearchRun next = Both(*board, 10000, NoLimit, passes + 2);

    // A limit of exactly that many boards times 48 allows no further expansion; one byte more allows one.
    SearchRun run = Both(*board, 10000, before.stored * 48);
    EXPECT_EQ(run.outcome, TPackedSearch::Exhausted);
    EXPECT_EQ(run.expanded, passes);
    EXPECT_EQ(run.stored, before.stored);
    run = Both(*board, 10000, before.stored * 48 + 1);
    EXPECT_EQ(run.expanded, passes + 1);
    EXPECT_EQ(run.stored, next.stored);
  }
}

TEST(BoardSearch, AStopEndsTheSearchAtThePassThatSeesIt) {
  const auto board = MakeBoard(3, 3, Chain3x3);
  const SearchRun unbounded = Both(*board, 10000);
  ASSERT_EQ(unbounded.outcome, TPackedSearch::Solved);
  for (int64_t stopAt : {int64_t{1}, int64_t{2}, int64_t{30}, unbounded.passes}) {
    const SearchRun run = Both(*board, 10000, NoLimit, stopAt);
    EXPECT_EQ(run.outcome, TPackedSearch::Stopped) << stopAt;
    EXPECT_EQ(run.passes, stopAt);
    EXPECT_EQ(run.expanded, stopAt - 1);
    EXPECT_TRUE(run.path.empty());
  }
  EXPECT_EQ(Both(*board, 10000, NoLimit, unbounded.passes + 1), unbounded);
}

namespace {
// Lets the open list take its header and its first block of entries, and records the pass in which it was
// refused the next.
int allocationsLeft = -1;
const TPassCounter* watched = nullptr;
int64_t refusedInPass = 0;
void* FewBlocks(size_t size) {
  if (allocationsLeft-- > 0) return std::malloc(size);
  if (!refusedInPass) refusedInPass = watched->passes;
  return nullptr;
}
} // namespace

TEST(BoardSearch, RunningOutOfRoomEndsTheSearchInThatPass) {
  const auto board = MakeBoard(3, 3, Unsolvable3x3);
  const auto goal = Goal(3, 3);

  // The open list cannot hold a new board: the search on TBoard objects makes no further pass.
  TBoardSearch search(*board, goal.data(), 10000, NoLimit);
  TPassCounter control;
  allocationsLeft = 2;
  watched = &control;
  TFibHeap::AllocateBlock = FewBlocks;
  const TPackedSearch::TOutcome outcome = search.Run(control);
  TFibHeap::AllocateBlock = nullptr;
  EXPECT_EQ(outcome, TPackedSearch::Exhausted);
  EXPECT_GT(refusedInPass, 100);
  EXPECT_EQ(control.passes, refusedInPass);
  EXPECT_EQ(search.Expanded(), refusedInPass);

  // The system refuses the packed search more memory: it ends in the pass that asked for it, so the same
  // search stopped one pass earlier has stored no more, and one stopped a pass later at least as much.
  ReleaseSearchBlocks();
  TSearchBlock::CommitCeiling = size_t{1} << 20;
  const SearchRun refused = Packed(*board, 10000);
  TSearchBlock::CommitCeiling = SIZE_MAX;
  EXPECT_EQ(refused.outcome, TPackedSearch::Exhausted);
  EXPECT_LT(refused.stored, 181440);
  EXPECT_EQ(refused.expanded, refused.passes);
  EXPECT_LE(Packed(*board, 10000, NoLimit, refused.passes).stored, refused.stored);
  EXPECT_GE(Packed(*board, 10000, NoLimit, refused.passes + 1).stored, refused.stored);
}

TEST(BoardSearch, RefusesBoardsThatAreNoPosition) {
  const auto goal = Goal(3, 3);
  for (const std::vector<int32_t>& cells : {std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9},
                                            {1, 2, 3, 4, 5, 6, 7, -1, -1},
                                            {1, 1, 3, 4, 5, 6, 7, 8, -1},
                                            {0, 2, 3, 4, 5, 6, 7, 8, -1}}) {
    const auto board = MakeBoard(3, 3, cells);
    TBoardSearch search(*board, goal.data(), 10000, NoLimit);
    TPassCounter control;
    EXPECT_EQ(search.Run(control), TPackedSearch::Exhausted);
    EXPECT_EQ(control.passes, 0);
    EXPECT_EQ(search.Stored(), 0);
  }
  // A goal without a blank cannot be reached from any position.
  std::vector<int32_t> blankless = goal;
  blankless[8] = 9;
  const auto start = MakeBoard(3, 3, FiveMoves);
  TBoardSearch search(*start, blankless.data(), 10000, NoLimit);
  TPassCounter control;
  EXPECT_EQ(search.Run(control), TPackedSearch::Exhausted);
  EXPECT_EQ(control.passes, 0);
}
