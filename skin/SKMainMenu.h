#pragma once
// TskMainMenu: the menu a skinned frame shows in its own menu bar, its items drawn in the theme's colours.
// It keeps its own check-mark image list, which also makes the class library treat it as owner-drawn, and
// tells its frame when its items change.
#include "classlib/controls/Menus.h"
#include "skin/SKMenu.h"

class TskForm;

class TskMainMenu : public TMainMenu, public TskMenuStyle {
  QUENDREL_CLASS(TskMainMenu, TMainMenu)
 public:
  explicit TskMainMenu(TComponent* AOwner);
  ~TskMainMenu() override;

  // The image list of the items' images: null while the menu shows only its own check mark; writing null
  // puts the check mark back.
  TImageList* Images() const;
  void SetImages(TImageList* Value);
  // Always owner-drawn.
  bool OwnerDraw() const { return true; }
  void SetOwnerDraw(bool) {}
  void SetUseSystemFont(bool Value) override;

  // The frame whose menu bar shows this menu; set and cleared by the frame.
  TskForm* Frame() const { return FFrame; }
  void SetFrame(TskForm* Value) { FFrame = Value; }

  // Takes the owner form's native menu away, whichever menu it is: the frame's menu bar stands in for it.
  void AfterConstruction();
  void MenuAdded() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

 protected:
  TImageList* ItemImages() const override { return Images(); }
  TImageList* CheckImages() const override { return FCheckImages; }
  bool MenuItemHeightFixed() const override { return false; }

 private:
  TImageList* FCheckImages; // owned by the menu as its component
  TskForm* FFrame = nullptr;
};
