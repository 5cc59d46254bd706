#pragma once
// TCheckListBox: a list of text items, each with a check box. A click on an item's box, or Space, ticks or
// clears it; a click anywhere on an item, the arrow, page and Home/End keys select one; the wheel and the
// keys scroll a list longer than the box.
#include <memory>
#include <vector>

#include "classlib/controls/CustomControl.h"
#include "classlib/core/StringList.h"

class TCheckListBox;

// The items of a check list box: each line carries its check state, which moves with it.
class TCheckListStrings : public TStrings {
 public:
  explicit TCheckListStrings(TCheckListBox* ListBox) : FListBox(ListBox) {}
  int Count() const override { return static_cast<int>(FItems.size()); }
  AnsiString Get(int Index) const override;
  void Put(int Index, const AnsiString& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  void Insert(int Index, const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;

 protected:
  void SetUpdateState(bool Updating) override;

 private:
  friend class TCheckListBox;
  struct TItem {
    AnsiString Text;
    TObject* Data = nullptr;
    bool Checked = false;
  };
  void Check(int Index) const {
    if (Index < 0 || Index >= Count()) Error(Index);
  }
  void Changed();

  TCheckListBox* FListBox;
  std::vector<TItem> FItems;
};

class TCheckListBox : public TCustomControl {
  QUENDREL_CLASS(TCheckListBox, TCustomControl)
 public:
  explicit TCheckListBox(TComponent* AOwner);
  ~TCheckListBox() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int Count() const { return FItems->Count(); }
  // Raise EListError for an index outside the items.
  bool Checked(int Index) const;
  void SetChecked(int Index, bool Value);
  // -1: none selected.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Value);
  // From the font when not set.
  int ItemHeight() const;
  void SetItemHeight(int Value);
  // Whole items that fit in the box (at least one).
  int VisibleItemCount();
  // The item under a point of the client area; -1 when none.
  int ItemAtPos(TPoint Pos);
  TRect ItemRect(int Index);
  // The check box of an item's rectangle.
  static TRect CheckRect(const TRect& ItemRect);

  // After the user ticked or cleared an item.
  TNotifyEvent OnClickCheck;

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WMGetDlgCode(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;

 private:
  friend class TCheckListStrings;
  void ItemsChanged();
  void ToggleByUser(int Index);
  void ScrollIntoView(int Index);
  void DrawCheck(TCanvas* Canvas, const TRect& Box, bool Checked);

  std::unique_ptr<TCheckListStrings> FItems;
  int FItemIndex = -1;
  int FTopIndex = 0;
  int FItemHeight = 0;
};
