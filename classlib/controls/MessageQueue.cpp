// The message queue: sending, posting, taking and dispatching messages, and waiting for them.
#include "classlib/controls/WindowHandle.h"

#include <thread>

#include "classlib/controls/WindowSystem.h"
#include "classlib/core/Thread.h"

namespace winsys {

bool OnUserInterfaceThread() {
  const std::thread::id ui = MainThreadID();
  return ui == std::thread::id{} || ui == std::this_thread::get_id();
}

void QueueReport(TQueued q) {
  TSystem& s = Sys();
  // Only the latest placement the desktop reports matters.
  if (q.Kind == TQueued::Geometry)
    std::erase_if(s.Queue, [&](const TQueued& e) { return e.Kind == TQueued::Geometry && e.Top == q.Top; });
  s.Queue.push_back(std::move(q));
}

namespace {

// Messages posted by other threads join the queue.
void TakeInbox() {
  TSystem& s = Sys();
  std::lock_guard lock(s.InboxLock);
  while (!s.Inbox.empty()) {
    s.Queue.push_back(std::move(s.Inbox.front()));
    s.Inbox.pop_front();
  }
}

bool InboxEmpty() {
  TSystem& s = Sys();
  std::lock_guard lock(s.InboxLock);
  return s.Inbox.empty();
}

// The desktop placed the window itself (system move or resize, a window manager's maximize): follow without
// placing the native window again.
void FollowDesktopGeometry(HWND w, const TRect& r) {
  if (r == w->Rect) return;
  w->FollowingDesktop = true;
  SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (Valid(w)) w->FollowingDesktop = false;
}

} // namespace

} // namespace winsys

using namespace winsys;

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!Valid(Wnd)) return 0;
  return Wnd->Send(Msg, WParam, LParam);
}

BOOL PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TSystem& s = Sys();
  TQueued q;
  if (!OnUserInterfaceThread()) {
    // Another thread sees no window's state: the window is checked when the message is taken.
    q.Msg = {Wnd, Msg, WParam, LParam, GetTickCount(), {}};
    {
      std::lock_guard lock(s.InboxLock);
      s.Inbox.push_back(std::move(q));
    }
    backend::Wake();
    return 1;
  }
  if (Wnd && !Valid(Wnd)) return 0;
  q.Msg = {Wnd, Msg, WParam, LParam, GetTickCount(), s.Cursor};
  s.Queue.push_back(std::move(q));
  backend::Wake();
  return 1;
}

void PostQuitMessage(int ExitCode) {
  PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(ExitCode), 0);
}

BOOL PeekMessage(MSG& Msg, HWND, UINT, UINT, UINT RemoveMsg) {
  TSystem& s = Sys();
  TakeInbox();
  DueTimers();
  while (!s.Queue.empty()) {
    TQueued q = s.Queue.front();
    if (RemoveMsg == PM_NOREMOVE && q.Kind == TQueued::Posted) {
      if (q.Msg.hwnd && !Valid(q.Msg.hwnd)) {
        s.Queue.pop_front();
        continue;
      }
      Msg = q.Msg;
      return 1;
    }
    s.Queue.pop_front();
    switch (q.Kind) {
    case TQueued::RawMouse: {
      const bool made = RouteMouse(q, Msg);
      if (OnMouseIdle && !made) OnMouseIdle();
      if (!made) continue;
      break;
    }
    case TQueued::RawKey:
      if (!RouteKey(q, Msg)) continue;
      break;
    case TQueued::Activation:
      if (!q.Active || !Valid(q.Top) || s.Active == q.Top || !(q.Top->Style & WS_VISIBLE)) continue;
      if (!(q.Top->Style & WS_DISABLED)) {
        SetActiveWindow(q.Top);
      } else if (Valid(s.Active) && s.Active->Native) {
        // A window disabled under a modal one is not activated: the desktop gets the active one back on
        // top, or the modal window would hide behind a window that takes no input.
        backend::Raise(s.Active->Native);
        backend::Activate(s.Active->Native);
      }
      continue;
    case TQueued::Geometry:
      // A window the program placed again after the report stays where the program put it.
      if (Valid(q.Top) && q.Top->Rect == q.Before) FollowDesktopGeometry(q.Top, q.Rect);
      continue;
    case TQueued::Scale:
      if (Valid(q.Top)) q.Top->FollowScale();
      continue;
    case TQueued::Posted:
      Msg = q.Msg;
      if (Msg.hwnd && !Valid(Msg.hwnd)) continue;
      break;
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
  if (!s.Queue.empty() || !InboxEmpty()) return;
  int wait = NextTimerWait();
  if (MaxWaitMs >= 0 && (wait < 0 || wait > MaxWaitMs)) wait = MaxWaitMs;
  if (s.Clock && wait != 0) {
    // A hand-driven clock does not move by itself: never wait for it.
    backend::ProcessEvents(0);
    return;
  }
  backend::ProcessEvents(wait);
}
