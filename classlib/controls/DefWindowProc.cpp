// The default window procedure: the system's part in every window's messages.
#include "classlib/controls/WindowHandle.h"

#include <algorithm>
#include <cstring>

#include "classlib/controls/ScrollBars.h"
#include "classlib/controls/WindowSystem.h"
#include "classlib/graphics/Gdi.h"

using namespace winsys;

LRESULT DefWindowProc(HWND w, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!Valid(w)) return 0;
  if (ScrollBarsMouse(w, Msg, WParam, LParam)) return 0;
  switch (Msg) {
  case WM_NCCALCSIZE: {
    TRect* r =
        WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam)->rgrc[0] : reinterpret_cast<TRect*>(LParam);
    // A minimized top-level window is the desktop's; a minimized child keeps its caption bar alone.
    if (w->ShowState == SIZE_MINIMIZED && !w->Parent) return 0;
    *r = Inset(*r, SystemFrameInsets(w->Style, w->ExStyle));
    if (r->Right < r->Left) r->Right = r->Left;
    if (r->Bottom < r->Top) r->Bottom = r->Top;
    ScrollBarsNCCalcSize(w, *r);
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
    if (LRESULT bar = HTNOWHERE; ScrollBarsHitTest(w, p, bar)) return bar;
    const TRect insets = SystemFrameInsets(w->Style, w->ExStyle);
    if ((w->Style & WS_THICKFRAME) && w->ShowState == SIZE_RESTORED) {
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
    if (static_cast<int>(WParam) != HTCAPTION) return 0;
    if (w->ShowState == SIZE_MINIMIZED)
      SendMessage(w, WM_SYSCOMMAND, SC_RESTORE, LParam);
    else if (w->Style & WS_MAXIMIZEBOX)
      SendMessage(w, WM_SYSCOMMAND, w->ShowState == SIZE_MAXIMIZED ? SC_RESTORE : SC_MAXIMIZE, LParam);
    return 0;
  case WM_SYSCOMMAND: {
    // System commands act on the window's frame: a child frame moves and sizes inside its parent.
    const UINT cmd = static_cast<UINT>(WParam) & 0xFFF0;
    HWND top = FrameOf(w);
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
    if (!Valid(w)) return 0;
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
    if (insets == TRect{}) {
      ScrollBarsNCPaint(w);
      return 0;
    }
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
      const bool active = FrameActive(w);
      FillRect(dc, &cap, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
      cap.Left += 4;
      DrawText(dc, w->Text.c_str(), -1, &cap,
               DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    ReleaseDC(w, dc);
    ScrollBarsNCPaint(w);
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
