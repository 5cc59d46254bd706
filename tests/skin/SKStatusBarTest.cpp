// The skinned status bar: its colour from the theme, the grip corner it repaints on sizeable forms, no sizing
// corner on maximized ones, and the picture in every style and in a sample theme.
#include <gtest/gtest.h>

#include "classlib/controls/Form.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Canvas.h"
#include "skin/SKMgr.h"
#include "skin/SKStatusBar.h"
#include "skin/SKThemeFile.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

using testsupport::PixelAt;
using testsupport::Render;

namespace {

class SkStatusBar : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(100, 100, 300, 200);
    form.Show();
    bar = Make(&form);
  }
  static TskStatusBar* Make(TForm* Form) {
    auto* b = new TskStatusBar(Form);
    b->SetParent(Form);
    b->Panels()->Add()->SetText("Moves: 12");
    b->Panels()->Items(0)->SetWidth(90);
    b->Panels()->Add()->SetText("0:42");
    return b;
  }
  TForm form{nullptr};
  TskStatusBar* bar = nullptr;
};

// The corner's pixels that lie on none of the four grip lines.
bool OnGripLine(int Dx, int Dy) {
  // (W - d, H - 1) to (W - 1, H - d): the points W - d + t, H - 1 - t for t below d - 1.
  for (int d : {15, 11, 7, 3})
    if (Dx + Dy == d + 1 && Dx >= 2 && Dx <= d) return true;
  return false;
}

} // namespace

TEST_F(SkStatusBar, PanelColorIsTheFormBackgroundOfItsStyle) {
  EXPECT_EQ(bar->UIStyle(), DeepBlue);
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    bar->SetUIStyle(style);
    EXPECT_EQ(bar->PanelColor(), GetInsideThemeColor(style, 15));
    EXPECT_EQ(bar->Color(), bar->PanelColor());
  }
  // The class library's parts stay as they were.
  EXPECT_EQ(bar->Align(), alBottom);
  EXPECT_TRUE(bar->SizeGrip());
  EXPECT_TRUE(bar->UseSystemFont());
  for (const char* name : {"PanelColor", "FileTheme", "UIStyle", "Panels", "SimpleText", "AutoHint",
                           "OnDrawPanel", "OnHint", "OnCreatePanelClass", "OnContextPopup"})
    EXPECT_TRUE(IsPublishedProp(bar, name)) << name;
}

TEST_F(SkStatusBar, RemovingTheFileThemeFallsBackToDeepBlue) {
  skintest::TempDir dir;
  const AnsiString file = dir.File("olive.skn");
  TskThemeFileWriter writer(file);
  writer.AddInteger("FormBackgroundColor", 0x208080);
  writer.Save();
  auto* theme = new TskFileTheme(&form);
  theme->SetThemeFile(file);
  ASSERT_TRUE(theme->CanUse());
  bar->SetFileTheme(theme);
  bar->SetUIStyle(FromThemeFile);
  EXPECT_EQ(bar->PanelColor(), TColor(0x208080));
  delete theme;
  EXPECT_EQ(bar->FileTheme(), nullptr);
  EXPECT_EQ(bar->UIStyle(), DeepBlue);
  EXPECT_EQ(bar->PanelColor(), GetInsideThemeColor(DeepBlue, 15));
}

TEST_F(SkStatusBar, TheGripCornerIsRepaintedInTheBarsColourWithFourLines) {
  bar->SetPanelColor(clLime);
  bar->SetHeight(40);
  const TSurface s = Render(bar);
  const int w = bar->Width(), h = bar->Height();
  const TColor grip = ColorToRGB(clInactiveCaption);
  for (int dy = 2; dy <= 16; ++dy)
    for (int dx = 2; dx <= 16; ++dx)
      ASSERT_EQ(PixelAt(s, w - dx, h - dy), OnGripLine(dx, dy) ? grip : clLime) << dx << "," << dy;
  for (int d : {15, 11, 7, 3}) {
    EXPECT_EQ(PixelAt(s, w - d, h - 1), grip) << d; // each line starts on the bottom row
    EXPECT_NE(PixelAt(s, w - 1, h - d), grip) << d; // and ends short of the right column
  }
  // The strip above the corner, from row 3 down to it.
  for (int y = 3; y < h - 16; ++y) ASSERT_EQ(PixelAt(s, w - 8, y), clLime) << y;
  // With SizeGrip off the corner and the strip are still filled, without lines.
  bar->SetSizeGrip(false);
  const TSurface off = Render(bar);
  EXPECT_NE(PixelAt(off, w - 15, h - 1), grip);
  EXPECT_EQ(PixelAt(off, w - 8, h - 9), clLime);
  EXPECT_EQ(PixelAt(off, w - 8, 5), clLime);
}

TEST_F(SkStatusBar, AFormOfFixedSizeGetsTheClassLibrarysBarAsItIs) {
  form.SetBorderStyle(bsSingle);
  bar->SetPanelColor(clLime);
  TStatusBar* plain = new TStatusBar(&form);
  plain->SetParent(&form);
  plain->SetAlign(alTop);
  plain->SetColor(clLime);
  plain->Panels()->Assign(bar->Panels());
  const TSurface a = Render(bar), b = Render(plain);
  for (int y = 0; y < bar->Height(); ++y)
    for (int x = 0; x < bar->Width(); ++x) ASSERT_EQ(PixelAt(a, x, y), PixelAt(b, x, y)) << x << "," << y;
}

TEST_F(SkStatusBar, AMaximizedFormHasAPlainCornerAndNoSizingCorner) {
  bar->SetPanelColor(clLime);
  const TPoint corner = bar->ClientToScreen(Point(bar->Width() - 3, bar->Height() - 3));
  EXPECT_EQ(bar->Perform(WM_NCHITTEST, 0, MAKELPARAM(corner.X, corner.Y)), HTBOTTOMRIGHT);
  form.SetWindowState(wsMaximized);
  const TSurface s = Render(bar);
  const int w = bar->Width(), h = bar->Height();
  for (int dy = 2; dy <= 16; ++dy)
    for (int dx = 2; dx <= 16; ++dx) ASSERT_EQ(PixelAt(s, w - dx, h - dy), clLime) << dx << "," << dy;
  const TPoint c2 = bar->ClientToScreen(Point(w - 3, h - 3));
  const TPoint middle = bar->ClientToScreen(Point(w / 2, h / 2));
  EXPECT_EQ(bar->Perform(WM_NCHITTEST, 0, MAKELPARAM(c2.X, c2.Y)), HTNOWHERE);
  EXPECT_EQ(bar->Perform(WM_NCHITTEST, 0, MAKELPARAM(middle.X, middle.Y)), HTNOWHERE);
}

TEST(SkStatusBarPictures, RendersInEveryStyleAndASampleTheme) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 320, 80);
  form.Show();
  TskFileTheme theme(&form);
  theme.SetThemeFile(GetExeDir() + "../../app/themes/Sunset.skn");
  ASSERT_TRUE(theme.CanUse());
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass, FromThemeFile}) {
    TskStatusBar* bar = new TskStatusBar(&form);
    bar->SetParent(&form);
    bar->SetFileTheme(&theme);
    bar->SetUIStyle(style);
    bar->Panels()->Add()->SetText("Moves: 12");
    bar->Panels()->Items(0)->SetWidth(110);
    bar->Panels()->Add()->SetText("Time: 0:42");
    const TColor expected = style == FromThemeFile ? theme.GetColor(15) : GetInsideThemeColor(style, 15);
    const TSurface s = Render(bar);
    const int w = bar->Width(), h = bar->Height();
    SCOPED_TRACE(TskUIStyleNames.NameOf(style));
    EXPECT_EQ(PixelAt(s, 111, 10), expected); // between the panels
    EXPECT_EQ(PixelAt(s, w - 12, h - 6), expected);
    EXPECT_EQ(PixelAt(s, w - 11, h - 1), ColorToRGB(clInactiveCaption));
    const AnsiString name = style == FromThemeFile ? AnsiString("Sunset") : TskUIStyleNames.NameOf(style);
    testsupport::RenderToPng(&form, "TskStatusBar-" + name + ".png");
    delete bar;
  }
}
