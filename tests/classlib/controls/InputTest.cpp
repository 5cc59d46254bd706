// Mouse and keyboard through the real message path: capture, entering and leaving, double clicks, focus and
// tab order, dialog keys, system keys and the application's message hook, short cuts of menus and actions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/backend/Backend.h"
#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Label.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/StdCtrls.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> Log;

class TProbe : public TCustomPanel {
 public:
  TProbe(TComponent* AOwner, std::string Name) : TCustomPanel(AOwner), Tag(std::move(Name)) {
    FTabStop = true;
  }
  std::string Tag;
  void MouseDown(TMouseButton, TShiftState Shift, int X, int Y) override {
    Log.push_back(Tag + " down " + std::to_string(X) + "," + std::to_string(Y) +
                  (Shift.Contains(ssDouble) ? " double" : ""));
  }
  void MouseMove(TShiftState, int X, int Y) override {
    Log.push_back(Tag + " move " + std::to_string(X) + "," + std::to_string(Y));
  }
  void MouseUp(TMouseButton, TShiftState, int X, int Y) override {
    Log.push_back(Tag + " up " + std::to_string(X) + "," + std::to_string(Y));
  }
  void Click() override { Log.push_back(Tag + " click"); }
  void DblClick() override { Log.push_back(Tag + " dblclick"); }
  void DoEnter() override { Log.push_back(Tag + " enter"); }
  void DoExit() override { Log.push_back(Tag + " exit"); }
  void CMMouseEnter(TMessage& Message) override {
    if (Message.LParam == 0) Log.push_back(Tag + " mouseenter");
    TCustomPanel::CMMouseEnter(Message);
  }
  void CMMouseLeave(TMessage& Message) override {
    if (Message.LParam == 0) Log.push_back(Tag + " mouseleave");
    TCustomPanel::CMMouseLeave(Message);
  }
};

class TGraphicProbe : public TLabel {
 public:
  explicit TGraphicProbe(TComponent* AOwner) : TLabel(AOwner) {}
  void CMMouseEnter(TMessage& Message) override {
    if (Message.LParam == 0) Log.push_back("label mouseenter");
    TLabel::CMMouseEnter(Message);
  }
  void MouseDown(TMouseButton, TShiftState, int X, int Y) override {
    Log.push_back("label down " + std::to_string(X) + "," + std::to_string(Y));
  }
};

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Log.clear();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 300, 200);
    A = new TProbe(Form.get(), "A"); // owned by the form
    A->SetParent(Form.get());
    A->SetBounds(10, 10, 100, 80);
    B = new TProbe(Form.get(), "B"); // owned by the form
    B->SetParent(Form.get());
    B->SetBounds(150, 10, 100, 80);
    Form->Show();
    testsupport::Pump();
    Log.clear();
  }
  std::unique_ptr<TForm> Form;
  TProbe* A = nullptr;
  TProbe* B = nullptr;
};

TEST_F(InputTest, PressCapturesTheMouseUntilRelease) {
  testsupport::MouseMove(A, 50, 40);
  testsupport::MouseDown(A, 50, 40);
  // Dragging over B still talks to A, in A's coordinates.
  testsupport::MouseMove(A, 170, 40);
  testsupport::MouseUp(A, 170, 40);
  const std::vector<std::string> expected{"A mouseenter", "A move 50,40",  "A down 50,40",
                                          "B mouseenter", "A move 170,40", "A up 170,40"};
  // The enter of B comes from where the cursor is, not from where the messages go.
  std::vector<std::string> got;
  for (const auto& s : Log)
    if (s.find("leave") == std::string::npos) got.push_back(s);
  EXPECT_EQ(got, expected);
  // Released outside A: no click.
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "A click"), 0);
  EXPECT_EQ(GetCapture(), nullptr);

  Log.clear();
  testsupport::MouseMove(B, 10, 10);
  EXPECT_EQ(Log.back(), "B move 10,10");
}

TEST_F(InputTest, ExplicitCaptureHoldsUntilReleased) {
  HWND a = A->Handle();
  SetCapture(a);
  EXPECT_EQ(GetCapture(), a);
  testsupport::MouseMove(B, 20, 20);
  EXPECT_EQ(Log.back(), "A move 160,20");
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  testsupport::MouseMove(B, 21, 20);
  EXPECT_EQ(Log.back(), "B move 21,20");
}

TEST_F(InputTest, EnterAndLeaveFollowTheDeepestControl) {
  auto* label = new TGraphicProbe(Form.get()); // owned by the form
  label->SetParent(A);
  label->SetCaption("label");
  label->SetBounds(5, 5, 40, 20);
  testsupport::Pump();
  Log.clear();
  testsupport::MouseMove(A, 60, 60);
  testsupport::MouseMove(A, 10, 10); // over the label
  testsupport::MouseMove(B, 10, 10);
  const std::vector<std::string> expected{"A mouseenter", "A move 60,60", "label mouseenter", "B mouseenter",
                                          "B move 10,10"};
  std::vector<std::string> got;
  for (const auto& s : Log)
    if (s.find("leave") == std::string::npos) got.push_back(s);
  EXPECT_EQ(got, expected);
  EXPECT_NE(std::find(Log.begin(), Log.end(), "A mouseleave"), Log.end());
  // The graphic control gets its mouse messages through its parent, in its own coordinates.
  testsupport::MouseDown(A, 12, 9);
  testsupport::MouseUp(A, 12, 9);
  EXPECT_NE(std::find(Log.begin(), Log.end(), "label down 7,4"), Log.end()) << ::testing::PrintToString(Log);
}

TEST_F(InputTest, DoubleClickNeedsTheStyle) {
  testsupport::DoubleClick(A, 30, 30);
  EXPECT_NE(std::find(Log.begin(), Log.end(), "A dblclick"), Log.end());
  EXPECT_NE(std::find(Log.begin(), Log.end(), "A down 30,30 double"), Log.end());
  Log.clear();
  B->ControlStyle.Exclude(csDoubleClicks);
  testsupport::DoubleClick(B, 30, 30);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "B click"), 2);
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "B dblclick"), 0);
}

TEST_F(InputTest, TabMovesTheFocusInTabOrderWithEnterAndExit) {
  A->SetFocus();
  testsupport::Pump();
  EXPECT_TRUE(A->Focused());
  EXPECT_EQ(Form->ActiveControl(), A);
  Log.clear();
  testsupport::PressKey(VK_TAB);
  EXPECT_TRUE(B->Focused());
  const std::vector<std::string> moves{"A exit", "B enter"};
  EXPECT_EQ(Log, moves);
  testsupport::PressKey(VK_TAB, backend::ModShift);
  EXPECT_TRUE(A->Focused());
  B->SetTabOrder(0);
  testsupport::PressKey(VK_TAB);
  EXPECT_TRUE(B->Focused()); // B now comes first, so after A the list wraps to B
  A->SetTabStop(false);
  testsupport::PressKey(VK_TAB);
  EXPECT_TRUE(B->Focused());
  // Hiding the focused control gives the focus back to the form.
  B->Hide();
  testsupport::Pump();
  EXPECT_FALSE(B->Focused());
}

TEST_F(InputTest, KeyPreviewLetsTheFormSeeKeysFirstAndConsumeThem) {
  std::vector<std::string> keys;
  B->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { keys.push_back("B " + std::to_string(Key)); };
  Form->OnKeyDown = [&](TObject*, WORD& Key, TShiftState Shift) {
    keys.push_back("form " + std::to_string(Key) + (Shift.Contains(ssCtrl) ? " ctrl" : ""));
    if (Key == 'W') Key = 0;
  };
  B->SetFocus();
  testsupport::PressKey('Q', 0, "q");
  Form->SetKeyPreview(true);
  testsupport::PressKey('Q', 0, "q");
  testsupport::PressKey('W', 0, "w");
  testsupport::PressKey('X', backend::ModControl);
  const std::vector<std::string> expected{"B 81", "form 81", "B 81", "form 87", "form 88 ctrl", "B 88"};
  EXPECT_EQ(keys, expected);
}

TEST_F(InputTest, EnterAndEscapeClickTheDefaultAndCancelButtons) {
  auto* ok = new TButton(Form.get()); // owned by the form
  ok->SetParent(Form.get());
  ok->SetBounds(10, 150, 75, 25);
  ok->SetDefault(true);
  auto* cancel = new TButton(Form.get()); // owned by the form
  cancel->SetParent(Form.get());
  cancel->SetBounds(100, 150, 75, 25);
  cancel->SetCancel(true);
  std::vector<std::string> clicks;
  ok->OnClick = [&](TObject*) { clicks.push_back("ok"); };
  cancel->OnClick = [&](TObject*) { clicks.push_back("cancel"); };
  A->SetFocus();
  testsupport::PressKey(VK_RETURN);
  testsupport::PressKey(VK_ESCAPE);
  // A focused button takes Enter for itself.
  cancel->SetFocus();
  testsupport::PressKey(VK_RETURN);
  testsupport::PressKey(VK_SPACE, 0, " ");
  const std::vector<std::string> expected{"ok", "cancel", "cancel", "cancel"};
  EXPECT_EQ(clicks, expected);
}

TEST_F(InputTest, AButtonsAcceleratorClicksItWithAltAndAloneWhereTheFocusTakesNoCharacters) {
  class TCharTaker : public TProbe {
   public:
    using TProbe::TProbe;
    void WMGetDlgCode(TMessage& Message) override { Message.Result = DLGC_WANTCHARS; }
  };
  auto* typing = new TCharTaker(Form.get(), "T"); // owned by the form
  typing->SetParent(Form.get());
  typing->SetBounds(10, 100, 40, 20);
  std::vector<std::string> clicks;
  auto button = [&](const char* Caption, int X) {
    auto* b = new TButton(Form.get()); // owned by the form
    b->SetParent(Form.get());
    b->SetBounds(X, 150, 80, 25);
    b->SetCaption(Caption);
    b->OnClick = [&clicks, b](TObject*) { clicks.push_back(b->Caption()); };
    return b;
  };
  button("&Select all", 10);
  button("Select &none", 100);
  button("&&Copy", 190);
  TButton* del = button("&Delete", 10);
  del->SetTop(120);
  del->SetEnabled(false);
  testsupport::SavePng(testsupport::Render(Form.get()), "button-accelerators.png");

  A->SetFocus();
  testsupport::PressKey('S', backend::ModAlt);
  testsupport::PressKey('N', 0, "n");
  testsupport::PressKey('C', backend::ModAlt); // "&&" is a plain ampersand
  testsupport::PressKey('D', backend::ModAlt); // disabled
  EXPECT_EQ(clicks, (std::vector<std::string>{"&Select all", "Select &none"}));
  // A control that takes characters keeps the plain letter; Alt still reaches the button.
  typing->SetFocus();
  testsupport::PressKey('S', 0, "s");
  EXPECT_EQ(clicks.size(), 2u);
  testsupport::PressKey('S', backend::ModAlt);
  EXPECT_EQ(clicks.size(), 3u);
}

TEST_F(InputTest, EveryApplicationHookSeesSystemKeys) {
  TApplicationEvents first(nullptr), second(nullptr);
  std::vector<std::string> seen;
  first.OnMessage = [&](tagMSG& Msg, bool& Handled) {
    if (Msg.message == WM_SYSCHAR) {
      seen.push_back("first " + std::to_string(Msg.wParam));
      Handled = true;
    }
  };
  second.OnMessage = [&](tagMSG& Msg, bool& Handled) {
    if (Msg.message == WM_SYSKEYDOWN) seen.push_back("second keydown " + std::to_string(Msg.wParam));
    if (Msg.message == WM_SYSCHAR) {
      seen.push_back("second " + std::to_string(Msg.wParam));
      Handled = true;
    }
  };
  A->SetFocus();
  testsupport::PressKey(VK_SPACE, backend::ModAlt); // Alt+Space
  testsupport::PressKey('F', backend::ModAlt);      // Alt+F
  const std::vector<std::string> expected{"second keydown 32", "second 32",  "first 32",
                                          "second keydown 70", "second 102", "first 102"};
  EXPECT_EQ(seen, expected);
}

TEST_F(InputTest, ShortCutsRunMenuItemsAndActions) {
  auto* menu = new TMainMenu(Form.get()); // owned by the form
  auto* game = new TMenuItem(Form.get()); // owned by the form
  game->SetCaption("&Game");
  menu->Items()->Add(game);
  auto* newGame = new TMenuItem(Form.get()); // owned by the form
  newGame->SetCaption("&New");
  newGame->SetShortCut(ShortCut('N', {ssCtrl}));
  game->Add(newGame);
  int news = 0;
  newGame->OnClick = [&](TObject*) { ++news; };
  Form->SetMenu(menu);

  auto* list = new TActionList(Form.get()); // owned by the form
  auto* search = new TAction(Form.get());   // owned by the form
  search->SetActionList(list);
  search->SetShortCut(ShortCut(VK_F5, {}));
  int searches = 0;
  search->OnExecute = [&](TObject*) { ++searches; };

  A->SetFocus();
  testsupport::PressKey('N', backend::ModControl);
  testsupport::PressKey(VK_F5);
  EXPECT_EQ(news, 1);
  EXPECT_EQ(searches, 1);
  game->SetEnabled(false);
  search->SetEnabled(false);
  testsupport::PressKey('N', backend::ModControl);
  testsupport::PressKey(VK_F5);
  EXPECT_EQ(news, 1);
  EXPECT_EQ(searches, 1);

  EXPECT_EQ(ShortCutToText(ShortCut('N', {ssCtrl})), "Ctrl+N");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F5, {ssShift})), "Shift+F5");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_ESCAPE, {})), "Esc");
  EXPECT_EQ(TextToShortCut("Ctrl+N"), ShortCut('N', {ssCtrl}));
}

TEST_F(InputTest, ActionsKeepTheirClientsUpToDate) {
  auto* list = new TActionList(Form.get()); // owned by the form
  auto* action = new TAction(Form.get());   // owned by the form
  action->SetActionList(list);
  action->SetCaption("Search");
  auto* item = new TMenuItem(Form.get()); // owned by the form
  item->SetAction(action);
  A->SetAction(action);
  EXPECT_EQ(item->Caption(), "Search");
  EXPECT_EQ(A->Caption(), "Search");
  action->SetEnabled(false);
  EXPECT_FALSE(item->Enabled());
  EXPECT_FALSE(A->Enabled());
  delete action; // clients forget it
  EXPECT_EQ(item->Action(), nullptr);
  EXPECT_EQ(A->Action(), nullptr);
}

TEST_F(InputTest, PopupMenuTracksKeysAndRunsTheChosenItem) {
  TPopupMenu popup(nullptr);
  std::vector<std::string> clicks;
  for (const char* caption : {"One", "-", "Two", "Three"}) {
    auto* i = new TMenuItem(&popup); // owned by the menu
    i->SetCaption(caption);
    i->OnClick = [&clicks, caption](TObject*) { clicks.push_back(caption); };
    popup.Items()->Add(i);
  }
  popup.Items()->Items(3)->SetEnabled(false);
  bool popped = false;
  popup.OnPopup = [&](TObject*) { popped = true; };
  // Down, Down skips the separator and lands on "Two".
  for (WORD k : {VK_DOWN, VK_DOWN, VK_RETURN}) {
    backend::KeyEvent e;
    e.VirtualKey = k;
    InjectKey(e);
  }
  popup.Popup(120, 120);
  EXPECT_TRUE(popped);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], "Two");
  // Escape dismisses it without a click; a disabled item never runs.
  backend::KeyEvent esc;
  esc.VirtualKey = VK_ESCAPE;
  InjectKey(esc);
  popup.Popup(120, 120);
  EXPECT_EQ(clicks.size(), 1u);
  popup.Items()->Items(3)->Click();
  EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(InputTest, RightClickShowsTheControlsPopupMenu) {
  TPopupMenu popup(nullptr);
  auto* i = new TMenuItem(&popup); // owned by the menu
  i->SetCaption("Only");
  popup.Items()->Add(i);
  int runs = 0;
  i->OnClick = [&](TObject*) { ++runs; };
  A->SetPopupMenu(&popup);
  // The keys come once the menu is up.
  popup.OnPopup = [](TObject*) {
    backend::KeyEvent e;
    e.VirtualKey = VK_DOWN;
    InjectKey(e);
    e.VirtualKey = VK_RETURN;
    InjectKey(e);
  };
  testsupport::Click(A, 20, 20, mbRight);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(popup.PopupComponent(), A);
}

} // namespace
