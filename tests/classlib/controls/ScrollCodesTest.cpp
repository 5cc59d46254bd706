#include <gtest/gtest.h>

#include "classlib/controls/ScrollBars.h"

namespace {

// A grid-like bar: rows 2.., 5 on a page, thumb 0 at row 2, bottom at row 20.
constexpr TScrollSteps Rows{
    .LineBack = 1, .LineForward = 1, .Page = 5, .ThumbOrigin = 2, .Top = 2, .Bottom = 20};

TEST(ScrollCodesTest, EachCodeMovesFromWhereTheControlIs) {
  EXPECT_EQ(ScrollTarget(SB_LINEUP, 0, 10, Rows), 9);
  EXPECT_EQ(ScrollTarget(SB_LINEDOWN, 0, 10, Rows), 11);
  EXPECT_EQ(ScrollTarget(SB_PAGEUP, 0, 10, Rows), 5);
  EXPECT_EQ(ScrollTarget(SB_PAGEDOWN, 0, 10, Rows), 15);
  // The thumb's position counts from the origin; top and bottom ignore both the position and Now.
  EXPECT_EQ(ScrollTarget(SB_THUMBTRACK, 7, 10, Rows), 9);
  EXPECT_EQ(ScrollTarget(SB_THUMBPOSITION, 7, 10, Rows), 9);
  EXPECT_EQ(ScrollTarget(SB_TOP, 7, 10, Rows), 2);
  EXPECT_EQ(ScrollTarget(SB_BOTTOM, 7, 10, Rows), 20);
  // The end of a drag and codes no bar sends move nothing.
  EXPECT_EQ(ScrollTarget(SB_ENDSCROLL, 7, 10, Rows), std::nullopt);
  EXPECT_EQ(ScrollTarget(42, 7, 10, Rows), std::nullopt);
}

TEST(ScrollCodesTest, LinesMayDifferEachWayAndTheThumbMayWaitForItsDrop) {
  const TScrollSteps records{.LineBack = 3, .LineForward = 4, .Page = 6, .Top = 1, .ThumbTracks = false};
  const TScrollMove back = ReadScrollCode(SB_LINEUP, 0, records);
  EXPECT_EQ(back.Kind, TScrollMove::Step);
  EXPECT_EQ(back.Value, -3);
  EXPECT_EQ(ReadScrollCode(SB_LINEDOWN, 0, records).Value, 4);
  EXPECT_EQ(ReadScrollCode(SB_PAGEUP, 0, records).Value, -6);
  EXPECT_EQ(ReadScrollCode(SB_THUMBTRACK, 8, records).Kind, TScrollMove::None);
  const TScrollMove drop = ReadScrollCode(SB_THUMBPOSITION, 8, records);
  EXPECT_EQ(drop.Kind, TScrollMove::Jump);
  EXPECT_EQ(drop.Value, 8);
  EXPECT_EQ(ReadScrollCode(SB_TOP, 8, records).Kind, TScrollMove::Jump);
  EXPECT_EQ(ReadScrollCode(SB_TOP, 8, records).Value, 1);
}

} // namespace
