#include "skin/SKThemeLink.h"

#include <algorithm>

#include "classlib/controls/WinControl.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

bool TskThemeLink::UseFile(TskUIStyle& Style) const {
  return UsingFileTheme(FileTheme, UIStyle, Style);
}

bool TskThemeLink::UseFile() const {
  TskUIStyle style;
  return UseFile(style);
}

TskUIStyle TskThemeLink::InsideStyle() const {
  TskUIStyle style;
  UseFile(style);
  return style;
}

TColor TskThemeLink::Color(int Index) const {
  TskUIStyle style;
  return UseFile(style) ? FileTheme->GetColor(Index) : GetInsideThemeColor(style, Index);
}

int TskThemeLink::Int(int Index) const {
  TskUIStyle style;
  return UseFile(style) ? FileTheme->GetInt(Index) : GetInsideThemeInt(style, Index);
}

bool TskThemeLink::Bool(int Index) const {
  TskUIStyle style;
  return UseFile(style) ? FileTheme->GetBool(Index) : GetInsideThemeBool(style, Index);
}

void TskThemeLink::Bitmap(int Index, TBitmap* Bitmap, int SpitCount, int SpitIndex) const {
  TskUIStyle style;
  if (UseFile(style))
    FileTheme->GetBitmap(Index, Bitmap, SpitCount, SpitIndex);
  else
    GetInsideThemeBitmap(style, Index, Bitmap, SpitCount, SpitIndex);
}

int TskThemeLink::Size(int Index) const {
  return std::max(0, Int(Index));
}

void TskThemeLink::Attach(TComponent* Self, TskFileTheme* Value) {
  FileTheme = Value;
  if (Value && Self) Value->FreeNotification(Self);
}

bool TskThemeLink::Forget(TComponent* AComponent, TOperation Operation) {
  if (Operation != opRemove || !AComponent || AComponent != FileTheme) return false;
  FileTheme = nullptr;
  return true;
}

void TskThemeable::SetFileTheme(TskFileTheme* Value) {
  FTheme.Attach(ThemeComponent(), Value);
  FileThemeAttached(Value);
  FApplyingFileTheme = true;
  struct Done {
    bool& Flag;
    ~Done() { Flag = false; }
  } done{FApplyingFileTheme};
  SetUIStyle(FTheme.UIStyle);
}

void TskThemeable::FileThemeGone() {
  if (ThemeCoversChildren())
    if (auto* container = dynamic_cast<TWinControl*>(ThemeComponent()))
      ContainerApplyUIStyle(container, DeepBlue, nullptr);
  SetUIStyle(DeepBlue);
}

void TskThemeable::ThemeNotification(TComponent* AComponent, TOperation Operation) {
  if (FTheme.Forget(AComponent, Operation)) FileThemeGone();
}

TColor SKCaptionFontColor(TColor ControlFontColor, std::span<const TColor> DarkValues) {
  return std::ranges::find(DarkValues, ControlFontColor) != DarkValues.end() ? clBlack : clWhite;
}

TColor SKMenuBarColorByFontColor(TColor ControlFontColor, TColor Otherwise) {
  switch (ControlFontColor) {
  case 0x020000:
    return 0xAC5B3B;
  case 0x030000:
    return 0x996733;
  default:
    return Otherwise;
  }
}
