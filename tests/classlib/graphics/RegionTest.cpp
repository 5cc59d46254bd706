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

// ---- Regions on surfaces that hold more device pixels than logical ones ----

namespace {

// A window-like surface of W x H logical pixels at Scale, white, and a context on it.
struct TScaledCanvas {
  TSurface Surface;
  TDeviceContext DC;
  TScaledCanvas(int W, int H, double Scale) : DC(&Surface) {
    Surface.SetScaledSize(W, H, Scale, 1 << 14, int64_t{1} << 24);
    DC.Retarget(&Surface);
  }
  void Fill(HRGN Region, TColor Color) {
    HBRUSH brush = CreateSolidBrush(Color);
    FillRgn(&DC, Region, brush);
    DeleteObject(brush);
  }
  int Count(uint32_t Pixel) const {
    int n = 0;
    for (int y = 0; y < Surface.Height(); ++y)
      for (int x = 0; x < Surface.Width(); ++x) n += Surface.Pixel(x, y) == Pixel;
    return n;
  }
};

int DeviceCount(const TRegion& r) {
  int64_t n = 0;
  for (const TRect& c : r.Rects()) n += int64_t{c.Width()} * c.Height();
  return static_cast<int>(n);
}

// Whether some rectangle of the region starts or ends on an odd device pixel: a logical region doubled
// has every edge even.
bool HasOddEdge(const TRegion& r) {
  for (const TRect& c : r.Rects())
    if ((c.Left | c.Right | c.Top | c.Bottom) & 1) return true;
  return false;
}

} // namespace

TEST(RegionAtScale, ShapesAreDrawnAgainInDevicePixels) {
  TRegionHandle round(CreateRoundRectRgn(0, 0, 41, 21, 11, 11)), ellipse(CreateEllipticRgn(3, 2, 30, 19));
  for (HRGN r : {round.Get(), ellipse.Get()}) {
    ASSERT_TRUE(r->Refinable());
    const TRegion device = r->AtScale(2);
    EXPECT_TRUE(HasOddEdge(device)) << "the curve steps in device pixels";
    // About four device pixels to a logical one, and within the logical bounds.
    const int logical = DeviceCount(r->AtScale(1));
    EXPECT_NEAR(DeviceCount(device), 4 * logical, logical / 4);
    const TRect box = r->Bounds(), dbox = device.Bounds();
    EXPECT_EQ(dbox, (TRect{2 * box.Left, 2 * box.Top, 2 * box.Right, 2 * box.Bottom}));
  }
  // The same pixels as the ellipse asked for in device coordinates.
  TRegion direct;
  direct.SetEllipse({6, 4, 59, 37});
  EXPECT_EQ(ellipse.Get()->AtScale(2), direct);
  // Rectangles map edge for edge; moving a region moves its shapes.
  TRegionHandle rect(CreateRectRgn(1, 2, 5, 7));
  EXPECT_FALSE(rect.Get()->Refinable());
  EXPECT_EQ(rect.Get()->AtScale(1.5).Rects(), (std::vector<TRect>{{2, 3, 8, 11}})); // halves round up
  const TRegion before = round.Get()->AtScale(2, 7, -3);
  OffsetRgn(round, 7, -3);
  EXPECT_EQ(round.Get()->AtScale(2), before);
}

TEST(RegionAtScale, CombinationsAreDrawnFromTheirShapes) {
  TRegionHandle round(CreateRoundRectRgn(0, 0, 31, 21, 14, 14)), ellipse(CreateEllipticRgn(12, 5, 40, 30));
  const POINT tri[] = {{0, 30}, {20, 10}, {30, 34}};
  TRegionHandle triangle(CreatePolygonRgn(tri, 3, WINDING)), out(CreateRectRgn(0, 0, 0, 0));
  for (const double scale : {2.0, 1.5}) {
    for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
      CombineRgn(out, round, ellipse, mode);
      TRegion expected;
      expected.Combine(round.Get()->AtScale(scale), ellipse.Get()->AtScale(scale),
                       static_cast<TRegionOp>(mode));
      EXPECT_EQ(out.Get()->AtScale(scale), expected) << mode << " at " << scale;
      EXPECT_TRUE(HasOddEdge(out.Get()->AtScale(2))) << mode;
    }
    // Three levels deep, the destination one of the sources.
    CombineRgn(out, round, ellipse, RGN_XOR);
    CombineRgn(out, out, triangle, RGN_DIFF);
    TRegion expected;
    expected.Combine(round.Get()->AtScale(scale), ellipse.Get()->AtScale(scale), rgnXor);
    expected.Combine(expected, triangle.Get()->AtScale(scale), rgnDiff);
    EXPECT_EQ(out.Get()->AtScale(scale), expected) << scale;
    // Only the rows asked for.
    const TRegion rows = out.Get()->AtScale(scale, 0, 0, 10, 20);
    TRegion cut = expected;
    cut.Intersect({INT_MIN, 10, INT_MAX, 20});
    EXPECT_EQ(rows, cut);
  }
}

TEST(RegionAtScale, ARegionPastTheBoundKeepsItsRectangles) {
  // A round region joined with more single-pixel runs than a region remembers: drawn by its rectangles.
  TRegionHandle shape(CreateRoundRectRgn(0, 0, 30, 30, 12, 12));
  for (int i = 0; static_cast<size_t>(i) <= TRegion::MaxRecipeSize / 2; ++i) {
    TRegionHandle run(CreateRectRgn(40 + i % 50, i / 50, 41 + i % 50, i / 50 + 1));
    CombineRgn(shape, shape, run, RGN_OR);
  }
  EXPECT_FALSE(shape.Get()->Refinable());
  TScaledCanvas canvas(100, 60, 2);
  canvas.Fill(shape, clRed);
  EXPECT_EQ(canvas.Count(0xFF0000), 4 * DeviceCount(shape.Get()->AtScale(1)));
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool in = PtInRegion(shape, x, y);
      for (int d = 0; d < 4; ++d)
        ASSERT_EQ(canvas.Surface.Pixel(2 * x + d % 2, 2 * y + d / 2) == 0xFF0000, in) << x << "," << y;
    }
}

TEST(RegionAtScale, FillsAndClipsFollowTheDevicePixels) {
  TRegionHandle ellipse(CreateEllipticRgn(2, 3, 35, 27));
  TScaledCanvas filled(40, 30, 2);
  filled.Fill(ellipse, clRed);
  // Exactly the device region's pixels.
  EXPECT_EQ(filled.Count(0xFF0000), DeviceCount(ellipse.Get()->AtScale(2)));
  // A clip region clips at device pixels too: a rectangle filled through it covers the same pixels.
  TScaledCanvas clipped(40, 30, 2);
  SelectClipRgn(&clipped.DC, ellipse);
  HBRUSH red = CreateSolidBrush(clRed);
  const RECT all{0, 0, 40, 30};
  FillRect(&clipped.DC, &all, red);
  for (int y = 0; y < clipped.Surface.Height(); ++y)
    for (int x = 0; x < clipped.Surface.Width(); ++x)
      ASSERT_EQ(clipped.Surface.Pixel(x, y), filled.Surface.Pixel(x, y)) << x << "," << y;
  // A frame is as wide as at scale 1 in device pixels: two along the straight top, finer on the curve.
  TScaledCanvas framed(40, 30, 2);
  TRegionHandle round(CreateRoundRectRgn(0, 0, 41, 31, 16, 16));
  FrameRgn(&framed.DC, round, red, 1, 1);
  EXPECT_EQ(framed.Surface.Pixel(40, 0), 0xFF0000u);
  EXPECT_EQ(framed.Surface.Pixel(40, 1), 0xFF0000u);
  EXPECT_EQ(framed.Surface.Pixel(40, 2), 0xFFFFFFu);
  bool odd = false;
  for (int y = 0; y < 16 && !odd; ++y)
    for (int x = 1; x < 16; x += 2)
      odd = odd || (framed.Surface.Pixel(x, y) == 0xFF0000 && framed.Surface.Pixel(x - 1, y) != 0xFF0000);
  EXPECT_TRUE(odd) << "the frame's curve steps in device pixels";
  DeleteObject(red);
  // A polygon drawn with the canvas fills the device pixels of its region.
  const POINT tri[] = {{3, 2}, {37, 9}, {12, 27}};
  TRegionHandle triangle(CreatePolygonRgn(tri, 3, ALTERNATE));
  TScaledCanvas region(40, 30, 2), drawn(40, 30, 2);
  region.Fill(triangle, clRed);
  EXPECT_TRUE(HasOddEdge(triangle.Get()->AtScale(2)));
  HBRUSH brush = CreateSolidBrush(clRed);
  SelectObject(&drawn.DC, GetStockObject(NULL_PEN));
  SelectObject(&drawn.DC, brush);
  Polygon(&drawn.DC, tri, 3);
  SelectObject(&drawn.DC, GetStockObject(WHITE_BRUSH));
  DeleteObject(brush);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x)
      ASSERT_EQ(drawn.Surface.Pixel(x, y), region.Surface.Pixel(x, y)) << x << "," << y;
  // A hatched fill keeps its logical pixels: every 2 x 2 block is one colour.
  TScaledCanvas hatched(40, 30, 2);
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, clBlue);
  FillRgn(&hatched.DC, ellipse, hatch);
  DeleteObject(hatch);
  for (int y = 0; y < 60; y += 2)
    for (int x = 0; x < 80; x += 2) {
      const uint32_t p = hatched.Surface.Pixel(x, y);
      ASSERT_TRUE(hatched.Surface.Pixel(x + 1, y) == p && hatched.Surface.Pixel(x, y + 1) == p &&
                  hatched.Surface.Pixel(x + 1, y + 1) == p)
          << x << "," << y;
    }
}

TEST(RegionAtScale, NoGapsBesideOtherFillsAtAFractionalScale) {
  // A rounded region squared on its right by a rectangle, a triangle below, and plain rectangles beside
  // them: at 1.5 every device pixel of the band they tile is painted.
  TScaledCanvas canvas(60, 40, 1.5);
  TRegionHandle left(CreateRoundRectRgn(0, 0, 31, 21, 12, 12)), square(CreateRectRgn(15, 0, 30, 20));
  CombineRgn(left, left, square, RGN_OR);
  canvas.Fill(left, clRed);
  const POINT quad[] = {{0, 20}, {30, 20}, {30, 40}, {0, 40}};
  TRegionHandle below(CreatePolygonRgn(quad, 4, ALTERNATE));
  canvas.Fill(below, clLime);
  HBRUSH blue = CreateSolidBrush(clBlue);
  const RECT right{30, 0, 60, 40};
  FillRect(&canvas.DC, &right, blue);
  DeleteObject(blue);
  const double s = 1.5;
  for (int y = DeviceEdge(0, s); y < DeviceEdge(40, s); ++y)
    for (int x = DeviceEdge(15, s); x < DeviceEdge(60, s); ++x)
      ASSERT_NE(canvas.Surface.Pixel(x, y), 0xFFFFFFu) << "a gap at " << x << "," << y;
  // The rounded corner is still cut.
  EXPECT_EQ(canvas.Surface.Pixel(0, 0), 0xFFFFFFu);
}
