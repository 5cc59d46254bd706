// The skinned progress bar: percentage text, the done part for values in and out of range, the caption
// rules, orientation and theme reloads.
#include <gtest/gtest.h>

#include "classlib/controls/Form.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "skin/SKProgressBar.h"
#include "skin/SKThemes.h"
#include "tests/support/TestSupport.h"

using testsupport::PixelAt;
using testsupport::Render;

namespace {

constexpr TColor Done = 0x0000FF;
constexpr TColor Rest = 0xFF0000;
constexpr TColor Border = 0x00FF00;

// A bar on a form, painted in three plain colours so that pixels tell the parts apart.
struct PlainBar {
  PlainBar() : form(nullptr) {
    form.SetBounds(0, 0, 300, 200);
    bar = new TskProgressBar(&form);
    bar->SetParent(&form);
    bar->SetBounds(10, 10, 101, 12);
    TBitmap solid;
    solid.SetSize(4, 4);
    solid.Canvas()->Brush()->SetColor(Done);
    solid.Canvas()->FillRect(Rect(0, 0, 4, 4));
    TPicture picture;
    picture.SetBitmap(&solid);
    bar->SetPicture(&picture);
    bar->SetColor(Rest);
    bar->SetBorderColor(Border);
    bar->SetShowCaption(false);
    form.Show();
  }
  TForm form;
  TskProgressBar* bar;
};

} // namespace

TEST(SkProgressBar, StartsAtHalfWithItsCaption) {
  TForm form(nullptr);
  auto* bar = new TskProgressBar(&form);
  EXPECT_EQ(bar->Min(), 0);
  EXPECT_EQ(bar->Max(), 100);
  EXPECT_EQ(bar->Position(), 50);
  EXPECT_EQ(bar->Width(), 150);
  EXPECT_EQ(bar->Height(), 12);
  EXPECT_EQ(bar->Caption(), "50%");
  EXPECT_TRUE(bar->ShowCaption());
  EXPECT_EQ(bar->UIStyle(), DeepBlue);
  EXPECT_EQ(bar->Color(), GetInsideThemeColor(DeepBlue, 26));
  EXPECT_EQ(bar->BorderColor(), GetInsideThemeColor(DeepBlue, 25));
  EXPECT_FALSE(bar->Picture()->Bitmap()->Empty());
}

TEST(SkProgressBar, CaptionFollowsValuesOutsideTheRange) {
  TForm form(nullptr);
  auto* bar = new TskProgressBar(&form);
  bar->SetPosition(150);
  EXPECT_EQ(bar->Caption(), "150%");
  bar->SetPosition(-10);
  EXPECT_EQ(bar->Caption(), "-10%");
  bar->SetPosition(50);
  bar->StepBy(-5);
  EXPECT_EQ(bar->Position(), 45);
  EXPECT_EQ(bar->Caption(), "45%");
  bar->StepIt();
  EXPECT_EQ(bar->Caption(), "46%");
  bar->SetMin(20);
  bar->SetMax(20);
  EXPECT_EQ(bar->Caption(), "0%");
  EXPECT_EQ(bar->GetWidthFromPosition(99), 0);
  // A user caption lasts until the next value change.
  bar->SetCaption("busy");
  EXPECT_EQ(bar->Caption(), "busy");
  bar->SetPosition(21);
  EXPECT_EQ(bar->Caption(), "0%");
}

TEST(SkProgressBar, ExtremeRangesDoNotOverflow) {
  TForm form(nullptr);
  auto* bar = new TskProgressBar(&form);
  bar->SetMin(INT32_MIN);
  bar->SetMax(INT32_MAX);
  bar->SetPosition(INT32_MAX);
  EXPECT_EQ(bar->GetWidthFromPosition(100), 100);
  EXPECT_EQ(bar->Caption(), "100%");
  bar->SetPosition(0);
  EXPECT_EQ(bar->GetWidthFromPosition(100), 50);
  EXPECT_EQ(bar->Caption(), "50%");
  // Ranges of tens of millions wrap a 32-bit product of position and 100.
  bar->SetMin(0);
  bar->SetMax(100000000);
  bar->SetPosition(50000000);
  EXPECT_EQ(bar->Caption(), "50%");
  EXPECT_EQ(bar->GetPercentFromPosition(), 50);
  bar->SetMax(30000000);
  bar->SetPosition(30000000);
  EXPECT_EQ(bar->Caption(), "100%");
  // Far outside a narrow range the caption still tells the truth.
  bar->SetMax(1);
  bar->SetPosition(INT32_MAX);
  EXPECT_EQ(bar->Caption(), "214748364700%");
  EXPECT_EQ(bar->GetPercentFromPosition(), INT32_MAX);
}

TEST(SkProgressBar, DonePartForValuesInAndOutOfRange) {
  PlainBar p;
  p.bar->SetPosition(150);
  TSurface s = Render(p.bar);
  EXPECT_EQ(PixelAt(s, 0, 5), Border);
  EXPECT_EQ(PixelAt(s, 1, 5), Done);
  EXPECT_EQ(PixelAt(s, 98, 5), Done);
  EXPECT_EQ(PixelAt(s, 100, 5), Border);

  p.bar->SetPosition(-10);
  s = Render(p.bar);
  EXPECT_EQ(PixelAt(s, 1, 5), Rest);
  EXPECT_EQ(PixelAt(s, 98, 5), Rest);

  // Half of 100 pixels: the done part covers x 1..49, the rest starts at 50.
  p.bar->SetPosition(50);
  s = Render(p.bar);
  EXPECT_EQ(PixelAt(s, 49, 5), Done);
  EXPECT_EQ(PixelAt(s, 50, 5), Rest);
}

TEST(SkProgressBar, VerticalGrowsFromTheBottomAndDropsTheCaption) {
  PlainBar p;
  p.bar->SetShowCaption(true);
  p.bar->SetOrientation(skVertical);
  // The orientation change took the theme's colours back.
  EXPECT_EQ(p.bar->Color(), GetInsideThemeColor(DeepBlue, 26));
  p.bar->SetColor(Rest);
  p.bar->SetBounds(10, 10, 12, 101);
  TSurface s = Render(p.bar);
  EXPECT_FALSE(p.bar->ShowCaption());
  EXPECT_NE(PixelAt(s, 5, 98), Rest);
  EXPECT_EQ(PixelAt(s, 5, 2), Rest);
  p.bar->SetOrientation(skHorizontal);
  Render(p.bar);
  EXPECT_FALSE(p.bar->ShowCaption());
}

TEST(SkProgressBar, SmartCaptionHidesAtMin) {
  PlainBar p;
  p.bar->SetBounds(10, 10, 101, 30);
  p.bar->SetPosition(0);
  p.bar->SetCaptionColor(clWhite);
  p.bar->SetShowCaption(true);
  p.bar->SetSmartShowCaption(true);
  auto whitePixels = [&]() {
    TSurface s = Render(p.bar);
    int n = 0;
    for (int y = 1; y < 29; ++y)
      for (int x = 1; x < 100; ++x) n += PixelAt(s, x, y) == clWhite;
    return n;
  };
  EXPECT_EQ(whitePixels(), 0);
  p.bar->StepIt();
  EXPECT_GT(whitePixels(), 0);
}

TEST(SkProgressBar, RendersInEveryStyle) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  form.Show();
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    auto* bar = new TskProgressBar(&form);
    bar->SetParent(&form);
    bar->SetBounds(10, 10, 150, 16);
    bar->SetUIStyle(style);
    bar->SetPosition(60);
    auto* vertical = new TskProgressBar(&form);
    vertical->SetParent(&form);
    vertical->SetBounds(200, 10, 16, 150);
    vertical->SetOrientation(skVertical);
    vertical->SetUIStyle(style);
    SCOPED_TRACE(TskUIStyleNames.NameOf(style));
    // Framed in the border colour; the done part (60 % of 149 = 89 pixels, 50 % from the bottom when
    // vertical) shows the picture, the rest the control background colour.
    const TColor border = GetInsideThemeColor(style, 25), rest = GetInsideThemeColor(style, 26);
    const TSurface h = Render(bar);
    EXPECT_EQ(PixelAt(h, 0, 0), border);
    EXPECT_EQ(PixelAt(h, 149, 15), border);
    for (int x = 90; x < 149; ++x) ASSERT_EQ(PixelAt(h, x, 8), rest) << x; // the caption stays left of 90
    EXPECT_NE(PixelAt(h, 50, 8), rest);
    EXPECT_NE(PixelAt(h, 3, 3), rest);
    const TSurface v = Render(vertical);
    EXPECT_EQ(PixelAt(v, 0, 75), border);
    EXPECT_EQ(PixelAt(v, 8, 74), rest);
    EXPECT_NE(PixelAt(v, 8, 75), rest);
    EXPECT_NE(PixelAt(v, 8, 147), rest);
    testsupport::RenderToPng(&form, "SkProgressBar-" + TskUIStyleNames.NameOf(style) + ".png");
    delete bar;
    delete vertical;
  }
}
