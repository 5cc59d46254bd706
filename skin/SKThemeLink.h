#pragma once
// TskThemeLink: the style and theme-file pair that every skinned component keeps and publishes as "UIStyle"
// and "FileTheme", with the themed reads through it (FTheme.Color(15), FTheme.Bitmap(5, pic, 18, 1), ...).
//
// TskThemeable is the one place that attaches a theme file, forgets it when it goes and applies the style
// again; a skinned component derives from TskThemed<ItsClassLibraryBase> and writes only SetUIStyle.
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

// What a skinned component publishes as "UIStyle" and "FileTheme", and how it follows its theme file.
class TskThemeable {
 public:
  virtual ~TskThemeable() = default;
  TskThemeable(const TskThemeable&) = delete;
  TskThemeable& operator=(const TskThemeable&) = delete;

  virtual TskUIStyle UIStyle() const { return FTheme.UIStyle; }
  // Stores the style and re-reads every item the component uses, even when the value is unchanged.
  virtual void SetUIStyle(TskUIStyle Value) = 0;
  TskFileTheme* FileTheme() const { return FTheme.FileTheme; }
  // Stores the reference and applies the current style again, also for the reference already held, so that
  // a reloaded theme file is read again.
  virtual void SetFileTheme(TskFileTheme* Value);

 protected:
  TskThemeable() = default;

  // The component that hears of the theme file's removal.
  virtual TComponent* ThemeComponent() const = 0;
  // Between storing a new theme file and applying the style again: parts that read the file take it here.
  virtual void FileThemeAttached(TskFileTheme* Value) { (void)Value; }
  // When the theme file goes: DeepBlue, given first to the children of a container that themes them.
  virtual void FileThemeGone();
  virtual bool ThemeCoversChildren() const { return false; }
  // The theme part of Notification.
  void ThemeNotification(TComponent* AComponent, TOperation Operation);
  // True while SetFileTheme applies the style again (some components then keep their built-in look).
  bool ApplyingFileTheme() const { return FApplyingFileTheme; }

  TskThemeLink FTheme;

 private:
  bool FApplyingFileTheme = false;
};

// The base of a skinned component: its class-library base with the theme pair (or a part built on it), told
// of the theme's removal.
template <class Base, class Part = TskThemeable> class TskThemed : public Base, public Part {
 public:
  using Base::Base;

  void Notification(TComponent* AComponent, TOperation Operation) override {
    Base::Notification(AComponent, Operation);
    this->ThemeNotification(AComponent, Operation);
  }

 protected:
  // The component itself, which the theme part may ask about from its const members.
  TComponent* ThemeComponent() const override { return const_cast<TskThemed*>(this); }
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
