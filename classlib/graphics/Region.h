#pragma once
// TRegion: a set of pixels kept as rectangles in bands. Rectangles are sorted by top, then left; the
// rectangles of one band share top and bottom and do not touch; neighbouring bands with the same spans are
// merged, so two regions with the same pixels have the same rectangles. Window shapes and clipping use it.
#include <vector>

#include "classlib/core/Types.h"
#include "classlib/graphics/GdiObject.h"

enum TRegionOp { rgnAnd = 1, rgnOr = 2, rgnXor = 3, rgnDiff = 4, rgnCopy = 5 };

class TRegion : public TGdiObject {
 public:
  TRegion() : TGdiObject(TGdiObjectType::Region) {}
  explicit TRegion(const TRect& R) : TRegion() { SetRect(R); }
  TRegion(const TRegion& Other) : TRegion() { FRects = Other.FRects; }
  TRegion& operator=(const TRegion& Other) {
    FRects = Other.FRects;
    return *this;
  }

  // Shapes. The rounded and elliptic ones cover the pixels of the classic region functions: the shape of
  // the rectangle one pixel smaller on the right and bottom, with quarter-ellipse corners of the given size.
  void SetEmpty() { FRects.clear(); }
  void SetRect(const TRect& R);
  void SetRoundRect(const TRect& R, int EllipseWidth, int EllipseHeight);
  void SetEllipse(const TRect& R);
  // Alternate (even-odd) or winding fill; pixels whose centres lie inside the polygon.
  void SetPolygon(const TPoint* Points, int Count, bool Winding);

  // this := A op B. Either may be this region.
  void Combine(const TRegion& A, const TRegion& B, TRegionOp Op);
  void Offset(int DX, int DY);
  void Intersect(const TRect& R);

  bool Empty() const { return FRects.empty(); }
  bool Contains(int X, int Y) const;
  bool Intersects(const TRect& R) const;
  TRect Bounds() const; // all zero when empty
  const std::vector<TRect>& Rects() const { return FRects; }
  bool operator==(const TRegion& Other) const { return FRects == Other.FRects; }

  // The canonical banded form of any rectangles whose union is wanted.
  static std::vector<TRect> Normalize(std::vector<TRect> Rects);

 private:
  std::vector<TRect> FRects;
};
