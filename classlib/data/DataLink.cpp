#include "classlib/data/DataLink.h"

#include "classlib/controls/ActnList.h"
#include "classlib/controls/WinControl.h"

TDataLink::~TDataLink() {
  SetDataSource(nullptr);
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
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
  if (active != FActive) {
    FActive = active;
    ActiveChanged();
  }
  const bool editing = active && !FReadOnly && (state == dsEdit || state == dsInsert);
  if (editing != FEditing) {
    FEditing = editing;
    EditingChanged();
  }
}

bool TDataLink::ExecuteAction(TBasicAction* Action) {
  (void)Action;
  return false;
}

bool TDataLink::UpdateAction(TBasicAction* Action) {
  (void)Action;
  return false;
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
    DataSetChanged();
    break;
  case deDataSetScroll:
    DataSetScrolled(static_cast<int>(Info));
    break;
  case deLayoutChange:
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
