#pragma once
// TCustomComboBox: an edit field (or, as a drop-down list, the chosen item's text) with a button that drops
// down the list of items in a pop-up window under it. Items go through the combo box messages (CB_*); the
// system's GetComboBoxInfo describes where its parts are.
#include <memory>

#include "classlib/controls/Edit.h"
#include "classlib/controls/ListBox.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };
extern const TEnumInfo ComboBoxStyleNames;

class TCustomComboBox;

// The edit field of a drop-down combo box: a child window whose keys the combo box sees first.
class TComboEdit : public TCustomEdit {
  QUENDREL_CLASS(TComboEdit, TCustomEdit)
 public:
  TComboEdit(TComponent* AOwner, TCustomComboBox* Combo);
  TCustomComboBox* Combo() const { return FCombo; }
  void WMKeyDown(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;

 protected:
  bool EditCanModify() override;
  void Change() override;

 private:
  TCustomComboBox* FCombo;
};

// The drop-down list: a pop-up window that tracks the mouse while it is shown.
class TComboListBox : public TCustomListBox {
  QUENDREL_CLASS(TComboListBox, TCustomListBox)
 public:
  TComboListBox(TComponent* AOwner, TCustomComboBox* Combo);
  void WMLButtonDown(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMLButtonUp(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  TCustomComboBox* FCombo;
};

class TComboBoxStrings : public TStrings {
 public:
  explicit TComboBoxStrings(TCustomComboBox* Combo) : FCombo(Combo) {}
  int Count() const override;
  AnsiString Get(int Index) const override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  int Add(const AnsiString& S) override;
  void Insert(int Index, const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const AnsiString& S) const override;

 private:
  TCustomComboBox* FCombo;
};

// What GetComboBoxInfo reports: the item and button rectangles in client coordinates, the button's state
// (STATE_SYSTEM_PRESSED while the list is down) and the three windows.
struct COMBOBOXINFO {
  DWORD cbSize = sizeof(COMBOBOXINFO);
  TRect rcItem;
  TRect rcButton;
  DWORD stateButton = 0;
  HWND hwndCombo = nullptr;
  HWND hwndItem = nullptr;
  HWND hwndList = nullptr;
};
// Found by name through GetProcAddress.
BOOL GetComboBoxInfo(HWND Wnd, COMBOBOXINFO* Info);

class TCustomComboBox : public TCustomControl {
  QUENDREL_CLASS(TCustomComboBox, TCustomControl)
 public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  TStrings* Items() const { return FItemsStrings.get(); }
  void SetItems(TStrings* Value) { FItemsStrings->Assign(Value); }
  int ItemIndex() const;
  void SetItemIndex(int Value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = std::max(1, Value); }
  bool DroppedDown() const { return FDropped; }
  void SetDroppedDown(bool Value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool Sorted() const { return FList->Sorted(); }
  void SetSorted(bool Value) { FList->SetSorted(Value); }
  AnsiString GetText() const override;
  void SetText(const AnsiString& Value) override;
  void SelectAll();

  // The parts, in client coordinates.
  TRect ButtonRect();
  TRect ItemRect();
  TComboEdit* EditControl() const { return FEdit; }
  TComboListBox* ListControl() const { return FList.get(); }

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  // Closes the list; Accept takes the item it highlights as the user's choice.
  void CloseUp(bool Accept);
  void DropDown();
  // The edit field asks: a key for the combo box; true when the combo box used it.
  bool EditKeyDown(TMessage& Message);
  bool EditChar(TMessage& Message);
  void EditChanged();
  virtual bool EditCanModify() { return true; }

  void Paint() override;
  void WMSize(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMKeyDown(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMLButtonDblClk(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  // Messages the base classes do not know, in the class's message table.
  virtual void ComboMessage(TMessage& Message); // CB_*
  virtual void CNCommand(TMessage& Message);
  virtual void WMCut(TMessage& Message);
  virtual void WMCopy(TMessage& Message);
  virtual void WMPaste(TMessage& Message);
  virtual void WMClear(TMessage& Message);
  virtual void WMUndo(TMessage& Message);

 protected:
  void CreateWnd() override;
  virtual void Change();
  virtual void Select();
  // Tells the combo box of a selection change or of its list (CBN_*), as the system reports them.
  void Notify(WORD Code);

 private:
  void PlaceEdit();
  // A choice by the user: the item is taken and reported.
  void ChooseItem(int Index);
  void ShowSelected();
  bool NavigationKey(WORD Key, TShiftState Shift);

  TComboBoxStyle FStyle = csDropDown;
  TComboEdit* FEdit = nullptr;          // owned as a child control
  std::unique_ptr<TComboListBox> FList; // the pop-up list; it has no parent
  std::unique_ptr<TComboBoxStrings> FItemsStrings;
  int FDropDownCount = 8;
  int FMaxLength = 0;
  bool FDropped = false;
  int FDropIndex = -1; // the item chosen when the list dropped down
  bool FClosing = false;
};

class TComboBox : public TCustomComboBox {
  QUENDREL_CLASS(TComboBox, TCustomComboBox)
 public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};
