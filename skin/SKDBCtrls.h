#pragma once
// Skinned controls bound to a field of a data set: each owns a field data link and maps the field's value
// to its own state itself.
#include <memory>

#include "classlib/controls/PaintControl.h"
#include "classlib/core/StringList.h"
#include "classlib/data/DataLink.h"
#include "skin/SKButton.h"
#include "skin/SKRadioGroup.h"

class TBasicAction;

class TskDBCheckBox : public TskCheckBox {
  QUENDREL_CLASS(TskDBCheckBox, TskCheckBox)
 public:
  explicit TskDBCheckBox(TComponent* AOwner);
  ~TskDBCheckBox() override;

  AnsiString DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
  TDataSource* DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }
  void SetDataSource(TDataSource* Value);
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
  AnsiString ValueChecked() const { return FValueCheck; }
  void SetValueChecked(const AnsiString& Value);
  AnsiString ValueUnchecked() const { return FValueUncheck; }
  void SetValueUnchecked(const AnsiString& Value);
  TField* Field() const { return FDataLink->Field(); }

  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  bool UseRightToLeftAlignment() const override;
  TCheckBoxState GetFieldState() const;
  bool ValueMatch(const AnsiString& ValueList, const AnsiString& Value) const;
  virtual void CMGetDataLink(TMessage& Message);

 protected:
  void Toggle() override;
  void DoClick() override;
  void KeyPress(char& Key) override;
  void WMPaint(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  // The paint control's window goes whenever the box is made, moved or sized, or its caption or font change.
  void WndProc(TMessage& Message) override;

 private:
  void DataChange(TObject* Sender);
  void UpdateData(TObject* Sender);

  std::unique_ptr<TFieldDataLink> FDataLink;
  std::unique_ptr<TPaintControl> FPaintControl;
  AnsiString FValueCheck = "True";
  AnsiString FValueUncheck = "False";
  bool FToggleRefused = false;
};

class TskDBRadioGroup : public TskRadioGroup {
  QUENDREL_CLASS(TskDBRadioGroup, TskRadioGroup)
 public:
  explicit TskDBRadioGroup(TComponent* AOwner);
  ~TskDBRadioGroup() override;

  AnsiString DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
  TDataSource* DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }
  void SetDataSource(TDataSource* Value);
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
  TStrings* Items() const { return TskRadioGroup::Items(); }
  void SetItems(TStrings* Value);
  TStrings* Values() const { return FValues.get(); }
  void SetValues(TStrings* Value);
  AnsiString Value() const { return FValue; }
  void SetValue(const AnsiString& Value);
  TField* Field() const { return FDataLink->Field(); }

  TNotifyEvent OnChange;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  bool UseRightToLeftAlignment() const override;
  virtual void CMGetDataLink(TMessage& Message);
  AnsiString GetButtonValue(int Index) const;
  void NewClick() override;
  bool CanModify() override;

 protected:
  virtual void Change();
  void KeyPress(char& Key) override;
  void CMExit(TMessage& Message) override;

 private:
  void DataChange(TObject* Sender);
  void UpdateData(TObject* Sender);
  void SelectValue(const AnsiString& Value);
  void Reread();

  std::unique_ptr<TFieldDataLink> FDataLink;
  AnsiString FValue;
  std::unique_ptr<TStringList> FValues;
  bool FInSetValue = false;
};
