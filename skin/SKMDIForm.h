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
#include "skin/SKFrameBase.h"

class TskForm;
class TskMenuBar;
class TskToolBarSpeedButton;

class TskMDIForm : public TskFramed<TComponent> {
  QUENDREL_CLASS(TskMDIForm, TskFramed<TComponent>)
 public:
  // Raises "Sorry, TskMDIForm must be placed on a form" when the owner is no form.
  explicit TskMDIForm(TComponent* AOwner);
  ~TskMDIForm() override;

  void SetUIStyle(TskUIStyle Value) override;
  // A reference already held is not applied again.
  void SetFileTheme(TskFileTheme* Value) override;
  void SetMenu(TMainMenu* Value);
  void SetBorderColor(TColor Value);
  AnsiString Caption() const;
  void SetCaption(const AnsiString& Value);
  void SetTitleBarVisible(bool Value);
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
  int GetTitleBarHeight() const override;
  // The first skinned frame among the direct controls of the active MDI child; null when none.
  TskForm* GetActiveChildSKForm() const;
  // The menu the bar should show: the frame's own, or the active child's when TitleBarDrawChildMenus.
  TMainMenu* GetMainMenu() const;
  TMainMenu* ShownMenu() const override { return FShownMenu; }
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

  TPanel* TopPanel() const { return FTopPanel; }
  // Button 1 closes, 2 restores, 3 minimizes the active child.
  TskToolBarSpeedButton* ControlButton(int Number) const;
  // The items this frame added to the form's window menu: a separator, then one per child.
  const std::vector<TMenuItem*>& WindowMenuItems() const { return FWindowMenuItems; }

  void NewClientWndProc(TMessage& Message);
  void OnControlButtonClick(TObject* Sender);
  void OnWindowMenuClick(TObject* Sender);
  void OnTopPanelResize(TObject* Sender);

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  int BottomBorderInset() const override { return FBottomBorderHeight - 2; }
  bool FrameGoing() const override { return FDestroying || FormGoing(); }
  // Messages still go through to the form's own procedure.
  void MessageWhileGoing(TMessage& Message) override;
  void FrameMessage(TMessage& Message) override;
  // The bar is always drawn in this frame's own style and theme file; a disabled button is not greyed.
  bool GreysDisabledButtons() const override { return false; }
  bool Active() const { return FForm && !FDestroying; }
  // The form is going: its window, controls and client window are gone or going.
  bool FormGoing() const;
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

  HWND FClient = nullptr;
  WNDPROC FOldClientWndProc{};
  WNDPROC FClientInstance{};
  std::shared_ptr<TskMDIForm*> FClientLink;       // what the client procedure reaches this frame through
  TPanel* FTopPanel = nullptr;                    // owned (component ownership), parent the form
  TskToolBarSpeedButton* FControlButtons[3] = {}; // owned (component ownership), parent the top panel
  bool FTitleBarDrawChildCaptions = true;
  bool FTitleBarDrawChildMenus = true;
  TMainMenu* FShownMenu = nullptr; // not owned
  int FRoundCorner = 0;
  int FRoundCornerBottom = 0;
  std::vector<TMenuItem*> FWindowMenuItems; // owned (component ownership); their parent is the window menu
  std::vector<TCustomForm*> FItemChildren;  // the child each item names (none for the separator)
};
