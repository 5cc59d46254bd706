#include "classlib/data/MemDataSet.h"

#include "classlib/core/SysUtils.h"

QUENDREL_REGISTER_CLASS(TMemDataSet, TDataSet) {
  c.Creatable();
}

TMemDataSet::TMemDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TMemDataSet::~TMemDataSet() {
  Close();
}

void TMemDataSet::AddFieldDef(const AnsiString& Name, TFieldType DataType, int Size) {
  if (Active()) throw EDatabaseError("Cannot perform this operation on an open dataset");
  for (const TFieldDef& d : FFieldDefs)
    if (SameText(d.Name, Name)) throw EDatabaseError(Format("Duplicate field name '%s'", Name.c_str()));
  FFieldDefs.push_back({Name, DataType, Size});
  FStore.clear();
}

void TMemDataSet::ClearFieldDefs() {
  if (Active()) throw EDatabaseError("Cannot perform this operation on an open dataset");
  FFieldDefs.clear();
  FStore.clear();
}

void TMemDataSet::InternalOpen() {
  for (const TFieldDef& d : FFieldDefs) {
    std::unique_ptr<TField> f = CreateField(d.DataType);
    f->SetFieldName(d.Name);
    f->SetSize(d.Size);
    AddField(std::move(f));
  }
  FRecords = std::move(FStore);
  FStore.clear();
}

void TMemDataSet::InternalClose() {
  FStore = std::move(FRecords);
}
