// The application object: creating forms, the loop and its re-entry, exceptions that escape handlers, modal
// forms and message boxes, timers on a hand-driven clock, releasing forms and handing calls over from
// threads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "classlib/backend/Backend.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Dialogs.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/controls/Timer.h"
#include "classlib/core/Thread.h"
#include "tests/support/TestSupport.h"

namespace {

class TFirstForm : public TForm {
  QUENDREL_CLASS(TFirstForm, TForm)
 public:
  explicit TFirstForm(TComponent* AOwner) : TForm(AOwner) {
    ReadFormResource(); // there is none: an empty form
    OnCreate = [this](TObject*) { Created = true; };
  }
  bool Created = false;
};
QUENDREL_REGISTER_CLASS(TFirstForm, TForm) {
  c.Creatable();
}

void Key(WORD k) {
  backend::KeyEvent e;
  e.VirtualKey = k;
  InjectKey(e);
  e.Down = false;
  InjectKey(e);
}

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Boxes.clear();
    MessageBoxHook = [this](const AnsiString& Text, const AnsiString& Caption, int Flags) {
      Boxes.push_back(Caption + ": " + Text);
      return (Flags & 0xF) == MB_YESNO ? IDNO : IDOK;
    };
  }
  void TearDown() override {
    MessageBoxHook = nullptr;
    Application->OnException = nullptr;
  }
  std::vector<std::string> Boxes;
};

TEST_F(ApplicationTest, ExceptionsFromHandlersAreShownAndTheLoopGoesOn) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 100, 100);
  int clicks = 0;
  form.OnClick = [&](TObject*) {
    if (++clicks == 1) throw EConvertError("'x' is not a valid integer value");
  };
  Application->SetTitle("Quendrel v2.0");
  form.Show();
  testsupport::Click(&form, 10, 10);
  testsupport::Click(&form, 10, 10);
  EXPECT_EQ(clicks, 2);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "Quendrel v2.0: 'x' is not a valid integer value.");
  // A full stop only after a text that has no closing mark of its own.
  for (const char* text : {"Invalid skin file!", "Retry?", "Done.", ""}) {
    Exception e(text);
    Application->ShowException(&e);
    EXPECT_EQ(Boxes.back(), std::string("Quendrel v2.0: ") + text);
  }
  Boxes.resize(1);
  // OnException replaces the message box; EAbort is silent.
  std::vector<std::string> caught;
  Application->OnException = [&](TObject*, Exception* E) { caught.push_back(E->Message); };
  form.OnClick = [](TObject*) { throw EInvalidOperation("second"); };
  testsupport::Click(&form, 10, 10);
  form.OnClick = [](TObject*) { throw EAbort(""); };
  testsupport::Click(&form, 10, 10);
  EXPECT_EQ(caught, std::vector<std::string>{"second"});
  EXPECT_EQ(Boxes.size(), 1u);
  form.OnClick = nullptr;
}

TEST_F(ApplicationTest, CreateFormMakesTheFirstFormTheMainFormAndClosingItEndsTheRun) {
  ASSERT_EQ(Application->MainForm(), nullptr) << "an earlier test left its main form";
  TFirstForm* first = nullptr;
  TForm* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  EXPECT_TRUE(first->Created);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_EQ(first->Owner(), Application);
  EXPECT_GE(Screen->IndexOfForm(second), 0);
  TCustomForm* third = Application->CreateForm(GetClass("TFirstForm"));
  EXPECT_EQ(third->ClassName(), "TFirstForm");
  // Closing a secondary form hides it; closing the main form ends the loop.
  second->Show();
  second->Close();
  EXPECT_FALSE(second->Visible());
  EXPECT_FALSE(Application->Terminated());
  // A terminated application stays terminated (every later modal loop ends at once): the run ends in a
  // process of its own, so that the tests after this one find a live application.
  EXPECT_EXIT(
      {
        PostMessage(first->Handle(), WM_CLOSE, 0, 0);
        Application->Run();
        std::fputs(Application->Terminated() ? "terminated\n" : "still running\n", stderr);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "^terminated\n$");
  // Owned by the application; freed here so that no main form is left for the next tests.
  delete third;
  delete second;
  delete first;
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(ApplicationTest, OnCloseCanRefuseOrFreeTheForm) {
  auto* form = new TForm(nullptr); // freed by its caFree close, or below
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; };
  form->Show();
  form->Close();
  EXPECT_TRUE(form->Visible());
  form->OnCloseQuery = nullptr;
  form->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  form->Close();
  EXPECT_FALSE(destroyed); // freed once the queued messages are handled
  testsupport::Pump();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->IndexOfForm(form), -1);
}

TEST_F(ApplicationTest, ShowModalRunsUntilAModalResultIsSet) {
  TForm dialog(nullptr);
  dialog.SetBounds(10, 10, 200, 100);
  auto* ok = new TButton(&dialog); // owned by the dialog
  ok->SetParent(&dialog);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* cancel = new TButton(&dialog); // owned by the dialog
  cancel->SetParent(&dialog);
  cancel->SetLeft(100);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  TForm owner(nullptr);
  owner.Show();
  testsupport::Pump();

  Key(VK_RETURN); // handled inside the modal loop
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
  EXPECT_EQ(GetActiveWindow(), owner.Handle());

  Key(VK_ESCAPE);
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  // Closing a modal form answers mrCancel; while it runs, the other forms take no input.
  bool ownerEnabled = true;
  dialog.OnShow = [&](TObject*) {
    ownerEnabled = IsWindowEnabled(owner.Handle());
    PostMessage(dialog.Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_FALSE(ownerEnabled);
  dialog.OnShow = nullptr;
}

TEST_F(ApplicationTest, MessageDialogIsAModalFormOfOurs) {
  if (!backend::IsOffscreen()) GTEST_SKIP() << "records message boxes only offscreen";
  auto form = CreateMessageDialog("Picture not found", mtError, {mbOK});
  EXPECT_EQ(form->Caption(), "Error");
  EXPECT_NE(form->FindComponent("Message"), nullptr);
  auto* button = dynamic_cast<TButton*>(form->FindComponent(Format("Button%d", static_cast<int>(mbOK))));
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->Default());
  EXPECT_EQ(button->ModalResult(), mrOk);
  // Offscreen and without the hook a message box is recorded and answered with its default button...
  MessageBoxHook = nullptr;
  RecordedMessageBoxes.clear();
  EXPECT_EQ(MessageDlg("Question?", mtConfirmation, {mbYes, mbNo}, 0), mrYes);
  EXPECT_EQ(MessageBox(nullptr, "Text", "Caption", MB_OKCANCEL), IDOK);
  const std::vector<AnsiString> recorded{"Confirm: Question?", "Caption: Text"};
  EXPECT_EQ(RecordedMessageBoxes, recorded);
  // ...unless dialogs are wanted: then it is a modal form, and keys answer it.
  ShowOffscreenDialogs = true;
  Key(VK_RETURN);
  EXPECT_EQ(MessageDlg("Question?", mtConfirmation, {mbYes, mbNo}, 0), mrYes);
  Key(VK_ESCAPE);
  EXPECT_EQ(MessageBox(nullptr, "Text", "Caption", MB_OKCANCEL), IDCANCEL);
  ShowOffscreenDialogs = false;
  // Through the hook nothing is shown.
  MessageBoxHook = [this](const AnsiString& Text, const AnsiString& Caption, int) {
    Boxes.push_back(Caption + ": " + Text);
    return IDOK;
  };
  ShowMessage("Congratulations !");
  EXPECT_EQ(Boxes.back(), ": Congratulations !");
}

TEST_F(ApplicationTest, TimersRunOnTheHandDrivenClock) {
  testsupport::ManualClock clock;
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  timer.SetInterval(1000);
  timer.SetEnabled(false);
  timer.SetEnabled(true);
  clock.Advance(999);
  EXPECT_EQ(ticks, 0);
  clock.Advance(1);
  EXPECT_EQ(ticks, 1);
  clock.Advance(2500);
  EXPECT_EQ(ticks, 3);
  timer.SetEnabled(false);
  clock.Advance(5000);
  EXPECT_EQ(ticks, 3);
  // An exception in a timer handler is shown and the timer goes on.
  timer.OnTimer = [&](TObject*) {
    ++ticks;
    throw Exception("tick");
  };
  timer.SetEnabled(true);
  clock.Advance(2000);
  EXPECT_EQ(ticks, 5);
  EXPECT_EQ(Boxes.size(), 2u);
  timer.SetEnabled(false);
  EXPECT_EQ(GetTickCount(), clock.Now());
}

TEST_F(ApplicationTest, ProcessMessagesNestsInsideAHandler) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 100, 100);
  form.Show();
  testsupport::Pump();
  std::vector<std::string> order;
  form.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
    order.push_back("down");
    PostMessage(form.Handle(), WM_USER + 1, 0, 0);
    Application->ProcessMessages(); // handles the posted message before returning
    order.push_back("down done");
  };
  TWndMethod old = form.WindowProc;
  form.WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_USER + 1) order.push_back("user");
    old(m);
  };
  testsupport::MouseDown(&form, 5, 5);
  testsupport::MouseUp(&form, 5, 5);
  const std::vector<std::string> expected{"down", "user", "down done"};
  EXPECT_EQ(order, expected);
  form.WindowProc = old;
  form.OnMouseDown = nullptr;
}

class TWorker : public TThread {
 public:
  TWorker() : TThread(true) {}
  ~TWorker() override { Shutdown(); }
  std::atomic<bool> Ran{false};
  bool OnMainThread = false;

 protected:
  void Execute() override {
    Synchronize([this] { OnMainThread = std::this_thread::get_id() == MainThreadID(); });
    Ran = true;
  }
};

TEST_F(ApplicationTest, TheLoopRunsCallsHandedOverByThreads) {
  TWorker worker;
  bool terminated = false;
  worker.OnTerminate = [&](TObject*) { terminated = true; };
  worker.Resume();
  for (int i = 0; i < 2000 && !terminated; ++i) Application->HandleMessage();
  EXPECT_TRUE(worker.Ran);
  EXPECT_TRUE(worker.OnMainThread);
  EXPECT_TRUE(terminated);
}

TEST_F(ApplicationTest, MinimizeAndActivationReachTheApplicationEvents) {
  ASSERT_EQ(Application->MainForm(), nullptr) << "an earlier test left its main form";
  TFirstForm* main = nullptr;
  Application->CreateForm(main);
  const std::unique_ptr<TCustomForm> m(main); // owned by the application; freed here, not at exit
  TApplicationEvents events(nullptr);
  int minimized = 0, restored = 0;
  events.OnMinimize = [&](TObject*) { ++minimized; };
  events.OnRestore = [&](TObject*) { ++restored; };
  m->Show();
  testsupport::Pump();
  EXPECT_TRUE(Application->Active());
  SendMessage(m->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(minimized, 1);
  EXPECT_EQ(m->WindowState(), wsMinimized);
  Application->Restore();
  EXPECT_EQ(restored, 1);
  EXPECT_EQ(m->WindowState(), wsNormal);
}

// The program ends with its forms still open, as a program does when it returns from main: the application
// frees them then, and their handlers run. The first native window the desktop destroyed before (a pop-up
// menu's, a freed form's) must not make that end crash.
void EndWithFormsOpen(const std::function<void(TForm*)>& BeforeExit) {
  Application->Initialize();
  TForm* form = nullptr;
  Application->CreateForm(form);
  form->OnDestroy = [](TObject*) { std::fputs("main form freed\n", stderr); };
  form->SetBounds(40, 40, 320, 200);
  form->Show();
  testsupport::Pump();
  BeforeExit(form);
  testsupport::Pump();
  std::exit(0);
}

TEST(ApplicationExitDeathTest, FormsStillOpenAtExitAreFreedAfterOtherWindowsWent) {
  EXPECT_EXIT(EndWithFormsOpen([](TForm* Form) {
                auto* popup = new TPopupMenu(Form);
                auto* item = new TMenuItem(Form);
                item->SetCaption("&Undo");
                popup->Items()->Add(item);
                EXPECT_TRUE(testsupport::WhileMenuOpen([&] { popup->Popup(100, 100); }, [] {}));
              }),
              ::testing::ExitedWithCode(0), "main form freed");
  EXPECT_EXIT(EndWithFormsOpen([](TForm*) {
                TForm* other = nullptr;
                Application->CreateForm(other);
                other->Show();
                testsupport::Pump();
                delete other;
              }),
              ::testing::ExitedWithCode(0), "main form freed");
}

// A worker that ends the program from its Execute.
class TExitingWorker : public TThread {
 public:
  TExitingWorker() : TThread(true) {}
  ~TExitingWorker() override { Shutdown(); }

 protected:
  void Execute() override { std::exit(0); }
};

// exit() called on a worker while the loop runs, after the desktop destroyed a native window (a pop-up
// menu's): the forms still open are freed on the user-interface thread before the toolkit's statics go, and
// a form that frees the exiting worker on its way (as one that stops its search does) is not held up by it.
[[noreturn]] void ExitFromAWorker() {
  Application->Initialize();
  TForm* form = nullptr;
  Application->CreateForm(form);
  auto* popup = new TPopupMenu(form); // owned by the form
  auto* item = new TMenuItem(form);   // owned by the form
  item->SetCaption("&Undo");
  popup->Items()->Add(item);
  form->Show();
  testsupport::Pump();
  testsupport::WhileMenuOpen([&] { popup->Popup(100, 100); }, [] {});
  testsupport::Pump();
  auto* worker = new TExitingWorker; // freed by the form as it goes
  const std::thread::id ui = std::this_thread::get_id();
  form->OnDestroy = [worker, ui](TObject*) {
    delete worker;
    std::fputs(std::this_thread::get_id() == ui ? "main form freed on the user-interface thread\n"
                                                : "main form freed on another thread\n",
               stderr);
  };
  worker->Resume();
  Application->Run(); // ended by the worker's exit, never by the loop
  std::fputs("the loop returned\n", stderr);
  std::_Exit(1);
}

TEST(ApplicationExitDeathTest, ExitOnAWorkerFreesTheFormsOnTheUserInterfaceThreadFirst) {
  EXPECT_EXIT(ExitFromAWorker(), ::testing::ExitedWithCode(0),
              "main form freed on the user-interface thread");
}

} // namespace
