#pragma once
// TskPopupMenu: a pop-up menu whose items are drawn in the theme's colours (the title bar's system menu is
// one). The check mark comes from one image list that all pop-up menus share.
#include "classlib/controls/Menus.h"
#include "skin/SKMenu.h"

class TskPopupMenu : public TPopupMenu, public TskMenuStyle {
  QUENDREL_CLASS(TskPopupMenu, TPopupMenu)
 public:
  explicit TskPopupMenu(TComponent* AOwner);

  // Always owner-drawn: a menu that drew its items natively would lose the theme.
  bool OwnerDraw() const { return true; }
  void SetOwnerDraw(bool) {}

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

 protected:
  TImageList* ItemImages() const override { return Images(); }
  TImageList* CheckImages() const override;
  bool MenuItemHeightFixed() const override { return FTheme.UIStyle == MacOS; }
};

// The check mark every pop-up menu draws: "MENU_CHECKED", white transparent.
TImageList* MenuCheckImages();
