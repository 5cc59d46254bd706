#pragma once
// Data-aware controls: an edit, a memo, an image, a list box and a combo box that show and edit one field of
// the current record, and the lookup list and combo boxes that choose a key from the records of another data
// set. Each follows its field through a TFieldDataLink, starts editing the data set when the user changes
// something, writes the field when the record is posted, and answers CM_GETDATALINK with its link.
#include <memory>
#include <type_traits>

#include "classlib/controls/ComboBox.h"
#include "classlib/controls/Edit.h"
#include "classlib/controls/ListBox.h"
#include "classlib/data/DataLink.h"
#include "classlib/graphics/Picture.h"

class TBasicAction;

// The rule for a data-aware control: right-to-left alignment on a right-to-left locale, for a field that is
// aligned as text is (to the left) or without a field.
bool DBUseRightToLeftAlignment(const TControl* Control, const TField* Field);
// Whether a typed character is one that goes into the text.
inline bool DBPrintableKey(char Key) {
  return static_cast<unsigned char>(Key) >= 32;
}

// What every single-field control adds to its base: a field data link bound to it, its published
// DataField, DataSource and ReadOnly, the free notification of the data source, the data-set actions its
// link takes, the field's alignment rule, and the answer to CM_GETDATALINK.
template <class Base> class TDBFieldControl : public Base {
 public:
  explicit TDBFieldControl(TComponent* AOwner) : Base(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
    FDataLink->SetControl(this);
    this->ControlStyle.Include(csReplicatable);
  }
  // The link goes before the control, silenced first: no event of it may run on a half-destroyed control.
  ~TDBFieldControl() override {
    FDataLink->OnDataChange = nullptr;
    FDataLink->OnEditingChange = nullptr;
    FDataLink->OnUpdateData = nullptr;
    FDataLink->OnActiveChange = nullptr;
    FDataLink.reset();
  }

  AnsiString DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
  TDataSource* DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }
  // A fixed data source is not replaced while the control loads; a new one is asked to tell of its removal.
  void SetDataSource(TDataSource* Value) {
    if (!(FDataLink->DataSourceFixed() && this->ComponentState().Contains(csLoading)))
      FDataLink->SetDataSource(Value);
    if (Value) Value->FreeNotification(this);
  }
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
  TField* Field() const { return FDataLink->Field(); }
  TFieldDataLink* Link() const { return FDataLink.get(); }

  bool ExecuteAction(TBasicAction* Action) override {
    return Base::ExecuteAction(Action) || (FDataLink && FDataLink->ExecuteAction(Action));
  }
  bool UpdateAction(TBasicAction* Action) override {
    return Base::UpdateAction(Action) || (FDataLink && FDataLink->UpdateAction(Action));
  }
  bool UseRightToLeftAlignment() const override { return DBUseRightToLeftAlignment(this, Field()); }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    Base::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
  }
  // Each concrete class lists it in its message table.
  virtual void CMGetDataLink(TMessage& Message) {
    Message.Result = reinterpret_cast<LRESULT>(FDataLink.get());
  }

 protected:
  std::unique_ptr<TFieldDataLink> FDataLink;
};

// The editing rules of a field control the user types into (an edit, a memo). It is read-only except while
// its data set is being edited; whatever would change the text (a character, Backspace, Ctrl+V, Ctrl+X,
// Delete, Shift+Insert, a cut, paste or undo, and Enter in a memo) first puts the data set into edit state,
// and a change is refused when that fails. Escape gives the field's value back (an edit selects it all and
// takes the key).
template <class Base> class TDBTextControl : public TDBFieldControl<Base> {
 public:
  explicit TDBTextControl(TComponent* AOwner) : TDBFieldControl<Base>(AOwner) {
    Base::SetReadOnly(true);
    this->Link()->OnEditingChange = [this](TObject*) { Base::SetReadOnly(!this->Link()->Editing()); };
  }

  void WMCut(TMessage& Message) override {
    this->Link()->Edit();
    Base::WMCut(Message);
  }
  void WMPaste(TMessage& Message) override {
    this->Link()->Edit();
    Base::WMPaste(Message);
  }
  void WMUndo(TMessage& Message) override {
    this->Link()->Edit();
    Base::WMUndo(Message);
  }

 protected:
  bool EditCanModify() override { return this->Link()->Edit(); }
  void Change() override {
    this->Link()->Modified();
    Base::Change();
  }
  void KeyDown(WORD& Key, TShiftState Shift) override {
    Base::KeyDown(Key, Shift);
    if (Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift))) this->Link()->Edit();
  }
  void KeyPress(char& Key) override {
    constexpr bool memo = std::is_base_of_v<TCustomMemo, Base>;
    Base::KeyPress(Key);
    if (DBPrintableKey(Key) || Key == 8 || Key == 22 || Key == 24 || (memo && Key == 13)) {
      this->Link()->Edit();
    } else if (Key == 27) {
      this->Link()->Reset();
      if constexpr (!memo) {
        this->SelectAll();
        Key = 0;
      }
    }
  }
};

class TDBEdit : public TDBTextControl<TCustomEdit> {
  QUENDREL_CLASS(TDBEdit, TDBTextControl<TCustomEdit>)
 public:
  explicit TDBEdit(TComponent* AOwner);

  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

 private:
  void DataChange(TObject* Sender);
  void UpdateData(TObject* Sender);
  void SetFocused(bool Value);

  bool FFocused = false;
};

class TDBMemo : public TDBTextControl<TCustomMemo> {
  QUENDREL_CLASS(TDBMemo, TDBTextControl<TCustomMemo>)
 public:
  explicit TDBMemo(TComponent* AOwner);

  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

 private:
  void DataChange(TObject* Sender);
  void UpdateData(TObject* Sender);

  bool FFocused = false;
};

// Shows a picture field (BMP or JPEG bytes), stretched or centred; the picture is decoded once, when the
// field's value changes, never while painting.
class TDBImage : public TDBFieldControl<TCustomControl> {
  QUENDREL_CLASS(TDBImage, TDBFieldControl<TCustomControl>)
 public:
  explicit TDBImage(TComponent* AOwner);

  TPicture* Picture() const { return FPicture.get(); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // How many times the field's bytes were decoded: once per value shown.
  int LoadCount() const { return FLoadCount; }
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();

  void Paint() override;
  void WMNCPaint(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  virtual void WMCopy(TMessage& Message);
  virtual void WMCut(TMessage& Message);
  virtual void WMPaste(TMessage& Message);
  void CMEnter(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;

 private:
  void DataChange(TObject* Sender);
  void UpdateData(TObject* Sender);
  void LoadPicture();

  std::unique_ptr<TPicture> FPicture;
  AnsiString FLoadedBytes; // what the picture shows, so that an unchanged value is not decoded again
  bool FStretch = false;
  bool FCenter = true;
  TBorderStyle FBorderStyle = bsSingle;
  int FLoadCount = 0;
};

class TDBListBox : public TDBFieldControl<TCustomListBox> {
  QUENDREL_CLASS(TDBListBox, TDBFieldControl<TCustomListBox>)
 public:
  explicit TDBListBox(TComponent* AOwner);

  // New items are matched with the field at once.
  void SetItems(TStrings* Value);

  void Click() override;
  void WMLButtonDown(TMessage& Message) override;
  void CMExit(TMessage& Message) override;

 protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;

 private:
  void DataChange(TObject* Sender);
  void UpdateData(TObject* Sender);
};

class TDBComboBox : public TDBFieldControl<TCustomComboBox> {
  QUENDREL_CLASS(TDBComboBox, TDBFieldControl<TCustomComboBox>)
 public:
  explicit TDBComboBox(TComponent* AOwner);

  void SetItems(TStrings* Value);

  void CMExit(TMessage& Message) override;
  void CNCommand(TMessage& Message) override;
  bool EditCanModify() override;

 protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void Change() override;

 private:
  void DataChange(TObject* Sender);
  void EditingChange(TObject* Sender);
  void UpdateData(TObject* Sender);
};

class TDBLookupControl;

// The link to the records a lookup control lists: it buffers as many as the control shows.
class TDBLookupListLink : public TDataLink {
 public:
  explicit TDBLookupListLink(TDBLookupControl* Control) : FControl(Control) {}
  void Detach() { FControl = nullptr; } // the control goes: it hears nothing more

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void LayoutChanged() override;

 private:
  TDBLookupControl* FControl;
};

// What the lookup list and combo boxes share: the field whose key they set (DataField of DataSource), the
// records they list (ListSource, or the lookup data set of a lookup field), the key field of those records
// and the field they show.
class TDBLookupControl : public TCustomControl {
  QUENDREL_CLASS(TDBLookupControl, TCustomControl)
 public:
  explicit TDBLookupControl(TComponent* AOwner);
  ~TDBLookupControl() override;

  AnsiString DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value);
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TDataSource* ListSource() const { return FListSource; }
  void SetListSource(TDataSource* Value);
  const AnsiString& KeyField() const { return FKeyFieldName; }
  void SetKeyField(const AnsiString& Value);
  const AnsiString& ListField() const { return FListFieldName; }
  void SetListField(const AnsiString& Value);
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
  TField* Field() const { return FDataLink->Field(); }
  TFieldDataLink* Link() const { return FDataLink.get(); }
  TDBLookupListLink* ListLink() const { return FListLink.get(); }
  // The key chosen; null for none.
  const TFieldValue& KeyValue() const { return FKeyValue; }
  void SetKeyValue(const TFieldValue& Value);
  bool ListActive() const { return FListActive; }
  TDataSet* ListDataSet() const;
  TField* KeyFieldOf() const { return FKeyFieldObj; }
  TField* ListFieldOf() const { return FListFieldObj; }
  // The text of the chosen key's record.
  const AnsiString& SelectedText() const { return FText; }

  TNotifyEvent OnCloseUp;

  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CMExit(TMessage& Message) override;
  void WMGetDlgCode(TMessage& Message) override;
  virtual void CMGetDataLink(TMessage& Message);

  // Told by the list link.
  virtual void ListLinkActiveChanged();
  virtual void ListLinkDataChanged();

 protected:
  // The user chose a key: the data field takes it (the data set goes into edit mode), or without a data
  // field the control keeps it and reports a click.
  void SelectKeyValue(const TFieldValue& Value);
  virtual void KeyValueChanged();
  bool CanModify();
  void KeyPress(char& Key) override;
  // The key of the list record the list link points the fields at, and of a buffered row.
  TFieldValue RowKey() const;
  TFieldValue KeyOfRow(int Row) const;
  // The field the key is written to: the data field, or a lookup field's key field.
  TField* DataKeyField() const;

 private:
  void DataChange(TObject* Sender);
  void UpdateListFields();
  void UpdateData(TObject* Sender);

  std::unique_ptr<TFieldDataLink> FDataLink;
  std::unique_ptr<TDBLookupListLink> FListLink;
  std::unique_ptr<TDataSource> FLookupSource; // the lookup data set of a lookup field
  TDataSource* FListSource = nullptr;
  AnsiString FKeyFieldName, FListFieldName;
  TField* FKeyFieldObj = nullptr;
  TField* FListFieldObj = nullptr;
  TFieldValue FKeyValue;
  AnsiString FText;
  bool FListActive = false;
};

class TDBLookupListBox : public TDBLookupControl {
  QUENDREL_CLASS(TDBLookupListBox, TDBLookupControl)
 public:
  explicit TDBLookupListBox(TComponent* AOwner);

  int RowCount();
  int ItemHeight();
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

  void Paint() override;
  void WMNCPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMLButtonUp(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  virtual void WMVScroll(TMessage& Message);
  void ListLinkActiveChanged() override;
  void ListLinkDataChanged() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyValueChanged() override;
  void UpdateScrollRange();
  // Makes the record of the chosen key current in the list, so that the rows around it show.
  void ShowKey();
  int RowAt(int Y);
  bool FTracking = false;

 private:
  TBorderStyle FBorderStyle = bsSingle;
  bool FUpdatingBar = false;
};

class TDBLookupComboBox;

// The list a lookup combo box drops down.
class TPopupDataList : public TDBLookupListBox {
  QUENDREL_CLASS(TPopupDataList, TDBLookupListBox)
 public:
  TPopupDataList(TComponent* AOwner, TDBLookupComboBox* Combo);
  void WMLButtonDown(TMessage& Message) override;
  void WMLButtonUp(TMessage& Message) override;
  void WMMouseMove(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  TDBLookupComboBox* FCombo;
};

class TDBLookupComboBox : public TDBLookupControl {
  QUENDREL_CLASS(TDBLookupComboBox, TDBLookupControl)
 public:
  explicit TDBLookupComboBox(TComponent* AOwner);
  ~TDBLookupComboBox() override;

  int DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int Value) { FDropDownRows = std::max(1, Value); }
  bool ListVisible() const { return FListVisible; }
  TPopupDataList* DataList() const { return FDataList.get(); }
  void DropDown();
  void CloseUp(bool Accept);
  TRect ButtonRect();

  TNotifyEvent OnDropDown;

  void Paint() override;
  void WMNCPaint(TMessage& Message) override;
  void WMLButtonDown(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyValueChanged() override;

 private:
  std::unique_ptr<TPopupDataList> FDataList;
  int FDropDownRows = 7;
  bool FListVisible = false;
};
