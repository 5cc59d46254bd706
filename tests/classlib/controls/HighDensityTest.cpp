// Drawing on a high-density screen: window surfaces in device pixels, text and slanted or rounded outlines
// drawn at that resolution, pictures landing on whole device pixels, without gaps at fractional scales. CTest
// runs these at the desktop's scale 1 and again with QT_SCALE_FACTOR at 2 and 1.5; each check holds at the
// scale it names.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "classlib/controls/CustomControl.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"
#include "tests/support/TestSupport.h"

using testsupport::Render;

namespace {

constexpr uint32_t Red = 0xFF0000, Blue = 0x0000FF, White = 0xFFFFFF;

// A 4 x 4 checkerboard of red and blue: pixel art whose every pixel must stay sharp.
void Checkerboard(TBitmap& b) {
  b.SetSize(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) b.Surface().SetPixel(x, y, (x + y) % 2 ? Blue : Red);
}

class TSampleDrawing : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  TBitmap Tile;
  TBitmap Photo; // two pixels, red and blue, marked as a photograph

  void Paint() override {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(ClientRect());
    c->Font()->SetName("Tahoma");
    c->Font()->SetSize(10);
    c->Font()->SetColor(clBlack);
    c->TextOut(4, 4, "Quendrel");
    c->Pen()->SetColor(clBlack);
    c->MoveTo(10, 40);
    c->LineTo(60, 80);
    c->Ellipse(80, 40, 150, 85);
    // Three tiles side by side, as skins tile their pictures.
    for (int i = 0; i < 3; ++i) c->Draw(100 + 4 * i, 4, &Tile);
    c->StretchDraw(Bounds(100, 20, 8, 4), &Photo);
  }
};

class HighDensity : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(50, 50, 200, 130);
    drawing = new TSampleDrawing(&form);
    drawing->SetBounds(10, 10, 160, 90);
    drawing->SetParent(&form);
    Checkerboard(drawing->Tile);
    drawing->Photo.SetSize(2, 1);
    drawing->Photo.Surface().SetPixel(0, 0, Red);
    drawing->Photo.Surface().SetPixel(1, 0, Blue);
    drawing->Photo.Surface().SetSmooth(true);
    form.Show();
    picture = Render(drawing);
    scale = form.Handle()->Surface.Scale();
  }
  int Edge(int v) const { return DeviceEdge(v, scale); }
  // Logical pixels of R (logical coordinates of the drawing) whose device pixels differ among themselves:
  // none in a picture drawn at scale 1 and then pixel-doubled.
  int Detailed(const TRect& R) const {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) {
        const uint32_t first = picture.Pixel(Edge(x), Edge(y));
        bool same = true;
        for (int dy = Edge(y); dy < Edge(y + 1); ++dy)
          for (int dx = Edge(x); dx < Edge(x + 1); ++dx) same = same && picture.Pixel(dx, dy) == first;
        n += !same;
      }
    return n;
  }
  TForm form{nullptr};
  TSampleDrawing* drawing = nullptr;
  TSurface picture;
  double scale = 1;
};

} // namespace

TEST_F(HighDensity, WindowSurfacesHoldDevicePixelsWhileSizesStayLogical) {
  EXPECT_EQ(scale, backend::DevicePixelRatio(form.Handle()->Native));
  EXPECT_EQ(picture.Width(), Edge(160));
  EXPECT_EQ(picture.Height(), Edge(90));
  // Layout and every public size are logical, whatever the screen.
  EXPECT_EQ(drawing->Width(), 160);
  EXPECT_EQ(drawing->ClientRect(), Bounds(0, 0, 160, 90));
  EXPECT_EQ(form.Handle()->Surface.LogicalWidth(), form.Width());
}

TEST_F(HighDensity, TextAndOutlinesHaveDetailBeyondAPixelDoubledPicture) {
  const TRect text = Bounds(4, 4, 60, 14), line = Bounds(10, 40, 50, 40), ellipse = Bounds(80, 40, 70, 45);
  testsupport::SavePng(picture, ("high-density-" + std::to_string(scale) + ".png").c_str());
  if (scale == 1) {
    EXPECT_EQ(Detailed(text) + Detailed(line) + Detailed(ellipse), 0);
    return;
  }
  // Glyph edges, the line's steps and the ellipse's curve fall between logical pixels.
  EXPECT_GT(Detailed(text), 10);
  EXPECT_GT(Detailed(line), 10);
  EXPECT_GT(Detailed(ellipse), 10);
  // The line is as heavy as at scale 1 (a logical pixel's worth of device pixels), not a hairline.
  int dark = 0;
  for (int dx = Edge(30); dx < Edge(31); ++dx)
    for (int dy = Edge(40); dy < Edge(80); ++dy) dark += picture.Pixel(dx, dy) == 0;
  EXPECT_GE(dark, Edge(1));
}

TEST_F(HighDensity, PixelArtLandsOnWholeDevicePixelsAndTilesWithoutGaps) {
  const bool whole = std::abs(scale - std::round(scale)) < 1e-9;
  for (int y = Edge(4); y < Edge(8); ++y)
    for (int x = Edge(100); x < Edge(112); ++x) {
      const uint32_t p = picture.Pixel(x, y);
      ASSERT_NE(p, White) << "a gap at device pixel " << x << "," << y;
      if (whole) {
        // Replicated: each device pixel is its logical pixel's colour, the tile edges on whole pixels.
        const int lx = LogicalOf(x, scale) - 100, ly = LogicalOf(y, scale) - 4;
        ASSERT_EQ(p, (lx + ly) % 2 ? Blue : Red) << x << "," << y;
      }
    }
}

TEST_F(HighDensity, PhotographsAreScaledSmoothlyAndPixelArtIsNot) {
  // The photograph's two pixels stretched to 8 x 4: at scale 1 by replication like any picture; above it the
  // device pixels between its halves are blends.
  int blends = 0;
  for (int x = Edge(100); x < Edge(108); ++x) {
    const uint32_t p = picture.Pixel(x, Edge(22));
    blends += p != Red && p != Blue;
  }
  if (scale == 1)
    EXPECT_EQ(blends, 0);
  else
    EXPECT_GT(blends, 0);
}

namespace {

// Regions filled and used as a clip, side by side: a rounded rectangle, an ellipse, the same ellipse as a
// clip for a plain fill, and a rounded region squared on its right with a rectangle fill beside it.
class TRegionDrawing : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void Paint() override {
    HDC dc = Canvas()->Handle();
    HBRUSH red = CreateSolidBrush(clRed), blue = CreateSolidBrush(clBlue);
    const RECT all{0, 0, Width(), Height()};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    TRegionHandle round(CreateRoundRectRgn(2, 2, 43, 33, 16, 16)), ellipse(CreateEllipticRgn(50, 2, 91, 33));
    FillRgn(dc, round, red);
    FillRgn(dc, ellipse, blue);
    TRegionHandle clip(CreateEllipticRgn(100, 2, 141, 33));
    SelectClipRgn(dc, clip);
    const RECT box{100, 2, 141, 33};
    FillRect(dc, &box, red);
    SelectClipRgn(dc, nullptr);
    TRegionHandle tab(CreateRoundRectRgn(2, 40, 43, 61, 12, 12)), square(CreateRectRgn(22, 40, 42, 60));
    CombineRgn(tab, tab, square, RGN_OR);
    FillRgn(dc, tab, red);
    const RECT beside{42, 40, 80, 60};
    FillRect(dc, &beside, blue);
    DeleteObject(red);
    DeleteObject(blue);
  }
};

} // namespace

TEST_F(HighDensity, RegionsAreFilledAndClipAtTheScreensResolution) {
  auto* regions = new TRegionDrawing(&form);
  regions->SetBounds(10, 10, 150, 64);
  regions->SetParent(&form);
  regions->BringToFront();
  picture = Render(regions);
  testsupport::SavePng(picture, ("high-density-regions-" + std::to_string(scale) + ".png").c_str());
  const TRect round = Bounds(2, 2, 41, 31), ellipse = Bounds(50, 2, 41, 31), tab = Bounds(2, 40, 41, 21);
  if (scale == 1) {
    EXPECT_EQ(Detailed(round) + Detailed(ellipse) + Detailed(tab), 0);
  } else {
    // The curves step in device pixels, which a picture drawn at scale 1 and enlarged cannot do.
    EXPECT_GT(Detailed(round), 10);
    EXPECT_GT(Detailed(ellipse), 10);
    EXPECT_GT(Detailed(tab), 2);
  }
  // The clip is the ellipse's own device pixels: the fill through it is the filled ellipse moved over.
  const int shift = Edge(100) - Edge(50);
  for (int y = Edge(2); y < Edge(33); ++y)
    for (int x = Edge(50); x < Edge(91); ++x)
      ASSERT_EQ(picture.Pixel(x + shift, y) == Red, picture.Pixel(x, y) == Blue) << x << "," << y;
  // The squared side of the rounded region meets the rectangle beside it without a gap.
  for (int y = Edge(40); y < Edge(60); ++y)
    for (int x = Edge(22); x < Edge(80); ++x) ASSERT_NE(picture.Pixel(x, y), White) << x << "," << y;
}
