// MDI: a frame form holds a client window in the area its aligned controls leave; child forms live inside it,
// move, size, minimize and maximize within it, activate one at a time, cascade and tile, and close. The
// client window has no control and can be subclassed through its window procedure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "classlib/backend/Backend.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Screen.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> Log;

class MDITest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Log.clear();
    Application->CreateForm(Frame);
    ASSERT_EQ(Application->MainForm(), Frame);
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetCaption("Frame");
    Frame->SetBounds(30, 30, 640, 480);
    auto* bar = new TPanel(Frame); // owned by the frame
    bar->SetParent(Frame);
    bar->SetAlign(alTop);
    bar->SetHeight(30);
    Frame->Show();
    for (int i = 0; i < 3; ++i) {
      auto* child = new TForm(Application); // owned by the application
      const std::string name = "Child" + std::to_string(i);
      child->SetFormStyle(fsMDIChild);
      child->SetCaption(name.c_str());
      child->SetBounds(10 + 60 * i, 10 + 40 * i, 200, 150);
      child->OnActivate = [name](TObject*) { Log.push_back(name + " activate"); };
      child->OnDeactivate = [name](TObject*) { Log.push_back(name + " deactivate"); };
      child->Show();
      Children.push_back(child);
    }
    testsupport::Pump();
    Log.clear();
  }
  void TearDown() override {
    delete Frame; // the main form; its children's windows go with it
    for (TCustomForm* c : Children)
      if (Screen->IndexOfForm(c) >= 0) delete c;
  }
  HWND Client() const { return Frame->ClientHandle(); }
  TRect ClientArea() const {
    TRect r;
    GetClientRect(Client(), &r);
    return r;
  }
  // A child's window rectangle in the client window's coordinates.
  static TRect Placement(TCustomForm* F) { return F->BoundsRect(); }
  TForm* Frame = nullptr;
  std::vector<TForm*> Children;
};

TEST_F(MDITest, TheClientFillsWhatTheAlignedControlsLeaveAndHoldsTheChildrenFrontToBack) {
  ASSERT_NE(Client(), nullptr);
  EXPECT_EQ(FindControl(Client()), nullptr); // a window without a control
  TRect r;
  GetWindowRect(Client(), &r);
  const TPoint origin = Frame->ClientOrigin();
  EXPECT_EQ(r, Bounds(origin.X, origin.Y + 30, Frame->ClientWidth(), Frame->ClientHeight() - 30));
  EXPECT_EQ(Frame->MDIChildCount(), 3);
  EXPECT_EQ(Frame->MDIChildren(0), Children[2]); // the last shown is in front and active
  EXPECT_EQ(Frame->MDIChildren(2), Children[0]);
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[2]);
  EXPECT_EQ(Screen->ActiveForm(), Children[2]);
  EXPECT_EQ(GetParent(Children[0]->Handle()), Client());
  // A child's coordinates are the client window's; the frame does not move with it.
  EXPECT_EQ(Children[1]->BoundsRect(), Bounds(70, 50, 200, 150));
  Frame->SetBounds(60, 70, 700, 500);
  testsupport::Pump();
  EXPECT_EQ(Children[1]->BoundsRect(), Bounds(70, 50, 200, 150));
  EXPECT_EQ(ClientArea(), (TRect{0, 0, Frame->ClientWidth() - 4, Frame->ClientHeight() - 30 - 4}));
}

TEST_F(MDITest, CascadeAndTileArrangeTheChildrenInsideTheClient) {
  const TRect area = ClientArea();
  const int step = 21; // a sizing frame and a caption
  Frame->Cascade();
  // The one in front comes last, furthest down and right.
  const int w = std::max(area.Width() - 2 * step, area.Width() / 2);
  const int h = std::max(area.Height() - 2 * step, area.Height() / 2);
  EXPECT_EQ(Placement(Children[0]), Bounds(0, 0, w, h));
  EXPECT_EQ(Placement(Children[1]), Bounds(step, step, w, h));
  EXPECT_EQ(Placement(Children[2]), Bounds(2 * step, 2 * step, w, h));
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[2]);

  Frame->SetTileMode(tbVertical);
  Frame->Tile();
  const int third = area.Width() / 3;
  EXPECT_EQ(Placement(Children[2]), Bounds(0, 0, third, area.Height()));
  EXPECT_EQ(Placement(Children[1]).Left, third);
  EXPECT_EQ(Placement(Children[0]).Right, area.Width());

  Frame->SetTileMode(tbHorizontal);
  Frame->Tile();
  EXPECT_EQ(Placement(Children[2]), Bounds(0, 0, area.Width(), area.Height() / 3));
  EXPECT_EQ(Placement(Children[0]).Bottom, area.Height());

  // A minimized child keeps its place at the bottom; the others share what is above it.
  Children[0]->SetWindowState(wsMinimized);
  Frame->Tile();
  const TRect icon = Placement(Children[0]);
  EXPECT_EQ(icon.Bottom, area.Height());
  EXPECT_EQ(Placement(Children[1]).Bottom, icon.Top);
}

TEST_F(MDITest, AMaximizedChildFillsTheClientAreaNotTheScreen) {
  const TRect frameBefore = Frame->BoundsRect();
  // A double click on the caption, as the user would.
  testsupport::DoubleClick(Children[1], 60, -9);
  EXPECT_EQ(Children[1]->WindowState(), wsMaximized);
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[1]);
  BOOL maximized = 0;
  EXPECT_EQ(
      reinterpret_cast<HWND>(SendMessage(Client(), WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized))),
      Children[1]->Handle());
  EXPECT_TRUE(maximized);
  TPoint clientOrigin{0, 0};
  ClientToScreen(Client(), &clientOrigin);
  EXPECT_EQ(Children[1]->ClientOrigin(), clientOrigin);
  EXPECT_EQ(Children[1]->ClientWidth(), ClientArea().Width());
  EXPECT_EQ(Children[1]->ClientHeight(), ClientArea().Height());
  EXPECT_EQ(Frame->BoundsRect(), frameBefore);
  EXPECT_EQ(Frame->WindowState(), wsNormal);

  // It follows the client window, and comes back to where it was.
  Frame->SetBounds(30, 30, 700, 520);
  EXPECT_EQ(Children[1]->ClientWidth(), ClientArea().Width());
  EXPECT_EQ(Children[1]->ClientHeight(), ClientArea().Height());
  SendMessage(Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(Children[1]->Handle()), 0);
  EXPECT_EQ(Children[1]->WindowState(), wsNormal);
  EXPECT_EQ(Children[1]->BoundsRect(), Bounds(70, 50, 200, 150));
}

TEST_F(MDITest, DraggingAChildByItsCaptionMovesOnlyThatChild) {
  const TRect frameBefore = Frame->BoundsRect();
  const TRect otherBefore = Children[2]->BoundsRect();
  const TPoint grab = Children[0]->ClientToScreen({50, -9});
  const auto at = [&](int dx, int dy) { return Frame->ScreenToClient({grab.X + dx, grab.Y + dy}); };
  testsupport::MouseDown(Children[0], 50, -9);
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[0]); // pressing the caption activates the child
  testsupport::MouseMove(Frame, at(20, 10).X, at(20, 10).Y);
  testsupport::MouseMove(Frame, at(45, 25).X, at(45, 25).Y);
  testsupport::MouseUp(Frame, at(45, 25).X, at(45, 25).Y);
  EXPECT_EQ(Children[0]->BoundsRect(), Bounds(10 + 45, 10 + 25, 200, 150));
  EXPECT_EQ(Frame->BoundsRect(), frameBefore);
  EXPECT_EQ(Children[2]->BoundsRect(), otherBefore);
  // Its sizing border sizes it, also inside the client window.
  const TPoint corner =
      Children[0]->ScreenToClient({Children[0]->ClientOrigin().X + Children[0]->ClientWidth() + 1,
                                   Children[0]->ClientOrigin().Y + Children[0]->ClientHeight() + 1});
  const TPoint cornerScreen = Children[0]->ClientToScreen(corner);
  testsupport::MouseDown(Children[0], corner.X, corner.Y);
  const TPoint to = Frame->ScreenToClient({cornerScreen.X + 30, cornerScreen.Y + 20});
  testsupport::MouseMove(Frame, to.X, to.Y);
  testsupport::MouseUp(Frame, to.X, to.Y);
  EXPECT_EQ(Children[0]->BoundsRect(), Bounds(55, 35, 230, 170));
  EXPECT_EQ(Frame->BoundsRect(), frameBefore);
}

TEST_F(MDITest, OneChildIsActiveAtATimeAndItsCaptionShowsIt) {
  testsupport::Click(Children[0], 20, 20);
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[0]);
  EXPECT_EQ(Frame->MDIChildren(0), Children[0]);
  EXPECT_EQ(Log, (std::vector<std::string>{"Child2 deactivate", "Child0 activate"}));
  EXPECT_TRUE(Children[0]->Active());
  EXPECT_FALSE(Children[2]->Active());
  EXPECT_EQ(Screen->ActiveForm(), Children[0]);
  EXPECT_EQ(GetFocus(), Children[0]->Handle());

  // The captions, as painted: active for the active child, inactive for the others.
  Frame->Cascade();
  const TRect frameWindow = Frame->BoundsRect();
  const auto captionPixel = [&](TCustomForm* C) {
    const TPoint p = C->ClientToScreen({C->ClientWidth() - 8, -9});
    return testsupport::PixelAt(testsupport::Render(Frame), p.X - frameWindow.Left, p.Y - frameWindow.Top);
  };
  EXPECT_EQ(captionPixel(Children[0]), ColorToRGB(clActiveCaption));
  EXPECT_EQ(captionPixel(Children[1]), ColorToRGB(clInactiveCaption));
  testsupport::RenderToPng(Frame, "mdi-active-child.png");

  // Another top-level window takes the activation: the child's caption goes inactive with its frame.
  TForm other(nullptr);
  other.SetBounds(700, 30, 200, 150);
  other.Show();
  testsupport::Pump();
  EXPECT_EQ(captionPixel(Children[0]), ColorToRGB(clInactiveCaption));
  EXPECT_FALSE(Children[0]->Active());
  SetActiveWindow(Frame->Handle());
  testsupport::Pump();
  EXPECT_EQ(captionPixel(Children[0]), ColorToRGB(clActiveCaption));
  EXPECT_TRUE(Children[0]->Active());

  // Next brings the one behind forward and sends the active one to the back; Previous undoes it.
  Frame->Next();
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[2]);
  EXPECT_EQ(Frame->MDIChildren(2), Children[0]);
  Frame->Previous();
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[0]);
  // A child brought to the front becomes the active one, as a window menu's item does it.
  Children[1]->BringToFront();
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[1]);
  EXPECT_EQ(Frame->MDIChildren(0), Children[1]);
}

TEST_F(MDITest, MinimizedChildrenLineUpAtTheBottomAndComeBack) {
  const int height = ClientArea().Height();
  Children[0]->SetWindowState(wsMinimized);
  Children[1]->SetWindowState(wsMinimized);
  EXPECT_EQ(Children[0]->WindowState(), wsMinimized);
  EXPECT_EQ(Placement(Children[0]), Bounds(0, height - 24, 160, 24));
  EXPECT_EQ(Placement(Children[1]), Bounds(160, height - 24, 160, 24));
  EXPECT_EQ(Children[0]->ClientHeight(), 0);
  // A double click on the caption bar restores it where it was.
  testsupport::DoubleClick(Children[0], 30, -9);
  EXPECT_EQ(Children[0]->WindowState(), wsNormal);
  EXPECT_EQ(Placement(Children[0]), Bounds(10, 10, 200, 150));
  Frame->ArrangeIcons();
  EXPECT_EQ(Placement(Children[1]), Bounds(0, height - 24, 160, 24));
}

TEST_F(MDITest, ClosingAChildFreesItAndActivatesTheNext) {
  const int forms = Screen->FormCount();
  // By default the system command minimizes an MDI child instead of closing it.
  SendMessage(Children[2]->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(Children[2]->WindowState(), wsMinimized);
  Children[2]->SetWindowState(wsNormal);
  Children[2]->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  Children[2]->SetFocus();
  Children[2]->Close();
  testsupport::Pump();
  EXPECT_EQ(Screen->FormCount(), forms - 1);
  EXPECT_EQ(Frame->MDIChildCount(), 2);
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[1]);
  EXPECT_TRUE(Children[1]->Active());
  Children.pop_back();
}

TEST_F(MDITest, TheClientWindowCanBeSubclassedThroughItsWindowProcedure) {
  // As a skinned frame does: call the client's procedure first, then replace the arrangement.
  const WNDPROC old = static_cast<WNDPROC>(GetWindowLong(Client(), GWL_WNDPROC));
  HWND client = Client();
  const WNDPROC instance = MakeObjectInstance([&](TMessage& m) {
    m.Result = CallWindowProc(old, client, m.Msg, m.WParam, m.LParam);
    if (m.Msg == WM_MDICASCADE) {
      Log.push_back("cascade at " + std::to_string(Children[1]->Left()));
      for (TForm* c : Children) c->SetBounds(5, 5, 100, 80);
    }
    if (m.Msg == 9923) m.Result = 8;
  });
  SetWindowLong(client, GWL_WNDPROC, instance);
  EXPECT_EQ(static_cast<WNDPROC>(GetWindowLong(client, GWL_WNDPROC)), instance);
  Frame->Cascade();
  EXPECT_EQ(Log, (std::vector<std::string>{"cascade at 21"})); // the system's cascade ran first
  EXPECT_EQ(Children[1]->BoundsRect(), Bounds(5, 5, 100, 80));
  EXPECT_EQ(SendMessage(client, 9923, 0, 0), 8);
  // A freed procedure still installed leaves the client with its own.
  FreeObjectInstance(instance);
  EXPECT_EQ(SendMessage(client, 9923, 0, 0), 0);
  EXPECT_EQ(Frame->ActiveMDIChild(), Children[2]);
  SetWindowLong(client, GWL_WNDPROC, old);
  Log.clear();
  Frame->Cascade();
  EXPECT_TRUE(Log.empty());
}

TEST(ChildFrameTest, ACaptionedChildWindowMovesAndMaximizesInsideItsParentOnly) {
  Application->Initialize();
  TForm form(nullptr);
  form.SetBounds(50, 50, 400, 300);
  form.Show();
  testsupport::Pump();
  HWND c = CreateWindowHandle(nullptr, form.Handle(), WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX,
                              0, Bounds(20, 20, 150, 100), "Tool");
  FinishCreate(c);
  ShowWindow(c, SW_SHOW);
  testsupport::Pump();
  const TRect formBefore = form.BoundsRect();
  testsupport::MouseDown(&form, 20 + 50, 20 + 10); // on its caption
  testsupport::MouseMove(&form, 110, 60);
  testsupport::MouseUp(&form, 110, 60);
  EXPECT_EQ(c->Rect, Bounds(60, 50, 150, 100));
  EXPECT_EQ(form.BoundsRect(), formBefore);
  SendMessage(c, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  TRect client;
  GetClientRect(c, &client);
  EXPECT_EQ(client, form.ClientRect());
  EXPECT_TRUE(IsZoomed(c));
  EXPECT_EQ(form.BoundsRect(), formBefore);
  SendMessage(c, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(c->Rect, Bounds(60, 50, 150, 100));
  DestroyWindow(c);
}

// On a real desktop: cascade, tile, maximize one, drag one by its caption, close one, photographed after
// each.
TEST_F(MDITest, DesktopPhotographs) {
  const char* prefix = std::getenv("QUENDREL_SCREENSHOT");
  if (!prefix || backend::IsOffscreen()) GTEST_SKIP() << "needs a desktop and QUENDREL_SCREENSHOT";
  const auto photograph = [&](const std::string& step) {
    for (int i = 0; i < 30; ++i) {
      Application->ProcessMessages();
      backend::ProcessEvents(20);
    }
    const std::string command =
        "import -window root '" +
        std::string(testsupport::OutputPath((std::string(prefix) + "-" + step + ".png").c_str()).c_str()) +
        "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << step;
  };
  Frame->SetBounds(20, 20, 700, 500);
  Frame->Cascade();
  photograph("1-cascade");
  Frame->SetTileMode(tbVertical);
  Frame->Tile();
  photograph("2-tile");
  Children[1]->SetWindowState(wsMaximized);
  TPoint clientOrigin{0, 0};
  ClientToScreen(Client(), &clientOrigin);
  EXPECT_EQ(Children[1]->ClientOrigin(), clientOrigin);
  EXPECT_EQ(Children[1]->ClientWidth(), ClientArea().Width());
  photograph("3-maximized");
  Children[1]->SetWindowState(wsNormal);
  Frame->Cascade();
  const TRect frameBefore = Frame->BoundsRect();
  const TRect childBefore = Children[0]->BoundsRect();
  const TPoint grab = Children[0]->ClientToScreen({40, -9});
  testsupport::MouseDown(Children[0], 40, -9);
  for (int step = 1; step <= 8; ++step) {
    const TPoint p = Frame->ScreenToClient({grab.X + 30 * step, grab.Y + 12 * step});
    testsupport::MouseMove(Frame, p.X, p.Y);
  }
  const TPoint end = Frame->ScreenToClient({grab.X + 240, grab.Y + 96});
  testsupport::MouseUp(Frame, end.X, end.Y);
  EXPECT_EQ(Children[0]->BoundsRect(),
            Bounds(childBefore.Left + 240, childBefore.Top + 96, childBefore.Width(), childBefore.Height()));
  EXPECT_EQ(Frame->BoundsRect(), frameBefore);
  photograph("4-dragged");
  Children[2]->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  Children[2]->Close();
  Children.pop_back();
  photograph("5-closed");
  EXPECT_EQ(Frame->MDIChildCount(), 2);
}

} // namespace
