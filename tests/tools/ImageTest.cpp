#include "tools/skingen/Image.h"

#include <gtest/gtest.h>

using namespace skingen;

TEST(ImageKeying, KeysTheOutsideWithoutBlendingEdgesIntoTheKey) {
  // A dark disc antialiased against a light background: its soft edge must end in the background's colour,
  // never in a pinkish mix with magenta.
  Canvas c(21, 21, hex(0xE0E0E0));
  c.fill(ellipse(10.5, 10.5, 8.3, 8.3), hex(0x203060));
  const Image img = toImage(c, Key::Magenta);
  int keyed = 0, soft = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) {
      const std::uint32_t p = img.pixel(x, y);
      if (p == MagentaKey) {
        ++keyed;
        continue;
      }
      EXPECT_FALSE(nearKey(p, MagentaKey));
      if (p != 0x203060) ++soft;
    }
  EXPECT_EQ(img.pixel(0, 0), MagentaKey);
  EXPECT_EQ(img.pixel(10, 10), 0x203060u);
  EXPECT_GT(keyed, 0);
  EXPECT_GT(soft, 0); // the edge is antialiased
}

TEST(ImageKeying, PushesDrawnColoursOutOfTheKeysNeighbourhood) {
  Canvas c(2, 1, hex(0xFFFFFF));
  c.set(0, 0, hex(0xF808F4));
  c.set(1, 0, hex(0xFAFAFA));
  const Image magenta = toImage(c, Key::Magenta);
  EXPECT_NE(magenta.pixel(0, 0), MagentaKey);
  EXPECT_FALSE(nearKey(magenta.pixel(0, 0), MagentaKey));
  const Image white = toImage(c, Key::White);
  EXPECT_FALSE(nearKey(white.pixel(1, 0), WhiteKey));
  // Without a key, colours stay as drawn.
  EXPECT_EQ(toImage(c, Key::None).pixel(0, 0), 0xF808F4u);
}

TEST(ImageAlpha, CoverageBecomesOpacityAndEdgesKeepTheirOwnColour) {
  // A red disc on blue: its soft edge is red made transparent, never a purple blend with the background.
  Canvas c(21, 21, hex(0x0000FF));
  c.fill(ellipse(10.5, 10.5, 8.3, 8.3), hex(0xFF0000));
  const RgbaImage img = toRgbaImage(c);
  ASSERT_EQ(img.width, 21);
  ASSERT_EQ(img.rgba.size(), 21u * 21 * 4);
  EXPECT_EQ(img.pixel(0, 0) & 0xFF, 0u);
  EXPECT_EQ(img.pixel(10, 10), 0xFF0000FFu);
  int soft = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) {
      const std::uint32_t p = img.pixel(x, y), alpha = p & 0xFF;
      if (alpha == 0 || alpha == 255) continue;
      ++soft;
      EXPECT_GE(p >> 24, 254u) << x << "," << y;       // red
      EXPECT_LE((p >> 8) & 0xFF, 1u) << x << "," << y; // no blue from underneath
    }
  EXPECT_GT(soft, 0);

  // Fills over fills: a half-transparent white over nothing is white at half opacity; over red it is pink.
  Canvas layered(2, 1, hex(0x000000));
  layered.fill(rect(1, 0, 2, 1), hex(0xFF0000));
  layered.fill(rect(0, 0, 2, 1), hex(0xFFFFFF), 0.5);
  const RgbaImage both = toRgbaImage(layered);
  EXPECT_EQ(both.pixel(0, 0), 0xFFFFFF80u);
  EXPECT_EQ(both.pixel(1, 0), 0xFF8080FFu);
}
