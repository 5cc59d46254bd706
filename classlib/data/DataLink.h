#pragma once
// Data links: what a data-aware control holds to follow a data source. TDataLink turns the data set's events
// into virtual calls; TFieldDataLink follows one field and turns them into events for its control.
#include "classlib/core/Component.h"
#include "classlib/data/DataSource.h"

class TBasicAction;

class TDataLink : public TPersistent {
 public:
  TDataLink() = default;
  ~TDataLink() override;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value) { FBufferCount = Value < 1 ? 1 : Value; }
  int ActiveRecord() const { return 0; } // one record is buffered: the current one
  int RecordCount() const { return FActive && DataSet() && !DataSet()->IsEmpty() ? 1 : 0; }
  bool VisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }

  bool Edit();         // asks the data source to edit; true when the link is editing afterwards
  void UpdateRecord(); // writes the control's value now (UpdateData)

  // Data-set actions aimed at this link's data set; none are defined yet, so nothing is handled.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

  // Called by the data source.
  void UpdateState();
  void DataEvent(TDataEvent Event, intptr_t Info);

 protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int Distance) {
    (void)Distance;
    DataSetChanged();
  }
  virtual void FocusControl(TField** Field) { (void)Field; }
  virtual void EditingChanged() {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* Field) { (void)Field; }
  virtual void UpdateData() {}

 private:
  TDataSource* FDataSource = nullptr;
  int FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FVisualControl = false;
  bool FUpdating = false;
};

class TFieldDataLink : public TDataLink {
 public:
  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value);
  TField* Field() const { return FField; }
  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }
  bool CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

  bool Edit(); // false without a modifiable field
  void Modified() { FModified = true; }
  bool IsModified() const { return FModified; }
  void Reset(); // throws away the control's change: the field's value goes back to the control

  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void LayoutChanged() override;
  void FocusControl(TField** Field) override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  void UpdateField();
  void SetField(TField* Value);

  AnsiString FFieldName;
  TField* FField = nullptr;
  TComponent* FControl = nullptr;
  bool FModified = false;
};
