#include "tools/skingen/Canvas.h"

#include <gtest/gtest.h>

using namespace skingen;

TEST(Canvas, CoverageFollowsTheShapeAtSubpixelPrecision) {
  Canvas c(4, 4, hex(0x000000));
  c.fill(rect(0, 0, 1.5, 4), hex(0xFFFFFF));
  EXPECT_DOUBLE_EQ(c.coverage(0, 0), 1.0);
  EXPECT_DOUBLE_EQ(c.coverage(1, 0), 0.5);
  EXPECT_DOUBLE_EQ(c.coverage(2, 0), 0.0);
  EXPECT_NEAR(c.at(1, 2).r, 127.5, 1e-9); // half covered, half background

  Canvas r(10, 10, {});
  r.fill(roundRect(0, 0, 10, 10, 4), hex(0xFFFFFF));
  EXPECT_LT(r.coverage(0, 0), 0.2); // the rounded corner leaves the corner pixel nearly bare
  EXPECT_DOUBLE_EQ(r.coverage(5, 0), 1.0);
  EXPECT_DOUBLE_EQ(r.coverage(0, 5), 1.0);
}

TEST(Canvas, CombinedRegionsAndRepeatedFillsAccumulate) {
  Canvas c(10, 10, {});
  c.fill(rect(0, 0, 10, 10) - rect(2, 2, 8, 8), hex(0xFF0000));
  EXPECT_DOUBLE_EQ(c.coverage(1, 1), 1.0);
  EXPECT_DOUBLE_EQ(c.coverage(5, 5), 0.0);
  c.fill(rect(4, 4, 6, 6), hex(0x00FF00), 0.5);
  c.fill(rect(4, 4, 6, 6), hex(0x00FF00), 0.5);
  EXPECT_DOUBLE_EQ(c.coverage(4, 4), 0.75);
  // Polygons and strokes cover what lies inside them only.
  Canvas t(10, 10, {});
  t.fill(polygon({{0, 0}, {10, 0}, {0, 10}}), hex(0xFFFFFF));
  EXPECT_DOUBLE_EQ(t.coverage(1, 1), 1.0);
  EXPECT_DOUBLE_EQ(t.coverage(8, 8), 0.0);
  Canvas l(10, 10, {});
  l.fill(polyline({{1, 5}, {9, 5}}, 2.0), hex(0xFFFFFF));
  EXPECT_DOUBLE_EQ(l.coverage(5, 4), 1.0);
  EXPECT_DOUBLE_EQ(l.coverage(5, 2), 0.0);
}

TEST(Canvas, RampsStepWhereTwoStopsMeet) {
  const std::vector<Stop> gloss{
      {0, hex(0x000000)}, {0.5, hex(0x646464)}, {0.5, hex(0xC8C8C8)}, {1, hex(0xFFFFFF)}};
  EXPECT_DOUBLE_EQ(ramp(gloss, 0.25).r, 50.0);
  EXPECT_LT(ramp(gloss, 0.4999).r, 101.0);
  EXPECT_DOUBLE_EQ(ramp(gloss, 0.5).r, 200.0);
  EXPECT_DOUBLE_EQ(ramp(gloss, -1).r, 0.0);
  EXPECT_DOUBLE_EQ(ramp(gloss, 2).r, 255.0);
}
