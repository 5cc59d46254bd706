#include "classlib/data/Field.h"

#include <cmath>

#include "classlib/core/DateUtils.h"
#include "classlib/core/SysUtils.h"
#include "classlib/data/DataSet.h"

namespace {

const TEnumInfo FieldKindNames{{"fkData", "fkLookup"}};

const char* const IsoDate = "yyyy-mm-dd";
const char* const IsoDateTime = "yyyy-mm-dd hh:nn:ss";

// Numbers typed with thousand separators read as without them.
AnsiString WithoutGrouping(const AnsiString& Text) {
  return StringReplaceAll(Trim(Text), ",", "");
}

} // namespace

QUENDREL_REGISTER_CLASS(TField, TComponent) {
  c.Property("FieldName", &TField::FieldName, &TField::SetFieldName);
  c.Enum("FieldKind", &TField::FieldKind, &TField::SetFieldKind, FieldKindNames).Default(fkData);
  c.Property("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel);
  c.Property("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth);
  c.Enum("Alignment", &TField::Alignment, &TField::SetAlignment, AlignmentNames);
  c.Property("Visible", &TField::Visible, &TField::SetVisible).Default(1);
  c.Property("Size", &TField::Size, &TField::SetSize).Default(0);
  c.Property("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(0);
  c.Property("Required", &TField::Required, &TField::SetRequired).Default(0);
  c.Property("DisplayFormat", &TField::DisplayFormat, &TField::SetDisplayFormat);
  c.Property("EditFormat", &TField::EditFormat, &TField::SetEditFormat);
  c.Property("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
  c.Property("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
  c.Property("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
  c.Property("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
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
QUENDREL_REGISTER_CLASS(TDateTimeField, TField) {
  c.Creatable();
}
QUENDREL_REGISTER_CLASS(TDateField, TDateTimeField) {
  c.Creatable();
}
QUENDREL_REGISTER_CLASS(TBlobField, TField) {
  c.Creatable();
}
QUENDREL_REGISTER_CLASS(TMemoField, TBlobField) {
  c.Creatable();
}
QUENDREL_REGISTER_CLASS(TGraphicField, TBlobField) {
  c.Creatable();
}

std::vector<AnsiString> SplitFieldNames(const AnsiString& Names) {
  std::vector<AnsiString> out;
  size_t pos = 0;
  while (pos <= Names.size()) {
    size_t end = Names.find(';', pos);
    if (end == AnsiString::npos) end = Names.size();
    const AnsiString name = Trim(Names.substr(pos, end - pos));
    if (!name.empty()) out.push_back(name);
    pos = end + 1;
  }
  return out;
}

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TIntegerField::TIntegerField(TComponent* AOwner) : TField(AOwner) {
  FDataType = ftInteger;
  SetAlignment(taRightJustify);
}

TFloatField::TFloatField(TComponent* AOwner) : TField(AOwner) {
  FDataType = ftFloat;
  SetAlignment(taRightJustify);
}

void TField::SetDataSet(TDataSet* Value, int Index) {
  FDataSet = Value;
  FIndex = Index;
}

void TField::SetLookupDataSet(TDataSet* Value) {
  if (FLookupDataSet == Value) return;
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = Value;
  if (FLookupDataSet) FLookupDataSet->FreeNotification(this);
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

int TField::DisplayWidth() const {
  if (FDisplayWidth > 0) return FDisplayWidth;
  switch (FDataType) {
  case ftString:
  case ftUnknown:
    return FSize > 0 ? FSize : 20;
  case ftBoolean:
    return 5;
  case ftDateTime:
    return 19;
  default:
    return 10;
  }
}

void TField::FocusControl() {
  if (FDataSet && FDataSet->Active()) FDataSet->FocusControl(this);
}

bool TField::CanModify() const {
  return !FReadOnly && !Lookup() && FDataSet && FDataSet->CanModify();
}

TFieldValue TField::Value() const {
  if (!FDataSet) return {};
  if (Lookup()) return FDataSet->LookupFieldValue(this);
  return FDataSet->GetFieldData(this);
}

void TField::SetValue(const TFieldValue& Value) {
  if (!FDataSet) throw EDatabaseError(Format("Field '%s' has no dataset", FFieldName.c_str()));
  if (Lookup()) throw EDatabaseError(Format("Field '%s' cannot be modified", FFieldName.c_str()));
  TFieldValue v = Value;
  if (auto* s = std::get_if<AnsiString>(&v);
      s && FDataType == ftString && FSize > 0 && static_cast<int>(s->size()) > FSize)
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

AnsiString TField::GetText(bool Display) const {
  if (IsNull()) return "";
  switch (FDataType) {
  case ftInteger:
  case ftFloat: {
    const AnsiString& fmt = Display ? FDisplayFormat : FEditFormat;
    if (fmt.empty()) return AsString();
    return FormatFloat(fmt, AsFloat());
  }
  case ftDate:
  case ftDateTime: {
    TDateTime when;
    if (!TryStrToDateFmt(AsString(), IsoDate, when)) return AsString(); // text that is no date shows as is
    if (!FDisplayFormat.empty()) return FormatDateTime(FDisplayFormat, when);
    return FormatDateTime(FDataType == ftDate ? IsoDate : IsoDateTime, when);
  }
  case ftMemo:
    if (!Display) return AsString();
    [[fallthrough]];
  case ftBlob:
  case ftGraphic: {
    const bool empty = AsString().empty();
    const char* kind = FDataType == ftMemo ? "Memo" : FDataType == ftGraphic ? "Graphic" : "Blob";
    return "(" + (empty ? AnsiString(kind) : UpperCase(kind)) + ")";
  }
  default:
    return AsString();
  }
}

void TField::SetAsString(const AnsiString& Value) {
  if (FDataType == ftString || FDataType == ftUnknown || IsBlob()) return SetValue(Value);
  // An empty text clears a non-text field rather than failing to convert.
  if (Trim(Value).empty()) return Clear();
  switch (FDataType) {
  case ftInteger:
    return SetValue(StrToInt64(WithoutGrouping(Value)));
  case ftFloat:
    return SetValue(StrToFloat(WithoutGrouping(Value)));
  case ftBoolean:
    if (SameText(Trim(Value), "True")) return SetAsBoolean(true);
    if (SameText(Trim(Value), "False")) return SetAsBoolean(false);
    throw EConvertError(Format("'%s' is not a valid boolean value", Value.c_str()));
  case ftDate:
  case ftDateTime:
    return SetAsDateTime(StrToDateFmt(Value, FDisplayFormat));
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

TDateTime TField::AsDateTime() const {
  const TFieldValue v = Value();
  if (const auto* i = std::get_if<int64_t>(&v)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* s = std::get_if<AnsiString>(&v)) return StrToDateFmt(*s, IsoDate);
  return 0.0;
}

void TField::SetAsDateTime(TDateTime Value) {
  if (FDataType == ftFloat) return SetValue(static_cast<double>(Value));
  SetValue(FormatDateTime(FDataType == ftDateTime ? IsoDateTime : IsoDate, Value));
}

std::unique_ptr<TField> CreateField(TFieldType DataType) {
  switch (DataType) {
  case ftInteger:
    return std::make_unique<TIntegerField>(nullptr);
  case ftFloat:
    return std::make_unique<TFloatField>(nullptr);
  case ftBoolean:
    return std::make_unique<TBooleanField>(nullptr);
  case ftDate:
    return std::make_unique<TDateField>(nullptr);
  case ftDateTime:
    return std::make_unique<TDateTimeField>(nullptr);
  case ftMemo:
    return std::make_unique<TMemoField>(nullptr);
  case ftBlob:
    return std::make_unique<TBlobField>(nullptr);
  case ftGraphic:
    return std::make_unique<TGraphicField>(nullptr);
  default:
    return std::make_unique<TStringField>(nullptr);
  }
}

bool FieldValuesMatch(const TFieldValue& Stored, const TFieldValue& Wanted, bool CaseInsensitive,
                      bool Partial) {
  const bool storedNull = std::holds_alternative<std::monostate>(Stored);
  const bool wantedNull = std::holds_alternative<std::monostate>(Wanted);
  if (storedNull || wantedNull) return storedNull && wantedNull;
  auto number = [](const TFieldValue& v, double& out) {
    if (const auto* i = std::get_if<int64_t>(&v)) return out = static_cast<double>(*i), true;
    if (const auto* d = std::get_if<double>(&v)) return out = *d, true;
    return false;
  };
  double a = 0, b = 0;
  if (!Partial && number(Stored, a) && number(Wanted, b)) return a == b;
  auto text = [](const TFieldValue& v) {
    if (const auto* s = std::get_if<AnsiString>(&v)) return *s;
    if (const auto* i = std::get_if<int64_t>(&v)) return IntToStr(*i);
    return FloatToStr(std::get<double>(v));
  };
  AnsiString s = text(Stored), w = text(Wanted);
  if (Partial && s.size() > w.size()) s.resize(w.size());
  return CaseInsensitive ? SameText(s, w) : s == w;
}
