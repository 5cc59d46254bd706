// Raster rules of the canvas: integer pixels, fills without right and bottom edges, lines without their end
// point, shapes inside their bounds.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

TEST(Raster, FillRectExcludesRightAndBottomEdges) {
  auto b = MakeBitmap(10, 10);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect({2, 3, 6, 7});
  EXPECT_EQ(Px(*b, 2, 3), clRed);
  EXPECT_EQ(Px(*b, 5, 6), clRed);
  EXPECT_EQ(Px(*b, 6, 6), clWhite);
  EXPECT_EQ(Px(*b, 5, 7), clWhite);
  EXPECT_EQ(Px(*b, 1, 3), clWhite);
  // An empty or inverted rectangle paints nothing.
  c->Brush()->SetColor(clBlue);
  c->FillRect({5, 5, 5, 9});
  c->FillRect({8, 8, 7, 9});
  EXPECT_EQ(Px(*b, 5, 5), clRed);
  EXPECT_EQ(Px(*b, 7, 8), clWhite);
}

TEST(Raster, LineToLeavesOutItsEndPointAndMovesThePen) {
  auto b = MakeBitmap(10, 10);
  TCanvas* c = b->Canvas();
  c->Pen()->SetColor(clBlack);
  c->MoveTo(1, 1);
  c->LineTo(6, 1);
  EXPECT_EQ(Row(*b, 1, clBlack), ".#####....");
  EXPECT_EQ(c->PenPos(), (TPoint{6, 1}));
  c->LineTo(6, 5);
  EXPECT_EQ(Px(*b, 6, 1), clBlack);
  EXPECT_EQ(Px(*b, 6, 4), clBlack);
  EXPECT_EQ(Px(*b, 6, 5), clWhite);
  // A diagonal steps one pixel per row.
  auto d = MakeBitmap(6, 6);
  d->Canvas()->MoveTo(0, 0);
  d->Canvas()->LineTo(4, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Px(*d, i, i), clBlack) << i;
  EXPECT_EQ(Px(*d, 4, 4), clWhite);
}

TEST(Raster, RectangleDrawsInsideItsBounds) {
  auto b = MakeBitmap(10, 10);
  TCanvas* c = b->Canvas();
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clRed);
  c->Rectangle(1, 1, 6, 5);
  EXPECT_EQ(Row(*b, 1, clBlack), ".#####....");
  EXPECT_EQ(Row(*b, 4, clBlack), ".#####....");
  EXPECT_EQ(Row(*b, 5, clBlack), "..........");
  EXPECT_EQ(Row(*b, 2, clRed), "..###.....");
  EXPECT_EQ(Px(*b, 5, 2), clBlack);
  // Without a pen the fill is one pixel smaller on the right and bottom.
  auto n = MakeBitmap(10, 10);
  n->Canvas()->Pen()->SetStyle(psClear);
  n->Canvas()->Brush()->SetColor(clRed);
  n->Canvas()->Rectangle(1, 1, 6, 5);
  EXPECT_EQ(Row(*n, 1, clRed), ".####.....");
  EXPECT_EQ(Row(*n, 3, clRed), ".####.....");
  EXPECT_EQ(Row(*n, 4, clRed), "..........");
  // A clear brush leaves the inside alone.
  auto h = MakeBitmap(10, 10, clBlue);
  h->Canvas()->Brush()->SetStyle(bsClear);
  h->Canvas()->Rectangle(0, 0, 4, 4);
  EXPECT_EQ(Px(*h, 2, 2), clBlue);
  EXPECT_EQ(Px(*h, 3, 3), clBlack);
}

TEST(Raster, FrameRectIsOnePixelInsideTheRectangle) {
  auto b = MakeBitmap(8, 8);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clNavy);
  c->FrameRect({1, 1, 7, 6});
  EXPECT_EQ(Row(*b, 1, clNavy), ".######.");
  EXPECT_EQ(Row(*b, 3, clNavy), ".#....#.");
  EXPECT_EQ(Row(*b, 5, clNavy), ".######.");
  EXPECT_EQ(Row(*b, 6, clNavy), "........");
}

TEST(Raster, RoundRectCutsItsCornersSymmetrically) {
  auto b = MakeBitmap(24, 16);
  TCanvas* c = b->Canvas();
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clRed);
  c->RoundRect(2, 2, 22, 14, 8, 8);
  Snapshot(*b, "graphics_roundrect");
  // Corners are cut, edge midpoints are drawn, the shape stays inside (2,2)-(22,14).
  EXPECT_EQ(Px(*b, 2, 2), clWhite);
  EXPECT_EQ(Px(*b, 21, 13), clWhite);
  EXPECT_EQ(Px(*b, 12, 2), clBlack);
  EXPECT_EQ(Px(*b, 2, 8), clBlack);
  EXPECT_EQ(Px(*b, 21, 8), clBlack);
  EXPECT_EQ(Px(*b, 12, 13), clBlack);
  EXPECT_EQ(Px(*b, 12, 14), clWhite);
  EXPECT_EQ(Px(*b, 22, 8), clWhite);
  EXPECT_EQ(Px(*b, 12, 8), clRed);
  for (int y = 2; y < 14; ++y) {
    const std::string row = Row(*b, y, clWhite, 2, 22);
    EXPECT_EQ(row, std::string(row.rbegin(), row.rend())) << "row " << y;
    EXPECT_EQ(row, Row(*b, 15 - y, clWhite, 2, 22)) << "row " << y;
  }
  // The outline is closed: every filled pixel has a filled or outline neighbour, never white.
  for (int y = 3; y < 13; ++y)
    for (int x = 3; x < 21; ++x) {
      if (Px(*b, x, y) != clRed) continue;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        EXPECT_NE(Px(*b, x + dx, y + dy), clWhite) << x << "," << y;
    }
}

TEST(Raster, EllipseFitsItsBoundsAndTouchesEverySide) {
  auto b = MakeBitmap(20, 14);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clLime);
  c->Ellipse(1, 1, 18, 12);
  EXPECT_EQ(Px(*b, 9, 1), clBlack);
  EXPECT_EQ(Px(*b, 9, 11), clBlack);
  EXPECT_EQ(Px(*b, 1, 6), clBlack);
  EXPECT_EQ(Px(*b, 17, 6), clBlack);
  EXPECT_EQ(Px(*b, 9, 6), clLime);
  EXPECT_EQ(Px(*b, 1, 1), clWhite);
  EXPECT_EQ(Row(*b, 0, clWhite), std::string(20, '#'));
  EXPECT_EQ(Row(*b, 12, clWhite), std::string(20, '#'));
}

TEST(Raster, ArcDrawsOnlyItsQuarter) {
  auto b = MakeBitmap(24, 24);
  TCanvas* c = b->Canvas();
  // Upper-right quarter: counter-clockwise from the right end to the top.
  c->Arc(2, 2, 22, 22, 22, 12, 12, 2);
  int upperRight = 0, elsewhere = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x)
      if (Px(*b, x, y) == clBlack) (x >= 12 && y < 12 ? upperRight : elsewhere)++;
  EXPECT_GT(upperRight, 10);
  EXPECT_EQ(elsewhere, 0);
  EXPECT_EQ(Px(*b, 21, 11), clBlack);
  EXPECT_EQ(Px(*b, 12, 2), clBlack);
}

TEST(Raster, PolygonFillsATriangleWithItsOutline) {
  auto b = MakeBitmap(10, 6);
  TCanvas* c = b->Canvas();
  c->Pen()->SetColor(clBlue);
  c->Brush()->SetColor(clBlue);
  c->Polygon({{1, 1}, {7, 1}, {4, 4}});
  EXPECT_EQ(Row(*b, 1, clBlue), ".#######..");
  EXPECT_EQ(Row(*b, 2, clBlue), "..#####...");
  EXPECT_EQ(Row(*b, 3, clBlue), "...###....");
  EXPECT_EQ(Row(*b, 4, clBlue), "....#.....");
}

TEST(Raster, InvertingDrawingTwiceRestores) {
  auto b = MakeBitmap(12, 12, clTeal);
  b->Canvas()->Brush()->SetColor(clYellow);
  b->Canvas()->FillRect({3, 3, 9, 9});
  const TSurface before = b->Surface();
  TCanvas* c = b->Canvas();
  c->DrawFocusRect({1, 1, 11, 10});
  // A dotted outline: of two neighbouring pixels exactly one is inverted.
  EXPECT_NE(Px(*b, 4, 1) == clTeal, Px(*b, 5, 1) == clTeal);
  EXPECT_EQ(Px(*b, 5, 5), clYellow);
  c->DrawFocusRect({1, 1, 11, 10});
  EXPECT_TRUE(std::equal(before.Bits(), before.Bits() + 144, b->Surface().Bits()));
  // An XOR pen line twice, likewise.
  c->Pen()->SetMode(pmXor);
  c->Pen()->SetColor(clWhite);
  c->Rectangle(0, 0, 12, 12);
  c->Rectangle(0, 0, 12, 12);
  EXPECT_TRUE(std::equal(before.Bits(), before.Bits() + 144, b->Surface().Bits()));
}

TEST(Raster, DashedPenLeavesGapsAndPixelsAreClippedToTheBitmap) {
  auto b = MakeBitmap(40, 3);
  TCanvas* c = b->Canvas();
  c->Pen()->SetStyle(psDot);
  c->Brush()->SetStyle(bsClear); // transparent background: gaps stay
  c->MoveTo(0, 1);
  c->LineTo(40, 1);
  EXPECT_EQ(Row(*b, 1, clBlack, 0, 12), "###...###...");
  // Drawing far outside does nothing and does not crash.
  c->Pen()->SetStyle(psSolid);
  c->MoveTo(-100, -100);
  c->LineTo(200, 300);
  c->Rectangle(-50, -50, 1000, 1000);
  c->SetPixels(-1, 0, clRed);
  EXPECT_EQ(static_cast<uint32_t>(c->Pixels(40, 0)), CLR_INVALID);
}
