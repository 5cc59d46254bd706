// A window's life as its controls see it: the first size and place when it is made, the order in which a
// freed form's windows and controls go, the state a form keeps until it shows, and where the focus goes
// when the control that has it is hidden.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Edit.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/core/SysUtils.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> Log;

// Logs the life-cycle messages that reach Control's window procedure, by its name.
void Watch(TControl* Control) {
  Control->WindowProc = [Control](TMessage& M) {
    const std::string name = Control->Name().c_str();
    switch (M.Msg) {
    case WM_CREATE:
      Log.push_back(name + " create");
      break;
    case WM_SIZE:
      Log.push_back(name + " size " + std::to_string(LOWORD(M.LParam)) + "x" +
                    std::to_string(HIWORD(M.LParam)));
      break;
    case WM_MOVE:
      Log.push_back(name + " move " + std::to_string(static_cast<int16_t>(LOWORD(M.LParam))) + "," +
                    std::to_string(static_cast<int16_t>(HIWORD(M.LParam))));
      break;
    case WM_DESTROY:
      Log.push_back(name + " destroy");
      break;
    case WM_NCDESTROY:
      Log.push_back(name + " ncdestroy");
      break;
    default:
      break;
    }
    Control->WndProc(M);
  };
}

template <class T> T* Add(TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height) {
  auto* c = new T(Parent); // owned by its parent, which frees it too
  c->SetName(Name);
  c->SetBounds(Left, Top, Width, Height);
  c->SetParent(Parent);
  return c;
}

class WindowLifecycle : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Log.clear();
  }
};

TEST_F(WindowLifecycle, ANewWindowHearsItsFirstSizeAndPlaceAfterItsCreation) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(40, 30, 300, 200);
  auto* panel = Add<TPanel>(&form, "Panel", 10, 20, 120, 50);
  panel->SetBevelOuter(bvNone);
  int resized = 0;
  panel->OnResize = [&](TObject*) { ++resized; };
  Watch(panel);
  panel->HandleNeeded();
  EXPECT_EQ(Log, (std::vector<std::string>{"Panel create", "Panel size 120x50", "Panel move 10,20"}));
  EXPECT_EQ(resized, 1);
}

TEST_F(WindowLifecycle, AFreedFormsWindowGoesBeforeItsChildrensAndThoseBeforeTheControls) {
  auto* form = new TForm(nullptr); // freed below
  form->SetName("Form");
  form->SetBounds(40, 30, 300, 200);
  auto* panel = Add<TPanel>(form, "Panel", 0, 0, 200, 100);
  auto* edit = Add<TEdit>(panel, "Edit", 5, 5, 80, 20);
  form->Show();
  testsupport::Pump();
  for (TControl* c : std::vector<TControl*>{form, panel, edit}) Watch(c);
  // While the form hears WM_DESTROY its controls are all there, their windows too.
  bool childrenThere = false;
  auto proc = form->WindowProc;
  form->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_DESTROY)
      childrenThere = form->ControlCount() == 1 && panel->HandleAllocated() && IsWindow(edit->Handle());
    proc(M);
  };
  delete form;
  EXPECT_TRUE(childrenThere);
  EXPECT_EQ(Log, (std::vector<std::string>{"Form destroy", "Panel destroy", "Edit destroy", "Edit ncdestroy",
                                           "Panel ncdestroy", "Form ncdestroy"}));

  // A windowed control freed on its own goes the same way.
  TForm other(nullptr);
  other.SetBounds(40, 30, 300, 200);
  auto* box = Add<TPanel>(&other, "Box", 0, 0, 200, 100);
  auto* inner = Add<TEdit>(box, "Inner", 5, 5, 80, 20);
  other.Show();
  testsupport::Pump();
  Watch(box);
  Watch(inner);
  Log.clear();
  delete box;
  EXPECT_EQ(Log,
            (std::vector<std::string>{"Box destroy", "Inner destroy", "Inner ncdestroy", "Box ncdestroy"}));
  EXPECT_EQ(other.ControlCount(), 0);
}

TEST_F(WindowLifecycle, AFormMadeMaximizedStaysSoUntilItShows) {
  TForm form(nullptr);
  form.SetBorderStyle(bsSizeable);
  form.SetBounds(40, 30, 300, 200);
  form.SetWindowState(wsMaximized);
  form.HandleNeeded();
  // Sized while it waits: still to show maximized.
  form.SetBounds(50, 40, 310, 210);
  EXPECT_EQ(form.WindowState(), wsMaximized);
  form.Show();
  testsupport::Pump();
  EXPECT_TRUE(IsZoomed(form.Handle()));
  EXPECT_EQ(form.WindowState(), wsMaximized);
  ShowWindow(form.Handle(), SW_RESTORE);
  EXPECT_EQ(form.WindowState(), wsNormal);
  EXPECT_EQ(form.BoundsRect(), Bounds(50, 40, 310, 210));
}

TEST_F(WindowLifecycle, HidingTheFocusedControlFocusesTheFormAndArrowsReachItsKeyHandler) {
  TForm form(nullptr);
  form.SetBounds(40, 30, 300, 200);
  form.SetKeyPreview(true);
  std::vector<WORD> keys;
  form.OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { keys.push_back(Key); };
  auto* top = Add<TPanel>(&form, "Top", 0, 0, 300, 40);
  auto* player = Add<TPanel>(top, "Player", 100, 0, 150, 40);
  auto* next = Add<TButton>(player, "Next", 5, 5, 40, 25);
  Add<TPanel>(&form, "Board", 0, 40, 300, 160);
  form.Show();
  testsupport::Pump();
  next->SetFocus();
  ASSERT_EQ(GetFocus(), next->Handle());

  player->SetVisible(false);
  EXPECT_EQ(GetFocus(), form.Handle());
  EXPECT_EQ(form.ActiveControl(), nullptr);
  testsupport::PressKey(VK_LEFT);
  testsupport::PressKey(VK_DOWN);
  EXPECT_EQ(keys, (std::vector<WORD>{VK_LEFT, VK_DOWN}));
  EXPECT_EQ(GetFocus(), form.Handle()) << "the arrows moved the focus instead";

  // A control that has the focus and no use for arrows still passes it on by them.
  player->SetVisible(true);
  next->SetFocus();
  auto* prev = Add<TButton>(player, "Prev", 50, 5, 40, 25);
  keys.clear();
  testsupport::PressKey(VK_RIGHT);
  EXPECT_EQ(GetFocus(), prev->Handle());
  EXPECT_TRUE(keys.empty());
}

} // namespace
