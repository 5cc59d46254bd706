// The skinned track bar: range clamping and change events, slider placement, paging with the mouse held,
// dragging, keys, ticks and the theme pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "classlib/controls/Form.h"
#include "classlib/controls/Messages.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/win/Windows.h"
#include "skin/SKTrackBar.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

using testsupport::PixelAt;
using testsupport::Render;

namespace {

struct Bar {
  explicit Bar(int width = 210) : form(nullptr) {
    form.SetBounds(0, 0, 320, 240);
    bar = new TskTrackBar(&form);
    bar->SetParent(&form);
    bar->SetBounds(10, 10, width, 30);
    form.Show();
    bar->OnChange = [this](TObject* Sender) {
      senders.push_back(Sender);
      changes.push_back(bar->LastChange());
    };
  }
  // The run the slider's left edge travels.
  int Run() const { return bar->Width() - bar->Slider()->Width(); }
  TForm form;
  TskTrackBar* bar;
  std::vector<TObject*> senders;
  std::vector<int> changes;
};

} // namespace

TEST(SkTrackBar, StartsWithItsDefaultsAndThemeSize) {
  Bar b;
  EXPECT_EQ(b.bar->Min(), 0);
  EXPECT_EQ(b.bar->Max(), 10);
  EXPECT_EQ(b.bar->PageSize(), 2);
  EXPECT_EQ(b.bar->LineSize(), 1);
  EXPECT_TRUE(b.bar->TabStop());
  EXPECT_TRUE(b.bar->ShowTick());
  EXPECT_FALSE(b.bar->GetSliderImage()->Bitmap()->Empty());
  EXPECT_EQ(b.bar->Height(), std::max(b.bar->BarImage()->Height(), b.bar->Slider()->Height()));
  EXPECT_EQ(b.bar->Slider()->Width(), b.bar->GetSliderImage()->Width());
}

TEST(SkTrackBar, RangeSettersClampAndReportOnce) {
  Bar b;
  b.bar->SetMin(8);
  EXPECT_EQ(b.bar->Position(), 8);
  b.bar->SetMax(5);
  EXPECT_EQ(b.bar->Max(), 8);
  b.bar->SetMax(10);
  b.bar->SetMin(20);
  EXPECT_EQ(b.bar->Min(), 10);
  EXPECT_EQ(b.bar->Position(), 10);
  ASSERT_EQ(b.changes, (std::vector<int>{8, 2}));
  EXPECT_EQ(b.senders[0], b.bar);
  b.bar->SetPosition(10); // unchanged: no event
  b.bar->SetPosition(99);
  EXPECT_EQ(b.changes.size(), 2u);

  b.bar->SetPageSize(50);
  b.bar->SetPageSize(-1);
  b.bar->SetLineSize(11);
  EXPECT_EQ(b.bar->PageSize(), 2);
  EXPECT_EQ(b.bar->LineSize(), 1);
}

TEST(SkTrackBar, SliderPlacementAndPointMapping) {
  Bar b;
  b.bar->SetPosition(5);
  EXPECT_EQ(b.bar->Slider()->Left(), b.Run() * 5 / 10);
  EXPECT_EQ(b.bar->Slider()->Top(), std::max(0, b.bar->Height() - b.bar->Slider()->Height()) / 2);
  const int half = b.bar->Slider()->Width() / 2;
  EXPECT_EQ(b.bar->GetPositionFromFromSliderPos(half, 0), 0);
  EXPECT_EQ(b.bar->GetPositionFromFromSliderPos(half + b.Run(), 0), 10);
  // Halfway between 2 and 3 goes to the even neighbour.
  b.bar->SetBounds(10, 10, b.bar->Slider()->Width() + 100, 30);
  EXPECT_EQ(b.bar->GetPositionFromFromSliderPos(half + 25, 0), 2);
  EXPECT_EQ(b.bar->GetPositionFromFromSliderPos(half + 35, 0), 4);

  b.bar->SetMin(10); // Min = Max
  EXPECT_EQ(b.bar->Slider()->Left(), 0);
  testsupport::Click(b.bar, b.bar->Width() - 2, 1);
  EXPECT_EQ(b.bar->Position(), 10);
}

TEST(SkTrackBar, SliderAsLongAsTheBarMapsEveryPointToZero) {
  Bar b;
  b.bar->SetMin(3);
  b.bar->SetBounds(10, 10, b.bar->Slider()->Width(), 30);
  EXPECT_EQ(b.bar->GetPositionFromFromSliderPos(500, 0), 0);
  b.bar->UpdatePositionValue(500, 0, true);
  EXPECT_EQ(b.bar->Position(), 3);
}

TEST(SkTrackBar, HeldClickPagesOnceThenThreePagesPerTick) {
  Bar b;
  testsupport::ManualClock clock;
  const int y = b.bar->Height() - 1; // below or beside the slider
  testsupport::MouseDown(b.bar, b.bar->Width() - 1, y);
  EXPECT_EQ(b.bar->Position(), 2);
  EXPECT_TRUE(b.bar->Paging());
  clock.Advance(100);
  EXPECT_EQ(b.bar->Position(), 8);
  clock.Advance(100);
  EXPECT_EQ(b.bar->Position(), 10);
  clock.Advance(100);
  EXPECT_EQ(b.bar->Position(), 10);
  testsupport::MouseUp(b.bar, b.bar->Width() - 1, y);
  EXPECT_FALSE(b.bar->Paging());
  EXPECT_EQ(b.changes, (std::vector<int>{2, 6, 2}));
}

TEST(SkTrackBar, HeldClickOnAVerticalBarPagesOnePageEveryTick) {
  Bar b;
  b.bar->SetOrientation(skVertical);
  b.bar->SetBounds(10, 10, 30, 200);
  testsupport::ManualClock clock;
  const int x = b.bar->Width() / 2;
  testsupport::MouseDown(b.bar, x, b.bar->Height() - 1);
  EXPECT_EQ(b.bar->Position(), 2);
  for (int expected : {4, 6, 8, 10, 10}) {
    clock.Advance(100);
    EXPECT_EQ(b.bar->Position(), expected);
  }
  testsupport::MouseUp(b.bar, x, b.bar->Height() - 1);
  // Upwards the same, stopping where the slider's centre meets the cursor.
  const int y3 = (b.bar->Height() - b.bar->Slider()->Height()) * 3 / 10 + b.bar->Slider()->Height() / 2;
  testsupport::MouseDown(b.bar, x, y3);
  EXPECT_EQ(b.bar->Position(), 8);
  clock.Advance(500);
  EXPECT_EQ(b.bar->Position(), 3);
  testsupport::MouseUp(b.bar, x, y3);
  EXPECT_EQ(b.changes, (std::vector<int>{2, 2, 2, 2, 2, -2, -2, -2, -1}));
}

TEST(SkTrackBar, PagingStopsAtTheCursorAndWhenItLeaves) {
  Bar b;
  testsupport::ManualClock clock;
  const int y = b.bar->Height() - 1;
  // The centre of position 4 is where the run stops.
  const int x4 = b.Run() * 4 / 10 + b.bar->Slider()->Width() / 2;
  testsupport::MouseDown(b.bar, x4, y);
  clock.Advance(300);
  EXPECT_EQ(b.bar->Position(), 4);
  testsupport::MouseMove(b.bar, b.bar->Width() + 1, y);
  EXPECT_FALSE(b.bar->Paging());
  testsupport::MouseUp(b.bar, b.bar->Width() + 1, y);

  // A press at the slider's left edge pages nothing.
  b.bar->SetPosition(5);
  const int left = b.bar->Slider()->Left();
  testsupport::MouseDown(b.bar, left, b.bar->Height() - 1);
  testsupport::MouseUp(b.bar, left, b.bar->Height() - 1);
  EXPECT_EQ(b.bar->Position(), 5);
}

TEST(SkTrackBar, DraggingPutsTheSliderCentreUnderTheCursor) {
  Bar b;
  TskImagePanel* slider = b.bar->Slider();
  int downX = -1;
  b.bar->OnMouseDown = [&](TObject* Sender, TMouseButton, TShiftState, int X, int) {
    EXPECT_EQ(Sender, b.bar);
    downX = X;
  };
  testsupport::MouseDown(slider, slider->Width() - 1, 1);
  EXPECT_EQ(downX, slider->Width() - 1); // in track-bar coordinates: the slider sits at 0
  EXPECT_TRUE(b.bar->Focused());
  const int x6 = b.Run() * 6 / 10 + slider->Width() / 2;
  testsupport::MouseMove(b.bar, x6, 1);
  EXPECT_EQ(b.bar->Position(), 6);
  EXPECT_EQ(slider->Left(), b.Run() * 6 / 10);
  testsupport::MouseUp(b.bar, x6, 1);
  testsupport::MouseMove(b.bar, 0, 1); // released: no more dragging
  EXPECT_EQ(b.bar->Position(), 6);
  EXPECT_EQ(b.changes, (std::vector<int>{6}));
}

TEST(SkTrackBar, KeysStepThePosition) {
  Bar b;
  b.bar->SetFocus();
  testsupport::PressKey(VK_NEXT);
  EXPECT_EQ(b.bar->Position(), 2);
  testsupport::PressKey(VK_RIGHT);
  EXPECT_EQ(b.bar->Position(), 3);
  testsupport::PressKey(VK_UP);
  EXPECT_EQ(b.bar->Position(), 2);
  testsupport::PressKey(VK_END);
  EXPECT_EQ(b.bar->Position(), 10);
  testsupport::PressKey(VK_PRIOR);
  EXPECT_EQ(b.bar->Position(), 8);
  testsupport::PressKey(VK_HOME);
  EXPECT_EQ(b.bar->Position(), 0);
  TMessage m{WM_GETDLGCODE, 0, 0, 0};
  b.bar->Dispatch(m);
  EXPECT_EQ(m.Result, DLGC_WANTARROWS);
}

TEST(SkTrackBar, StepsAtTheEndsOfThe32BitRangeStopThere) {
  Bar b;
  b.bar->SetMax(INT32_MAX);
  b.bar->SetPageSize(INT32_MAX);
  b.bar->SetLineSize(1000);
  b.bar->SetPosition(INT32_MAX);
  b.bar->SetFocus();
  for (WORD key : {VK_NEXT, VK_RIGHT, VK_DOWN}) {
    testsupport::PressKey(key);
    EXPECT_EQ(b.bar->Position(), INT32_MAX) << key;
  }
  b.bar->SetMin(INT32_MIN);
  b.bar->SetPosition(INT32_MIN);
  EXPECT_EQ(b.bar->LastChange(), INT32_MIN); // the whole range back is more than 32 bits can say
  for (WORD key : {VK_PRIOR, VK_LEFT, VK_UP}) {
    testsupport::PressKey(key);
    EXPECT_EQ(b.bar->Position(), INT32_MIN) << key;
  }
  // Held paging takes three pages a step: that far past the end stops at Max too.
  testsupport::ManualClock clock;
  const int y = b.bar->Height() - 1;
  testsupport::MouseDown(b.bar, b.bar->Width() - 1, y);
  EXPECT_EQ(b.bar->Position(), -1);
  clock.Advance(100);
  EXPECT_EQ(b.bar->Position(), INT32_MAX);
  clock.Advance(100);
  EXPECT_EQ(b.bar->Position(), INT32_MAX);
  testsupport::MouseUp(b.bar, b.bar->Width() - 1, y);
}

TEST(SkTrackBar, PagingEndsWhenTheBarHidesOrLosesTheMouse) {
  Bar b;
  testsupport::ManualClock clock;
  b.bar->SetMax(1000);
  const int y = b.bar->Height() - 1;
  testsupport::MouseDown(b.bar, b.bar->Width() - 1, y);
  ASSERT_TRUE(b.bar->Paging());
  b.bar->SetVisible(false);
  EXPECT_FALSE(b.bar->Paging());
  const int hidden = b.bar->Position();
  clock.Advance(1000);
  EXPECT_EQ(b.bar->Position(), hidden);

  b.bar->SetVisible(true);
  testsupport::MouseDown(b.bar, b.bar->Width() - 1, y);
  ASSERT_TRUE(b.bar->Paging());
  // Another window takes the mouse (a dialog, a menu): the release never comes here.
  TForm other(nullptr);
  other.Show();
  SetCapture(other.Handle());
  EXPECT_FALSE(b.bar->Paging());
  const int lost = b.bar->Position();
  clock.Advance(1000);
  EXPECT_EQ(b.bar->Position(), lost);
  ReleaseCapture();

  // A drag ends the same way.
  TskImagePanel* slider = b.bar->Slider();
  testsupport::MouseDown(slider, 1, 1);
  SetCapture(other.Handle());
  ReleaseCapture();
  const int dropped = b.bar->Position();
  testsupport::MouseMove(b.bar, b.bar->Width() - 1, 1);
  EXPECT_EQ(b.bar->Position(), dropped);
}

TEST(SkTrackBar, TicksOverTheWhole32BitRangeFillTheRun) {
  Bar b;
  b.bar->SetTransparent(false);
  b.bar->SetColor(clWhite);
  b.bar->SetMin(INT32_MIN);
  b.bar->SetMax(INT32_MAX);
  b.bar->SetPosition(INT32_MAX); // the slider at the far end, off the ticks it covers
  const TSurface s = Render(b.bar);
  const int y = b.bar->Height() - 2;
  const int first = b.bar->Slider()->Width() / 2;
  for (int x = first; x < b.bar->Slider()->Left(); ++x) ASSERT_EQ(PixelAt(s, x, y), clBlack) << x;
  // With a frequency that leaves gaps the ticks stand apart, as on a narrow range.
  b.bar->SetFrequency(1 << 30);
  const TSurface sparse = Render(b.bar);
  const int quarter = b.Run() / 4;
  EXPECT_EQ(PixelAt(sparse, first, y), clBlack);
  EXPECT_EQ(PixelAt(sparse, first + quarter, y), clBlack);
  EXPECT_NE(PixelAt(sparse, first + quarter / 2, y), clBlack);
}

TEST(SkTrackBar, TicksAtEveryFrequencyStepAndAtMax) {
  Bar b;
  b.bar->SetTransparent(false);
  b.bar->SetColor(clWhite);
  b.bar->SetFrequency(3);
  b.bar->SetPosition(10); // keep the slider off the first ticks
  const TSurface s = Render(b.bar);
  const int y = b.bar->Height() - 2; // the bottom row carries the focus rectangle
  std::vector<int> ticks;
  for (int i = 0; i <= 10; ++i) {
    const int x = i * b.Run() / 10 + b.bar->Slider()->Width() / 2;
    if (x < b.bar->Slider()->Left() && PixelAt(s, x, y) == clBlack) ticks.push_back(i);
  }
  EXPECT_EQ(ticks, (std::vector<int>{0, 3, 6, 9}));
}

TEST(SkTrackBar, MacStyleTurnsTransparencyOnForGood) {
  Bar b;
  EXPECT_FALSE(b.bar->Transparent());
  b.bar->SetUIStyle(MacOS);
  EXPECT_TRUE(b.bar->Transparent());
  b.bar->SetUIStyle(WinXP);
  EXPECT_TRUE(b.bar->Transparent());
}

TEST(SkTrackBar, VerticalTakesTheTurnedPictures) {
  Bar b;
  b.bar->SetOrientation(skVertical);
  b.bar->SetBounds(10, 10, 30, 200);
  EXPECT_EQ(b.bar->Width(), std::max(b.bar->BarImage()->Height(), b.bar->Slider()->Width()));
  b.bar->SetPosition(10);
  EXPECT_EQ(b.bar->Slider()->Top(), b.bar->Height() - b.bar->Slider()->Height());
  EXPECT_FALSE(b.bar->Slider()->Transparent());
}

TEST(SkTrackBar, RendersInEveryStyle) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 220);
  form.Show();
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    auto* h = new TskTrackBar(&form);
    h->SetParent(&form);
    h->SetUIStyle(style);
    h->SetBounds(10, 10, 200, 30);
    h->SetPosition(4);
    auto* v = new TskTrackBar(&form);
    v->SetParent(&form);
    v->SetUIStyle(style);
    v->SetOrientation(skVertical);
    v->SetBounds(240, 10, 30, 190);
    v->SetPosition(7);
    SCOPED_TRACE(TskUIStyleNames.NameOf(style));
    // The sliders stand at their positions' places and show their pictures there.
    for (TskTrackBar* bar : {h, v}) {
      TskImagePanel* slider = bar->Slider();
      const bool horizontal = bar == h;
      const TPoint at = horizontal
                            ? Point((200 - slider->Width()) * 4 / 10, (bar->Height() - slider->Height()) / 2)
                            : Point((bar->Width() - slider->Width()) / 2, (190 - slider->Height()) * 7 / 10);
      EXPECT_EQ(slider->Left(), at.X);
      EXPECT_EQ(slider->Top(), at.Y);
      // Item 29 is the horizontal slider, item 30 the vertical one; the style's two differ.
      TBitmap mine, other;
      GetInsideThemeBitmap(style, horizontal ? 29 : 30, &mine, 0, 0);
      GetInsideThemeBitmap(style, horizontal ? 30 : 29, &other, 0, 0);
      ASSERT_FALSE(mine.Empty());
      const TSurface s = Render(bar);
      EXPECT_EQ(slider->Width(), mine.Width());
      EXPECT_EQ(slider->Height(), mine.Height());
      EXPECT_EQ(skintest::PictureMismatches(s, at.X, at.Y, mine), 0);
      EXPECT_GT(skintest::PictureMismatches(s, at.X, at.Y, other), 0);
    }
    testsupport::RenderToPng(&form, "SkTrackBar-" + TskUIStyleNames.NameOf(style) + ".png");
    delete h;
    delete v;
  }
}
