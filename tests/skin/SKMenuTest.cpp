// Owner-drawn menus: what each style sets, measuring, the pixels of every item kind in the real pop-up
// windows, the flat border drawn on the desktop, and which menu draws an item.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "classlib/controls/Form.h"
#include "classlib/core/Filer.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/ImageList.h"
#include "classlib/win/Windows.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPopupMenu.h"
#include "skin/SKTitleBar.h"
#include "tests/support/TestSupport.h"

using testsupport::PixelAt;

namespace {

const TskUIStyle BuiltIn[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};

TMenuItem* AddItem(TMenu* Menu, TMenuItem* Parent, const char* Caption) {
  auto* item = new TMenuItem(Menu->Owner() ? Menu->Owner() : Menu); // owned by the form or the menu
  item->SetCaption(Caption);
  (Parent ? Parent : Menu->Items())->Add(item);
  return item;
}

// Runs Popup, and once the menu is up and idle, Probe (the first time only); then dismisses the menu.
void WithMenuUp(TPopupMenu& Menu, int X, int Y, const std::function<void()>& Probe) {
  EXPECT_TRUE(testsupport::WhileMenuOpen([&] { Menu.Popup(X, Y); }, Probe));
}

struct MenuForm : ::testing::Test {
  MenuForm() : form(nullptr) {
    form.SetBounds(0, 0, 400, 300);
    form.Show();
    testsupport::Pump();
  }
  TForm form;
};

} // namespace

TEST_F(MenuForm, EachStyleSetsHeightsBarAndThemeColours) {
  TskPopupMenu menu(&form);
  for (TskUIStyle s : BuiltIn) {
    menu.SetUIStyle(s);
    EXPECT_EQ(menu.BarWidth(), 26);
    EXPECT_EQ(menu.MenuItemHeight(), s == MacOS ? 20 : 21);
    EXPECT_EQ(menu.SeparatorHeight(), s == MacOS ? 12 : 5);
    EXPECT_EQ(menu.SeparatorColor(), s == MacOS ? TColor(0) : TColor(0x848284));
    EXPECT_EQ(menu.BarColor(), GetInsideThemeColor(s, 23));
    EXPECT_EQ(menu.Color(), GetInsideThemeColor(s, 21));
    EXPECT_EQ(menu.FontColor(), GetInsideThemeColor(s, 22));
    EXPECT_EQ(menu.SelectedBorderColor(), GetInsideThemeColor(s, 18));
    EXPECT_EQ(menu.SelectedColor(), GetInsideThemeColor(s, 19));
    EXPECT_EQ(menu.SelectedFontColor(), GetInsideThemeColor(s, 20));
  }
  // FromThemeFile without a theme file falls back to DeepBlue's colours.
  menu.SetUIStyle(FromThemeFile);
  EXPECT_EQ(menu.Color(), GetInsideThemeColor(DeepBlue, 21));
}

TEST_F(MenuForm, HeightWritesFollowTheStyleAndTheMenuKind) {
  TskPopupMenu popup(&form);
  TskMainMenu main(&form);
  popup.SetUIStyle(MacOS);
  main.SetUIStyle(MacOS);
  popup.SetMenuItemHeight(30);
  main.SetMenuItemHeight(30);
  popup.SetSeparatorHeight(9);
  main.SetSeparatorHeight(9);
  EXPECT_EQ(popup.MenuItemHeight(), 20);
  EXPECT_EQ(main.MenuItemHeight(), 30);
  EXPECT_EQ(popup.SeparatorHeight(), 12);
  EXPECT_EQ(main.SeparatorHeight(), 12);
  main.SetUIStyle(MacOS);
  EXPECT_EQ(main.MenuItemHeight(), 20);
  popup.SetUIStyle(WinXP);
  popup.SetMenuItemHeight(30);
  popup.SetSeparatorHeight(9);
  EXPECT_EQ(popup.MenuItemHeight(), 30);
  EXPECT_EQ(popup.SeparatorHeight(), 9);
}

TEST_F(MenuForm, MainMenuImagesReadNullWhileOnlyTheCheckMarkIsThere) {
  TskMainMenu main(&form);
  EXPECT_EQ(main.Images(), nullptr);
  EXPECT_TRUE(main.OwnerDraw());
  EXPECT_TRUE(main.IsOwnerDraw()); // its own check-mark list makes it owner-drawn
  TImageList list(&form);
  main.SetImages(&list);
  EXPECT_EQ(main.Images(), &list);
  main.SetImages(nullptr);
  EXPECT_EQ(main.Images(), nullptr);
  EXPECT_TRUE(main.IsOwnerDraw());
  TskPopupMenu popup(&form);
  EXPECT_TRUE(popup.OwnerDraw());
}

// Written false in code, through its property or from a form stream, a pop-up menu (the title bar's system
// menu too) still draws its items in the theme.
TEST_F(MenuForm, APopupMenuStaysOwnerDrawnWhateverIsWritten) {
  TskPopupMenu popup(&form);
  auto* bar = new TskTitleBar(&form); // owned by the form
  bar->SetParent(&form);
  TskPopupMenu* system = bar->SystemMenu();
  AddItem(&popup, nullptr, "&Item");
  popup.MenuAdded();
  for (TskPopupMenu* menu : {&popup, static_cast<TskPopupMenu*>(system)}) {
    menu->SetUIStyle(WinXP);
    menu->SetOwnerDraw(false);
    SetOrdProp(menu, "OwnerDraw", 0);
    EXPECT_EQ(GetOrdProp(menu, "OwnerDraw"), 1);
    EXPECT_TRUE(menu->IsOwnerDraw());
    TBitmap probe;
    probe.SetSize(200, 21);
    menu->Items()->Items(0)->DrawItem(probe.Canvas(), Rect(0, 0, 200, 21), false);
    EXPECT_EQ(probe.Canvas()->Pixels(5, 10), menu->BarColor()) << "the side bar";
    EXPECT_EQ(probe.Canvas()->Pixels(100, 2), menu->Color());
  }

  const AnsiString text = "object Form1: TForm\n"
                          "  object Pop: TskPopupMenu\n"
                          "    OwnerDraw = False\n"
                          "  end\n"
                          "end\n";
  std::unique_ptr<TComponent> root(ReadComponentText(text, nullptr));
  auto* read = dynamic_cast<TskPopupMenu*>(root->FindComponent("Pop"));
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->IsOwnerDraw());
}

// Whichever menu the form shows natively, a skinned main menu made on it takes it away: the frame's menu bar
// stands in for it.
TEST_F(MenuForm, ASkinnedMainMenuTakesTheFormsNativeMenuAway) {
  auto* native = new TMainMenu(&form); // owned by the form
  form.SetMenu(native);
  TskMainMenu first(&form);
  EXPECT_EQ(form.Menu(), nullptr);
  form.SetMenu(&first);
  TskMainMenu second(&form);
  EXPECT_EQ(form.Menu(), nullptr);
  // Owned by something else than a form, it leaves the form's menu alone.
  form.SetMenu(native);
  TComponent module(nullptr);
  TskMainMenu elsewhere(&module);
  EXPECT_EQ(form.Menu(), native);
}

TEST_F(MenuForm, ItemsAreMeasuredFromCaptionShortCutAndBar) {
  TskPopupMenu menu(&form);
  menu.SetUIStyle(WinXP);
  TMenuItem* open = AddItem(&menu, nullptr, "&Open");
  open->SetShortCut(ShortCut('O', {ssCtrl}));
  TMenuItem* line = AddItem(&menu, nullptr, "-");
  menu.MenuAdded();
  TBitmap probe;
  probe.SetSize(1, 1);
  TCanvas* c = probe.Canvas();
  int w = 0, h = 0;
  open->MeasureItem(c, w, h);
  EXPECT_EQ(w, c->TextWidth("&Open") + c->TextWidth("Ctrl+O") + 26 + 40);
  EXPECT_EQ(h, 21);
  line->MeasureItem(c, w, h);
  EXPECT_EQ(w, c->TextWidth("-") + 26 + 40);
  EXPECT_EQ(h, 5);
}

namespace {

// A pop-up of every item kind: plain, checked, disabled, default, a separator, a short-cut, a sub-menu.
struct KindsMenu {
  explicit KindsMenu(TForm& Form) : menu(&Form) {
    plain = AddItem(&menu, nullptr, "&Plain");
    checked = AddItem(&menu, nullptr, "&Checked");
    checked->SetChecked(true);
    disabled = AddItem(&menu, nullptr, "&Disabled");
    disabled->SetEnabled(false);
    line = AddItem(&menu, nullptr, "-");
    bold = AddItem(&menu, nullptr, "De&fault");
    bold->SetDefault(true);
    bold->SetShortCut(ShortCut('N', {ssCtrl}));
    sub = AddItem(&menu, nullptr, "&More");
    AddItem(&menu, sub, "&Inner");
    menu.MenuAdded();
  }
  TskPopupMenu menu;
  TMenuItem *plain, *checked, *disabled, *line, *bold, *sub;
};

} // namespace

TEST_F(MenuForm, EveryItemKindShowsItsDecisivePixelsInEachStyle) {
  for (TskUIStyle s : BuiltIn) {
    SCOPED_TRACE(static_cast<int>(s));
    KindsMenu k(form);
    k.menu.SetUIStyle(s);
    testsupport::QueueKey(VK_DOWN); // the first item is selected once the menu is up
    WithMenuUp(k.menu, 50, 40, [&] {
      const std::vector<TWinControl*> levels = MenuPopupWindows();
      ASSERT_EQ(levels.size(), 1u);
      const TSurface shot = testsupport::Render(levels[0]);
      testsupport::SavePng(shot, AnsiString("menu-kinds-") + TskUIStyleNames.NameOf(s) + ".png");
      // Items start inside the three-pixel border: plain 0..21 (selected), checked 21..42, disabled
      // 42..63, separator 63..68 (MacOS: 20-high items, a 12-high separator).
      const int h = s == MacOS ? 20 : 21;
      if (s != MacOS) {
        EXPECT_EQ(PixelAt(shot, 3 + 5, 3 + h + 10), k.menu.BarColor()) << "side bar";
        EXPECT_EQ(PixelAt(shot, 3 + 100, 3 + h + 2), k.menu.Color()) << "item background";
        EXPECT_EQ(PixelAt(shot, 3 + 100, 3 + 10), k.menu.SelectedColor()) << "selection fill";
        EXPECT_EQ(PixelAt(shot, 3, 3 + 10), k.menu.SelectedBorderColor()) << "selection border";
        EXPECT_EQ(PixelAt(shot, 3 + 60, 3 + 3 * h + 2), k.menu.SeparatorColor()) << "separator line";
      } else {
        // The MacOS pictures: the selection picture differs from the plain one.
        EXPECT_NE(PixelAt(shot, 3 + 100, 3 + 10), PixelAt(shot, 3 + 100, 3 + h + 10));
      }
      // The check mark "MENU_CHECKED" at (L + 4, T + 3) of the checked item: some pixel of it is dark.
      bool mark = false;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          const TColor p = PixelAt(shot, 3 + 4 + x, 3 + h + 3 + y);
          mark = mark || ((p & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && ((p >> 16) & 0xFF) < 0x60);
        }
      EXPECT_TRUE(mark) << "check mark";
      // The disabled item's text is grey 0x808080 somewhere on its row.
      bool grey = false;
      for (int x = 30; x < 90; ++x)
        for (int y = 2 * h + 3; y < 3 * h + 3; ++y) grey = grey || PixelAt(shot, x, y) == 0x808080;
      EXPECT_TRUE(grey) << "disabled text";
    });
  }
}

TEST_F(MenuForm, AFlatMenuFramesItsPopupWindowOnTheDesktop) {
  KindsMenu k(form);
  k.menu.SetUIStyle(DeepBlue);
  k.menu.SetFlatMenu(true);
  k.menu.SetBorderColor(0x00FF00); // stored, never drawn
  const TColor line = GetInsideThemeColor(DeepBlue, 15);
  WithMenuUp(k.menu, 60, 50, [&] {
    TWinControl* popup = MenuPopupWindows().at(0);
    const TSurface shot = testsupport::Render(popup);
    testsupport::SavePng(shot, "menu-flat-DeepBlue.png");
    const int w = popup->Width(), h = popup->Height();
    EXPECT_EQ(PixelAt(shot, w / 2, 0), line) << "top line";
    EXPECT_EQ(PixelAt(shot, w - 1, h / 2), line) << "right line";
    EXPECT_EQ(PixelAt(shot, w / 2, h - 1), line) << "bottom line";
    EXPECT_EQ(PixelAt(shot, 0, h / 2), TColor(0)) << "left column";
    EXPECT_EQ(PixelAt(shot, w / 2, 1), TColor(0)) << "black ring";
    EXPECT_EQ(PixelAt(shot, w - 2, h / 2), TColor(0)) << "black ring";
    EXPECT_EQ(PixelAt(shot, 1, h / 2), TColor(0xFFFFFF)) << "white ring";
    EXPECT_EQ(PixelAt(shot, w / 2, h - 3), TColor(0xFFFFFF)) << "white ring";
  });
}

TEST_F(MenuForm, AnItemIsDrawnByTheMenuItBelongsTo) {
  // Both menus hear of every item made on the form; the item made for the first menu keeps its drawing.
  TskPopupMenu first(&form), second(&form);
  first.SetUIStyle(WinXP);
  second.SetUIStyle(MacOS);
  TMenuItem* item = AddItem(&first, nullptr, "Mine");
  second.Notification(item, opInsert); // the last menu of the form to hear of the item
  TBitmap probe;
  probe.SetSize(200, 30);
  int w = 0, h = 0;
  item->MeasureItem(probe.Canvas(), w, h);
  EXPECT_EQ(h, 21) << "measured as WinXP, not MacOS";
  item->DrawItem(probe.Canvas(), Rect(0, 0, 200, 21), false);
  EXPECT_EQ(probe.Canvas()->Pixels(5, 10), first.BarColor());
  EXPECT_EQ(probe.Canvas()->Pixels(100, 10), first.Color());
  // An item made later for the second menu is the second menu's.
  TMenuItem* other = AddItem(&second, nullptr, "Theirs");
  other->MeasureItem(probe.Canvas(), w, h);
  EXPECT_EQ(h, 20);
}

TEST_F(MenuForm, RightToLeftMenusPutTheBarAndTheMarksOnTheRight) {
  KindsMenu k(form);
  k.menu.SetUIStyle(WinXP);
  k.menu.SetBiDiMode(bdRightToLeft);
  const bool was = SysLocale.MiddleEast;
  SysLocale.MiddleEast = true;
  TBitmap probe;
  probe.SetSize(200, 21);
  k.checked->DrawItem(probe.Canvas(), Rect(0, 0, 200, 21), false);
  EXPECT_EQ(probe.Canvas()->Pixels(200 - 5, 3), k.menu.BarColor()) << "bar on the right";
  EXPECT_EQ(probe.Canvas()->Pixels(5, 3), k.menu.Color());
  // The check mark at R - 20: some dark pixel there, none at the left.
  const auto dark = [&](int x, int y) {
    const TColor p = probe.Canvas()->Pixels(x, y);
    return (p & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && ((p >> 16) & 0xFF) < 0x60;
  };
  bool right = false, left = false;
  for (int y = 3; y < 19; ++y)
    for (int x = 0; x < 16; ++x) {
      right = right || dark(200 - 20 + x, y);
      left = left || dark(4 + x, y);
    }
  EXPECT_TRUE(right);
  EXPECT_FALSE(left);
  // The caption ends where the bar and the check mark begin, as left to right it starts there: its ink (what
  // is neither background nor bar, left of the mark's place) stops 4 pixels short of the bar.
  const int bw = k.menu.BarWidth();
  for (TMenuItem* item : {k.checked, k.plain}) {
    SCOPED_TRACE(item->Caption().c_str());
    item->DrawItem(probe.Canvas(), Rect(0, 0, 200, 21), false);
    testsupport::SavePng(probe.Surface(),
                         AnsiString("menu-rtl-") + (item == k.plain ? "plain" : "checked") + ".png");
    int rightmost = -1;
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 200 - 20; ++x) {
        const TColor p = probe.Canvas()->Pixels(x, y);
        if (p != k.menu.Color() && p != k.menu.BarColor()) rightmost = std::max(rightmost, x);
      }
    EXPECT_LT(rightmost, 200 - bw - 4);
    EXPECT_GE(rightmost, 200 - bw - 4 - 3);
  }
  // Nothing of the plain item's caption (drawn last) in the bar, which only a check mark shares.
  for (int y = 0; y < 21; ++y)
    for (int x = 200 - bw; x < 200; ++x) ASSERT_EQ(probe.Canvas()->Pixels(x, y), k.menu.BarColor()) << x;
  // Without the Middle-East locale the menu's BiDiMode alone changes nothing.
  SysLocale.MiddleEast = false;
  k.checked->DrawItem(probe.Canvas(), Rect(0, 0, 200, 21), false);
  EXPECT_EQ(probe.Canvas()->Pixels(5, 3), k.menu.BarColor());
  SysLocale.MiddleEast = was;
}

TEST(MenuFont, TheSystemMenuFontAndColour) {
  TFont font;
  font.SetName("Courier New");
  Menu_GetSystemFont(&font);
  EXPECT_EQ(font.Name(), "Tahoma");
  EXPECT_EQ(font.Color(), clMenuText);
}
