#include "skin/SKDBCtrls.h"

#include "classlib/controls/StdMessages.h"
#include "classlib/core/SysUtils.h"
#include "classlib/data/DBCtrls.h"
#include "classlib/data/Field.h"
#include "classlib/graphics/Gdi.h"

QUENDREL_REGISTER_CLASS(TskDBCheckBox, TskCheckBox) {
  c.Creatable();
  c.Property("DataField", &TskDBCheckBox::DataField, &TskDBCheckBox::SetDataField);
  c.Property("DataSource", &TskDBCheckBox::DataSource, &TskDBCheckBox::SetDataSource);
  c.Property("ReadOnly", &TskDBCheckBox::ReadOnly, &TskDBCheckBox::SetReadOnly).Default(false);
  c.Property("ValueChecked", &TskDBCheckBox::ValueChecked, &TskDBCheckBox::SetValueChecked);
  c.Property("ValueUnchecked", &TskDBCheckBox::ValueUnchecked, &TskDBCheckBox::SetValueUnchecked);
  c.Message(CM_GETDATALINK, &TskDBCheckBox::CMGetDataLink);
}

QUENDREL_REGISTER_CLASS(TskDBRadioGroup, TskRadioGroup) {
  c.Creatable();
  c.Property("DataField", &TskDBRadioGroup::DataField, &TskDBRadioGroup::SetDataField);
  c.Property("DataSource", &TskDBRadioGroup::DataSource, &TskDBRadioGroup::SetDataSource);
  c.Property("ReadOnly", &TskDBRadioGroup::ReadOnly, &TskDBRadioGroup::SetReadOnly).Default(false);
  c.Property("Items", &TskDBRadioGroup::Items, &TskDBRadioGroup::SetItems);
  c.Property("Values", &TskDBRadioGroup::Values, &TskDBRadioGroup::SetValues);
  c.Event("OnChange", &TskDBRadioGroup::OnChange);
  c.Message(CM_GETDATALINK, &TskDBRadioGroup::CMGetDataLink);
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

// A control going away hears nothing more from its link: no event of it runs on a half-destroyed control.
void UnbindLink(std::unique_ptr<TFieldDataLink>& Link) {
  if (!Link) return;
  Link->OnDataChange = nullptr;
  Link->OnUpdateData = nullptr;
  Link.reset();
}

} // namespace

// ---- TskDBCheckBox ----

TskDBCheckBox::TskDBCheckBox(TComponent* AOwner) : TskCheckBox(AOwner) {
  ControlStyle.Include(csReplicatable);
  SetState(cbUnchecked);
  FDataLink = std::make_unique<TFieldDataLink>();
  BindLink(
      *FDataLink, this, [this](TObject* s) { DataChange(s); }, [this](TObject* s) { UpdateData(s); });
  FPaintControl = std::make_unique<TPaintControl>(this, "BUTTON");
  FPaintControl->SetCtl3DButton(true);
}

TskDBCheckBox::~TskDBCheckBox() {
  FPaintControl.reset();
  UnbindLink(FDataLink);
}

void TskDBCheckBox::SetDataSource(TDataSource* Value) {
  if (!(FDataLink->DataSourceFixed() && ComponentState().Contains(csLoading)))
    FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

bool TskDBCheckBox::UseRightToLeftAlignment() const {
  return DBUseRightToLeftAlignment(this, Field());
}

void TskDBCheckBox::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(FDataLink.get());
}

void TskDBCheckBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_CREATE:
  case WM_WINDOWPOSCHANGED:
  case CM_TEXTCHANGED:
  case CM_FONTCHANGED:
    if (FPaintControl) FPaintControl->DestroyHandle();
    break;
  default:
    break;
  }
  inherited::WndProc(Message);
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
  return inherited::ExecuteAction(Action) || (FDataLink && FDataLink->ExecuteAction(Action));
}

bool TskDBCheckBox::UpdateAction(TBasicAction* Action) {
  return inherited::UpdateAction(Action) || (FDataLink && FDataLink->UpdateAction(Action));
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
    if (AnsiSameText(ExtractEntry(ValueList, pos), Value)) return true;
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
  // A copy shows the field's value of the record being painted, drawn by the plain check box.
  const HWND paint = FPaintControl->Handle();
  const TCheckBoxState state = GetFieldState();
  SendMessage(paint, BM_SETCHECK,
              state == cbChecked  ? BST_CHECKED
              : state == cbGrayed ? BST_INDETERMINATE
                                  : BST_UNCHECKED,
              0);
  if (Message.WParam) {
    SendMessage(paint, WM_PAINT, Message.WParam, 0);
    return;
  }
  // Painted in copy mode by its own window: the copy goes on the box's own paint context.
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  TRect all = ClientRect();
  FillRect(dc, &all, Brush()->Handle());
  SendMessage(paint, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  EndPaint(Handle(), &ps);
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
  OnChange = nullptr;
  UnbindLink(FDataLink);
  FValues.reset();
}

void TskDBRadioGroup::SetDataSource(TDataSource* Value) {
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

bool TskDBRadioGroup::UseRightToLeftAlignment() const {
  return TControl::UseRightToLeftAlignment();
}

void TskDBRadioGroup::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(FDataLink.get());
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
  return inherited::ExecuteAction(Action) || (FDataLink && FDataLink->ExecuteAction(Action));
}

bool TskDBRadioGroup::UpdateAction(TBasicAction* Action) {
  return inherited::UpdateAction(Action) || (FDataLink && FDataLink->UpdateAction(Action));
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
  if (OnChange && !ComponentState().Contains(csDestroying)) OnChange(this);
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
