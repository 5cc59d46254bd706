#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <numeric>
#include <random>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "engine/OptimalSearch.h"
#include "engine/PatternDatabase.h"
#include "engine/PatternStore.h"

using namespace enginetest;

namespace {
// Under the sanitizers' debug build everything runs many times slower: fewer boards, smaller databases.
#ifdef NDEBUG
constexpr bool Optimised = true;
#else
constexpr bool Optimised = false;
#endif

struct TQuietBuild final : TPatternDatabase::TBuildControl {
  bool Progress(double) override { return true; }
};

struct TNoLimit final : TOptimalSearch::TControl {
  bool Continue() override { return true; }
};

std::shared_ptr<const TPatternDatabase> Build(const TPatternLayout& layout) {
  TQuietBuild quiet;
  return TPatternDatabase::Build(layout, quiet);
}

// The game's databases of a shape, built by the first test that needs them and cached in the build's test
// output for the others.
std::shared_ptr<const TPatternDatabase> Cached(int rows, int cols) {
  ::setenv("XDG_CACHE_HOME", QUENDREL_TEST_OUTPUT_DIR "/pattern-cache", 1);
  TQuietBuild quiet;
  return TPatternStore::Obtain(rows, cols, quiet);
}

// A board as one number, four bits a cell, the blank as 0.
uint64_t Pack(const std::vector<int32_t>& cells) {
  uint64_t packed = 0;
  for (size_t i = 0; i < cells.size(); ++i)
    packed |= static_cast<uint64_t>(cells[i] == -1 ? 0 : cells[i]) << (4 * i);
  return packed;
}

std::vector<int32_t> Unpack(uint64_t packed, int count) {
  std::vector<int32_t> cells;
  for (int i = 0; i < count; ++i) {
    const int value = static_cast<int>((packed >> (4 * i)) & 15);
    cells.push_back(value == 0 ? -1 : value);
  }
  return cells;
}

// The boards one move from `packed`.
template <class Visit> void Neighbours(uint64_t packed, int rows, int cols, Visit&& visit) {
  int blank = 0;
  while ((packed >> (4 * blank)) & 15) ++blank;
  const int row = blank / cols, col = blank % cols;
  auto slide = [&](int from) {
    const uint64_t tile = (packed >> (4 * from)) & 15;
    visit((packed & ~(uint64_t{15} << (4 * from))) | tile << (4 * blank));
  };
  if (row + 1 < rows) slide(blank + cols);
  if (col + 1 < cols) slide(blank + 1);
  if (row > 0) slide(blank - cols);
  if (col > 0) slide(blank - 1);
}

// Every board that reaches the goal, with its distance, by breadth-first search from the goal.
std::unordered_map<uint64_t, int> DistanceTable(int rows, int cols) {
  std::unordered_map<uint64_t, int> distance;
  std::deque<uint64_t> queue{Pack(Goal(rows, cols))};
  distance[queue.front()] = 0;
  while (!queue.empty()) {
    const uint64_t board = queue.front();
    queue.pop_front();
    Neighbours(board, rows, cols, [&](uint64_t next) {
      if (distance.emplace(next, distance[board] + 1).second) queue.push_back(next);
    });
  }
  return distance;
}

// The length of a shortest solution: breadth-first from both ends, a layer at a time of the smaller side.
int BidirectionalDistance(const std::vector<int32_t>& start, int rows, int cols) {
  const uint64_t from = Pack(start), to = Pack(Goal(rows, cols));
  if (from == to) return 0;
  std::unordered_map<uint64_t, int> seen[2];
  std::vector<uint64_t> layer[2] = {{from}, {to}};
  seen[0][from] = 0;
  seen[1][to] = 0;
  for (int depth[2] = {0, 0};;) {
    const int side = layer[0].size() <= layer[1].size() ? 0 : 1;
    std::vector<uint64_t> next;
    int best = -1;
    for (const uint64_t board : layer[side])
      Neighbours(board, rows, cols, [&](uint64_t neighbour) {
        const auto met = seen[1 - side].find(neighbour);
        if (met != seen[1 - side].end()) {
          const int length = depth[side] + 1 + met->second;
          if (best < 0 || length < best) best = length;
        }
        if (seen[side].emplace(neighbour, depth[side] + 1).second) next.push_back(neighbour);
      });
    if (best >= 0) return best;
    layer[side].swap(next);
    ++depth[side];
  }
}

// Plays `path` on `cells`: every move must slide a tile next to the blank into it.
std::vector<int32_t> Replay(std::vector<int32_t> cells, int cols, const std::vector<TMove>& path) {
  for (const TMove& move : path) {
    EXPECT_EQ(cells[static_cast<size_t>(move.to)], -1);
    const int distance = std::abs(move.from - move.to);
    EXPECT_TRUE(distance == cols || (distance == 1 && move.from / cols == move.to / cols));
    std::swap(cells[static_cast<size_t>(move.from)], cells[static_cast<size_t>(move.to)]);
  }
  return cells;
}

// Solves `cells` and checks the solution: it reaches the goal in `expected` moves, the estimate does not
// exceed them, and (when `directions`) the moves are recorded as TBoard plays them. `search` runs on
// `database`, again for every board, as quendrel-solve runs its own.
void ExpectShortest(TOptimalSearch& search, const TPatternDatabase& database,
                    const std::vector<int32_t>& cells, int expected, bool directions = true) {
  const int rows = database.Layout().rows, cols = database.Layout().cols;
  TNoLimit control;
  ASSERT_EQ(search.Run(cells.data(), control), TOptimalSearch::Solved);
  ASSERT_EQ(static_cast<int>(search.Path().size()), expected) << rows << "x" << cols;
  EXPECT_LE(search.Estimate(cells.data()), expected);
  EXPECT_EQ(Replay(cells, cols, search.Path()), Goal(rows, cols));
  if (!directions) return;
  TBoard board(rows, cols, cells.data());
  TMove played;
  for (const TMove& move : search.Path()) {
    ASSERT_TRUE(board.MoveTile(move.direction, played));
    EXPECT_EQ(played.from, move.from);
    EXPECT_EQ(played.to, move.to);
  }
}

std::vector<int32_t> RandomSolvable(int rows, int cols, std::mt19937& random) {
  std::vector<int32_t> cells = Goal(rows, cols);
  do std::shuffle(cells.begin(), cells.end(), random);
  while (!IsSolvablePosition(rows, cols, cells.data()));
  return cells;
}
} // namespace

TEST(OptimalSearch, EveryBoardOfTwoByThreeAndTwoByFourIsSolvedInItsDistance) {
  for (const auto& [rows, cols] : {std::pair{2, 3}, {3, 2}, {2, 4}, {4, 2}}) {
    const auto database = Build(TPatternLayout::For(rows, cols));
    const auto table = DistanceTable(rows, cols);
    // Half of all placements reach the goal.
    size_t expectedBoards = 1;
    for (int i = 2; i <= rows * cols; ++i) expectedBoards *= static_cast<size_t>(i);
    ASSERT_EQ(table.size(), expectedBoards / 2);
    TOptimalSearch search(*database);
    // The moves' directions are played on a board object for a sample: it is slow, and every direction
    // turns up there many times.
    size_t n = 0;
    for (const auto& [packed, distance] : table)
      ExpectShortest(search, *database, Unpack(packed, rows * cols), distance, n++ % 32 == 0);
  }
}

TEST(OptimalSearch, RandomThreeByThreeBoardsAreSolvedInTheirDistance) {
  const auto database = Build(TPatternLayout::For(3, 3));
  const auto table = DistanceTable(3, 3);
  ASSERT_EQ(table.size(), 181440u);
  std::mt19937 random(33);
  TOptimalSearch search(*database);
  for (int i = 0; i < (Optimised ? 2000 : 150); ++i) {
    const auto cells = RandomSolvable(3, 3, random);
    ExpectShortest(search, *database, cells, table.at(Pack(cells)), i < 100);
  }
}

TEST(OptimalSearch, ScrambledFourByFourBoardsAreSolvedInTheirDistance) {
  // The game's databases where they build quickly; elsewhere smaller groups, through the same search.
  TPatternLayout small = TPatternLayout::For(4, 4);
  small.groups = {{1, 2, 5, 6}, {3, 4, 7, 8}, {9, 10, 13, 14}, {11, 12, 15}};
  const auto database = Optimised ? Cached(4, 4) : Build(small);
  std::mt19937 random(44);
  const int boards = Optimised ? 24 : 6;
  TOptimalSearch search(*database);
  for (int i = 0; i < boards; ++i) {
    TBoard board(4, 4, nullptr);
    TList moves;
    const int steps = static_cast<int>(random() % 31);
    for (int step = 0; step < steps; ++step) {
      board.GetMoves(&moves);
      const TMove move = *static_cast<TMove*>(moves[static_cast<int>(random() % moves.Count())]);
      TakeMoves(moves);
      board.DoMove(&move);
    }
    const auto cells = CellsOf(board);
    ExpectShortest(search, *database, cells, BidirectionalDistance(cells, 4, 4));
  }
}

TEST(OptimalSearch, EveryShapeUpToSixteenCellsIsSolved) {
  std::mt19937 random(55);
  for (int rows = 2; rows <= 8; ++rows)
    for (int cols = 2; cols <= 8; ++cols) {
      if (!TPatternLayout::Supported(rows, cols)) continue;
      const TPatternLayout layout = TPatternLayout::For(rows, cols);
      std::vector<bool> seen(static_cast<size_t>(rows * cols), false);
      for (size_t g = 0; g < layout.groups.size(); ++g) {
        EXPECT_LE(layout.Entries(g), 6'000'000u);
        for (const uint8_t tile : layout.groups[g]) {
          ASSERT_TRUE(tile >= 1 && tile < rows * cols && !seen[tile]) << rows << "x" << cols;
          seen[tile] = true;
        }
      }
      EXPECT_EQ(std::count(seen.begin(), seen.end(), true), rows * cols - 1) << rows << "x" << cols;
      // The larger shapes' own databases take seconds to build: the search is tried on groups of four.
      TPatternLayout small = layout;
      if (rows * cols > (Optimised ? 10 : 9)) {
        small.groups.clear();
        for (int t = 1; t < rows * cols; ++t) {
          if ((t - 1) % 4 == 0) small.groups.emplace_back();
          small.groups.back().push_back(static_cast<uint8_t>(t));
        }
      }
      const auto database = Build(small);
      // Short scrambles, whose distance a breadth-first search finds quickly.
      TBoard board(rows, cols, nullptr);
      TList moves;
      for (int step = 0; step < 18; ++step) {
        board.GetMoves(&moves);
        const TMove move = *static_cast<TMove*>(moves[static_cast<int>(random() % moves.Count())]);
        TakeMoves(moves);
        board.DoMove(&move);
      }
      const auto cells = CellsOf(board);
      TOptimalSearch search(*database);
      ExpectShortest(search, *database, cells, BidirectionalDistance(cells, rows, cols));
    }
}

TEST(OptimalSearch, HelpersFindTheSameSolutionAsOneThread) {
  // A board that takes millions of boards, so that the search splits its last iterations among threads: one
  // for each set of tables.
  TPatternLayout small = TPatternLayout::For(4, 4);
  small.groups = {{1, 2, 5, 6, 9}, {3, 4, 7, 8, 12}, {10, 11, 13, 14, 15}};
  const auto database = Optimised ? Cached(4, 4) : Build(small);
  const std::vector<int32_t> cells =
      Optimised ? std::vector<int32_t>{3, 7, 5, 13, 4, 15, 6, 11, 1, -1, 9, 14, 8, 2, 12, 10}
                : std::vector<int32_t>{1, 12, 11, 15, 10, 6, 14, 3, -1, 9, 4, 5, 8, 13, 7, 2};
  TNoLimit control;
  TOptimalSearch alone(*database);
  ASSERT_EQ(alone.Run(cells.data(), control), TOptimalSearch::Solved);
  EXPECT_GT(alone.Generated(), 3 << 20) << "the board is too easy to split";

  TOptimalSearch helped(*database);
  std::atomic<bool> over{false};
  std::vector<std::thread> helpers;
  for (int i = 0; i < 3; ++i)
    helpers.emplace_back([&] {
      while (!over) {
        helped.Help();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
    });
  EXPECT_EQ(helped.Run(cells.data(), control), TOptimalSearch::Solved);
  over = true;
  for (auto& helper : helpers) helper.join();
  ASSERT_EQ(helped.Path().size(), alone.Path().size());
  for (size_t i = 0; i < alone.Path().size(); ++i) EXPECT_EQ(helped.Path()[i].from, alone.Path()[i].from);
  // Help after the search is over returns at once.
  helped.Help();

  // A helper that comes before the search begins waits for it instead of leaving it to run alone.
  TOptimalSearch later(*database);
  std::atomic<bool> returned{false};
  std::thread early([&] {
    later.Help();
    returned = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(returned.load()) << "the helper left before the search began";
  EXPECT_EQ(later.Run(cells.data(), control), TOptimalSearch::Solved);
  early.join();
  EXPECT_EQ(later.Path().size(), alone.Path().size());
}

TEST(OptimalSearch, TheGoalNeedsNoMovesAndBadBoardsAreRefused) {
  const auto database = Build(TPatternLayout::For(3, 3));
  TOptimalSearch search(*database);
  TNoLimit control;
  const auto goal = Goal(3, 3);
  EXPECT_EQ(search.Run(goal.data(), control), TOptimalSearch::Solved);
  EXPECT_TRUE(search.Path().empty());
  for (const std::vector<int32_t>& bad : {std::vector<int32_t>{2, 1, 3, 4, 5, 6, 7, 8, -1},   // unsolvable
                                          std::vector<int32_t>{1, 1, 3, 4, 5, 6, 7, 8, -1},   // a tile twice
                                          std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 9, -1},   // no such tile
                                          std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 0}}) { // no blank
    EXPECT_EQ(search.Run(bad.data(), control), TOptimalSearch::Invalid);
    EXPECT_TRUE(search.Path().empty());
  }
}

TEST(OptimalSearch, AControlThatSaysStopEndsTheSearch) {
  TPatternLayout layout;
  layout.rows = layout.cols = 4;
  layout.groups = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15}};
  const auto database = Build(layout);
  struct TStopLater final : TOptimalSearch::TControl {
    bool Continue() override { return ++polls < 3; }
    int polls = 0;
  } stop;
  // A hard board for such small groups: the search polls many times before it could end.
  const std::vector<int32_t> cells = {-1, 12, 9, 13, 15, 11, 10, 14, 3, 7, 2, 5, 4, 8, 6, 1};
  TOptimalSearch search(*database);
  EXPECT_EQ(search.Run(cells.data(), stop), TOptimalSearch::Stopped);
  EXPECT_EQ(stop.polls, 3);
  EXPECT_TRUE(search.Path().empty());
  EXPECT_GT(search.Generated(), 0);
}

TEST(OptimalSearch, SolvabilityFollowsTheParityOfBoardAndBlank) {
  // Odd width: the parity of the tiles' order alone; even width: with the blank's row.
  EXPECT_TRUE(IsSolvablePosition(3, 3, Goal(3, 3).data()));
  EXPECT_FALSE(IsSolvablePosition(3, 3, std::vector<int32_t>{2, 1, 3, 4, 5, 6, 7, 8, -1}.data()));
  EXPECT_TRUE(IsSolvablePosition(3, 3, std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, -1, 8}.data()));
  EXPECT_TRUE(IsSolvablePosition(
      4, 4, std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, 13, 14, 15, 12}.data()));
  EXPECT_FALSE(IsSolvablePosition(
      4, 4, std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, -1}.data()));
  EXPECT_FALSE(IsSolvablePosition(2, 2, std::vector<int32_t>{3, -1, 1, 2}.data()));
  EXPECT_FALSE(IsSolvablePosition(2, 2, std::vector<int32_t>{1, 2, 3, 3}.data()));
  // Agrees with a breadth-first search on every 2x3 placement.
  const auto table = DistanceTable(2, 3);
  std::vector<int32_t> cells = Goal(2, 3);
  std::sort(cells.begin(), cells.end());
  do EXPECT_EQ(IsSolvablePosition(2, 3, cells.data()), table.count(Pack(cells)) == 1);
  while (std::next_permutation(cells.begin(), cells.end()));
}
