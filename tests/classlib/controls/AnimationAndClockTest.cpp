// Animated showing and hiding, watched frame by frame; and the 64-bit tick count across a 32-bit wrap.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "classlib/controls/Form.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

// Red above, blue below; it gives its picture on WM_PRINTCLIENT as the system asks of a window about to show.
class TTwoTone : public TForm {
 public:
  explicit TTwoTone(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsNone);
    SetBounds(200, 300, 100, 60);
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(Rect(0, 0, 100, 30));
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(Rect(0, 30, 100, 60));
  }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_PRINTCLIENT) {
      PaintTo(reinterpret_cast<HDC>(Message.WParam), 0, 0);
      return;
    }
    TForm::WndProc(Message);
  }
};

struct Frame {
  TRect Rect;
  TColor Top, Bottom;
  bool WindowVisible;
};

class Animation : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TTwoTone>(nullptr);
    form->HandleNeeded();
    OnAnimateWindowFrame = [this](HWND Window, HWND Picture) {
      ASSERT_EQ(Window, form->Handle());
      const TSurface& s = Picture->Surface;
      frames.push_back({Picture->Rect, testsupport::PixelAt(s, 0, 0),
                        testsupport::PixelAt(s, 0, s.Height() - 1), IsWindowVisible(Window) != 0});
      stand = Picture;
    };
  }
  void TearDown() override {
    OnAnimateWindowFrame = {};
    form.reset();
  }
  void Show() {
    form->Show();
    testsupport::Pump();
  }

  std::unique_ptr<TTwoTone> form;
  std::vector<Frame> frames;
  HWND stand = nullptr;
};

} // namespace

TEST_F(Animation, SlideInUpwardLeadsWithThePictureTopAndEndsOnTheWindow) {
  // Long enough that a busy machine still leaves several frames to look at.
  ASSERT_EQ(AnimateWindow(form->Handle(), 600, AW_SLIDE | AW_VER_NEGATIVE), 1);
  ASSERT_GE(frames.size(), 3u);
  int lastHeight = 0;
  for (const Frame& f : frames) {
    EXPECT_EQ(f.Rect.Left, 200);
    EXPECT_EQ(f.Rect.Width(), 100);
    EXPECT_EQ(f.Rect.Bottom, 360) << "it grows upwards from the window's bottom edge";
    EXPECT_GE(f.Rect.Height(), lastHeight);
    lastHeight = f.Rect.Height();
    EXPECT_EQ(f.Top, clRed) << "the picture's top row comes in first";
    if (f.Rect.Height() <= 30) {
      EXPECT_EQ(f.Bottom, clRed);
    }
    EXPECT_FALSE(f.WindowVisible) << "the window itself shows only at the end";
  }
  EXPECT_TRUE(frames.back().Rect == TRect(200, 300, 300, 360));
  EXPECT_EQ(frames.back().Bottom, clBlue);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(IsWindow(stand)) << "the stand-in window is gone";
  EXPECT_EQ(AnimateWindow(form->Handle(), 150, AW_SLIDE | AW_VER_NEGATIVE), 0) << "already shown";
}

TEST_F(Animation, RollUncoversInPlaceAndSlideOutKeepsTheFarEdge) {
  ASSERT_EQ(AnimateWindow(form->Handle(), 100, AW_VER_NEGATIVE), 1);
  ASSERT_FALSE(frames.empty());
  for (const Frame& f : frames) {
    if (f.Rect.Height() <= 30) {
      EXPECT_EQ(f.Top, clBlue) << "a roll shows the picture where it stands";
    }
  }

  frames.clear();
  ASSERT_EQ(AnimateWindow(form->Handle(), 100, AW_HIDE | AW_SLIDE | AW_VER_POSITIVE), 1);
  ASSERT_GE(frames.size(), 2u);
  int lastHeight = 61;
  for (const Frame& f : frames) {
    EXPECT_FALSE(f.WindowVisible) << "the window hides before its picture slides away";
    EXPECT_EQ(f.Rect.Bottom, 360) << "sliding down, the picture leaves through the bottom edge";
    EXPECT_LE(f.Rect.Height(), lastHeight);
    lastHeight = f.Rect.Height();
    EXPECT_EQ(f.Top, clRed);
  }
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(AnimateWindow(form->Handle(), 100, AW_HIDE | AW_SLIDE | AW_VER_POSITIVE), 0) << "already hidden";
}

TEST_F(Animation, SidewaysSlidesAndThoseWithoutMovementShowAtOnce) {
  ASSERT_EQ(AnimateWindow(form->Handle(), 100, AW_SLIDE | AW_HOR_POSITIVE), 1);
  ASSERT_FALSE(frames.empty());
  for (const Frame& f : frames) {
    EXPECT_EQ(f.Rect.Left, 200) << "left to right, it grows from the left edge";
    EXPECT_EQ(f.Rect.Height(), 60);
  }
  ASSERT_EQ(AnimateWindow(form->Handle(), 0, AW_HIDE | AW_SLIDE | AW_HOR_POSITIVE), 1);
  EXPECT_FALSE(IsWindowVisible(form->Handle()));

  frames.clear();
  ASSERT_EQ(AnimateWindow(form->Handle(), 200, AW_BLEND), 1);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  ASSERT_EQ(AnimateWindow(form->Handle(), 200, AW_HIDE | AW_SLIDE), 1) << "no direction: at once";
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(frames.empty());
}

TEST(TickCount64, CountsTheWrapsOfTheTickCount) {
  testsupport::ManualClock clock(0xFFFFFFFFu - 50);
  const uint64_t before = GetTickCount64();
  clock.Advance(120);
  const uint64_t after = GetTickCount64();
  EXPECT_LT(GetTickCount(), 100u) << "the 32-bit count wrapped";
  EXPECT_EQ(after - before, 120u);
  clock.Advance(30);
  EXPECT_EQ(GetTickCount64() - after, 30u);
}
