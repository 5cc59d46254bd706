// BMP files: every depth round trips; hand-made top-down, bottom-up, bit-field and run-length files read;
// malformed files raise EInvalidGraphic and never read outside their data.
#include <gtest/gtest.h>

#include <random>

#include "GraphicsTestSupport.h"
#include "classlib/core/Stream.h"
#include "classlib/graphics/BmpCodec.h"

namespace {

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  Put16(v, at, x & 0xFFFF);
  Put16(v, at + 2, x >> 16);
}

// A BMP file with a 40-byte header; `extra` bytes (masks, palette) then `pixels`.
std::vector<uint8_t> MakeBmp(int w, int h, int bpp, uint32_t compression, const std::vector<uint8_t>& extra,
                             const std::vector<uint8_t>& pixels, uint32_t colorsUsed = 0) {
  std::vector<uint8_t> f(54 + extra.size() + pixels.size(), 0);
  f[0] = 'B';
  f[1] = 'M';
  Put32(f, 2, static_cast<uint32_t>(f.size()));
  Put32(f, 10, static_cast<uint32_t>(54 + extra.size()));
  Put32(f, 14, 40);
  Put32(f, 18, static_cast<uint32_t>(w));
  Put32(f, 22, static_cast<uint32_t>(h));
  Put16(f, 26, 1);
  Put16(f, 28, static_cast<uint32_t>(bpp));
  Put32(f, 30, compression);
  Put32(f, 46, colorsUsed);
  std::copy(extra.begin(), extra.end(), f.begin() + 54);
  std::copy(pixels.begin(), pixels.end(), f.begin() + 54 + static_cast<std::ptrdiff_t>(extra.size()));
  return f;
}

// A picture with few colours (so that it fits every palette) and distinct corners.
std::unique_ptr<TBitmap> Sample(int w, int h) {
  auto b = MakeBitmap(w, h, clWhite);
  b->Canvas()->SetPixels(0, 0, clBlack);
  b->Canvas()->SetPixels(w - 1, h - 1, clBlack);
  b->Canvas()->SetPixels(w - 1, 0, clBlack);
  return b;
}

} // namespace

TEST(Bmp, EveryDepthRoundTrips) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
    auto b = Sample(13, 5); // odd width: rows are padded
    if (format != pf1bit) {
      b->Canvas()->SetPixels(3, 2, clRed);
      b->Canvas()->SetPixels(4, 2, 0x123456);
    }
    b->SetPixelFormat(format);
    TMemoryStream stream;
    b->SaveToStream(&stream);
    stream.SetPosition(0);
    TBitmap back;
    back.LoadFromStream(&stream);
    EXPECT_EQ(back.PixelFormat(), format) << format;
    ASSERT_EQ(back.Width(), 13);
    ASSERT_EQ(back.Height(), 5);
    EXPECT_TRUE(std::equal(b->Surface().Bits(), b->Surface().Bits() + 65, back.Surface().Bits())) << format;
  }
  // More colours than the palette holds are saved at 24 bits rather than lost.
  auto many = MakeBitmap(20, 1);
  for (int x = 0; x < 20; ++x) many->Canvas()->SetPixels(x, 0, RGB(x * 10, 0, 0));
  many->SetPixelFormat(pf4bit);
  TBitmap back;
  const std::vector<uint8_t> bytes = many->SaveToMemory();
  back.LoadFromMemory(bytes.data(), bytes.size());
  EXPECT_EQ(Px(back, 19, 0), RGB(190, 0, 0));
}

TEST(Bmp, TopDownAndBottomUpRowsReadInPlace) {
  // Two rows of 24-bit pixels: first stored row red, second blue.
  std::vector<uint8_t> rows = {0, 0, 255, 0, 255, 0, 0, 0};
  auto bottomUp = MakeBmp(1, 2, 24, 0, {}, rows);
  TBitmap b;
  b.LoadFromMemory(bottomUp.data(), bottomUp.size());
  EXPECT_EQ(Px(b, 0, 1), clRed);
  EXPECT_EQ(Px(b, 0, 0), clBlue);
  auto topDown = MakeBmp(1, -2, 24, 0, {}, rows);
  b.LoadFromMemory(topDown.data(), topDown.size());
  EXPECT_EQ(Px(b, 0, 0), clRed);
  EXPECT_EQ(Px(b, 0, 1), clBlue);
}

TEST(Bmp, PalettesBitFieldsAndRunLengths) {
  // 4 bits, two palette entries (red, blue) used, one row "0 1 1 0".
  std::vector<uint8_t> palette = {0, 0, 255, 0, 255, 0, 0, 0};
  auto four = MakeBmp(4, 1, 4, 0, palette, {0x01, 0x10, 0, 0}, 2);
  TBitmap b;
  b.LoadFromMemory(four.data(), four.size());
  EXPECT_EQ(Row(b, 0, clRed), "#..#");
  EXPECT_EQ(b.PixelFormat(), pf4bit);
  // 16 bits, 5-6-5 bit fields: pure green and pure red.
  std::vector<uint8_t> masks(12);
  Put32(masks, 0, 0xF800);
  Put32(masks, 4, 0x07E0);
  Put32(masks, 8, 0x001F);
  auto sixteen = MakeBmp(2, 1, 16, 3, masks, {0xE0, 0x07, 0x00, 0xF8});
  b.LoadFromMemory(sixteen.data(), sixteen.size());
  EXPECT_EQ(Px(b, 0, 0), clLime);
  EXPECT_EQ(Px(b, 1, 0), clRed);
  // 16 bits without fields are 5-5-5.
  auto rgb555 = MakeBmp(1, 1, 16, 0, {}, {0x1F, 0x00, 0, 0});
  b.LoadFromMemory(rgb555.data(), rgb555.size());
  EXPECT_EQ(Px(b, 0, 0), clBlue);
  // 8-bit run lengths: 3 pixels of index 1, end of line, 3 absolute pixels 0 1 1, end of picture.
  auto rle = MakeBmp(4, 2, 8, 1, palette, {3, 1, 0, 0, 0, 3, 0, 1, 1, 0, 0, 1}, 2);
  b.LoadFromMemory(rle.data(), rle.size());
  EXPECT_EQ(Row(b, 1, clBlue), "###.");
  EXPECT_EQ(Row(b, 0, clBlue), ".##.");
  EXPECT_EQ(Row(b, 0, clRed), "#..#"); // pixels a run leaves out are index 0
}

TEST(Bmp, RunLengthsNeverLeaveThePicture) {
  const std::vector<uint8_t> palette = {0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0};
  // A run longer than the line: the rest is dropped, the next line starts after end-of-line.
  auto longRun = MakeBmp(2, 2, 8, 1, palette, {5, 1, 0, 0, 1, 2, 0, 1}, 3);
  TBitmap b;
  b.LoadFromMemory(longRun.data(), longRun.size());
  EXPECT_EQ(Row(b, 1, clBlue), "##");
  EXPECT_EQ(Row(b, 0, clLime), "#.");
  // Enough runs (and deltas) to carry a 32-bit column counter past its end and back into the line: nothing
  // may be written outside the picture, and its one pixel is the first run's.
  for (const bool delta : {false, true}) {
    std::vector<uint8_t> rle = {1, 1};
    const size_t steps = (size_t{1} << 31) / 255 + 2;
    rle.reserve(rle.size() + steps * 4 + 2);
    for (size_t i = 0; i < steps; ++i) {
      if (delta)
        rle.insert(rle.end(), {0, 2, 255, 0});
      else
        rle.insert(rle.end(), {255, 2});
    }
    rle.insert(rle.end(), {0, 1});
    auto big = MakeBmp(1, 1, 8, 1, palette, rle, 3);
    b.LoadFromMemory(big.data(), big.size());
    EXPECT_EQ(Px(b, 0, 0), clBlue) << delta;
  }
}

// Run lengths may skip pixels, but a picture far larger than its runs could paint is refused before the
// pixels are allocated: 64 KB once claimed 8192 x 8192 pixels (256 MiB).
TEST(Bmp, RunLengthPicturesAreBoundedByWhatTheirRunsPaint) {
  const std::vector<uint8_t> palette = {0, 0, 255, 0, 255, 0, 0, 0};
  std::vector<uint8_t> lines;
  for (int y = 0; y < 8192; ++y) lines.insert(lines.end(), {1, 1, 1, 0, 1, 1, 0, 0});
  lines.insert(lines.end(), {0, 1});
  TBitmap b;
  auto huge = MakeBmp(8192, 8192, 8, 1, palette, lines, 2);
  EXPECT_THROW(b.LoadFromMemory(huge.data(), huge.size()), EInvalidGraphic);
  // The same runs paint a picture of their own size, and a small picture may be all background.
  auto fits = MakeBmp(8192, 64, 8, 1, palette, lines, 2);
  b.LoadFromMemory(fits.data(), fits.size());
  EXPECT_EQ(b.Height(), 64);
  EXPECT_EQ(Px(b, 0, 63), clBlue);
  auto blank = MakeBmp(256, 256, 8, 1, palette, {0, 1}, 2);
  b.LoadFromMemory(blank.data(), blank.size());
  EXPECT_EQ(Px(b, 255, 255), clRed);
}

TEST(Bmp, BadInputRaisesInvalidGraphic) {
  TBitmap b;
  const auto invalid = [&](const std::vector<uint8_t>& data) {
    EXPECT_THROW(b.LoadFromMemory(data.data(), data.size()), EInvalidGraphic);
  };
  invalid({});
  invalid({'B', 'M'});
  invalid(std::vector<uint8_t>(100, 0));
  auto good = Sample(7, 3)->SaveToMemory();
  // Truncated anywhere.
  for (size_t n = 0; n < good.size(); ++n)
    invalid(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
  // Impossible sizes, depths and offsets.
  auto huge = good;
  Put32(huge, 18, 0x7FFFFFFF);
  invalid(huge);
  auto zero = good;
  Put32(zero, 18, 0);
  invalid(zero);
  auto depth = good;
  Put16(depth, 28, 7);
  invalid(depth);
  auto offset = good;
  Put32(offset, 10, 0xFFFFFFF0);
  invalid(offset);
  auto rle24 = good;
  Put32(rle24, 30, 1);
  invalid(rle24);
  // Pixels that would start inside the headers (which would decode as pixels).
  for (const uint32_t at : {0u, 14u, 30u, 53u}) {
    auto inside = good;
    Put32(inside, 10, at);
    invalid(inside);
  }
  // A failed load keeps the picture it had.
  b.LoadFromMemory(good.data(), good.size());
  invalid(huge);
  EXPECT_EQ(b.Width(), 7);
}

TEST(Bmp, RandomAndMutatedInputNeverCrashes) {
  std::mt19937 rng(20240601);
  const std::vector<uint8_t> seeds[] = {
      Sample(5, 4)->SaveToMemory(),
      MakeBmp(4, 2, 8, 1, {0, 0, 255, 0, 255, 0, 0, 0}, {3, 1, 0, 0, 0, 3, 0, 1, 1, 0, 0, 1}, 2),
      MakeBmp(4, 1, 4, 0, {0, 0, 255, 0, 255, 0, 0, 0}, {0x01, 0x10, 0, 0}, 2),
  };
  TBitmap b;
  int decoded = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> data = seeds[round % 3];
    const int flips = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < flips; ++i) data[rng() % data.size()] = static_cast<uint8_t>(rng());
    if (rng() % 4 == 0) data.resize(rng() % data.size());
    try {
      b.LoadFromMemory(data.data(), data.size());
      ++decoded;
    } catch (const EInvalidGraphic&) {
    }
  }
  for (int round = 0; round < 500; ++round) {
    std::vector<uint8_t> data(rng() % 200);
    for (auto& byte : data) byte = static_cast<uint8_t>(rng());
    if (data.size() > 2 && round % 2) {
      data[0] = 'B';
      data[1] = 'M';
    }
    try {
      b.LoadFromMemory(data.data(), data.size());
    } catch (const EInvalidGraphic&) {
    }
  }
  EXPECT_GT(decoded, 0); // some mutations still make pictures
}
