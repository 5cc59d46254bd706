#pragma once
// TskForm: the panel that turns its form into a skinned window. It takes the form's native caption away and
// hosts the skinned caption bar (and a menu bar for a linked menu), answers the form's non-client size and
// paint messages through its own window procedure, gives the window rounded corners, paints the border and
// the client background, and re-applies the theme to itself, its title bar, its menu and optionally its
// children. Every frame also hooks the application's message loop for Alt+Space and menu short-cuts.
#include <memory>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/ToolBar.h"
#include "skin/SKFramePaint.h"
#include "skin/SKThemeLink.h"
#include "skin/SKTitleBar.h"

class TBitmap;
class TskForm;

// The bar that shows a frame's menu: one button per top-level item, each dropping its item's sub-menu
// down, painted by the frame's custom-draw handlers.
class TskMDIForm;

class TskMenuBar : public TToolBar {
  QUENDREL_CLASS(TskMenuBar, TToolBar)
 public:
  explicit TskMenuBar(TComponent* AOwner) : TToolBar(AOwner) {}

  // The frame whose menu the bar shows (set by the frame), or the MDI frame's.
  TskForm* Form() const { return FForm; }
  void SetForm(TskForm* Value) { FForm = Value; }
  TskMDIForm* MDIForm() const { return FMDIForm; }
  void SetMDIForm(TskMDIForm* Value) { FMDIForm = Value; }

  // The pop-up menu the bar makes to drop a button's items down gets OnMenuPopup.
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The drop-down takes the hot-key handling of the frame's menu.
  void OnMenuPopup(TObject* Sender);

 private:
  TskForm* FForm = nullptr;       // not owned
  TskMDIForm* FMDIForm = nullptr; // not owned
};

class TskForm : public TskThemed<TCustomPanel> {
  QUENDREL_CLASS(TskForm, TskThemed<TCustomPanel>)
 public:
  // A frame owned by anything but a form, or by a form that already has one, stays a plain panel.
  explicit TskForm(TComponent* AOwner);
  ~TskForm() override;

  bool TitleBarCustom() const { return FTitleBar && FTitleBar->Custom(); }
  void SetTitleBarCustom(bool Value);
  void SetUIStyle(TskUIStyle Value) override;
  bool UIStyleAutoUpdateSub() const { return FUIStyleAutoUpdateSub; }
  void SetUIStyleAutoUpdateSub(bool Value) { FUIStyleAutoUpdateSub = Value; }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  bool TitleBarVisible() const { return FTitleBar && FTitleBar->Visible(); }
  void SetTitleBarVisible(bool Value);
  AnsiString Caption() const;
  void SetCaption(const AnsiString& Value);
  TCustomPanel* FormPanel() const { return FFormPanel; }
  void SetPanel(TCustomPanel* Value);
  TskTitleBarButtons* TitleBarButtons() const;
  void SetTitleBarButtons(TskTitleBarButtons* Value);
  TskTitleBarSections* TitleBarSections() const;
  void SetTitleBarSections(TskTitleBarSections* Value);
  bool TitleBarDrawAppIcon() const { return FTitleBar && FTitleBar->DrawAppIcon(); }
  void SetTitleBarDrawAppIcon(bool Value);
  TFont* TitleFont() const { return FTitleBar ? FTitleBar->Font() : TControl::Font(); }
  void SetTitleFont(TFont* Value);
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  TColor MenuBarColor() const { return FMenuBarColor; }
  void SetMenuBarColor(TColor Value);
  int MenuBarHeight() const { return FMenuBarHeight; }
  void SetMenuBarHeight(int Value);
  // The title bar's corners while it shows, else 0.
  int RoundCorner() const;
  void SetRoundCorner(int Value);
  int RoundCornerBottom() const;
  void SetRoundCornerBottom(int Value);
  AnsiString Version() const { return "5.84"; }
  void SetVersion(const AnsiString&) {}
  // The title bar's button events (Sender is the title bar).
  TskTitleBarButtonClickEvent OnTitleBarCustomBtnsClick;
  TskTitleBarButtonClickEvent OnTitleBarHelpBtnClick;

  // 0 without a title bar or while it is hidden, else its height.
  int GetTitleBarHeight() const;
  TskTitleBar* TitleBar() const { return FTitleBar; }
  TForm* Form() const { return FForm; }
  // The width of the right-hand border picture (and of the left one); 0 without one.
  int SideBorderWidth() const;
  int BottomBorderHeight() const { return FBottomBorderHeight; }

  // Rounded upper corners with RoundCorner, lower ones with RoundCornerBottom, the rest rectangular.
  void RegionWindow();
  // Paints the non-client border on the form's window.
  void PaintFormBorder();
  // The menu bar: made when a menu is linked, one button per top-level item (UpdateMenu), captions and
  // enabled states kept in step (UpdateTopMenu), the font taken from the menu (RepaintMenuBar).
  void CreateMenuBar();
  void DestroyMenuBar();
  void UpdateMenu();
  void UpdateTopMenu();
  void RepaintMenuBar();
  TskMenuBar* MenuBar() const { return FMenuBar; }
  // The menu bar's custom drawing: its background and each button.
  void DrawMenuBar(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw);
  void DrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw);
  void ProcessKeyPress(TMessage& Message);
  // Takes the caption style away again when something gave it back.
  void ReAssign();
  // The form's window procedure while the frame is in place.
  void NewParentWndProc(TMessage& Message);
  void OnApplicationMessage(tagMSG& Msg, bool& Handled);

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void Resize() override;
  void SetParent(TWinControl* AParent) override;
  void WMEraseBkgnd(TMessage& Message) override;

 private:
  bool ThemeCoversChildren() const override { return true; }
  bool Active() const { return FForm && FTitleBar && !FDestroying; }
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool IsMDIChild() const { return FForm && FForm->FormStyle() == fsMDIChild; }
  bool Maximized() const { return FForm && FForm->WindowState() == wsMaximized; }
  // Clears the form window's caption bits when set; answers whether it did.
  bool RemoveCaption();
  void FrameChanged();
  void NCCalcSize(TMessage& Message);
  void WMSizeFrame();
  // Gives the form its caption and window procedure back.
  void Release();
  bool MenuBarShowing() const;
  // The style and theme file the menu bar is drawn in: the linked skinned menu's, else the frame's.
  TskThemeLink MenuTheme() const;
  // The linked menu's font for the bar's canvas (when it is a skinned menu); answers whether it set one.
  bool ApplyMenuFont(TFont* Font) const;

  TskTitleBar* FTitleBar = nullptr; // owned (component ownership), parent the frame
  TskMenuBar* FMenuBar = nullptr;   // owned (component ownership); null while no menu is linked
  TMainMenu* FMenu = nullptr;       // not owned
  TWndMethod FOldWndProc;
  TskBorderPictures FPictures; // a theme file's border pictures; the right one is item 45 turned round
  int FBottomBorderHeight = 0;
  TFormBorderStyle FOldBorderStyle = bsSizeable;
  TForm* FForm = nullptr;
  TColor FBorderColor = 0;
  TCustomPanel* FFormPanel = nullptr;
  int FBorderWidth = 1;
  TColor FMenuBarColor = 0;
  int FMenuBarHeight = 22;
  bool FUIStyleAutoUpdateSub = false;
  bool FDestroying = false;
  bool FFormGone = false; // the form's destructor has run past its window part
  std::unique_ptr<TApplicationEvents> FAppEvents;
  TRect FSavedBounds;
  bool FStartMaximized = false;
  bool FTitleBarWanted = true;
  bool FTitleBarSwitching = false;
  // The tiled client background of MacOS and Protein, loaded once per style.
  std::unique_ptr<TBitmap> FBackgroundTile;
  TskMenuBarPainter FMenuBarPainter;
};

// Shared by every frame of the program: how often a frame that started maximized has re-asserted it, and
// whether the maximized-MDI-child layout is in force.
extern int MaxShowCount;
extern bool ChildMaximized;
