#pragma once
// TskMDIForm: the component that skins an MDI frame form. It puts the skinned caption bar and, on a top
// panel, the menu bar straight on the form above its MDI client area; the bar shows the active child's menu
// when it has one, and three child-window buttons while a child is maximized. It subclasses the MDI client
// window to follow the children's maximize, restore and menu-refresh messages and to arrange them its own
// way, and lists the children in the form's window menu.
#include <memory>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "skin/SKFramePaint.h"
#include "skin/SKThemeLink.h"
#include "skin/SKTitleBar.h"

class TskForm;
class TskMenuBar;
class TskToolBarSpeedButton;

class TskMDIForm : public TskThemed<TComponent> {
  QUENDREL_CLASS(TskMDIForm, TskThemed<TComponent>)
 public:
  // Raises "Sorry, TskMDIForm must be placed on a form" when the owner is no form.
  explicit TskMDIForm(TComponent* AOwner);
  ~TskMDIForm() override;

  void SetUIStyle(TskUIStyle Value) override;
  // A reference already held is not applied again.
  void SetFileTheme(TskFileTheme* Value) override;
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  TColor MenuBarColor() const { return FMenuBarColor; }
  void SetMenuBarColor(TColor Value);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  AnsiString Caption() const;
  void SetCaption(const AnsiString& Value);
  bool TitleBarDrawAppIcon() const { return FTitleBar && FTitleBar->DrawAppIcon(); }
  void SetTitleBarDrawAppIcon(bool Value);
  bool TitleBarCustom() const { return FTitleBar && FTitleBar->Custom(); }
  void SetTitleBarCustom(bool Value);
  bool TitleBarVisible() const { return FTitleBar && FTitleBar->Visible(); }
  void SetTitleBarVisible(bool Value);
  TskTitleBarButtons* TitleBarButtons() const;
  void SetTitleBarButtons(TskTitleBarButtons* Value);
  TskTitleBarSections* TitleBarSections() const;
  void SetTitleBarSections(TskTitleBarSections* Value);
  // Stored; nothing reads it.
  bool TitleBarDrawChildCaptions() const { return FTitleBarDrawChildCaptions; }
  void SetTitleBarDrawChildCaptions(bool Value) { FTitleBarDrawChildCaptions = Value; }
  // Whether the bar shows the active child's menu.
  bool TitleBarDrawChildMenus() const { return FTitleBarDrawChildMenus; }
  void SetTitleBarDrawChildMenus(bool Value) { FTitleBarDrawChildMenus = Value; }
  int RoundCorner() const { return FRoundCorner; }
  void SetRoundCorner(int Value);
  int RoundCornerBottom() const { return FRoundCornerBottom; }
  void SetRoundCornerBottom(int Value);
  // The plain border's width, from the theme (not published).
  int BorderWidth() const { return FBorderWidth; }

  // Its own arrangements, which replace the system's.
  void Cascade();
  void Tile();
  // The title bar's height while it shows, plus the top panel's while it shows.
  int GetTitleBarHeight() const;
  // The first skinned frame among the direct controls of the active MDI child; null when none.
  TskForm* GetActiveChildSKForm() const;
  // The menu the bar should show: the frame's own, or the active child's when TitleBarDrawChildMenus.
  TMainMenu* GetMainMenu() const;
  TMainMenu* ShownMenu() const { return FShownMenu; }
  // The menu bar: one button per top-level item of the shown menu; the window menu lists the children.
  void UpdateMenu();
  void UpdateWindowMenu();
  void CreateMenuBar();
  void DestroyMenuBar();
  void ShowMenuBar();
  void HideMenuBar();
  // The child-window buttons a maximized child's caption buttons call for.
  void ShowControlButtons();
  void HideControlButtons();
  void PaintBorder();
  void RegionWindow();

  TForm* Form() const { return FForm; }
  TskTitleBar* TitleBar() const { return FTitleBar; }
  TskMenuBar* MenuBar() const { return FMenuBar; }
  TPanel* TopPanel() const { return FTopPanel; }
  // Button 1 closes, 2 restores, 3 minimizes the active child.
  TskToolBarSpeedButton* ControlButton(int Number) const;
  // The items this frame added to the form's window menu: a separator, then one per child.
  const std::vector<TMenuItem*>& WindowMenuItems() const { return FWindowMenuItems; }

  void NewParentWndProc(TMessage& Message);
  void NewClientWndProc(TMessage& Message);
  void OnApplicationMessage(tagMSG& Msg, bool& Handled);
  void ProcessKeyPress(TMessage& Message);
  void OnControlButtonClick(TObject* Sender);
  void OnWindowMenuClick(TObject* Sender);
  void OnTopPanelResize(TObject* Sender);
  void DrawButton(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw);
  void DrawMenuBar(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw);

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  bool Active() const { return FForm && !FDestroying; }
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  // The form is going: its window, controls and client window are gone or going.
  bool FormGoing() const;
  void RemoveCaption();
  void FrameChanged();
  void SubclassClient();
  // Gives the client window its procedure back, or leaves ours passing everything on when another was put
  // over it; in both cases nothing reaches this frame any more.
  void ReleaseClient();
  void Release();
  void ClearWindowMenuItems();
  void WMSize();
  TCustomForm* ChildOf(TMenuItem* Item) const;
  // Brings Child forward (restoring it when minimized) when it is still one of the form's children.
  void ShowChild(TCustomForm* Child);

  TForm* FForm = nullptr;
  TWndMethod FOldWndProc;
  HWND FClient = nullptr;
  WNDPROC FOldClientWndProc{};
  WNDPROC FClientInstance{};
  std::shared_ptr<TskMDIForm*> FClientLink;       // what the client procedure reaches this frame through
  TPanel* FTopPanel = nullptr;                    // owned (component ownership), parent the form
  TskTitleBar* FTitleBar = nullptr;               // owned (component ownership), parent the form
  TskMenuBar* FMenuBar = nullptr;                 // owned (component ownership), parent the top panel
  TskToolBarSpeedButton* FControlButtons[3] = {}; // owned (component ownership), parent the top panel
  bool FTitleBarDrawChildCaptions = true;
  bool FTitleBarDrawChildMenus = true;
  bool FDestroying = false;
  TskBorderPictures FPictures;
  int FBottomBorderHeight = 0;
  TMainMenu* FMenu = nullptr;      // not owned
  TMainMenu* FShownMenu = nullptr; // not owned
  TColor FMenuBarColor = 0;
  TColor FBorderColor = 0;
  int FBorderWidth = 1;
  int FRoundCorner = 0;
  int FRoundCornerBottom = 0;
  std::unique_ptr<TApplicationEvents> FAppEvents;
  std::vector<TMenuItem*> FWindowMenuItems; // owned (component ownership); their parent is the window menu
  std::vector<TCustomForm*> FItemChildren;  // the child each item names (none for the separator)
  TskMenuBarPainter FMenuBarPainter;
};
