#include "classlib/data/Field.h"

#include <cmath>

#include "classlib/core/SysUtils.h"
#include "classlib/data/DataSet.h"

QUENDREL_REGISTER_CLASS(TField, TComponent) {
  c.Property("FieldName", &TField::FieldName, &TField::SetFieldName);
  c.Property("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel);
  c.Property("Size", &TField::Size, &TField::SetSize).Default(0);
  c.Property("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(0);
}
QUENDREL_REGISTER_CLASS(TStringField, TField) {
  c.Creatable();
}
QUENDREL_REGISTER_CLASS(TIntegerField, TField) {
  c.Creatable();
}
QUENDREL_REGISTER_CLASS(TFloatField, TField) {
  c.Creatable();
}
QUENDREL_REGISTER_CLASS(TBooleanField, TField) {
  c.Creatable();
}

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

void TField::SetDataSet(TDataSet* Value, int Index) {
  FDataSet = Value;
  FIndex = Index;
}

void TField::FocusControl() {
  if (FDataSet && FDataSet->Active()) FDataSet->FocusControl(this);
}

bool TField::CanModify() const {
  return !FReadOnly && FDataSet && FDataSet->CanModify();
}

TFieldValue TField::Value() const {
  if (!FDataSet) return {};
  return FDataSet->GetFieldData(this);
}

void TField::SetValue(const TFieldValue& Value) {
  if (!FDataSet) throw EDatabaseError(Format("Field '%s' has no dataset", FFieldName.c_str()));
  TFieldValue v = Value;
  if (auto* s = std::get_if<AnsiString>(&v); s && FSize > 0 && static_cast<int>(s->size()) > FSize)
    s->resize(FSize);
  FDataSet->SetFieldData(this, v);
}

AnsiString TField::AsString() const {
  const TFieldValue v = Value();
  if (const auto* i = std::get_if<int64_t>(&v)) {
    if (FDataType == ftBoolean) return *i ? "True" : "False";
    return IntToStr(*i);
  }
  if (const auto* d = std::get_if<double>(&v)) return FloatToStr(*d);
  if (const auto* s = std::get_if<AnsiString>(&v)) return *s;
  return "";
}

void TField::SetAsString(const AnsiString& Value) {
  if (FDataType == ftString || FDataType == ftUnknown) return SetValue(Value);
  // An empty text clears a non-text field rather than failing to convert.
  if (Trim(Value).empty()) return Clear();
  switch (FDataType) {
  case ftInteger:
    return SetValue(StrToInt64(Trim(Value)));
  case ftFloat:
    return SetValue(StrToFloat(Trim(Value)));
  case ftBoolean:
    if (SameText(Trim(Value), "True")) return SetAsBoolean(true);
    if (SameText(Trim(Value), "False")) return SetAsBoolean(false);
    throw EConvertError(Format("'%s' is not a valid boolean value", Value.c_str()));
  default:
    return SetValue(Value);
  }
}

int64_t TField::AsInteger() const {
  const TFieldValue v = Value();
  if (const auto* i = std::get_if<int64_t>(&v)) return *i;
  if (const auto* d = std::get_if<double>(&v)) return static_cast<int64_t>(std::llround(*d));
  if (const auto* s = std::get_if<AnsiString>(&v)) return StrToInt64(*s);
  return 0;
}

void TField::SetAsInteger(int64_t Value) {
  if (FDataType == ftString) return SetValue(IntToStr(Value));
  if (FDataType == ftFloat) return SetValue(static_cast<double>(Value));
  SetValue(Value);
}

double TField::AsFloat() const {
  const TFieldValue v = Value();
  if (const auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* s = std::get_if<AnsiString>(&v)) return StrToFloat(*s);
  return 0;
}

void TField::SetAsFloat(double Value) {
  if (FDataType == ftString) return SetValue(FloatToStr(Value));
  if (FDataType == ftInteger || FDataType == ftBoolean)
    return SetValue(static_cast<int64_t>(std::llround(Value)));
  SetValue(Value);
}

bool TField::AsBoolean() const {
  const TFieldValue v = Value();
  if (const auto* i = std::get_if<int64_t>(&v)) return *i != 0;
  if (const auto* d = std::get_if<double>(&v)) return *d != 0;
  if (const auto* s = std::get_if<AnsiString>(&v)) return SameText(Trim(*s), "True");
  return false;
}

void TField::SetAsBoolean(bool Value) {
  if (FDataType == ftString) return SetValue(AnsiString(Value ? "True" : "False"));
  SetValue(static_cast<int64_t>(Value ? 1 : 0));
}

std::unique_ptr<TField> CreateField(TFieldType DataType) {
  switch (DataType) {
  case ftInteger:
    return std::make_unique<TIntegerField>(nullptr);
  case ftFloat:
    return std::make_unique<TFloatField>(nullptr);
  case ftBoolean:
    return std::make_unique<TBooleanField>(nullptr);
  default:
    return std::make_unique<TStringField>(nullptr);
  }
}
