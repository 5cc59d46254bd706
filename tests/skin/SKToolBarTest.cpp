// The skinned tool bar: its three colours from the theme, hot, pressed, checked and drop-down buttons drawn
// in them, caption and image places, transparency under MacOS and Protein, and the picture in every style.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Filer.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/graphics/ImageList.h"
#include "skin/SKMgr.h"
#include "skin/SKThemeFile.h"
#include "skin/SKToolBar.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

using testsupport::PixelAt;
using testsupport::Render;

namespace {

constexpr TColor Ink = 0x102030; // caption colour, unlike any theme colour

class SkToolBar : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(0, 0, 400, 200);
    form.SetColor(clWhite);
    panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 400, 120);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clLime);
    bar = new TskToolBar(&form);
    bar->SetParent(panel);
    bar->SetEdgeBorders({});
    bar->SetShowCaptions(true);
    bar->SetButtonWidth(60);
    bar->SetButtonHeight(30);
    bar->Font()->SetColor(Ink);
    // A new button goes before those already there: the last made stands first.
    for (const char* caption : {"File", "Open", "Edit", "&File"}) {
      auto* b = new TToolButton(&form); // owned by the form
      b->SetParent(bar);
      b->SetCaption(caption);
    }
    bar->SetAutoSize(true);
    Button(1)->SetStyle(tbsCheck);
    Button(2)->SetStyle(tbsDropDown);
    form.Show();
    testsupport::Pump();
  }
  TToolButton* Button(int Index) const { return bar->Buttons(Index); }
  // The first row and the first column of a button that show the caption's ink; -1 when none.
  static TPoint InkCorner(const TSurface& S, TToolButton* B) {
    TPoint first{-1, -1};
    for (int y = B->Top(); y < B->Top() + B->Height(); ++y)
      for (int x = B->Left(); x < B->Left() + B->Width(); ++x)
        if (PixelAt(S, x, y) == Ink) {
          if (first.Y < 0) first.Y = y - B->Top();
          if (first.X < 0 || x - B->Left() < first.X) first.X = x - B->Left();
        }
    return first;
  }
  TForm form{nullptr};
  TPanel* panel = nullptr;
  TskToolBar* bar = nullptr;
};

// Where DrawText's first ink of Text lies when drawn at (0, 0): the font's own margins.
TPoint InkOffset(TFont* Font, const AnsiString& Text) {
  TBitmap b;
  b.SetSize(100, 40);
  b.Canvas()->Brush()->SetColor(clWhite);
  b.Canvas()->FillRect(Rect(0, 0, 100, 40));
  b.Canvas()->SetFont(Font);
  b.Canvas()->Font()->SetColor(Ink);
  b.Canvas()->Brush()->SetStyle(bsClear);
  b.Canvas()->TextWidth(Text); // selects the font into the context DrawText draws with
  RECT r = Rect(0, 0, 100, 40);
  DrawText(b.Canvas()->Handle(), Text.c_str(), -1, &r, 0);
  TPoint first{-1, -1};
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x)
      if (b.Canvas()->Pixels(x, y) == Ink) {
        if (first.Y < 0) first.Y = y;
        if (first.X < 0 || x < first.X) first.X = x;
      }
  return first;
}

// A list of 16 x 16 images, each a red square with a one-pixel white edge.
void RedImages(TImageList& List) {
  List.SetWidth(16);
  List.SetHeight(16);
  TBitmap picture;
  picture.SetSize(16, 16);
  picture.Canvas()->Brush()->SetColor(clWhite);
  picture.Canvas()->FillRect(Rect(0, 0, 16, 16));
  picture.Canvas()->Brush()->SetColor(clRed);
  picture.Canvas()->FillRect(Rect(1, 1, 15, 15));
  List.Add(&picture, nullptr);
}

} // namespace

TEST_F(SkToolBar, TakesItsColoursAndTransparencyFromTheStyle) {
  EXPECT_TRUE(bar->Flat());
  EXPECT_EQ(bar->EdgeInner(), esNone);
  EXPECT_EQ(bar->EdgeOuter(), esNone);
  EXPECT_TRUE(static_cast<bool>(bar->OnCustomDraw));
  EXPECT_TRUE(static_cast<bool>(bar->OnCustomDrawButton));
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    bar->SetUIStyle(style);
    EXPECT_EQ(bar->ButtonBorderColor(), GetInsideThemeColor(style, 35));
    EXPECT_EQ(bar->ButtonColor(), GetInsideThemeColor(style, 36));
    EXPECT_EQ(bar->ButtonDownColor(), GetInsideThemeColor(style, 37));
    EXPECT_EQ(bar->Transparent(), style == MacOS || style == Protein) << TskUIStyleNames.NameOf(style);
  }
  // A theme file's colours, and DeepBlue again when the file goes.
  skintest::TempDir dir;
  const AnsiString file = dir.File("tools.skn");
  TskThemeFileWriter writer(file);
  writer.AddInteger("ToolBarButtonBorderColor", 0x0000AA);
  writer.AddInteger("ToolBarButtonBackgroundColor", 0x00AA00);
  writer.AddInteger("ToolBarButtonDownBackgroundColor", 0xAA0000);
  writer.Save();
  auto* theme = new TskFileTheme(&form);
  theme->SetThemeFile(file);
  bar->SetUIStyle(FromThemeFile);
  bar->SetFileTheme(theme);
  EXPECT_EQ(bar->ButtonBorderColor(), TColor(0x0000AA));
  EXPECT_EQ(bar->ButtonDownColor(), TColor(0xAA0000));
  EXPECT_FALSE(bar->Transparent());
  delete theme;
  EXPECT_EQ(bar->UIStyle(), DeepBlue);
  EXPECT_EQ(bar->ButtonColor(), GetInsideThemeColor(DeepBlue, 36));
}

TEST_F(SkToolBar, HotPressedAndCheckedButtonsInTheThreeColours) {
  bar->SetUIStyle(WinXP);
  bar->SetButtonColor(clAqua);
  bar->SetButtonBorderColor(clNavy);
  bar->SetButtonDownColor(clYellow);
  Button(1)->SetDown(true);
  TToolButton* b0 = Button(0);
  TToolButton* b1 = Button(1);
  TToolButton* b3 = Button(3);
  TSurface s = Render(bar);
  // Checked, not under the mouse: framed and filled like a hot one. Plain ones: the class library's.
  EXPECT_EQ(PixelAt(s, b1->Left(), b1->Top()), clNavy);
  EXPECT_EQ(PixelAt(s, b1->Left() + 2, b1->Top() + 2), clAqua);
  EXPECT_EQ(PixelAt(s, b0->Left() + 2, b0->Top() + 2), ColorToRGB(bar->Color()));

  testsupport::MouseMove(b0, 3, 3);
  s = Render(bar);
  EXPECT_EQ(PixelAt(s, b0->Left(), b0->Top()), clNavy);
  EXPECT_EQ(PixelAt(s, b0->BoundsRect().Right - 1, b0->BoundsRect().Bottom - 1), clNavy);
  EXPECT_EQ(PixelAt(s, b0->Left() + 2, b0->Top() + 2), clAqua);
  const TPoint hot = InkCorner(s, b0);
  const TPoint ink = InkOffset(bar->Font(), "&File");
  EXPECT_EQ(hot.Y, 4 + ink.Y) << "the caption four pixels down";

  testsupport::MouseDown(b0, 3, 3);
  s = Render(bar);
  EXPECT_EQ(PixelAt(s, b0->Left(), b0->Top()), clNavy);
  EXPECT_EQ(PixelAt(s, b0->Left() + 2, b0->Top() + 2), clYellow);
  const TPoint pressed = InkCorner(s, b0);
  EXPECT_EQ(pressed.Y, 5 + ink.Y) << "one pixel lower while pressed";
  EXPECT_EQ(pressed.X, hot.X);
  testsupport::MouseUp(b0, 3, 3);

  // "&File" stands where "File" does: the ampersand takes no room.
  TBitmap measure;
  measure.Canvas()->SetFont(bar->Font());
  EXPECT_EQ(hot.X, (60 - measure.Canvas()->TextWidth("File")) / 2 + ink.X);
  testsupport::MouseMove(b3, 3, 3);
  EXPECT_EQ(InkCorner(Render(bar), b3).X,
            (60 - measure.Canvas()->TextWidth("File")) / 2 + InkOffset(bar->Font(), "File").X);
}

TEST_F(SkToolBar, ADoubledAmpersandTakesTheRoomOfTheOneItShows) {
  TToolButton* b = Button(0);
  b->SetCaption("R&&D");
  testsupport::MouseMove(b, 3, 3);
  TBitmap measure;
  measure.Canvas()->SetFont(bar->Font());
  const int inkX = InkOffset(bar->Font(), "R&&D").X;
  EXPECT_EQ(InkCorner(Render(bar), b).X, (60 - measure.Canvas()->TextWidth("R&D")) / 2 + inkX);
  ASSERT_NE(measure.Canvas()->TextWidth("R&D"), measure.Canvas()->TextWidth("RD"));
}

TEST_F(SkToolBar, EveryColourTheUserGivesTheBarSurvivesAFormStream) {
  // Left out of the stream, a window-coloured bar would come back in the colour a new bar starts with.
  for (TColor colour : {clWindow, clBtnFace, clRed}) {
    TForm root(nullptr);
    root.SetName("F");
    auto* b = new TskToolBar(&root);
    b->SetName("Bar");
    b->SetParent(&root);
    b->SetColor(colour);
    const AnsiString text = WriteComponentText(&root);
    std::unique_ptr<TComponent> copy(ReadComponentText(text, nullptr));
    auto* loaded = dynamic_cast<TskToolBar*>(copy->FindComponent("Bar"));
    ASSERT_NE(loaded, nullptr) << text.c_str();
    EXPECT_EQ(loaded->Color(), colour) << text.c_str();
  }
}

TEST_F(SkToolBar, HotDropDownButtonsShowAnArrowAndASeparator) {
  bar->SetUIStyle(DeepBlue);
  TToolButton* b = Button(2);
  testsupport::MouseMove(b, 3, 3);
  const TSurface s = Render(bar);
  const int right = b->BoundsRect().Right, m = b->Top() + b->Height() / 2;
  EXPECT_EQ(PixelAt(s, right - 7, m + 1), clBlack);
  EXPECT_EQ(PixelAt(s, right - 8, m), clBlack);
  EXPECT_EQ(PixelAt(s, right - 14, b->Top() + 5), clBlack);
  EXPECT_EQ(PixelAt(s, right - 15, b->Top() + 5), bar->ButtonColor());
  // Its caption is centred in the room left of the arrow (the bar makes a drop-down button wider).
  TBitmap measure;
  measure.Canvas()->SetFont(bar->Font());
  EXPECT_EQ(InkCorner(s, b).X,
            (b->Width() - 14 - measure.Canvas()->TextWidth("Open")) / 2 + InkOffset(bar->Font(), "Open").X);
}

TEST_F(SkToolBar, ImagesStandThreePixelsDownAndDoNotMoveWhenPressed) {
  TImageList images(&form);
  RedImages(images);
  bar->SetImages(&images);
  bar->SetButtonHeight(40);
  for (int i = 0; i < bar->ButtonCount(); ++i) Button(i)->SetImageIndex(0);
  TToolButton* b = Button(0);
  testsupport::MouseMove(b, 3, 3);
  TSurface s = Render(bar);
  const int ix = b->Left() + (60 - 16) / 2, iy = b->Top() + 3;
  EXPECT_EQ(PixelAt(s, ix + 1, iy + 1), clRed);
  EXPECT_NE(PixelAt(s, ix + 1, iy), clRed);
  const int inkTop = InkOffset(bar->Font(), "&File").Y;
  EXPECT_EQ(InkCorner(s, b).Y, 16 + 4 + inkTop) << "the caption 4 pixels below the image's height";
  testsupport::MouseDown(b, 3, 3);
  s = Render(bar);
  EXPECT_EQ(PixelAt(s, ix + 1, iy + 1), clRed);
  EXPECT_EQ(InkCorner(s, b).Y, 16 + 4 + inkTop);
  testsupport::MouseUp(b, 3, 3);
  // Listed beside the image: the image at 5, the caption 7 pixels after it.
  bar->SetList(true);
  testsupport::MouseMove(b, 4, 4);
  s = Render(bar);
  EXPECT_EQ(PixelAt(s, b->Left() + 6, b->Top() + 4), clRed);
  EXPECT_GE(InkCorner(s, b).X, 16 + 7);
}

TEST_F(SkToolBar, ADropDownMenusCommandRunsWithItsButtonReleasedAndRepainted) {
  // A command that opens a dialog must find the button back to normal, on the arrow part of a drop-down
  // button as on a plain button with a menu.
  bar->SetUIStyle(WinXP);
  bar->SetButtonColor(clAqua);
  bar->SetButtonDownColor(clYellow);
  TPopupMenu menu(&form);
  auto* item = new TMenuItem(&form); // owned by the form
  item->SetCaption("&Shuffle");
  menu.Items()->Add(item);
  TToolButton* plain = Button(0);
  plain->SetDropdownMenu(&menu);
  TToolButton* dropDown = Button(2);
  dropDown->SetDropdownMenu(&menu);
  const TColor normal = PixelAt(Render(bar), plain->Left() + 2, plain->Top() + 2);
  for (TToolButton* b : {dropDown, plain}) {
    SCOPED_TRACE(b->Style() == tbsDropDown ? "drop-down button" : "plain button");
    const TPoint probe{b->Left() + 2, b->Top() + 2};
    bool ran = false, dropped = false;
    item->OnClick = [&](TObject*) {
      ran = true;
      EXPECT_TRUE(MenuPopupWindows().empty());
      EXPECT_EQ(bar->MenuButton(), nullptr);
      EXPECT_FALSE(bar->ButtonState(b).Contains(cdsSelected));
      EXPECT_FALSE(bar->ButtonState(b).Contains(cdsHot));
      // Already painted so: nothing of the bar waits to be painted, and its window shows the bar's colour.
      const HWND w = bar->Handle();
      EXPECT_TRUE(w->Update.IsEmpty());
      EXPECT_EQ(PixelAt(w->Surface, w->Client.Left + probe.X, w->Client.Top + probe.Y), normal);
      testsupport::RenderToPng(&form, "TskToolBar-during-dropdown-command.png");
    };
    OnMenuLoopIdle = [&] {
      const std::vector<TWinControl*> levels = MenuPopupWindows();
      if (dropped || levels.empty()) return;
      dropped = true;
      // Drawn pressed while its menu is down.
      EXPECT_NE(PixelAt(Render(bar), probe.X, probe.Y), normal);
      const TPoint at = levels[0]->ClientToScreen({10, levels[0]->ClientHeight() / 2});
      testsupport::QueueMouseMove(levels[0], at);
      testsupport::QueueMouse(levels[0], at, mbLeft, true);
      testsupport::QueueMouse(levels[0], at, mbLeft, false);
    };
    const int x = b->Width() - 3; // on the arrow part of the drop-down button
    testsupport::MouseMove(b, x, 5);
    testsupport::MouseDown(b, x, 5); // tracks the menu until the item's click
    OnMenuLoopIdle = nullptr;
    testsupport::MouseUp(b, x, 5);
    EXPECT_TRUE(dropped);
    EXPECT_TRUE(ran);
  }
}

TEST_F(SkToolBar, MacOSAndProteinShowTheParentThrough) {
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    bar->SetUIStyle(style);
    const TSurface s = Render(panel);
    const bool through = style == MacOS || style == Protein;
    EXPECT_EQ(PixelAt(s, bar->Width() - 3, bar->Top() + 3) == clLime, through)
        << TskUIStyleNames.NameOf(style);
  }
}

TEST(SkToolBarPictures, RendersInEveryStyleAndASampleTheme) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 100);
  form.SetColor(clWhite);
  form.Show();
  TskFileTheme theme(&form);
  theme.SetThemeFile(GetExeDir() + "../../app/themes/Amethyst.skn");
  ASSERT_TRUE(theme.CanUse());
  TImageList images(&form);
  RedImages(images);
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass, FromThemeFile}) {
    auto* bar = new TskToolBar(&form);
    bar->SetParent(&form);
    bar->SetFileTheme(&theme);
    bar->SetUIStyle(style);
    bar->SetShowCaptions(true);
    bar->SetImages(&images);
    bar->SetButtonWidth(64);
    bar->SetButtonHeight(40);
    for (const char* caption : {"Help", "Open", "Solve", "&New"}) {
      auto* b = new TToolButton(&form); // owned by the form
      b->SetParent(bar);
      b->SetCaption(caption);
      b->SetImageIndex(0);
    }
    bar->Buttons(1)->SetStyle(tbsCheck);
    bar->Buttons(1)->SetDown(true);
    bar->Buttons(2)->SetStyle(tbsDropDown);
    bar->SetAutoSize(true);
    testsupport::MouseMove(bar->Buttons(2), 3, 3);
    const TSurface s = Render(bar);
    SCOPED_TRACE(TskUIStyleNames.NameOf(style));
    const TColor fill = style == FromThemeFile ? theme.GetColor(36) : GetInsideThemeColor(style, 36);
    const TColor border = style == FromThemeFile ? theme.GetColor(35) : GetInsideThemeColor(style, 35);
    for (int i : {1, 2}) {
      TToolButton* b = bar->Buttons(i);
      EXPECT_EQ(PixelAt(s, b->Left(), b->Top()), border) << i;
      EXPECT_EQ(PixelAt(s, b->Left() + 2, b->Top() + 2), fill) << i;
    }
    const AnsiString name = style == FromThemeFile ? AnsiString("Amethyst") : TskUIStyleNames.NameOf(style);
    testsupport::RenderToPng(&form, "TskToolBar-" + name + ".png");
    delete bar;
  }
}
