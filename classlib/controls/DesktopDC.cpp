#include "classlib/controls/DesktopDC.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "classlib/backend/Backend.h"
#include "classlib/graphics/DeviceContext.h"

namespace {

TRect DesktopRect() {
  TRect r;
  for (const auto& s : backend::Screens())
    r = r.IsEmpty() ? s.Bounds
                    : TRect{std::min(r.Left, s.Bounds.Left), std::min(r.Top, s.Bounds.Top),
                            std::max(r.Right, s.Bounds.Right), std::max(r.Bottom, s.Bounds.Bottom)};
  return r;
}

bool Shown(HWND w) {
  return (w->Style & WS_VISIBLE) && w->ShowState != SIZE_MINIMIZED && !w->Rect.IsEmpty();
}

// Top-level windows bottom to top: the topmost ones above the others.
std::vector<HWND> ZOrder() {
  std::vector<HWND> all = TopLevelWindows(), out;
  for (int pass = 0; pass < 2; ++pass)
    for (HWND w : all)
      if (Shown(w) && ((w->ExStyle & WS_EX_TOPMOST) != 0) == (pass == 1)) out.push_back(w);
  return out;
}

// Copies window W (its surface, then its visible children) onto Out, whose (0, 0) is screen point Origin,
// inside Clip (screen coordinates).
void Compose(TSurface& Out, TPoint Origin, HWND W, TRect Clip) {
  const TPoint o = W->ScreenOrigin();
  const TRect wr{o.X, o.Y, o.X + std::min(W->Rect.Width(), W->Surface.LogicalWidth()),
                 o.Y + std::min(W->Rect.Height(), W->Surface.LogicalHeight())};
  Clip = {std::max(Clip.Left, wr.Left), std::max(Clip.Top, wr.Top), std::min(Clip.Right, wr.Right),
          std::min(Clip.Bottom, wr.Bottom)};
  if (Clip.IsEmpty()) return;
  // Within the snapshot; rows of a window without a shape are copied whole.
  Clip = {std::max(Clip.Left, Origin.X), std::max(Clip.Top, Origin.Y),
          std::min(Clip.Right, Origin.X + Out.Width()), std::min(Clip.Bottom, Origin.Y + Out.Height())};
  if (Clip.IsEmpty()) return;
  for (int y = Clip.Top; y < Clip.Bottom; ++y) {
    uint32_t* dst = Out.Row(y - Origin.Y) + (Clip.Left - Origin.X);
    if (W->Surface.Scaled()) {
      // The screen is seen in logical pixels: each shows the first of its device pixels.
      for (int x = Clip.Left; x < Clip.Right; ++x)
        if (!W->Shape || W->Shape->Contains(x - o.X, y - o.Y))
          dst[x - Clip.Left] = W->Surface.LogicalPixel(x - o.X, y - o.Y);
      continue;
    }
    const uint32_t* src = W->Surface.Row(y - o.Y) + (Clip.Left - o.X);
    if (!W->Shape) {
      std::copy(src, src + Clip.Width(), dst);
      continue;
    }
    for (int x = Clip.Left; x < Clip.Right; ++x)
      if (W->Shape->Contains(x - o.X, y - o.Y)) dst[x - Clip.Left] = src[x - Clip.Left];
  }
  const TRect client{o.X + W->Client.Left, o.Y + W->Client.Top, o.X + W->Client.Right,
                     o.Y + W->Client.Bottom};
  const TRect inner{std::max(Clip.Left, client.Left), std::max(Clip.Top, client.Top),
                    std::min(Clip.Right, client.Right), std::min(Clip.Bottom, client.Bottom)};
  for (HWND c : W->Children)
    if (c->Style & WS_VISIBLE) Compose(Out, Origin, c, inner);
}

// The deepest window that shows screen point P, searching from W down; null when W does not show it.
HWND ShowingAt(HWND W, TPoint P) {
  const TPoint o = W->ScreenOrigin();
  const TPoint local{P.X - o.X, P.Y - o.Y};
  if (!W->WindowRectInWindow().Contains(local)) return nullptr;
  if (W->Shape && !W->Shape->Contains(local.X, local.Y)) return nullptr;
  if (W->Client.Contains(local))
    for (auto it = W->Children.rbegin(); it != W->Children.rend(); ++it)
      if (((*it)->Style & WS_VISIBLE))
        if (HWND c = ShowingAt(*it, P)) return c;
  return W;
}

struct TDesktopDC {
  TRect Area; // screen rectangle of the snapshot
  TSurface Pixels;
  TSurface Before;
  std::unique_ptr<TDeviceContext> DC;
};

std::vector<std::unique_ptr<TDesktopDC>>& Open() {
  static std::vector<std::unique_ptr<TDesktopDC>> open;
  return open;
}

} // namespace

namespace {
HWND g_Desktop = nullptr;
}

HWND DesktopWindow() {
  backend::Initialize();
  if (!IsWindow(g_Desktop)) g_Desktop = CreateWindowHandle(nullptr, nullptr, WS_POPUP, 0, DesktopRect(), "");
  return g_Desktop;
}

bool IsDesktopWindow(HWND Wnd) {
  return Wnd && Wnd == g_Desktop && IsWindow(Wnd);
}

TSurface ComposeScreen(const TRect& ScreenRect) {
  TSurface out(std::max(0, ScreenRect.Width()), std::max(0, ScreenRect.Height()), 0);
  for (HWND w : ZOrder()) Compose(out, ScreenRect.TopLeft(), w, ScreenRect);
  return out;
}

HDC GetDesktopDC() {
  auto d = std::make_unique<TDesktopDC>();
  // Only where windows show can a drawing land anywhere: the snapshot covers their union.
  TRect area;
  for (HWND w : ZOrder()) {
    const TRect r = w->Rect;
    area = area.IsEmpty() ? r
                          : TRect{std::min(area.Left, r.Left), std::min(area.Top, r.Top),
                                  std::max(area.Right, r.Right), std::max(area.Bottom, r.Bottom)};
  }
  d->Area = area;
  d->Pixels = ComposeScreen(area);
  d->Before = d->Pixels;
  // Logical coordinates are screen coordinates.
  d->DC = std::make_unique<TDeviceContext>(&d->Pixels, TPoint{-area.Left, -area.Top});
  HDC dc = d->DC.get();
  Open().push_back(std::move(d));
  return dc;
}

bool IsDesktopDC(HDC DC) {
  return DC && std::any_of(Open().begin(), Open().end(), [DC](const auto& d) { return d->DC.get() == DC; });
}

bool ReleaseDesktopDC(HDC DC) {
  auto& open = Open();
  const auto it = std::find_if(open.begin(), open.end(), [DC](const auto& d) { return d->DC.get() == DC; });
  if (it == open.end()) return false;
  const std::unique_ptr<TDesktopDC> d = std::move(*it);
  open.erase(it);
  const std::vector<HWND> order = ZOrder();
  for (int y = 0; y < d->Pixels.Height(); ++y) {
    const uint32_t* now = d->Pixels.Row(y);
    const uint32_t* was = d->Before.Row(y);
    if (std::equal(now, now + d->Pixels.Width(), was)) continue;
    for (int x = 0; x < d->Pixels.Width(); ++x) {
      if (now[x] == was[x]) continue;
      const TPoint p{d->Area.Left + x, d->Area.Top + y};
      for (auto w = order.rbegin(); w != order.rend(); ++w) {
        HWND target = ShowingAt(*w, p);
        if (!target) continue;
        const TPoint o = target->ScreenOrigin();
        target->Surface.SetLogicalPixel(p.X - o.X, p.Y - o.Y, now[x]);
        const TRect dirty{p.X - o.X, p.Y - o.Y, p.X - o.X + 1, p.Y - o.Y + 1};
        TRect& pr = target->PresentRect;
        pr = pr.IsEmpty() ? dirty
                          : TRect{std::min(pr.Left, dirty.Left), std::min(pr.Top, dirty.Top),
                                  std::max(pr.Right, dirty.Right), std::max(pr.Bottom, dirty.Bottom)};
        break;
      }
    }
  }
  return true;
}
