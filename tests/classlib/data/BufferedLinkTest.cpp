#include <gtest/gtest.h>
#include <vector>

#include "classlib/core/DateUtils.h"
#include "classlib/core/SysUtils.h"
#include "classlib/data/DBActns.h"
#include "classlib/data/DataLink.h"
#include "classlib/data/DataSource.h"
#include "classlib/data/MemDataSet.h"

namespace {

class TScrollLog : public TDataLink {
 public:
  std::vector<int> Scrolls;

 protected:
  void DataSetScrolled(int Distance) override { Scrolls.push_back(Distance); }
};

class BufferedLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Data.AddFieldDef("N", ftInteger);
    Data.Open();
    for (int i = 1; i <= 10; ++i) {
      Data.Append();
      Data.FieldByName("N")->SetAsInteger(i);
      Data.Post();
    }
    Data.First();
    Source.SetDataSet(&Data);
    Link.SetBufferCount(4);
    Link.SetDataSource(&Source);
  }

  // The values of the buffered rows, as a grid paints them.
  std::vector<int> Rows() {
    std::vector<int> out;
    const int old = Link.ActiveRecord();
    for (int i = 0; i < Link.RecordCount(); ++i) {
      Link.SetActiveRecord(i);
      out.push_back(static_cast<int>(Data.FieldByName("N")->AsInteger()));
    }
    Link.SetActiveRecord(old);
    return out;
  }

  TMemDataSet Data{nullptr};
  TDataSource Source{nullptr};
  TScrollLog Link;
};

TEST_F(BufferedLinkTest, WindowFollowsTheCurrentRecordOnlyAsFarAsItMust) {
  EXPECT_EQ(Rows(), (std::vector<int>{1, 2, 3, 4}));
  Data.MoveBy(3); // inside the window: no shift
  EXPECT_EQ(Link.ActiveRecord(), 3);
  Data.Next(); // one beyond: the window moves by one
  EXPECT_EQ(Rows(), (std::vector<int>{2, 3, 4, 5}));
  EXPECT_EQ(Link.ActiveRecord(), 3);
  Data.Last();
  EXPECT_EQ(Link.FirstRecord(), 6);
  Data.MoveBy(-2);
  EXPECT_EQ(Link.FirstRecord(), 6); // still inside
  Data.First();
  EXPECT_EQ(Link.Scrolls, (std::vector<int>{0, 1, 5, 0, -6}));
  // Painting a row leaves the fields on the current record afterwards.
  Rows();
  EXPECT_EQ(Data.FieldByName("N")->AsInteger(), 1);
}

TEST_F(BufferedLinkTest, InsertAndDeleteKeepTheBufferFull) {
  Data.Last();
  Data.Append(); // the new record joins the buffer at its end
  EXPECT_EQ(Link.RecordCount(), 4);
  EXPECT_EQ(Link.ActiveRecord(), 3);
  Data.FieldByName("N")->SetAsInteger(11);
  EXPECT_EQ(Rows(), (std::vector<int>{8, 9, 10, 11}));
  Data.Cancel();
  EXPECT_EQ(Rows(), (std::vector<int>{7, 8, 9, 10}));
  Data.Delete();
  Data.Delete();
  EXPECT_EQ(Rows(), (std::vector<int>{5, 6, 7, 8})); // filled from before rather than left short
  // A buffer larger than the data set holds every record.
  Link.SetBufferCount(20);
  EXPECT_EQ(Link.RecordCount(), 8);
  EXPECT_EQ(Link.FirstRecord(), 0);
}

TEST_F(BufferedLinkTest, EditedRecordShowsItsUnpostedValuesInItsRow) {
  Data.Next();
  Data.Edit();
  Data.FieldByName("N")->SetAsInteger(99);
  EXPECT_EQ(Rows(), (std::vector<int>{1, 99, 3, 4}));
  Data.Cancel();
  EXPECT_EQ(Rows(), (std::vector<int>{1, 2, 3, 4}));
}

TEST(LocateTest, FindsByOneOrSeveralFieldsAndLooksUpWithoutMoving) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("Name", ftString, 20);
  ds.AddFieldDef("Year", ftInteger);
  ds.Open();
  const std::pair<const char*, int> rows[] = {{"Alpha", 2001}, {"beta", 2002}, {"Beta", 2003}};
  for (const auto& [name, year] : rows) {
    ds.Append();
    ds.FieldByName("Name")->SetAsString(name);
    ds.FieldByName("Year")->SetAsInteger(year);
    ds.Post();
  }
  ds.First();
  EXPECT_TRUE(ds.Locate("Name", {AnsiString("Beta")}));
  EXPECT_EQ(ds.RecNo(), 3);
  EXPECT_TRUE(ds.Locate("Name", {AnsiString("BETA")}, {loCaseInsensitive}));
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_TRUE(ds.Locate("Name;Year", {AnsiString("al"), int64_t{2001}}, {loPartialKey, loCaseInsensitive}));
  EXPECT_EQ(ds.RecNo(), 1);
  EXPECT_FALSE(ds.Locate("Year", {int64_t{1999}}));
  EXPECT_EQ(ds.RecNo(), 1);                                     // a failed search stays put
  EXPECT_FALSE(ds.Locate("Year", {int64_t{2001}, int64_t{2}})); // more values than fields
  EXPECT_THROW(ds.Locate("Missing", {int64_t{1}}), EDatabaseError);
  // Numbers match across integer and float storage, and text "2003" matches the number.
  EXPECT_EQ(std::get<AnsiString>(ds.Lookup("Year", {2003.0}, "Name")), "Beta");
  EXPECT_EQ(std::get<AnsiString>(ds.Lookup("Year", {AnsiString("2002")}, "Name")), "beta");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(ds.Lookup("Year", {int64_t{5}}, "Name")));
  EXPECT_EQ(ds.RecNo(), 1);
  // Locate posts a pending edit before it moves, like any move.
  ds.Edit();
  ds.FieldByName("Year")->SetAsInteger(2000);
  ds.Locate("Name", {AnsiString("beta")});
  ds.First();
  EXPECT_EQ(ds.FieldByName("Year")->AsInteger(), 2000);
}

TEST(LookupFieldTest, ShowsTheOtherDataSetsValueAndFollowsItsKey) {
  TMemDataSet kinds(nullptr);
  kinds.AddFieldDef("Id", ftInteger);
  kinds.AddFieldDef("Title", ftString, 20);
  kinds.Open();
  for (int i = 1; i <= 2; ++i) {
    kinds.Append();
    kinds.FieldByName("Id")->SetAsInteger(i);
    kinds.FieldByName("Title")->SetAsString(i == 1 ? "Classic" : "Picture");
    kinds.Post();
  }
  auto games = std::make_unique<TMemDataSet>(nullptr);
  games->AddFieldDef("Kind", ftInteger);
  games->AddLookupField({"KindTitle", ftString, 20, "Kind", &kinds, "Id", "Title"});
  games->Open();
  games->Append();
  games->FieldByName("Kind")->SetAsInteger(2);
  TField* title = games->FieldByName("KindTitle");
  EXPECT_TRUE(title->Lookup());
  EXPECT_EQ(title->AsString(), "Picture"); // follows the unposted key at once
  EXPECT_FALSE(title->CanModify());
  EXPECT_THROW(title->SetAsString("Classic"), EDatabaseError);
  games->Post();
  games->Append();
  games->FieldByName("Kind")->SetAsInteger(7); // no such key
  EXPECT_TRUE(title->IsNull());
  games->Post();
  EXPECT_EQ(games->DataFieldCount(), 1);
  kinds.Close();
  EXPECT_TRUE(title->IsNull());
  // A lookup data set freed first leaves the field empty, not dangling.
  kinds.Open();
  games->Close();
  {
    TMemDataSet gone(nullptr);
    gone.AddFieldDef("Id", ftInteger);
    games->AddLookupField({"Other", ftString, 10, "Kind", &gone, "Id", "Id"});
  }
  games->Open();
  EXPECT_TRUE(games->FieldByName("Other")->IsNull());
}

TEST(DisplayFormatTest, NumbersAndDatesShowInTheirFormatsAndEditPlainly) {
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1,234,567.89");
  EXPECT_EQ(FormatFloat("0.0", -0.04), "0.0"); // rounds to zero: no sign
  EXPECT_EQ(FormatFloat("0;(0);'zero'", -5), "(5)");
  EXPECT_EQ(FormatFloat("0;(0);'zero'", 0), "zero");
  EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
  EXPECT_EQ(FormatFloat("000", 7), "007");
  EXPECT_EQ(FormatFloat("'$'#,##0", 1500), "$1,500");

  TMemDataSet ds(nullptr);
  ds.AddFieldDef("Price", ftFloat);
  ds.AddFieldDef("Played", ftDate);
  ds.AddFieldDef("Notes", ftMemo);
  ds.AddFieldDef("Picture", ftGraphic);
  ds.Open();
  ds.Append();
  TField* price = ds.FieldByName("Price");
  price->SetDisplayFormat("#,##0.00");
  price->SetAsString("1,234.5"); // the shown text reads back
  EXPECT_EQ(price->DisplayText(), "1,234.50");
  EXPECT_EQ(price->Text(), "1234.5");
  EXPECT_EQ(price->Alignment(), taRightJustify);
  TField* played = ds.FieldByName("Played");
  played->SetDisplayFormat("dd.mm.yyyy");
  played->SetAsString("3.2.2024");
  EXPECT_EQ(std::get<AnsiString>(played->Value()), "2024-02-03"); // stored as ISO text
  EXPECT_EQ(played->DisplayText(), "03.02.2024");
  EXPECT_EQ(played->Text(), "03.02.2024");
  EXPECT_THROW(played->SetAsString("31.2.2024"), EConvertError);
  uint16_t y = 0, m = 0, d = 0;
  DecodeDate(played->AsDateTime(), y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240203);
  TField* notes = ds.FieldByName("Notes");
  EXPECT_EQ(notes->DisplayText(), "");
  notes->SetAsString("line one\r\nline two");
  EXPECT_EQ(notes->DisplayText(), "(MEMO)");
  EXPECT_EQ(notes->Text(), "line one\r\nline two");
  EXPECT_TRUE(notes->IsBlob());
  ds.FieldByName("Picture")->SetAsString(AnsiString("BM\0\1", 4));
  EXPECT_EQ(ds.FieldByName("Picture")->DisplayText(), "(GRAPHIC)");
  EXPECT_EQ(ds.FieldByName("Picture")->AsString().size(), 4u); // bytes kept whole
}

TEST(DataSetActionTest, ActOnTheirSourceAndEnableThemselvesFromItsState) {
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("N", ftInteger);
  ds.Open();
  TDataSource source(nullptr), other(nullptr);
  source.SetDataSet(&ds);
  TDataSetInsert insert(nullptr);
  TDataSetPost post(nullptr);
  TDataSetDelete del(nullptr);
  TDataSetFirst first(nullptr);
  TDataSetLast last(nullptr);

  // Without a data source of its own, an action takes any source that has a data set.
  EXPECT_TRUE(insert.HandlesTarget(&source));
  EXPECT_FALSE(insert.HandlesTarget(&other));
  insert.SetDataSource(&other);
  EXPECT_FALSE(insert.HandlesTarget(&source));
  insert.SetDataSource(nullptr);

  TDataLink link;
  link.SetDataSource(&source);
  EXPECT_TRUE(link.UpdateAction(&del));
  EXPECT_FALSE(del.Enabled()); // nothing to delete
  EXPECT_TRUE(link.ExecuteAction(&insert));
  EXPECT_EQ(ds.State(), dsInsert);
  link.UpdateAction(&insert);
  link.UpdateAction(&post);
  EXPECT_FALSE(insert.Enabled());
  EXPECT_TRUE(post.Enabled());
  ds.FieldByName("N")->SetAsInteger(1);
  link.ExecuteAction(&post);
  ds.Append();
  ds.FieldByName("N")->SetAsInteger(2);
  ds.Post();
  link.UpdateAction(&first);
  link.UpdateAction(&last);
  EXPECT_TRUE(first.Enabled());
  link.ExecuteAction(&last);
  link.UpdateAction(&last);
  EXPECT_FALSE(last.Enabled());
  EXPECT_FALSE(TDataLink().ExecuteAction(&first)); // a link without a source takes nothing
  {
    TDataSource gone(nullptr);
    first.SetDataSource(&gone);
  }
  EXPECT_EQ(first.DataSource(), nullptr);
}

} // namespace
