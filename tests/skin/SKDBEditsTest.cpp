// Skinned data-aware edit, memo, image, list boxes and combo boxes: the themed frame, linked scroll bars in
// both directions, the drop-down button in each style.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "classlib/controls/Form.h"
#include "classlib/controls/ScrollBars.h"
#include "classlib/core/SysUtils.h"
#include "classlib/data/DBActns.h"
#include "classlib/data/DataSource.h"
#include "classlib/data/MemDataSet.h"
#include "skin/SKDBCombos.h"
#include "skin/SKDBCtrls.h"
#include "skin/SKDBEdits.h"
#include "skin/SKMgr.h"
#include "skin/SKThemes.h"
#include "tests/support/TestSupport.h"

namespace {

class SkinnedDataControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Data.AddFieldDef("Name", ftString, 20);
    Data.AddFieldDef("Notes", ftMemo);
    Data.Open();
    for (int i = 1; i <= 3; ++i) {
      Data.Append();
      Data.FieldByName("Name")->SetAsString("name " + std::to_string(i));
      AnsiString notes;
      for (int l = 1; l <= 30 * i; ++l) notes += "note line " + std::to_string(l) + "\r\n";
      Data.FieldByName("Notes")->SetAsString(notes);
      Data.Post();
    }
    Data.First();
    Source.SetDataSet(&Data);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(20, 20, 400, 300);
  }
  void TearDown() override { SysLocale.MiddleEast = false; }
  template <class T> T* Make(int L, int T_, int W, int H) {
    auto* c = new T(Form.get()); // owned by the form
    c->SetParent(Form.get());
    c->SetBounds(L, T_, W, H);
    return c;
  }
  TskDBMemo* MakeMemo() {
    auto* memo = Make<TskDBMemo>(10, 10, 200, 100);
    memo->SetDataSource(&Source);
    memo->SetDataField("Notes");
    return memo;
  }
  // A lookup list box over twelve kinds, more than it shows at once.
  TskDBLookupListBox* MakeLookupList() {
    if (!Kinds.Active()) {
      Kinds.AddFieldDef("Id", ftInteger);
      Kinds.AddFieldDef("Title", ftString, 10);
      Kinds.Open();
      for (int i = 1; i <= 12; ++i) {
        Kinds.Append();
        Kinds.FieldByName("Id")->SetAsInteger(i);
        Kinds.FieldByName("Title")->SetAsString("kind " + std::to_string(i));
        Kinds.Post();
      }
      KindSource.SetDataSet(&Kinds);
    }
    auto* list = Make<TskDBLookupListBox>(10, 10, 120, 60);
    list->SetListSource(&KindSource);
    list->SetKeyField("Id");
    list->SetListField("Title");
    return list;
  }
  void Show() {
    Form->Show();
    testsupport::Pump();
  }

  TMemDataSet Data{nullptr};
  TDataSource Source{nullptr};
  TMemDataSet Kinds{nullptr};
  TDataSource KindSource{nullptr};
  std::unique_ptr<TForm> Form;
};

TEST_F(SkinnedDataControlsTest, FramesTakeTheThemesBorderColourAndDrawItAroundTheWindow) {
  auto* edit = Make<TskDBEdit>(10, 10, 120, 24);
  edit->SetDataSource(&Source);
  edit->SetDataField("Name");
  Show();
  EXPECT_EQ(edit->BorderWidth(), 2);
  EXPECT_EQ(edit->BorderStyle(), bsNone);
  EXPECT_EQ(edit->BorderColor(), GetInsideThemeColor(DeepBlue, 25));
  edit->SetUIStyle(WinXP);
  EXPECT_EQ(edit->BorderColor(), 0x686868);
  edit->SetBorderColor(clRed); // lasts until the style is set again
  TSurface s = testsupport::Render(edit);
  EXPECT_EQ(testsupport::PixelAt(s, 0, 0), clRed);
  EXPECT_EQ(testsupport::PixelAt(s, 1, 1), ColorToRGB(edit->Color()));
  edit->SetUIStyle(WinXP);
  EXPECT_EQ(edit->BorderColor(), 0x686868);
  EXPECT_EQ(edit->Text(), "name 1");
  // The frame survives a repaint of the non-client band.
  RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_FRAME | RDW_UPDATENOW);
  s = testsupport::Render(edit);
  EXPECT_EQ(testsupport::PixelAt(s, 0, 5), 0x686868);
}

TEST_F(SkinnedDataControlsTest, LinkingABarReleasesTheOneBeforeAndSetsTheMemosOwnBars) {
  auto* memo = MakeMemo();
  auto* first = Make<TskScrollBar>(300, 10, 16, 100);
  auto* second = Make<TskScrollBar>(330, 10, 16, 100);
  Show();
  memo->SetVScrollBar(first);
  EXPECT_EQ(memo->ScrollBars(), ssVertical);
  EXPECT_EQ(first->Orientation(), skVertical);
  // Placed over the memo's right edge, inside the frame.
  EXPECT_EQ(first->Left(), 10 + 200 - first->Width() - 2);
  EXPECT_EQ(first->Top(), 11);
  EXPECT_EQ(first->Height(), 98);
  memo->SetVScrollBar(first); // the same bar: nothing
  EXPECT_EQ(memo->VScrollBar(), first);
  first->SetMax(50);
  memo->SetVScrollBar(second);
  EXPECT_EQ(first->Max(), 100);
  EXPECT_EQ(first->LineButton(), 0);
  EXPECT_TRUE(first->Enabled());
  EXPECT_FALSE(static_cast<bool>(first->OnChange()));
  memo->SetHScrollBar(first);
  EXPECT_EQ(memo->ScrollBars(), ssBoth);
  memo->SetVScrollBar(nullptr);
  memo->SetHScrollBar(nullptr);
  EXPECT_EQ(memo->ScrollBars(), ssNone);
}

TEST_F(SkinnedDataControlsTest, MemoAndItsBarFollowEachOther) {
  auto* memo = MakeMemo();
  auto* bar = Make<TskScrollBar>(300, 10, 16, 100);
  Show();
  memo->SetVScrollBar(bar);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(memo->Handle(), SB_VERT, &si);
  EXPECT_EQ(bar->Max(), si.nMax - static_cast<int>(si.nPage) + 1);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_TRUE(bar->Enabled());
  EXPECT_TRUE(bar->SliderVisible());
  EXPECT_GE(bar->LineButton(), 18);
  // The memo scrolls: the bar follows.
  memo->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(bar->Position(), memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0));
  // The bar moves: the memo follows, and the bar keeps the place it was moved to.
  bar->SetPosition(7);
  EXPECT_EQ(memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0), 7);
  EXPECT_EQ(bar->Position(), 7);
  // A disabled memo keeps its bar visible without a slider.
  memo->SetEnabled(false);
  EXPECT_TRUE(bar->Visible());
  EXPECT_FALSE(bar->Enabled());
  EXPECT_FALSE(bar->SliderVisible());
  memo->SetEnabled(true);
  // Hidden and shown again, the memo brings its bar back.
  memo->SetVisible(false);
  EXPECT_FALSE(bar->Visible());
  memo->SetVisible(true);
  EXPECT_TRUE(bar->Visible());
  EXPECT_TRUE(bar->SliderVisible());
}

TEST_F(SkinnedDataControlsTest, AMemoBarTheApplicationHidStaysHiddenAndOnlyTheMemosOwnComeBack) {
  auto* memo = MakeMemo();
  auto* v = Make<TskScrollBar>(300, 10, 16, 100);
  auto* h = Make<TskScrollBar>(300, 150, 100, 16);
  Show();
  memo->SetVScrollBar(v);
  memo->SetHScrollBar(h);
  ASSERT_TRUE(v->Visible());
  v->SetVisible(false);
  // Every kind of re-sync and re-place leaves it hidden.
  memo->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
  memo->SetEnabled(false);
  memo->SetEnabled(true);
  memo->SetText(memo->Text() + "one more line\r\n");
  memo->SetBounds(12, 10, 200, 100);
  EXPECT_FALSE(v->Visible());
  EXPECT_TRUE(h->Visible());
  EXPECT_TRUE(v->SliderVisible()) << "still kept up to date";
  EXPECT_EQ(v->Position(), memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0));
  // Hidden with the memo, a bar stays hidden until the memo shows, even when shown meanwhile.
  memo->SetVisible(false);
  EXPECT_FALSE(h->Visible());
  h->SetVisible(true);
  memo->Perform(WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_FALSE(h->Visible());
  memo->SetVisible(true);
  EXPECT_TRUE(h->Visible());
  EXPECT_FALSE(v->Visible());
  // A bar linked while the memo is hidden shows with the memo.
  auto* later = Make<TskScrollBar>(300, 10, 16, 100);
  memo->SetVisible(false);
  memo->SetVScrollBar(later);
  EXPECT_FALSE(later->Visible());
  memo->SetVisible(true);
  EXPECT_TRUE(later->Visible());
}

TEST_F(SkinnedDataControlsTest, AFreedBarIsForgottenAndTinyControlsNeverGetNegativeSizes) {
  auto* memo = MakeMemo();
  auto other = std::make_unique<TForm>(nullptr); // a bar owned elsewhere
  auto* bar = new TskScrollBar(other.get());     // owned by the other form
  bar->SetParent(Form.get());
  Show();
  memo->SetVScrollBar(bar);
  other.reset();
  EXPECT_EQ(memo->VScrollBar(), nullptr);
  EXPECT_EQ(memo->ScrollBars(), ssNone);
  memo->SetBounds(10, 10, 6, 4); // both bars would need more room than there is
  auto* v = Make<TskScrollBar>(0, 0, 16, 100);
  auto* h = Make<TskScrollBar>(0, 0, 100, 16);
  memo->SetVScrollBar(v);
  memo->SetHScrollBar(h);
  EXPECT_GE(v->Height(), 0);
  EXPECT_GE(h->Width(), 0);
  EXPECT_EQ(h->Width(), 0);
}

TEST_F(SkinnedDataControlsTest, ListBoxBarHidesWithTheListAndDisablesWithIt) {
  auto* list = Make<TskDBListBox>(10, 10, 120, 60);
  auto* bar = Make<TskScrollBar>(300, 10, 16, 60);
  list->SetDataSource(&Source);
  list->SetDataField("Name");
  Show();
  list->SetVScrollBar(bar);
  EXPECT_FALSE(bar->Visible()); // nothing to scroll yet: the list's own bar is hidden
  for (int i = 0; i < 20; ++i) list->Items()->Add("item " + std::to_string(i));
  EXPECT_TRUE(bar->Visible());
  EXPECT_TRUE(bar->Enabled());
  list->SetEnabled(false);
  EXPECT_TRUE(bar->Visible());
  EXPECT_FALSE(bar->Enabled());
  list->SetEnabled(true);
  list->SetVisible(false);
  EXPECT_FALSE(bar->Visible());
  list->Items()->Add("while hidden"); // a change while hidden leaves the bar hidden
  EXPECT_FALSE(bar->Visible());
  list->SetVisible(true);
  EXPECT_TRUE(bar->Visible());
  bar->SetPosition(10);
  EXPECT_EQ(list->TopIndex(), 10);
}

TEST_F(SkinnedDataControlsTest, PositionsBeyondSixteenBitsScrollTheListThere) {
  auto* list = Make<TskDBListBox>(10, 10, 120, 60);
  auto* bar = Make<TskScrollBar>(300, 10, 16, 60);
  Show();
  list->SetVScrollBar(bar);
  TStringList many;
  for (int i = 0; i < 65600; ++i) many.Add(AnsiString(1, static_cast<char>('a' + i % 26)));
  list->Items()->Assign(&many);
  bar->SetPosition(65540);
  EXPECT_EQ(list->TopIndex(), 65540);
  EXPECT_EQ(bar->Position(), 65540);
}

TEST_F(SkinnedDataControlsTest, LookupListBoxKeepsItsBarEnabledWhenDisabled) {
  auto* list = MakeLookupList();
  auto* bar = Make<TskScrollBar>(300, 10, 16, 60);
  Show();
  list->SetVScrollBar(bar);
  EXPECT_TRUE(bar->Visible());
  list->SetEnabled(false);
  EXPECT_TRUE(bar->Enabled());
  list->SetEnabled(true);
  // The bar moves the records shown.
  bar->SetPosition(5);
  EXPECT_EQ(list->ListLink()->FirstRecord(), 5);
  list->Perform(WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(bar->Position(), 4);
}

TEST_F(SkinnedDataControlsTest, ListBoxesBringTheirBarUpToDateWhenScrolledSideways) {
  auto* list = Make<TskDBListBox>(10, 10, 120, 60);
  auto* bar = Make<TskScrollBar>(300, 10, 16, 60);
  auto* lookup = MakeLookupList();
  auto* lookupBar = Make<TskScrollBar>(330, 10, 16, 60);
  Show();
  list->SetVScrollBar(bar);
  lookup->SetVScrollBar(lookupBar);
  for (int i = 0; i < 20; ++i) list->Items()->Add("item " + std::to_string(i));
  list->SetTopIndex(5);
  ASSERT_EQ(bar->Position(), 0) << "a new top item alone does not reach the bar";
  list->Perform(WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(bar->Position(), 5);
  lookupBar->SetEnabled(false);
  lookup->Perform(WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_TRUE(lookupBar->Enabled());
}

TEST_F(SkinnedDataControlsTest, TheWheelAndADragBringTheBarUpToDateAndAMoveAfterTheDropDoesNot) {
  auto* list = Make<TskDBListBox>(10, 10, 120, 60);
  auto* bar = Make<TskScrollBar>(300, 10, 16, 60);
  Show();
  list->SetVScrollBar(bar);
  for (int i = 0; i < 20; ++i) list->Items()->Add("item " + std::to_string(i));
  list->SetTopIndex(5);
  ASSERT_EQ(bar->Position(), 0);
  list->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
  EXPECT_EQ(list->TopIndex(), 8);
  EXPECT_EQ(bar->Position(), 8);
  // While the button is down every move re-reads the list; after it is up, none does.
  list->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  list->SetTopIndex(2);
  list->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(bar->Position(), list->TopIndex());
  list->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  const int dropped = bar->Position();
  list->SetTopIndex(dropped + 4);
  list->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(bar->Position(), dropped);
}

TEST_F(SkinnedDataControlsTest, ComboButtonsFollowTheStyleAndLoadTheirPictureOnce) {
  auto* combo = Make<TskDBComboBox>(10, 10, 150, 21);
  combo->SetDataSource(&Source);
  combo->SetDataField("Name");
  Show();
  COMBOBOXINFO info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  const TRect b = info.rcButton;
  const int ax = (b.Right - b.Left) / 2 + b.Left - 3, ay = (b.Bottom - b.Top) / 2;
  // DeepBlue: a flat button in ButtonColor with a separator and a black arrow (its top row at ay).
  TSurface s = testsupport::Render(combo);
  EXPECT_EQ(testsupport::PixelAt(s, b.Left + 2, b.Top + 2), combo->ButtonColor());
  EXPECT_EQ(testsupport::PixelAt(s, b.Left, b.Top + 3), combo->BorderColor());
  EXPECT_EQ(testsupport::PixelAt(s, ax + 3, ay + 1), clBlack);
  EXPECT_EQ(testsupport::PixelAt(s, 0, 0), combo->BorderColor());
  // WinXP: the picture and no arrow; MacOS: the picture and the arrow.
  combo->SetUIStyle(WinXP);
  const int loads = combo->PictureLoads();
  for (int i = 0; i < 4; ++i) combo->Repaint();
  EXPECT_EQ(combo->PictureLoads(), loads);
  s = testsupport::Render(combo);
  EXPECT_NE(testsupport::PixelAt(s, ax + 3, ay + 1), clBlack);
  combo->SetUIStyle(MacOS);
  s = testsupport::Render(combo);
  EXPECT_EQ(testsupport::PixelAt(s, ax + 3, ay + 1), clBlack);
  // ArrowColor goes back to black with every style; disabled, the arrow is grey over white.
  combo->SetUIStyle(Protein);
  combo->SetArrowColor(clRed);
  s = testsupport::Render(combo);
  EXPECT_EQ(testsupport::PixelAt(s, ax + 3, ay + 1), clRed);
  combo->SetUIStyle(Protein);
  EXPECT_EQ(combo->ArrowColor(), clBlack);
  combo->SetEnabled(false);
  s = testsupport::Render(combo);
  EXPECT_EQ(testsupport::PixelAt(s, ax + 3, ay + 1), 0x808080);
  EXPECT_EQ(testsupport::PixelAt(s, ax + 4, ay + 3), clWhite);
  // A right-to-left combo on a Middle-East locale has its separator at the button's right edge.
  SysLocale.MiddleEast = true;
  combo->SetBiDiMode(bdRightToLeft);
  combo->SetEnabled(true);
  s = testsupport::Render(combo);
  EXPECT_EQ(testsupport::PixelAt(s, b.Right, b.Top + 3), combo->BorderColor());
}

TEST_F(SkinnedDataControlsTest, DroppedListIsFramedInTheBorderColour) {
  auto* combo = Make<TskDBComboBox>(10, 10, 150, 21);
  Show();
  for (const char* s : {"a", "b", "c"}) combo->Items()->Add(s);
  combo->SetUIStyle(WinXP);
  combo->DropDown();
  testsupport::Render(combo->ListControl()); // the list has painted itself
  combo->Repaint();
  const TSurface list = testsupport::Render(combo->ListControl());
  EXPECT_EQ(testsupport::PixelAt(list, 0, 0), combo->BorderColor());
  combo->CloseUp(false);
}

TEST_F(SkinnedDataControlsTest, LookupComboDrawsItsButtonAtTheEndTheLayoutAsks) {
  TMemDataSet kinds(nullptr);
  kinds.AddFieldDef("Id", ftInteger);
  kinds.Open();
  TDataSource kindSource(nullptr);
  kindSource.SetDataSet(&kinds);
  auto* combo = Make<TskDBLookupComboBox>(10, 10, 150, 21);
  combo->SetListSource(&kindSource);
  combo->SetKeyField("Id");
  Show();
  combo->SetUIStyle(DeepBlue);
  TSurface s = testsupport::Render(combo);
  const int w = combo->ClientWidth();
  const TPoint origin = combo->ClientOrigin();
  TRect wr;
  GetWindowRect(combo->Handle(), &wr);
  const int dx = origin.X - wr.Left, dy = origin.Y - wr.Top;
  EXPECT_EQ(testsupport::PixelAt(s, dx + w - 16, dy + 3), combo->BorderColor()); // the separator
  EXPECT_EQ(testsupport::PixelAt(s, 0, 0), combo->BorderColor());
  SysLocale.MiddleEast = true;
  combo->SetBiDiMode(bdRightToLeft);
  s = testsupport::Render(combo);
  EXPECT_EQ(testsupport::PixelAt(s, dx + 5, dy + 3), combo->ButtonColor());
}

TEST_F(SkinnedDataControlsTest, DataAwareCheckBoxAndGroupAnswerTheirLinkAndActions) {
  auto* box = Make<TskDBCheckBox>(10, 10, 100, 17);
  box->SetDataSource(&Source);
  box->SetDataField("Name");
  EXPECT_NE(box->Perform(CM_GETDATALINK, 0, 0), 0);
  // A data source fixed by a container is not replaced while loading.
  auto* link = reinterpret_cast<TFieldDataLink*>(box->Perform(CM_GETDATALINK, 0, 0));
  link->SetDataSourceFixed(true);
  TDataSource other(nullptr);
  box->SetLoading(true);
  box->SetDataSource(&other);
  box->SetLoading(false);
  EXPECT_EQ(box->DataSource(), &Source);
  link->SetDataSourceFixed(false);
  // Data-set actions without a source of their own act on the data set the control shows.
  TDataSetNext next(nullptr);
  TDataSetFirst first(nullptr);
  Data.First();
  EXPECT_TRUE(box->UpdateAction(&first));
  EXPECT_FALSE(first.Enabled());
  EXPECT_TRUE(box->ExecuteAction(&next));
  EXPECT_EQ(Data.RecNo(), 2);
  EXPECT_TRUE(box->UpdateAction(&first));
  EXPECT_TRUE(first.Enabled());
  // An empty radio group whose field refuses the value on exit passes the error on without a button to
  // give the focus to.
  TMemDataSet numbers(nullptr);
  numbers.AddFieldDef("N", ftInteger);
  numbers.Open();
  TDataSource numberSource(nullptr);
  numberSource.SetDataSet(&numbers);
  auto* group = Make<TskDBRadioGroup>(10, 40, 120, 60);
  group->SetDataSource(&numberSource);
  group->SetDataField("N");
  Show();
  TDataSetInsert insert(nullptr);
  EXPECT_TRUE(group->UpdateAction(&insert));
  EXPECT_TRUE(insert.Enabled());
  EXPECT_TRUE(group->ExecuteAction(&insert));
  EXPECT_EQ(numbers.State(), dsInsert);
  numbers.Cancel();
  // An action tied to another source is not theirs.
  next.SetDataSource(&Source);
  EXPECT_FALSE(group->ExecuteAction(&next));
  EXPECT_FALSE(group->UpdateAction(&next));
  EXPECT_EQ(Data.RecNo(), 2);
  numbers.Append();
  group->SetValue("not a number");
  reinterpret_cast<TFieldDataLink*>(group->Perform(CM_GETDATALINK, 0, 0))->Modified();
  EXPECT_EQ(group->ControlCount(), 0);
  EXPECT_THROW(group->Perform(CM_EXIT, 0, 0), EConvertError);
  numbers.Cancel();
}

TEST_F(SkinnedDataControlsTest, NoEventRunsOnAControlBeingDestroyed) {
  auto* group = Make<TskDBRadioGroup>(10, 40, 120, 60);
  group->Items()->Add("name 1");
  group->SetDataSource(&Source);
  group->SetDataField("Name");
  int changes = 0;
  group->OnChange = [&](TObject*) { ++changes; };
  Show();
  delete group;
  Source.SetDataSet(nullptr);
  EXPECT_EQ(changes, 0);
}

TEST_F(SkinnedDataControlsTest, RendersEveryControlInEveryStyle) {
  auto* edit = Make<TskDBEdit>(10, 10, 150, 24);
  auto* memo = MakeMemo();
  memo->SetBounds(10, 40, 150, 90);
  auto* bar = Make<TskScrollBar>(0, 0, 16, 90);
  auto* list = Make<TskDBListBox>(180, 10, 120, 80);
  auto* combo = Make<TskDBComboBox>(180, 100, 120, 21);
  edit->SetDataSource(&Source);
  edit->SetDataField("Name");
  list->SetDataSource(&Source);
  list->SetDataField("Name");
  combo->SetDataSource(&Source);
  combo->SetDataField("Name");
  TStringList names;
  names.SetCommaText("\"name 1\",\"name 2\",\"name 3\"");
  list->SetItems(&names);
  combo->SetItems(&names);
  Show();
  memo->SetVScrollBar(bar);
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    for (auto* c : std::initializer_list<TComponent*>{edit, memo, bar, list, combo})
      SetEnumProp(c, "UIStyle", TskUIStyleNames.NameOf(style));
    const TSurface s = testsupport::Render(Form.get());
    testsupport::SavePng(s, "SKDBEdits-" + TskUIStyleNames.NameOf(style) + ".png");
    EXPECT_EQ(testsupport::PixelAt(s, 10, 10), GetInsideThemeColor(style, 25));
  }
}

} // namespace
