#pragma once
// TskThemeLink: the style and theme-file pair that every skinned component keeps and publishes as "UIStyle"
// and "FileTheme", with the themed reads through it. A component holds one and writes
//
//   void TskFoo::SetFileTheme(TskFileTheme* Value) { FTheme.Attach(this, Value); SetUIStyle(FTheme.UIStyle);
//   } void TskFoo::Notification(TComponent* AComponent, TOperation Operation) {
//     inherited::Notification(AComponent, Operation);
//     if (FTheme.Forget(AComponent, Operation)) SetUIStyle(DeepBlue);
//   }
//
// and reads its items with FTheme.Color(15), FTheme.Bitmap(5, pic, 18, 1), ...
//
// Also here: the caption colours that a theme file's ControlFontColor (item 27) chooses.
#include <span>

#include "classlib/core/Component.h"
#include "classlib/graphics/Color.h"
#include "skin/SKThemes.h"

class TBitmap;
class TskFileTheme;

class TskThemeLink {
 public:
  TskUIStyle UIStyle = DeepBlue;
  TskFileTheme* FileTheme = nullptr; // not owned

  // UsingFileTheme over the pair: true reads from FileTheme, false from the built-in Style left in Style.
  bool UseFile(TskUIStyle& Style) const;
  bool UseFile() const;
  // The built-in style the reads fall back on (DeepBlue when the file theme is wanted but not usable).
  TskUIStyle InsideStyle() const;

  // Items from the file theme when UsingFileTheme says so, else from the built-in style it resolves. An item
  // the file lacks reads as the file theme answers it (-1, false, the picture left as it was).
  TColor Color(int Index) const;
  int Int(int Index) const;
  bool Bool(int Index) const;
  // SpitCount 0: the whole picture; otherwise piece SpitIndex (from 1) of SpitCount.
  void Bitmap(int Index, TBitmap* Bitmap, int SpitCount = 0, int SpitIndex = 0) const;
  // An integer item used as a size or distance: an absent item (-1) or any negative value reads as 0.
  int Size(int Index) const;

  // Stores the reference and asks to be told when the theme goes first (it may live on another form).
  void Attach(TComponent* Self, TskFileTheme* Value);
  // For Notification: when AComponent is the file theme and it is being removed, forgets it and answers true;
  // the component then falls back to DeepBlue.
  bool Forget(TComponent* AComponent, TOperation Operation);
};

// Values of a theme file's ControlFontColor (item 27) for which a caption is drawn black, one set per kind of
// caption: the title bar's, and that of panels and side channels.
inline constexpr TColor SK_TITLEBAR_DARK_CAPTIONS[] = {0x010000, 0x030000, 0x040000, 0x050000};
inline constexpr TColor SK_PANEL_DARK_CAPTIONS[] = {0x020000, 0x040000, 0x030000,
                                                    0x050000, 0x7A5316, 0x22630F};
// Black when ControlFontColor is one of DarkValues, else white.
TColor SKCaptionFontColor(TColor ControlFontColor, std::span<const TColor> DarkValues);
// The menu-bar colour of a theme file that lacks MenuMenuBarColor (item 48), by its ControlFontColor:
// 0x020000 gives 0xAC5B3B, 0x030000 gives 0x996733, anything else Otherwise.
TColor SKMenuBarColorByFontColor(TColor ControlFontColor, TColor Otherwise);
