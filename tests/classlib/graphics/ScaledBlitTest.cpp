// Pictures copied onto surfaces of device pixels: pixel art replicated at whole scales, copies between
// surfaces of one scale pixel for pixel, photographs blended at a quarter and three quarters at scale 2, each
// through clipping that splits the picture and at edges beyond the surface.
#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "classlib/graphics/DeviceContext.h"

namespace {

constexpr uint32_t Background = 0x123456;

// A surface of 40 x 30 logical pixels at Scale, every pixel Background.
TSurface ScaledSurface(double Scale) {
  TSurface s;
  s.SetScaledSize(40, 30, Scale, 1 << 12, 1 << 22, Background);
  return s;
}

// Pixel art with a different colour at every pixel.
std::unique_ptr<TBitmap> PixelArt(int W, int H) {
  auto b = MakeBitmap(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      b->Surface().SetPixel(x, y, static_cast<uint32_t>(0x10000 * x + 0x100 * y + 7));
  return b;
}

bool Inside(int X, int Y, const TRect& R) {
  return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

// Channel by channel, A blended Quarters fourths of the way to B, halves rounded up.
uint32_t Quarter(uint32_t A, uint32_t B, int Quarters) {
  uint32_t r = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = (A >> shift) & 0xFF, b = (B >> shift) & 0xFF;
    r |= static_cast<uint32_t>((a * (4 - Quarters) + b * Quarters + 2) / 4) << shift;
  }
  return r;
}

} // namespace

TEST(ScaledBlit, PixelArtFillsEachLogicalPixelsDevicePixelsAtWholeScales) {
  const auto art = PixelArt(16, 16);
  for (double scale : {2.0, 3.0}) {
    TSurface surface = ScaledSurface(scale);
    TDeviceContext dc(&surface);
    // A band kept out splits the first picture in two; the second starts off the surface's left edge.
    ExcludeClipRect(&dc, 12, 0, 15, 30);
    const TRect first = Bounds(7, 5, 13, 11), second = Bounds(-3, 20, 10, 6);
    ASSERT_TRUE(BitBlt(&dc, first.Left, first.Top, 13, 11, art->Canvas()->Handle(), 1, 2, SRCCOPY));
    ASSERT_TRUE(BitBlt(&dc, second.Left, second.Top, 10, 6, art->Canvas()->Handle(), 0, 0, SRCCOPY));
    for (int dy = 0; dy < surface.Height(); ++dy)
      for (int dx = 0; dx < surface.Width(); ++dx) {
        const int x = LogicalOf(dx, scale), y = LogicalOf(dy, scale);
        uint32_t want = Background;
        if (x >= 12 && x < 15)
          want = Background;
        else if (Inside(x, y, first))
          want = art->Surface().Pixel(x - 7 + 1, y - 5 + 2);
        else if (Inside(x, y, second))
          want = art->Surface().Pixel(x + 3, y - 20);
        ASSERT_EQ(surface.Pixel(dx, dy), want) << "scale " << scale << ", device pixel " << dx << "," << dy;
      }
  }
}

TEST(ScaledBlit, StretchedAndMirroredPixelArtKeepsWholeBlocks) {
  const auto art = PixelArt(4, 3);
  TSurface surface = ScaledSurface(2.0);
  TDeviceContext dc(&surface);
  // Twice as large, and mirrored left to right: each source pixel covers 4 x 4 device pixels.
  ASSERT_TRUE(StretchBlt(&dc, 2, 2, 8, 6, art->Canvas()->Handle(), 0, 0, 4, 3, SRCCOPY));
  ASSERT_TRUE(StretchBlt(&dc, 28, 2, -8, 6, art->Canvas()->Handle(), 0, 0, 4, 3, SRCCOPY));
  for (int dy = 4; dy < 16; ++dy)
    for (int dx = 4; dx < 20; ++dx) {
      ASSERT_EQ(surface.Pixel(dx, dy), art->Surface().Pixel((dx - 4) / 4, (dy - 4) / 4)) << dx << "," << dy;
      ASSERT_EQ(surface.Pixel(dx + 36, dy), art->Surface().Pixel(3 - (dx - 4) / 4, (dy - 4) / 4))
          << dx + 36 << "," << dy;
    }
  EXPECT_EQ(surface.Pixel(3, 4), Background);
  EXPECT_EQ(surface.Pixel(20, 4), Background);
}

TEST(ScaledBlit, SurfacesOfOneScaleCopyDevicePixelForDevicePixel) {
  for (double scale : {1.5, 2.0}) {
    TSurface from = ScaledSurface(scale), to = ScaledSurface(scale);
    for (int dy = 0; dy < from.Height(); ++dy)
      for (int dx = 0; dx < from.Width(); ++dx) from.SetPixel(dx, dy, static_cast<uint32_t>(dx * 0x101 + dy));
    TDeviceContext source(&from), dc(&to);
    ExcludeClipRect(&dc, 0, 10, 40, 12);
    // Four logical pixels to the right: a whole number of device pixels at either scale.
    ASSERT_TRUE(BitBlt(&dc, 6, 4, 20, 16, &source, 2, 4, SRCCOPY));
    const int shift = DeviceEdge(4, scale);
    for (int dy = 0; dy < to.Height(); ++dy)
      for (int dx = 0; dx < to.Width(); ++dx) {
        const int x = LogicalOf(dx, scale), y = LogicalOf(dy, scale);
        const bool drawn = Inside(x, y, Bounds(6, 4, 20, 16)) && !(y >= 10 && y < 12);
        ASSERT_EQ(to.Pixel(dx, dy), drawn ? from.Pixel(dx - shift, dy) : Background)
            << "scale " << scale << ", device pixel " << dx << "," << dy;
      }
  }
}

TEST(ScaledBlit, PhotographsAtScale2BlendNeighboursAtAQuarterRoundingHalvesUp) {
  // Neighbouring channels differ by 2, 6, 10 or 254 up and down, so that many blends end in a half.
  auto photo = MakeBitmap(4, 3);
  const uint32_t pixels[3][4] = {{0x000000, 0x020602, 0x0A0000, 0xFE02FE},
                                 {0x060A06, 0x000000, 0x02FE02, 0x000602},
                                 {0xFEFEFE, 0x0A060A, 0x000000, 0x020202}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) photo->Surface().SetPixel(x, y, pixels[y][x]);
  photo->Surface().SetSmooth(true);
  TSurface surface = ScaledSurface(2.0);
  TDeviceContext dc(&surface);
  ExcludeClipRect(&dc, 0, 3, 40, 4); // the middle row of the picture kept out
  ASSERT_TRUE(BitBlt(&dc, 3, 2, 4, 3, photo->Canvas()->Handle(), 0, 0, SRCCOPY));
  // Device pixel 2i samples a quarter of the way from pixel i - 1 to pixel i, 2i + 1 a quarter from i + 1;
  // at the picture's edges only the picture's own pixels count.
  const auto neighbour = [](int Half, int I, int Last) { return std::clamp(Half ? I + 1 : I - 1, 0, Last); };
  for (int dy = 4; dy < 10; ++dy)
    for (int dx = 6; dx < 14; ++dx) {
      const int i = dx / 2 - 3, j = dy / 2 - 2;
      const int i2 = neighbour(dx % 2, i, 3), j2 = neighbour(dy % 2, j, 2);
      const uint32_t near = Quarter(pixels[j][i], pixels[j][i2], 1);
      const uint32_t far = Quarter(pixels[j2][i], pixels[j2][i2], 1);
      const uint32_t want = j == 1 ? Background : Quarter(near, far, 1);
      ASSERT_EQ(surface.Pixel(dx, dy), want) << "device pixel " << dx << "," << dy;
    }
}
