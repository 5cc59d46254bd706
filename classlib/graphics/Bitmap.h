#pragma once
// TBitmap: a picture in memory with a canvas. The pixels live in a 32-bit surface (0x00RRGGBB words);
// PixelFormat records the depth the picture was read with or is asked for, and is the depth it is saved in
// where the writer supports it (24 bits otherwise). Transparent drawing leaves out TransparentColor, which is
// pixel (0, 0) unless set (TransparentMode tmFixed).
#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Color.h"
#include "classlib/graphics/GdiObject.h"
#include "classlib/graphics/Graphic.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
  QUENDREL_CLASS(TBitmap, TGraphic)
 public:
  TBitmap();
  ~TBitmap() override;

  // From another bitmap (a copy of its pixels and settings) or any other graphic (drawn onto a bitmap of its
  // size); a null source empties the bitmap.
  void Assign(TPersistent* Source) override;

  TCanvas* Canvas();
  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  // Size changes keep the pixels that still fit; new pixels are white.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  void SetSize(int NewWidth, int NewHeight);

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value);
  TColor TransparentColor() const;
  void SetTransparentColor(TColor Value); // also sets TransparentMode to tmFixed
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  // Row Y of the pixels, top row 0, as 0x00RRGGBB words. Raises EInvalidGraphic for a row outside.
  uint32_t* ScanLine(int Y);
  TSurface& Surface();
  const TSurface& Surface() const;
  HBITMAP Handle();
  void SetHandle(HBITMAP Value); // shares the bitmap object's pixels

  void Draw(TCanvas* Canvas, const TRect& Rect) override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  using TGraphic::LoadFromFile;
  using TGraphic::SaveToFile;
  // A BMP in memory; raises EInvalidGraphic for anything else.
  void LoadFromMemory(const uint8_t* Data, size_t Size);
  std::vector<uint8_t> SaveToMemory() const;
  // A bitmap resource by name (the Instance is the module; there is one). Raises EResNotFound.
  void LoadFromResourceName(uintptr_t Instance, const AnsiString& ResName);

  // Memory-saving hooks of the original platform; pixels always stay in memory here.
  void Dormant() {}
  void FreeImage() {}

 protected:
  void Changed() override;

 private:
  void CanvasChanged(TObject* Sender);

  TGdiRef<TGdiBitmap> FImage;
  std::unique_ptr<TCanvas> FCanvas;
  TPixelFormat FPixelFormat = pfDevice;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = 0;
};
