// An item with a sub-menu hears of its click as its sub-menu opens, before the sub-menu's items are shown:
// that is where a program marks the item standing for its current state.
#include <gtest/gtest.h>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(SubMenuClick, OpeningASubMenuClicksItsItemFirst) {
  Application->Initialize();
  TForm form(nullptr); // the window the keys go to while the menu is up
  form.SetBounds(0, 0, 100, 100);
  form.Show();
  testsupport::Pump();
  TPopupMenu menu(nullptr);
  auto* sizes = new TMenuItem(&menu); // owned by the menu component
  sizes->SetCaption("Size");
  menu.Items()->Add(sizes);
  for (const char* caption : {"Small", "Large"}) {
    auto* item = new TMenuItem(&menu);
    item->SetCaption(caption);
    item->SetRadioItem(true);
    sizes->Add(item);
  }
  std::vector<std::string> order;
  sizes->OnClick = [&](TObject*) {
    order.push_back("Size clicked");
    sizes->Items(1)->SetChecked(true);
  };
  int idles = 0;
  OnMenuLoopIdle = [&] {
    ++idles;
    if (idles == 1) { // the first level is up: into "Size", and open it
      backend::KeyEvent e;
      e.VirtualKey = VK_DOWN;
      InjectKey(e);
      e.VirtualKey = VK_RIGHT;
      InjectKey(e);
    } else if (order.size() == 1 && idles < 100) {
      const std::vector<TWinControl*> levels = MenuPopupWindows();
      if (levels.size() == 2) {
        order.push_back("sub-menu shown");
        EXPECT_TRUE(sizes->Items(1)->Checked());
        CancelMenuTracking();
      }
    } else {
      CancelMenuTracking();
    }
  };
  menu.Popup(10, 10);
  OnMenuLoopIdle = nullptr;
  EXPECT_EQ(order, (std::vector<std::string>{"Size clicked", "sub-menu shown"}));
}

} // namespace
