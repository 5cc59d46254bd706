#include "skin/SKRadioGroup.h"

#include "classlib/core/Exception.h"
#include "classlib/core/StringList.h"

QUENDREL_REGISTER_CLASS(TskCheckGroup, TskCustomGroupBox) {
  c.Creatable();
  c.Property("Items", &TskCheckGroup::Items, &TskCheckGroup::SetItems);
  c.Property("Columns", &TskCheckGroup::Columns, &TskCheckGroup::SetColumns);
  c.Property("TopMargin", &TskCheckGroup::TopMargin, &TskCheckGroup::SetTopMargin);
  ColorProperty(c, "FontColor", &TskCheckGroup::FontColor, &TskCheckGroup::SetFontColor);
  ColorProperty(c, "BorderColor", &TskCheckGroup::BorderColor, &TskCheckGroup::SetBorderColor);
  CursorProperty(c, "Cursor", &TskCheckGroup::Cursor, &TskCheckGroup::SetCursor).Default(crDefault);
  c.Event("OnClick", &TskCheckGroup::OnClick);
}

QUENDREL_REGISTER_CLASS(TskRadioGroup, TskCheckGroup) {
  c.Creatable();
  c.Property("ItemIndex", &TskRadioGroup::ItemIndex, &TskRadioGroup::SetItemIndex);
}

QUENDREL_REGISTER_CLASS(TskCheckGroupButton, TskCheckBox) {}

QUENDREL_REGISTER_CLASS(TskRadioGroupButton, TskRadioButton) {}

// ---- buttons ----

TskCheckGroupButton::TskCheckGroupButton(TComponent* AOwner, TskCheckGroup* AGroup)
    : TskCheckBox(AOwner), FGroup(AGroup) {}

bool TskCheckGroupButton::NeedDrawFocus() {
  return Focused();
}

TskRadioGroupButton::TskRadioGroupButton(TComponent* AOwner, TskRadioGroup* AGroup)
    : TskRadioButton(AOwner), FGroup(AGroup) {}

bool TskRadioGroupButton::NeedDrawFocus() {
  return (FGroup->Focused() || Focused()) && Checked();
}

void TskRadioGroupButton::DoClick() {
  auto* group = dynamic_cast<TskRadioGroup*>(Parent());
  if (group && group->CanModify()) inherited::DoClick();
}

// ---- TskCheckGroup ----

TskCheckGroup::TskCheckGroup(TComponent* AOwner)
    : TskCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
  FItems->OnChange = [this](TObject* Sender) { ItemChanged(Sender); };
  FColumns = 1;
  FTopMargin = 8;
  SetUIStyle(GetSKFormStyle(AOwner));
  SetTransparent(false);
  SetParentColor(true);
  SetTabStop(true);
  // A click on the group's free area counts as a group click too.
  TControl::OnClick = [this](TObject* Sender) { DoClick(Sender); };
}

TskCheckGroup::~TskCheckGroup() {
  FItems->OnChange = nullptr;
}

TStrings* TskCheckGroup::Items() const {
  return FItems.get();
}

void TskCheckGroup::SetItems(TStrings* Value) {
  FItems->Assign(Value);
}

void TskCheckGroup::SetColumns(int Value) {
  if (Value < 0) return;
  FColumns = Value;
  ArrangeButtons();
}

void TskCheckGroup::SetTopMargin(int Value) {
  if (Value < 0) return;
  FTopMargin = Value;
  ArrangeButtons();
}

void TskCheckGroup::SetCursor(TCursor Value) {
  for (TskCheckBox* b : FButtons) b->SetCursor(Value);
  FCursor = Value;
}

TskCheckBox* TskCheckGroup::Buttons(int Index) const {
  if (Index < 0 || Index >= ButtonCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FButtons[static_cast<size_t>(Index)];
}

bool TskCheckGroup::Checked(int Index) const {
  return Index >= 0 && Index < ButtonCount() && FButtons[static_cast<size_t>(Index)]->Checked();
}

void TskCheckGroup::SetChecked(int Index, bool Value) {
  Buttons(Index)->SetChecked(Value);
}

bool TskCheckGroup::ItemEnabled(int Index) const {
  return Index >= 0 && Index < ButtonCount() && FButtons[static_cast<size_t>(Index)]->Enabled();
}

void TskCheckGroup::SetItemEnabled(int Index, bool Value) {
  Buttons(Index)->SetEnabled(Value);
}

TskCheckBox* TskCheckGroup::CreateAButton() {
  return new TskCheckGroupButton(this, this);
}

void TskCheckGroup::FocusUpdate() {
  if (FItems->Count() > 0 && !FButtons.empty() && FButtons.front()->CanFocus()) FButtons.front()->SetFocus();
}

void TskCheckGroup::SetTransparent(const bool Value) {
  inherited::SetTransparent(Value);
  for (TskCheckBox* b : FButtons) b->SetTransparent(Value);
}

void TskCheckGroup::UpdateUIStyle(TskUIStyle Style, TskFileTheme* FileTheme) {
  inherited::UpdateUIStyle(Style, FileTheme);
  for (TskCheckBox* b : FButtons) {
    b->SetFileTheme(FileTheme);
    b->SetUIStyle(Style);
    b->SetColor(Color());
  }
}

void TskCheckGroup::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  for (TskCheckBox* b : FButtons) b->SetFont(Font());
}

void TskCheckGroup::WMSetFocus(TMessage& Message) {
  inherited::WMSetFocus(Message);
  FocusUpdate();
}

void TskCheckGroup::Resize() {
  inherited::Resize();
  ArrangeButtons();
}

void TskCheckGroup::DoClick(TObject*) {
  NewClick();
  if (!ComponentState().Contains(csLoading) && OnClick) OnClick(this);
}

void TskCheckGroup::ItemChanged(TObject*) {
  const bool added = UpdateButtons();
  ArrangeButtons();
  if (added) {
    // Flipping the transparency and back hands it to the new buttons.
    SetTransparent(!Transparent());
    SetTransparent(!Transparent());
  }
}

bool TskCheckGroup::UpdateButtons() {
  const int d = FItems->Count() - ButtonCount();
  for (int i = 0; i < d; ++i) {
    TskCheckBox* b = CreateAButton();
    b->SetParent(this);
    b->SetFont(Font());
    b->SetAutoSize(true);
    b->SetFileTheme(FileTheme());
    b->SetUIStyle(UIStyle());
    b->SetTransparent(Transparent());
    b->SetParentColor(true);
    b->SetTabStop(false);
    b->OnClick = [this](TObject* Sender) { DoClick(Sender); };
    b->SetCursor(FCursor);
    FButtons.push_back(b);
  }
  for (int i = 0; i < -d; ++i) {
    delete FButtons.back();
    FButtons.pop_back();
  }
  for (int i = 0; i < ButtonCount(); ++i) {
    FButtons[static_cast<size_t>(i)]->SetCaption(FItems->Strings(i));
    FButtons[static_cast<size_t>(i)]->SetAutoSize(true);
  }
  return d > 0;
}

void TskCheckGroup::ArrangeButtons() {
  if (FButtons.empty()) return;
  TRect r = GetClient();
  r.Top += FTopMargin;
  const int h = r.Bottom - r.Top;
  const int n = ButtonCount();
  // No columns would leave nothing to lay out in: treat it as one.
  const int k = FColumns > 0 ? FColumns : 1;
  const int rows = (n + k - 1) / k;
  const int columnWidth = (Width() - 10) / k;
  const int rowHeight = h / rows;
  const int firstTop = (h % rows) / 2 + r.Top;
  for (int i = 0; i < n; ++i) {
    TskCheckBox* b = FButtons[static_cast<size_t>(i)];
    const int column = i / rows, row = i % rows;
    const int left = BiDiMode() == bdRightToLeft ? Width() - column * columnWidth - 8 - b->Width()
                                                 : column * columnWidth + 8;
    b->SetBounds(left, row * rowHeight + firstTop, b->Width(), b->Height());
  }
}

// ---- TskRadioGroup ----

int TskRadioGroup::ItemIndex() const {
  for (int i = 0; i < ButtonCount(); ++i)
    if (Buttons(i)->Checked()) return i;
  return -1;
}

void TskRadioGroup::SetItemIndex(int Value) {
  if (Value < -1 || Value >= Items()->Count()) return;
  if (Value == -1) {
    for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->SetChecked(false);
  } else {
    Buttons(Value)->SetChecked(true);
  }
}

TskCheckBox* TskRadioGroup::CreateAButton() {
  return new TskRadioGroupButton(this, this);
}

void TskRadioGroup::FocusUpdate() {
  const int i = ItemIndex();
  if (i >= 0 && i < Items()->Count()) Buttons(i)->SetFocus();
}
