// Timers and the clock: WM_TIMER messages and timer procedures, driven by GetTickCount.
#include "classlib/controls/WindowHandle.h"

#include <algorithm>
#include <chrono>

#include "classlib/controls/WindowSystem.h"

namespace winsys {

namespace {

DWORD RealTicks() {
  using namespace std::chrono;
  return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

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

} // namespace winsys

using namespace winsys;

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
    return q.Kind == TQueued::Posted && q.Msg.message == WM_TIMER && q.Msg.hwnd == Wnd &&
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
