#include "skin/SKMDIForm.h"

#include <algorithm>

#include "classlib/controls/ControlCanvas.h"
#include "classlib/core/Exception.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/win/Windows.h"
#include "skin/SKButton.h"
#include "skin/SKForm.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"

QUENDREL_REGISTER_CLASS(TskMDIForm, TComponent) {
  c.Creatable();
  c.Enum("UIStyle", &TskMDIForm::UIStyle, &TskMDIForm::SetUIStyle, TskUIStyleNames);
  c.Property("FileTheme", &TskMDIForm::FileTheme, &TskMDIForm::SetFileTheme);
  c.Property("Menu", &TskMDIForm::Menu, &TskMDIForm::SetMenu);
  ColorProperty(c, "MenuBarColor", &TskMDIForm::MenuBarColor, &TskMDIForm::SetMenuBarColor);
  ColorProperty(c, "BorderColor", &TskMDIForm::BorderColor, &TskMDIForm::SetBorderColor);
  c.Property("Caption", &TskMDIForm::Caption, &TskMDIForm::SetCaption);
  c.Property("TitleBarDrawAppIcon", &TskMDIForm::TitleBarDrawAppIcon, &TskMDIForm::SetTitleBarDrawAppIcon)
      .Default(0);
  c.Property("TitleBarCustom", &TskMDIForm::TitleBarCustom, &TskMDIForm::SetTitleBarCustom).Default(0);
  c.Property("TitleBarVisible", &TskMDIForm::TitleBarVisible, &TskMDIForm::SetTitleBarVisible).Default(1);
  c.Property("TitleBarButtons", &TskMDIForm::TitleBarButtons, &TskMDIForm::SetTitleBarButtons);
  c.Property("TitleBarSections", &TskMDIForm::TitleBarSections, &TskMDIForm::SetTitleBarSections);
  c.Property("TitleBarDrawChildCaptions", &TskMDIForm::TitleBarDrawChildCaptions,
             &TskMDIForm::SetTitleBarDrawChildCaptions)
      .Default(1);
  c.Property("TitleBarDrawChildMenus", &TskMDIForm::TitleBarDrawChildMenus,
             &TskMDIForm::SetTitleBarDrawChildMenus)
      .Default(1);
  c.Property("RoundCorner", &TskMDIForm::RoundCorner, &TskMDIForm::SetRoundCorner);
  c.Property("RoundCornerBottom", &TskMDIForm::RoundCornerBottom, &TskMDIForm::SetRoundCornerBottom);
}

namespace {

// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED.
constexpr UINT FrameChangedFlags = 0x37;
// The child-window buttons' tags: close, restore, minimize.
constexpr int TagClose = -1381, TagRestore = -1382, TagMinimize = -1383;
// Posted to the frame form by a window-menu click: bring the child in WParam forward.
constexpr UINT SKM_SHOWCHILD = WM_APP + 0x112;

} // namespace

TskMDIForm::TskMDIForm(TComponent* AOwner) : inherited(AOwner) {
  auto* form = dynamic_cast<TForm*>(AOwner);
  if (!form) throw EComponentError("Sorry, TskMDIForm must be placed on a form");
  FForm = form;
  FShownMenu = nullptr;
  FDestroying = false;
  FForm->Constraints()->SetMinHeight(50);
  FForm->Constraints()->SetMinWidth(125);
  FForm->SetMenu(nullptr);
  const TFormBorderStyle border = FForm->BorderStyle();
  if (border == bsNone || border == bsSingle || border == bsToolWindow) FForm->SetBorderStyle(bsDialog);
  FForm->SetBorderWidth(0);

  FTitleBar = new TskTitleBar(this); // owned by this component, shown on the form
  FTitleBar->SetParent(FForm);
  FTitleBar->SetTop(0);
  FTitleBar->SetLeft(0);
  FTitleBar->SetCaption(FForm->Caption());
  FTitleBar->OnResize = [this](TObject* Sender) { OnTopPanelResize(Sender); };

  FTitleBarDrawChildCaptions = true;
  FTitleBarDrawChildMenus = true;

  CreateMenuBar();
  UpdateMenu();
  SetUIStyle(DeepBlue);

  FForm->SetAutoScroll(false);
  RemoveCaption();
  HookForm();
  SubclassClient();
  FrameChanged();
}

TskMDIForm::~TskMDIForm() {
  ClearWindowMenuItems();
  FDestroying = true;
  FAppEvents.reset();
  ReleaseClient();
  Release();
  if (!FormGoing()) {
    DestroyMenuBar();
    delete FTitleBar; // owned by this component
    FTitleBar = nullptr;
  }
}

bool TskMDIForm::FormGoing() const {
  return !FForm || FForm->ComponentState().Contains(csDestroying);
}

// ---------------------------------------------------------------------------------------------------------
// The form's window and the client window

void TskMDIForm::FrameChanged() {
  SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0, FrameChangedFlags);
}

void TskMDIForm::SubclassClient() {
  FClient = FForm->ClientHandle();
  if (!FClient) return; // not an MDI frame form: nothing to follow
  FOldClientWndProc = static_cast<WNDPROC>(GetWindowLong(FClient, GWL_WNDPROC));
  // The procedure reaches this frame only through the link, which the frame cuts when it goes; from then on
  // the procedure passes every message on, whoever still calls it.
  FClientLink = std::make_shared<TskMDIForm*>(this);
  const std::shared_ptr<TskMDIForm*> link = FClientLink;
  const WNDPROC old = FOldClientWndProc;
  const HWND client = FClient;
  FClientInstance = MakeObjectInstance([link, old, client](TMessage& Message) {
    if (*link)
      (*link)->NewClientWndProc(Message);
    else
      Message.Result = CallWindowProc(old, client, Message.Msg, Message.WParam, Message.LParam);
  });
  SetWindowLong(FClient, GWL_WNDPROC, static_cast<LONG>(FClientInstance));
}

void TskMDIForm::ReleaseClient() {
  if (!FClientLink) return;
  *FClientLink = nullptr;
  if (!IsWindow(FClient)) {
    FreeObjectInstance(FClientInstance);
  } else if (static_cast<WNDPROC>(GetWindowLong(FClient, GWL_WNDPROC)) == FClientInstance) {
    SetWindowLong(FClient, GWL_WNDPROC, static_cast<LONG>(FOldClientWndProc));
    FreeObjectInstance(FClientInstance);
  }
  // Otherwise another procedure was put over ours and calls it: ours stays, passing everything on.
  FClientLink.reset();
  FClient = nullptr;
}

void TskMDIForm::Release() {
  if (FormGoing() || !FOldWndProc) return;
  FForm->WindowProc = FOldWndProc;
  FOldWndProc = nullptr;
  if (!FForm->HandleAllocated()) return;
  HWND wnd = FForm->Handle();
  SetWindowLong(wnd, GWL_STYLE, GetWindowLong(wnd, GWL_STYLE) | static_cast<LONG>(WS_CAPTION));
  FrameChanged();
}

void TskMDIForm::MessageWhileGoing(TMessage& Message) {
  if (FOldWndProc) FOldWndProc(Message);
}

void TskMDIForm::FrameMessage(TMessage& Message) {
  switch (Message.Msg) {
  case WM_NCPAINT:
    PaintBorder();
    break;
  case CM_RECREATEWND:
    if (GetWindowLong(FForm->Handle(), GWL_STYLE) & WS_CAPTION) {
      RemoveCaption();
      FrameChanged();
    }
    break;
  case WM_SIZE:
    WMSize();
    break;
  case SKM_SHOWCHILD:
    ShowChild(reinterpret_cast<TCustomForm*>(Message.WParam)); // only when it is still a child
    break;
  default:
    break;
  }
}

void TskMDIForm::WMSize() {
  const bool maximized = FForm->WindowState() == wsMaximized;
  if (maximized && Designing()) return;
  if (maximized && FForm->FormStyle() != fsMDIChild) {
    const TRect work = GetWorkAreaRect();
    PlaceControl(FForm, TRect{work.Left - 2, work.Top - 2, work.Right + 2, work.Bottom - 1});
  }
  PaintBorder();
  RegionWindow();
}

void TskMDIForm::NewClientWndProc(TMessage& Message) {
  // The system's own handling always runs: arrangements first, then this frame's on top.
  Message.Result = CallWindowProc(FOldClientWndProc, FClient, Message.Msg, Message.WParam, Message.LParam);
  if (FDestroying || FormGoing()) return;
  switch (Message.Msg) {
  case WM_MDIREFRESHMENU:
    UpdateMenu();
    SetCaption(FForm->Caption());
    break;
  case WM_MDIMAXIMIZE:
    ShowControlButtons();
    SetCaption(FForm->Caption());
    break;
  case WM_MDIRESTORE:
    HideControlButtons();
    SetCaption(FForm->Caption());
    break;
  case WM_MDITILE:
    Tile();
    break;
  case WM_MDICASCADE:
    Cascade();
    break;
  default:
    break;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Arrangements

void TskMDIForm::Cascade() {
  if (!Active()) return;
  const int w = static_cast<int>(FForm->ClientWidth() * 0.8);
  const int h = static_cast<int>(FForm->ClientHeight() * 0.6);
  int x = 0, y = 0;
  for (int i = FForm->MDIChildCount() - 1; i >= 0; --i) {
    TCustomForm* child = FForm->MDIChildren(i);
    if (child->WindowState() == wsMinimized) continue;
    child->SetBounds(x, y, w, h);
    x += 22;
    y += 22;
  }
}

void TskMDIForm::Tile() {
  if (!Active()) return;
  const int count = FForm->MDIChildCount();
  std::vector<TCustomForm*> shown; // not minimized, last index first
  for (int i = count - 1; i >= 0; --i)
    if (TCustomForm* child = FForm->MDIChildren(i); child->WindowState() != wsMinimized)
      shown.push_back(child);
  const int n = static_cast<int>(shown.size());
  if (n == 0) return;
  // What the bars above and below take; a hidden one takes nothing.
  int height = FForm->ClientHeight();
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (c->Visible() && (c->Align() == alTop || c->Align() == alBottom)) height -= c->Height();
  }
  if (count > n) height -= 25; // room for the minimized ones
  if (FForm->TileMode() == tbVertical) {
    const int column = FForm->ClientWidth() / n;
    int x = 0;
    for (TCustomForm* child : shown) {
      child->SetBounds(x, 0, column - 2, height - 4);
      x += column - 2;
    }
  } else {
    const int row = height / n;
    const int width = FForm->ClientWidth() - 4;
    int y = 0;
    for (TCustomForm* child : shown) {
      child->SetBounds(0, y, width, row - 2);
      y += row - 2;
    }
  }
}

// ---------------------------------------------------------------------------------------------------------
// Menus

int TskMDIForm::GetTitleBarHeight() const {
  int h = TskFrameBase::GetTitleBarHeight();
  if (FTopPanel && FTopPanel->Visible()) h += FTopPanel->Height();
  return h;
}

TskForm* TskMDIForm::GetActiveChildSKForm() const {
  TCustomForm* child = FForm ? FForm->ActiveMDIChild() : nullptr;
  if (!child) return nullptr;
  for (int i = 0; i < child->ControlCount(); ++i)
    if (auto* frame = dynamic_cast<TskForm*>(child->Controls(i))) return frame;
  return nullptr;
}

TMainMenu* TskMDIForm::GetMainMenu() const {
  if (!FTitleBarDrawChildMenus || !FTitleBar || !FForm) return FMenu;
  TCustomForm* child = FForm->ActiveMDIChild();
  if (!child) return FMenu;
  if (child->Menu()) return child->Menu();
  if (TskForm* frame = GetActiveChildSKForm(); frame && frame->Menu()) return frame->Menu();
  return FMenu;
}

void TskMDIForm::SetMenu(TMainMenu* Value) {
  if (FMenu == Value) return;
  FMenu = Value;
  if (FMenu) FMenu->FreeNotification(this);
  UpdateMenu();
}

void TskMDIForm::UpdateMenu() {
  if (!Active()) return;
  TMainMenu* shown = GetMainMenu();
  FShownMenu = shown;
  if (FShownMenu) FShownMenu->FreeNotification(this); // a child's menu may go with its child
  if (!FShownMenu) {
    HideMenuBar();
    return;
  }
  if (!FMenuBar || !FTopPanel) return;
  if (FTitleBar) FTitleBar->SetTop(0);
  SetMenuBarFont();
  FTopPanel->Constraints()->SetMinHeight(FMenuBar->Height());
  TMenuItem* items = FShownMenu->Items();
  while (FMenuBar->ButtonCount() > items->Count()) delete FMenuBar->Buttons(0); // owned by this component
  while (FMenuBar->ButtonCount() < items->Count()) {
    auto* button = new TToolButton(this); // owned by this component
    button->SetParent(FMenuBar);
    button->SetGrouped(true);
    button->SetAutoSize(true);
  }
  for (int i = items->Count() - 1; i >= 0; --i) FMenuBar->Buttons(i)->SetMenuItem(items->Items(i));
  ShowMenuBar();
  FTopPanel->Constraints()->SetMinHeight(FMenuBar->Height());
  FTopPanel->SetHeight(FMenuBar->Height());
  UpdateWindowMenu();
}

void TskMDIForm::ClearWindowMenuItems() {
  const std::vector<TMenuItem*> items = std::move(FWindowMenuItems);
  FWindowMenuItems.clear();
  FItemChildren.clear();
  for (TMenuItem* item : items) delete item; // owned by this component; leaves its parent item
}

void TskMDIForm::UpdateWindowMenu() {
  if (!FForm || !FMenu || FMenu != GetMainMenu()) return;
  TMenuItem* windowMenu = FForm->WindowMenu();
  if (!windowMenu) return;
  ClearWindowMenuItems();
  auto* separator = new TMenuItem(this); // owned by this component
  separator->SetCaption("-");
  windowMenu->Add(separator);
  FWindowMenuItems.push_back(separator);
  FItemChildren.push_back(nullptr);
  for (int i = FForm->MDIChildCount() - 1; i >= 0; --i) {
    TCustomForm* child = FForm->MDIChildren(i);
    if (child->ComponentState().Contains(csDestroying)) continue;
    auto* item = new TMenuItem(this); // owned by this component
    item->SetCaption(child->Caption());
    item->OnClick = [this](TObject* Sender) { OnWindowMenuClick(Sender); };
    windowMenu->Add(item);
    FWindowMenuItems.push_back(item);
    FItemChildren.push_back(child);
    // The item names its child; the child's going rebuilds the items, so none outlives it.
    child->FreeNotification(this);
  }
  if (auto* menu = dynamic_cast<TskMainMenu*>(FMenu)) menu->MenuAdded();
}

TCustomForm* TskMDIForm::ChildOf(TMenuItem* Item) const {
  const auto it = std::find(FWindowMenuItems.begin(), FWindowMenuItems.end(), Item);
  if (it == FWindowMenuItems.end()) return nullptr;
  return FItemChildren[static_cast<size_t>(it - FWindowMenuItems.begin())];
}

void TskMDIForm::OnWindowMenuClick(TObject* Sender) {
  // Bringing the child forward refreshes the menus, which rebuilds these items: not while one of them is
  // still being clicked.
  if (TCustomForm* child = ChildOf(dynamic_cast<TMenuItem*>(Sender)))
    PostMessage(FForm->Handle(), SKM_SHOWCHILD, reinterpret_cast<WPARAM>(child), 0);
}

void TskMDIForm::ShowChild(TCustomForm* Child) {
  for (int i = 0; i < FForm->MDIChildCount(); ++i)
    if (FForm->MDIChildren(i) == Child) {
      if (Child->WindowState() == wsMinimized) Child->SetWindowState(wsNormal);
      Child->BringToFront();
      return;
    }
}

void TskMDIForm::CreateMenuBar() {
  if (FMenuBar || !FForm) return;
  FTopPanel = new TPanel(this); // owned by this component
  FTopPanel->SetBevelOuter(bvNone);
  FTopPanel->SetBevelInner(bvNone);
  FTopPanel->SetAlign(alTop);
  FTopPanel->SetParent(FForm);
  FTopPanel->SetVisible(false);

  FMenuBar = new TskMenuBar(this); // owned by this component
  FMenuBar->SetMDIForm(this);
  SetUpMenuBar(FTopPanel);
  FMenuBar->SetAutoSize(true);
  HookMenuBarDrawing(true);
  if (FTitleBar) FTitleBar->SetTop(0);

  if (Designing()) return;
  TBitmap strip;
  strip.LoadFromResourceName(0, SK_RES_MDI_CONTROL_BUTTON);
  strip.SetTransparent(true);
  int x = FTopPanel->Width() - 20;
  for (int i = 1; i <= 3; ++i) {
    auto* button = new TskToolBarSpeedButton(this); // owned by this component
    button->SetParent(FTopPanel);
    button->SetAnchors({akTop, akRight});
    TBitmap glyph;
    SpitBitmap(&strip, &glyph, 3, 4 - i);
    button->SetGlyph(&glyph);
    button->SetLeft(x);
    button->SetTop(1);
    button->SetTag(-1380 - i);
    button->OnClick = [this](TObject* Sender) { OnControlButtonClick(Sender); };
    button->SetColor(FMenuBar->Color());
    button->BringToFront();
    button->SetVisible(false);
    FControlButtons[i - 1] = button;
    x -= 18;
  }
}

void TskMDIForm::DestroyMenuBar() {
  if (!Designing())
    for (TskToolBarSpeedButton*& button : FControlButtons) {
      delete button; // owned by this component
      button = nullptr;
    }
  delete FMenuBar; // owned by this component
  FMenuBar = nullptr;
  delete FTopPanel; // owned by this component
  FTopPanel = nullptr;
  SetMenu(nullptr);
}

void TskMDIForm::ShowMenuBar() {
  if (FMenuBar && FTopPanel) FTopPanel->SetVisible(true);
}

void TskMDIForm::HideMenuBar() {
  if (FMenuBar && FTopPanel) FTopPanel->SetVisible(false);
}

TskToolBarSpeedButton* TskMDIForm::ControlButton(int Number) const {
  return Number >= 1 && Number <= 3 ? FControlButtons[Number - 1] : nullptr;
}

void TskMDIForm::ShowControlButtons() {
  TskForm* frame = GetActiveChildSKForm();
  if (!frame || !frame->TitleBarButtons()) return;
  // Hidden controls do not follow their anchors: the buttons take the bar's right end again.
  for (int n = 1; n <= 3; ++n)
    if (TskToolBarSpeedButton* button = ControlButton(n)) button->SetLeft(FTopPanel->Width() - 2 - 18 * n);
  TskTitleBarButtons* buttons = frame->TitleBarButtons();
  for (int i = 0; i < buttons->Count(); ++i) {
    int number = 0;
    switch (buttons->Items(i)->ButtonType()) {
    case skMin:
      number = 3;
      break;
    case skMax:
      number = 2;
      break;
    case skClose:
      number = 1;
      break;
    default:
      break;
    }
    if (TskToolBarSpeedButton* button = ControlButton(number)) button->SetVisible(true);
  }
}

void TskMDIForm::HideControlButtons() {
  for (TskToolBarSpeedButton* button : FControlButtons)
    if (button) button->SetVisible(false);
}

void TskMDIForm::OnControlButtonClick(TObject* Sender) {
  auto* button = dynamic_cast<TskToolBarSpeedButton*>(Sender);
  TCustomForm* child = FForm ? FForm->ActiveMDIChild() : nullptr;
  if (!button || !child) return;
  switch (button->Tag()) {
  case TagMinimize:
    ShowWindow(child->Handle(), SW_SHOWMINIMIZED);
    break;
  case TagRestore:
    child->SetWindowState(wsNormal);
    break;
  case TagClose:
    child->Close();
    break;
  default:
    return;
  }
  if (Application) Application->ProcessMessages();
}

// ---------------------------------------------------------------------------------------------------------
// Style, theme and painting

void TskMDIForm::SetFileTheme(TskFileTheme* Value) {
  if (FTheme.FileTheme == Value) return;
  inherited::SetFileTheme(Value);
}

void TskMDIForm::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  if (!FForm) return;
  if (FTheme.UseFile()) {
    SetBorderColor(FTheme.Color(16));
    SetMenuBarColor(FTheme.Color(15));
    FBorderWidth = FTheme.Size(17);
    const TColor bar = FTheme.Color(48);
    SetMenuBarColor(bar != -1 ? bar : SKMenuBarColorByFontColor(FTheme.Color(27), FTheme.Color(15)));
    SetRoundCorner(FTheme.Size(14));
    SetRoundCornerBottom(FTheme.Size(47));
    LoadBorderPictures();
  } else {
    SetBorderColor(FTheme.Color(16));
    SetMenuBarColor(FTheme.Color(15));
    FBorderWidth = FTheme.Size(17);
    SetRoundCorner(FTheme.Size(14));
    SetRoundCornerBottom(0);
    FBottomBorderHeight = 0;
    FPictures.Clear();
  }
  ThemeMenu();
  if (FTitleBar) {
    ThemeTitleBar();
    if (!Designing())
      for (TskToolBarSpeedButton* button : FControlButtons)
        if (button) button->SetColor(FMenuBarColor);
    // The corners are the frame's own.
    FTitleBar->SetRoundCorner(0);
    FTitleBar->SetRoundCornerBottom(0);
    // The side and bottom pictures decide the client area: measure it again (the constructor does so once it
    // has the window procedure).
    if (FOldWndProc && FForm->HandleAllocated() && !FormGoing()) FrameChanged();
    PaintBorder();
  }
}

void TskMDIForm::SetBorderColor(TColor Value) {
  FBorderColor = Value;
  if (!Designing()) PaintBorder();
}

AnsiString TskMDIForm::Caption() const {
  return FForm ? FForm->Caption() : AnsiString();
}

void TskMDIForm::SetCaption(const AnsiString& Value) {
  if (!FForm) return;
  FForm->SetCaption(Value);
  if (FTitleBar) FTitleBar->SetCaption(Value);
}

void TskMDIForm::SetTitleBarVisible(bool Value) {
  if (!FTitleBar || FTitleBar->Visible() == Value) return;
  FTitleBar->SetVisible(Value);
  FTitleBar->SetTop(0);
}

void TskMDIForm::SetRoundCorner(int Value) {
  FRoundCorner = Value;
  RegionWindow();
}

void TskMDIForm::SetRoundCornerBottom(int Value) {
  FRoundCornerBottom = Value;
  RegionWindow();
}

void TskMDIForm::RegionWindow() {
  if (!Active() || FormGoing() || Designing() || !FForm->HandleAllocated()) return;
  const bool shown = FTitleBar && FTitleBar->Visible();
  SetFrameRegion(FForm->Handle(), FForm->Width(), FForm->Height(), shown ? FRoundCorner : 0,
                 shown ? FRoundCornerBottom : 0);
}

void TskMDIForm::PaintBorder() {
  if (!Active() || FormGoing() || !FTitleBar || !FForm->HandleAllocated()) return;
  if (FForm->WindowState() == wsMinimized && !Designing()) return;
  if (FForm->BorderWidth() != 0) FForm->SetBorderWidth(0);
  TskFrameBorderLook look = BorderLook();
  look.BandColor = FMenuBarColor;
  look.LineColor = look.TopColor = FMenuBar ? FMenuBar->Color() : FForm->Color();
  look.MenuBarShown = FMenuBar && FTopPanel && FTopPanel->Visible() && FMenuBar->Visible();
  look.RoundCorner = FRoundCorner;
  PaintBorderLook(look);
}

void TskMDIForm::OnTopPanelResize(TObject*) {
  if (!Designing() || !FForm) return;
  RemoveCaption();
  FrameChanged();
}

// ---------------------------------------------------------------------------------------------------------
// Component

void TskMDIForm::Loaded() {
  TComponent::Loaded();
  UpdateMenu();
}

void TskMDIForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (!AComponent) return;
  if (Operation == opInsert) {
    if (FMenuBar) FMenuBar->SetTop(0);
    if (FTitleBar) FTitleBar->SetTop(0);
    return;
  }
  if (Operation != opRemove) return;
  if (AComponent == FMenuBar) FMenuBar = nullptr;
  if (AComponent == FTitleBar) FTitleBar = nullptr;
  if (AComponent == FTopPanel) FTopPanel = nullptr;
  for (TskToolBarSpeedButton*& button : FControlButtons)
    if (AComponent == button) button = nullptr;
  if (auto it = std::find(FWindowMenuItems.begin(), FWindowMenuItems.end(), AComponent);
      it != FWindowMenuItems.end()) {
    FItemChildren.erase(FItemChildren.begin() + (it - FWindowMenuItems.begin()));
    FWindowMenuItems.erase(it);
  }
  const bool menuGone = AComponent == FMenu || AComponent == FShownMenu;
  if (AComponent == FMenu) FMenu = nullptr;
  if (AComponent == FShownMenu) FShownMenu = nullptr;
  const bool childGone =
      std::find(FItemChildren.begin(), FItemChildren.end(), AComponent) != FItemChildren.end();
  if (FDestroying || FormGoing() || ComponentState().Contains(csDestroying)) return;
  if (menuGone) UpdateMenu();
  if (childGone) {
    // The items name the children by place: rebuild them without the one that went.
    ClearWindowMenuItems();
    UpdateWindowMenu();
  }
}
