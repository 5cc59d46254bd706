#include "skin/SKDBNavigator.h"

#include <algorithm>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Form.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/win/Windows.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"

const TEnumInfo NavigateBtnNames{{"nbFirst", "nbPrior", "nbNext", "nbLast", "nbInsert", "nbDelete", "nbEdit",
                                  "nbPost", "nbCancel", "nbRefresh"}};

QUENDREL_REGISTER_CLASS(TskNavButton, TskButton) {}
QUENDREL_REGISTER_CLASS(TskDBNavigator, TCustomPanel) {
  c.Creatable();
  c.Property("FileTheme", &TskDBNavigator::FileTheme, &TskDBNavigator::SetFileTheme);
  c.Enum("UIStyle", &TskDBNavigator::UIStyle, &TskDBNavigator::SetUIStyle, TskUIStyleNames);
  c.Property("DataSource", &TskDBNavigator::DataSource, &TskDBNavigator::SetDataSource);
  c.Set("VisibleButtons", &TskDBNavigator::VisibleButtons,
        static_cast<void (TskDBNavigator::*)(TNavButtonSet)>(&TskDBNavigator::SetVisible), NavigateBtnNames)
      .Default(AllNavButtons.Mask());
  CursorProperty(c, "Cursor", &TskDBNavigator::Cursor, &TskDBNavigator::SetCursor);
  DragProperties(c);
  c.Property("ParentCtl3D", &TskDBNavigator::ParentCtl3D, &TskDBNavigator::SetParentCtl3D).Default(1);
  c.Property("Hints", &TskDBNavigator::Hints, &TskDBNavigator::SetHints);
  c.Property("ConfirmDelete", &TskDBNavigator::ConfirmDelete, &TskDBNavigator::SetConfirmDelete).Default(1);
  c.Event("OnClick", &TskDBNavigator::OnClick);
  c.Event("BeforeAction", &TskDBNavigator::BeforeAction);
  c.Message(WM_WINDOWPOSCHANGING, &TskDBNavigator::WMWindowPosChanging);
}

namespace {

constexpr unsigned FirstRepeat = 400, NextRepeat = 100;

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TskNavButton

TskNavButton::TskNavButton(TComponent* AOwner) : TskButton(AOwner) {
  SetTabStop(false);
}

TskNavButton::~TskNavButton() {
  FRepeatTimer.reset();
}

void TskNavButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TskCustomButton::MouseDown(Button, Shift, X, Y);
  if (!FNavStyle.Contains(nsAllowTimer)) return;
  if (!FRepeatTimer) FRepeatTimer = std::make_unique<TTimer>(nullptr);
  FRepeatTimer->OnTimer = [this](TObject* s) { TimerExpired(s); };
  FRepeatTimer->SetInterval(FirstRepeat);
  FRepeatTimer->SetEnabled(true);
}

void TskNavButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TControl::MouseUp(Button, Shift, X, Y);
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TskNavButton::TimerExpired(TObject*) {
  FRepeatTimer->SetInterval(NextRepeat);
  auto* nav = dynamic_cast<TskDBNavigator*>(Parent());
  if (!nav || !MouseIsDown() || !MouseCapture()) return;
  try {
    nav->ClickHandler(this);
  } catch (...) {
    FRepeatTimer->SetEnabled(false);
    throw;
  }
}

void TskNavButton::Paint() {
  TskCustomButton::Paint();
  auto* nav = dynamic_cast<TskDBNavigator*>(Parent());
  if (!nav || !nav->HandleAllocated() || GetFocus() != nav->Handle() || nav->FocusedButton() != Index())
    return;
  TRect r{0, 0, Width(), Height()};
  r.Inflate(-3, -3);
  if (MouseIsDown()) r.Offset(1, 1);
  Canvas()->Brush()->SetStyle(bsSolid);
  Font()->SetColor(clBtnShadow);
  DrawFocusRect(Canvas()->Handle(), &r);
}

// ---------------------------------------------------------------------------------------------------------
// TskNavDataLink

TskNavDataLink::TskNavDataLink(TskDBNavigator* ANav) : FNavigator(ANav) {
  SetVisualControl(true);
}

TskNavDataLink::~TskNavDataLink() {
  FNavigator = nullptr;
}

void TskNavDataLink::ActiveChanged() {
  if (FNavigator) FNavigator->ActiveChanged();
}

void TskNavDataLink::DataSetChanged() {
  if (FNavigator) FNavigator->DataChanged();
}

void TskNavDataLink::EditingChanged() {
  if (FNavigator) FNavigator->EditingChanged();
}

// ---------------------------------------------------------------------------------------------------------
// TskDBNavigator

TskDBNavigator::TskDBNavigator(TComponent* AOwner) : inherited(AOwner) {
  ControlStyle.Exclude(csAcceptsControls);
  ControlStyle.Exclude(csSetCaption);
  ControlStyle.Include(csOpaque);
  FDataLink = std::make_unique<TskNavDataLink>(this);
  FVisibleButtons = AllNavButtons;
  FHints = std::make_unique<TStringList>();
  FHints->OnChange = [this](TObject* s) { HintsChanged(s); };
  InitButtons();
  InitHints();
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  SetWidth(250);
  SetHeight(30);
  FButtonWidth = 0;
  FFocusedButton = nbFirst;
  FConfirmDelete = true;
  SetFullRepaint(false);
  SetUIStyle(GetSKFormStyle(AOwner));
}

TskDBNavigator::~TskDBNavigator() {
  // No event of this navigator may run while it is half destroyed: the buttons forget their handlers.
  for (TskNavButton* b : FButtons)
    if (b) {
      b->OnClick = nullptr;
      b->OnMouseDown = nullptr;
    }
  FDefHints.reset();
  FDataLink.reset();
  FHints.reset();
}

void TskDBNavigator::InitButtons() {
  FMinBtnSize = {20, 18};
  int x = 0;
  TBitmap strip;
  strip.LoadFromResourceName(0, SK_RES_DBNAV_BUTTON);
  for (int b = nbFirst; b <= nbRefresh; ++b) {
    auto* btn = new TskNavButton(this); // owned by the navigator
    btn->SetSpacing(-1);
    btn->SetIndex(static_cast<TNavigateBtn>(b));
    btn->SetVisible(FVisibleButtons.Contains(static_cast<TNavigateBtn>(b)));
    btn->SetEnabled(true);
    btn->SetBounds(x, 0, 20, 18);
    SpitBitmap(&strip, btn->Glyph(), 10, b + 1);
    btn->SetEnabled(false);
    btn->SetEnabled(true);
    btn->OnClick = [this](TObject* s) { ClickHandler(s); };
    btn->OnMouseDown = [this](TObject* s, TMouseButton mb, TShiftState sh, int X, int Y) {
      BtnMouseDown(s, mb, sh, X, Y);
    };
    btn->SetParent(this);
    FButtons[b] = btn;
    x += 20;
  }
  FButtons[nbPrior]->SetNavStyle(FButtons[nbPrior]->NavStyle() + TNavButtonStyle{nsAllowTimer});
  FButtons[nbNext]->SetNavStyle(FButtons[nbNext]->NavStyle() + TNavButtonStyle{nsAllowTimer});
}

void TskDBNavigator::InitHints() {
  if (!FDefHints) {
    FDefHints = std::make_unique<TStringList>();
    for (const char* h : {SFirstRecord, SPriorRecord, SNextRecord, SLastRecord, SInsertRecord, SDeleteRecord,
                          SEditRecord, SPostEdit, SCancelEdit, SRefreshRecord})
      FDefHints->Add(h);
  }
  for (int b = nbFirst; b <= nbRefresh; ++b)
    if (FButtons[b]) FButtons[b]->SetHint(FDefHints->Strings(b));
  for (int j = 0; j < FHints->Count() && j <= nbRefresh; ++j)
    if (!FHints->Strings(j).empty() && FButtons[j]) FButtons[j]->SetHint(FHints->Strings(j));
}

void TskDBNavigator::HintsChanged(TObject*) {
  InitHints();
}

TStrings* TskDBNavigator::Hints() const {
  if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csReading) &&
      !ComponentState().Contains(csWriting) && FHints->Count() == 0)
    return FDefHints.get();
  return FHints.get();
}

void TskDBNavigator::SetHints(TStrings* Value) {
  if (Value && Value->Text() == FDefHints->Text())
    FHints->Clear();
  else
    FHints->Assign(Value);
}

void TskDBNavigator::SetUIStyle(TskUIStyle Value) {
  FTheme.UIStyle = Value;
  for (TskNavButton* b : FButtons) {
    if (!b) continue;
    b->SetFileTheme(FTheme.FileTheme);
    b->SetUIStyle(FTheme.UIStyle);
  }
  Repaint();
}

void TskDBNavigator::SetCursor(TCursor Value) {
  FCursor = Value;
  TControl::SetCursor(Value);
  for (TskNavButton* b : FButtons)
    if (b) b->SetCursor(Value);
}

void TskDBNavigator::SetDataSource(TDataSource* Value) {
  FDataLink->SetDataSource(Value);
  if (!ComponentState().Contains(csLoading)) ActiveChanged();
  if (Value) Value->FreeNotification(this);
}

void TskDBNavigator::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
}

void TskDBNavigator::GetChildren(const TGetChildProc&, TComponent*) {
  // The buttons are made by the navigator itself and never streamed with the form.
}

void TskDBNavigator::Loaded() {
  TCustomPanel::Loaded();
  int w = Width(), h = Height();
  SetSize(w, h);
  if (w != Width() || h != Height()) TCustomPanel::SetBounds(Left(), Top(), w, h);
  InitHints();
  ActiveChanged();
}

// ----- Layout

void TskDBNavigator::CalcMinSize(int& W, int& H) {
  if (ComponentState().Contains(csLoading) || !FButtons[nbFirst]) return;
  int n = 0;
  for (int b = nbFirst; b <= nbRefresh; ++b)
    if (FVisibleButtons.Contains(static_cast<TNavigateBtn>(b))) ++n;
  if (n == 0) n = 1;
  W = std::max(W, n * FMinBtnSize.X);
  H = std::max(H, FMinBtnSize.Y);
  if (Align() == alNone) W = (W / n) * n;
}

void TskDBNavigator::SetSize(int& W, int& H) {
  if (ComponentState().Contains(csLoading) || !FButtons[nbFirst]) return;
  CalcMinSize(W, H);
  int n = 0;
  for (int b = nbFirst; b <= nbRefresh; ++b)
    if (FVisibleButtons.Contains(static_cast<TNavigateBtn>(b))) ++n;
  if (n == 0) n = 1;
  FButtonWidth = W / n;
  const int total = n * FButtonWidth;
  if (Align() == alNone) W = total;
  int x = 0;
  const int remain = W - total;
  int acc = n / 2;
  for (int b = nbFirst; b <= nbRefresh; ++b) {
    TskNavButton* btn = FButtons[b];
    if (FVisibleButtons.Contains(static_cast<TNavigateBtn>(b))) {
      int extra = 0;
      if (remain != 0) {
        acc -= remain;
        if (acc < 0) {
          acc += n;
          extra = 1;
        }
      }
      btn->SetBounds(x, 0, FButtonWidth + extra, Height());
      x += FButtonWidth + extra;
    } else {
      btn->SetBounds(Width() + 1, 0, FButtonWidth, Height());
    }
  }
}

void TskDBNavigator::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  int w = AWidth, h = AHeight;
  if (!HandleAllocated()) SetSize(w, h);
  TCustomPanel::SetBounds(ALeft, ATop, w, h);
}

void TskDBNavigator::SetVisible(TNavButtonSet Value) {
  int w = Width(), h = Height();
  FVisibleButtons = Value;
  for (int b = nbFirst; b <= nbRefresh; ++b)
    if (FButtons[b]) FButtons[b]->SetVisible(Value.Contains(static_cast<TNavigateBtn>(b)));
  SetSize(w, h);
  if (w != Width() || h != Height()) TCustomPanel::SetBounds(Left(), Top(), w, h);
  Invalidate();
}

void TskDBNavigator::WMSize(TMessage& Message) {
  TCustomPanel::WMSize(Message);
  int w = Width(), h = Height();
  SetSize(w, h);
}

void TskDBNavigator::WMWindowPosChanging(TMessage& Message) {
  DefaultHandler(Message);
  auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
  if (pos && !(pos->flags & SWP_NOSIZE)) CalcMinSize(pos->cx, pos->cy);
}

// ----- Enabling the buttons

bool TskDBNavigator::Active() const {
  return Enabled() && FDataLink && FDataLink->Active();
}

void TskDBNavigator::ActiveChanged() {
  if (!Active()) {
    for (TskNavButton* b : FButtons)
      if (b) b->SetEnabled(false);
    return;
  }
  DataChanged();
  EditingChanged();
}

void TskDBNavigator::DataChanged() {
  const bool active = Active();
  TDataSet* ds = active ? FDataLink->DataSet() : nullptr;
  const bool up = active && !ds->Bof();
  const bool down = active && !ds->Eof();
  FButtons[nbFirst]->SetEnabled(up);
  FButtons[nbPrior]->SetEnabled(up);
  FButtons[nbNext]->SetEnabled(down);
  FButtons[nbLast]->SetEnabled(down);
  FButtons[nbDelete]->SetEnabled(active && ds->CanModify() && !(ds->Bof() && ds->Eof()));
}

void TskDBNavigator::EditingChanged() {
  const bool can = Active() && FDataLink->DataSet()->CanModify();
  const bool editing = FDataLink->Editing();
  FButtons[nbInsert]->SetEnabled(can);
  FButtons[nbEdit]->SetEnabled(can && !editing);
  FButtons[nbPost]->SetEnabled(can && editing);
  FButtons[nbCancel]->SetEnabled(can && editing);
  FButtons[nbRefresh]->SetEnabled(can);
}

void TskDBNavigator::CMEnabledChanged(TMessage& Message) {
  TCustomPanel::CMEnabledChanged(Message);
  if (!ComponentState().Contains(csLoading)) ActiveChanged();
}

// ----- Clicks, focus and keys

void TskDBNavigator::BtnClick(TNavigateBtn Index) {
  const bool designing = ComponentState().Contains(csDesigning);
  TDataSource* source = DataSource();
  if (source && source->State() != dsInactive) {
    if (!designing && BeforeAction) BeforeAction(this, Index);
    TDataSet* ds = source->DataSet();
    switch (Index) {
    case nbFirst:
      ds->First();
      break;
    case nbPrior:
      ds->Prior();
      break;
    case nbNext:
      ds->Next();
      break;
    case nbLast:
      ds->Last();
      break;
    case nbInsert:
      ds->Insert();
      break;
    case nbDelete:
      if (!FConfirmDelete || MessageDlg(SDeleteRecordQuestion, mtConfirmation, mbOKCancel, 0) != mrCancel)
        ds->Delete();
      break;
    case nbEdit:
      ds->Edit();
      break;
    case nbPost:
      ds->Post();
      break;
    case nbCancel:
      ds->Cancel();
      break;
    case nbRefresh:
      ds->Refresh();
      break;
    }
  }
  if (!designing && OnClick) OnClick(this, Index);
}

void TskDBNavigator::ClickHandler(TObject* Sender) {
  if (auto* b = dynamic_cast<TskNavButton*>(Sender)) BtnClick(b->Index());
}

void TskDBNavigator::BtnMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int) {
  auto* b = dynamic_cast<TskNavButton*>(Sender);
  if (!b) return;
  const TNavigateBtn old = FFocusedButton;
  FFocusedButton = b->Index();
  const bool focused = HandleAllocated() && GetFocus() == Handle();
  if (TabStop() && !focused && CanFocus()) {
    SetFocus();
    return;
  }
  if (TabStop() && focused && old != FFocusedButton) {
    FButtons[old]->Invalidate();
    FButtons[FFocusedButton]->Invalidate();
  }
}

void TskDBNavigator::WMSetFocus(TMessage&) {
  FButtons[FFocusedButton]->Invalidate();
}

void TskDBNavigator::WMKillFocus(TMessage&) {
  FButtons[FFocusedButton]->Invalidate();
}

void TskDBNavigator::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS;
}

void TskDBNavigator::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomPanel::KeyDown(Key, Shift);
  const TNavigateBtn old = FFocusedButton;
  switch (Key) {
  case VK_RIGHT:
    if (old < nbRefresh) {
      int b = old;
      do {
        ++b;
      } while (b < nbRefresh && !FButtons[b]->Visible());
      if (FButtons[b]->Visible()) {
        FFocusedButton = static_cast<TNavigateBtn>(b);
        FButtons[old]->Invalidate();
        FButtons[b]->Invalidate();
      }
    }
    break;
  case VK_LEFT:
    for (int b = static_cast<int>(old) - 1; b >= nbFirst; --b)
      if (FButtons[b]->Visible()) {
        FFocusedButton = static_cast<TNavigateBtn>(b);
        FButtons[old]->Invalidate();
        FButtons[b]->Invalidate();
        break;
      }
    break;
  case VK_SPACE:
    if (FButtons[FFocusedButton]->Enabled()) FButtons[FFocusedButton]->Click();
    break;
  default:
    break;
  }
}
