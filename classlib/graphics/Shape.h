#pragma once
// Pixel coverage of rounded shapes, shared by the region functions and the canvas so that a window shaped
// with a rounded region and the outline drawn along it meet pixel for pixel.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace shape {

// For the first Height/2 rows of an ellipse of EllipseWidth x EllipseHeight pixels, how many pixels each row
// is cut in from the left (and from the right) edge: the pixels whose centres lie outside the ellipse through
// the pixel edges. Rows below the middle mirror these. CornerInset gives one row's, CornerInsets all of them.
inline int64_t CornerInset(int64_t Row, int64_t EllipseWidth, int64_t EllipseHeight) {
  const double a = static_cast<double>(EllipseWidth) / 2.0, b = static_cast<double>(EllipseHeight) / 2.0;
  const double dy = (static_cast<double>(Row) + 0.5 - b) / b;
  const double hw = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
  return std::max<int64_t>(0, static_cast<int64_t>(std::ceil(a - hw - 0.5 - 1e-9)));
}
inline void CornerInsets(int EllipseWidth, int EllipseHeight, std::vector<int>& Insets) {
  Insets.clear();
  for (int i = 0; i < EllipseHeight / 2; ++i)
    Insets.push_back(static_cast<int>(CornerInset(i, EllipseWidth, EllipseHeight)));
}

// The span [Left, Right) of row Y (0-based) of a Width x Height rounded rectangle with corner ellipses of
// EllipseWidth x EllipseHeight (already limited to the size). Insets from CornerInsets.
inline void RowSpan(int Width, int Height, int EllipseHeight, const std::vector<int>& Insets, int Y,
                    int& Left, int& Right) {
  const int half = EllipseHeight / 2;
  int inset = 0;
  if (Y < half)
    inset = Insets[static_cast<size_t>(Y)];
  else if (Y >= Height - half)
    inset = Insets[static_cast<size_t>(Height - 1 - Y)];
  Left = inset;
  Right = Width - inset;
}

} // namespace shape
