#include "classlib/controls/ListBox.h"

#include <algorithm>
#include <cctype>

#include "classlib/controls/ScrollBars.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Gdi.h"

QUENDREL_REGISTER_CLASS(TCustomListBox, TCustomControl) {
  c.Property("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
  c.Property("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex).Default(-1);
  c.Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(0);
  c.Enum("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle, BorderStyleNames)
      .Default(bsSingle);
  for (UINT m = LB_ADDSTRING; m <= LB_ITEMFROMPOINT; ++m) c.Message(m, &TCustomListBox::ListMessage);
  c.Message(WM_VSCROLL, &TCustomListBox::WMVScroll);
  c.Message(CN_COMMAND, &TCustomListBox::CNCommand);
  c.Message(WM_DELETEITEM, &TCustomListBox::WMDeleteItem);
  c.Message(WM_SETREDRAW, &TCustomListBox::WMSetRedraw);
}
QUENDREL_REGISTER_CLASS(TListBox, TCustomListBox) {
  c.Creatable();
}

// ---------------------------------------------------------------------------------------------------------
// TListBoxStrings

int TListBoxStrings::Count() const {
  return FListBox->Count();
}

AnsiString TListBoxStrings::Get(int Index) const {
  const auto len = FListBox->Perform(LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
  if (len == LB_ERR) Error(Index);
  AnsiString s(static_cast<size_t>(len), '\0');
  FListBox->Perform(LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(s.data()));
  return s;
}

void TListBoxStrings::Put(int Index, const AnsiString& S) {
  const int selected = FListBox->ItemIndex();
  TObject* data = GetObject(Index);
  const int state = FListBox->ItemState(Index);
  Delete(Index);
  InsertObject(Index, S, data);
  FListBox->SetItemState(Index, state);
  if (selected == Index) FListBox->SetItemIndex(Index);
}

TObject* TListBoxStrings::GetObject(int Index) const {
  const LRESULT r = FListBox->Perform(LB_GETITEMDATA, static_cast<WPARAM>(Index), 0);
  if (r == LB_ERR && (Index < 0 || Index >= Count())) Error(Index);
  return reinterpret_cast<TObject*>(r);
}

void TListBoxStrings::PutObject(int Index, TObject* AObject) {
  FListBox->Perform(LB_SETITEMDATA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

int TListBoxStrings::Add(const AnsiString& S) {
  return static_cast<int>(FListBox->Perform(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str())));
}

void TListBoxStrings::Insert(int Index, const AnsiString& S) {
  if (FListBox->Perform(LB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
    Error(Index);
}

void TListBoxStrings::Delete(int Index) {
  if (FListBox->Perform(LB_DELETESTRING, static_cast<WPARAM>(Index), 0) == LB_ERR) Error(Index);
}

void TListBoxStrings::Clear() {
  FListBox->Perform(LB_RESETCONTENT, 0, 0);
}

void TListBoxStrings::SetUpdateState(bool Updating) {
  FListBox->Perform(WM_SETREDRAW, Updating ? 0 : 1, 0);
}

void TListBoxStrings::Exchange(int Index1, int Index2) {
  const int state1 = FListBox->ItemState(Index1);
  const int state2 = FListBox->ItemState(Index2);
  TStrings::Exchange(Index1, Index2);
  FListBox->SetItemState(Index1, state2);
  FListBox->SetItemState(Index2, state1);
}

void TListBoxStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  const int state = FListBox->ItemState(CurIndex);
  TStrings::Move(CurIndex, NewIndex);
  FListBox->SetItemState(NewIndex, state);
}

int TListBoxStrings::IndexOf(const AnsiString& S) const {
  return static_cast<int>(
      FListBox->Perform(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str())));
}

// ---------------------------------------------------------------------------------------------------------
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItemsStrings(std::make_unique<TListBoxStrings>(this)) {
  ControlStyle = {csSetCaption, csDoubleClicks, csOpaque};
  FColor = clWindow;
  FParentColor = false;
  Brush()->SetColor(FColor);
  FTabStop = true;
  SetBounds(FLeft, FTop, 121, 97);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_VSCROLL;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRange();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

int TCustomListBox::ItemHeight() const {
  if (FItemHeight > 0) return FItemHeight;
  if (!HandleAllocated()) return 16;
  Canvas()->Font()->Assign(Font());
  return std::max(1, Canvas()->TextHeight("Wg") + 3);
}

void TCustomListBox::SetItemHeight(int Value) {
  FItemHeight = std::max(0, Value);
  UpdateScrollRange();
  Invalidate();
}

void TCustomListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  if (!Value) return;
  const AnsiString selected = FItemIndex >= 0 ? FItems[FItemIndex].Text : AnsiString();
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const TItem& a, const TItem& b) { return CompareText(a.Text, b.Text) < 0; });
  if (FItemIndex >= 0) FItemIndex = Items()->IndexOf(selected);
  Invalidate();
}

int TCustomListBox::VisibleItemCount() {
  return std::max(1, ClientRect().Height() / ItemHeight());
}

TRect TCustomListBox::ItemRect(int Index) {
  const int h = ItemHeight();
  const int y = (Index - FTopIndex) * h;
  return {0, y, ClientRect().Width(), y + h};
}

int TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) {
  const int i = FTopIndex + (Pos.Y < 0 ? -1 : Pos.Y / ItemHeight());
  if (i >= 0 && i < Count()) return i;
  return Existing ? -1 : Count();
}

void TCustomListBox::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", Index));
}

int TCustomListBox::ItemState(int Index) const {
  CheckIndex(Index);
  return FItems[static_cast<size_t>(Index)].State;
}

void TCustomListBox::SetItemState(int Index, int Value) {
  CheckIndex(Index);
  if (FItems[static_cast<size_t>(Index)].State == Value) return;
  FItems[static_cast<size_t>(Index)].State = Value;
  Invalidate();
}

void TCustomListBox::SetItemIndex(int Value) {
  Perform(LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomListBox::SetTopIndex(int Value) {
  Perform(LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

void TCustomListBox::ScrollIntoView(int Index) {
  if (Index < 0) return;
  if (Index < FTopIndex)
    SetTopIndex(Index);
  else if (Index >= FTopIndex + VisibleItemCount())
    SetTopIndex(Index - VisibleItemCount() + 1);
}

void TCustomListBox::UpdateScrollRange() {
  if (!HandleAllocated() || FUpdatingBar || !FRedraw) return;
  FUpdatingBar = true;
  try {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = std::max(0, Count() - 1);
    si.nPage = static_cast<UINT>(VisibleItemCount());
    si.nPos = FTopIndex;
    si.nTrackPos = FTopIndex;
    SetScrollInfo(Handle(), SB_VERT, &si, true);
  } catch (...) {
    FUpdatingBar = false;
    throw;
  }
  FUpdatingBar = false;
}

void TCustomListBox::WMSetRedraw(TMessage& Message) {
  FRedraw = Message.WParam != 0;
  if (!FRedraw) return;
  UpdateScrollRange();
  Invalidate();
}

void TCustomListBox::Notify(WORD Code) {
  Perform(CN_COMMAND, MAKEWPARAM(0, Code), HandleAllocated() ? reinterpret_cast<LPARAM>(Handle()) : 0);
}

void TCustomListBox::CNCommand(TMessage& Message) {
  switch (Message.WParamHi()) {
  case LBN_SELCHANGE:
    Click();
    break;
  case LBN_DBLCLK:
    DblClick();
    break;
  default:
    break;
  }
}

void TCustomListBox::WMDeleteItem(TMessage& Message) {
  DefaultHandler(Message);
}

void TCustomListBox::SelectByUser(int Index) {
  Index = std::clamp(Index, Count() ? 0 : -1, Count() - 1);
  ScrollIntoView(Index);
  if (Index == FItemIndex) return;
  SetItemIndex(Index);
  Notify(LBN_SELCHANGE);
}

int TCustomListBox::InsertItem(int Index, const AnsiString& Text) {
  if (FSorted) {
    Index = 0;
    while (Index < Count() && CompareText(FItems[Index].Text, Text) <= 0) ++Index;
  }
  FItems.insert(FItems.begin() + Index, TItem{Text, nullptr});
  if (FItemIndex >= Index) ++FItemIndex;
  UpdateScrollRange();
  Invalidate();
  return Index;
}

void TCustomListBox::ListMessage(TMessage& Message) {
  const auto index = static_cast<int>(static_cast<intptr_t>(Message.WParam));
  const bool valid = index >= 0 && index < Count();
  Message.Result = 0;
  switch (Message.Msg) {
  case LB_ADDSTRING:
    Message.Result = InsertItem(Count(), reinterpret_cast<const char*>(Message.LParam));
    break;
  case LB_INSERTSTRING:
    if (index < -1 || index > Count()) {
      Message.Result = LB_ERR;
      break;
    }
    Message.Result = InsertItem(index == -1 ? Count() : index, reinterpret_cast<const char*>(Message.LParam));
    break;
  case LB_DELETESTRING:
    if (!valid) {
      Message.Result = LB_ERR;
      break;
    }
    FItems.erase(FItems.begin() + index);
    if (FItemIndex == index)
      FItemIndex = -1;
    else if (FItemIndex > index)
      --FItemIndex;
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, Count() - 1));
    UpdateScrollRange();
    Invalidate();
    Message.Result = Count();
    break;
  case LB_RESETCONTENT:
    FItems.clear();
    FItemIndex = -1;
    FTopIndex = 0;
    UpdateScrollRange();
    Invalidate();
    break;
  case LB_GETCOUNT:
    Message.Result = Count();
    break;
  case LB_SETCOUNT: // only lists without data of their own take a count
    Message.Result = LB_ERR;
    break;
  case LB_GETCURSEL:
    Message.Result = FItemIndex;
    break;
  case LB_SETCURSEL:
    FItemIndex = valid ? index : -1;
    ScrollIntoView(FItemIndex);
    Invalidate();
    Message.Result = valid || index == -1 ? FItemIndex : LB_ERR;
    break;
  case LB_GETTOPINDEX:
    Message.Result = FTopIndex;
    break;
  case LB_SETTOPINDEX: {
    const int top = std::clamp(index, 0, std::max(0, Count() - VisibleItemCount()));
    if (top != FTopIndex) {
      FTopIndex = top;
      UpdateScrollRange();
      Invalidate();
    }
    break;
  }
  case LB_GETTEXTLEN:
    Message.Result = valid ? static_cast<LRESULT>(FItems[index].Text.size()) : LB_ERR;
    break;
  case LB_GETTEXT:
    if (!valid) {
      Message.Result = LB_ERR;
      break;
    }
    if (Message.LParam) {
      const AnsiString& t = FItems[index].Text;
      std::copy(t.begin(), t.end(), reinterpret_cast<char*>(Message.LParam));
    }
    Message.Result = static_cast<LRESULT>(FItems[index].Text.size());
    break;
  case LB_GETITEMDATA:
    Message.Result = valid ? reinterpret_cast<LRESULT>(FItems[index].Data) : LB_ERR;
    break;
  case LB_SETITEMDATA:
    if (valid)
      FItems[index].Data = reinterpret_cast<TObject*>(Message.LParam);
    else
      Message.Result = LB_ERR;
    break;
  case LB_FINDSTRING:
  case LB_FINDSTRINGEXACT:
  case LB_SELECTSTRING: {
    const AnsiString what = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
    Message.Result = LB_ERR;
    const int n = Count();
    for (int k = 1; k <= n; ++k) {
      const int i = (std::max(index, -1) + k) % n;
      const AnsiString& t = FItems[i].Text;
      const bool match = Message.Msg == LB_FINDSTRINGEXACT
                             ? SameText(t, what)
                             : t.size() >= what.size() && SameText(t.substr(0, what.size()), what);
      if (match) {
        Message.Result = i;
        break;
      }
    }
    if (Message.Msg == LB_SELECTSTRING && Message.Result != LB_ERR)
      SetItemIndex(static_cast<int>(Message.Result));
    break;
  }
  case LB_GETITEMHEIGHT:
    Message.Result = ItemHeight();
    break;
  case LB_SETITEMHEIGHT:
    SetItemHeight(static_cast<int>(Message.LParam));
    break;
  case LB_GETITEMRECT:
    if (!valid || !Message.LParam) {
      Message.Result = LB_ERR;
      break;
    }
    *reinterpret_cast<TRect*>(Message.LParam) = ItemRect(index);
    break;
  case LB_ITEMFROMPOINT: {
    const int i = ItemAtPos({GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}, true);
    Message.Result = MAKELPARAM(std::max(i, 0), i < 0 ? 1 : 0);
    break;
  }
  default:
    DefaultHandler(Message);
    break;
  }
}

// ----- Painting

void TCustomListBox::DrawItem(int Index, const TRect& Rect, bool Selected, bool Focused) {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Selected ? clHighlight : FColor);
  c->FillRect(Rect);
  c->Font()->SetColor(!IsEnabledAll() ? clGrayText : Selected ? clHighlightText : Font()->Color());
  c->Brush()->SetStyle(bsClear);
  c->TextRect(Rect, Rect.Left + 2, Rect.Top + 1, FItems[Index].Text);
  c->Brush()->SetStyle(bsSolid);
  if (Focused) c->DrawFocusRect(Rect);
}

void TCustomListBox::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetColor(FColor);
  c->FillRect(ClientRect());
  const int last = std::min(Count(), FTopIndex + VisibleItemCount() + 1);
  const bool focused = Focused();
  for (int i = FTopIndex; i < last; ++i) {
    DrawItem(i, ItemRect(i), i == FItemIndex, focused && i == FItemIndex);
  }
}

void TCustomListBox::WMNCPaint(TMessage& Message) {
  TCustomControl::WMNCPaint(Message);
  if (!HandleAllocated() || !(GetWindowLong(Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) return;
  HDC dc = GetWindowDC(Handle());
  RECT r = Handle()->WindowRectInWindow();
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
  ReleaseDC(Handle(), dc);
}

void TCustomListBox::WMSize(TMessage& Message) {
  TCustomControl::WMSize(Message);
  FTopIndex = std::clamp(FTopIndex, 0, std::max(0, Count() - VisibleItemCount()));
  UpdateScrollRange();
}

void TCustomListBox::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  UpdateScrollRange();
  Invalidate();
}

void TCustomListBox::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

// ----- Focus, keys and mouse

void TCustomListBox::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  Invalidate();
  Notify(LBN_SETFOCUS);
}

void TCustomListBox::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  FTracking = false;
  Invalidate();
  Notify(LBN_KILLFOCUS);
}

void TCustomListBox::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomListBox::WMKeyDown(TMessage& Message) {
  if (DoKeyDown(Message)) return;
  const int page = std::max(1, VisibleItemCount() - 1);
  switch (Message.WParam) {
  case VK_UP:
  case VK_LEFT:
    SelectByUser(FItemIndex < 0 ? 0 : FItemIndex - 1);
    break;
  case VK_DOWN:
  case VK_RIGHT:
    SelectByUser(FItemIndex + 1);
    break;
  case VK_PRIOR:
    SelectByUser(FItemIndex - page);
    break;
  case VK_NEXT:
    SelectByUser(FItemIndex < 0 ? page : FItemIndex + page);
    break;
  case VK_HOME:
    SelectByUser(0);
    break;
  case VK_END:
    SelectByUser(Count() - 1);
    break;
  default:
    break;
  }
}

void TCustomListBox::WMChar(TMessage& Message) {
  if (DoKeyPress(Message)) return;
  const auto key = static_cast<unsigned char>(Message.WParam);
  if (key < 32 || Count() == 0) return;
  // A letter selects the next item that begins with it.
  const AnsiString prefix(1, static_cast<char>(key));
  const LRESULT found =
      Perform(LB_FINDSTRING, static_cast<WPARAM>(FItemIndex), reinterpret_cast<LPARAM>(prefix.c_str()));
  if (found != LB_ERR) SelectByUser(static_cast<int>(found));
}

void TCustomListBox::WMLButtonDown(TMessage& Message) {
  TCustomControl::WMLButtonDown(Message);
  if (CanFocus() && !Focused()) SetFocus();
  const int i = ItemAtPos(TWMMouse(Message).Pos(), true);
  if (i >= 0) SelectByUser(i);
  FTracking = true;
  SetMouseCapture(true);
}

void TCustomListBox::WMLButtonDblClk(TMessage& Message) {
  TCustomControl::WMLButtonDblClk(Message);
  if (ItemAtPos(TWMMouse(Message).Pos(), true) >= 0) Notify(LBN_DBLCLK);
}

void TCustomListBox::WMMouseMove(TMessage& Message) {
  TCustomControl::WMMouseMove(Message);
  if (!FTracking) return;
  const int i = ItemAtPos(TWMMouse(Message).Pos(), false);
  SelectByUser(std::clamp(i, 0, Count() - 1));
}

void TCustomListBox::WMLButtonUp(TMessage& Message) {
  FTracking = false;
  TCustomControl::WMLButtonUp(Message);
  SetMouseCapture(false);
}

void TCustomListBox::WMMouseWheel(TMessage& Message) {
  if (DoMouseWheel(Message)) return;
  const auto delta = static_cast<int16_t>(Message.WParamHi());
  SetTopIndex(FTopIndex - 3 * delta / 120);
  Message.Result = 1;
}

void TCustomListBox::WMVScroll(TMessage& Message) {
  const int page = std::max(1, VisibleItemCount() - 1);
  if (const auto to = ScrollTarget(Message.WParamLo(), ScrollMessagePos(Handle(), SB_VERT, Message),
                                   FTopIndex, {.Page = page, .Bottom = Count()}))
    SetTopIndex(*to);
  Message.Result = 0;
}
