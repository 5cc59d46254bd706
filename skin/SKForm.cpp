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
  FTheme.UIStyle = Value;
  Invalidate();
}

void TskForm::SetFileTheme(TskFileTheme* Value) {
  FTheme.Attach(this, Value);
  SetUIStyle(FTheme.UIStyle);
}

void TskForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (FTheme.Forget(AComponent, Operation)) SetUIStyle(DeepBlue);
}
