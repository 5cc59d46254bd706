#pragma once
// Geometry shared by every layer: points, sizes and rectangles in integer pixels. A rectangle includes its
// left and top edges and excludes its right and bottom edges.
#include <algorithm>
#include <cstdint>
#include <limits>

// Coordinates come from form streams and messages as well as from code, so their sums and differences stop at
// the ends of int instead of wrapping round.
constexpr int SatInt(int64_t Value) {
  return static_cast<int>(
      std::clamp<int64_t>(Value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
constexpr int SatAdd(int A, int B) {
  return SatInt(int64_t{A} + B);
}
constexpr int SatSub(int A, int B) {
  return SatInt(int64_t{A} - B);
}

struct TPoint {
  int X = 0;
  int Y = 0;
  constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  constexpr int Width() const { return SatSub(Right, Left); }
  constexpr int Height() const { return SatSub(Bottom, Top); }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  constexpr void Offset(int dx, int dy) {
    Left = SatAdd(Left, dx);
    Right = SatAdd(Right, dx);
    Top = SatAdd(Top, dy);
    Bottom = SatAdd(Bottom, dy);
  }
  constexpr void Inflate(int dx, int dy) {
    Left = SatSub(Left, dx);
    Right = SatAdd(Right, dx);
    Top = SatSub(Top, dy);
    Bottom = SatAdd(Bottom, dy);
  }
  constexpr bool operator==(const TRect&) const = default;
};

using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;

constexpr TPoint Point(int X, int Y) {
  return {X, Y};
}
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) {
  return {Left, Top, Right, Bottom};
}
constexpr TRect Bounds(int Left, int Top, int Width, int Height) {
  return {Left, Top, SatAdd(Left, Width), SatAdd(Top, Height)};
}
// R in the coordinates of a space whose origin is at Origin (R moved by minus Origin), saturated.
constexpr TRect RelativeTo(const TRect& R, TPoint Origin) {
  return {SatSub(R.Left, Origin.X), SatSub(R.Top, Origin.Y), SatSub(R.Right, Origin.X),
          SatSub(R.Bottom, Origin.Y)};
}

// The overlap of two rectangles; empty (all zero) when they do not meet. Returns whether they meet.
inline bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B) {
  Dest = {std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
          std::min(A.Bottom, B.Bottom)};
  if (Dest.IsEmpty()) {
    Dest = {};
    return false;
  }
  return true;
}
inline bool PtInRect(const TRect& R, TPoint P) {
  return R.Contains(P);
}
inline void OffsetRect(TRect& R, int dx, int dy) {
  R.Offset(dx, dy);
}
inline void InflateRect(TRect& R, int dx, int dy) {
  R.Inflate(dx, dy);
}
inline void SetRect(TRect& R, int Left, int Top, int Right, int Bottom) {
  R = {Left, Top, Right, Bottom};
}
