// Pictures of the owner-drawn menus as a person sees them: a form whose tool bar acts as the menu bar of a
// TskMainMenu of three menus (a sub-menu, a checked item, a disabled item, a short-cut, images), dropped
// down with an item selected and its sub-menu open, and a TskPopupMenu with an item selected, in each
// built-in style and with a sample theme file. Each picture also has a pixel checked that fails when the
// drawing goes wrong.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "classlib/backend/Backend.h"
#include "classlib/controls/DesktopDC.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/ToolBar.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/ImageList.h"
#include "skin/SKMainMenu.h"
#include "skin/SKMgr.h"
#include "skin/SKPopupMenu.h"
#include "tests/support/TestSupport.h"
#include "tools/demosupport/SkinLooks.h"

using testsupport::PixelAt;

namespace {

using Picture = testsupport::SkinLook;
const auto& Pictures = testsupport::SkinLooks;

TMenuItem* Item(TForm& Form, TMenuItem* Parent, const char* Caption) {
  return testsupport::AddMenuItem(&Form, Parent, Caption);
}

struct MenuDemo {
  explicit MenuDemo(const Picture& P)
      : form(nullptr), theme(nullptr), images(&form), main(&form), popup(&form) {
    form.SetBounds(20, 20, 420, 260);
    form.SetColor(0xF0F0F0);
    if (P.ThemeFile) theme.SetThemeFile(GetExeDir() + "../../app/themes/" + P.ThemeFile);
    // Two 16 x 16 pictures: a red square and a blue disc.
    TBitmap pic;
    pic.SetSize(32, 16);
    pic.Canvas()->Brush()->SetColor(clWhite);
    pic.Canvas()->FillRect(Rect(0, 0, 32, 16));
    pic.Canvas()->Brush()->SetColor(0x2020D0);
    pic.Canvas()->FillRect(Rect(2, 2, 14, 14));
    pic.Canvas()->Brush()->SetColor(0xC04010);
    pic.Canvas()->Pen()->SetColor(0xC04010);
    pic.Canvas()->Ellipse(18, 2, 30, 14);
    images.AddMasked(&pic, clWhite);

    TMenuItem* game = Item(form, main.Items(), "&Game");
    Item(form, game, "&New Game")->SetShortCut(ShortCut(VK_F2, {}));
    TMenuItem* size = Item(form, game, "&Size");
    Item(form, size, "&3 x 3");
    Item(form, size, "&4 x 4")->SetChecked(true);
    Item(form, size, "&5 x 5");
    Item(form, game, "-");
    Item(form, game, "&Solve")->SetImageIndex(0);
    Item(form, game, "&Replay")->SetEnabled(false);
    Item(form, game, "-");
    Item(form, game, "E&xit")->SetShortCut(ShortCut('Q', {ssCtrl}));
    TMenuItem* options = Item(form, main.Items(), "&Options");
    Item(form, options, "&Numbers")->SetChecked(true);
    TMenuItem* pictureItem = Item(form, options, "&Picture");
    pictureItem->SetChecked(true);
    pictureItem->SetImageIndex(1);
    Item(form, options, "&Default")->SetDefault(true);
    TMenuItem* help = Item(form, main.Items(), "&Help");
    Item(form, help, "&About...");
    main.SetImages(&images);
    main.MenuAdded();

    Item(form, popup.Items(), "&Undo")->SetShortCut(ShortCut('Z', {ssCtrl}));
    Item(form, popup.Items(), "-");
    Item(form, popup.Items(), "Cu&t")->SetEnabled(false);
    Item(form, popup.Items(), "&Copy")->SetChecked(true);
    Item(form, popup.Items(), "&Paste");
    popup.MenuAdded();

    for (TskMenuStyle* m : {static_cast<TskMenuStyle*>(&main), static_cast<TskMenuStyle*>(&popup)}) {
      if (P.ThemeFile) m->SetFileTheme(&theme);
      m->SetUIStyle(P.Style);
    }

    bar = new TToolBar(&form); // owned by the form
    bar->SetParent(&form);
    bar->SetFlat(true);
    bar->SetShowCaptions(true);
    bar->SetEdgeBorders({});
    bar->SetColor(clBtnFace);
    for (int i = main.Items()->Count() - 1; i >= 0; --i) {
      auto* b = new TToolButton(&form); // owned by the form
      b->SetParent(bar);
      b->SetAutoSize(true);
      b->SetMenuItem(main.Items()->Items(i));
    }
    bar->SetAutoSize(true);
    form.Show();
    testsupport::Pump();
  }
  TForm form;
  TskFileTheme theme;
  TImageList images;
  TskMainMenu main;
  TskPopupMenu popup;
  TToolBar* bar;
};

// Runs Open (which drops a menu down and tracks it); once the menu loop idles, Probe runs, then the menu is
// dismissed.
void WhileOpen(const std::function<void()>& Open, const std::function<void()>& Probe) {
  EXPECT_TRUE(testsupport::WhileMenuOpen(Open, Probe));
}

} // namespace

TEST(MenuPictures, MainMenuDroppedDownWithASubMenuOpen) {
  for (const Picture& p : Pictures) {
    SCOPED_TRACE(p.Name);
    MenuDemo demo(p);
    // Down to "Size", Right opens it on "3 x 3", Down selects "4 x 4".
    for (WORD k : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN}) testsupport::QueueKey(k);
    WhileOpen([&] { demo.bar->TrackMenu(demo.bar->Buttons(0)); },
              [&] {
                const auto levels = MenuPopupWindows();
                ASSERT_EQ(levels.size(), 2u);
                const TSurface shot = ComposeScreen(Rect(0, 0, 460, 300));
                testsupport::SavePng(shot, AnsiString("menu-main-") + p.Name + ".png");
                // The selected "4 x 4" of the sub-menu: its fill (or the MacOS selection picture) at
                // the middle of its row differs from the plain row below it.
                TWinControl* sub = levels[1];
                const TPoint o = sub->ClientOrigin();
                const int h = p.Style == MacOS ? 20 : demo.main.MenuItemHeight();
                const int x = o.X + sub->ClientWidth() / 2;
                const TColor selected = PixelAt(shot, x, o.Y + h + h / 2);
                if (p.Style != MacOS) {
                  EXPECT_EQ(selected, demo.main.SelectedColor());
                }
                EXPECT_NE(selected, PixelAt(shot, x, o.Y + 2 * h + h / 2));
              });
  }
}

TEST(MenuPictures, PopupMenuWithAnItemSelected) {
  for (const Picture& p : Pictures) {
    SCOPED_TRACE(p.Name);
    MenuDemo demo(p);
    for (WORD k : {VK_DOWN, VK_DOWN, VK_DOWN}) testsupport::QueueKey(k); // Undo, (Cut is disabled), Copy
    WhileOpen([&] { demo.popup.Popup(140, 90); },
              [&] {
                const TSurface shot = ComposeScreen(Rect(0, 0, 460, 300));
                testsupport::SavePng(shot, AnsiString("menu-popup-") + p.Name + ".png");
                TWinControl* level = MenuPopupWindows().at(0);
                const TPoint o = level->ClientOrigin();
                if (p.Style != MacOS) {
                  EXPECT_EQ(PixelAt(shot, o.X + 5, o.Y + 5), demo.popup.BarColor()) << "side bar";
                  EXPECT_EQ(PixelAt(shot, o.X + level->ClientWidth() / 2, o.Y + 21 + 5 + 21 + 10),
                            demo.popup.SelectedColor());
                }
              });
  }
}

// The same on a real desktop, photographed (CTest runs it as MenuPicturesOnDesktop when it has a virtual
// desktop):
//   xvfb-run -a -s '-screen 0 800x600x24' env QT_QPA_PLATFORM=xcb QUENDREL_SCREENSHOT=menu-real.png
//   ./test_skin --gtest_filter=*MenuRealWindow*
TEST(MenuPictures, MenuRealWindowScreenshot) {
  const char* shot = std::getenv("QUENDREL_SCREENSHOT");
  if (!shot || backend::IsOffscreen()) GTEST_SKIP() << "needs a desktop and QUENDREL_SCREENSHOT";
  MenuDemo demo(Pictures[2]);
  demo.main.SetFlatMenu(true);
  for (WORD k : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN}) testsupport::QueueKey(k);
  WhileOpen([&] { demo.bar->TrackMenu(demo.bar->Buttons(0)); },
            [&] {
              // Let the desktop map and draw the windows.
              for (int i = 0; i < 50; ++i) backend::ProcessEvents(20);
              const TSurface photo = testsupport::PhotographDesktop(shot);
              ASSERT_FALSE(photo.Empty()) << "no photograph";
              const auto levels = MenuPopupWindows();
              ASSERT_EQ(levels.size(), 2u);
              // On the screen: the selected "4 x 4" of the sub-menu in the selection colour, the plain "5 x
              // 5" below it in the item colour, the first level's side bar in the bar colour.
              TWinControl* sub = levels[1];
              const TPoint o = sub->ClientOrigin();
              const int h = demo.main.MenuItemHeight(), x = o.X + sub->ClientWidth() - 8; // right of the text
              EXPECT_EQ(PixelAt(photo, x, o.Y + h + h / 2), demo.main.SelectedColor());
              EXPECT_EQ(PixelAt(photo, x, o.Y + 2 * h + 3), demo.main.Color());
              const TPoint first = levels[0]->ClientOrigin();
              EXPECT_EQ(PixelAt(photo, first.X + 5, first.Y + 5), demo.main.BarColor());
            });
}
