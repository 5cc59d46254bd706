#include "classlib/controls/ActnList.h"

#include <algorithm>

#include "classlib/controls/Application.h"
#include "classlib/controls/Control.h"
#include "classlib/controls/Menus.h"
#include "classlib/graphics/ImageList.h"

QUENDREL_REGISTER_CLASS(TBasicAction, TComponent) {
  c.Event("OnExecute", &TBasicAction::OnExecute);
  c.Event("OnUpdate", &TBasicAction::OnUpdate);
}
QUENDREL_REGISTER_CLASS(TContainedAction, TBasicAction) {
  c.Property("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
}
QUENDREL_REGISTER_CLASS(TCustomAction, TContainedAction) {
  c.Property("AutoCheck", &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck).Default(0);
  c.Property("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
  c.Property("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked).Default(0);
  c.Property("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled).Default(1);
  c.Property("GroupIndex", &TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex).Default(0);
  c.Property("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext).Default(0);
  c.Property("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
  c.Property("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex).Default(-1);
  c.Property("ShortCut", &TCustomAction::ShortCut, &TCustomAction::SetShortCut).Default(0);
  c.Property("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible).Default(1);
}
QUENDREL_REGISTER_CLASS(TAction, TCustomAction) {
  c.Creatable();
}
QUENDREL_REGISTER_CLASS(TCustomActionList, TComponent) {}
QUENDREL_REGISTER_CLASS(TActionList, TCustomActionList) {
  c.Creatable();
  c.Property("Images", &TActionList::Images, &TActionList::SetImages);
}

// ----- TBasicAction

TBasicAction::~TBasicAction() {
  const std::vector<TComponent*> clients = FClients;
  for (TComponent* c : clients) {
    if (auto* control = dynamic_cast<TControl*>(c))
      control->SetAction(nullptr);
    else if (auto* item = dynamic_cast<TMenuItem*>(c))
      item->SetAction(nullptr);
  }
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::RegisterClient(TComponent* Client) {
  if (std::find(FClients.begin(), FClients.end(), Client) == FClients.end()) FClients.push_back(Client);
}

void TBasicAction::UnregisterClient(TComponent* Client) {
  std::erase(FClients, Client);
}

void TBasicAction::Change() {
  const std::vector<TComponent*> clients = FClients;
  for (TComponent* c : clients) {
    if (auto* control = dynamic_cast<TControl*>(c))
      control->ActionChange(this, false);
    else if (auto* item = dynamic_cast<TMenuItem*>(c))
      item->ActionChange(this, false);
  }
}

// ----- TContainedAction

TContainedAction::~TContainedAction() {
  if (FActionList) FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* Value) {
  if (FActionList == Value) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (Value) Value->AddAction(this);
}

int TContainedAction::Index() const {
  return FActionList ? FActionList->IndexOf(this) : -1;
}

TComponent* TContainedAction::GetParentComponent() const {
  return FActionList;
}

void TContainedAction::SetParentComponent(TComponent* Value) {
  if (auto* list = dynamic_cast<TCustomActionList*>(Value)) SetActionList(list);
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->State() != asNormal) return false;
  if (FActionList && FActionList->ExecuteAction(this)) return true;
  return TBasicAction::Execute();
}

// ----- TCustomAction

void TCustomAction::SetCaption(const AnsiString& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Change();
}
void TCustomAction::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  // Checking one action of a group unchecks the others of its list.
  if (Value && FGroupIndex > 0 && ActionList()) {
    for (int i = 0; i < ActionList()->ActionCount(); ++i)
      if (auto* a = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
          a && a != this && a->FGroupIndex == FGroupIndex)
        a->SetChecked(false);
  }
  Change();
}
void TCustomAction::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Change();
}
void TCustomAction::SetHint(const AnsiString& Value) {
  if (FHint == Value) return;
  FHint = Value;
  Change();
}
void TCustomAction::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Change();
}
void TCustomAction::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  FShortCut = Value;
  Change();
}
void TCustomAction::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Change();
}

bool TCustomAction::Execute() {
  Update();
  if (!FEnabled) return false;
  if (FAutoCheck) SetChecked(!FChecked);
  return TContainedAction::Execute() || (Application && Application->ExecuteAction(this));
}

bool TCustomAction::Update() {
  return TContainedAction::Update() || (Application && Application->UpdateAction(this));
}

// ----- TCustomActionList

TCustomActionList::~TCustomActionList() {
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) RemoveAction(a);
}

void TCustomActionList::SetImages(TImageList* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages) FImages->FreeNotification(this);
}

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

TContainedAction* TCustomActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FActions[static_cast<size_t>(Index)];
}

void TCustomActionList::AddAction(TContainedAction* Action) {
  if (Action->ActionList() == this) return;
  if (Action->FActionList) Action->FActionList->RemoveAction(Action);
  FActions.push_back(Action);
  Action->FActionList = this;
}

void TCustomActionList::RemoveAction(TContainedAction* Action) {
  if (std::find(FActions.begin(), FActions.end(), Action) == FActions.end()) return;
  std::erase(FActions, Action);
  Action->FActionList = nullptr;
}

int TCustomActionList::IndexOf(const TContainedAction* Action) const {
  const auto it = std::find(FActions.begin(), FActions.end(), Action);
  return it == FActions.end() ? -1 : static_cast<int>(it - FActions.begin());
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  if (OnExecute) OnExecute(Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TMessage& Message) {
  if (FState != asNormal) return false;
  const TShortCut sc = ShortCutFromMessage(Message);
  if (sc == 0) return false;
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) {
    auto* ca = dynamic_cast<TCustomAction*>(a);
    if (!ca || ca->ShortCut() != sc) continue;
    ca->Update();
    if (!ca->Enabled()) return false;
    ca->Execute();
    return true;
  }
  return false;
}

void TCustomActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TContainedAction* a : FActions)
    if (a->Owner() == Root) Proc(a);
}
