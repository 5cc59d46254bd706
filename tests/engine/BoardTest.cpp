#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "classlib/core/Random.h"

using namespace enginetest;

TEST(Board, NullCellsGiveTheGoalOrder) {
  TBoard board(3, 3, nullptr);
  EXPECT_EQ(CellsOf(board), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, -1}));
  EXPECT_EQ(board.count, 9);
  EXPECT_EQ(board.depth, 0);
  EXPECT_EQ(board.parent, nullptr);
  EXPECT_TRUE(board.IsEqual(Goal(3, 3).data()));

  TBoard wide(3, 5, nullptr);
  EXPECT_EQ(wide.count, 15);
  EXPECT_EQ(wide.cells[13], 14);
  EXPECT_EQ(wide.cells[14], -1);
}

TEST(Board, LegalMovesComeUpLeftDownRight) {
  EXPECT_EQ(MovesOf(TBoard(3, 3, nullptr)), (std::vector<Move>{{5, 8, 1}, {7, 8, 3}}));
  EXPECT_EQ(MovesOf(*MakeBoard(3, 3, {1, 2, 3, 4, -1, 5, 6, 7, 8})),
            (std::vector<Move>{{7, 4, 0}, {5, 4, 2}, {1, 4, 1}, {3, 4, 3}}));
  EXPECT_EQ(MovesOf(TBoard(2, 2, nullptr)), (std::vector<Move>{{1, 3, 1}, {2, 3, 3}}));
  // Edge cells of a rectangular board: blank top middle of 2x3, then left middle of 3x2.
  EXPECT_EQ(MovesOf(*MakeBoard(2, 3, {1, -1, 2, 3, 4, 5})),
            (std::vector<Move>{{4, 1, 0}, {2, 1, 2}, {0, 1, 3}}));
  EXPECT_EQ(MovesOf(*MakeBoard(3, 2, {1, 2, -1, 3, 4, 5})),
            (std::vector<Move>{{4, 2, 0}, {3, 2, 2}, {0, 2, 1}}));
}

TEST(Board, MoveTileTakesTheMatchingDirectionOnly) {
  TBoard board(4, 4, nullptr);
  TMove move{-7, -7, -7};
  EXPECT_FALSE(board.MoveTile(0, move));
  EXPECT_EQ(move.from, -7);
  EXPECT_TRUE(board.IsEqual(Goal(4, 4).data()));

  EXPECT_TRUE(board.MoveTile(3, move));
  EXPECT_EQ(move.from, 14);
  EXPECT_EQ(move.to, 15);
  EXPECT_EQ(move.direction, 3);
  EXPECT_EQ(board.cells[15], 15);
  EXPECT_EQ(board.cells[14], -1);
}

TEST(Board, ReverseMoveUndoesAMove) {
  const TMove move{7, 4, 0};
  const TMove back = ReverseMove(move);
  EXPECT_EQ(back.from, 4);
  EXPECT_EQ(back.to, 7);
  EXPECT_EQ(back.direction, 1);
  for (int8_t d = 0; d < 4; ++d) {
    const TMove twice = ReverseMove(ReverseMove(TMove{2, 3, d}));
    EXPECT_EQ(std::tie(twice.from, twice.to, twice.direction), std::make_tuple(2, 3, d));
  }
  EXPECT_EQ(ReverseMove(TMove{1, 0, 2}).direction, 3);
  EXPECT_EQ(ReverseMove(TMove{0, 1, 3}).direction, 2);

  auto board = MakeBoard(3, 3, {1, 2, 3, 4, -1, 5, 6, 7, 8});
  const auto before = CellsOf(*board);
  board->DoMove(&move);
  EXPECT_NE(CellsOf(*board), before);
  board->DoMove(&back);
  EXPECT_EQ(CellsOf(*board), before);
}

TEST(Board, IndexOfFindsTheFirstOccurrenceOrNone) {
  TBoard board(2, 3, nullptr);
  EXPECT_EQ(board.IndexOf(-1, board.cells), 5);
  EXPECT_EQ(board.IndexOf(3, board.cells), 2);
  EXPECT_EQ(board.IndexOf(9, board.cells), -1);
  const int32_t twice[] = {4, 7, 7, 1, 2, 3};
  EXPECT_EQ(board.IndexOf(7, twice), 1);
}

TEST(Board, ChildCopiesItsParentAndAppliesTheMove) {
  TBoard parent(3, 3, nullptr);
  parent.depth = 4;
  const TMove move{5, 8, 1};
  TBoard child(&parent, &move);
  EXPECT_EQ(child.depth, 5);
  EXPECT_EQ(child.parent, &parent);
  EXPECT_EQ(child.move.from, 5);
  EXPECT_EQ(child.cells[5], -1);
  EXPECT_EQ(child.cells[8], 6);
  EXPECT_TRUE(parent.IsEqual(Goal(3, 3).data()));
  EXPECT_NE(child.cells, parent.cells);

  std::unique_ptr<TBoard> packed(TBoard::NewChild(&parent, &move));
  EXPECT_EQ(CellsOf(*packed), CellsOf(child));
  EXPECT_EQ(packed->depth, 5);
  EXPECT_EQ(packed->parent, &parent);
  EXPECT_EQ(packed->move.to, 8);
  EXPECT_EQ(packed->count, 9);
  packed->Reset();
  EXPECT_EQ(child.cells[8], 6);

  TBoard copy(&parent, nullptr);
  EXPECT_EQ(copy.depth, 0);
  EXPECT_EQ(copy.parent, &parent);
  EXPECT_TRUE(copy.IsEqual(parent.cells));
}

TEST(Board, SetCellsAndResetChangeOnlyTheCells) {
  auto board = MakeBoard(2, 2, {3, -1, 1, 2});
  board->manhattan = 9;
  board->Reset();
  EXPECT_TRUE(board->IsEqual(Goal(2, 2).data()));
  const int32_t cells[] = {-1, 3, 2, 1};
  board->SetCells(cells);
  EXPECT_TRUE(board->IsEqual(cells));
  EXPECT_EQ(board->manhattan, 9);
}

TEST(Board, ShuffledBoardsHoldEachTileOnceWithTheBlankOnTheGoalParity) {
  SRand(20240611);
  for (int rows = 2; rows <= 6; ++rows) {
    for (int cols = 2; cols <= 6; ++cols) {
      for (int run = 0; run < 4; ++run) {
        TBoard board(rows, cols, nullptr);
        board.Shuffle();
        auto cells = CellsOf(board);
        std::sort(cells.begin(), cells.end());
        auto expected = Goal(rows, cols);
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(cells, expected) << rows << "x" << cols;
        const int blank = board.IndexOf(-1, board.cells);
        EXPECT_EQ((blank / cols + blank % cols) % 2, (rows - 1 + cols - 1) % 2) << rows << "x" << cols;
      }
    }
  }
  for (int run = 0; run < 50; ++run) {
    TBoard board(2, 2, nullptr);
    board.Shuffle();
    const int blank = board.IndexOf(-1, board.cells);
    EXPECT_TRUE(blank == 0 || blank == 3);
  }
}

TEST(Board, ShuffleRestartsFromTheGoalAndFollowsTheRandomSequence) {
  SRand(7);
  TBoard first(3, 3, nullptr);
  first.Shuffle();
  SRand(7);
  TBoard second(3, 3, nullptr);
  second.SetCells(std::vector<int32_t>{8, 7, 6, 5, 4, 3, 2, 1, -1}.data());
  second.Shuffle();
  EXPECT_EQ(CellsOf(first), CellsOf(second));
}
