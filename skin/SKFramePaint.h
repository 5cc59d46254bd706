#pragma once
// What the two skinned frames (TskForm and TskMDIForm) paint alike: the border pictures a theme file gives
// them, the non-client border in its plain and its picture variant, the window region with rounded corners,
// and their menu bar's background and buttons. Each frame fills in what differs.
#include <memory>

#include "classlib/controls/ToolBar.h"
#include "classlib/core/Types.h"
#include "classlib/graphics/Color.h"
#include "skin/SKThemeLink.h"

class TBitmap;
class TCanvas;
class TFont;
class TskMainMenu;
class TskTitleBar;

// A theme file's border pictures: the left one (item 45), the right one (item 45 turned by 180 degrees) and
// the bottom one (item 46). Empty for built-in styles and for files that lack them.
struct TskBorderPictures {
  std::unique_ptr<TBitmap> Left;
  std::unique_ptr<TBitmap> Right;
  std::unique_ptr<TBitmap> Bottom;

  TskBorderPictures();
  ~TskBorderPictures();
  // Reads both items from the theme file (only when the theme uses one); the side pictures only when item 45
  // has both a width and a height.
  void Load(const TskThemeLink& Theme);
  void Clear();
  int SideWidth() const;    // 0 without side pictures
  int BottomHeight() const; // 0 without a bottom picture
};

// How one frame's border looks.
struct TskFrameBorderLook {
  TskTitleBar* TitleBar = nullptr;
  int BorderWidth = 1;
  TColor BorderColor = 0;
  // Plain variant: the inner bands and the band under a hidden title bar, and where the bands start.
  TColor BandColor = 0;
  int BandTop = 0;
  // Picture variant: the one-pixel lines inside the pictures, and the top rows without a painted title bar.
  TColor LineColor = 0;
  TColor TopColor = 0;
  // The menu bar beside the side bands, when one shows.
  bool MenuBarShown = false;
  int MenuBarHeight = 0;
  TColor MenuBarColor = 0;
  const TskBorderPictures* Pictures = nullptr;
  // The rounded upper corners are outlined when the border is one pixel and the radius 11.
  int RoundCorner = 0;
  bool Designing = false;
};

// Paints the border on the window's whole surface (W x H): the picture variant when the look has side
// pictures, else the plain one.
void PaintFrameBorder(TCanvas* Canvas, int W, int H, const TskFrameBorderLook& Look);

// Gives the window upper corners rounded with R and lower corners with RB (-1 counts as 0), the rest
// rectangular.
void SetFrameRegion(HWND Wnd, int W, int H, int R, int RB);

// The non-client rectangle of WM_NCCALCSIZE for a frame with side pictures SideWidth wide, and a bottom edge
// BottomInset above the window's bottom: the top never moves (the caption bar lies in the client area).
void FrameNCCalcSize(TMessage& Message, int SideWidth, int BottomInset);

// The menu bar's custom drawing, with the MacOS pictures loaded once.
class TskMenuBarPainter {
 public:
  TskMenuBarPainter();
  ~TskMenuBarPainter();
  // MacOS: the bar's picture stretched over it.
  void DrawBar(TToolBar* Bar, const TRect& ARect, TskUIStyle Style);
  // A button in the theme's menu colours; FontMenu (a skinned menu, or null) gives the font. Disabled
  // buttons are drawn grey when GreyDisabled.
  void DrawButton(TToolBar* Bar, TToolButton* Button, TCustomDrawState State, const TskThemeLink& Theme,
                  TskMainMenu* FontMenu, bool GreyDisabled);

 private:
  TBitmap* Picture(std::unique_ptr<TBitmap>& Cache, const char* Name);
  std::unique_ptr<TBitmap> FMacMenuBar;
  std::unique_ptr<TBitmap> FMacMenuSelect;
};

// The skinned menu's font on Font (the system menu font when it uses that); false for other menus.
bool ApplySkinMenuFont(TskMainMenu* Menu, TFont* Font);
