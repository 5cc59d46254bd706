// The skinned data-set navigator: its layout, which buttons it enables, what its buttons do, the delete
// question, keys, hints and the auto-repeat of prior and next.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Form.h"
#include "classlib/data/DataSource.h"
#include "classlib/data/MemDataSet.h"
#include "skin/SKDBNavigator.h"
#include "tests/support/TestSupport.h"

namespace {

class NavigatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Data.AddFieldDef("N", ftInteger);
    Data.Open();
    for (int i = 1; i <= 5; ++i) {
      Data.Append();
      Data.FieldByName("N")->SetAsInteger(i);
      Data.Post();
    }
    Data.First();
    Source.SetDataSet(&Data);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(20, 20, 400, 200);
    Nav = new TskDBNavigator(Form.get()); // owned by the form
    Nav->SetParent(Form.get());
    Nav->SetBounds(10, 10, 250, 30);
  }
  void TearDown() override { MessageBoxHook = nullptr; }
  void Show() {
    Form->Show();
    testsupport::Pump();
  }
  std::vector<int> Widths() {
    std::vector<int> w;
    for (int b = nbFirst; b <= nbRefresh; ++b)
      if (Nav->Buttons(static_cast<TNavigateBtn>(b))->Visible())
        w.push_back(Nav->Buttons(static_cast<TNavigateBtn>(b))->Width());
    return w;
  }
  bool On(TNavigateBtn b) { return Nav->Buttons(b)->Enabled(); }

  TMemDataSet Data{nullptr};
  TDataSource Source{nullptr};
  std::unique_ptr<TForm> Form;
  TskDBNavigator* Nav = nullptr;
};

TEST_F(NavigatorTest, LaysOutItsButtonsInWholeWidths) {
  Show();
  EXPECT_EQ(Nav->Width(), 250);
  EXPECT_EQ(Widths(), std::vector<int>(10, 25));
  Nav->SetWidth(255); // without alignment the width is cut to a multiple of ten
  EXPECT_EQ(Nav->Width(), 250);
  // Aligned, the five spare pixels go to every other button.
  Nav->SetAlign(alLeft);
  Nav->SetBounds(0, 0, 255, 30);
  EXPECT_EQ(Nav->Width(), 255);
  const std::vector<int> w = Widths();
  EXPECT_EQ(std::count(w.begin(), w.end(), 26), 5);
  EXPECT_EQ(std::count(w.begin(), w.end(), 25), 5);
  EXPECT_NE(w[0], w[1]);
  Nav->SetAlign(alNone);
  // Never narrower than 20 a button, nor lower than 18.
  Nav->SetBounds(10, 10, 50, 5);
  EXPECT_EQ(Nav->Width(), 200);
  EXPECT_EQ(Nav->Height(), 18);
  // Hiding buttons lays out the rest at once; with none, the buttons are parked beyond the right edge.
  Nav->SetVisible(TNavButtonSet{nbFirst, nbLast});
  EXPECT_EQ(Widths().size(), 2u);
  EXPECT_EQ(Nav->Buttons(nbLast)->Left(), Nav->Buttons(nbFirst)->Width());
  Nav->SetVisible(TNavButtonSet{});
  Nav->SetBounds(10, 10, 5, 30);
  EXPECT_EQ(Nav->Width(), 20);
  EXPECT_GT(Nav->Buttons(nbFirst)->Left(), Nav->Width());
}

TEST_F(NavigatorTest, EnablesEachButtonWhenItsActionCanBeDone) {
  Show();
  EXPECT_TRUE(On(nbFirst)); // made by the program, not streamed: enabled until a data source is linked
  Nav->Loaded();
  for (int b = nbFirst; b <= nbRefresh; ++b) EXPECT_FALSE(On(static_cast<TNavigateBtn>(b)));
  Nav->SetDataSource(&Source);
  EXPECT_FALSE(On(nbFirst));
  EXPECT_FALSE(On(nbPrior));
  EXPECT_TRUE(On(nbNext));
  EXPECT_TRUE(On(nbDelete));
  EXPECT_TRUE(On(nbEdit));
  EXPECT_FALSE(On(nbPost));
  Data.Edit();
  EXPECT_FALSE(On(nbEdit));
  EXPECT_TRUE(On(nbPost));
  EXPECT_TRUE(On(nbCancel));
  Data.Cancel();
  Data.Last();
  EXPECT_FALSE(On(nbNext));
  EXPECT_TRUE(On(nbPrior));
  Nav->SetEnabled(false);
  EXPECT_FALSE(On(nbPrior));
  Nav->SetEnabled(true);
  EXPECT_TRUE(On(nbPrior));
  TMemDataSet empty(nullptr);
  empty.AddFieldDef("X", ftInteger);
  empty.Open();
  Source.SetDataSet(&empty);
  EXPECT_FALSE(On(nbDelete));
  Source.SetDataSet(nullptr);
}

TEST_F(NavigatorTest, ButtonsActAndDeleteAsksFirst) {
  std::vector<AnsiString> log;
  Nav->OnClick = [&](TObject*, TNavigateBtn b) { log.push_back("click " + NavigateBtnNames.NameOf(b)); };
  Nav->BeforeAction = [&](TObject*, TNavigateBtn b) {
    log.push_back("before " + NavigateBtnNames.NameOf(b));
  };
  Show();
  // Without a data source only OnClick runs.
  Nav->BtnClick(nbNext);
  EXPECT_EQ(log, std::vector<AnsiString>{"click nbNext"});
  Nav->SetDataSource(&Source);
  log.clear();
  testsupport::Click(Nav->Buttons(nbLast), 5, 5);
  EXPECT_EQ(Data.RecNo(), 5);
  EXPECT_EQ(log, (std::vector<AnsiString>{"before nbLast", "click nbLast"}));
  int answer = IDCANCEL;
  int asked = 0;
  MessageBoxHook = [&](const AnsiString& Text, const AnsiString&, int) {
    EXPECT_EQ(Text, "Delete record?");
    ++asked;
    return answer;
  };
  log.clear();
  Nav->BtnClick(nbDelete); // Cancel: nothing deleted, yet OnClick runs
  EXPECT_EQ(Data.RecordCount(), 5);
  EXPECT_EQ(log.back(), "click nbDelete");
  answer = IDOK;
  Nav->BtnClick(nbDelete);
  EXPECT_EQ(Data.RecordCount(), 4);
  Nav->SetConfirmDelete(false);
  Nav->BtnClick(nbDelete);
  EXPECT_EQ(Data.RecordCount(), 3);
  EXPECT_EQ(asked, 2);
  Nav->BtnClick(nbInsert);
  EXPECT_EQ(Data.State(), dsInsert);
  Nav->BtnClick(nbCancel);
  Nav->BtnClick(nbEdit);
  Data.FieldByName("N")->SetAsInteger(42);
  Nav->BtnClick(nbPost);
  EXPECT_EQ(Data.FieldByName("N")->AsInteger(), 42);
  Nav->OnClick = nullptr;
  Nav->BeforeAction = nullptr;
}

TEST_F(NavigatorTest, ArrowsSkipHiddenButtonsAndSpaceActsOnlyWhenEnabled) {
  Nav->SetDataSource(&Source);
  Nav->SetTabStop(true);
  Nav->SetVisible(TNavButtonSet{nbFirst, nbNext, nbLast});
  Show();
  Nav->SetFocus();
  EXPECT_EQ(Nav->FocusedButton(), nbFirst);
  testsupport::PressKey(VK_RIGHT);
  EXPECT_EQ(Nav->FocusedButton(), nbNext); // prior is hidden
  testsupport::PressKey(VK_SPACE, 0, " ");
  EXPECT_EQ(Data.RecNo(), 2);
  testsupport::PressKey(VK_RIGHT);
  testsupport::PressKey(VK_RIGHT); // nothing visible beyond last
  EXPECT_EQ(Nav->FocusedButton(), nbLast);
  testsupport::PressKey(VK_LEFT);
  testsupport::PressKey(VK_LEFT);
  EXPECT_EQ(Nav->FocusedButton(), nbFirst);
  testsupport::PressKey(VK_LEFT);
  EXPECT_EQ(Nav->FocusedButton(), nbFirst);
  Data.First();
  testsupport::PressKey(VK_SPACE, 0, " "); // first is disabled at the first record
  EXPECT_EQ(Data.RecNo(), 1);
  // The focused button shows a dotted focus rectangle three pixels inside its face, drawn by inverting;
  // it moves with the focus.
  const auto focusMarks = [](const TSurface& Focused, const TSurface& Plain, int W, int H) {
    int onOutline = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const TColor a = testsupport::PixelAt(Focused, x, y), b = testsupport::PixelAt(Plain, x, y);
        if (a == b) continue;
        const bool outline =
            x >= 3 && x < W - 3 && y >= 3 && y < H - 3 && (x == 3 || x == W - 4 || y == 3 || y == H - 4);
        EXPECT_TRUE(outline) << x << "," << y;
        EXPECT_EQ(a, b ^ 0xFFFFFF) << x << "," << y;
        ++onOutline;
      }
    return onOutline;
  };
  TskNavButton* first = Nav->Buttons(nbFirst);
  TskNavButton* next = Nav->Buttons(nbNext);
  const int perimeter = 2 * (first->Width() - 6) + 2 * (first->Height() - 6);
  const TSurface firstFocused = testsupport::Render(first);
  const TSurface nextPlain = testsupport::Render(next);
  testsupport::PressKey(VK_RIGHT);
  ASSERT_EQ(Nav->FocusedButton(), nbNext);
  EXPECT_GE(focusMarks(firstFocused, testsupport::Render(first), first->Width(), first->Height()),
            perimeter / 2 - 4);
  EXPECT_GE(focusMarks(testsupport::Render(next), nextPlain, next->Width(), next->Height()),
            perimeter / 2 - 4);
}

TEST_F(NavigatorTest, HeldPriorAndNextRepeatAfter400ThenEvery100Milliseconds) {
  Nav->SetDataSource(&Source);
  Show();
  testsupport::ManualClock clock;
  TskNavButton* next = Nav->Buttons(nbNext);
  testsupport::MouseDown(next, 5, 5);
  clock.Advance(399);
  EXPECT_EQ(Data.RecNo(), 1);
  clock.Advance(2);
  EXPECT_EQ(Data.RecNo(), 2);
  clock.Advance(100);
  EXPECT_EQ(Data.RecNo(), 3);
  testsupport::MouseUp(next, 5, 5); // the release clicks once more
  EXPECT_EQ(Data.RecNo(), 4);
  clock.Advance(500);
  EXPECT_EQ(Data.RecNo(), 4);
  // A data-set action that fails inside a repeat stops the repeating.
  Data.AfterScroll = [](TDataSet*) { throw EDatabaseError("no"); };
  testsupport::MouseDown(next, 5, 5);
  try {
    clock.Advance(401);
  } catch (const EDatabaseError&) {
  }
  EXPECT_FALSE(next->RepeatTimer()->Enabled());
  Data.AfterScroll = nullptr;
  testsupport::MouseUp(next, 5, 5);
}

TEST_F(NavigatorTest, CustomHintsReplaceTheDefaultOnesLineByLine) {
  EXPECT_EQ(Nav->Buttons(nbFirst)->Hint(), "First record");
  EXPECT_EQ(Nav->Buttons(nbRefresh)->Hint(), "Refresh data");
  TStringList hints;
  hints.SetText("\nBack\n\n\n\n\n\n\n\n\nRefresh\nEleventh");
  Nav->SetHints(&hints);
  EXPECT_EQ(Nav->Buttons(nbFirst)->Hint(), "First record"); // an empty line keeps the default
  EXPECT_EQ(Nav->Buttons(nbPrior)->Hint(), "Back");
  EXPECT_EQ(Nav->Buttons(nbRefresh)->Hint(), "Refresh data"); // the eleventh line is no button's
  TStringList defaults;
  defaults.SetText("First record\nPrior record\nNext record\nLast record\nInsert record\nDelete record\n"
                   "Edit record\nPost edit\nCancel edit\nRefresh data\n");
  Nav->SetHints(&defaults); // the default texts themselves clear the custom ones
  EXPECT_EQ(Nav->Hints()->Count(), 0);
  EXPECT_EQ(Nav->Buttons(nbPrior)->Hint(), "Prior record");
}

TEST_F(NavigatorTest, RendersInEveryStyle) {
  Nav->SetDataSource(&Source);
  Show();
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    Nav->SetUIStyle(style);
    EXPECT_EQ(Nav->Buttons(nbNext)->UIStyle(), style);
    const TSurface s = testsupport::Render(Nav);
    testsupport::SavePng(s, "SKDBNavigator-" + TskUIStyleNames.NameOf(style) + ".png");
    // The glyphs differ between an enabled and a disabled button.
    int differ = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 25; ++x)
        differ += testsupport::PixelAt(s, x, y) != testsupport::PixelAt(s, 50 + x, y);
    EXPECT_GT(differ, 10);
  }
}

} // namespace
