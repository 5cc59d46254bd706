// The pop-up notice: where it shows, how it slides in and out, how long it stays by the hand-driven clock
// (also across a wrap of the 32-bit tick count), a second Popup while it shows, the close box, Close, and
// the click events; its picture with the labels on it.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "classlib/controls/Label.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/Timer.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/win/Windows.h"
#include "skin/SKPublic.h"
#include "skin/SKResDef.h"
#include "skin/frmMSNPop.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::PixelAt;

class Notice : public ::testing::Test {
 protected:
  void SetUp() override {
    notice = std::make_unique<TskMSNPopForm>(nullptr);
    notice->SetAnimateTime(60);
    notice->SetTitle("New game");
    notice->SetMessageText("A shorter solution was found.");
    notice->OnClick = [this](TObject* Sender) {
      EXPECT_EQ(Sender, notice.get());
      ++clicks;
    };
    notice->OnTitleClick = [this](TObject* Sender) {
      EXPECT_EQ(Sender, notice.get());
      ++titleClicks;
    };
    notice->OnClose = [this](TObject* Sender) {
      EXPECT_EQ(Sender, notice.get());
      ++closes;
    };
    OnAnimateWindowFrame = [this](HWND Window, HWND Picture) {
      if (Window == Form()->Handle()) slides.push_back(Picture->Rect);
    };
  }
  void TearDown() override {
    OnAnimateWindowFrame = {};
    notice.reset();
  }

  TfrmMSNPopForm* Form() { return notice->Form(); }
  bool Shown() { return IsWindowVisible(Form()->Handle()) != 0; }
  int NoticeWindows() {
    int n = 0;
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->InheritsFrom(TfrmMSNPopForm::StaticClass()) && Screen->Forms(i)->Visible()) ++n;
    return n;
  }

  std::unique_ptr<TskMSNPopForm> notice;
  std::vector<TRect> slides;
  int clicks = 0, titleClicks = 0, closes = 0;
};

} // namespace

TEST_F(Notice, SlidesUpIntoTheWorkAreaCornerAndStaysOnTop) {
  EXPECT_FALSE(Form()->Visible()) << "hidden until Popup";
  EXPECT_EQ(notice->TitleFont()->Color(), TColor(0x800000));
  EXPECT_EQ(notice->MessageFont()->Color(), TColor(0x800000));
  bool toldFirst = false;
  notice->OnShow = [&](TObject*) { toldFirst = !Form()->Visible(); };

  notice->Popup();
  EXPECT_TRUE(toldFirst) << "OnShow comes before the window shows";
  const TRect work = GetWorkAreaRect();
  TRect r;
  GetWindowRect(Form()->Handle(), &r);
  EXPECT_EQ(r.Right, work.Right - 18);
  EXPECT_EQ(r.Bottom, work.Bottom);
  TBitmap picture;
  picture.LoadFromResourceName(0, SK_RES_MSNPOPFORM);
  EXPECT_EQ(r.Width(), picture.Width()) << "the window takes its picture's size";
  EXPECT_EQ(r.Height(), picture.Height());
  const LONG style = GetWindowLong(Form()->Handle(), GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0) << "a bare pop-up window";
  EXPECT_NE(GetWindowLong(Form()->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

  ASSERT_GE(slides.size(), 2u);
  for (const TRect& s : slides) EXPECT_EQ(s.Bottom, work.Bottom) << "it rises from the work area's bottom";
  EXPECT_LT(slides.front().Height(), slides.back().Height());
  EXPECT_EQ(Form()->lbl_title->Caption(), "New game");
  EXPECT_EQ(Form()->lbl_text->Caption(), "A shorter solution was found.");

  notice->SetAutoPosition(false);
  notice->SetPositionX(40);
  notice->SetPositionY(70);
  notice->Close();
  notice->Popup();
  GetWindowRect(Form()->Handle(), &r);
  EXPECT_EQ(r.TopLeft(), TPoint(40, 70));
}

TEST_F(Notice, StaysItsTimeThenSlidesAwayDownward) {
  testsupport::ManualClock clock;
  notice->SetStayTime(2000);
  notice->Popup();
  slides.clear();
  clock.Advance(1990);
  EXPECT_TRUE(Shown());
  clock.Advance(110);
  EXPECT_FALSE(Shown()) << "hidden at the first poll 2 seconds after the slide-in";
  EXPECT_EQ(closes, 1);
  ASSERT_GE(slides.size(), 1u);
  for (const TRect& s : slides)
    EXPECT_EQ(s.Bottom, GetWorkAreaRect().Bottom) << "it sinks below the work area";
  EXPECT_FALSE(Form()->Timer1->Enabled());
}

TEST_F(Notice, AWrapOfTheTickCountNeitherCutsNorStretchesTheStay) {
  testsupport::ManualClock clock(0xFFFFFFFFu - 300);
  notice->SetStayTime(2000);
  notice->Popup();
  clock.Advance(1000);
  EXPECT_TRUE(Shown()) << "the 32-bit count wrapped, yet only a second has passed";
  clock.Advance(1100);
  EXPECT_FALSE(Shown());
}

TEST_F(Notice, ASecondPopupRestartsTheStayInTheSameWindow) {
  testsupport::ManualClock clock;
  notice->SetStayTime(2000);
  notice->Popup();
  clock.Advance(1500);
  notice->SetTitle("Another");
  notice->Popup();
  EXPECT_EQ(NoticeWindows(), 1);
  EXPECT_EQ(Form()->lbl_title->Caption(), "Another");
  clock.Advance(1000);
  EXPECT_TRUE(Shown()) << "the stay began again with the second Popup";
  clock.Advance(1100);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(closes, 1);
  clock.Advance(3000);
  EXPECT_EQ(closes, 1) << "no second timer hides it again";
}

TEST_F(Notice, APopupFromOnCloseShowsTheNextNoticeAfterTheLast) {
  testsupport::ManualClock clock;
  notice->OnClose = [&](TObject*) {
    if (++closes == 1) {
      notice->SetTitle("Next");
      notice->Popup();
    }
  };
  notice->Popup();
  notice->Close();
  testsupport::Pump();
  EXPECT_TRUE(Shown());
  EXPECT_EQ(Form()->lbl_title->Caption(), "Next");
}

TEST_F(Notice, TheCloseBoxHidesAtOnceAndClicksAreReported) {
  notice->Popup();
  testsupport::Click(Form(), 60, 80);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(Shown()) << "a click elsewhere leaves the notice up";

  testsupport::Click(Form()->lbl_title, 20, 5);
  EXPECT_EQ(titleClicks, 1);
  EXPECT_EQ(clicks, 1) << "the title's click is its own";

  slides.clear();
  testsupport::Click(Form(), 168, 12);
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(slides.empty()) << "the close box hides without sliding";
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(clicks, 2) << "and the click is reported as well";

  notice->Popup();
  slides.clear();
  notice->Close();
  EXPECT_FALSE(Shown());
  EXPECT_FALSE(slides.empty()) << "Close slides it away";
  EXPECT_EQ(closes, 2);
}

TEST_F(Notice, ShowsItsPictureWithTheTextsOnItAlsoWhileSliding) {
  notice->SetMessageText("WWWWWWWWWW");
  TFont big;
  big.SetSize(14);
  big.SetStyle({fsBold});
  big.SetColor(clRed);
  notice->SetMessageFont(&big);
  TSurface lastFrame;
  OnAnimateWindowFrame = [&](HWND Window, HWND Picture) {
    if (Window == Form()->Handle()) lastFrame = Picture->Surface;
  };
  notice->Popup();
  const TSurface shown = testsupport::Render(Form());
  testsupport::SavePng(shown, "notice.png");
  TBitmap picture;
  picture.LoadFromResourceName(0, SK_RES_MSNPOPFORM);
  EXPECT_EQ(PixelAt(shown, 0, 0), picture.Canvas()->Pixels(0, 0)) << "the background picture";
  EXPECT_EQ(PixelAt(shown, 169, 13), picture.Canvas()->Pixels(169, 13)) << "with its close box";
  auto hasRed = [](const TSurface& s) {
    for (int y = 40; y < s.Height(); ++y)
      for (int x = 10; x < s.Width() - 10; ++x)
        if (PixelAt(s, x, y) == clRed) return true;
    return false;
  };
  EXPECT_TRUE(hasRed(shown)) << "the message in its font";
  ASSERT_FALSE(lastFrame.Empty());
  EXPECT_TRUE(hasRed(lastFrame)) << "the slide shows the labels too";
}
