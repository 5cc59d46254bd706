#pragma once
// A data set: a list of records with a cursor, the fields of the current record, and the editing states that
// data sources and their data links follow. Descendants supply the records and store the edits.
#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/core/Component.h"
#include "classlib/core/TypInfo.h"
#include "classlib/data/Field.h"

QUENDREL_EXCEPTION(EDatabaseError, Exception) // a data set used wrongly, or its store refused an operation

class TDataSource;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// What a data set tells its data sources (and they their data links).
enum TDataEvent {
  deFieldChange,
  deRecordChange,
  deDataSetChange,
  deDataSetScroll,
  deLayoutChange,
  deUpdateRecord,
  deUpdateState,
  deCheckBrowseMode,
  deFocusControl
};

struct TDataRecord {
  std::vector<TFieldValue> Values;
  int64_t Key = 0; // the store's own identity of the record (a row id), 0 while not stored
};

// How Locate compares: case-insensitive text, and the values given as prefixes of the stored ones.
enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

// A lookup field that the data set adds to its fields each time it opens.
struct TLookupFieldDef {
  AnsiString Name;
  TFieldType DataType = ftString;
  int Size = 0;
  AnsiString KeyFields;
  TDataSet* LookupDataSet = nullptr;
  AnsiString LookupKeyFields;
  AnsiString LookupResultField;
};

class TDataSet;
using TDataSetNotifyEvent = TEvent<void(TDataSet* DataSet)>;

class TDataSet : public TComponent {
  QUENDREL_CLASS(TDataSet, TComponent)
 public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  bool Active() const { return FState != dsInactive; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return FState; }

  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  int MoveBy(int Distance); // returns the distance moved
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  bool IsEmpty() const { return FRecords.empty() && FState != dsInsert; }
  int RecNo() const; // 1-based; -1 when inactive, empty or on an unposted insert
  void SetRecNo(int Value);
  int RecordCount() const { return Active() ? static_cast<int>(FRecords.size()) : 0; }

  // Moves to the first record whose KeyFields (";"-separated) hold KeyValues; false, without moving, when
  // none does. Lookup finds such a record without moving and answers its ResultField (null when none).
  bool Locate(const AnsiString& KeyFields, const TFieldValues& KeyValues, TLocateOptions Options = {});
  TFieldValue Lookup(const AnsiString& KeyFields, const TFieldValues& KeyValues,
                     const AnsiString& ResultField) const;

  // The records as the controls see them: the stored ones with, while inserting, the new record at its
  // place. The current one is DisplayCurrent; fields read the display record, which is the current one
  // unless a buffered data link points them at another (SetDisplayRecord, -1 for the current one).
  int DisplayCount() const;
  int DisplayCurrent() const;
  int DisplayRecord() const { return FDisplayRecord; }
  void SetDisplayRecord(int Index) { FDisplayRecord = Index; }

  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  void Refresh();
  void CheckBrowseMode();           // posts (or cancels an unmodified) edit before the cursor moves
  void UpdateRecord();              // asks the data links to write their controls' values
  void FocusControl(TField* Field); // asks the control showing the field to take the focus
  bool Modified() const { return FModified; }

  virtual bool CanModify() const { return !FReadOnly; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);

  int FieldCount() const { return static_cast<int>(FFields.size()); }
  // The stored fields come first; lookup fields follow them.
  int DataFieldCount() const { return static_cast<int>(FFields.size() - FLookupFieldCount); }
  TField* Fields(int Index) const;
  TField* FindField(const AnsiString& FieldName) const;
  TField* FieldByName(const AnsiString& FieldName) const; // raises EDatabaseError when absent
  // The fields named in a ";"-separated list; raises EDatabaseError for a name that is absent.
  std::vector<TField*> GetFieldList(const AnsiString& FieldNames) const;

  // Lookup fields are defined while the data set is closed and made each time it opens.
  void AddLookupField(const TLookupFieldDef& Def);
  const std::vector<TLookupFieldDef>& LookupFieldDefs() const { return FLookupDefs; }
  TFieldValue LookupFieldValue(const TField* Field) const;

  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }

  TFieldValue GetFieldData(const TField* Field) const;
  void SetFieldData(TField* Field, const TFieldValue& Value);

  // Data sources register themselves here.
  void AddDataSource(TDataSource* Source);
  void RemoveDataSource(TDataSource* Source);

  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeEdit, AfterEdit, BeforeInsert, AfterInsert;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, AfterScroll, OnNewRecord;

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // The store. InternalOpen fills FRecords and adds the fields; a raising InternalPost or InternalDelete
  // leaves the records as they were.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() {}
  virtual void InternalPost(TDataRecord& Record, bool Inserting) { (void)Record, (void)Inserting; }
  virtual void InternalDelete(const TDataRecord& Record) { (void)Record; }
  // Reads the records again from the store; the default store is the records themselves.
  virtual void InternalRefresh() {}

  TField* AddField(std::unique_ptr<TField> Field);
  void DestroyFields();
  void DataEvent(TDataEvent Event, intptr_t Info = 0);

  std::vector<TDataRecord> FRecords;

 private:
  void SetState(TDataSetState Value);
  void CheckActive() const;
  void CheckCanModify() const;
  void BeginInsert(int Position);
  void PostRecord();
  void DoScroll(int Distance);
  const TDataRecord* DisplayedRecord() const;
  int FindRecord(const std::vector<TField*>& Fields, const TFieldValues& KeyValues,
                 TLocateOptions Options) const;
  void CreateLookupFields();
  void Notify(const TDataSetNotifyEvent& Event) {
    if (Event) Event(this);
  }

  TDataSetState FState = dsInactive;
  std::vector<std::unique_ptr<TField>> FFields;
  std::vector<TDataSource*> FDataSources;
  int FCurrent = 0; // index of the current record in FRecords
  int FInsertPos = 0;
  int FSavedCurrent = 0;                   // the current record before an insert, for Cancel
  TDataRecord FBuffer;                     // the record being edited or inserted
  bool FSavedBof = true, FSavedEof = true; // the ends as they were before the edit or insert
  bool FBof = true;
  bool FEof = true;
  bool FModified = false;
  bool FReadOnly = false;
  bool FStreamedActive = false;
  int FDisableCount = 0;
  bool FChangedWhileDisabled = false;
  TDataSetState FDisabledState = dsInactive;
  int FDisplayRecord = -1;
  size_t FLookupFieldCount = 0;
  std::vector<TLookupFieldDef> FLookupDefs;
};
