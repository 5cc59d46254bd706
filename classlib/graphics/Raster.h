#pragma once
// The pixel engine behind the GDI-style functions: mix modes, raster operations, brush and pen pixels, and
// span and pixel writes through a context's clip. Internal to the graphics library.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "classlib/graphics/DeviceContext.h"
#include "classlib/graphics/GdiObject.h"

namespace raster {

constexpr uint32_t RgbMask = 0xFFFFFF;

// A mix mode (R2_*) applied to a pen pixel P and a destination pixel D.
inline uint32_t Rop2(int mode, uint32_t p, uint32_t d) {
  switch (mode) {
  case R2_COPYPEN:
    return p;
  case R2_XORPEN:
    return p ^ d;
  case R2_NOT:
    return ~d & RgbMask;
  case R2_NOP:
    return d;
  case R2_MASKPEN:
    return p & d;
  case R2_MERGEPEN:
    return p | d;
  case R2_BLACK:
    return 0;
  case R2_WHITE:
    return RgbMask;
  default:
    break;
  }
  const unsigned table = static_cast<unsigned>(mode - 1) & 0xF;
  uint32_t r = 0;
  for (unsigned i = 0; i < 4; ++i)
    if (table & (1u << i)) r |= ((i & 2) ? p : ~p) & ((i & 1) ? d : ~d);
  return r & RgbMask;
}

// A ternary raster operation (the truth table byte of a ROP code) on pattern, source and destination.
inline uint32_t Rop3(uint8_t table, uint32_t p, uint32_t s, uint32_t d) {
  switch (table) {
  case 0xCC:
    return s;
  case 0xF0:
    return p;
  case 0x88:
    return s & d;
  case 0xEE:
    return s | d;
  case 0x66:
    return s ^ d;
  case 0xBB:
    return (d | ~s) & RgbMask;
  case 0x33:
    return ~s & RgbMask;
  case 0x55:
    return ~d & RgbMask;
  case 0x5A:
    return p ^ d;
  case 0x00:
    return 0;
  case 0xFF:
    return RgbMask;
  case 0xAA:
    return d;
  case 0xC0:
    return p & s;
  case 0x44:
    return s & ~d & RgbMask;
  case 0x11:
    return ~(s | d) & RgbMask;
  default:
    break;
  }
  uint32_t r = 0;
  for (unsigned i = 0; i < 8; ++i)
    if (table & (1u << i)) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r & RgbMask;
}
constexpr uint8_t RopTable(uint32_t rop) {
  return static_cast<uint8_t>(rop >> 16);
}
constexpr bool RopUsesSource(uint8_t t) {
  return ((t >> 2) ^ t) & 0x33;
}
constexpr bool RopUsesPattern(uint8_t t) {
  return ((t >> 4) ^ t) & 0x0F;
}

// Whether hatch h covers pattern cell (x, y), 0..7 each.
inline bool HatchBit(int hatch, int x, int y) {
  switch (hatch) {
  case HS_HORIZONTAL:
    return y == 7;
  case HS_VERTICAL:
    return x == 7;
  case HS_FDIAGONAL:
    return x == y;
  case HS_BDIAGONAL:
    return x + y == 7;
  case HS_CROSS:
    return x == 7 || y == 7;
  case HS_DIAGCROSS:
    return x == y || x + y == 7;
  default:
    return false;
  }
}

inline int Mod(int a, int m) {
  const int r = a % m;
  return r < 0 ? r + m : r;
}

// What a brush paints at a surface pixel. Null brushes and the gaps of a hatch over a transparent background
// paint nothing.
struct TBrushPaint {
  const TGdiBrush* Brush = nullptr;
  uint32_t Color = 0;
  uint32_t Bk = 0;
  bool BkOpaque = true;
  TPoint Origin; // surface point where the pattern starts

  TBrushPaint() = default;
  TBrushPaint(TDeviceContext& dc, const TGdiBrush* brush) : Brush(brush) {
    if (!brush) return;
    Color = ColorToPixel(brush->Color);
    Bk = ColorToPixel(dc.State().BkColor);
    BkOpaque = dc.State().BkMode == OPAQUE;
    Origin = {dc.Origin().X + dc.State().BrushOrg.X, dc.Origin().Y + dc.State().BrushOrg.Y};
  }
  bool Null() const {
    return !Brush || Brush->Style == BS_NULL || (Brush->Style == BS_PATTERN && Brush->Pattern.Empty());
  }
  bool Solid() const { return Brush && Brush->Style == BS_SOLID; }
  bool At(int x, int y, uint32_t& out) const {
    switch (Brush->Style) {
    case BS_SOLID:
      out = Color;
      return true;
    case BS_HATCHED:
      if (HatchBit(Brush->Hatch, Mod(x - Origin.X, 8), Mod(y - Origin.Y, 8))) {
        out = Color;
        return true;
      }
      out = Bk;
      return BkOpaque;
    case BS_PATTERN: {
      const TSurface& p = Brush->Pattern;
      out = p.Row(Mod(y - Origin.Y, p.Height()))[Mod(x - Origin.X, p.Width())];
      return true;
    }
    default:
      return false;
    }
  }
};

// Calls Put(device pixel) for every device pixel of logical surface pixel (x, y) inside the context's clip.
template <class F> void ForDevicePixels(TDeviceContext& dc, int x, int y, F&& put) {
  TSurface* s = dc.Surface();
  const double scale = dc.Scale();
  const int top = DeviceEdge(y, scale), bottom = DeviceEdge(int64_t{y} + 1, scale);
  const int left = DeviceEdge(x, scale), right = DeviceEdge(int64_t{x} + 1, scale);
  for (const TRect& c : dc.DeviceClipRects()) {
    const int a = std::max(left, c.Left), b = std::min(right, c.Right);
    const int r0 = std::max(top, c.Top), r1 = std::min(bottom, c.Bottom);
    for (int dy = r0; dy < r1; ++dy)
      for (int dx = a; dx < b; ++dx) put(s->Row(dy)[dx]);
  }
}

// FillSpan on a scaled surface: the device rows and columns of the logical span, patterns sampled at the
// logical pixel each device pixel belongs to.
inline void FillSpanScaled(TDeviceContext& dc, TSurface& s, int y, int x0, int x1, const TBrushPaint& paint,
                           int mode) {
  const double scale = dc.Scale();
  const int top = DeviceEdge(y, scale), bottom = DeviceEdge(int64_t{y} + 1, scale);
  const int left = DeviceEdge(x0, scale), right = DeviceEdge(x1, scale);
  for (const TRect& c : dc.DeviceClipRects()) {
    const int a = std::max(left, c.Left), b = std::min(right, c.Right);
    const int r0 = std::max(top, c.Top), r1 = std::min(bottom, c.Bottom);
    if (a >= b) continue;
    for (int dy = r0; dy < r1; ++dy) {
      uint32_t* row = s.Row(dy);
      if (paint.Solid() && mode == R2_COPYPEN) {
        std::fill(row + a, row + b, paint.Color);
        continue;
      }
      for (int dx = a; dx < b; ++dx) {
        uint32_t p;
        if (paint.At(std::clamp(LogicalOf(dx, scale), x0, x1 - 1), y, p)) row[dx] = Rop2(mode, p, row[dx]);
      }
    }
  }
}

// Fills [x0, x1) of surface row y with the brush and mix mode, inside the context's clip and an optional
// extra rectangle.
inline void FillSpan(TDeviceContext& dc, int y, int x0, int x1, const TBrushPaint& paint, int mode,
                     const TRect* extra = nullptr) {
  if (x1 <= x0 || paint.Null()) return;
  TSurface* s = dc.Surface();
  if (!s) return;
  if (extra) {
    if (y < extra->Top || y >= extra->Bottom) return;
    x0 = std::max(x0, extra->Left);
    x1 = std::min(x1, extra->Right);
    if (x1 <= x0) return;
  }
  if (dc.Scaled()) {
    FillSpanScaled(dc, *s, y, x0, x1, paint, mode);
    return;
  }
  for (const TRect& c : dc.ClipRects()) {
    if (y < c.Top || y >= c.Bottom) continue;
    const int a = std::max(x0, c.Left), b = std::min(x1, c.Right);
    if (a >= b) continue;
    uint32_t* row = s->Row(y);
    if (paint.Solid() && mode == R2_COPYPEN) {
      std::fill(row + a, row + b, paint.Color);
      continue;
    }
    for (int x = a; x < b; ++x) {
      uint32_t p;
      if (paint.At(x, y, p)) row[x] = Rop2(mode, p, row[x]);
    }
  }
}

inline bool InClip(TDeviceContext& dc, int x, int y) {
  for (const TRect& c : dc.ClipRects())
    if (y >= c.Top && y < c.Bottom && x >= c.Left && x < c.Right) return true;
  return false;
}

// Draws pen pixels one at a time, following the pen's dash pattern.
class TPenPlotter {
 public:
  TPenPlotter(TDeviceContext& dc) : DC(dc) {
    const TGdiPen* pen = dc.State().Pen.Get();
    Style = pen ? pen->Style : PS_NULL;
    Width = pen ? std::max(1, pen->Width) : 1;
    Color = pen ? ColorToPixel(pen->Color) : 0;
    Bk = ColorToPixel(dc.State().BkColor);
    BkOpaque = dc.State().BkMode == OPAQUE;
    Mode = dc.State().Rop2;
    static const int dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6},
                     dashDotDot[] = {9, 3, 3, 3, 3, 3};
    if (Width == 1) switch (Style) {
      case PS_DASH:
        SetPattern(dash, 2);
        break;
      case PS_DOT:
        SetPattern(dot, 2);
        break;
      case PS_DASHDOT:
        SetPattern(dashDot, 4);
        break;
      case PS_DASHDOTDOT:
        SetPattern(dashDotDot, 6);
        break;
      default:
        break;
      }
  }
  bool Null() const { return Style == PS_NULL; }
  int PenWidth() const { return Width; }

  // (x, y) in surface coordinates.
  void Plot(int x, int y) {
    bool on = true;
    if (PatternLength > 0) {
      int pos = Phase++ % PatternLength;
      int i = 0;
      while (pos >= Pattern[i]) pos -= Pattern[i++];
      on = (i & 1) == 0;
    }
    if (!on && !BkOpaque) return;
    const uint32_t c = on ? Color : Bk;
    if (Width == 1) {
      Put(x, y, c);
      return;
    }
    const int h = (Width - 1) / 2;
    for (int yy = y - h; yy < y - h + Width; ++yy)
      for (int xx = x - h; xx < x - h + Width; ++xx) Put(xx, yy, c);
  }

 private:
  void SetPattern(const int* p, int n) {
    for (int i = 0; i < n; ++i) {
      Pattern[i] = p[i];
      PatternLength += p[i];
    }
  }
  void Put(int x, int y, uint32_t c) {
    if (DC.Scaled()) {
      ForDevicePixels(DC, x, y, [&](uint32_t& d) { d = Rop2(Mode, c, d); });
      return;
    }
    if (!InClip(DC, x, y)) return;
    uint32_t& d = DC.Surface()->Row(y)[x];
    d = Rop2(Mode, c, d);
  }

  TDeviceContext& DC;
  int Style = PS_SOLID, Width = 1, Mode = R2_COPYPEN;
  uint32_t Color = 0, Bk = 0;
  bool BkOpaque = true;
  int Pattern[6] = {};
  int PatternLength = 0;
  int Phase = 0;
};

// The pixels of a line from (x0, y0) towards (x1, y1), the end point left out.
template <class F> void LinePixels(int x0, int y0, int x1, int y1, F&& plot) {
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx - dy;
  while (x0 != x1 || y0 != y1) {
    plot(x0, y0);
    const int e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x0 += sx;
    }
    if (e2 < dx) {
      err += dx;
      y0 += sy;
    }
  }
}

} // namespace raster
