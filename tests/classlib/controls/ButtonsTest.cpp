// Speed buttons: grouped buttons staying down and letting each other up, clicks only on a release over the
// button, and the flat, hot, sunken and glyph drawing.
#include <gtest/gtest.h>

#include "classlib/controls/Buttons.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Panel.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "tests/support/TestSupport.h"

using testsupport::PixelAt;
using testsupport::Render;

namespace {

class SpeedButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(0, 0, 300, 200);
    form.SetColor(clWhite);
    form.Show();
  }
  TSpeedButton* Add(TWinControl* Parent, int X, int GroupIndex) {
    auto* b = new TSpeedButton(&form);
    b->SetParent(Parent);
    b->SetBounds(X, 10, 20, 20);
    b->SetGroupIndex(GroupIndex);
    b->OnClick = [this](TObject*) { ++clicks; };
    return b;
  }
  TForm form{nullptr};
  int clicks = 0;
};

} // namespace

TEST_F(SpeedButtons, GroupedButtonsStayDownAndLetEachOtherUp) {
  TSpeedButton* a = Add(&form, 10, 1);
  TSpeedButton* b = Add(&form, 40, 1);
  TSpeedButton* other = Add(&form, 70, 2);
  other->SetDown(true);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(100, 0, 100, 50);
  TSpeedButton* elsewhere = Add(panel, 10, 1);
  elsewhere->SetDown(true);

  testsupport::Click(a, 5, 5);
  EXPECT_TRUE(a->Down());
  testsupport::Click(b, 5, 5);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(other->Down()) << "another group";
  EXPECT_TRUE(elsewhere->Down()) << "another parent";
  // Without AllowAllUp the down button stays down, also when set by code; the click still counts.
  testsupport::Click(b, 5, 5);
  EXPECT_TRUE(b->Down());
  b->SetDown(false);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(clicks, 3);
  b->SetAllowAllUp(true);
  testsupport::Click(b, 5, 5);
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(a->Down());

  // Without a group a button never stays down.
  TSpeedButton* plain = Add(&form, 130, 0);
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
  testsupport::Click(plain, 5, 5);
  EXPECT_FALSE(plain->Down());
}

TEST_F(SpeedButtons, ClicksOnlyWhenReleasedOverTheButton) {
  TSpeedButton* a = Add(&form, 10, 1);
  testsupport::MouseDown(a, 5, 5);
  EXPECT_TRUE(a->Pressed());
  testsupport::MouseMove(a, 40, 5);
  EXPECT_FALSE(a->Pressed());
  testsupport::MouseMove(a, 6, 5);
  EXPECT_TRUE(a->Pressed());
  testsupport::MouseMove(a, 40, 5);
  testsupport::MouseUp(a, 40, 5);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(a->Down());
  EXPECT_FALSE(a->Pressed());
  a->SetEnabled(false);
  testsupport::Click(a, 5, 5);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(a->Down());
}

TEST_F(SpeedButtons, FlatShowsItsParentUntilHotOrDown) {
  TSpeedButton* a = Add(&form, 10, 1);
  a->SetFlat(true);
  TBitmap glyph;
  glyph.SetSize(8, 8);
  glyph.Canvas()->Brush()->SetColor(clFuchsia); // the key, from pixel (0, 0)
  glyph.Canvas()->FillRect(Rect(0, 0, 8, 8));
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect(Rect(2, 2, 6, 6));
  a->SetGlyph(&glyph);
  const TColor shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight);

  TSurface s = Render(a);
  EXPECT_EQ(PixelAt(s, 0, 0), clWhite);
  EXPECT_EQ(PixelAt(s, 19, 19), clWhite);
  EXPECT_EQ(PixelAt(s, 6, 6), clWhite) << "the glyph's key is left out";
  EXPECT_EQ(PixelAt(s, 8, 8), clBlue); // glyph at (6, 6), its blue square from (8, 8)
  EXPECT_EQ(PixelAt(s, 12, 12), clWhite);

  testsupport::MouseMove(a, 5, 5);
  s = Render(a);
  EXPECT_EQ(PixelAt(s, 0, 0), highlight);
  EXPECT_EQ(PixelAt(s, 19, 19), shadow);

  testsupport::Click(a, 5, 5);
  ASSERT_TRUE(a->Down());
  testsupport::MouseMove(a, 200, 150); // leave: a down button stays sunken
  s = Render(a);
  EXPECT_EQ(PixelAt(s, 0, 0), shadow);
  EXPECT_EQ(PixelAt(s, 19, 19), highlight);
  EXPECT_EQ(PixelAt(s, 8, 8), clWhite) << "the glyph moves one pixel";
  EXPECT_EQ(PixelAt(s, 9, 9), clBlue);
  EXPECT_EQ(PixelAt(s, 12, 12), clBlue);

  // A raised button has a face of its own.
  a->SetFlat(false);
  a->SetAllowAllUp(true);
  a->SetDown(false);
  s = Render(a);
  EXPECT_EQ(PixelAt(s, 0, 0), highlight);
  EXPECT_EQ(PixelAt(s, 3, 10), ColorToRGB(clBtnFace));
}
