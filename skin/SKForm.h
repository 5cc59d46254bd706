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
#include "skin/SKFrameBase.h"

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

class TskForm : public TskFramed<TCustomPanel> {
  QUENDREL_CLASS(TskForm, TskFramed<TCustomPanel>)
 public:
  // A frame owned by anything but a form, or by a form that already has one, stays a plain panel.
  explicit TskForm(TComponent* AOwner);
  ~TskForm() override;

  void SetUIStyle(TskUIStyle Value) override;
  bool UIStyleAutoUpdateSub() const { return FUIStyleAutoUpdateSub; }
  void SetUIStyleAutoUpdateSub(bool Value) { FUIStyleAutoUpdateSub = Value; }
  void SetBorderColor(TColor Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  void SetTitleBarVisible(bool Value);
  AnsiString Caption() const;
  void SetCaption(const AnsiString& Value);
  TCustomPanel* FormPanel() const { return FFormPanel; }
  void SetPanel(TCustomPanel* Value);
  TFont* TitleFont() const { return FTitleBar ? FTitleBar->Font() : TControl::Font(); }
  void SetTitleFont(TFont* Value);
  void SetMenu(TMainMenu* Value);
  TMainMenu* ShownMenu() const override { return FMenu; }
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
  // Takes the caption style away again when something gave it back.
  void ReAssign();
  // Alt+Space opens the system menu at the main form's corner; key-downs are tried as short-cuts.
  void OnApplicationMessage(tagMSG& Msg, bool& Handled) override;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void Resize() override;
  void SetParent(TWinControl* AParent) override;
  void WMEraseBkgnd(TMessage& Message) override;

 private:
  bool ThemeCoversChildren() const override { return true; }
  int BottomBorderInset() const override;
  void FrameMessage(TMessage& Message) override;
  // Only while the form is active and has the focus.
  bool TakesShortCuts() const override;
  TskThemeLink MenuTheme() const override;
  bool Active() const { return FForm && FTitleBar && !FDestroying; }
  bool IsMDIChild() const { return FForm && FForm->FormStyle() == fsMDIChild; }
  bool Maximized() const { return FForm && FForm->WindowState() == wsMaximized; }
  void FrameChanged();
  void WMSizeFrame();
  // Gives the form its caption and window procedure back.
  void Release();
  bool MenuBarShowing() const;
  // The linked menu's font for the bar's canvas (when it is a skinned menu); answers whether it set one.
  bool ApplyMenuFont(TFont* Font) const;

  // The panel's own border width is not the frame's.
  using TskFrameBase::FBorderWidth;

  TFormBorderStyle FOldBorderStyle = bsSizeable;
  TCustomPanel* FFormPanel = nullptr;
  int FMenuBarHeight = 22;
  bool FUIStyleAutoUpdateSub = false;
  bool FFormGone = false; // the form's destructor has run past its window part
  TRect FSavedBounds;
  bool FStartMaximized = false;
  bool FTitleBarWanted = true;
  bool FTitleBarSwitching = false;
  // The tiled client background of MacOS and Protein, loaded once per style.
  std::unique_ptr<TBitmap> FBackgroundTile;
};

// Shared by every frame of the program: how often a frame that started maximized has re-asserted it, and
// whether the maximized-MDI-child layout is in force.
extern int MaxShowCount;
extern bool ChildMaximized;
