#pragma once
// A data set kept in memory: its fields come from field definitions, and its records stay while it is
// closed, until the definitions change.
#include "classlib/data/DataSet.h"

struct TFieldDef {
  AnsiString Name;
  TFieldType DataType = ftString;
  int Size = 0;
};

class TMemDataSet : public TDataSet {
  QUENDREL_CLASS(TMemDataSet, TDataSet)
 public:
  explicit TMemDataSet(TComponent* AOwner);
  ~TMemDataSet() override;

  void AddFieldDef(const AnsiString& Name, TFieldType DataType, int Size = 0); // only while closed
  void ClearFieldDefs();
  const std::vector<TFieldDef>& FieldDefs() const { return FFieldDefs; }

 protected:
  void InternalOpen() override;
  void InternalClose() override;

 private:
  std::vector<TFieldDef> FFieldDefs;
  std::vector<TDataRecord> FStore; // the records while closed
};
