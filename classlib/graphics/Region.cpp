#include "classlib/graphics/Region.h"

#include <algorithm>
#include <cmath>

#include "classlib/graphics/Shape.h"
#include "classlib/graphics/Surface.h"

namespace {

struct TBand {
  int Top, Bottom;
  size_t Begin, End; // rectangles [Begin, End) of the owning list
};

std::vector<TBand> Bands(const std::vector<TRect>& rects) {
  std::vector<TBand> bands;
  for (size_t i = 0; i < rects.size();) {
    size_t j = i;
    while (j < rects.size() && rects[j].Top == rects[i].Top) ++j;
    bands.push_back({rects[i].Top, rects[i].Bottom, i, j});
    i = j;
  }
  return bands;
}

// Appends a band of spans [x0, x1) (sorted, separate) for rows [top, bottom), merging it into the previous
// band when that one ends at top with the same spans.
void AppendBand(std::vector<TRect>& out, int top, int bottom, const std::vector<std::pair<int, int>>& spans) {
  if (spans.empty() || bottom <= top) return;
  // Find the previous band.
  size_t prevBegin = out.size();
  while (prevBegin > 0 && out[prevBegin - 1].Top == out.back().Top) --prevBegin;
  if (!out.empty() && out.back().Bottom == top && out.size() - prevBegin == spans.size()) {
    bool same = true;
    for (size_t k = 0; k < spans.size() && same; ++k)
      same = out[prevBegin + k].Left == spans[k].first && out[prevBegin + k].Right == spans[k].second;
    if (same) {
      for (size_t k = prevBegin; k < out.size(); ++k) out[k].Bottom = bottom;
      return;
    }
  }
  for (const auto& s : spans) out.push_back({s.first, top, s.second, bottom});
}

bool Apply(TRegionOp op, bool a, bool b) {
  switch (op) {
  case rgnAnd:
    return a && b;
  case rgnOr:
    return a || b;
  case rgnXor:
    return a != b;
  case rgnDiff:
    return a && !b;
  case rgnCopy:
    return a;
  }
  return false;
}

void CombineSpans(const std::vector<TRect>& A, size_t a0, size_t a1, const std::vector<TRect>& B, size_t b0,
                  size_t b1, TRegionOp op, std::vector<int>& edges, std::vector<std::pair<int, int>>& out) {
  out.clear();
  edges.clear();
  for (size_t i = a0; i < a1; ++i) {
    edges.push_back(A[i].Left);
    edges.push_back(A[i].Right);
  }
  for (size_t i = b0; i < b1; ++i) {
    edges.push_back(B[i].Left);
    edges.push_back(B[i].Right);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  size_t ia = a0, ib = b0;
  for (size_t e = 0; e + 1 < edges.size(); ++e) {
    const int x0 = edges[e], x1 = edges[e + 1];
    while (ia < a1 && A[ia].Right <= x0) ++ia;
    while (ib < b1 && B[ib].Right <= x0) ++ib;
    const bool inA = ia < a1 && A[ia].Left <= x0;
    const bool inB = ib < b1 && B[ib].Left <= x0;
    if (!Apply(op, inA, inB)) continue;
    if (!out.empty() && out.back().second == x0)
      out.back().second = x1;
    else
      out.emplace_back(x0, x1);
  }
}

std::vector<TRect> CombineRects(const std::vector<TRect>& A, const std::vector<TRect>& B, TRegionOp op) {
  const std::vector<TBand> ba = Bands(A), bb = Bands(B);
  std::vector<int> ys;
  for (const TBand& b : ba) {
    ys.push_back(b.Top);
    ys.push_back(b.Bottom);
  }
  for (const TBand& b : bb) {
    ys.push_back(b.Top);
    ys.push_back(b.Bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<TRect> out;
  std::vector<int> edges;
  std::vector<std::pair<int, int>> spans;
  size_t ia = 0, ib = 0;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    const int y0 = ys[k], y1 = ys[k + 1];
    while (ia < ba.size() && ba[ia].Bottom <= y0) ++ia;
    while (ib < bb.size() && bb[ib].Bottom <= y0) ++ib;
    const bool hasA = ia < ba.size() && ba[ia].Top <= y0;
    const bool hasB = ib < bb.size() && bb[ib].Top <= y0;
    CombineSpans(A, hasA ? ba[ia].Begin : 0, hasA ? ba[ia].End : 0, B, hasB ? bb[ib].Begin : 0,
                 hasB ? bb[ib].End : 0, op, edges, spans);
    AppendBand(out, y0, y1, spans);
  }
  return out;
}

} // namespace

std::vector<TRect> TRegion::Normalize(std::vector<TRect> rects) {
  rects.erase(std::remove_if(rects.begin(), rects.end(), [](const TRect& r) { return r.IsEmpty(); }),
              rects.end());
  std::vector<int> ys;
  for (const TRect& r : rects) {
    ys.push_back(r.Top);
    ys.push_back(r.Bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::vector<TRect> out;
  std::vector<std::pair<int, int>> row, merged;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    const int y0 = ys[k], y1 = ys[k + 1];
    row.clear();
    for (const TRect& r : rects)
      if (r.Top <= y0 && r.Bottom >= y1) row.emplace_back(r.Left, r.Right);
    std::sort(row.begin(), row.end());
    merged.clear();
    for (const auto& s : row) {
      if (!merged.empty() && s.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, s.second);
      else
        merged.push_back(s);
    }
    AppendBand(out, y0, y1, merged);
  }
  return out;
}

// How a region was made, in postfix order: each shape leaves its pixels, each combination takes the last two.
struct TRegion::TStep {
  enum TKind : uint8_t { Rectangles, RoundRect, Ellipse, Polygon, Combination };
  TKind Kind = Rectangles;
  TRegionOp Op = rgnOr; // Combination
  bool Winding = false; // Polygon
  TRect Box;            // RoundRect, Ellipse: the rectangle the shape was asked for
  int EllipseWidth = 0, EllipseHeight = 0;
  std::vector<TRect> Rects;   // Rectangles: a region that remembers no shapes, as its rectangles
  std::vector<TPoint> Points; // Polygon
  size_t Size() const { return 1 + Rects.size() + Points.size(); }
};

struct TRegion::TRecipe {
  std::vector<TStep> Steps;
  size_t Size = 0;
};

void TRegion::KeepShape(TStep step) {
  FRecipe.reset();
  if (FRects.empty() || step.Size() > MaxRecipeSize) return;
  auto recipe = std::make_shared<TRecipe>();
  recipe->Size = step.Size();
  recipe->Steps.push_back(std::move(step));
  FRecipe = std::move(recipe);
}

std::shared_ptr<const TRegion::TRecipe> TRegion::Combined(const TRegion& a, const TRegion& b, TRegionOp op) {
  if (!a.FRecipe && !b.FRecipe) return nullptr;
  const auto size = [](const TRegion& r) { return r.FRecipe ? r.FRecipe->Size : 1 + r.FRects.size(); };
  const size_t total = size(a) + size(b) + 1;
  if (total > MaxRecipeSize) return nullptr;
  auto recipe = std::make_shared<TRecipe>();
  recipe->Size = total;
  for (const TRegion* r : {&a, &b}) {
    if (r->FRecipe) {
      recipe->Steps.insert(recipe->Steps.end(), r->FRecipe->Steps.begin(), r->FRecipe->Steps.end());
      continue;
    }
    TStep rects;
    rects.Rects = r->FRects;
    recipe->Steps.push_back(std::move(rects));
  }
  TStep combination;
  combination.Kind = TStep::Combination;
  combination.Op = op;
  recipe->Steps.push_back(std::move(combination));
  return recipe;
}

void TRegion::SetRect(const TRect& r) {
  FRects.clear();
  FRecipe.reset();
  if (!r.IsEmpty()) FRects.push_back(r);
}

void TRegion::RoundRectRows(const TRect& r, int ellipseWidth, int ellipseHeight, int top, int bottom) {
  // The classic region is one pixel short on the right and bottom of the rectangle it is given.
  const int64_t w = int64_t{r.Right} - 1 - r.Left, h = int64_t{r.Bottom} - 1 - r.Top;
  if (w <= 0 || h <= 0) return;
  int64_t ew = std::min(std::abs(int64_t{ellipseWidth}), w),
          eh = std::min(std::abs(int64_t{ellipseHeight}), h);
  if (ew < 2 || eh < 2) ew = eh = 0;
  const int64_t half = eh / 2;
  const int64_t first = std::clamp<int64_t>(int64_t{top} - r.Top, 0, h);
  const int64_t last = std::clamp<int64_t>(int64_t{bottom} - r.Top, 0, h);
  std::vector<std::pair<int, int>> span(1);
  // Rows [y0, y1) (from the top of the shape) cut in by Inset on both sides.
  const auto band = [&](int64_t y0, int64_t y1, int64_t inset) {
    y0 = std::max(y0, first);
    y1 = std::min(y1, last);
    if (y1 <= y0 || 2 * inset >= w) return;
    span[0] = {SatInt(r.Left + inset), SatInt(r.Left + w - inset)};
    AppendBand(FRects, SatInt(r.Top + y0), SatInt(r.Top + y1), span);
  };
  // The upper corners row by row, the straight middle at once, the lower corners mirrored.
  for (int64_t y = first; y < std::min(half, last); ++y) band(y, y + 1, shape::CornerInset(y, ew, eh));
  band(half, h - half, 0);
  for (int64_t y = std::max(h - half, first); y < last; ++y)
    band(y, y + 1, shape::CornerInset(h - 1 - y, ew, eh));
}

void TRegion::SetRoundRect(const TRect& r, int ellipseWidth, int ellipseHeight) {
  FRects.clear();
  RoundRectRows(r, ellipseWidth, ellipseHeight, INT_MIN, INT_MAX);
  TStep step;
  step.Kind = TStep::RoundRect;
  step.Box = r;
  step.EllipseWidth = ellipseWidth;
  step.EllipseHeight = ellipseHeight;
  // Corners too small to round leave a rectangle, which every resolution draws alike.
  const int64_t w = int64_t{r.Right} - 1 - r.Left, h = int64_t{r.Bottom} - 1 - r.Top;
  if (std::min(std::abs(int64_t{ellipseWidth}), w) < 2 || std::min(std::abs(int64_t{ellipseHeight}), h) < 2)
    FRecipe.reset();
  else
    KeepShape(std::move(step));
}

void TRegion::SetEllipse(const TRect& r) {
  FRects.clear();
  RoundRectRows(r, SatSub(SatSub(r.Right, 1), r.Left), SatSub(SatSub(r.Bottom, 1), r.Top), INT_MIN, INT_MAX);
  TStep step;
  step.Kind = TStep::Ellipse;
  step.Box = r;
  KeepShape(std::move(step));
}

void TRegion::SetPolygon(const TPoint* points, int count, bool winding) {
  FRects.clear();
  FRecipe.reset();
  if (!points || count < 3) return;
  PolygonRows(points, count, winding, INT_MIN, INT_MAX);
  TStep step;
  step.Kind = TStep::Polygon;
  step.Winding = winding;
  if (static_cast<size_t>(count) < MaxRecipeSize) step.Points.assign(points, points + count);
  if (!step.Points.empty()) KeepShape(std::move(step));
}

void TRegion::PolygonRows(const TPoint* points, int count, bool winding, int rowTop, int rowBottom) {
  int top = points[0].Y, bottom = points[0].Y;
  for (int i = 1; i < count; ++i) {
    top = std::min(top, points[i].Y);
    bottom = std::max(bottom, points[i].Y);
  }
  top = std::max(top, rowTop);
  bottom = std::min(bottom, rowBottom);
  // Sample points are the pixels' top-left corners: left and top edges are inside, right and bottom ones not.
  std::vector<std::pair<double, int>> xs;
  std::vector<std::pair<int, int>> spans;
  for (int y = top; y < bottom; ++y) {
    xs.clear();
    for (int i = 0; i < count; ++i) {
      const TPoint p = points[i], q = points[(i + 1) % count];
      if (p.Y == q.Y) continue;
      const bool down = q.Y > p.Y;
      const int y0 = down ? p.Y : q.Y, y1 = down ? q.Y : p.Y;
      if (y < y0 || y >= y1) continue;
      xs.emplace_back(p.X + (y - p.Y) * (q.X - p.X) / static_cast<double>(q.Y - p.Y), down ? 1 : -1);
    }
    std::sort(xs.begin(), xs.end());
    spans.clear();
    int wind = 0;
    for (size_t k = 0; k < xs.size(); ++k) {
      const int before = wind;
      wind += winding ? xs[k].second : 1;
      const bool insideAfter = winding ? wind != 0 : (wind & 1) != 0;
      const bool insideBefore = winding ? before != 0 : (before & 1) != 0;
      const int x = static_cast<int>(std::ceil(xs[k].first - 1e-9));
      if (!insideBefore && insideAfter) {
        spans.emplace_back(x, 0);
      } else if (insideBefore && !insideAfter && !spans.empty()) {
        spans.back().second = x;
        if (spans.back().second <= spans.back().first) spans.pop_back();
      }
    }
    // Spans from different windings may touch; merge them.
    std::vector<std::pair<int, int>> merged;
    for (const auto& s : spans) {
      if (!merged.empty() && s.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, s.second);
      else
        merged.push_back(s);
    }
    AppendBand(FRects, y, y + 1, merged);
  }
}

void TRegion::Combine(const TRegion& a, const TRegion& b, TRegionOp op) {
  if (op == rgnCopy) {
    if (&a != this) *this = a;
    return;
  }
  std::shared_ptr<const TRecipe> recipe = Combined(a, b, op);
  FRects = CombineRects(a.FRects, b.FRects, op);
  FRecipe = FRects.empty() ? nullptr : std::move(recipe);
}

TRegion TRegion::AtScale(double scale, int64_t shiftX, int64_t shiftY, int top, int bottom) const {
  const auto x = [&](int64_t v) { return DeviceEdge(v + shiftX, scale); };
  const auto y = [&](int64_t v) { return DeviceEdge(v + shiftY, scale); };
  // Edges mapped one by one keep the bands' order, so the rectangles stay banded.
  const auto mapped = [&](const std::vector<TRect>& rects) {
    TRegion out;
    for (const TRect& r : rects) {
      const TRect d{x(r.Left), std::max(y(r.Top), top), x(r.Right), std::min(y(r.Bottom), bottom)};
      if (!d.IsEmpty()) out.FRects.push_back(d);
    }
    return out;
  };
  if (!FRecipe || scale == 1.0) return mapped(FRects);
  const auto length = [scale](int v) { return SatInt(std::llround(std::abs(double{1} * v) * scale)); };
  std::vector<TRegion> stack;
  std::vector<TPoint> corners;
  for (const TStep& step : FRecipe->Steps) {
    switch (step.Kind) {
    case TStep::Rectangles:
      stack.push_back(mapped(step.Rects));
      break;
    case TStep::RoundRect:
    case TStep::Ellipse: {
      // The shape is a logical pixel short on the right and bottom; its device rectangle ends where that
      // pixel begins, plus the one device pixel that the shape takes off again.
      const TRect& b = step.Box;
      const TRect d{x(b.Left), y(b.Top), SatAdd(x(int64_t{b.Right} - 1), 1),
                    SatAdd(y(int64_t{b.Bottom} - 1), 1)};
      TRegion out;
      if (step.Kind == TStep::Ellipse)
        out.RoundRectRows(d, SatSub(SatSub(d.Right, 1), d.Left), SatSub(SatSub(d.Bottom, 1), d.Top), top,
                          bottom);
      else
        out.RoundRectRows(d, length(step.EllipseWidth), length(step.EllipseHeight), top, bottom);
      stack.push_back(std::move(out));
      break;
    }
    case TStep::Polygon: {
      corners.clear();
      for (const TPoint& p : step.Points) corners.push_back({x(p.X), y(p.Y)});
      TRegion out;
      out.PolygonRows(corners.data(), static_cast<int>(corners.size()), step.Winding, top, bottom);
      stack.push_back(std::move(out));
      break;
    }
    case TStep::Combination: {
      if (stack.size() < 2) return mapped(FRects);
      TRegion b = std::move(stack.back());
      stack.pop_back();
      stack.back().FRects = CombineRects(stack.back().FRects, b.FRects, step.Op);
      break;
    }
    }
  }
  return stack.size() == 1 ? std::move(stack.back()) : mapped(FRects);
}

void TRegion::Offset(int dx, int dy) {
  for (TRect& r : FRects) r.Offset(dx, dy);
  if (!FRecipe || (dx == 0 && dy == 0)) return;
  auto moved = std::make_shared<TRecipe>(*FRecipe);
  for (TStep& step : moved->Steps) {
    step.Box.Offset(dx, dy);
    for (TRect& r : step.Rects) r.Offset(dx, dy);
    for (TPoint& p : step.Points) p = {SatAdd(p.X, dx), SatAdd(p.Y, dy)};
  }
  FRecipe = std::move(moved);
}

void TRegion::Intersect(const TRect& r) {
  if (r.IsEmpty()) {
    SetEmpty();
    return;
  }
  Combine(*this, TRegion(r), rgnAnd);
}

bool TRegion::Contains(int x, int y) const {
  for (const TRect& r : FRects) {
    if (r.Top > y) break;
    if (y < r.Bottom && x >= r.Left && x < r.Right) return true;
  }
  return false;
}

bool TRegion::Intersects(const TRect& rect) const {
  TRect overlap;
  for (const TRect& r : FRects)
    if (IntersectRect(overlap, r, rect)) return true;
  return false;
}

TRect TRegion::Bounds() const {
  if (FRects.empty()) return {};
  TRect b = FRects.front();
  for (const TRect& r : FRects) {
    b.Left = std::min(b.Left, r.Left);
    b.Right = std::max(b.Right, r.Right);
    b.Bottom = std::max(b.Bottom, r.Bottom);
  }
  return b;
}
