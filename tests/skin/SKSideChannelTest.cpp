// The side channel: the slide steps, pinning, the auto-hide tick's edges, resizing limits, the caption colour
// of file themes and the picture in every style.
#include <gtest/gtest.h>

#include <vector>

#include "classlib/controls/Form.h"
#include "classlib/controls/Timer.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/graphics/Bitmap.h"
#include "skin/SKMgr.h"
#include "skin/SKSideChannel.h"
#include "skin/SKThemeFile.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::PixelAt;
using testsupport::Render;

class SideChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(0, 0, 400, 300);
    form.Show();
    channel = new TskSideChannel(&form);
    channel->SetParent(&form);
    channel->SetCaption("Tools");
    channel->SetWidth(200);
    channel->OnResize = [this](TObject*) { widths.push_back(channel->TControl::Width()); };
    channel->OnPop = [this](TObject*) { ++pops; };
    channel->OnPush = [this](TObject*) { ++pushes; };
  }
  TForm form{nullptr};
  TskSideChannel* channel = nullptr;
  std::vector<int> widths;
  int pops = 0, pushes = 0;
};

} // namespace

TEST_F(SideChannel, StartsPushedAndWidthWaitsForThePop) {
  EXPECT_FALSE(channel->Popped());
  EXPECT_EQ(channel->TControl::Width(), 10);
  EXPECT_EQ(channel->Width(), 200);
  EXPECT_FALSE(channel->PinButton()->Visible());
  EXPECT_FALSE(channel->AutoHideTimer()->Enabled());
  EXPECT_EQ(channel->TControl::Align(), alLeft);
  channel->SetAlign(skRight);
  EXPECT_EQ(channel->TControl::Align(), alRight);
}

TEST_F(SideChannel, AnimatedSlidesStepFifteenPixels) {
  channel->Pop(false);
  std::vector<int> expected;
  for (int w = 25; w <= 190; w += 15) expected.push_back(w);
  expected.push_back(200);
  EXPECT_EQ(widths, expected);
  EXPECT_TRUE(channel->Popped());
  EXPECT_TRUE(channel->PinButton()->Visible());
  EXPECT_TRUE(channel->AutoHideTimer()->Enabled());

  widths.clear();
  channel->Push(false);
  expected.clear();
  for (int w = 185; w >= 20; w -= 15) expected.push_back(w);
  expected.push_back(10);
  EXPECT_EQ(widths, expected);
  EXPECT_EQ(channel->Width(), 200);
  EXPECT_EQ(pops, 1);
  EXPECT_EQ(pushes, 1);
}

TEST_F(SideChannel, QuickSlidesJumpInOneStep) {
  channel->SetQuickMove(true);
  channel->Pop(channel->QuickMove());
  EXPECT_EQ(widths, std::vector<int>{200});
  widths.clear();
  channel->Push(channel->QuickMove());
  EXPECT_EQ(widths, std::vector<int>{10});
  EXPECT_EQ(pops, 1);
  EXPECT_EQ(pushes, 1);
}

TEST_F(SideChannel, ResizingBelowFiftyIsRefusedOnlyWhileOut) {
  channel->TControl::SetWidth(30); // pushed: the pin is hidden
  EXPECT_EQ(channel->TControl::Width(), 30);
  channel->Push(true);
  channel->SetWidth(200);
  channel->Pop(true);
  channel->TControl::SetWidth(40);
  EXPECT_EQ(channel->TControl::Width(), 200);
  channel->TControl::SetWidth(120);
  EXPECT_EQ(channel->TControl::Width(), 120);
  EXPECT_EQ(channel->Width(), 120); // a user's resize while out becomes the popped width
  EXPECT_EQ(channel->PinButton()->Left(), 120 - 20 - 1);
}

TEST_F(SideChannel, AutoHideTreatsTheEdgesAsOutside) {
  testsupport::ManualClock clock;
  channel->SetQuickMove(true);
  channel->Pop(true);
  const TPoint origin = channel->ClientToScreen(Point(0, 0));
  SetCursorPos(origin.X + 50, origin.Y + 50);
  clock.Advance(1000);
  EXPECT_TRUE(channel->Popped());
  SetCursorPos(origin.X, origin.Y + 50); // the left edge
  clock.Advance(1000);
  EXPECT_FALSE(channel->Popped());

  channel->Pop(true);
  SetCursorPos(origin.X + 50, origin.Y); // the top edge
  clock.Advance(1000);
  EXPECT_FALSE(channel->Popped());
}

TEST_F(SideChannel, PinningStopsTheAutoHide) {
  testsupport::ManualClock clock;
  int pins = 0, unpins = 0;
  channel->OnPin = [&](TObject*) { ++pins; };
  channel->OnUnPin = [&](TObject*) { ++unpins; };
  channel->SetStayOn(true);
  EXPECT_TRUE(channel->Popped());
  EXPECT_TRUE(channel->PinButton()->Down());
  EXPECT_FALSE(channel->AutoHideTimer()->Enabled());
  SetCursorPos(-100, -100);
  clock.Advance(3000);
  EXPECT_TRUE(channel->Popped());
  EXPECT_EQ(pins, 1);

  // A click on the pin unpins; the timer takes over again.
  TSpeedButton* pin = channel->PinButton();
  testsupport::Click(channel, pin->Left() + 5, pin->Top() + 5);
  EXPECT_FALSE(pin->Down());
  EXPECT_FALSE(channel->StayOn());
  EXPECT_EQ(unpins, 1);
  SetCursorPos(-100, -100); // the click left the cursor on the pin
  clock.Advance(1000);
  EXPECT_FALSE(channel->Popped());
}

TEST_F(SideChannel, UnpinningPushesWithoutAnimation) {
  channel->SetStayOn(true);
  widths.clear();
  channel->SetStayOn(false);
  EXPECT_FALSE(channel->Popped());
  ASSERT_FALSE(widths.empty());
  EXPECT_EQ(widths.front(), 10);
  EXPECT_FALSE(channel->PinButton()->Down());
}

TEST_F(SideChannel, HidingTheButtonLeavesTheChannelOutAndPinned) {
  channel->SetShowButton(false);
  EXPECT_TRUE(channel->Popped());
  EXPECT_TRUE(channel->StayOn());
  EXPECT_EQ(channel->PinButton()->Top(), -50);
  EXPECT_EQ(channel->TControl::Width(), 200);
}

TEST_F(SideChannel, ClickModePopsOnMouseUpOnly) {
  channel->SetPopupMode(skMouseClick);
  channel->SetQuickMove(true);
  testsupport::MouseMove(channel, 5, 100);
  EXPECT_FALSE(channel->Popped());
  testsupport::Click(channel, 5, 100);
  EXPECT_TRUE(channel->Popped());
}

TEST_F(SideChannel, ChildrenSitBesideTheStripAndBelowTheCaptionBar) {
  auto* child = new TPanel(&form);
  child->SetParent(channel);
  child->SetAlign(alClient);
  channel->Pop(true);
  TBitmap bar;
  bar.LoadFromResourceName(0, "DEEPBLUE_SIDECHENNEL_BAR");
  EXPECT_EQ(child->Left(), 13);
  EXPECT_EQ(child->Top(), bar.Height() + 3);
  EXPECT_EQ(child->Left() + child->Width(), 200 - 3);
}

TEST(SideChannelTheme, FileThemeCaptionColourFollowsTheControlFontColour) {
  skintest::TempDir dir;
  TForm form(nullptr);
  auto* channel = new TskSideChannel(&form);
  channel->SetParent(&form);
  channel->SetUIStyle(FromThemeFile);
  for (const TColor font : {TColor(0x030000), TColor(0x030001)}) {
    const AnsiString file = dir.File("t" + std::to_string(font) + ".skn");
    {
      TskThemeFileWriter w(file);
      w.AddInteger("ControlFontColor", font);
      w.Save();
    }
    auto* theme = new TskFileTheme(&form);
    theme->SetThemeFile(file);
    channel->SetFileTheme(theme);
    EXPECT_EQ(channel->CaptionFontColor(), font == 0x030000 ? clBlack : clWhite) << font;
    delete theme;
    EXPECT_EQ(channel->UIStyle(), DeepBlue);
    channel->SetUIStyle(FromThemeFile);
  }
}

TEST(SideChannelTheme, RendersInEveryStyle) {
  const TskUIStyle styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};
  for (TskUIStyle s : styles) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    form.Show();
    auto* channel = new TskSideChannel(&form);
    channel->SetParent(&form);
    channel->SetCaption("Tools");
    channel->SetWidth(160);
    channel->SetUIStyle(s);
    channel->Pop(true);
    SCOPED_TRACE(TskUIStyleNames.NameOf(s));
    const TColor border = GetInsideThemeColor(s, 25), strip = GetInsideThemeColor(s, 15);
    TSurface image = Render(channel);
    EXPECT_EQ(PixelAt(image, 0, 100), border);
    EXPECT_EQ(PixelAt(image, 159, 100), border);
    EXPECT_EQ(PixelAt(image, 9, channel->Height() - 5), TColor(RGB(128, 128, 128)));
    EXPECT_EQ(PixelAt(image, 4, channel->Height() - 5), strip);
    EXPECT_EQ(PixelAt(image, 100, 100), clWhite);
    testsupport::SavePng(image, "TskSideChannel_" + TskUIStyleNames.NameOf(s) + ".png");
    // Pushed, only the framed strip with its handle is left.
    channel->Push(true);
    image = Render(channel);
    testsupport::SavePng(image, "TskSideChannel_pushed_" + TskUIStyleNames.NameOf(s) + ".png");
    ASSERT_EQ(image.Width(), 10);
    EXPECT_EQ(PixelAt(image, 0, channel->Height() - 5), border);
    EXPECT_EQ(PixelAt(image, 4, channel->Height() - 5), strip);
    EXPECT_EQ(PixelAt(image, 9, channel->Height() - 5), TColor(RGB(128, 128, 128)));
    TBitmap handle;
    GetInsideThemeBitmap(s, 41, &handle, 0, 0);
    ASSERT_FALSE(handle.Empty());
    EXPECT_EQ(skintest::PictureMismatches(image, 1, (channel->Height() - handle.Height()) / 2, handle), 0);
  }
}

TEST_F(SideChannel, HoverPopsOnlyInMouseOnMode) {
  channel->SetQuickMove(true);
  channel->SetPopupMode(skMouseClick);
  testsupport::MouseMove(channel, 5, 100);
  EXPECT_FALSE(channel->Popped());
  channel->SetPopupMode(skMouseOn);
  testsupport::MouseMove(channel, 5, 101);
  EXPECT_TRUE(channel->Popped());
  EXPECT_EQ(pops, 1);
}
