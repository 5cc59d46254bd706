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
  // Raises EDatabaseError while the data source is fixed (a container that repeats a control per record
  // chose it).
  void SetDataSource(TDataSource* Value);
  bool DataSourceFixed() const { return FDataSourceFixed; }
  void SetDataSourceFixed(bool Value) { FDataSourceFixed = Value; }
  TDataSet* DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // A link buffers BufferCount records around the current one, as a grid shows them: the window starts at
  // the data set's record FirstRecord and follows the current record, moving no further than it must.
  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  int FirstRecord() const { return FFirstRecord; }
  // The position in the buffer of the record the fields show; setting it points the fields at another
  // buffered record (a grid painting its rows), and back at the current one when that is given.
  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  // Records in the buffer: BufferCount, or fewer at the end of the data set.
  int RecordCount() const;
  bool VisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }

  bool Edit();         // asks the data source to edit; true when the link is editing afterwards
  void UpdateRecord(); // writes the control's value now (UpdateData)

  // Data-set actions aimed at this link's data source: true when the action took it as its target.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

  // Called by the data source.
  void UpdateState();
  void DataEvent(TDataEvent Event, intptr_t Info);

 protected:
  virtual void ActiveChanged() {}
  // Distance is how far the buffer window moved (records), 0 when the current record moved inside it.
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
  int UpdateWindow(); // keeps the current record inside the buffer; answers how far the window moved

  TDataSource* FDataSource = nullptr;
  int FBufferCount = 1;
  int FFirstRecord = 0;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FVisualControl = false;
  bool FDataSourceFixed = false;
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
