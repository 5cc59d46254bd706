// Skinned controls at the ends of their windows' lives: the navigator lays its buttons out when its window
// is made, a form made maximized comes up maximized under its frame, and a maximized MDI child that closes
// leaves no maximized layout behind for the next one.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Screen.h"
#include "classlib/core/Filer.h"
#include "classlib/win/Windows.h"
#include "skin/SKDBNavigator.h"
#include "skin/SKForm.h"
#include "skin/SKPublic.h"
#include "skin/SKTitleBar.h"
#include "tests/support/TestSupport.h"

namespace {

// The frame's shared maximizing state belongs to each test alone.
class FrameState : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    MaxShowCount = 0;
    ChildMaximized = false;
  }
  void TearDown() override {
    MaxShowCount = 0;
    ChildMaximized = false;
  }
};

TEST_F(FrameState, AFormMadeMaximizedComesUpMaximizedUnderItsFrame) {
  TForm form(nullptr);
  form.SetBounds(50, 60, 400, 300);
  form.SetWindowState(wsMaximized);
  auto* frame = new TskForm(&form); // owned by the form
  frame->SetParent(&form);
  form.Show();
  testsupport::Pump();
  const TRect work = GetWorkAreaRect();
  EXPECT_EQ(form.WindowState(), wsMaximized);
  EXPECT_EQ(form.BoundsRect(), (TRect{work.Left - 2, work.Top - 2, work.Right + 2, work.Bottom - 1}));
  // Every size report while it started maximized counted towards the frames' shared re-assertion.
  EXPECT_EQ(MaxShowCount, 2);
  EXPECT_TRUE(ChildMaximized);

  // Restored, it goes to the bounds it was made with, and stays there.
  ShowWindow(form.Handle(), SW_RESTORE);
  testsupport::Pump();
  EXPECT_EQ(form.WindowState(), wsNormal);
  EXPECT_EQ(form.BoundsRect(), Bounds(50, 60, 400, 300));
}

} // namespace
