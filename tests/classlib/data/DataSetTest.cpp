#include "classlib/data/DataSet.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "classlib/data/DataLink.h"
#include "classlib/data/DataSource.h"
#include "classlib/data/MemDataSet.h"

namespace {

// Records every call a data link receives, in order.
class TLogLink : public TDataLink {
 public:
  std::vector<AnsiString> Log;

 protected:
  void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
  void EditingChanged() override { Log.push_back(Editing() ? "editing" : "browsing"); }
  void DataSetChanged() override { Log.push_back("changed"); }
  void DataSetScrolled(int Distance) override { Log.push_back("scrolled " + std::to_string(Distance)); }
  void RecordChanged(TField* Field) override {
    Log.push_back("record " + (Field ? Field->FieldName() : "-"));
  }
  void UpdateData() override { Log.push_back("update"); }
};

class DataSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Data.AddFieldDef("Name", ftString, 8);
    Data.AddFieldDef("Moves", ftInteger);
    Data.Open();
    for (const char* name : {"a", "b", "c"}) {
      Data.Append();
      Data.FieldByName("Name")->SetAsString(name);
      Data.FieldByName("Moves")->SetAsInteger(name[0] - 'a');
      Data.Post();
    }
    Data.First();
    Source.SetDataSet(&Data);
    Link.SetDataSource(&Source);
    Link.Log.clear();
  }

  AnsiString Names() {
    AnsiString s;
    Data.DisableControls();
    const int at = Data.RecNo();
    for (Data.First(); !Data.Eof(); Data.Next()) s += Data.FieldByName("Name")->AsString();
    Data.SetRecNo(at);
    Data.EnableControls();
    return s;
  }

  TMemDataSet Data{nullptr};
  TDataSource Source{nullptr};
  TLogLink Link;
};

TEST_F(DataSetTest, NavigationStopsAtTheEndsAndSetsBofEof) {
  EXPECT_TRUE(Data.Bof());
  EXPECT_FALSE(Data.Eof());
  EXPECT_EQ(Data.RecNo(), 1);
  Data.Prior();
  EXPECT_TRUE(Data.Bof());
  EXPECT_TRUE(Link.Log.empty()); // no move, no scroll
  Data.Next();
  EXPECT_FALSE(Data.Bof());
  Data.Next();
  EXPECT_EQ(Data.RecNo(), 3);
  EXPECT_FALSE(Data.Eof());
  Data.Next();
  EXPECT_TRUE(Data.Eof());
  EXPECT_EQ(Data.RecNo(), 3);
  EXPECT_EQ(Data.MoveBy(-10), -2);
  EXPECT_TRUE(Data.Bof());
  EXPECT_EQ(Data.RecNo(), 1);
  Data.Last();
  EXPECT_TRUE(Data.Eof());
  EXPECT_EQ(Data.FieldByName("name")->AsString(), "c");
  EXPECT_EQ(Data.RecordCount(), 3);

  // Editing in place keeps the ends, so navigation buttons stay as they were.
  Data.Edit();
  Data.FieldByName("Moves")->SetAsInteger(5);
  Data.Post();
  EXPECT_TRUE(Data.Eof());
  Data.First();
  Data.Edit();
  Data.Cancel();
  EXPECT_TRUE(Data.Bof());
}

TEST_F(DataSetTest, EmptyDataSetIsAtBothEnds) {
  TMemDataSet empty(nullptr);
  empty.AddFieldDef("X", ftInteger);
  empty.Open();
  EXPECT_TRUE(empty.Bof());
  EXPECT_TRUE(empty.Eof());
  EXPECT_EQ(empty.RecNo(), -1);
  EXPECT_TRUE(empty.FieldByName("X")->IsNull());
  EXPECT_THROW(empty.Delete(), EDatabaseError);
  empty.Edit(); // editing an empty set inserts
  EXPECT_EQ(empty.State(), dsInsert);
}

TEST_F(DataSetTest, LinksSeeScrollEditPostCancelAndActiveInOrder) {
  Data.Next();
  Data.Last();
  Data.Last(); // already there: scrolled by 0 is still reported
  EXPECT_EQ(Link.Log, (std::vector<AnsiString>{"scrolled 1", "scrolled 1", "scrolled 0"}));
  Link.Log.clear();

  Data.Edit();
  Data.FieldByName("Moves")->SetAsInteger(7);
  Data.Post();
  EXPECT_EQ(Link.Log, (std::vector<AnsiString>{"editing", "record Moves", "update", "browsing", "changed"}));
  Link.Log.clear();

  Data.Edit();
  Data.Cancel();
  EXPECT_EQ(Link.Log, (std::vector<AnsiString>{"editing", "browsing", "changed"}));
  Link.Log.clear();

  Data.Close();
  Data.Open();
  EXPECT_EQ(Link.Log, (std::vector<AnsiString>{"inactive", "active"}));
  EXPECT_EQ(Data.FieldByName("Moves")->AsInteger(), 0); // the memory store kept its records, cursor at first
}

TEST_F(DataSetTest, CancelRestoresAndPostKeepsValues) {
  Data.Edit();
  Data.FieldByName("Name")->SetAsString("changed!!");
  EXPECT_EQ(Data.FieldByName("Name")->AsString(), "changed!"); // cut to the field's size
  Data.Cancel();
  EXPECT_EQ(Data.FieldByName("Name")->AsString(), "a");
  EXPECT_THROW(Data.FieldByName("Name")->SetAsString("x"), EDatabaseError); // browsing
  EXPECT_THROW(Data.FieldByName("Nope"), EDatabaseError);
  EXPECT_EQ(Data.FindField("Nope"), nullptr);
}

TEST_F(DataSetTest, MovingPostsAModifiedEditAndCancelsAnUntouchedOne) {
  Data.Edit();
  Data.FieldByName("Name")->SetAsString("x");
  Data.Next();
  EXPECT_EQ(Data.State(), dsBrowse);
  EXPECT_EQ(Names(), "xbc");
  Data.Edit();
  Link.Log.clear();
  Data.Prior();
  EXPECT_EQ(Link.Log, (std::vector<AnsiString>{"update", "browsing", "changed", "scrolled -1"}));
  Data.Edit();
  Data.FieldByName("Moves")->SetAsInteger(3);
  Link.Log.clear();
  Data.Next(); // the links are asked for their values once
  EXPECT_EQ(Link.Log, (std::vector<AnsiString>{"update", "browsing", "changed", "scrolled 1"}));
}

TEST_F(DataSetTest, InsertGoesBeforeTheCurrentRecordAndAppendAtTheEnd) {
  Data.Next(); // at b
  Data.Insert();
  EXPECT_EQ(Data.RecNo(), -1);
  EXPECT_TRUE(Data.FieldByName("Name")->IsNull());
  Data.FieldByName("Name")->SetAsString("i");
  Data.Post();
  EXPECT_EQ(Data.RecNo(), 2);
  EXPECT_EQ(Names(), "aibc");
  Data.Append();
  Data.FieldByName("Name")->SetAsString("z");
  Data.Post();
  EXPECT_EQ(Data.RecNo(), 5);
  EXPECT_EQ(Names(), "aibcz");
  Data.First();
  Data.Insert();
  Data.Cancel(); // back to the record that was current
  EXPECT_EQ(Data.RecNo(), 1);
  EXPECT_EQ(Data.RecordCount(), 5);
}

TEST_F(DataSetTest, DeleteKeepsThePositionOrStepsBackFromTheEnd) {
  Data.Next();
  Data.Delete();
  EXPECT_EQ(Data.FieldByName("Name")->AsString(), "c");
  Data.Delete(); // the last one: the new last becomes current
  EXPECT_EQ(Data.FieldByName("Name")->AsString(), "a");
  Data.Delete();
  EXPECT_TRUE(Data.Bof() && Data.Eof());
  Data.Insert();
  Data.Delete(); // deleting an unposted insert discards it
  EXPECT_EQ(Data.State(), dsBrowse);
  EXPECT_EQ(Data.RecordCount(), 0);
}

TEST_F(DataSetTest, ReadOnlyAndDisabledSourcesRefuse) {
  Data.SetReadOnly(true);
  EXPECT_THROW(Data.Edit(), EDatabaseError);
  EXPECT_THROW(Data.Append(), EDatabaseError);
  EXPECT_FALSE(Link.Edit());
  Data.SetReadOnly(false);
  Source.SetAutoEdit(false);
  EXPECT_FALSE(Link.Edit());
  Source.SetAutoEdit(true);
  EXPECT_TRUE(Link.Edit());
  Link.Log.clear();
  Source.SetEnabled(false);
  EXPECT_EQ(Link.Log, (std::vector<AnsiString>{"inactive", "browsing"}));
  EXPECT_EQ(Source.State(), dsInactive);
}

TEST_F(DataSetTest, DataSourceReportsStateAndDataChanges) {
  std::vector<AnsiString> log;
  Source.OnStateChange = [&](TObject*) { log.push_back("state " + std::to_string(Source.State())); };
  Source.OnDataChange = [&](TObject*, TField* f) { log.push_back("data " + (f ? f->FieldName() : "-")); };
  Data.Next();
  Data.Edit();
  Data.FieldByName("Name")->SetAsString("n");
  Data.Post();
  EXPECT_EQ(log, (std::vector<AnsiString>{"data -", "state 2", "data Name", "state 1", "data -"}));
  Source.OnStateChange = nullptr; // the log goes out of scope before the source
  Source.OnDataChange = nullptr;
}

TEST_F(DataSetTest, DisabledControlsCatchUpOnceWhenEnabled) {
  Data.DisableControls();
  Data.Next();
  Data.Next();
  Data.Edit();
  Data.Cancel();
  EXPECT_TRUE(Link.Log.empty());
  Data.EnableControls();
  EXPECT_EQ(Link.Log, (std::vector<AnsiString>{"changed"}));
}

TEST_F(DataSetTest, DestroyingTheDataSetOrSourceDeactivatesLinks) {
  {
    auto ds = std::make_unique<TMemDataSet>(nullptr);
    ds->AddFieldDef("X", ftInteger);
    ds->Open();
    TDataSource src(nullptr);
    src.SetDataSet(ds.get());
    TLogLink link;
    link.SetDataSource(&src);
    ds.reset();
    EXPECT_EQ(link.Log, (std::vector<AnsiString>{"active", "inactive"}));
    EXPECT_EQ(src.DataSet(), nullptr);
  }
  auto src = std::make_unique<TDataSource>(nullptr);
  TLogLink link;
  src->SetDataSet(&Data);
  link.SetDataSource(src.get());
  src.reset();
  EXPECT_EQ(link.DataSource(), nullptr);
  EXPECT_FALSE(link.Active());
}

class FieldDataLinkTest : public DataSetTest {
 protected:
  void SetUp() override {
    DataSetTest::SetUp();
    Field.SetDataSource(&Source);
    Field.SetFieldName("Name");
    Field.OnDataChange = [this](TObject*) { Shown = Field.Field() ? Field.Field()->AsString() : "<none>"; };
    Field.OnUpdateData = [this](TObject*) { Field.Field()->SetAsString(Typed); };
    Field.OnEditingChange = [this](TObject*) { ++EditingChanges; };
  }

  TFieldDataLink Field;
  AnsiString Shown, Typed;
  int EditingChanges = 0;
};

TEST_F(FieldDataLinkTest, ControlFollowsItsFieldAndWritesOnlyWhenModified) {
  EXPECT_EQ(Field.Field(), Data.FieldByName("Name"));
  Data.Next();
  EXPECT_EQ(Shown, "b");
  Data.Edit();
  Data.FieldByName("Moves")->SetAsInteger(9); // another field: not this control's business
  Shown.clear();
  Data.FieldByName("Name")->SetAsString("q");
  EXPECT_EQ(Shown, "q");
  Typed = "typed";
  Data.Post(); // not marked modified: the control's text is not written
  EXPECT_EQ(Data.FieldByName("Name")->AsString(), "q");
  ASSERT_TRUE(Field.Edit());
  Field.Modified();
  Data.Post();
  EXPECT_EQ(Data.FieldByName("Name")->AsString(), "typed");
  EXPECT_FALSE(Field.IsModified());
}

TEST_F(FieldDataLinkTest, ResetAndRefusedEdits) {
  ASSERT_TRUE(Field.Edit());
  Field.Modified();
  Shown = "junk";
  Field.Reset();
  EXPECT_EQ(Shown, "a");
  EXPECT_FALSE(Field.IsModified());
  Data.Cancel();
  Field.SetReadOnly(true);
  EXPECT_FALSE(Field.Edit());
  EXPECT_EQ(Data.State(), dsBrowse);
  Field.SetReadOnly(false);
  Data.FieldByName("Name")->SetReadOnly(true);
  EXPECT_FALSE(Field.Edit());
  EXPECT_THROW(Field.SetFieldName("Missing"), EDatabaseError);
}

TEST_F(FieldDataLinkTest, ClosingDropsTheField) {
  Data.Close();
  EXPECT_EQ(Field.Field(), nullptr);
  EXPECT_EQ(Shown, "<none>");
  Data.Open();
  EXPECT_EQ(Shown, "a");
}

TEST(FieldTest, ConvertsBetweenTypes) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("I", ftInteger);
  ds.AddFieldDef("F", ftFloat);
  ds.AddFieldDef("B", ftBoolean);
  ds.Open();
  ds.Append();
  TField* i = ds.FieldByName("I");
  i->SetAsString(" 42 ");
  EXPECT_EQ(i->AsInteger(), 42);
  EXPECT_THROW(i->SetAsString("4x"), EConvertError);
  i->SetAsString("");
  EXPECT_TRUE(i->IsNull());
  ds.FieldByName("F")->SetAsString("2.5");
  EXPECT_DOUBLE_EQ(ds.FieldByName("F")->AsFloat(), 2.5);
  EXPECT_EQ(ds.FieldByName("F")->AsInteger(), 3);
  TField* b = ds.FieldByName("B");
  b->SetAsString("true");
  EXPECT_TRUE(b->AsBoolean());
  EXPECT_EQ(b->DisplayText(), "True");
  EXPECT_EQ(b->DisplayLabel(), "B");
  EXPECT_EQ(b->DataType(), ftBoolean);
}

} // namespace
