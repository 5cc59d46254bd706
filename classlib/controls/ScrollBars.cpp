#include "classlib/controls/ScrollBars.h"

#include <algorithm>
#include <memory>

#include "classlib/controls/WindowHandle.h"
#include "classlib/graphics/Gdi.h"

// One bar's values; the bar shows while the window has its style bit.
struct TScrollBarValues {
  int Min = 0;
  int Max = 100;
  int Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  UINT Disabled = ESB_ENABLE_BOTH;
};

struct TWindowScrollBars {
  TScrollBarValues Bar[2]; // SB_HORZ, SB_VERT
};

namespace {

// The parts of a bar, in the order of SCROLLBARINFO's states.
enum TPart { ptNone = 0, ptFirstArrow = 1, ptPageBefore = 2, ptThumb = 3, ptPageAfter = 4, ptLastArrow = 5 };

struct TTracking {
  HWND Wnd = nullptr;
  int Bar = SB_VERT;
  TPart Part = ptNone;
  int GrabOffset = 0; // where on the thumb it was taken, in pixels from its start
  bool Over = false;  // the cursor is over the part pressed (arrows and pages repeat only then)
  UINT Timer = 0;
};

TTracking Track;
constexpr UINT RepeatTimerId = 0x5C0B;
constexpr UINT FirstRepeat = 400, NextRepeat = 50;

bool Usable(HWND Wnd, int Bar) {
  return IsWindow(Wnd) && (Bar == SB_HORZ || Bar == SB_VERT);
}

DWORD StyleBit(int Bar) {
  return Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

TScrollBarValues& Values(HWND Wnd, int Bar) {
  if (!Wnd->ScrollBars) Wnd->ScrollBars = std::make_shared<TWindowScrollBars>();
  return Wnd->ScrollBars->Bar[Bar];
}

// Nothing to scroll: the page holds the whole range, or the range is a single position.
bool NothingToScroll(const TScrollBarValues& v) {
  return v.Page > 0 ? v.Max - v.Min + 1 <= v.Page : v.Max <= v.Min;
}

int MaxPos(const TScrollBarValues& v) {
  return std::max(v.Min, v.Max - std::max(v.Page - 1, 0));
}

void Redraw(HWND Wnd) {
  RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME);
}

void SetStyleBit(HWND Wnd, int Bar, bool Show) {
  const bool has = (Wnd->Style & StyleBit(Bar)) != 0;
  if (has == Show) return;
  if (Show)
    Wnd->Style |= StyleBit(Bar);
  else
    Wnd->Style &= ~StyleBit(Bar);
  // The client area changes: the window is measured again and told its new size.
  SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The bar's rectangle in window coordinates: inside the system frame, outside anything a control adds
// within it.
TRect BarRect(HWND Wnd, int Bar) {
  const TRect insets = SystemFrameInsets(Wnd->Style, Wnd->ExStyle);
  const TRect wr = Wnd->WindowRectInWindow();
  const TRect inner{wr.Left + insets.Left, wr.Top + insets.Top, wr.Right - insets.Right,
                    wr.Bottom - insets.Bottom};
  const bool v = Wnd->Style & WS_VSCROLL, h = Wnd->Style & WS_HSCROLL;
  if (Bar == SB_VERT) {
    if (!v) return {};
    return {std::max(inner.Left, inner.Right - ScrollBarSize), inner.Top, inner.Right,
            std::max(inner.Top, inner.Bottom - (h ? ScrollBarSize : 0))};
  }
  if (!h) return {};
  return {inner.Left, std::max(inner.Top, inner.Bottom - ScrollBarSize),
          std::max(inner.Left, inner.Right - (v ? ScrollBarSize : 0)), inner.Bottom};
}

struct TGeometry {
  int Length = 0; // along the bar
  int Arrow = 0;
  int ThumbStart = 0, ThumbEnd = 0; // from the bar's start; equal when there is no thumb
};

bool Disabled(const TScrollBarValues& v) {
  return (v.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH;
}

TGeometry Geometry(HWND Wnd, int Bar) {
  TGeometry g;
  const TRect r = BarRect(Wnd, Bar);
  g.Length = Bar == SB_VERT ? r.Height() : r.Width();
  g.Arrow = std::min(ScrollBarSize, g.Length / 2);
  const TScrollBarValues& v = Values(Wnd, Bar);
  const int track = g.Length - 2 * g.Arrow;
  if (Disabled(v) || NothingToScroll(v) || track < MinThumbSize) {
    g.ThumbStart = g.ThumbEnd = g.Arrow;
    return g;
  }
  const int64_t range = static_cast<int64_t>(v.Max) - v.Min + 1;
  int thumb = v.Page > 0 ? static_cast<int>(track * static_cast<int64_t>(v.Page) / range) : ScrollBarSize;
  thumb = std::clamp(thumb, MinThumbSize, track);
  const int64_t span = static_cast<int64_t>(MaxPos(v)) - v.Min;
  const int shown = Track.Wnd == Wnd && Track.Bar == Bar && Track.Part == ptThumb ? v.TrackPos : v.Pos;
  const int offset =
      span > 0 ? static_cast<int>((track - thumb) * (static_cast<int64_t>(shown) - v.Min) / span) : 0;
  g.ThumbStart = g.Arrow + std::clamp(offset, 0, track - thumb);
  g.ThumbEnd = g.ThumbStart + thumb;
  return g;
}

TPart PartAt(HWND Wnd, int Bar, TPoint WindowPoint) {
  const TRect r = BarRect(Wnd, Bar);
  if (!r.Contains(WindowPoint)) return ptNone;
  const TGeometry g = Geometry(Wnd, Bar);
  const int at = Bar == SB_VERT ? WindowPoint.Y - r.Top : WindowPoint.X - r.Left;
  if (at < g.Arrow) return ptFirstArrow;
  if (at >= g.Length - g.Arrow) return ptLastArrow;
  if (g.ThumbEnd == g.ThumbStart) return ptNone;
  if (at < g.ThumbStart) return ptPageBefore;
  if (at >= g.ThumbEnd) return ptPageAfter;
  return ptThumb;
}

void SendScroll(HWND Wnd, int Bar, int Code, int Pos = 0) {
  SendMessage(Wnd, Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL,
              MAKEWPARAM(Code, static_cast<int>(static_cast<unsigned>(Pos) & 0xFFFF)), 0);
}

void ScrollForPart(HWND Wnd, int Bar, TPart Part) {
  switch (Part) {
  case ptFirstArrow:
    SendScroll(Wnd, Bar, SB_LINEUP);
    break;
  case ptLastArrow:
    SendScroll(Wnd, Bar, SB_LINEDOWN);
    break;
  case ptPageBefore:
    SendScroll(Wnd, Bar, SB_PAGEUP);
    break;
  case ptPageAfter:
    SendScroll(Wnd, Bar, SB_PAGEDOWN);
    break;
  default:
    break;
  }
}

TPoint WindowPointFromClient(HWND Wnd, LPARAM LParam) {
  return {GET_X_LPARAM(LParam) + Wnd->Client.Left, GET_Y_LPARAM(LParam) + Wnd->Client.Top};
}

void StopTracking() {
  if (Track.Timer) KillTimer(nullptr, Track.Timer);
  const HWND w = Track.Wnd;
  Track = {};
  if (IsWindow(w)) {
    if (GetCapture() == w) ReleaseCapture();
    Redraw(w);
  }
}

void Repeat() {
  if (!IsWindow(Track.Wnd)) return StopTracking();
  if (Track.Timer) KillTimer(nullptr, Track.Timer);
  Track.Timer = SetTimer(nullptr, RepeatTimerId, NextRepeat, [] { Repeat(); });
  if (!Track.Over) return;
  // Pages stop once the thumb has reached the cursor.
  if (Track.Part == ptPageBefore || Track.Part == ptPageAfter) {
    TPoint p;
    GetCursorPos(&p);
    const TPoint o = Track.Wnd->ScreenOrigin();
    if (PartAt(Track.Wnd, Track.Bar, {p.X - o.X, p.Y - o.Y}) != Track.Part) return;
  }
  ScrollForPart(Track.Wnd, Track.Bar, Track.Part);
}

void PaintArrow(HDC DC, const TRect& R, int Bar, bool First, bool Enabled, bool Pressed) {
  RECT box = R;
  FillRect(DC, &box, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(DC, &box, Pressed ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT);
  const int cx = (R.Left + R.Right) / 2 + (Pressed ? 1 : 0), cy = (R.Top + R.Bottom) / 2 + (Pressed ? 1 : 0);
  POINT pts[3];
  if (Bar == SB_VERT) {
    const int tip = First ? cy - 2 : cy + 2, base = First ? cy + 1 : cy - 1;
    pts[0] = {cx, tip};
    pts[1] = {cx - 3, base};
    pts[2] = {cx + 3, base};
  } else {
    const int tip = First ? cx - 2 : cx + 2, base = First ? cx + 1 : cx - 1;
    pts[0] = {tip, cy};
    pts[1] = {base, cy - 3};
    pts[2] = {base, cy + 3};
  }
  const TColor c = GetSysColor(Enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  HBRUSH brush = CreateSolidBrush(c);
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HGDIOBJ oldBrush = SelectObject(DC, brush);
  HGDIOBJ oldPen = SelectObject(DC, pen);
  Polygon(DC, pts, 3);
  SelectObject(DC, oldBrush);
  SelectObject(DC, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void PaintBar(HWND Wnd, HDC DC, int Bar) {
  const TRect r = BarRect(Wnd, Bar);
  if (r.IsEmpty()) return;
  const TScrollBarValues& v = Values(Wnd, Bar);
  const TGeometry g = Geometry(Wnd, Bar);
  const bool enabled = !Disabled(v) && !NothingToScroll(v);
  auto along = [&](int from, int to) {
    return Bar == SB_VERT ? TRect{r.Left, r.Top + from, r.Right, r.Top + to}
                          : TRect{r.Left + from, r.Top, r.Left + to, r.Bottom};
  };
  RECT track = along(g.Arrow, g.Length - g.Arrow);
  FillRect(DC, &track, GetSysColorBrush(COLOR_SCROLLBAR));
  const bool tracking = Track.Wnd == Wnd && Track.Bar == Bar && Track.Over;
  if (tracking && (Track.Part == ptPageBefore || Track.Part == ptPageAfter)) {
    RECT page =
        Track.Part == ptPageBefore ? along(g.Arrow, g.ThumbStart) : along(g.ThumbEnd, g.Length - g.Arrow);
    FillRect(DC, &page, GetSysColorBrush(COLOR_3DDKSHADOW));
  }
  PaintArrow(DC, along(0, g.Arrow), Bar, true, enabled, tracking && Track.Part == ptFirstArrow);
  PaintArrow(DC, along(g.Length - g.Arrow, g.Length), Bar, false, enabled,
             tracking && Track.Part == ptLastArrow);
  if (g.ThumbEnd > g.ThumbStart) {
    RECT thumb = along(g.ThumbStart, g.ThumbEnd);
    FillRect(DC, &thumb, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(DC, &thumb, EDGE_RAISED, BF_RECT);
  }
}

} // namespace

int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw) {
  if (!Usable(Wnd, Bar) || !Info) return 0;
  TScrollBarValues& v = Values(Wnd, Bar);
  if (Info->fMask & SIF_RANGE) {
    v.Min = Info->nMin;
    v.Max = std::max(Info->nMin, Info->nMax);
  }
  if (Info->fMask & SIF_PAGE) v.Page = static_cast<int>(std::min<UINT>(Info->nPage, 0x7FFFFFFF));
  v.Page = static_cast<int>(std::clamp<int64_t>(v.Page, 0, static_cast<int64_t>(v.Max) - v.Min + 1));
  if (Info->fMask & SIF_POS) v.Pos = Info->nPos;
  v.Pos = std::clamp(v.Pos, v.Min, MaxPos(v));
  if (Info->fMask & SIF_TRACKPOS)
    v.TrackPos = std::clamp(Info->nTrackPos, v.Min, MaxPos(v));
  else if (!(Track.Wnd == Wnd && Track.Bar == Bar && Track.Part == ptThumb))
    v.TrackPos = v.Pos;
  if (Info->fMask & (SIF_RANGE | SIF_PAGE)) {
    const bool nothing = NothingToScroll(v);
    if (Info->fMask & SIF_DISABLENOSCROLL) {
      v.Disabled = nothing ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH;
      SetStyleBit(Wnd, Bar, true);
    } else {
      v.Disabled = ESB_ENABLE_BOTH;
      SetStyleBit(Wnd, Bar, !nothing);
    }
  }
  if (Redraw) ::Redraw(Wnd);
  return v.Pos;
}

BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info) {
  if (!Usable(Wnd, Bar) || !Info) return 0;
  const TScrollBarValues& v = Values(Wnd, Bar);
  if (Info->fMask & SIF_RANGE) {
    Info->nMin = v.Min;
    Info->nMax = v.Max;
  }
  if (Info->fMask & SIF_PAGE) Info->nPage = static_cast<UINT>(v.Page);
  if (Info->fMask & SIF_POS) Info->nPos = v.Pos;
  if (Info->fMask & SIF_TRACKPOS) Info->nTrackPos = v.TrackPos;
  return 1;
}

int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw) {
  if (!Usable(Wnd, Bar)) return 0;
  const int old = Values(Wnd, Bar).Pos;
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = Pos;
  SetScrollInfo(Wnd, Bar, &si, Redraw);
  return old;
}

int GetScrollPos(HWND Wnd, int Bar) {
  return Usable(Wnd, Bar) ? Values(Wnd, Bar).Pos : 0;
}

BOOL SetScrollRange(HWND Wnd, int Bar, int MinPos, int MaxPos, BOOL Redraw) {
  if (!Usable(Wnd, Bar)) return 0;
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = MinPos;
  si.nMax = MaxPos;
  SetScrollInfo(Wnd, Bar, &si, Redraw);
  return 1;
}

BOOL GetScrollRange(HWND Wnd, int Bar, int* MinPos, int* MaxPos) {
  if (!Usable(Wnd, Bar) || !MinPos || !MaxPos) return 0;
  *MinPos = Values(Wnd, Bar).Min;
  *MaxPos = Values(Wnd, Bar).Max;
  return 1;
}

BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show) {
  if (!IsWindow(Wnd)) return 0;
  if (Bar == SB_BOTH) {
    ShowScrollBar(Wnd, SB_HORZ, Show);
    return ShowScrollBar(Wnd, SB_VERT, Show);
  }
  if (!Usable(Wnd, Bar)) return 0;
  SetStyleBit(Wnd, Bar, Show != 0);
  return 1;
}

BOOL EnableScrollBar(HWND Wnd, int Bar, UINT Arrows) {
  if (!IsWindow(Wnd)) return 0;
  if (Bar == SB_BOTH) {
    EnableScrollBar(Wnd, SB_HORZ, Arrows);
    return EnableScrollBar(Wnd, SB_VERT, Arrows);
  }
  if (!Usable(Wnd, Bar)) return 0;
  Values(Wnd, Bar).Disabled = Arrows & ESB_DISABLE_BOTH;
  Redraw(Wnd);
  return 1;
}

BOOL GetScrollBarInfo(HWND Wnd, LONG idObject, SCROLLBARINFO* Info) {
  if (!IsWindow(Wnd) || !Info || (idObject != OBJID_HSCROLL && idObject != OBJID_VSCROLL)) return 0;
  if (Info->cbSize < sizeof(SCROLLBARINFO)) return 0;
  const int bar = idObject == OBJID_VSCROLL ? SB_VERT : SB_HORZ;
  TRect r = BarRect(Wnd, bar);
  const TPoint o = Wnd->ScreenOrigin();
  r.Offset(o.X, o.Y);
  Info->rcScrollBar = r;
  std::fill(std::begin(Info->rgstate), std::end(Info->rgstate), 0);
  Info->dxyLineButton = Info->xyThumbTop = Info->xyThumbBottom = 0;
  if (!(Wnd->Style & StyleBit(bar))) {
    Info->rgstate[0] = STATE_SYSTEM_INVISIBLE;
    return 1;
  }
  const TScrollBarValues& v = Values(Wnd, bar);
  const TGeometry g = Geometry(Wnd, bar);
  Info->dxyLineButton = g.Arrow;
  Info->xyThumbTop = g.ThumbStart;
  Info->xyThumbBottom = g.ThumbEnd;
  if (Disabled(v)) {
    Info->rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
    for (int i = 1; i < 6; ++i) Info->rgstate[i] = STATE_SYSTEM_UNAVAILABLE;
  } else if (g.ThumbEnd == g.ThumbStart) {
    Info->rgstate[3] = STATE_SYSTEM_INVISIBLE; // no room or nothing to scroll: no thumb
  }
  if (Track.Wnd == Wnd && Track.Bar == bar && Track.Over) Info->rgstate[Track.Part] |= STATE_SYSTEM_PRESSED;
  return 1;
}

int ScrollMessagePos(HWND Wnd, int Bar, const TMessage& Message) {
  const int pos16 = Message.WParamHi();
  if (!Usable(Wnd, Bar)) return pos16;
  const int track = Values(Wnd, Bar).TrackPos;
  return (track & 0xFFFF) == pos16 ? track : pos16;
}

TScrollMove ReadScrollCode(int Code, int Pos, const TScrollSteps& Steps) {
  switch (Code) {
  case SB_LINEUP:
    return {TScrollMove::Step, -Steps.LineBack};
  case SB_LINEDOWN:
    return {TScrollMove::Step, Steps.LineForward};
  case SB_PAGEUP:
    return {TScrollMove::Step, -Steps.Page};
  case SB_PAGEDOWN:
    return {TScrollMove::Step, Steps.Page};
  case SB_THUMBTRACK:
    if (!Steps.ThumbTracks) return {};
    [[fallthrough]];
  case SB_THUMBPOSITION:
    return {TScrollMove::Jump, Steps.ThumbOrigin + Pos};
  case SB_TOP:
    return {TScrollMove::Jump, Steps.Top};
  case SB_BOTTOM:
    return {TScrollMove::Jump, Steps.Bottom};
  default:
    return {};
  }
}

std::optional<int> ScrollTarget(int Code, int Pos, int Now, const TScrollSteps& Steps) {
  const TScrollMove move = ReadScrollCode(Code, Pos, Steps);
  switch (move.Kind) {
  case TScrollMove::Step:
    return Now + move.Value;
  case TScrollMove::Jump:
    return move.Value;
  case TScrollMove::None:
    break;
  }
  return std::nullopt;
}

void ScrollBarsNCCalcSize(HWND Wnd, TRect& Client) {
  if (Wnd->Style & WS_VSCROLL) Client.Right = std::max(Client.Left, Client.Right - ScrollBarSize);
  if (Wnd->Style & WS_HSCROLL) Client.Bottom = std::max(Client.Top, Client.Bottom - ScrollBarSize);
}

bool ScrollBarsHitTest(HWND Wnd, TPoint WindowPoint, LRESULT& Hit) {
  if (BarRect(Wnd, SB_VERT).Contains(WindowPoint)) {
    Hit = HTVSCROLL;
    return true;
  }
  if (BarRect(Wnd, SB_HORZ).Contains(WindowPoint)) {
    Hit = HTHSCROLL;
    return true;
  }
  return false;
}

void ScrollBarsNCPaint(HWND Wnd) {
  if (!(Wnd->Style & (WS_VSCROLL | WS_HSCROLL))) return;
  HDC dc = GetWindowDC(Wnd);
  PaintBar(Wnd, dc, SB_VERT);
  PaintBar(Wnd, dc, SB_HORZ);
  if ((Wnd->Style & WS_VSCROLL) && (Wnd->Style & WS_HSCROLL)) {
    const TRect v = BarRect(Wnd, SB_VERT), h = BarRect(Wnd, SB_HORZ);
    RECT corner{v.Left, h.Top, v.Right, h.Bottom};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
  ReleaseDC(Wnd, dc);
}

bool ScrollBarsMouse(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCLBUTTONDOWN || Msg == WM_NCLBUTTONDBLCLK) {
    const int hit = static_cast<int>(WParam);
    if (hit != HTVSCROLL && hit != HTHSCROLL) return false;
    const int bar = hit == HTVSCROLL ? SB_VERT : SB_HORZ;
    const TPoint o = Wnd->ScreenOrigin();
    const TPoint p{GET_X_LPARAM(LParam) - o.X, GET_Y_LPARAM(LParam) - o.Y};
    const TPart part = PartAt(Wnd, bar, p);
    if (part == ptNone || Disabled(Values(Wnd, bar)) || NothingToScroll(Values(Wnd, bar))) return true;
    StopTracking();
    Track.Wnd = Wnd;
    Track.Bar = bar;
    Track.Part = part;
    Track.Over = true;
    SetCapture(Wnd);
    if (part == ptThumb) {
      const TRect r = BarRect(Wnd, bar);
      const TGeometry g = Geometry(Wnd, bar);
      Track.GrabOffset = (bar == SB_VERT ? p.Y - r.Top : p.X - r.Left) - g.ThumbStart;
      Values(Wnd, bar).TrackPos = Values(Wnd, bar).Pos;
    } else {
      ScrollForPart(Wnd, bar, part);
      if (Track.Wnd == Wnd) Track.Timer = SetTimer(nullptr, RepeatTimerId, FirstRepeat, [] { Repeat(); });
    }
    Redraw(Wnd);
    return true;
  }
  if (Track.Wnd != Wnd) return false;
  if (Msg == WM_MOUSEMOVE) {
    const TPoint p = WindowPointFromClient(Wnd, LParam);
    if (Track.Part != ptThumb) {
      const bool over = PartAt(Wnd, Track.Bar, p) == Track.Part;
      if (over != Track.Over) {
        Track.Over = over;
        Redraw(Wnd);
      }
      return true;
    }
    TScrollBarValues& v = Values(Wnd, Track.Bar);
    const TRect r = BarRect(Wnd, Track.Bar);
    const TGeometry g = Geometry(Wnd, Track.Bar);
    const int thumb = g.ThumbEnd - g.ThumbStart;
    const int room = g.Length - 2 * g.Arrow - thumb;
    const int at = (Track.Bar == SB_VERT ? p.Y - r.Top : p.X - r.Left) - Track.GrabOffset - g.Arrow;
    const int64_t span = static_cast<int64_t>(MaxPos(v)) - v.Min;
    const int pos = room > 0 ? v.Min + static_cast<int>(span * std::clamp(at, 0, room) / room) : v.Min;
    if (pos != v.TrackPos) {
      v.TrackPos = pos;
      SendScroll(Wnd, Track.Bar, SB_THUMBTRACK, pos);
      if (Track.Wnd == Wnd) Redraw(Wnd);
    }
    return true;
  }
  if (Msg == WM_LBUTTONUP || Msg == WM_CAPTURECHANGED || Msg == WM_CANCELMODE) {
    const int bar = Track.Bar;
    const bool thumb = Track.Part == ptThumb;
    const int pos = Values(Wnd, bar).TrackPos;
    StopTracking();
    if (Msg == WM_LBUTTONUP) {
      if (thumb) SendScroll(Wnd, bar, SB_THUMBPOSITION, pos);
      if (IsWindow(Wnd)) SendScroll(Wnd, bar, SB_ENDSCROLL);
    }
    return Msg == WM_LBUTTONUP;
  }
  return Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK;
}
