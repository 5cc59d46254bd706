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

std::vector<TRect> ButtonBounds(TskDBNavigator* Nav) {
  std::vector<TRect> r;
  for (int b = nbFirst; b <= nbRefresh; ++b)
    r.push_back(Nav->Buttons(static_cast<TNavigateBtn>(b))->BoundsRect());
  return r;
}

TEST(NavigatorWindow, ButtonsFitThePanelOnceItsWindowIsMade) {
  TForm form(nullptr);
  form.SetBounds(40, 30, 320, 120);
  auto* nav = new TskDBNavigator(&form); // owned by the form
  nav->SetParent(&form);
  form.Show();
  testsupport::Pump();
  ASSERT_EQ(nav->Height(), 30);
  for (int b = nbFirst; b <= nbRefresh; ++b)
    EXPECT_EQ(ButtonBounds(nav)[static_cast<size_t>(b)], Bounds(25 * b, 0, 25, 30)) << b;
  testsupport::RenderToPng(nav, "navigator-in-code.png");

  // Read from a form stream with a height under the minimum: the panel grows to 18, its buttons with it.
  std::unique_ptr<TComponent> read(
      ReadComponentText("object F: TForm\n"
                        "  Left = 40\n  Top = 30\n  Width = 320\n  Height = 120\n"
                        "  object Nav: TskDBNavigator\n"
                        "    Left = 0\n    Top = 0\n    Width = 250\n    Height = 10\n"
                        "  end\n"
                        "end\n",
                        nullptr));
  auto* streamed = dynamic_cast<TForm*>(read.get());
  ASSERT_NE(streamed, nullptr);
  auto* small = dynamic_cast<TskDBNavigator*>(streamed->FindComponent("Nav"));
  ASSERT_NE(small, nullptr);
  streamed->Show();
  testsupport::Pump();
  EXPECT_EQ(small->Height(), 18);
  for (const TRect& r : ButtonBounds(small)) EXPECT_EQ(r.Height(), 18);
}

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

TEST_F(FrameState, ClosingAMaximizedMDIChildLeavesTheNextOnesContentInPlace) {
  TForm* mdi = nullptr;
  Application->CreateForm(mdi); // the application's main form, freed below
  mdi->SetFormStyle(fsMDIForm);
  mdi->SetBounds(30, 30, 640, 480);
  mdi->Show();
  testsupport::Pump();
  // A skinned child with a panel at the top of its frame.
  const auto child = [&] {
    auto* c = new TForm(Application); // owned by the application; freed by closing
    c->SetFormStyle(fsMDIChild);
    c->SetBounds(10, 10, 300, 200);
    auto* frame = new TskForm(c); // owned by the child
    frame->SetParent(c);
    auto* panel = new TPanel(c); // owned by the child
    panel->SetBounds(0, 40, 100, 30);
    panel->SetParent(frame);
    c->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    c->Show();
    testsupport::Pump();
    return std::make_pair(c, panel);
  };
  // Maximizing scrolls a child's content up over its hidden title bar.
  auto [first, firstPanel] = child();
  const int titleBar = dynamic_cast<TskForm*>(firstPanel->Parent())->TitleBar()->Height();
  const int normalTop = firstPanel->Top();
  first->SetWindowState(wsMaximized);
  testsupport::Pump();
  EXPECT_TRUE(ChildMaximized);
  EXPECT_EQ(firstPanel->Top(), normalTop + 3 - titleBar);

  first->Close();
  testsupport::Pump();
  ASSERT_EQ(Screen->IndexOfForm(first), -1);
  EXPECT_FALSE(ChildMaximized) << "the closed child's maximized layout is still in force";

  auto [second, secondPanel] = child();
  EXPECT_EQ(secondPanel->Top(), normalTop);
  second->SetWindowState(wsMaximized);
  testsupport::Pump();
  EXPECT_EQ(secondPanel->Top(), normalTop + 3 - titleBar);
  second->SetWindowState(wsNormal);
  testsupport::Pump();
  EXPECT_EQ(secondPanel->Top(), normalTop);
  delete second;
  delete mdi;
}

} // namespace
