// Input routing: raw mouse and key events become messages for the windows they concern, the move and size
// loop, capture, the cursor, the key state, and synthetic input.
#include "classlib/controls/WindowHandle.h"

#include <algorithm>

#include "classlib/controls/WindowSystem.h"

namespace winsys {

namespace {

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

void EndMoveSize() {
  TSystem& s = Sys();
  HWND w = s.MoveSize.Wnd;
  s.MoveSize = {};
  if (Valid(w)) SendMessage(w, WM_EXITSIZEMOVE, 0, 0);
}

} // namespace

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

void StartMoveSize(HWND w, unsigned edges) {
  HWND top = FrameOf(w);
  if (top->ShowState == SIZE_MAXIMIZED || (top->ShowState == SIZE_MINIMIZED && edges != 0)) return;
  if (!top->Parent && top->Native && !backend::IsOffscreen()) {
    const bool started =
        edges == 0 ? backend::StartSystemMove(top->Native) : backend::StartSystemResize(top->Native, edges);
    if (started) return;
  }
  TSystem& s = Sys();
  s.MoveSize = {top, edges, s.Cursor, top->Rect};
  SendMessage(top, WM_ENTERSIZEMOVE, 0, 0);
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
    if (s.Active != top && !(top->ExStyle & WS_EX_NOACTIVATE)) SetActiveWindow(top);
    if (!Valid(target)) return false;
    ActivateChildFramesOf(target, true);
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

} // namespace winsys

using namespace winsys;

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

void InjectMouse(HWND TopLevel, const backend::MouseEvent& Event) {
  if (!Valid(TopLevel)) return;
  TopLevel->Root()->MouseInput(Event);
}

void InjectKey(const backend::KeyEvent& Event) {
  TQueued q;
  q.Kind = TQueued::RawKey;
  q.Key = Event;
  QueueReport(std::move(q));
}

void InjectActivation(HWND TopLevel, bool Active) {
  if (!Valid(TopLevel)) return;
  TQueued q;
  q.Kind = TQueued::Activation;
  q.Top = TopLevel->Root();
  q.Active = Active;
  QueueReport(std::move(q));
}

void InjectGeometry(HWND TopLevel, const TRect& ScreenRect) {
  if (!Valid(TopLevel)) return;
  TopLevel->Root()->GeometryChanged(ScreenRect);
}

void InjectCloseRequest(HWND TopLevel) {
  if (!Valid(TopLevel)) return;
  TopLevel->Root()->CloseRequested();
}
