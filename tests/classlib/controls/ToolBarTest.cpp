// Tool bars: button order and layout, custom drawing with the button states, clicks, drop-down buttons, and
// menu buttons that drop their menus down and move the open menu from button to button as a menu bar does;
// the hot keys and hints of the items of a dropped menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Menus.h"
#include "classlib/controls/ToolBar.h"
#include "tests/support/TestSupport.h"

namespace {

// A form with a menu bar made of a tool bar: one button per top-level item, made last to first.
struct MenuBarForm : ::testing::Test {
  MenuBarForm() : form(nullptr), menu(&form) {
    form.SetBounds(0, 0, 400, 300);
    for (const char* top : {"&Game", "&Options", "&Help"}) {
      auto* item = new TMenuItem(&form); // owned by the form
      item->SetCaption(top);
      menu.Items()->Add(item);
      for (int i = 0; i < 3; ++i) {
        auto* sub = new TMenuItem(&form); // owned by the form
        sub->SetCaption(std::string(top + 1) + " " + std::to_string(i));
        sub->OnClick = [this, sub](TObject*) { log.push_back(sub->Caption()); };
        item->Add(sub);
      }
    }
    bar = new TToolBar(&form); // owned by the form
    bar->SetParent(&form);
    bar->SetFlat(true);
    bar->SetShowCaptions(true);
    bar->SetEdgeBorders({});
    for (int i = menu.Items()->Count() - 1; i >= 0; --i) {
      auto* b = new TToolButton(&form); // owned by the form
      b->SetParent(bar);
      b->SetGrouped(true);
      b->SetAutoSize(true);
      b->SetMenuItem(menu.Items()->Items(i));
    }
    bar->SetAutoSize(true);
    form.Show();
    testsupport::Pump();
  }
  TPoint ButtonCentre(int Index) {
    TToolButton* b = bar->Buttons(Index);
    return bar->ClientToScreen({b->Left() + b->Width() / 2, b->Top() + b->Height() / 2});
  }
  TForm form;
  TMainMenu menu;
  TToolBar* bar;
  std::vector<std::string> log;
};

} // namespace

TEST_F(MenuBarForm, ButtonsStandInMenuOrderAndTakeTheirItemsCaptions) {
  ASSERT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(bar->Buttons(0)->Caption(), "&Game");
  EXPECT_EQ(bar->Buttons(2)->Caption(), "&Help");
  EXPECT_LT(bar->Buttons(0)->Left(), bar->Buttons(1)->Left());
  EXPECT_EQ(bar->Buttons(1)->Left(), bar->Buttons(0)->Left() + bar->Buttons(0)->Width());
  EXPECT_EQ(bar->Height(), bar->ButtonHeight());
  // A caption button is as wide as its caption needs, whatever ButtonWidth says.
  EXPECT_GT(bar->Buttons(1)->Width(), bar->Buttons(2)->Width());
}

TEST_F(MenuBarForm, CustomDrawSeesTheBarThenEachButtonWithItsState) {
  std::vector<std::string> seen;
  bar->OnCustomDraw = [&](TToolBar*, const TRect& r, bool&) {
    seen.push_back("bar " + std::to_string(r.Width()));
  };
  bar->OnCustomDrawButton = [&](TToolBar*, TToolButton* b, TCustomDrawState s, bool& d) {
    seen.push_back(b->Caption() + (s.Contains(cdsHot) ? " hot" : "") +
                   (s.Contains(cdsDisabled) ? " off" : ""));
    d = false;
  };
  menu.Items()->Items(2)->SetEnabled(false);
  bar->Buttons(2)->SetEnabled(false);
  testsupport::MouseMove(bar->Buttons(1), 3, 3);
  seen.clear();
  bar->Repaint();
  EXPECT_EQ(seen, (std::vector<std::string>{"bar " + std::to_string(bar->ClientWidth()), "&Game",
                                            "&Options hot", "&Help off"}));
}

namespace {
// A bar that, as a skinned menu bar does, takes over each pop-up menu it makes to drop a button's menu down.
class TWatchingBar : public TToolBar {
 public:
  using TToolBar::TToolBar;
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TToolBar::Notification(AComponent, Operation);
    if (auto* popup = dynamic_cast<TPopupMenu*>(AComponent); popup && Operation == opInsert)
      popup->OnPopup = [this](TObject*) { ++Popups; };
  }
  int Popups = 0;
};
} // namespace

TEST(ToolBar, TheBarHearsOfThePopupMenuItDropsDown) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  TMainMenu menu(&form);
  auto* top = new TMenuItem(&form); // owned by the form
  top->SetCaption("&File");
  menu.Items()->Add(top);
  auto* sub = new TMenuItem(&form); // owned by the form
  sub->SetCaption("&Open");
  top->Add(sub);
  auto* bar = new TWatchingBar(&form); // owned by the form
  bar->SetParent(&form);
  auto* b = new TToolButton(&form); // owned by the form
  b->SetParent(bar);
  b->SetMenuItem(top);
  form.Show();
  testsupport::Pump();
  testsupport::QueueKey(VK_ESCAPE);
  bar->TrackMenu(b);
  EXPECT_EQ(bar->Popups, 1);
  EXPECT_EQ(bar->ComponentCount(), 0); // the drop-down menu is gone again
}

TEST_F(MenuBarForm, KeysMoveTheOpenMenuFromButtonToButton) {
  // Game drops down; Right moves to Options, Right again to Help, Left back to Options; Down, Enter.
  for (WORD k : {VK_RIGHT, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN}) testsupport::QueueKey(k);
  bar->TrackMenu(bar->Buttons(0));
  EXPECT_EQ(log, std::vector<std::string>{"Options 0"});
  EXPECT_EQ(bar->MenuButton(), nullptr);
}

TEST_F(MenuBarForm, TheMouseMovesTheOpenMenuToAnotherButtonAndAPressOutsideCloses) {
  std::vector<std::string> opened;
  int idles = 0;
  OnMenuLoopIdle = [&] {
    ++idles;
    opened.push_back(bar->MenuButton() ? bar->MenuButton()->Caption() : "none");
    if (idles == 1) testsupport::QueueMouseMove(&form, ButtonCentre(2));
    if (idles == 2) {
      testsupport::QueueMouse(&form, {380, 280}, mbLeft, true);
      testsupport::QueueMouse(&form, {380, 280}, mbLeft, false);
    }
  };
  testsupport::MouseMove(bar->Buttons(0), 5, 5);
  testsupport::MouseDown(bar->Buttons(0), 5, 5); // drops Game down and tracks until the press outside
  OnMenuLoopIdle = nullptr;
  testsupport::MouseUp(bar->Buttons(0), 5, 5);
  EXPECT_EQ(opened, (std::vector<std::string>{"&Game", "&Help"}));
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(MenuPopupWindows().empty());
}

TEST(ToolBar, AClickRunsTheButtonOnceAndCheckButtonsOfAGroupTakeTurns) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* bar = new TToolBar(&form); // owned by the form
  bar->SetParent(&form);
  std::vector<TToolButton*> buttons;
  int clicks = 0;
  for (int i = 0; i < 3; ++i) {
    auto* b = new TToolButton(&form); // owned by the form
    b->SetLeft(100 * i);              // placed after the others, so they keep the order of making
    b->SetParent(bar);
    b->SetStyle(tbsCheck);
    b->SetGrouped(true);
    b->OnClick = [&clicks](TObject*) { ++clicks; };
    buttons.push_back(b);
  }
  form.Show();
  testsupport::Pump();
  EXPECT_EQ(bar->Buttons(0), buttons[0]);
  testsupport::Click(buttons[1], 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(buttons[1]->Down());
  testsupport::Click(buttons[2], 5, 5);
  EXPECT_FALSE(buttons[1]->Down());
  EXPECT_TRUE(buttons[2]->Down());
  // Pressed on one button and released on another: nothing runs.
  testsupport::MouseDown(buttons[0], 5, 5);
  testsupport::MouseUp(buttons[0], 100 + 5, 5);
  EXPECT_EQ(clicks, 2);
}

TEST_F(MenuBarForm, MnemonicsChooseOpenOrStepBetweenItems) {
  TPopupMenu popup(&form);
  std::vector<std::string> runs;
  auto add = [&](TMenuItem* parent, const char* caption) {
    auto* i = new TMenuItem(&form); // owned by the form
    i->SetCaption(caption);
    i->OnClick = [&runs, caption](TObject*) { runs.push_back(caption); };
    parent->Add(i);
    return i;
  };
  add(popup.Items(), "&Alpha");
  add(popup.Items(), "&Beta");
  add(popup.Items(), "&Bravo");
  TMenuItem* more = add(popup.Items(), "&More");
  add(more, "&Inner");
  add(more, "&Other");
  // One item with the letter runs at once.
  testsupport::QueueKey('A');
  popup.Popup(50, 50);
  EXPECT_EQ(runs, std::vector<std::string>{"&Alpha"});
  // Two items share B: the letter steps between them and Enter runs the one selected.
  for (WORD k : {WORD('B'), WORD('B'), WORD(VK_RETURN)}) testsupport::QueueKey(k);
  popup.Popup(50, 50);
  EXPECT_EQ(runs.back(), "&Bravo");
  // A letter of an item with a sub-menu opens it; the sub-menu's own letters work there.
  for (WORD k : {WORD('M'), WORD('O')}) testsupport::QueueKey(k);
  popup.Popup(50, 50);
  EXPECT_EQ(runs.back(), "&Other");
  // "&More" heard of its click as its sub-menu opened.
  EXPECT_EQ(runs, (std::vector<std::string>{"&Alpha", "&Bravo", "&More", "&Other"}));
}

TEST_F(MenuBarForm, AltAndAButtonsLetterDropsItsMenuDown) {
  // Alt+O reaches the bar as the form's accelerator and drops "Options" down; Enter runs its first item.
  form.SetFocus();
  testsupport::QueueKey('O', backend::ModAlt);
  testsupport::QueueKey(VK_DOWN);
  testsupport::QueueKey(VK_RETURN);
  testsupport::Pump();
  EXPECT_EQ(log, std::vector<std::string>{"Options 0"});
}

TEST(ToolBar, ADropDownButtonDropsItsMenuFromItsArrowOnlyAndIsClickedElsewhere) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  TPopupMenu menu(&form);
  auto* item = new TMenuItem(&form); // owned by the form
  item->SetCaption("&One");
  menu.Items()->Add(item);
  int popups = 0, clicks = 0;
  menu.OnPopup = [&popups](TObject*) { ++popups; };
  auto* bar = new TToolBar(&form); // owned by the form
  bar->SetParent(&form);
  auto* b = new TToolButton(&form); // owned by the form
  b->SetParent(bar);
  b->SetStyle(tbsDropDown);
  b->SetDropdownMenu(&menu);
  b->OnClick = [&clicks](TObject*) { ++clicks; };
  form.Show();
  testsupport::Pump();
  ASSERT_EQ(b->Width(), bar->ButtonWidth() + DropDownArrowWidth);
  OnMenuLoopIdle = [] { CancelMenuTracking(); };
  const int arrow = b->Width() - DropDownArrowWidth;
  // Left of the arrow part: an ordinary press, drawn pressed, and a click on release.
  testsupport::MouseMove(b, arrow - 1, 5);
  testsupport::MouseDown(b, arrow - 1, 5);
  EXPECT_TRUE(bar->ButtonState(b).Contains(cdsSelected));
  testsupport::MouseUp(b, arrow - 1, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(popups, 0);
  // On the arrow part: the menu drops down and no click follows the release.
  testsupport::MouseDown(b, arrow, 5);
  testsupport::MouseUp(b, arrow, 5);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(clicks, 1);
  // A plain button with a menu drops it wherever it is pressed.
  b->SetStyle(tbsButton);
  testsupport::MouseDown(b, 3, 5);
  testsupport::MouseUp(b, 3, 5);
  OnMenuLoopIdle = nullptr;
  EXPECT_EQ(popups, 2);
  EXPECT_EQ(clicks, 1);
}

TEST_F(MenuBarForm, TheSelectedItemsLongHintIsTheApplicationsWhileTheMenuIsDown) {
  menu.Items()->Items(0)->Items(1)->SetHint("Game one|Starts game one");
  std::vector<std::string> hints;
  Application->OnHint = [&hints](TObject*) { hints.push_back(Application->Hint()); };
  for (WORD k : {VK_DOWN, VK_DOWN, VK_DOWN, VK_ESCAPE}) testsupport::QueueKey(k);
  bar->TrackMenu(bar->Buttons(0));
  Application->OnHint = nullptr;
  EXPECT_EQ(hints, (std::vector<std::string>{"Starts game one", ""}));
  EXPECT_EQ(Application->Hint(), "");
}

TEST_F(MenuBarForm, AutomaticHotkeysGoToItemsWithoutOneOnlyWhileTheyShow) {
  TPopupMenu popup(&form);
  popup.SetOwnerDraw(true);
  std::vector<std::string> runs, drawn;
  for (const char* caption : {"Open", "Save", "Search", "&Exit"}) {
    auto* i = new TMenuItem(&form); // owned by the form
    i->SetCaption(caption);
    i->OnClick = [&runs](TObject* Sender) { runs.push_back(static_cast<TMenuItem*>(Sender)->Caption()); };
    i->OnDrawItem = [&drawn](TObject* Sender, TCanvas*, const TRect&, bool) {
      drawn.push_back(static_cast<TMenuItem*>(Sender)->Caption());
    };
    popup.Items()->Add(i);
  }
  // S goes to Save, E is Exit's own, so Search gets A; the items draw with the marks and keep their captions.
  testsupport::QueueKey('A');
  popup.Popup(50, 50);
  EXPECT_EQ(runs, std::vector<std::string>{"Search"});
  ASSERT_GE(drawn.size(), 4u);
  drawn.resize(4);
  EXPECT_EQ(drawn, (std::vector<std::string>{"&Open", "&Save", "Se&arch", "&Exit"}));
  EXPECT_EQ(popup.Items()->Items(2)->Caption(), "Search");
  // By hand: only the marks the captions carry.
  popup.SetAutoHotkeys(maManual);
  for (WORD k : {WORD('O'), WORD('E')}) testsupport::QueueKey(k);
  popup.Popup(50, 50);
  EXPECT_EQ(runs, (std::vector<std::string>{"Search", "&Exit"}));
  // An item's own setting rules its sub-items; maParent asks the menu the items are shown for.
  popup.SetAutoHotkeys(maAutomatic);
  TMenuItem* open = popup.Items()->Items(0);
  EXPECT_TRUE(open->AutoHotkeysInForce(popup.Items(), &popup));
  open->SetAutoHotkeys(maManual);
  EXPECT_FALSE(open->AutoHotkeysInForce(popup.Items(), &popup));
}

TEST_F(MenuBarForm, AltAndTheAutomaticHotkeyOfAButtonsItemDropsItsMenu) {
  menu.Items()->Items(1)->SetCaption("Options");
  form.SetFocus();
  testsupport::QueueKey('O', backend::ModAlt);
  testsupport::QueueKey(VK_DOWN);
  testsupport::QueueKey(VK_RETURN);
  testsupport::Pump();
  EXPECT_EQ(log, std::vector<std::string>{"Options 0"});
  menu.SetAutoHotkeys(maManual);
  testsupport::QueueKey('O', backend::ModAlt);
  testsupport::QueueKey(VK_DOWN);
  testsupport::QueueKey(VK_RETURN);
  testsupport::Pump();
  EXPECT_EQ(log.size(), 1u);
}
