// Picture panels and the collapsible caption panel: sizing, caption drawing, the push/pop slide and the
// theme file's removal.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "classlib/controls/Form.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Picture.h"
#include "skin/SKImagePanel.h"
#include "skin/SKMgr.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

void ShowForm(TForm& form) {
  form.SetBounds(0, 0, 320, 400);
  form.Show();
}

// A 160 x 90 caption panel "Board" on the shown form.
TskPanel* BoardPanel(TForm& form) {
  ShowForm(form);
  auto* panel = new TskPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 160, 90);
  panel->SetCaption("Board");
  return panel;
}

using testsupport::PixelAt;
using testsupport::Render;

} // namespace

TEST(TskCustomPanel, AutoSizeFollowsPictureExceptAlongItsAlignment) {
  TForm form(nullptr);
  ShowForm(form);
  auto* panel = new TskImagePanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 50, 50);
  panel->SetAlign(alTop);
  TBitmap bmp;
  bmp.SetSize(120, 70);
  panel->SetAutoSize(true);
  panel->Picture()->SetBitmap(&bmp);
  EXPECT_EQ(panel->TControl::Height(), 70);
  EXPECT_NE(panel->Width(), 120);
}

TEST(TskCustomPanel, BlankCaptionIsNotDrawnAndColourFillsWithoutPicture) {
  TForm form(nullptr);
  ShowForm(form);
  auto* panel = new TskImagePanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 80, 30);
  panel->SetColor(0x00FF00);
  panel->Font()->SetColor(clBlack);
  panel->SetCaption("   \t ");
  TSurface blank = Render(panel);
  for (int x = 0; x < 80; ++x) ASSERT_EQ(PixelAt(blank, x, 15), TColor(0x00FF00)) << x;
  panel->SetCaption("WWWW");
  TSurface text = Render(panel);
  bool dark = false;
  for (int x = 0; x < 80; ++x) dark = dark || PixelAt(text, x, 15) == clBlack;
  EXPECT_TRUE(dark);
}

TEST(TskCustomPanel, StretchAndTileFillTheClientArea) {
  TForm form(nullptr);
  ShowForm(form);
  auto* panel = new TskImagePanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 40, 40);
  TBitmap bmp;
  bmp.SetSize(10, 10);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect(Rect(0, 0, 10, 10));
  bmp.Canvas()->SetPixels(9, 9, clBlue);
  panel->Picture()->SetBitmap(&bmp);
  panel->SetColor(clWhite);
  EXPECT_EQ(PixelAt(Render(panel), 30, 30), clWhite);
  panel->SetDrawStyle(skTile);
  TSurface tiled = Render(panel);
  EXPECT_EQ(PixelAt(tiled, 39, 39), clBlue);
  EXPECT_EQ(PixelAt(tiled, 30, 30), clRed);
  panel->SetDrawStyle(skStretch);
  TSurface stretched = Render(panel);
  EXPECT_EQ(PixelAt(stretched, 30, 30), clRed);
  EXPECT_EQ(PixelAt(stretched, 39, 39), clBlue);
}

class TskPanelSlide : public ::testing::Test {
 protected:
  void SetUp() override {
    ShowForm(form);
    panel = new TskPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 150, 300);
    panel->OnResize = [this](TObject*) { heights.push_back(panel->TControl::Height()); };
  }
  TForm form{nullptr};
  TskPanel* panel = nullptr;
  std::vector<int> heights;
};

TEST_F(TskPanelSlide, PushAndPopStepFifteenPixels) {
  TBitmap caption;
  caption.LoadFromResourceName(0, "DEEPBLUE_SIDECHENNEL_BAR");
  const int target = caption.Height() ? caption.Height() : 20;
  panel->Push();
  ASSERT_TRUE(panel->Pushed());
  ASSERT_FALSE(heights.empty());
  EXPECT_EQ(heights.front(), 285);
  EXPECT_EQ(heights.back(), target);
  for (size_t i = 1; i + 1 < heights.size(); ++i) EXPECT_EQ(heights[i - 1] - heights[i], 15);
  EXPECT_EQ(panel->Height(), 300);

  panel->SetHeight(200); // only the expanded height while pushed
  EXPECT_EQ(panel->TControl::Height(), target);
  heights.clear();
  panel->Pop();
  EXPECT_FALSE(panel->Pushed());
  EXPECT_EQ(heights.front(), target + 15);
  EXPECT_EQ(heights.back(), 200);
  EXPECT_EQ(panel->Height(), 200);
}

TEST_F(TskPanelSlide, ClientAlignedPanelRefusesToPush) {
  panel->SetAlign(alClient);
  const int before = panel->TControl::Height();
  try {
    panel->Push();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Can't push when Align is alClient, alLeft or alRight.");
  }
  EXPECT_FALSE(panel->Pushed());
  EXPECT_EQ(panel->TControl::Height(), before);
}

TEST(TskPanel, RemovingTheFileThemeFallsBackToDeepBlueForPanelAndChildren) {
  TForm form(nullptr);
  ShowForm(form);
  auto* theme = new TskFileTheme(&form);
  auto* panel = new TskPanel(&form);
  panel->SetParent(&form);
  auto* child = new TskPanel(&form);
  child->SetParent(panel);
  panel->SetUIStyle(FromThemeFile);
  panel->SetFileTheme(theme);
  child->SetUIStyle(FromThemeFile);
  child->SetFileTheme(theme);
  delete theme;
  EXPECT_EQ(panel->FileTheme(), nullptr);
  EXPECT_EQ(panel->UIStyle(), DeepBlue);
  EXPECT_EQ(child->FileTheme(), nullptr);
  EXPECT_EQ(child->UIStyle(), DeepBlue);
}

TEST(TskPanel, RendersInEveryStyle) {
  const TskUIStyle styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};
  for (TskUIStyle s : styles) {
    TForm form(nullptr);
    TskPanel* panel = BoardPanel(form);
    panel->SetUIStyle(s);
    TSurface image = Render(panel);
    EXPECT_EQ(PixelAt(image, 0, 60), panel->BorderColor());
    EXPECT_EQ(PixelAt(image, 50, 60), TColor(0xFFFFFF));
    testsupport::SavePng(image, "TskPanel_" + TskUIStyleNames.NameOf(s) + ".png");
  }
}

TEST(TskPanel, RightToLeftCaptionOnAMiddleEastLocaleEndsBeforeTheButton) {
  TForm form(nullptr);
  TskPanel* panel = BoardPanel(form);
  panel->SetCaptionFontColor(clLime);
  panel->SetBiDiMode(bdRightToLeft);
  // Caption pixels left and right of the middle, and the rightmost one.
  auto caption = [&](int& left, int& right, int& last) {
    const TSurface image = Render(panel);
    left = right = 0;
    last = -1;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 160; ++x)
        if (PixelAt(image, x, y) == clLime) {
          (x < 80 ? left : right) += 1;
          last = std::max(last, x);
        }
  };
  int left = 0, right = 0, last = 0;
  {
    skintest::ScopedMiddleEastLocale locale(false);
    caption(left, right, last);
    EXPECT_GT(left, 0);
    EXPECT_EQ(right, 0);
  }
  skintest::ScopedMiddleEastLocale locale(true);
  panel->Invalidate();
  caption(left, right, last);
  EXPECT_EQ(left, 0);
  EXPECT_GT(right, 0);
  EXPECT_LT(last, 160 - 1 - 20);
  EXPECT_GT(last, 160 - 1 - 20 - 4);
  // Without the button the caption ends 10 pixels from the border.
  panel->SetShowButton(false);
  caption(left, right, last);
  EXPECT_LT(last, 160 - 1 - 10);
  EXPECT_GT(last, 160 - 1 - 10 - 4);
}

TEST_F(TskPanelSlide, ClickOnTheCaptionButtonPushesAndPops) {
  int pushes = 0, pops = 0;
  panel->OnPush = [&](TObject*) { ++pushes; };
  panel->OnPop = [&](TObject*) { ++pops; };
  // The 15-pixel button sits 4 pixels in from the caption bar's right end.
  const int x = 150 - 1 - 4 - 8, y = 10;
  testsupport::MouseMove(panel, x, y);
  testsupport::Click(panel, x, y);
  EXPECT_TRUE(panel->Pushed());
  testsupport::MouseMove(panel, x, y);
  testsupport::Click(panel, x, y);
  EXPECT_FALSE(panel->Pushed());
  EXPECT_EQ(panel->TControl::Height(), 300);
  EXPECT_EQ(pushes, 1);
  EXPECT_EQ(pops, 1);
  testsupport::Click(panel, 40, y); // beside the button
  EXPECT_FALSE(panel->Pushed());
}

TEST_F(TskPanelSlide, ClientAlignedPanelShowsNoButton) {
  const int x = 150 - 1 - 4 - 8, y = 10;
  const TColor withButton = PixelAt(Render(panel), x, y);
  panel->SetAlign(alClient);
  TSurface image = Render(panel);
  const int right = panel->Width() - 1 - 4 - 8;
  EXPECT_NE(PixelAt(image, right, y), withButton);
  EXPECT_EQ(PixelAt(image, right, y), PixelAt(image, right - 30, y));
}

TEST_F(TskPanelSlide, PublishedHeightIsTheExpandedHeight) {
  panel->Push();
  SetOrdProp(panel, "Height", 240);
  EXPECT_EQ(GetOrdProp(panel, "Height"), 240);
  EXPECT_LT(panel->TControl::Height(), 240);
}
