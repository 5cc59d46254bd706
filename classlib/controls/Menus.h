#pragma once
// Menus: TMenuItem (a tree of items with captions, check marks, short cuts and owner-drawing events), TMenu
// with its TMainMenu and TPopupMenu kinds, and the pop-up display that drops items down and tracks the mouse
// and the keys until one is chosen. Short cuts are key codes with scShift, scCtrl and scAlt added.
#include <functional>
#include <memory>
#include <vector>

#include "classlib/controls/ActnList.h"
#include "classlib/controls/Control.h"

class TImageList;
class TMenu;
class TMenuItem;
class TMenuTrackBar;

using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(WORD Key, TShiftState Shift);
AnsiString ShortCutToText(TShortCut ShortCut);
// A caption without its accelerator marks: each '&' goes, "&&" leaves one.
AnsiString StripHotkey(const AnsiString& Caption);
// The character after a caption's single "&", upper-cased; 0 when none.
char GetHotkey(const AnsiString& Caption);
// The captions a level of items shows (the items' own captions, or, with Automatic, each item without a
// hot key given "&" before the first letter or digit of its caption that no other item of the level has as
// its hot key). The items keep their captions.
std::vector<AnsiString> ShownCaptions(const std::vector<TMenuItem*>& Items, bool Automatic);
TShortCut TextToShortCut(const AnsiString& Text);
// The short cut a key message stands for (key code, Shift and Ctrl state, Alt from the message).
TShortCut ShortCutFromMessage(const TMessage& Message);

enum TOwnerDrawStateItem {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odReserved1,
  odReserved2,
  odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TMenuDrawItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TEvent<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State)>;
using TMenuMeasureItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuChangeEvent = TEvent<void(TObject* Sender, class TMenuItem* Source, bool Rebuild)>;

enum TMenuAutoFlag { maAutomatic, maManual, maParent };
enum TPopupAlignment { paLeft, paRight, paCenter };
extern const TEnumInfo MenuAutoFlagNames;
extern const TEnumInfo PopupAlignmentNames;

class TMenuItem : public TComponent {
  QUENDREL_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value) { FHint = Value; }
  TMenuAutoFlag AutoHotkeys() const { return FAutoHotkeys; }
  void SetAutoHotkeys(TMenuAutoFlag Value) { FAutoHotkeys = Value; }
  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* Value);
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  bool IsLine() const { return FCaption == "-"; }
  // The character after the caption's single "&", upper-cased; 0 when none.
  char Accelerator() const;
  // Whether the item's sub-items get their hot keys automatically when they show: the item's own
  // AutoHotkeys, or while maParent its parent's, up to Root, whose menu Menu decides (the menu the items
  // are shown for, which may be a pop-up menu dropping another menu's items down).
  bool AutoHotkeysInForce(const TMenuItem* Root, const TMenu* Menu) const;

  // The tree.
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;
  TMenuItem* operator[](int Index) const { return Items(Index); }
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const;
  void SetMenuIndex(int Value);
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  void Delete(int Index);       // frees the item
  void Remove(TMenuItem* Item); // detaches without freeing
  void Clear();                 // frees every sub-item
  int IndexOf(const TMenuItem* Item) const;
  TMenuItem* Find(const AnsiString& ACaption) const; // ignores "&" and case
  // The menu the item belongs to, through its parents; null when none.
  TMenu* GetParentMenu() const;

  // Runs the item once: its OnClick, or else its action (an action's client gets the action's OnExecute
  // through the action, never twice).
  virtual void Click();
  // Owner-drawing: in a menu that is owner-drawn (TMenu::IsOwnerDraw) the item's OnAdvancedDrawItem, else
  // its OnDrawItem, draws it, and OnMeasureItem measures it; otherwise, and without those events, the class
  // library draws it.
  virtual void DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected);
  virtual void AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

 protected:
  void MenuChanged(bool Rebuild);
  void DefaultDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State);
  void DefaultMeasureItem(TCanvas* ACanvas, int& Width, int& Height);

 private:
  friend class TMenu;
  friend class TShownCaption;
  AnsiString FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  bool FRadioItem = false;
  int FGroupIndex = 0;
  bool FAutoCheck = false;
  TShortCut FShortCut = 0;
  int FImageIndex = -1;
  AnsiString FHint;
  TMenuAutoFlag FAutoHotkeys = maParent;
  TBasicAction* FAction = nullptr;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr; // set on a menu's root item
};

class TMenu : public TComponent {
  QUENDREL_CLASS(TMenu, TComponent)
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  TMenuItem* Items() const { return FItems.get(); }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
  // The items are drawn by their owner-draw events: OwnerDraw is set or an image list is assigned.
  bool IsOwnerDraw() const { return FOwnerDraw || FImages; }
  TMenuAutoFlag AutoHotkeys() const { return FAutoHotkeys; }
  void SetAutoHotkeys(TMenuAutoFlag Value) { FAutoHotkeys = Value; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }
  // The menu has no native window; components ask for it only to know whether it shows.
  HWND WindowHandle() const { return nullptr; }

  // Runs the enabled item whose short cut the key message is; answers whether one ran.
  bool IsShortCut(TMessage& Message);
  TMenuItem* FindItem(TShortCut Value) const;

  virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TMenuChangeEvent OnChange;

 private:
  std::unique_ptr<TMenuItem> FItems;
  TImageList* FImages = nullptr;
  bool FOwnerDraw = false;
  TMenuAutoFlag FAutoHotkeys = maAutomatic;
  TBiDiMode FBiDiMode = bdLeftToRight;
};

class TMainMenu : public TMenu {
  QUENDREL_CLASS(TMainMenu, TMenu)
 public:
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
};

class TPopupMenu : public TMenu {
  QUENDREL_CLASS(TPopupMenu, TMenu)
 public:
  explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

  // Shows the items at a screen position and tracks them until one is chosen or the menu is dismissed; the
  // chosen item's Click runs after the menu has closed.
  virtual void Popup(int X, int Y);
  // Drops Item's sub-items down at a screen position as this menu would (OnPopup runs first), for the bar
  // that tracks it; answers the item chosen or null.
  TMenuItem* PopupItem(TMenuItem* Item, int X, int Y, TMenuTrackBar* Bar);
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }

  TNotifyEvent OnPopup;

 protected:
  virtual void DoPopup(TObject* Sender);

 private:
  TComponent* FPopupComponent = nullptr;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
};

// A bar whose entries drop menus down (a tool bar acting as a menu bar). While one of its menus is tracked,
// the bar keeps the mouse and the keys that move between its entries.
class TMenuTrackBar {
 public:
  virtual ~TMenuTrackBar() = default;
  // Whether a screen point lies on another entry of the bar, whose menu should drop down instead.
  virtual bool SwitchAt(TPoint Screen) = 0;
  // Left (-1) or Right (+1) on the first level of the menu: whether the bar has a next entry to move to.
  virtual bool SwitchBy(int Direction) = 0;
  // Whether a screen point lies on the entry whose menu is down (a press there just closes the menu).
  virtual bool OnCurrent(TPoint Screen) = 0;
};

// Drops down the sub-items of Item at a screen position and tracks them; answers the item chosen (its Click
// has run, unless a bar or a TMenuCommandHold runs it later), or null when dismissed. Menu is the menu the
// display is for (its OnPopup has run); the items draw as the menu they belong to decides. Bar, when given,
// is the bar that dropped the menu down; it runs the chosen item's Click itself, after the menu has closed
// and its entry is released.
TMenuItem* TrackMenuItem(TMenuItem* Item, int X, int Y, TMenu* Menu, TMenuTrackBar* Bar = nullptr);
// The pop-up windows of the menu being tracked, from the first level to the deepest; empty when none.
std::vector<TWinControl*> MenuPopupWindows();

// Held by a control while it drops a pop-up menu down from a button drawn pressed: the menu tracked next
// keeps its chosen item here instead of running it, so that the control can draw itself released first.
class TMenuCommandHold {
 public:
  TMenuCommandHold();
  ~TMenuCommandHold();
  TMenuCommandHold(const TMenuCommandHold&) = delete;
  TMenuCommandHold& operator=(const TMenuCommandHold&) = delete;
  // Runs the held item's Click, once; nothing when none was chosen.
  void Run();

 private:
  friend TMenuItem* TrackMenuItem(TMenuItem*, int, int, TMenu*, TMenuTrackBar*);
  TMenuCommandHold* FOuter;
  TMenuItem* FChosen = nullptr;
};

// Told each time the menu loop has nothing left to do (tools and tests take their pictures there).
extern std::function<void()> OnMenuLoopIdle;
// Ends any menu tracking in progress (as a click outside would).
void CancelMenuTracking();
