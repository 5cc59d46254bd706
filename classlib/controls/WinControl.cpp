#include "classlib/controls/WinControl.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Screen.h"
#include "classlib/graphics/Gdi.h"

const TEnumInfo BorderStyleNames{
    {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};

QUENDREL_REGISTER_CLASS(TWinControl, TControl) {
  c.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(0);
  c.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
  c.Property("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
  c.Event("OnKeyDown", &TWinControl::OnKeyDown);
  c.Event("OnKeyUp", &TWinControl::OnKeyUp);
  c.Event("OnKeyPress", &TWinControl::OnKeyPress);
  c.Event("OnEnter", &TWinControl::OnEnter);
  c.Event("OnExit", &TWinControl::OnExit);
  c.Event("OnMouseWheel", &TWinControl::OnMouseWheel);
  c.Event("OnDockDrop", &TWinControl::OnDockDrop);
  c.Event("OnDockOver", &TWinControl::OnDockOver);
  c.Event("OnGetSiteInfo", &TWinControl::OnGetSiteInfo);
  c.Event("OnUnDock", &TWinControl::OnUnDock);
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
  FColor = clBtnFace;
  FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
  Destroying();
  // The screen must not go on pointing at a focused control that is gone.
  if (Screen && Screen->ActiveControl() == this) Screen->SetActiveControl(nullptr);
  if (FParent)
    if (TCustomForm* form = GetParentForm()) form->DefocusControl(this, true);
  DestroyWindowHandle();
  // Leave the parent while still a windowed control, so that it forgets the tab order entry.
  if (FParent) FParent->RemoveControl(this);
  FreeControls();
}

void TWinControl::FreeControls() {
  // Child controls go with their parent, whoever owns them; each leaves its owner's list as it goes.
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    RemoveControl(c);
    delete c; // the parent frees its children
  }
}

HWND TWinControl::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FControls[static_cast<size_t>(Index)];
}

void TWinControl::InsertControl(TControl* AControl) {
  AControl->FParent = this;
  FControls.push_back(AControl);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) FTabList.push_back(w);
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
  }
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    w->UpdateControlState();
  } else if (HandleAllocated()) {
    AControl->Invalidate();
  }
  AlignControl(AControl);
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (std::find(FControls.begin(), FControls.end(), AControl) == FControls.end()) return;
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (TCustomForm* form = GetParentForm()) form->DefocusControl(w, true);
    if (w->HandleAllocated()) w->DestroyHandle();
  } else if (HandleAllocated()) {
    AControl->InvalidateControl(AControl->FVisible, false);
  }
  std::erase_if(FTabList, [AControl](TWinControl* w) { return static_cast<TControl*>(w) == AControl; });
  std::erase(FControls, AControl);
  AControl->FParent = nullptr;
  if (!ComponentState().Contains(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* c = Control; c; c = c->FParent)
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    const bool win = dynamic_cast<TWinControl*>(c) != nullptr;
    if (win && !AllowWinControls) continue;
    if (!c->FVisible || (!c->FEnabled && !AllowDisabled)) continue;
    const TPoint p{Pos.X - c->FLeft, Pos.Y - c->FTop};
    if (!c->BoundsRect().Contains(Pos)) continue;
    if (!win && !c->HitTest(p)) continue;
    return c;
  }
  return nullptr;
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  // The root streams the components it owns that are not controls (menus, timers, themes) first.
  if (Root == this) TComponent::GetChildren(Proc, Root);
  for (TControl* c : FControls)
    if (c->Owner() == Root) Proc(c);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

// ----- Window

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & WS_CHILD) && !p.WndParent) {
    if (!FParent) throw EInvalidOperation(Format("Control '%s' has no parent window", Name().c_str()));
    p.WndParent = FParent->Handle();
  }
  FHandle = CreateWindowHandle(this, p.WndParent, p.Style, p.ExStyle, Bounds(p.X, p.Y, p.Width, p.Height),
                               p.Caption);
  FinishCreate(FHandle);
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  // The window's place among its siblings follows the control order.
  if (FParent && FParent->FHandle) {
    std::vector<HWND> order;
    for (TControl* c : FParent->FControls)
      if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FHandle) order.push_back(w->FHandle);
    auto& kids = FParent->FHandle->Children;
    // Windows without a control of the parent's (an MDI client) stay underneath.
    const auto rank = [&](HWND w) {
      const auto it = std::find(order.begin(), order.end(), w);
      return it == order.end() ? -1L : static_cast<long>(it - order.begin());
    };
    std::stable_sort(kids.begin(), kids.end(), [&](HWND a, HWND b) { return rank(a) < rank(b); });
  }
  UpdateBounds();
  for (TControl* c : FControls) c->UpdateAnchorRules();
}

void TWinControl::DestroyWnd() {
  // A window already on its way out (the control freed from one of its last messages) only forgets the
  // control.
  if (!DestroyWindow(FHandle) && IsWindow(FHandle)) FHandle->Control = nullptr;
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  if (!FHandle) return;
  ControlState.Include(csDestroyingHandle);
  DestroyWnd();
  ControlState.Exclude(csDestroyingHandle);
  FHandle = nullptr;
  FShowing = false;
}

void TWinControl::RecreateWnd() {
  if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  if (!FHandle) return;
  // The window keeps living: its styles are made again, and the frame recomputed. A window that a modal form
  // disabled stays disabled.
  TCreateParams p;
  CreateParams(p);
  const DWORD disabled = static_cast<DWORD>(GetWindowLong(FHandle, GWL_STYLE)) & WS_DISABLED;
  SetWindowLong(FHandle, GWL_STYLE, static_cast<LONG>((p.Style & ~WS_DISABLED) | disabled));
  SetWindowLong(FHandle, GWL_EXSTYLE, static_cast<LONG>(p.ExStyle));
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinControl::WMNCDestroy(TMessage& Message) {
  DefaultHandler(Message);
  FHandle = nullptr;
  FShowing = false;
}

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  UpdateBoundsRect(FHandle->Rect);
}

void TWinControl::UpdateShowing() {
  const bool show =
      FVisible || (ComponentState().Contains(csDesigning) && !ControlStyle.Contains(csNoDesignVisible));
  if (show) {
    if (!FHandle) CreateHandle();
    const std::vector<TControl*> kids = FControls;
    for (TControl* c : kids)
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateShowing();
  }
  if (FHandle && FShowing != show) {
    FShowing = show;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !show;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  const TWinControl* c = this;
  while (c->FParent) {
    c = c->FParent;
    if (!c->FShowing) return;
  }
  if (dynamic_cast<const TCustomForm*>(c)) UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                   (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!FVisible && FParent) {
    if (TCustomForm* form = GetParentForm()) form->DefocusControl(this, false);
  }
  const TControlLifeline life(this);
  UpdateControlState(); // showing a form activates it, and an activation handler may free it
  if (life.Alive() && !FVisible && FParent) FParent->Invalidate();
}

void TWinControl::ShowControl(TControl*) {
  if (FParent) FParent->ShowControl(this);
}

void TWinControl::SetVisible(bool Value) {
  TControl::SetVisible(Value);
}

void TWinControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  if (FHandle) EnableWindow(FHandle, Value);
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TWinControl::CMEnabledChanged(TMessage&) {
  if (!FEnabled && FParent) {
    if (TCustomForm* form = GetParentForm()) form->DefocusControl(this, false);
  }
  if (FHandle) EnableWindow(FHandle, FEnabled);
  Invalidate();
}

void TWinControl::SetText(const AnsiString& Value) {
  if (GetText() == Value) return;
  FText = Value;
  if (FHandle) SetWindowText(FHandle, Value.c_str());
  Perform(CM_TEXTCHANGED, 0, 0);
}

AnsiString TWinControl::GetText() const {
  return FText;
}

// ----- Bounds and alignment

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CanResize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle && !IsIconic(FHandle)) {
    // The size messages may reach a handler that frees the control.
    const TControlLifeline life(this);
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (!life.Alive()) return;
  } else {
    const bool sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) FHandle->RestoreRect = Bounds(ALeft, ATop, AWidth, AHeight);
    if (sized) {
      Realign();
      if (!ComponentState().Contains(csLoading)) Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

TRect TWinControl::ClientRect() {
  if (FHandle) {
    TRect r;
    GetClientRect(FHandle, &r);
    return r;
  }
  TCreateParams p;
  CreateParams(p);
  const TRect insets = SystemFrameInsets(p.Style, p.ExStyle);
  // In 64 bits: a streamed size may be anywhere in the int range.
  const auto inner = [&](int Size, int Before, int After) {
    const int64_t n = int64_t{Size} - Before - After - 2 * int64_t{FBorderWidth};
    return static_cast<int>(std::clamp<int64_t>(n, 0, INT_MAX));
  };
  return {0, 0, inner(FWidth, insets.Left, insets.Right), inner(FHeight, insets.Top, insets.Bottom)};
}

TPoint TWinControl::ClientOrigin() {
  if (FHandle) {
    TPoint p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return p;
  }
  return TControl::ClientOrigin();
}

// In 64 bits: a streamed client size may be anywhere in the int range.
void TWinControl::SetClientWidth(int Value) {
  SetWidth(SatInt(int64_t{FWidth} - ClientRect().Width() + Value));
}
void TWinControl::SetClientHeight(int Value) {
  SetHeight(SatInt(int64_t{FHeight} - ClientRect().Height() + Value));
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMMove(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::Resize() {
  TControl::Resize();
}

void TWinControl::SetBorderWidth(int Value) {
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  if (FHandle)
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Realign();
  Invalidate();
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::WMNCCalcSize(TMessage& Message) {
  DefaultHandler(Message);
  // The border width is a band of the non-client area, in the control's colour.
  if (FBorderWidth > 0) {
    TRect* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                              : reinterpret_cast<TRect*>(Message.LParam);
    r->Inflate(-FBorderWidth, -FBorderWidth);
  }
}

void TWinControl::WMNCPaint(TMessage& Message) {
  DefaultHandler(Message);
  if (FBorderWidth <= 0 || !FHandle) return;
  HDC dc = GetWindowDC(FHandle);
  FBrush->SetColor(FColor);
  const TRect w = FHandle->WindowRectInWindow();
  const TRect c = FHandle->Client;
  RECT parts[4] = {{w.Left, w.Top, w.Right, c.Top},
                   {w.Left, c.Bottom, w.Right, w.Bottom},
                   {w.Left, c.Top, c.Left, c.Bottom},
                   {c.Right, c.Top, w.Right, c.Bottom}};
  for (RECT& r : parts) FillRect(dc, &r, FBrush->Handle());
  ReleaseDC(FHandle, dc);
}

void TWinControl::EnableAlign() {
  --FAlignLevel;
  if (FAlignLevel == 0 && ControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
  AlignControl(nullptr);
}

void TWinControl::AlignControl(TControl* AControl) {
  if (ComponentState().Contains(csDestroying)) return;
  if (FAlignLevel != 0 || ComponentState().Contains(csLoading)) {
    ControlState.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  ControlState.Include(csAligning);
  try {
    TRect r = ClientRect();
    AlignControls(AControl, r);
  } catch (...) {
    ControlState.Exclude(csAligning);
    ControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
    throw;
  }
  ControlState.Exclude(csAligning);
  ControlState.Exclude(csAlignmentNeeded);
  --FAlignLevel;
}

namespace {

bool InsertBefore(TControl* C1, TControl* C2, TAlign A) {
  switch (A) {
  case alTop:
    return C1->Top() < C2->Top();
  case alBottom:
    return C1->Top() + C1->Height() >= C2->Top() + C2->Height();
  case alLeft:
    return C1->Left() < C2->Left();
  case alRight:
    return C1->Left() + C1->Width() >= C2->Left() + C2->Width();
  default:
    return false;
  }
}

} // namespace

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  AdjustClientRect(Rect);
  const TRect parentClient = ClientRect();
  auto visible = [this](TControl* c) {
    return c->FVisible ||
           (c->ComponentState().Contains(csDesigning) && !c->ControlStyle.Contains(csNoDesignVisible));
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    if (AControl && AControl->FAlign == a && visible(AControl) && AControl->FParent == this)
      list.push_back(AControl);
    for (TControl* c : FControls) {
      if (c == AControl || c->FAlign != a || !visible(c)) continue;
      size_t i = 0;
      while (i < list.size() && !InsertBefore(c, list[i], a)) ++i;
      list.insert(list.begin() + static_cast<long>(i), c);
    }
    for (TControl* c : list) {
      const TMargins* m = c->FMargins.get();
      const bool mw = c->FAlignWithMargins;
      // In 64 bits, and cut to int only where a control takes its bounds: nothing here may wrap round.
      const int64_t ml = mw ? m->Left() : 0, mt = mw ? m->Top() : 0, mr = mw ? m->Right() : 0,
                    mb = mw ? m->Bottom() : 0;
      int64_t l = int64_t{Rect.Left} + ml, t = int64_t{Rect.Top} + mt;
      int64_t w = int64_t{Rect.Right} - Rect.Left - ml - mr, h = int64_t{Rect.Bottom} - Rect.Top - mt - mb;
      switch (a) {
      case alTop:
        h = c->FHeight;
        break;
      case alBottom:
        h = c->FHeight;
        t = int64_t{Rect.Bottom} - h - mb;
        break;
      case alLeft:
        w = c->FWidth;
        break;
      case alRight:
        w = c->FWidth;
        l = int64_t{Rect.Right} - w - mr;
        break;
      default:
        break;
      }
      c->SetBounds(SatInt(l), SatInt(t), SatInt(std::max<int64_t>(0, w)), SatInt(std::max<int64_t>(0, h)));
      switch (a) {
      case alTop:
        Rect.Top = SatInt(int64_t{Rect.Top} + c->FHeight + mt + mb);
        break;
      case alBottom:
        Rect.Bottom = SatInt(int64_t{Rect.Bottom} - c->FHeight - mt - mb);
        break;
      case alLeft:
        Rect.Left = SatInt(int64_t{Rect.Left} + c->FWidth + ml + mr);
        break;
      case alRight:
        Rect.Right = SatInt(int64_t{Rect.Right} - c->FWidth - ml - mr);
        break;
      default:
        break;
      }
    }
  }
  // Anchored controls keep their distances to the right and bottom edges.
  for (TControl* c : FControls) {
    if (c->FAlign != alNone || c == AControl || !visible(c)) continue;
    const TAnchors an = c->FAnchors;
    if (an == TAnchors{akLeft, akTop}) continue;
    int64_t l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
    if (an.Contains(akRight)) {
      if (an.Contains(akLeft))
        w = int64_t{parentClient.Width()} - c->FAnchorRules.X - l;
      else
        l = int64_t{parentClient.Width()} - c->FAnchorRules.X - w;
    }
    if (an.Contains(akBottom)) {
      if (an.Contains(akTop))
        h = int64_t{parentClient.Height()} - c->FAnchorRules.Y - t;
      else
        t = int64_t{parentClient.Height()} - c->FAnchorRules.Y - h;
    }
    c->SetBounds(SatInt(l), SatInt(t), SatInt(std::max<int64_t>(0, w)), SatInt(std::max<int64_t>(0, h)));
  }
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
  DisableAlign();
  for (TControl* c : FControls)
    c->SetBounds(SatAdd(c->FLeft, DeltaX), SatAdd(c->FTop, DeltaY), c->FWidth, c->FHeight);
  --FAlignLevel;
  ControlState.Exclude(csAlignmentNeeded);
  Invalidate();
}

void TWinControl::SetParent(TWinControl* AParent) {
  // Leaving the old parent destroys the window; the new parent makes a new one when it shows.
  TControl::SetParent(AParent);
}

void TWinControl::SetZOrder(bool TopMost) {
  TControl::SetZOrder(TopMost);
  if (FHandle)
    SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::SetZOrderPosition(int Position) {
  if (!FParent) return;
  auto& list = FParent->FControls;
  std::erase(list, this);
  Position = std::clamp(Position, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + Position, this);
}

// ----- Painting

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !ControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::WMPaint(TMessage& Message) {
  if (!ControlState.Contains(csCustomPaint) && FControls.empty())
    DefaultHandler(Message);
  else
    PaintHandler(Message);
}

void TWinControl::PaintHandler(TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  PAINTSTRUCT ps;
  if (!dc) dc = BeginPaint(FHandle, &ps);
  const int saved = SaveDC(dc);
  // Opaque graphic children cover their part: it is not painted twice.
  for (TControl* c : FControls) {
    if (dynamic_cast<TWinControl*>(c) || !c->FVisible || !c->ControlStyle.Contains(csOpaque)) continue;
    ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
  }
  PaintWindow(dc);
  RestoreDC(dc, saved);
  PaintControls(dc, nullptr);
  if (!Message.WParam) EndPaint(FHandle, &ps);
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t i = 0;
  if (First) {
    const auto it = std::find(FControls.begin(), FControls.end(), First);
    if (it != FControls.end()) i = static_cast<size_t>(it - FControls.begin());
  }
  const std::vector<TControl*> kids = FControls;
  for (; i < kids.size(); ++i) {
    TControl* c = kids[i];
    if (dynamic_cast<TWinControl*>(c)) continue;
    if (!c->FVisible &&
        !(c->ComponentState().Contains(csDesigning) && !c->ControlStyle.Contains(csNoDesignVisible)))
      continue;
    TRect clip;
    GetClipBox(DC, &clip);
    TRect dummy;
    if (!IntersectRect(dummy, clip, c->BoundsRect())) continue;
    const int saved = SaveDC(DC);
    POINT old;
    OffsetViewportOrgEx(DC, c->FLeft, c->FTop, &old);
    IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
  }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  const int saved = SaveDC(DC);
  OffsetViewportOrgEx(DC, X, Y, nullptr);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  RestoreDC(DC, saved);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  TRect r = ClientRect();
  FBrush->SetColor(FColor);
  FillRect(reinterpret_cast<HDC>(Message.WParam), &r, FBrush->Handle());
  Message.Result = 1;
}

void TWinControl::CMColorChanged(TMessage& Message) {
  FBrush->SetColor(FColor);
  TControl::CMColorChanged(Message);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  TControl::CMFontChanged(Message);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMBiDiModeChanged(TMessage& Message) {
  TControl::CMBiDiModeChanged(Message);
  NotifyControls(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::Broadcast(TMessage& Message) {
  const std::vector<TControl*> kids = FControls;
  for (TControl* c : kids) {
    c->WindowProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m{Msg, 0, 0, 0};
  const std::vector<TControl*> kids = FControls;
  for (TControl* c : kids) c->WindowProc(m);
}

void TWinControl::WMNCHitTest(TMessage& Message) {
  DefaultHandler(Message);
}

// ----- Messages

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_SETFOCUS:
    if (TCustomForm* form = GetParentForm(); form && !form->SetFocusedControl(this)) return;
    break;
  case WM_KILLFOCUS:
    if (ControlState.Contains(csFocusing)) return;
    break;
  case CN_SYSKEYDOWN:
    // Alt with a key: the form's menus and actions may take it as their short cut.
    if (IsMenuKey(Message)) {
      Message.Result = 1;
      return;
    }
    break;
  default:
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
      // A graphic child under the cursor, or holding the mouse, takes the message.
      TControl* target = nullptr;
      TControl* cc = GetCaptureControl();
      const TWMMouse m(Message);
      if (cc && GetCapture() == FHandle)
        target = cc->FParent == this ? cc : nullptr;
      else
        target = ControlAtPos(m.Pos(), false);
      if (target) {
        Message.Result = target->Perform(Message.Msg, Message.WParam,
                                         MAKELPARAM(m.XPos - target->FLeft, m.YPos - target->FTop));
        return;
      }
    }
    break;
  }
  TControl::WndProc(Message);
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (FHandle) {
    switch (Message.Msg) {
    case WM_GETTEXTLENGTH:
    case WM_GETTEXT:
    case WM_SETTEXT:
      TControl::DefaultHandler(Message);
      break;
    default:
      break;
    }
    if (Message.Msg == WM_GETTEXT || Message.Msg == WM_GETTEXTLENGTH) return;
    Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TControl::DefaultHandler(Message);
}

// ----- Focus

bool TWinControl::CanFocus() {
  TCustomForm* form = GetParentForm();
  if (!form) return false;
  for (TWinControl* c = this; c != form; c = c->FParent)
    if (!c || !c->FVisible || !c->FEnabled) return false;
  return form->Visible() && form->Enabled();
}

bool TWinControl::Focused() const {
  return FHandle && GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm())
    form->FocusControl(this);
  else
    ::SetFocus(Handle());
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  if (FHandle) {
    if (Value)
      FHandle->Style |= WS_TABSTOP;
    else
      FHandle->Style &= ~WS_TABSTOP;
  }
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  const auto& l = FParent->FTabList;
  const auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!FParent) return;
  auto& l = FParent->FTabList;
  std::erase(l, this);
  Value = std::clamp(Value, 0, static_cast<int>(l.size()));
  l.insert(l.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  auto it = std::find(list.begin(), list.end(), CurControl);
  long start = it == list.end() ? (GoForward ? static_cast<long>(list.size()) - 1 : 0) : it - list.begin();
  long i = start;
  const long n = static_cast<long>(list.size());
  for (long step = 0; step < n; ++step) {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TWinControl* c = list[static_cast<size_t>(i)];
    if ((!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) c->SetFocus();
}

void TWinControl::WMSetFocus(TMessage& Message) {
  DefaultHandler(Message);
}
void TWinControl::WMKillFocus(TMessage& Message) {
  DefaultHandler(Message);
}

void TWinControl::CMFocusChanged(TMessage& Message) {
  Broadcast(Message);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// ----- Keyboard

bool TWinControl::DoKeyDown(TMessage& Message) {
  TCustomForm* form = GetParentForm();
  if (form && form != this && form->KeyPreview() && form->DoKeyDown(Message)) return true;
  if (!ControlStyle.Contains(csNoStdEvents)) {
    WORD key = static_cast<WORD>(Message.WParam);
    KeyDown(key, KeyDataToShiftState(static_cast<LONG>(Message.LParam)));
    Message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TCustomForm* form = GetParentForm();
  if (form && form != this && form->KeyPreview() && form->DoKeyUp(Message)) return true;
  if (!ControlStyle.Contains(csNoStdEvents)) {
    WORD key = static_cast<WORD>(Message.WParam);
    KeyUp(key, KeyDataToShiftState(static_cast<LONG>(Message.LParam)));
    Message.WParam = key;
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* form = GetParentForm();
  if (form && form != this && form->KeyPreview() && form->DoKeyPress(Message)) return true;
  if (!ControlStyle.Contains(csNoStdEvents)) {
    char key = static_cast<char>(Message.WParam);
    KeyPress(key);
    Message.WParam = static_cast<unsigned char>(key);
    if (key == 0) return true;
  }
  return false;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::WMKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}
void TWinControl::WMSysKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}
void TWinControl::WMKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}
void TWinControl::WMChar(TMessage& Message) {
  if (!DoKeyPress(Message)) DefaultHandler(Message);
}
void TWinControl::WMSysChar(TMessage& Message) {
  // Alt and a character: the form's accelerators (captions with "&", menu bars) have the first say.
  if (!ComponentState().Contains(csDesigning))
    if (TCustomForm* form = GetParentForm();
        form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam | KF_ALTDOWN_LPARAM) != 0)
      return;
  DefaultHandler(Message);
}

bool TWinControl::IsMenuKey(TMessage& Message) {
  if (ComponentState().Contains(csDesigning)) return false;
  for (TControl* c = this; c; c = c->FParent)
    if (c->FPopupMenu && c->FPopupMenu->IsShortCut(Message)) return true;
  if (TCustomForm* form = GetParentForm(); form && form->IsShortCut(Message)) return true;
  return false;
}

void TWinControl::CNKeyDown(TMessage& Message) {
  Message.Result = 1;
  if (IsMenuKey(Message)) return;
  if (!ComponentState().Contains(csDesigning)) {
    if (Perform(CM_CHILDKEY, Message.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
    int mask = 0;
    switch (Message.WParam) {
    case VK_TAB:
      mask = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      mask = DLGC_WANTARROWS;
      break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
      mask = DLGC_WANTALLKEYS;
      break;
    default:
      break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) == 0 &&
        (Perform(WM_GETDLGCODE, 0, 0) & mask) == 0) {
      if (TCustomForm* form = GetParentForm();
          form && form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0)
        return;
    }
  }
  Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
  if (!ComponentState().Contains(csDesigning)) {
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0) {
      if (TCustomForm* form = GetParentForm();
          form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
        return;
    }
  }
  Message.Result = 0;
}

void TWinControl::CMDialogKey(TMessage& Message) {
  Broadcast(Message);
}
void TWinControl::CMDialogChar(TMessage& Message) {
  Broadcast(Message);
}

void TWinControl::CMChildKey(TMessage& Message) {
  if (FParent) Message.Result = FParent->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
}

void TWinControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  // A graphic child under the point asks first.
  TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  const TPoint client = ScreenToClient(p);
  if (TControl* c = ControlAtPos(client, false)) {
    bool handled = false;
    c->DoContextPopup({client.X - c->FLeft, client.Y - c->FTop}, handled);
    if (handled) {
      Message.Result = 1;
      return;
    }
  }
  TControl::WMContextMenu(Message);
}

bool TWinControl::DoMouseWheel(TMessage& Message) {
  bool handled = false;
  if (OnMouseWheel) {
    const int delta = static_cast<int16_t>(HIWORD(Message.WParam));
    OnMouseWheel(this, KeysToShiftState(LOWORD(Message.WParam)), delta,
                 {GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}, handled);
  }
  if (handled) Message.Result = 1;
  return handled;
}

void TWinControl::WMMouseWheel(TMessage& Message) {
  if (!DoMouseWheel(Message)) DefaultHandler(Message);
}
