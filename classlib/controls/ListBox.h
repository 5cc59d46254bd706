#pragma once
// TCustomListBox: a list of text items, one of them selected, scrolled by its vertical scroll bar, the
// keys and the mouse wheel. Its Items go through the list box messages (LB_*), so that a descendant sees
// every change; it reports a new selection and focus as LBN_* notifications, which reach it as CN_COMMAND.
#include <memory>
#include <vector>

#include "classlib/controls/CustomControl.h"
#include "classlib/controls/StdMessages.h"
#include "classlib/core/StringList.h"

class TCustomListBox;

// The items of a list box: every change is a message to it.
class TListBoxStrings : public TStrings {
 public:
  explicit TListBoxStrings(TCustomListBox* ListBox) : FListBox(ListBox) {}
  int Count() const override;
  AnsiString Get(int Index) const override;
  void Put(int Index, const AnsiString& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  int Add(const AnsiString& S) override;
  void Insert(int Index, const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;
  int IndexOf(const AnsiString& S) const override;

 protected:
  // Between BeginUpdate and EndUpdate the list box neither repaints nor resizes its scroll bar.
  void SetUpdateState(bool Updating) override;

 private:
  TCustomListBox* FListBox;
};

class TCustomListBox : public TCustomControl {
  QUENDREL_CLASS(TCustomListBox, TCustomControl)
 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings* Items() const { return FItemsStrings.get(); }
  void SetItems(TStrings* Value) { FItemsStrings->Assign(Value); }
  int Count() const { return static_cast<int>(FItems.size()); }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Value);
  int ItemHeight() const;
  void SetItemHeight(int Value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Whole items that fit in the client area (at least one).
  int VisibleItemCount();
  int ItemAtPos(TPoint Pos, bool Existing);
  TRect ItemRect(int Index);

  void Paint() override;
  void WMNCPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMKeyDown(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMLButtonDblClk(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMLButtonUp(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  // Messages the base classes do not know, in the class's message table.
  virtual void ListMessage(TMessage& Message); // LB_*
  virtual void WMVScroll(TMessage& Message);
  virtual void CNCommand(TMessage& Message);
  virtual void WMDeleteItem(TMessage& Message);
  // wParam 0 holds back painting and the scroll bar's range; nonzero brings both up to date.
  virtual void WMSetRedraw(TMessage& Message);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // Selects an item as the user does: the item is shown and the selection change reported.
  void SelectByUser(int Index);
  // Tells the list box of a selection change or of focus (LBN_*), as the system reports them.
  void Notify(WORD Code);
  void UpdateScrollRange();
  // False while WM_SETREDRAW holds painting back (the items are being changed in bulk).
  bool Redrawing() const { return FRedraw; }
  virtual void DrawItem(int Index, const TRect& Rect, bool Selected, bool Focused);
  // A value of a descendant's own for each item (a check list box's check state), 0 for a new item. It
  // stays with its item when the items are sorted or exchanged or an item's text is replaced. Raise
  // EListError for an index outside the items.
  int ItemState(int Index) const;
  void SetItemState(int Index, int Value);

 private:
  friend class TListBoxStrings;
  struct TItem {
    AnsiString Text;
    TObject* Data = nullptr;
    int State = 0;
  };
  int InsertItem(int Index, const AnsiString& Text);
  void CheckIndex(int Index) const;
  void ScrollIntoView(int Index);

  std::vector<TItem> FItems;
  std::unique_ptr<TListBoxStrings> FItemsStrings;
  int FItemIndex = -1;
  int FTopIndex = 0;
  int FItemHeight = 0; // 0: from the font
  bool FSorted = false;
  TBorderStyle FBorderStyle = bsSingle;
  bool FTracking = false; // the left button is down over the items
  bool FUpdatingBar = false;
  bool FRedraw = true;
};

class TListBox : public TCustomListBox {
  QUENDREL_CLASS(TListBox, TCustomListBox)
 public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};
