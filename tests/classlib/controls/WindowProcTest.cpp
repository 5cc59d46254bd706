// Every window has its own procedure (GWL_WNDPROC): a window without a control answers messages through it,
// and any window, with a control or without, can be subclassed and given back its procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 300, 200);
    Form->Show();
    testsupport::Pump();
  }
  std::unique_ptr<TForm> Form;
};

TEST_F(WindowProcTest, AWindowWithoutAControlIsSubclassedAndGivenBackItsProcedure) {
  HWND w = CreateWindowHandle(nullptr, Form->Handle(), WS_CHILD | WS_VISIBLE, 0, Bounds(20, 30, 100, 60), "");
  FinishCreate(w);
  ShowWindow(w, SW_SHOWNA);
  testsupport::Pump();
  const WNDPROC old = static_cast<WNDPROC>(GetWindowLong(w, GWL_WNDPROC));
  ASSERT_NE(old, WNDPROC{});
  std::vector<std::string> seen;
  const WNDPROC mine = MakeWindowProc([&](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
    if (Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONUP)
      seen.push_back((Msg == WM_LBUTTONDOWN ? "down " : "up ") + std::to_string(GET_X_LPARAM(LParam)) + "," +
                     std::to_string(GET_Y_LPARAM(LParam)));
    if (Msg == WM_APP) return 42;
    return CallWindowProc(old, Wnd, Msg, WParam, LParam);
  });
  EXPECT_EQ(static_cast<WNDPROC>(SetWindowLong(w, GWL_WNDPROC, mine)), old);
  // Sent, posted and mouse messages all reach the new procedure; the rest is the old one's.
  EXPECT_EQ(SendMessage(w, WM_APP, 0, 0), 42);
  testsupport::Click(Form.get(), 20 + 5, 30 + 7);
  EXPECT_EQ(seen, (std::vector<std::string>{"down 5,7", "up 5,7"}));
  SetWindowText(w, "text");
  char text[8] = {};
  EXPECT_EQ(GetWindowText(w, text, sizeof(text)), 4);
  EXPECT_STREQ(text, "text");
  // Given back, the window answers as before.
  SetWindowLong(w, GWL_WNDPROC, old);
  EXPECT_EQ(SendMessage(w, WM_APP, 0, 0), 0);
  FreeObjectInstance(mine);
  DestroyWindow(w);
}

TEST_F(WindowProcTest, AControlsWindowIsSubclassedAboveTheControlsOwnHandling) {
  HWND h = Form->Handle();
  std::vector<UINT> seen;
  const WNDPROC old = static_cast<WNDPROC>(GetWindowLong(h, GWL_WNDPROC));
  const WNDPROC mine = MakeObjectInstance([&](TMessage& m) {
    seen.push_back(m.Msg);
    m.Result = CallWindowProc(old, h, m.Msg, m.WParam, m.LParam);
  });
  SetWindowLong(h, GWL_WNDPROC, mine);
  int resized = 0;
  Form->OnResize = [&](TObject*) { ++resized; };
  Form->SetBounds(40, 40, 320, 220);
  // The subclass saw the size message on its way, and the form still handled it.
  EXPECT_NE(std::find(seen.begin(), seen.end(), WM_SIZE), seen.end());
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(Form->Width(), 320);
  // Perform goes to the control's WindowProc directly, as it always did.
  seen.clear();
  Form->Perform(WM_APP, 0, 0);
  EXPECT_TRUE(seen.empty());
  SetWindowLong(h, GWL_WNDPROC, old);
  FreeObjectInstance(mine);
  seen.clear();
  SendMessage(h, WM_APP, 0, 0);
  EXPECT_TRUE(seen.empty());
}

} // namespace
