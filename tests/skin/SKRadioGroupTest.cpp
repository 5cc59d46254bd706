// Check and radio groups: one button per item, column-major layout, the group's click event and the radio
// group's selection.
#include <gtest/gtest.h>

#include <cstdlib>

#include "classlib/controls/Edit.h"
#include "classlib/controls/Form.h"
#include "classlib/core/Exception.h"
#include "classlib/core/StringList.h"
#include "skin/SKRadioGroup.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

class TLockedRadioGroup : public TskRadioGroup {
 public:
  using TskRadioGroup::TskRadioGroup;
  bool CanModify() override { return false; }
};

class TskCheckGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetBounds(0, 0, 400, 300);
    form.Show();
  }
  template <class G> G* Make(int n) {
    auto* g = new G(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 210, 130);
    for (int i = 0; i < n; ++i) g->Items()->Add("Item " + std::to_string(i));
    return g;
  }
  TForm form{nullptr};
};

} // namespace

TEST_F(TskCheckGroupTest, FiveItemsInTwoColumnsFillColumnByColumn) {
  auto* g = Make<TskCheckGroup>(5);
  g->SetColumns(2);
  ASSERT_EQ(g->ButtonCount(), 5);
  const int columnWidth = (210 - 10) / 2;
  TRect client = g->GetClient();
  const int h = client.Bottom - client.Top - 8;
  const int rowHeight = h / 3, firstTop = (h % 3) / 2 + client.Top + 8;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(g->Buttons(i)->Left(), (i / 3) * columnWidth + 8) << i;
    EXPECT_EQ(g->Buttons(i)->Top(), (i % 3) * rowHeight + firstTop) << i;
    EXPECT_EQ(g->Buttons(i)->Caption(), "Item " + std::to_string(i));
  }
  g->SetColumns(-1); // ignored
  EXPECT_EQ(g->Columns(), 2);
}

TEST_F(TskCheckGroupTest, RemovingItemsFreesButtonsFromTheEndAndRelabels) {
  auto* g = Make<TskCheckGroup>(4);
  TskCheckBox* first = g->Buttons(0);
  TStringList two;
  two.Add("A");
  two.Add("B");
  g->SetItems(&two);
  ASSERT_EQ(g->ButtonCount(), 2);
  EXPECT_EQ(g->Buttons(0), first);
  EXPECT_EQ(g->Buttons(0)->Caption(), "A");
  EXPECT_EQ(g->Buttons(1)->Caption(), "B");
  EXPECT_EQ(g->ControlCount(), 2);
}

TEST_F(TskCheckGroupTest, CheckedAndItemEnabledGuardTheirIndex) {
  auto* g = Make<TskCheckGroup>(2);
  EXPECT_FALSE(g->Checked(5));
  EXPECT_FALSE(g->ItemEnabled(-1));
  EXPECT_TRUE(g->ItemEnabled(1));
  EXPECT_THROW(g->SetChecked(2, true), EListError);
  EXPECT_THROW(g->SetItemEnabled(-1, false), EListError);
  g->SetChecked(1, true);
  EXPECT_TRUE(g->Checked(1));
}

TEST_F(TskCheckGroupTest, CheckGroupClicksOnEveryCheckAndUncheck) {
  auto* g = Make<TskCheckGroup>(3);
  int clicks = 0;
  g->OnClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, g);
    ++clicks;
  };
  TskCheckBox* b = g->Buttons(1);
  testsupport::Click(b, 5, b->Height() / 2);
  EXPECT_TRUE(g->Checked(1));
  testsupport::Click(b, 5, b->Height() / 2);
  EXPECT_FALSE(g->Checked(1));
  EXPECT_EQ(clicks, 2);
}

TEST_F(TskCheckGroupTest, RadioGroupSelection) {
  auto* g = Make<TskRadioGroup>(3);
  int clicks = 0;
  g->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(g->ItemIndex(), -1);
  g->SetItemIndex(1);
  EXPECT_EQ(g->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  TskCheckBox* b = g->Buttons(2);
  testsupport::Click(b, 5, b->Height() / 2);
  EXPECT_EQ(g->ItemIndex(), 2);
  EXPECT_FALSE(g->Checked(1));
  EXPECT_EQ(clicks, 2); // the unchecked sibling does not click
  g->SetItemIndex(3);   // Items.Count: ignored
  EXPECT_EQ(g->ItemIndex(), 2);
  g->SetItemIndex(-1);
  EXPECT_EQ(g->ItemIndex(), -1);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(g->Checked(i));
}

TEST_F(TskCheckGroupTest, ArrowKeysSelectTheNextAndPreviousRadioButton) {
  auto* g = Make<TskRadioGroup>(3);
  g->SetItemIndex(0);
  int clicks = 0;
  g->OnClick = [&](TObject*) { ++clicks; };
  g->Buttons(0)->SetFocus();
  ASSERT_TRUE(g->Buttons(0)->Focused());
  testsupport::PressKey(VK_DOWN);
  EXPECT_TRUE(g->Buttons(1)->Focused());
  EXPECT_EQ(g->ItemIndex(), 1);
  EXPECT_FALSE(g->Checked(0));
  testsupport::PressKey(VK_RIGHT);
  EXPECT_EQ(g->ItemIndex(), 2);
  testsupport::PressKey(VK_UP);
  testsupport::PressKey(VK_LEFT);
  EXPECT_EQ(g->ItemIndex(), 0);
  EXPECT_TRUE(g->Buttons(0)->Focused());
  EXPECT_EQ(clicks, 4);
  // Focus that comes from another kind of control selects nothing.
  auto* edit = new TEdit(&form); // owned by the form
  edit->SetParent(&form);
  edit->SetBounds(220, 0, 100, 21);
  edit->SetFocus();
  g->Buttons(2)->SetFocus();
  EXPECT_EQ(g->ItemIndex(), 0);
  EXPECT_EQ(clicks, 4);
}

TEST_F(TskCheckGroupTest, ItemIndexWhileItemsAreUpdatingRaisesTheListIndexError) {
  auto* g = Make<TskRadioGroup>(1);
  g->Items()->BeginUpdate();
  g->Items()->Add("Item 1");
  g->Items()->Add("Item 2");
  EXPECT_THROW(g->SetItemIndex(2), EListError); // the buttons come with EndUpdate
  EXPECT_THROW(g->Buttons(1), EListError);
  g->Items()->EndUpdate();
  g->SetItemIndex(2);
  EXPECT_EQ(g->ItemIndex(), 2);
}

TEST_F(TskCheckGroupTest, RadioGroupThatCannotModifyIgnoresClicks) {
  auto* g = Make<TLockedRadioGroup>(2);
  TskCheckBox* b = g->Buttons(0);
  testsupport::Click(b, 5, b->Height() / 2);
  EXPECT_EQ(g->ItemIndex(), -1);
}

TEST_F(TskCheckGroupTest, ButtonsFollowTheGroupsStyleAndCursor) {
  auto* g = Make<TskRadioGroup>(2);
  g->SetUIStyle(Protein);
  g->SetCursor(crCross);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(g->Buttons(i)->UIStyle(), Protein);
    EXPECT_EQ(g->Buttons(i)->Cursor(), crCross);
  }
  EXPECT_EQ(g->TControl::Cursor(), crDefault);
}

TEST_F(TskCheckGroupTest, RendersInEveryStyle) {
  const TskUIStyle styles[] = {MacOS, WinXP, DeepBlue, Protein, BlueGlass};
  for (TskUIStyle s : styles) {
    auto* g = Make<TskRadioGroup>(5);
    g->SetCaption("Puzzle Size");
    g->SetColumns(2);
    g->SetItemIndex(3);
    g->SetUIStyle(s);
    testsupport::RenderToPng(g, "TskRadioGroup_" + TskUIStyleNames.NameOf(s) + ".png");
    auto* c = Make<TskCheckGroup>(3);
    c->SetCaption("Options");
    c->SetChecked(0, true);
    c->SetUIStyle(s);
    testsupport::RenderToPng(c, "TskCheckGroup_" + TskUIStyleNames.NameOf(s) + ".png");
    SCOPED_TRACE(TskUIStyleNames.NameOf(s));
    // Each button shows its check mark exactly when checked: the third radio button, the first check box.
    for (TskCheckGroup* group : {static_cast<TskCheckGroup*>(g), c}) {
      const skintest::CheckMarkPixel mark = skintest::CheckMark(s, group == g ? 4 : 3);
      ASSERT_GE(mark.At.X, 0);
      for (int i = 0; i < group->ButtonCount(); ++i) {
        TskCheckBox* b = group->Buttons(i);
        const TSurface image = testsupport::Render(b);
        const int py = (b->ClientHeight() - mark.BoxHeight) / 2;
        EXPECT_EQ(testsupport::PixelAt(image, 1 + mark.At.X, py + mark.At.Y),
                  b->Checked() ? mark.Checked : mark.Unchecked)
            << i;
      }
    }
    EXPECT_EQ(g->ItemIndex(), 3);
    EXPECT_EQ(g->Buttons(3)->Left(), 8 + (210 - 10) / 2); // the second column, first row
    delete g;
    delete c;
  }
}
