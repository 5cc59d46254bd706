#include "tools/skingen/Canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace skingen {

Rgb hex(std::uint32_t rgb) {
  return {double((rgb >> 16) & 0xFF), double((rgb >> 8) & 0xFF), double(rgb & 0xFF)};
}

Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb lighten(Rgb c, double t) {
  return mix(c, {255, 255, 255}, t);
}
Rgb darken(Rgb c, double t) {
  return mix(c, {0, 0, 0}, t);
}

Region rect(double x0, double y0, double x1, double y1) {
  return {{x0, y0, x1, y1}, [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }};
}

Region roundRect(double x0, double y0, double x1, double y1, double r) {
  r = std::max(0.0, std::min(r, std::min(x1 - x0, y1 - y0) / 2));
  return {{x0, y0, x1, y1}, [=](double x, double y) {
            if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
            const double dx = std::max({x0 + r - x, 0.0, x - (x1 - r)});
            const double dy = std::max({y0 + r - y, 0.0, y - (y1 - r)});
            return dx * dx + dy * dy <= r * r;
          }};
}

Region ellipse(double cx, double cy, double rx, double ry) {
  return {{cx - rx, cy - ry, cx + rx, cy + ry}, [=](double x, double y) {
            const double u = (x - cx) / rx, v = (y - cy) / ry;
            return u * u + v * v <= 1.0;
          }};
}

Region polygon(std::vector<Pt> points) {
  Box box{1e9, 1e9, -1e9, -1e9};
  for (const Pt& p : points) {
    box.x0 = std::min(box.x0, p.x), box.y0 = std::min(box.y0, p.y);
    box.x1 = std::max(box.x1, p.x), box.y1 = std::max(box.y1, p.y);
  }
  return {box, [pts = std::move(points)](double x, double y) {
            bool in = false;
            for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
              const Pt& a = pts[i];
              const Pt& b = pts[j];
              if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
            }
            return in;
          }};
}

Region polyline(std::vector<Pt> points, double width) {
  const double h = width / 2;
  Box box{1e9, 1e9, -1e9, -1e9};
  for (const Pt& p : points) {
    box.x0 = std::min(box.x0, p.x - h), box.y0 = std::min(box.y0, p.y - h);
    box.x1 = std::max(box.x1, p.x + h), box.y1 = std::max(box.y1, p.y + h);
  }
  return {box, [pts = std::move(points), h](double x, double y) {
            for (std::size_t i = 0; i < pts.size(); ++i) {
              const Pt& a = pts[i];
              const Pt& b = i + 1 < pts.size() ? pts[i + 1] : pts[i];
              const double vx = b.x - a.x, vy = b.y - a.y;
              const double len2 = vx * vx + vy * vy;
              double t = len2 > 0 ? ((x - a.x) * vx + (y - a.y) * vy) / len2 : 0;
              t = std::clamp(t, 0.0, 1.0);
              const double dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
              if (dx * dx + dy * dy <= h * h) return true;
            }
            return false;
          }};
}

Region operator|(Region a, Region b) {
  const Box box{std::min(a.box.x0, b.box.x0), std::min(a.box.y0, b.box.y0), std::max(a.box.x1, b.box.x1),
                std::max(a.box.y1, b.box.y1)};
  return {box, [a = std::move(a.inside), b = std::move(b.inside)](double x, double y) {
            return a(x, y) || b(x, y);
          }};
}

Region operator&(Region a, Region b) {
  const Box box{std::max(a.box.x0, b.box.x0), std::max(a.box.y0, b.box.y0), std::min(a.box.x1, b.box.x1),
                std::min(a.box.y1, b.box.y1)};
  return {box, [a = std::move(a.inside), b = std::move(b.inside)](double x, double y) {
            return a(x, y) && b(x, y);
          }};
}

Region operator-(Region a, Region b) {
  return {a.box, [a = std::move(a.inside), b = std::move(b.inside)](double x, double y) {
            return a(x, y) && !b(x, y);
          }};
}

Region roundRing(double x0, double y0, double x1, double y1, double r, double width) {
  return roundRect(x0, y0, x1, y1, r) -
         roundRect(x0 + width, y0 + width, x1 - width, y1 - width, std::max(0.0, r - width));
}

Rgb ramp(const std::vector<Stop>& stops, double t) {
  if (stops.empty()) return {};
  if (t <= stops.front().t) return stops.front().c;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t < stops[i].t) {
      const Stop& a = stops[i - 1];
      const Stop& b = stops[i];
      return mix(a.c, b.c, (t - a.t) / (b.t - a.t));
    }
  }
  return stops.back().c;
}

Paint solid(Rgb c) {
  return [c](double, double) { return c; };
}

Paint vertical(double y0, double y1, std::vector<Stop> stops) {
  return [=, s = std::move(stops)](double, double y) { return ramp(s, (y - y0) / (y1 - y0)); };
}

Paint horizontal(double x0, double x1, std::vector<Stop> stops) {
  return [=, s = std::move(stops)](double x, double) { return ramp(s, (x - x0) / (x1 - x0)); };
}

Paint radial(double cx, double cy, double r, std::vector<Stop> stops) {
  return [=, s = std::move(stops)](double x, double y) { return ramp(s, std::hypot(x - cx, y - cy) / r); };
}

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), background_(background),
      colour_(std::size_t(width) * height, background), cover_(std::size_t(width) * height, 0.0) {}

void Canvas::fill(const Region& region, const Paint& paint, double opacity) {
  const int x0 = std::max(0, int(std::floor(region.box.x0)));
  const int y0 = std::max(0, int(std::floor(region.box.y0)));
  const int x1 = std::min(width_, int(std::ceil(region.box.x1)));
  const int y1 = std::min(height_, int(std::ceil(region.box.y1)));
  constexpr double step = 1.0 / Samples;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      int hits = 0;
      for (int j = 0; j < Samples; ++j)
        for (int i = 0; i < Samples; ++i)
          if (region.inside(x + (i + 0.5) * step, y + (j + 0.5) * step)) ++hits;
      if (hits == 0) continue;
      const double a = opacity * hits / (Samples * Samples);
      Rgb& c = colour_[index(x, y)];
      c = mix(c, paint(x + 0.5, y + 0.5), a);
      double& cv = cover_[index(x, y)];
      cv = cv + (1 - cv) * a;
    }
  }
}

void Canvas::fill(const Region& region, Rgb colour, double opacity) {
  fill(region, solid(colour), opacity);
}

void Canvas::set(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  colour_[index(x, y)] = c;
  cover_[index(x, y)] = 1.0;
}

void Canvas::setBackground(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  colour_[index(x, y)] = c;
}

void Canvas::coverAll() {
  std::fill(cover_.begin(), cover_.end(), 1.0);
}

void Canvas::paste(const Canvas& src, int dx, int dy) {
  for (int y = 0; y < src.height(); ++y) {
    for (int x = 0; x < src.width(); ++x) {
      const int tx = x + dx, ty = y + dy;
      if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
      colour_[index(tx, ty)] = src.at(x, y);
      cover_[index(tx, ty)] = src.coverage(x, y);
    }
  }
}

} // namespace skingen
