// Device contexts: viewport origin, clipping, saved states, and a canvas on a context it is handed.
#include <gtest/gtest.h>

#include <climits>

#include "GraphicsTestSupport.h"

TEST(DeviceContext, ViewportOriginAndClipAreUndoneByRestoreDC) {
  auto b = MakeBitmap(20, 20);
  HDC dc = b->Canvas()->Handle();
  // As a transparent control asks its parent to paint underneath it: shift by the control's position and
  // clip to the parent's client area, then give everything back.
  const int saved = SaveDC(dc);
  POINT old{};
  SetViewportOrgEx(dc, -5, -3, &old);
  IntersectClipRect(dc, 0, 0, 12, 10);
  TBrush red;
  red.SetColor(clRed);
  const TRect all{0, 0, 40, 40};
  FillRect(dc, &all, red.Handle());
  TRect box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (TRect{5, 3, 12, 10}));
  EXPECT_TRUE(RestoreDC(dc, saved));
  POINT now{};
  GetViewportOrgEx(dc, &now);
  EXPECT_EQ(now, (TPoint{0, 0}));
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (TRect{0, 0, 20, 20}));
  EXPECT_FALSE(RestoreDC(dc, saved)); // already popped
  // Logical (0,0)-(12,10) was surface (-5,-3)-(7,7).
  EXPECT_EQ(Px(*b, 0, 0), clRed);
  EXPECT_EQ(Px(*b, 6, 6), clRed);
  EXPECT_EQ(Px(*b, 7, 6), clWhite);
  EXPECT_EQ(Px(*b, 6, 7), clWhite);
}

TEST(DeviceContext, ClipRegionsCombineAndExclude) {
  auto b = MakeBitmap(10, 10);
  HDC dc = b->Canvas()->Handle();
  TRegionHandle left(CreateRectRgn(0, 0, 5, 10));
  SelectClipRgn(dc, left);
  ExcludeClipRect(dc, 0, 0, 2, 2);
  b->Canvas()->Brush()->SetColor(clBlue);
  b->Canvas()->FillRect({0, 0, 10, 10});
  EXPECT_EQ(Row(*b, 0, clBlue), "..###.....");
  EXPECT_EQ(Row(*b, 5, clBlue), "#####.....");
  // Selecting no region lifts the clip.
  SelectClipRgn(dc, nullptr);
  b->Canvas()->FillRect({0, 0, 10, 10});
  EXPECT_EQ(Row(*b, 0, clBlue), "##########");
}

TEST(DeviceContext, ContextOnPartOfASurfaceKeepsToItsBounds) {
  TSurface surface(10, 10, 0xFFFFFF);
  // A client area at (2, 3) of 5 x 4 pixels, as GetDC hands out for a framed window.
  TDeviceContext dc(&surface, {2, 3}, TRect{2, 3, 7, 7});
  TBrush brush;
  brush.SetColor(clRed);
  const TRect r{-10, -10, 100, 100};
  FillRect(&dc, &r, brush.Handle());
  int red = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      if (surface.Row(y)[x] == ColorToPixel(clRed)) ++red;
  EXPECT_EQ(red, 20);
  EXPECT_EQ(surface.Row(3)[2], ColorToPixel(clRed));
  EXPECT_EQ(surface.Row(7)[2], 0xFFFFFFu);
  EXPECT_EQ(GetPixel(&dc, 0, 0), clRed);
  // A canvas can draw on a context it does not own, with its own pen, brush and font.
  TCanvas canvas;
  canvas.SetHandle(&dc);
  canvas.Pen()->SetColor(clBlue);
  canvas.MoveTo(0, 0);
  canvas.LineTo(3, 0);
  EXPECT_EQ(surface.Row(3)[4], ColorToPixel(clBlue));
  EXPECT_EQ(surface.Row(3)[5], ColorToPixel(clRed));
}

TEST(DeviceContext, RectanglesReachingTheEndsOfIntFillOnlyWhatLiesOnTheSurface) {
  TSurface surface(6, 4, 0xFFFFFF);
  TDeviceContext dc(&surface, {1, 1}, TRect{1, 1, 5, 3});
  TBrush brush;
  brush.SetColor(clRed);
  const auto red = [&] {
    int n = 0;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) n += surface.Row(y)[x] == ColorToPixel(clRed);
    return n;
  };
  const TRect row{INT_MIN, 1, INT_MAX, 2};
  FillRect(&dc, &row, brush.Handle());
  EXPECT_EQ(red(), 4);
  EXPECT_EQ(surface.Row(2)[1], ColorToPixel(clRed));
  const TRect whole{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  FillRect(&dc, &whole, brush.Handle());
  EXPECT_EQ(red(), 8);
  // With the viewport origin at the end of int, what starts at 0 lies beyond the surface and what starts
  // at the other end covers it.
  surface.Fill(0xFFFFFF);
  SetViewportOrgEx(&dc, INT_MAX, INT_MAX, nullptr);
  const TRect beyond{0, 0, INT_MAX, INT_MAX};
  FillRect(&dc, &beyond, brush.Handle());
  EXPECT_EQ(red(), 0);
  FillRect(&dc, &whole, brush.Handle());
  EXPECT_EQ(red(), 8);
}

TEST(DeviceContext, DrawingAcrossTheIntRangeVisitsOnlyWhatLiesNearTheSurface) {
  constexpr int lo = INT_MIN, hi = INT_MAX, far = 1 << 30;
  auto b = MakeBitmap(8, 8);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clRed);
  c->Pen()->SetColor(clBlue);
  // Outlines far away: every pixel lies inside.
  c->Rectangle(lo, lo, hi, hi);
  EXPECT_EQ(Row(*b, 7, clRed), "########");
  c->Pen()->SetWidth(3);
  c->Brush()->SetColor(clLime);
  c->Ellipse(lo, lo, hi, hi); // its centre lies at the surface's top-left corner
  EXPECT_EQ(Row(*b, 0, clLime), "########");
  EXPECT_EQ(Px(*b, 7, 7), clLime);
  // A line across the whole range keeps to its row, a rectangle's edge to its column.
  c->Pen()->SetWidth(1);
  c->MoveTo(lo, 2);
  c->LineTo(hi, 2);
  EXPECT_EQ(Row(*b, 2, clBlue), "########");
  c->Brush()->SetStyle(bsClear);
  c->Rectangle(5, lo, hi, hi);
  EXPECT_EQ(Px(*b, 5, 6), clBlue);
  EXPECT_EQ(Px(*b, 6, 6), clLime);
  c->DrawFocusRect({lo, lo, 1, hi}); // inverts every other pixel of column 0
  EXPECT_EQ(Px(*b, 0, 4), clFuchsia);
  EXPECT_EQ(Px(*b, 0, 5), clLime);

  // A picture stretched over most of the range: the surface shows the part of it that lands there.
  auto picture = MakeBitmap(2, 2, clYellow);
  picture->Canvas()->SetPixels(1, 1, clBlack);
  c->StretchDraw({-far, -far, far, far}, picture.get());
  EXPECT_EQ(Row(*b, 0, clBlack), "########");
  EXPECT_EQ(Row(*b, 7, clBlack), "########");
  // A copy within one surface takes only what lands on it; the column from beyond the surface is black.
  c->SetPixels(1, 0, clRed);
  c->SetPixels(7, 0, clRed);
  HDC dc = c->Handle();
  BitBlt(dc, -far, -far, hi, hi, dc, -far + 1, -far, SRCCOPY);
  EXPECT_EQ(Row(*b, 0, clRed), "#.....#.");
  EXPECT_EQ(Px(*b, 7, 0), clBlack);
}

TEST(DeviceContext, SelectedObjectsOutliveDeleteObject) {
  auto b = MakeBitmap(4, 1);
  HDC dc = b->Canvas()->Handle();
  HBRUSH brush = CreateSolidBrush(clRed);
  HGDIOBJ old = SelectObject(dc, brush);
  EXPECT_TRUE(DeleteObject(brush)); // still selected: the context keeps it alive
  EXPECT_FALSE(DeleteObject(GetStockObject(WHITE_BRUSH)));
  PatBlt(dc, 0, 0, 2, 1, PATCOPY);
  EXPECT_EQ(Px(*b, 0, 0), clRed);
  SelectObject(dc, old);
  PatBlt(dc, 2, 0, 2, 1, PATCOPY);
  EXPECT_EQ(Px(*b, 3, 0), clWhite);
  // A memory context draws on the bitmap selected into it.
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(mem, 3, 3);
  SelectObject(mem, bmp);
  DeleteObject(bmp);
  SetPixel(mem, 1, 1, clLime);
  EXPECT_EQ(GetPixel(mem, 1, 1), clLime);
  EXPECT_EQ(GetPixel(mem, 0, 0), clBlack);
  DeleteDC(mem);
}
