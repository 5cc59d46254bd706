#include "classlib/data/DataLink.h"

#include <algorithm>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/WinControl.h"

TDataLink::~TDataLink() {
  SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSourceFixed) throw EDatabaseError("The data source of this link is fixed");
  if (FDataSource) FDataSource->RemoveDataLink(this);
  FDataSource = Value;
  if (FDataSource) FDataSource->AddDataLink(this);
  UpdateState();
}

void TDataLink::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  UpdateState();
}

void TDataLink::UpdateState() {
  const TDataSetState state = FDataSource ? FDataSource->State() : dsInactive;
  const bool active = state != dsInactive;
  if (active && FActive) UpdateWindow(); // an insert adds a record to the buffer before it is announced
  if (active != FActive) {
    FActive = active;
    FFirstRecord = 0;
    UpdateWindow();
    ActiveChanged();
  }
  const bool editing = active && !FReadOnly && (state == dsEdit || state == dsInsert);
  if (editing != FEditing) {
    FEditing = editing;
    EditingChanged();
  }
}

bool TDataLink::ExecuteAction(TBasicAction* Action) {
  return FDataSource && FDataSource->ExecuteAction(Action);
}

bool TDataLink::UpdateAction(TBasicAction* Action) {
  return FDataSource && FDataSource->UpdateAction(Action);
}

void TDataLink::SetBufferCount(int Value) {
  FBufferCount = Value < 1 ? 1 : Value;
  UpdateWindow();
}

int TDataLink::UpdateWindow() {
  const int old = FFirstRecord;
  TDataSet* ds = FActive ? DataSet() : nullptr;
  const int current = ds ? ds->DisplayCurrent() : -1;
  if (current < 0) {
    FFirstRecord = 0;
  } else {
    if (current < FFirstRecord) FFirstRecord = current;
    if (current >= FFirstRecord + FBufferCount) FFirstRecord = current - FBufferCount + 1;
    // Fill the buffer from the end rather than leave rows empty.
    const int count = ds->DisplayCount();
    if (FFirstRecord + FBufferCount > count) FFirstRecord = std::max(0, count - FBufferCount);
  }
  return FFirstRecord - old;
}

int TDataLink::ActiveRecord() const {
  TDataSet* ds = FActive ? DataSet() : nullptr;
  if (!ds) return 0;
  const int shown = ds->DisplayRecord() >= 0 ? ds->DisplayRecord() : ds->DisplayCurrent();
  return shown < 0 ? 0 : shown - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
  TDataSet* ds = FActive ? DataSet() : nullptr;
  if (!ds) return;
  const int index = FFirstRecord + Value;
  ds->SetDisplayRecord(index == ds->DisplayCurrent() || index < 0 || index >= ds->DisplayCount() ? -1
                                                                                                 : index);
}

int TDataLink::RecordCount() const {
  TDataSet* ds = FActive ? DataSet() : nullptr;
  if (!ds) return 0;
  return std::clamp(ds->DisplayCount() - FFirstRecord, 0, FBufferCount);
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  if (FUpdating) return;
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TDataLink::DataEvent(TDataEvent Event, intptr_t Info) {
  switch (Event) {
  case deFieldChange:
  case deRecordChange:
    if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
    break;
  case deDataSetChange:
    UpdateWindow();
    DataSetChanged();
    break;
  case deDataSetScroll:
    DataSetScrolled(UpdateWindow());
    break;
  case deLayoutChange:
    UpdateWindow();
    LayoutChanged();
    break;
  case deUpdateRecord:
    UpdateRecord();
    break;
  case deCheckBrowseMode:
    CheckBrowseMode();
    break;
  case deFocusControl:
    FocusControl(reinterpret_cast<TField**>(Info));
    break;
  case deUpdateState:
    UpdateState();
    break;
  }
}

void TFieldDataLink::SetFieldName(const AnsiString& Value) {
  if (FFieldName == Value) return;
  FFieldName = Value;
  UpdateField();
}

void TFieldDataLink::SetField(TField* Value) {
  if (FField == Value) return;
  FField = Value;
  EditingChanged();
  RecordChanged(nullptr);
}

void TFieldDataLink::UpdateField() {
  TDataSet* ds = DataSet();
  SetField(Active() && ds && !FFieldName.empty() ? ds->FieldByName(FFieldName) : nullptr);
}

bool TFieldDataLink::Edit() {
  if (CanModify()) TDataLink::Edit();
  return Editing();
}

void TFieldDataLink::Reset() {
  RecordChanged(nullptr);
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() {
  if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLink::LayoutChanged() {
  if (Active()) UpdateField();
  TDataLink::LayoutChanged();
}

void TFieldDataLink::FocusControl(TField** Field) {
  if (!*Field || *Field != FField) return;
  auto* control = dynamic_cast<TWinControl*>(FControl);
  if (control && control->CanFocus()) {
    control->SetFocus();
    *Field = nullptr; // handled: later links leave it alone
  }
}

void TFieldDataLink::RecordChanged(TField* Field) {
  if (Field && Field != FField) return;
  if (OnDataChange) OnDataChange(this);
  FModified = false;
}

void TFieldDataLink::UpdateData() {
  if (!FModified) return;
  if (FField && OnUpdateData) OnUpdateData(this);
  FModified = false;
}
