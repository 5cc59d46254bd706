#include "skin/SKMainMenu.h"

#include "classlib/controls/Form.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/ImageList.h"
#include "skin/SKForm.h"
#include "skin/SKMgr.h"
#include "skin/SKResDef.h"

QUENDREL_REGISTER_CLASS(TskMainMenu, TMainMenu) {
  c.Creatable();
  c.Property("Images", &TskMainMenu::Images, &TskMainMenu::SetImages);
  c.Property("OwnerDraw", &TskMainMenu::OwnerDraw, &TskMainMenu::SetOwnerDraw).Default(0);
  PublishSkMenuProperties(c);
}

TskMainMenu::TskMainMenu(TComponent* AOwner)
    : TMainMenu(AOwner), TskMenuStyle(this), FCheckImages(new TImageList(this)) { // owned by the menu
  TBitmap check;
  check.LoadFromResourceName(0, SK_RES_MENU_CHECKED);
  check.SetTransparent(true);
  FCheckImages->AddMasked(&check, 0xFFFFFF);
  TMainMenu::SetImages(FCheckImages);
  InitMenuStyle(AOwner);
  AfterConstruction();
}

TskMainMenu::~TskMainMenu() {
  TMainMenu::SetImages(nullptr);
  delete FCheckImages; // the menu's own component
}

TImageList* TskMainMenu::Images() const {
  TImageList* images = TMainMenu::Images();
  return images == FCheckImages ? nullptr : images;
}

void TskMainMenu::SetImages(TImageList* Value) {
  TMainMenu::SetImages(Value ? Value : FCheckImages);
}

void TskMainMenu::SetUseSystemFont(bool Value) {
  TskMenuStyle::SetUseSystemFont(Value);
  if (FFrame) FFrame->RepaintMenuBar();
}

void TskMainMenu::AfterConstruction() {
  if (auto* form = dynamic_cast<TCustomForm*>(Owner())) form->SetMenu(nullptr);
}

void TskMainMenu::MenuAdded() {
  TskMenuStyle::MenuAdded();
  if (FFrame) FFrame->UpdateMenu();
}

void TskMainMenu::Loaded() {
  TMainMenu::Loaded();
  AfterConstruction();
  MenuAdded();
}

void TskMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMainMenu::Notification(AComponent, Operation);
  StyleNotification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFrame) FFrame = nullptr;
}

void TskMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  TMainMenu::MenuChanged(Sender, Source, Rebuild);
  StyleMenuChanged(Source, Rebuild);
  if (!FFrame || !dynamic_cast<TCustomForm*>(Owner())) return;
  FFrame->UpdateTopMenu();
  const TComponentState state = ComponentState();
  if (state.Contains(csDesigning) && !state.Contains(csLoading)) FFrame->UpdateMenu();
}
