#include "classlib/controls/CheckLst.h"

#include <algorithm>

#include "classlib/graphics/Gdi.h"

QUENDREL_REGISTER_CLASS(TCheckListBox, TCustomControl) {
  c.Creatable();
  c.Property("Items", &TCheckListBox::Items, &TCheckListBox::SetItems);
  c.Property("ItemHeight", &TCheckListBox::ItemHeight, &TCheckListBox::SetItemHeight);
  c.Event("OnClickCheck", &TCheckListBox::OnClickCheck);
}

namespace {

constexpr int CheckSize = 13;

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TCheckListStrings

AnsiString TCheckListStrings::Get(int Index) const {
  Check(Index);
  return FItems[static_cast<size_t>(Index)].Text;
}

void TCheckListStrings::Put(int Index, const AnsiString& S) {
  Check(Index);
  FItems[static_cast<size_t>(Index)].Text = S;
  Changed();
}

TObject* TCheckListStrings::GetObject(int Index) const {
  Check(Index);
  return FItems[static_cast<size_t>(Index)].Data;
}

void TCheckListStrings::PutObject(int Index, TObject* AObject) {
  Check(Index);
  FItems[static_cast<size_t>(Index)].Data = AObject;
}

void TCheckListStrings::Insert(int Index, const AnsiString& S) {
  if (Index < 0 || Index > Count()) Error(Index);
  FItems.insert(FItems.begin() + Index, TItem{S, nullptr, false});
  if (FListBox->FItemIndex >= Index) ++FListBox->FItemIndex;
  Changed();
}

void TCheckListStrings::Delete(int Index) {
  Check(Index);
  FItems.erase(FItems.begin() + Index);
  int& selected = FListBox->FItemIndex;
  if (selected == Index)
    selected = -1;
  else if (selected > Index)
    --selected;
  Changed();
}

void TCheckListStrings::Clear() {
  FItems.clear();
  FListBox->FItemIndex = -1;
  Changed();
}

void TCheckListStrings::Exchange(int Index1, int Index2) {
  Check(Index1);
  Check(Index2);
  std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
  Changed();
}

void TCheckListStrings::SetUpdateState(bool Updating) {
  if (!Updating) FListBox->ItemsChanged();
}

void TCheckListStrings::Changed() {
  if (UpdateCount() == 0) FListBox->ItemsChanged();
}

// ---------------------------------------------------------------------------------------------------------
// TCheckListBox

TCheckListBox::TCheckListBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TCheckListStrings>(this)) {
  ControlStyle = {csOpaque, csCaptureMouse, csClickEvents, csDoubleClicks};
  FWidth = 121;
  FHeight = 97;
  FTabStop = true;
  FColor = clWindow;
  FParentColor = false;
}

TCheckListBox::~TCheckListBox() = default;

bool TCheckListBox::Checked(int Index) const {
  FItems->Check(Index);
  return FItems->FItems[static_cast<size_t>(Index)].Checked;
}

void TCheckListBox::SetChecked(int Index, bool Value) {
  FItems->Check(Index);
  bool& checked = FItems->FItems[static_cast<size_t>(Index)].Checked;
  if (checked == Value) return;
  checked = Value;
  Invalidate();
}

void TCheckListBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= Count()) Value = -1;
  if (Value == FItemIndex) return;
  FItemIndex = Value;
  ScrollIntoView(Value);
  Invalidate();
}

void TCheckListBox::SetTopIndex(int Value) {
  Value = std::clamp(Value, 0, std::max(0, Count() - VisibleItemCount()));
  if (Value == FTopIndex) return;
  FTopIndex = Value;
  Invalidate();
}

int TCheckListBox::ItemHeight() const {
  if (FItemHeight > 0) return FItemHeight;
  Canvas()->Font()->Assign(Font());
  return std::max(Canvas()->TextHeight("Ag") + 1, CheckSize + 1);
}

void TCheckListBox::SetItemHeight(int Value) {
  FItemHeight = std::max(0, Value);
  SetTopIndex(FTopIndex);
  Invalidate();
}

int TCheckListBox::VisibleItemCount() {
  // Inside the two-pixel sunken border.
  return std::max(1, (ClientHeight() - 4) / ItemHeight());
}

TRect TCheckListBox::ItemRect(int Index) {
  const int h = ItemHeight();
  const int top = 2 + (Index - FTopIndex) * h;
  return TRect{2, top, ClientWidth() - 2, top + h};
}

TRect TCheckListBox::CheckRect(const TRect& ItemRect) {
  const int top = ItemRect.Top + (ItemRect.Height() - CheckSize) / 2;
  return TRect{ItemRect.Left + 2, top, ItemRect.Left + 2 + CheckSize, top + CheckSize};
}

int TCheckListBox::ItemAtPos(TPoint Pos) {
  if (Pos.X < 2 || Pos.X >= ClientWidth() - 2 || Pos.Y < 2 || Pos.Y >= ClientHeight() - 2) return -1;
  const int index = FTopIndex + (Pos.Y - 2) / ItemHeight();
  return index < Count() ? index : -1;
}

void TCheckListBox::ItemsChanged() {
  if (FItemIndex >= Count()) FItemIndex = -1;
  FTopIndex = std::clamp(FTopIndex, 0, std::max(0, Count() - VisibleItemCount()));
  Invalidate();
}

void TCheckListBox::ScrollIntoView(int Index) {
  if (Index < 0) return;
  if (Index < FTopIndex)
    SetTopIndex(Index);
  else if (Index >= FTopIndex + VisibleItemCount())
    SetTopIndex(Index - VisibleItemCount() + 1);
}

void TCheckListBox::ToggleByUser(int Index) {
  if (Index < 0 || Index >= Count()) return;
  SetChecked(Index, !Checked(Index));
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus()) SetFocus();
    const int index = ItemAtPos({X, Y});
    if (index >= 0) {
      SetItemIndex(index);
      const TRect box = CheckRect(ItemRect(index));
      if (X >= box.Left && X < box.Right && Y >= box.Top && Y < box.Bottom) ToggleByUser(index);
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCheckListBox::KeyDown(WORD& Key, TShiftState Shift) {
  const int last = Count() - 1;
  const int page = VisibleItemCount();
  int to = FItemIndex;
  switch (Key) {
  case VK_SPACE:
    ToggleByUser(FItemIndex);
    Key = 0;
    break;
  case VK_UP:
    to = FItemIndex < 0 ? 0 : FItemIndex - 1;
    break;
  case VK_DOWN:
    to = FItemIndex + 1;
    break;
  case VK_PRIOR:
    to = FItemIndex - page + 1;
    break;
  case VK_NEXT:
    to = FItemIndex + page - 1;
    break;
  case VK_HOME:
    to = 0;
    break;
  case VK_END:
    to = last;
    break;
  default:
    break;
  }
  if (to != FItemIndex && last >= 0) {
    SetItemIndex(std::clamp(to, 0, last));
    Key = 0;
  }
  TCustomControl::KeyDown(Key, Shift);
}

void TCheckListBox::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCheckListBox::WMMouseWheel(TMessage& Message) {
  const auto delta = static_cast<short>(HIWORD(Message.WParam));
  SetTopIndex(FTopIndex - delta / 120 * 3);
  Message.Result = 1;
}

void TCheckListBox::WMEraseBkgnd(TMessage& Message) {
  Message.Result = 1;
}

void TCheckListBox::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  if (FItemIndex < 0 && Count() > 0) FItemIndex = FTopIndex;
  Invalidate();
}

void TCheckListBox::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  Invalidate();
}

void TCheckListBox::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  ItemsChanged();
}

void TCheckListBox::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

void TCheckListBox::DrawCheck(TCanvas* Canvas, const TRect& Box, bool IsChecked) {
  TRect r = Box;
  Frame3D(Canvas, r, clBtnShadow, clBtnHighlight, 1);
  Frame3D(Canvas, r, cl3DDkShadow, clBtnFace, 1);
  Canvas->Brush()->SetColor(Enabled() ? clWindow : clBtnFace);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->FillRect(r);
  if (!IsChecked) return;
  // The tick: three pixels thick, down to the lower left third and up to the top right.
  Canvas->Pen()->SetColor(Enabled() ? clWindowText : clGrayText);
  Canvas->Pen()->SetWidth(1);
  const int x = r.Left + 1, y = r.Top + 2;
  for (int i = 0; i < 3; ++i) {
    Canvas->MoveTo(x, y + 2 + i);
    Canvas->LineTo(x + 2, y + 4 + i);
    Canvas->LineTo(x + 7, y - 1 + i);
  }
}

void TCheckListBox::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  Frame3D(c, r, clBtnShadow, clBtnHighlight, 1);
  Frame3D(c, r, cl3DDkShadow, clBtnFace, 1);
  c->Brush()->SetColor(FColor);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(r);
  c->Font()->Assign(Font());
  const bool focused = Focused();
  const int last = std::min(Count(), FTopIndex + VisibleItemCount() + 1);
  for (int i = FTopIndex; i < last; ++i) {
    TRect item = ItemRect(i);
    if (item.Top >= r.Bottom) break;
    item.Bottom = std::min(item.Bottom, r.Bottom);
    DrawCheck(c, CheckRect(item), Checked(i));
    TRect text = item;
    text.Left += CheckSize + 4;
    const bool selected = i == FItemIndex && focused;
    c->Brush()->SetColor(selected ? clHighlight : FColor);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(text);
    c->Font()->SetColor(!Enabled() ? clGrayText : selected ? clHighlightText : Font()->Color());
    c->Brush()->SetStyle(bsClear);
    c->TextRect(text, text.Left + 2, text.Top, FItems->Get(i));
    if (i == FItemIndex && focused) c->DrawFocusRect(text);
  }
}
