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
