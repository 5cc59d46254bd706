// A window's life as its controls see it: the first size and place when it is made, the order in which a
// freed form's windows and controls go, the state a form keeps until it shows, and where the focus goes
// when the control that has it is hidden.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Edit.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/core/SysUtils.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

class WindowLifecycle : public ::testing::Test {
 protected:
  void SetUp() override { Application->Initialize(); }
};

TEST_F(WindowLifecycle, AFormMadeMaximizedStaysSoUntilItShows) {
  TForm form(nullptr);
  form.SetBorderStyle(bsSizeable);
  form.SetBounds(40, 30, 300, 200);
  form.SetWindowState(wsMaximized);
  form.HandleNeeded();
  // Sized while it waits: still to show maximized.
  form.SetBounds(50, 40, 310, 210);
  EXPECT_EQ(form.WindowState(), wsMaximized);
  form.Show();
  testsupport::Pump();
  EXPECT_TRUE(IsZoomed(form.Handle()));
  EXPECT_EQ(form.WindowState(), wsMaximized);
  ShowWindow(form.Handle(), SW_RESTORE);
  EXPECT_EQ(form.WindowState(), wsNormal);
  EXPECT_EQ(form.BoundsRect(), Bounds(50, 40, 310, 210));
}

} // namespace
