#include "classlib/data/SQLiteDataSet.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class SQLiteDataSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Path =
        fs::temp_directory_path() / ("quendrel-data-" + std::to_string(getpid()) + "-" +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".db");
    fs::remove(Path);
    TSQLiteDataSet setup(nullptr);
    setup.SetDatabaseName(Path.string());
    setup.ExecSQL("CREATE TABLE scores (id INTEGER PRIMARY KEY, player TEXT NOT NULL, moves INTEGER, "
                  "time REAL, solved BOOLEAN DEFAULT 1);"
                  "INSERT INTO scores (player, moves, time) VALUES ('ann', 30, 12.5), ('bob', 41, 20);");
  }
  void TearDown() override { fs::remove(Path); }

  std::unique_ptr<TSQLiteDataSet> OpenTable() {
    auto ds = std::make_unique<TSQLiteDataSet>(nullptr);
    ds->SetDatabaseName(Path.string());
    ds->SetTableName("scores");
    ds->Open();
    return ds;
  }

  fs::path Path;
};

TEST_F(SQLiteDataSetTest, ReadsRowsWithTypedFields) {
  auto ds = OpenTable();
  ASSERT_EQ(ds->RecordCount(), 2);
  EXPECT_EQ(ds->FieldCount(), 5);
  EXPECT_EQ(ds->FieldByName("moves")->DataType(), ftInteger);
  EXPECT_EQ(ds->FieldByName("time")->DataType(), ftFloat);
  EXPECT_EQ(ds->FieldByName("solved")->DataType(), ftBoolean);
  EXPECT_EQ(ds->FieldByName("player")->AsString(), "ann");
  EXPECT_DOUBLE_EQ(ds->FieldByName("time")->AsFloat(), 12.5);
  EXPECT_TRUE(ds->FieldByName("solved")->AsBoolean());
  ds->Last();
  EXPECT_EQ(ds->FieldByName("moves")->AsInteger(), 41);
}

TEST_F(SQLiteDataSetTest, PostsEditsInsertsAndDeletesThroughToTheFile) {
  {
    auto ds = OpenTable();
    ds->Edit();
    ds->FieldByName("moves")->SetAsInteger(28);
    ds->Post();
    ds->Append();
    ds->FieldByName("player")->SetAsString("cy");
    ds->Post();
    // The store's key and default come back into the record.
    EXPECT_EQ(ds->FieldByName("id")->AsInteger(), 3);
    EXPECT_TRUE(ds->FieldByName("solved")->AsBoolean());
    ds->First();
    ds->Next();
    ds->Delete();
  }
  auto ds = OpenTable();
  ASSERT_EQ(ds->RecordCount(), 2);
  EXPECT_EQ(ds->FieldByName("moves")->AsInteger(), 28);
  ds->Next();
  EXPECT_EQ(ds->FieldByName("player")->AsString(), "cy");
  EXPECT_TRUE(ds->FieldByName("moves")->IsNull());
}

TEST_F(SQLiteDataSetTest, RefusedPostKeepsTheEditOpen) {
  auto ds = OpenTable();
  ds->Edit();
  ds->FieldByName("player")->Clear();
  try {
    ds->Post();
    FAIL() << "the NOT NULL column accepted a null";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.Message).find("NOT NULL constraint failed"), std::string::npos) << e.Message;
  }
  EXPECT_EQ(ds->State(), dsEdit);
  ds->Cancel();
  EXPECT_EQ(ds->FieldByName("player")->AsString(), "ann");
}

TEST_F(SQLiteDataSetTest, QueriesAreReadOnly) {
  TSQLiteDataSet q(nullptr);
  q.SetDatabaseName(Path.string());
  q.SetSQL("SELECT player, moves * 2 AS doubled FROM scores ORDER BY moves DESC");
  q.Open();
  EXPECT_EQ(q.FieldByName("doubled")->AsInteger(), 82);
  EXPECT_FALSE(q.CanModify());
  EXPECT_THROW(q.Edit(), EDatabaseError);
  EXPECT_THROW(q.SetSQL("SELECT 1"), EDatabaseError); // open
}

TEST_F(SQLiteDataSetTest, DatesMemosAndPicturesComeBackExactly) {
  {
    TSQLiteDataSet setup(nullptr);
    setup.SetDatabaseName(Path.string());
    setup.ExecSQL("CREATE TABLE games (title VARCHAR(20), played DATE, notes CLOB, shot GRAPHIC, raw BLOB)");
  }
  const AnsiString picture("BM\0\xff\x01"
                           "text",
                           9);                    // bytes with a zero and high bits
  const AnsiString notes = "1.50\r\nsecond line"; // text that a numeric column would turn into 1.5
  {
    TSQLiteDataSet ds(nullptr);
    ds.SetDatabaseName(Path.string());
    ds.SetTableName("games");
    ds.Open();
    EXPECT_EQ(ds.FieldByName("played")->DataType(), ftDate);
    EXPECT_EQ(ds.FieldByName("notes")->DataType(), ftMemo);
    EXPECT_EQ(ds.FieldByName("shot")->DataType(), ftGraphic);
    EXPECT_EQ(ds.FieldByName("raw")->DataType(), ftBlob);
    ds.Append();
    ds.FieldByName("title")->SetAsString("first");
    ds.FieldByName("played")->SetAsString("2024-02-29");
    ds.FieldByName("notes")->SetAsString(notes);
    ds.FieldByName("shot")->SetAsString(picture);
    ds.Post();
  }
  TSQLiteDataSet ds(nullptr);
  ds.SetDatabaseName(Path.string());
  ds.SetTableName("games");
  ds.Open();
  EXPECT_EQ(ds.FieldByName("played")->Text(), "2024-02-29");
  EXPECT_EQ(ds.FieldByName("notes")->AsString(), notes);
  EXPECT_EQ(ds.FieldByName("shot")->AsString(), picture);
  EXPECT_TRUE(ds.FieldByName("raw")->IsNull());
  TSQLiteDataSet check(nullptr);
  check.SetDatabaseName(Path.string());
  check.SetSQL("SELECT typeof(shot) AS t FROM games");
  check.Open();
  EXPECT_EQ(check.FieldByName("t")->AsString(), "blob");
}

TEST_F(SQLiteDataSetTest, RefreshReadsTheFileAgainAndKeepsTheRecord) {
  auto ds = OpenTable();
  ds->Last();
  TSQLiteDataSet other(nullptr);
  other.SetDatabaseName(Path.string());
  other.ExecSQL("UPDATE scores SET moves = 99 WHERE player = 'bob'; "
                "INSERT INTO scores (id, player) VALUES (0, 'zed')");
  EXPECT_EQ(ds->FieldByName("moves")->AsInteger(), 41);
  ds->Refresh();
  EXPECT_EQ(ds->RecordCount(), 3);
  EXPECT_EQ(ds->FieldByName("player")->AsString(), "bob");
  EXPECT_EQ(ds->FieldByName("moves")->AsInteger(), 99);
}

TEST_F(SQLiteDataSetTest, BadDatabasesRaiseSQLiteMessages) {
  auto expectError = [](TSQLiteDataSet& ds, const char* text) {
    try {
      ds.Open();
      ADD_FAILURE() << "opened";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(std::string(e.Message).find(text), std::string::npos) << e.Message;
    }
    EXPECT_FALSE(ds.Active());
  };
  TSQLiteDataSet ds(nullptr);
  ds.SetDatabaseName(Path.string());
  ds.SetTableName("nope");
  expectError(ds, "no such table: nope");

  ds.SetDatabaseName((Path.parent_path() / "no-such-folder-q" / "x.db").string());
  expectError(ds, "unable to open database file");

  const fs::path junk = Path.string() + ".junk";
  std::ofstream(junk) << std::string(4096, 'j');
  ds.SetDatabaseName(junk.string());
  ds.SetTableName("scores");
  expectError(ds, "file is not a database");
  fs::remove(junk);
}

} // namespace
