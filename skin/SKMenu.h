#pragma once
// Owner-drawn menus: the free measuring and drawing functions that the skinned main menu and pop-up menu
// share, and TskMenuStyle, the one base both carry: the themed colours, heights and font of their items,
// the style switch, and the measuring and drawing of every kind of item (side bar, separators, selected
// fill and border, disabled, default, "&" accelerators, short-cut texts, check marks, images,
// right-to-left).
#include "classlib/controls/Menus.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Color.h"
#include "classlib/graphics/Font.h"
#include "skin/SKThemeLink.h"
#include "skin/SKThemes.h"

class TCanvas;
class TImageList;
class TskFileTheme;

using TMenuItemDrawHandler = TMenuDrawItemEvent;
using TMenuItemMeasureHandler = TMenuMeasureItemEvent;

// Item's OnDrawItem and OnMeasureItem := the handlers, and the same for every sub-item, recursively.
void Menu_SetItemEvent(TMenuItem* Item, const TMenuItemDrawHandler& DrawHandler,
                       const TMenuItemMeasureHandler& MeasureHandler);
void Menu_DrawBorder(TCanvas* Canvas, const TRect& Rect, TColor Color);
void Menu_DrawBackGround(TCanvas* Canvas, const TRect& Rect, TColor Color);
// A separator line two pixels below the item's top, beside the side bar of width BarWidth.
void Menu_DrawLineItem(TCanvas* Canvas, const TRect& Rect, TColor Color, bool LeftToRight, int BarWidth);
void Menu_DrawMacOSLineItem(TCanvas* Canvas, const TRect& Rect);
void Menu_DrawMacOSSelectedItem(TCanvas* Canvas, const TRect& Rect);
void Menu_DrawMacOSNonSelectedItem(TCanvas* Canvas, const TRect& Rect);
// A flat border over a pop-up menu window, drawn on the desktop at the window's screen rectangle.
void Menu_DrawWindowBorder(HWND Window, TColor BorderColor, TColor LineColor);
// The system menu font and the menu text colour; the font stays as it was when the system cannot tell.
void Menu_GetSystemFont(TFont* Font);

class TskMenuStyle : public TskThemeable {
 public:
  // Stores the style, resets bar width, heights and separator colour, and reads the colours from the theme
  // file or the built-in style. Nothing is repainted: items take the colours when next measured and drawn.
  void SetUIStyle(TskUIStyle Value) override;

  int MenuItemHeight() const { return FMenuItemHeight; }
  void SetMenuItemHeight(int Value);
  int SeparatorHeight() const { return FSeparatorHeight; }
  void SetSeparatorHeight(int Value);
  TColor BarColor() const { return FBarColor; }
  void SetBarColor(TColor Value) { FBarColor = Value; }
  int BarWidth() const { return FBarWidth; }
  void SetBarWidth(int Value) { FBarWidth = Value; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TColor SeparatorColor() const { return FSeparatorColor; }
  void SetSeparatorColor(TColor Value) { FSeparatorColor = Value; }
  TColor SelectedBorderColor() const { return FSelectedBorderColor; }
  void SetSelectedBorderColor(TColor Value) { FSelectedBorderColor = Value; }
  TColor SelectedColor() const { return FSelectedColor; }
  void SetSelectedColor(TColor Value) { FSelectedColor = Value; }
  TColor SelectedFontColor() const { return FSelectedFontColor; }
  void SetSelectedFontColor(TColor Value) { FSelectedFontColor = Value; }
  TColor FontColor() const { return FFontColor; }
  void SetFontColor(TColor Value) { FFontColor = Value; }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { FBorderColor = Value; }
  bool FlatMenu() const { return FFlatMenu; }
  void SetFlatMenu(bool Value) { FFlatMenu = Value; }
  const AnsiString& FontName() const { return FFontName; }
  void SetFontName(const AnsiString& Value) { FFontName = Value; }
  int FontSize() const { return FFontSize; }
  void SetFontSize(int Value) { FFontSize = Value; }
  int FontCharset() const { return FFontCharset; }
  void SetFontCharset(int Value) { FFontCharset = static_cast<uint8_t>(Value); }
  bool UseSystemFont() const { return FUseSystemFont; }
  virtual void SetUseSystemFont(bool Value) { FUseSystemFont = Value; }

  // Gives every item of the menu this menu's drawing and measuring (also called after items were added in
  // code).
  virtual void MenuAdded();
  // The item event handlers; Sender is the item.
  void DrawItem(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected);
  void MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);

  // The menu this style belongs to.
  TMenu* Menu() const { return FMenu; }

 protected:
  explicit TskMenuStyle(TMenu* Menu);
  // The menu hears of the theme file's removal; this style is a part of it, not a component.
  TComponent* ThemeComponent() const override { return FMenu; }
  // The construction sequence after the menu itself exists: class-level values, font, the owner's style.
  void InitMenuStyle(TComponent* AOwner);
  // The image list whose images items show, and the one that holds the check mark.
  virtual TImageList* ItemImages() const = 0;
  virtual TImageList* CheckImages() const = 0;
  // Whether MenuItemHeight ignores writes in the current style.
  virtual bool MenuItemHeightFixed() const = 0;
  // The shared part of the menus' Notification.
  void StyleNotification(TComponent* AComponent, TOperation Operation);
  // Items added to the menu in code take its drawing, whoever owns them (the class library tells a menu of
  // a new item through MenuChanged once the item is in place).
  void StyleMenuChanged(TMenuItem* Source, bool Rebuild);
  TMenuItemDrawHandler DrawHandler();
  TMenuItemMeasureHandler MeasureHandler();

  TMenu* FMenu;
  int FMenuItemHeight = 21;
  int FSeparatorHeight = 21;
  TColor FBarColor = clBtnFace;
  int FBarWidth = 0;
  TColor FColor = clWhite;
  TColor FSeparatorColor = 0x808080;
  TColor FSelectedBorderColor = clHighlight;
  TColor FSelectedColor = clHighlight;
  TColor FSelectedFontColor = clWhite;
  TColor FFontColor = clWhite;
  TColor FBorderColor = 0;
  bool FFlatMenu = false;
  AnsiString FFontName = "MS Sans Serif";
  int FFontSize = 8;
  uint8_t FFontCharset = 1;
  bool FUseSystemFont = true;

 private:
  // The skinned menu an item belongs to, when another one than this.
  TskMenuStyle* OwningStyle(TMenuItem* Item);
  bool RightToLeft() const;
};

// Publishes the properties both menus share, in their order from FileTheme to UseSystemFont.
template <class T> void PublishSkMenuProperties(TClassBuilder<T>& c) {
  c.Property("FileTheme", &T::FileTheme, &T::SetFileTheme);
  c.Enum("UIStyle", &T::UIStyle, &T::SetUIStyle, TskUIStyleNames);
  c.Property("MenuItemHeight", &T::MenuItemHeight, &T::SetMenuItemHeight);
  c.Property("SeparatorHeight", &T::SeparatorHeight, &T::SetSeparatorHeight);
  c.Property("BarWidth", &T::BarWidth, &T::SetBarWidth);
  ColorProperty(c, "BarColor", &T::BarColor, &T::SetBarColor);
  ColorProperty(c, "Color", &T::Color, &T::SetColor);
  ColorProperty(c, "SeparatorColor", &T::SeparatorColor, &T::SetSeparatorColor);
  ColorProperty(c, "SelectedBorderColor", &T::SelectedBorderColor, &T::SetSelectedBorderColor);
  ColorProperty(c, "SelectedColor", &T::SelectedColor, &T::SetSelectedColor);
  ColorProperty(c, "SelectedFontColor", &T::SelectedFontColor, &T::SetSelectedFontColor);
  ColorProperty(c, "FontColor", &T::FontColor, &T::SetFontColor);
  ColorProperty(c, "BorderColor", &T::BorderColor, &T::SetBorderColor);
  c.Property("FlatMenu", &T::FlatMenu, &T::SetFlatMenu);
  c.Property("FontName", &T::FontName, &T::SetFontName);
  c.Property("FontSize", &T::FontSize, &T::SetFontSize);
  c.Property("FontCharset", &T::FontCharset, &T::SetFontCharset);
  c.Property("UseSystemFont", &T::UseSystemFont, &T::SetUseSystemFont);
}
