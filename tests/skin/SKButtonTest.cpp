// Skinned push buttons: sizes, painting by state, focus marks, auto-repeat, dialog keys and theme removal.
#include <gtest/gtest.h>

#include <memory>

#include "classlib/backend/Backend.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Panel.h"
#include "classlib/core/Filer.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/win/Windows.h"
#include "skin/SKButton.h"
#include "skin/SKForm.h"
#include "skin/SKMgr.h"
#include "skin/SKPublic.h"
#include "skin/SKToolBar.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr TskUIStyle BuiltInStyles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

class SkButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 320, 200);
    Form->SetColor(clWhite);
    Form->Show();
  }
  template <class T> T* Add(int X, int Y) {
    auto* c = new T(Form.get());
    c->SetParent(Form.get());
    c->SetLeft(X);
    c->SetTop(Y);
    return c;
  }
  std::unique_ptr<TForm> Form;
};

// A 32 x 16 glyph: left half red, right half blue, with a white (masked) corner.
void TwoPictureGlyph(TBitmap& Glyph) {
  Glyph.SetSize(32, 16);
  Glyph.Canvas()->Brush()->SetColor(clRed);
  Glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
  Glyph.Canvas()->Brush()->SetColor(clBlue);
  Glyph.Canvas()->FillRect(Rect(16, 0, 32, 16));
  Glyph.Canvas()->SetPixels(0, 0, clWhite);
}

// A button face of a style: its first piece stretched over a W x H white background.
void Face(TskUIStyle Style, bool Transparent, int W, int H, TBitmap& Face) {
  TBitmap piece;
  GetInsideThemeBitmap(Style, 1, &piece, 3, 1);
  ASSERT_FALSE(piece.Empty());
  Face.SetSize(W, H);
  Face.Canvas()->Brush()->SetColor(clWhite);
  Face.Canvas()->FillRect(Rect(0, 0, W, H));
  SpitDraw(&piece, Face.Canvas(), Rect(0, 0, W, H), Transparent);
}

} // namespace

// A form whose check box reports its clicks, for reading from a form stream.
class TCheckStreamForm : public TForm {
  QUENDREL_CLASS(TCheckStreamForm, TForm)
 public:
  explicit TCheckStreamForm(TComponent* AOwner) : TForm(AOwner) {}
  void BoxClick(TObject*) { ++Clicks; }
  void BoxContextPopup(TObject*, TPoint MousePos, bool& Handled) {
    ++Popups;
    PopupAt = MousePos;
    Handled = true;
  }
  int Clicks = 0;
  int Popups = 0;
  TPoint PopupAt{-1, -1};
};

// An application's own tool bar, derived from the skinned one.
class TAppToolBar : public TskToolBar {
  QUENDREL_CLASS(TAppToolBar, TskToolBar)
 public:
  explicit TAppToolBar(TComponent* AOwner) : TskToolBar(AOwner) {}
};

QUENDREL_REGISTER_CLASS(TAppToolBar, TskToolBar) {}

QUENDREL_REGISTER_CLASS(TCheckStreamForm, TForm) {
  c.Creatable();
  c.Method("BoxClick", &TCheckStreamForm::BoxClick);
  c.Method("BoxContextPopup", &TCheckStreamForm::BoxContextPopup);
}

TEST_F(SkButtonTest, AutoSizeTakesTheBuiltInStripNeverTheFile) {
  auto* b = Add<TskButton>(0, 0);
  b->SetUIStyle(FromThemeFile);
  b->SetAutoSize(true);
  EXPECT_EQ(b->Height(), 21);
  EXPECT_EQ(b->Width(), 24);

  TBitmap strip;
  LoadInsideThemeBitmap(WinXP, 1, &strip);
  ASSERT_FALSE(strip.Empty());
  b->SetUIStyle(WinXP);
  b->SetAutoSize(false);
  b->SetAutoSize(true);
  EXPECT_EQ(b->Height(), strip.Height());
  EXPECT_EQ(b->Width(), strip.Width() / 3);
}

TEST_F(SkButtonTest, StartsInTheFormStyleAndTransparencyFollowsTheStyle) {
  auto* b = Add<TskButton>(0, 0);
  EXPECT_EQ(b->UIStyle(), DeepBlue);
  EXPECT_EQ(b->Width(), 80);
  EXPECT_EQ(b->Height(), 27);
  EXPECT_TRUE(b->TabStop());
  EXPECT_FALSE(b->ControlStyle.Contains(csDoubleClicks));
  b->SetUIStyle(MacOS);
  EXPECT_TRUE(b->Transparent());
  EXPECT_TRUE(b->PicTransparent());
  b->SetUIStyle(WinXP);
  EXPECT_FALSE(b->Transparent());
  b->SetUIStyle(BlueGlass);
  EXPECT_TRUE(b->Transparent());
}

TEST_F(SkButtonTest, BlankCaptionIsNotDrawnAndDisabledCaptionIsEmbossed) {
  auto* b = Add<TskButton>(10, 10);
  const TSurface none = testsupport::Render(b);
  b->SetCaption("   ");
  const TSurface blanks = testsupport::Render(b);
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x)
      ASSERT_EQ(testsupport::PixelAt(none, x, y), testsupport::PixelAt(blanks, x, y)) << x << "," << y;

  b->SetCaption("MMMM");
  b->SetEnabled(false);
  const TSurface s = testsupport::Render(b);
  int grey = 0, white = 0;
  for (int y = 0; y < b->Height(); ++y)
    for (int x = 0; x < b->Width(); ++x) {
      const TColor c = testsupport::PixelAt(s, x, y);
      if (c == static_cast<TColor>(0x808080)) {
        ++grey;
        // Every grey stroke has its white shadow one pixel down and right, unless grey covers that too.
        const TColor shadow = testsupport::PixelAt(s, x + 1, y + 1);
        EXPECT_TRUE(shadow == clWhite || shadow == static_cast<TColor>(0x808080)) << x << "," << y;
      } else if (c == clWhite) {
        ++white;
      }
    }
  EXPECT_GT(grey, 10);
  EXPECT_GT(white, 0);
}

TEST_F(SkButtonTest, TwoPictureGlyphShowsItsHalvesAndPressingShiftsIt) {
  auto* b = Add<TskButton>(10, 10);
  b->SetUIStyle(WinXP);
  TBitmap glyph;
  TwoPictureGlyph(glyph);
  b->SetGlyph(&glyph);
  // No caption: the glyph sits at ((80 - 20) / 2, (27 - 16) / 2) = (30, 5).
  TSurface s = testsupport::Render(b);
  EXPECT_EQ(testsupport::PixelAt(s, 31, 6), clRed);
  EXPECT_EQ(testsupport::PixelAt(s, 45, 20), clRed);
  EXPECT_NE(testsupport::PixelAt(s, 30, 5), clWhite); // the masked corner shows the button

  testsupport::MouseDown(b, 40, 12);
  EXPECT_TRUE(b->MouseIsDown());
  s = testsupport::Render(b);
  EXPECT_NE(testsupport::PixelAt(s, 32, 5), clRed);
  EXPECT_EQ(testsupport::PixelAt(s, 32, 6), clRed);
  EXPECT_EQ(testsupport::PixelAt(s, 46, 21), clRed);
  testsupport::MouseUp(b, 40, 12);

  b->SetEnabled(false);
  s = testsupport::Render(b);
  EXPECT_EQ(testsupport::PixelAt(s, 31, 6), clBlue);

  // A square glyph is greyed when disabled.
  TBitmap square;
  square.SetSize(16, 16);
  square.Canvas()->Brush()->SetColor(clRed);
  square.Canvas()->FillRect(Rect(0, 0, 16, 16));
  square.Canvas()->SetPixels(0, 0, clWhite);
  b->SetGlyph(&square);
  s = testsupport::Render(b);
  EXPECT_NE(testsupport::PixelAt(s, 36, 10), clRed);
  b->SetEnabled(true);
  s = testsupport::Render(b);
  EXPECT_EQ(testsupport::PixelAt(s, 36, 10), clRed);
}

TEST_F(SkButtonTest, FocusIsBoldInMacOSAndBlueGlassElseARectangle) {
  auto* other = Add<TskButton>(200, 100);
  auto* b = Add<TskButton>(10, 10);
  b->SetCaption("Go");
  auto focusRowChanges = [&](TskUIStyle style) {
    b->SetUIStyle(style);
    other->SetFocus();
    testsupport::Pump();
    const TSurface plain = testsupport::Render(b);
    b->SetFocus();
    testsupport::Pump();
    const TSurface focused = testsupport::Render(b);
    int changed = 0;
    for (int x = 2; x < b->Width() - 2; ++x)
      changed += testsupport::PixelAt(plain, x, 2) != testsupport::PixelAt(focused, x, 2);
    return changed;
  };
  EXPECT_GT(focusRowChanges(DeepBlue), 10);
  EXPECT_GT(focusRowChanges(Protein), 10);
  EXPECT_EQ(focusRowChanges(MacOS), 0);
  EXPECT_EQ(focusRowChanges(BlueGlass), 0);
}

TEST_F(SkButtonTest, HoldingRepeatsUntilReleaseOrLeave) {
  testsupport::ManualClock clock;
  auto* b = Add<TskButton>(10, 10);
  int repeats = 0, clicks = 0;
  b->OnMouseContinuouslyDown = [&](TObject* Sender) {
    EXPECT_EQ(Sender, b);
    ++repeats;
  };
  b->OnClick = [&](TObject*) { ++clicks; };
  testsupport::MouseDown(b, 5, 5);
  clock.Advance(99);
  EXPECT_EQ(repeats, 0);
  clock.Advance(1);
  EXPECT_EQ(repeats, 1);
  clock.Advance(200);
  EXPECT_EQ(repeats, 3);
  testsupport::MouseUp(b, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->MouseIsDown());
  clock.Advance(500);
  EXPECT_EQ(repeats, 3);

  testsupport::MouseDown(b, 5, 5);
  clock.Advance(100);
  EXPECT_EQ(repeats, 4);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(b->MouseIsDown());
  clock.Advance(500);
  EXPECT_EQ(repeats, 4);
}

TEST_F(SkButtonTest, EnterClicksTheActiveButtonAndEscapeTheCancelButton) {
  auto* panel = Add<TCustomPanel>(200, 0);
  panel->SetTabStop(true);
  panel->SetBounds(200, 0, 40, 40);
  auto* ok = Add<TskButton>(10, 10);
  auto* other = Add<TskButton>(10, 50);
  auto* cancel = Add<TskButton>(10, 90);
  int okClicks = 0, otherClicks = 0, cancelClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  other->OnClick = [&](TObject*) { ++otherClicks; };
  cancel->OnClick = [&](TObject*) { ++cancelClicks; };
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  cancel->SetCancel(true);

  panel->SetFocus();
  testsupport::Pump();
  EXPECT_TRUE(ok->Active());
  testsupport::PressKey(VK_RETURN);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(Form->ModalResult(), mrOk);
  testsupport::PressKey(VK_RETURN, backend::ModControl);
  testsupport::PressKey(VK_ESCAPE, backend::ModShift);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(cancelClicks, 0);
  testsupport::PressKey(VK_ESCAPE);
  EXPECT_EQ(cancelClicks, 1);

  // A focused skinned button takes over Enter from the default one.
  other->SetFocus();
  testsupport::Pump();
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(other->Active());
  testsupport::PressKey(VK_RETURN);
  EXPECT_EQ(otherClicks, 1);
  EXPECT_EQ(okClicks, 1);
}

TEST_F(SkButtonTest, SpaceClicksOnReleaseAndAccelClicks) {
  auto* b = Add<TskButton>(10, 10);
  b->SetCaption("&Next");
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->SetFocus();
  testsupport::Pump();
  testsupport::KeyDown(VK_SPACE, 0, " ");
  EXPECT_TRUE(b->MouseIsDown());
  EXPECT_EQ(clicks, 0);
  testsupport::KeyUp(VK_SPACE);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'n', 0), 1);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_EQ(clicks, 2);
  // Through the form, as the keyboard sends it.
  testsupport::PressKey('N', backend::ModAlt);
  EXPECT_EQ(clicks, 3);
}

TEST_F(SkButtonTest, RemovingTheThemeFileFallsBackToDeepBlue) {
  auto* theme = new TskFileTheme(Form.get());
  auto* b = Add<TskButton>(0, 0);
  b->SetFileTheme(theme);
  b->SetUIStyle(Protein);
  delete theme;
  EXPECT_EQ(b->FileTheme(), nullptr);
  EXPECT_EQ(b->UIStyle(), DeepBlue);
}

TEST_F(SkButtonTest, ControlButtonTakesItsPieceSizeAtEveryPaint) {
  auto* b = Add<TskControlButton>(0, 0);
  b->SetBounds(0, 0, 5, 5);
  EXPECT_FALSE(b->TabStop());
  EXPECT_EQ(b->UIStyle(), DeepBlue);
  b->SetThemeID(1);
  b->SetPicCount(3);
  b->SetPicIndex(1);
  TBitmap piece;
  GetInsideThemeBitmap(DeepBlue, 1, &piece, 3, 1);
  testsupport::Render(b);
  EXPECT_EQ(b->Width(), piece.Width());
  EXPECT_EQ(b->Height(), piece.Height());
  b->SetBounds(0, 0, 200, 100);
  testsupport::Render(b);
  EXPECT_EQ(b->Width(), piece.Width());
  // An item with no picture leaves the size alone, and the right item later still shows.
  b->SetBounds(0, 0, 30, 20);
  b->SetThemeID(25); // a colour
  testsupport::Render(b);
  EXPECT_EQ(b->Width(), 30);
  EXPECT_EQ(b->Height(), 20);
  b->SetThemeID(1);
  testsupport::Render(b);
  EXPECT_EQ(b->Width(), piece.Width());
  EXPECT_EQ(b->Height(), piece.Height());
  b->Invalidate(); // the paint that sized the button was clipped to its old size
  EXPECT_EQ(skintest::PictureMismatches(testsupport::Render(b), 0, 0, piece), 0);
}

TEST_F(SkButtonTest, ImageButtonFallsBackToItsNormalPicture) {
  auto* b = Add<TskImageButton>(0, 0);
  EXPECT_EQ(b->UIStyle(), FromThemeFile);
  TPicture normal;
  normal.Bitmap()->SetSize(30, 20);
  normal.Bitmap()->Canvas()->Brush()->SetColor(clGreen);
  normal.Bitmap()->Canvas()->FillRect(Rect(0, 0, 30, 20));
  b->SetAutoSize(true);
  b->SetPicNormal(&normal);
  EXPECT_EQ(b->Width(), 30);
  EXPECT_EQ(b->Height(), 20);
  testsupport::MouseDown(b, 3, 3);
  const TSurface s = testsupport::Render(b);
  EXPECT_EQ(testsupport::PixelAt(s, 10, 10), clGreen);
  testsupport::MouseUp(b, 3, 3);
}

TEST_F(SkButtonTest, RendersInEveryStyle) {
  Form->SetBounds(100, 100, 480, 200);
  TBitmap glyph;
  TwoPictureGlyph(glyph);
  int x = 5;
  for (TskUIStyle style : BuiltInStyles) {
    SCOPED_TRACE(TskUIStyleNames.NameOf(style));
    auto* plain = Add<TskButton>(x, 5);
    plain->SetUIStyle(style);
    plain->SetCaption("Next");
    auto* withGlyph = Add<TskButton>(x, 40);
    withGlyph->SetUIStyle(style);
    withGlyph->SetCaption("Prev");
    withGlyph->SetGlyph(&glyph);
    auto* disabled = Add<TskButton>(x, 75);
    disabled->SetUIStyle(style);
    disabled->SetCaption("Off");
    disabled->SetEnabled(false);
    auto* up = Add<TskArrowButton>(x, 110);
    up->SetUIStyle(style);
    up->SetBounds(x, 110, 20, 20);
    auto* down = Add<TskArrowButton>(x + 30, 110);
    down->SetUIStyle(style);
    down->SetArrow(skDown);
    down->SetBounds(x + 30, 110, 20, 20);

    // The face is the style's first piece stretched over the white form, off the caption's middle band.
    TBitmap face;
    Face(style, plain->PicTransparent(), 80, 27, face);
    const TSurface s = testsupport::Render(plain);
    for (const TPoint p : {Point(0, 0), Point(2, 2), Point(40, 1), Point(40, 25), Point(3, 13), Point(76, 13),
                           Point(79, 26), Point(78, 0)})
      EXPECT_EQ(testsupport::PixelAt(s, p.X, p.Y), face.Canvas()->Pixels(p.X, p.Y)) << p.X << "," << p.Y;
    // The glyph's red half stands left of the caption: glyph, 4 pixels, text, centred together.
    TBitmap measure;
    measure.Canvas()->SetFont(withGlyph->Font());
    const int gx = (80 - (measure.Canvas()->TextWidth("Prev") + 16 + 4)) / 2;
    EXPECT_EQ(testsupport::PixelAt(testsupport::Render(withGlyph), gx + 8, 5 + 8), clRed);
    // A disabled caption is grey over its white emboss.
    const TSurface off = testsupport::Render(disabled);
    int grey = 0;
    for (int py = 0; py < 27; ++py)
      for (int px = 0; px < 80; ++px) grey += testsupport::PixelAt(off, px, py) == TColor(0x808080);
    EXPECT_GT(grey, 5);
    // The arrows: a black triangle on the face, its base at the bottom (up) or the top (down).
    TBitmap arrowFace;
    Face(style, up->PicTransparent(), 20, 20, arrowFace);
    const TSurface u = testsupport::Render(up), d = testsupport::Render(down);
    EXPECT_EQ(testsupport::PixelAt(u, 10, 9), clBlack);
    EXPECT_EQ(testsupport::PixelAt(u, 8, 11), clBlack);
    EXPECT_EQ(testsupport::PixelAt(u, 8, 8), arrowFace.Canvas()->Pixels(8, 8));
    EXPECT_EQ(testsupport::PixelAt(d, 10, 9), clBlack);
    EXPECT_EQ(testsupport::PixelAt(d, 8, 8), clBlack);
    EXPECT_EQ(testsupport::PixelAt(d, 8, 11), arrowFace.Canvas()->Pixels(8, 11));
    EXPECT_EQ(testsupport::PixelAt(u, 1, 1), arrowFace.Canvas()->Pixels(1, 1));
    x += 90;
  }
  testsupport::RenderToPng(Form.get(), "skbutton-styles.png");
}

TEST_F(SkButtonTest, CheckingARadioButtonUnchecksOnlyItsGroup) {
  auto* a = Add<TskRadioButton>(0, 0);
  auto* b = Add<TskRadioButton>(0, 20);
  auto* otherGroup = Add<TskRadioButton>(0, 40);
  otherGroup->SetGroupIndex(1);
  auto* panel = Add<TCustomPanel>(150, 0);
  panel->SetBounds(150, 0, 100, 100);
  auto* elsewhere = new TskRadioButton(Form.get());
  elsewhere->SetParent(panel);
  otherGroup->SetChecked(true);
  elsewhere->SetChecked(true);
  a->SetChecked(true);
  int clicksA = 0, clicksB = 0;
  a->OnClick = [&](TObject*) { ++clicksA; };
  b->OnClick = [&](TObject*) { ++clicksB; };

  testsupport::Click(b, 5, 5);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(otherGroup->Checked());
  EXPECT_TRUE(elsewhere->Checked());
  EXPECT_EQ(clicksB, 1);
  EXPECT_EQ(clicksA, 0); // unchecking fires nothing for a radio button

  testsupport::Click(b, 5, 5); // already checked: nothing changes
  EXPECT_TRUE(b->Checked());
  EXPECT_EQ(clicksB, 1);
  EXPECT_TRUE(b->Focused());
}

TEST_F(SkButtonTest, CheckBoxOnClickFollowsTheCheckStateButNotLoading) {
  auto* box = Add<TskCheckBox>(0, 0);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  testsupport::Click(box, 3, 3);
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(box->State(), cbChecked);
  EXPECT_EQ(clicks, 1);
  box->SetChecked(false); // by code
  EXPECT_EQ(clicks, 2);
  box->SetChecked(false);
  EXPECT_EQ(clicks, 2);
  box->SetState(cbChecked);
  box->SetState(cbGrayed);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 4);

  // Space toggles the focused check box on release; a radio button ignores key-up.
  box->SetFocus();
  testsupport::Pump();
  testsupport::PressKey(VK_SPACE, 0, " ");
  EXPECT_TRUE(box->Checked());
  auto* radio = Add<TskRadioButton>(0, 30);
  radio->SetFocus();
  testsupport::Pump();
  testsupport::PressKey(VK_SPACE, 0, " ");
  EXPECT_FALSE(radio->Checked());

  std::unique_ptr<TComponent> loaded(ReadComponentText("object F: TCheckStreamForm\n"
                                                       "  object Box: TskCheckBox\n"
                                                       "    OnClick = BoxClick\n"
                                                       "    Checked = True\n"
                                                       "  end\n"
                                                       "end",
                                                       nullptr));
  auto* form = dynamic_cast<TCheckStreamForm*>(loaded.get());
  ASSERT_NE(form, nullptr);
  auto* streamed = dynamic_cast<TskCheckBox*>(form->FindComponent("Box"));
  ASSERT_NE(streamed, nullptr);
  EXPECT_TRUE(streamed->Checked());
  EXPECT_EQ(form->Clicks, 0);
  streamed->SetChecked(false);
  EXPECT_EQ(form->Clicks, 1);
}

TEST_F(SkButtonTest, CheckBoxSizesItselfToBoxAndCaption) {
  auto* box = Add<TskCheckBox>(0, 0);
  EXPECT_TRUE(box->AutoSize());
  EXPECT_TRUE(box->TabStop());
  box->SetUIStyle(WinXP);
  TBitmap piece;
  GetInsideThemeBitmap(WinXP, 3, &piece, 4, 2);
  ASSERT_FALSE(piece.Empty());
  TBitmap measure;
  measure.Canvas()->SetFont(box->Font());
  const int textHeight = measure.Canvas()->TextHeight("W");
  testsupport::Render(box);
  EXPECT_EQ(box->Width(), piece.Width() + 8);
  EXPECT_EQ(box->Height(), std::max(textHeight + 2, piece.Height()) + 4);
  box->SetCaption("Sound");
  testsupport::Render(box);
  EXPECT_EQ(box->Width(), piece.Width() + 8 + measure.Canvas()->TextWidth("Sound"));

  // The box sits at x 1, centred vertically.
  box->SetColor(clFuchsia);
  const TSurface s = testsupport::Render(box);
  EXPECT_EQ(testsupport::PixelAt(s, 0, box->Height() / 2), clFuchsia);
  EXPECT_NE(testsupport::PixelAt(s, 1 + piece.Width() / 2, box->Height() / 2), clFuchsia);
}

TEST_F(SkButtonTest, RendersCheckAndRadioInEveryStyle) {
  Form->SetBounds(100, 100, 480, 200);
  int x = 5;
  for (TskUIStyle style : BuiltInStyles) {
    SCOPED_TRACE(TskUIStyleNames.NameOf(style));
    int y = 5;
    for (int i = 0; i < 4; ++i) {
      const bool checked = i % 2 == 0, enabled = i < 2;
      auto* box = Add<TskCheckBox>(x, y);
      box->SetUIStyle(style);
      box->SetCaption(checked ? "On" : "Off");
      box->SetChecked(checked);
      box->SetEnabled(enabled);
      auto* radio = Add<TskRadioButton>(x, y + 90);
      radio->SetGroupIndex(x * 10 + i); // one group per radio: they share the form
      radio->SetUIStyle(style);
      radio->SetCaption(checked ? "On" : "Off");
      radio->SetChecked(checked);
      radio->SetEnabled(enabled);
      // The box sits at x 1, centred; its check mark shows exactly when checked.
      for (TskCheckBox* b : {box, static_cast<TskCheckBox*>(radio)}) {
        const skintest::CheckMarkPixel mark = skintest::CheckMark(style, b == box ? 3 : 4, enabled);
        ASSERT_GE(mark.At.X, 0) << "the pictures show no check mark";
        const TSurface s = testsupport::Render(b);
        const int py = (b->ClientHeight() - mark.BoxHeight) / 2;
        EXPECT_EQ(testsupport::PixelAt(s, 1 + mark.At.X, py + mark.At.Y),
                  checked ? mark.Checked : mark.Unchecked)
            << b->ClassName() << " " << i;
      }
      y += 22;
    }
    x += 90;
  }
  testsupport::RenderToPng(Form.get(), "skcheckbox-styles.png");
}

TEST_F(SkButtonTest, ArrowButtonTakesTheFrameStyleAndItsTransparency) {
  auto* frame = new TskForm(Form.get());
  frame->SetParent(Form.get());
  frame->SetUIStyle(MacOS);
  auto* arrow = new TskArrowButton(Form.get());
  EXPECT_EQ(arrow->UIStyle(), MacOS);
  EXPECT_TRUE(arrow->Transparent());
  auto* button = new TskButton(Form.get());
  EXPECT_TRUE(button->Transparent());
  auto* control = new TskControlButton(Form.get());
  EXPECT_EQ(control->UIStyle(), DeepBlue);
}

TEST_F(SkButtonTest, SpeedButtonFramesItsGlyphWhileTheMouseIsOver) {
  auto* b = Add<TskToolBarSpeedButton>(10, 10);
  EXPECT_EQ(b->Width(), 18);
  b->SetColor(clWhite);
  TBitmap glyph;
  glyph.SetSize(16, 16);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(Rect(0, 0, 16, 16));
  glyph.Canvas()->SetPixels(0, 0, clWhite); // keys the glyph's transparency
  b->SetGlyph(&glyph);
  b->Repaint();
  TSurface s = testsupport::Render(b);
  EXPECT_EQ(testsupport::PixelAt(s, 0, 0), clWhite);
  EXPECT_EQ(testsupport::PixelAt(s, 5, 5), clRed);
  b->Perform(CM_MOUSEENTER, 0, 0);
  s = testsupport::Render(b);
  EXPECT_EQ(testsupport::PixelAt(s, 0, 0), clBlack);
  EXPECT_EQ(testsupport::PixelAt(s, 17, 17), clBlack);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  s = testsupport::Render(b);
  EXPECT_EQ(testsupport::PixelAt(s, 0, 0), clWhite);
}

TEST_F(SkButtonTest, CheckBoxTabStopFalseIsNotStoredSoItLoadsTrue) {
  TCheckStreamForm root(nullptr);
  root.SetName("F");
  auto* box = new TskCheckBox(&root);
  box->SetName("Box");
  box->SetParent(&root);
  box->SetTabStop(false);
  const AnsiString text = WriteComponentText(&root);
  std::unique_ptr<TComponent> copy(ReadComponentText(text, nullptr));
  auto* loaded = dynamic_cast<TskCheckBox*>(copy->FindComponent("Box"));
  ASSERT_NE(loaded, nullptr) << text.c_str();
  EXPECT_TRUE(loaded->TabStop());
}

TEST_F(SkButtonTest, ButtonTabStopAndParentColorSurviveAStreamRoundTrip) {
  TCheckStreamForm root(nullptr);
  root.SetName("F");
  auto* off = new TskButton(&root);
  off->SetName("Off");
  off->SetParent(&root);
  off->SetTabStop(false);
  off->SetParentColor(false);
  auto* on = new TskButton(&root);
  on->SetName("On");
  on->SetParent(&root);
  const AnsiString text = WriteComponentText(&root);
  std::unique_ptr<TComponent> copy(ReadComponentText(text, nullptr));
  auto* loadedOff = dynamic_cast<TskButton*>(copy->FindComponent("Off"));
  auto* loadedOn = dynamic_cast<TskButton*>(copy->FindComponent("On"));
  ASSERT_NE(loadedOff, nullptr) << text.c_str();
  ASSERT_NE(loadedOn, nullptr) << text.c_str();
  EXPECT_FALSE(loadedOff->TabStop());
  EXPECT_FALSE(loadedOff->ParentColor());
  EXPECT_TRUE(loadedOn->TabStop());
  EXPECT_TRUE(loadedOn->ParentColor());
}

TEST_F(SkButtonTest, TransparentButtonsCopyFromDescendantsOfTheBackgroundParents) {
  // A transparent button on a panel of one of these classes, or a class derived from one, takes the
  // panel's own painting as its background; elsewhere it copies what lies under itself.
  EXPECT_TRUE(IsA(Form.get(), "TCustomForm"));
  EXPECT_TRUE(IsA(Form.get(), "TForm"));
  EXPECT_FALSE(IsA(Form.get(), "TskButton"));
  EXPECT_FALSE(IsA(nullptr, "TObject"));
  auto* button = Add<TskButton>(0, 0);
  EXPECT_TRUE(IsA(button, "TskCustomButton"));
  EXPECT_TRUE(IsA(button, "TObject"));
  // On a plain panel a transparent button shows the panel under itself; on a tool bar, also on one derived
  // from the skinned bar, it shows what the bar's own parent paints where the bar stands.
  auto* panel = Add<TPanel>(0, 0);
  panel->SetBounds(0, 0, 150, 60);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clYellow);
  auto* bar = Add<TAppToolBar>(0, 0);
  bar->SetAlign(alNone);
  bar->SetBounds(0, 100, 300, 60);
  bar->SetUIStyle(WinXP); // not see-through itself
  bar->SetColor(clBlue);
  for (TWinControl* parent : std::initializer_list<TWinControl*>{panel, bar}) {
    auto* b = new TskImageButton(Form.get()); // owned by the form; without pictures it shows only background
    b->SetParent(parent);
    b->SetBounds(40, 10, 80, 27);
    b->SetTransparent(true);
    const TSurface s = testsupport::Render(b);
    testsupport::SavePng(testsupport::Render(Form.get()),
                         "TskButton-transparent-on-" + parent->ClassName() + ".png");
    EXPECT_EQ(testsupport::PixelAt(s, 3, 3), parent == panel ? clYellow : clWhite) << parent->ClassName();
    EXPECT_EQ(testsupport::PixelAt(testsupport::Render(parent), 2, 2), parent == panel ? clYellow : clBlue);
  }
}

TEST_F(SkButtonTest, CheckBoxAndRadioPublishOnContextPopup) {
  std::unique_ptr<TComponent> loaded(ReadComponentText("object F: TCheckStreamForm\n"
                                                       "  object Box: TskCheckBox\n"
                                                       "    OnContextPopup = BoxContextPopup\n"
                                                       "  end\n"
                                                       "  object Radio: TskRadioButton\n"
                                                       "    OnContextPopup = BoxContextPopup\n"
                                                       "  end\n"
                                                       "end",
                                                       nullptr));
  auto* form = dynamic_cast<TCheckStreamForm*>(loaded.get());
  ASSERT_NE(form, nullptr);
  form->Show();
  for (const char* name : {"Box", "Radio"}) {
    auto* box = dynamic_cast<TskCheckBox*>(form->FindComponent(name));
    ASSERT_NE(box, nullptr);
    const TPoint at = box->ClientToScreen(Point(3, 4));
    box->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(box->Handle()), MAKELPARAM(at.X, at.Y));
    EXPECT_EQ(form->PopupAt.X, 3) << name;
    EXPECT_EQ(form->PopupAt.Y, 4) << name;
  }
  EXPECT_EQ(form->Popups, 2);
}

TEST_F(SkButtonTest, ActionGivesCaptionAndGlyphFromItsListsImages) {
  auto* images = new TImageList(Form.get());
  images->SetWidth(16);
  images->SetHeight(16);
  TBitmap pictures;
  TwoPictureGlyph(pictures); // image 0 red, image 1 blue
  images->Add(&pictures, nullptr);
  auto* list = new TActionList(Form.get());
  list->SetImages(images);
  auto* action = new TAction(Form.get());
  action->SetActionList(list);
  action->SetCaption("Solve");
  action->SetImageIndex(1);
  auto* b = Add<TskButton>(0, 0);
  b->SetAction(action);
  EXPECT_EQ(b->Caption(), "Solve");
  ASSERT_EQ(b->Glyph()->Width(), 16);
  EXPECT_EQ(b->Glyph()->Canvas()->Pixels(5, 5), clBlue);

  // A glyph already there is kept; an index outside the list gives none.
  action->SetImageIndex(0);
  b->SetAction(nullptr);
  b->SetAction(action);
  EXPECT_EQ(b->Glyph()->Canvas()->Pixels(5, 5), clBlue);
  auto* plain = Add<TskButton>(0, 40);
  action->SetImageIndex(7);
  plain->SetAction(action);
  EXPECT_TRUE(plain->Glyph()->Empty());

  delete images; // the list forgets the freed images
  EXPECT_EQ(list->Images(), nullptr);
}
