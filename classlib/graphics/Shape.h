#pragma once
// Pixel coverage of rounded shapes, shared by the region functions and the canvas so that a window shaped
// with a rounded region and the outline drawn along it meet pixel for pixel.
#include <cmath>
#include <vector>

namespace shape {

// For the first Height/2 rows of an ellipse of EllipseWidth x EllipseHeight pixels, how many pixels each row
// is cut in from the left (and from the right) edge: the pixels whose centres lie outside the ellipse through
// the pixel edges. Rows below the middle mirror these.
inline void CornerInsets(int EllipseWidth, int EllipseHeight, std::vector<int>& Insets) {
  Insets.clear();
  const double a = EllipseWidth / 2.0, b = EllipseHeight / 2.0;
  for (int i = 0; i < EllipseHeight / 2; ++i) {
    const double dy = (i + 0.5 - b) / b;
    const double hw = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    Insets.push_back(std::max(0, static_cast<int>(std::ceil(a - hw - 0.5 - 1e-9))));
  }
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
