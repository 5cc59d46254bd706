// Short cuts with Alt reach the form's actions and menus, as those without it do.
#include <gtest/gtest.h>

#include "classlib/backend/Backend.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(AltShortCut, AltWithALetterRunsTheActionWhoseShortCutItIs) {
  Application->Initialize();
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 120, 80);
  auto* panel = new TPanel(&form); // owned by the form
  panel->SetParent(&form);
  auto* list = new TActionList(&form);
  auto* exit = new TAction(&form);
  exit->SetActionList(list);
  exit->SetShortCut(scAlt | 'X');
  int runs = 0;
  exit->OnExecute = [&](TObject*) { ++runs; };
  form.Show();
  testsupport::PressKey('X'); // without Alt: not the short cut
  EXPECT_EQ(runs, 0);
  testsupport::PressKey('X', backend::ModAlt);
  EXPECT_EQ(runs, 1);
  exit->SetEnabled(false);
  testsupport::PressKey('X', backend::ModAlt);
  EXPECT_EQ(runs, 1);
}

} // namespace
