#pragma once
// TskFrameBase: what the two skinned frames (TskForm over a form, TskMDIForm over an MDI frame form) share:
// the form they take over and its window procedure, the caption bar and its passed-through properties, the
// menu bar's colour, font and drawing, the border's pictures and painting, and the menu short-cuts heard
// through the form and through the application's message loop. Each frame adds its own messages, menu
// building and maximize handling through the hooks below.
#include <memory>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/ToolBar.h"
#include "skin/SKFramePaint.h"
#include "skin/SKThemeLink.h"
#include "skin/SKTitleBar.h"

class TskMenuBar;

class TskFrameBase : public TskThemeable {
 public:
  TForm* Form() const { return FForm; }
  TskTitleBar* TitleBar() const { return FTitleBar; }
  TskMenuBar* MenuBar() const { return FMenuBar; }
  TMainMenu* Menu() const { return FMenu; }
  // The menu the bar shows and whose short-cuts the frame answers.
  virtual TMainMenu* ShownMenu() const = 0;
  TColor MenuBarColor() const { return FMenuBarColor; }
  void SetMenuBarColor(TColor Value);
  TColor BorderColor() const { return FBorderColor; }
  // The width of the right-hand border picture (and of the left one); 0 without one.
  int SideBorderWidth() const { return FPictures.SideWidth(); }
  int BottomBorderHeight() const { return FBottomBorderHeight; }
  // 0 without a title bar or while it is hidden, else its height.
  virtual int GetTitleBarHeight() const;

  bool TitleBarCustom() const { return FTitleBar && FTitleBar->Custom(); }
  void SetTitleBarCustom(bool Value);
  bool TitleBarDrawAppIcon() const { return FTitleBar && FTitleBar->DrawAppIcon(); }
  void SetTitleBarDrawAppIcon(bool Value);
  bool TitleBarVisible() const { return FTitleBar && FTitleBar->Visible(); }
  TskTitleBarButtons* TitleBarButtons() const;
  void SetTitleBarButtons(TskTitleBarButtons* Value);
  TskTitleBarSections* TitleBarSections() const;
  void SetTitleBarSections(TskTitleBarSections* Value);

  // The form's window procedure while the frame is in place: the client area inside the border pictures,
  // the border painted instead of the system's caption, key-downs tried as menu short-cuts.
  void NewParentWndProc(TMessage& Message);
  // Key-downs anywhere in the program are tried as the shown menu's short-cuts.
  virtual void OnApplicationMessage(tagMSG& Msg, bool& Handled);
  // Result 1 when the key was a short-cut of the shown menu (which then ran it), else 0.
  void ProcessKeyPress(TMessage& Message);
  // The menu bar's custom drawing: its background and each button.
  void DrawMenuBar(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw);
  void DrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw);

 protected:
  TskFrameBase() = default;

  bool Designing() const { return ThemeComponent()->ComponentState().Contains(csDesigning); }
  // Takes the form's window procedure over and listens to the application's messages.
  void HookForm();
  // Clears the form window's caption bits when set; answers whether it did.
  bool RemoveCaption();
  // The linked skinned menu, then the caption bar, take the frame's style and theme file.
  void ThemeMenu();
  void ThemeTitleBar();
  // A theme file's border pictures and the bottom border they make.
  void LoadBorderPictures();
  // The bar's font from the linked skinned menu: the system's menu font, or its size.
  void SetMenuBarFont();
  // The bar's look and drawing handlers (button drawing only when DrawButtons).
  void SetUpMenuBar(TWinControl* Parent);
  void HookMenuBarDrawing(bool DrawButtons);
  // The parts of the border's look both frames fill alike.
  TskFrameBorderLook BorderLook() const;
  // Paints Look on the form's whole window.
  void PaintBorderLook(const TskFrameBorderLook& Look);

  // The rows the bottom border takes off the client area, besides the border's own two.
  virtual int BottomBorderInset() const = 0;
  // The frame, or its form, is going: messages are passed on and nothing more.
  virtual bool FrameGoing() const { return FDestroying; }
  // A message that reaches the procedure after the frame began to go (dropped unless a frame passes it on).
  virtual void MessageWhileGoing(TMessage& Message) { (void)Message; }
  // The frame's own handling of a message, after the form's procedure ran.
  virtual void FrameMessage(TMessage& Message) = 0;
  // Whether short-cuts are taken now.
  virtual bool TakesShortCuts() const { return true; }
  // The style and theme file the menu bar is drawn in, and whether disabled buttons are drawn grey.
  virtual TskThemeLink MenuTheme() const { return FTheme; }
  virtual bool GreysDisabledButtons() const { return true; }

  TForm* FForm = nullptr;
  TWndMethod FOldWndProc;
  TskTitleBar* FTitleBar = nullptr; // owned (component ownership)
  TskMenuBar* FMenuBar = nullptr;   // owned (component ownership); null while there is none
  TMainMenu* FMenu = nullptr;       // not owned
  TskBorderPictures FPictures;      // a theme file's; the right one is item 45 turned round
  int FBottomBorderHeight = 0;
  TColor FBorderColor = 0;
  int FBorderWidth = 1;
  TColor FMenuBarColor = 0;
  bool FDestroying = false;
  std::unique_ptr<TApplicationEvents> FAppEvents;
  TskMenuBarPainter FMenuBarPainter;
};

// The base of a skinned frame: its class-library base with the shared frame part.
template <class Base> using TskFramed = TskThemed<Base, TskFrameBase>;
