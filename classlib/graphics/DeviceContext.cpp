#include "classlib/graphics/DeviceContext.h"

#include "classlib/graphics/Gdi.h"

TDeviceContext::TDeviceContext() {
  ResetState();
}

TDeviceContext::TDeviceContext(TSurface* surface, TPoint origin, std::optional<TRect> bounds)
    : FSurface(surface), FOrigin(origin), FBounds(bounds) {
  ResetState();
}

void TDeviceContext::Retarget(TSurface* surface, TPoint origin, std::optional<TRect> bounds) {
  FSurface = surface;
  FOrigin = origin;
  FBounds = bounds;
  FSaved.clear();
  ResetState();
}

void TDeviceContext::ResetState() {
  TGdiRef<TGdiBitmap> bitmap = std::move(FState.Bitmap);
  FState = TDCState();
  FState.Bitmap = std::move(bitmap);
  FState.Pen = TGdiRef<TGdiPen>(static_cast<HPEN>(GetStockObject(BLACK_PEN)));
  FState.Brush = TGdiRef<TGdiBrush>(static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FState.Font = TGdiRef<TGdiFont>(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  FClipValid = false;
}

TSurface* TDeviceContext::Surface() const {
  if (FState.Bitmap) return &FState.Bitmap->Surface;
  return FSurface;
}

TRect TDeviceContext::Bounds() const {
  const TSurface* s = Surface();
  if (!s) return {};
  TRect whole = FDevicePixels ? TRect{0, 0, s->Width(), s->Height()}
                              : TRect{0, 0, s->LogicalWidth(), s->LogicalHeight()};
  if (!FBounds) return whole;
  TRect r;
  IntersectRect(r, whole, *FBounds);
  return r;
}

HGDIOBJ TDeviceContext::Select(HGDIOBJ object) {
  if (!object) return nullptr;
  HGDIOBJ old = nullptr;
  switch (object->Type()) {
  case TGdiObjectType::Pen:
    old = FState.Pen.Get();
    FState.Pen = TGdiRef<TGdiPen>(static_cast<HPEN>(object));
    break;
  case TGdiObjectType::Brush:
    old = FState.Brush.Get();
    FState.Brush = TGdiRef<TGdiBrush>(static_cast<HBRUSH>(object));
    break;
  case TGdiObjectType::Font:
    old = FState.Font.Get();
    FState.Font = TGdiRef<TGdiFont>(static_cast<HFONT>(object));
    break;
  case TGdiObjectType::Bitmap:
    old = FState.Bitmap.Get();
    FState.Bitmap = TGdiRef<TGdiBitmap>(static_cast<HBITMAP>(object));
    FClipValid = false;
    break;
  case TGdiObjectType::Region:
    SelectClip(static_cast<HRGN>(object), rgnCopy);
    return nullptr;
  }
  // The caller gets the old object back to select it again; the context's reference is gone, but stock and
  // created objects keep their own until DeleteObject.
  return old;
}

int TDeviceContext::Save() {
  FSaved.push_back(FState);
  return static_cast<int>(FSaved.size());
}

bool TDeviceContext::Restore(int level) {
  const int depth = static_cast<int>(FSaved.size());
  const int target = level < 0 ? depth + level : level - 1; // the saved state to return to
  if (target < 0 || target >= depth) return false;
  FState = FSaved[static_cast<size_t>(target)];
  FSaved.resize(static_cast<size_t>(target));
  FClipValid = false;
  return true;
}

int TDeviceContext::SelectClip(const TRegion* region, int mode) {
  if (!region) {
    if (mode != rgnCopy) return ERROR;
    FState.ClipRgn.reset();
  } else if (mode == rgnCopy || !FState.ClipRgn) {
    if (mode == rgnOr) {
      // Everything or'ed with the region is still everything.
    } else if (mode == rgnCopy || mode == rgnAnd) {
      FState.ClipRgn = *region;
    } else {
      // Combining with "no clip" means combining with the whole context.
      TRegion all(RelativeTo(Bounds(), FOrigin));
      FState.ClipRgn = TRegion();
      FState.ClipRgn->Combine(all, *region, static_cast<TRegionOp>(mode));
    }
  } else {
    FState.ClipRgn->Combine(*FState.ClipRgn, *region, static_cast<TRegionOp>(mode));
  }
  FClipValid = false;
  if (!FState.ClipRgn) return SIMPLEREGION;
  if (FState.ClipRgn->Empty()) return NULLREGION;
  return FState.ClipRgn->Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

const TRegion& TDeviceContext::DeviceClip() {
  if (FClipValid && FDeviceClipValid) return FDeviceClip;
  ClipRects();
  const double scale = Scale();
  const TRect b = Bounds();
  const TRect device{DeviceEdge(b.Left, scale), DeviceEdge(b.Top, scale), DeviceEdge(b.Right, scale),
                     DeviceEdge(b.Bottom, scale)};
  if (!FState.ClipRgn || device.IsEmpty()) {
    FDeviceClip.SetRect(device);
  } else {
    FDeviceClip = FState.ClipRgn->AtScale(scale, FOrigin.X, FOrigin.Y, device.Top, device.Bottom);
    FDeviceClip.Intersect(device);
  }
  FDeviceClipValid = true;
  return FDeviceClip;
}

void TDeviceContext::MakeDeviceView(TDeviceContext& Of, TDeviceContext& View) {
  TSurface* surface = Of.Surface();
  View.FSurface = surface;
  View.FOrigin = {};
  View.FBounds.reset();
  View.FSaved.clear();
  View.FDevicePixels = true;
  View.FState = Of.FState;
  View.FState.Bitmap = {};
  View.FState.ViewportOrg = {};
  const double scale = Of.Scale();
  const TPoint brush{Of.FOrigin.X + Of.FState.BrushOrg.X, Of.FOrigin.Y + Of.FState.BrushOrg.Y};
  View.FState.BrushOrg = {DeviceEdge(brush.X, scale), DeviceEdge(brush.Y, scale)};
  View.FState.ClipRgn = Of.DeviceClip();
  View.FClipValid = false;
}

const std::vector<TRect>& TDeviceContext::ClipRects() {
  if (FClipValid) return FClipRects;
  FDeviceClipValid = false;
  FClipRects.clear();
  const TRect bounds = Bounds();
  if (!bounds.IsEmpty()) {
    if (!FState.ClipRgn) {
      FClipRects.push_back(bounds);
    } else {
      for (TRect r : FState.ClipRgn->Rects()) {
        r.Offset(FOrigin.X, FOrigin.Y);
        TRect c;
        if (IntersectRect(c, r, bounds)) FClipRects.push_back(c);
      }
    }
  }
  FClipValid = true;
  return FClipRects;
}
