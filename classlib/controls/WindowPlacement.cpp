// Placement and showing: position, size, z-order, showing states, parents, window longs, text and shapes.
#include "classlib/controls/WindowHandle.h"

#include <algorithm>
#include <utility>

#include "classlib/controls/WindowSystem.h"

using namespace winsys;

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
    w->Client = RelativeTo(params.rgrc[0], newRect.TopLeft());
  }
  w->Rect = newRect;
  if (sized) w->FitSurface();
  if (w->Native) {
    if (!w->FollowingDesktop) backend::SetGeometry(w->Native, newRect);
    // Children stand in the client area, which may have moved.
    if (sized || frame) backend::SetClientArea(w->Native, w->Client);
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
  // Handlers may free the window on any message from here on.
  if (Flags & SWP_SHOWWINDOW) ShowWindow(w, (Flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if ((Flags & SWP_HIDEWINDOW) && Valid(w)) ShowWindow(w, SW_HIDE);
  if ((moved || sized || frame) && Valid(w))
    SendMessage(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
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

// Where a maximized window goes: the work area for a top-level window, its parent's client area for a child,
// with the window's own frame outside it; WM_GETMINMAXINFO may change both.
MINMAXINFO MaximizedPlacement(HWND w) {
  const TRect insets = SystemFrameInsets(w->Style, w->ExStyle);
  MINMAXINFO info;
  if (w->Parent) {
    info.ptMaxPosition = {-insets.Left, -insets.Top};
    info.ptMaxSize = {w->Parent->Client.Width() + insets.Left + insets.Right,
                      w->Parent->Client.Height() + insets.Top + insets.Bottom};
  } else {
    const TRect work = WorkAreaOf(w);
    info.ptMaxPosition = {work.Left - insets.Left, work.Top - insets.Left};
    info.ptMaxSize = {work.Width() + 2 * insets.Left, work.Height() + 2 * insets.Left};
  }
  info.ptMinTrackSize = {1, 1};
  info.ptMaxTrackSize = {100000, 100000};
  SendMessage(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info;
}

// A minimized child frame is its caption bar alone, in the first free place along the bottom of its parent's
// client area, left to right, then row above row.
constexpr int IconicWidth = 160;

TRect IconicPlace(HWND w, const std::vector<HWND>& taken) {
  const TRect insets = SystemFrameInsets(w->Style, w->ExStyle);
  const int h = std::max(insets.Top + insets.Bottom, 1);
  const int perRow = std::max(1, w->Parent->Client.Width() / IconicWidth);
  for (int slot = 0;; ++slot) {
    const TRect r = Bounds((slot % perRow) * IconicWidth,
                           w->Parent->Client.Height() - h * (slot / perRow + 1), IconicWidth, h);
    if (std::none_of(taken.begin(), taken.end(), [&](HWND t) { return t->Rect.TopLeft() == r.TopLeft(); }))
      return r;
  }
}

std::vector<HWND> IconicSiblings(HWND w) {
  std::vector<HWND> icons;
  for (HWND c : w->Parent->Children)
    if (c != w && c->ShowState == SIZE_MINIMIZED && (c->Style & WS_VISIBLE)) icons.push_back(c);
  return icons;
}

} // namespace

void winsys::ArrangeIconicWindows(HWND Parent) {
  if (!Valid(Parent)) return;
  std::vector<HWND> placed;
  const std::vector<HWND> children = Parent->Children;
  for (HWND c : children) {
    if (!Valid(c) || c->ShowState != SIZE_MINIMIZED || !(c->Style & WS_VISIBLE)) continue;
    const TRect r = IconicPlace(c, placed);
    SetWindowPos(c, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    placed.push_back(c);
  }
}

BOOL ShowWindow(HWND w, int Cmd) {
  TSystem& s = Sys();
  if (!Valid(w)) return 0;
  const BOOL wasVisible = (w->Style & WS_VISIBLE) != 0;
  const bool childFrame = IsChildFrame(w);
  if (w->Destroying && Cmd != SW_HIDE) {
    // A window on its way out is never shown or activated again; a maximized one may still be restored
    // (an MDI child that goes lets its frame undo the maximized layout).
    if ((Cmd == SW_RESTORE || Cmd == SW_SHOWNORMAL) && w->ShowState == SIZE_MAXIMIZED) {
      SetShowState(w, SIZE_RESTORED);
      const TRect r = w->RestoreRect;
      SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return wasVisible;
  }
  // Handlers may free the window on any message below.
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
      if (w->Parent->ActiveChild == w) LeaveChildFrame(w);
      if (Valid(w) && (s.Focus == w || IsChild(w, s.Focus))) SetFocus(w->Root());
    } else if (s.Active == w) {
      ActivateNext(w);
    }
    return wasVisible;
  }
  if (Cmd == SW_MINIMIZE || Cmd == SW_SHOWMINIMIZED || Cmd == SW_SHOWMINNOACTIVE) {
    if (w->ShowState != SIZE_MINIMIZED) {
      if (w->ShowState == SIZE_RESTORED) w->RestoreRect = w->Rect;
      const bool wasMax = w->ShowState == SIZE_MAXIMIZED;
      SetShowState(w, SIZE_MINIMIZED);
      if (wasMax) w->Style |= WS_MAXIMIZE; // remembered for the restore
      if (!wasVisible) {
        w->Style |= WS_VISIBLE;
        SendMessage(w, WM_SHOWWINDOW, 1, 0);
        if (!Valid(w)) return wasVisible;
      }
      if (w->Parent) {
        // A child shrinks to its caption bar inside its parent; the focus leaves what it no longer shows.
        if (w->Native) backend::SetVisible(w->Native, true);
        const TRect r = IconicPlace(w, IconicSiblings(w));
        SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        if (Valid(w) && IsChild(w, s.Focus)) SetFocus(w);
      } else {
        if (w->Native) backend::ShowMinimized(w->Native);
        SendMessage(w, WM_SIZE, SIZE_MINIMIZED, 0);
        if (Valid(w) && s.Active == w) ActivateNext(w);
      }
    }
    return wasVisible;
  }
  if (Cmd == SW_MAXIMIZE) {
    if (w->ShowState == SIZE_RESTORED) w->RestoreRect = w->Rect;
    const bool wasMin = w->ShowState == SIZE_MINIMIZED;
    SetShowState(w, SIZE_MAXIMIZED);
    if (wasMin && w->Native && !w->Parent) backend::ShowNormal(w->Native);
    const MINMAXINFO info = MaximizedPlacement(w);
    if (!Valid(w)) return wasVisible;
    if (!(w->Style & WS_VISIBLE)) {
      w->Style |= WS_VISIBLE;
      SendMessage(w, WM_SHOWWINDOW, 1, 0);
      if (!Valid(w)) return wasVisible;
      if (w->Native) backend::SetVisible(w->Native, true);
    }
    SetWindowPos(w, nullptr, info.ptMaxPosition.X, info.ptMaxPosition.Y, info.ptMaxSize.X, info.ptMaxSize.Y,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
    if (!Valid(w)) return wasVisible;
    if (childFrame)
      ActivateChildFrame(w);
    else if (!w->Parent)
      SetActiveWindow(w);
    return wasVisible;
  }
  if (Cmd == SW_RESTORE || Cmd == SW_SHOWNORMAL) {
    if (w->ShowState == SIZE_MINIMIZED) {
      const bool wasMax = (w->Style & WS_MAXIMIZE) != 0;
      SetShowState(w, wasMax ? SIZE_MAXIMIZED : SIZE_RESTORED);
      if (w->Parent) {
        TRect r = w->RestoreRect;
        if (wasMax) {
          const MINMAXINFO info = MaximizedPlacement(w);
          if (!Valid(w)) return wasVisible;
          r = Bounds(info.ptMaxPosition.X, info.ptMaxPosition.Y, info.ptMaxSize.X, info.ptMaxSize.Y);
        }
        SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_FRAMECHANGED);
      } else {
        if (w->Native) backend::ShowNormal(w->Native);
        InvalidateAll(w);
        SendMessage(w, WM_SIZE, static_cast<WPARAM>(w->ShowState),
                    MAKELPARAM(w->Client.Width(), w->Client.Height()));
      }
      if (!Valid(w)) return wasVisible;
      if (w->Parent) ArrangeIconicWindows(w->Parent);
      if (!Valid(w)) return wasVisible;
    } else if (w->ShowState == SIZE_MAXIMIZED) {
      SetShowState(w, SIZE_RESTORED);
      const TRect r = w->RestoreRect;
      SetWindowPos(w, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_FRAMECHANGED);
      if (!Valid(w)) return wasVisible;
    }
  }
  if (!wasVisible) {
    SendMessage(w, WM_SHOWWINDOW, 1, 0);
    if (!Valid(w)) return 0;
    w->Style |= WS_VISIBLE;
    InvalidateAll(w);
    if (w->Native) {
      if (w->ShowState == SIZE_MINIMIZED && !w->Parent)
        backend::ShowMinimized(w->Native);
      else
        backend::SetVisible(w->Native, true);
    }
    if (w->Parent) InvalidateRect(w->Parent, nullptr, 1);
  }
  const bool activate = Cmd != SW_SHOWNA && Cmd != SW_SHOWNOACTIVATE && !(w->Style & WS_DISABLED);
  if (activate && childFrame)
    ActivateChildFrame(w);
  else if (activate && !w->Parent && w->ShowState != SIZE_MINIMIZED)
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
  if (w->Native) backend::Reparent(w->Native, NewParent ? NewParent->Native : nullptr, w->Rect);
  // Under another root the window may be shown at another scale.
  if (!NewParent && w->Native) w->Scale = backend::DevicePixelRatio(w->Native);
  if (w->Surface.Scale() != w->Root()->Scale) w->FitSurfaces();
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
  if (Index == GWL_WNDPROC) return w->Proc;
  if (Index == GWL_USERDATA) return w->UserData;
  return 0;
}

LONG SetWindowLong(HWND w, int Index, LONG NewLong) {
  if (!Valid(w)) return 0;
  if (Index == GWL_WNDPROC) {
    const LONG old = w->Proc;
    w->Proc = static_cast<WNDPROC>(NewLong);
    return old;
  }
  if (Index == GWL_USERDATA) return std::exchange(w->UserData, NewLong);
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
