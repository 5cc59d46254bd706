#pragma once
// TWindowHandle: what an HWND points to. It plays the system's part for one window: its rectangle and
// non-client insets, styles, shape, pixel surface, invalid area, children in z-order and the native backend
// window that shows it. The functions below are the window calls of the system API, implemented over these
// handles; classlib/win/Windows.h offers them to components together with the rest of that API.
#include <cstdint>
#include <functional>
#include <memory>

#include "classlib/backend/Backend.h"
#include "classlib/controls/Messages.h"
#include "classlib/core/AnsiString.h"
#include "classlib/graphics/DeviceContext.h"
#include "classlib/graphics/Region.h"
#include "classlib/graphics/Surface.h"

class TWinControl;
struct TWindowScrollBars;

// A window procedure as a window long holds it (GWL_WNDPROC): a number standing for a procedure made by
// MakeWindowProc or MakeObjectInstance, small enough for a window long as the system's was; 0 is none. A
// procedure passes what it does not handle on with CallWindowProc to the one it replaced.
enum WNDPROC : LONG {};
using TWindowProcedure = std::function<LRESULT(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)>;

class TWindowHandle final : public backend::WindowClient {
 public:
  TWindowHandle(TWinControl* Control, HWND Parent, DWORD Style, DWORD ExStyle, const TRect& Rect);
  ~TWindowHandle() override;

  LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam);

  bool TopLevel() const { return Parent == nullptr; }
  TRect WindowRectInWindow() const { return {0, 0, Rect.Width(), Rect.Height()}; }
  // Screen position of the window's top-left pixel and of its client area's.
  TPoint ScreenOrigin() const;
  TPoint ClientScreenOrigin() const;
  HWND Root();

  TWinControl* Control; // the control whose WindowProc receives the messages; null once detached
  WNDPROC Proc;         // the window's procedure (GWL_WNDPROC); SendMessage calls it
  WNDPROC ClassProc;    // the procedure the window was made with, under every replacement
  LONG UserData = 0;    // GWL_USERDATA
  HWND Parent;
  std::vector<HWND> Children; // bottom to top
  DWORD Style;
  DWORD ExStyle;
  TRect Rect;   // parent's client coordinates, screen coordinates for top-level windows
  TRect Client; // the client area in window coordinates (from WM_NCCALCSIZE)
  AnsiString Text;
  TSurface Surface;   // the whole window, in device pixels (see Scale)
  double Scale = 1.0; // device pixels per logical pixel of a top-level window; children take their root's
  TRect Update;       // invalid part of the client area, client coordinates
  bool Erase = false;
  unsigned Validations = 0; // BeginPaint and ValidateRect calls, so a paint can tell whether it validated
  bool NCInvalid = true;
  TRect PresentRect;              // window coordinates, shown at the next present
  std::unique_ptr<TRegion> Shape; // window coordinates; null: rectangular
  backend::Window* Native = nullptr;
  int ShowState = 0; // SIZE_RESTORED, SIZE_MINIMIZED or SIZE_MAXIMIZED
  TRect RestoreRect;
  TDeviceContext PaintDC;        // handed out by BeginPaint
  bool FollowingDesktop = false; // placing the window where the desktop already put it
  HWND ActiveChild = nullptr;    // the active one of the child frames inside this window
  bool MDIClient = false;        // an MDI client window (CreateMDIClientWindow)
  bool Destroying = false;
  std::shared_ptr<TWindowScrollBars> ScrollBars; // the scroll bars' values (ScrollBars.h), made on first use

  // backend::WindowClient
  void MouseInput(const backend::MouseEvent& event) override;
  void KeyInput(const backend::KeyEvent& event) override;
  void CloseRequested() override;
  void ActivationChanged(bool active) override;
  void GeometryChanged(const TRect& screenRect) override;
  void Exposed() override;
  void ScaleChanged() override;

  void AttachSurface(); // after the surface changed size
  // Sizes the surface to the window at its root's scale, within the bounds below, and attaches it.
  void FitSurface();
  void FitSurfaces(); // this window's and its children's
  // Takes the scale the desktop shows the window at, and when it changed refits the surfaces of the window
  // and its children and repaints them all.
  void FollowScale();
};

// A window's surface is at most this many pixels either way and this many in all (an 8K screen's worth), so
// that a window sized at the ends of int (a hostile form stream) cannot take gigabytes. Drawing beyond the
// surface of such a window is clipped, as drawing beyond the window is.
constexpr int MaxWindowSurfaceExtent = backend::MaxWindowExtent;
constexpr int64_t MaxWindowSurfacePixels = int64_t{1} << 25;

inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);

constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
               SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_SHOWWINDOW = 0x0040,
               SWP_HIDEWINDOW = 0x0080, SWP_NOCOPYBITS = 0x0100, SWP_NOOWNERZORDER = 0x0200,
               SWP_NOSENDCHANGING = 0x0400;
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
              SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7,
              SW_SHOWNA = 8, SW_RESTORE = 9, SW_SHOWDEFAULT = 10;
constexpr int GWL_WNDPROC = -4, GWL_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20, GWL_USERDATA = -21;
constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004, RDW_VALIDATE = 0x0008,
               RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020, RDW_NOCHILDREN = 0x0040,
               RDW_ALLCHILDREN = 0x0080, RDW_UPDATENOW = 0x0100, RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400,
               RDW_NOFRAME = 0x0800;
constexpr UINT PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001;

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = 0;
  TRect rcPaint;
};

// Creation and destruction. CreateWindowHandle does not send WM_CREATE; the control calls FinishCreate once
// it has stored the handle, so that the messages of creation reach it. The window's procedure is ClassProc
// when given, else the control's (which hands messages to the control's WindowProc), else one that calls
// DefWindowProc.
HWND CreateWindowHandle(TWinControl* Control, HWND Parent, DWORD Style, DWORD ExStyle, const TRect& Rect,
                        const AnsiString& Text, WNDPROC ClassProc = {});
void FinishCreate(HWND Wnd);
BOOL DestroyWindow(HWND Wnd);
BOOL IsWindow(HWND Wnd);

// Messages.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
BOOL PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
void PostQuitMessage(int ExitCode);
// Takes the next message; raw input becomes its message here, with the capture and focus of this moment.
BOOL PeekMessage(MSG& Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg);
BOOL TranslateMessage(const MSG& Msg);
LRESULT DispatchMessage(const MSG& Msg);
// Waits for input, a posted message or a due timer; at most MaxWaitMs (negative: no limit).
void WaitMessage(int MaxWaitMs = -1);
// The system's default handling of a message.
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// MDI. The client window sits inside a frame window and holds the MDI children: windows made inside it with
// WS_EX_MDICHILD (a form with FormStyle fsMDIChild), or by WM_MDICREATE. It activates them (WM_MDIACTIVATE
// to the child that leaves and to the one that comes, WM_MDIGETACTIVE), cascades and tiles them
// (WM_MDICASCADE, WM_MDITILE with MDITILE_VERTICAL or MDITILE_HORIZONTAL, WM_MDIICONARRANGE), steps through
// them (WM_MDINEXT: lParam 0 next, else previous), maximizes and restores them (WM_MDIMAXIMIZE,
// WM_MDIRESTORE, wParam the child), destroys them (WM_MDIDESTROY), keeps the menus it is handed
// (WM_MDISETMENU; WM_MDIREFRESHMENU answers the frame's), and paints the application's workspace colour.
struct MDICREATESTRUCT {
  const char* szTitle = "";
  int x = 0, y = 0, cx = 0, cy = 0;
  DWORD style = 0;
  WNDPROC Proc{}; // the child's procedure; 0: DefWindowProc
};
HWND CreateMDIClientWindow(HWND Frame, DWORD Style, DWORD ExStyle, const TRect& Rect);
BOOL IsMDIClientWindow(HWND Wnd);

// Window procedures. A made procedure lives until FreeObjectInstance; a window whose procedure was freed
// falls back to the procedure it was made with. CallWindowProc calls Proc with the message (DefWindowProc for
// 0).
WNDPROC MakeWindowProc(TWindowProcedure Proc);
// A procedure that hands each message to Method as a TMessage and answers its Result.
WNDPROC MakeObjectInstance(TWndMethod Method);
void FreeObjectInstance(WNDPROC Proc);
LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// The procedure of every control's window: the message goes to the control's WindowProc.
WNDPROC ControlWindowProc();

// Placement.
BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int CX, int CY, UINT Flags);
BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint);
BOOL ShowWindow(HWND Wnd, int CmdShow);
BOOL IsWindowVisible(HWND Wnd);
BOOL EnableWindow(HWND Wnd, BOOL Enable);
BOOL IsWindowEnabled(HWND Wnd);
BOOL IsIconic(HWND Wnd);
BOOL IsZoomed(HWND Wnd);
BOOL GetWindowRect(HWND Wnd, TRect* Rect);
BOOL GetClientRect(HWND Wnd, TRect* Rect);
BOOL ClientToScreen(HWND Wnd, TPoint* Point);
BOOL ScreenToClient(HWND Wnd, TPoint* Point);
HWND GetParent(HWND Wnd);
HWND SetParent(HWND Wnd, HWND NewParent);
BOOL IsChild(HWND Parent, HWND Wnd);
BOOL BringWindowToTop(HWND Wnd);
HWND WindowFromPoint(TPoint Point);
// GWL_STYLE, GWL_EXSTYLE, GWL_WNDPROC (a WNDPROC), GWL_USERDATA.
LONG GetWindowLong(HWND Wnd, int Index);
LONG SetWindowLong(HWND Wnd, int Index, LONG NewLong);
BOOL SetWindowText(HWND Wnd, const char* Text);
int GetWindowText(HWND Wnd, char* Buffer, int MaxCount);
// Gives the window a shape (window coordinates); the window owns the region from then on. Null: rectangular.
int SetWindowRgn(HWND Wnd, HRGN Rgn, BOOL Redraw);
int GetWindowRgn(HWND Wnd, HRGN Rgn);

// Painting.
BOOL InvalidateRect(HWND Wnd, const TRect* Rect, BOOL Erase);
BOOL ValidateRect(HWND Wnd, const TRect* Rect);
BOOL UpdateWindow(HWND Wnd);
BOOL RedrawWindow(HWND Wnd, const TRect* Update, HRGN UpdateRgn, UINT Flags);
HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint);
BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint);
HDC GetDC(HWND Wnd);       // client area
HDC GetWindowDC(HWND Wnd); // whole window
int ReleaseDC(HWND Wnd, HDC DC);
// The window whose context DC is (a paint context or one from GetDC or GetWindowDC); null for others.
HWND WindowOfDC(HDC DC);
// Paints every window that has something invalid, then shows what changed.
void UpdateAllWindows();

// Input state.
HWND SetCapture(HWND Wnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND Wnd);
HWND GetFocus();
HWND SetActiveWindow(HWND Wnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND Wnd);
BOOL GetCursorPos(TPoint* Point);
BOOL SetCursorPos(int X, int Y);
short GetKeyState(int VirtKey);
short GetAsyncKeyState(int VirtKey);

// Timers: WM_TIMER to the window (or to Proc with a null window), driven by GetTickCount.
UINT SetTimer(HWND Wnd, UINT IDEvent, UINT Elapse, std::function<void()> Proc = {});
BOOL KillTimer(HWND Wnd, UINT IDEvent);
DWORD GetTickCount();
// Replaces the clock behind GetTickCount and timers (tests drive it by hand); an empty function restores it.
void SetTickCountSource(std::function<DWORD()> Source);

// The rectangles of the non-client frame that the system draws for a style (left, top, right, bottom
// thickness).
TRect SystemFrameInsets(DWORD Style, DWORD ExStyle);

// Told whenever the application as a whole gains or loses activation.
extern std::function<void(bool Active)> OnApplicationActivate;
// Told of every raw mouse position change, for mouse-enter and mouse-leave tracking.
extern std::function<void()> OnMouseIdle;

// The top-level windows, bottom to top.
std::vector<HWND> TopLevelWindows();

// Destroys every window still open (the program is ending).
void DestroyAllWindows();

// Synthetic input and desktop reports, taking the same road as the desktop's (tests and tools): the desktop
// activated the window, placed it (screen coordinates), or asked to close it.
void InjectMouse(HWND TopLevel, const backend::MouseEvent& Event);
void InjectKey(const backend::KeyEvent& Event);
void InjectActivation(HWND TopLevel, bool Active);
void InjectGeometry(HWND TopLevel, const TRect& ScreenRect);
void InjectCloseRequest(HWND TopLevel);
