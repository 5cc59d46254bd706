// Pictures stored with their form: "Picture.Data" carries the graphic's kind and its bytes through the form
// stream and back; data that lies about its kind or its length is refused with a read error.
#include <gtest/gtest.h>

#include "classlib/controls/Image.h"
#include "classlib/core/Filer.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/JPEGImage.h"
#include "classlib/graphics/Picture.h"

namespace {

std::unique_ptr<TImage> ImageWith(TGraphic* Graphic) {
  auto image = std::make_unique<TImage>(nullptr);
  image->SetName("Logo");
  image->Picture()->SetGraphic(Graphic);
  return image;
}

TEST(PictureData, BitmapsAndJpegImagesComeBackFromTheFormStream) {
  TBitmap bitmap;
  bitmap.SetSize(6, 4);
  bitmap.Canvas()->Brush()->SetColor(clRed);
  bitmap.Canvas()->FillRect(TRect(0, 0, 3, 4));
  const AnsiString text = WriteComponentText(ImageWith(&bitmap).get());
  EXPECT_NE(text.find("Picture.Data = {"), AnsiString::npos) << text;
  std::unique_ptr<TComponent> copy(ReadComponentText(text, nullptr));
  auto* image = dynamic_cast<TImage*>(copy.get());
  ASSERT_NE(image, nullptr);
  auto* back = dynamic_cast<TBitmap*>(image->Picture()->Graphic());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Width(), 6);
  EXPECT_EQ(back->Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(back->Canvas()->Pixels(4, 1), clWhite);

  TJPEGImage jpeg;
  jpeg.Assign(&bitmap);
  std::unique_ptr<TComponent> jcopy(ReadComponentText(WriteComponentText(ImageWith(&jpeg).get()), nullptr));
  auto* jimage = dynamic_cast<TImage*>(jcopy.get());
  ASSERT_NE(dynamic_cast<TJPEGImage*>(jimage->Picture()->Graphic()), nullptr);
  EXPECT_EQ(jimage->Picture()->Width(), 6);

  // An empty picture writes no data at all.
  TImage empty(nullptr);
  empty.SetName("Empty");
  EXPECT_EQ(WriteComponentText(&empty).find("Data"), AnsiString::npos);
}

TEST(PictureData, DataThatLiesIsRefused) {
  const auto read = [](const char* data) {
    const AnsiString text = AnsiString("object Logo: TImage\n  Picture.Data = {\n    ") + data + "}\nend\n";
    std::unique_ptr<TComponent> c(ReadComponentText(text, nullptr));
  };
  EXPECT_THROW(read("0754466F6F42617200000000"), EReadError);        // "TFooBar": no picture kind
  EXPECT_THROW(read("07544269746D6170FFFFFF7F00"), EReadError);      // a bitmap of 2 GB in one byte
  EXPECT_THROW(read("07544269746D6170"), EReadError);                // the length is missing
  EXPECT_THROW(read("07544269746D617004000000424D0000"), Exception); // four bytes are no bitmap
  EXPECT_THROW(read("FF"), EReadError);                              // a name longer than the data
}

} // namespace
