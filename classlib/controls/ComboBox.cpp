#include "classlib/controls/ComboBox.h"

#include <algorithm>

#include "classlib/controls/ScrollBars.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Gdi.h"

const TEnumInfo ComboBoxStyleNames{{"csDropDown", "csSimple", "csDropDownList"}};

QUENDREL_REGISTER_CLASS(TComboEdit, TCustomEdit) {}
QUENDREL_REGISTER_CLASS(TComboListBox, TCustomListBox) {}
QUENDREL_REGISTER_CLASS(TCustomComboBox, TCustomControl) {
  c.Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, ComboBoxStyleNames)
      .Default(csDropDown);
  c.Property("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  c.Property("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
  c.Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
  c.Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
  c.Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(0);
  c.Event("OnChange", &TCustomComboBox::OnChange);
  c.Event("OnSelect", &TCustomComboBox::OnSelect);
  c.Event("OnDropDown", &TCustomComboBox::OnDropDown);
  c.Event("OnCloseUp", &TCustomComboBox::OnCloseUp);
  for (UINT m = CB_GETEDITSEL; m <= CB_SETDROPPEDWIDTH; ++m) c.Message(m, &TCustomComboBox::ComboMessage);
  c.Message(CN_COMMAND, &TCustomComboBox::CNCommand);
  c.Message(WM_CUT, &TCustomComboBox::WMCut);
  c.Message(WM_COPY, &TCustomComboBox::WMCopy);
  c.Message(WM_PASTE, &TCustomComboBox::WMPaste);
  c.Message(WM_CLEAR, &TCustomComboBox::WMClear);
  c.Message(WM_UNDO, &TCustomComboBox::WMUndo);
}
QUENDREL_REGISTER_CLASS(TComboBox, TCustomComboBox) {
  c.Creatable();
  c.Property("Text", &TComboBox::GetText, &TComboBox::SetText);
}

namespace {

constexpr int Edge = 2; // the sunken frame

void Arrow(TCanvas* Canvas, const TRect& R, TColor Color) {
  const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Color);
  Canvas->Pen()->SetColor(Color);
  Canvas->Polygon({TPoint{cx - 3, cy - 1}, TPoint{cx + 3, cy - 1}, TPoint{cx, cy + 2}});
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TComboEdit

TComboEdit::TComboEdit(TComponent* AOwner, TCustomComboBox* Combo) : TCustomEdit(AOwner), FCombo(Combo) {
  SetBorderStyle(bsNone);
  SetTabStop(false);
  SetAutoSelect(false);
}

void TComboEdit::WMKeyDown(TMessage& Message) {
  if (FCombo->EditKeyDown(Message)) return;
  TCustomEdit::WMKeyDown(Message);
}

void TComboEdit::WMChar(TMessage& Message) {
  if (FCombo->EditChar(Message)) return;
  TCustomEdit::WMChar(Message);
}

void TComboEdit::WMKillFocus(TMessage& Message) {
  TCustomEdit::WMKillFocus(Message);
  if (FCombo->DroppedDown()) FCombo->CloseUp(false);
}

void TComboEdit::WMGetDlgCode(TMessage& Message) {
  TCustomEdit::WMGetDlgCode(Message);
  if (FCombo->DroppedDown()) Message.Result |= DLGC_WANTALLKEYS;
}

bool TComboEdit::EditCanModify() {
  return FCombo->EditCanModify();
}

void TComboEdit::Change() {
  TCustomEdit::Change();
  FCombo->EditChanged();
}

// ---------------------------------------------------------------------------------------------------------
// TComboListBox

TComboListBox::TComboListBox(TComponent* AOwner, TCustomComboBox* Combo)
    : TCustomListBox(AOwner), FCombo(Combo) {
  SetTabStop(false);
}

void TComboListBox::CreateParams(TCreateParams& Params) {
  TCustomListBox::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS | WS_VSCROLL;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WndParent = nullptr;
}

void TComboListBox::WMSetFocus(TMessage&) {
  // The list never keeps the focus: it stays with the combo box.
  if (FCombo->HandleAllocated())
    ::SetFocus(FCombo->EditControl() ? FCombo->EditControl()->Handle() : FCombo->Handle());
}

void TComboListBox::WMLButtonDown(TMessage& Message) {
  const TWMMouse m(Message);
  if (!ClientRect().Contains(m.Pos())) {
    // A press outside the list closes it without a choice; the scroll bar keeps it open.
    TPoint screen = ClientToScreen(m.Pos());
    TRect wr;
    GetWindowRect(Handle(), &wr);
    if (wr.Contains(screen)) {
      const LRESULT hit = SendMessage(Handle(), WM_NCHITTEST, 0, PointToLParam(screen));
      SendMessage(Handle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), PointToLParam(screen));
      return;
    }
    FCombo->CloseUp(false);
    return;
  }
  const int i = ItemAtPos(m.Pos(), true);
  if (i >= 0) SetItemIndex(i);
}

void TComboListBox::WMMouseMove(TMessage& Message) {
  const TWMMouse m(Message);
  if (!ClientRect().Contains(m.Pos())) return;
  const int i = ItemAtPos(m.Pos(), true);
  if (i >= 0 && i != ItemIndex()) SetItemIndex(i);
}

void TComboListBox::WMLButtonUp(TMessage& Message) {
  const TWMMouse m(Message);
  if (ClientRect().Contains(m.Pos()) && ItemAtPos(m.Pos(), true) >= 0) FCombo->CloseUp(true);
}

// ---------------------------------------------------------------------------------------------------------
// TComboBoxStrings

int TComboBoxStrings::Count() const {
  return static_cast<int>(FCombo->Perform(CB_GETCOUNT, 0, 0));
}

AnsiString TComboBoxStrings::Get(int Index) const {
  const LRESULT len = FCombo->Perform(CB_GETLBTEXTLEN, static_cast<WPARAM>(Index), 0);
  if (len == CB_ERR) Error(Index);
  AnsiString s(static_cast<size_t>(len), '\0');
  FCombo->Perform(CB_GETLBTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(s.data()));
  return s;
}

TObject* TComboBoxStrings::GetObject(int Index) const {
  const LRESULT r = FCombo->Perform(CB_GETITEMDATA, static_cast<WPARAM>(Index), 0);
  if (r == CB_ERR && (Index < 0 || Index >= Count())) Error(Index);
  return reinterpret_cast<TObject*>(r);
}

void TComboBoxStrings::PutObject(int Index, TObject* AObject) {
  FCombo->Perform(CB_SETITEMDATA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

int TComboBoxStrings::Add(const AnsiString& S) {
  return static_cast<int>(FCombo->Perform(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str())));
}

void TComboBoxStrings::Insert(int Index, const AnsiString& S) {
  if (FCombo->Perform(CB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
    Error(Index);
}

void TComboBoxStrings::Delete(int Index) {
  if (FCombo->Perform(CB_DELETESTRING, static_cast<WPARAM>(Index), 0) == CB_ERR) Error(Index);
}

void TComboBoxStrings::Clear() {
  FCombo->Perform(CB_RESETCONTENT, 0, 0);
}

int TComboBoxStrings::IndexOf(const AnsiString& S) const {
  return static_cast<int>(
      FCombo->Perform(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str())));
}

// ---------------------------------------------------------------------------------------------------------
// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TCustomControl(AOwner), FList(std::make_unique<TComboListBox>(nullptr, this)),
      FItemsStrings(std::make_unique<TComboBoxStrings>(this)) {
  ControlStyle = {csSetCaption, csDoubleClicks, csOpaque};
  FColor = clWindow;
  FParentColor = false;
  Brush()->SetColor(FColor);
  FTabStop = true;
  SetBounds(FLeft, FTop, 145, 21);
  FEdit = new TComboEdit(this, this); // owned by this combo box as a component
  FEdit->SetParent(this);
}

TCustomComboBox::~TCustomComboBox() {
  FDropped = false;
  FList.reset();
}

void TCustomComboBox::CreateWnd() {
  TCustomControl::CreateWnd();
  PlaceEdit();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (Value == csDropDownList && FEdit) {
    TComboEdit* edit = FEdit;
    FEdit = nullptr;
    delete edit; // owned and parented by this combo box; deleting removes it from both
  } else if (Value != csDropDownList && !FEdit) {
    FEdit = new TComboEdit(this, this); // owned by this combo box as a component
    FEdit->SetParent(this);
    PlaceEdit();
    ShowSelected();
  }
  Invalidate();
}

TRect TCustomComboBox::ButtonRect() {
  const TRect c = ClientRect();
  return {std::max(c.Left + Edge, c.Right - Edge - ScrollBarSize), c.Top + Edge, c.Right - Edge,
          std::max(c.Top + Edge, c.Bottom - Edge)};
}

TRect TCustomComboBox::ItemRect() {
  const TRect c = ClientRect();
  const TRect b = ButtonRect();
  return {c.Left + Edge + 1, c.Top + Edge + 1, std::max(c.Left + Edge + 1, b.Left - 1),
          std::max(c.Top + Edge + 1, c.Bottom - Edge - 1)};
}

void TCustomComboBox::PlaceEdit() {
  if (!FEdit) return;
  FEdit->SetBoundsRect(ItemRect());
}

int TCustomComboBox::ItemIndex() const {
  return static_cast<int>(const_cast<TCustomComboBox*>(this)->Perform(CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int Value) {
  Perform(CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomComboBox::SetMaxLength(int Value) {
  FMaxLength = std::max(0, Value);
  if (FEdit) FEdit->SetMaxLength(FMaxLength);
}

AnsiString TCustomComboBox::GetText() const {
  if (FEdit) return FEdit->GetText();
  const int i = FList->ItemIndex();
  return i >= 0 ? FList->Items()->Strings(i) : AnsiString();
}

void TCustomComboBox::SetText(const AnsiString& Value) {
  const int match = FList->Items()->IndexOf(Value);
  FList->SetItemIndex(match);
  if (FEdit) {
    FClosing = true; // a text set by the program is no change by the user
    try {
      FEdit->SetText(Value);
    } catch (...) {
      FClosing = false;
      throw;
    }
    FClosing = false;
  }
  Invalidate();
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TCustomComboBox::SelectAll() {
  if (FEdit) FEdit->SelectAll();
}

void TCustomComboBox::ShowSelected() {
  const int i = FList->ItemIndex();
  if (FEdit && i >= 0) {
    FClosing = true;
    try {
      FEdit->SetText(FList->Items()->Strings(i));
      FEdit->SelectAll();
    } catch (...) {
      FClosing = false;
      throw;
    }
    FClosing = false;
  }
  Invalidate();
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::Notify(WORD Code) {
  Perform(CN_COMMAND, MAKEWPARAM(0, Code), HandleAllocated() ? reinterpret_cast<LPARAM>(Handle()) : 0);
}

void TCustomComboBox::CNCommand(TMessage& Message) {
  switch (Message.WParamHi()) {
  case CBN_EDITCHANGE:
    Change();
    break;
  case CBN_SELCHANGE:
    Click();
    Select();
    break;
  case CBN_DROPDOWN:
    if (OnDropDown) OnDropDown(this);
    break;
  case CBN_CLOSEUP:
    if (OnCloseUp) OnCloseUp(this);
    break;
  default:
    break;
  }
}

void TCustomComboBox::EditChanged() {
  if (FClosing) return;
  // Typing picks the item of that exact text, as the system's combo box does.
  FList->SetItemIndex(FList->Items()->IndexOf(FEdit->GetText()));
  Notify(CBN_EDITCHANGE);
}

void TCustomComboBox::ChooseItem(int Index) {
  if (Index < 0 || Index >= FList->Count()) return;
  if (!EditCanModify()) return;
  const bool changed =
      Index != FList->ItemIndex() || (FEdit && FEdit->GetText() != FList->Items()->Strings(Index));
  FList->SetItemIndex(Index);
  ShowSelected();
  if (changed) Notify(CBN_SELCHANGE);
}

void TCustomComboBox::DropDown() {
  if (FDropped || !HandleAllocated()) return;
  Notify(CBN_DROPDOWN);
  if (FDropped) return;
  const int rows = std::clamp(FList->Count(), 1, FDropDownCount);
  FList->Font()->Assign(Font());
  TRect wr;
  GetWindowRect(Handle(), &wr);
  const TPoint origin{wr.Left, wr.Bottom};
  const int height = rows * FList->ItemHeight() + 2;
  FList->HandleNeeded();
  FList->SetBounds(origin.X, origin.Y, Width(), height);
  const int shown = FList->ItemIndex();
  FList->SetTopIndex(shown >= 0 ? shown : 0);
  FDropIndex = shown;
  FDropped = true;
  SetWindowPos(FList->Handle(), HWND_TOPMOST, origin.X, origin.Y, Width(), height,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetCapture(FList->Handle());
  Invalidate();
}

void TCustomComboBox::CloseUp(bool Accept) {
  if (!FDropped) return;
  FDropped = false;
  const int chosen = FList->ItemIndex();
  if (FList->HandleAllocated()) {
    if (GetCapture() == FList->Handle()) ReleaseCapture();
    ShowWindow(FList->Handle(), SW_HIDE);
  }
  Invalidate();
  // The list showed the highlight; the choice is compared with what was chosen before it dropped.
  FList->SetItemIndex(FDropIndex);
  if (Accept) ChooseItem(chosen);
  Notify(CBN_CLOSEUP);
}

void TCustomComboBox::SetDroppedDown(bool Value) {
  if (Value)
    DropDown();
  else
    CloseUp(false);
}

// ----- Messages

void TCustomComboBox::ComboMessage(TMessage& Message) {
  auto toList = [&](UINT Msg) { Message.Result = FList->Perform(Msg, Message.WParam, Message.LParam); };
  switch (Message.Msg) {
  case CB_ADDSTRING:
    toList(LB_ADDSTRING);
    break;
  case CB_INSERTSTRING:
    toList(LB_INSERTSTRING);
    break;
  case CB_DELETESTRING: {
    const bool selected = static_cast<int>(Message.WParam) == FList->ItemIndex();
    toList(LB_DELETESTRING);
    if (selected && !FEdit) Invalidate();
    break;
  }
  case CB_RESETCONTENT:
    toList(LB_RESETCONTENT);
    if (FEdit) FEdit->SetText("");
    Invalidate();
    break;
  case CB_GETCOUNT:
    toList(LB_GETCOUNT);
    break;
  case CB_GETCURSEL:
    toList(LB_GETCURSEL);
    break;
  case CB_SETCURSEL:
    toList(LB_SETCURSEL);
    if (FList->ItemIndex() >= 0)
      ShowSelected();
    else if (FEdit)
      FEdit->SetText("");
    Invalidate();
    break;
  case CB_GETLBTEXT:
    toList(LB_GETTEXT);
    break;
  case CB_GETLBTEXTLEN:
    toList(LB_GETTEXTLEN);
    break;
  case CB_FINDSTRING:
    toList(LB_FINDSTRING);
    break;
  case CB_FINDSTRINGEXACT:
    toList(LB_FINDSTRINGEXACT);
    break;
  case CB_SELECTSTRING:
    toList(LB_SELECTSTRING);
    ShowSelected();
    break;
  case CB_GETITEMDATA:
    toList(LB_GETITEMDATA);
    break;
  case CB_SETITEMDATA:
    toList(LB_SETITEMDATA);
    break;
  case CB_GETITEMHEIGHT:
    toList(LB_GETITEMHEIGHT);
    break;
  case CB_SETITEMHEIGHT:
    FList->SetItemHeight(static_cast<int>(Message.LParam));
    break;
  case CB_GETDROPPEDSTATE:
    Message.Result = FDropped ? 1 : 0;
    break;
  case CB_SHOWDROPDOWN:
    SetDroppedDown(Message.WParam != 0);
    Message.Result = 1;
    break;
  case CB_LIMITTEXT:
    SetMaxLength(static_cast<int>(Message.WParam));
    Message.Result = 1;
    break;
  case CB_GETEDITSEL:
    Message.Result = FEdit ? FEdit->Perform(EM_GETSEL, Message.WParam, Message.LParam) : CB_ERR;
    break;
  case CB_SETEDITSEL:
    Message.Result =
        FEdit ? (FEdit->Perform(EM_SETSEL, Message.LParamLo(), static_cast<int16_t>(Message.LParamHi())), 1)
              : CB_ERR;
    break;
  case CB_GETDROPPEDCONTROLRECT:
    if (Message.LParam && HandleAllocated()) {
      TRect r;
      GetWindowRect(Handle(), &r);
      r.Bottom = r.Top + Height() + std::clamp(FList->Count(), 1, FDropDownCount) * FList->ItemHeight() + 2;
      *reinterpret_cast<TRect*>(Message.LParam) = r;
      Message.Result = 1;
    }
    break;
  case CB_GETDROPPEDWIDTH:
    Message.Result = Width();
    break;
  default:
    DefaultHandler(Message);
    break;
  }
}

void TCustomComboBox::WMCut(TMessage& Message) {
  ForwardToEdit(FEdit, Message);
}
void TCustomComboBox::WMCopy(TMessage& Message) {
  ForwardToEdit(FEdit, Message);
}
void TCustomComboBox::WMPaste(TMessage& Message) {
  ForwardToEdit(FEdit, Message);
}
void TCustomComboBox::WMClear(TMessage& Message) {
  ForwardToEdit(FEdit, Message);
}
void TCustomComboBox::WMUndo(TMessage& Message) {
  ForwardToEdit(FEdit, Message);
}

// ----- Painting

void TCustomComboBox::Paint() {
  TCanvas* c = Canvas();
  const TRect client = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FColor);
  c->FillRect(client);
  RECT edge = client;
  DrawEdge(c->Handle(), &edge, EDGE_SUNKEN, BF_RECT);
  const TRect b = ButtonRect();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(b);
  RECT face = b;
  DrawEdge(c->Handle(), &face, FDropped ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT);
  TRect arrow = b;
  if (FDropped) arrow.Offset(1, 1);
  Arrow(c, arrow, IsEnabledAll() ? clBtnText : clGrayText);
  if (FEdit) return;
  // A drop-down list shows the chosen item's text itself.
  const TRect item = ItemRect();
  const bool focused = Focused() && !FDropped;
  c->Brush()->SetColor(focused ? clHighlight : FColor);
  c->FillRect(item);
  c->Font()->Assign(Font());
  c->Font()->SetColor(!IsEnabledAll() ? clGrayText : focused ? clHighlightText : Font()->Color());
  c->Brush()->SetStyle(bsClear);
  const AnsiString text = GetText();
  c->TextRect(item, item.Left + 1, item.Top + (item.Height() - c->TextHeight("Wg")) / 2, text);
  c->Brush()->SetStyle(bsSolid);
  if (focused) c->DrawFocusRect(item);
}

void TCustomComboBox::WMSize(TMessage& Message) {
  TCustomControl::WMSize(Message);
  PlaceEdit();
}

void TCustomComboBox::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  if (FEdit) FEdit->SetEnabled(Enabled());
  Invalidate();
}

void TCustomComboBox::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  FList->Font()->Assign(Font());
  Invalidate();
}

// ----- Focus, keys and mouse

void TCustomComboBox::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  if (FEdit && FEdit->HandleAllocated() && FEdit->CanFocus()) {
    ::SetFocus(FEdit->Handle());
    FEdit->SelectAll();
  }
  Invalidate();
}

void TCustomComboBox::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  if (!FEdit && FDropped) CloseUp(false);
  Invalidate();
}

void TCustomComboBox::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FDropped) Message.Result |= DLGC_WANTALLKEYS;
}

// The keys of a combo box, whether they reach it or its edit field: arrows choose, F4 and Alt+arrows drop
// the list down and up, Enter takes and Escape drops the highlighted item of a dropped list.
bool TCustomComboBox::NavigationKey(WORD Key, TShiftState Shift) {
  if ((Key == VK_DOWN || Key == VK_UP) && Shift.Contains(ssAlt)) {
    if (FDropped)
      CloseUp(true);
    else
      DropDown();
    return true;
  }
  if (Key == VK_F4 && !Shift.Contains(ssAlt)) {
    if (FDropped)
      CloseUp(true);
    else
      DropDown();
    return true;
  }
  const int count = FList->Count();
  int to = FList->ItemIndex();
  switch (Key) {
  case VK_RETURN:
  case VK_ESCAPE:
    if (!FDropped) return false;
    CloseUp(Key == VK_RETURN);
    return true;
  case VK_UP:
  case VK_LEFT:
    if (Key == VK_LEFT && FEdit) return false;
    to = to < 0 ? 0 : to - 1;
    break;
  case VK_DOWN:
  case VK_RIGHT:
    if (Key == VK_RIGHT && FEdit) return false;
    to = to + 1;
    break;
  case VK_PRIOR:
    to -= FDropDownCount - 1;
    break;
  case VK_NEXT:
    to += FDropDownCount - 1;
    break;
  case VK_HOME:
  case VK_END:
    if (FEdit && !FDropped) return false;
    to = Key == VK_HOME ? 0 : count - 1;
    break;
  default:
    return false;
  }
  if (count == 0) return true;
  to = std::clamp(to, 0, count - 1);
  if (FDropped)
    FList->SetItemIndex(to);
  else
    ChooseItem(to);
  return true;
}

bool TCustomComboBox::EditKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return true;
  return NavigationKey(static_cast<WORD>(Message.WParam),
                       KeyDataToShiftState(static_cast<LONG>(Message.LParam)));
}

bool TCustomComboBox::EditChar(TMessage& Message) {
  if (DoKeyPress(Message)) return true;
  const auto key = static_cast<unsigned char>(Message.WParam);
  return FDropped && (key == '\r' || key == 27);
}

void TCustomComboBox::WMKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return;
  NavigationKey(static_cast<WORD>(Message.WParam), KeyDataToShiftState(static_cast<LONG>(Message.LParam)));
}

void TCustomComboBox::WMChar(TMessage& Message) {
  if (DoKeyPress(Message)) return;
  const auto key = static_cast<unsigned char>(Message.WParam);
  if (FEdit || key < 32 || FList->Count() == 0) return;
  const AnsiString prefix(1, static_cast<char>(key));
  const LRESULT found = FList->Perform(LB_FINDSTRING, static_cast<WPARAM>(FList->ItemIndex()),
                                       reinterpret_cast<LPARAM>(prefix.c_str()));
  if (found == LB_ERR) return;
  if (FDropped)
    FList->SetItemIndex(static_cast<int>(found));
  else
    ChooseItem(static_cast<int>(found));
}

void TCustomComboBox::WMLButtonDown(TMessage& Message) {
  TCustomControl::WMLButtonDown(Message);
  if (CanFocus() && !Focused() && !(FEdit && FEdit->Focused())) SetFocus();
  const TWMMouse m(Message);
  if (!FEdit || ButtonRect().Contains(m.Pos())) SetDroppedDown(!FDropped);
}

void TCustomComboBox::WMLButtonDblClk(TMessage& Message) {
  WMLButtonDown(Message);
}

void TCustomComboBox::WMMouseWheel(TMessage& Message) {
  if (DoMouseWheel(Message)) return;
  const auto delta = static_cast<int16_t>(Message.WParamHi());
  NavigationKey(delta > 0 ? VK_UP : VK_DOWN, {});
  Message.Result = 1;
}

BOOL GetComboBoxInfo(HWND Wnd, COMBOBOXINFO* Info) {
  if (!IsWindow(Wnd) || !Info || Info->cbSize < sizeof(COMBOBOXINFO)) return 0;
  auto* combo = dynamic_cast<TCustomComboBox*>(FindControl(Wnd));
  if (!combo) return 0;
  Info->rcItem = combo->ItemRect();
  Info->rcButton = combo->ButtonRect();
  Info->stateButton = combo->DroppedDown() ? STATE_SYSTEM_PRESSED : 0;
  Info->hwndCombo = Wnd;
  Info->hwndItem = combo->EditControl() ? combo->EditControl()->Handle() : Wnd;
  combo->ListControl()->HandleNeeded();
  Info->hwndList = combo->ListControl()->Handle();
  return 1;
}
