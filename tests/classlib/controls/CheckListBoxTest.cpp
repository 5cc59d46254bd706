// The check list box: check states that move with their items, ticking and selecting by mouse and keys,
// scrolling a long list by the keys, the wheel and its scroll bar, and the ticks and selection it draws.
#include <gtest/gtest.h>

#include "classlib/controls/CheckLst.h"
#include "classlib/controls/Form.h"
#include "classlib/controls/ScrollBars.h"
#include "classlib/controls/WindowHandle.h"
#include "classlib/core/Exception.h"
#include "tests/support/TestSupport.h"

namespace {

using testsupport::PixelAt;

class CheckListBox : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form.SetBounds(20, 20, 300, 260);
    list = new TCheckListBox(&form); // owned by the form
    list->SetParent(&form);
    list->SetBounds(10, 10, 200, 4 + 5 * list->ItemHeight());
    for (const char* name : {"skForm", "skButton", "skPanel", "skTrackBar", "skStatusBar", "skToolBar"})
      list->Items()->Add(name);
    list->OnClickCheck = [this](TObject*) { ++clickChecks; };
    form.Show();
    list->SetFocus();
    testsupport::Pump();
  }

  TPoint BoxCentre(int Index) {
    const TRect box = TCheckListBox::CheckRect(list->ItemRect(Index));
    return {(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2};
  }

  // The colour of a client point of the list in a picture of its whole window (border and scroll bar).
  TColor ClientPixel(const TSurface& S, int X, int Y) {
    const HWND h = list->Handle();
    return PixelAt(S, h->Client.Left + X, h->Client.Top + Y);
  }
  // How many pixels inside an item's check box hold the tick's ink.
  int TickInk(const TSurface& S, int Index) {
    const TRect box = TCheckListBox::CheckRect(list->ItemRect(Index));
    int n = 0;
    for (int y = box.Top + 2; y < box.Bottom - 2; ++y)
      for (int x = box.Left + 2; x < box.Right - 2; ++x)
        n += ClientPixel(S, x, y) == ColorToRGB(clWindowText);
    return n;
  }

  TForm form{nullptr};
  TCheckListBox* list = nullptr;
  int clickChecks = 0;
};

TEST_F(CheckListBox, ChecksMoveWithTheirItemsAndBadIndexesRaise) {
  list->SetChecked(1, true);
  list->SetChecked(3, true);
  list->Items()->Insert(0, "skMDIForm");
  EXPECT_FALSE(list->Checked(0));
  EXPECT_TRUE(list->Checked(2));
  EXPECT_TRUE(list->Checked(4));
  list->Items()->Delete(2);
  EXPECT_EQ(list->Items()->Get(2), "skPanel");
  EXPECT_TRUE(list->Checked(3));
  list->Items()->Exchange(0, 3);
  EXPECT_TRUE(list->Checked(0));
  EXPECT_FALSE(list->Checked(3));
  list->Items()->Move(0, 2);
  EXPECT_TRUE(list->Checked(2));
  EXPECT_FALSE(list->Checked(0));
  list->Items()->Move(2, 0);
  // A new text keeps the check; sorting takes the checks along.
  list->Items()->Put(0, "skTrackBar2");
  EXPECT_TRUE(list->Checked(0));
  list->SetSorted(true);
  EXPECT_EQ(list->Items()->Get(5), "skTrackBar2");
  EXPECT_TRUE(list->Checked(5));
  EXPECT_FALSE(list->Checked(0));
  EXPECT_FALSE(list->Checked(4));
  EXPECT_THROW(list->Checked(-1), EListError);
  EXPECT_THROW(list->SetChecked(list->Count(), true), EListError);
  // Setting a check by program is no click of the user's.
  EXPECT_EQ(clickChecks, 0);
  list->Items()->Clear();
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(CheckListBox, TheBoxTicksTheTextSelectsAndSpaceTicksTheSelected) {
  const TPoint box = BoxCentre(2);
  testsupport::Click(list, box.X, box.Y);
  EXPECT_TRUE(list->Checked(2));
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(clickChecks, 1);
  // Each press of a double click on a box ticks it.
  testsupport::DoubleClick(list, box.X, box.Y);
  EXPECT_TRUE(list->Checked(2));
  EXPECT_EQ(clickChecks, 3);

  const TRect text = list->ItemRect(4);
  testsupport::Click(list, text.Right - 10, (text.Top + text.Bottom) / 2);
  EXPECT_EQ(list->ItemIndex(), 4);
  EXPECT_FALSE(list->Checked(4));
  EXPECT_EQ(clickChecks, 3);

  testsupport::PressKey(VK_SPACE, 0, " ");
  EXPECT_TRUE(list->Checked(4));
  testsupport::PressKey(VK_UP);
  testsupport::PressKey(VK_UP);
  testsupport::PressKey(VK_SPACE, 0, " ");
  EXPECT_FALSE(list->Checked(2));
  EXPECT_EQ(clickChecks, 5);
}

TEST_F(CheckListBox, KeysAndTheWheelScrollALongList) {
  ASSERT_EQ(list->VisibleItemCount(), 5);
  list->SetItemIndex(0);
  testsupport::PressKey(VK_END);
  EXPECT_EQ(list->ItemIndex(), 5);
  EXPECT_EQ(list->TopIndex(), 1); // the last item in view at the bottom
  testsupport::PressKey(VK_HOME);
  EXPECT_EQ(list->TopIndex(), 0);
  testsupport::PressKey(VK_DOWN);
  EXPECT_EQ(list->ItemIndex(), 1);
  testsupport::PressKey(VK_NEXT);
  EXPECT_EQ(list->ItemIndex(), 5);
  // The arrows stay with the list instead of moving the focus on.
  EXPECT_TRUE(list->Focused());

  list->Perform(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<WORD>(-120)) << 16, 0);
  EXPECT_EQ(list->TopIndex(), 1); // three down, held at the end
  list->Perform(WM_MOUSEWHEEL, static_cast<WPARAM>(120) << 16, 0);
  EXPECT_EQ(list->TopIndex(), 0);
  // A click below the last item selects nothing.
  list->Items()->Delete(5);
  list->Items()->Delete(4);
  list->SetItemIndex(1);
  testsupport::Click(list, 50, list->ClientHeight() - 5);
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(CheckListBox, DrawsTicksAndTheFocusedSelection) {
  list->SetChecked(0, true);
  list->SetItemIndex(1);
  const TSurface s = testsupport::Render(list);
  testsupport::SavePng(s, "checklistbox.png");
  // A checked box holds the tick's strokes; an unchecked one is window-white inside.
  EXPECT_GT(TickInk(s, 0), 12);
  EXPECT_EQ(TickInk(s, 2), 0);
  const TPoint empty = BoxCentre(2);
  EXPECT_EQ(ClientPixel(s, empty.X, empty.Y), ColorToRGB(clWindow));
  const TRect selected = list->ItemRect(1);
  EXPECT_EQ(ClientPixel(s, selected.Right - 4, (selected.Top + selected.Bottom) / 2),
            ColorToRGB(clHighlight));
  const TRect plain = list->ItemRect(2);
  EXPECT_EQ(ClientPixel(s, plain.Right - 4, (plain.Top + plain.Bottom) / 2), ColorToRGB(clWindow));
}

TEST_F(CheckListBox, ItsScrollBarTakesTheMouseToTheLastItem) {
  // Six items, five in view: the bar stands beside the items, its thumb at the top above a strip of track.
  ASSERT_EQ(list->TopIndex(), 0);
  EXPECT_EQ(list->ClientWidth(), 200 - 4 - ScrollBarSize);
  SCROLLBARINFO sbi;
  ASSERT_TRUE(GetScrollBarInfo(list->Handle(), OBJID_VSCROLL, &sbi));
  ASSERT_NE(sbi.rgstate[0], STATE_SYSTEM_INVISIBLE);
  const TPoint origin = list->ClientToScreen({0, 0});
  // The bar's middle column and rows on its thumb and on the track below it, in client coordinates.
  const int barX = sbi.rcScrollBar.Left - origin.X + ScrollBarSize / 2;
  const int thumbY = sbi.rcScrollBar.Top - origin.Y + (sbi.xyThumbTop + sbi.xyThumbBottom) / 2;
  const int trackY = sbi.rcScrollBar.Top - origin.Y + sbi.xyThumbBottom + 2;
  ASSERT_LT(trackY, sbi.rcScrollBar.Bottom - origin.Y - ScrollBarSize);
  TSurface s = testsupport::Render(list);
  EXPECT_EQ(ClientPixel(s, barX, thumbY), ColorToRGB(clBtnFace));
  EXPECT_EQ(ClientPixel(s, barX, trackY), ColorToRGB(clScrollBar));

  // A click on the lower arrow brings the last item into view, where a click ticks it.
  testsupport::Click(list, sbi.rcScrollBar.Left - origin.X + 8, sbi.rcScrollBar.Bottom - origin.Y - 4);
  EXPECT_EQ(list->TopIndex(), 1);
  EXPECT_LE(list->ItemRect(5).Bottom, list->ClientHeight());
  const TPoint last = BoxCentre(5);
  testsupport::Click(list, last.X, last.Y);
  EXPECT_TRUE(list->Checked(5));
  EXPECT_EQ(list->ItemIndex(), 5);
  s = testsupport::Render(list);
  testsupport::SavePng(s, "checklistbox-scrolled.png");
  EXPECT_GT(TickInk(s, 5), 12);
  EXPECT_EQ(ClientPixel(s, barX, trackY), ColorToRGB(clBtnFace)) << "the thumb moved down";
}

} // namespace
