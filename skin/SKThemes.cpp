#include "skin/SKThemes.h"

#include "classlib/controls/Form.h"
#include "classlib/graphics/Bitmap.h"
#include "skin/SKForm.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"

const TEnumInfo TskUIStyleNames{{"FromThemeFile", "MacOS", "WinXP", "DeepBlue", "Protein", "BlueGlass"}};

const AnsiString SK_FILETHEME_ITEMNAME[SK_ITEM_COUNT] = {
    "ButtonImage",                      // 1
    "ButtonTransparentBool",            // 2
    "CheckBoxImage",                    // 3
    "RadioButtonImage",                 // 4
    "TitleBarButtonImage",              // 5
    "TitleBarButtonTransparentBool",    // 6
    "TitleBarButtonLeftOffsetInt",      // 7
    "TitleBarButtonRightOffsetInt",     // 8
    "TitleBarButtonTopInt",             // 9
    "TitleBarLeftImage",                // 10
    "TitleBarClientImage",              // 11
    "TitleBarRightImage",               // 12
    "FormMinWidthInt",                  // 13
    "FormRoundCornerInt",               // 14
    "FormBackgroundColor",              // 15
    "FormBorderColor",                  // 16
    "FormBorderWidthInt",               // 17
    "MenuSelectedBorderColor",          // 18
    "MenuSelectedBackgroundColor",      // 19
    "MenuSelectedFontColor",            // 20
    "MenuBackgroundColor",              // 21
    "MenuFontColor",                    // 22
    "MenuBarColor",                     // 23
    "ProgressBarImage",                 // 24
    "ControlBorderColor",               // 25
    "ControlBackgroundColor",           // 26
    "ControlFontColor",                 // 27
    "TrackBarBarImage",                 // 28
    "TrackBarSliderImage",              // 29
    "TrackBarSliderVImage",             // 30
    "ScrollBarBackgroundColor",         // 31
    "ScrollBarButtonImage",             // 32
    "ScrollBarSliderImage",             // 33
    "CheckListBoxImage",                // 34
    "ToolBarButtonBorderColor",         // 35
    "ToolBarButtonBackgroundColor",     // 36
    "ToolBarButtonDownBackgroundColor", // 37
    "ScrollButtonImage",                // 38
    "TabControlTabImage",               // 39
    "TabControlBarImage",               // 40
    "SideChannelHandleImage",           // 41
    "SideChannelBarImage",              // 42
    "TitleBarMinimizedImage",           // 43
    "TitleBarFontColor",                // 44
    "FormLeftBorderImage",              // 45
    "FormBottomBorderImage",            // 46
    "FormBottomRoundCornerInt",         // 47
    "MenuMenuBarColor",                 // 48
};

namespace {
constexpr TskType I = TskType::Int;
constexpr TskType C = TskType::Color;
constexpr TskType S = TskType::Str;
constexpr TskType B = TskType::Bool;
} // namespace

const TskType SK_ITEM_TYPE[SK_ITEM_COUNT] = {
    S, B, S, S, S, B, I, I, I, S, // 1..10
    S, S, I, I, C, C, I, C, C, C, // 11..20
    C, C, C, S, C, C, C, S, S, S, // 21..30
    C, S, S, S, C, C, C, S, S, S, // 31..40
    S, S, S, C, S, S, I, C,       // 41..48
};

const TskInsideValue SK_INSIDETHEME_VALUE[SK_INSIDE_STYLE_COUNT][SK_ITEM_COUNT] = {
    // MacOS
    {"MACOS_BUTTON",
     1,
     "MACOS_CHECKBOX",
     "MACOS_RADIOBUTTON",
     "MACOS_TITLEBTN",
     0,
     3,
     -2,
     4,
     "MACOS_TITLE_LEFT",
     "MACOS_TITLE_CLIENT",
     "MACOS_TITLE_RIGHT",
     130,
     0,
     0xE7E7E7,
     0x7F7F7F,
     1,
     0xC47339,
     0xC47339,
     0xFFFFFF,
     0x000000,
     0x000000,
     0x000000,
     "MACOS_PROGRESSBAR",
     0x7F7F7F,
     0xE7E7E7,
     0x000000,
     "MACOS_TRACKBAR_BAR",
     "MACOS_TRACKBAR_SLIDER",
     "MACOS_TRACKBAR_SLIDER_V",
     0xC9C9C9,
     "MACOS_SCROLLBAR_BUTTON",
     "MACOS_SCROLLBAR_TRACK",
     "MACOS_CHECKLIST",
     0x474747,
     0xEFEFEF,
     0xD8D8D8,
     "MACOS_SCROLLBUTTON",
     "MACOS_TAB",
     "MACOS_TAB_LINE",
     "MACOS_SIDECHENNEL_HANDLE",
     "MACOS_SIDECHENNEL_BAR",
     "",
     0x000000,
     "",
     "",
     0,
     0xE7E7E7},
    // WinXP
    {"WINXP_BUTTON",
     0,
     "WINXP_CHECKBOX",
     "WINXP_RADIOBUTTON",
     "WINXP_TITLEBTN",
     0,
     2,
     -2,
     5,
     "WINXP_TITLE_LEFT",
     "WINXP_TITLE_CLIENT",
     "WINXP_TITLE_RIGHT",
     150,
     13,
     0xDEEBEF,
     0xC82C00,
     3,
     0xC66931,
     0xEFD3C6,
     0x000000,
     0xFFFFFF,
     0x000000,
     0xCED3D6,
     "WINXP_PROGRESSBAR",
     0x686868,
     0xDEEBEF,
     0xCF4602,
     "WINXP_TRACKBAR_BAR",
     "WINXP_TRACKBAR_SLIDER",
     "WINXP_TRACKBAR_SLIDER_V",
     0xF9F9F9,
     "WINXP_SCROLLBAR_BUTTON",
     "WINXP_SCROLLBAR_TRACK",
     "WINXP_CHECKLIST",
     0xC66931,
     0xEFD3C6,
     0xE1AC93,
     "WINXP_SCROLLBUTTON",
     "WINXP_TAB",
     "WINXP_TAB_LINE",
     "WINXP_SIDECHENNEL_HANDLE",
     "WINXP_SIDECHENNEL_BAR",
     "",
     0xFFFFFF,
     "",
     "",
     0,
     0xDEEBEF},
    // DeepBlue
    {"DEEPBLUE_BUTTON",
     0,
     "DEEPBLUE_CHECKBOX",
     "DEEPBLUE_RADIOBUTTON",
     "DEEPBLUE_TITLEBTN",
     0,
     0,
     0,
     2,
     "DEEPBLUE_TITLE_LEFT",
     "DEEPBLUE_TITLE_CLIENT",
     "DEEPBLUE_TITLE_RIGHT",
     130,
     0,
     0xE8E8E8,
     0x000000,
     1,
     0xA04A44,
     0xA04A44,
     0xFFFFFF,
     0xFFFFFF,
     0x000000,
     0xCED3D6,
     "DEEPBLUE_PROGRESSBAR",
     0x000000,
     0xE8E8E8,
     0x000000,
     "DEEPBLUE_TRACKBAR_BAR",
     "DEEPBLUE_TRACKBAR_SLIDER",
     "DEEPBLUE_TRACKBAR_SLIDER_V",
     0xF5F5F5,
     "DEEPBLUE_SCROLLBAR_BUTTON",
     "DEEPBLUE_SCROLLBAR_TRACK",
     "DEEPBLUE_CHECKLIST",
     0x474747,
     0xEFEFEF,
     0xD8D8D8,
     "MORE_SCROLLBUTTON",
     "DEEPBLUE_TAB",
     "DEEPBLUE_TAB_LINE",
     "DEEPBLUE_SIDECHENNEL_HANDLE",
     "DEEPBLUE_SIDECHENNEL_BAR",
     "",
     0xFFFFFF,
     "",
     "",
     0,
     0xE8E8E8},
    // Protein
    {"PROTEIN_BUTTON",
     0,
     "PROTEIN_CHECKBOX",
     "PROTEIN_RADIOBUTTON",
     "PROTEIN_TITLEBTN",
     1,
     0,
     0,
     2,
     "PROTEIN_TITLE_LEFT",
     "PROTEIN_TITLE_CLIENT",
     "PROTEIN_TITLE_RIGHT",
     130,
     0,
     0xFBFBFB,
     0x000000,
     1,
     0xC4302D,
     0xC4302D,
     0xFFFFFF,
     0xFFFFFF,
     0x000000,
     0xCED3D6,
     "PROTEIN_PROGRESSBAR",
     0x000000,
     0xFBFBFB,
     0x000000,
     "PROTEIN_TRACKBAR_BAR",
     "PROTEIN_TRACKBAR_SLIDER",
     "PROTEIN_TRACKBAR_SLIDER_V",
     0xF5F5F5,
     "PROTEIN_SCROLLBAR_BUTTON",
     "PROTEIN_SCROLLBAR_TRACK",
     "PROTEIN_CHECKLIST",
     0x474747,
     0xEFEFEF,
     0xD8D8D8,
     "MORE_SCROLLBUTTON",
     "PROTEIN_TAB",
     "PROTEIN_TAB_LINE",
     "PROTEIN_SIDECHENNEL_HANDLE",
     "PROTEIN_SIDECHENNEL_BAR",
     "",
     0xFFFFFF,
     "",
     "",
     0,
     0xFBFBFB},
    // BlueGlass
    {"BLUEGLASS_BUTTON",
     1,
     "BLUEGLASS_CHECKBOX",
     "BLUEGLASS_RADIOBUTTON",
     "BLUEGLASS_TITLEBTN",
     1,
     4,
     -3,
     6,
     "BLUEGLASS_TITLE_LEFT",
     "BLUEGLASS_TITLE_CLIENT",
     "BLUEGLASS_TITLE_RIGHT",
     270,
     11,
     0xE7E7E7,
     0x000000,
     1,
     0xEC5E5E,
     0xEC5E5E,
     0xFFFFFF,
     0xE7E7E7,
     0x000000,
     0xCED3D6,
     "BLUEGLASS_PROGRESSBAR",
     0x000000,
     0xE7E7E7,
     0x000000,
     "BLUEGLASS_TRACKBAR_BAR",
     "BLUEGLASS_TRACKBAR_SLIDER",
     "BLUEGLASS_TRACKBAR_SLIDER_V",
     0xF4F4F4,
     "BLUEGLASS_SCROLLBAR_BUTTON",
     "BLUEGLASS_SCROLLBAR_TRACK",
     "BLUEGLASS_CHECKLIST",
     0x474747,
     0xEFEFEF,
     0xD8D8D8,
     "MORE_SCROLLBUTTON",
     "BLUEGLASS_TAB",
     "BLUEGLASS_TAB_LINE",
     "BLUEGLASS_SIDECHENNEL_HANDLE",
     "BLUEGLASS_SIDECHENNEL_BAR",
     "",
     0xFFFFFF,
     "",
     "",
     0,
     0xE7E7E7},
};

const AnsiString& SKItemName(int Index) {
  static const AnsiString none;
  return Index >= 1 && Index <= SK_ITEM_COUNT ? SK_FILETHEME_ITEMNAME[Index - 1] : none;
}

TskInsideValue GetInsideThemeValue(TskUIStyle Style, int Index, TskType& Type) {
  if (Style < MacOS || Style > BlueGlass || Index < 1 || Index > SK_ITEM_COUNT) {
    Type = TskType::Int;
    return -1;
  }
  Type = SK_ITEM_TYPE[Index - 1];
  return SK_INSIDETHEME_VALUE[Style - 1][Index - 1];
}

TColor GetInsideThemeColor(TskUIStyle Style, int Index) {
  TskType type;
  const TskInsideValue v = GetInsideThemeValue(Style, Index, type);
  return type == TskType::Color ? v.Num : 0;
}

bool GetInsideThemeBool(TskUIStyle Style, int Index) {
  TskType type;
  const TskInsideValue v = GetInsideThemeValue(Style, Index, type);
  return type == TskType::Bool && v.Num != 0;
}

int GetInsideThemeInt(TskUIStyle Style, int Index) {
  TskType type;
  const TskInsideValue v = GetInsideThemeValue(Style, Index, type);
  return type == TskType::Int ? v.Num : -1;
}

void LoadInsideThemeBitmap(TskUIStyle Style, int Index, TBitmap* Bitmap) {
  if (!Bitmap) return;
  TskType type;
  const TskInsideValue v = GetInsideThemeValue(Style, Index, type);
  if (type == TskType::Str) Bitmap->LoadFromResourceName(0, v.Name);
}

void GetInsideThemeBitmap(TskUIStyle Style, int Index, TBitmap* Bitmap, int SpitCount, int SpitIndex) {
  if (!Bitmap) return;
  if (SpitCount == 0 || SpitIndex == 0) {
    LoadInsideThemeBitmap(Style, Index, Bitmap);
    return;
  }
  TBitmap whole;
  LoadInsideThemeBitmap(Style, Index, &whole);
  SpitBitmap(&whole, Bitmap, SpitCount, SpitIndex);
}

bool UsingFileTheme(const TskFileTheme* FileTheme, TskUIStyle UIStyle, TskUIStyle& Style) {
  Style = UIStyle;
  if (UIStyle != FromThemeFile) return false;
  if (FileTheme && FileTheme->CanUse()) return true;
  Style = DeepBlue;
  return false;
}

TskUIStyle GetSKFormStyle(TComponent* AOwner) {
  auto* form = dynamic_cast<TCustomForm*>(AOwner);
  if (!form) return DeepBlue;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* frame = dynamic_cast<TskForm*>(form->Controls(i))) return frame->UIStyle();
  return DeepBlue;
}
