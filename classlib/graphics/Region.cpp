#include "classlib/graphics/Region.h"

#include <algorithm>
#include <cmath>

#include "classlib/graphics/Shape.h"

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

void TRegion::SetRect(const TRect& r) {
  FRects.clear();
  if (!r.IsEmpty()) FRects.push_back(r);
}

void TRegion::SetRoundRect(const TRect& r, int ellipseWidth, int ellipseHeight) {
  // The classic region is one pixel short on the right and bottom of the rectangle it is given.
  const int w = r.Right - 1 - r.Left, h = r.Bottom - 1 - r.Top;
  FRects.clear();
  if (w <= 0 || h <= 0) return;
  const int ew = std::min(std::abs(ellipseWidth), w), eh = std::min(std::abs(ellipseHeight), h);
  if (ew < 2 || eh < 2) {
    FRects.push_back({r.Left, r.Top, r.Left + w, r.Top + h});
    return;
  }
  std::vector<int> insets;
  shape::CornerInsets(ew, eh, insets);
  std::vector<std::pair<int, int>> span(1);
  for (int y = 0; y < h; ++y) {
    int left = 0, right = 0;
    shape::RowSpan(w, h, eh, insets, y, left, right);
    if (right <= left) continue;
    span[0] = {r.Left + left, r.Left + right};
    AppendBand(FRects, r.Top + y, r.Top + y + 1, span);
  }
}

void TRegion::SetEllipse(const TRect& r) {
  SetRoundRect(r, r.Right - 1 - r.Left, r.Bottom - 1 - r.Top);
}

void TRegion::SetPolygon(const TPoint* points, int count, bool winding) {
  FRects.clear();
  if (!points || count < 3) return;
  int top = points[0].Y, bottom = points[0].Y;
  for (int i = 1; i < count; ++i) {
    top = std::min(top, points[i].Y);
    bottom = std::max(bottom, points[i].Y);
  }
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
    if (&a != this) FRects = a.FRects;
    return;
  }
  FRects = CombineRects(a.FRects, b.FRects, op);
}

void TRegion::Offset(int dx, int dy) {
  for (TRect& r : FRects) r.Offset(dx, dy);
}

void TRegion::Intersect(const TRect& r) {
  if (r.IsEmpty()) {
    FRects.clear();
    return;
  }
  FRects = CombineRects(FRects, {r}, rgnAnd);
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
