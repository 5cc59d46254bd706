#include "tools/skingen/BmpFile.h"

#include <gtest/gtest.h>

using namespace skingen;

namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
std::uint32_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8);
}

Image sample() {
  Image img(3, 2); // 9 bytes a row, padded to 12
  img.setPixel(0, 0, 0x112233);
  img.setPixel(2, 0, 0xFF00FF);
  img.setPixel(1, 1, 0xA0B0C0);
  return img;
}

} // namespace

TEST(BmpFile, WritesAHeaderOtherReadersAccept) {
  const std::vector<std::uint8_t> b = encodeBmp(sample());
  ASSERT_EQ(b.size(), 54u + 2 * 12);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(le32(b, 2), b.size());
  EXPECT_EQ(le32(b, 10), 54u); // pixel data offset
  EXPECT_EQ(le32(b, 14), 40u); // info header size
  EXPECT_EQ(le32(b, 18), 3u);  // width
  EXPECT_EQ(le32(b, 22), 2u);  // positive height: bottom-up rows
  EXPECT_EQ(le16(b, 26), 1u);  // planes
  EXPECT_EQ(le16(b, 28), 24u); // bits per pixel
  EXPECT_EQ(le32(b, 30), 0u);  // uncompressed
  EXPECT_EQ(le32(b, 34), 24u); // image size with padding
  EXPECT_EQ(le32(b, 46), 0u);  // no palette
  // The first stored row is the bottom one, in blue-green-red order, padded with zeros.
  EXPECT_EQ(b[54 + 3], 0xC0);
  EXPECT_EQ(b[54 + 4], 0xB0);
  EXPECT_EQ(b[54 + 5], 0xA0);
  EXPECT_EQ(b[54 + 9], 0);
  EXPECT_EQ(b[54 + 12], 0x33);
  EXPECT_EQ(b[54 + 14], 0x11);
}

TEST(BmpFile, ReadsBackWhatItWritesAndRejectsDamage) {
  const Image img = sample();
  std::vector<std::uint8_t> b = encodeBmp(img);
  const std::optional<Image> back = decodeBmp(b);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->width, 3);
  EXPECT_EQ(back->height, 2);
  EXPECT_TRUE(back->rgb == img.rgb);

  std::vector<std::uint8_t> cut(b.begin(), b.end() - 1);
  EXPECT_FALSE(decodeBmp(cut));
  std::vector<std::uint8_t> shortHeader(b.begin(), b.begin() + 30);
  EXPECT_FALSE(decodeBmp(shortHeader));
  b[28] = 8; // a palette picture is not ours
  EXPECT_FALSE(decodeBmp(b));
}
