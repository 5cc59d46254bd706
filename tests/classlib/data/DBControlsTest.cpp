// The data-aware controls on a real database: typing starts an edit, leaving a control writes its field, the
// grid follows the record pointer and edits in its cells, lookup controls write keys, CM_GETDATALINK answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Clipboard.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/ScrollBars.h"
#include "classlib/core/Stream.h"
#include "classlib/core/SysUtils.h"
#include "classlib/data/DBActns.h"
#include "classlib/data/DBCtrls.h"
#include "classlib/data/DBGrids.h"
#include "classlib/data/SQLiteDataSet.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

class DataAwareControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Path =
        fs::temp_directory_path() / ("quendrel-dbctrls-" + std::to_string(getpid()) + "-" +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".db");
    fs::remove(Path);
    {
      TSQLiteDataSet setup(nullptr);
      setup.SetDatabaseName(Path.string());
      setup.ExecSQL(
          "CREATE TABLE kinds (id INTEGER PRIMARY KEY, title TEXT);"
          "INSERT INTO kinds VALUES (1, 'Numbers'), (2, 'Picture'), (3, 'Mixed');"
          "CREATE TABLE games (name VARCHAR(20), moves INTEGER, played DATE, notes CLOB, kind INTEGER);"
          "INSERT INTO games VALUES ('ann', 30, '2024-01-05', 'first', 1), ('bob', 41, '2024-02-06', "
          "'second', 2), ('cy', 12, '2024-03-07', NULL, 3);");
    }
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(40, 40, 460, 360);
    Kinds = new TSQLiteDataSet(Form.get()); // owned by the form
    Kinds->SetDatabaseName(Path.string());
    Kinds->SetTableName("kinds");
    Games = new TSQLiteDataSet(Form.get()); // owned by the form
    Games->SetDatabaseName(Path.string());
    Games->SetTableName("games");
    Games->AddLookupField({"KindTitle", ftString, 20, "kind", Kinds, "id", "title"});
    Kinds->Open();
    Games->Open();
    Source = new TDataSource(Form.get()); // owned by the form
    Source->SetDataSet(Games);
    KindSource = new TDataSource(Form.get()); // owned by the form
    KindSource->SetDataSet(Kinds);
  }
  void TearDown() override {
    Form.reset();
    fs::remove(Path);
  }
  template <class T> T* Make(int L, int T_, int W, int H) {
    auto* c = new T(Form.get()); // owned by the form
    c->SetParent(Form.get());
    c->SetBounds(L, T_, W, H);
    return c;
  }
  void Show() {
    Form->Show();
    testsupport::Pump();
  }
  // What the database file holds now, read afresh.
  AnsiString Stored(const char* Sql) {
    TSQLiteDataSet q(nullptr);
    q.SetDatabaseName(Path.string());
    q.SetSQL(Sql);
    q.Open();
    return q.Fields(0)->AsString();
  }

  fs::path Path;
  std::unique_ptr<TForm> Form;
  TSQLiteDataSet* Kinds = nullptr;
  TSQLiteDataSet* Games = nullptr;
  TDataSource* Source = nullptr;
  TDataSource* KindSource = nullptr;
};

TEST_F(DataAwareControlsTest, EditShowsTheDisplayTextAndWritesWhatIsTypedOnPost) {
  auto* name = Make<TDBEdit>(10, 10, 120, 22);
  auto* played = Make<TDBEdit>(10, 40, 120, 22);
  auto* other = Make<TEdit>(10, 70, 120, 22);
  name->SetDataSource(Source);
  name->SetDataField("name");
  played->SetDataSource(Source);
  played->SetDataField("played");
  Show();
  Games->FieldByName("played")->SetDisplayFormat("dd.mm.yyyy");
  Games->Refresh();
  EXPECT_EQ(name->Text(), "ann");
  EXPECT_EQ(played->Text(), "05.01.2024");
  EXPECT_EQ(name->MaxLength(), 0); // the data set declares no size for text columns
  EXPECT_EQ(name->Perform(CM_GETDATALINK, 0, 0), reinterpret_cast<LRESULT>(name->Link()));
  // A read-only data set: typing changes nothing.
  name->SetFocus();
  Games->SetReadOnly(true);
  testsupport::Type("x");
  EXPECT_EQ(name->Text(), "ann");
  EXPECT_EQ(Games->State(), dsBrowse);
  Games->SetReadOnly(false);
  // Typing puts the data set into edit mode; leaving the control writes the field; posting stores it.
  testsupport::PressKey(VK_END);
  testsupport::Type("ie");
  EXPECT_EQ(Games->State(), dsEdit);
  other->SetFocus();
  EXPECT_EQ(Games->FieldByName("name")->AsString(), "annie");
  Games->Post();
  EXPECT_EQ(Stored("SELECT name FROM games WHERE rowid = 1"), "annie");
  // A date typed in the display format is stored as ISO text; a bad one keeps the focus and the edit open.
  played->SetFocus();
  played->SelectAll();
  testsupport::Type("9.3.2024");
  other->SetFocus();
  Games->Post();
  EXPECT_EQ(Stored("SELECT played FROM games WHERE rowid = 1"), "2024-03-09");
  played->SetFocus();
  played->SelectAll();
  testsupport::Type("31.2.2024");
  EXPECT_THROW(played->Perform(CM_EXIT, 0, 0), EConvertError);
  Games->Cancel();
  EXPECT_EQ(played->Text(), "09.03.2024");
  // Escape takes back what was typed.
  testsupport::Type("1");
  testsupport::PressKey(VK_ESCAPE, 0, "\x1b");
  EXPECT_EQ(played->Text(), "09.03.2024");
}

TEST_F(DataAwareControlsTest, MemoListAndComboWriteTheirFields) {
  auto* memo = Make<TDBMemo>(10, 10, 150, 60);
  auto* list = Make<TDBListBox>(170, 10, 100, 60);
  auto* combo = Make<TDBComboBox>(280, 10, 120, 21);
  memo->SetDataSource(Source);
  memo->SetDataField("notes");
  list->SetDataSource(Source);
  list->SetDataField("name");
  combo->SetDataSource(Source);
  combo->SetDataField("name");
  TStringList names;
  names.SetCommaText("ann,bob,cy,dee");
  list->SetItems(&names); // the field is matched with the new items at once
  combo->SetItems(&names);
  Show();
  EXPECT_EQ(memo->Text(), "first");
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(combo->Text(), "ann");
  Games->Next();
  EXPECT_EQ(memo->Text(), "second");
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(combo->ItemIndex(), 1);
  // A line break typed in the memo goes into the field.
  memo->SetFocus();
  testsupport::PressKey(VK_END, backend::ModControl);
  testsupport::PressKey(VK_RETURN, 0, "\r");
  testsupport::Type("more");
  Games->Post();
  EXPECT_EQ(Stored("SELECT notes FROM games WHERE rowid = 2"), "second\r\nmore");
  // Choosing in the list box edits the record; the field takes the item on post.
  testsupport::Click(list, 10, list->ItemHeight() * 3 + 2);
  EXPECT_EQ(Games->State(), dsEdit);
  Games->Post();
  EXPECT_EQ(Stored("SELECT name FROM games WHERE rowid = 2"), "dee");
  EXPECT_EQ(combo->Text(), "dee");
  // The combo box: the key Down chooses the next item.
  combo->SetFocus();
  testsupport::PressKey(VK_UP);
  EXPECT_EQ(combo->Text(), "cy");
  Games->Post();
  EXPECT_EQ(Stored("SELECT name FROM games WHERE rowid = 2"), "cy");
}

TEST_F(DataAwareControlsTest, LookupControlsShowTitlesAndWriteKeys) {
  auto* listBox = Make<TDBLookupListBox>(10, 10, 120, 60);
  auto* combo = Make<TDBLookupComboBox>(150, 10, 140, 21);
  listBox->SetDataSource(Source);
  listBox->SetDataField("kind");
  listBox->SetListSource(KindSource);
  listBox->SetKeyField("id");
  listBox->SetListField("title");
  combo->SetDataSource(Source);
  combo->SetDataField("KindTitle"); // a lookup field brings its own list
  Show();
  EXPECT_TRUE(listBox->ListActive());
  EXPECT_TRUE(combo->ListActive());
  EXPECT_EQ(combo->SelectedText(), "Numbers");
  EXPECT_EQ(std::get<int64_t>(listBox->KeyValue()), 1);
  EXPECT_EQ(combo->Perform(CM_GETDATALINK, 0, 0), reinterpret_cast<LRESULT>(combo->Link()));
  // Clicking the third row writes key 3; the combo box follows through the lookup field.
  testsupport::Click(listBox, 10, listBox->ItemHeight() * 2 + 3);
  EXPECT_EQ(Games->State(), dsEdit);
  EXPECT_EQ(Games->FieldByName("kind")->AsInteger(), 3);
  EXPECT_EQ(combo->SelectedText(), "Mixed");
  Games->Post();
  EXPECT_EQ(Stored("SELECT kind FROM games WHERE rowid = 1"), "3");
  // The drop-down list of the combo box: a pop-up window under it; clicking a row chooses it.
  testsupport::Click(combo, combo->ClientWidth() - 5, 8);
  ASSERT_TRUE(combo->ListVisible());
  TRect comboRect, listRect;
  GetWindowRect(combo->Handle(), &comboRect);
  GetWindowRect(combo->DataList()->Handle(), &listRect);
  EXPECT_EQ(listRect.Top, comboRect.Bottom);
  testsupport::Click(combo->DataList(), 10, combo->DataList()->ItemHeight() + 3);
  EXPECT_FALSE(combo->ListVisible());
  EXPECT_EQ(Games->FieldByName("kind")->AsInteger(), 2);
  EXPECT_EQ(std::get<int64_t>(listBox->KeyValue()), 2);
  Games->Cancel();
  EXPECT_EQ(combo->SelectedText(), "Mixed");
}

TEST_F(DataAwareControlsTest, ImageDecodesEachPictureOnceAndPastesANewOne) {
  auto* image = Make<TDBImage>(10, 10, 80, 80);
  {
    TSQLiteDataSet setup(nullptr);
    setup.SetDatabaseName(Path.string());
    setup.ExecSQL("CREATE TABLE shots (pic BLOB)");
  }
  TBitmap bmp;
  bmp.SetWidth(8);
  bmp.SetHeight(6);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect({0, 0, 8, 6});
  TMemoryStream stream;
  bmp.SaveToStream(&stream);
  const AnsiString bytes(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
  auto* shots = new TSQLiteDataSet(Form.get()); // owned by the form
  shots->SetDatabaseName(Path.string());
  shots->SetTableName("shots");
  shots->Open();
  auto* source = new TDataSource(Form.get()); // owned by the form
  source->SetDataSet(shots);
  image->SetDataSource(source);
  image->SetDataField("pic");
  Show();
  EXPECT_EQ(image->Picture()->Graphic(), nullptr);
  Clipboard()->SetAsPicture(bytes);
  image->SetFocus();
  testsupport::PressKey('V', backend::ModControl, "\x16");
  EXPECT_EQ(shots->State(), dsInsert);
  ASSERT_NE(image->Picture()->Graphic(), nullptr);
  EXPECT_EQ(image->Picture()->Width(), 8);
  shots->Post();
  const int loads = image->LoadCount();
  for (int i = 0; i < 3; ++i) image->Repaint();
  shots->Refresh();
  EXPECT_EQ(image->LoadCount(), loads); // painting and an unchanged value decode nothing
  const TSurface s = testsupport::Render(image);
  EXPECT_EQ(testsupport::PixelAt(s, 40, 40), clRed);
  EXPECT_EQ(Stored("SELECT length(pic) FROM shots"), IntToStr(static_cast<int64_t>(bytes.size())));
}

TEST_F(DataAwareControlsTest, GridFollowsTheRecordPointerAndEditsInItsCells) {
  auto* grid = Make<TDBGrid>(10, 10, 420, 150);
  grid->SetDataSource(Source);
  Show();
  EXPECT_EQ(grid->Columns()->Count(), 6); // five columns and the lookup field
  EXPECT_EQ(grid->Columns()->Items(5)->Title(), "KindTitle");
  EXPECT_EQ(grid->RowCount(), 1 + 3);
  EXPECT_EQ(grid->Row(), 1);
  // The vertical bar counts records.
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(grid->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMin, 1);
  EXPECT_EQ(si.nMax - static_cast<int>(si.nPage) + 1, 3);
  EXPECT_EQ(si.nPos, 1);
  grid->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
  EXPECT_EQ(Games->RecNo(), 3);
  EXPECT_EQ(grid->Row(), 3);
  // Clicking a row moves the record pointer.
  const TRect first = grid->CellRect(2, 1);
  testsupport::Click(grid, first.Left + 5, first.Top + 5);
  EXPECT_EQ(Games->RecNo(), 1);
  // Typing in the moves column edits the record; Down posts it on the way to the next one.
  grid->SetFocus();
  grid->SetSelectedIndex(1);
  testsupport::Type("77");
  EXPECT_EQ(Games->State(), dsEdit);
  testsupport::PressKey(VK_DOWN);
  EXPECT_EQ(Games->State(), dsBrowse);
  EXPECT_EQ(Games->RecNo(), 2);
  EXPECT_EQ(Stored("SELECT moves FROM games WHERE rowid = 1"), "77");
  // Insert starts a new record before the current one; Escape takes it back.
  testsupport::PressKey(VK_INSERT);
  EXPECT_EQ(Games->State(), dsInsert);
  EXPECT_EQ(grid->RowCount(), 1 + 4);
  testsupport::PressKey(VK_ESCAPE, 0, "\x1b");
  EXPECT_EQ(Games->State(), dsBrowse);
  // Ctrl+Delete asks first; Cancel keeps the record, OK deletes it.
  int answer = IDCANCEL;
  std::vector<AnsiString> asked;
  MessageBoxHook = [&](const AnsiString& Text, const AnsiString&, int) {
    asked.push_back(Text);
    return answer;
  };
  testsupport::PressKey(VK_DELETE, backend::ModControl);
  EXPECT_EQ(Games->RecordCount(), 3);
  answer = IDOK;
  testsupport::PressKey(VK_DELETE, backend::ModControl);
  MessageBoxHook = nullptr;
  EXPECT_EQ(Games->RecordCount(), 2);
  EXPECT_EQ(asked, (std::vector<AnsiString>{"Delete record?", "Delete record?"}));
  EXPECT_EQ(Stored("SELECT count(*) FROM games"), "2");
  testsupport::RenderToPng(grid, "dbgrid.png");
}

TEST_F(DataAwareControlsTest, ActionsReachTheFocusedControlsDataSource) {
  auto* name = Make<TDBEdit>(10, 10, 120, 22);
  name->SetDataSource(Source);
  name->SetDataField("name");
  auto* list = new TActionList(Form.get());  // owned by the form
  auto* next = new TDataSetNext(Form.get()); // owned by the form
  auto* last = new TDataSetLast(Form.get()); // owned by the form
  next->SetActionList(list);
  last->SetActionList(list);
  Show();
  name->SetFocus();
  // The loop's idle time updates the actions through the focused control's link.
  Form->UpdateActions();
  EXPECT_TRUE(next->Enabled());
  EXPECT_TRUE(next->Execute());
  EXPECT_EQ(Games->RecNo(), 2);
  last->Execute();
  Form->UpdateActions();
  EXPECT_FALSE(next->Enabled());
  EXPECT_FALSE(next->Execute());
  EXPECT_EQ(Games->RecNo(), 3);
}

TEST_F(DataAwareControlsTest, ControlsHandDataSetActionsToTheirLinks) {
  auto* name = Make<TDBEdit>(10, 10, 120, 22);
  name->SetDataSource(Source);
  name->SetDataField("name");
  TDataSetLast last(nullptr);
  TDataSetNext next(nullptr);
  EXPECT_TRUE(name->UpdateAction(&last));
  EXPECT_TRUE(last.Enabled());
  EXPECT_TRUE(name->ExecuteAction(&last));
  EXPECT_EQ(Games->RecNo(), 3);
  name->UpdateAction(&next);
  EXPECT_FALSE(next.Enabled());
  name->SetDataSource(nullptr);
  EXPECT_FALSE(name->ExecuteAction(&last));
  // A data source that goes is forgotten.
  name->SetDataSource(Source);
  delete Source;
  Source = nullptr;
  EXPECT_EQ(name->DataSource(), nullptr);
}

} // namespace
