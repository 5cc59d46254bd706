#include "classlib/graphics/RasterImage.h"

#include "classlib/backend/ImageFile.h"
#include "classlib/core/Exception.h"
#include "classlib/core/Stream.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/BmpCodec.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"

QUENDREL_REGISTER_CLASS(TRasterImage, TGraphic) {}

void TRasterImage::Assign(TPersistent* source) {
  if (auto* r = dynamic_cast<TRasterImage*>(source)) {
    FSurface = r->FSurface;
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TRasterImage::Draw(TCanvas* canvas, const TRect& rect) {
  if (!canvas || Empty()) return;
  TDeviceContext source(&FSurface);
  StretchBlt(canvas->Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), &source, 0, 0, Width(),
             Height(), canvas->CopyMode());
}

void TRasterImage::LoadFromStream(TStream* stream) {
  const std::vector<uint8_t> bytes = ReadRemainingBytes(stream);
  backend::TImagePixels image;
  if (!backend::DecodeImage(bytes.data(), bytes.size(), image) ||
      int64_t{image.Width} * image.Height > MaxPicturePixels)
    throw EInvalidGraphic("Unknown picture file format");
  FSurface.SetSize(0, 0);
  FSurface.SetSize(image.Width, image.Height);
  std::copy(image.Bits.begin(), image.Bits.end(), FSurface.Bits());
  Changed();
}

void TRasterImage::SaveToStream(TStream* stream) {
  std::vector<uint8_t> png;
  if (!backend::EncodePng(FSurface.Bits(), Width(), Height(), FSurface.Stride(), png))
    throw EInvalidGraphic("Cannot save an empty picture");
  stream->WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
}
