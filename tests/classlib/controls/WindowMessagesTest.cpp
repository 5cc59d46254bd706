// The window side: a replaceable window procedure, the non-client area, painting order and contexts outside
// paint handlers, system moving and sizing, shapes, maximizing and activation.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <sys/utsname.h>

#include "classlib/controls/Application.h"
#include "classlib/controls/CustomControl.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/GraphicControl.h"
#include "classlib/controls/Image.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Screen.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> Log;

class TLoggingControl : public TCustomControl {
 public:
  explicit TLoggingControl(TComponent* AOwner) : TCustomControl(AOwner) { SetColor(clWhite); }
  int Paints = 0;
  void WMNCPaint(TMessage& Message) override {
    Log.push_back("NCPaint");
    TCustomControl::WMNCPaint(Message);
  }
  void WMEraseBkgnd(TMessage& Message) override {
    Log.push_back("EraseBkgnd");
    TCustomControl::WMEraseBkgnd(Message);
  }
  void Paint() override {
    ++Paints;
    Log.push_back("Paint");
  }
};

class TLoggingGraphic : public TGraphicControl {
 public:
  explicit TLoggingGraphic(TComponent* AOwner) : TGraphicControl(AOwner) {}
  void Paint() override {
    Log.push_back("GraphicPaint");
    Canvas()->Brush()->SetColor(clLime);
    Canvas()->FillRect(ClientRect());
  }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Log.clear();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(50, 60, 300, 200);
  }
  void Show() {
    Form->Show();
    testsupport::Pump();
  }
  std::unique_ptr<TForm> Form;
};

TEST_F(WindowTest, ReplacedWindowProcSeesMessagesFirstAndPassesThemOn) {
  Form->SetBorderStyle(bsNone);
  Show();
  HWND h = Form->Handle();
  // A private message: unknown to the form, so it answers 0 until a replacement answers it.
  EXPECT_EQ(SendMessage(h, 9923, 0, 0), 0);
  TWndMethod old = Form->WindowProc;
  std::vector<UINT> seen;
  Form->WindowProc = [&](TMessage& m) {
    seen.push_back(m.Msg);
    if (m.Msg == 9923) {
      m.Result = 8;
      return;
    }
    if (m.Msg == WM_NCCALCSIZE && m.WParam) {
      // A frame with 8-pixel side pictures moves the side edges 6 pixels in.
      auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
      p->rgrc[0].Left += 6;
      p->rgrc[0].Right -= 6;
    }
    old(m);
  };
  EXPECT_EQ(SendMessage(h, 9923, 0, 0), 8);
  SetWindowPos(h, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  TRect client;
  GetClientRect(h, &client);
  EXPECT_EQ(client.Width(), 300 - 12);
  EXPECT_EQ(Form->ClientWidth(), 288);
  EXPECT_NE(std::find(seen.begin(), seen.end(), WM_NCCALCSIZE), seen.end());
  Form->WindowProc = old;
  SetWindowPos(h, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  EXPECT_EQ(Form->ClientWidth(), 300);
}

TEST_F(WindowTest, ClearingTheCaptionBitsShrinksTheFrame) {
  Form->SetBorderStyle(bsSizeable);
  Show();
  HWND h = Form->Handle();
  // Caption, thick frame and border: 4-pixel sides and an 18-pixel caption.
  EXPECT_EQ(Form->ClientWidth(), 300 - 8);
  EXPECT_EQ(Form->ClientHeight(), 200 - 8 - 18);
  SetWindowLong(h, GWL_STYLE, GetWindowLong(h, GWL_STYLE) & ~static_cast<LONG>(WS_CAPTION));
  // Nothing changes before the frame is recomputed.
  EXPECT_EQ(Form->ClientWidth(), 292);
  SetWindowPos(h, nullptr, 0, 0, 0, 0, 0x37);
  // The sizing frame alone is 3 pixels.
  EXPECT_EQ(Form->ClientWidth(), 300 - 6);
  EXPECT_EQ(Form->ClientHeight(), 200 - 6);
  EXPECT_EQ(Form->Width(), 300);
  EXPECT_TRUE(IsWindowVisible(h)); // the style change kept the visibility bit

  // A border style change makes the styles again and says so with CM_RECREATEWND, after which a frame
  // that watches for it can clear the caption once more.
  TWndMethod old = Form->WindowProc;
  Form->WindowProc = [&](TMessage& m) {
    old(m);
    if (m.Msg == CM_RECREATEWND && (GetWindowLong(h, GWL_STYLE) & WS_CAPTION)) {
      SetWindowLong(h, GWL_STYLE, GetWindowLong(h, GWL_STYLE) & ~static_cast<LONG>(WS_CAPTION));
      SetWindowPos(h, nullptr, 0, 0, 0, 0, 0x37);
    }
  };
  Form->SetBorderStyle(bsDialog);
  EXPECT_EQ(Form->Handle(), h);
  EXPECT_EQ(GetWindowLong(h, GWL_STYLE) & static_cast<LONG>(WS_CAPTION), 0);
  EXPECT_NE(GetWindowLong(h, GWL_EXSTYLE) & static_cast<LONG>(WS_EX_DLGMODALFRAME), 0);
  EXPECT_EQ(Form->ClientWidth(), 300 - 6); // the dialog frame alone
  Form->WindowProc = old;
}

TEST_F(WindowTest, PaintOrderIsFrameBackgroundClientThenGraphicChildren) {
  auto* c = new TLoggingControl(Form.get()); // owned by the form
  c->SetParent(Form.get());
  c->SetBounds(10, 10, 100, 80);
  auto* g = new TLoggingGraphic(Form.get()); // owned by the form
  g->SetParent(c);
  g->SetBounds(5, 5, 20, 20);
  Show();
  const std::vector<std::string> order{"NCPaint", "EraseBkgnd", "Paint", "GraphicPaint"};
  EXPECT_EQ(Log, order);

  // Invalidate waits for the loop; Repaint paints at once.
  const int before = c->Paints;
  c->Invalidate();
  EXPECT_EQ(c->Paints, before);
  testsupport::Pump();
  EXPECT_EQ(c->Paints, before + 1);
  c->Repaint();
  EXPECT_EQ(c->Paints, before + 2);

  const TSurface s = testsupport::Render(Form.get());
  const int ox = 4, oy = 4 + 18; // the client area inside the frame and caption
  EXPECT_EQ(testsupport::PixelAt(s, ox + 10 + 5, oy + 10 + 5), clLime);
  EXPECT_EQ(testsupport::PixelAt(s, ox + 10 + 25, oy + 10 + 25), clWhite);
}

// What a control invalidates while it paints (a control that learns its size or colour only as it paints)
// is painted again, within the same pass of the loop; a window that never validates is not painted for ever.
TEST_F(WindowTest, AreaInvalidatedWhilePaintingIsPaintedAgain) {
  class TRecolouring : public TCustomControl {
   public:
    using TCustomControl::TCustomControl;
    int Paints = 0;
    void Paint() override {
      Canvas()->Brush()->SetColor(Paints++ == 0 ? clRed : clBlue);
      Canvas()->FillRect(ClientRect());
      if (Paints == 1) Invalidate();
    }
  };
  auto* c = new TRecolouring(Form.get()); // owned by the form
  c->SetParent(Form.get());
  c->SetBounds(10, 10, 40, 30);
  Show();
  EXPECT_EQ(c->Paints, 2);
  const TSurface s = testsupport::Render(Form.get());
  EXPECT_EQ(testsupport::PixelAt(s, 4 + 20, 4 + 18 + 20), clBlue);

  // Invalidating on every paint costs one paint per pass of the loop, no more.
  class TRestless : public TCustomControl {
   public:
    using TCustomControl::TCustomControl;
    int Paints = 0;
    void Paint() override {
      ++Paints;
      Invalidate();
    }
  };
  auto* r = new TRestless(Form.get()); // owned by the form
  r->SetParent(Form.get());
  r->SetBounds(60, 10, 20, 20);
  testsupport::Pump();
  const int before = r->Paints;
  UpdateAllWindows();
  EXPECT_LE(r->Paints - before, 2);
}

TEST_F(WindowTest, WindowContextOutsidePaintShowsAtTheNextPresent) {
  Form->SetBorderStyle(bsSingle);
  Show();
  HWND h = Form->Handle();
  HDC dc = GetWindowDC(h);
  RECT r{0, 0, 2, 2};
  HBRUSH brush = CreateSolidBrush(clRed);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  EXPECT_EQ(WindowFromDC(dc), h);
  ReleaseDC(h, dc);
  TSurface s = testsupport::Render(Form.get());
  EXPECT_EQ(testsupport::PixelAt(s, 0, 0), clRed);
  EXPECT_EQ(testsupport::PixelAt(s, 1, 1), clRed);
  EXPECT_NE(testsupport::PixelAt(s, 2, 2), clRed);

  // A client context has its origin at the client area.
  dc = GetDC(h);
  r = {0, 0, 1, 1};
  brush = CreateSolidBrush(clBlue);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  ReleaseDC(h, dc);
  s = testsupport::Render(Form.get());
  EXPECT_EQ(testsupport::PixelAt(s, 4, 4 + 18), clBlue);
}

TEST_F(WindowTest, CaptionDragMovesTheWindowAndBorderDragSizesIt) {
  Form->SetBorderStyle(bsNone);
  // As a skinned title bar does: give the drag to the system.
  Form->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
    ReleaseCapture();
    SendMessage(Form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  };
  Show();
  testsupport::MouseMove(Form.get(), 20, 20);
  testsupport::MouseDown(Form.get(), 20, 20);
  testsupport::MouseMove(Form.get(), 50, 40); // client coordinates of the window's first position
  testsupport::MouseUp(Form.get(), 20 + 30 - 30, 20);
  EXPECT_EQ(Form->Left(), 50 + 30);
  EXPECT_EQ(Form->Top(), 60 + 20);

  // A sizeable form: the bottom-right corner sizes it, within its constraints.
  auto sized = std::make_unique<TForm>(nullptr);
  sized->SetBorderStyle(bsSizeable);
  sized->SetBounds(10, 10, 200, 150);
  sized->Constraints()->SetMaxWidth(230);
  sized->Show();
  testsupport::Pump();
  HWND h = sized->Handle();
  const TPoint corner{10 + 199, 10 + 149};
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, PointToLParam(corner)), HTBOTTOMRIGHT);
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, PointToLParam({10 + 100, 10 + 10})), HTCAPTION);
  EXPECT_EQ(SendMessage(h, WM_NCHITTEST, 0, PointToLParam({10 + 100, 10 + 100})), HTCLIENT);
  backend::MouseEvent e;
  e.Kind = backend::MouseEvent::Move;
  e.Screen = corner;
  InjectMouse(h, e);
  e.Kind = backend::MouseEvent::Press;
  e.Button = backend::LeftButton;
  e.Buttons = 1;
  InjectMouse(h, e);
  e.Kind = backend::MouseEvent::Move;
  e.Screen = {corner.X + 50, corner.Y + 25};
  InjectMouse(h, e);
  e.Kind = backend::MouseEvent::Release;
  e.Buttons = 0;
  InjectMouse(h, e);
  testsupport::Pump();
  EXPECT_EQ(sized->Width(), 230);
  EXPECT_EQ(sized->Height(), 175);
}

TEST_F(WindowTest, ShapedWindowTakesInputInsideItsRegionOnly) {
  Form->SetBorderStyle(bsNone);
  int downs = 0;
  Form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  Show();
  HWND h = Form->Handle();
  HRGN rgn = CreateRoundRectRgn(0, 0, 301, 201, 40, 40);
  EXPECT_EQ(SetWindowRgn(h, rgn, 1), 1);
  testsupport::MouseDown(Form.get(), 1, 1);
  testsupport::MouseUp(Form.get(), 1, 1);
  EXPECT_EQ(downs, 0);
  testsupport::MouseDown(Form.get(), 150, 100);
  testsupport::MouseUp(Form.get(), 150, 100);
  EXPECT_EQ(downs, 1);
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(GetWindowRgn(h, copy), 0);
  EXPECT_FALSE(PtInRegion(copy, 0, 0));
  EXPECT_TRUE(PtInRegion(copy, 150, 0));
  DeleteObject(copy);
  SetWindowRgn(h, nullptr, 1);
  testsupport::MouseDown(Form.get(), 1, 1);
  testsupport::MouseUp(Form.get(), 1, 1);
  EXPECT_EQ(downs, 2);
}

TEST_F(WindowTest, MaximizeFillsTheWorkAreaAndRestoreGivesTheBoundsBack) {
  Form->SetBorderStyle(bsSizeable);
  std::vector<int> sizes;
  Form->OnResize = [&](TObject*) { sizes.push_back(Form->Width()); };
  Show();
  SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_EQ(Form->WindowState(), wsMaximized);
  EXPECT_TRUE(IsZoomed(Form->Handle()));
  const TRect work = Screen->WorkAreaRect();
  TRect wa;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0);
  EXPECT_EQ(wa, work);
  // The frame hangs outside the work area; the client area covers it.
  EXPECT_EQ(Form->Left(), work.Left - 4);
  EXPECT_EQ(Form->Width(), work.Width() + 8);
  EXPECT_EQ(Form->ClientOrigin().X, work.Left);
  SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(Form->WindowState(), wsNormal);
  EXPECT_EQ(Form->BoundsRect(), Bounds(50, 60, 300, 200));
  ASSERT_GE(sizes.size(), 2u);
  EXPECT_EQ(sizes.back(), 300);

  Form->OnResize = nullptr;
  SendMessage(Form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(Form->WindowState(), wsMinimized);
  EXPECT_TRUE(IsIconic(Form->Handle()));
  ShowWindow(Form->Handle(), SW_RESTORE);
  EXPECT_EQ(Form->WindowState(), wsNormal);
}

TEST_F(WindowTest, ShowingAnotherFormMovesActivation) {
  std::vector<std::string> events;
  Form->OnActivate = [&](TObject*) { events.push_back("A+"); };
  Form->OnDeactivate = [&](TObject*) { events.push_back("A-"); };
  Show();
  EXPECT_TRUE(Form->Active());
  EXPECT_TRUE(Application->Active());
  TForm other(nullptr);
  other.OnActivate = [&](TObject*) { events.push_back("B+"); };
  other.Show();
  testsupport::Pump();
  EXPECT_FALSE(Form->Active());
  EXPECT_TRUE(other.Active());
  EXPECT_EQ(Screen->ActiveForm(), &other);
  const std::vector<std::string> order{"A+", "A-", "B+"};
  EXPECT_EQ(events, order);
  // Clicking the first form activates it again.
  testsupport::Click(Form.get(), 10, 10);
  EXPECT_TRUE(Form->Active());
  EXPECT_EQ(GetActiveWindow(), Form->Handle());
  Form->OnActivate = nullptr;
  Form->OnDeactivate = nullptr;
}

TEST_F(WindowTest, SystemQueriesDescribeTheScreen) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Screen->Width());
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), Screen->Height());
  EXPECT_GE(GetSystemMetrics(SM_CMONITORS), 1);
  Show();
  TMonitor* m = Screen->MonitorFromWindow(Form->Handle());
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->Primary());
  NONCLIENTMETRICS metrics;
  metrics.cbSize = 340;
  EXPECT_EQ(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0), 1);
  EXPECT_STREQ(metrics.lfMenuFont.lfFaceName, "Tahoma");
  metrics.cbSize = 100;
  EXPECT_EQ(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0), 0);
  TRect r;
  GetWindowRect(Form->Handle(), &r);
  EXPECT_EQ(r, Bounds(50, 60, 300, 200));
  TPoint p{0, 0};
  ClientToScreen(Form->Handle(), &p);
  EXPECT_EQ(p, Form->ClientOrigin());
}

TEST_F(WindowTest, ShellExecuteHandsTheAddressOn) {
  AnsiString opened;
  ShellExecuteHook = [&](const AnsiString& f) {
    opened = f;
    return true;
  };
  EXPECT_GT(ShellExecuteA(nullptr, "open", "http://example.org/quendrel/", nullptr, nullptr, SW_SHOWNORMAL),
            32);
  EXPECT_EQ(opened, "http://example.org/quendrel/");
  EXPECT_LE(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, SW_SHOWNORMAL), 32);
  ShellExecuteHook = nullptr;
}

TEST_F(WindowTest, RuntimeBoundFunctionsFollowTheModule) {
  HMODULE user = LoadLibraryA("User32.dll");
  ASSERT_NE(user, 0);
  auto animate = reinterpret_cast<TAnimateWindowProc>(GetProcAddress(user, "AnimateWindow"));
  ASSERT_NE(animate, nullptr);
  EXPECT_EQ(GetProcAddress(user, "NoSuchFunction"), nullptr);
  EXPECT_EQ(LoadLibraryA("Other.dll"), 0);
  Show();
  EXPECT_EQ(animate(Form->Handle(), 200, AW_HIDE | AW_BLEND), 1);
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
  FreeLibrary(user);
}

TEST(VersionQuery, ReportsTheRunningKernelNotAWindowsVersion) {
  utsname name{};
  ASSERT_EQ(uname(&name), 0);
  unsigned major = 0, minor = 0;
  ASSERT_EQ(std::sscanf(name.release, "%u.%u", &major, &minor), 2);
  OSVERSIONINFO v;
  ASSERT_TRUE(GetVersionExA(&v));
  EXPECT_EQ(v.dwMajorVersion, major);
  EXPECT_EQ(v.dwMinorVersion, minor);
  EXPECT_NE(v.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_STREQ(v.szCSDVersion, name.sysname);
  EXPECT_FALSE(GetVersionExA(nullptr));
}

TEST_F(WindowTest, ParentPaintsIntoAContextItIsHanded) {
  // What a transparent control does to get its parent's background: move the origin to its own position,
  // clip, and have the parent erase and paint into its bitmap.
  auto* parent = new TPanel(Form.get()); // owned by the form
  parent->SetParent(Form.get());
  parent->SetBounds(0, 0, 200, 100);
  parent->SetBevelOuter(bvNone);
  parent->SetColor(clTeal);
  auto* mark = new TLoggingGraphic(Form.get()); // owned by the form
  mark->SetParent(parent);
  mark->SetBounds(40, 30, 10, 10);
  auto* child = new TPanel(Form.get()); // owned by the form
  child->SetParent(parent);
  child->SetBounds(35, 25, 30, 30);
  Show();
  TBitmap bmp;
  bmp.SetSize(30, 30);
  HDC dc = bmp.Canvas()->Handle();
  const int saved = SaveDC(dc);
  SetViewportOrgEx(dc, -child->Left(), -child->Top(), nullptr);
  IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  RestoreDC(dc, saved);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clTeal);
  EXPECT_EQ(bmp.Canvas()->Pixels(5, 5), clLime); // the graphic sibling at (40, 30)
  EXPECT_EQ(bmp.Canvas()->Pixels(14, 14), clLime);
  EXPECT_EQ(bmp.Canvas()->Pixels(15, 15), clTeal);
}

TEST_F(WindowTest, GraphicControlCanvasDrawsOnItsParentOutsidePaint) {
  Form->SetBorderStyle(bsNone);
  Form->SetColor(clWhite);
  auto* g = new TLoggingGraphic(Form.get()); // owned by the form
  g->SetParent(Form.get());
  g->SetBounds(20, 20, 10, 10);
  Show();
  g->Canvas()->Brush()->SetColor(clRed);
  g->Canvas()->FillRect(Rect(-5, -5, 2, 2)); // clipped to the control
  FreeDeviceContexts();
  const TSurface s = testsupport::Render(Form.get());
  EXPECT_EQ(testsupport::PixelAt(s, 20, 20), clRed);
  EXPECT_EQ(testsupport::PixelAt(s, 21, 21), clRed);
  EXPECT_EQ(testsupport::PixelAt(s, 19, 19), clWhite);
}

TEST_F(WindowTest, PositionPlacesTheFormWhenFirstShown) {
  const TRect screen = Bounds(0, 0, Screen->Width(), Screen->Height());
  Form->SetPosition(poScreenCenter);
  Show();
  EXPECT_EQ(Form->Left(), (screen.Width() - 300) / 2);
  EXPECT_EQ(Form->Top(), (screen.Height() - 200) / 2);
  EXPECT_EQ(Form->Position(), poDesigned);
  ASSERT_EQ(Application->MainForm(), nullptr) << "an earlier test left its main form";
  TForm* main = nullptr;
  Application->CreateForm(main);
  const std::unique_ptr<TCustomForm> m(main); // owned by the application; freed here, not at exit
  m->SetBounds(100, 100, 400, 300);
  TForm dialog(nullptr);
  dialog.SetBounds(0, 0, 200, 100);
  dialog.SetPosition(poMainFormCenter);
  dialog.Show();
  EXPECT_EQ(dialog.Left(), 100 + (400 - 200) / 2);
  EXPECT_EQ(dialog.Top(), 100 + (300 - 100) / 2);
  TForm designed(nullptr);
  designed.SetBounds(33, 44, 100, 100);
  designed.Show();
  EXPECT_EQ(designed.BoundsRect(), Bounds(33, 44, 100, 100));
}

TEST_F(WindowTest, ImageDestinationFollowsStretchCenterAndProportion) {
  TImage image(nullptr);
  image.SetBounds(0, 0, 100, 50);
  TBitmap bmp;
  bmp.SetSize(20, 40);
  image.Picture()->SetGraphic(&bmp);
  EXPECT_EQ(image.DestRect(), Rect(0, 0, 20, 40));
  image.SetCenter(true);
  EXPECT_EQ(image.DestRect(), Rect(40, 5, 60, 45));
  image.SetProportional(true);
  image.SetStretch(true);
  EXPECT_EQ(image.DestRect(), Rect(37, 0, 62, 50)); // 25 x 50 keeps 1:2, centred
  image.SetProportional(false);
  EXPECT_EQ(image.DestRect(), Rect(0, 0, 100, 50));
}

} // namespace
