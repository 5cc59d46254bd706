#include "classlib/graphics/Pen.h"

#include "classlib/graphics/Gdi.h"

const TEnumInfo PenStyleNames{
    {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}};
const TEnumInfo PenModeNames{{"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                              "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge",
                              "pmMask", "pmNotMask", "pmXor", "pmNotXor"}};

QUENDREL_REGISTER_CLASS(TPen, TGraphicsObject) {
  ColorProperty(c, "Color", &TPen::Color, &TPen::SetColor);
  c.Enum("Mode", &TPen::Mode, &TPen::SetMode, PenModeNames).Default(pmCopy);
  c.Enum("Style", &TPen::Style, &TPen::SetStyle, PenStyleNames).Default(psSolid);
  c.Property("Width", &TPen::Width, &TPen::SetWidth);
}

int PenModeToRop2(TPenMode mode) {
  static const int rop2[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                             R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                             R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                             R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  return mode >= pmBlack && mode <= pmNotXor ? rop2[mode] : R2_COPYPEN;
}

void TPen::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TPen*>(source)) {
    FColor = p->FColor;
    FMode = p->FMode;
    FStyle = p->FStyle;
    FWidth = p->FWidth;
    HandleChanged();
    return;
  }
  inherited::Assign(source);
}

HPEN TPen::Handle() {
  if (!FHandle) {
    static const int styles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                 PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = TGdiRef<TGdiPen>::Adopt(CreatePen(styles[FStyle], FWidth, FColor));
  }
  return FHandle.Get();
}

void TPen::HandleChanged() {
  FHandle = TGdiRef<TGdiPen>();
  Changed();
}

void TPen::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  HandleChanged();
}

void TPen::SetMode(TPenMode value) {
  if (value == FMode) return;
  FMode = value;
  Changed();
}

void TPen::SetStyle(TPenStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  HandleChanged();
}

void TPen::SetWidth(int value) {
  if (value < 0 || value == FWidth) return;
  FWidth = value;
  HandleChanged();
}
