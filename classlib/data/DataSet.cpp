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
      CreateLookupFields();
    } catch (...) {
      InternalClose();
      DestroyFields();
      FRecords.clear();
      throw;
    }
    FCurrent = 0;
    FDisplayRecord = -1;
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

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (TLookupFieldDef& d : FLookupDefs)
    if (d.LookupDataSet == AComponent) d.LookupDataSet = nullptr;
  for (auto& f : FFields)
    if (f->LookupDataSet() == AComponent) f->SetLookupDataSet(nullptr);
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
  FBuffer.Values.resize(static_cast<size_t>(DataFieldCount()));
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
  const int64_t key = FRecords.empty() ? 0 : FRecords[FCurrent].Key;
  InternalRefresh();
  // Stay on the same record when the store still has it, else as near its place as the records allow.
  int at = -1;
  for (size_t i = 0; key != 0 && i < FRecords.size() && at < 0; ++i)
    if (FRecords[i].Key == key) at = static_cast<int>(i);
  const int count = static_cast<int>(FRecords.size());
  FCurrent = at >= 0 ? at : std::clamp(FCurrent, 0, std::max(0, count - 1));
  if (count == 0) FBof = FEof = true;
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
  FLookupFieldCount = 0;
  if (had) DataEvent(deLayoutChange);
}

int TDataSet::DisplayCount() const {
  if (!Active()) return 0;
  return static_cast<int>(FRecords.size()) + (FState == dsInsert ? 1 : 0);
}

int TDataSet::DisplayCurrent() const {
  if (!Active()) return -1;
  if (FState == dsInsert) return FInsertPos;
  return FRecords.empty() ? -1 : FCurrent;
}

const TDataRecord* TDataSet::DisplayedRecord() const {
  if (!Active()) return nullptr;
  int i = FDisplayRecord;
  if (i < 0 || i >= DisplayCount()) i = DisplayCurrent();
  if (i < 0) return nullptr;
  if (FState == dsInsert) {
    if (i == FInsertPos) return &FBuffer;
    if (i > FInsertPos) --i;
  } else if (FState == dsEdit && i == FCurrent) {
    return &FBuffer;
  }
  return &FRecords[i];
}

TFieldValue TDataSet::GetFieldData(const TField* Field) const {
  const TDataRecord* r = DisplayedRecord();
  const size_t i = static_cast<size_t>(Field->Index());
  if (!r || i >= r->Values.size()) return {};
  return r->Values[i];
}

std::vector<TField*> TDataSet::GetFieldList(const AnsiString& FieldNames) const {
  std::vector<TField*> out;
  for (const AnsiString& name : SplitFieldNames(FieldNames)) out.push_back(FieldByName(name));
  return out;
}

int TDataSet::FindRecord(const std::vector<TField*>& Fields, const TFieldValues& KeyValues,
                         TLocateOptions Options) const {
  if (Fields.empty() || Fields.size() != KeyValues.size()) return -1;
  for (size_t r = 0; r < FRecords.size(); ++r) {
    bool all = true;
    for (size_t k = 0; k < Fields.size() && all; ++k) {
      const auto i = static_cast<size_t>(Fields[k]->Index());
      const TFieldValue stored = i < FRecords[r].Values.size() ? FRecords[r].Values[i] : TFieldValue();
      all = FieldValuesMatch(stored, KeyValues[k], Options.Contains(loCaseInsensitive),
                             Options.Contains(loPartialKey));
    }
    if (all) return static_cast<int>(r);
  }
  return -1;
}

bool TDataSet::Locate(const AnsiString& KeyFields, const TFieldValues& KeyValues, TLocateOptions Options) {
  CheckActive();
  const std::vector<TField*> fields = GetFieldList(KeyFields);
  for (TField* f : fields)
    if (f->Lookup()) throw EDatabaseError(Format("Field '%s' cannot be searched", f->FieldName().c_str()));
  CheckBrowseMode();
  const int found = FindRecord(fields, KeyValues, Options);
  if (found < 0) return false;
  const int old = FCurrent;
  FCurrent = found;
  FBof = FEof = false;
  DoScroll(found - old);
  return true;
}

TFieldValue TDataSet::Lookup(const AnsiString& KeyFields, const TFieldValues& KeyValues,
                             const AnsiString& ResultField) const {
  if (!Active()) return {};
  const std::vector<TField*> fields = GetFieldList(KeyFields);
  for (TField* f : fields)
    if (f->Lookup()) return {};
  const TField* result = FieldByName(ResultField);
  const int found = FindRecord(fields, KeyValues, {});
  if (found < 0 || result->Lookup()) return {};
  const auto i = static_cast<size_t>(result->Index());
  return i < FRecords[found].Values.size() ? FRecords[found].Values[i] : TFieldValue();
}

void TDataSet::AddLookupField(const TLookupFieldDef& Def) {
  if (Active()) throw EDatabaseError("Cannot perform this operation on an open dataset");
  FLookupDefs.push_back(Def);
  if (Def.LookupDataSet) Def.LookupDataSet->FreeNotification(this);
}

void TDataSet::CreateLookupFields() {
  FLookupFieldCount = 0;
  for (const TLookupFieldDef& d : FLookupDefs) {
    std::unique_ptr<TField> f = CreateField(d.DataType);
    f->SetFieldName(d.Name);
    f->SetSize(d.Size);
    f->SetFieldKind(fkLookup);
    f->SetKeyFields(d.KeyFields);
    f->SetLookupDataSet(d.LookupDataSet);
    f->SetLookupKeyFields(d.LookupKeyFields);
    f->SetLookupResultField(d.LookupResultField);
    AddField(std::move(f));
    ++FLookupFieldCount;
  }
}

TFieldValue TDataSet::LookupFieldValue(const TField* Field) const {
  TDataSet* other = Field->LookupDataSet();
  if (!other || !other->Active()) return {};
  TFieldValues keys;
  for (const AnsiString& name : SplitFieldNames(Field->KeyFields())) {
    const TField* key = FindField(name);
    if (!key || key->Lookup()) return {};
    keys.push_back(GetFieldData(key));
  }
  try {
    return other->Lookup(Field->LookupKeyFields(), keys, Field->LookupResultField());
  } catch (const EDatabaseError&) {
    return {}; // a definition naming fields the other data set lacks shows nothing
  }
}

void TDataSet::SetFieldData(TField* Field, const TFieldValue& Value) {
  if (FState != dsEdit && FState != dsInsert) throw EDatabaseError("Dataset not in edit or insert mode");
  if (Field->ReadOnly())
    throw EDatabaseError(Format("Field '%s' cannot be modified", Field->FieldName().c_str()));
  FBuffer.Values.at(Field->Index()) = Value;
  FModified = true;
  DataEvent(deFieldChange, reinterpret_cast<intptr_t>(Field));
  // A lookup field shows something else now that its key changed.
  for (size_t i = FFields.size() - FLookupFieldCount; i < FFields.size(); ++i)
    for (const AnsiString& key : SplitFieldNames(FFields[i]->KeyFields()))
      if (SameText(key, Field->FieldName())) {
        DataEvent(deFieldChange, reinterpret_cast<intptr_t>(FFields[i].get()));
        break;
      }
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
