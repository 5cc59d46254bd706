#pragma once
// TBrush: how areas are filled: a colour, a hatch, a picture tiled from the canvas origin, or nothing
// (bsClear, which also makes text transparent).
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Color.h"
#include "classlib/graphics/GdiObject.h"
#include "classlib/graphics/GraphicsObject.h"

class TBitmap;

enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};
extern const TEnumInfo BrushStyleNames;

class TBrush : public TGraphicsObject {
  QUENDREL_CLASS(TBrush, TGraphicsObject)
 public:
  TBrush() = default;
  ~TBrush() override;
  void Assign(TPersistent* Source) override;

  HBRUSH Handle();
  TColor Color() const { return FColor; }
  void SetColor(TColor Value); // a colour makes a pattern brush solid again
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // The pattern picture. The brush keeps its own copy of the pixels; the bitmap stays the caller's.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);

 private:
  void HandleChanged();

  TColor FColor = 0xFFFFFF; // clWhite
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
  TGdiRef<TGdiBrush> FHandle;
};
