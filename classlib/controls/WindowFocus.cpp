// Focus and activation: the focused window and the active top-level window, with the messages each change
// sends.
#include "classlib/controls/WindowHandle.h"

#include <algorithm>

#include "classlib/controls/WindowSystem.h"

namespace winsys {

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

} // namespace winsys

using namespace winsys;

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
      if (!Valid(w)) return nullptr;
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
  // Handlers may free either window on any of these messages.
  if (w && Valid(w) && s.Active == w) {
    std::erase(s.TopLevels, w);
    s.TopLevels.push_back(w);
    if (w->Native) {
      backend::Raise(w->Native);
      backend::Activate(w->Native);
    }
    SendMessage(w, WM_NCACTIVATE, 1, 0);
    if (Valid(w))
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
