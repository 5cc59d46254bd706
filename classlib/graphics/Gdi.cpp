#include "classlib/graphics/Gdi.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

#include "classlib/backend/FontEngine.h"
#include "classlib/core/ThreadState.h"
#include "classlib/graphics/Raster.h"
#include "classlib/graphics/Shape.h"

using namespace raster;

// ---- Drawing at the ends of int ----
// Controls may be placed and sized anywhere in the int range (a form stream says so), and they draw across
// their whole size. Drawing visits only what lies on the surface, or near it, working out where in 64 bits.

namespace {

// Scratch kept between calls, so that drawing does not allocate once warmed up.
struct TArcScratch {
  std::vector<int> Insets;
};
struct TSampleMaps {
  std::vector<int> Cols, Rows;
};

struct TSurfaceOffset {
  int64_t X, Y;
};

// Where logical (0, 0) lies on the surface.
TSurfaceOffset SurfaceOffset(HDC dc) {
  return {int64_t{dc->Origin().X} + dc->State().ViewportOrg.X,
          int64_t{dc->Origin().Y} + dc->State().ViewportOrg.Y};
}

// The part of the logical rectangle that lies on the surface, in surface coordinates; empty when none does.
TRect OnSurface(HDC dc, const TRect& logical) {
  const TRect on = dc->Bounds();
  const TSurfaceOffset o = SurfaceOffset(dc);
  const int64_t left = std::max<int64_t>(logical.Left + o.X, on.Left);
  const int64_t right = std::min<int64_t>(logical.Right + o.X, on.Right);
  const int64_t top = std::max<int64_t>(logical.Top + o.Y, on.Top);
  const int64_t bottom = std::min<int64_t>(logical.Bottom + o.Y, on.Bottom);
  if (left >= right || top >= bottom) return {};
  return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
}

// Fills the logical rectangle: only the rows and columns that lie on the surface.
void FillBox(HDC dc, const TRect& logical, const TBrushPaint& paint, int mode) {
  const TRect r = OnSurface(dc, logical);
  for (int y = r.Top; y < r.Bottom; ++y) FillSpan(*dc, y, r.Left, r.Right, paint, mode);
}

// Outlines (lines and the edges of rounded shapes) are stepped pixel by pixel, dashes counted along them, so
// they are followed as far as this beyond the surface: any outline within that reach keeps every pixel and
// its dash pattern, and one across the int range takes few steps.
constexpr int64_t OutlineReach = int64_t{1} << 16;

struct TReach {
  int64_t Left, Top, Right, Bottom; // surface coordinates
};

TReach ReachOf(HDC dc) {
  const TRect b = dc->Bounds();
  return {b.Left - OutlineReach, b.Top - OutlineReach, b.Right + OutlineReach, b.Bottom + OutlineReach};
}

// Cuts the segment (surface coordinates) to the reach; false when none of it lies there.
bool ClipToReach(const TReach& r, int64_t& x0, int64_t& y0, int64_t& x1, int64_t& y1) {
  const auto inside = [&](int64_t x, int64_t y) {
    return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom;
  };
  if (inside(x0, y0) && inside(x1, y1)) return true;
  const double dx = static_cast<double>(x1 - x0), dy = static_cast<double>(y1 - y0);
  double t0 = 0, t1 = 1;
  const auto edge = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double u = q / p;
    if (p < 0) {
      if (u > t1) return false;
      t0 = std::max(t0, u);
    } else {
      if (u < t0) return false;
      t1 = std::min(t1, u);
    }
    return true;
  };
  if (!edge(-dx, static_cast<double>(x0 - r.Left)) || !edge(dx, static_cast<double>(r.Right - x0)) ||
      !edge(-dy, static_cast<double>(y0 - r.Top)) || !edge(dy, static_cast<double>(r.Bottom - y0)))
    return false;
  const double ox = static_cast<double>(x0), oy = static_cast<double>(y0);
  x0 = std::clamp<int64_t>(std::llround(ox + t0 * dx), r.Left, r.Right);
  y0 = std::clamp<int64_t>(std::llround(oy + t0 * dy), r.Top, r.Bottom);
  x1 = std::clamp<int64_t>(std::llround(ox + t1 * dx), r.Left, r.Right);
  y1 = std::clamp<int64_t>(std::llround(oy + t1 * dy), r.Top, r.Bottom);
  return true;
}

// A line in surface coordinates, its last point left out.
void PlotLine(HDC dc, TPenPlotter& pen, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  if (!ClipToReach(ReachOf(dc), x0, y0, x1, y1)) return;
  LinePixels(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1),
             [&](int x, int y) { pen.Plot(x, y); });
}

} // namespace

// ---- Objects ----

namespace {

LOGFONT MakeLogFont(const char* face, int height, int weight) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

struct TStockObjects {
  TGdiObject* Objects[18] = {};
  TStockObjects() {
    Objects[WHITE_BRUSH] = new TGdiBrush(BS_SOLID, clWhite);
    Objects[LTGRAY_BRUSH] = new TGdiBrush(BS_SOLID, clSilver);
    Objects[GRAY_BRUSH] = new TGdiBrush(BS_SOLID, clGray);
    Objects[DKGRAY_BRUSH] = new TGdiBrush(BS_SOLID, RGB(64, 64, 64));
    Objects[BLACK_BRUSH] = new TGdiBrush(BS_SOLID, clBlack);
    Objects[NULL_BRUSH] = new TGdiBrush(BS_NULL, clBlack);
    Objects[WHITE_PEN] = new TGdiPen(PS_SOLID, 1, clWhite);
    Objects[BLACK_PEN] = new TGdiPen(PS_SOLID, 1, clBlack);
    Objects[NULL_PEN] = new TGdiPen(PS_NULL, 1, clBlack);
    Objects[OEM_FIXED_FONT] = new TGdiFont(MakeLogFont("Courier New", -13, FW_NORMAL));
    Objects[ANSI_FIXED_FONT] = new TGdiFont(MakeLogFont("Courier New", -13, FW_NORMAL));
    Objects[ANSI_VAR_FONT] = new TGdiFont(MakeLogFont("MS Sans Serif", -11, FW_NORMAL));
    Objects[SYSTEM_FONT] = new TGdiFont(MakeLogFont("System", 16, FW_BOLD));
    Objects[DEVICE_DEFAULT_FONT] = new TGdiFont(MakeLogFont("System", 16, FW_BOLD));
    Objects[SYSTEM_FIXED_FONT] = new TGdiFont(MakeLogFont("Courier New", -13, FW_NORMAL));
    Objects[DEFAULT_GUI_FONT] = new TGdiFont(MakeLogFont("MS Sans Serif", -11, FW_NORMAL));
    for (TGdiObject* o : Objects)
      if (o) o->MarkStock();
  }
};

// Stock objects live as long as the program; they are marked so that nothing ever frees them.
TStockObjects& Stock() {
  static TStockObjects* stock = new TStockObjects();
  return *stock;
}

} // namespace

namespace {
backend::TFontRequest RequestOf(const LOGFONT& Log) {
  backend::TFontRequest r;
  r.Name = std::string(Log.lfFaceName, strnlen(Log.lfFaceName, LF_FACESIZE));
  r.Height = Log.lfHeight;
  r.Weight = Log.lfWeight;
  r.Italic = Log.lfItalic != 0;
  r.Underline = Log.lfUnderline != 0;
  r.StrikeOut = Log.lfStrikeOut != 0;
  r.FixedPitch = (Log.lfPitchAndFamily & 3) == FIXED_PITCH;
  r.Antialias = Log.lfQuality == ANTIALIASED_QUALITY;
  return r;
}
} // namespace

const backend::TFontFace& TGdiFont::Face() const {
  if (!FFace) FFace = &backend::FindFontFace(RequestOf(Log));
  return *FFace;
}

const backend::TFontFace& TGdiFont::FaceAt(double Scale) const {
  if (Scale == 1.0) return Face();
  if (!FScaledFace || FFaceScale != Scale) {
    backend::TFontRequest r = RequestOf(Log);
    // A height of 0 asks for the default size; scaled, it is asked for by the default's pixel height.
    const int height = r.Height != 0 ? r.Height : -Face().Metrics().Height();
    r.Height = static_cast<int>(std::lround(height * Scale));
    FScaledFace = &backend::FindFontFace(r);
    FFaceScale = Scale;
  }
  return *FScaledFace;
}

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index >= 18) return nullptr;
  return Stock().Objects[index];
}

HDC CreateCompatibleDC(HDC) {
  return new TDeviceContext();
}

bool DeleteDC(HDC dc) {
  delete dc;
  return dc != nullptr;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  if (width < 0 || height < 0 || int64_t{width} * height > (int64_t{1} << 28)) return nullptr;
  return new TGdiBitmap(width, height, 0);
}

int GetDeviceCaps(HDC dc, int index) {
  switch (index) {
  case LOGPIXELSX:
  case LOGPIXELSY:
    return ScreenPixelsPerInch;
  case BITSPIXEL:
    return 32;
  case PLANES:
    return 1;
  case NUMCOLORS:
    return -1;
  case HORZRES:
    return dc && dc->Surface() ? dc->Surface()->LogicalWidth() : 0;
  case VERTRES:
    return dc && dc->Surface() ? dc->Surface()->LogicalHeight() : 0;
  default:
    return 0;
  }
}

int SaveDC(HDC dc) {
  return dc ? dc->Save() : 0;
}

bool RestoreDC(HDC dc, int saved) {
  return dc && dc->Restore(saved);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  return dc ? dc->Select(object) : nullptr;
}

bool DeleteObject(HGDIOBJ object) {
  return object && object->DeleteObject();
}

HGDIOBJ GetCurrentObject(HDC dc, TGdiObjectType type) {
  if (!dc) return nullptr;
  switch (type) {
  case TGdiObjectType::Pen:
    return dc->State().Pen.Get();
  case TGdiObjectType::Brush:
    return dc->State().Brush.Get();
  case TGdiObjectType::Font:
    return dc->State().Font.Get();
  case TGdiObjectType::Bitmap:
    return dc->State().Bitmap.Get();
  case TGdiObjectType::Region:
    return nullptr;
  }
  return nullptr;
}

int GetObject(HGDIOBJ object, int size, void* buffer) {
  if (!object || object->Type() != TGdiObjectType::Font || !buffer ||
      size < static_cast<int>(sizeof(LOGFONT)))
    return 0;
  std::memcpy(buffer, &static_cast<HFONT>(object)->Log, sizeof(LOGFONT));
  return sizeof(LOGFONT);
}

HPEN CreatePen(int style, int width, TColor color) {
  return new TGdiPen(style < PS_SOLID || style > PS_INSIDEFRAME ? PS_SOLID : style, std::max(0, width),
                     color);
}

HBRUSH CreateSolidBrush(TColor color) {
  return new TGdiBrush(BS_SOLID, color);
}

HBRUSH CreateHatchBrush(int hatch, TColor color) {
  return new TGdiBrush(BS_HATCHED, color, hatch);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  if (!bitmap || bitmap->Surface.Empty()) return nullptr;
  return new TGdiBrush(bitmap->Surface);
}

HBRUSH GetSysColorBrush(int index) {
  static TGdiBrush* brushes[31] = {};
  if (index < 0 || index >= 31) return nullptr;
  if (!brushes[index]) {
    brushes[index] = new TGdiBrush(BS_SOLID, static_cast<TColor>(GetSysColor(index)));
    brushes[index]->MarkStock();
  }
  return brushes[index];
}

HFONT CreateFontIndirect(const LOGFONT* log) {
  return log ? new TGdiFont(*log) : nullptr;
}

// ---- Attributes ----

TColor SetTextColor(HDC dc, TColor color) {
  if (!dc) return static_cast<TColor>(CLR_INVALID);
  return std::exchange(dc->State().TextColor, color);
}
TColor GetTextColor(HDC dc) {
  return dc ? dc->State().TextColor : static_cast<TColor>(CLR_INVALID);
}
TColor SetBkColor(HDC dc, TColor color) {
  if (!dc) return static_cast<TColor>(CLR_INVALID);
  return std::exchange(dc->State().BkColor, color);
}
TColor GetBkColor(HDC dc) {
  return dc ? dc->State().BkColor : static_cast<TColor>(CLR_INVALID);
}
int SetBkMode(HDC dc, int mode) {
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(dc->State().BkMode, mode);
}
int GetBkMode(HDC dc) {
  return dc ? dc->State().BkMode : 0;
}
int SetROP2(HDC dc, int mode) {
  if (!dc || mode < R2_BLACK || mode > R2_WHITE) return 0;
  return std::exchange(dc->State().Rop2, mode);
}
int GetROP2(HDC dc) {
  return dc ? dc->State().Rop2 : 0;
}
int SetPolyFillMode(HDC dc, int mode) {
  if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
  return std::exchange(dc->State().PolyFillMode, mode);
}
unsigned SetTextAlign(HDC dc, unsigned align) {
  if (!dc) return 0xFFFFFFFF;
  return std::exchange(dc->State().TextAlign, align);
}
unsigned GetTextAlign(HDC dc) {
  return dc ? dc->State().TextAlign : 0xFFFFFFFF;
}
bool SetViewportOrgEx(HDC dc, int x, int y, POINT* old) {
  if (!dc) return false;
  if (old) *old = dc->State().ViewportOrg;
  dc->State().ViewportOrg = {x, y};
  return true;
}
bool GetViewportOrgEx(HDC dc, POINT* origin) {
  if (!dc || !origin) return false;
  *origin = dc->State().ViewportOrg;
  return true;
}
bool OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old) {
  if (!dc) return false;
  TPoint& o = dc->State().ViewportOrg;
  if (old) *old = o;
  o = {o.X + dx, o.Y + dy};
  return true;
}
bool SetBrushOrgEx(HDC dc, int x, int y, POINT* old) {
  if (!dc) return false;
  if (old) *old = dc->State().BrushOrg;
  dc->State().BrushOrg = {x, y};
  return true;
}

// ---- Clipping ----

int SelectClipRgn(HDC dc, HRGN region) {
  return dc ? dc->SelectClip(region, rgnCopy) : ERROR;
}

int ExtSelectClipRgn(HDC dc, HRGN region, int mode) {
  if (!dc || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  return dc->SelectClip(region, mode);
}

namespace {
TRect LogicalToDevice(HDC dc, int l, int t, int r, int b) {
  const TPoint v = dc->LogicalToDeviceOffset();
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  return {l + v.X, t + v.Y, r + v.X, b + v.Y};
}
} // namespace

int IntersectClipRect(HDC dc, int l, int t, int r, int b) {
  if (!dc) return ERROR;
  const TRegion rect(LogicalToDevice(dc, l, t, r, b));
  return dc->SelectClip(&rect, rgnAnd);
}

int ExcludeClipRect(HDC dc, int l, int t, int r, int b) {
  if (!dc) return ERROR;
  const TRegion rect(LogicalToDevice(dc, l, t, r, b));
  return dc->SelectClip(&rect, rgnDiff);
}

int GetClipBox(HDC dc, RECT* rect) {
  if (!dc || !rect) return ERROR;
  const std::vector<TRect>& clip = dc->ClipRects();
  TRect box{};
  for (size_t i = 0; i < clip.size(); ++i) {
    if (i == 0) {
      box = clip[0];
      continue;
    }
    box = {std::min(box.Left, clip[i].Left), std::min(box.Top, clip[i].Top),
           std::max(box.Right, clip[i].Right), std::max(box.Bottom, clip[i].Bottom)};
  }
  box = RelativeTo(box, dc->ToSurface(0, 0));
  *rect = clip.empty() ? TRect{} : box;
  if (clip.empty()) return NULLREGION;
  return clip.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int GetClipRgn(HDC dc, HRGN region) {
  if (!dc || !region) return -1;
  if (!dc->State().ClipRgn) return 0;
  *region = *dc->State().ClipRgn;
  return 1;
}

bool PtVisible(HDC dc, int x, int y) {
  if (!dc) return false;
  const TPoint p = dc->ToSurface(x, y);
  return InClip(*dc, p.X, p.Y);
}

// ---- Regions ----

namespace {
int Complexity(const TRegion& r) {
  if (r.Empty()) return NULLREGION;
  return r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}
TRect Ordered(int l, int t, int r, int b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}
} // namespace

HRGN CreateRectRgn(int l, int t, int r, int b) {
  return new TRegion(Ordered(l, t, r, b));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  return rect ? CreateRectRgn(rect->Left, rect->Top, rect->Right, rect->Bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
  auto* region = new TRegion();
  region->SetRoundRect(Ordered(l, t, r, b), w, h);
  return region;
}

HRGN CreateEllipticRgn(int l, int t, int r, int b) {
  auto* region = new TRegion();
  region->SetEllipse(Ordered(l, t, r, b));
  return region;
}

HRGN CreatePolygonRgn(const POINT* points, int count, int mode) {
  auto* region = new TRegion();
  region->SetPolygon(points, count, mode == WINDING);
  return region;
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
  if (!dest || !a || mode < RGN_AND || mode > RGN_COPY || (mode != RGN_COPY && !b)) return ERROR;
  dest->Combine(*a, mode == RGN_COPY ? *a : *b, static_cast<TRegionOp>(mode));
  return Complexity(*dest);
}

int OffsetRgn(HRGN region, int dx, int dy) {
  if (!region) return ERROR;
  region->Offset(dx, dy);
  return Complexity(*region);
}

bool SetRectRgn(HRGN region, int l, int t, int r, int b) {
  if (!region) return false;
  region->SetRect(Ordered(l, t, r, b));
  return true;
}

bool PtInRegion(HRGN region, int x, int y) {
  return region && region->Contains(x, y);
}

bool RectInRegion(HRGN region, const RECT* rect) {
  return region && rect && region->Intersects(Ordered(rect->Left, rect->Top, rect->Right, rect->Bottom));
}

int GetRgnBox(HRGN region, RECT* rect) {
  if (!region || !rect) return ERROR;
  *rect = region->Bounds();
  return Complexity(*region);
}

bool EqualRgn(HRGN a, HRGN b) {
  return a && b && *a == *b;
}

namespace {
// Region rectangles are in logical coordinates for the painting functions; only the rows and columns on the
// surface are visited.
template <class F> void ForRegionRows(HDC dc, const TRegion& region, F&& span) {
  for (const TRect& logical : region.Rects()) {
    const TRect r = OnSurface(dc, logical);
    for (int y = r.Top; y < r.Bottom; ++y) span(y, r.Left, r.Right);
  }
}

// A region that remembers its shapes, filled with a solid brush on a scaled context: drawn again in device
// pixels, its curves as fine as the screen allows. False where the logical pixels are filled instead: other
// brushes and mix modes keep their look at every scale.
bool FillInDevicePixels(HDC dc, const TRegion& region, const TGdiBrush* brush, int mode) {
  if (!dc->Scaled() || !region.Refinable() || !brush || brush->Style != BS_SOLID || mode != R2_COPYPEN)
    return false;
  TDeviceContext view;
  TDeviceContext::MakeDeviceView(*dc, view);
  const TSurfaceOffset o = SurfaceOffset(dc);
  const TRect b = dc->Bounds();
  const double s = dc->Scale();
  const TRegion device = region.AtScale(s, o.X, o.Y, DeviceEdge(b.Top, s), DeviceEdge(b.Bottom, s));
  const TBrushPaint paint(view, brush);
  ForRegionRows(&view, device, [&](int y, int x0, int x1) { FillSpan(view, y, x0, x1, paint, R2_COPYPEN); });
  return true;
}
} // namespace

bool FillRgn(HDC dc, HRGN region, HBRUSH brush) {
  if (!dc || !region || !brush) return false;
  if (FillInDevicePixels(dc, *region, brush, R2_COPYPEN)) return true;
  const TBrushPaint paint(*dc, brush);
  ForRegionRows(dc, *region, [&](int y, int x0, int x1) { FillSpan(*dc, y, x0, x1, paint, R2_COPYPEN); });
  return true;
}

bool FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height) {
  if (!dc || !region || !brush) return false;
  // The frame is the region less the region shrunk by (width, height) on every side.
  TRegion inner = *region, shifted;
  for (int dx : {-width, width}) {
    shifted = *region;
    shifted.Offset(dx, 0);
    inner.Combine(inner, shifted, rgnAnd);
  }
  for (int dy : {-height, height}) {
    shifted = *region;
    shifted.Offset(0, dy);
    inner.Combine(inner, shifted, rgnAnd);
  }
  TRegion frame;
  frame.Combine(*region, inner, rgnDiff);
  return FillRgn(dc, &frame, brush);
}

bool InvertRgn(HDC dc, HRGN region) {
  if (!dc || !region) return false;
  TGdiBrush white(BS_SOLID, clWhite);
  const TBrushPaint paint(*dc, &white);
  ForRegionRows(dc, *region, [&](int y, int x0, int x1) { FillSpan(*dc, y, x0, x1, paint, R2_XORPEN); });
  return true;
}

// ---- Lines and shapes ----

bool MoveToEx(HDC dc, int x, int y, POINT* old) {
  if (!dc) return false;
  if (old) *old = dc->State().PenPos;
  dc->State().PenPos = {x, y};
  return true;
}

namespace {

// Whether a scaled context may draw outlines and shapes in device pixels: with solid pens and brushes that
// overwrite. Dash patterns, hatches and mixing modes keep their logical pixels (replicated), so that they
// look and invert as they do at scale 1.
bool DrawsInDevicePixels(HDC dc) {
  if (!dc->Scaled() || dc->State().Rop2 != R2_COPYPEN) return false;
  const TGdiPen* pen = dc->State().Pen.Get();
  const TGdiBrush* brush = dc->State().Brush.Get();
  return (!pen || pen->Style == PS_NULL || pen->Style == PS_SOLID) &&
         (!brush || brush->Style == BS_NULL || brush->Style == BS_SOLID);
}

// A device view of a scaled context, its pen as many device pixels wide as the logical pen is logical ones.
void MakeDeviceView(HDC dc, TDeviceContext& view) {
  TDeviceContext::MakeDeviceView(*dc, view);
  const TGdiPen* pen = dc->State().Pen.Get();
  if (!pen || pen->Style == PS_NULL) return;
  const int width = std::max(1, static_cast<int>(std::lround(std::max(1, pen->Width) * dc->Scale())));
  view.State().Pen = TGdiRef<TGdiPen>::Adopt(static_cast<HPEN>(CreatePen(pen->Style, width, pen->Color)));
}

// A logical rectangle (surface coordinates) in device pixels.
TRect DeviceBox(HDC dc, int64_t l, int64_t t, int64_t r, int64_t b) {
  const double s = dc->Scale();
  return {DeviceEdge(l, s), DeviceEdge(t, s), DeviceEdge(r, s), DeviceEdge(b, s)};
}

void StrokeLine(HDC dc, TPenPlotter& pen, TPoint from, TPoint to) {
  const TSurfaceOffset o = SurfaceOffset(dc);
  if (from.X != to.X && from.Y != to.Y && DrawsInDevicePixels(dc)) {
    // A slanted line steps in device pixels; straight ones cover their logical pixels exactly as they are.
    TDeviceContext view;
    MakeDeviceView(dc, view);
    TPenPlotter devicePen(view);
    const TRect d = DeviceBox(dc, from.X + o.X, from.Y + o.Y, to.X + o.X, to.Y + o.Y);
    PlotLine(&view, devicePen, d.Left, d.Top, d.Right, d.Bottom);
    return;
  }
  PlotLine(dc, pen, from.X + o.X, from.Y + o.Y, to.X + o.X, to.Y + o.Y);
}
} // namespace

bool LineTo(HDC dc, int x, int y) {
  if (!dc || !dc->Surface()) return false;
  TPenPlotter pen(*dc);
  if (!pen.Null()) StrokeLine(dc, pen, dc->State().PenPos, {x, y});
  dc->State().PenPos = {x, y};
  return true;
}

bool Polyline(HDC dc, const POINT* points, int count) {
  if (!dc || !points || count < 2) return false;
  if (!dc->Surface()) return true;
  TPenPlotter pen(*dc);
  if (pen.Null()) return true;
  for (int i = 0; i + 1 < count; ++i) StrokeLine(dc, pen, points[i], points[i + 1]);
  return true;
}

bool Polygon(HDC dc, const POINT* points, int count) {
  if (!dc || !points || count < 2) return false;
  if (!dc->Surface()) return true;
  TRegion area;
  area.SetPolygon(points, count, dc->State().PolyFillMode == WINDING);
  const TBrushPaint paint(*dc, dc->State().Brush.Get());
  const int mode = dc->State().Rop2;
  if (!DrawsInDevicePixels(dc) || !FillInDevicePixels(dc, area, paint.Brush, mode))
    ForRegionRows(dc, area, [&](int y, int x0, int x1) { FillSpan(*dc, y, x0, x1, paint, mode); });
  TPenPlotter pen(*dc);
  if (!pen.Null())
    for (int i = 0; i < count; ++i) StrokeLine(dc, pen, points[i], points[(i + 1) % count]);
  return true;
}

bool Rectangle(HDC dc, int l, int t, int r, int b) {
  if (!dc) return false;
  if (!dc->Surface()) return true;
  const TRect box = Ordered(l, t, r, b);
  TPenPlotter pen(*dc);
  const TBrushPaint paint(*dc, dc->State().Brush.Get());
  const int mode = dc->State().Rop2;
  const int w = box.Width(), h = box.Height();
  if (pen.Null()) {
    // Without an outline the fill is one pixel smaller on the right and bottom.
    FillBox(dc, {box.Left, box.Top, SatSub(box.Right, 1), SatSub(box.Bottom, 1)}, paint, mode);
    return true;
  }
  const int pw = std::min(pen.PenWidth(), std::max(1, std::min(w, h) / 2));
  const TRect inner{SatAdd(box.Left, pw), SatAdd(box.Top, pw), SatSub(box.Right, pw), SatSub(box.Bottom, pw)};
  FillBox(dc, inner, paint, mode);
  if (w <= 0 || h <= 0) return true;
  if (pw == 1) {
    // One stroke around, each pixel once, so that inverting pens work.
    const TPoint c[4] = {{box.Left, box.Top},
                         {box.Right - 1, box.Top},
                         {box.Right - 1, box.Bottom - 1},
                         {box.Left, box.Bottom - 1}};
    if (w == 1 || h == 1) {
      const TSurfaceOffset o = SurfaceOffset(dc);
      const int64_t x = box.Left + o.X, y = box.Top + o.Y;
      PlotLine(dc, pen, x, y, x + w - 1 + (h == 1 ? 1 : 0), y + h - 1 + (h == 1 ? 0 : 1));
      return true;
    }
    for (int i = 0; i < 4; ++i) StrokeLine(dc, pen, c[i], c[(i + 1) % 4]);
    return true;
  }
  // A wide pen (at most half the size) draws its frame inside the bounds.
  const TGdiBrush penBrush(BS_SOLID, dc->State().Pen->Color);
  const TBrushPaint penPaint(*dc, &penBrush);
  FillBox(dc, {box.Left, box.Top, box.Right, inner.Top}, penPaint, mode);
  FillBox(dc, {box.Left, inner.Top, inner.Left, inner.Bottom}, penPaint, mode);
  FillBox(dc, {inner.Right, inner.Top, box.Right, inner.Bottom}, penPaint, mode);
  FillBox(dc, {box.Left, inner.Bottom, box.Right, box.Bottom}, penPaint, mode);
  return true;
}

namespace {

// A rounded shape inside [l, r) x [t, b): brush inside, pen on the pixels at its edge. Only the rows and
// columns within the outlines' reach are visited, each row's corner inset worked out as it is needed.
// The outline is Ring pixels thick.
void RoundShape(HDC dc, TRect box, int64_t ellipseWidth, int64_t ellipseHeight, int ring = 1) {
  TPenPlotter pen(*dc);
  if (pen.Null()) {
    box.Right = SatSub(box.Right, 1);
    box.Bottom = SatSub(box.Bottom, 1);
  }
  const int64_t w = int64_t{box.Right} - box.Left, h = int64_t{box.Bottom} - box.Top;
  if (w <= 0 || h <= 0) return;
  int64_t ew = std::min(std::abs(ellipseWidth), w), eh = std::min(std::abs(ellipseHeight), h);
  if (ew < 2 || eh < 2) ew = eh = 0;
  const int64_t half = eh / 2;
  const auto span = [&](int64_t y, int64_t& a, int64_t& b) {
    if (y < 0 || y >= h) {
      a = 0;
      b = 0;
      return;
    }
    const int64_t inset = y < half        ? shape::CornerInset(y, ew, eh)
                          : y >= h - half ? shape::CornerInset(h - 1 - y, ew, eh)
                                          : 0;
    a = inset;
    b = w - inset;
  };
  const TBrushPaint paint(*dc, dc->State().Brush.Get());
  const int mode = dc->State().Rop2;
  const TSurfaceOffset o = SurfaceOffset(dc);
  const int64_t ox = box.Left + o.X, oy = box.Top + o.Y;
  const TReach reach = ReachOf(dc);
  const int64_t firstRow = std::clamp<int64_t>(reach.Top - oy, 0, h);
  const int64_t lastRow = std::clamp<int64_t>(reach.Bottom - oy, 0, h);
  // Columns [a, b) of a row within the reach, in surface coordinates.
  const auto columns = [&](int64_t a, int64_t b, int& x0, int& x1) {
    x0 = static_cast<int>(std::clamp<int64_t>(ox + a, reach.Left, reach.Right));
    x1 = static_cast<int>(std::clamp<int64_t>(ox + b, reach.Left, reach.Right));
  };
  for (int64_t y = firstRow; y < lastRow; ++y) {
    const int sy = static_cast<int>(oy + y);
    int64_t a, b;
    int x0, x1;
    span(y, a, b);
    if (pen.Null()) {
      columns(a, b, x0, x1);
      FillSpan(*dc, sy, x0, x1, paint, mode);
      continue;
    }
    // Inside pixels have the shape all around them, Ring pixels each way.
    int64_t ia = a + ring, ib = b - ring;
    for (int64_t j = y - ring; j <= y + ring; ++j) {
      if (j == y) continue;
      int64_t ja, jb;
      span(j, ja, jb);
      if (jb <= ja) ib = ia;
      ia = std::max(ia, ja);
      ib = std::min(ib, jb);
    }
    if (ib > ia) {
      columns(ia, ib, x0, x1);
      FillSpan(*dc, sy, x0, x1, paint, mode);
    }
    if (ib <= ia) ia = ib = b;
    columns(a, ia, x0, x1);
    for (int x = x0; x < x1; ++x) pen.Plot(x, sy);
    columns(std::max(ib, a), b, x0, x1);
    for (int x = x0; x < x1; ++x) pen.Plot(x, sy);
  }
}

// A rounded shape drawn in device pixels on a scaled context: its curve as fine as the screen allows. False
// when the context draws in logical pixels.
bool RoundShapeInDevicePixels(HDC dc, const TRect& box, int64_t ellipseWidth, int64_t ellipseHeight,
                              bool ellipse) {
  if (!DrawsInDevicePixels(dc)) return false;
  TDeviceContext view;
  MakeDeviceView(dc, view);
  const TSurfaceOffset o = SurfaceOffset(dc);
  // Without an outline the shape is a logical pixel smaller on the right and bottom; the view takes off one
  // device pixel, which is given back.
  const int less = !dc->State().Pen.Get() || dc->State().Pen->Style == PS_NULL ? 1 : 0;
  TRect d = DeviceBox(dc, box.Left + o.X, box.Top + o.Y, int64_t{box.Right} - less + o.X,
                      int64_t{box.Bottom} - less + o.Y);
  d.Right = SatAdd(d.Right, less);
  d.Bottom = SatAdd(d.Bottom, less);
  const double s = dc->Scale();
  // The outline is as thick as the pen, inside the shape as at scale 1: drawn as a ring of one-pixel dots.
  int ring = 1;
  if (const TGdiPen* pen = view.State().Pen.Get(); !less && pen) {
    ring = pen->Width;
    view.State().Pen = TGdiRef<TGdiPen>::Adopt(static_cast<HPEN>(CreatePen(pen->Style, 1, pen->Color)));
  }
  RoundShape(&view, d, ellipse ? int64_t{d.Right} - d.Left : std::llround(ellipseWidth * s),
             ellipse ? int64_t{d.Bottom} - d.Top : std::llround(ellipseHeight * s), ring);
  return true;
}

} // namespace

bool Ellipse(HDC dc, int l, int t, int r, int b) {
  if (!dc) return false;
  if (!dc->Surface()) return true;
  const TRect box = Ordered(l, t, r, b);
  if (!RoundShapeInDevicePixels(dc, box, 0, 0, true))
    RoundShape(dc, box, int64_t{box.Right} - box.Left, int64_t{box.Bottom} - box.Top);
  return true;
}

bool RoundRect(HDC dc, int l, int t, int r, int b, int w, int h) {
  if (!dc) return false;
  if (!dc->Surface()) return true;
  if (!RoundShapeInDevicePixels(dc, Ordered(l, t, r, b), w, h, false))
    RoundShape(dc, Ordered(l, t, r, b), w, h);
  return true;
}

bool Arc(HDC dc, int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
  if (!dc) return false;
  if (!dc->Surface()) return true;
  const TRect box = Ordered(l, t, r, b);
  const int w = box.Width(), h = box.Height();
  if (w <= 0 || h <= 0) return true;
  TPenPlotter pen(*dc);
  if (pen.Null()) return true;
  std::vector<int>& insets = PerThread<TArcScratch>().Insets;
  shape::CornerInsets(w, h, insets);
  const double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
  constexpr double twoPi = 2 * std::numbers::pi;
  const auto angle = [&](double x, double y) {
    const double a = std::atan2(cy - y, x - cx);
    return a < 0 ? a + twoPi : a;
  };
  const double start = angle(x1, y1);
  double sweep = angle(x2, y2) - start;
  if (sweep <= 1e-12) sweep += twoPi;
  const auto onArc = [&](int x, int y) {
    double d = angle(x + 0.5, y + 0.5) - start;
    if (d < 0) d += twoPi;
    return d <= sweep + 1e-9;
  };
  const auto span = [&](int y, int& a, int& bb) {
    if (y < 0 || y >= h) {
      a = bb = 0;
      return;
    }
    shape::RowSpan(w, h, h, insets, y, a, bb);
  };
  for (int y = 0; y < h; ++y) {
    int a, bb, pa, pb, na, nb;
    span(y, a, bb);
    span(y - 1, pa, pb);
    span(y + 1, na, nb);
    int ia = std::max({a + 1, pa, na}), ib = std::min({bb - 1, pb, nb});
    if (pb <= pa || nb <= na || ib <= ia) ia = ib = bb;
    for (int x = a; x < bb; ++x) {
      if (x >= ia && x < ib) continue;
      const int lx = box.Left + x, ly = box.Top + y;
      if (!onArc(lx, ly)) continue;
      const TPoint s = dc->ToSurface(lx, ly);
      pen.Plot(s.X, s.Y);
    }
  }
  return true;
}

TColor SetPixel(HDC dc, int x, int y, TColor color) {
  if (!dc || !dc->Surface()) return static_cast<TColor>(CLR_INVALID);
  const TPoint p = dc->ToSurface(x, y);
  if (!InClip(*dc, p.X, p.Y)) return static_cast<TColor>(CLR_INVALID);
  const uint32_t pixel = ColorToPixel(color);
  if (dc->Scaled())
    ForDevicePixels(*dc, p.X, p.Y, [pixel](uint32_t& d) { d = pixel; });
  else
    dc->Surface()->Row(p.Y)[p.X] = pixel;
  return ColorToRGB(color);
}

TColor GetPixel(HDC dc, int x, int y) {
  if (!dc || !dc->Surface()) return static_cast<TColor>(CLR_INVALID);
  const TPoint p = dc->ToSurface(x, y);
  if (!InClip(*dc, p.X, p.Y)) return static_cast<TColor>(CLR_INVALID);
  return PixelToColor(dc->Surface()->LogicalPixel(p.X, p.Y));
}

// ---- Rectangles ----

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (!dc || !rect || !brush) return 0;
  if (!dc->Surface() || rect->IsEmpty()) return 1;
  FillBox(dc, *rect, TBrushPaint(*dc, brush), R2_COPYPEN);
  return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (!dc || !rect || !brush) return 0;
  if (!dc->Surface() || rect->IsEmpty()) return 1;
  const TRect& r = *rect;
  const TBrushPaint paint(*dc, brush);
  FillBox(dc, {r.Left, r.Top, r.Right, r.Top + 1}, paint, R2_COPYPEN);
  if (r.Height() > 1) FillBox(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, paint, R2_COPYPEN);
  FillBox(dc, {r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, paint, R2_COPYPEN);
  if (r.Width() > 1) FillBox(dc, {r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, paint, R2_COPYPEN);
  return 1;
}

bool InvertRect(HDC dc, const RECT* rect) {
  if (!dc || !rect) return false;
  if (!dc->Surface() || rect->IsEmpty()) return true;
  const TGdiBrush white(BS_SOLID, clWhite);
  FillBox(dc, *rect, TBrushPaint(*dc, &white), R2_XORPEN);
  return true;
}

bool DrawFocusRect(HDC dc, const RECT* rect) {
  if (!dc || !rect) return false;
  if (!dc->Surface() || rect->IsEmpty()) return true;
  if (dc->Scaled()) {
    // The dotted outline one device pixel wide, along the device edges of the rectangle.
    TDeviceContext view;
    TDeviceContext::MakeDeviceView(*dc, view);
    const TPoint a = dc->ToSurface(rect->Left, rect->Top), b = dc->ToSurface(rect->Right, rect->Bottom);
    const double scale = dc->Scale();
    const TRect device{DeviceEdge(a.X, scale), DeviceEdge(a.Y, scale), DeviceEdge(b.X, scale),
                       DeviceEdge(b.Y, scale)};
    return DrawFocusRect(&view, &device);
  }
  // Every other pixel of the outline, on a checkerboard fixed to the surface so that neighbouring focus
  // rectangles line up, inverted.
  const TRect& r = *rect;
  const auto invert = [&](int lx, int ly) {
    const TPoint p = dc->ToSurface(lx, ly);
    if (((p.X + p.Y) & 1) != 0 || !InClip(*dc, p.X, p.Y)) return;
    uint32_t& d = dc->Surface()->Row(p.Y)[p.X];
    d ^= RgbMask;
  };
  // Only the columns and rows on the surface.
  const TRect on = dc->Bounds();
  const TSurfaceOffset o = SurfaceOffset(dc);
  const int64_t x0 = std::max<int64_t>(r.Left, on.Left - o.X),
                x1 = std::min<int64_t>(r.Right, on.Right - o.X);
  const int64_t y0 = std::max<int64_t>(r.Top + 1, on.Top - o.Y);
  const int64_t y1 = std::min<int64_t>(r.Bottom - 1, on.Bottom - o.Y);
  for (int64_t x = x0; x < x1; ++x) {
    invert(static_cast<int>(x), r.Top);
    if (r.Bottom - 1 > r.Top) invert(static_cast<int>(x), r.Bottom - 1);
  }
  for (int64_t y = y0; y < y1; ++y) {
    invert(r.Left, static_cast<int>(y));
    if (r.Right - 1 > r.Left) invert(r.Right - 1, static_cast<int>(y));
  }
  return true;
}

bool DrawEdge(HDC dc, RECT* rect, unsigned edge, unsigned flags) {
  if (!dc || !rect) return false;
  TRect r = *rect;
  const auto line = [&](TColor c, int l, int t, int rr, int b) {
    const TGdiBrush brush(BS_SOLID, c);
    const TRect box{l, t, rr, b};
    if (!box.IsEmpty() && dc->Surface()) FillBox(dc, box, TBrushPaint(*dc, &brush), R2_COPYPEN);
  };
  const auto ring = [&](TColor topLeft, TColor bottomRight) {
    if (r.IsEmpty()) return;
    if (flags & BF_MONO)
      topLeft = bottomRight = clWindowFrame;
    else if (flags & BF_FLAT)
      topLeft = bottomRight = clBtnShadow;
    if (flags & BF_LEFT) line(topLeft, r.Left, r.Top, r.Left + 1, r.Bottom);
    if (flags & BF_TOP) line(topLeft, r.Left, r.Top, r.Right, r.Top + 1);
    if (flags & BF_RIGHT) line(bottomRight, r.Right - 1, r.Top, r.Right, r.Bottom);
    if (flags & BF_BOTTOM) line(bottomRight, r.Left, r.Bottom - 1, r.Right, r.Bottom);
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
  };
  if (edge & BDR_RAISEDOUTER)
    ring(cl3DLight, cl3DDkShadow);
  else if (edge & BDR_SUNKENOUTER)
    ring(clBtnShadow, clBtnHighlight);
  if (edge & BDR_RAISEDINNER)
    ring(clBtnHighlight, clBtnShadow);
  else if (edge & BDR_SUNKENINNER)
    ring(cl3DDkShadow, cl3DLight);
  if ((flags & BF_MIDDLE) && !r.IsEmpty()) line(clBtnFace, r.Left, r.Top, r.Right, r.Bottom);
  if (flags & BF_ADJUST) *rect = r;
  return true;
}

// ---- Bit-block transfers ----

namespace {

// The column (or row) map of a nearest-neighbour stretch for destination indices [First, First + Count) of
// DestSize, kept between calls. A source index beyond int maps to -1, outside every surface.
void SampleMap(std::vector<int>& map, int64_t first, int64_t count, int64_t destSize, int64_t srcStart,
               int64_t srcSize, bool mirror) {
  map.resize(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) {
    // Both factors lie below 2^32, so the product fits 64 unsigned bits.
    const auto s = static_cast<int64_t>(static_cast<uint64_t>(first + i) * static_cast<uint64_t>(srcSize) /
                                        static_cast<uint64_t>(destSize));
    const int64_t v = srcStart + (mirror ? srcSize - 1 - s : s);
    map[static_cast<size_t>(i)] = v < 0 || v > INT_MAX ? -1 : static_cast<int>(v);
  }
}

// A rectangle in surface coordinates with a positive extent, in 64 bits.
struct TBlock {
  int64_t X, Y, W, H;
};

// Where each device pixel along one axis of a scaled transfer samples its source: Pos is the source position
// in source device pixels (pixel centres at .5), or NaN when the pixel lies outside the source block.
// Every pixel asked for lies on the target block by its edges; at a fractional scale its centre may still
// fall just past the block's logical end, and it samples the block's last position rather than nothing.
void ScaledSampleMap(std::vector<double>& map, int first, int count, double destScale, int64_t destAt,
                     int64_t destSize, int64_t srcAt, int64_t srcSize, double srcScale, bool mirror) {
  map.resize(static_cast<size_t>(count));
  const double ratio = static_cast<double>(srcSize) / static_cast<double>(destSize);
  const double last = std::nextafter(static_cast<double>(destSize), 0.0);
  for (int i = 0; i < count; ++i) {
    const double u = std::clamp(((first + i) + 0.5) / destScale - static_cast<double>(destAt), 0.0,
                                last); // logical, in [0, destSize)
    double v = u * ratio;
    if (mirror) v = static_cast<double>(srcSize) - v;
    map[static_cast<size_t>(i)] = v < 0 || v >= static_cast<double>(srcSize)
                                      ? std::nan("")
                                      : (static_cast<double>(srcAt) + v) * srcScale;
  }
}

struct TScaledMaps {
  std::vector<double> Cols, Rows;
  // Per target column, worked out once per transfer: the nearest source column (-1: not drawn) and, for
  // smooth sampling, the two neighbouring source columns and the weight of the second, in floating point
  // and in 256ths.
  std::vector<int> Nearest, Left, Right, Fixed;
  std::vector<double> Weight;
  std::vector<int64_t> Fine;
  // Two source rows already blended across, as consecutive target rows share them.
  std::vector<uint32_t> Across[2];
  int AcrossRow[2] = {-1, -1};
};

// Weight T in 256ths, or -1 when T is no whole number of them. For such a weight the integer blend below
// is exact, so it gives the very pixels the floating-point blend gives; at whole scales every weight is one.
int FixedWeight(double T) {
  const double w = T * 256.0;
  return w >= 0.0 && w <= 256.0 && w == std::floor(w) ? static_cast<int>(w) : -1;
}

// Pixels A and B blended W 256ths of the way to B, halves rounded up; red and blue side by side in one word.
inline uint32_t MixFixed(uint32_t A, uint32_t B, uint32_t W) {
  const uint32_t v = 256 - W;
  const uint32_t rb = (((A & 0xFF00FF) * v + (B & 0xFF00FF) * W + 0x800080) >> 8) & 0xFF00FF;
  const uint32_t g = (((A & 0xFF00) * v + (B & 0xFF00) * W + 0x8000) >> 8) & 0xFF00;
  return rb | g;
}

// Count pixels of rows A and B blended W 256ths of the way to B, into Target; four at a time, which the
// compiler turns into vector instructions.
void MixRows(uint32_t* Target, const uint32_t* A, const uint32_t* B, int Count, uint32_t W) {
  int i = 0;
  for (; i + 4 <= Count; i += 4) {
    uint32_t mixed[4];
    for (int k = 0; k < 4; ++k) mixed[k] = MixFixed(A[i + k], B[i + k], W);
    std::memcpy(Target + i, mixed, sizeof mixed);
  }
  for (; i < Count; ++i) Target[i] = MixFixed(A[i], B[i], W);
}

// Count pixels of Row blended across: pixel i from Left[i] Weight[i] 256ths of the way to Right[i]. Gathered
// four at a time, so that the blends become vector instructions.
void MixAcross(uint32_t* Target, const uint32_t* Row, const int* Left, const int* Right, const int* Weight,
               int Count) {
  int i = 0;
  for (; i + 4 <= Count; i += 4) {
    uint32_t a[4], b[4], mixed[4];
    for (int k = 0; k < 4; ++k) {
      a[k] = Row[Left[i + k]];
      b[k] = Row[Right[i + k]];
    }
    for (int k = 0; k < 4; ++k) mixed[k] = MixFixed(a[k], b[k], static_cast<uint32_t>(Weight[i + k]));
    std::memcpy(Target + i, mixed, sizeof mixed);
  }
  for (; i < Count; ++i) Target[i] = MixFixed(Row[Left[i]], Row[Right[i]], static_cast<uint32_t>(Weight[i]));
}

// The same blend for any weight in [0, 1], channel by channel in floating point, halves rounded away
// from zero.
uint32_t MixExact(uint32_t A, uint32_t B, double T) {
  uint32_t r = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double ca = (A >> shift) & 0xFF, cb = (B >> shift) & 0xFF;
    // As lround does, without its library call: x - floor(x) is exact.
    const double x = ca + (cb - ca) * T, f = std::floor(x);
    const long rounded = x < 0 ? std::lround(x) : static_cast<long>(f) + (x - f >= 0.5 ? 1 : 0);
    r |= static_cast<uint32_t>(rounded) << shift;
  }
  return r;
}

// Weight T in 2^32nds, rounded.
int64_t FineWeight(double T) {
  return std::llround(T * 4294967296.0);
}

// MixExact's pixel from integers: Fine is T in 2^32nds. Together the rounding of Fine and of the
// floating-point sums stay below 2^-25, so a channel at least 256 2^32nds from a half rounds as in floating
// point; a channel nearer than that takes the floating-point road.
inline uint32_t MixChecked(uint32_t A, uint32_t B, double T, int64_t Fine) {
  uint32_t r = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int64_t ca = (A >> shift) & 0xFF, cb = (B >> shift) & 0xFF;
    const int64_t x = ca * 4294967296LL + (cb - ca) * Fine; // never negative: it lies between ca and cb
    const int64_t offHalf = (x & 0xFFFFFFFFLL) - 0x80000000LL;
    if (offHalf > -256 && offHalf < 256) return MixExact(A, B, T);
    r |= static_cast<uint32_t>((x + 0x80000000LL) >> 32) << shift;
  }
  return r;
}

// Count target pixels from source pixels each repeated Factor times, the first of which already had Used
// of its copies before the run.
void ReplicateRow(uint32_t* Target, const uint32_t* Source, int Count, int Factor, int Used) {
  if (Factor == 1) {
    std::memcpy(Target, Source, static_cast<size_t>(Count) * sizeof(uint32_t));
    return;
  }
  int i = std::min(Count, Factor - Used);
  std::fill_n(Target, i, *Source++);
  if (Factor == 2)
    for (; i + 2 <= Count; i += 2, ++Source) {
      // Both copies in one store.
      const uint64_t pair = *Source * 0x100000001ull;
      std::memcpy(Target + i, &pair, sizeof pair);
    }
  else
    for (; i + Factor <= Count; i += Factor, ++Source) std::fill_n(Target + i, Factor, *Source);
  if (i < Count) std::fill_n(Target + i, Count - i, *Source);
}

// A transfer where either surface holds device pixels: every device pixel of the target samples the source
// at its own position, so bitmaps land on whole device pixels at any scale. Pixel art is replicated; a
// photograph, or any picture at a fractional scale, is filtered smoothly within its own block, so that
// pictures tiled side by side show no seams.
bool TransferScaled(TDeviceContext& dest, const TBlock& d, const TSurface* Source, const TBlock& s,
                    bool mirrorX, bool mirrorY, uint8_t table, const uint32_t* key) {
  TSurface* ds = dest.Surface();
  const double scale = dest.Scale(), sourceScale = Source ? Source->Scale() : 1.0;
  const TRect on = dest.Bounds();
  const int64_t left = std::max<int64_t>(d.X, on.Left), right = std::min<int64_t>(d.X + d.W, on.Right);
  const int64_t top = std::max<int64_t>(d.Y, on.Top), bottom = std::min<int64_t>(d.Y + d.H, on.Bottom);
  if (left >= right || top >= bottom) return true;
  const TRect target{DeviceEdge(left, scale), DeviceEdge(top, scale), DeviceEdge(right, scale),
                     DeviceEdge(bottom, scale)};
  TScaledMaps& maps = PerThread<TScaledMaps>();
  if (Source) {
    ScaledSampleMap(maps.Cols, target.Left, target.Width(), scale, d.X, d.W, s.X, s.W, sourceScale, mirrorX);
    ScaledSampleMap(maps.Rows, target.Top, target.Height(), scale, d.Y, d.H, s.Y, s.H, sourceScale, mirrorY);
  }
  const bool whole = std::abs(scale / sourceScale - std::round(scale / sourceScale)) < 1e-9;
  const bool smooth = Source && table == 0xCC && !key && sourceScale == 1.0 && (Source->Smooth() || !whole);
  // The source block's device pixels, which smooth sampling stays within.
  const int sx0 = std::max(0, DeviceEdge(s.X, sourceScale)),
            sx1 = Source ? std::min(Source->Width(), DeviceEdge(s.X + s.W, sourceScale)) - 1 : 0;
  const int sy0 = std::max(0, DeviceEdge(s.Y, sourceScale)),
            sy1 = Source ? std::min(Source->Height(), DeviceEdge(s.Y + s.H, sourceScale)) - 1 : 0;
  const auto nearest = [](double p, int limit) {
    const double f = std::floor(p);
    return f < 0 || f >= limit ? -1 : static_cast<int>(f);
  };
  const TBrushPaint paint(dest, dest.State().Brush.Get());
  const bool usesPattern = RopUsesPattern(table);
  const uint32_t keyPixel = key ? *key : 0;
  const bool filter = smooth && sx0 <= sx1 && sy0 <= sy1;
  // The target columns the source covers, [drawnFirst, drawnEnd): one run, as the sample maps are monotonic.
  int drawnFirst = 0, drawnEnd = 0;
  bool oneRun = true, fixedAcross = filter;
  // Pixel art at a whole scale: from drawnFirst on each source column fills factor target columns, the
  // first of them only factor - used.
  int factor = 0, used = 0;
  if (Source) {
    const size_t n = maps.Cols.size();
    maps.Nearest.resize(n);
    if (filter) {
      maps.Left.resize(n);
      maps.Right.resize(n);
      maps.Weight.resize(n);
      maps.Fixed.resize(n);
      maps.Fine.resize(n);
    }
    for (size_t i = 0; i < n; ++i) {
      const double px = maps.Cols[i];
      maps.Nearest[i] = std::isnan(px) ? -1 : nearest(px, Source->Width());
      if (!filter || maps.Nearest[i] < 0) continue;
      const double fx = std::clamp(px - 0.5, double(sx0), double(sx1));
      const int x0 = static_cast<int>(fx);
      maps.Left[i] = x0;
      maps.Right[i] = std::min(x0 + 1, sx1);
      maps.Weight[i] = fx - x0;
      maps.Fixed[i] = FixedWeight(fx - x0);
      maps.Fine[i] = FineWeight(fx - x0);
      fixedAcross = fixedAcross && maps.Fixed[i] >= 0;
    }
    const int count = static_cast<int>(n);
    const int* near = maps.Nearest.data();
    while (drawnFirst < count && near[drawnFirst] < 0) ++drawnFirst;
    drawnEnd = count;
    while (drawnEnd > drawnFirst && near[drawnEnd - 1] < 0) --drawnEnd;
    for (int i = drawnFirst; i < drawnEnd && oneRun; ++i) oneRun = near[i] >= 0;
    // Replicated columns, unless the picture is stretched or mirrored, or copied onto itself, where only
    // the pixel-by-pixel order is right.
    if (oneRun && whole && !mirrorX && Source != ds && drawnFirst < drawnEnd) {
      const int k = static_cast<int>(std::round(scale / sourceScale));
      int run = 0;
      while (drawnFirst + run < drawnEnd && near[drawnFirst + run] == near[drawnFirst]) ++run;
      bool replicated = k >= 1 && run <= k;
      for (int i = drawnFirst; i < drawnEnd && replicated; ++i)
        replicated = near[i] == near[drawnFirst] + (i - drawnFirst + k - run) / k;
      if (replicated) {
        factor = k;
        used = k - run;
      }
    }
  }
  // A plain copy of pixel art: each target row is the source row through the column map.
  const bool plainCopy = Source && !filter && table == 0xCC && !key;
  for (const TRect& c : dest.DeviceClipRects()) {
    TRect area;
    if (!IntersectRect(area, c, target)) continue;
    const int first = area.Left - target.Left;
    const int* near = Source ? maps.Nearest.data() + first : nullptr;
    const int width = area.Right - area.Left;
    if ((plainCopy || filter) && oneRun) {
      // Only the columns of this area that the source covers; no test per pixel.
      const int lo = std::clamp(drawnFirst - first, 0, width), hi = std::clamp(drawnEnd - first, 0, width);
      if (lo >= hi) continue;
      // Source row y blended across this area's columns, kept in whichever slot does not hold row keep.
      const auto across = [&](int y, int keep) -> const uint32_t* {
        for (int k = 0; k < 2; ++k)
          if (maps.AcrossRow[k] == y) return maps.Across[k].data();
        const int k = maps.AcrossRow[0] == keep ? 1 : 0;
        const uint32_t* row = Source->Row(y);
        const int* l = maps.Left.data() + first;
        const int* r = maps.Right.data() + first;
        uint32_t* out = maps.Across[k].data();
        if (fixedAcross) {
          MixAcross(out + lo, row, l + lo, r + lo, maps.Fixed.data() + first + lo, hi - lo);
        } else {
          const double* w = maps.Weight.data() + first;
          const int64_t* fine = maps.Fine.data() + first;
          for (int i = lo; i < hi; ++i) out[i] = MixChecked(row[l[i]], row[r[i]], w[i], fine[i]);
        }
        maps.AcrossRow[k] = y;
        return out;
      };
      if (filter)
        for (int k = 0; k < 2; ++k) {
          maps.Across[k].resize(static_cast<size_t>(width));
          maps.AcrossRow[k] = -1;
        }
      // The last target row drawn and the source row it shows: a target row of the same source row is a
      // copy of it.
      int lastSy = -1;
      const uint32_t* lastRow = nullptr;
      for (int dy = area.Top; dy < area.Bottom; ++dy) {
        const double py = maps.Rows[static_cast<size_t>(dy - target.Top)];
        if (std::isnan(py)) continue;
        const int sy = nearest(py, Source->Height());
        if (sy < 0) continue;
        uint32_t* drow = ds->Row(dy) + area.Left;
        if (filter) {
          const double fy = std::clamp(py - 0.5, double(sy0), double(sy1));
          const int y0 = static_cast<int>(fy);
          const double ty = fy - y0;
          const uint32_t* upper = across(y0, std::min(y0 + 1, sy1));
          const uint32_t* lower = across(std::min(y0 + 1, sy1), y0);
          const int wy = FixedWeight(ty);
          if (wy >= 0) {
            MixRows(drow + lo, upper + lo, lower + lo, hi - lo, static_cast<uint32_t>(wy));
          } else {
            const int64_t fineY = FineWeight(ty);
            for (int i = lo; i < hi; ++i) drow[i] = MixChecked(upper[i], lower[i], ty, fineY);
          }
          continue;
        }
        if (sy == lastSy) {
          std::memcpy(drow + lo, lastRow + lo, static_cast<size_t>(hi - lo) * sizeof(uint32_t));
          continue;
        }
        const uint32_t* srow = Source->Row(sy);
        if (factor)
          ReplicateRow(drow + lo, srow + near[lo], hi - lo, factor,
                       (first + lo - drawnFirst + used) % factor);
        else
          for (int i = lo; i < hi; ++i) drow[i] = srow[near[i]];
        if (Source != ds) {
          lastSy = sy;
          lastRow = drow;
        }
      }
      continue;
    }
    for (int dy = area.Top; dy < area.Bottom; ++dy) {
      uint32_t* drow = ds->Row(dy) + area.Left;
      double py = 0;
      int sy = 0;
      if (Source) {
        py = maps.Rows[static_cast<size_t>(dy - target.Top)];
        if (std::isnan(py)) continue;
        sy = nearest(py, Source->Height());
        if (sy < 0) continue;
      }
      const uint32_t* srow = Source ? Source->Row(sy) : nullptr;
      // Should a sample map ever leave a gap, a photograph is still filtered, pixel by pixel.
      const double fy = filter ? std::clamp(py - 0.5, double(sy0), double(sy1)) : 0;
      const int y0 = static_cast<int>(fy);
      const uint32_t* r0 = filter ? Source->Row(y0) : nullptr;
      const uint32_t* r1 = filter ? Source->Row(std::min(y0 + 1, sy1)) : nullptr;
      for (int i = 0; i < width; ++i) {
        uint32_t sp = 0;
        if (Source) {
          if (near[i] < 0) continue;
          sp = srow[near[i]];
          if (filter) {
            const size_t at = static_cast<size_t>(first + i);
            const int l = maps.Left[at], r = maps.Right[at];
            const double w = maps.Weight[at];
            sp = MixExact(MixExact(r0[l], r0[r], w), MixExact(r1[l], r1[r], w), fy - y0);
          }
          if (key && sp == keyPixel) continue;
        }
        uint32_t p = 0;
        if (usesPattern && !paint.Null()) paint.At(LogicalOf(area.Left + i, scale), LogicalOf(dy, scale), p);
        drow[i] = Rop3(table, p, sp, drow[i]);
      }
    }
  }
  return true;
}

// The transfer onto the destination's surface from the source surface Source (null when the operation takes
// no source): only the part of the target on the surface is mapped and visited.
bool TransferOnSurface(TDeviceContext& dest, const TBlock& d, const TSurface* Source, const TBlock& s,
                       bool mirrorX, bool mirrorY, uint8_t table, const uint32_t* key) {
  TSurface* ds = dest.Surface();
  if (ds->Scaled() || (Source && Source->Scaled()))
    return TransferScaled(dest, d, Source, s, mirrorX, mirrorY, table, key);
  // A photograph copied into a bitmap is still one.
  if (Source && Source->Smooth() && table == 0xCC && !key) ds->SetSmooth(true);
  const TRect on = dest.Bounds();
  const int64_t left = std::max<int64_t>(d.X, on.Left), right = std::min<int64_t>(d.X + d.W, on.Right);
  const int64_t top = std::max<int64_t>(d.Y, on.Top), bottom = std::min<int64_t>(d.Y + d.H, on.Bottom);
  if (left >= right || top >= bottom) return true;
  const TRect target{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                     static_cast<int>(bottom)};
  TSampleMaps& maps = PerThread<TSampleMaps>();
  std::vector<int>& cols = maps.Cols;
  std::vector<int>& rows = maps.Rows;
  if (Source) {
    SampleMap(cols, left - d.X, right - left, d.W, s.X, s.W, mirrorX);
    SampleMap(rows, top - d.Y, bottom - top, d.H, s.Y, s.H, mirrorY);
  }
  const TBrushPaint paint(dest, dest.State().Brush.Get());
  const bool usesPattern = RopUsesPattern(table);
  const bool plainCopy =
      table == 0xCC && !key && s.W == d.W && s.H == d.H && !mirrorX && !mirrorY && Source != ds;
  const uint32_t keyPixel = key ? *key : 0;
  for (const TRect& c : dest.ClipRects()) {
    TRect area;
    if (!IntersectRect(area, c, target)) continue;
    for (int dy = area.Top; dy < area.Bottom; ++dy) {
      uint32_t* drow = ds->Row(dy);
      const uint32_t* srow = nullptr;
      if (Source) {
        const int syy = rows[static_cast<size_t>(dy - top)];
        if (syy < 0 || syy >= Source->Height()) continue;
        srow = Source->Row(syy);
      }
      if (plainCopy) {
        // Straight copy of the part of the row that lies inside the source.
        const int64_t off = s.X - d.X;
        const int64_t a = std::max<int64_t>(area.Left, -off),
                      b = std::min<int64_t>(area.Right, Source->Width() - off);
        if (a < b) std::memcpy(drow + a, srow + a + off, static_cast<size_t>(b - a) * sizeof(uint32_t));
        continue;
      }
      for (int dx = area.Left; dx < area.Right; ++dx) {
        uint32_t sp = 0;
        if (Source) {
          const int sxx = cols[static_cast<size_t>(dx - left)];
          if (sxx < 0 || sxx >= Source->Width()) continue;
          sp = srow[sxx];
          if (key && sp == keyPixel) continue;
        }
        uint32_t p = 0;
        if (usesPattern && !paint.Null()) paint.At(dx, dy, p);
        drow[dx] = Rop3(table, p, sp, drow[dx]);
      }
    }
  }
  return true;
}

bool Transfer(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop,
              const uint32_t* key) {
  if (!dest) return false;
  const uint8_t table = RopTable(rop);
  const bool usesSource = RopUsesSource(table) || key;
  if (usesSource && !src) return false;
  TSurface* ds = dest->Surface();
  const TSurface* ss = usesSource ? src->Surface() : nullptr;
  if (!ds || (usesSource && !ss)) return true;
  // A negative extent flips its rectangle; in 64 bits, as either may reach past the ends of int.
  const TSurfaceOffset od = SurfaceOffset(dest);
  TBlock d{x + od.X, y + od.Y, w, h}, s{sx, sy, sw, sh};
  if (usesSource) {
    const TSurfaceOffset os = SurfaceOffset(src);
    s.X += os.X;
    s.Y += os.Y;
  }
  bool mirrorX = false, mirrorY = false;
  const auto flip = [](int64_t& at, int64_t& size, bool& mirror) {
    if (size >= 0) return;
    at += size;
    size = -size;
    mirror = !mirror;
  };
  flip(d.X, d.W, mirrorX);
  flip(d.Y, d.H, mirrorY);
  flip(s.X, s.W, mirrorX);
  flip(s.Y, s.H, mirrorY);
  if (d.W == 0 || d.H == 0 || (usesSource && (s.W == 0 || s.H == 0))) return true;
  return TransferOnSurface(*dest, d, ss, s, mirrorX, mirrorY, table, key);
}

} // namespace

bool PatBlt(HDC dc, int x, int y, int w, int h, uint32_t rop) {
  return Transfer(dc, x, y, w, h, nullptr, 0, 0, w, h, rop, nullptr);
}

bool BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop) {
  if (src && dest && src->Surface() == dest->Surface() && src->Surface()) {
    // Overlapping copies within one surface go through a copy of the source part, as much of it as lands on
    // the surface; source pixels beyond the surface copy as black.
    const uint8_t table = RopTable(rop);
    if (w <= 0 || h <= 0)
      return RopUsesSource(table) || Transfer(dest, x, y, w, h, nullptr, 0, 0, w, h, rop, nullptr);
    if (src->Surface()->Scaled()) {
      // Device pixels are copied as they are, through a copy of the whole surface.
      TSurface temp = *src->Surface();
      TDeviceContext copy(&temp, src->Origin(), src->Bounds());
      copy.State().ViewportOrg = src->State().ViewportOrg;
      return Transfer(dest, x, y, w, h, &copy, sx, sy, w, h, rop, nullptr);
    }
    const TSurfaceOffset od = SurfaceOffset(dest), os = SurfaceOffset(src);
    const TRect on = dest->Bounds();
    const int64_t dx0 = x + od.X, dy0 = y + od.Y;
    const int64_t left = std::max<int64_t>(dx0, on.Left), right = std::min<int64_t>(dx0 + w, on.Right);
    const int64_t top = std::max<int64_t>(dy0, on.Top), bottom = std::min<int64_t>(dy0 + h, on.Bottom);
    if (left >= right || top >= bottom) return true;
    TGdiBitmap temp(static_cast<int>(right - left), static_cast<int>(bottom - top), 0);
    const TSurface& ss = *src->Surface();
    const int64_t sx0 = sx + os.X + (left - dx0), sy0 = sy + os.Y + (top - dy0);
    for (int j = 0; j < temp.Surface.Height(); ++j)
      for (int i = 0; i < temp.Surface.Width(); ++i) {
        const int64_t px = sx0 + i, py = sy0 + j;
        const bool inside = px >= 0 && px < ss.Width() && py >= 0 && py < ss.Height();
        temp.Surface.Row(j)[i] = inside ? ss.Row(static_cast<int>(py))[px] : 0;
      }
    const TBlock block{left, top, right - left, bottom - top};
    return TransferOnSurface(*dest, block, RopUsesSource(table) ? &temp.Surface : nullptr,
                             {0, 0, block.W, block.H}, false, false, table, nullptr);
  }
  return Transfer(dest, x, y, w, h, src, sx, sy, w, h, rop, nullptr);
}

bool StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop) {
  return Transfer(dest, x, y, w, h, src, sx, sy, sw, sh, rop, nullptr);
}

bool TransparentBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                    TColor transparent) {
  const uint32_t key = ColorToPixel(transparent);
  return Transfer(dest, x, y, w, h, src, sx, sy, sw, sh, SRCCOPY, &key);
}

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const int64_t p = int64_t{number} * numerator;
  // Rounds half away from zero.
  const int64_t q = (p >= 0) == (denominator > 0)
                        ? (std::abs(p) + std::abs(denominator) / 2) / std::abs(denominator)
                        : -((std::abs(p) + std::abs(denominator) / 2) / std::abs(denominator));
  return static_cast<int>(q);
}
