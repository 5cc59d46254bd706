#include "tools/skingen/Draw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skingen {

std::vector<Stop> faceStops(const Face& f) {
  return {{0.0, f.top}, {0.48, f.upper}, {0.52, f.lower}, {1.0, f.bottom}};
}

void drawFace(Canvas& c, double x0, double y0, double x1, double y1, double r, const Face& f, bool across,
              double rimWidth) {
  c.fill(roundRect(x0, y0, x1, y1, r), f.border);
  const Paint body =
      across ? horizontal(x1 - 1, x0 + 1, faceStops(f)) : vertical(y0 + 1, y1 - 1, faceStops(f));
  c.fill(roundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, std::max(0.0, r - 1)), body);
  if (f.rimOpacity > 0)
    c.fill(roundRing(x0 + 1, y0 + 1, x1 - 1, y1 - 1, std::max(0.0, r - 1), rimWidth), f.rim, f.rimOpacity);
}

void drawOrb(Canvas& c, double cx, double cy, double radius, const Face& f) {
  c.fill(ellipse(cx, cy, radius, radius), f.border);
  c.fill(ellipse(cx, cy, radius - 1, radius - 1), vertical(cy - radius, cy + radius, faceStops(f)));
  drawSheen(c, cx - radius * 0.62, cy - radius * 0.86, cx + radius * 0.62, cy + radius * 0.05, 0.75);
}

void drawSheen(Canvas& c, double x0, double y0, double x1, double y1, double opacity) {
  const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const Region shape = ellipse(cx, cy, (x1 - x0) / 2, (y1 - y0) / 2);
  const Rgb white{255, 255, 255};
  // Fade by drawing the reflection in thin horizontal bands of falling strength.
  const int bands = 6;
  for (int i = 0; i < bands; ++i) {
    const double b0 = y0 + (y1 - y0) * i / bands, b1 = y0 + (y1 - y0) * (i + 1) / bands;
    c.fill(shape & rect(x0, b0, x1, b1), white, opacity * (1.0 - double(i) / bands) * 0.9);
  }
}

Region closeGlyph(double cx, double cy, double a, double w) {
  return polyline({{cx - a, cy - a}, {cx + a, cy + a}}, w) |
         polyline({{cx + a, cy - a}, {cx - a, cy + a}}, w);
}

Region minimizeGlyph(double cx, double cy, double a, double w) {
  return rect(cx - a, cy + a - w, cx + a, cy + a);
}

Region maximizeGlyph(double cx, double cy, double a, double w) {
  return rect(cx - a, cy - a, cx + a, cy + a) - rect(cx - a + w, cy - a + 2 * w, cx + a - w, cy + a - w);
}

Region restoreGlyph(double cx, double cy, double a, double w) {
  const double s = std::round(a * 0.5); // offset between the two windows
  const Region back = rect(cx - a + s, cy - a, cx + a, cy + a - s) -
                      rect(cx - a + s + w, cy - a + 1.5 * w, cx + a - w, cy + a - s - w);
  const Region frontArea = rect(cx - a, cy - a + s, cx + a - s, cy + a);
  const Region front = frontArea - rect(cx - a + w, cy - a + s + 1.5 * w, cx + a - s - w, cy + a - w);
  return (back - frontArea) | front;
}

Region helpGlyph(double cx, double cy, double a, double w) {
  const double r = a * 0.55, hy = cy - a * 0.38;
  std::vector<Pt> pts;
  for (int i = 0; i <= 14; ++i) {
    const double ang =
        std::numbers::pi * (1.05 - 1.45 * i / 14.0); // from the left over the top, down the right
    pts.push_back({cx + r * std::cos(ang), hy - r * std::sin(ang)});
  }
  pts.push_back({cx, cy + a * 0.28});
  return polyline(pts, w) | ellipse(cx, cy + a * 0.8, w * 0.62, w * 0.62);
}

Region arrowGlyph(Dir dir, double cx, double cy, double a) {
  const double h = a * 0.55;
  switch (dir) {
  case Dir::Up:
    return polygon({{cx - a, cy + h}, {cx + a, cy + h}, {cx, cy - h}});
  case Dir::Down:
    return polygon({{cx - a, cy - h}, {cx + a, cy - h}, {cx, cy + h}});
  case Dir::Left:
    return polygon({{cx + h, cy - a}, {cx + h, cy + a}, {cx - h, cy}});
  case Dir::Right:
    return polygon({{cx - h, cy - a}, {cx - h, cy + a}, {cx + h, cy}});
  }
  return rect(0, 0, 0, 0);
}

Region chevronGlyph(Dir dir, double cx, double cy, double a, double w) {
  const double h = a * 0.5;
  switch (dir) {
  case Dir::Up:
    return polyline({{cx - a, cy + h}, {cx, cy - h}, {cx + a, cy + h}}, w);
  case Dir::Down:
    return polyline({{cx - a, cy - h}, {cx, cy + h}, {cx + a, cy - h}}, w);
  case Dir::Left:
    return polyline({{cx + h, cy - a}, {cx - h, cy}, {cx + h, cy + a}}, w);
  case Dir::Right:
    return polyline({{cx - h, cy - a}, {cx + h, cy}, {cx - h, cy + a}}, w);
  }
  return rect(0, 0, 0, 0);
}

Region checkGlyph(double cx, double cy, double a, double w) {
  return polyline({{cx - a, cy - a * 0.02}, {cx - a * 0.3, cy + a * 0.68}, {cx + a, cy - a * 0.72}}, w);
}

Region plusGlyph(double cx, double cy, double a, double w) {
  return rect(cx - a, cy - w / 2, cx + a, cy + w / 2) | rect(cx - w / 2, cy - a, cx + w / 2, cy + a);
}

void drawPuzzleMark(Canvas& c, double x0, double y0, double size, Rgb frame, Rgb tile, Rgb tileShade) {
  c.fill(roundRect(x0, y0, x0 + size, y0 + size, size * 0.16), frame);
  const double pad = size * 0.1, gap = std::max(0.6, size * 0.05);
  const double cell = (size - 2 * pad - 2 * gap) / 3;
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      if (row == 2 && col == 2) continue;
      const double tx = x0 + pad + col * (cell + gap), ty = y0 + pad + row * (cell + gap);
      c.fill(roundRect(tx, ty, tx + cell, ty + cell, cell * 0.22),
             vertical(ty, ty + cell, {{0, tile}, {1, tileShade}}));
    }
  }
}

} // namespace skingen
