#pragma once
// TCheckListBox: a list box whose items each carry a check box. A click on an item's box, or Space, ticks
// or clears it; everything else (selecting, the keys, the wheel and the vertical scroll bar of a list
// longer than the box) is the list box's.
#include "classlib/controls/ListBox.h"

class TCheckListBox : public TCustomListBox {
  QUENDREL_CLASS(TCheckListBox, TCustomListBox)
 public:
  explicit TCheckListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}

  // Raise EListError for an index outside the items. A check moves with its item.
  bool Checked(int Index) const { return ItemState(Index) != 0; }
  void SetChecked(int Index, bool Value) { SetItemState(Index, Value ? 1 : 0); }
  // The check box of an item's rectangle.
  static TRect CheckRect(const TRect& ItemRect);

  // After the user ticked or cleared an item.
  TNotifyEvent OnClickCheck;

  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMLButtonDblClk(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;

 protected:
  void DrawItem(int Index, const TRect& Rect, bool Selected, bool Focused) override;

 private:
  void ToggleByUser(int Index);
  void ToggleAt(TPoint Pos);
  void DrawCheck(TCanvas* Canvas, const TRect& Box, bool IsChecked);
};
