#include "classlib/graphics/Brush.h"

#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Gdi.h"

const TEnumInfo BrushStyleNames{{"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                 "bsBDiagonal", "bsCross", "bsDiagCross"}};

QUENDREL_REGISTER_CLASS(TBrush, TGraphicsObject) {
  ColorProperty(c, "Color", &TBrush::Color, &TBrush::SetColor);
  c.Enum("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleNames).Default(bsSolid);
}

TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TBrush*>(source)) {
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    // A pattern is shared as the pixels it was made of.
    FHandle = b->FBitmap ? b->FHandle : TGdiRef<TGdiBrush>();
    Changed();
    return;
  }
  inherited::Assign(source);
}

HBRUSH TBrush::Handle() {
  if (!FHandle) {
    if (FBitmap && !FBitmap->Empty())
      FHandle = TGdiRef<TGdiBrush>::Adopt(new TGdiBrush(FBitmap->Surface()));
    else if (FStyle == bsSolid)
      FHandle = TGdiRef<TGdiBrush>::Adopt(CreateSolidBrush(FColor));
    else if (FStyle == bsClear)
      FHandle = TGdiRef<TGdiBrush>::Adopt(new TGdiBrush(BS_NULL, FColor));
    else
      FHandle = TGdiRef<TGdiBrush>::Adopt(CreateHatchBrush(FStyle - bsHorizontal, FColor));
  }
  return FHandle.Get();
}

void TBrush::HandleChanged() {
  FHandle = TGdiRef<TGdiBrush>();
  Changed();
}

void TBrush::SetColor(TColor value) {
  if (value == FColor && !FBitmap && FStyle != bsClear) return;
  FColor = value;
  FBitmap = nullptr;
  if (FStyle == bsClear) FStyle = bsSolid;
  HandleChanged();
}

void TBrush::SetStyle(TBrushStyle value) {
  if (value == FStyle && !FBitmap) return;
  FStyle = value;
  if (value == bsClear) FBitmap = nullptr;
  HandleChanged();
}

void TBrush::SetBitmap(TBitmap* value) {
  FBitmap = value;
  HandleChanged();
}
