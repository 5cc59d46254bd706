#pragma once
// Check and radio groups: group boxes holding one skinned check box or radio button per line of Items,
// laid out column by column.
#include <memory>
#include <vector>

#include "skin/SKButton.h"
#include "skin/SKGroupBox.h"

class TStringList;
class TStrings;
class TskCheckGroup;
class TskRadioGroup;

class TskCheckGroupButton : public TskCheckBox {
  QUENDREL_CLASS(TskCheckGroupButton, TskCheckBox)
 public:
  TskCheckGroupButton(TComponent* AOwner, TskCheckGroup* AGroup);

 protected:
  bool NeedDrawFocus() override;

 private:
  TskCheckGroup* FGroup;
};

// Radio buttons recognise a sibling of this class by name when the focus moves between them.
class TskRadioGroupButton : public TskRadioButton {
  QUENDREL_CLASS(TskRadioGroupButton, TskRadioButton)
 public:
  TskRadioGroupButton(TComponent* AOwner, TskRadioGroup* AGroup);

 protected:
  bool NeedDrawFocus() override;
  void DoClick() override;

 private:
  TskRadioGroup* FGroup;
};

class TskCheckGroup : public TskCustomGroupBox {
  QUENDREL_CLASS(TskCheckGroup, TskCustomGroupBox)
 public:
  explicit TskCheckGroup(TComponent* AOwner);
  ~TskCheckGroup() override;

  TStrings* Items() const;
  void SetItems(TStrings* Value);
  int Columns() const { return FColumns; }
  void SetColumns(int Value);
  int TopMargin() const { return FTopMargin; }
  void SetTopMargin(int Value);
  TColor FontColor() const { return Font()->Color(); }
  void SetFontColor(TColor Value) { Font()->SetColor(Value); }
  // Given to every button; the group keeps its own cursor.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  bool Checked(int Index) const;
  void SetChecked(int Index, bool Value);
  bool ItemEnabled(int Index) const;
  void SetItemEnabled(int Index, bool Value);
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  // Raises the list's index error outside 0 .. ButtonCount - 1 (also while Items is being updated, when
  // the buttons lag behind the items).
  TskCheckBox* Buttons(int Index) const;

  // The group's own event; the class library's click event of the group and of every button feed it.
  TNotifyEvent OnClick;

  virtual void NewClick() {}
  virtual TskCheckBox* CreateAButton();
  virtual void FocusUpdate();

  void SetTransparent(const bool Value) override;
  void UpdateUIStyle(TskUIStyle Style, TskFileTheme* FileTheme) override;
  void CMFontChanged(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void Resize() override;

 protected:
  void DoClick(TObject* Sender);

 private:
  void ItemChanged(TObject* Sender);
  bool UpdateButtons();
  void ArrangeButtons();

  std::unique_ptr<TStringList> FItems;
  std::vector<TskCheckBox*> FButtons;
  int FColumns = 1;
  int FTopMargin = 8;
  TCursor FCursor = crDefault;
};

class TskRadioGroup : public TskCheckGroup {
  QUENDREL_CLASS(TskRadioGroup, TskCheckGroup)
 public:
  explicit TskRadioGroup(TComponent* AOwner) : TskCheckGroup(AOwner) {}

  int ItemIndex() const;
  void SetItemIndex(int Value);

  virtual bool CanModify() { return true; }
  TskCheckBox* CreateAButton() override;
  void FocusUpdate() override;
};
