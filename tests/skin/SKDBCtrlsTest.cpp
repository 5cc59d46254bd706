// Data-aware check box and radio group: field to control, control to field, refused edits, and the look in
// every built-in style.
#include <gtest/gtest.h>

#include "classlib/controls/Form.h"
#include "classlib/core/StringList.h"
#include "classlib/data/DataSource.h"
#include "classlib/data/Field.h"
#include "classlib/data/MemDataSet.h"
#include "skin/SKDBCtrls.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

class TKeyedDBCheckBox : public TskDBCheckBox {
 public:
  using TskDBCheckBox::KeyPress;
  using TskDBCheckBox::TskDBCheckBox;
};

class DBControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Data.AddFieldDef("Answer", ftString, 10);
    Data.AddFieldDef("Flag", ftBoolean);
    Data.AddFieldDef("Colour", ftString, 10);
    Data.Open();
    Data.Append();
    Data.FieldByName("Answer")->SetAsString("yes");
    Data.FieldByName("Colour")->SetAsString("G");
    Data.Post();
    Source.SetDataSet(&Data);
    form.SetBounds(0, 0, 400, 300);
    form.Show();
  }
  TKeyedDBCheckBox* MakeBox(const AnsiString& field) {
    auto* box = new TKeyedDBCheckBox(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 120, 17);
    box->SetDataField(field);
    box->SetDataSource(&Source);
    return box;
  }
  TskDBRadioGroup* MakeGroup() {
    auto* g = new TskDBRadioGroup(&form);
    g->SetParent(&form);
    g->SetBounds(10, 40, 150, 80);
    g->Items()->Add("Red");
    g->Items()->Add("Green");
    g->Values()->Add("");
    g->Values()->Add("G");
    g->SetDataField("Colour");
    g->SetDataSource(&Source);
    return g;
  }
  void SetText(const AnsiString& field, const AnsiString& text) {
    Data.Edit();
    Data.FieldByName(field)->SetAsString(text);
    Data.Post();
  }

  TMemDataSet Data{nullptr};
  TDataSource Source{nullptr};
  TForm form{nullptr};
};

} // namespace

TEST_F(DBControlsTest, CheckBoxMatchesAnyListedValueIgnoringCase) {
  auto* box = MakeBox("Answer");
  box->SetValueChecked("Yes;Y");
  EXPECT_TRUE(box->Checked());
  SetText("Answer", "maybe");
  EXPECT_FALSE(box->Checked());
  SetText("Answer", "y");
  EXPECT_TRUE(box->Checked());
  EXPECT_FALSE(box->ValueMatch("", ""));
  EXPECT_TRUE(box->ValueMatch(" a ;\tB ", "b"));
  // The accented letters of the Western code page the text is in match across case too.
  box->SetValueChecked("\xC9T\xC9;\x8A"
                       "a;\x9F;\xD8"); // ÉTÉ; Ša; Ÿ; Ø
  for (const char* answer : {"\xE9t\xE9",
                             "\x9A"
                             "A",
                             "\xFF", "\xF8"}) { // été, šA, ÿ, ø
    SetText("Answer", answer);
    EXPECT_TRUE(box->Checked()) << answer;
  }
  SetText("Answer", "\xE9t\xE8"); // été with a grave accent last: another word
  EXPECT_FALSE(box->Checked());
  // The multiplication and division signs stand where a capital and a small letter would: no pair.
  EXPECT_FALSE(box->ValueMatch("\xD7", "\xF7"));
  EXPECT_FALSE(box->ValueMatch("\xDF", "\xFF")); // sharp s is no capital of y diaeresis
}

TEST_F(DBControlsTest, CheckBoxShowsNullAsUncheckedAndFollowsBooleanFields) {
  auto* box = MakeBox("Flag");
  EXPECT_EQ(box->GetFieldState(), cbUnchecked);
  Data.Edit();
  Data.FieldByName("Flag")->SetAsBoolean(true);
  Data.Post();
  EXPECT_TRUE(box->Checked());
  box->Click();
  Data.Post();
  EXPECT_FALSE(Data.FieldByName("Flag")->AsBoolean());
}

TEST_F(DBControlsTest, CheckingWritesTheFirstCheckedEntryTrimmed) {
  SetText("Answer", "no");
  auto* box = MakeBox("Answer");
  box->SetValueChecked(" Yes ;Y");
  box->SetValueUnchecked("No");
  ASSERT_FALSE(box->Checked());
  box->Click();
  EXPECT_TRUE(box->Checked());
  Data.Post();
  EXPECT_EQ(Data.FieldByName("Answer")->AsString(), "Yes");
  box->Click();
  Data.Post();
  EXPECT_EQ(Data.FieldByName("Answer")->AsString(), "No");
}

TEST_F(DBControlsTest, ReadOnlyOrUnboundCheckBoxIgnoresClicks) {
  auto* box = MakeBox("Answer");
  box->SetValueChecked("Yes");
  box->SetReadOnly(true);
  box->Click();
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(Data.State(), dsBrowse);
  EXPECT_EQ(Data.FieldByName("Answer")->AsString(), "yes");
  box->SetDataField("");
  box->Click();
  EXPECT_FALSE(box->Checked()); // no field reads as unchecked, and stays so
}

TEST_F(DBControlsTest, KeysStartEditingAndEscapeResets) {
  auto* box = MakeBox("Answer");
  box->SetValueChecked("Yes");
  char key = ' ';
  box->KeyPress(key);
  EXPECT_EQ(Data.State(), dsEdit);
  Data.Cancel();
  key = 8;
  box->KeyPress(key);
  EXPECT_EQ(Data.State(), dsEdit);
  box->SetChecked(false); // a change the link is not told of
  key = 27;
  box->KeyPress(key);
  EXPECT_TRUE(box->Checked());
}

TEST_F(DBControlsTest, LeavingPassesOnAFailedWriteAndKeepsTheValue) {
  Data.Close();
  Data.AddFieldDef("Moves", ftInteger);
  Data.Open();
  auto* box = MakeBox("Moves");
  box->SetValueChecked("lots");
  box->Click();
  ASSERT_TRUE(box->Checked());
  TMessage exit{CM_EXIT, 0, 0, 0};
  EXPECT_ANY_THROW(box->Dispatch(exit));
  EXPECT_EQ(Data.State(), dsInsert); // the empty set was put into insert mode and stays there
  EXPECT_TRUE(box->Checked());

  // A group without buttons has no child to take the focus back: the error still passes on.
  auto* g = new TskDBRadioGroup(&form);
  g->SetParent(&form);
  g->SetDataField("Moves");
  g->SetDataSource(&Source);
  ASSERT_EQ(g->ControlCount(), 0);
  g->SetValue("lots");
  g->NewClick();
  EXPECT_ANY_THROW(g->Dispatch(exit));
  EXPECT_EQ(g->Value(), "lots");
}

TEST_F(DBControlsTest, RadioGroupMapsFieldThroughValuesThenCaptions) {
  auto* g = MakeGroup();
  int changes = 0;
  g->OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(g->ItemIndex(), 1);
  SetText("Colour", "Red");
  EXPECT_EQ(g->ItemIndex(), 0);
  SetText("Colour", "Green");
  EXPECT_EQ(g->ItemIndex(), -1);
  EXPECT_EQ(g->Value(), "Green");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(g->GetButtonValue(5), "");
}

TEST_F(DBControlsTest, SettingItemsOrValuesRereadsTheField) {
  auto* g = MakeGroup();
  SetText("Colour", "Blue");
  ASSERT_EQ(g->ItemIndex(), -1);
  TStringList items;
  items.Add("Red");
  items.Add("Green");
  items.Add("Blue");
  g->SetItems(&items);
  EXPECT_EQ(g->ItemIndex(), 2);
  TStringList values;
  values.Add("Blue");
  g->SetValues(&values);
  EXPECT_EQ(g->ItemIndex(), 0);
  SetText("Colour", "Red");
  EXPECT_EQ(g->ItemIndex(), -1); // the first button now stands for Blue
}

TEST_F(DBControlsTest, RadioClickWritesOnlyWhenTheDataSetCanEdit) {
  auto* g = MakeGroup();
  Source.SetAutoEdit(false);
  g->Buttons(0)->Click();
  EXPECT_EQ(g->ItemIndex(), 1);
  Source.SetAutoEdit(true);
  g->Buttons(0)->Click();
  EXPECT_EQ(g->ItemIndex(), 0);
  EXPECT_EQ(g->Value(), "Red");
  Data.Post();
  EXPECT_EQ(Data.FieldByName("Colour")->AsString(), "Red");
}

TEST_F(DBControlsTest, RendersInEveryStyle) {
  auto* box = MakeBox("Answer");
  box->SetCaption("Solved");
  box->SetValueChecked("yes");
  auto* g = MakeGroup();
  g->SetCaption("Colour");
  for (TskUIStyle style : {MacOS, WinXP, DeepBlue, Protein, BlueGlass}) {
    box->SetUIStyle(style);
    g->UpdateUIStyle(style, nullptr);
    const AnsiString name = TskUIStyleNames.NameOf(style);
    testsupport::RenderToPng(box, "SKDBCheckBox-" + name + ".png");
    testsupport::RenderToPng(g, "SKDBRadioGroup-" + name + ".png");
    // The field's "yes" checks the box; its "G" selects Green, the second radio button.
    SCOPED_TRACE(name);
    ASSERT_TRUE(box->Checked());
    ASSERT_EQ(g->ItemIndex(), 1);
    const skintest::CheckMarkPixel tick = skintest::CheckMark(style, 3), dot = skintest::CheckMark(style, 4);
    const TSurface boxImage = testsupport::Render(box);
    EXPECT_EQ(
        testsupport::PixelAt(boxImage, 1 + tick.At.X, (box->ClientHeight() - tick.BoxHeight) / 2 + tick.At.Y),
        tick.Checked);
    for (int i = 0; i < 2; ++i) {
      TskCheckBox* b = g->Buttons(i);
      const TSurface image = testsupport::Render(b);
      EXPECT_EQ(testsupport::PixelAt(image, 1 + dot.At.X, (b->ClientHeight() - dot.BoxHeight) / 2 + dot.At.Y),
                i == 1 ? dot.Checked : dot.Unchecked)
          << i;
    }
  }
}

TEST_F(DBControlsTest, CopiesPaintTheFieldsValueNotTheBoxs) {
  auto* box = MakeBox("Answer");
  box->SetValueChecked("yes");
  box->SetCaption("");
  testsupport::Render(box); // lets the box settle its automatic size first
  box->SetChecked(false);   // the box's own state says unchecked; the field says checked
  // A copy is painted by the plain check box with the field's state: a tick in the sunken box.
  auto ticks = [&] {
    TControlStateScope copy(box->ControlState, csPaintCopy);
    box->Invalidate();
    const TSurface s = testsupport::Render(box);
    const int top = (box->Height() - 13) / 2;
    int dark = 0;
    for (int y = top + 2; y < top + 11; ++y)
      for (int x = 2; x < 11; ++x) dark += testsupport::PixelAt(s, x, y) == ColorToRGB(clWindowText);
    return dark;
  };
  EXPECT_GT(ticks(), 8);
  SetText("Answer", "no");
  EXPECT_EQ(ticks(), 0);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(box->Perform(CM_GETDATALINK, 0, 0) != 0, true);
}
