#pragma once
// TWinControl: a control with a window of its own. It holds child controls (windowed and graphic), aligns
// them, keeps a tab order, takes the keyboard focus, and paints its graphic children after itself.
#include <vector>

#include "classlib/controls/Control.h"
#include "classlib/controls/WindowHandle.h"

// Controls use bsNone and bsSingle; forms use every value.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
extern const TEnumInfo BorderStyleNames;

struct TCreateParams {
  AnsiString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
};

class TWinControl : public TControl {
  QUENDREL_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // The window, made on first use (raises EInvalidOperation when a child control has no parent window).
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  // Whether the control is visible on screen: itself and every parent visible, and a window allocated.
  bool Showing() const { return FShowing; }

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(const TControl* Control) const;
  // The child control at a client point (graphic children on top of windowed ones answer first when
  // AllowWinControls is false); null when none.
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  void SetClientWidth(int Value) override;
  void SetClientHeight(int Value) override;
  void SetParent(TWinControl* AParent) override;
  void SetText(const AnsiString& Value) override;
  AnsiString GetText() const override;
  void SetVisible(bool Value) override;
  void SetEnabled(bool Value) override;

  // Focus.
  virtual void SetFocus();
  virtual bool CanFocus();
  bool Focused() const;
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  int TabOrder() const;
  void SetTabOrder(int Value);
  // The windowed children that can take the focus by Tab, in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

  // Alignment.
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  void Realign();
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  // Our controls draw no sunken 3-D look that could follow the parent's; the choice is kept and streamed.
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }
  // The brush that erases the background, in the control's colour.
  TBrush* Brush() const { return FBrush.get(); }

  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  // Paints the window's client area and its graphic children on DC.
  void PaintTo(HDC DC, int X, int Y);
  void Broadcast(TMessage& Message);
  void NotifyControls(UINT Msg);
  void ScrollBy(int DeltaX, int DeltaY);

  virtual void CreateHandle();
  virtual void DestroyHandle();
  // Applies the styles of CreateParams to the window again (through CM_RECREATEWND, which frames watch).
  void RecreateWnd();
  void UpdateControlState();

  // Key events.
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void DoEnter();
  virtual void DoExit();
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TMouseWheelEvent OnMouseWheel;
  TDockDropEvent OnDockDrop;
  TDockOverEvent OnDockOver;
  TGetSiteInfoEvent OnGetSiteInfo;
  TUnDockEvent OnUnDock;

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void Loaded() override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  void WMPaint(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMNCHitTest(TMessage& Message) override;
  void WMNCCalcSize(TMessage& Message) override;
  void WMNCPaint(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMMove(TMessage& Message) override;
  void WMWindowPosChanged(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMKeyDown(TMessage& Message) override;
  void WMKeyUp(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMSysKeyDown(TMessage& Message) override;
  void WMSysChar(TMessage& Message) override;
  void WMNCDestroy(TMessage& Message) override;
  void WMContextMenu(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMShowingChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMBiDiModeChanged(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;
  void CMChildKey(TMessage& Message) override;
  void CMRecreateWnd(TMessage& Message) override;
  void CNKeyDown(TMessage& Message) override;
  void CNChar(TMessage& Message) override;

 protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // Destroys the window with its children's windows, the window hearing WM_DESTROY before them (as when it
  // is freed); DestroyHandle takes the children's windows down first.
  void DestroyWindowHandle();
  // Frees the child controls (the destructors' last step).
  void FreeControls();
  virtual void PaintWindow(HDC DC);
  // Erases the background with the control's colour (unless it draws everything itself), paints itself, then
  // the graphic children.
  void PaintHandler(TMessage& Message);
  void PaintControls(HDC DC, TControl* First);
  virtual void SetZOrder(bool TopMost) override;
  void SetZOrderPosition(int Position);
  void AlignControl(TControl* AControl);
  // Key handling before KeyDown: the form's KeyPreview, then OnKeyDown.
  bool DoKeyDown(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  // Fires OnMouseWheel for a WM_MOUSEWHEEL; true when the handler took it (the message's result is 1 then).
  bool DoMouseWheel(TMessage& Message);
  bool IsMenuKey(TMessage& Message);
  void UpdateShowing();
  void ShowControl(TControl* AControl);
  void UpdateBounds();
  virtual void Resize() override;

  friend class TControl;
  friend class TCustomForm;

  HWND FHandle = nullptr;
  std::vector<TControl*> FControls; // z-order: graphic and windowed children, bottom to top
  std::vector<TWinControl*> FTabList;
  bool FShowing = false;
  bool FTabStop = false;
  int FBorderWidth = 0;
  bool FParentCtl3D = true;
  int FAlignLevel = 0;
  bool FInSetBounds = false;
  std::unique_ptr<TBrush> FBrush;
};
