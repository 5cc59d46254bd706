#include <algorithm>
#include <cstdlib>
#include <numeric>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "classlib/core/Random.h"
#include "engine/PackedSearch.h"
#include "engine/SearchThread.h"

using namespace enginetest;

namespace {
std::vector<uint8_t> Values(const std::vector<int32_t>& cells) {
  std::vector<uint8_t> values;
  for (int32_t v : cells) values.push_back(static_cast<uint8_t>(v == -1 ? 0 : v));
  return values;
}

int32_t Evaluated(int rows, int cols, const std::vector<int32_t>& cells, const std::vector<int32_t>& goal) {
  TBoard board(rows, cols, cells.data());
  board.Evaluate(goal.data());
  return board.manhattan + board.conflicts;
}

// A random walk of `steps` moves from `cells`, checking at every step that the estimate updated move by move
// equals both the estimator's full computation and TBoard::Evaluate.
void CheckWalk(int rows, int cols, std::vector<int32_t> cells, const std::vector<int32_t>& goal, int steps) {
  const TEstimator estimator(rows, cols, Values(goal).data());
  int32_t estimate = estimator.Full(Values(cells).data());
  ASSERT_EQ(estimate, Evaluated(rows, cols, cells, goal)) << rows << "x" << cols;
  TBoard board(rows, cols, cells.data());
  TList moves;
  for (int step = 0; step < steps; ++step) {
    board.GetMoves(&moves);
    const TMove move = *static_cast<TMove*>(moves[Rand() % moves.Count()]);
    TakeMoves(moves);
    estimate += estimator.Delta(Values(CellsOf(board)).data(), move.from, move.to);
    board.DoMove(&move);
    const std::vector<int32_t> now = CellsOf(board);
    ASSERT_EQ(estimate, Evaluated(rows, cols, now, goal)) << rows << "x" << cols << " step " << step;
    ASSERT_EQ(estimate, estimator.Full(Values(now).data())) << rows << "x" << cols << " step " << step;
  }
}
} // namespace

TEST(PackedSearch, TheEstimateFollowsEveryMoveOnRandomWalks) {
  SRand(2024);
  // Every size the game offers, some with lines too long for a table of line conflicts.
  for (int rows = 1; rows <= 8; ++rows)
    for (int cols = 1; cols <= 8; ++cols) {
      if (rows * cols < 2 || rows * cols > MaxPackedCells) continue;
      CheckWalk(rows, cols, Goal(rows, cols), Goal(rows, cols), rows * cols * 40);
    }
  CheckWalk(1, 12, Goal(1, 12), Goal(1, 12), 400);
  CheckWalk(10, 2, Goal(10, 2), Goal(10, 2), 400);
}

TEST(PackedSearch, TheEstimateHoldsForAGoalInAnotherOrder) {
  SRand(99);
  for (int rows = 2; rows <= 6; ++rows)
    for (int cols = 2; cols <= 6; ++cols) {
      // The goal reversed: blank first, tiles descending, so tile numbers no longer follow goal cells.
      std::vector<int32_t> goal = Goal(rows, cols);
      std::reverse(goal.begin(), goal.end());
      CheckWalk(rows, cols, goal, goal, rows * cols * 30);
    }
}

TEST(PackedSearch, TakesOnlyBoardsHoldingEveryTileOnce) {
  const auto goal = Goal(3, 3);
  EXPECT_TRUE(TPackedSearch::Packable(*MakeBoard(3, 3, {4, 1, 3, -1, 2, 6, 7, 5, 8}), goal.data()));
  EXPECT_FALSE(TPackedSearch::Packable(*MakeBoard(3, 3, {4, 1, 3, 1, 2, 6, 7, 5, 8}), goal.data()));
  EXPECT_FALSE(TPackedSearch::Packable(*MakeBoard(3, 3, {4, 1, 3, -1, 2, 6, 7, 5, 9}), goal.data()));
  EXPECT_FALSE(TPackedSearch::Packable(*MakeBoard(3, 3, {4, 1, 3, -1, 2, 6, 7, 5, -1}), goal.data()));
  EXPECT_FALSE(TPackedSearch::Packable(*MakeBoard(3, 3, {4, 1, 3, -1, 2, 6, 7, 5, 0}), goal.data()));
  std::vector<int32_t> badGoal = goal;
  badGoal[0] = 2;
  EXPECT_FALSE(TPackedSearch::Packable(TBoard(3, 3, nullptr), badGoal.data()));
  EXPECT_FALSE(TPackedSearch::Packable(TBoard(7, 7, nullptr), Goal(7, 7).data()));
  EXPECT_TRUE(TPackedSearch::Packable(TBoard(5, 8, nullptr), Goal(5, 8).data()));
}

TEST(PackedSearch, BoardsItDoesNotTakeAreSearchedOrRefused) {
  // Two tiles 1 and no tile 3: no position, so it is refused, and the result stays empty.
  const auto board = MakeBoard(2, 2, {1, 1, 2, -1});
  const auto goal = Goal(2, 2);
  TList result;
  double elapsed = -1;
  TSearchThread thread(board.get(), const_cast<int32_t*>(goal.data()), &result, &elapsed, 10000, true);
  thread.Resume();
  thread.WaitFor();
  EXPECT_EQ(result.Count(), 0);
  EXPECT_GE(elapsed, 0.0);

  // A board of 42 cells one move from the goal.
  std::vector<int32_t> cells = Goal(6, 7);
  std::swap(cells[40], cells[41]);
  const auto wideBoard = MakeBoard(6, 7, cells);
  auto wideGoal = Goal(6, 7);
  TList solution;
  TSearchThread wide(wideBoard.get(), wideGoal.data(), &solution, &elapsed, 10000, true);
  wide.Resume();
  wide.WaitFor();
  EXPECT_EQ(TakeMoves(solution), (std::vector<Move>{{41, 40, 2}}));
}

TEST(PackedSearch, StopsWhenToldAndCountsWhatItDid) {
  class TStopAt final : public TPackedSearch::TControl {
   public:
    bool Pass() override { return ++passes <= 100; }
    int passes = 0;
  };
  // A scramble whose solution takes far more than 100 passes, so that the stop is what ends the search.
  SRand(31);
  const auto board = std::make_unique<TBoard>(4, 4, nullptr);
  board->Shuffle();
  const auto goal = Goal(4, 4);
  auto search = TPackedSearch::Create(*board, goal.data(), 10000, 1 << 30);
  ASSERT_NE(search, nullptr);
  TStopAt control;
  EXPECT_EQ(search->Run(control), TPackedSearch::Stopped);
  EXPECT_EQ(control.passes, 101);
  EXPECT_EQ(search->Expanded(), 100);
  EXPECT_GT(search->Stored(), 200);
  // It stored exactly the boards that the search on TBoard objects stores in the same passes.
  TBoardSearch boards(*board, goal.data(), 10000, 1 << 30);
  TStopAt same;
  EXPECT_EQ(boards.Run(same), TPackedSearch::Stopped);
  EXPECT_EQ(boards.Expanded(), 100);
  EXPECT_EQ(search->Stored(), boards.Stored());

  // The start board is the goal: solved at once, with nothing to play.
  search = TPackedSearch::Create(TBoard(4, 4, nullptr), goal.data(), 10000, 1 << 30);
  TStopAt untouched;
  EXPECT_EQ(search->Run(untouched), TPackedSearch::Solved);
  EXPECT_TRUE(search->Path().empty());
  EXPECT_EQ(untouched.passes, 0);
}
