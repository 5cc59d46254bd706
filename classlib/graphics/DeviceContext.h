#pragma once
// TDeviceContext: what an HDC points to. It draws on one surface (a window's or a bitmap's) and holds the
// selected pen, brush, font and bitmap, text and background colours, background mode, mix mode, pen position,
// viewport origin and clip region, with a SaveDC/RestoreDC stack.
//
// Coordinates: a drawing call's logical point p lands on the surface at Origin + ViewportOrg + p. "Device"
// coordinates (clip regions, the viewport origin) are relative to Origin. Bounds (surface coordinates) is the
// part of the surface the context may touch at all: the client area for GetDC, the whole window for
// GetWindowDC, the control's rectangle when a parent paints a graphic control.
#include <optional>
#include <vector>

#include "classlib/core/Types.h"
#include "classlib/graphics/GdiObject.h"
#include "classlib/graphics/Region.h"

// Background modes.
constexpr int TRANSPARENT = 1, OPAQUE = 2;
// Mix modes for pens and brush fills of shapes (R2_*): code - 1 is the truth table of (pen, destination).
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
              R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
              R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;
// Polygon fill modes.
constexpr int ALTERNATE = 1, WINDING = 2;
// Text alignment (SetTextAlign).
constexpr unsigned TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0,
                   TA_BOTTOM = 8, TA_BASELINE = 24;

struct TDCState {
  TGdiRef<TGdiPen> Pen;
  TGdiRef<TGdiBrush> Brush;
  TGdiRef<TGdiFont> Font;
  TGdiRef<TGdiBitmap> Bitmap; // memory contexts draw on the selected bitmap
  TColor TextColor = 0x000000;
  TColor BkColor = 0xFFFFFF;
  int BkMode = OPAQUE;
  int Rop2 = R2_COPYPEN;
  int PolyFillMode = ALTERNATE;
  unsigned TextAlign = TA_LEFT | TA_TOP;
  TPoint PenPos;
  TPoint ViewportOrg;
  TPoint BrushOrg;
  std::optional<TRegion> ClipRgn; // device coordinates; none = Bounds only
};

class TDeviceContext {
 public:
  // A memory context: it draws on the bitmap selected into it (nothing until one is).
  TDeviceContext();
  // A context on Surface (not owned; it must outlive the context or be retargeted first). Without Bounds the
  // whole surface may be drawn on.
  explicit TDeviceContext(TSurface* Surface, TPoint Origin = {}, std::optional<TRect> Bounds = {});
  TDeviceContext(const TDeviceContext&) = delete;
  TDeviceContext& operator=(const TDeviceContext&) = delete;

  // A context in the device pixels of Of's surface, with Of's clip, colours, modes and objects: drawing that
  // a scaled surface does at its own resolution goes through one. Its coordinates are device pixels.
  static void MakeDeviceView(TDeviceContext& Of, TDeviceContext& View);

  // Points the context at another surface, origin or bounds, and resets its state to the defaults, so that a
  // window can keep one context and hand it out again.
  void Retarget(TSurface* Surface, TPoint Origin = {}, std::optional<TRect> Bounds = {});
  // Back to the default objects, colours, modes, origin and no clip region.
  void ResetState();

  // The surface drawn on: the selected bitmap's for a memory context.
  TSurface* Surface() const;
  TPoint Origin() const { return FOrigin; }
  TRect Bounds() const; // surface coordinates, within the surface

  // Device pixels per logical pixel of the surface drawn on; 1 for bitmaps and for device views.
  double Scale() const {
    const TSurface* s = Surface();
    return s && !FDevicePixels ? s->Scale() : 1.0;
  }
  bool Scaled() const { return Scale() != 1.0; }

  TDCState& State() { return FState; }
  const TDCState& State() const { return FState; }

  // SelectObject: answers the previously selected object of that kind (null for regions, which are copied
  // into the clip region instead, and on failure).
  HGDIOBJ Select(HGDIOBJ Object);

  int Save();              // the new stack depth
  bool Restore(int Level); // Level > 0: back to that depth; < 0: that many levels back

  // Clip regions in device coordinates. Mode is a TRegionOp; a null region with rgnCopy removes the clip.
  int SelectClip(const TRegion* Region, int Mode);
  // The effective clip, in surface coordinates: Bounds within the surface, cut by the clip region. Rebuilt
  // only after the clip, origin or surface changes.
  const std::vector<TRect>& ClipRects();
  void ClipChanged() { FClipValid = false; }
  // The effective clip in the surface's device pixels: Bounds' edges mapped by DeviceEdge, cut by the clip
  // region drawn at the surface's resolution (a rounded clip is rounded in device pixels).
  const std::vector<TRect>& DeviceClipRects() { return DeviceClip().Rects(); }
  const TRegion& DeviceClip();

  // Logical point -> surface point; saturated, so a point near the ends of int stays off the surface.
  TPoint ToSurface(int X, int Y) const {
    return {SatInt(int64_t{X} + FOrigin.X + FState.ViewportOrg.X),
            SatInt(int64_t{Y} + FOrigin.Y + FState.ViewportOrg.Y)};
  }
  // Offset from logical to device coordinates (the viewport origin).
  TPoint LogicalToDeviceOffset() const { return FState.ViewportOrg; }

 private:
  TSurface* FSurface = nullptr;
  TPoint FOrigin;
  std::optional<TRect> FBounds;
  TDCState FState;
  std::vector<TDCState> FSaved;
  std::vector<TRect> FClipRects;
  TRegion FDeviceClip;
  bool FClipValid = false;
  bool FDeviceClipValid = false;
  bool FDevicePixels = false; // a device view: coordinates are the surface's own pixels
};

using HDC = TDeviceContext*;
