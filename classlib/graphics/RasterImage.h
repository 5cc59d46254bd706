#pragma once
// TRasterImage: a picture of a format other than BMP and JPEG (PNG, GIF, ...), decoded by the backend's image
// loader. It draws like a bitmap but is not one, so TPicture::Bitmap replaces it.
#include <memory>

#include "classlib/graphics/Graphic.h"
#include "classlib/graphics/Surface.h"

class TRasterImage : public TGraphic {
  QUENDREL_CLASS(TRasterImage, TGraphic)
 public:
  TRasterImage() = default;
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FSurface.Empty(); }
  int Width() const override { return FSurface.Width(); }
  int Height() const override { return FSurface.Height(); }
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  const TSurface& Surface() const { return FSurface; }

  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  void LoadFromStream(TStream* Stream) override; // EInvalidGraphic when the backend cannot decode it
  void SaveToStream(TStream* Stream) override;   // as PNG

 private:
  TSurface FSurface;
};
