#include "classlib/data/DataSet.h"

#include <algorithm>

#include "classlib/core/SysUtils.h"
#include "classlib/data/DataSource.h"

QUENDREL_REGISTER_CLASS(TDataSet, TComponent) {
  c.Property("Active", &TDataSet::Active, &TDataSet::SetActive).Default(0);
  c.Event("BeforeOpen", &TDataSet::BeforeOpen);
  c.Event("AfterOpen", &TDataSet::AfterOpen);
  c.Event("BeforeClose", &TDataSet::BeforeClose);
  c.Event("AfterClose", &TDataSet::AfterClose);
  c.Event("BeforeEdit", &TDataSet::BeforeEdit);
  c.Event("AfterEdit", &TDataSet::AfterEdit);
  c.Event("BeforeInsert", &TDataSet::BeforeInsert);
  c.Event("AfterInsert", &TDataSet::AfterInsert);
  c.Event("BeforePost", &TDataSet::BeforePost);
  c.Event("AfterPost", &TDataSet::AfterPost);
  c.Event("BeforeCancel", &TDataSet::BeforeCancel);
  c.Event("AfterCancel", &TDataSet::AfterCancel);
  c.Event("BeforeDelete", &TDataSet::BeforeDelete);
  c.Event("AfterDelete", &TDataSet::AfterDelete);
  c.Event("AfterScroll", &TDataSet::AfterScroll);
  c.Event("OnNewRecord", &TDataSet::OnNewRecord);
}

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
  // Descendants close themselves while their store still exists; here only the links are let go.
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
}

void TDataSet::SetActive(bool Value) {
  if (ComponentState().Contains(csLoading)) {
    FStreamedActive = Value;
    return;
  }
  if (Value == Active()) return;
  if (Value) {
    Notify(BeforeOpen);
    FRecords.clear();
    DestroyFields();
    try {
      InternalOpen();
    } catch (...) {
      InternalClose();
      DestroyFields();
      FRecords.clear();
      throw;
    }
    FCurrent = 0;
    FBof = true;
    FEof = FRecords.empty();
    FModified = false;
    SetState(dsBrowse);
    Notify(AfterOpen);
  } else {
    Notify(BeforeClose);
    if (FState == dsEdit || FState == dsInsert) Cancel();
    SetState(dsInactive);
    InternalClose();
    DestroyFields();
    FRecords.clear();
    FBof = FEof = true;
    Notify(AfterClose);
  }
}

void TDataSet::Loaded() {
  inherited::Loaded();
  if (FStreamedActive) SetActive(true);
}

void TDataSet::SetState(TDataSetState Value) {
  if (FState == Value) return;
  FState = Value;
  DataEvent(deUpdateState);
}

void TDataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckCanModify() const {
  if (!CanModify()) throw EDatabaseError("Cannot modify a read-only dataset");
}

void TDataSet::SetReadOnly(bool Value) {
  FReadOnly = Value;
  DataEvent(deUpdateState); // links re-evaluate whether they may edit
}

void TDataSet::DoScroll(int Distance) {
  DataEvent(deDataSetScroll, Distance);
  Notify(AfterScroll);
}

void TDataSet::First() {
  CheckActive();
  CheckBrowseMode();
  const int old = FCurrent;
  FCurrent = 0;
  FBof = true;
  FEof = FRecords.empty();
  DoScroll(FCurrent - old);
}

void TDataSet::Last() {
  CheckActive();
  CheckBrowseMode();
  const int old = FCurrent;
  FCurrent = std::max(0, static_cast<int>(FRecords.size()) - 1);
  FEof = true;
  FBof = FRecords.empty();
  DoScroll(FCurrent - old);
}

int TDataSet::MoveBy(int Distance) {
  CheckActive();
  CheckBrowseMode();
  const int count = static_cast<int>(FRecords.size());
  if (count == 0) {
    FBof = FEof = true;
    return 0;
  }
  const int target = std::clamp(FCurrent + Distance, 0, count - 1);
  const int moved = target - FCurrent;
  FCurrent = target;
  // Bof and Eof are set only by trying to move past an end; moving away from an end clears its flag.
  if (Distance > 0) {
    FBof = false;
    FEof = moved < Distance;
  } else if (Distance < 0) {
    FEof = false;
    FBof = moved > Distance;
  }
  if (moved != 0 || Distance == 0) DoScroll(moved);
  return moved;
}

int TDataSet::RecNo() const {
  if (!Active() || FState == dsInsert || FRecords.empty()) return -1;
  return FCurrent + 1;
}

void TDataSet::SetRecNo(int Value) {
  CheckActive();
  CheckBrowseMode();
  const int count = static_cast<int>(FRecords.size());
  if (count == 0) return;
  const int target = std::clamp(Value - 1, 0, count - 1);
  if (target == FCurrent) return;
  const int old = FCurrent;
  FCurrent = target;
  FBof = FEof = false;
  DoScroll(target - old);
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  CheckActive();
  CheckCanModify();
  if (FRecords.empty()) return Insert();
  Notify(BeforeEdit);
  FBuffer = FRecords[FCurrent];
  FModified = false;
  FSavedBof = FBof;
  FSavedEof = FEof;
  SetState(dsEdit);
  Notify(AfterEdit);
}

void TDataSet::BeginInsert(int Position) {
  CheckActive();
  CheckBrowseMode();
  CheckCanModify();
  Notify(BeforeInsert);
  FSavedCurrent = FCurrent;
  FSavedBof = FBof;
  FSavedEof = FEof;
  FInsertPos = Position;
  FBuffer = TDataRecord();
  FBuffer.Values.resize(FFields.size());
  FModified = false;
  FBof = FEof = false;
  SetState(dsInsert);
  DataEvent(deDataSetChange);
  Notify(OnNewRecord);
  Notify(AfterInsert);
}

void TDataSet::Insert() {
  CheckActive();
  BeginInsert(FRecords.empty() ? 0 : FCurrent);
}

void TDataSet::Append() {
  CheckActive();
  BeginInsert(static_cast<int>(FRecords.size()));
}

void TDataSet::UpdateRecord() {
  if (FState != dsEdit && FState != dsInsert) throw EDatabaseError("Dataset not in edit or insert mode");
  DataEvent(deUpdateRecord);
}

void TDataSet::FocusControl(TField* Field) {
  DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&Field));
}

void TDataSet::Post() {
  if (FState != dsEdit && FState != dsInsert) throw EDatabaseError("Dataset not in edit or insert mode");
  UpdateRecord();
  PostRecord();
}

void TDataSet::PostRecord() {
  Notify(BeforePost);
  const bool inserting = FState == dsInsert;
  InternalPost(FBuffer, inserting); // a refusal raises and the edit stays open
  if (inserting) {
    FRecords.insert(FRecords.begin() + FInsertPos, FBuffer);
    FCurrent = FInsertPos;
  } else {
    FRecords[FCurrent] = FBuffer;
  }
  FModified = false;
  if (inserting)
    FBof = FEof = false;
  else {
    FBof = FSavedBof;
    FEof = FSavedEof;
  }
  SetState(dsBrowse);
  DataEvent(deDataSetChange);
  Notify(AfterPost);
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  Notify(BeforeCancel);
  if (FState == dsInsert) FCurrent = FSavedCurrent;
  FModified = false;
  FBof = FSavedBof;
  FEof = FSavedEof;
  SetState(dsBrowse);
  DataEvent(deDataSetChange);
  Notify(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert) return Cancel();
  if (FRecords.empty()) throw EDatabaseError("Cannot perform this operation on an empty dataset");
  CheckCanModify();
  Notify(BeforeDelete);
  InternalDelete(FRecords[FCurrent]);
  FRecords.erase(FRecords.begin() + FCurrent);
  const int count = static_cast<int>(FRecords.size());
  if (FCurrent >= count) FCurrent = std::max(0, count - 1);
  FModified = false;
  FBof = FEof = count == 0;
  SetState(dsBrowse);
  DataEvent(deDataSetChange);
  Notify(AfterDelete);
}

void TDataSet::Refresh() {
  CheckActive();
  CheckBrowseMode();
  DataEvent(deDataSetChange);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode);
  if (FState == dsEdit || FState == dsInsert) {
    UpdateRecord(); // once: the links' values decide whether there is anything to post
    if (FModified)
      PostRecord();
    else
      Cancel();
  }
}

TField* TDataSet::Fields(int Index) const {
  if (Index < 0 || Index >= FieldCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FFields[Index].get();
}

TField* TDataSet::FindField(const AnsiString& FieldName) const {
  for (const auto& f : FFields)
    if (SameText(f->FieldName(), FieldName)) return f.get();
  return nullptr;
}

TField* TDataSet::FieldByName(const AnsiString& FieldName) const {
  TField* f = FindField(FieldName);
  if (!f) throw EDatabaseError(Format("Field '%s' not found", FieldName.c_str()));
  return f;
}

TField* TDataSet::AddField(std::unique_ptr<TField> Field) {
  Field->SetDataSet(this, FieldCount());
  FFields.push_back(std::move(Field));
  return FFields.back().get();
}

void TDataSet::DestroyFields() {
  const bool had = !FFields.empty();
  FFields.clear();
  if (had) DataEvent(deLayoutChange);
}

TFieldValue TDataSet::GetFieldData(const TField* Field) const {
  const int i = Field->Index();
  if (FState == dsEdit || FState == dsInsert) return FBuffer.Values.at(i);
  if (!Active() || FRecords.empty()) return {};
  return FRecords[FCurrent].Values.at(i);
}

void TDataSet::SetFieldData(TField* Field, const TFieldValue& Value) {
  if (FState != dsEdit && FState != dsInsert) throw EDatabaseError("Dataset not in edit or insert mode");
  if (Field->ReadOnly())
    throw EDatabaseError(Format("Field '%s' cannot be modified", Field->FieldName().c_str()));
  FBuffer.Values.at(Field->Index()) = Value;
  FModified = true;
  DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
}

void TDataSet::DisableControls() {
  if (FDisableCount++ == 0) {
    FChangedWhileDisabled = false;
    FDisabledState = FState;
  }
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0 || --FDisableCount > 0) return;
  if (FState != FDisabledState) DataEvent(deUpdateState);
  if (FChangedWhileDisabled || FState != FDisabledState) DataEvent(deDataSetChange);
}

void TDataSet::DataEvent(TDataEvent Event, intptr_t Info) {
  if (FDisableCount > 0 && Event != deUpdateRecord && Event != deCheckBrowseMode) {
    // Controls catch up once, when they are enabled again; state changes they see at once only while enabled.
    FChangedWhileDisabled = true;
    return;
  }
  const std::vector<TDataSource*> sources = FDataSources;
  for (TDataSource* s : sources) s->DataEvent(Event, Info);
}

void TDataSet::AddDataSource(TDataSource* Source) {
  if (std::find(FDataSources.begin(), FDataSources.end(), Source) == FDataSources.end())
    FDataSources.push_back(Source);
}

void TDataSet::RemoveDataSource(TDataSource* Source) {
  std::erase(FDataSources, Source);
}
