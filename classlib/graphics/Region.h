#pragma once
// TRegion: a set of pixels kept as rectangles in bands. Rectangles are sorted by top, then left; the
// rectangles of one band share top and bottom and do not touch; neighbouring bands with the same spans are
// merged, so two regions with the same pixels have the same rectangles. Window shapes and clipping use it.
//
// A region made from rounded, elliptic or polygonal shapes also remembers how it was made (its shapes and
// the combinations between them, bounded in size), so that a surface with more device pixels than logical
// ones can draw it again at its own resolution. Its rectangles, hit tests and bounds stay logical.
#include <climits>
#include <cstddef>
#include <memory>
#include <vector>

#include "classlib/core/Types.h"
#include "classlib/graphics/GdiObject.h"

enum TRegionOp { rgnAnd = 1, rgnOr = 2, rgnXor = 3, rgnDiff = 4, rgnCopy = 5 };

class TRegion : public TGdiObject {
 public:
  TRegion() : TGdiObject(TGdiObjectType::Region) {}
  explicit TRegion(const TRect& R) : TRegion() { SetRect(R); }
  TRegion(const TRegion& Other) : TRegion() {
    FRects = Other.FRects;
    FRecipe = Other.FRecipe;
  }
  TRegion& operator=(const TRegion& Other) {
    FRects = Other.FRects;
    FRecipe = Other.FRecipe;
    return *this;
  }

  // Shapes. The rounded and elliptic ones cover the pixels of the classic region functions: the shape of
  // the rectangle one pixel smaller on the right and bottom, with quarter-ellipse corners of the given size.
  void SetEmpty() {
    FRects.clear();
    FRecipe.reset();
  }
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

  // Whether the region remembers shapes that a finer resolution draws differently from its rectangles.
  bool Refinable() const { return FRecipe != nullptr; }
  // The region on a surface of Scale device pixels per logical pixel where logical (0, 0) lies at logical
  // surface point (ShiftX, ShiftY), in device pixels, only rows [Top, Bottom): its shapes drawn again at
  // that resolution, or, at scale 1 or when it remembers none, its rectangles' edges mapped as every edge is.
  TRegion AtScale(double Scale, int64_t ShiftX = 0, int64_t ShiftY = 0, int Top = INT_MIN,
                  int Bottom = INT_MAX) const;
  // How much a region remembers at most (shapes, combinations, kept rectangles and polygon corners);
  // beyond it a region keeps its rectangles only.
  static constexpr size_t MaxRecipeSize = 1024;

 private:
  struct TStep;
  struct TRecipe;
  static std::shared_ptr<const TRecipe> Combined(const TRegion& A, const TRegion& B, TRegionOp Op);
  void KeepShape(TStep Step); // the one shape the region was just made from
  void RoundRectRows(const TRect& R, int EllipseWidth, int EllipseHeight, int Top, int Bottom);
  void PolygonRows(const TPoint* Points, int Count, bool Winding, int Top, int Bottom);

  std::vector<TRect> FRects;
  std::shared_ptr<const TRecipe> FRecipe; // shared: copies of a region are cheap
};
