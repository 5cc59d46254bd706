#pragma once
// A data set over an SQLite database file: either a whole table, whose edits, inserts and deletes are written
// back at once, or a read-only query. SQLite's failures raise EDatabaseError with SQLite's message.
#include <memory>

#include "classlib/data/DataSet.h"

struct sqlite3;

class TSQLiteDataSet : public TDataSet {
  QUENDREL_CLASS(TSQLiteDataSet, TDataSet)
 public:
  explicit TSQLiteDataSet(TComponent* AOwner);
  ~TSQLiteDataSet() override;

  const AnsiString& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const AnsiString& Value);
  const AnsiString& TableName() const { return FTableName; }
  void SetTableName(const AnsiString& Value);
  const AnsiString& SQL() const { return FSQL; }
  void SetSQL(const AnsiString& Value);

  bool CanModify() const override { return TDataSet::CanModify() && !FTableName.empty() && FSQL.empty(); }

  // Runs a statement that returns no rows on the data set's database (opened for it when needed).
  void ExecSQL(const AnsiString& Statement);

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  void InternalPost(TDataRecord& Record, bool Inserting) override;
  void InternalDelete(const TDataRecord& Record) override;
  void InternalRefresh() override;

 private:
  struct TCloser {
    void operator()(sqlite3* Db) const;
  };
  void CheckInactive() const;
  sqlite3* Database();
  [[noreturn]] void Fail() const;
  AnsiString SelectStatement() const;

  AnsiString FDatabaseName;
  AnsiString FTableName;
  AnsiString FSQL;
  std::unique_ptr<sqlite3, TCloser> FDb;
};
