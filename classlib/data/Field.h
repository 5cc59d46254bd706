#pragma once
// A field of a data set: one column of the record the data set shows, read and written through the data set's
// record buffer and converted to and from text, integers, floats, booleans and dates. Numbers and dates are
// shown through their display formats; lookup fields show a value of another data set found by key.
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "classlib/controls/Control.h"
#include "classlib/core/Component.h"
#include "classlib/core/DateTime.h"
#include "classlib/core/TypInfo.h"

class TDataSet;

enum TFieldType {
  ftUnknown,
  ftString,
  ftInteger,
  ftBoolean,
  ftFloat,
  ftDate,
  ftDateTime,
  ftMemo,
  ftBlob,
  ftGraphic
};
// A data field holds a stored column; a lookup field shows what its key fields find in another data set.
enum TFieldKind { fkData, fkLookup };

// A stored value: null, integer (booleans too), float or text (dates as ISO text, blobs as their bytes).
using TFieldValue = std::variant<std::monostate, int64_t, double, AnsiString>;
// Several values, for keys made of several fields ("Name;Year").
using TFieldValues = std::vector<TFieldValue>;

// Splits a ";"-separated list of field names, each trimmed.
std::vector<AnsiString> SplitFieldNames(const AnsiString& Names);

class TField : public TComponent {
  QUENDREL_CLASS(TField, TComponent)
 public:
  explicit TField(TComponent* AOwner);

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value, int Index); // the data set binds the field to its column
  int Index() const { return FIndex; }

  TFieldType DataType() const { return FDataType; }
  TFieldKind FieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value) { FFieldKind = Value; }
  bool Lookup() const { return FFieldKind == fkLookup; }
  bool IsBlob() const { return FDataType == ftMemo || FDataType == ftBlob || FDataType == ftGraphic; }
  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value) { FFieldName = Value; }
  AnsiString DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  void SetDisplayLabel(const AnsiString& Value) { FDisplayLabel = Value; }
  // Width in characters that a grid gives the column; 0: from the type and size.
  int DisplayWidth() const;
  void SetDisplayWidth(int Value) { FDisplayWidth = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  bool CanModify() const;

  // Numbers: FormatFloat patterns; dates: FormatDateTime patterns. EditFormat shapes the editable text of
  // numbers, and falls back to DisplayFormat.
  const AnsiString& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const AnsiString& Value) { FDisplayFormat = Value; }
  const AnsiString& EditFormat() const { return FEditFormat; }
  void SetEditFormat(const AnsiString& Value) { FEditFormat = Value; }

  // Lookup fields: KeyFields of this data set matched against LookupKeyFields of LookupDataSet give the
  // LookupResultField of the record found.
  const AnsiString& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const AnsiString& Value) { FKeyFields = Value; }
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value);
  const AnsiString& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const AnsiString& Value) { FLookupKeyFields = Value; }
  const AnsiString& LookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const AnsiString& Value) { FLookupResultField = Value; }

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
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime Value);
  // The text a control edits, and the text a control shows.
  AnsiString Text() const { return GetText(false); }
  void SetText(const AnsiString& Value) { SetAsString(Value); }
  AnsiString DisplayText() const { return GetText(true); }
  void FocusControl();

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  virtual AnsiString GetText(bool Display) const;

  TFieldType FDataType = ftUnknown;

 private:
  TDataSet* FDataSet = nullptr;
  int FIndex = -1;
  TFieldKind FFieldKind = fkData;
  AnsiString FFieldName;
  AnsiString FDisplayLabel;
  int FDisplayWidth = 0;
  TAlignment FAlignment = taLeftJustify;
  bool FVisible = true;
  int FSize = 0;
  bool FReadOnly = false;
  bool FRequired = false;
  AnsiString FDisplayFormat;
  AnsiString FEditFormat;
  AnsiString FKeyFields;
  TDataSet* FLookupDataSet = nullptr;
  AnsiString FLookupKeyFields;
  AnsiString FLookupResultField;
};

class TStringField : public TField {
  QUENDREL_CLASS(TStringField, TField)
 public:
  explicit TStringField(TComponent* AOwner) : TField(AOwner) { FDataType = ftString; }
};

class TIntegerField : public TField {
  QUENDREL_CLASS(TIntegerField, TField)
 public:
  explicit TIntegerField(TComponent* AOwner);
};

class TFloatField : public TField {
  QUENDREL_CLASS(TFloatField, TField)
 public:
  explicit TFloatField(TComponent* AOwner);
};

class TBooleanField : public TField {
  QUENDREL_CLASS(TBooleanField, TField)
 public:
  explicit TBooleanField(TComponent* AOwner) : TField(AOwner) { FDataType = ftBoolean; }
};

// Dates and date-times are stored as ISO text ("2024-03-01", "2024-03-01 09:30:00"), so that a database
// keeps exactly what was typed; the text a control edits is shown and read in DisplayFormat when it has one.
class TDateTimeField : public TField {
  QUENDREL_CLASS(TDateTimeField, TField)
 public:
  explicit TDateTimeField(TComponent* AOwner) : TField(AOwner) { FDataType = ftDateTime; }
};

class TDateField : public TDateTimeField {
  QUENDREL_CLASS(TDateField, TDateTimeField)
 public:
  explicit TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { FDataType = ftDate; }
};

// Blobs hold their bytes; a grid shows their kind in brackets, upper-case when not empty.
class TBlobField : public TField {
  QUENDREL_CLASS(TBlobField, TField)
 public:
  explicit TBlobField(TComponent* AOwner) : TField(AOwner) { FDataType = ftBlob; }
};

class TMemoField : public TBlobField {
  QUENDREL_CLASS(TMemoField, TBlobField)
 public:
  explicit TMemoField(TComponent* AOwner) : TBlobField(AOwner) { FDataType = ftMemo; }
};

class TGraphicField : public TBlobField {
  QUENDREL_CLASS(TGraphicField, TBlobField)
 public:
  explicit TGraphicField(TComponent* AOwner) : TBlobField(AOwner) { FDataType = ftGraphic; }
};

// A new, ownerless field of the class that holds values of DataType (text for anything unknown).
std::unique_ptr<TField> CreateField(TFieldType DataType);

// Compares two stored values: numbers as numbers, anything else as text (without regard to case when
// CaseInsensitive; as a prefix of Stored when Partial). Null equals only null.
bool FieldValuesMatch(const TFieldValue& Stored, const TFieldValue& Wanted, bool CaseInsensitive,
                      bool Partial);
