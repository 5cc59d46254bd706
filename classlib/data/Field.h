#pragma once
// A field of a data set: one column of the current record, read and written through the data set's record
// buffer and converted to and from text, integers, floats and booleans.
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "classlib/core/Component.h"
#include "classlib/core/TypInfo.h"

class TDataSet;

enum TFieldType { ftUnknown, ftString, ftInteger, ftBoolean, ftFloat };

// A stored value: null, integer (booleans too), float or text.
using TFieldValue = std::variant<std::monostate, int64_t, double, AnsiString>;

class TField : public TComponent {
  QUENDREL_CLASS(TField, TComponent)
 public:
  explicit TField(TComponent* AOwner);

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value, int Index); // the data set binds the field to its column
  int Index() const { return FIndex; }

  TFieldType DataType() const { return FDataType; }
  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value) { FFieldName = Value; }
  AnsiString DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  void SetDisplayLabel(const AnsiString& Value) { FDisplayLabel = Value; }
  int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool CanModify() const;

  TFieldValue Value() const;
  void SetValue(const TFieldValue& Value);
  bool IsNull() const { return std::holds_alternative<std::monostate>(Value()); }
  void Clear() { SetValue(TFieldValue()); }

  AnsiString AsString() const;
  void SetAsString(const AnsiString& Value);
  int64_t AsInteger() const;
  void SetAsInteger(int64_t Value);
  double AsFloat() const;
  void SetAsFloat(double Value);
  bool AsBoolean() const;
  void SetAsBoolean(bool Value);
  AnsiString Text() const { return AsString(); }
  void SetText(const AnsiString& Value) { SetAsString(Value); }
  AnsiString DisplayText() const { return AsString(); }
  void FocusControl();

 protected:
  TFieldType FDataType = ftUnknown;

 private:
  TDataSet* FDataSet = nullptr;
  int FIndex = -1;
  AnsiString FFieldName;
  AnsiString FDisplayLabel;
  int FSize = 0;
  bool FReadOnly = false;
};

class TStringField : public TField {
  QUENDREL_CLASS(TStringField, TField)
 public:
  explicit TStringField(TComponent* AOwner) : TField(AOwner) { FDataType = ftString; }
};

class TIntegerField : public TField {
  QUENDREL_CLASS(TIntegerField, TField)
 public:
  explicit TIntegerField(TComponent* AOwner) : TField(AOwner) { FDataType = ftInteger; }
};

class TFloatField : public TField {
  QUENDREL_CLASS(TFloatField, TField)
 public:
  explicit TFloatField(TComponent* AOwner) : TField(AOwner) { FDataType = ftFloat; }
};

class TBooleanField : public TField {
  QUENDREL_CLASS(TBooleanField, TField)
 public:
  explicit TBooleanField(TComponent* AOwner) : TField(AOwner) { FDataType = ftBoolean; }
};

// A new, ownerless field of the class that holds values of DataType (text for anything unknown).
std::unique_ptr<TField> CreateField(TFieldType DataType);
