#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "classlib/core/Random.h"

using namespace enginetest;

namespace {
std::pair<int32_t, int32_t> Estimate(int rows, int cols, std::vector<int32_t> cells) {
  auto board = MakeBoard(rows, cols, std::move(cells));
  board->Evaluate(Goal(rows, cols).data());
  return {board->manhattan, board->conflicts};
}
} // namespace

TEST(Heuristic, ManhattanPlusGreedyLinearConflicts) {
  EXPECT_EQ(Estimate(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, -1}), std::make_pair(0, 0));
  EXPECT_EQ(Estimate(3, 3, {2, 1, 3, 4, 5, 6, 7, 8, -1}), std::make_pair(2, 2));
  // Tiles 1 and 3 pair; 2 finds no unmarked partner.
  EXPECT_EQ(Estimate(3, 3, {3, 2, 1, 4, 5, 6, 7, 8, -1}), std::make_pair(4, 2));
  EXPECT_EQ(Estimate(3, 3, {7, 2, 3, 4, 5, 6, 1, 8, -1}), std::make_pair(4, 2));
  // Tile 3 pairs with 6 in a column, then 4 with 5 in a row.
  EXPECT_EQ(Estimate(3, 3, {8, 7, 6, 5, 4, 3, 2, 1, -1}), std::make_pair(16, 4));
  EXPECT_EQ(Estimate(3, 3, {-1, 1, 2, 3, 4, 5, 6, 7, 8}), std::make_pair(12, 0));
}

TEST(Heuristic, TilesOutsideTheirGoalLineAndMarkedTilesArePassedOver) {
  // 1 pairs with 2 in the top row; 7 stands in that row but belongs below, so 4 finds no partner; 3 pairs
  // with 7 in column 2.
  EXPECT_EQ(Estimate(4, 4, {2, 1, 7, 4, 5, 6, 3, 8, 9, 10, 11, 12, 13, 14, 15, -1}), std::make_pair(4, 4));
  // 2 pairs with 8 in column 1 and 4 with 6 in row 1; 5 then finds only marked tiles, and 8 is not paired
  // again.
  EXPECT_EQ(Estimate(3, 3, {1, 8, 3, 6, 5, 4, 7, 2, -1}), std::make_pair(8, 4));
  EXPECT_EQ(Estimate(2, 2, {2, 1, 3, -1}), std::make_pair(2, 2));
  EXPECT_EQ(Estimate(2, 2, {3, 2, 1, -1}), std::make_pair(2, 2));
}

TEST(Heuristic, EvaluatingAgainOverwritesBothParts) {
  SRand(99);
  const auto goal = Goal(4, 4);
  for (int run = 0; run < 200; ++run) {
    TBoard board(4, 4, nullptr);
    board.Shuffle();
    board.Evaluate(goal.data());
    const auto first = std::make_pair(board.manhattan, board.conflicts);
    board.manhattan = 1000;
    board.conflicts = 1000;
    board.Evaluate(goal.data());
    EXPECT_EQ(std::make_pair(board.manhattan, board.conflicts), first);
    EXPECT_EQ(board.conflicts % 2, 0);
  }
}

namespace {
// The estimate recomputed by plain scans, independently of the engine.
std::pair<int32_t, int32_t> PlainEstimate(int cols, const std::vector<int32_t>& cells,
                                          const std::vector<int32_t>& goal) {
  const int count = static_cast<int>(cells.size());
  auto find = [&](const std::vector<int32_t>& in, int32_t v) {
    const auto it = std::find(in.begin(), in.end(), v);
    return it == in.end() ? -1 : static_cast<int32_t>(it - in.begin());
  };
  auto has = [](const std::vector<int32_t>& list, int32_t v) {
    return std::find(list.begin(), list.end(), v) != list.end();
  };
  int32_t manhattan = 0, conflicts = 0;
  std::vector<int32_t> rowList, colList;
  for (int32_t t = 1; t < count; ++t) {
    const int32_t gi = find(goal, t), ci = find(cells, t);
    manhattan += std::abs(gi % cols - ci % cols) + std::abs(gi / cols - ci / cols);
    const int32_t gr = gi / cols, gc = gi % cols, cr = ci / cols, cc = ci % cols;
    if (cr == gr && !has(rowList, t)) {
      for (int32_t c = 0; c < cols; ++c) {
        const int32_t u = cells[cr * cols + c];
        if (has(rowList, u) || u == -1 || u == t || find(goal, u) / cols != gr) continue;
        if ((c > cc && u < t) || (c < cc && u > t)) {
          conflicts += 2;
          rowList.insert(rowList.end(), {t, u});
          break;
        }
      }
    }
    if (cc == gc && !has(colList, t)) {
      for (int32_t i = gc; i < count; i += cols) {
        const int32_t u = cells[i];
        if (has(colList, u) || u == -1 || u == t || find(goal, u) % cols != gc) continue;
        if ((i / cols > cr && u < t) || (i / cols < cr && u > t)) {
          conflicts += 2;
          colList.insert(colList.end(), {t, u});
          break;
        }
      }
    }
  }
  return {manhattan, conflicts};
}
} // namespace

TEST(Heuristic, MatchesAPlainRecomputationOnRandomBoards) {
  SRand(2718);
  for (int run = 0; run < 1500; ++run) {
    const int rows = 2 + Rand() % 5, cols = 2 + Rand() % 5;
    auto cells = Goal(rows, cols);
    for (size_t i = cells.size() - 1; i > 0; --i) std::swap(cells[i], cells[Rand() % (i + 1)]);
    if (run % 10 == 0) cells[Rand() % cells.size()] = 100 + run;                    // a value no tile has
    if (run % 10 == 1) cells[Rand() % cells.size()] = cells[Rand() % cells.size()]; // a duplicate
    const auto goal = Goal(rows, cols);
    auto board = MakeBoard(rows, cols, cells);
    board->Evaluate(goal.data());
    ASSERT_EQ(std::make_pair(board->manhattan, board->conflicts), PlainEstimate(cols, cells, goal))
        << rows << "x" << cols << " run " << run;
  }
}
