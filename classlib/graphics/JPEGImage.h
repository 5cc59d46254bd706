#pragma once
// TJPEGImage: a JPEG picture, decoded by libjpeg at full size into 24-bit colour. Malformed or truncated data
// raises EInvalidGraphic; libjpeg never ends the process. Corrupt data that libjpeg can decode past gives a
// picture all the same, and DataWarnings() tells the caller that it may be damaged.
#include <memory>
#include <vector>

#include "classlib/graphics/Graphic.h"

class TBitmap;

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPixelFormat { jf24Bit, jf8Bit };

class TJPEGImage : public TGraphic {
  QUENDREL_CLASS(TJPEGImage, TGraphic)
 public:
  TJPEGImage();
  ~TJPEGImage() override;

  // From another JPEG image (shares nothing: copies the data and picture) or a bitmap (to be compressed on
  // save). Assigning a TJPEGImage to a TBitmap gives the decoded picture.
  void Assign(TPersistent* Source) override;

  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  void SetWidth(int) override {} // a JPEG's size is that of its data
  void SetHeight(int) override {}
  bool Grayscale() const { return FGrayscale; }
  int CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int Value) { FQuality = Value; }
  TJPEGScale Scale() const { return jsFullSize; }
  TJPEGPixelFormat PixelFormat() const { return jf24Bit; }

  // The decoded picture, made on first use.
  TBitmap* Bitmap();
  void DIBNeeded() { Bitmap(); }

  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override; // the data read, or the assigned bitmap compressed
  using TGraphic::LoadFromFile;
  using TGraphic::SaveToFile;
  void LoadFromMemory(const uint8_t* Data, size_t Size);
  // Corrupt-data warnings of the last load: how many, and the first one's text ("" when none).
  int DataWarnings() const { return FDataWarnings; }
  const AnsiString& DataWarning() const { return FDataWarning; }

 protected:
  void AssignTo(TPersistent* Dest) override;

 private:
  std::vector<uint8_t> FData;
  std::unique_ptr<TBitmap> FBitmap;
  int FWidth = 0;
  int FHeight = 0;
  bool FGrayscale = false;
  int FQuality = 90;
  int FDataWarnings = 0;
  AnsiString FDataWarning;
};
