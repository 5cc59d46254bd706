#pragma once
// TPen: how lines and shape outlines are drawn.
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Color.h"
#include "classlib/graphics/GdiObject.h"
#include "classlib/graphics/GraphicsObject.h"

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Mix modes, in the order of their identifiers; PenModeToRop2 gives the R2_* code.
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
extern const TEnumInfo PenStyleNames;
extern const TEnumInfo PenModeNames;
int PenModeToRop2(TPenMode Mode);

class TPen : public TGraphicsObject {
  QUENDREL_CLASS(TPen, TGraphicsObject)
 public:
  TPen() = default;
  void Assign(TPersistent* Source) override;

  HPEN Handle();
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);

 private:
  void HandleChanged();

  TColor FColor = 0x000000;
  TPenMode FMode = pmCopy;
  TPenStyle FStyle = psSolid;
  int FWidth = 1;
  TGdiRef<TGdiPen> FHandle;
};
