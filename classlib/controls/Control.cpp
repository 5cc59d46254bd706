#include "classlib/controls/Control.h"

#include <algorithm>
#include <strings.h>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/WinControl.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Gdi.h"

const TEnumInfo AlignNames{{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}};
const TEnumInfo AnchorNames{{"akLeft", "akTop", "akRight", "akBottom"}};
const TEnumInfo BiDiModeNames{
    {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}};
const TEnumInfo AlignmentNames{{"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo DragKindNames{{"dkDrag", "dkDock"}};
const TEnumInfo DragModeNames{{"dmManual", "dmAutomatic"}};

namespace {
const struct {
  TCursor Value;
  const char* Name;
} CursorNames[] = {{crDefault, "crDefault"},     {crNone, "crNone"},
                   {crArrow, "crArrow"},         {crCross, "crCross"},
                   {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
                   {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},
                   {crSizeWE, "crSizeWE"},       {crUpArrow, "crUpArrow"},
                   {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
                   {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},
                   {crVSplit, "crVSplit"},       {crNo, "crNo"},
                   {crAppStart, "crAppStart"},   {crHelp, "crHelp"},
                   {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"}};
} // namespace

const TIdentMapping CursorIdents{[](int64_t value, AnsiString& ident) {
                                   for (const auto& c : CursorNames)
                                     if (c.Value == value) {
                                       ident = c.Name;
                                       return true;
                                     }
                                   return false;
                                 },
                                 [](const AnsiString& ident, int64_t& value) {
                                   for (const auto& c : CursorNames)
                                     if (strcasecmp(c.Name, ident.c_str()) == 0) {
                                       value = c.Value;
                                       return true;
                                     }
                                   return false;
                                 }};

QUENDREL_REGISTER_CLASS(TMargins, TPersistent) {
  c.Property("Left", &TMargins::Left, &TMargins::SetLeft).Default(3);
  c.Property("Top", &TMargins::Top, &TMargins::SetTop).Default(3);
  c.Property("Right", &TMargins::Right, &TMargins::SetRight).Default(3);
  c.Property("Bottom", &TMargins::Bottom, &TMargins::SetBottom).Default(3);
}

QUENDREL_REGISTER_CLASS(TSizeConstraints, TPersistent) {
  c.Property("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
  c.Property("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
  c.Property("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
  c.Property("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

QUENDREL_REGISTER_CLASS(TControl, TComponent) {
  c.Property("Left", &TControl::Left, &TControl::SetLeft);
  c.Property("Top", &TControl::Top, &TControl::SetTop);
  c.Property("Width", &TControl::Width, &TControl::SetWidth);
  c.Property("Height", &TControl::Height, &TControl::SetHeight);
  c.Enum("Align", &TControl::Align, &TControl::SetAlign, AlignNames).Default(alNone);
  c.Property("AlignWithMargins", &TControl::AlignWithMargins, &TControl::SetAlignWithMargins).Default(0);
  c.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, AnchorNames)
      .Default(TAnchors{akLeft, akTop}.Mask());
  c.Enum("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode, BiDiModeNames)
      .Default(bdLeftToRight)
      .Stored(&TControl::IsBiDiModeStored);
  c.Property("Caption", &TControl::Caption, &TControl::SetCaption);
  ColorProperty(c, "Color", &TControl::Color, &TControl::SetColor);
  c.Property("Constraints", &TControl::Constraints);
  CursorProperty(c, "Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
  c.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(1);
  // Font, ShowHint and BiDiMode are stored only when the control's own: reading them back would cut the tie
  // to the parent's.
  c.Property("Font", &TControl::Font).Stored([](const TControl* c) { return !c->ParentFont(); });
  c.Property("Hint", &TControl::Hint, &TControl::SetHint);
  c.Property("Margins", &TControl::Margins);
  c.Property("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(1);
  c.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  c.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(1);
  c.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(1);
  c.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  c.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored([](const TControl* c) {
    return !c->ParentShowHint();
  });
  c.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(1);
  c.Event("OnClick", &TControl::OnClick);
  c.Event("OnDblClick", &TControl::OnDblClick);
  c.Event("OnMouseDown", &TControl::OnMouseDown);
  c.Event("OnMouseMove", &TControl::OnMouseMove);
  c.Event("OnMouseUp", &TControl::OnMouseUp);
  c.Event("OnMouseEnter", &TControl::OnMouseEnter);
  c.Event("OnMouseLeave", &TControl::OnMouseLeave);
  c.Event("OnResize", &TControl::OnResize);
  c.Event("OnCanResize", &TControl::OnCanResize);
  c.Event("OnConstrainedResize", &TControl::OnConstrainedResize);
  c.Event("OnDragDrop", &TControl::OnDragDrop);
  c.Event("OnDragOver", &TControl::OnDragOver);
  c.Event("OnEndDrag", &TControl::OnEndDrag);
  c.Event("OnStartDrag", &TControl::OnStartDrag);
  c.Event("OnEndDock", &TControl::OnEndDock);
  c.Event("OnStartDock", &TControl::OnStartDock);
  c.Event("OnContextPopup", &TControl::OnContextPopup);
  c.Property("Action", &TControl::Action, &TControl::SetAction);
  // The message handlers every control has; each is virtual, so descendants override it by name.
  c.Message(WM_LBUTTONDOWN, &TControl::WMLButtonDown);
  c.Message(WM_LBUTTONUP, &TControl::WMLButtonUp);
  c.Message(WM_LBUTTONDBLCLK, &TControl::WMLButtonDblClk);
  c.Message(WM_RBUTTONDOWN, &TControl::WMRButtonDown);
  c.Message(WM_RBUTTONUP, &TControl::WMRButtonUp);
  c.Message(WM_RBUTTONDBLCLK, &TControl::WMRButtonDblClk);
  c.Message(WM_MBUTTONDOWN, &TControl::WMMButtonDown);
  c.Message(WM_MBUTTONUP, &TControl::WMMButtonUp);
  c.Message(WM_MOUSEMOVE, &TControl::WMMouseMove);
  c.Message(WM_MOUSEWHEEL, &TControl::WMMouseWheel);
  c.Message(WM_CANCELMODE, &TControl::WMCancelMode);
  c.Message(WM_WINDOWPOSCHANGED, &TControl::WMWindowPosChanged);
  c.Message(WM_CONTEXTMENU, &TControl::WMContextMenu);
  c.Message(WM_PAINT, &TControl::WMPaint);
  c.Message(WM_ERASEBKGND, &TControl::WMEraseBkgnd);
  c.Message(WM_NCPAINT, &TControl::WMNCPaint);
  c.Message(WM_NCCALCSIZE, &TControl::WMNCCalcSize);
  c.Message(WM_NCHITTEST, &TControl::WMNCHitTest);
  c.Message(WM_NCLBUTTONDOWN, &TControl::WMNCLButtonDown);
  c.Message(WM_NCLBUTTONUP, &TControl::WMNCLButtonUp);
  c.Message(WM_NCMOUSEMOVE, &TControl::WMNCMouseMove);
  c.Message(WM_SIZE, &TControl::WMSize);
  c.Message(WM_MOVE, &TControl::WMMove);
  c.Message(WM_SETFOCUS, &TControl::WMSetFocus);
  c.Message(WM_KILLFOCUS, &TControl::WMKillFocus);
  c.Message(WM_KEYDOWN, &TControl::WMKeyDown);
  c.Message(WM_KEYUP, &TControl::WMKeyUp);
  c.Message(WM_CHAR, &TControl::WMChar);
  c.Message(WM_SYSKEYDOWN, &TControl::WMSysKeyDown);
  c.Message(WM_SYSKEYUP, &TControl::WMSysKeyUp);
  c.Message(WM_SYSCHAR, &TControl::WMSysChar);
  c.Message(WM_SYSCOMMAND, &TControl::WMSysCommand);
  c.Message(WM_ACTIVATE, &TControl::WMActivate);
  c.Message(WM_CLOSE, &TControl::WMClose);
  c.Message(WM_GETMINMAXINFO, &TControl::WMGetMinMaxInfo);
  c.Message(WM_SHOWWINDOW, &TControl::WMShowWindow);
  c.Message(WM_DESTROY, &TControl::WMDestroy);
  c.Message(WM_NCDESTROY, &TControl::WMNCDestroy);
  c.Message(WM_TIMER, &TControl::WMTimer);
  c.Message(WM_GETDLGCODE, &TControl::WMGetDlgCode);
  c.Message(WM_CAPTURECHANGED, &TControl::WMCaptureChanged);
  c.Message(CM_ENABLEDCHANGED, &TControl::CMEnabledChanged);
  c.Message(CM_VISIBLECHANGED, &TControl::CMVisibleChanged);
  c.Message(CM_COLORCHANGED, &TControl::CMColorChanged);
  c.Message(CM_FONTCHANGED, &TControl::CMFontChanged);
  c.Message(CM_TEXTCHANGED, &TControl::CMTextChanged);
  c.Message(CM_PARENTCOLORCHANGED, &TControl::CMParentColorChanged);
  c.Message(CM_PARENTFONTCHANGED, &TControl::CMParentFontChanged);
  c.Message(CM_PARENTBIDIMODECHANGED, &TControl::CMParentBiDiModeChanged);
  c.Message(CM_BIDIMODECHANGED, &TControl::CMBiDiModeChanged);
  c.Message(CM_MOUSEENTER, &TControl::CMMouseEnter);
  c.Message(CM_MOUSELEAVE, &TControl::CMMouseLeave);
  c.Message(CM_HITTEST, &TControl::CMHitTest);
  c.Message(CM_DESIGNHITTEST, &TControl::CMDesignHitTest);
  c.Message(CM_CANCELMODE, &TControl::CMCancelMode);
  c.Message(CM_DIALOGKEY, &TControl::CMDialogKey);
  c.Message(CM_DIALOGCHAR, &TControl::CMDialogChar);
  c.Message(CM_FOCUSCHANGED, &TControl::CMFocusChanged);
  c.Message(CM_ENTER, &TControl::CMEnter);
  c.Message(CM_EXIT, &TControl::CMExit);
  c.Message(CM_CHILDKEY, &TControl::CMChildKey);
  c.Message(CM_SHOWINGCHANGED, &TControl::CMShowingChanged);
  c.Message(CM_SYSCOLORCHANGE, &TControl::CMSysColorChange);
  c.Message(CM_ACTIVATE, &TControl::CMActivate);
  c.Message(CM_DEACTIVATE, &TControl::CMDeactivate);
  c.Message(CM_RELEASE, &TControl::CMRelease);
  c.Message(CM_HINTSHOW, &TControl::CMHintShow);
  c.Message(CM_CONTROLCHANGE, &TControl::CMControlChange);
  c.Message(CM_RECREATEWND, &TControl::CMRecreateWnd);
  c.Message(CM_WANTSPECIALKEY, &TControl::CMWantSpecialKey);
  c.Message(CN_KEYDOWN, &TControl::CNKeyDown);
  c.Message(CN_CHAR, &TControl::CNChar);
}

namespace {
TControl* g_CaptureControl = nullptr; // a graphic control holding the mouse through its parent's window
TControl* g_MouseControl = nullptr;   // the control under the cursor, for CM_MOUSEENTER / CM_MOUSELEAVE
} // namespace

// ---------------------------------------------------------------------------------------------------------
// TMargins, TSizeConstraints

void TMargins::Assign(TPersistent* Source) {
  if (auto* m = dynamic_cast<TMargins*>(Source)) {
    SetMargins(m->FLeft, m->FTop, m->FRight, m->FBottom);
    return;
  }
  TPersistent::Assign(Source);
}

void TMargins::SetMargins(int L, int T, int R, int B) {
  if (L == FLeft && T == FTop && R == FRight && B == FBottom) return;
  FLeft = L;
  FTop = T;
  FRight = R;
  FBottom = B;
  if (OnChange) OnChange(this);
  if (FControl && FControl->AlignWithMargins()) FControl->RequestAlign();
}

void TMargins::Set(int& Field, int Value) {
  if (Field == Value) return;
  Field = Value;
  if (OnChange) OnChange(this);
  if (FControl && FControl->AlignWithMargins()) FControl->RequestAlign();
}

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
    FMinWidth = s->FMinWidth;
    FMinHeight = s->FMinHeight;
    FMaxWidth = s->FMaxWidth;
    FMaxHeight = s->FMaxHeight;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TSizeConstraints::SetMinWidth(int V) {
  if (V == FMinWidth) return;
  FMinWidth = V;
  if (FMaxWidth > 0 && FMinWidth > FMaxWidth) FMaxWidth = FMinWidth;
  Changed();
}
void TSizeConstraints::SetMinHeight(int V) {
  if (V == FMinHeight) return;
  FMinHeight = V;
  if (FMaxHeight > 0 && FMinHeight > FMaxHeight) FMaxHeight = FMinHeight;
  Changed();
}
void TSizeConstraints::SetMaxWidth(int V) {
  if (V == FMaxWidth) return;
  FMaxWidth = V;
  if (FMaxWidth > 0 && FMinWidth > FMaxWidth) FMinWidth = FMaxWidth;
  Changed();
}
void TSizeConstraints::SetMaxHeight(int V) {
  if (V == FMaxHeight) return;
  FMaxHeight = V;
  if (FMaxHeight > 0 && FMinHeight > FMaxHeight) FMinHeight = FMaxHeight;
  Changed();
}

void TSizeConstraints::Changed() {
  if (OnChange) OnChange(this);
  // A control outside its new limits takes them at once.
  if (FControl && !FControl->ComponentState().Contains(csLoading))
    FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
}

// ---------------------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FMargins(std::make_unique<TMargins>(this)),
      FConstraints(std::make_unique<TSizeConstraints>(this)), FFont(std::make_unique<TFont>()) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  ControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FFont->OnChange = [this](TObject*) {
    if (!FFontChanging) FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
  };
}

TControlLifeline::TControlLifeline(const TControl* Control) : FAlive(Control->FAlive) {}

TControl::~TControl() {
  *FAlive = false;
  if (g_MouseControl == this) g_MouseControl = nullptr;
  if (g_CaptureControl == this) {
    g_CaptureControl = nullptr;
    ReleaseCapture();
  }
  if (FAction) {
    // An action that outlives its client must not call it back later.
    FAction->UnregisterClient(this);
    FAction->RemoveFreeNotification(this);
  }
  if (FParent) FParent->RemoveControl(this);
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if (!ControlStyle.Contains(csDoubleClicks)) {
      if (Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK ||
          Message.Msg == WM_MBUTTONDBLCLK)
        Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    }
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK)
      ControlState.Include(csLButtonDown);
    else if (Message.Msg == WM_LBUTTONUP)
      ControlState.Exclude(csLButtonDown);
  }
  Dispatch(Message);
}

// The message table finds the handler, searching from the control's class up to TControl, whose table holds
// the virtual handlers above; a message nobody handles goes to DefaultHandler.
void TControl::Dispatch(TMessage& Message) {
  if (const TMessageHandlerInfo* handler = ClassType()->FindMessageHandler(Message.Msg))
    handler->Call(this, Message);
  else
    DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
  case WM_GETTEXTLENGTH:
    Message.Result = static_cast<LRESULT>(FText.size());
    break;
  case WM_GETTEXT: {
    char* buf = reinterpret_cast<char*>(Message.LParam);
    const size_t n = Message.WParam ? std::min<size_t>(Message.WParam - 1, FText.size()) : 0;
    if (buf && Message.WParam) {
      FText.copy(buf, n);
      buf[n] = 0;
    }
    Message.Result = static_cast<LRESULT>(n);
    break;
  }
  case WM_SETTEXT:
    FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
    Message.Result = 1;
    break;
  default:
    break;
  }
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WindowProc(m);
  return m.Result;
}

// Handlers whose default is the default handler.
#define QUENDREL_DEFAULT_HANDLER(Name)                                                                       \
  void TControl::Name(TMessage& Message) {                                                                   \
    DefaultHandler(Message);                                                                                 \
  }
QUENDREL_DEFAULT_HANDLER(WMMButtonUp)
QUENDREL_DEFAULT_HANDLER(WMMouseWheel)
QUENDREL_DEFAULT_HANDLER(WMPaint)
QUENDREL_DEFAULT_HANDLER(WMEraseBkgnd)
QUENDREL_DEFAULT_HANDLER(WMNCPaint)
QUENDREL_DEFAULT_HANDLER(WMNCCalcSize)
QUENDREL_DEFAULT_HANDLER(WMNCHitTest)
QUENDREL_DEFAULT_HANDLER(WMNCLButtonDown)
QUENDREL_DEFAULT_HANDLER(WMNCLButtonUp)
QUENDREL_DEFAULT_HANDLER(WMNCMouseMove)
QUENDREL_DEFAULT_HANDLER(WMSize)
QUENDREL_DEFAULT_HANDLER(WMMove)
QUENDREL_DEFAULT_HANDLER(WMSetFocus)
QUENDREL_DEFAULT_HANDLER(WMKillFocus)
QUENDREL_DEFAULT_HANDLER(WMKeyDown)
QUENDREL_DEFAULT_HANDLER(WMKeyUp)
QUENDREL_DEFAULT_HANDLER(WMChar)
QUENDREL_DEFAULT_HANDLER(WMSysKeyDown)
QUENDREL_DEFAULT_HANDLER(WMSysKeyUp)
QUENDREL_DEFAULT_HANDLER(WMSysChar)
QUENDREL_DEFAULT_HANDLER(WMSysCommand)
QUENDREL_DEFAULT_HANDLER(WMActivate)
QUENDREL_DEFAULT_HANDLER(WMClose)
QUENDREL_DEFAULT_HANDLER(WMGetMinMaxInfo)
QUENDREL_DEFAULT_HANDLER(WMShowWindow)
QUENDREL_DEFAULT_HANDLER(WMDestroy)
QUENDREL_DEFAULT_HANDLER(WMNCDestroy)
QUENDREL_DEFAULT_HANDLER(WMTimer)
QUENDREL_DEFAULT_HANDLER(WMGetDlgCode)
QUENDREL_DEFAULT_HANDLER(WMCaptureChanged)
QUENDREL_DEFAULT_HANDLER(CMDesignHitTest)
QUENDREL_DEFAULT_HANDLER(CMDialogKey)
QUENDREL_DEFAULT_HANDLER(CMDialogChar)
QUENDREL_DEFAULT_HANDLER(CMFocusChanged)
QUENDREL_DEFAULT_HANDLER(CMChildKey)
QUENDREL_DEFAULT_HANDLER(CMShowingChanged)
QUENDREL_DEFAULT_HANDLER(CMActivate)
QUENDREL_DEFAULT_HANDLER(CMDeactivate)
QUENDREL_DEFAULT_HANDLER(CMRelease)
QUENDREL_DEFAULT_HANDLER(CMHintShow)
QUENDREL_DEFAULT_HANDLER(CMControlChange)
QUENDREL_DEFAULT_HANDLER(CMRecreateWnd)
QUENDREL_DEFAULT_HANDLER(CMWantSpecialKey)
QUENDREL_DEFAULT_HANDLER(CNKeyDown)
QUENDREL_DEFAULT_HANDLER(CNChar)
#undef QUENDREL_DEFAULT_HANDLER

TShiftState TControl::KeysToShiftState(int Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s.Include(ssShift);
  if (Keys & MK_CONTROL) s.Include(ssCtrl);
  if (Keys & MK_LBUTTON) s.Include(ssLeft);
  if (Keys & MK_RBUTTON) s.Include(ssRight);
  if (Keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState TControl::KeyDataToShiftState(LONG KeyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (KeyData & KF_ALTDOWN_LPARAM) s.Include(ssAlt);
  return s;
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
  if (ControlStyle.Contains(csNoStdEvents)) return;
  const TWMMouse m(Message);
  MouseDown(Button, KeysToShiftState(m.Keys) + Shift, m.XPos, m.YPos);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
  if (ControlStyle.Contains(csNoStdEvents)) return;
  const TWMMouse m(Message);
  MouseUp(Button, KeysToShiftState(m.Keys), m.XPos, m.YPos);
}

void TControl::WMLButtonDown(TMessage& Message) {
  if (ControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (ControlStyle.Contains(csClickEvents)) ControlState.Include(csClicked);
  DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TMessage& Message) {
  if (ControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (ControlStyle.Contains(csClickEvents)) DblClick();
  DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  if (ControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (ControlState.Contains(csClicked)) {
    ControlState.Exclude(csClicked);
    const TWMMouse m(Message);
    if (ClientRect().Contains(m.Pos())) Click();
  }
  DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TMessage& Message) {
  DoMouseDown(Message, mbRight, {});
}
void TControl::WMRButtonDblClk(TMessage& Message) {
  DoMouseDown(Message, mbRight, {ssDouble});
}
void TControl::WMRButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseUp(Message, mbRight);
  if (!FParent || dynamic_cast<TWinControl*>(this)) return;
  // A graphic control asks for its context menu here: it has no window that would.
  TPoint p = ClientToScreen(TWMMouse(Message).Pos());
  bool handled = false;
  DoContextPopup(ScreenToClient(p), handled);
}
void TControl::WMMButtonDown(TMessage& Message) {
  DoMouseDown(Message, mbMiddle, {});
}

void TControl::WMMouseMove(TMessage& Message) {
  DefaultHandler(Message);
  if (ControlStyle.Contains(csNoStdEvents)) return;
  const TWMMouse m(Message);
  MouseMove(KeysToShiftState(m.Keys), m.XPos, m.YPos);
}

void TControl::WMCancelMode(TMessage& Message) {
  DefaultHandler(Message);
  if (MouseCapture()) {
    SetMouseCapture(false);
    if (ControlState.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));
  }
}

void TControl::WMWindowPosChanged(TMessage& Message) {
  DefaultHandler(Message);
}

void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  bool handled = false;
  DoContextPopup(ScreenToClient(p), handled);
  Message.Result = handled ? 1 : 0;
  if (!handled) DefaultHandler(Message);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
  if (Handled) return;
  if (FPopupMenu && FPopupMenu->AutoPopup()) {
    const TPoint p = ClientToScreen(MousePos);
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(p.X, p.Y);
    Handled = true;
  }
}

void TControl::CMEnabledChanged(TMessage&) {
  Invalidate();
}
void TControl::CMVisibleChanged(TMessage&) {
  InvalidateControl(true, FVisible && ControlStyle.Contains(csOpaque));
}
void TControl::CMColorChanged(TMessage&) {
  Invalidate();
}
void TControl::CMFontChanged(TMessage&) {
  Invalidate();
}
void TControl::CMTextChanged(TMessage&) {
  Invalidate();
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!FParentColor) return;
  const TColor c =
      Message.WParam ? static_cast<TColor>(Message.LParam) : (FParent ? FParent->Color() : FColor);
  if (c != FColor) {
    FColor = c;
    Perform(CM_COLORCHANGED, 0, 0);
  }
  FParentColor = true;
}

void TControl::CMParentFontChanged(TMessage&) {
  if (!FParentFont || !FParent) return;
  FFontChanging = true;
  FFont->Assign(FParent->Font());
  FFontChanging = false;
  FParentFont = true;
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (FParentBiDiMode && FParent) {
    SetBiDiMode(FParent->BiDiMode());
    FParentBiDiMode = true;
  }
}

void TControl::CMBiDiModeChanged(TMessage&) {
  Invalidate();
}

void TControl::CMMouseEnter(TMessage& Message) {
  if (FParent)
    FParent->Perform(CM_MOUSEENTER, 0, Message.LParam ? Message.LParam : reinterpret_cast<LPARAM>(this));
  if (Message.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& Message) {
  if (FParent)
    FParent->Perform(CM_MOUSELEAVE, 0, Message.LParam ? Message.LParam : reinterpret_cast<LPARAM>(this));
  if (Message.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMHitTest(TMessage& Message) {
  Message.Result = HTCLIENT;
}

void TControl::CMCancelMode(TMessage& Message) {
  if (reinterpret_cast<TControl*>(Message.LParam) != this) Perform(WM_CANCELMODE, 0, 0);
}

void TControl::CMEnter(TMessage&) {}
void TControl::CMExit(TMessage&) {}
void TControl::CMSysColorChange(TMessage&) {}

bool TControl::HitTest(TPoint Point) {
  return ClientRect().Contains(Point) && Perform(CM_HITTEST, 0, PointToLParam(Point)) != 0;
}

// ----- Bounds

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (CanResize(AWidth, AHeight)) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    const bool sized = AWidth != FWidth || AHeight != FHeight;
    FWidth = AWidth;
    FHeight = AHeight;
    UpdateAnchorRules();
    Invalidate();
    Perform(WM_WINDOWPOSCHANGED, 0, 0);
    RequestAlign();
    if (sized && !ComponentState().Contains(csLoading)) Resize();
  }
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
  DoConstrainedResize(NewWidth, NewHeight);
  bool ok = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, ok);
  return ok;
}

void TControl::DoConstrainedResize(int& NewWidth, int& NewHeight) {
  int minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
  int maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
  if (OnConstrainedResize) OnConstrainedResize(this, minW, minH, maxW, maxH);
  if (maxW > 0 && NewWidth > maxW)
    NewWidth = maxW;
  else if (minW > 0 && NewWidth < minW)
    NewWidth = minW;
  if (maxH > 0 && NewHeight > maxH)
    NewHeight = maxH;
  else if (minH > 0 && NewHeight < minH)
    NewHeight = minH;
}

void TControl::UpdateBoundsRect(const TRect& R) {
  UpdateAnchorRules();
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
}

TRect TControl::ClientRect() {
  return {0, 0, FWidth, FHeight};
}
void TControl::SetClientWidth(int Value) {
  SetWidth(Value);
}
void TControl::SetClientHeight(int Value) {
  SetHeight(Value);
}

TPoint TControl::ClientOrigin() {
  if (!FParent) return {FLeft, FTop};
  const TPoint p = FParent->ClientOrigin();
  return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint Point) {
  const TPoint o = ClientOrigin();
  return {Point.X + o.X, Point.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint Point) {
  const TPoint o = ClientOrigin();
  return {Point.X - o.X, Point.Y - o.Y};
}

void TControl::UpdateAnchorRules() {
  if (!FParent || FParent->FAlignLevel > 0 || FParent->ControlState.Contains(csAligning)) return;
  const TRect pc = FParent->ClientRect();
  FAnchorRules = {SatSub(pc.Width(), SatAdd(FLeft, FWidth)), SatSub(pc.Height(), SatAdd(FTop, FHeight))};
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

// ----- Parent

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  // Nor one of its own children: the parent chain would become a loop.
  for (const TControl* p = AParent; p; p = p->FParent)
    if (p == this) throw EInvalidOperation("A control cannot have one of its children as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

TComponent* TControl::GetParentComponent() const {
  return FParent;
}

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = dynamic_cast<TWinControl*>(Value)) SetParent(w);
}

TCustomForm* TControl::GetParentForm() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// ----- Visibility, state

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  const TControlLifeline life(this);
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  if (life.Alive()) RequestAlign();
}

void TControl::Show() {
  if (FParent) FParent->ShowControl(this);
  if (!ComponentState().Contains(csDesigning) || Visible()) SetVisible(true);
}

void TControl::Hide() {
  SetVisible(false);
}

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

bool TControl::IsEnabledAll() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FEnabled) return false;
  return true;
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  const TAlign old = FAlign;
  FAlign = Value;
  FAnchors = TAnchors{akLeft, akTop};
  if (Value == alTop || Value == alBottom || Value == alClient) FAnchors += TAnchors{akLeft, akRight};
  if (Value == alLeft || Value == alRight || Value == alClient) FAnchors += TAnchors{akTop, akBottom};
  if (Value == alTop || Value == alClient || Value == alLeft || Value == alRight) FAnchors.Include(akTop);
  if (Value == alBottom) FAnchors = TAnchors{akLeft, akRight, akBottom};
  if (Value == alRight) FAnchors = TAnchors{akTop, akRight, akBottom};
  if (old != alNone || Value != alNone) RequestAlign();
}

void TControl::SetAlignWithMargins(bool Value) {
  if (FAlignWithMargins == Value) return;
  FAlignWithMargins = Value;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (FAnchors == Value) return;
  FAnchors = Value;
  UpdateAnchorRules();
}

// ----- Colour, font, text

void TControl::SetColor(TColor Value) {
  if (FColor == Value) {
    FParentColor = false;
    return;
  }
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (FParent && Value && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (FParent && Value && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

bool TControl::UseRightToLeftAlignment() const {
  return SysLocale.MiddleEast && FBiDiMode == bdRightToLeft;
}

void TControl::SetText(const AnsiString& Value) {
  if (GetText() == Value) return;
  FText = Value;
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TControl::SetBiDiMode(TBiDiMode Value) {
  FParentBiDiMode = false;
  if (FBiDiMode == Value) return;
  FBiDiMode = Value;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetParentBiDiMode(bool Value) {
  if (FParentBiDiMode == Value) return;
  FParentBiDiMode = Value;
  if (FParent && Value && !ComponentState().Contains(csReading)) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
}

void TControl::SetAction(TBasicAction* Value) {
  if (FAction == Value) return;
  if (FAction) FAction->UnregisterClient(this);
  FAction = Value;
  if (Value) {
    Value->RegisterClient(this);
    Value->FreeNotification(this);
    ActionChange(Value, ComponentState().Contains(csLoading));
  }
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || Caption().empty()) SetCaption(a->Caption());
  if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
  if (!CheckDefaults || FVisible) SetVisible(a->Visible());
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
  if (AComponent == FAction) FAction = nullptr;
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FParent) {
    if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (FParentBiDiMode) Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TControl::Changed() {
  Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
}

// ----- Painting

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  (void)IsOpaque;
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  const TRect r = BoundsRect();
  InvalidateRect(FParent->FHandle, &r, !IsOpaque);
}

void TControl::Invalidate() {
  InvalidateControl(FVisible, ControlStyle.Contains(csOpaque));
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  // Paint at once, through the parent's window, exactly the control's rectangle.
  const TRect r = BoundsRect();
  InvalidateRect(FParent->FHandle, &r, !ControlStyle.Contains(csOpaque));
  FParent->Update();
}

void TControl::BringToFront() {
  SetZOrder(true);
}
void TControl::SendToBack() {
  SetZOrder(false);
}

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto& list = FParent->FControls;
  std::erase(list, this);
  if (TopMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  InvalidateControl(FVisible, true);
}

// ----- Mouse capture

bool TControl::MouseCapture() const {
  return GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

TControl* GetCaptureControl() {
  HWND c = GetCapture();
  if (!c) return nullptr;
  if (g_CaptureControl && g_CaptureControl->Parent() && g_CaptureControl->Parent()->HandleAllocated() &&
      g_CaptureControl->Parent()->Handle() == c)
    return g_CaptureControl;
  return FindControl(c);
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  g_CaptureControl = nullptr;
  if (!Control) return;
  auto* w = dynamic_cast<TWinControl*>(Control);
  if (!w) {
    if (!Control->Parent()) return;
    g_CaptureControl = Control;
    w = Control->Parent();
  }
  SetCapture(w->Handle());
}

TControl* FindControl(HWND Handle) {
  if (!IsWindow(Handle)) return nullptr;
  return Handle->Control;
}

TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled) {
  HWND w = WindowFromPoint(ScreenPos);
  TWinControl* win = w ? w->Control : nullptr;
  if (!win) return nullptr;
  TControl* c = win->ControlAtPos(win->ScreenToClient(ScreenPos), AllowDisabled);
  return c ? c : win;
}

// Tracks the control under the cursor and tells it of entering and leaving.
void UpdateMouseControl() {
  TPoint p;
  GetCursorPos(&p);
  TControl* now = FindDragTarget(p, true);
  if (now && now->ComponentState().Contains(csDesigning)) now = nullptr;
  // The pointer shape: the screen's when set, else the first one set on the way up from the control.
  static backend::Window* shapedWindow = nullptr;
  static TCursor shape = crDefault;
  if (HWND w = WindowFromPoint(p); w && w->Root()->Native) {
    TCursor c = Screen->Cursor();
    for (TControl* k = now; c == crDefault && k; k = k->Parent()) c = k->Cursor();
    if (c == crDefault) c = crArrow;
    if (w->Root()->Native != shapedWindow || c != shape) {
      shapedWindow = w->Root()->Native;
      shape = c;
      backend::SetCursorShape(shapedWindow, c);
    }
  }
  if (now == g_MouseControl) return;
  TControl* old = g_MouseControl;
  g_MouseControl = now;
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (now && g_MouseControl == now) now->Perform(CM_MOUSEENTER, 0, 0);
}

// ----- Events

void TControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (FAction && !ComponentState().Contains(csDesigning))
    FAction->Execute();
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
