#include "classlib/data/DBActns.h"

QUENDREL_REGISTER_CLASS(TDataSetAction, TAction) {
  c.Property("DataSource", &TDataSetAction::DataSource, &TDataSetAction::SetDataSource);
}

#define QUENDREL_REGISTER_DATASET_ACTION(Name)                                                               \
  QUENDREL_REGISTER_CLASS(Name, TDataSetAction) {                                                            \
    c.Creatable();                                                                                           \
  }
QUENDREL_REGISTER_DATASET_ACTION(TDataSetFirst)
QUENDREL_REGISTER_DATASET_ACTION(TDataSetPrior)
QUENDREL_REGISTER_DATASET_ACTION(TDataSetNext)
QUENDREL_REGISTER_DATASET_ACTION(TDataSetLast)
QUENDREL_REGISTER_DATASET_ACTION(TDataSetInsert)
QUENDREL_REGISTER_DATASET_ACTION(TDataSetDelete)
QUENDREL_REGISTER_DATASET_ACTION(TDataSetEdit)
QUENDREL_REGISTER_DATASET_ACTION(TDataSetPost)
QUENDREL_REGISTER_DATASET_ACTION(TDataSetCancel)
QUENDREL_REGISTER_DATASET_ACTION(TDataSetRefresh)
#undef QUENDREL_REGISTER_DATASET_ACTION

namespace {

bool Editing(const TDataSet* DataSet) {
  return DataSet->State() == dsEdit || DataSet->State() == dsInsert;
}

} // namespace

TDataSetAction::~TDataSetAction() {
  SetDataSource(nullptr);
}

void TDataSetAction::SetDataSource(TDataSource* Value) {
  if (FDataSource == Value) return;
  if (FDataSource) FDataSource->RemoveFreeNotification(this);
  FDataSource = Value;
  if (FDataSource) FDataSource->FreeNotification(this);
}

void TDataSetAction::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSource) FDataSource = nullptr;
}

bool TDataSetAction::HandlesTarget(TObject* Target) {
  if (FDataSource) return Target == FDataSource && FDataSource->DataSet();
  const auto* source = dynamic_cast<TDataSource*>(Target);
  return source && source->DataSet();
}

TDataSet* TDataSetAction::GetDataSet(TObject* Target) const {
  const auto* source = dynamic_cast<TDataSource*>(Target);
  return source ? source->DataSet() : nullptr;
}

void TDataSetFirst::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->First();
}
void TDataSetFirst::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active() && !ds->Bof());
}

void TDataSetPrior::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->Prior();
}
void TDataSetPrior::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active() && !ds->Bof());
}

void TDataSetNext::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->Next();
}
void TDataSetNext::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active() && !ds->Eof());
}

void TDataSetLast::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->Last();
}
void TDataSetLast::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active() && !ds->Eof());
}

void TDataSetInsert::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->Insert();
}
void TDataSetInsert::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active() && ds->CanModify() && !Editing(ds));
}

void TDataSetDelete::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->Delete();
}
void TDataSetDelete::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active() && ds->CanModify() && !(ds->Bof() && ds->Eof()));
}

void TDataSetEdit::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->Edit();
}
void TDataSetEdit::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active() && ds->CanModify() && !Editing(ds));
}

void TDataSetPost::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->Post();
}
void TDataSetPost::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active() && Editing(ds));
}

void TDataSetCancel::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->Cancel();
}
void TDataSetCancel::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active() && Editing(ds));
}

void TDataSetRefresh::ExecuteTarget(TObject* Target) {
  if (TDataSet* ds = GetDataSet(Target)) ds->Refresh();
}
void TDataSetRefresh::UpdateTarget(TObject* Target) {
  const TDataSet* ds = GetDataSet(Target);
  SetEnabled(ds && ds->Active());
}
