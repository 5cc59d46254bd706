#include "skin/SKForm.h"

#include "skin/SKMgr.h"

QUENDREL_REGISTER_CLASS(TskForm, TCustomPanel) {
  c.Creatable();
  c.Property("FileTheme", &TskForm::FileTheme, &TskForm::SetFileTheme);
  c.Enum("UIStyle", &TskForm::UIStyle, &TskForm::SetUIStyle, TskUIStyleNames);
}

TskForm::TskForm(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetUIStyle(DeepBlue);
}

void TskForm::SetUIStyle(TskUIStyle Value) {
  FUIStyle = Value;
  Invalidate();
}

void TskForm::SetFileTheme(TskFileTheme* Value) {
  if (Value == FFileTheme) return;
  FFileTheme = Value;
  if (Value) Value->FreeNotification(this); // a theme on another form may go first
  SetUIStyle(FUIStyle);
}

void TskForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == FFileTheme) {
    FFileTheme = nullptr;
    SetUIStyle(DeepBlue);
  }
}
