// The edit, memo, list box, combo box and grid through the real message path: typing, selection, the
// clipboard messages, undo, scroll bars that the system tracks, the drop-down list as a pop-up window.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "classlib/controls/Application.h"
#include "classlib/controls/Clipboard.h"
#include "classlib/controls/ComboBox.h"
#include "classlib/controls/Edit.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/Grids.h"
#include "classlib/controls/ListBox.h"
#include "classlib/win/Windows.h"
#include "tests/support/TestSupport.h"

namespace {

class TextControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(50, 50, 420, 320);
  }
  void Show() {
    Form->Show();
    testsupport::Pump();
  }
  template <class T> T* Make(int L, int T_, int W, int H) {
    auto* c = new T(Form.get()); // owned by the form
    c->SetParent(Form.get());
    c->SetBounds(L, T_, W, H);
    return c;
  }

  std::unique_ptr<TForm> Form;
};

TEST_F(TextControlsTest, EditTypesSelectsAndUsesTheClipboard) {
  auto* edit = Make<TEdit>(10, 10, 150, 22);
  std::vector<AnsiString> changes;
  edit->OnChange = [&](TObject*) { changes.push_back(edit->Text()); };
  Show();
  edit->SetFocus();
  testsupport::Type("hello world");
  EXPECT_EQ(edit->Text(), "hello world");
  EXPECT_EQ(changes.size(), 11u);
  // Shift+Ctrl+Left selects the last word; cutting it leaves the rest.
  testsupport::PressKey(VK_LEFT, backend::ModShift | backend::ModControl);
  EXPECT_EQ(edit->SelText(), "world");
  edit->Perform(WM_CUT, 0, 0);
  EXPECT_EQ(edit->Text(), "hello ");
  EXPECT_EQ(Clipboard()->AsText(), "world");
  testsupport::PressKey(VK_HOME);
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "worldhello ");
  edit->Perform(WM_UNDO, 0, 0);
  EXPECT_EQ(edit->Text(), "hello ");
  edit->Perform(WM_UNDO, 0, 0); // undoing again redoes
  EXPECT_EQ(edit->Text(), "worldhello ");
  // Ctrl+A and Backspace clear; a line break pasted into one line is cut there.
  testsupport::PressKey('A', backend::ModControl, "\x01");
  testsupport::PressKey(VK_BACK, 0, "\b");
  EXPECT_EQ(edit->Text(), "");
  Clipboard()->SetAsText("one\r\ntwo");
  edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "one");
  // Read-only refuses every change; the length limit cuts what is typed.
  edit->SetReadOnly(true);
  testsupport::Type("x");
  edit->Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(edit->Text(), "one");
  edit->SetReadOnly(false);
  edit->SetMaxLength(5);
  testsupport::Type("abcdef");
  EXPECT_EQ(edit->Text(), "oneab");
  // EM_SETSEL / EM_GETSEL / EM_REPLACESEL.
  edit->Perform(EM_SETSEL, 1, 3);
  DWORD from = 0, to = 0;
  edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 1u);
  EXPECT_EQ(to, 3u);
  edit->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("Z"));
  EXPECT_EQ(edit->Text(), "oZab");
}

TEST_F(TextControlsTest, MemoWrapsScrollsAndKeepsItsBarsInStep) {
  auto* memo = Make<TMemo>(10, 10, 200, 80);
  memo->SetScrollBars(ssVertical);
  Show();
  for (int i = 1; i <= 30; ++i) memo->Lines()->Add("line " + std::to_string(i));
  EXPECT_EQ(memo->Lines()->Count(), 30);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(memo->Handle(), SB_VERT, &si));
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 29);
  EXPECT_GT(si.nPage, 2u);
  EXPECT_EQ(si.nPos, 0);
  // The client area gives the bar its width.
  EXPECT_EQ(memo->ClientRect().Width(), 200 - 4 - ScrollBarSize);
  memo->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
  GetScrollInfo(memo->Handle(), SB_VERT, &si);
  EXPECT_GT(si.nPos, 0);
  EXPECT_EQ(memo->Perform(EM_GETFIRSTVISIBLELINE, 0, 0), si.nPos);
  memo->Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 100), 0); // past the end: held to the last page
  GetScrollInfo(memo->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, si.nMax - static_cast<int>(si.nPage) + 1);
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(memo->Handle(), OBJID_VSCROLL, &sbi));
  EXPECT_EQ(sbi.rgstate[0], 0u);
  EXPECT_GT(sbi.xyThumbBottom, sbi.xyThumbTop);
  ASSERT_TRUE(GetScrollBarInfo(memo->Handle(), OBJID_HSCROLL, &sbi));
  EXPECT_EQ(sbi.rgstate[0], STATE_SYSTEM_INVISIBLE);
  // A memo that fits keeps its bar, disabled.
  memo->Lines()->Clear();
  ASSERT_TRUE(GetScrollBarInfo(memo->Handle(), OBJID_VSCROLL, &sbi));
  EXPECT_EQ(sbi.rgstate[0], STATE_SYSTEM_UNAVAILABLE);
  // A long line wraps into several rows at the memo's width.
  memo->SetText(AnsiString(40, 'w') + " " + AnsiString(40, 'w'));
  EXPECT_GT(memo->Perform(EM_GETLINECOUNT, 0, 0), 1);
  EXPECT_EQ(memo->Lines()->Count(), 1);
}

TEST_F(TextControlsTest, ThumbPositionsBeyondSixteenBitsUseTheTrackingPosition) {
  Show();
  TForm* list = Form.get();
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = 200000;
  si.nPage = 10;
  SetScrollInfo(list->Handle(), SB_VERT, &si, false);
  si.fMask = SIF_TRACKPOS;
  si.nTrackPos = 70000;
  SetScrollInfo(list->Handle(), SB_VERT, &si, false);
  TMessage m{WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 70000 & 0xFFFF), 0, 0};
  EXPECT_EQ(ScrollMessagePos(list->Handle(), SB_VERT, m), 70000);
  // A 16-bit position that the tracking position does not end in is taken as it is.
  TMessage other{WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12), 0, 0};
  EXPECT_EQ(ScrollMessagePos(list->Handle(), SB_VERT, other), 12);
}

TEST_F(TextControlsTest, ListBoxChangedInBulkSizesItsScrollBarOnceAtTheEnd) {
  auto* list = Make<TListBox>(10, 10, 120, 60);
  Show();
  auto range = [&] {
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    GetScrollInfo(list->Handle(), SB_VERT, &si);
    return si.nMax;
  };
  list->Items()->BeginUpdate();
  for (int i = 0; i < 40; ++i) list->Items()->Add("item " + std::to_string(i));
  EXPECT_EQ(range(), 0); // held back while the items change
  list->Items()->EndUpdate();
  EXPECT_EQ(range(), 39);
  TStringList fewer;
  for (const char* s : {"a", "b", "c"}) fewer.Add(s);
  list->Items()->Assign(&fewer);
  EXPECT_EQ(range(), 2);
  list->Items()->Add("d"); // outside an update the bar follows every change again
  EXPECT_EQ(range(), 3);
}

TEST_F(TextControlsTest, ListBoxItemsGoThroughItsMessagesAndReportSelection) {
  auto* list = Make<TListBox>(10, 10, 120, 60);
  std::vector<UINT> seen;
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  const TWndMethod old = list->WindowProc;
  list->WindowProc = [&, old](TMessage& m) {
    if (m.Msg >= LB_ADDSTRING && m.Msg <= LB_SETCOUNT) seen.push_back(m.Msg);
    old(m);
  };
  Show();
  for (const char* s : {"red", "green", "blue", "cyan", "magenta", "yellow"}) list->Items()->Add(s);
  list->Items()->Insert(0, "black");
  list->Items()->Delete(1);
  EXPECT_EQ(list->Items()->Strings(0), "black");
  EXPECT_EQ(list->Count(), 6);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), LB_ADDSTRING), 6);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), LB_INSERTSTRING), 1);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), LB_DELETESTRING), 1);
  // Clicking the second row selects it and reports the change; arrows move on and scroll.
  testsupport::Click(list, 20, list->ItemHeight() + 2);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  testsupport::PressKey(VK_END);
  EXPECT_EQ(list->ItemIndex(), 5);
  EXPECT_GT(list->TopIndex(), 0);
  EXPECT_EQ(GetScrollPos(list->Handle(), SB_VERT), list->TopIndex());
  testsupport::PressKey('B', 0, "b");
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(clicks, 3);
  // All items fit: the list box hides its bar.
  list->SetHeight(200);
  testsupport::Pump();
  SCROLLBARINFO sbi;
  GetScrollBarInfo(list->Handle(), OBJID_VSCROLL, &sbi);
  EXPECT_EQ(sbi.rgstate[0], STATE_SYSTEM_INVISIBLE);
  list->WindowProc = old;
}

TEST_F(TextControlsTest, ScrollBarTrackingSendsScrollMessages) {
  auto* list = Make<TListBox>(10, 10, 120, 80);
  Show();
  for (int i = 0; i < 40; ++i) list->Items()->Add("item " + std::to_string(i));
  testsupport::Pump();
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(list->Handle(), OBJID_VSCROLL, &sbi));
  const TPoint origin = list->ClientToScreen({0, 0});
  const int barX = sbi.rcScrollBar.Left - origin.X + 8;
  const int downArrowY = sbi.rcScrollBar.Bottom - origin.Y - 4;
  // A click on the lower arrow scrolls one line; holding it repeats.
  testsupport::ManualClock clock;
  testsupport::MouseDown(list, barX, downArrowY);
  EXPECT_EQ(list->TopIndex(), 1);
  clock.Advance(450);
  clock.Advance(60);
  EXPECT_GE(list->TopIndex(), 3);
  testsupport::MouseUp(list, barX, downArrowY);
  const int top = list->TopIndex();
  clock.Advance(500);
  EXPECT_EQ(list->TopIndex(), top);
  // Dragging the thumb to the bottom shows the last page.
  ASSERT_TRUE(GetScrollBarInfo(list->Handle(), OBJID_VSCROLL, &sbi));
  const int thumbY = sbi.rcScrollBar.Top - origin.Y + (sbi.xyThumbTop + sbi.xyThumbBottom) / 2;
  testsupport::MouseDown(list, barX, thumbY);
  testsupport::MouseMove(list, barX, 500);
  testsupport::MouseUp(list, barX, 500);
  EXPECT_EQ(list->TopIndex(), 40 - list->VisibleItemCount());
}

TEST_F(TextControlsTest, ComboBoxDropsItsListAsAPopUpAndChoosesFromIt) {
  auto* combo = Make<TComboBox>(10, 10, 150, 21);
  combo->SetStyle(csDropDownList);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  Show();
  for (const char* s : {"alpha", "beta", "gamma"}) combo->Items()->Add(s);
  combo->SetFocus();
  COMBOBOXINFO info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  EXPECT_EQ(info.hwndCombo, combo->Handle());
  EXPECT_EQ(info.rcButton.Right, combo->ClientWidth() - 2);
  EXPECT_EQ(info.rcButton.Width(), ScrollBarSize);
  EXPECT_EQ(info.stateButton, 0u);
  // Clicking the button drops the list under the combo box.
  testsupport::Click(combo, info.rcButton.Left + 4, 8);
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->Perform(CB_GETDROPPEDSTATE, 0, 0), 1);
  TRect listRect, comboRect;
  GetWindowRect(info.hwndList, &listRect);
  GetWindowRect(combo->Handle(), &comboRect);
  EXPECT_EQ(listRect.Top, comboRect.Bottom);
  EXPECT_TRUE(IsWindowVisible(info.hwndList));
  // Clicking the third item takes it and closes the list.
  TCustomListBox* list = combo->ListControl();
  testsupport::Click(list, 10, list->ItemHeight() * 2 + 3);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_FALSE(IsWindowVisible(info.hwndList));
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "gamma");
  EXPECT_EQ(changes, 1);
  // Keys: up chooses the one above; F4 drops, Escape closes without a choice.
  testsupport::PressKey(VK_UP);
  EXPECT_EQ(combo->Text(), "beta");
  testsupport::PressKey(VK_F4);
  EXPECT_TRUE(combo->DroppedDown());
  testsupport::PressKey(VK_DOWN);
  testsupport::PressKey(VK_ESCAPE);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "beta");
  EXPECT_EQ(changes, 2);
}

TEST_F(TextControlsTest, DropDownComboEditsTextAndMatchesItems) {
  auto* combo = Make<TComboBox>(10, 10, 150, 21);
  Show();
  for (const char* s : {"one", "two"}) combo->Items()->Add(s);
  combo->SetFocus();
  ASSERT_NE(combo->EditControl(), nullptr);
  EXPECT_TRUE(combo->EditControl()->Focused());
  testsupport::Type("two");
  EXPECT_EQ(combo->Text(), "two");
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->Perform(WM_CUT, 0, 0); // all of it was not selected: nothing to cut
  combo->EditControl()->SelectAll();
  combo->Perform(WM_CUT, 0, 0);
  EXPECT_EQ(combo->Text(), "");
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetText("one");
  EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(TextControlsTest, GridMovesItsCurrentCellAndEditsInPlace) {
  auto* grid = Make<TDrawGrid>(10, 10, 300, 150);
  grid->SetColCount(6);
  grid->SetRowCount(20);
  grid->SetOptions(grid->Options() + TGridOptions{goEditing});
  Show();
  grid->SetFocus();
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(grid->Row(), 1);
  testsupport::PressKey(VK_RIGHT);
  testsupport::PressKey(VK_DOWN);
  EXPECT_EQ(grid->Col(), 2);
  EXPECT_EQ(grid->Row(), 2);
  testsupport::PressKey(VK_NEXT);
  EXPECT_GT(grid->TopRow(), 1);
  EXPECT_EQ(GetScrollPos(grid->Handle(), SB_VERT), grid->TopRow() - grid->FixedRows());
  const TRect cell = grid->CellRect(grid->Col(), grid->Row());
  EXPECT_FALSE(cell.IsEmpty());
  // Typing starts the edit field over the current cell.
  testsupport::Type("x");
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  EXPECT_TRUE(grid->InplaceEditor()->Visible());
  EXPECT_EQ(grid->InplaceEditor()->Text(), "x");
  EXPECT_EQ(grid->InplaceEditor()->Left(), cell.Left);
  testsupport::PressKey(VK_ESCAPE);
  EXPECT_FALSE(grid->InplaceEditor()->Visible());
  EXPECT_TRUE(grid->Focused());
}

} // namespace

namespace {

TEST_F(TextControlsTest, RendersEachControlWithItsScrollBarsAndSelection) {
  auto* edit = Make<TEdit>(10, 10, 150, 22);
  auto* memo = Make<TMemo>(10, 40, 150, 80);
  auto* list = Make<TListBox>(170, 10, 110, 60);
  auto* combo = Make<TComboBox>(170, 80, 110, 21);
  auto* grid = Make<TDrawGrid>(10, 130, 270, 120);
  memo->SetScrollBars(ssVertical);
  Show();
  edit->SetText("Edit text");
  for (int i = 1; i <= 12; ++i) memo->Lines()->Add("Memo line " + std::to_string(i));
  for (int i = 1; i <= 8; ++i) list->Items()->Add("Item " + std::to_string(i));
  list->SetItemIndex(1);
  combo->Items()->Add("Choice");
  combo->SetItemIndex(0);
  grid->SetColCount(8);
  grid->SetRowCount(12);
  const TSurface s = testsupport::Render(Form.get());
  testsupport::SavePng(s, "standard-controls.png");
  // The selected list item is highlighted; the memo's bar has a thumb at its top.
  EXPECT_EQ(testsupport::PixelAt(s, 170 + 2 + 60, 10 + 2 + list->ItemHeight() + 3), ColorToRGB(clHighlight));
  const int barX = 10 + 150 - 2 - ScrollBarSize / 2;
  EXPECT_EQ(testsupport::PixelAt(s, barX, 40 + 2 + ScrollBarSize + 4), ColorToRGB(clBtnFace));
  EXPECT_EQ(testsupport::PixelAt(s, barX, 40 + 80 - 2 - ScrollBarSize - 4), ColorToRGB(clScrollBar));
  // Grid: fixed cells in the fixed colour, a grid line in silver between cells.
  EXPECT_EQ(testsupport::PixelAt(s, 10 + 2 + 30, 130 + 2 + 10), ColorToRGB(clBtnFace));
  EXPECT_EQ(testsupport::PixelAt(s, 10 + 2 + 64 + 64 + 1, 130 + 2 + 24 + 10), ColorToRGB(clSilver));
}

} // namespace
