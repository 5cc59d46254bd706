// The MDI client window: it holds the MDI children of a frame window, activates, arranges, maximizes and
// restores them, and answers the WM_MDI* messages. Its procedure is the system's; a caller may replace it
// (GWL_WNDPROC) and pass on what it does not handle.
#include <algorithm>
#include <unordered_map>
#include <utility>

#include "classlib/controls/WindowHandle.h"
#include "classlib/controls/WindowSystem.h"
#include "classlib/graphics/Gdi.h"

using namespace winsys;

namespace {

// The menus WM_MDISETMENU hands over, per client: the frame's and the window menu.
std::unordered_map<HWND, std::pair<WPARAM, LPARAM>>& Menus() {
  static std::unordered_map<HWND, std::pair<WPARAM, LPARAM>> menus;
  return menus;
}

bool IsMDIChildOf(HWND client, HWND c) {
  return Valid(c) && c->Parent == client && (c->ExStyle & WS_EX_MDICHILD) && !c->Destroying;
}

// The visible MDI children, top first.
std::vector<HWND> VisibleChildren(HWND client, bool skipDisabled = false) {
  std::vector<HWND> list;
  for (auto it = client->Children.rbegin(); it != client->Children.rend(); ++it)
    if (IsMDIChildOf(client, *it) && ((*it)->Style & WS_VISIBLE) &&
        !(skipDisabled && ((*it)->Style & WS_DISABLED)))
      list.push_back(*it);
  return list;
}

// The children an arrangement places: visible ones that are not minimized, maximized ones restored first.
std::vector<HWND> ToArrange(HWND client, WPARAM how) {
  std::vector<HWND> list;
  for (HWND c : VisibleChildren(client, (how & MDITILE_SKIPDISABLED) != 0))
    if (c->ShowState != SIZE_MINIMIZED) list.push_back(c);
  for (HWND c : list)
    if (Valid(c) && c->ShowState == SIZE_MAXIMIZED) ShowWindow(c, SW_RESTORE);
  std::erase_if(list, [](HWND c) { return !Valid(c); });
  return list;
}

// The part of the client area that arranged windows share: all of it above the row of minimized ones.
TRect ArrangeArea(HWND client) {
  TRect area{0, 0, client->Client.Width(), client->Client.Height()};
  for (HWND c : VisibleChildren(client))
    if (c->ShowState == SIZE_MINIMIZED) area.Bottom = std::min(area.Bottom, c->Rect.Top);
  return area;
}

void Place(HWND c, const TRect& r) {
  if (Valid(c)) SetWindowPos(c, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

// Each window one caption lower and further right than the one behind it; the top one ends in front, last.
void Cascade(HWND client, WPARAM how) {
  const std::vector<HWND> list = ToArrange(client, how);
  if (list.empty()) return;
  const TRect area = ArrangeArea(client);
  const int n = static_cast<int>(list.size());
  const int step = std::max(1, SystemFrameInsets(list.front()->Style, list.front()->ExStyle).Top);
  const int w = std::max(area.Width() - step * (n - 1), area.Width() / 2);
  const int h = std::max(area.Height() - step * (n - 1), area.Height() / 2);
  const int fit = std::max(1, std::min((area.Width() - w) / step, (area.Height() - h) / step) + 1);
  for (int i = 0; i < n; ++i) {
    const int k = i % fit;
    Place(list[static_cast<size_t>(n - 1 - i)], Bounds(area.Left + k * step, area.Top + k * step, w, h));
  }
}

// Side by side (MDITILE_VERTICAL) or one above the other (MDITILE_HORIZONTAL), the top window first.
void Tile(HWND client, WPARAM how) {
  const std::vector<HWND> list = ToArrange(client, how);
  if (list.empty()) return;
  const TRect area = ArrangeArea(client);
  const int n = static_cast<int>(list.size());
  const bool rows = (how & MDITILE_HORIZONTAL) != 0;
  const int total = rows ? area.Height() : area.Width();
  for (int i = 0; i < n; ++i) {
    const int from = total * i / n, to = total * (i + 1) / n;
    Place(list[static_cast<size_t>(i)], rows
                                            ? TRect{area.Left, area.Top + from, area.Right, area.Top + to}
                                            : TRect{area.Left + from, area.Top, area.Left + to, area.Bottom});
  }
}

// WM_MDINEXT: the window behind the active one comes forward and the active one goes to the back; with
// Previous, the backmost comes forward.
void Next(HWND client, HWND from, bool previous) {
  std::vector<HWND> list = VisibleChildren(client, true);
  if (!IsMDIChildOf(client, from)) from = Valid(client->ActiveChild) ? client->ActiveChild : nullptr;
  if (list.size() < 2 || !from) return;
  if (previous) {
    ActivateChildFrame(list.back());
    return;
  }
  const auto it = std::find(list.begin(), list.end(), from);
  HWND next = (it == list.end() || it + 1 == list.end()) ? list.front() : *(it + 1);
  ActivateChildFrame(next);
  if (Valid(from)) SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT MDIClientWindowProc(HWND w, UINT Msg, WPARAM WParam, LPARAM LParam) {
  HWND child = reinterpret_cast<HWND>(WParam);
  switch (Msg) {
  case WM_MDICREATE: {
    const auto* cs = reinterpret_cast<const MDICREATESTRUCT*>(LParam);
    if (!cs) return 0;
    const DWORD style = (cs->style | WS_CHILD | WS_CLIPSIBLINGS | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU |
                         WS_MINIMIZEBOX | WS_MAXIMIZEBOX) &
                        ~WS_POPUP;
    HWND c = CreateWindowHandle(nullptr, w, style, WS_EX_MDICHILD, Bounds(cs->x, cs->y, cs->cx, cs->cy),
                                cs->szTitle ? cs->szTitle : "", cs->Proc);
    FinishCreate(c);
    if (Valid(c)) ShowWindow(c, SW_SHOW);
    return reinterpret_cast<LRESULT>(Valid(c) ? c : nullptr);
  }
  case WM_MDIDESTROY:
    return IsMDIChildOf(w, child) ? DestroyWindow(child) : 0;
  case WM_MDIACTIVATE:
    if (IsMDIChildOf(w, child)) ActivateChildFrame(child);
    return 0;
  case WM_MDINEXT:
    Next(w, child, LParam != 0);
    return 0;
  case WM_MDICASCADE:
    Cascade(w, WParam);
    return 1;
  case WM_MDITILE:
    Tile(w, WParam);
    return 1;
  case WM_MDIICONARRANGE:
    ArrangeIconicWindows(w);
    return 0;
  case WM_MDIMAXIMIZE:
    if (IsMDIChildOf(w, child) && child->ShowState != SIZE_MAXIMIZED) ShowWindow(child, SW_MAXIMIZE);
    return 0;
  case WM_MDIRESTORE:
    // Also a child on its way out: its frame restores it as it goes.
    if (Valid(child) && child->Parent == w && (child->ExStyle & WS_EX_MDICHILD) &&
        child->ShowState != SIZE_RESTORED)
      ShowWindow(child, SW_RESTORE);
    return 0;
  case WM_MDIGETACTIVE: {
    HWND active = IsMDIChildOf(w, w->ActiveChild) ? w->ActiveChild : nullptr;
    if (LParam) *reinterpret_cast<BOOL*>(LParam) = active && active->ShowState == SIZE_MAXIMIZED;
    return reinterpret_cast<LRESULT>(active);
  }
  case WM_MDISETMENU: {
    auto& menus = Menus()[w];
    const WPARAM old = menus.first;
    if (WParam) menus.first = WParam;
    if (LParam) menus.second = LParam;
    return static_cast<LRESULT>(old);
  }
  case WM_MDIREFRESHMENU:
    return static_cast<LRESULT>(Menus()[w].first);
  case WM_SIZE: {
    // Maximized children fill the new client area; minimized ones keep to its bottom.
    const std::vector<HWND> list = VisibleChildren(w);
    for (HWND c : list)
      if (Valid(c) && c->ShowState == SIZE_MAXIMIZED) {
        const TRect insets = SystemFrameInsets(c->Style, c->ExStyle);
        Place(c, {-insets.Left, -insets.Top, w->Client.Width() + insets.Right,
                  w->Client.Height() + insets.Bottom});
      }
    if (Valid(w)) ArrangeIconicWindows(w);
    return 0;
  }
  case WM_ERASEBKGND: {
    RECT r{0, 0, w->Client.Width(), w->Client.Height()};
    FillRect(reinterpret_cast<HDC>(WParam), &r, GetSysColorBrush(COLOR_APPWORKSPACE));
    return 1;
  }
  case WM_NCDESTROY:
    Menus().erase(w);
    return DefWindowProc(w, Msg, WParam, LParam);
  default:
    return DefWindowProc(w, Msg, WParam, LParam);
  }
}

} // namespace

HWND CreateMDIClientWindow(HWND Frame, DWORD Style, DWORD ExStyle, const TRect& Rect) {
  static const WNDPROC proc = MakeWindowProc(MDIClientWindowProc);
  if (!IsWindow(Frame)) return nullptr;
  HWND w = CreateWindowHandle(nullptr, Frame, Style | WS_CHILD | WS_CLIPCHILDREN, ExStyle, Rect, "", proc);
  w->MDIClient = true;
  FinishCreate(w);
  if (Valid(w) && (Style & WS_VISIBLE)) ShowWindow(w, SW_SHOWNA);
  return Valid(w) ? w : nullptr;
}

BOOL IsMDIClientWindow(HWND Wnd) {
  return Valid(Wnd) && Wnd->MDIClient;
}
