#include <cstdlib>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"

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
  std::srand(99);
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
