#include "skin/SKDBCtrls.h"

#include "classlib/core/SysUtils.h"
#include "classlib/data/Field.h"

QUENDREL_REGISTER_CLASS(TskDBCheckBox, TskCheckBox) {
  c.Creatable();
  c.Property("DataField", &TskDBCheckBox::DataField, &TskDBCheckBox::SetDataField);
  c.Property("DataSource", &TskDBCheckBox::DataSource, &TskDBCheckBox::SetDataSource);
  c.Property("ReadOnly", &TskDBCheckBox::ReadOnly, &TskDBCheckBox::SetReadOnly).Default(false);
  c.Property("ValueChecked", &TskDBCheckBox::ValueChecked, &TskDBCheckBox::SetValueChecked);
  c.Property("ValueUnchecked", &TskDBCheckBox::ValueUnchecked, &TskDBCheckBox::SetValueUnchecked);
}

QUENDREL_REGISTER_CLASS(TskDBRadioGroup, TskRadioGroup) {
  c.Creatable();
  c.Property("DataField", &TskDBRadioGroup::DataField, &TskDBRadioGroup::SetDataField);
  c.Property("DataSource", &TskDBRadioGroup::DataSource, &TskDBRadioGroup::SetDataSource);
  c.Property("ReadOnly", &TskDBRadioGroup::ReadOnly, &TskDBRadioGroup::SetReadOnly).Default(false);
  c.Property("Items", &TskDBRadioGroup::Items, &TskDBRadioGroup::SetItems);
  c.Property("Values", &TskDBRadioGroup::Values, &TskDBRadioGroup::SetValues);
  c.Event("OnChange", &TskDBRadioGroup::OnChange);
}

namespace {

// One ";"-separated entry from Pos on, without the control characters and blanks around it; Pos moves past
// the separator.
AnsiString ExtractEntry(const AnsiString& List, size_t& Pos) {
  size_t end = List.find(';', Pos);
  if (end == AnsiString::npos) end = List.size();
  size_t first = Pos, last = end;
  while (first < last && static_cast<unsigned char>(List[first]) < 33) ++first;
  while (last > first && static_cast<unsigned char>(List[last - 1]) < 33) --last;
  Pos = end + 1;
  return List.substr(first, last - first);
}

void BindLink(TFieldDataLink& Link, TComponent* Control, TNotifyEvent OnData, TNotifyEvent OnUpdate) {
  Link.SetControl(Control);
  Link.OnDataChange = std::move(OnData);
  Link.OnUpdateData = std::move(OnUpdate);
}

} // namespace

// ---- TskDBCheckBox ----

TskDBCheckBox::TskDBCheckBox(TComponent* AOwner) : TskCheckBox(AOwner) {
  ControlStyle.Include(csReplicatable);
  SetState(cbUnchecked);
  FDataLink = std::make_unique<TFieldDataLink>();
  BindLink(
      *FDataLink, this, [this](TObject* s) { DataChange(s); }, [this](TObject* s) { UpdateData(s); });
}

TskDBCheckBox::~TskDBCheckBox() {
  FDataLink.reset();
}

void TskDBCheckBox::SetDataSource(TDataSource* Value) {
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TskDBCheckBox::SetValueChecked(const AnsiString& Value) {
  FValueCheck = Value;
  DataChange(this);
}

void TskDBCheckBox::SetValueUnchecked(const AnsiString& Value) {
  FValueUncheck = Value;
  DataChange(this);
}

void TskDBCheckBox::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
}

bool TskDBCheckBox::ExecuteAction(TBasicAction* Action) {
  return FDataLink && FDataLink->ExecuteAction(Action);
}

bool TskDBCheckBox::UpdateAction(TBasicAction* Action) {
  return FDataLink && FDataLink->UpdateAction(Action);
}

TCheckBoxState TskDBCheckBox::GetFieldState() const {
  const TField* field = Field();
  if (!field || field->IsNull()) return cbUnchecked;
  if (field->DataType() == ftBoolean) return field->AsBoolean() ? cbChecked : cbUnchecked;
  return ValueMatch(FValueCheck, field->Text()) ? cbChecked : cbUnchecked;
}

bool TskDBCheckBox::ValueMatch(const AnsiString& ValueList, const AnsiString& Value) const {
  size_t pos = 0;
  while (pos < ValueList.size())
    if (SameText(ExtractEntry(ValueList, pos), Value)) return true;
  return false;
}

void TskDBCheckBox::DataChange(TObject*) {
  SetState(GetFieldState());
}

void TskDBCheckBox::UpdateData(TObject*) {
  TField* field = Field();
  if (!field) return;
  if (State() == cbGrayed) {
    field->Clear();
  } else if (field->DataType() == ftBoolean) {
    field->SetAsBoolean(Checked());
  } else {
    size_t pos = 0;
    field->SetText(ExtractEntry(Checked() ? FValueCheck : FValueUncheck, pos));
  }
}

void TskDBCheckBox::Toggle() {
  FToggleRefused = !FDataLink->Edit();
  if (FToggleRefused) return;
  inherited::Toggle();
  FDataLink->Modified();
}

void TskDBCheckBox::DoClick() {
  // A refused edit must leave the box as it is, so the inversion happens here only after Toggle agreed.
  Toggle();
  if (!FToggleRefused) SetChecked(!Checked());
}

void TskDBCheckBox::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (Key == 8 || Key == 32) {
    FDataLink->Edit();
  } else if (Key == 27) {
    FDataLink->Reset();
  }
}

void TskDBCheckBox::WMPaint(TMessage& Message) {
  if (!ControlState.Contains(csPaintCopy)) {
    inherited::WMPaint(Message);
    return;
  }
  // A copy shows the field's value of the record being painted, not the box's own state.
  const bool own = FChecked;
  FChecked = GetFieldState() == cbChecked;
  try {
    inherited::WMPaint(Message);
  } catch (...) {
    FChecked = own;
    throw;
  }
  FChecked = own;
}

void TskDBCheckBox::CMExit(TMessage& Message) {
  try {
    FDataLink->UpdateRecord();
  } catch (...) {
    SetFocus();
    throw;
  }
  inherited::CMExit(Message);
}

// ---- TskDBRadioGroup ----

TskDBRadioGroup::TskDBRadioGroup(TComponent* AOwner) : TskRadioGroup(AOwner) {
  FDataLink = std::make_unique<TFieldDataLink>();
  BindLink(
      *FDataLink, this, [this](TObject* s) { DataChange(s); }, [this](TObject* s) { UpdateData(s); });
  FValues = std::make_unique<TStringList>();
}

TskDBRadioGroup::~TskDBRadioGroup() {
  FDataLink.reset();
  FValues.reset();
}

void TskDBRadioGroup::SetDataSource(TDataSource* Value) {
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TskDBRadioGroup::SetItems(TStrings* Value) {
  TskRadioGroup::SetItems(Value);
  Reread();
}

void TskDBRadioGroup::SetValues(TStrings* Value) {
  FValues->Assign(Value);
  Reread();
}

void TskDBRadioGroup::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
}

bool TskDBRadioGroup::ExecuteAction(TBasicAction* Action) {
  return FDataLink && FDataLink->ExecuteAction(Action);
}

bool TskDBRadioGroup::UpdateAction(TBasicAction* Action) {
  return FDataLink && FDataLink->UpdateAction(Action);
}

AnsiString TskDBRadioGroup::GetButtonValue(int Index) const {
  if (Index >= 0 && Index < FValues->Count() && !FValues->Strings(Index).empty())
    return FValues->Strings(Index);
  if (Index >= 0 && Index < Items()->Count()) return Items()->Strings(Index);
  return "";
}

void TskDBRadioGroup::SetValue(const AnsiString& Value) {
  if (Value == FValue) return;
  SelectValue(Value);
  FValue = Value;
  Change();
}

void TskDBRadioGroup::SelectValue(const AnsiString& Value) {
  int index = -1;
  for (int i = 0; i < Items()->Count(); ++i)
    if (GetButtonValue(i) == Value) {
      index = i;
      break;
    }
  FInSetValue = true;
  try {
    SetItemIndex(index);
  } catch (...) {
    FInSetValue = false;
    throw;
  }
  FInSetValue = false;
}

void TskDBRadioGroup::Reread() {
  // An unchanged field value is not taken again, yet new buttons or values may now match it.
  const AnsiString old = FValue;
  DataChange(this);
  if (FValue == old) SelectValue(FValue);
}

void TskDBRadioGroup::Change() {
  if (OnChange) OnChange(this);
}

void TskDBRadioGroup::DataChange(TObject*) {
  SetValue(Field() ? Field()->Text() : AnsiString());
}

void TskDBRadioGroup::UpdateData(TObject*) {
  if (Field()) Field()->SetText(FValue);
}

void TskDBRadioGroup::NewClick() {
  if (FInSetValue) return;
  if (ItemIndex() >= 0) SetValue(GetButtonValue(ItemIndex()));
  if (FDataLink->Editing()) FDataLink->Modified();
}

bool TskDBRadioGroup::CanModify() {
  return FDataLink->Edit();
}

void TskDBRadioGroup::KeyPress(char& Key) {
  inherited::KeyPress(Key);
  if (Key == 8 || Key == 32) {
    FDataLink->Edit();
  } else if (Key == 27) {
    FDataLink->Reset();
  }
}

void TskDBRadioGroup::CMExit(TMessage& Message) {
  try {
    FDataLink->UpdateRecord();
  } catch (...) {
    const int i = ItemIndex();
    if (i >= 0)
      Buttons(i)->SetFocus();
    else if (ControlCount() > 0)
      if (auto* first = dynamic_cast<TWinControl*>(Controls(0))) first->SetFocus();
    throw;
  }
  inherited::CMExit(Message);
}
