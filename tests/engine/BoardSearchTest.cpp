// The search on TBoard objects.

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
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

const int32_t NoLimit = 1 << 30;

const std::vector<int32_t> FiveMoves{4, 1, 3, -1, 2, 6, 7, 5, 8};
} // namespace

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
