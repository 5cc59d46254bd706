// What the desktop reports (activation, placement, close requests, keys) waits in the queue and reaches
// handlers from the application's loop; a handler may free its own form on any of these; messages may be
// posted from any thread; OnDestroy's exceptions reach the application's exception handler.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "classlib/backend/Backend.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Screen.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

class QueuedReportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Application->OnException = nullptr;
    Forms = Screen->FormCount();
  }
  void TearDown() override { Application->OnException = nullptr; }
  int Forms = 0; // the forms other tests left
  // A shown form that the test or a handler frees.
  static TForm* NewForm(int X) {
    auto* f = new TForm(nullptr); // freed by the test or by its own handler
    f->SetBounds(X, 50, 240, 160);
    f->Show();
    testsupport::Pump();
    return f;
  }
};

TEST_F(QueuedReportsTest, DesktopReportsWaitForTheLoopAndOnlyTheLatestPlacementCounts) {
  std::unique_ptr<TForm> a(NewForm(20));
  std::unique_ptr<TForm> b(NewForm(400));
  ASSERT_EQ(GetActiveWindow(), b->Handle());
  int resizes = 0;
  a->OnResize = [&](TObject*) { ++resizes; };
  InjectGeometry(a->Handle(), Bounds(30, 40, 300, 200));
  InjectGeometry(a->Handle(), Bounds(35, 45, 310, 210));
  InjectActivation(a->Handle(), true);
  // Nothing has run yet: the reports wait in the queue.
  EXPECT_EQ(a->Width(), 240);
  EXPECT_EQ(resizes, 0);
  EXPECT_EQ(GetActiveWindow(), b->Handle());
  testsupport::Pump();
  EXPECT_EQ(a->BoundsRect(), Bounds(35, 45, 310, 210));
  EXPECT_EQ(resizes, 1);
  EXPECT_EQ(GetActiveWindow(), a->Handle());
  EXPECT_TRUE(a->Active());
  // A report overtaken by the program's own placement is stale: the program's placement stays.
  InjectGeometry(a->Handle(), Bounds(0, 0, 500, 400));
  a->SetBounds(50, 60, 200, 150);
  testsupport::Pump();
  EXPECT_EQ(a->BoundsRect(), Bounds(50, 60, 200, 150));
}

TEST_F(QueuedReportsTest, MessagesPostedFromOtherThreadsAllArriveInEachThreadsOrder) {
  std::unique_ptr<TForm> f(NewForm(20));
  HWND h = f->Handle();
  constexpr int threads = 4, each = 300;
  std::vector<std::vector<int>> seen(threads);
  TWndMethod old = f->WindowProc;
  f->WindowProc = [&, old](TMessage& m) {
    if (m.Msg == WM_APP + 1)
      seen[m.WParam].push_back(static_cast<int>(m.LParam));
    else
      old(m);
  };
  std::vector<std::thread> posters;
  for (int t = 0; t < threads; ++t)
    posters.emplace_back([h, t] {
      for (int i = 0; i < each; ++i) PostMessage(h, WM_APP + 1, static_cast<WPARAM>(t), i);
    });
  // The loop keeps taking messages while the threads post.
  for (int i = 0; i < 50; ++i) Application->ProcessMessages();
  for (auto& p : posters) p.join();
  testsupport::Pump();
  for (int t = 0; t < threads; ++t) {
    ASSERT_EQ(seen[static_cast<size_t>(t)].size(), static_cast<size_t>(each)) << "thread " << t;
    for (int i = 0; i < each; ++i) EXPECT_EQ(seen[static_cast<size_t>(t)][static_cast<size_t>(i)], i);
  }
  f->WindowProc = old;
}

TEST_F(QueuedReportsTest, AFormFreedByItsOwnActivationHandlerIsNeverTouchedAgain) {
  std::unique_ptr<TForm> other(NewForm(400));
  // Activated by a click, by the desktop, and by being shown.
  TForm* clicked = NewForm(20);
  SetActiveWindow(other->Handle());
  clicked->OnActivate = [](TObject* Sender) { delete Sender; };
  testsupport::MouseDown(clicked, 50, 50);
  testsupport::MouseUp(other.get(), 10, 10); // the button comes up over what is left
  EXPECT_EQ(Screen->FormCount(), Forms + 1);

  TForm* desktop = NewForm(20);
  SetActiveWindow(other->Handle());
  desktop->OnActivate = [](TObject* Sender) { delete Sender; };
  InjectActivation(desktop->Handle(), true);
  testsupport::Pump();
  EXPECT_EQ(Screen->FormCount(), Forms + 1);

  auto* shown = new TForm(nullptr); // frees itself
  shown->OnActivate = [](TObject* Sender) { delete Sender; };
  shown->Show();
  testsupport::Pump();
  EXPECT_EQ(Screen->FormCount(), Forms + 1);

  // And the form losing the activation may free itself too.
  TForm* leaving = NewForm(20);
  leaving->OnDeactivate = [](TObject* Sender) { delete Sender; };
  testsupport::Click(other.get(), 10, 10);
  EXPECT_EQ(Screen->FormCount(), Forms + 1);
  EXPECT_EQ(GetActiveWindow(), other->Handle());
}

TEST_F(QueuedReportsTest, AWindowDisabledUnderAModalOneIsNotActivatedByTheDesktop) {
  // The desktop may hand the activation back to the owner as the menu that opened the dialog closes; the
  // owner then would cover the dialog and take no input.
  std::unique_ptr<TForm> owner(NewForm(20));
  TForm dialog(nullptr);
  dialog.SetBounds(300, 50, 200, 100);
  bool ownerActivated = false;
  owner->OnActivate = [&](TObject*) { ownerActivated = true; };
  HWND activeWhileModal = nullptr;
  bool ownerActivatedWhileModal = true;
  int idles = 0;
  Application->OnIdle = [&](TObject*, bool&) {
    if (++idles == 1) {
      InjectActivation(owner->Handle(), true);
      return;
    }
    activeWhileModal = GetActiveWindow();
    ownerActivatedWhileModal = ownerActivated;
    dialog.SetModalResult(mrOk);
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  Application->OnIdle = nullptr;
  EXPECT_EQ(activeWhileModal, dialog.Handle());
  EXPECT_FALSE(ownerActivatedWhileModal);
  // Once the dialog is gone the owner is active again, as it was before.
  EXPECT_TRUE(ownerActivated);
  EXPECT_EQ(GetActiveWindow(), owner->Handle());
}

TEST_F(QueuedReportsTest, AFormFreedByItsOwnSizeHandlerIsNeverTouchedAgain) {
  const auto freeOnResize = [](TForm* F) { F->OnResize = [](TObject* Sender) { delete Sender; }; };
  TForm* f = NewForm(20);
  freeOnResize(f);
  InjectGeometry(f->Handle(), Bounds(20, 50, 400, 300)); // the desktop resized it
  testsupport::Pump();
  EXPECT_EQ(Screen->FormCount(), Forms);

  f = NewForm(20);
  freeOnResize(f);
  f->SetBounds(20, 50, 500, 300); // the program resized it
  EXPECT_EQ(Screen->FormCount(), Forms);

  f = NewForm(20);
  freeOnResize(f);
  SendMessage(f->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  testsupport::Pump();
  EXPECT_EQ(Screen->FormCount(), Forms);

  f = NewForm(20);
  freeOnResize(f);
  f->SetWindowState(wsMinimized);
  testsupport::Pump();
  EXPECT_EQ(Screen->FormCount(), Forms);
}

TEST_F(QueuedReportsTest, AFormFreedByItsOwnCloseHandlersIsNeverTouchedAgain) {
  TForm* f = NewForm(20);
  f->OnClose = [](TObject* Sender, TCloseAction&) { delete Sender; };
  InjectCloseRequest(f->Handle()); // the desktop's close button
  testsupport::Pump();
  EXPECT_EQ(Screen->FormCount(), Forms);

  f = NewForm(20);
  f->OnClose = [](TObject* Sender, TCloseAction&) { delete Sender; };
  testsupport::PressKey(VK_F4, backend::ModAlt);
  EXPECT_EQ(Screen->FormCount(), Forms);

  f = NewForm(20);
  f->OnCloseQuery = [](TObject* Sender, bool& CanClose) {
    delete Sender;
    CanClose = true;
  };
  f->Close();
  EXPECT_EQ(Screen->FormCount(), Forms);
}

TEST_F(QueuedReportsTest, ExceptionsFromOnDestroyAndFromReportedActivationReachTheApplicationsHandler) {
  std::vector<std::string> handled;
  Application->OnException = [&](TObject*, Exception* E) { handled.push_back(E->Message.c_str()); };
  auto* f = new TForm(nullptr); // freed below
  f->AfterConstruction();
  f->OnDestroy = [](TObject*) { throw Exception("cannot save"); };
  delete f;
  EXPECT_EQ(handled, (std::vector<std::string>{"cannot save"}));
  // A handler of a desktop report raises while the loop carries it out; the loop goes on.
  handled.clear();
  std::unique_ptr<TForm> a(NewForm(20));
  std::unique_ptr<TForm> b(NewForm(400));
  a->OnActivate = [](TObject*) { throw Exception("not now"); };
  InjectActivation(a->Handle(), true);
  PostMessage(b->Handle(), WM_NULL, 0, 0);
  testsupport::Pump();
  EXPECT_EQ(handled, (std::vector<std::string>{"not now"}));
  EXPECT_EQ(GetActiveWindow(), a->Handle());
}

TEST_F(QueuedReportsTest, EveryPrintableCharacterTypedOnTheDesktopBecomesACharMessage) {
  std::unique_ptr<TForm> f(NewForm(20));
  std::string typed;
  f->OnKeyPress = [&](TObject*, char& Key) { typed += Key; };
  std::string expected;
  for (int c = 0x20; c < 0x7F; ++c) expected += static_cast<char>(c);
  expected += "\xE9\xFC"; // Latin-1 letters have their 8-bit code
  for (unsigned char c : expected) backend::SendNativeCharacter(f->Handle()->Native, c);
  // A character the 8-bit code page does not have types nothing.
  backend::SendNativeCharacter(f->Handle()->Native, U'\u20AC');
  testsupport::Pump();
  EXPECT_EQ(typed, expected);
}

} // namespace
