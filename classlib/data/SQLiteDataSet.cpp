#include "classlib/data/SQLiteDataSet.h"

#include <sqlite3.h>

#include "classlib/core/SysUtils.h"

QUENDREL_REGISTER_CLASS(TSQLiteDataSet, TDataSet) {
  c.Creatable();
  c.Property("DatabaseName", &TSQLiteDataSet::DatabaseName, &TSQLiteDataSet::SetDatabaseName);
  c.Property("TableName", &TSQLiteDataSet::TableName, &TSQLiteDataSet::SetTableName);
  c.Property("SQL", &TSQLiteDataSet::SQL, &TSQLiteDataSet::SetSQL);
  c.Property("ReadOnly", &TSQLiteDataSet::ReadOnly, &TSQLiteDataSet::SetReadOnly).Default(0);
}

namespace {

AnsiString QuoteName(const AnsiString& Name) {
  return "\"" + StringReplaceAll(Name, "\"", "\"\"") + "\"";
}

TFieldType TypeFromDeclaration(const char* Declared) {
  const AnsiString t = UpperCase(Declared ? Declared : "");
  if (Pos("BOOL", t)) return ftBoolean;
  if (Pos("DATETIME", t) || Pos("TIMESTAMP", t)) return ftDateTime;
  if (Pos("DATE", t)) return ftDate;
  if (Pos("MEMO", t) || Pos("CLOB", t)) return ftMemo;
  if (Pos("GRAPH", t) || Pos("PICT", t) || Pos("IMAGE", t)) return ftGraphic;
  if (Pos("BLOB", t)) return ftBlob;
  if (Pos("INT", t)) return ftInteger;
  if (Pos("REAL", t) || Pos("FLOA", t) || Pos("DOUB", t) || Pos("NUMERIC", t) || Pos("DECIMAL", t))
    return ftFloat;
  return ftString;
}

bool IsBinary(const TField* Field) {
  return Field->DataType() == ftBlob || Field->DataType() == ftGraphic;
}

// One prepared statement, finalized when it goes out of scope.
class TStatement {
 public:
  TStatement(sqlite3* Db, const AnsiString& Sql) : FDb(Db) {
    if (sqlite3_prepare_v2(Db, Sql.c_str(), -1, &FStmt, nullptr) != SQLITE_OK) Fail();
  }
  ~TStatement() { sqlite3_finalize(FStmt); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;

  sqlite3_stmt* Handle() const { return FStmt; }
  bool Step() { // true while rows come
    const int rc = sqlite3_step(FStmt);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail();
    return false;
  }
  void Bind(int Index, const TFieldValue& Value, bool Blob = false) {
    int rc = SQLITE_OK;
    if (const auto* s = std::get_if<AnsiString>(&Value); s && Blob)
      rc = sqlite3_bind_blob(FStmt, Index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
    else if (const auto* i = std::get_if<int64_t>(&Value))
      rc = sqlite3_bind_int64(FStmt, Index, *i);
    else if (const auto* d = std::get_if<double>(&Value))
      rc = sqlite3_bind_double(FStmt, Index, *d);
    else if (const auto* s = std::get_if<AnsiString>(&Value))
      rc = sqlite3_bind_text(FStmt, Index, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
    else
      rc = sqlite3_bind_null(FStmt, Index);
    if (rc != SQLITE_OK) Fail();
  }
  TFieldValue Column(int Index) const {
    switch (sqlite3_column_type(FStmt, Index)) {
    case SQLITE_INTEGER:
      return static_cast<int64_t>(sqlite3_column_int64(FStmt, Index));
    case SQLITE_FLOAT:
      return sqlite3_column_double(FStmt, Index);
    case SQLITE_NULL:
      return {};
    default: {
      const auto* p = static_cast<const char*>(sqlite3_column_blob(FStmt, Index));
      return AnsiString(p ? p : "", sqlite3_column_bytes(FStmt, Index));
    }
    }
  }

 private:
  [[noreturn]] void Fail() const { throw EDatabaseError(sqlite3_errmsg(FDb)); }

  sqlite3* FDb;
  sqlite3_stmt* FStmt = nullptr;
};

} // namespace

void TSQLiteDataSet::TCloser::operator()(sqlite3* Db) const {
  sqlite3_close(Db);
}

TSQLiteDataSet::TSQLiteDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TSQLiteDataSet::~TSQLiteDataSet() {
  Close();
}

void TSQLiteDataSet::CheckInactive() const {
  if (Active()) throw EDatabaseError("Cannot perform this operation on an open dataset");
}

void TSQLiteDataSet::SetDatabaseName(const AnsiString& Value) {
  CheckInactive();
  FDatabaseName = Value;
  FDb.reset();
}

void TSQLiteDataSet::SetTableName(const AnsiString& Value) {
  CheckInactive();
  FTableName = Value;
}

void TSQLiteDataSet::SetSQL(const AnsiString& Value) {
  CheckInactive();
  FSQL = Value;
}

void TSQLiteDataSet::Fail() const {
  throw EDatabaseError(sqlite3_errmsg(FDb.get()));
}

sqlite3* TSQLiteDataSet::Database() {
  if (FDb) return FDb.get();
  if (FDatabaseName.empty()) throw EDatabaseError("Missing DatabaseName property");
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(FDatabaseName.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  FDb.reset(db); // closed even when the open failed
  if (rc != SQLITE_OK) {
    const AnsiString message = db ? sqlite3_errmsg(db) : "out of memory";
    FDb.reset();
    throw EDatabaseError(message);
  }
  return db;
}

void TSQLiteDataSet::ExecSQL(const AnsiString& Statement) {
  char* error = nullptr;
  if (sqlite3_exec(Database(), Statement.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const AnsiString message = error ? error : sqlite3_errmsg(FDb.get());
    sqlite3_free(error);
    throw EDatabaseError(message);
  }
}

void TSQLiteDataSet::InternalOpen() {
  const bool table = FSQL.empty();
  if (table && FTableName.empty()) throw EDatabaseError("Missing TableName or SQL property");
  TStatement stmt(Database(), SelectStatement());
  const int first = table ? 1 : 0; // a table's row id comes first and is kept as the record's key
  const int columns = sqlite3_column_count(stmt.Handle());
  for (int i = first; i < columns; ++i) {
    std::unique_ptr<TField> f = CreateField(TypeFromDeclaration(sqlite3_column_decltype(stmt.Handle(), i)));
    f->SetFieldName(sqlite3_column_name(stmt.Handle(), i));
    AddField(std::move(f));
  }
  while (stmt.Step()) {
    TDataRecord r;
    if (table) r.Key = sqlite3_column_int64(stmt.Handle(), 0);
    for (int i = first; i < columns; ++i) r.Values.push_back(stmt.Column(i));
    FRecords.push_back(std::move(r));
  }
}

AnsiString TSQLiteDataSet::SelectStatement() const {
  return FSQL.empty() ? "SELECT rowid, * FROM " + QuoteName(FTableName) : FSQL;
}

void TSQLiteDataSet::InternalRefresh() {
  TStatement stmt(Database(), SelectStatement());
  const bool table = FSQL.empty();
  const int first = table ? 1 : 0;
  const int columns = sqlite3_column_count(stmt.Handle());
  if (columns - first != DataFieldCount()) throw EDatabaseError("The table's columns changed; reopen it");
  std::vector<TDataRecord> rows;
  while (stmt.Step()) {
    TDataRecord r;
    if (table) r.Key = sqlite3_column_int64(stmt.Handle(), 0);
    for (int i = first; i < columns; ++i) r.Values.push_back(stmt.Column(i));
    rows.push_back(std::move(r));
  }
  FRecords = std::move(rows);
}

void TSQLiteDataSet::InternalClose() {
  FDb.reset();
}

void TSQLiteDataSet::InternalPost(TDataRecord& Record, bool Inserting) {
  sqlite3* db = Database();
  const AnsiString table = QuoteName(FTableName);
  if (Inserting) {
    // Null columns are left out so that the table's defaults and row-id keys apply.
    AnsiString names, marks;
    std::vector<int> bound;
    for (int i = 0; i < DataFieldCount(); ++i) {
      if (std::holds_alternative<std::monostate>(Record.Values[i])) continue;
      names += (names.empty() ? "" : ", ") + QuoteName(Fields(i)->FieldName());
      marks += marks.empty() ? "?" : ", ?";
      bound.push_back(i);
    }
    TStatement insert(db, bound.empty() ? "INSERT INTO " + table + " DEFAULT VALUES"
                                        : "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")");
    for (size_t k = 0; k < bound.size(); ++k)
      insert.Bind(static_cast<int>(k + 1), Record.Values[bound[k]], IsBinary(Fields(bound[k])));
    insert.Step();
    Record.Key = sqlite3_last_insert_rowid(db);
    // Read the row back: the store may have filled in keys and defaults.
    TStatement read(db, "SELECT * FROM " + table + " WHERE rowid = ?");
    read.Bind(1, Record.Key);
    if (read.Step())
      for (int i = 0; i < DataFieldCount(); ++i) Record.Values[i] = read.Column(i);
    return;
  }
  AnsiString assignments;
  for (int i = 0; i < DataFieldCount(); ++i)
    assignments += (i ? ", " : "") + QuoteName(Fields(i)->FieldName()) + " = ?";
  TStatement update(db, "UPDATE " + table + " SET " + assignments + " WHERE rowid = ?");
  for (int i = 0; i < DataFieldCount(); ++i) update.Bind(i + 1, Record.Values[i], IsBinary(Fields(i)));
  update.Bind(DataFieldCount() + 1, Record.Key);
  update.Step();
  if (sqlite3_changes(db) == 0) throw EDatabaseError("Record not found or changed by another user");
}

void TSQLiteDataSet::InternalDelete(const TDataRecord& Record) {
  sqlite3* db = Database();
  TStatement del(db, "DELETE FROM " + QuoteName(FTableName) + " WHERE rowid = ?");
  del.Bind(1, Record.Key);
  del.Step();
  if (sqlite3_changes(db) == 0) throw EDatabaseError("Record not found or changed by another user");
}
