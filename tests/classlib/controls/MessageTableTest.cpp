// The open message set: a class handles messages its ancestors never heard of through its message table,
// which Dispatch searches up the class chain before DefaultHandler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/CustomControl.h"
#include "classlib/controls/Form.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> Log;

// Handles scrolling and answers with a data link; no base class knows these messages.
class TScrollTarget : public TCustomControl {
  QUENDREL_CLASS(TScrollTarget, TCustomControl)
 public:
  explicit TScrollTarget(TComponent* AOwner) : TCustomControl(AOwner) {}
  void WMHScroll(TMessage& Message) {
    const TWMHScroll m(Message);
    Log.push_back("target hscroll " + std::to_string(m.ScrollCode) + " " + std::to_string(m.Pos));
    Message.Result = 7;
  }
  void CMGetDataLink(TMessage& Message) { Message.Result = reinterpret_cast<LRESULT>(&Link); }
  int Link = 0;
};

// Inherits the table and adds nothing.
class TPlainScrollTarget : public TScrollTarget {
  QUENDREL_CLASS(TPlainScrollTarget, TScrollTarget)
 public:
  explicit TPlainScrollTarget(TComponent* AOwner) : TScrollTarget(AOwner) {}
};

// Replaces one handler, calls the inherited one, and handles a message of its own.
class TLoggingScrollTarget : public TPlainScrollTarget {
  QUENDREL_CLASS(TLoggingScrollTarget, TPlainScrollTarget)
 public:
  explicit TLoggingScrollTarget(TComponent* AOwner) : TPlainScrollTarget(AOwner) {}
  void WMHScroll(TMessage& Message) {
    Log.push_back("logger hscroll");
    TScrollTarget::WMHScroll(Message);
  }
  void WMCut(TMessage& Message) {
    Log.push_back("logger cut");
    Message.Result = 1;
  }
};

} // namespace

QUENDREL_REGISTER_CLASS(TScrollTarget, TCustomControl) {
  c.Message(WM_HSCROLL, &TScrollTarget::WMHScroll);
  c.Message(CM_GETDATALINK, &TScrollTarget::CMGetDataLink);
}
QUENDREL_REGISTER_CLASS(TPlainScrollTarget, TScrollTarget) {}
QUENDREL_REGISTER_CLASS(TLoggingScrollTarget, TPlainScrollTarget) {
  c.Message(WM_HSCROLL, &TLoggingScrollTarget::WMHScroll);
  c.Message(WM_CUT, &TLoggingScrollTarget::WMCut);
}

namespace {

class MessageTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Log.clear();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(40, 40, 300, 200);
  }
  template <class T> T* Add() {
    auto* c = new T(Form.get()); // owned by the form
    c->SetParent(Form.get());
    c->SetBounds(10, 10, 100, 50);
    return c;
  }
  std::unique_ptr<TForm> Form;
};

TEST_F(MessageTableTest, AClassHandlesAMessageOnlyItsTableNames) {
  TScrollTarget* target = Add<TScrollTarget>();
  Form->Show();
  testsupport::Pump();
  // Through the window, as the platform would send it, and through Perform.
  EXPECT_EQ(SendMessage(target->Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 42), 0), 7);
  EXPECT_EQ(target->Perform(WM_HSCROLL, SB_LINEDOWN, 0), 7);
  EXPECT_EQ(target->Perform(CM_GETDATALINK, 0, 0), reinterpret_cast<LRESULT>(&target->Link));
  EXPECT_EQ(Log, (std::vector<std::string>{"target hscroll 4 42", "target hscroll 1 0"}));
  // A posted one takes the loop's road to the same handler.
  Log.clear();
  PostMessage(target->Handle(), WM_HSCROLL, SB_PAGEUP, 0);
  testsupport::Pump();
  EXPECT_EQ(Log, (std::vector<std::string>{"target hscroll 2 0"}));
}

TEST_F(MessageTableTest, TablesAreInheritedReplacedAndOtherwiseLeaveTheDefault) {
  TPlainScrollTarget* plain = Add<TPlainScrollTarget>();
  TLoggingScrollTarget* logger = Add<TLoggingScrollTarget>();
  TCustomControl* other = Add<TCustomControl>();
  EXPECT_EQ(plain->Perform(WM_HSCROLL, SB_TOP, 0), 7);
  EXPECT_EQ(logger->Perform(WM_HSCROLL, SB_BOTTOM, 0), 7);
  EXPECT_EQ(logger->Perform(WM_CUT, 0, 0), 1);
  // The base class never heard of WM_CUT, and a control without the table of neither message.
  EXPECT_EQ(plain->Perform(WM_CUT, 0, 0), 0);
  EXPECT_EQ(other->Perform(WM_HSCROLL, SB_TOP, 0), 0);
  EXPECT_EQ(Log, (std::vector<std::string>{"target hscroll 6 0", "logger hscroll", "target hscroll 7 0",
                                           "logger cut"}));
  // The handlers every control has still reach their virtual overrides through TControl's table.
  EXPECT_EQ(other->Perform(WM_GETDLGCODE, 0, 0), 0);
  other->SetCaption("abc");
  char text[8] = {};
  EXPECT_EQ(other->Perform(WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text)), 3);
  EXPECT_STREQ(text, "abc");
}

} // namespace
