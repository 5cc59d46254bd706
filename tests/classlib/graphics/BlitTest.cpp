// Bit-block transfers: raster operations on known pixels, nearest-neighbour stretching, copy modes and
// transparent drawing.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"

namespace {

// One pixel of each: destination D and source S, combined by `rop`.
TColor Combine(TColor d, TColor s, uint32_t rop, TColor brush = clBlack) {
  auto dst = MakeBitmap(1, 1, d);
  auto src = MakeBitmap(1, 1, s);
  dst->Canvas()->Brush()->SetColor(brush);
  HDC dc = dst->Canvas()->Handle();
  SelectObject(dc, dst->Canvas()->Brush()->Handle());
  BitBlt(dc, 0, 0, 1, 1, src->Canvas()->Handle(), 0, 0, rop);
  return Px(*dst, 0, 0);
}

} // namespace

TEST(Blit, RasterOperationsCombineSourceDestinationAndPattern) {
  const TColor d = 0x0F33CC, s = 0x5555F0;
  EXPECT_EQ(Combine(d, s, SRCCOPY), s);
  EXPECT_EQ(Combine(d, s, SRCAND), d & s);
  EXPECT_EQ(Combine(d, s, SRCPAINT), d | s);
  EXPECT_EQ(Combine(d, s, SRCINVERT), d ^ s);
  EXPECT_EQ(Combine(d, s, MERGEPAINT), (d | ~s) & 0xFFFFFF);
  EXPECT_EQ(Combine(d, s, NOTSRCCOPY), ~s & 0xFFFFFF);
  EXPECT_EQ(Combine(d, s, SRCERASE), s & ~d & 0xFFFFFF);
  EXPECT_EQ(Combine(d, s, NOTSRCERASE), ~(d | s) & 0xFFFFFF);
  EXPECT_EQ(Combine(d, s, DSTINVERT), ~d & 0xFFFFFF);
  EXPECT_EQ(Combine(d, s, BLACKNESS), clBlack);
  EXPECT_EQ(Combine(d, s, WHITENESS), clWhite);
  EXPECT_EQ(Combine(d, s, PATCOPY, clGreen), clGreen);
  EXPECT_EQ(Combine(d, s, PATINVERT, 0x00FF00), d ^ 0x00FF00);
  EXPECT_EQ(Combine(d, s, MERGECOPY, 0x0000F0), s & 0x0000F0);
  // A code outside the named ones goes through its truth table: 0xCA is (S and P) or (D and not P).
  EXPECT_EQ(Combine(d, s, 0x00CA0749, 0x00FF00), (s & 0x00FF00) | (d & ~0x00FF00 & 0xFFFFFF));
}

TEST(Blit, BitBltCopiesAreaAndClipsToBothSurfaces) {
  auto src = MakeBitmap(4, 4, clRed);
  auto dst = MakeBitmap(6, 6);
  BitBlt(dst->Canvas()->Handle(), 4, 4, 4, 4, src->Canvas()->Handle(), 0, 0, SRCCOPY);
  EXPECT_EQ(Px(*dst, 4, 4), clRed);
  EXPECT_EQ(Px(*dst, 5, 5), clRed);
  EXPECT_EQ(Px(*dst, 3, 4), clWhite);
  // A source rectangle partly outside the source copies only what exists.
  auto dst2 = MakeBitmap(6, 6);
  BitBlt(dst2->Canvas()->Handle(), 0, 0, 6, 6, src->Canvas()->Handle(), 2, 2, SRCCOPY);
  EXPECT_EQ(Px(*dst2, 1, 1), clRed);
  EXPECT_EQ(Px(*dst2, 2, 2), clWhite);
  // Within one bitmap, overlapping areas copy as if through a copy of the source.
  auto self = MakeBitmap(6, 1);
  for (int x = 0; x < 6; ++x) self->Canvas()->SetPixels(x, 0, RGB(x, 0, 0));
  HDC dc = self->Canvas()->Handle();
  BitBlt(dc, 1, 0, 5, 1, dc, 0, 0, SRCCOPY);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(Px(*self, x, 0), RGB(x - 1, 0, 0));
}

TEST(Blit, StretchDrawSamplesNearestNeighbour) {
  auto src = MakeBitmap(2, 2);
  src->Canvas()->SetPixels(0, 0, clRed);
  src->Canvas()->SetPixels(1, 0, clLime);
  src->Canvas()->SetPixels(0, 1, clBlue);
  src->Canvas()->SetPixels(1, 1, clBlack);
  auto dst = MakeBitmap(8, 8);
  dst->Canvas()->StretchDraw({0, 0, 6, 6}, src.get());
  EXPECT_EQ(Row(*dst, 0, clRed), "###.....");
  EXPECT_EQ(Row(*dst, 2, clLime), "...###..");
  EXPECT_EQ(Row(*dst, 3, clBlue), "###.....");
  EXPECT_EQ(Row(*dst, 5, clBlack), "...###..");
  EXPECT_EQ(Row(*dst, 6, clWhite), "########");
  // Shrinking keeps whole source pixels, no blending.
  auto wide = MakeBitmap(6, 1);
  for (int x = 0; x < 6; ++x) wide->Canvas()->SetPixels(x, 0, x < 3 ? clRed : clBlue);
  auto small = MakeBitmap(2, 1);
  small->Canvas()->StretchDraw({0, 0, 2, 1}, wide.get());
  EXPECT_EQ(Px(*small, 0, 0), clRed);
  EXPECT_EQ(Px(*small, 1, 0), clBlue);
  // A negative width mirrors.
  auto mirror = MakeBitmap(2, 1);
  StretchBlt(mirror->Canvas()->Handle(), 0, 0, 2, 1, src->Canvas()->Handle(), 2, 0, -2, 1, SRCCOPY);
  EXPECT_EQ(Px(*mirror, 0, 0), clLime);
  EXPECT_EQ(Px(*mirror, 1, 0), clRed);
  // StretchDraw into an inverted or empty rectangle draws nothing at all (no mirrored picture).
  auto untouched = MakeBitmap(4, 4, clWhite);
  untouched->Canvas()->StretchDraw({3, 0, 1, 4}, src.get());
  untouched->Canvas()->StretchDraw({0, 3, 4, 1}, src.get());
  untouched->Canvas()->StretchDraw({2, 2, 2, 4}, src.get());
  for (int y = 0; y < 4; ++y) EXPECT_EQ(Row(*untouched, y, clWhite), "####");
}

TEST(Blit, MergePaintCopyModeTurnsBlackDigitsWhite) {
  // The numbered-picture tile: a white card with black marks merged onto a picture with dest | ~src.
  auto picture = MakeBitmap(4, 4, 0x336699);
  auto card = MakeBitmap(2, 2, clWhite);
  card->Canvas()->SetPixels(0, 0, clBlack);
  picture->Canvas()->SetCopyMode(cmMergePaint);
  picture->Canvas()->StretchDraw({0, 0, 4, 4}, card.get());
  EXPECT_EQ(Px(*picture, 0, 0), clWhite);
  EXPECT_EQ(Px(*picture, 1, 1), clWhite);
  EXPECT_EQ(Px(*picture, 2, 0), 0x336699);
  EXPECT_EQ(Px(*picture, 3, 3), 0x336699);
}

TEST(Blit, TransparentBitmapLeavesOutItsKeyColour) {
  auto glyph = MakeBitmap(3, 1, clFuchsia);
  glyph->Canvas()->SetPixels(1, 0, clRed);
  auto dst = MakeBitmap(3, 1, clGreen);
  glyph->SetTransparent(true);
  EXPECT_EQ(glyph->TransparentColor(), clFuchsia); // pixel (0, 0) unless fixed
  dst->Canvas()->Draw(0, 0, glyph.get());
  EXPECT_EQ(Px(*dst, 0, 0), clGreen);
  EXPECT_EQ(Px(*dst, 1, 0), clRed);
  glyph->SetTransparentColor(clRed);
  EXPECT_EQ(glyph->TransparentMode(), tmFixed);
  dst->Canvas()->Draw(0, 0, glyph.get());
  EXPECT_EQ(Px(*dst, 0, 0), clFuchsia);
  EXPECT_EQ(Px(*dst, 1, 0), clRed);
  // BrushCopy puts the brush where the picture has the given colour.
  auto dst2 = MakeBitmap(3, 1);
  dst2->Canvas()->Brush()->SetColor(clYellow);
  dst2->Canvas()->BrushCopy({0, 0, 3, 1}, glyph.get(), {0, 0, 3, 1}, clFuchsia);
  EXPECT_EQ(Row(*dst2, 0, clYellow), "#.#");
}

TEST(Blit, PatternBrushTilesFromTheOrigin) {
  auto tile = MakeBitmap(2, 2, clRed);
  tile->Canvas()->SetPixels(1, 1, clBlue);
  auto dst = MakeBitmap(6, 6);
  dst->Canvas()->Brush()->SetBitmap(tile.get());
  dst->Canvas()->FillRect({1, 1, 6, 6});
  EXPECT_EQ(Px(*dst, 0, 0), clWhite);
  EXPECT_EQ(Px(*dst, 1, 1), clBlue);
  EXPECT_EQ(Px(*dst, 3, 3), clBlue);
  EXPECT_EQ(Px(*dst, 2, 2), clRed);
  EXPECT_EQ(Px(*dst, 2, 3), clRed);
}
