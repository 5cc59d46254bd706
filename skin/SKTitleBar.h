#pragma once
// The skinned caption bar: TskTitleBar paints its form's caption from three picture sections, a row of
// caption buttons, an optional application icon and the caption text, and does what the native caption did
// (dragging, double-click maximize, minimize / maximize / close, a small system menu). Its caption buttons
// and picture sections are collections of their own, published through the frame for the form streams.
#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/controls/Panel.h"
#include "classlib/core/Collection.h"
#include "classlib/graphics/Picture.h"
#include "skin/SKPopupMenu.h"
#include "skin/SKThemeLink.h"

class TBitmap;
class TIcon;
class TskTitleBar;

// The private message by which a title bar asks its form for the width of the frame's side-border picture
// (0 without one; a window that does not know the message answers 0 as well).
constexpr UINT SKM_SIDEBORDERWIDTH = 9923;

enum TskTitleBarBtnType : uint8_t {
  skMax = 0,
  skMin = 1,
  skClose = 2,
  skHelp = 3,
  skControlBox = 4,
  skCustom = 5
};
// Scoped: the side channel's alignment names its values skLeft and skRight as well.
enum class TskTitleBarAlign : uint8_t { skLeft = 0, skRight = 1, skClient = 2 };
extern const TEnumInfo TskTitleBarBtnTypeNames;
extern const TEnumInfo TskTitleBarAlignNames;

// Sender is the title bar, ButtonIndex the button's index in its Buttons.
using TskTitleBarButtonClickEvent = TEvent<void(TObject* Sender, int ButtonIndex)>;

// One caption button: its type, its three state pictures (pieces of the theme's caption-button strip unless
// it is a custom button) and what a click on it does to the form.
class TskTitleBarButton : public TCollectionItem {
  QUENDREL_CLASS(TskTitleBarButton, TCollectionItem)
  friend class TskTitleBar;

 public:
  explicit TskTitleBarButton(TCollection* Collection);
  ~TskTitleBarButton() override;
  // From another button through the setters (the control-box rule applies); other sources as inherited.
  void Assign(TPersistent* Source) override;

  TskUIStyle UIStyle() const { return FUIStyle; }
  void SetUIStyle(TskUIStyle Value);
  TskTitleBarBtnType ButtonType() const { return FButtonType; }
  // A second control box is refused with a message box; the type then stays.
  void SetButtonType(TskTitleBarBtnType Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  int Top() const { return FTop; }
  void SetTop(int Value);
  TPopupMenu* ControlBoxMenu() const { return FControlBoxMenu; }
  void SetControlBoxMenu(TPopupMenu* Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TPicture* PicNormal() const { return FPicNormal.get(); }
  void SetPicNormal(TPicture* Value);
  TPicture* PicMouseOn() const { return FPicMouseOn.get(); }
  void SetPicMouseOn(TPicture* Value);
  TPicture* PicMouseDown() const { return FPicMouseDown.get(); }
  void SetPicMouseDown(TPicture* Value);

  // Re-reads the pictures, transparency and Top from the title bar's theme file or the built-in style.
  void UpdateUIStyle();
  void UpdateFileTheme();
  void UpdateInsideTheme(TskUIStyle Style);
  // A maximize button shows the restore pictures while its form is maximized.
  void ProcessMaxBtn();
  // What a click does to the form; help and custom buttons do nothing here.
  void DoClick();

  // The title bar of the collection; null outside one.
  TskTitleBar* TitleBar() const;

 private:
  void ApplyTheme(const TskThemeLink& Theme);
  void LoadPictures(const TskThemeLink& Theme, int FirstPiece);
  void Changed();

  bool FVisible = true;
  TskTitleBarBtnType FButtonType = skCustom;
  bool FTransparent = false;
  int FTop = 2;
  TskUIStyle FUIStyle = DeepBlue;
  std::unique_ptr<TPicture> FPicNormal;
  std::unique_ptr<TPicture> FPicMouseOn;
  std::unique_ptr<TPicture> FPicMouseDown;
  TPopupMenu* FControlBoxMenu = nullptr; // not owned
};

// One picture of the caption background. The title bar draws sections by position (left end, right end,
// stretched middle); Width, Align and Stretch are only stored.
class TskTitleBarSection : public TCollectionItem {
  QUENDREL_CLASS(TskTitleBarSection, TCollectionItem)
 public:
  explicit TskTitleBarSection(TCollection* Collection);
  ~TskTitleBarSection() override;
  void Assign(TPersistent* Source) override;

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TskTitleBarAlign Align() const { return FAlign; }
  // A second skClient section is refused with a message box; the alignment then stays.
  void SetAlign(TskTitleBarAlign Value);
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);

  TskTitleBar* TitleBar() const;

 private:
  void Changed();

  int FWidth = 10;
  TskTitleBarAlign FAlign = TskTitleBarAlign::skLeft;
  std::unique_ptr<TPicture> FPicture;
  bool FStretch = false;
  bool FAutoSize = false;
};

// The title bar's collections: each keeps its bar, names it as its owner and has it repaint on a change.
class TskTitleBarCollection : public TCollection {
  QUENDREL_CLASS(TskTitleBarCollection, TCollection)
 public:
  TskTitleBarCollection(TskTitleBar* TitleBar, TClass ItemClass)
      : TCollection(ItemClass), FTitleBar(TitleBar) {}
  TskTitleBar* TitleBar() const { return FTitleBar; }
  void Update(TCollectionItem* Item) override;
  TPersistent* GetOwner() override;

 private:
  TskTitleBar* FTitleBar; // not owned
};

class TskTitleBarButtons : public TskTitleBarCollection {
  QUENDREL_CLASS(TskTitleBarButtons, TskTitleBarCollection)
 public:
  explicit TskTitleBarButtons(TskTitleBar* TitleBar)
      : TskTitleBarCollection(TitleBar, TskTitleBarButton::StaticClass()) {}
  TskTitleBarButton* Add() { return static_cast<TskTitleBarButton*>(TCollection::Add()); }
  TskTitleBarButton* Items(int Index) const {
    return static_cast<TskTitleBarButton*>(TCollection::Items(Index));
  }
  void SetItems(int Index, TskTitleBarButton* Value) { SetItem(Index, Value); }
  TskTitleBarButton* operator[](int Index) const { return Items(Index); }
};

class TskTitleBarSections : public TskTitleBarCollection {
  QUENDREL_CLASS(TskTitleBarSections, TskTitleBarCollection)
 public:
  explicit TskTitleBarSections(TskTitleBar* TitleBar)
      : TskTitleBarCollection(TitleBar, TskTitleBarSection::StaticClass()) {}
  TskTitleBarSection* Add() { return static_cast<TskTitleBarSection*>(TCollection::Add()); }
  TskTitleBarSection* Items(int Index) const {
    return static_cast<TskTitleBarSection*>(TCollection::Items(Index));
  }
  void SetItems(int Index, TskTitleBarSection* Value) { SetItem(Index, Value); }
  TskTitleBarSection* operator[](int Index) const { return Items(Index); }
};

// The title bar's system menu: Minimize, Maximize/Restore, a separator and Close, each enabled while the bar
// shows the matching button.
class TskTitleBarPopupMenu : public TskPopupMenu {
  QUENDREL_CLASS(TskTitleBarPopupMenu, TskPopupMenu)
 public:
  explicit TskTitleBarPopupMenu(TComponent* AOwner);
  ~TskTitleBarPopupMenu() override;
  void Popup(int X, int Y) override;

  TskTitleBar* TitleBar() const { return FTitleBar; }
  void SetTitleBar(TskTitleBar* Value) { FTitleBar = Value; }

 private:
  void OnMin(TObject* Sender);
  void OnMax(TObject* Sender);
  void OnClose(TObject* Sender);

  TskTitleBar* FTitleBar = nullptr; // not owned: the bar that made the menu
};

class TskTitleBar : public TskThemed<TCustomPanel> {
  QUENDREL_CLASS(TskTitleBar, TskThemed<TCustomPanel>)
 public:
  explicit TskTitleBar(TComponent* AOwner);
  ~TskTitleBar() override;

  bool Custom() const { return FCustom; }
  void SetCustom(bool Value) { FCustom = Value; }
  // Rebuilds the sections and re-reads offsets, buttons and caption colour unless Custom is set.
  void SetUIStyle(TskUIStyle Value) override;
  bool AutoSize() const { return FAutoSize; }
  // Height follows the first section's picture (3 pixels less inside a frame), for either value.
  void SetAutoSize2(bool Value);
  TskTitleBarSections* Sections() const { return FSections.get(); }
  void SetSections(TskTitleBarSections* Value);
  TskTitleBarButtons* Buttons() const { return FButtons.get(); }
  void SetButtons(TskTitleBarButtons* Value);
  int ButtonInterval() const { return FButtonInterval; }
  void SetButtonInterval(int Value);
  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& Value);
  bool FormActive() const { return FFormActive; }
  void SetFormActive(bool Value);
  int LeftBtnXOffset() const { return FLeftBtnXOffset; }
  void SetLeftBtnXOffset(int Value);
  int RightBtnXOffset() const { return FRightBtnXOffset; }
  void SetRightBtnXOffset(int Value);
  int RoundCorner() const { return FRoundCorner; }
  void SetRoundCorner(int Value) { FRoundCorner = Value; }
  int RoundCornerBottom() const { return FRoundCornerBottom; }
  void SetRoundCornerBottom(int Value) { FRoundCornerBottom = Value; }
  bool DrawAppIcon() const { return FDrawAppIcon; }
  void SetDrawAppIcon(bool Value);

  // Inside a skinned frame: the parent is a TskForm, or the owner an MDI frame.
  bool InForm() const;
  bool InMDIForm() const;
  // Exactly three sections: only then does the frame continue their pictures into its border.
  bool CanPaint() const;
  // The 1st, 2nd or 3rd section's picture; Bitmap is left alone when there are fewer sections.
  void GetLeftImage(TBitmap*& Bitmap) const;
  void GetRightImage(TBitmap*& Bitmap) const;
  void GetCenterImage(TBitmap*& Bitmap) const;
  // Every maximize button, visible or not, shows the pictures for its form's current state.
  void ProcessMaxBtn();
  TskTitleBarPopupMenu* SystemMenu() const { return FSystemMenu; }
  // Right-to-left layout: BiDiMode right to left on a Middle-East system locale.
  bool RightToLeft() const;
  // The bar's client point (X, Height) on the screen, never left of the screen's left edge.
  TPoint MenuPoint(int X);

  // Where the buttons stand for a bar Width pixels wide, in bar coordinates (empty for a hidden button);
  // painting and the mouse both go through this, so what is pressed is what is drawn there.
  std::vector<TRect> ButtonRects(int Width);
  // The index of the visible button at a point of the bar; -1 when none.
  int ButtonAt(int X, int Y);
  // The caption shortened with "..." to fit Room pixels of Canvas's font; empty when not even "..." fits.
  static AnsiString FitCaption(TCanvas* Canvas, const AnsiString& Caption, int Room);
  // The button under the cursor when the bar was last painted; -1 none.
  int HotButtonIndex() const { return FHotButtonIndex; }
  int ButtonTop() const { return FButtonTop; }
  int ButtonHeight() const { return FButtonHeight; }

  TskTitleBarButtonClickEvent OnCustomBtnsClick;
  TskTitleBarButtonClickEvent OnHelpBtnClick;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;

  void WMEraseBkgnd(TMessage& Message) override;
  void WMLButtonDblClk(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void WMNCLButtonDown(TMessage& Message) override;
  void WMNCLButtonUp(TMessage& Message) override;
  void WMNCMouseMove(TMessage& Message) override;
  void CMDesignHitTest(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

 protected:
  virtual void DrawSectionsTo(TBitmap* Bitmap);
  virtual void DrawButtons(TBitmap* Bitmap);

 private:
  friend class TskTitleBarButton;
  friend class TskTitleBarSection;

  struct TButtonLayout {
    std::vector<TRect> Rects; // per button; (0, 0, -1, -1) for a hidden one
    int ControlBox = -1;
    int CaptionLeft = 0;
    int CaptionRight = 0; // the left edge of the leftmost right-hand button
  };
  TButtonLayout Layout(int Width);
  // The application's icon at 16 x 16, made on first use.
  TIcon* SmallIcon();
  void UpdateTheme(const TskThemeLink& Theme);
  void UpdateFileTheme();
  void UpdateInsideTheme(TskUIStyle Style);
  // The width of the frame's side-border picture (message 9923 to the parent form); 0 without a form.
  int SideBorderWidth();
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  void ForwardToForm(TMessage& Message);
  void ButtonClicked(int Index);

  std::unique_ptr<TskTitleBarSections> FSections;
  std::unique_ptr<TskTitleBarButtons> FButtons;
  bool FAutoSize = false;
  int FButtonInterval = 0;
  AnsiString FCaption;
  bool FFormActive = true;
  int FLeftBtnXOffset = 0;
  int FRightBtnXOffset = 0;
  int FRoundCorner = 0;
  int FRoundCornerBottom = 0;
  bool FDrawAppIcon = false;
  TskTitleBarPopupMenu* FSystemMenu = nullptr; // owned (component ownership)
  bool FCustom = false;
  bool FMouseDown = false;
  int FHotButtonIndex = -1;
  int FPressedIndex = -1; // the button a left press went down on; -1 none
  int FButtonHeight = 0;
  int FButtonTop = 0;
  TPoint FDblClickPoint{-1, -1};
  std::unique_ptr<TIcon> FSmallIcon;
};
