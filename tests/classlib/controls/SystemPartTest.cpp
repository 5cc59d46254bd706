// The system's part of window handling: frame sizes by style, hit tests of the frame, packed coordinates,
// window timers, the wheel, Alt+F4, stacking order and focus rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/GraphicControl.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Screen.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

class SystemPartTest : public ::testing::Test {
 protected:
  void SetUp() override { Application->Initialize(); }
};

TEST_F(SystemPartTest, PackedCoordinatesKeepTheirSign) {
  const LPARAM l = MAKELPARAM(-5, -300);
  EXPECT_EQ(GET_X_LPARAM(l), -5);
  EXPECT_EQ(GET_Y_LPARAM(l), -300);
  TMessage m{WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, PointToLParam({-1, 32767}), 0};
  const TWMMouse mouse(m);
  EXPECT_EQ(mouse.Pos(), Point(-1, 32767));
  EXPECT_EQ(TControl::KeysToShiftState(mouse.Keys), (TShiftState{ssShift, ssLeft}));
  const TWMSize size(TMessage{WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1024, 768), 0});
  EXPECT_EQ(size.Width, 1024);
  EXPECT_EQ(size.Height, 768);
  EXPECT_EQ(size.SizeType, SIZE_MAXIMIZED);
}

TEST_F(SystemPartTest, FrameSizesFollowTheStyle) {
  struct Case {
    TFormBorderStyle Style;
    int Side, Top;
  };
  // Caption and border bits as the forms ask for them.
  for (const Case& c : {Case{bsNone, 0, 0}, Case{bsSingle, 4, 22}, Case{bsSizeable, 4, 22},
                        Case{bsDialog, 4, 22}, Case{bsToolWindow, 4, 19}, Case{bsSizeToolWin, 4, 19}}) {
    TForm f(nullptr);
    f.SetBorderStyle(c.Style);
    f.SetBounds(0, 0, 200, 100);
    f.HandleNeeded();
    const TPoint origin = f.ClientOrigin();
    EXPECT_EQ(origin, Point(c.Side, c.Top)) << "style " << static_cast<int>(c.Style);
    EXPECT_EQ(f.ClientWidth(), 200 - 2 * c.Side);
  }
  // A panel with a single border has a sunken 2-pixel edge.
  TForm f(nullptr);
  auto* p = new TPanel(&f); // owned by the form
  p->SetParent(&f);
  p->SetBounds(0, 0, 50, 50);
  p->SetBorderStyle(bsSingle);
  p->HandleNeeded();
  EXPECT_EQ(p->ClientWidth(), 46);
}

TEST_F(SystemPartTest, HitTestsNameTheFramePartsAndMaximizedWindowsHaveNoSizingEdges) {
  TForm f(nullptr);
  f.SetBorderStyle(bsSizeable);
  f.SetBounds(100, 100, 200, 150);
  f.Show();
  HWND h = f.Handle();
  auto hit = [&](int x, int y) { return SendMessage(h, WM_NCHITTEST, 0, PointToLParam({100 + x, 100 + y})); };
  EXPECT_EQ(hit(0, 0), HTTOPLEFT);
  EXPECT_EQ(hit(199, 0), HTTOPRIGHT);
  EXPECT_EQ(hit(0, 149), HTBOTTOMLEFT);
  EXPECT_EQ(hit(0, 75), HTLEFT);
  EXPECT_EQ(hit(199, 75), HTRIGHT);
  EXPECT_EQ(hit(100, 0), HTTOP);
  EXPECT_EQ(hit(100, 149), HTBOTTOM);
  EXPECT_EQ(hit(100, 10), HTCAPTION);
  EXPECT_EQ(hit(100, 75), HTCLIENT);
  EXPECT_EQ(hit(300, 75), HTNOWHERE);
  ShowWindow(h, SW_MAXIMIZE);
  TRect r;
  GetWindowRect(h, &r);
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, PointToLParam({r.Left + 100, r.Top + 1})), HTCAPTION);
}

TEST_F(SystemPartTest, WindowTimersPostToTheWindowAndStopWhenItGoes) {
  testsupport::ManualClock clock;
  TForm f(nullptr);
  int ticks = 0;
  UINT id = 0;
  TWndMethod old = f.WindowProc;
  f.WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_TIMER) {
      ++ticks;
      id = static_cast<UINT>(m.WParam);
    }
    old(m);
  };
  HWND h = f.Handle();
  EXPECT_EQ(SetTimer(h, 5, 250), 5u);
  clock.Advance(1000);
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(id, 5u);
  f.DestroyHandle();
  clock.Advance(1000);
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(SetTimer(h, 5, 250), 0u); // the window is gone
  f.WindowProc = old;
}

TEST_F(SystemPartTest, WheelGoesToTheFocusedControlAndUpToItsParents) {
  TForm f(nullptr);
  f.SetBorderStyle(bsNone);
  f.SetBounds(0, 0, 200, 200);
  auto* outer = new TPanel(&f); // owned by the form
  outer->SetParent(&f);
  outer->SetBounds(0, 0, 150, 150);
  auto* inner = new TPanel(&f); // owned by the form
  inner->SetParent(outer);
  inner->SetBounds(10, 10, 50, 50);
  inner->SetTabStop(true);
  f.Show();
  inner->SetFocus();
  int delta = 0;
  outer->OnMouseWheel = [&](TObject*, TShiftState, int WheelDelta, TPoint, bool& Handled) {
    delta += WheelDelta;
    Handled = true;
  };
  backend::MouseEvent e;
  e.Kind = backend::MouseEvent::Wheel;
  e.Screen = {180, 180};
  e.WheelDelta = -120;
  InjectMouse(f.Handle(), e);
  testsupport::Pump();
  EXPECT_EQ(delta, -120);
  outer->OnMouseWheel = nullptr;
}

TEST_F(SystemPartTest, AltF4AsksTheFormToClose) {
  TForm f(nullptr);
  bool asked = false;
  f.OnCloseQuery = [&](TObject*, bool& CanClose) {
    asked = true;
    CanClose = false;
  };
  f.Show();
  testsupport::Pump();
  testsupport::PressKey(VK_F4, backend::ModAlt);
  EXPECT_TRUE(asked);
  EXPECT_TRUE(f.Visible());
  f.OnCloseQuery = nullptr;
}

class TFiller : public TGraphicControl {
 public:
  TFiller(TComponent* AOwner, TColor C) : TGraphicControl(AOwner), Fill(C) {}
  TColor Fill;
  void Paint() override {
    Canvas()->Brush()->SetColor(Fill);
    Canvas()->FillRect(ClientRect());
  }
};

TEST_F(SystemPartTest, StackingOrderDecidesWhatIsSeenAndWhatIsHit) {
  TForm f(nullptr);
  f.SetBorderStyle(bsNone);
  f.SetBounds(0, 0, 100, 100);
  auto* red = new TFiller(&f, clRed); // owned by the form
  red->SetParent(&f);
  red->SetBounds(10, 10, 40, 40);
  auto* blue = new TFiller(&f, clBlue); // owned by the form
  blue->SetParent(&f);
  blue->SetBounds(30, 30, 40, 40);
  f.Show();
  EXPECT_EQ(testsupport::PixelAt(testsupport::Render(&f), 40, 40), clBlue);
  EXPECT_EQ(f.ControlAtPos({40, 40}, false), blue);
  red->BringToFront();
  EXPECT_EQ(testsupport::PixelAt(testsupport::Render(&f), 40, 40), clRed);
  EXPECT_EQ(f.ControlAtPos({40, 40}, false), red);
  // Windowed siblings: the later one is on top until sent back.
  auto* a = new TPanel(&f); // owned by the form
  a->SetParent(&f);
  a->SetBounds(0, 60, 50, 40);
  auto* b = new TPanel(&f); // owned by the form
  b->SetParent(&f);
  b->SetBounds(20, 60, 50, 40);
  testsupport::Pump();
  EXPECT_EQ(WindowFromPoint(f.ClientToScreen({30, 70})), b->Handle());
  b->SendToBack();
  EXPECT_EQ(WindowFromPoint(f.ClientToScreen({30, 70})), a->Handle());
}

TEST_F(SystemPartTest, FocusFollowsTheRules) {
  TForm f(nullptr);
  auto* hidden = new TPanel(&f); // owned by the form
  hidden->SetParent(&f);
  hidden->SetVisible(false);
  auto* inDisabled = new TPanel(&f); // owned by the form
  auto* disabled = new TPanel(&f);   // owned by the form
  disabled->SetParent(&f);
  disabled->SetEnabled(false);
  inDisabled->SetParent(disabled);
  f.Show();
  EXPECT_FALSE(hidden->CanFocus());
  EXPECT_FALSE(inDisabled->CanFocus());
  EXPECT_THROW(f.SetActiveControl(hidden), EInvalidOperation);
  // The system refuses focus to a window inside a disabled one.
  EXPECT_EQ(SetFocus(inDisabled->Handle()), nullptr);
  EXPECT_NE(GetFocus(), inDisabled->Handle());
  EXPECT_EQ(Screen->ActiveForm(), &f);
  EXPECT_GE(Screen->IndexOfForm(&f), 0);
}

} // namespace
