#include "classlib/controls/Form.h"

#include <algorithm>
#include <cctype>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Screen.h"
#include "classlib/core/Filer.h"
#include "classlib/core/Resources.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/Icon.h"

const TEnumInfo PositionNames{{"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                               "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};
const TEnumInfo WindowStateNames{{"wsNormal", "wsMinimized", "wsMaximized"}};
const TEnumInfo FormStyleNames{{"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}};
const TEnumInfo BorderIconNames{{"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
const TEnumInfo TileModeNames{{"tbHorizontal", "tbVertical"}};

QUENDREL_REGISTER_CLASS(TCustomForm, TWinControl) {
  c.Property("Width", &TCustomForm::Width, &TCustomForm::SetWidth).Stored([](const TCustomForm* f) {
    return f->AutoScroll();
  });
  c.Property("Height", &TCustomForm::Height, &TCustomForm::SetHeight).Stored([](const TCustomForm* f) {
    return f->AutoScroll();
  });
  // A form starts hidden: only a shown one says so.
  c.Property("Visible", &TCustomForm::Visible, &TCustomForm::SetVisible).Default(0);
  c.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, BorderStyleNames)
      .Default(bsSizeable);
  c.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons, BorderIconNames)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize}.Mask());
  c.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition, PositionNames).Default(poDesigned);
  c.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState, WindowStateNames)
      .Default(wsNormal);
  c.Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, FormStyleNames).Default(fsNormal);
  c.Property("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
  c.Enum("TileMode", &TCustomForm::TileMode, &TCustomForm::SetTileMode, TileModeNames).Default(tbHorizontal);
  c.Property("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
  c.Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(0);
  c.Property("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
  c.Property("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(1);
  c.Property("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll);
  c.Property("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
  // A form stores its client size, which its frame (a skinned one included) is added to when it is read;
  // only a scrolling form stores its outer size, which its content does not decide.
  c.Property("ClientWidth", &TCustomForm::GetClientWidth, &TCustomForm::SetClientWidth)
      .Stored([](const TCustomForm* f) { return !f->AutoScroll(); });
  c.Property("ClientHeight", &TCustomForm::GetClientHeight, &TCustomForm::SetClientHeight)
      .Stored([](const TCustomForm* f) { return !f->AutoScroll(); });
  c.Property("ModalResult", &TCustomForm::ModalResult, &TCustomForm::SetModalResult).Default(0);
  c.Event("OnCreate", &TCustomForm::OnCreate);
  c.Event("OnDestroy", &TCustomForm::OnDestroy);
  c.Event("OnShow", &TCustomForm::OnShow);
  c.Event("OnHide", &TCustomForm::OnHide);
  c.Event("OnClose", &TCustomForm::OnClose);
  c.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
  c.Event("OnActivate", &TCustomForm::OnActivate);
  c.Event("OnDeactivate", &TCustomForm::OnDeactivate);
  c.Event("OnPaint", &TCustomForm::OnPaint);
  c.Event("OnShortCut", &TCustomForm::OnShortCut);
  c.Message(WM_MDIACTIVATE, &TCustomForm::WMMDIActivate);
}

QUENDREL_REGISTER_CLASS(TForm, TCustomForm) {
  c.Creatable();
}

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this)) {
  ControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FColor = clBtnFace;
  FWidth = 320;
  FHeight = 240;
  Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (!FFormState.Contains(fsCreating)) {
    // What OnDestroy raises goes to the application's exception handler; the form is freed all the same.
    try {
      DoDestroy();
    } catch (...) {
      try {
        if (Application) Application->HandleException(this);
      } catch (...) {
      }
    }
  }
  Destroying();
  if (Application) Application->FormDestroying(this);
  Screen->RemoveForm(this);
  FCanvas->FreeHandle();
  delete FIcon; // owned
  FIcon = nullptr;
  // The window goes first, its children's windows with it, while every control is still there to hear
  // WM_DESTROY; then the children, while the form is still a form, so that they can still find it.
  DestroyWindowHandle();
  FreeControls();
}

bool TCustomForm::ReadFormResource() {
  AnsiString name = ClassName();
  for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (!FindResourceData(name, RT_RCDATA)) return false;
  FFormState.Include(fsCreating);
  try {
    TResourceStream stream(name, RT_RCDATA);
    TReader reader(&stream);
    reader.ReadRootComponent(this);
  } catch (...) {
    FFormState.Exclude(fsCreating);
    throw;
  }
  FFormState.Exclude(fsCreating);
  return true;
}

void TCustomForm::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  DoCreate();
  if (FVisible && FHandle == nullptr) UpdateControlState();
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Loaded() {
  // The whole tree is there now, a frame that changes the non-client area included: the streamed client size
  // is applied once, to the window as it finally is, before the children are aligned to it.
  if (FHandle) ApplyDesignClientSize();
  TWinControl::Loaded();
  if (FActiveControl && !FActiveControl->CanFocus() && FActiveControl->FHandle == nullptr) {
    // kept: it gets the focus when the form is shown
  }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMenu) FMenu = nullptr;
  if (AComponent == FWindowMenu) FWindowMenu = nullptr;
  if (AComponent == FActiveControl) FActiveControl = nullptr;
  if (AComponent == FFocusedControl) FFocusedControl = nullptr;
}

// ----- Window

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  Params.ExStyle = 0;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  switch (FBorderStyle) {
  case bsNone:
    Params.Style |= WS_POPUP;
    break;
  case bsSingle:
    Params.Style |= WS_CAPTION;
    break;
  case bsSizeable:
    Params.Style |= WS_CAPTION | WS_THICKFRAME;
    break;
  case bsDialog:
    Params.Style |= WS_POPUP | WS_CAPTION;
    Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    break;
  case bsToolWindow:
    Params.Style |= WS_CAPTION;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    break;
  case bsSizeToolWin:
    Params.Style |= WS_CAPTION | WS_THICKFRAME;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    break;
  }
  if (FBorderStyle != bsNone) {
    if (FBorderIcons.Contains(biSystemMenu)) Params.Style |= WS_SYSMENU;
    if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
      if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
      if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (FFormStyle == fsMDIChild) {
    // A child window of the main form's client window, with a frame of its own.
    Params.Style = (Params.Style & ~WS_POPUP) | WS_CHILD;
    Params.ExStyle |= WS_EX_MDICHILD;
    TCustomForm* frame = Application ? Application->MainForm() : nullptr;
    if (frame && frame != this && frame->FormStyle() == fsMDIForm) Params.WndParent = frame->ClientHandle();
  }
}

namespace {

// The client window of the application main form, which MDI children live in; null when there is none.
HWND MDIClientOfMainForm(const TCustomForm* Child) {
  TCustomForm* frame = Application ? Application->MainForm() : nullptr;
  if (!frame || frame == Child || frame->FormStyle() != fsMDIForm) return nullptr;
  frame->HandleNeeded();
  return frame->ClientHandle();
}

// The MDI children of a client window, front to back.
std::vector<TCustomForm*> MDIChildForms(HWND Client) {
  std::vector<TCustomForm*> list;
  if (!IsWindow(Client)) return list;
  for (auto it = Client->Children.rbegin(); it != Client->Children.rend(); ++it)
    if (auto* f = dynamic_cast<TCustomForm*>(FindControl(*it)); f && f->FormStyle() == fsMDIChild)
      list.push_back(f);
  return list;
}

} // namespace

void TCustomForm::CreateWnd() {
  if (FFormStyle == fsMDIChild && !MDIClientOfMainForm(this))
    throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
    // The desktop chooses: a cascade from the top-left of the work area, or of the client window.
    static int cascade = 0;
    const TRect area = FFormStyle == fsMDIChild ? TRect{0, 0, FWidth, FHeight} : Screen->WorkAreaRect();
    FLeft = area.Left + 24 * (cascade % 8);
    FTop = area.Top + 24 * (cascade % 8);
    ++cascade;
  }
  TWinControl::CreateWnd();
  // While loading, what the stream creates next may still change the frame: Loaded applies it then.
  if (!ComponentState().Contains(csLoading)) ApplyDesignClientSize();
  if (FFormStyle == fsMDIForm) CreateClientWindow();
}

void TCustomForm::CreateClientWindow() {
  if (FClientHandle || !FHandle) return;
  FClientHandle =
      CreateMDIClientWindow(FHandle, WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CLIENTEDGE, ClientRect());
  // Under the aligned controls, in the client area they leave.
  SetWindowPos(FClientHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Realign();
}

void TCustomForm::DestroyWnd() {
  FClientHandle = nullptr; // goes with the form's window, its MDI children with it
  HWND client = FHandle ? GetParent(FHandle) : nullptr;
  if (FFormStyle == fsMDIChild && IsMDIClientWindow(client)) {
    // A window already on its way out only forgets the form.
    if (!SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(FHandle), 0) && IsWindow(FHandle))
      FHandle->Control = nullptr;
    return;
  }
  TWinControl::DestroyWnd();
}

void TCustomForm::WMNCDestroy(TMessage& Message) {
  FClientHandle = nullptr;
  TWinControl::WMNCDestroy(Message);
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  TWinControl::AlignControls(AControl, Rect);
  if (FClientHandle)
    SetWindowPos(FClientHandle, nullptr, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::SetZOrder(bool TopMost) {
  TWinControl::SetZOrder(TopMost);
  // An MDI child brought to the front is the active one.
  if (TopMost && FFormStyle == fsMDIChild && FHandle && IsWindowVisible(FHandle))
    SendMessage(GetParent(FHandle), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
}

int TCustomForm::MDIChildCount() const {
  return static_cast<int>(MDIChildForms(FClientHandle).size());
}

TCustomForm* TCustomForm::MDIChildren(int Index) const {
  const std::vector<TCustomForm*> list = MDIChildForms(FClientHandle);
  if (Index < 0 || Index >= static_cast<int>(list.size()))
    throw EListError(Format("List index out of bounds (%d)", Index));
  return list[static_cast<size_t>(Index)];
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (!FClientHandle) return nullptr;
  return dynamic_cast<TCustomForm*>(
      FindControl(reinterpret_cast<HWND>(SendMessage(FClientHandle, WM_MDIGETACTIVE, 0, 0))));
}

void TCustomForm::SetWindowMenu(TMenuItem* Value) {
  if (FWindowMenu == Value) return;
  if (FWindowMenu) FWindowMenu->RemoveFreeNotification(this);
  FWindowMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomForm::Cascade() {
  if (FClientHandle) SendMessage(FClientHandle, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile() {
  if (FClientHandle)
    SendMessage(FClientHandle, WM_MDITILE, FTileMode == tbVertical ? MDITILE_VERTICAL : MDITILE_HORIZONTAL,
                0);
}

void TCustomForm::ArrangeIcons() {
  if (FClientHandle) SendMessage(FClientHandle, WM_MDIICONARRANGE, 0, 0);
}

void TCustomForm::Next() {
  if (FClientHandle) SendMessage(FClientHandle, WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous() {
  if (FClientHandle) SendMessage(FClientHandle, WM_MDINEXT, 0, 1);
}

void TCustomForm::SetClientWidth(int Value) {
  TWinControl::SetClientWidth(Value);
  // Until the window exists, or while loading, its frame is not final: the client size is applied again
  // when it is.
  FDesignClientWidth = FHandle && !ComponentState().Contains(csLoading) ? 0 : Value;
}

void TCustomForm::SetClientHeight(int Value) {
  TWinControl::SetClientHeight(Value);
  FDesignClientHeight = FHandle && !ComponentState().Contains(csLoading) ? 0 : Value;
}

void TCustomForm::ApplyDesignClientSize() {
  const int width = FDesignClientWidth, height = FDesignClientHeight;
  FDesignClientWidth = FDesignClientHeight = 0;
  if (width > 0) TWinControl::SetClientWidth(width);
  if (height > 0) TWinControl::SetClientHeight(height);
}

void TCustomForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  // An outer size set after loading replaces a client size still waiting for the window.
  if (!ComponentState().Contains(csLoading)) {
    if (AWidth != FWidth) FDesignClientWidth = 0;
    if (AHeight != FHeight) FDesignClientHeight = 0;
  }
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (FBorderIcons == Value) return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  const TFormStyle old = FFormStyle;
  FFormStyle = Value;
  if (!FHandle) return;
  if (old == fsMDIChild || Value == fsMDIChild) {
    // The window belongs in another parent now: it is made again there, and shown again when visible.
    DestroyHandle();
    UpdateControlState();
    return;
  }
  if (Value == fsMDIForm) CreateClientWindow();
  if (old == fsMDIForm && FClientHandle) {
    DestroyWindow(FClientHandle);
    FClientHandle = nullptr;
  }
  SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (FMenu == Value) return;
  if (FMenu) FMenu->RemoveFreeNotification(this);
  FMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (FWindowState == Value) return;
  FWindowState = Value;
  if (FHandle && FShowing) {
    static const int cmd[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
    ShowWindow(FHandle, cmd[Value]);
  }
}

void TCustomForm::WMSize(TMessage& Message) {
  // Until the form shows, its window reports the size it has, not the state the form is to show in (a form
  // made maximized is sized while it waits to be shown).
  if (FShowing) {
    if (Message.WParam == SIZE_MINIMIZED)
      FWindowState = wsMinimized;
    else if (Message.WParam == SIZE_MAXIMIZED)
      FWindowState = wsMaximized;
    else
      FWindowState = wsNormal;
  }
  TWinControl::WMSize(Message);
}

void TCustomForm::WMGetMinMaxInfo(TMessage& Message) {
  auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  const TSizeConstraints* c = FConstraints.get();
  if (c->MinWidth() > 0) info->ptMinTrackSize.X = c->MinWidth();
  if (c->MinHeight() > 0) info->ptMinTrackSize.Y = c->MinHeight();
  if (c->MaxWidth() > 0) info->ptMaxTrackSize.X = info->ptMaxSize.X = c->MaxWidth();
  if (c->MaxHeight() > 0) info->ptMaxTrackSize.Y = info->ptMaxSize.Y = c->MaxHeight();
  DefaultHandler(Message);
}

void TCustomForm::CMTextChanged(TMessage& Message) {
  TWinControl::CMTextChanged(Message);
  if (FHandle) FHandle->NCInvalid = true;
}

void TCustomForm::WMPaint(TMessage& Message) {
  const TControlStateScope painting(ControlState, csCustomPaint);
  TWinControl::WMPaint(Message);
}

void TCustomForm::PaintWindow(HDC DC) {
  const TCanvasPaintScope scope(*FCanvas, DC);
  Paint();
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::WMDestroy(TMessage& Message) {
  FActive = false;
  TWinControl::WMDestroy(Message);
}

// ----- Showing

void TCustomForm::SetVisible(bool Value) {
  if (FFormState.Contains(fsCreating) && ComponentState().Contains(csLoading)) {
    // A form stream asks for a visible form: it is shown once created.
    FVisible = Value;
    return;
  }
  TWinControl::SetVisible(Value);
}

void TCustomForm::Show() {
  const TControlLifeline life(this); // an activation handler may free the form
  SetVisible(true);
  if (!life.Alive()) return;
  BringToFront();
  if (FHandle) SetActiveWindow(FHandle);
}

void TCustomForm::Hide() {
  SetVisible(false);
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (FFormState.Contains(fsShowing)) throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
  FFormState.Include(fsShowing);
  // Placing and showing the window reach size and activation handlers, which may free the form.
  const TControlLifeline life(this);
  try {
    if (FShowing) {
      try {
        DoShow();
      } catch (Exception& e) {
        if (Application) Application->HandleException(this, e);
      }
      // An MDI child is placed within its client window, every other form on the desktop.
      TRect desk = Screen->DesktopRect();
      if (HWND client = FFormStyle == fsMDIChild ? GetParent(FHandle) : nullptr) GetClientRect(client, &desk);
      if (FPosition == poScreenCenter || FPosition == poDesktopCenter ||
          ((FPosition == poMainFormCenter || FPosition == poOwnerFormCenter))) {
        TCustomForm* center = nullptr;
        if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
          center = Application ? Application->MainForm() : nullptr;
          if (FPosition == poOwnerFormCenter) {
            if (auto* o = dynamic_cast<TCustomForm*>(Owner())) center = o;
          }
          if (center == this) center = nullptr;
        }
        int x, y;
        if (center) {
          x = (center->Width() - FWidth) / 2 + center->Left();
          y = (center->Height() - FHeight) / 2 + center->Top();
        } else {
          const bool child = FFormStyle == fsMDIChild;
          x = ((child ? desk.Width() : Screen->Width()) - FWidth) / 2;
          y = ((child ? desk.Height() : Screen->Height()) - FHeight) / 2;
        }
        x = std::max(x, desk.Left);
        y = std::max(y, desk.Top);
        SetBounds(x, y, FWidth, FHeight);
        if (!life.Alive()) return;
      }
      FPosition = poDesigned;
      static const int cmd[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
      ShowWindow(FHandle, cmd[FWindowState]);
      if (!life.Alive()) return;
      if (FFormStyle == fsStayOnTop)
        SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
      try {
        DoHide();
      } catch (Exception& e) {
        if (Application) Application->HandleException(this, e);
      }
      ShowWindow(FHandle, SW_HIDE);
      if (!life.Alive()) return;
    }
  } catch (...) {
    if (life.Alive()) FFormState.Exclude(fsShowing);
    throw;
  }
  FFormState.Exclude(fsShowing);
}

int TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (GetCapture()) SendMessage(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState.Include(fsModal);
  HWND activeBefore = GetActiveWindow();
  // Every other form is disabled while this one runs.
  std::vector<TCustomForm*> disabled;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f != this && f->FHandle && IsWindowEnabled(f->FHandle)) {
      EnableWindow(f->FHandle, 0);
      disabled.push_back(f);
    }
  }
  auto restore = [&] {
    for (TCustomForm* f : disabled)
      if (Screen->IndexOfForm(f) >= 0 && f->FHandle) EnableWindow(f->FHandle, 1);
    if (activeBefore && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
    FFormState.Exclude(fsModal);
  };
  try {
    Show();
    FModalResult = mrNone;
    Application->IncModalLevel();
    do {
      Application->HandleMessage();
      if (Application->Terminated())
        FModalResult = mrCancel;
      else if (FModalResult != mrNone)
        CloseModal();
    } while (FModalResult == mrNone);
    Application->DecModalLevel();
    Hide();
  } catch (...) {
    Application->DecModalLevel();
    restore();
    throw;
  }
  restore();
  return FModalResult;
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone)
    FModalResult = mrNone;
  else if (action == caFree)
    Release();
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  // OnCloseQuery and OnClose may free the form themselves.
  const TControlLifeline life(this);
  if (!CloseQuery() || !life.Alive()) return;
  TCloseAction action =
      FFormStyle == fsMDIChild ? (FBorderIcons.Contains(biMinimize) ? caMinimize : caNone) : caHide;
  DoClose(action);
  if (!life.Alive() || action == caNone) return;
  if (Application && Application->MainForm() == this)
    Application->Terminate();
  else if (action == caHide)
    Hide();
  else if (action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TCustomForm::Release() {
  if (FHandle)
    PostMessage(FHandle, CM_RELEASE, 0, 0);
  else if (Application)
    Application->ReleaseForm(this);
}

void TCustomForm::CMRelease(TMessage&) {
  if (Application) Application->ReleaseForm(this);
}

void TCustomForm::WMClose(TMessage&) {
  Close();
}

void TCustomForm::WMSysCommand(TMessage& Message) {
  if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->MainForm() == this) {
    Application->Minimize();
    return;
  }
  DefaultHandler(Message);
}

// ----- Activation and focus

void TCustomForm::WMActivate(TMessage& Message) {
  const bool active = LOWORD(Message.WParam) != WA_INACTIVE;
  // An MDI frame hands its activation to the active child, when it has one.
  TCustomForm* child =
      FFormStyle == fsMDIForm && !ComponentState().Contains(csDesigning) ? ActiveMDIChild() : nullptr;
  if (!child) {
    SetActive(active);
    return;
  }
  const TControlLifeline life(this);
  if (FActive) SetActive(false);
  if (life.Alive()) child->SetActive(active);
}

void TCustomForm::WMMDIActivate(TMessage& Message) {
  DefaultHandler(Message);
  if (FFormStyle != fsMDIChild || !FHandle || ComponentState().Contains(csDestroying)) return;
  // The active child is the active form while its frame is the active window.
  const bool activating = reinterpret_cast<HWND>(Message.LParam) == FHandle;
  SetActive(activating && GetActiveWindow() == FHandle->Root());
}

void TCustomForm::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (Value) {
    Screen->SetActiveForm(this);
    if (!FActiveControl && !ComponentState().Contains(csDesigning))
      FActiveControl = FindNextControl(nullptr, true, true, false);
    SetWindowFocus();
    Activate();
  } else {
    if (Screen->ActiveForm() == this) Screen->SetActiveForm(nullptr);
    Deactivate();
  }
}

void TCustomForm::CMActivate(TMessage&) {}
void TCustomForm::CMDeactivate(TMessage&) {}

void TCustomForm::SetWindowFocus() {
  HWND h = (FActiveControl && FActiveControl->CanFocus()) ? FActiveControl->Handle() : FHandle;
  if (h) ::SetFocus(h);
}

void TCustomForm::SetFocus() {
  if (!FVisible || !FEnabled) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetWindowFocus();
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (Control && Control != this && ::GetParentForm(Control) == this &&
      !ComponentState().Contains(csLoading) && !Control->CanFocus())
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FActiveControl = Control;
  if (!ComponentState().Contains(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
  const bool wasActive = FActive;
  SetActiveControl(Control);
  if (!wasActive) SetFocus();
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (Control->ControlState.Contains(csFocusing)) return false;
  FActiveControl = Control != this ? Control : nullptr;
  Screen->SetActiveControl(Control);
  Control->ControlState.Include(csFocusing);
  try {
    if (!FFocusedControl) FFocusedControl = this;
    if (FFocusedControl != Control) {
      while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
        TWinControl* leaving = FFocusedControl;
        FFocusedControl = FFocusedControl->FParent;
        leaving->Perform(CM_EXIT, 0, 0);
        leaving->DoExit();
        if (GetFocus() != Control->FHandle) {
          Control->ControlState.Exclude(csFocusing);
          return false;
        }
      }
      while (FFocusedControl != Control) {
        TWinControl* entering = Control;
        while (entering->FParent != FFocusedControl) entering = entering->FParent;
        FFocusedControl = entering;
        entering->Perform(CM_ENTER, 0, 0);
        entering->DoEnter();
        if (GetFocus() != Control->FHandle) {
          Control->ControlState.Exclude(csFocusing);
          return false;
        }
      }
      TMessage m{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control), 0};
      Broadcast(m);
    }
  } catch (...) {
    Control->ControlState.Exclude(csFocusing);
    throw;
  }
  Control->ControlState.Exclude(csFocusing);
  return true;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->FParent;
  if (Control->ContainsControl(FActiveControl)) {
    // The form itself takes the focus, as when nothing on it has it, so that its keys (arrows included) reach
    // its own handlers rather than move the focus on from some container.
    FActiveControl = nullptr;
    if (FActive && FHandle && !ComponentState().Contains(csDestroying)) ::SetFocus(FHandle);
  }
}

void TCustomForm::UpdateActions() {
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TCustomActionList*>(Components(i)))
      for (int k = 0; k < list->ActionCount(); ++k) list->Actions(k)->Update();
}

bool TCustomForm::IsShortCut(TMessage& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  if (handled) return true;
  if (FMenu && FMenu->IsShortCut(Message)) return true;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TCustomActionList*>(Components(i)); list && list->IsShortCut(Message))
      return true;
  return false;
}

void TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.WParam) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) >= 0) {
        SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
        Message.Result = 1;
        return;
      }
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      if (FActiveControl && FActiveControl->FParent) {
        FActiveControl->FParent->SelectNext(FActiveControl,
                                            Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
        Message.Result = 1;
      }
      return;
    default:
      break;
    }
  }
  TWinControl::CMDialogKey(Message);
}

// ----- TForm

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {}

TCustomForm* GetParentForm(TControl* Control) {
  return Control ? Control->GetParentForm() : nullptr;
}

bool IsAccel(WORD Key, const AnsiString& Caption) {
  const char hotkey = GetHotkey(Caption);
  return hotkey != 0 && hotkey == static_cast<char>(std::toupper(static_cast<int>(Key & 0xFF)));
}
