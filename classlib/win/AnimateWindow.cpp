// Animated showing and hiding. The window's picture (WM_PRINTCLIENT for a window about to show, what the
// screen shows for one about to hide) travels in a plain stand-in window that grows or shrinks inside the
// window's rectangle, frame by frame, while the window itself is hidden; the window then shows or stays
// hidden. The call returns when the animation is over, as the system's does.
#include <algorithm>
#include <chrono>
#include <thread>

#include "classlib/backend/Backend.h"
#include "classlib/graphics/DeviceContext.h"
#include "classlib/graphics/Gdi.h"
#include "classlib/win/Windows.h"

std::function<void(HWND Window, HWND Picture)> OnAnimateWindowFrame;

namespace {

constexpr int FrameMs = 15;
// A slide is a short thing: a larger time is cut to this, so that no call holds the interface for long.
constexpr DWORD LongestAnimation = 1000;

// What the window shows now: its surface with its visible child windows laid over it.
void ComposeShown(HWND w, TSurface& out, int X, int Y) {
  for (int y = 0; y < w->Surface.LogicalHeight(); ++y)
    for (int x = 0; x < w->Surface.LogicalWidth(); ++x) {
      if (w->Shape && !w->Shape->Contains(x, y)) continue;
      out.SetPixel(X + x, Y + y, w->Surface.LogicalPixel(x, y));
    }
  for (HWND c : w->Children)
    if (c->Style & WS_VISIBLE)
      ComposeShown(c, out, X + w->Client.Left + c->Rect.Left, Y + w->Client.Top + c->Rect.Top);
}

// What a hidden window will show: its last frame, with the client area painted afresh by the window.
TSurface PictureToShow(HWND w) {
  TSurface picture(w->Rect.Width(), w->Rect.Height());
  ComposeShown(w, picture, 0, 0);
  TDeviceContext dc(&picture, w->Client.TopLeft(), w->Client);
  SendMessage(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(&dc), PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
  return picture;
}

// The part of the window's rectangle in view after `Shown` of `Full` pixels along one axis, and the first
// picture pixel it shows. Towards the positive direction a slide pushes the picture's far end in first; a
// roll uncovers the picture where it stands.
struct TSpan {
  int Offset; // from the window's edge
  int Source; // first picture pixel
};
TSpan Span(int Full, int Shown, bool Positive, bool Negative, bool Slide, bool Center) {
  if (Center) {
    const int offset = (Full - Shown) / 2;
    return {offset, offset};
  }
  if (Positive) return {0, Slide ? Full - Shown : 0};            // grows from the near edge
  if (Negative) return {Full - Shown, Slide ? 0 : Full - Shown}; // grows from the far edge
  return {0, 0};
}

} // namespace

BOOL AnimateWindow(HWND Wnd, DWORD Time, DWORD Flags) {
  if (!IsWindow(Wnd)) return 0;
  const bool hide = (Flags & AW_HIDE) != 0;
  const bool visible = (Wnd->Style & WS_VISIBLE) != 0;
  if (hide != visible) return 0; // already as asked
  const bool hor = (Flags & (AW_HOR_POSITIVE | AW_HOR_NEGATIVE)) != 0;
  const bool ver = (Flags & (AW_VER_POSITIVE | AW_VER_NEGATIVE)) != 0;
  const bool center = (Flags & AW_CENTER) != 0;
  const TRect full = Wnd->Rect;
  const bool animate = Time > 0 && !(Flags & AW_BLEND) && (hor || ver || center) && !full.IsEmpty();
  const int cmd = hide ? SW_HIDE : (Flags & AW_ACTIVATE) ? SW_SHOW : SW_SHOWNA;
  if (!animate) {
    ShowWindow(Wnd, cmd);
    return 1;
  }

  TSurface picture;
  if (hide) {
    picture.SetSize(full.Width(), full.Height());
    ComposeShown(Wnd, picture, 0, 0);
    ShowWindow(Wnd, SW_HIDE);
    if (!IsWindow(Wnd)) return 0;
  } else {
    picture = PictureToShow(Wnd);
    if (!IsWindow(Wnd)) return 0;
  }
  TDeviceContext pictureDC(&picture);

  // A hiding slide runs a showing one backwards, with the direction turned round.
  auto towards = [&](DWORD positive, DWORD negative) { return (Flags & (hide ? negative : positive)) != 0; };
  const bool slide = (Flags & AW_SLIDE) != 0;
  const TPoint origin = full.TopLeft(); // the parent's client coordinates for a child window
  HWND stand = CreateWindowHandle(nullptr, Wnd->Parent, Wnd->Parent ? WS_CHILD : WS_POPUP,
                                  Wnd->Parent ? 0 : WS_EX_TOOLWINDOW, Bounds(origin.X, origin.Y, 0, 0), "");
  FinishCreate(stand);

  Time = std::min(Time, LongestAnimation);
  using clock = std::chrono::steady_clock;
  const auto start = clock::now();
  bool shownOnce = false;
  for (;;) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - start).count();
    const double done = std::min(1.0, static_cast<double>(elapsed) / Time);
    const double part = hide ? 1.0 - done : done;
    const int w = hor || center ? static_cast<int>(full.Width() * part + 0.5) : full.Width();
    const int h = ver || center ? static_cast<int>(full.Height() * part + 0.5) : full.Height();
    const TSpan sx = Span(full.Width(), w, towards(AW_HOR_POSITIVE, AW_HOR_NEGATIVE),
                          towards(AW_HOR_NEGATIVE, AW_HOR_POSITIVE), slide, center);
    const TSpan sy = Span(full.Height(), h, towards(AW_VER_POSITIVE, AW_VER_NEGATIVE),
                          towards(AW_VER_NEGATIVE, AW_VER_POSITIVE), slide, center);
    if (w > 0 && h > 0) {
      SetWindowPos(stand, HWND_TOPMOST, origin.X + sx.Offset, origin.Y + sy.Offset, w, h,
                   SWP_NOACTIVATE | SWP_NOREDRAW | (shownOnce ? 0 : SWP_SHOWWINDOW));
      if (!shownOnce) UpdateWindow(stand); // the system's first painting, before the picture goes on
      shownOnce = true;
      HDC dc = GetWindowDC(stand);
      BitBlt(dc, 0, 0, w, h, &pictureDC, sx.Source, sy.Source, SRCCOPY);
      ReleaseDC(stand, dc);
      UpdateWindow(stand);
      backend::ProcessEvents(0);
      if (OnAnimateWindowFrame) OnAnimateWindowFrame(Wnd, stand);
    } else if (shownOnce) {
      ShowWindow(stand, SW_HIDE);
    }
    if (done >= 1.0 || !IsWindow(Wnd)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(FrameMs));
  }

  if (!hide && IsWindow(Wnd)) {
    ShowWindow(Wnd, cmd);
    UpdateWindow(Wnd); // painted before the stand-in goes, so that nothing flickers between them
  }
  DestroyWindow(stand);
  return IsWindow(Wnd) ? 1 : 0;
}
