// Short-cuts run their item or action once, through one path: a hook that consumes the key stops the
// class library's own short-cut handling, and an item linked to an action runs the action once.
#include <gtest/gtest.h>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "tests/support/TestSupport.h"

TEST(ShortCuts, AShortCutRunsItsActionOnceWhicheverPathsKnowIt) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* list = new TActionList(&form); // owned by the form
  auto* action = new TAction(&form);   // owned by the form
  action->SetActionList(list);
  action->SetShortCut(ShortCut('N', {ssCtrl}));
  int runs = 0;
  action->OnExecute = [&](TObject*) { ++runs; };
  auto* menu = new TMainMenu(&form); // owned by the form
  auto* item = new TMenuItem(&form); // owned by the form
  item->SetAction(action);           // takes the action's short-cut too
  menu->Items()->Add(item);
  form.SetMenu(menu);
  form.Show();
  testsupport::Pump();
  EXPECT_EQ(item->ShortCut(), action->ShortCut());

  testsupport::PressKey('N', backend::ModControl);
  EXPECT_EQ(runs, 1);

  // A frame-like hook that runs the menu's short-cuts itself and consumes the key.
  TApplicationEvents hook(nullptr);
  hook.OnMessage = [&](tagMSG& Msg, bool& Handled) {
    if (Msg.message != WM_KEYDOWN) return;
    TMessage m{Msg.message, Msg.wParam, Msg.lParam, 0};
    Handled = menu->IsShortCut(m);
  };
  testsupport::PressKey('N', backend::ModControl);
  EXPECT_EQ(runs, 2);
}
