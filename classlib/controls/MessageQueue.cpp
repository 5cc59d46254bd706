// The message queue: sending, posting, taking and dispatching messages, and waiting for them.
#include "classlib/controls/WindowHandle.h"

#include "classlib/controls/WindowSystem.h"

using namespace winsys;

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
