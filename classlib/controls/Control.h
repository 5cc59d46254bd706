#pragma once
// TControl: a visible component on a parent. It has bounds in its parent's client area, alignment with
// margins, anchors and size constraints, colour and font (taken from the parent unless set), and receives
// messages through its replaceable WindowProc, then WndProc, the per-message handlers and DefaultHandler.
// Graphic controls have no window: their parent paints them and routes their mouse messages.
#include <functional>
#include <memory>

#include "classlib/controls/Messages.h"
#include "classlib/core/Component.h"
#include "classlib/core/Event.h"
#include "classlib/core/Set.h"
#include "classlib/core/TypInfo.h"
#include "classlib/graphics/Canvas.h"
#include "classlib/graphics/Color.h"
#include "classlib/graphics/Font.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };

enum TControlStyleItem {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents,
  csNeedsBorderPaint,
  csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;
enum TControlStateItem {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking,
  csAligning
};
using TControlState = TSet<TControlStateItem>;

// Holds one control-state flag set for the span of a scope.
class TControlStateScope {
 public:
  TControlStateScope(TControlState& State, TControlStateItem Item) : FState(State), FItem(Item) {
    FState.Include(FItem);
  }
  ~TControlStateScope() { FState.Exclude(FItem); }
  TControlStateScope(const TControlStateScope&) = delete;
  TControlStateScope& operator=(const TControlStateScope&) = delete;

 private:
  TControlState& FState;
  TControlStateItem FItem;
};

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                  crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crNo = -18, crAppStart = -19,
                  crHelp = -20, crHandPoint = -21, crSizeAll = -22;

using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TEvent<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
using TMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = TEvent<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
// Dragging and docking: the events exist so that components can publish them; nothing starts a drag yet.
class TDragObject;
class TDragDockObject;
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragKind { dkDrag, dkDock };
enum TDragMode { dmManual, dmAutomatic };
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TDragOverEvent =
    TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = TEvent<void(TObject* Sender, TDragObject*& DragObject)>;
using TStartDockEvent = TEvent<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TDockDropEvent = TEvent<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
using TDockOverEvent =
    TEvent<void(TObject* Sender, TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TGetSiteInfoEvent =
    TEvent<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect, TPoint MousePos, bool& CanDock)>;
using TUnDockEvent = TEvent<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TConstrainedResizeEvent =
    TEvent<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;

extern const TEnumInfo AlignNames;
extern const TIdentMapping CursorIdents; // crDefault, crArrow, ... for form streams
extern const TEnumInfo DragKindNames;
extern const TEnumInfo DragModeNames;
// Publishes a cursor property, which form streams read and write by name (crHandPoint) or as a number.
template <class T, class G, class S>
TClassBuilder<T>& CursorProperty(TClassBuilder<T>& c, const char* Name, G Getter, S Setter) {
  return c.Property(Name, Getter, Setter).Idents(CursorIdents);
}
// Publishes DragCursor, DragKind and DragMode for a control class that lists them.
template <class T> void DragProperties(TClassBuilder<T>& c) {
  CursorProperty(c, "DragCursor", &T::DragCursor, &T::SetDragCursor).Default(crDrag);
  c.Enum("DragKind", &T::DragKind, &T::SetDragKind, DragKindNames).Default(dkDrag);
  c.Enum("DragMode", &T::DragMode, &T::SetDragMode, DragModeNames).Default(dmManual);
}
extern const TEnumInfo AnchorNames;
extern const TEnumInfo BiDiModeNames;
extern const TEnumInfo AlignmentNames;

// The space kept around a control aligned with AlignWithMargins.
class TMargins : public TPersistent {
  QUENDREL_CLASS(TMargins, TPersistent)
 public:
  explicit TMargins(TControl* Control = nullptr) : FControl(Control) {}
  void Assign(TPersistent* Source) override;
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Right() const { return FRight; }
  int Bottom() const { return FBottom; }
  void SetLeft(int V) { Set(FLeft, V); }
  void SetTop(int V) { Set(FTop, V); }
  void SetRight(int V) { Set(FRight, V); }
  void SetBottom(int V) { Set(FBottom, V); }
  void SetMargins(int L, int T, int R, int B);
  TNotifyEvent OnChange;

 private:
  void Set(int& Field, int Value);
  TControl* FControl;
  int FLeft = 3, FTop = 3, FRight = 3, FBottom = 3;
};

// Minimum and maximum sizes; 0 means no limit.
class TSizeConstraints : public TPersistent {
  QUENDREL_CLASS(TSizeConstraints, TPersistent)
 public:
  explicit TSizeConstraints(TControl* Control = nullptr) : FControl(Control) {}
  void Assign(TPersistent* Source) override;
  int MinWidth() const { return FMinWidth; }
  int MinHeight() const { return FMinHeight; }
  int MaxWidth() const { return FMaxWidth; }
  int MaxHeight() const { return FMaxHeight; }
  void SetMinWidth(int V);
  void SetMinHeight(int V);
  void SetMaxWidth(int V);
  void SetMaxHeight(int V);
  TNotifyEvent OnChange;

 private:
  void Changed();
  TControl* FControl;
  int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

class TControl : public TComponent {
  QUENDREL_CLASS(TControl, TComponent)
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // Messages.
  TWndMethod WindowProc; // replaceable; starts as WndProc
  virtual void WndProc(TMessage& Message);
  // Calls the message's handler from the class's message table (searched up the class chain; see
  // TClassBuilder::Message), or DefaultHandler when no class has one.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

  // Bounds, in the parent's client coordinates (screen coordinates for forms).
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }
  virtual void SetClientWidth(int Value);
  virtual void SetClientHeight(int Value);
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint Point);
  TPoint ScreenToClient(TPoint Point);

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  // The form that contains the control, through its parents; null when none.
  TCustomForm* GetParentForm() const;
  // Controls nest in their parent's object in form streams.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show();
  void Hide();
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  // Enabled here and in every parent.
  bool IsEnabledAll() const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  bool AlignWithMargins() const { return FAlignWithMargins; }
  void SetAlignWithMargins(bool Value);
  TMargins* Margins() const { return FMargins.get(); }
  void SetMargins(TMargins* Value) { FMargins->Assign(Value); }
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  // Caption and Text are the same string: the control's text (a windowed control's window text).
  AnsiString Caption() const { return GetText(); }
  void SetCaption(const AnsiString& Value) { SetText(Value); }
  AnsiString Text() const { return GetText(); }
  virtual AnsiString GetText() const { return FText; }
  virtual void SetText(const AnsiString& Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  // How the control would be dragged; kept and streamed, but nothing starts a drag yet.
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) {
    FShowHint = Value;
    FParentShowHint = false;
  }
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value) { FParentShowHint = Value; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value);
  // A direction taken from the parent is not the control's to store.
  bool IsBiDiModeStored() const { return !FParentBiDiMode; }
  // Right-to-left alignment needs a right-to-left locale as well; data-aware controls also ask their field.
  virtual bool UseRightToLeftAlignment() const;
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* Value);

  TControlStyle ControlStyle;
  TControlState ControlState;

  // Painting. Invalidate waits for the next paint; Update paints what is invalid now; Repaint does both.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // Whether the control is seen at Point (client coordinates); graphic controls answer through CM_HITTEST.
  bool HitTest(TPoint Point);

  // Events and their dynamic methods.
  virtual void Click();
  virtual void DblClick();
  virtual void Resize();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TCanResizeEvent OnCanResize;
  TConstrainedResizeEvent OnConstrainedResize;
  TDragDropEvent OnDragDrop;
  TDragOverEvent OnDragOver;
  TEndDragEvent OnEndDrag;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDock;
  TStartDockEvent OnStartDock;
  // Before the pop-up menu: a handler that sets Handled keeps the menu away.
  TContextPopupEvent OnContextPopup;

  // The shift state for mouse-message key flags.
  static TShiftState KeysToShiftState(int Keys);
  static TShiftState KeyDataToShiftState(LONG KeyData);

  // Message handlers, registered in TControl's message table. Each calls the inherited handler where the
  // default behaviour is wanted; the root of every handler passes the message to DefaultHandler. A descendant
  // overrides one of these, or registers a handler for any other message in its own table.
  virtual void WMLButtonDown(TMessage& Message);
  virtual void WMLButtonUp(TMessage& Message);
  virtual void WMLButtonDblClk(TMessage& Message);
  virtual void WMRButtonDown(TMessage& Message);
  virtual void WMRButtonUp(TMessage& Message);
  virtual void WMRButtonDblClk(TMessage& Message);
  virtual void WMMButtonDown(TMessage& Message);
  virtual void WMMButtonUp(TMessage& Message);
  virtual void WMMouseMove(TMessage& Message);
  virtual void WMMouseWheel(TMessage& Message);
  virtual void WMCancelMode(TMessage& Message);
  virtual void WMWindowPosChanged(TMessage& Message);
  virtual void WMContextMenu(TMessage& Message);
  virtual void WMPaint(TMessage& Message);
  virtual void WMEraseBkgnd(TMessage& Message);
  virtual void WMNCPaint(TMessage& Message);
  virtual void WMNCCalcSize(TMessage& Message);
  virtual void WMNCHitTest(TMessage& Message);
  virtual void WMNCLButtonDown(TMessage& Message);
  virtual void WMNCLButtonUp(TMessage& Message);
  virtual void WMNCMouseMove(TMessage& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMMove(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMKeyDown(TMessage& Message);
  virtual void WMKeyUp(TMessage& Message);
  virtual void WMChar(TMessage& Message);
  virtual void WMSysKeyDown(TMessage& Message);
  virtual void WMSysKeyUp(TMessage& Message);
  virtual void WMSysChar(TMessage& Message);
  virtual void WMSysCommand(TMessage& Message);
  virtual void WMActivate(TMessage& Message);
  virtual void WMClose(TMessage& Message);
  virtual void WMGetMinMaxInfo(TMessage& Message);
  virtual void WMShowWindow(TMessage& Message);
  virtual void WMDestroy(TMessage& Message);
  virtual void WMNCDestroy(TMessage& Message);
  virtual void WMTimer(TMessage& Message);
  virtual void WMGetDlgCode(TMessage& Message);
  virtual void WMCaptureChanged(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMParentBiDiModeChanged(TMessage& Message);
  virtual void CMBiDiModeChanged(TMessage& Message);
  virtual void CMMouseEnter(TMessage& Message);
  virtual void CMMouseLeave(TMessage& Message);
  virtual void CMHitTest(TMessage& Message);
  virtual void CMDesignHitTest(TMessage& Message);
  virtual void CMCancelMode(TMessage& Message);
  virtual void CMDialogKey(TMessage& Message);
  virtual void CMDialogChar(TMessage& Message);
  virtual void CMFocusChanged(TMessage& Message);
  virtual void CMEnter(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  virtual void CMChildKey(TMessage& Message);
  virtual void CMShowingChanged(TMessage& Message);
  virtual void CMSysColorChange(TMessage& Message);
  virtual void CMActivate(TMessage& Message);
  virtual void CMDeactivate(TMessage& Message);
  virtual void CMRelease(TMessage& Message);
  virtual void CMHintShow(TMessage& Message);
  virtual void CMControlChange(TMessage& Message);
  virtual void CMRecreateWnd(TMessage& Message);
  virtual void CMWantSpecialKey(TMessage& Message);
  virtual void CNKeyDown(TMessage& Message);
  virtual void CNChar(TMessage& Message);

  // Anchoring: the distances kept to the parent's right and bottom edges.
  void UpdateAnchorRules();

 protected:
  virtual void Changed();
  // Paints a graphic control or forwards to the window; asks the parent to repaint the control's area.
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  virtual void ChangeScale(int M, int D) {
    (void)M;
    (void)D;
  }
  virtual void SetZOrder(bool TopMost);
  virtual void VisibleChanging() {}
  // Applies Constraints and OnConstrainedResize to a proposed size.
  void DoConstrainedResize(int& NewWidth, int& NewHeight);
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight) {
    (void)NewWidth;
    (void)NewHeight;
    return true;
  }
  void RequestAlign();
  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);
  void UpdateBoundsRect(const TRect& R);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);

  friend class TWinControl;
  friend class TSizeConstraints;
  friend class TMargins;

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TWinControl* FParent = nullptr;
  bool FVisible = true;
  bool FEnabled = true;
  TAlign FAlign = alNone;
  bool FAlignWithMargins = false;
  std::unique_ptr<TMargins> FMargins;
  TAnchors FAnchors{akLeft, akTop};
  std::unique_ptr<TSizeConstraints> FConstraints;
  TPoint FAnchorRules; // distance to the parent's right and bottom edges
  TColor FColor = clWindow;
  bool FParentColor = true;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  AnsiString FText;
  TCursor FCursor = crDefault;
  TCursor FDragCursor = crDrag;
  TDragKind FDragKind = dkDrag;
  TDragMode FDragMode = dmManual;
  AnsiString FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TPopupMenu* FPopupMenu = nullptr;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TBasicAction* FAction = nullptr;
  bool FFontChanging = false;

 private:
  friend class TControlLifeline;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Whether a control outlived code that may free it (a user's handler may free its own form): take one
// before, ask after.
class TControlLifeline {
 public:
  explicit TControlLifeline(const TControl* Control);
  bool Alive() const { return *FAlive; }

 private:
  std::shared_ptr<const bool> FAlive;
};

// The control currently holding the mouse, windowed or graphic; null when none.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The deepest enabled, visible control at a screen point, graphic controls included; null when none.
TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled);
TControl* FindControl(HWND Handle);
// Finds the control under the cursor and sends CM_MOUSELEAVE to the one it left and CM_MOUSEENTER to the new
// one. The application calls it after every mouse message.
void UpdateMouseControl();
