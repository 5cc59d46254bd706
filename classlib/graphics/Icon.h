#pragma once
// TIcon: a small picture with a mask. Ours are stored as BMP resources whose magenta (0xFF00FF) pixels are
// transparent.
#include <memory>

#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Graphic.h"

class TIcon : public TGraphic {
  QUENDREL_CLASS(TIcon, TGraphic)
 public:
  TIcon();
  ~TIcon() override;
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FImage->Empty(); }
  int Width() const override { return FImage->Width(); }
  int Height() const override { return FImage->Height(); }
  void SetWidth(int Value) override { FImage->SetWidth(Value); }
  void SetHeight(int Value) override { FImage->SetHeight(Value); }
  // The picture; its transparent colour is the mask.
  TBitmap* Image() const { return FImage.get(); }

  void Draw(TCanvas* Canvas, const TRect& Rect) override; // always masked
  void LoadFromStream(TStream* Stream) override;          // a BMP
  void SaveToStream(TStream* Stream) override;
  void LoadFromResourceName(uintptr_t Instance, const AnsiString& ResName);
  // The resource the icon was loaded from; empty when it came from elsewhere.
  const AnsiString& ResourceName() const { return FResourceName; }

 private:
  std::unique_ptr<TBitmap> FImage;
  AnsiString FResourceName;
};

// A copy of Source at Width x Height, taken from the icon resource Source was loaded from when it holds an
// image of that size (stored beside it as the resource "<name>_<width>"), else Source's image stretched.
std::unique_ptr<TIcon> CopyIcon(const TIcon* Source, int Width, int Height);
