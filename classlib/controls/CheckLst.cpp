#include "classlib/controls/CheckLst.h"

#include "classlib/graphics/Gdi.h"

QUENDREL_REGISTER_CLASS(TCheckListBox, TCustomListBox) {
  c.Creatable();
  c.Property("ItemHeight", &TCheckListBox::ItemHeight, &TCheckListBox::SetItemHeight);
  c.Event("OnClickCheck", &TCheckListBox::OnClickCheck);
}

namespace {

constexpr int CheckSize = 13;

} // namespace

TRect TCheckListBox::CheckRect(const TRect& ItemRect) {
  const int top = ItemRect.Top + (ItemRect.Height() - CheckSize) / 2;
  return TRect{ItemRect.Left + 2, top, ItemRect.Left + 2 + CheckSize, top + CheckSize};
}

void TCheckListBox::ToggleByUser(int Index) {
  if (Index < 0 || Index >= Count()) return;
  SetChecked(Index, !Checked(Index));
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::ToggleAt(TPoint Pos) {
  const int index = ItemAtPos(Pos, true);
  if (index >= 0 && CheckRect(ItemRect(index)).Contains(Pos)) ToggleByUser(index);
}

void TCheckListBox::WMLButtonDown(TMessage& Message) {
  TCustomListBox::WMLButtonDown(Message);
  ToggleAt(TWMMouse(Message).Pos());
}

void TCheckListBox::WMLButtonDblClk(TMessage& Message) {
  // The second press of a quick double click on a box ticks it again.
  TCustomListBox::WMLButtonDblClk(Message);
  ToggleAt(TWMMouse(Message).Pos());
}

void TCheckListBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomListBox::KeyDown(Key, Shift);
  if (Key != VK_SPACE) return;
  ToggleByUser(ItemIndex());
  Key = 0;
}

void TCheckListBox::KeyPress(char& Key) {
  TCustomListBox::KeyPress(Key);
  if (Key == ' ') Key = 0; // Space ticks; it selects no item beginning with a blank
}

void TCheckListBox::WMSetFocus(TMessage& Message) {
  TCustomListBox::WMSetFocus(Message);
  // Space must have an item to tick as soon as the list has the focus.
  if (ItemIndex() < 0 && Count() > 0) SetItemIndex(TopIndex());
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

void TCheckListBox::DrawItem(int Index, const TRect& Rect, bool Selected, bool Focused) {
  TCanvas* c = Canvas();
  const TRect box = CheckRect(Rect);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(TRect{Rect.Left, Rect.Top, box.Right + 2, Rect.Bottom});
  DrawCheck(c, box, Checked(Index));
  // The selection and the focus mark the text only.
  TCustomListBox::DrawItem(Index, TRect{box.Right + 2, Rect.Top, Rect.Right, Rect.Bottom}, Selected, Focused);
}
