#include <atomic>
#include <chrono>
#include <thread>
#include <unordered_map>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "classlib/core/Random.h"
#include "engine/ImprovingSearch.h"

using namespace enginetest;
using Clock = std::chrono::steady_clock;

namespace {
// Debug builds, with or without the sanitizers, run the search many times slower.
#ifdef NDEBUG
constexpr int Slowdown = 1;
#else
constexpr int Slowdown = 20;
#endif

std::vector<int32_t> Scrambled(int rows, int cols, uint32_t seed) {
  SRand(seed);
  TBoard board(rows, cols, nullptr);
  board.Shuffle();
  return CellsOf(board);
}

// Whether the moves, played one by one as the game plays them, take `cells` to the goal.
bool PlaysToTheGoal(int rows, int cols, const std::vector<int32_t>& cells, const std::vector<TMove>& moves) {
  TBoard board(rows, cols, cells.data());
  for (const TMove& move : moves) {
    TMove played;
    if (!board.MoveTile(move.direction, played) || played.from != move.from || played.to != move.to)
      return false;
  }
  return board.IsEqual(Goal(rows, cols).data());
}

struct SearchRun {
  TImprovingResult result;
  std::vector<std::vector<TMove>> reports;
};

SearchRun Search(int rows, int cols, const std::vector<int32_t>& cells, TImprovingLimits limits) {
  SearchRun run;
  run.result = ImprovingSearch(rows, cols, cells.data(), limits,
                               [&](const std::vector<TMove>& moves) { run.reports.push_back(moves); });
  return run;
}

// The search stopped once it has reported a solution and `time` has passed, however loaded the machine.
SearchRun SearchAWhile(int rows, int cols, const std::vector<int32_t>& cells, std::chrono::milliseconds time,
                       size_t memoryBytes = 0) {
  SearchRun run;
  const Clock::time_point until = Clock::now() + time;
  TImprovingLimits limits;
  limits.memoryBytes = memoryBytes;
  limits.stopRequested = [&] { return !run.reports.empty() && Clock::now() >= until; };
  run.result = ImprovingSearch(rows, cols, cells.data(), limits,
                               [&](const std::vector<TMove>& moves) { run.reports.push_back(moves); });
  EXPECT_TRUE(run.result.end == TImprovingEnd::Stopped || run.result.end == TImprovingEnd::Finished);
  return run;
}

bool SameMoves(const std::vector<TMove>& a, const std::vector<TMove>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TMove& x, const TMove& y) {
    return x.from == y.from && x.to == y.to && x.direction == y.direction;
  });
}

// Every report plays to the goal and is shorter than the one before; the result is the last report.
void ExpectSoundReports(int rows, int cols, const std::vector<int32_t>& cells, const SearchRun& run) {
  ASSERT_TRUE(run.result.found);
  ASSERT_FALSE(run.reports.empty());
  for (size_t i = 0; i < run.reports.size(); ++i) {
    EXPECT_TRUE(PlaysToTheGoal(rows, cols, cells, run.reports[i])) << "report " << i;
    if (i > 0) {
      EXPECT_LT(run.reports[i].size(), run.reports[i - 1].size()) << "report " << i;
    }
  }
  EXPECT_TRUE(SameMoves(run.result.solution, run.reports.back()));
}

// A board as 4 bits a cell, the first cell highest: the tile, or 0 for the blank.
uint64_t Code(const std::vector<int32_t>& cells) {
  uint64_t key = 0;
  for (const int32_t v : cells) key = key << 4 | static_cast<uint64_t>(v == -1 ? 0 : v);
  return key;
}

// Distances to the goal of every board of the shape, by a breadth-first search backwards from it.
std::unordered_map<uint64_t, int> GoalDistances(int rows, int cols) {
  const int count = rows * cols;
  const auto shift = [count](int cell) { return 4 * (count - 1 - cell); };
  std::unordered_map<uint64_t, int> distance{{Code(Goal(rows, cols)), 0}};
  std::vector<uint64_t> layer{Code(Goal(rows, cols))};
  for (int d = 1; !layer.empty(); ++d) {
    std::vector<uint64_t> next;
    for (const uint64_t key : layer) {
      int b = 0;
      while ((key >> shift(b) & 15) != 0) ++b;
      const int r = b / cols, c = b % cols;
      for (const int f : {r > 0 ? b - cols : -1, r < rows - 1 ? b + cols : -1, c > 0 ? b - 1 : -1,
                          c < cols - 1 ? b + 1 : -1}) {
        if (f < 0) continue;
        const uint64_t tile = key >> shift(f) & 15;
        const uint64_t child = key - (tile << shift(f)) + (tile << shift(b));
        if (distance.emplace(child, d).second) next.push_back(child);
      }
    }
    layer.swap(next);
  }
  return distance;
}
} // namespace

TEST(ImprovingSearch, ReportsEverShorterSolutionsThatPlayToTheGoal) {
  const struct {
    int rows, cols;
    uint32_t seed;
  } boards[] = {{4, 5, 11}, {5, 5, 12}, {6, 6, 13}, {3, 6, 14}};
  for (const auto& b : boards) {
    SCOPED_TRACE(testing::Message() << b.rows << "x" << b.cols);
    const auto cells = Scrambled(b.rows, b.cols, b.seed);
    ExpectSoundReports(b.rows, b.cols, cells,
                       SearchAWhile(b.rows, b.cols, cells, std::chrono::milliseconds(300)));
  }
}

TEST(ImprovingSearch, FindsTheShortestSolutionOfSmallBoards) {
  // Every board of 2 x 3 and 3 x 2, and seeded 3 x 3 ones: their solutions fit in one stretch that the
  // shortener re-solves exactly. A few megabytes keep the beams narrow, and the test quick.
  TImprovingLimits limits;
  limits.memoryBytes = size_t{4} << 20;
  for (const auto& [rows, cols] : {std::pair{2, 3}, std::pair{3, 2}}) {
    const auto distances = GoalDistances(rows, cols);
    std::vector<int32_t> cells = Goal(rows, cols);
    std::sort(cells.begin(), cells.end());
    // Debug builds, slow, try every Slowdown-th board.
    int checked = 0, seen = 0;
    do {
      if (seen++ % Slowdown != 0) continue;
      const SearchRun run = Search(rows, cols, cells, limits);
      const auto known = distances.find(Code(cells));
      if (known == distances.end()) {
        EXPECT_EQ(run.result.end, TImprovingEnd::Unsolvable);
        continue;
      }
      ++checked;
      ASSERT_EQ(run.result.end, TImprovingEnd::Finished);
      ASSERT_EQ(static_cast<int>(run.result.solution.size()), known->second);
      ASSERT_TRUE(PlaysToTheGoal(rows, cols, cells, run.result.solution));
    } while (std::next_permutation(cells.begin(), cells.end()));
    EXPECT_GE(checked, 360 / Slowdown / 2);
    if (Slowdown == 1) {
      EXPECT_EQ(checked, 360);
    }
  }
  const auto distances = GoalDistances(3, 3);
  for (uint32_t seed = 1; seed <= 12 / Slowdown + 2; ++seed) {
    const auto cells = Scrambled(3, 3, seed);
    const SearchRun run = Search(3, 3, cells, limits);
    EXPECT_EQ(static_cast<int>(run.result.solution.size()), distances.at(Code(cells))) << "seed " << seed;
  }
}

TEST(ImprovingSearch, StopsPromptlyKeepingTheBestFound) {
  const auto cells = Scrambled(6, 6, 21);
  std::atomic<bool> stop{false};
  std::atomic<bool> reported{false};
  SearchRun run;
  Clock::time_point returned;
  std::thread worker([&] {
    TImprovingLimits limits;
    limits.stopRequested = [&] { return stop.load(); };
    run.result = ImprovingSearch(6, 6, cells.data(), limits, [&](const std::vector<TMove>& moves) {
      run.reports.push_back(moves);
      reported = true;
    });
    returned = Clock::now();
  });
  while (!reported) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const Clock::time_point asked = Clock::now();
  stop = true;
  worker.join();
  // The search polls every few thousand boards; the margin is for a loaded machine.
  EXPECT_LT(returned - asked, std::chrono::milliseconds(100 * Slowdown));
  EXPECT_EQ(run.result.end, TImprovingEnd::Stopped);
  ExpectSoundReports(6, 6, cells, run);

  // Told to stop before it starts, it does nothing; past its deadline, likewise.
  TImprovingLimits stopped;
  stopped.stopRequested = [] { return true; };
  const SearchRun none = Search(5, 5, Scrambled(5, 5, 22), stopped);
  EXPECT_EQ(none.result.end, TImprovingEnd::Stopped);
  EXPECT_FALSE(none.result.found);
  EXPECT_TRUE(none.reports.empty());
  TImprovingLimits late;
  late.deadline = Clock::now() - std::chrono::seconds(1);
  EXPECT_EQ(Search(5, 5, Scrambled(5, 5, 22), late).result.end, TImprovingEnd::OutOfTime);

  // A deadline passing mid-search ends it as promptly, with what it found by then.
  const auto board = Scrambled(6, 6, 23);
  TImprovingLimits soon;
  soon.deadline = Clock::now() + std::chrono::milliseconds(200);
  const SearchRun cut = Search(6, 6, board, soon);
  EXPECT_LT(Clock::now() - soon.deadline, std::chrono::milliseconds(100 * Slowdown));
  EXPECT_EQ(cut.result.end, TImprovingEnd::OutOfTime);
  if (cut.result.found) ExpectSoundReports(6, 6, board, cut);
}

TEST(ImprovingSearch, RepeatsItselfOnTheSameBoard) {
  // Cut short after the same number of reports, two runs have reported the same solutions.
  const auto cells = Scrambled(5, 5, 31);
  std::vector<std::vector<TMove>> runs[2];
  for (auto& reports : runs) {
    TImprovingLimits limits;
    limits.memoryBytes = size_t{64} << 20;
    limits.stopRequested = [&reports] { return reports.size() >= 4; };
    ImprovingSearch(5, 5, cells.data(), limits,
                    [&](const std::vector<TMove>& moves) { reports.push_back(moves); });
  }
  ASSERT_EQ(runs[0].size(), runs[1].size());
  EXPECT_GE(runs[0].size(), 2u);
  for (size_t i = 0; i < runs[0].size(); ++i)
    EXPECT_TRUE(SameMoves(runs[0][i], runs[1][i])) << "report " << i;
}

TEST(ImprovingSearch, KeepsWithinItsMemoryBound) {
  const auto cells = Scrambled(6, 6, 41);
  for (const size_t bound : {size_t{3} << 20, size_t{256} << 10}) {
    SCOPED_TRACE(bound);
    const SearchRun run = SearchAWhile(6, 6, cells, std::chrono::milliseconds(300), bound);
    EXPECT_LE(run.result.peakBytes, bound);
    ExpectSoundReports(6, 6, cells, run);
  }
  // Too little room for any search: no solution, and nothing beyond the bound.
  TImprovingLimits starving;
  starving.memoryBytes = 1000;
  const SearchRun starved = Search(6, 6, cells, starving);
  EXPECT_FALSE(starved.result.found);
  EXPECT_TRUE(starved.reports.empty());
  EXPECT_LE(starved.result.peakBytes, 1000u);
  EXPECT_EQ(starved.result.end, TImprovingEnd::Finished);
}

TEST(ImprovingSearch, SolvedBoardsUnsolvableBoardsAndWhatIsNoBoard) {
  const SearchRun solved = Search(5, 5, Goal(5, 5), {});
  EXPECT_EQ(solved.result.end, TImprovingEnd::Finished);
  EXPECT_TRUE(solved.result.found);
  EXPECT_TRUE(solved.result.solution.empty());
  ASSERT_EQ(solved.reports.size(), 1u);
  EXPECT_TRUE(solved.reports[0].empty());

  // Two tiles exchanged; on a line, tiles out of order.
  std::vector<int32_t> swapped = Goal(5, 5);
  std::swap(swapped[0], swapped[1]);
  const SearchRun unsolvable = Search(5, 5, swapped, {});
  EXPECT_EQ(unsolvable.result.end, TImprovingEnd::Unsolvable);
  EXPECT_FALSE(unsolvable.result.found);
  EXPECT_TRUE(unsolvable.reports.empty());
  EXPECT_EQ(Search(1, 4, {1, 3, 2, -1}, {}).result.end, TImprovingEnd::Unsolvable);
  const SearchRun line = Search(1, 4, {1, -1, 2, 3}, {});
  EXPECT_EQ(line.result.solution.size(), 2u);
  EXPECT_TRUE(PlaysToTheGoal(1, 4, {1, -1, 2, 3}, line.result.solution));

  const auto badBoard = [](int rows, int cols, std::vector<int32_t> cells) {
    return Search(rows, cols, cells, {}).result.end == TImprovingEnd::BadBoard;
  };
  EXPECT_TRUE(badBoard(2, 2, {1, 2, 2, -1}));  // a tile twice
  EXPECT_TRUE(badBoard(2, 2, {1, 2, 4, -1}));  // no such tile
  EXPECT_TRUE(badBoard(2, 2, {1, 2, 3, -2}));  // no blank
  EXPECT_TRUE(badBoard(2, 2, {1, 2, -1, -1})); // two blanks
  EXPECT_TRUE(badBoard(2, 2, {1, 2, 0, -1}));  // two blanks, written both ways
  // 0 is a blank too, as boards are written outside the game.
  const SearchRun zero = Search(2, 2, {1, 0, 3, 2}, {});
  EXPECT_EQ(zero.result.solution.size(), 1u);
  EXPECT_TRUE(PlaysToTheGoal(2, 2, {1, -1, 3, 2}, zero.result.solution));
  EXPECT_TRUE(badBoard(1, 1, {-1}));
  EXPECT_TRUE(badBoard(0, 4, {1, 2, 3, -1}));
  EXPECT_TRUE(badBoard(7, 7, Goal(7, 7)));
  EXPECT_EQ(ImprovingSearch(2, 2, nullptr, {}).end, TImprovingEnd::BadBoard);
}
