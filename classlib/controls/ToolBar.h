#pragma once
// TToolBar and TToolButton: a bar of buttons laid out left to right (wrapping onto further rows when
// Wrapable), flat or raised, with captions and images. The bar paints its buttons itself and lets its owner
// take over through OnCustomDraw (the background) and OnCustomDrawButton (each button). A button linked to a
// menu item shows the item's caption and drops its sub-items down; while such a menu is down, moving the
// mouse onto another such button, or Left and Right, moves the open menu there, as a menu bar does.
#include <memory>
#include <vector>

#include "classlib/controls/CustomControl.h"
#include "classlib/controls/GraphicControl.h"
#include "classlib/core/Set.h"

class TImageList;
class TMenuItem;
class TPopupMenu;
class TToolBar;
class TToolButton;

using TCustomImageList = TImageList;

enum TCustomDrawStateItem {
  cdsSelected,
  cdsGrayed,
  cdsDisabled,
  cdsChecked,
  cdsFocused,
  cdsDefault,
  cdsHot,
  cdsMarked,
  cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateItem>;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
// The width of a tbsDropDown button's arrow part, at its right-hand end.
constexpr int DropDownArrowWidth = 14;
enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;
enum TEdgeStyle { esNone, esRaised, esLowered };
extern const TEnumInfo ToolButtonStyleNames;
extern const TEnumInfo EdgeBorderNames;
extern const TEnumInfo EdgeStyleNames;

using TToolBarCustomDrawEvent = TEvent<void(TToolBar* Sender, const TRect& ARect, bool& DefaultDraw)>;
using TToolBarCustomDrawButtonEvent =
    TEvent<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;

class TToolButton : public TGraphicControl {
  QUENDREL_CLASS(TToolButton, TGraphicControl)
 public:
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool Grouped() const { return FGrouped; }
  void SetGrouped(bool Value) { FGrouped = Value; }
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool Marked() const { return FMarked; }
  void SetMarked(bool Value);
  bool Indeterminate() const { return FIndeterminate; }
  void SetIndeterminate(bool Value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  // The menu item whose caption and enabled state the button shows and whose sub-items it drops down.
  TMenuItem* MenuItem() const { return FMenuItem; }
  void SetMenuItem(TMenuItem* Value);
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* Value);

  // The bar the button stands on; null while it stands elsewhere.
  TToolBar* ToolBar() const;
  // The button's place on its bar; -1 off a bar.
  int Index() const;
  // Whether the button has a menu to drop down.
  bool HasMenu() const;
  // The caption as drawn: a menu item's with the hot key Alt reaches it by on the bar, which its level may
  // have given it automatically (Caption itself never changes).
  AnsiString ShownCaption() const;
  // Whether X (client) lies on the arrow part of a tbsDropDown button, the part that drops its menu down; a
  // press elsewhere on it is an ordinary press and click.
  bool OnArrow(int X) const;

  void Click() override;
  void SetParent(TWinControl* AParent) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;

 private:
  friend class TToolBar;
  void Changed();
  TToolButtonStyle FStyle = tbsButton;
  bool FAutoSize = false;
  bool FGrouped = false;
  bool FDown = false;
  bool FMarked = false;
  bool FIndeterminate = false;
  bool FWrap = false;
  int FImageIndex = -1;
  TMenuItem* FMenuItem = nullptr;
  TPopupMenu* FDropdownMenu = nullptr;
  bool FPressed = false; // the mouse went down on it and is still down
};

class TToolBar : public TCustomControl {
  QUENDREL_CLASS(TToolBar, TCustomControl)
 public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TToolButton* Buttons(int Index) const;

  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool Value);
  bool List() const { return FList; }
  void SetList(bool Value);
  bool Wrapable() const { return FWrapable; }
  void SetWrapable(bool Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
  void SetEdgeBorders(TEdgeBorders Value);
  TEdgeStyle EdgeInner() const { return FEdgeInner; }
  void SetEdgeInner(TEdgeStyle Value);
  TEdgeStyle EdgeOuter() const { return FEdgeOuter; }
  void SetEdgeOuter(TEdgeStyle Value);
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value);
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int Value);
  int Indent() const { return FIndent; }
  void SetIndent(int Value);
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  TImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TImageList* Value);
  TImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TImageList* Value);

  // The button under the mouse (flat bars light it), and the one whose menu is down; null when none.
  TToolButton* HotButton() const { return FHotButton; }
  TToolButton* MenuButton() const { return FMenuButton; }
  // The state a button is drawn in now.
  TCustomDrawState ButtonState(TToolButton* Button) const;

  // Drops the button's menu down and tracks it (and the menus of the other buttons the user moves to) until
  // the user chooses an item or dismisses the menus. The chosen item's command runs last, once the menus
  // are gone and the bar is painted with no button pressed.
  void TrackMenu(TToolButton* Button);
  // Lays the buttons out again (and sizes the bar when AutoSize).
  void UpdateButtons();
  // The enabled, visible button with a menu at a screen point; null when none.
  TToolButton* MenuButtonAt(TPoint Screen) const;
  // The next enabled, visible button with a menu after From in Direction (+1, -1), wrapping around.
  TToolButton* NextMenuButton(TToolButton* From, int Direction) const;

  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void AdjustClientRect(TRect& Rect) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

  TToolBarCustomDrawEvent OnCustomDraw;
  TToolBarCustomDrawButtonEvent OnCustomDrawButton;

 protected:
  // The class library's own drawing of a button.
  virtual void DrawButton(TToolButton* Button, TCustomDrawState State);
  void CreateParams(TCreateParams& Params) override;

 private:
  friend class TToolButton;
  void InsertButton(TToolButton* Button);
  void RemoveButton(TToolButton* Button);
  void SetHotButton(TToolButton* Button);
  TSize ButtonSize(TToolButton* Button);
  TRect EdgeInsets() const;

  std::vector<TToolButton*> FButtons;
  bool FFlat = false;
  bool FTransparent = false;
  bool FShowCaptions = false;
  bool FList = false;
  bool FWrapable = true;
  bool FAutoSize = false;
  TEdgeBorders FEdgeBorders{ebTop};
  TEdgeStyle FEdgeInner = esRaised;
  TEdgeStyle FEdgeOuter = esLowered;
  int FButtonWidth = 23;
  int FButtonHeight = 22;
  int FIndent = 0;
  TImageList* FImages = nullptr;
  TImageList* FHotImages = nullptr;
  TImageList* FDisabledImages = nullptr;
  TToolButton* FHotButton = nullptr;
  TToolButton* FMenuButton = nullptr;
  bool FUpdating = false;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true); // false once destroyed, for the menu loop
};
