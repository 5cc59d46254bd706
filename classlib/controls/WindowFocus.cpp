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

HWND FrameOf(HWND w) {
  for (HWND c = w; c; c = c->Parent)
    if (!c->Parent || IsChildFrame(c)) return c;
  return w;
}

bool FrameActive(HWND w) {
  if (!w->Parent) return Sys().Active == w;
  return w->Parent->ActiveChild == w && FrameActive(FrameOf(w->Parent));
}

void ActivateChildFrame(HWND child, bool takeFocus) {
  if (!Valid(child) || !IsChildFrame(child) || !(child->Style & WS_VISIBLE) || child->Destroying) return;
  HWND parent = child->Parent;
  HWND old = Valid(parent->ActiveChild) ? parent->ActiveChild : nullptr;
  if (old != child) {
    parent->ActiveChild = child;
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Handlers may free either child on any of these messages.
    const bool mdi = parent->MDIClient;
    if (old) {
      SendMessage(old, WM_NCACTIVATE, 0, 0);
      if (Valid(old)) old->NCInvalid = true;
      if (mdi && Valid(old))
        SendMessage(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
    }
    if (!Valid(child) || parent->ActiveChild != child) return;
    SendMessage(child, WM_NCACTIVATE, FrameActive(child) ? 1 : 0, 0);
    if (Valid(child)) child->NCInvalid = true;
    if (mdi && Valid(child))
      SendMessage(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
    if (!Valid(child) || parent->ActiveChild != child) return;
  }
  TSystem& s = Sys();
  if (takeFocus && FrameActive(child) && !(Valid(s.Focus) && (s.Focus == child || IsChild(child, s.Focus))))
    SetFocus(child);
}

void ActivateChildFramesOf(HWND w, bool takeFocus) {
  std::vector<HWND> frames;
  for (HWND c = w; c && c->Parent; c = c->Parent)
    if (IsChildFrame(c)) frames.insert(frames.begin(), c);
  for (HWND f : frames)
    if (Valid(f) && f->Parent->ActiveChild != f) ActivateChildFrame(f, takeFocus);
}

void LeaveChildFrame(HWND w) {
  HWND parent = w->Parent;
  if (!parent || parent->ActiveChild != w) return;
  // When the parent goes too, no other child is worth activating.
  for (HWND p = parent; p; p = p->Parent)
    if (p->Destroying) {
      parent->ActiveChild = nullptr;
      return;
    }
  for (auto it = parent->Children.rbegin(); it != parent->Children.rend(); ++it) {
    HWND c = *it;
    if (c != w && IsChildFrame(c) && (c->Style & WS_VISIBLE) && !(c->Style & WS_DISABLED) && !c->Destroying) {
      ActivateChildFrame(c);
      return;
    }
  }
  parent->ActiveChild = nullptr;
  SendMessage(w, WM_NCACTIVATE, 0, 0);
  if (Valid(w)) w->NCInvalid = true;
  if (parent->MDIClient && Valid(w)) SendMessage(w, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(w), 0);
}

void ChildFramesFollowActivation(HWND top, bool active) {
  if (!Valid(top)) return;
  if (HWND c = top->ActiveChild; c && Valid(c)) {
    SendMessage(c, WM_NCACTIVATE, active ? 1 : 0, 0);
    if (Valid(c)) c->NCInvalid = true;
  }
  if (!Valid(top)) return;
  const std::vector<HWND> children = top->Children;
  for (HWND c : children) ChildFramesFollowActivation(c, active);
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
    // The focus goes into a child frame: it becomes the active one.
    ActivateChildFramesOf(w, false);
    if (!Valid(w)) return nullptr;
    if (Valid(s.Focus) && s.Focus == w) return old;
    old = Valid(s.Focus) ? s.Focus : nullptr;
    if (w == old) return old;
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
    ChildFramesFollowActivation(old, false);
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
    ChildFramesFollowActivation(w, true);
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
