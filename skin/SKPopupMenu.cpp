#include "skin/SKPopupMenu.h"

#include <memory>

#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/ImageList.h"
#include "skin/SKMgr.h"
#include "skin/SKResDef.h"

QUENDREL_REGISTER_CLASS(TskPopupMenu, TPopupMenu) {
  c.Creatable();
  c.Property("OwnerDraw", &TskPopupMenu::OwnerDraw, &TskPopupMenu::SetOwnerDraw).Default(0);
  PublishSkMenuProperties(c);
}

namespace {

// "MENU_CHECKED" made transparent and added with white as the mask colour.
void FillCheckImages(TImageList* List) {
  TBitmap check;
  check.LoadFromResourceName(0, SK_RES_MENU_CHECKED);
  check.SetTransparent(true);
  List->AddMasked(&check, 0xFFFFFF);
}

// Made when the unit is first used, freed when the program ends.
std::unique_ptr<TImageList>& SharedCheckImages() {
  static std::unique_ptr<TImageList> list;
  return list;
}

} // namespace

TImageList* MenuCheckImages() {
  std::unique_ptr<TImageList>& list = SharedCheckImages();
  if (!list) {
    list = std::make_unique<TImageList>(nullptr);
    FillCheckImages(list.get());
  }
  return list.get();
}

TskPopupMenu::TskPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner), TskMenuStyle(this) {
  TPopupMenu::SetOwnerDraw(true);
  InitMenuStyle(AOwner);
}

TImageList* TskPopupMenu::CheckImages() const {
  return MenuCheckImages();
}

void TskPopupMenu::Loaded() {
  TPopupMenu::Loaded();
  MenuAdded();
}

void TskPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TPopupMenu::Notification(AComponent, Operation);
  StyleNotification(AComponent, Operation);
}

void TskPopupMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  TPopupMenu::MenuChanged(Sender, Source, Rebuild);
  StyleMenuChanged(Source, Rebuild);
}
