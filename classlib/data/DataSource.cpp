#include "classlib/data/DataSource.h"

#include <algorithm>

#include "classlib/controls/ActnList.h"
#include "classlib/data/DataLink.h"

QUENDREL_REGISTER_CLASS(TDataSource, TComponent) {
  c.Creatable();
  c.Property("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(1);
  c.Property("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
  c.Property("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(1);
  c.Event("OnDataChange", &TDataSource::OnDataChange);
  c.Event("OnStateChange", &TDataSource::OnStateChange);
  c.Event("OnUpdateData", &TDataSource::OnUpdateData);
}

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) {
    FDataSet->RemoveDataSource(this);
    FDataSet->RemoveFreeNotification(this);
    // The links let go of the old data set's fields before they see the new one.
    FDataSet = nullptr;
    UpdateState();
  }
  FDataSet = Value;
  if (FDataSet) {
    FDataSet->AddDataSource(this);
    FDataSet->FreeNotification(this);
  }
  UpdateState();
}

void TDataSource::SetEnabled(bool Value) {
  FEnabled = Value;
  UpdateState();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) SetDataSet(nullptr);
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse && FDataSet->CanModify()) FDataSet->Edit();
}

void TDataSource::UpdateState() {
  const TDataSetState state = FEnabled && FDataSet ? FDataSet->State() : dsInactive;
  if (state == FState) return;
  const bool wasActive = FState != dsInactive;
  FState = state;
  const std::vector<TDataLink*> links = FDataLinks;
  for (TDataLink* l : links) l->UpdateState();
  if (OnStateChange) OnStateChange(this);
  // Becoming active shows the first record to anyone listening to the source itself.
  if (!wasActive && FState != dsInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::DataEvent(TDataEvent Event, intptr_t Info) {
  if (Event == deUpdateState) {
    // A read-only switch keeps the state but changes what links may do.
    const std::vector<TDataLink*> links = FDataLinks;
    if (FState == (FEnabled && FDataSet ? FDataSet->State() : dsInactive))
      for (TDataLink* l : links) l->UpdateState();
    UpdateState();
    return;
  }
  if (FState == dsInactive) return;
  const std::vector<TDataLink*> links = FDataLinks;
  for (TDataLink* l : links)
    if (std::find(FDataLinks.begin(), FDataLinks.end(), l) != FDataLinks.end()) l->DataEvent(Event, Info);
  switch (Event) {
  case deFieldChange:
  case deRecordChange:
  case deDataSetChange:
  case deDataSetScroll:
  case deLayoutChange:
    if (OnDataChange)
      OnDataChange(this, Event == deFieldChange || Event == deRecordChange ? reinterpret_cast<TField*>(Info)
                                                                           : nullptr);
    break;
  case deUpdateRecord:
    if (OnUpdateData) OnUpdateData(this);
    break;
  default:
    break;
  }
}

void TDataSource::AddDataLink(TDataLink* Link) {
  if (std::find(FDataLinks.begin(), FDataLinks.end(), Link) == FDataLinks.end()) FDataLinks.push_back(Link);
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
  std::erase(FDataLinks, Link);
}

bool TDataSource::ExecuteAction(TBasicAction* Action) {
  if (!Action || !Action->HandlesTarget(this)) return false;
  Action->ExecuteTarget(this);
  return true;
}

bool TDataSource::UpdateAction(TBasicAction* Action) {
  if (!Action || !Action->HandlesTarget(this)) return false;
  Action->UpdateTarget(this);
  return true;
}
