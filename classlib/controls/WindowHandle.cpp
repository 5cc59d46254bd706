#include "classlib/controls/WindowHandle.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "classlib/controls/DesktopDC.h"
#include "classlib/controls/WinControl.h"
#include "classlib/core/Exception.h"
#include "classlib/graphics/Gdi.h"

std::function<void(bool)> OnApplicationActivate;
std::function<void()> OnMouseIdle;

namespace {

// A raw input event waits in the queue as it came; it becomes a message only when taken, so that capture,
// focus and window moving decided by earlier messages apply to it.
struct TQueued {
  MSG Msg;
  bool RawMouse = false;
  bool RawKey = false;
  HWND Top = nullptr;
  backend::MouseEvent Mouse;
  backend::KeyEvent Key;
};

struct TMoveSize {
  HWND Wnd = nullptr;
  unsigned Edges = 0; // 0: moving
  TPoint Start;
  TRect StartRect;
};

struct TTimer {
  HWND Wnd;
  UINT ID;
  UINT Elapse;
  DWORD Due;
  std::function<void()> Proc;
  bool Posted = false; // a WM_TIMER waits in the queue; timers do not pile up
};

struct TSystem {
  std::unordered_set<HWND> Windows;
  std::vector<HWND> TopLevels; // bottom to top
  std::deque<TQueued> Queue;
  std::unordered_map<HDC, HWND> DCs; // contexts from GetDC and GetWindowDC
  HWND Capture = nullptr;
  bool ImplicitCapture = false;
  HWND Focus = nullptr;
  HWND Active = nullptr;
  TPoint Cursor;
  uint8_t Keys[256] = {};
  TMoveSize MoveSize;
  std::vector<TTimer> Timers;
  std::function<DWORD()> Clock;
  bool Quit = false;
  std::string PendingChar; // the character of the key-down being translated
  bool PendingSys = false;
};

TSystem& Sys() {
  static TSystem s;
  return s;
}

// Made while the program starts, so that it outlives the shutdown hooks, which destroy the windows still
// open.
[[maybe_unused]] TSystem& SystemAtStart = Sys();

TRect Inset(const TRect& r, const TRect& insets) {
  return {r.Left + insets.Left, r.Top + insets.Top, r.Right - insets.Right, r.Bottom - insets.Bottom};
}

TRect UnionRect(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

bool Valid(HWND w) {
  return w && Sys().Windows.count(w) != 0;
}

void MarkPresent(HWND w, const TRect& r) {
  w->PresentRect = UnionRect(w->PresentRect, r);
}

void InvalidateAll(HWND w) {
  w->NCInvalid = true;
  w->Update = {0, 0, w->Client.Width(), w->Client.Height()};
  w->Erase = true;
}

int KeyBits() {
  const TSystem& s = Sys();
  int k = 0;
  if (s.Keys[VK_LBUTTON] & 0x80) k |= MK_LBUTTON;
  if (s.Keys[VK_RBUTTON] & 0x80) k |= MK_RBUTTON;
  if (s.Keys[VK_MBUTTON] & 0x80) k |= MK_MBUTTON;
  if (s.Keys[VK_SHIFT] & 0x80) k |= MK_SHIFT;
  if (s.Keys[VK_CONTROL] & 0x80) k |= MK_CONTROL;
  return k;
}

void SetModifierKeys(unsigned modifiers) {
  TSystem& s = Sys();
  s.Keys[VK_SHIFT] = (modifiers & backend::ModShift) ? 0x80 : 0;
  s.Keys[VK_CONTROL] = (modifiers & backend::ModControl) ? 0x80 : 0;
  s.Keys[VK_MENU] = (modifiers & backend::ModAlt) ? 0x80 : 0;
}

// The deepest visible, enabled window under a screen point, starting at `w`, within its shape.
HWND ChildAt(HWND w, TPoint screen) {
  for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it) {
    HWND c = *it;
    if (!(c->Style & WS_VISIBLE) || (c->Style & WS_DISABLED)) continue;
    const TPoint o = c->ScreenOrigin();
    const TPoint p{screen.X - o.X, screen.Y - o.Y};
    if (!c->WindowRectInWindow().Contains(p)) continue;
    if (c->Shape && !c->Shape->Contains(p.X, p.Y)) continue;
    return ChildAt(c, screen);
  }
  return w;
}

void UpdateMoveSize(TPoint cursor) {
  TSystem& s = Sys();
  TMoveSize& m = s.MoveSize;
  if (!Valid(m.Wnd)) {
    m.Wnd = nullptr;
    return;
  }
  const int dx = cursor.X - m.Start.X, dy = cursor.Y - m.Start.Y;
  TRect r = m.StartRect;
  if (m.Edges == 0) {
    r.Offset(dx, dy);
    SetWindowPos(m.Wnd, nullptr, r.Left, r.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  if (m.Edges & static_cast<unsigned>(backend::Edge::Left)) r.Left += dx;
  if (m.Edges & static_cast<unsigned>(backend::Edge::Right)) r.Right += dx;
  if (m.Edges & static_cast<unsigned>(backend::Edge::Top)) r.Top += dy;
  if (m.Edges & static_cast<unsigned>(backend::Edge::Bottom)) r.Bottom += dy;
  MINMAXINFO info;
  info.ptMinTrackSize = {1, 1};
  info.ptMaxTrackSize = {100000, 100000};
  SendMessage(m.Wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  const int w = std::clamp(r.Width(), info.ptMinTrackSize.X, info.ptMaxTrackSize.X);
  const int h = std::clamp(r.Height(), info.ptMinTrackSize.Y, info.ptMaxTrackSize.Y);
  if (m.Edges & static_cast<unsigned>(backend::Edge::Left))
    r.Left = r.Right - w;
  else
    r.Right = r.Left + w;
  if (m.Edges & static_cast<unsigned>(backend::Edge::Top))
    r.Top = r.Bottom - h;
  else
    r.Bottom = r.Top + h;
  SetWindowPos(m.Wnd, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void StartMoveSize(HWND w, unsigned edges) {
  HWND top = w->Root();
  if (top->ShowState == SIZE_MAXIMIZED) return;
  if (top->Native && !backend::IsOffscreen()) {
    const bool started =
        edges == 0 ? backend::StartSystemMove(top->Native) : backend::StartSystemResize(top->Native, edges);
    if (started) return;
  }
  TSystem& s = Sys();
  s.MoveSize = {top, edges, s.Cursor, top->Rect};
  SendMessage(top, WM_ENTERSIZEMOVE, 0, 0);
}

void EndMoveSize() {
  TSystem& s = Sys();
  HWND w = s.MoveSize.Wnd;
  s.MoveSize = {};
  if (Valid(w)) SendMessage(w, WM_EXITSIZEMOVE, 0, 0);
}

// Turns a raw mouse event into a message for the window it concerns; false when it makes none.
bool RouteMouse(TQueued& q, MSG& out) {
  TSystem& s = Sys();
  const backend::MouseEvent& e = q.Mouse;
  s.Cursor = e.Screen;
  s.Keys[VK_LBUTTON] = (e.Buttons & 1) ? 0x80 : 0;
  s.Keys[VK_RBUTTON] = (e.Buttons & 2) ? 0x80 : 0;
  s.Keys[VK_MBUTTON] = (e.Buttons & 4) ? 0x80 : 0;
  SetModifierKeys(e.Modifiers);
  if (e.Kind == backend::MouseEvent::Press || e.Kind == backend::MouseEvent::DoubleClick) {
    if (e.Button == backend::LeftButton) s.Keys[VK_LBUTTON] = 0x80;
    if (e.Button == backend::RightButton) s.Keys[VK_RBUTTON] = 0x80;
    if (e.Button == backend::MiddleButton) s.Keys[VK_MBUTTON] = 0x80;
  }

  if (s.MoveSize.Wnd) {
    if (e.Kind == backend::MouseEvent::Move)
      UpdateMoveSize(e.Screen);
    else if (e.Kind == backend::MouseEvent::Release) {
      UpdateMoveSize(e.Screen);
      EndMoveSize();
    }
    return false;
  }
  if (!Valid(q.Top)) return false;
  if (e.Kind == backend::MouseEvent::Leave) {
    out = {q.Top, WM_MOUSELEAVE, 0, 0, GetTickCount(), e.Screen};
    return true;
  }

  HWND target = nullptr;
  int hit = HTCLIENT;
  if (Valid(s.Capture)) {
    target = s.Capture;
  } else {
    HWND top = q.Top;
    const TPoint o = top->ScreenOrigin();
    const TPoint p{e.Screen.X - o.X, e.Screen.Y - o.Y};
    if (!top->WindowRectInWindow().Contains(p) || (top->Shape && !top->Shape->Contains(p.X, p.Y)))
      return false;
    target = ChildAt(top, e.Screen);
    for (;;) {
      hit = static_cast<int>(SendMessage(target, WM_NCHITTEST, 0, PointToLParam(e.Screen)));
      if (hit != HTTRANSPARENT || !target->Parent) break;
      target = target->Parent;
    }
    if (hit == HTNOWHERE && e.Kind != backend::MouseEvent::Move) return false;
  }
  HWND top = target->Root();
  const bool press = e.Kind == backend::MouseEvent::Press || e.Kind == backend::MouseEvent::DoubleClick;
  if (press) {
    if (top->Style & WS_DISABLED) {
      backend::Beep();
      return false;
    }
    if (s.Active != top) SetActiveWindow(top);
    if (!Valid(target)) return false;
  }

  UINT msg = WM_MOUSEMOVE;
  const int button = e.Button;
  switch (e.Kind) {
  case backend::MouseEvent::Move:
    msg = WM_MOUSEMOVE;
    break;
  case backend::MouseEvent::Press:
    msg = button == backend::RightButton    ? WM_RBUTTONDOWN
          : button == backend::MiddleButton ? WM_MBUTTONDOWN
                                            : WM_LBUTTONDOWN;
    break;
  case backend::MouseEvent::DoubleClick:
    msg = button == backend::RightButton    ? WM_RBUTTONDBLCLK
          : button == backend::MiddleButton ? WM_MBUTTONDBLCLK
                                            : WM_LBUTTONDBLCLK;
    break;
  case backend::MouseEvent::Release:
    msg = button == backend::RightButton    ? WM_RBUTTONUP
          : button == backend::MiddleButton ? WM_MBUTTONUP
                                            : WM_LBUTTONUP;
    break;
  case backend::MouseEvent::Wheel: {
    HWND f = Valid(s.Focus) ? s.Focus : target;
    out = {f,
           WM_MOUSEWHEEL,
           static_cast<WPARAM>(MAKEWPARAM(KeyBits(), e.WheelDelta)),
           PointToLParam(e.Screen),
           GetTickCount(),
           e.Screen};
    return true;
  }
  default:
    return false;
  }

  if (hit == HTCLIENT) {
    TPoint p = e.Screen;
    ScreenToClient(target, &p);
    out = {target, msg, static_cast<WPARAM>(KeyBits()), PointToLParam(p), GetTickCount(), e.Screen};
    // A press captures the mouse for its window until the buttons are up, unless the window decides
    // otherwise.
    if (press && !s.Capture) {
      s.Capture = target;
      s.ImplicitCapture = true;
    }
  } else {
    out = {target,
           msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE,
           static_cast<WPARAM>(hit),
           PointToLParam(e.Screen),
           GetTickCount(),
           e.Screen};
  }
  if (e.Kind == backend::MouseEvent::Release && (e.Buttons & 7) == 0 && s.ImplicitCapture) {
    s.Capture = nullptr;
    s.ImplicitCapture = false;
  }
  return true;
}

bool RouteKey(TQueued& q, MSG& out) {
  TSystem& s = Sys();
  const backend::KeyEvent& e = q.Key;
  SetModifierKeys(e.Modifiers);
  if (e.VirtualKey > 0 && e.VirtualKey < 256) s.Keys[e.VirtualKey] = e.Down ? 0x80 : 0;
  HWND target = Valid(s.Focus) ? s.Focus : s.Active;
  if (!Valid(target)) return false;
  const bool alt = (e.Modifiers & backend::ModAlt) != 0;
  const bool ctrl = (e.Modifiers & backend::ModControl) != 0;
  const bool sys = (alt && !ctrl) || e.VirtualKey == VK_F10;
  LPARAM l = 1;
  if (alt) l |= KF_ALTDOWN_LPARAM;
  if (e.AutoRepeat) l |= 0x40000000;
  if (!e.Down) l |= static_cast<LPARAM>(0xC0000000u);
  UINT msg = e.Down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  if (e.VirtualKey == 0 && !e.Text.empty() && e.Down) {
    // A character without a key of its own.
    out = {target,
           sys ? WM_SYSCHAR : WM_CHAR,
           static_cast<WPARAM>(static_cast<unsigned char>(e.Text[0])),
           l,
           GetTickCount(),
           s.Cursor};
    return true;
  }
  out = {target, msg, static_cast<WPARAM>(e.VirtualKey), l, GetTickCount(), s.Cursor};
  if (e.Down) {
    s.PendingChar = e.Text;
    if (sys && s.PendingChar.empty()) {
      // Alt+letter gives the letter itself, as the system menu keys expect.
      if (e.VirtualKey >= 'A' && e.VirtualKey <= 'Z')
        s.PendingChar = std::string(1, static_cast<char>(e.VirtualKey - 'A' + 'a'));
      else if (e.VirtualKey == VK_SPACE || (e.VirtualKey >= '0' && e.VirtualKey <= '9'))
        s.PendingChar = std::string(1, static_cast<char>(e.VirtualKey));
    }
    if (ctrl && !alt && e.VirtualKey >= 'A' && e.VirtualKey <= 'Z' && s.PendingChar.empty())
      s.PendingChar = std::string(1, static_cast<char>(e.VirtualKey - 'A' + 1));
    s.PendingSys = sys;
  }
  return true;
}

DWORD RealTicks() {
  using namespace std::chrono;
  return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void DueTimers() {
  TSystem& s = Sys();
  const DWORD now = GetTickCount();
  for (TTimer& t : s.Timers) {
    if (t.Posted || static_cast<int32_t>(now - t.Due) < 0) continue;
    t.Posted = true;
    TQueued q;
    q.Msg = {t.Wnd, WM_TIMER, t.ID, 0, now, s.Cursor};
    s.Queue.push_back(q);
  }
}

int NextTimerWait() {
  TSystem& s = Sys();
  if (s.Timers.empty()) return -1;
  const DWORD now = GetTickCount();
  int wait = INT32_MAX;
  for (const TTimer& t : s.Timers) {
    if (t.Posted) continue;
    wait = std::min(wait, std::max(0, static_cast<int32_t>(t.Due - now)));
  }
  return wait == INT32_MAX ? -1 : wait;
}

void PaintWindowTree(HWND w) {
  if (!Valid(w) || !(w->Style & WS_VISIBLE)) return;
  if (w->ShowState == SIZE_MINIMIZED) return;
  if (w->NCInvalid) {
    w->NCInvalid = false;
    SendMessage(w, WM_NCPAINT, 1, 0);
    if (!Valid(w)) return;
  }
  if (!w->Update.IsEmpty()) {
    SendMessage(w, WM_PAINT, 0, 0);
    if (!Valid(w)) return;
    // A window that does not validate itself would paint forever.
    w->Update = {};
    w->Erase = false;
  }
  const std::vector<HWND> children = w->Children;
  for (HWND c : children) PaintWindowTree(c);
}

void PresentTree(HWND w) {
  if (!Valid(w)) return;
  if (!w->PresentRect.IsEmpty()) {
    if (w->Native) backend::Present(w->Native, w->PresentRect);
    w->PresentRect = {};
  }
  for (HWND c : w->Children) PresentTree(c);
}

void RemoveFromParentList(HWND w) {
  if (w->Parent)
    std::erase(w->Parent->Children, w);
  else
    std::erase(Sys().TopLevels, w);
}

void ActivateNext(HWND leaving) {
  TSystem& s = Sys();
  for (auto it = s.TopLevels.rbegin(); it != s.TopLevels.rend(); ++it) {
    HWND t = *it;
    if (t != leaving && (t->Style & WS_VISIBLE) && !(t->Style & WS_DISABLED) &&
        t->ShowState != SIZE_MINIMIZED) {
      SetActiveWindow(t);
      return;
    }
  }
  SetActiveWindow(nullptr);
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// TWindowHandle

TWindowHandle::TWindowHandle(TWinControl* AControl, HWND AParent, DWORD AStyle, DWORD AExStyle,
                             const TRect& ARect)
    : Control(AControl), Parent(AParent), Style(AStyle), ExStyle(AExStyle), Rect(ARect) {
  Client = WindowRectInWindow();
}

TWindowHandle::~TWindowHandle() {
  if (Native) backend::DestroyWindow(Native);
}

LRESULT TWindowHandle::Send(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Control) {
    TMessage m{Msg, WParam, LParam, 0};
    Control->WindowProc(m);
    return m.Result;
  }
  return DefWindowProc(this, Msg, WParam, LParam);
}

TPoint TWindowHandle::ScreenOrigin() const {
  if (!Parent) return Rect.TopLeft();
  const TPoint p = Parent->ClientScreenOrigin();
  return {p.X + Rect.Left, p.Y + Rect.Top};
}

TPoint TWindowHandle::ClientScreenOrigin() const {
  const TPoint p = ScreenOrigin();
  return {p.X + Client.Left, p.Y + Client.Top};
}

HWND TWindowHandle::Root() {
  HWND w = this;
  while (w->Parent) w = w->Parent;
  return w;
}

void TWindowHandle::AttachSurface() {
  if (Native)
    backend::SetSurface(Native, Surface.Bits(), Surface.Width(), Surface.Height(), Surface.Stride() * 4);
}

void TWindowHandle::MouseInput(const backend::MouseEvent& event) {
  TQueued q;
  q.RawMouse = true;
  q.Top = this;
  q.Mouse = event;
  Sys().Queue.push_back(q);
}

void TWindowHandle::KeyInput(const backend::KeyEvent& event) {
  TQueued q;
  q.RawKey = true;
  q.Key = event;
  Sys().Queue.push_back(q);
}

void TWindowHandle::CloseRequested() {
  PostMessage(this, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void TWindowHandle::ActivationChanged(bool active) {
  if (backend::IsOffscreen()) return; // our own activation model is the whole truth there
  if (active && Sys().Active != this && (Style & WS_VISIBLE)) SetActiveWindow(this);
}

void TWindowHandle::GeometryChanged(const TRect& screenRect) {
  if (screenRect == Rect) return;
  // The desktop moved or sized the window; follow without setting the native geometry again.
  backend::Window* native = Native;
  Native = nullptr;
  SetWindowPos(this, nullptr, screenRect.Left, screenRect.Top, screenRect.Width(), screenRect.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  Native = native;
  AttachSurface();
}

void TWindowHandle::Exposed() {
  PresentRect = WindowRectInWindow();
  if (Native) backend::Present(Native, PresentRect);
  PresentRect = {};
}

// ---------------------------------------------------------------------------------------------------------
// Creation

TRect SystemFrameInsets(DWORD Style, DWORD ExStyle) {
  int frame = 0;
  if (Style & WS_CHILD) {
    if (Style & WS_BORDER) frame = 1;
    if (Style & (WS_THICKFRAME | WS_DLGFRAME)) frame = 3;
  } else {
    if ((Style & WS_THICKFRAME) || (Style & WS_DLGFRAME) || (ExStyle & WS_EX_DLGMODALFRAME)) frame = 3;
    if (Style & WS_BORDER) frame += 1;
  }
  if (ExStyle & WS_EX_CLIENTEDGE) frame += 2;
  int caption = 0;
  if ((Style & WS_CAPTION) == WS_CAPTION) caption = (ExStyle & WS_EX_TOOLWINDOW) ? 15 : 18;
  return {frame, frame + caption, frame, frame};
}

HWND CreateWindowHandle(TWinControl* Control, HWND Parent, DWORD Style, DWORD ExStyle, const TRect& Rect,
                        const AnsiString& Text) {
  TSystem& s = Sys();
  backend::Initialize();
  auto* w = new TWindowHandle(Control, Parent, Style & ~WS_VISIBLE, ExStyle, Rect); // freed by DestroyWindow
  w->Text = Text;
  s.Windows.insert(w);
  if (Parent)
    Parent->Children.push_back(w);
  else
    s.TopLevels.push_back(w);
  return w;
}

void FinishCreate(HWND w) {
  if (!Valid(w)) return;
  // The non-client area first, so that the client rectangle is known when the window is created.
  NCCALCSIZE_PARAMS params;
  WINDOWPOS pos{w, nullptr, w->Rect.Left, w->Rect.Top, w->Rect.Width(), w->Rect.Height(), 0};
  params.rgrc[0] = params.rgrc[1] = params.rgrc[2] = w->Rect;
  params.lppos = &pos;
  SendMessage(w, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
  TRect c = params.rgrc[0];
  c.Offset(-w->Rect.Left, -w->Rect.Top);
  w->Client = c;
  w->Surface.SetSize(w->Rect.Width(), w->Rect.Height(), 0xFFFFFF);
  w->Native = backend::CreateWindow(w, w->Parent ? w->Parent->Native : nullptr,
                                    w->Parent ? Bounds(w->Parent->Client.Left + w->Rect.Left,
                                                       w->Parent->Client.Top + w->Rect.Top, w->Rect.Width(),
                                                       w->Rect.Height())
                                              : w->Rect);
  w->AttachSurface();
  if (!w->Parent) backend::SetTitle(w->Native, w->Text);
  InvalidateAll(w);
  SendMessage(w, WM_CREATE, 0, 0);
}

BOOL IsWindow(HWND Wnd) {
  return Valid(Wnd);
}

BOOL DestroyWindow(HWND w) {
  TSystem& s = Sys();
  if (!Valid(w)) return 0;
  if (w->Style & WS_VISIBLE) ShowWindow(w, SW_HIDE);
  const std::vector<HWND> children = w->Children;
  for (HWND c : children) DestroyWindow(c);
  SendMessage(w, WM_DESTROY, 0, 0);
  if (s.Capture == w) {
    s.Capture = nullptr;
    s.ImplicitCapture = false;
  }
  if (s.Focus == w) s.Focus = nullptr;
  if (s.Active == w) s.Active = nullptr;
  if (s.MoveSize.Wnd == w) s.MoveSize = {};
  std::erase_if(s.Timers, [w](const TTimer& t) { return t.Wnd == w; });
  SendMessage(w, WM_NCDESTROY, 0, 0);
  RemoveFromParentList(w);
  s.Windows.erase(w);
  delete w; // created by CreateWindowHandle
  return 1;
}

// ---------------------------------------------------------------------------------------------------------
// Messages

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!Valid(Wnd)) return 0;
  return Wnd->Send(Msg, WParam, LParam);
}

BOOL PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Wnd && !Valid(Wnd)) return 0;
  TQueued q;
  q.Msg = {Wnd, Msg, WParam, LParam, GetTickCount(), Sys().Cursor};
  Sys().Queue.push_back(q);
  backend::Wake();
  return 1;
}

void PostQuitMessage(int ExitCode) {
  PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(ExitCode), 0);
}

BOOL PeekMessage(MSG& Msg, HWND, UINT, UINT, UINT RemoveMsg) {
  TSystem& s = Sys();
  DueTimers();
  while (!s.Queue.empty()) {
    TQueued q = s.Queue.front();
    if (RemoveMsg == PM_NOREMOVE && !q.RawMouse && !q.RawKey) {
      Msg = q.Msg;
      return 1;
    }
    s.Queue.pop_front();
    if (q.RawMouse) {
      const bool made = RouteMouse(q, Msg);
      if (OnMouseIdle && !made) OnMouseIdle();
      if (!made) continue;
    } else if (q.RawKey) {
      if (!RouteKey(q, Msg)) continue;
    } else {
      Msg = q.Msg;
      if (Msg.hwnd && !Valid(Msg.hwnd)) continue;
    }
    if (RemoveMsg == PM_NOREMOVE) {
      TQueued back;
      back.Msg = Msg;
      s.Queue.push_front(back);
    }
    return 1;
  }
  return 0;
}

BOOL TranslateMessage(const MSG& Msg) {
  TSystem& s = Sys();
  if ((Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) || s.PendingChar.empty()) return 0;
  TQueued q;
  q.Msg = {Msg.hwnd,
           s.PendingSys ? WM_SYSCHAR : WM_CHAR,
           static_cast<WPARAM>(static_cast<unsigned char>(s.PendingChar[0])),
           Msg.lParam,
           Msg.time,
           Msg.pt};
  s.PendingChar.clear();
  s.Queue.push_front(q);
  return 1;
}

LRESULT DispatchMessage(const MSG& Msg) {
  TSystem& s = Sys();
  if (Msg.message == WM_TIMER) {
    for (TTimer& t : s.Timers) {
      if (t.Wnd != Msg.hwnd || t.ID != Msg.wParam) continue;
      t.Posted = false;
      t.Due = GetTickCount() + t.Elapse;
      if (t.Proc) {
        auto proc = t.Proc; // the timer may be killed by its own procedure
        proc();
        return 0;
      }
      break;
    }
  }
  if (!Msg.hwnd) return 0;
  return SendMessage(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
}

void WaitMessage(int MaxWaitMs) {
  TSystem& s = Sys();
  if (!s.Queue.empty()) return;
  int wait = NextTimerWait();
  if (MaxWaitMs >= 0 && (wait < 0 || wait > MaxWaitMs)) wait = MaxWaitMs;
  if (s.Clock && wait != 0) {
    // A hand-driven clock does not move by itself: never wait for it.
    backend::ProcessEvents(0);
    return;
  }
  backend::ProcessEvents(wait);
}

// ---------------------------------------------------------------------------------------------------------
// The system's default handling

LRESULT DefWindowProc(HWND w, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!Valid(w)) return 0;
  switch (Msg) {
  case WM_NCCALCSIZE: {
    TRect* r =
        WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam)->rgrc[0] : reinterpret_cast<TRect*>(LParam);
    if (w->ShowState == SIZE_MINIMIZED) return 0;
    *r = Inset(*r, SystemFrameInsets(w->Style, w->ExStyle));
    if (r->Right < r->Left) r->Right = r->Left;
    if (r->Bottom < r->Top) r->Bottom = r->Top;
    return 0;
  }
  case WM_NCHITTEST: {
    TPoint p{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
    const TPoint o = w->ScreenOrigin();
    p.X -= o.X;
    p.Y -= o.Y;
    const TRect wr = w->WindowRectInWindow();
    if (!wr.Contains(p)) return HTNOWHERE;
    if (w->Client.Contains(p)) return HTCLIENT;
    const TRect insets = SystemFrameInsets(w->Style, w->ExStyle);
    if ((w->Style & WS_THICKFRAME) && w->ShowState != SIZE_MAXIMIZED) {
      const int f = insets.Left, corner = 16;
      const bool left = p.X < f, right = p.X >= wr.Right - f, top = p.Y < f, bottom = p.Y >= wr.Bottom - f;
      const bool nearLeft = p.X < corner, nearRight = p.X >= wr.Right - corner;
      const bool nearTop = p.Y < corner, nearBottom = p.Y >= wr.Bottom - corner;
      if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
      if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
      if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
      if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
      if (left) return HTLEFT;
      if (right) return HTRIGHT;
      if (top) return HTTOP;
      if (bottom) return HTBOTTOM;
    }
    if ((w->Style & WS_CAPTION) == WS_CAPTION && p.Y < w->Client.Top) return HTCAPTION;
    return HTBORDER;
  }
  case WM_NCLBUTTONDOWN: {
    const int hit = static_cast<int>(WParam);
    if (hit == HTCAPTION)
      SendMessage(w, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, LParam);
    else if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT)
      SendMessage(w, WM_SYSCOMMAND, SC_SIZE | static_cast<UINT>(hit - HTLEFT + 1), LParam);
    return 0;
  }
  case WM_NCLBUTTONDBLCLK:
    if (static_cast<int>(WParam) == HTCAPTION && (w->Style & WS_MAXIMIZEBOX))
      SendMessage(w, WM_SYSCOMMAND, w->ShowState == SIZE_MAXIMIZED ? SC_RESTORE : SC_MAXIMIZE, LParam);
    return 0;
  case WM_SYSCOMMAND: {
    const UINT cmd = static_cast<UINT>(WParam) & 0xFFF0;
    HWND top = w->Root();
    switch (cmd) {
    case SC_MOVE:
      StartMoveSize(top, 0);
      break;
    case SC_SIZE: {
      // The sizing side comes in the low bits: 1 left, 2 right, 3 top, 4 top-left, 5 top-right, 6 bottom,
      // 7 bottom-left, 8 bottom-right.
      static const unsigned edges[9] = {0, 1, 4, 2, 3, 6, 8, 9, 12};
      const unsigned side = static_cast<UINT>(WParam) & 0xF;
      if (side > 0 && side < 9) StartMoveSize(top, edges[side]);
      break;
    }
    case SC_MINIMIZE:
      ShowWindow(top, SW_MINIMIZE);
      break;
    case SC_MAXIMIZE:
      ShowWindow(top, SW_MAXIMIZE);
      break;
    case SC_RESTORE:
      ShowWindow(top, SW_RESTORE);
      break;
    case SC_CLOSE:
      SendMessage(top, WM_CLOSE, 0, 0);
      break;
    default:
      break;
    }
    return 0;
  }
  case WM_SYSKEYDOWN:
    if (WParam == VK_F4 && (LParam & KF_ALTDOWN_LPARAM)) SendMessage(w->Root(), WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  case WM_CLOSE:
    DestroyWindow(w);
    return 0;
  case WM_WINDOWPOSCHANGED: {
    const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(LParam);
    if (!(pos->flags & SWP_NOMOVE))
      SendMessage(w, WM_MOVE, 0, MAKELPARAM(w->Rect.Left + w->Client.Left, w->Rect.Top + w->Client.Top));
    if (!(pos->flags & SWP_NOSIZE) || (pos->flags & SWP_FRAMECHANGED))
      SendMessage(w, WM_SIZE, static_cast<WPARAM>(w->ShowState),
                  MAKELPARAM(w->Client.Width(), w->Client.Height()));
    return 0;
  }
  case WM_ACTIVATE:
    if (LOWORD(WParam) != WA_INACTIVE) {
      HWND f = Sys().Focus;
      if (!f || f->Root() != w) SetFocus(w);
    }
    return 0;
  case WM_NCACTIVATE:
    return 1;
  case WM_MOUSEACTIVATE:
    return MA_ACTIVATE;
  case WM_SETTEXT:
    w->Text = LParam ? reinterpret_cast<const char*>(LParam) : "";
    if (!w->Parent && w->Native) backend::SetTitle(w->Native, w->Text);
    return 1;
  case WM_GETTEXTLENGTH:
    return static_cast<LRESULT>(w->Text.size());
  case WM_GETTEXT: {
    char* buf = reinterpret_cast<char*>(LParam);
    const size_t n = WParam ? std::min<size_t>(WParam - 1, w->Text.size()) : 0;
    if (buf && WParam) {
      std::memcpy(buf, w->Text.data(), n);
      buf[n] = 0;
    }
    return static_cast<LRESULT>(n);
  }
  case WM_PAINT: {
    PAINTSTRUCT ps;
    BeginPaint(w, &ps);
    EndPaint(w, &ps);
    return 0;
  }
  case WM_NCPAINT: {
    const TRect insets = SystemFrameInsets(w->Style, w->ExStyle);
    if (insets == TRect{}) return 0;
    HDC dc = GetWindowDC(w);
    const TRect wr = w->WindowRectInWindow();
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    RECT parts[4] = {{0, 0, wr.Right, w->Client.Top},
                     {0, 0, w->Client.Left, wr.Bottom},
                     {w->Client.Right, 0, wr.Right, wr.Bottom},
                     {0, w->Client.Bottom, wr.Right, wr.Bottom}};
    for (RECT& r : parts) FillRect(dc, &r, face);
    if (w->Style & WS_BORDER) {
      RECT r = wr;
      FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
    if ((w->Style & WS_CAPTION) == WS_CAPTION) {
      const int f = insets.Left;
      RECT cap = {f, f, wr.Right - f, w->Client.Top};
      const bool active = Sys().Active == w;
      FillRect(dc, &cap, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
      cap.Left += 4;
      DrawText(dc, w->Text.c_str(), -1, &cap,
               DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ReleaseDC(w, dc);
    return 0;
  }
  case WM_RBUTTONUP: {
    TPoint p{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
    ClientToScreen(w, &p);
    SendMessage(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), PointToLParam(p));
    return 0;
  }
  case WM_CONTEXTMENU:
    if (w->Parent) return SendMessage(w->Parent, WM_CONTEXTMENU, WParam, LParam);
    return 0;
  case WM_MOUSEWHEEL:
    if (w->Parent) return SendMessage(w->Parent, WM_MOUSEWHEEL, WParam, LParam);
    return 0;
  case WM_GETDLGCODE:
    return 0;
  default:
    return 0;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Placement

BOOL SetWindowPos(HWND w, HWND InsertAfter, int X, int Y, int CX, int CY, UINT Flags) {
  if (!Valid(w)) return 0;
  WINDOWPOS pos{w, InsertAfter, X, Y, CX, CY, Flags};
  if (Flags & SWP_NOMOVE) {
    pos.x = w->Rect.Left;
    pos.y = w->Rect.Top;
  }
  if (Flags & SWP_NOSIZE) {
    pos.cx = w->Rect.Width();
    pos.cy = w->Rect.Height();
  }
  if (!(Flags & SWP_NOSENDCHANGING)) SendMessage(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  if (!Valid(w)) return 0;
  pos.cx = std::max(0, pos.cx);
  pos.cy = std::max(0, pos.cy);
  const TRect newRect = Bounds(pos.x, pos.y, pos.cx, pos.cy);
  const bool moved = newRect.TopLeft() != w->Rect.TopLeft();
  const bool sized = newRect.Width() != w->Rect.Width() || newRect.Height() != w->Rect.Height();
  if (!moved) pos.flags |= SWP_NOMOVE;
  if (!sized) pos.flags |= SWP_NOSIZE;
  const bool frame = (Flags & SWP_FRAMECHANGED) != 0;
  if (sized || frame) {
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = newRect;
    params.rgrc[1] = w->Rect;
    TRect oldClient = w->Client;
    oldClient.Offset(w->Rect.Left, w->Rect.Top);
    params.rgrc[2] = oldClient;
    params.lppos = &pos;
    SendMessage(w, WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
    if (!Valid(w)) return 0;
    TRect c = params.rgrc[0];
    c.Offset(-newRect.Left, -newRect.Top);
    w->Client = c;
  }
  w->Rect = newRect;
  if (sized) {
    w->Surface.SetSize(newRect.Width(), newRect.Height(), 0xFFFFFF);
    w->AttachSurface();
  }
  if (w->Native) {
    if (w->Parent)
      backend::SetGeometry(w->Native,
                           Bounds(w->Parent->Client.Left + newRect.Left, w->Parent->Client.Top + newRect.Top,
                                  newRect.Width(), newRect.Height()));
    else
      backend::SetGeometry(w->Native, newRect);
  }
  if (sized || frame) {
    for (HWND c : w->Children) // children stand in the client area, which may have moved
      if (c->Native)
        backend::SetGeometry(c->Native, Bounds(w->Client.Left + c->Rect.Left, w->Client.Top + c->Rect.Top,
                                               c->Rect.Width(), c->Rect.Height()));
  }
  if (!(Flags & SWP_NOZORDER)) {
    std::vector<HWND>& list = w->Parent ? w->Parent->Children : Sys().TopLevels;
    std::erase(list, w);
    if (InsertAfter == HWND_BOTTOM)
      list.insert(list.begin(), w);
    else if (InsertAfter == HWND_TOP || InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST ||
             std::find(list.begin(), list.end(), InsertAfter) == list.end())
      list.push_back(w);
    else
      list.insert(std::find(list.begin(), list.end(), InsertAfter), w);
    if (w->Native && InsertAfter != HWND_BOTTOM) backend::Raise(w->Native);
    if (!w->Parent && (InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST)) {
      if (InsertAfter == HWND_TOPMOST)
        w->ExStyle |= WS_EX_TOPMOST;
      else
        w->ExStyle &= ~WS_EX_TOPMOST;
      if (w->Native) backend::SetTopmost(w->Native, InsertAfter == HWND_TOPMOST);
    }
  }
  if ((sized || frame) && !(Flags & SWP_NOREDRAW)) InvalidateAll(w);
  if (moved && w->Parent && !(Flags & SWP_NOREDRAW)) InvalidateRect(w->Parent, nullptr, 1);
  if (Flags & SWP_SHOWWINDOW) ShowWindow(w, (Flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (Flags & SWP_HIDEWINDOW) ShowWindow(w, SW_HIDE);
  if (moved || sized || frame) SendMessage(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  return 1;
}

BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint) {
  return SetWindowPos(Wnd, nullptr, X, Y, Width, Height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

namespace {

TRect WorkAreaOf(HWND w) {
  const auto screens = backend::Screens();
  const TRect r = w->Rect;
  const TPoint c{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  for (const auto& s : screens)
    if (s.Bounds.Contains(c)) return s.WorkArea;
  return screens.front().WorkArea;
}

void SetShowState(HWND w, int state) {
  w->ShowState = state;
  w->Style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
  if (state == SIZE_MINIMIZED) w->Style |= WS_MINIMIZE;
  if (state == SIZE_MAXIMIZED) w->Style |= WS_MAXIMIZE;
}

} // namespace

BOOL ShowWindow(HWND w, int Cmd) {
  TSystem& s = Sys();
  if (!Valid(w)) return 0;
  const BOOL wasVisible = (w->Style & WS_VISIBLE) != 0;
  if (Cmd == SW_HIDE) {
    if (!wasVisible) return 0;
    SendMessage(w, WM_SHOWWINDOW, 0, 0);
    if (!Valid(w)) return 0;
    w->Style &= ~WS_VISIBLE;
    if (w->Native) backend::SetVisible(w->Native, false);
    if (s.Capture && IsChild(w, s.Capture)) ReleaseCapture();
    if (s.Capture == w) ReleaseCapture();
    if (w->Parent) {
      InvalidateRect(w->Parent, nullptr, 1);
      if (s.Focus == w || IsChild(w, s.Focus)) SetFocus(w->Root());
    } else if (s.Active == w) {
      ActivateNext(w);
    }
    return wasVisible;
  }
  if (Cmd == SW_MINIMIZE || Cmd == SW_SHOWMINIMIZED || Cmd == SW_SHOWMINNOACTIVE) {
    if (w->ShowState != SIZE_MINIMIZED) {
      if (w->ShowState == SIZE_RESTORED) w->RestoreRect = w->Rect;
      w->Style |= (w->ShowState == SIZE_MAXIMIZED) ? WS_MAXIMIZE : 0; // remembered for the restore
      const bool wasMax = w->ShowState == SIZE_MAXIMIZED;
      SetShowState(w, SIZE_MINIMIZED);
      if (wasMax) w->Style |= WS_MAXIMIZE;
      if (!wasVisible) {
        w->Style |= WS_VISIBLE;
        SendMessage(w, WM_SHOWWINDOW, 1, 0);
      }
      if (w->Native) backend::ShowMinimized(w->Native);
      SendMessage(w, WM_SIZE, SIZE_MINIMIZED, 0);
      if (s.Active == w) ActivateNext(w);
    }
    return wasVisible;
  }
  if (Cmd == SW_MAXIMIZE) {
    if (w->ShowState == SIZE_RESTORED) w->RestoreRect = w->Rect;
    const bool wasMin = w->ShowState == SIZE_MINIMIZED;
    SetShowState(w, SIZE_MAXIMIZED);
    if (wasMin && w->Native) backend::ShowNormal(w->Native);
    const TRect work = WorkAreaOf(w);
    const TRect insets = SystemFrameInsets(w->Style, w->ExStyle);
    MINMAXINFO info;
    info.ptMaxPosition = {work.Left - insets.Left, work.Top - insets.Left};
    info.ptMaxSize = {work.Width() + 2 * insets.Left, work.Height() + 2 * insets.Left};
    info.ptMinTrackSize = {1, 1};
    info.ptMaxTrackSize = {100000, 100000};
    SendMessage(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    if (!(w->Style & WS_VISIBLE)) {
      w->Style |= WS_VISIBLE;
      SendMessage(w, WM_SHOWWINDOW, 1, 0);
      if (w->Native) backend::SetVisible(w->Native, true);
    }
    SetWindowPos(w, nullptr, info.ptMaxPosition.X, info.ptMaxPosition.Y, info.ptMaxSize.X, info.ptMaxSize.Y,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
    SetActiveWindow(w);
    return wasVisible;
  }
  if (Cmd == SW_RESTORE || Cmd == SW_SHOWNORMAL) {
    if (w->ShowState == SIZE_MINIMIZED) {
      const bool wasMax = (w->Style & WS_MAXIMIZE) != 0;
      SetShowState(w, wasMax ? SIZE_MAXIMIZED : SIZE_RESTORED);
      if (w->Native) backend::ShowNormal(w->Native);
      InvalidateAll(w);
      SendMessage(w, WM_SIZE, static_cast<WPARAM>(w->ShowState),
                  MAKELPARAM(w->Client.Width(), w->Client.Height()));
    } else if (w->ShowState == SIZE_MAXIMIZED) {
      SetShowState(w, SIZE_RESTORED);
      const TRect r = w->RestoreRect;
      SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_FRAMECHANGED);
    }
  }
  if (!wasVisible) {
    SendMessage(w, WM_SHOWWINDOW, 1, 0);
    if (!Valid(w)) return 0;
    w->Style |= WS_VISIBLE;
    InvalidateAll(w);
    if (w->Native) {
      if (w->ShowState == SIZE_MINIMIZED)
        backend::ShowMinimized(w->Native);
      else
        backend::SetVisible(w->Native, true);
    }
    if (w->Parent) InvalidateRect(w->Parent, nullptr, 1);
  }
  if (!w->Parent && Cmd != SW_SHOWNA && Cmd != SW_SHOWNOACTIVATE && !(w->Style & WS_DISABLED) &&
      w->ShowState != SIZE_MINIMIZED)
    SetActiveWindow(w);
  return wasVisible;
}

BOOL IsWindowVisible(HWND w) {
  for (; Valid(w); w = w->Parent)
    if (!(w->Style & WS_VISIBLE)) return 0;
  return w == nullptr;
}

BOOL EnableWindow(HWND w, BOOL Enable) {
  if (!Valid(w)) return 0;
  const BOOL wasDisabled = (w->Style & WS_DISABLED) != 0;
  if (Enable)
    w->Style &= ~WS_DISABLED;
  else {
    w->Style |= WS_DISABLED;
    TSystem& s = Sys();
    if (s.Capture == w) ReleaseCapture();
    if (s.Focus == w) s.Focus = nullptr;
  }
  if (wasDisabled == (Enable != 0)) SendMessage(w, WM_ENABLE, Enable ? 1 : 0, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND w) {
  return Valid(w) && !(w->Style & WS_DISABLED);
}
BOOL IsIconic(HWND w) {
  return Valid(w) && w->ShowState == SIZE_MINIMIZED;
}
BOOL IsZoomed(HWND w) {
  return Valid(w) && w->ShowState == SIZE_MAXIMIZED;
}

BOOL GetWindowRect(HWND w, TRect* R) {
  if (!Valid(w) || !R) return 0;
  const TPoint o = w->ScreenOrigin();
  *R = Bounds(o.X, o.Y, w->Rect.Width(), w->Rect.Height());
  return 1;
}

BOOL GetClientRect(HWND w, TRect* R) {
  if (!Valid(w) || !R) return 0;
  *R = {0, 0, w->Client.Width(), w->Client.Height()};
  return 1;
}

BOOL ClientToScreen(HWND w, TPoint* P) {
  if (!Valid(w) || !P) return 0;
  const TPoint o = w->ClientScreenOrigin();
  P->X += o.X;
  P->Y += o.Y;
  return 1;
}

BOOL ScreenToClient(HWND w, TPoint* P) {
  if (!Valid(w) || !P) return 0;
  const TPoint o = w->ClientScreenOrigin();
  P->X -= o.X;
  P->Y -= o.Y;
  return 1;
}

HWND GetParent(HWND w) {
  return Valid(w) ? w->Parent : nullptr;
}

HWND SetParent(HWND w, HWND NewParent) {
  if (!Valid(w) || (NewParent && !Valid(NewParent))) return nullptr;
  HWND old = w->Parent;
  RemoveFromParentList(w);
  w->Parent = NewParent;
  if (NewParent)
    NewParent->Children.push_back(w);
  else
    Sys().TopLevels.push_back(w);
  // The native window cannot change parents cheaply; make a new one.
  if (w->Native) {
    const bool visible = (w->Style & WS_VISIBLE) != 0;
    backend::DestroyWindow(w->Native);
    w->Native = backend::CreateWindow(w, NewParent ? NewParent->Native : nullptr,
                                      NewParent ? Bounds(NewParent->Client.Left + w->Rect.Left,
                                                         NewParent->Client.Top + w->Rect.Top, w->Rect.Width(),
                                                         w->Rect.Height())
                                                : w->Rect);
    w->AttachSurface();
    if (visible) backend::SetVisible(w->Native, true);
  }
  InvalidateAll(w);
  return old;
}

BOOL IsChild(HWND Parent, HWND w) {
  if (!Valid(Parent) || !Valid(w)) return 0;
  for (HWND p = w->Parent; p; p = p->Parent)
    if (p == Parent) return 1;
  return 0;
}

BOOL BringWindowToTop(HWND w) {
  return SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

HWND WindowFromPoint(TPoint P) {
  TSystem& s = Sys();
  for (auto it = s.TopLevels.rbegin(); it != s.TopLevels.rend(); ++it) {
    HWND t = *it;
    if (!(t->Style & WS_VISIBLE) || t->ShowState == SIZE_MINIMIZED) continue;
    const TPoint p{P.X - t->Rect.Left, P.Y - t->Rect.Top};
    if (!t->WindowRectInWindow().Contains(p)) continue;
    if (t->Shape && !t->Shape->Contains(p.X, p.Y)) continue;
    return ChildAt(t, P);
  }
  return nullptr;
}

LONG GetWindowLong(HWND w, int Index) {
  if (!Valid(w)) return 0;
  if (Index == GWL_STYLE) return static_cast<LONG>(w->Style);
  if (Index == GWL_EXSTYLE) return static_cast<LONG>(w->ExStyle);
  return 0;
}

LONG SetWindowLong(HWND w, int Index, LONG NewLong) {
  if (!Valid(w)) return 0;
  DWORD* field = Index == GWL_STYLE ? &w->Style : Index == GWL_EXSTYLE ? &w->ExStyle : nullptr;
  if (!field) return 0;
  const LONG old = static_cast<LONG>(*field);
  DWORD value = static_cast<DWORD>(NewLong);
  if (Index == GWL_STYLE)
    value = (value & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE)) |
            (w->Style & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE));
  SendMessage(w, WM_STYLECHANGING, static_cast<WPARAM>(Index), 0);
  *field = value;
  SendMessage(w, WM_STYLECHANGED, static_cast<WPARAM>(Index), 0);
  return old;
}

BOOL SetWindowText(HWND w, const char* Text) {
  return static_cast<BOOL>(SendMessage(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text)));
}

int GetWindowText(HWND w, char* Buffer, int MaxCount) {
  return static_cast<int>(
      SendMessage(w, WM_GETTEXT, static_cast<WPARAM>(MaxCount), reinterpret_cast<LPARAM>(Buffer)));
}

int SetWindowRgn(HWND w, HRGN Rgn, BOOL Redraw) {
  if (!Valid(w)) {
    if (Rgn) Rgn->DeleteObject();
    return 0;
  }
  if (Rgn) {
    w->Shape = std::make_unique<TRegion>(*Rgn);
    Rgn->DeleteObject(); // the window owns it now: our copy stands for it
  } else {
    w->Shape.reset();
  }
  if (w->Native) backend::SetShape(w->Native, w->Shape ? w->Shape->Rects() : std::vector<TRect>{});
  if (Redraw) InvalidateAll(w);
  return 1;
}

int GetWindowRgn(HWND w, HRGN Rgn) {
  if (!Valid(w) || !w->Shape || !Rgn) return 0; // ERROR
  *Rgn = *w->Shape;
  return Rgn->Empty() ? 1 : 3; // NULLREGION, COMPLEXREGION
}

// ---------------------------------------------------------------------------------------------------------
// Painting

BOOL InvalidateRect(HWND w, const TRect* R, BOOL Erase) {
  if (!Valid(w)) return 0;
  const TRect client{0, 0, w->Client.Width(), w->Client.Height()};
  TRect r = client;
  if (R) IntersectRect(r, *R, client);
  if (!r.IsEmpty()) {
    w->Update = UnionRect(w->Update, r);
    if (Erase) w->Erase = true;
  }
  return 1;
}

BOOL ValidateRect(HWND w, const TRect*) {
  if (!Valid(w)) return 0;
  w->Update = {};
  w->Erase = false;
  return 1;
}

BOOL UpdateWindow(HWND w) {
  if (!Valid(w) || !IsWindowVisible(w) || w->ShowState == SIZE_MINIMIZED) return 0;
  if (w->NCInvalid) {
    w->NCInvalid = false;
    SendMessage(w, WM_NCPAINT, 1, 0);
  }
  if (Valid(w) && !w->Update.IsEmpty()) {
    SendMessage(w, WM_PAINT, 0, 0);
    if (Valid(w)) w->Update = {};
  }
  if (Valid(w)) PresentTree(w);
  return 1;
}

BOOL RedrawWindow(HWND w, const TRect* R, HRGN, UINT Flags) {
  if (!Valid(w)) return 0;
  if (Flags & RDW_INVALIDATE) InvalidateRect(w, R, (Flags & RDW_ERASE) != 0);
  if (Flags & RDW_FRAME) w->NCInvalid = true;
  if (Flags & RDW_VALIDATE) ValidateRect(w, R);
  if (Flags & RDW_ALLCHILDREN)
    for (HWND c : w->Children) RedrawWindow(c, nullptr, nullptr, Flags & ~RDW_UPDATENOW);
  if (Flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
    if (Flags & RDW_ALLCHILDREN)
      PaintWindowTree(w), PresentTree(w);
    else
      UpdateWindow(w);
  }
  return 1;
}

HDC BeginPaint(HWND w, PAINTSTRUCT* ps) {
  if (!Valid(w) || !ps) return nullptr;
  TRect r = w->Update;
  if (r.IsEmpty()) r = {0, 0, w->Client.Width(), w->Client.Height()};
  const bool erase = w->Erase;
  w->Update = {};
  w->Erase = false;
  TRect clientInWindow = w->Client;
  w->PaintDC.Retarget(&w->Surface, clientInWindow.TopLeft(), clientInWindow);
  const TRegion clip(r);
  w->PaintDC.SelectClip(&clip, rgnCopy);
  ps->hdc = &w->PaintDC;
  ps->rcPaint = r;
  ps->fErase = 0;
  if (erase) ps->fErase = SendMessage(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0) ? 0 : 1;
  TRect shown = r;
  shown.Offset(w->Client.Left, w->Client.Top);
  MarkPresent(w, shown);
  return ps->hdc;
}

BOOL EndPaint(HWND w, const PAINTSTRUCT*) {
  if (!Valid(w)) return 0;
  w->PaintDC.Retarget(nullptr);
  return 1;
}

HDC GetDC(HWND w) {
  if (!Valid(w)) return nullptr;
  if (IsDesktopWindow(w)) return GetDesktopDC();
  MarkPresent(w, w->Client);
  HDC dc = new TDeviceContext(&w->Surface, w->Client.TopLeft(), w->Client); // freed by ReleaseDC
  Sys().DCs[dc] = w;
  return dc;
}

HDC GetWindowDC(HWND w) {
  if (!Valid(w)) return nullptr;
  if (IsDesktopWindow(w)) return GetDesktopDC();
  MarkPresent(w, w->WindowRectInWindow());
  HDC dc = new TDeviceContext(&w->Surface, {0, 0}, w->WindowRectInWindow()); // freed by ReleaseDC
  Sys().DCs[dc] = w;
  return dc;
}

int ReleaseDC(HWND, HDC DC) {
  if (ReleaseDesktopDC(DC)) return 1;
  if (!DC || Sys().DCs.erase(DC) == 0) return 0; // only contexts of GetDC and GetWindowDC are ours to free
  delete DC;
  return 1;
}

HWND WindowOfDC(HDC DC) {
  TSystem& s = Sys();
  if (IsDesktopDC(DC)) return DesktopWindow();
  if (auto it = s.DCs.find(DC); it != s.DCs.end()) return Valid(it->second) ? it->second : nullptr;
  for (HWND w : s.Windows)
    if (&w->PaintDC == DC) return w;
  return nullptr;
}

std::vector<HWND> TopLevelWindows() {
  return Sys().TopLevels;
}

void DestroyAllWindows() {
  while (!Sys().TopLevels.empty()) {
    HWND w = Sys().TopLevels.back();
    if (!DestroyWindow(w)) std::erase(Sys().TopLevels, w);
  }
}

void UpdateAllWindows() {
  const std::vector<HWND> tops = Sys().TopLevels;
  for (HWND t : tops) PaintWindowTree(t);
  for (HWND t : Sys().TopLevels) PresentTree(t);
}

// ---------------------------------------------------------------------------------------------------------
// Input state

HWND SetCapture(HWND w) {
  TSystem& s = Sys();
  HWND old = s.Capture;
  if (old == w) {
    s.ImplicitCapture = false;
    return old;
  }
  s.Capture = Valid(w) ? w : nullptr;
  s.ImplicitCapture = false;
  if (Valid(old)) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(w));
  return old;
}

BOOL ReleaseCapture() {
  TSystem& s = Sys();
  HWND old = s.Capture;
  s.Capture = nullptr;
  s.ImplicitCapture = false;
  if (Valid(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return 1;
}

// The capture a press makes by itself is the system's own: callers see only the capture they set.
HWND GetCapture() {
  return Valid(Sys().Capture) && !Sys().ImplicitCapture ? Sys().Capture : nullptr;
}

HWND SetFocus(HWND w) {
  TSystem& s = Sys();
  HWND old = Valid(s.Focus) ? s.Focus : nullptr;
  if (w == old) return old;
  if (w) {
    if (!Valid(w) || !IsWindowVisible(w)) return nullptr;
    for (HWND p = w; p; p = p->Parent)
      if (p->Style & WS_DISABLED) return nullptr;
    HWND top = w->Root();
    if (s.Active != top) {
      SetActiveWindow(top);
      if (Valid(s.Focus) && s.Focus == w) return old;
      old = Valid(s.Focus) ? s.Focus : nullptr;
      if (w == old) return old;
    }
  }
  s.Focus = w;
  if (old) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(w), 0);
  if (w && Valid(w) && s.Focus == w) SendMessage(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() {
  return Valid(Sys().Focus) ? Sys().Focus : nullptr;
}

HWND SetActiveWindow(HWND w) {
  TSystem& s = Sys();
  if (w) {
    if (!Valid(w)) return nullptr;
    w = w->Root();
  }
  HWND old = Valid(s.Active) ? s.Active : nullptr;
  if (w == old) return old;
  s.Active = w;
  if (old) {
    SendMessage(old, WM_NCACTIVATE, 0, 0);
    SendMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(w));
    if (Valid(old)) old->NCInvalid = true;
    if (s.Focus && Valid(s.Focus) && s.Focus->Root() == old) {
      HWND f = s.Focus;
      s.Focus = nullptr;
      SendMessage(f, WM_KILLFOCUS, 0, 0);
    }
  }
  if (!old && w && OnApplicationActivate) OnApplicationActivate(true);
  if (w && s.Active == w) {
    std::erase(s.TopLevels, w);
    s.TopLevels.push_back(w);
    if (w->Native) {
      backend::Raise(w->Native);
      backend::Activate(w->Native);
    }
    SendMessage(w, WM_NCACTIVATE, 1, 0);
    SendMessage(w, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, w->ShowState == SIZE_MINIMIZED),
                reinterpret_cast<LPARAM>(old));
    if (Valid(w)) w->NCInvalid = true;
  }
  if (old && !w && OnApplicationActivate) OnApplicationActivate(false);
  return old;
}

HWND GetActiveWindow() {
  return Valid(Sys().Active) ? Sys().Active : nullptr;
}
HWND GetForegroundWindow() {
  return GetActiveWindow();
}
BOOL SetForegroundWindow(HWND w) {
  return SetActiveWindow(w) != w || GetActiveWindow() == w;
}

BOOL GetCursorPos(TPoint* P) {
  if (!P) return 0;
  *P = Sys().Cursor;
  return 1;
}

BOOL SetCursorPos(int X, int Y) {
  Sys().Cursor = {X, Y};
  if (!backend::IsOffscreen()) backend::SetCursorPos({X, Y});
  return 1;
}

short GetKeyState(int VirtKey) {
  if (VirtKey < 0 || VirtKey > 255) return 0;
  return (Sys().Keys[VirtKey] & 0x80) ? static_cast<short>(0xFF80) : 0;
}

short GetAsyncKeyState(int VirtKey) {
  return (GetKeyState(VirtKey) & 0x80) ? static_cast<short>(0x8000) : 0;
}

// ---------------------------------------------------------------------------------------------------------
// Timers and the clock

UINT SetTimer(HWND Wnd, UINT IDEvent, UINT Elapse, std::function<void()> Proc) {
  TSystem& s = Sys();
  if (Wnd && !Valid(Wnd)) return 0;
  Elapse = std::max<UINT>(Elapse, 1);
  for (TTimer& t : s.Timers)
    if (t.Wnd == Wnd && t.ID == IDEvent) {
      t.Elapse = Elapse;
      t.Due = GetTickCount() + Elapse;
      t.Proc = std::move(Proc);
      return IDEvent;
    }
  s.Timers.push_back({Wnd, IDEvent, Elapse, GetTickCount() + Elapse, std::move(Proc)});
  return IDEvent;
}

BOOL KillTimer(HWND Wnd, UINT IDEvent) {
  TSystem& s = Sys();
  const auto n = std::erase_if(s.Timers, [&](const TTimer& t) { return t.Wnd == Wnd && t.ID == IDEvent; });
  // A WM_TIMER already queued for it is dropped.
  std::erase_if(s.Queue, [&](const TQueued& q) {
    return !q.RawMouse && !q.RawKey && q.Msg.message == WM_TIMER && q.Msg.hwnd == Wnd &&
           q.Msg.wParam == IDEvent;
  });
  return n != 0;
}

DWORD GetTickCount() {
  const TSystem& s = Sys();
  return s.Clock ? s.Clock() : RealTicks();
}

void SetTickCountSource(std::function<DWORD()> Source) {
  TSystem& s = Sys();
  s.Clock = std::move(Source);
  const DWORD now = GetTickCount();
  for (TTimer& t : s.Timers) t.Due = now + t.Elapse;
}

// ---------------------------------------------------------------------------------------------------------
// Synthetic input

void InjectMouse(HWND TopLevel, const backend::MouseEvent& Event) {
  if (!Valid(TopLevel)) return;
  TopLevel->Root()->MouseInput(Event);
}

void InjectKey(const backend::KeyEvent& Event) {
  TQueued q;
  q.RawKey = true;
  q.Key = Event;
  Sys().Queue.push_back(q);
}
