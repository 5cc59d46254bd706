// JPEG pictures through libjpeg, and pictures chosen by file extension.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "GraphicsTestSupport.h"
#include "classlib/backend/ImageFile.h"
#include "classlib/core/Stream.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/JPEGImage.h"
#include "classlib/graphics/Picture.h"
#include "classlib/graphics/RasterImage.h"

namespace {

// A w x h JPEG made with libjpeg's own compressor: left half red, right half blue.
std::vector<uint8_t> MakeJpeg(int w, int h, bool gray = false, bool progressive = false) {
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(w);
  info.image_height = static_cast<JDIMENSION>(h);
  info.input_components = gray ? 1 : 3;
  info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(w) * (gray ? 1 : 3));
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < w; ++x) {
      if (gray) {
        row[static_cast<size_t>(x)] = x < w / 2 ? 40 : 220;
        continue;
      }
      const bool left = x < w / 2;
      row[3 * static_cast<size_t>(x)] = left ? 255 : 0;
      row[3 * static_cast<size_t>(x) + 1] = 0;
      row[3 * static_cast<size_t>(x) + 2] = left ? 0 : 255;
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> bytes(out, out + size);
  std::free(out);
  return bytes;
}

bool Near(TColor c, int r, int g, int b, int tolerance = 24) {
  return std::abs(GetRValue(c) - r) <= tolerance && std::abs(GetGValue(c) - g) <= tolerance &&
         std::abs(GetBValue(c) - b) <= tolerance;
}

std::string TempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = GetTempDir() + "quendrel_graphics_" + std::to_string(::getpid()) + "_" + name;
  TFileStream f(path, fmCreate);
  f.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return path;
}

} // namespace

TEST(Jpeg, DecodesFullSizeInto24BitColour) {
  const std::vector<uint8_t> data = MakeJpeg(33, 17);
  TMemoryStream stream;
  stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  stream.SetPosition(0);
  TJPEGImage jpeg;
  jpeg.LoadFromStream(&stream);
  EXPECT_EQ(jpeg.Width(), 33);
  EXPECT_EQ(jpeg.Height(), 17);
  EXPECT_FALSE(jpeg.Grayscale());
  TBitmap bmp;
  bmp.Assign(&jpeg);
  ASSERT_EQ(bmp.Width(), 33);
  EXPECT_TRUE(Near(Px(bmp, 2, 8), 255, 0, 0));
  EXPECT_TRUE(Near(Px(bmp, 30, 8), 0, 0, 255));
  // Drawn on a canvas, stretched.
  auto target = MakeBitmap(66, 34);
  target->Canvas()->StretchDraw({0, 0, 66, 34}, &jpeg);
  EXPECT_TRUE(Near(Px(*target, 60, 30), 0, 0, 255));
  // Grey pictures come out as grey RGB.
  const std::vector<uint8_t> gray = MakeJpeg(16, 8, true);
  jpeg.LoadFromMemory(gray.data(), gray.size());
  EXPECT_TRUE(jpeg.Grayscale());
  EXPECT_TRUE(Near(jpeg.Bitmap()->Canvas()->Pixels(14, 4), 220, 220, 220, 8));
}

TEST(Jpeg, SavesWhatItReadOrCompressesAnAssignedBitmap) {
  auto b = MakeBitmap(16, 16, clLime);
  TJPEGImage jpeg;
  jpeg.Assign(b.get());
  TMemoryStream stream;
  jpeg.SaveToStream(&stream);
  stream.SetPosition(0);
  TJPEGImage back;
  back.LoadFromStream(&stream);
  EXPECT_EQ(back.Width(), 16);
  EXPECT_TRUE(Near(back.Bitmap()->Canvas()->Pixels(8, 8), 0, 255, 0));
}

TEST(Jpeg, BadInputRaisesInvalidGraphicAndNeverEndsTheProcess) {
  const std::vector<uint8_t> good = MakeJpeg(24, 24);
  TJPEGImage jpeg;
  EXPECT_THROW(jpeg.LoadFromMemory(nullptr, 0), EInvalidGraphic);
  const std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'g'};
  EXPECT_THROW(jpeg.LoadFromMemory(text.data(), text.size()), EInvalidGraphic);
  for (size_t n : {size_t{2}, size_t{20}, good.size() / 2, good.size() - 10})
    EXPECT_THROW(jpeg.LoadFromMemory(good.data(), n), EInvalidGraphic) << n;
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> data = good;
    for (int i = 0; i < 4; ++i) data[rng() % data.size()] = static_cast<uint8_t>(rng());
    try {
      jpeg.LoadFromMemory(data.data(), data.size());
    } catch (const EInvalidGraphic&) {
    }
  }
}

// A small file may claim a huge picture; it is refused from its header, before libjpeg allocates for it.
TEST(Jpeg, AHugeClaimedSizeIsRefusedFromTheHeader) {
  for (const bool progressive : {false, true}) {
    std::vector<uint8_t> data = MakeJpeg(64, 64, false, progressive);
    const uint8_t frame = progressive ? 0xC2 : 0xC0;
    for (size_t i = 0; i + 9 < data.size(); ++i)
      if (data[i] == 0xFF && data[i + 1] == frame) {
        data[i + 5] = data[i + 7] = 20000 >> 8;
        data[i + 6] = data[i + 8] = 20000 & 0xFF;
        break;
      }
    TJPEGImage jpeg;
    try {
      jpeg.LoadFromMemory(data.data(), data.size());
      ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(e.Message.find("too large"), AnsiString::npos) << e.Message;
    }
  }
}

// Zeroed bytes inside the compressed data: libjpeg decodes past them, and the picture says it is damaged.
TEST(Jpeg, CorruptDataKeepsThePictureAndIsReported) {
  const std::vector<uint8_t> good = MakeJpeg(64, 64);
  TJPEGImage jpeg;
  jpeg.LoadFromMemory(good.data(), good.size());
  EXPECT_EQ(jpeg.DataWarnings(), 0);
  EXPECT_EQ(jpeg.DataWarning(), "");
  size_t scan = 0;
  for (size_t i = 0; i + 1 < good.size(); ++i)
    if (good[i] == 0xFF && good[i + 1] == 0xDA) scan = i;
  ASSERT_GT(scan, 0u);
  std::vector<uint8_t> damaged = good;
  const size_t from = scan + 20, to = std::min(damaged.size() - 2, scan + 60);
  for (size_t i = from; i < to; ++i) damaged[i] = 0;
  jpeg.LoadFromMemory(damaged.data(), damaged.size());
  EXPECT_EQ(jpeg.Width(), 64);
  EXPECT_GT(jpeg.DataWarnings(), 0);
  EXPECT_NE(jpeg.DataWarning().find("Corrupt JPEG data"), AnsiString::npos) << jpeg.DataWarning();
  // A good picture read afterwards has no warnings.
  jpeg.LoadFromMemory(good.data(), good.size());
  EXPECT_EQ(jpeg.DataWarnings(), 0);
}

TEST(Picture, LoadFromFileChoosesTheKindByExtension) {
  auto b = MakeBitmap(6, 4, clRed);
  const std::string bmpPath = TempFile("p.bmp", b->SaveToMemory());
  const std::string jpgPath = TempFile("p.jpg", MakeJpeg(8, 8));
  std::vector<uint8_t> png;
  ASSERT_TRUE(backend::EncodePng(b->Surface().Bits(), 6, 4, 6, png));
  const std::string pngPath = TempFile("p.png", png);
  const std::string badPath = TempFile("bad.png", {1, 2, 3});

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromFile(bmpPath);
  EXPECT_TRUE(dynamic_cast<TBitmap*>(picture.Graphic()));
  EXPECT_EQ(picture.Width(), 6);
  EXPECT_EQ(Px(*picture.Bitmap(), 5, 3), clRed);
  picture.LoadFromFile(jpgPath);
  EXPECT_TRUE(dynamic_cast<TJPEGImage*>(picture.Graphic()));
  picture.LoadFromFile(pngPath);
  ASSERT_TRUE(dynamic_cast<TRasterImage*>(picture.Graphic()));
  EXPECT_EQ(picture.Height(), 4);
  auto target = MakeBitmap(6, 4);
  target->Canvas()->Draw(0, 0, picture.Graphic());
  EXPECT_EQ(Px(*target, 3, 2), clRed);
  EXPECT_GE(changes, 3);
  // A file that cannot be read leaves the picture as it was.
  EXPECT_THROW(picture.LoadFromFile(badPath), EInvalidGraphic);
  EXPECT_TRUE(dynamic_cast<TRasterImage*>(picture.Graphic()));
  // Asking a picture of another kind for its bitmap replaces it with an empty one.
  EXPECT_TRUE(picture.Bitmap()->Empty());
  // Assign copies the graphic.
  picture.LoadFromFile(bmpPath);
  TPicture copy;
  copy.Assign(&picture);
  EXPECT_NE(copy.Graphic(), picture.Graphic());
  EXPECT_EQ(Px(*copy.Bitmap(), 0, 0), clRed);
  for (const std::string& p : {bmpPath, jpgPath, pngPath, badPath}) std::remove(p.c_str());
}
