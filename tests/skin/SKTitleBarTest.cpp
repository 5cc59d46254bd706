// The caption bar on its own (outside a skinned frame): button layout and pictures, caption fitting, the
// mouse (press and release on the same button only, dragging, double clicks), the "only one" rules, the theme
// and caption colours, and the system menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "classlib/controls/Application.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Icon.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKTitleBar.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::PixelAt;
using testsupport::Render;

// The piece of the caption-button strip of a built-in style.
std::unique_ptr<TBitmap> Piece(TskUIStyle style, int index) {
  auto piece = std::make_unique<TBitmap>();
  GetInsideThemeBitmap(style, 5, piece.get(), 18, index);
  return piece;
}

// Closes the menu about to be tracked, as an Esc press would.
void DismissMenu(TObject*) {
  backend::KeyEvent esc;
  esc.VirtualKey = VK_ESCAPE;
  InjectKey(esc);
  esc.Down = false;
  InjectKey(esc);
}

bool SamePixels(const TSurface& s, int x0, int y0, TBitmap* picture) {
  for (int y = 0; y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x)
      if (PixelAt(s, x0 + x, y0 + y) != picture->Canvas()->Pixels(x, y)) return false;
  return true;
}

class TitleBar : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordedMessageBoxes.clear();
    form.SetBounds(100, 100, 400, 200);
    form.Show();
    bar = new TskTitleBar(&form);
    bar->SetParent(&form);
    bar->SetCaption("Quendrel");
    testsupport::Pump();
  }
  TskTitleBarButton* Button(TskTitleBarBtnType type) {
    for (int i = 0; i < bar->Buttons()->Count(); ++i)
      if (bar->Buttons()->Items(i)->ButtonType() == type) return bar->Buttons()->Items(i);
    return nullptr;
  }
  TRect RectOf(TskTitleBarBtnType type) { return bar->ButtonRects(bar->Width())[Button(type)->Index()]; }
  TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

  TForm form{nullptr};
  TskTitleBar* bar = nullptr;
};

} // namespace

TEST_F(TitleBar, ButtonsStandFromTheRightEdgeAndTheControlBoxAtTheLeft) {
  // DeepBlue outside a frame: no offsets, buttons at the theme's row 2.
  EXPECT_EQ(bar->Height(), bar->Sections()->Items(0)->Picture()->Height());
  const int w = Button(skClose)->PicNormal()->Width();
  EXPECT_EQ(RectOf(skClose).Left, bar->Width() - w - 1);
  EXPECT_EQ(RectOf(skMax).Left, RectOf(skClose).Left - (Button(skMax)->PicNormal()->Width() + 1));
  EXPECT_EQ(RectOf(skMin).Left, RectOf(skMax).Left - (Button(skMin)->PicNormal()->Width() + 1));
  EXPECT_EQ(RectOf(skControlBox).Left, bar->LeftBtnXOffset() + 1);
  EXPECT_EQ(RectOf(skClose).Top, 2);

  bar->SetButtonInterval(3);
  EXPECT_EQ(RectOf(skMax).Left, RectOf(skClose).Left - (Button(skMax)->PicNormal()->Width() + 4));
  Button(skMax)->SetVisible(false);
  EXPECT_EQ(RectOf(skMin).Left, RectOf(skClose).Left - (Button(skMin)->PicNormal()->Width() + 4));
  EXPECT_EQ(bar->ButtonAt(Centre(RectOf(skMin)).X, Centre(RectOf(skMin)).Y), Button(skMin)->Index());

  // Each button shows its own piece of the strip.
  Button(skMax)->SetVisible(true);
  bar->SetButtonInterval(0);
  const TSurface s = Render(bar);
  testsupport::SavePng(s, "titlebar-deepblue.png");
  EXPECT_TRUE(SamePixels(s, RectOf(skClose).Left, RectOf(skClose).Top, Piece(DeepBlue, 16).get()));
  EXPECT_TRUE(SamePixels(s, RectOf(skMin).Left, RectOf(skMin).Top, Piece(DeepBlue, 13).get()));
  EXPECT_TRUE(
      SamePixels(s, RectOf(skControlBox).Left, RectOf(skControlBox).Top - 1, Piece(DeepBlue, 1).get()));
}

TEST_F(TitleBar, CaptionsAreShortenedWithDotsAndPaintingEndsWhenNothingFits) {
  TBitmap b;
  b.SetSize(10, 10);
  b.Canvas()->SetFont(bar->Font());
  TCanvas* c = b.Canvas();
  const AnsiString caption = "A rather long caption for a small window";
  EXPECT_EQ(TskTitleBar::FitCaption(c, caption, 1000), caption);
  const AnsiString fitted = TskTitleBar::FitCaption(c, caption, 120);
  EXPECT_EQ(fitted.substr(fitted.size() - 3), "...");
  EXPECT_LE(c->TextWidth(fitted), 120);
  EXPECT_GT(c->TextWidth(fitted + "x"), 120 - c->TextWidth("x") - 20); // not shortened more than needed
  EXPECT_EQ(TskTitleBar::FitCaption(c, caption, c->TextWidth("...")), "...");
  EXPECT_EQ(TskTitleBar::FitCaption(c, caption, c->TextWidth("...") - 1), "");
  EXPECT_EQ(TskTitleBar::FitCaption(c, caption, -40), "");

  // A bar too narrow for any caption still paints, buttons and all, and shows nothing of the caption: the
  // same picture as without one.
  form.SetWidth(130);
  ASSERT_LT(RectOf(skMin).Left - (RectOf(skControlBox).Right + 5), c->TextWidth("..."))
      << "not even the dots fit";
  bar->SetCaption("");
  const TSurface empty = Render(bar);
  bar->SetCaption(caption);
  const TSurface narrow = Render(bar);
  testsupport::SavePng(narrow, "titlebar-narrow.png");
  ASSERT_EQ(narrow.Width(), bar->Width());
  int differing = 0;
  for (int y = 0; y < narrow.Height(); ++y)
    for (int x = 0; x < narrow.Width(); ++x) differing += PixelAt(narrow, x, y) != PixelAt(empty, x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_TRUE(SamePixels(narrow, RectOf(skClose).Left, RectOf(skClose).Top, Piece(DeepBlue, 16).get()));
}

// Held down on a button, it shows its mouse-down picture; moved off while held, its normal one again, and the
// button under the mouse only its mouse-on picture.
TEST_F(TitleBar, APressedButtonShowsItsMouseDownPictureWhileHeldOnIt) {
  form.OnClose = [](TObject*, TCloseAction& action) { action = caNone; };
  const TPoint close = Centre(RectOf(skClose)), min = Centre(RectOf(skMin));
  testsupport::MouseMove(bar, close.X, close.Y);
  testsupport::MouseDown(bar, close.X, close.Y);
  TSurface s = Render(bar);
  EXPECT_TRUE(SamePixels(s, RectOf(skClose).Left, RectOf(skClose).Top, Piece(DeepBlue, 18).get()));
  testsupport::MouseMove(bar, min.X, min.Y);
  s = Render(bar);
  EXPECT_TRUE(SamePixels(s, RectOf(skClose).Left, RectOf(skClose).Top, Piece(DeepBlue, 16).get()));
  EXPECT_TRUE(SamePixels(s, RectOf(skMin).Left, RectOf(skMin).Top, Piece(DeepBlue, 14).get()));
  testsupport::MouseUp(bar, min.X, min.Y);
  EXPECT_EQ(form.WindowState(), wsNormal);
}

TEST_F(TitleBar, AButtonClicksOnlyWhenReleasedWhereItWasPressed) {
  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction& action) {
    ++closes;
    action = caNone;
  };
  const TPoint close = Centre(RectOf(skClose)), min = Centre(RectOf(skMin));
  testsupport::MouseDown(bar, close.X, close.Y);
  testsupport::MouseUp(bar, min.X, min.Y);
  EXPECT_EQ(closes, 0);
  EXPECT_EQ(form.WindowState(), wsNormal);

  // Pressed off the buttons (a drag) and released on one: nothing either.
  testsupport::MouseDown(bar, 150, 10);
  testsupport::MouseUp(bar, close.X, close.Y);
  EXPECT_EQ(closes, 0);

  testsupport::Click(bar, close.X, close.Y);
  EXPECT_EQ(closes, 1);
}

TEST_F(TitleBar, AnEmptyStatePictureShowsTheNormalOne) {
  Button(skMin)->PicMouseOn()->Assign(nullptr);
  const TPoint close = Centre(RectOf(skClose)), min = Centre(RectOf(skMin));
  testsupport::MouseMove(bar, close.X, close.Y);
  TSurface s = Render(bar);
  EXPECT_EQ(bar->HotButtonIndex(), Button(skClose)->Index());
  EXPECT_TRUE(SamePixels(s, RectOf(skClose).Left, RectOf(skClose).Top, Piece(DeepBlue, 17).get()));
  testsupport::MouseMove(bar, min.X, min.Y);
  s = Render(bar);
  EXPECT_EQ(bar->HotButtonIndex(), Button(skMin)->Index());
  EXPECT_TRUE(SamePixels(s, RectOf(skMin).Left, RectOf(skMin).Top, Piece(DeepBlue, 13).get()));
  EXPECT_TRUE(SamePixels(s, RectOf(skClose).Left, RectOf(skClose).Top, Piece(DeepBlue, 16).get()));
}

TEST_F(TitleBar, TheAppIconIsTheIconsOwnSmallImage) {
  bar->SetDrawAppIcon(true);
  const TSurface s = Render(bar);
  testsupport::SavePng(s, "titlebar-appicon.png");
  TBitmap small;
  small.LoadFromResourceName(0, "MAINICON_16");
  ASSERT_EQ(small.Width(), 16);
  const int x0 = RectOf(skControlBox).Left + 3, y0 = bar->ButtonTop();
  int opaque = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const TColor want = small.Canvas()->Pixels(x, y);
      if (want == clFuchsia) continue;
      ++opaque;
      EXPECT_EQ(PixelAt(s, x0 + x, y0 + y), want) << x << "," << y;
    }
  EXPECT_GT(opaque, 50);
  // An icon that came from no resource is its picture made small.
  TIcon loose;
  loose.Image()->SetSize(32, 32);
  EXPECT_EQ(CopyIcon(&loose, 16, 16)->Width(), 16);
  EXPECT_EQ(CopyIcon(&loose, 16, 16)->ResourceName(), "");
}

TEST_F(TitleBar, TheMaximizeButtonFollowsTheFormAndCoversTheWorkAreaOutsideAFrame) {
  const TPoint max = Centre(RectOf(skMax));
  testsupport::Click(bar, max.X, max.Y);
  EXPECT_EQ(form.WindowState(), wsMaximized);
  const TRect work = GetWorkAreaRect();
  EXPECT_EQ(form.BoundsRect(), (TRect{work.Left - 2, work.Top - 2, work.Right + 2, work.Bottom - 1}));
  TBitmap* normal = Button(skMax)->PicNormal()->Bitmap();
  EXPECT_EQ(normal->Canvas()->Pixels(5, 5), Piece(DeepBlue, 10)->Canvas()->Pixels(5, 5));

  Button(skMax)->DoClick();
  EXPECT_EQ(form.WindowState(), wsNormal);
  EXPECT_EQ(Button(skMax)->PicNormal()->Bitmap()->Canvas()->Pixels(5, 5),
            Piece(DeepBlue, 7)->Canvas()->Pixels(5, 5));

  // A minimize button on a form that is not the main form minimizes that form only.
  Button(skMin)->DoClick();
  EXPECT_EQ(form.WindowState(), wsMinimized);
}

TEST_F(TitleBar, DoubleClicksMaximizeAwayFromTheButtonsAndCloseOnTheControlBox) {
  testsupport::DoubleClick(bar, 150, 10);
  EXPECT_EQ(form.WindowState(), wsMaximized);
  const TRect maximized = form.BoundsRect();
  // Pressing on the bar of a maximized form starts no drag.
  testsupport::MouseDown(bar, 150, 10);
  testsupport::MouseMove(bar, 180, 40);
  testsupport::MouseUp(bar, 180, 40);
  EXPECT_EQ(form.BoundsRect(), maximized);

  Button(skMax)->SetVisible(false);
  form.SetWindowState(wsNormal);
  testsupport::DoubleClick(bar, 150, 10);
  EXPECT_EQ(form.WindowState(), wsNormal);

  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction& action) {
    ++closes;
    action = caNone;
  };
  bar->SystemMenu()->OnPopup = DismissMenu;
  const TPoint box = Centre(RectOf(skControlBox));
  testsupport::DoubleClick(bar, box.X, box.Y);
  EXPECT_EQ(closes, 1);
}

TEST_F(TitleBar, DraggingTheBarMovesTheForm) {
  const TRect before = form.BoundsRect();
  testsupport::MouseDown(bar, 150, 10);
  testsupport::MouseMove(bar, 170, 25);
  testsupport::MouseUp(bar, 150, 10); // the bar has moved along under the cursor
  EXPECT_EQ(form.Left(), before.Left + 20);
  EXPECT_EQ(form.Top(), before.Top + 15);
}

TEST_F(TitleBar, OnlyOneControlBoxAndOneClientSection) {
  Button(skMin)->SetButtonType(skControlBox);
  EXPECT_EQ(Button(skMin)->Index(), 3);
  Button(skControlBox)->SetButtonType(skControlBox);
  ASSERT_EQ(RecordedMessageBoxes.size(), 2u);
  EXPECT_EQ(RecordedMessageBoxes[0],
            "Error: Sorry, only one button's ButtonType property can be \"skControlBox\"");

  TskTitleBarSections* sections = bar->Sections();
  ASSERT_EQ(sections->Count(), 3);
  EXPECT_EQ(sections->Items(2)->Align(), TskTitleBarAlign::skClient);
  EXPECT_TRUE(sections->Items(2)->Stretch());
  sections->Items(0)->SetAlign(TskTitleBarAlign::skClient);
  sections->Items(2)->SetAlign(TskTitleBarAlign::skClient);
  EXPECT_EQ(sections->Items(0)->Align(), TskTitleBarAlign::skLeft);
  ASSERT_EQ(RecordedMessageBoxes.size(), 4u);
  EXPECT_EQ(RecordedMessageBoxes[3], "Error: Sorry, only one section's Align property can be \"skClient\"");
  sections->Items(2)->SetStretch(false);
  EXPECT_TRUE(sections->Items(2)->Stretch());
}

TEST_F(TitleBar, CaptionColourByStyleAndThemeFile) {
  bar->SetUIStyle(MacOS);
  EXPECT_EQ(bar->Font()->Color(), clBlack);
  bar->SetUIStyle(WinXP);
  EXPECT_EQ(bar->Font()->Color(), clWhite);

  skintest::TempDir dir;
  auto themeWith = [&](std::initializer_list<std::pair<const char*, int32_t>> items) {
    skintest::ThemeBytes bytes;
    for (const auto& [name, value] : items) bytes.Int(name, value);
    bytes.Terminator();
    static int n = 0;
    const AnsiString file = dir.File("caption" + std::to_string(++n) + ".skn");
    skintest::WriteBytes(file, bytes.Bytes);
    auto* theme = new TskFileTheme(&form);
    theme->SetThemeFile(file);
    return theme;
  };
  bar->SetUIStyle(FromThemeFile);
  bar->SetFileTheme(themeWith({{"TitleBarFontColor", 0x00FF00}}));
  EXPECT_EQ(bar->Font()->Color(), clWhite); // giving the file alone leaves the caption colour
  bar->SetUIStyle(FromThemeFile);
  EXPECT_EQ(bar->Font()->Color(), 0x00FF00);
  bar->SetFileTheme(themeWith({{"ControlFontColor", 0x030000}}));
  bar->SetUIStyle(FromThemeFile);
  EXPECT_EQ(bar->Font()->Color(), clBlack);
  bar->SetFileTheme(themeWith({{"ControlFontColor", 0x020000}}));
  bar->SetUIStyle(FromThemeFile);
  EXPECT_EQ(bar->Font()->Color(), clWhite);

  // Absent offsets and sizes never go negative; the right offset is taken as it comes.
  EXPECT_EQ(bar->LeftBtnXOffset(), 0);
  EXPECT_EQ(bar->ButtonTop(), 0);
  EXPECT_EQ(bar->RoundCorner(), 0);
  EXPECT_EQ(bar->RoundCornerBottom(), 0);
  EXPECT_EQ(bar->RightBtnXOffset(), -1);
  EXPECT_EQ(bar->Height(), 0);
  Render(bar);
}

TEST_F(TitleBar, ACustomBarKeepsItsPicturesAndColour) {
  bar->SetCustom(true);
  const int height = bar->Sections()->Items(0)->Picture()->Height();
  const TColor first = Button(skClose)->PicNormal()->Bitmap()->Canvas()->Pixels(4, 4);
  bar->SetUIStyle(BlueGlass);
  EXPECT_EQ(bar->UIStyle(), BlueGlass);
  EXPECT_EQ(bar->Sections()->Items(0)->Picture()->Height(), height);
  EXPECT_EQ(Button(skClose)->PicNormal()->Bitmap()->Canvas()->Pixels(4, 4), first);
  bar->SetUIStyle(MacOS);
  EXPECT_EQ(bar->Font()->Color(), clWhite);
}

TEST_F(TitleBar, AnInactiveFormDrawsTheCaptionInTheInactiveColour) {
  bar->SetCaption("MMMMMMMM");
  auto count = [&](TColor colour) {
    const TSurface s = Render(bar);
    int n = 0;
    for (int y = 0; y < bar->Height(); ++y)
      for (int x = 30; x < 120; ++x) n += PixelAt(s, x, y) == colour;
    return n;
  };
  const TColor inactive = ColorToRGB(clInactiveCaption);
  EXPECT_EQ(count(inactive), 0);
  const int white = count(clWhite);
  EXPECT_GT(white, 20);
  bar->SetFormActive(false);
  EXPECT_GE(count(inactive), white);
}

TEST_F(TitleBar, TheSystemMenuEnablesWhatTheBarShows) {
  Button(skMin)->SetVisible(false);
  std::vector<bool> enabled;
  bar->SystemMenu()->OnPopup = [&](TObject*) {
    for (int i = 0; i < bar->SystemMenu()->Items()->Count(); ++i)
      enabled.push_back(bar->SystemMenu()->Items()->Items(i)->Enabled());
    DismissMenu(nullptr);
  };
  const TPoint box = Centre(RectOf(skControlBox));
  testsupport::Click(bar, box.X, box.Y);
  EXPECT_EQ(enabled, (std::vector<bool>{false, true, true, true}));
  EXPECT_EQ(bar->SystemMenu()->Items()->Items(0)->Caption(), "Mi&nimize");
  EXPECT_EQ(bar->SystemMenu()->Items()->Items(2)->Caption(), "-");

  // Its Maximize/Restore item goes through the maximize button.
  bar->SystemMenu()->Items()->Items(1)->Click();
  EXPECT_EQ(form.WindowState(), wsMaximized);
}

TEST_F(TitleBar, TheSystemMenuDropsBelowTheBarAndFurtherRightInRightToLeftLayout) {
  const TPoint box = Centre(RectOf(skControlBox));
  auto menuLeftTop = [&] {
    TPoint at{-1, -1};
    testsupport::WhileMenuOpen([&] { testsupport::Click(bar, box.X, box.Y); },
                               [&] {
                                 TWinControl* w = MenuPopupWindows().at(0);
                                 at = {w->Left(), w->Top()};
                               });
    return at;
  };
  const TPoint corner = bar->ClientToScreen({0, bar->Height()});
  EXPECT_EQ(menuLeftTop(), corner);

  // Right to left: the caption ends 10 pixels left of the leftmost right-hand button and the menu drops
  // 176 pixels further right.
  const bool middleEast = SysLocale.MiddleEast;
  SysLocale.MiddleEast = true;
  bar->SetParentBiDiMode(false);
  bar->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(menuLeftTop(), (TPoint{corner.X + 176, corner.Y}));
  bar->SetCaption("MMMM");
  const TSurface s = Render(bar);
  int rightmost = -1;
  for (int y = 0; y < bar->Height(); ++y)
    for (int x = 0; x < RectOf(skMin).Left; ++x)
      if (PixelAt(s, x, y) == clWhite) rightmost = std::max(rightmost, x);
  EXPECT_LT(rightmost, RectOf(skMin).Left - 10);
  EXPECT_GT(rightmost, RectOf(skMin).Left - 20);
  SysLocale.MiddleEast = middleEast;
}

TEST_F(TitleBar, AControlBoxMenuIsForgottenWhenItGoes) {
  auto* menu = new TPopupMenu(&form);
  Button(skControlBox)->SetControlBoxMenu(menu);
  delete menu;
  EXPECT_EQ(Button(skControlBox)->ControlBoxMenu(), nullptr);
}
