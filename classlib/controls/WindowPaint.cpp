// Painting and device contexts: the invalid area, paint messages, contexts outside paint handlers, and
// presenting what changed.
#include "classlib/controls/WindowHandle.h"

#include <algorithm>

#include "classlib/controls/DesktopDC.h"
#include "classlib/controls/WindowSystem.h"

namespace winsys {

namespace {
// A handler that never validated has its area dropped, or it would paint for ever; one that did keeps what
// was invalidated while it painted (a control that sizes itself as it paints, say) for the next pass.
void SendPaint(HWND w) {
  const unsigned before = w->Validations;
  SendMessage(w, WM_PAINT, 0, 0);
  if (Valid(w) && w->Validations == before) {
    w->Update = {};
    w->Erase = false;
  }
}

bool AnyUpdatePending(HWND w) {
  if (!Valid(w) || !(w->Style & WS_VISIBLE)) return false;
  if (w->ShowState == SIZE_MINIMIZED && !w->Parent) return false;
  if (w->NCInvalid || !w->Update.IsEmpty()) return true;
  for (HWND c : w->Children)
    if (AnyUpdatePending(c)) return true;
  return false;
}
} // namespace

void PaintWindowTree(HWND w) {
  if (!Valid(w) || !(w->Style & WS_VISIBLE)) return;
  if (w->ShowState == SIZE_MINIMIZED && !w->Parent) return;
  if (w->NCInvalid) {
    w->NCInvalid = false;
    SendMessage(w, WM_NCPAINT, 1, 0);
    if (!Valid(w)) return;
  }
  if (!w->Update.IsEmpty()) {
    SendPaint(w);
    if (!Valid(w)) return;
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

} // namespace winsys

using namespace winsys;

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
  ++w->Validations;
  return 1;
}

BOOL UpdateWindow(HWND w) {
  if (!Valid(w) || !IsWindowVisible(w) || (w->ShowState == SIZE_MINIMIZED && !w->Parent)) return 0;
  if (w->NCInvalid) {
    w->NCInvalid = false;
    SendMessage(w, WM_NCPAINT, 1, 0);
  }
  if (Valid(w) && !w->Update.IsEmpty()) SendPaint(w);
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
  ++w->Validations;
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

void UpdateAllWindows() {
  // A second pass paints what the first invalidated; a window that invalidates itself on every paint waits
  // for the next one, so this never spins.
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<HWND> tops = Sys().TopLevels;
    for (HWND t : tops) PaintWindowTree(t);
    const std::vector<HWND> after = Sys().TopLevels;
    if (std::none_of(after.begin(), after.end(), AnyUpdatePending)) break;
  }
  for (HWND t : Sys().TopLevels) PresentTree(t);
}
