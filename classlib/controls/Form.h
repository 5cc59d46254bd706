#pragma once
// TCustomForm and TForm: top-level windows. A form is built from its form-stream resource (named after its
// class, upper-cased), places itself by Position when first shown, keeps the focused control, previews keys
// when KeyPreview is set, and runs a modal loop in ShowModal until ModalResult is set.
#include "classlib/controls/ControlCanvas.h"
#include "classlib/controls/WinControl.h"

class TMainMenu;
class TMenuItem;
class TIcon;

enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TTileMode { tbHorizontal, tbVertical };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                       mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = TEvent<void(TMessage& Msg, bool& Handled)>;

extern const TEnumInfo PositionNames;
extern const TEnumInfo WindowStateNames;
extern const TEnumInfo FormStyleNames;
extern const TEnumInfo BorderIconNames;
extern const TEnumInfo TileModeNames;

class TCustomForm : public TWinControl {
  QUENDREL_CLASS(TCustomForm, TWinControl)
 public:
  // An empty form; descendants call ReadFormResource first thing in their constructor.
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // Reads the form stream resource named after the class, upper-cased (TFORMABOUT for TFormAbout), into this
  // form when there is one. Answers whether there was.
  bool ReadFormResource();
  // Runs OnCreate once; TApplication::CreateForm calls it after construction.
  void AfterConstruction();

  TCanvas* Canvas() const { return FCanvas.get(); }

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  bool Active() const { return FActive; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value) { FScaled = Value; }
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool Value) { FAutoScroll = Value; }
  int PixelsPerInch() const { return 96; }
  void SetPixelsPerInch(int) {}
  TFormState FormState() const { return FFormState; }
  TIcon* Icon() const { return FIcon; }
  // MDI. A form whose FormStyle is fsMDIForm holds an MDI client window in the client area its aligned
  // controls leave; forms whose FormStyle is fsMDIChild live inside the application main form's client
  // window. The children are listed front to back; the arrangements go through the client window's WM_MDI*
  // messages.
  HWND ClientHandle() const { return FClientHandle; }
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int Index) const;
  TCustomForm* ActiveMDIChild() const;
  TTileMode TileMode() const { return FTileMode; }
  void SetTileMode(TTileMode Value) { FTileMode = Value; }
  TMenuItem* WindowMenu() const { return FWindowMenu; }
  void SetWindowMenu(TMenuItem* Value);
  void Cascade();
  void Tile();
  void ArrangeIcons();
  void Next();
  void Previous();

  // Client size as streamed: applied to the window when it exists.
  int GetClientWidth() const { return const_cast<TCustomForm*>(this)->ClientWidth(); }
  int GetClientHeight() const { return const_cast<TCustomForm*>(this)->ClientHeight(); }
  void SetClientWidth(int Value) override;
  void SetClientHeight(int Value) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  void Show();
  void Hide();
  // Shows the form, disables the other forms and runs messages until ModalResult is set; answers it.
  virtual int ShowModal();
  void Close();
  // Frees the form once the messages now queued have been handled.
  void Release();
  virtual bool CloseQuery();
  void SetFocus() override;
  void FocusControl(TWinControl* Control);
  // Records the focused control and sends CM_EXIT / CM_ENTER along the way; false when focus moved elsewhere
  // meanwhile.
  bool SetFocusedControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  virtual bool IsShortCut(TMessage& Message);
  // Asks every action of the form's action lists for its state (OnUpdate); the loop does it when it idles.
  void UpdateActions();
  bool WantChildKey(TControl*, TMessage&) { return false; }

  bool DoKeyDown(TMessage& Message) { return TWinControl::DoKeyDown(Message); }
  bool DoKeyUp(TMessage& Message) { return TWinControl::DoKeyUp(Message); }
  bool DoKeyPress(TMessage& Message) { return TWinControl::DoKeyPress(Message); }

  void SetVisible(bool Value) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TShortCutEvent OnShortCut;

  void WMActivate(TMessage& Message) override;
  void WMMDIActivate(TMessage& Message);
  void WMClose(TMessage& Message) override;
  void WMSysCommand(TMessage& Message) override;
  void WMGetMinMaxInfo(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  void WMDestroy(TMessage& Message) override;
  void WMNCDestroy(TMessage& Message) override;
  void CMShowingChanged(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMRelease(TMessage& Message) override;
  void CMActivate(TMessage& Message) override;
  void CMDeactivate(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void SetZOrder(bool TopMost) override;
  void CreateClientWindow();
  void PaintWindow(HDC DC) override;
  virtual void Paint();
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  void SetActive(bool Value);
  void SetWindowFocus();
  void CloseModal();

  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TFormStyle FFormStyle = fsNormal;
  TTileMode FTileMode = tbHorizontal;
  TMenuItem* FWindowMenu = nullptr;
  HWND FClientHandle = nullptr;
  TMainMenu* FMenu = nullptr;
  bool FKeyPreview = false;
  bool FActive = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  TModalResult FModalResult = mrNone;
  bool FScaled = true;
  bool FAutoScroll = false;
  TFormState FFormState;
  TIcon* FIcon = nullptr;
  bool FCreated = false;
  void ApplyDesignClientSize();

  int FDesignClientWidth = 0; // streamed client size, applied when the window exists and loading is done
  int FDesignClientHeight = 0;
  std::unique_ptr<TControlCanvas> FCanvas;
};

class TForm : public TCustomForm {
  QUENDREL_CLASS(TForm, TCustomForm)
 public:
  explicit TForm(TComponent* AOwner);
};

// The form holding Control, through its parents; null when none.
TCustomForm* GetParentForm(TControl* Control);

// Whether Caption marks the key (a character, either case) as its accelerator with "&" ("&&" is a plain
// ampersand).
bool IsAccel(WORD Key, const AnsiString& Caption);
