// Forms whose menus, actions and timers come from the form stream; menu trees and sub-menus; and controls
// and windows that go away while input or messages still point at them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/Panel.h"
#include "classlib/controls/Timer.h"
#include "classlib/core/Filer.h"
#include "classlib/core/Resources.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> Log;

class TMenuForm : public TForm {
  QUENDREL_CLASS(TMenuForm, TForm)
 public:
  explicit TMenuForm(TComponent* AOwner, bool FromResource = true) : TForm(AOwner) {
    if (FromResource) ReadFormResource();
  }
  void NewClick(TObject*) { Log.push_back("new"); }
  void SizeClick(TObject* Sender) { Log.push_back("size " + static_cast<TMenuItem*>(Sender)->Caption()); }
  void SearchExecute(TObject*) { Log.push_back("search"); }
  void ClockTimer(TObject*) { Log.push_back("tick"); }
};

QUENDREL_REGISTER_CLASS(TMenuForm, TForm) {
  c.Method("NewClick", &TMenuForm::NewClick);
  c.Method("SizeClick", &TMenuForm::SizeClick);
  c.Method("SearchExecute", &TMenuForm::SearchExecute);
  c.Method("ClockTimer", &TMenuForm::ClockTimer);
}

const char MenuFormText[] = R"(object MenuForm: TMenuForm
  Left = 10
  Top = 10
  Width = 300
  Height = 200
  Menu = MainMenu
  object MainMenu: TMainMenu
    object mGame: TMenuItem
      Caption = '&Game'
      object mNew: TMenuItem
        Caption = '&New'
        ShortCut = 16462
        OnClick = NewClick
      end
      object mSize: TMenuItem
        Caption = 'Size'
        object m3x3: TMenuItem
          Caption = '3x3'
          RadioItem = True
          OnClick = SizeClick
        end
        object m4x4: TMenuItem
          Caption = '4x4'
          RadioItem = True
          OnClick = SizeClick
        end
      end
    end
  end
  object ActionList: TActionList
    object ActionSearch: TAction
      Caption = 'Search'
      ShortCut = 116
      OnExecute = SearchExecute
    end
  end
  object Clock: TTimer
    Interval = 1000
    OnTimer = ClockTimer
  end
end
)";

const bool Registered = [] {
  RegisterResource("TMENUFORM", RT_RCDATA, reinterpret_cast<const uint8_t*>(MenuFormText),
                   sizeof(MenuFormText) - 1);
  return true;
}();

class StreamsAndMenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Log.clear();
  }
};

TEST_F(StreamsAndMenusTest, MenusActionsAndTimersComeFromTheStream) {
  testsupport::ManualClock clock;
  TMenuForm form(nullptr);
  auto* menu = dynamic_cast<TMainMenu*>(form.FindComponent("MainMenu"));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(form.Menu(), menu);
  ASSERT_EQ(menu->Items()->Count(), 1);
  TMenuItem* game = menu->Items()->Items(0);
  EXPECT_EQ(game->Caption(), "&Game");
  ASSERT_EQ(game->Count(), 2);
  EXPECT_EQ(game->Find("new")->ShortCut(), ShortCut('N', {ssCtrl}));
  EXPECT_EQ(game->Items(1)->Count(), 2);
  EXPECT_EQ(game->Items(1)->Items(1)->GetParentMenu(), menu);
  auto* list = dynamic_cast<TActionList*>(form.FindComponent("ActionList"));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->ActionCount(), 1);
  EXPECT_EQ(list->Actions(0)->Name(), "ActionSearch");

  form.Show();
  testsupport::Pump();
  testsupport::PressKey('N', backend::ModControl);
  testsupport::PressKey(VK_F5);
  clock.Advance(2000);
  const std::vector<std::string> expected{"new", "search", "tick", "tick"};
  EXPECT_EQ(Log, expected);
}

// A written form reads back to the same tree, the components that are not controls included, and writing
// it again gives the same text.
TEST_F(StreamsAndMenusTest, AWrittenFormReadsBackAndWritesTheSameText) {
  TMenuForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetName("Panel");
  panel->SetParent(&form);
  auto* hinted = new TPanel(&form);
  hinted->SetName("Hinted");
  hinted->SetParent(panel);
  hinted->SetShowHint(true);
  const AnsiString text = WriteComponentText(&form);
  for (const char* part :
       {"object MainMenu: TMainMenu", "object m4x4: TMenuItem", "object ActionList: TActionList",
        "object ActionSearch: TAction", "object Clock: TTimer", "object Hinted: TPanel"})
    EXPECT_NE(text.find(part), AnsiString::npos) << part << "\n" << text;

  TMenuForm copy(nullptr, false);
  ReadComponentText(text, &copy);
  EXPECT_EQ(copy.ComponentCount(), form.ComponentCount());
  EXPECT_EQ(copy.Menu(), copy.FindComponent("MainMenu"));
  auto* copied = dynamic_cast<TPanel*>(copy.FindComponent("Panel"));
  ASSERT_NE(copied, nullptr);
  EXPECT_TRUE(copied->ParentShowHint());
  EXPECT_TRUE(copied->ParentFont());
  auto* copiedHinted = dynamic_cast<TPanel*>(copy.FindComponent("Hinted"));
  ASSERT_NE(copiedHinted, nullptr);
  EXPECT_TRUE(copiedHinted->ShowHint());
  EXPECT_FALSE(copiedHinted->ParentShowHint());
  EXPECT_EQ(WriteComponentText(&copy), text);
}

// A direction taken from the parent is not stored, so it stays the parent's after reading; one of the
// control's own is stored and kept. The parent's direction reaches children already placed and children as
// they are read.
TEST_F(StreamsAndMenusTest, RightToLeftTakenFromTheParentRoundTrips) {
  TForm form(nullptr);
  form.SetName("Form1");
  auto* outer = new TPanel(&form);
  outer->SetName("Outer");
  outer->SetParent(&form);
  auto* inner = new TPanel(&form);
  inner->SetName("Inner");
  inner->SetParent(outer);
  auto* own = new TPanel(&form);
  own->SetName("Own");
  own->SetParent(outer);
  own->SetBiDiMode(bdLeftToRight);
  form.SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(outer->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(inner->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(own->BiDiMode(), bdLeftToRight);

  const AnsiString text = WriteComponentText(&form);
  EXPECT_EQ(text.find("BiDiMode = bdRightToLeft"), text.rfind("BiDiMode = bdRightToLeft")) << text;
  TForm copy(nullptr);
  ReadComponentText(text, &copy);
  auto* copiedInner = dynamic_cast<TControl*>(copy.FindComponent("Inner"));
  auto* copiedOwn = dynamic_cast<TControl*>(copy.FindComponent("Own"));
  ASSERT_NE(copiedInner, nullptr);
  ASSERT_NE(copiedOwn, nullptr);
  EXPECT_EQ(copiedInner->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(copiedInner->ParentBiDiMode());
  EXPECT_EQ(copiedOwn->BiDiMode(), bdLeftToRight);
  EXPECT_FALSE(copiedOwn->ParentBiDiMode());
  EXPECT_EQ(WriteComponentText(&copy), text);

  // Still tied to the form: a change reaches the children that follow it, not the one with its own.
  copy.SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(copiedInner->BiDiMode(), bdLeftToRight);
  copy.SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_EQ(copiedInner->BiDiMode(), bdRightToLeftReadingOnly);
  EXPECT_EQ(copiedOwn->BiDiMode(), bdLeftToRight);
}

TEST_F(StreamsAndMenusTest, RadioItemsCheckOneOfTheirGroup) {
  TMenuForm form(nullptr);
  TMenuItem* size = dynamic_cast<TMenuItem*>(form.FindComponent("mSize"));
  ASSERT_NE(size, nullptr);
  size->Items(0)->SetChecked(true);
  size->Items(1)->SetChecked(true);
  EXPECT_FALSE(size->Items(0)->Checked());
  EXPECT_TRUE(size->Items(1)->Checked());
  // Menu changes reach the menu's OnChange, which frames use to rebuild their bars.
  int changes = 0;
  form.Menu()->OnChange = [&](TObject*, TMenuItem*, bool) { ++changes; };
  size->Items(0)->SetCaption("3 x 3");
  size->Items(0)->SetEnabled(false);
  EXPECT_EQ(changes, 2);
  // Deleting an item frees it and its sub-items.
  TMenuItem* game = size->Parent();
  const int owned = form.ComponentCount();
  game->Delete(game->IndexOf(size));
  EXPECT_EQ(form.ComponentCount(), owned - 3);
  EXPECT_EQ(game->Count(), 1);
  form.Menu()->OnChange = nullptr;
}

TEST_F(StreamsAndMenusTest, SubMenusOpenWithRightAndChooseWithEnter) {
  TMenuForm form(nullptr);
  form.Show();
  testsupport::Pump();
  TMenuItem* game = dynamic_cast<TMenuItem*>(form.FindComponent("mGame"));
  // Down to "Size", Right opens it on its first item, Down to "4x4", Enter.
  for (WORD k : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}) {
    backend::KeyEvent e;
    e.VirtualKey = k;
    InjectKey(e);
  }
  TMenuItem* chosen = TrackMenuItem(game, 20, 20, form.Menu());
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->Caption(), "4x4");
  EXPECT_EQ(Log, std::vector<std::string>{"size 4x4"});
  // Escape closes the sub-menu first, then the menu.
  for (WORD k : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_ESCAPE}) {
    backend::KeyEvent e;
    e.VirtualKey = k;
    InjectKey(e);
  }
  EXPECT_EQ(TrackMenuItem(game, 20, 20, form.Menu()), nullptr);
}

TEST_F(StreamsAndMenusTest, MouseChoosesAnItemAndAClickOutsideDismisses) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 300);
  form.Show();
  testsupport::Pump();
  TPopupMenu popup(nullptr);
  for (const char* caption : {"Alpha", "Beta"}) {
    auto* i = new TMenuItem(&popup); // owned by the menu
    i->SetCaption(caption);
    i->OnClick = [caption](TObject*) { Log.push_back(caption); };
    popup.Items()->Add(i);
  }
  // Once the menu is up, move onto the second item and click it: items start 3 pixels down, about 19 high.
  popup.OnPopup = [&](TObject*) {
    backend::MouseEvent e;
    e.Screen = {150 + 20, 100 + 3 + 19 + 5};
    e.Kind = backend::MouseEvent::Move;
    InjectMouse(form.Handle(), e);
    e.Kind = backend::MouseEvent::Press;
    e.Button = backend::LeftButton;
    e.Buttons = 1;
    InjectMouse(form.Handle(), e);
    e.Kind = backend::MouseEvent::Release;
    e.Buttons = 0;
    InjectMouse(form.Handle(), e);
  };
  popup.Popup(150, 100);
  EXPECT_EQ(Log, std::vector<std::string>{"Beta"});
  popup.OnPopup = [&](TObject*) {
    backend::MouseEvent e;
    e.Screen = {5, 280};
    e.Kind = backend::MouseEvent::Press;
    e.Button = backend::LeftButton;
    e.Buttons = 1;
    InjectMouse(form.Handle(), e);
  };
  popup.Popup(150, 100);
  EXPECT_EQ(Log.size(), 1u);
}

TEST_F(StreamsAndMenusTest, ControlsThatGoAwayLeaveNoDanglingInput) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 200, 200);
  auto* panel = new TPanel(&form); // owned by the form, deleted below
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 100, 100);
  form.Show();
  testsupport::Pump();
  // Under the cursor and holding the mouse when it goes.
  testsupport::MouseMove(panel, 10, 10);
  testsupport::MouseDown(panel, 10, 10);
  HWND h = panel->Handle();
  delete panel; // the form's child, freed while pressed
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(GetCapture(), nullptr);
  testsupport::MouseMove(&form, 20, 20);
  testsupport::MouseUp(&form, 20, 20);
  // A message posted to a window that is gone is dropped.
  EXPECT_EQ(PostMessage(h, WM_USER, 0, 0), 0);
  // A form may free itself from its own click handler.
  auto* doomed = new TForm(nullptr); // freed through Release
  doomed->SetBorderStyle(bsNone);
  doomed->SetBounds(0, 0, 50, 50);
  bool destroyed = false;
  doomed->OnDestroy = [&](TObject*) { destroyed = true; };
  doomed->OnClick = [doomed](TObject*) { doomed->Release(); };
  doomed->Show();
  testsupport::Click(doomed, 5, 5);
  EXPECT_TRUE(destroyed);
}

TEST_F(StreamsAndMenusTest, KilledTimerDropsItsQueuedTick) {
  testsupport::ManualClock clock;
  int ticks = 0;
  SetTimer(nullptr, 77, 100, [&] { ++ticks; });
  clock.Advance(100);
  EXPECT_EQ(ticks, 1);
  // Due but not yet handled: killing it drops the tick.
  SetTickCountSource([&] { return clock.Now() + 150; });
  MSG m;
  PeekMessage(m, nullptr, 0, 0, PM_NOREMOVE);
  KillTimer(nullptr, 77);
  testsupport::Pump();
  EXPECT_EQ(ticks, 1);
}

} // namespace
