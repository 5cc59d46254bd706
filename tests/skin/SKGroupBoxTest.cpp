// The themed group box: its frame with the caption gap, its theme colours and the theme it passes on.
#include <gtest/gtest.h>

#include <cstdlib>

#include "classlib/controls/Form.h"
#include "classlib/core/TypInfo.h"
#include "skin/SKGroupBox.h"
#include "skin/SKMgr.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

using testsupport::PixelAt;
using testsupport::Render;

namespace {

void ShowForm(TForm& form) {
  form.SetBounds(0, 0, 320, 400);
  form.Show();
}

TskGroupBox* MakeBox(TForm& form) {
  auto* box = new TskGroupBox(&form);
  box->SetParent(&form);
  box->SetBounds(0, 0, 120, 60);
  box->SetColor(clWhite);
  return box;
}

int FrameTop(TskGroupBox* box) {
  return std::abs(box->Font()->Height()) / 2 + 1;
}

} // namespace

TEST(TskGroupBox, EmptyCaptionDrawsAClosedFrame) {
  TForm form(nullptr);
  ShowForm(form);
  TskGroupBox* box = MakeBox(form);
  box->SetBorderColor(clRed);
  TSurface image = Render(box);
  const int top = FrameTop(box);
  for (int x = 0; x < 120; ++x) ASSERT_EQ(PixelAt(image, x, top), clRed) << x;
  EXPECT_EQ(PixelAt(image, 0, 59), clRed);
  EXPECT_EQ(PixelAt(image, 119, 40), clRed);
  EXPECT_EQ(PixelAt(image, 60, 40), clWhite);
}

TEST(TskGroupBox, CaptionLeavesAGapInTheTopEdge) {
  TForm form(nullptr);
  ShowForm(form);
  TskGroupBox* box = MakeBox(form);
  box->SetBorderColor(clRed);
  box->SetCaption("Size");
  EXPECT_EQ(box->Text(), " "); // the window text stays apart from the caption
  TSurface image = Render(box);
  const int top = FrameTop(box);
  EXPECT_EQ(PixelAt(image, 0, top), clRed);
  EXPECT_EQ(PixelAt(image, 2, top), clRed);
  EXPECT_NE(PixelAt(image, 3, top), clRed);
  const int gapEnd = 6 + box->Canvas()->TextWidth("Size");
  // The closing line runs right to left and leaves out its end point.
  EXPECT_NE(PixelAt(image, gapEnd, top), clRed);
  EXPECT_EQ(PixelAt(image, gapEnd + 1, top), clRed);
}

TEST(TskGroupBox, RightToLeftOnAMiddleEastLocaleOpensTheFrameOnTheRight) {
  TForm form(nullptr);
  ShowForm(form);
  TskGroupBox* box = MakeBox(form);
  box->SetBorderColor(clRed);
  box->SetCaption("Size");
  box->SetBiDiMode(bdRightToLeft);
  const int top = FrameTop(box);
  const int gapStart = 120 - 7 - box->Canvas()->TextWidth("Size");
  {
    // The right-to-left mode alone changes nothing: the locale must read right to left too.
    skintest::ScopedMiddleEastLocale locale(false);
    TSurface image = Render(box);
    EXPECT_EQ(PixelAt(image, 117, top), clRed);
  }
  skintest::ScopedMiddleEastLocale locale(true);
  box->Invalidate();
  TSurface image = Render(box);
  EXPECT_EQ(PixelAt(image, 119, top), clRed);
  EXPECT_EQ(PixelAt(image, 117, top), clRed);
  EXPECT_NE(PixelAt(image, 116, top), clRed);
  EXPECT_NE(PixelAt(image, gapStart, top), clRed);
  EXPECT_EQ(PixelAt(image, gapStart - 1, top), clRed);
  EXPECT_EQ(PixelAt(image, 1, top), clRed);
  EXPECT_EQ(PixelAt(image, 1, 40), clRed); // the left side moves in by one
  // The caption sits in the gap: some of its pixels are the font's colour, none left of the gap.
  bool inGap = false;
  for (int x = gapStart; x < 114 && !inGap; ++x)
    for (int y = 0; y < top + 3; ++y) inGap = inGap || PixelAt(image, x, y) == box->Font()->Color();
  EXPECT_TRUE(inGap);
  testsupport::SavePng(image, "TskGroupBox_rtl.png");
}

TEST(TskGroupBox, TakesBorderAndFontColoursFromItsStyle) {
  TForm form(nullptr);
  ShowForm(form);
  TskGroupBox* box = MakeBox(form);
  box->SetUIStyle(WinXP);
  EXPECT_EQ(box->BorderColor(), GetInsideThemeColor(WinXP, 25));
  EXPECT_EQ(box->Font()->Color(), GetInsideThemeColor(WinXP, 27));
}

TEST(TskGroupBox, RemovingTheFileThemeSetsDeepBlueOnGroupAndChildren) {
  TForm form(nullptr);
  ShowForm(form);
  auto* theme = new TskFileTheme(&form);
  TskGroupBox* box = MakeBox(form);
  auto* child = new TskPanel(&form);
  child->SetParent(box);
  box->SetUIStyle(Protein);
  box->SetFileTheme(theme);
  EXPECT_EQ(child->FileTheme(), theme);
  EXPECT_EQ(child->UIStyle(), Protein);
  delete theme;
  EXPECT_EQ(box->FileTheme(), nullptr);
  EXPECT_EQ(box->UIStyle(), DeepBlue);
  EXPECT_EQ(child->FileTheme(), nullptr);
  EXPECT_EQ(child->UIStyle(), DeepBlue);
  EXPECT_EQ(box->BorderColor(), GetInsideThemeColor(DeepBlue, 25));
}

TEST(TskGroupBox, RendersInEveryStyle) {
  const TskUIStyle styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};
  for (TskUIStyle s : styles) {
    TForm form(nullptr);
    ShowForm(form);
    TskGroupBox* box = MakeBox(form);
    box->SetCaption("Puzzle Size");
    box->SetUIStyle(s);
    TSurface image = Render(box);
    EXPECT_EQ(PixelAt(image, 0, 40), box->BorderColor());
    testsupport::SavePng(image, "TskGroupBox_" + TskUIStyleNames.NameOf(s) + ".png");
  }
}

TEST(TskGroupBox, CaptionByNameIsTheGroupCaptionNotTheWindowText) {
  TForm form(nullptr);
  ShowForm(form);
  TskGroupBox* box = MakeBox(form);
  SetStrProp(box, "Caption", "Board");
  EXPECT_EQ(box->Caption(), "Board");
  EXPECT_EQ(box->Text(), " ");
  EXPECT_FALSE(IsPublishedProp(box, "Picture"));
}
