// Regions: the pixels of rectangles, rounded rectangles and ellipses, combinations, hit tests and bounds.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

namespace {

std::string Coverage(HRGN r, int y, int from, int to) {
  std::string s;
  for (int x = from; x < to; ++x) s += PtInRegion(r, x, y) ? '#' : '.';
  return s;
}

int Count(HRGN r, const TRect& area) {
  int n = 0;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) n += PtInRegion(r, x, y);
  return n;
}

} // namespace

TEST(Region, RectangleCoversItsPixelsOnly) {
  TRegionHandle r(CreateRectRgn(1, 2, 4, 5));
  EXPECT_TRUE(PtInRegion(r, 1, 2));
  EXPECT_TRUE(PtInRegion(r, 3, 4));
  EXPECT_FALSE(PtInRegion(r, 4, 4));
  EXPECT_FALSE(PtInRegion(r, 3, 5));
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
  EXPECT_EQ(box, (TRect{1, 2, 4, 5}));
}

TEST(Region, RoundRectIsOnePixelShortAndRounded) {
  // As a frame shapes its window: CreateRoundRectRgn(0, 0, W + 1, H + 1, r, r) covers W x H pixels.
  const int W = 40, H = 20;
  TRegionHandle r(CreateRoundRectRgn(0, 0, W + 1, H + 1, 11, 11));
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_EQ(box, (TRect{0, 0, W, H}));
  EXPECT_FALSE(PtInRegion(r, 0, 0));
  EXPECT_FALSE(PtInRegion(r, W - 1, 0));
  EXPECT_FALSE(PtInRegion(r, W - 1, H - 1));
  EXPECT_TRUE(PtInRegion(r, 5, 0));
  EXPECT_TRUE(PtInRegion(r, 0, 5));
  EXPECT_TRUE(PtInRegion(r, W / 2, H / 2));
  EXPECT_TRUE(PtInRegion(r, W - 1, H / 2));
  // Symmetric corners, and the rows get wider towards the middle.
  for (int y = 0; y < H; ++y) {
    const std::string row = Coverage(r, y, 0, W);
    EXPECT_EQ(row, std::string(row.rbegin(), row.rend())) << y;
    EXPECT_EQ(row, Coverage(r, H - 1 - y, 0, W)) << y;
  }
  for (int y = 1; y < 6; ++y) EXPECT_LE(Count(r, {0, y - 1, W, y}), Count(r, {0, y, W, y + 1})) << y;
  EXPECT_EQ(Coverage(r, 0, 0, 8), "...#####");
  // A zero-size corner is a plain rectangle.
  TRegionHandle square(CreateRoundRectRgn(0, 0, 11, 11, 0, 0));
  EXPECT_EQ(Count(square, {0, 0, 20, 20}), 100);
}

TEST(Region, EllipseIsSymmetricAndInsideItsBox) {
  TRegionHandle e(CreateEllipticRgn(0, 0, 21, 13));
  RECT box;
  GetRgnBox(e, &box);
  EXPECT_EQ(box, (TRect{0, 0, 20, 12}));
  for (int y = 0; y < 12; ++y) {
    const std::string row = Coverage(e, y, 0, 20);
    EXPECT_EQ(row, std::string(row.rbegin(), row.rend())) << y;
  }
  EXPECT_FALSE(PtInRegion(e, 0, 0));
  EXPECT_TRUE(PtInRegion(e, 0, 5));
  EXPECT_TRUE(PtInRegion(e, 10, 0));
}

TEST(Region, CombineRgnOperations) {
  TRegionHandle a(CreateRectRgn(0, 0, 4, 4)), b(CreateRectRgn(2, 2, 6, 6)), out(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(Count(out, {0, 0, 8, 8}), 4);
  EXPECT_TRUE(PtInRegion(out, 3, 3));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(Count(out, {0, 0, 8, 8}), 28);
  EXPECT_EQ(CombineRgn(out, a, b, RGN_XOR), COMPLEXREGION);
  EXPECT_EQ(Count(out, {0, 0, 8, 8}), 24);
  EXPECT_FALSE(PtInRegion(out, 2, 2));
  EXPECT_EQ(CombineRgn(out, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(Count(out, {0, 0, 8, 8}), 12);
  EXPECT_FALSE(PtInRegion(out, 3, 3));
  EXPECT_EQ(CombineRgn(out, a, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(out, a));
  TRegionHandle far(CreateRectRgn(10, 10, 12, 12));
  EXPECT_EQ(CombineRgn(out, a, far, RGN_AND), NULLREGION);
  // The destination may be a source.
  CombineRgn(a, a, b, RGN_OR);
  EXPECT_EQ(Count(a, {0, 0, 8, 8}), 28);
  EXPECT_EQ(OffsetRgn(a, 10, 0), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(a, 15, 5));
  EXPECT_FALSE(PtInRegion(a, 5, 5));
}

TEST(Region, RowUnionsOfAPictureGiveItsShape) {
  // Building a window shape from the opaque runs of a picture, one row at a time, as a skinned form does.
  TRegionHandle shape(CreateRectRgn(0, 0, 0, 0));
  for (int y = 3; y < 8; ++y) {
    TRegionHandle run(CreateRectRgn(2, y, 7, y + 1));
    CombineRgn(shape, shape, run, RGN_OR);
  }
  TRegionHandle square(CreateRectRgn(2, 3, 7, 8));
  EXPECT_TRUE(EqualRgn(shape, square));
  EXPECT_EQ(shape.Get()->Rects().size(), 1u); // bands with equal spans merge
}

TEST(Region, SquaredLowerCornersOfAFrameTop) {
  // A rounded top half whose lower corners are squared again with rectangles.
  const int W = 60, half = 40, r = 11;
  TRegionHandle top(CreateRoundRectRgn(0, 0, W + 1, half + 1, r, r));
  TRegionHandle a(CreateRectRgn(0, half - 2 * r, 2 * r, half)),
      b(CreateRectRgn(W - 2 * r, half - 2 * r, W, half));
  CombineRgn(top, top, a, RGN_OR);
  CombineRgn(top, top, b, RGN_OR);
  EXPECT_FALSE(PtInRegion(top, 0, 0));
  EXPECT_TRUE(PtInRegion(top, 0, half - 1));
  EXPECT_TRUE(PtInRegion(top, W - 1, half - 1));
  EXPECT_EQ(Coverage(top, half - 1, 0, W), std::string(W, '#'));
}

TEST(Region, PolygonCoversItsLeftAndTopEdges) {
  const POINT tri[] = {{0, 0}, {8, 0}, {0, 8}};
  TRegionHandle r(CreatePolygonRgn(tri, 3, ALTERNATE));
  EXPECT_TRUE(PtInRegion(r, 0, 0));
  EXPECT_TRUE(PtInRegion(r, 6, 0));
  EXPECT_FALSE(PtInRegion(r, 7, 1));
  EXPECT_EQ(Count(r, {0, 0, 10, 10}), 36); // x + y < 8
}

TEST(Region, FillRgnPaintsTheRegion) {
  auto b = MakeBitmap(12, 12);
  TRegionHandle r(CreateRoundRectRgn(0, 0, 13, 13, 6, 6));
  HBRUSH brush = CreateSolidBrush(clRed);
  FillRgn(b->Canvas()->Handle(), r, brush);
  DeleteObject(brush);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(Px(*b, x, y) == clRed, PtInRegion(r, x, y)) << x << "," << y;
}
