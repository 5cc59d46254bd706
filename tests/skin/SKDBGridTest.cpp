// The skinned data grid: colours from the theme, fill colours of selected and focused cells, linked bars
// placed over its edges, the vertical bar moving the record pointer.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/controls/Form.h"
#include "classlib/controls/ScrollBars.h"
#include "classlib/core/SysUtils.h"
#include "classlib/data/DataSource.h"
#include "classlib/data/MemDataSet.h"
#include "classlib/graphics/Gdi.h"
#include "skin/SKDBGrid.h"
#include "skin/SKMgr.h"
#include "skin/SKThemeFile.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

class SkinnedGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Data.AddFieldDef("Name", ftString, 10);
    Data.AddFieldDef("Moves", ftInteger);
    Data.Open();
    for (int i = 1; i <= 20; ++i) {
      Data.Append();
      Data.FieldByName("Name")->SetAsString("n" + std::to_string(i));
      Data.FieldByName("Moves")->SetAsInteger(i);
      Data.Post();
    }
    Data.First();
    Source.SetDataSet(&Data);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(20, 20, 500, 300);
    Grid = new TskDBGrid(Form.get()); // owned by the form
    Grid->SetParent(Form.get());
    Grid->SetBounds(10, 10, 300, 150);
    Grid->SetDataSource(&Source);
  }
  void TearDown() override { SysLocale.MiddleEast = false; }
  TskScrollBar* Bar(int W, int H) {
    auto* b = new TskScrollBar(Form.get()); // owned by the form
    b->SetParent(Form.get());
    b->SetBounds(0, 0, W, H);
    return b;
  }
  void Show() {
    Form->Show();
    testsupport::Pump();
  }

  TMemDataSet Data{nullptr};
  TDataSource Source{nullptr};
  std::unique_ptr<TForm> Form;
  TskDBGrid* Grid = nullptr;
};

TEST_F(SkinnedGridTest, ThemeColoursAndFillsOfSelectedAndFocusedCells) {
  Show();
  EXPECT_EQ(Grid->BorderWidth(), 1);
  EXPECT_EQ(Grid->FixedColor(), GetInsideThemeColor(DeepBlue, 19));
  EXPECT_EQ(Grid->Color(), GetInsideThemeColor(DeepBlue, 26));
  EXPECT_EQ(Grid->TitleFont()->Color(), GetInsideThemeColor(DeepBlue, 20));
  EXPECT_EQ(Grid->FocusedColor(), 0x008000);
  Grid->SetFocusedColor(0x0000FF);
  Grid->SetUIStyle(Protein); // the fill colours are no theme items
  EXPECT_EQ(Grid->FocusedColor(), 0x0000FF);
  EXPECT_EQ(Grid->SelectedColor(), 0x00FFFF);
  Grid->SetFocus();
  const TSurface s = testsupport::Render(Grid);
  const TRect focused = Grid->CellRect(Grid->Col(), Grid->Row());
  EXPECT_EQ(testsupport::PixelAt(s, focused.Right - 3, focused.Top + 4), 0x0000FF);
  const TRect other = Grid->CellRect(Grid->Col() + 1, Grid->Row() + 1);
  EXPECT_EQ(testsupport::PixelAt(s, other.Right - 3, other.Top + 4), Grid->Color());
  const TRect title = Grid->CellRect(2, 0);
  EXPECT_EQ(testsupport::PixelAt(s, title.Right - 3, title.Top + 4), Grid->FixedColor());
  EXPECT_EQ(testsupport::PixelAt(s, 0, 0), Grid->BorderColor());
  // The erase message paints the whole grid with its frame, over whatever was drawn there.
  const HDC dc = GetWindowDC(Grid->Handle());
  const HBRUSH scribble = CreateSolidBrush(clFuchsia);
  RECT all = Rect(0, 0, Grid->Width(), Grid->Height());
  FillRect(dc, &all, scribble);
  DeleteObject(scribble);
  ReleaseDC(Grid->Handle(), dc);
  ASSERT_EQ(testsupport::PixelAt(testsupport::Render(Grid), 0, 0), clFuchsia);
  Grid->Perform(WM_ERASEBKGND, 0, 0);
  const TSurface after = testsupport::Render(Grid);
  EXPECT_EQ(testsupport::PixelAt(after, 0, 0), Grid->BorderColor());
  EXPECT_EQ(testsupport::PixelAt(after, title.Right - 3, title.Top + 4), Grid->FixedColor());
  EXPECT_EQ(testsupport::PixelAt(after, focused.Right - 3, focused.Top + 4), 0x0000FF);
}

TEST_F(SkinnedGridTest, AWhiteFontFromAThemeFileBecomesBlackButTitlesKeepWhite) {
  skintest::TempDir dir;
  skintest::ThemeBytes theme;
  theme.Int("MenuFontColor", 0xFFFFFF);
  theme.Int("MenuSelectedFontColor", 0xFFFFFF);
  theme.Terminator();
  skintest::WriteBytes(dir.File("white.skn"), theme.Bytes);
  auto* file = new TskFileTheme(Form.get()); // owned by the form
  file->SetThemeFile(dir.File("white.skn"));
  Grid->SetFileTheme(file);
  Grid->SetUIStyle(FromThemeFile);
  EXPECT_EQ(Grid->Font()->Color(), clBlack);
  EXPECT_EQ(Grid->TitleFont()->Color(), clWhite);
  delete file;
  EXPECT_EQ(Grid->FileTheme(), nullptr);
  EXPECT_EQ(Grid->UIStyle(), DeepBlue);
}

TEST_F(SkinnedGridTest, VerticalBarMovesTheRecordPointerByNumber) {
  auto* v = Bar(16, 100);
  auto* h = Bar(100, 16);
  Show();
  Grid->SetVScrollBar(v);
  Grid->SetHScrollBar(h);
  EXPECT_EQ(v->Min(), 1);
  EXPECT_EQ(v->Max(), 20);
  EXPECT_EQ(v->Position(), 1);
  v->SetPosition(7);
  EXPECT_EQ(Data.RecNo(), 7);
  v->SetPosition(0);
  EXPECT_EQ(Data.RecNo(), 1);
  v->SetPosition(20);
  EXPECT_EQ(Data.RecNo(), 20);
  // The record pointer moves by itself: the bar follows.
  Data.SetRecNo(12);
  EXPECT_EQ(v->Position(), 12);
  // Placed inside the grid's one-pixel frame: the vertical bar at the right, the horizontal one below.
  EXPECT_EQ(v->Left(), 10 + 300 - v->Width() - 1);
  EXPECT_EQ(v->Top(), 11);
  EXPECT_EQ(h->Top(), 10 + 150 - h->Height() - 1);
  EXPECT_EQ(h->Width(), 300 - 1 - v->Width());
}

TEST_F(SkinnedGridTest, AThrowingRecordMoveLeavesTheScrollingFlagClear) {
  auto* v = Bar(16, 100);
  Show();
  Grid->SetVScrollBar(v);
  Data.AfterScroll = [](TDataSet*) { throw EDatabaseError("refused"); };
  EXPECT_THROW(v->SetPosition(9), EDatabaseError);
  Data.AfterScroll = nullptr;
  // With the flag clear again, the grid's own scrolling still updates the bar.
  Grid->Perform(WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(v->Position(), 20);
}

TEST_F(SkinnedGridTest, BarsTooLargeForTheGridOnlyMoveToItsEdge) {
  auto* v = Bar(16, 100);
  auto* h = Bar(100, 16);
  Grid->SetBounds(30, 40, 10, 10); // narrower and lower than a bar is thick
  Show();
  Grid->SetVScrollBar(v);
  Grid->SetHScrollBar(h);
  EXPECT_EQ(v->Left(), Grid->Left());
  EXPECT_EQ(h->Top(), Grid->Top());
}

TEST_F(SkinnedGridTest, RightToLeftMirrorsTheHorizontalBarOnceAndPlacesTheVerticalOneLeft) {
  for (int i = 0; i < 6; ++i) {
    TColumn* c = Grid->Columns()->Add();
    c->SetFieldName(i % 2 ? "Moves" : "Name");
    c->SetWidth(80);
  }
  auto* v = Bar(16, 100);
  auto* h = Bar(100, 16);
  Show();
  Grid->SetVScrollBar(v);
  Grid->SetHScrollBar(h);
  SysLocale.MiddleEast = true;
  Grid->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(h->Position(), h->Max() - 0);
  Grid->UpdateScrollBarsPos();
  EXPECT_EQ(v->Left(), Grid->Left() + 1);
  EXPECT_EQ(h->Left(), Grid->Left() + 1 + v->Width());
  Grid->UpdateScrollBars(); // later re-syncs write the position unmirrored
  EXPECT_EQ(h->Position(), 0);
}

TEST_F(SkinnedGridTest, RendersInEveryStyleAndAThemeFileWithItsBars) {
  auto* v = Bar(16, 100);
  auto* h = Bar(100, 16);
  TskFileTheme theme(Form.get());
  theme.SetThemeFile(GetExeDir() + "../../app/themes/Amethyst.skn");
  ASSERT_TRUE(theme.CanUse());
  Show();
  Grid->SetVScrollBar(v);
  Grid->SetHScrollBar(h);
  Grid->SetFocus();
  // The bars take the grid's look: the track's colour where the slider is not.
  const auto trackColour = [&](const TSurface& s) {
    TskScrollTrackBar* track = v->Track();
    return testsupport::PixelAt(s, v->Left() + track->Left() + track->Width() / 2,
                                v->Top() + track->Top() + track->Height() - 2);
  };
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    SCOPED_TRACE(TskUIStyleNames.NameOf(style));
    Grid->SetUIStyle(style);
    EXPECT_EQ(v->UIStyle(), style);
    EXPECT_EQ(h->UIStyle(), style);
    const TSurface s = testsupport::Render(Form.get());
    testsupport::SavePng(s, "SKDBGrid-" + TskUIStyleNames.NameOf(style) + ".png");
    EXPECT_EQ(testsupport::PixelAt(s, 10, 10), GetInsideThemeColor(style, 25));
    EXPECT_EQ(trackColour(s), GetInsideThemeColor(style, 31));
  }
  Grid->SetFileTheme(&theme);
  Grid->SetUIStyle(FromThemeFile);
  EXPECT_EQ(v->FileTheme(), &theme);
  EXPECT_EQ(h->FileTheme(), &theme);
  const TSurface s = testsupport::Render(Form.get());
  testsupport::SavePng(s, "SKDBGrid-Amethyst.png");
  ASSERT_NE(theme.GetColor(31), GetInsideThemeColor(DeepBlue, 31));
  EXPECT_EQ(testsupport::PixelAt(s, 10, 10), theme.GetColor(25));
  EXPECT_EQ(trackColour(s), theme.GetColor(31));
  Grid->SetFileTheme(nullptr); // released by the grid, so by its bars too
  EXPECT_EQ(v->FileTheme(), nullptr);
}

} // namespace
