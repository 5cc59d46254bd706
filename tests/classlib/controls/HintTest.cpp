// Hints: the short hint shows after the pause below the cursor and goes after the hide pause, a press
// takes it away, ShowHint comes from the parent while ParentShowHint, and a control that goes away while
// its hint waits is forgotten.
#include <gtest/gtest.h>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Hint.h"
#include "classlib/controls/Panel.h"
#include "tests/support/TestSupport.h"

namespace {

struct HintForm : ::testing::Test {
  HintForm() : form(nullptr) {
    form.SetBounds(0, 0, 300, 200);
    panel = new TPanel(&form); // owned by the form
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 100, 50);
    panel->SetHint("Short|The long hint");
    panel->SetShowHint(true);
    form.Show();
    testsupport::Pump();
  }
  ~HintForm() override { Application->CancelHint(); }
  testsupport::ManualClock clock;
  TForm form;
  TPanel* panel;
};

} // namespace

TEST_F(HintForm, TheShortHintShowsAfterThePauseAndGoesAfterTheHidePause) {
  int told = 0;
  Application->OnHint = [&](TObject*) { ++told; };
  testsupport::MouseMove(panel, 20, 20);
  EXPECT_EQ(hints::Control(), panel);
  EXPECT_EQ(Application->Hint(), "The long hint");
  EXPECT_EQ(told, 1);
  clock.Advance(Application->HintPause() - 10);
  EXPECT_EQ(hints::Active(), nullptr);
  clock.Advance(20);
  THintWindow* w = hints::Active();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Caption(), "Short");
  const TPoint cursor = panel->ClientToScreen({20, 20});
  EXPECT_EQ(w->Left(), cursor.X);
  EXPECT_GT(w->Top(), cursor.Y);
  // The window is painted in the hint colour inside its one-pixel border.
  const TSurface shot = testsupport::Render(w);
  EXPECT_EQ(testsupport::PixelAt(shot, w->Width() - 3, w->Height() / 2), ColorToRGB(clInfoBk));
  EXPECT_EQ(testsupport::PixelAt(shot, 0, w->Height() / 2), TColor(0));
  clock.Advance(Application->HintHidePause() + 10);
  EXPECT_EQ(hints::Active(), nullptr);
  Application->OnHint = nullptr;
}

TEST_F(HintForm, APressTakesTheHintAwayAndHintsFollowTheParentsShowHint) {
  testsupport::MouseMove(panel, 20, 20);
  clock.Advance(Application->HintPause() + 10);
  ASSERT_NE(hints::Active(), nullptr);
  testsupport::MouseDown(panel, 20, 20);
  EXPECT_EQ(hints::Active(), nullptr);
  testsupport::MouseUp(panel, 20, 20);

  // A child that follows its parent's ShowHint (false here) shows no hint; its own ShowHint overrides.
  auto* child = new TPanel(&form); // owned by the form
  child->SetParent(panel);
  child->SetBounds(50, 5, 40, 40);
  child->SetHint("Child");
  panel->SetShowHint(false);
  EXPECT_FALSE(ShowHintInForce(child));
  testsupport::MouseMove(child, 5, 5);
  EXPECT_EQ(hints::Control(), nullptr);
  child->SetShowHint(true);
  EXPECT_TRUE(ShowHintInForce(child));
  testsupport::MouseMove(child, 6, 6);
  EXPECT_EQ(hints::Control(), child);
  // Gone while its hint waits: forgotten, and the due time passes quietly.
  delete child; // owned by the form; freed early on purpose
  EXPECT_EQ(hints::Control(), nullptr);
  clock.Advance(Application->HintPause() + 10);
  EXPECT_EQ(hints::Active(), nullptr);
}
