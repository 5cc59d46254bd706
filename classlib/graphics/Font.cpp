#include "classlib/graphics/Font.h"

#include <cstring>

#include "classlib/graphics/Gdi.h"

const TEnumInfo FontStyleNames{{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const TEnumInfo FontPitchNames{{"fpDefault", "fpVariable", "fpFixed"}};

QUENDREL_REGISTER_CLASS(TFont, TGraphicsObject) {
  c.Property("Charset", &TFont::Charset, &TFont::SetCharset);
  ColorProperty(c, "Color", &TFont::Color, &TFont::SetColor);
  c.Property("Height", &TFont::Height, &TFont::SetHeight);
  c.Property("Name", &TFont::Name, &TFont::SetName);
  c.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, FontPitchNames).Default(fpDefault);
  c.Property("Size", &TFont::Size, &TFont::SetSize);
  c.Set("Style", &TFont::Style, &TFont::SetStyle, FontStyleNames).Default(0);
}

TFont::TFont() = default;

void TFont::Assign(TPersistent* source) {
  if (auto* f = dynamic_cast<TFont*>(source)) {
    FName = f->FName;
    FHeight = f->FHeight;
    FStyle = f->FStyle;
    FColor = f->FColor;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    HandleChanged();
    return;
  }
  inherited::Assign(source);
}

LOGFONT TFont::LogFont() const {
  LOGFONT lf;
  lf.lfHeight = FHeight;
  lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic);
  lf.lfUnderline = FStyle.Contains(fsUnderline);
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
  lf.lfCharSet = FCharset;
  lf.lfPitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                        : FPitch == fpVariable ? VARIABLE_PITCH
                                               : DEFAULT_PITCH;
  std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
  return lf;
}

HFONT TFont::Handle() {
  if (!FHandle) {
    const LOGFONT lf = LogFont();
    FHandle = TGdiRef<TGdiFont>::Adopt(CreateFontIndirect(&lf));
  }
  return FHandle.Get();
}

void TFont::SetHandle(HFONT value) {
  if (!value) return;
  const LOGFONT& lf = value->Log;
  FName = AnsiString(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  FHeight = lf.lfHeight;
  TFontStyles style;
  if (lf.lfWeight >= FW_SEMIBOLD) style.Include(fsBold);
  if (lf.lfItalic) style.Include(fsItalic);
  if (lf.lfUnderline) style.Include(fsUnderline);
  if (lf.lfStrikeOut) style.Include(fsStrikeOut);
  FStyle = style;
  FCharset = lf.lfCharSet;
  const int pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  // The font takes the handle over: callers hand over a freshly created font and never free it.
  FHandle = TGdiRef<TGdiFont>(value);
  value->DeleteObject();
  Changed();
}

void TFont::HandleChanged() {
  FHandle = TGdiRef<TGdiFont>();
  Changed();
}

void TFont::SetName(const AnsiString& value) {
  if (value.empty() || value == FName) return;
  FName = value;
  HandleChanged();
}

int TFont::Size() const {
  return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int value) {
  SetHeight(-MulDiv(value, FPixelsPerInch, 72));
}

void TFont::SetHeight(int value) {
  if (value == FHeight) return;
  FHeight = value;
  HandleChanged();
}

void TFont::SetStyle(TFontStyles value) {
  if (value == FStyle) return;
  FStyle = value;
  HandleChanged();
}

void TFont::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  Changed();
}

void TFont::SetCharset(TFontCharset value) {
  if (value == FCharset) return;
  FCharset = value;
  HandleChanged();
}

void TFont::SetPitch(TFontPitch value) {
  if (value == FPitch) return;
  FPitch = value;
  HandleChanged();
}
