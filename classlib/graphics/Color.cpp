#include "classlib/graphics/Color.h"

#include <array>
#include <cstdio>
#include <strings.h>

#include "classlib/core/Exception.h"

namespace {

// The classic grey desktop scheme, as RGB triples by system colour index.
constexpr std::array<TColor, 31> SystemColors = {
    RGB(212, 208, 200), // scroll bar
    RGB(58, 110, 165),  // desktop
    RGB(10, 36, 106),   // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(212, 208, 200), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0),       // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(255, 255, 255), // caption text
    RGB(212, 208, 200), // active border
    RGB(212, 208, 200), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(10, 36, 106),   // highlight
    RGB(255, 255, 255), // highlight text
    RGB(212, 208, 200), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0),       // button text
    RGB(212, 208, 200), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(64, 64, 64),    // 3D dark shadow
    RGB(212, 208, 200), // 3D light
    RGB(0, 0, 0),       // tooltip text
    RGB(255, 255, 225), // tooltip background
    RGB(181, 181, 181), // (unused)
    RGB(0, 0, 128),     // hot-tracked item
    RGB(166, 202, 240), // active caption gradient
    RGB(192, 192, 192), // inactive caption gradient
    RGB(49, 106, 197),  // menu highlight
    RGB(212, 208, 200), // menu bar
};

struct TColorName {
  TColor Color;
  const char* Name;
};

constexpr TColorName ColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

} // namespace

COLORREF GetSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(SystemColors.size())) return 0;
  return static_cast<COLORREF>(SystemColors[static_cast<size_t>(index)]);
}

TColor ColorToRGB(TColor color) {
  if (color < 0) return static_cast<TColor>(GetSysColor(color & 0xFF));
  if (color == clNone || color == clDefault) return clBlack;
  return color & 0xFFFFFF;
}

uint32_t ColorToPixel(TColor color) {
  const TColor c = ColorToRGB(color);
  return static_cast<uint32_t>(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

bool IdentToColor(const AnsiString& ident, TColor& color) {
  for (const TColorName& n : ColorNames)
    if (strcasecmp(n.Name, ident.c_str()) == 0) {
      color = n.Color;
      return true;
    }
  return false;
}

bool ColorToIdent(TColor color, AnsiString& ident) {
  for (const TColorName& n : ColorNames)
    if (n.Color == color) {
      ident = n.Name;
      return true;
    }
  return false;
}

AnsiString ColorToString(TColor color) {
  AnsiString ident;
  if (ColorToIdent(color, ident)) return ident;
  return Format("$%.8X", static_cast<unsigned>(color));
}

TColor StringToColor(const AnsiString& s) {
  TColor color = 0;
  if (IdentToColor(s, color)) return color;
  const char* text = s.c_str();
  unsigned value = 0;
  int used = 0;
  if (!s.empty() && s[0] == '$' && std::sscanf(text + 1, "%x%n", &value, &used) == 1 &&
      static_cast<size_t>(used) + 1 == s.size())
    return static_cast<TColor>(value);
  long decimal = 0;
  if (!s.empty() && std::sscanf(text, "%ld%n", &decimal, &used) == 1 && static_cast<size_t>(used) == s.size())
    return static_cast<TColor>(decimal);
  throw EConvertError(Format("'%s' is not a valid integer value", s.c_str()));
}

const TIdentMapping ColorIdents{
    [](int64_t value, AnsiString& ident) { return ColorToIdent(static_cast<TColor>(value), ident); },
    [](const AnsiString& ident, int64_t& value) {
      TColor color = 0;
      if (!IdentToColor(ident, color)) return false;
      value = color;
      return true;
    }};
