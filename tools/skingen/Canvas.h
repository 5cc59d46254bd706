// A small supersampling rasteriser: shapes are inside-tests sampled 4 x 4 times per pixel, paints give the
// colour at a point, and every pixel remembers how much of it has been covered so that the outside can be
// keyed to a transparent colour after drawing.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace skingen {

struct Rgb {
  double r = 0, g = 0, b = 0; // 0..255
};

Rgb hex(std::uint32_t rgb); // 0xRRGGBB
Rgb mix(Rgb a, Rgb b, double t);
Rgb lighten(Rgb c, double t); // towards white
Rgb darken(Rgb c, double t);  // towards black

struct Pt {
  double x, y;
};

struct Box {
  double x0, y0, x1, y1;
};

struct Region {
  Box box;
  std::function<bool(double, double)> inside;
};

Region rect(double x0, double y0, double x1, double y1);
Region roundRect(double x0, double y0, double x1, double y1, double r);
Region ellipse(double cx, double cy, double rx, double ry);
Region polygon(std::vector<Pt> points);
// A polyline of the given width with round joins and ends.
Region polyline(std::vector<Pt> points, double width);
Region operator|(Region a, Region b);
Region operator&(Region a, Region b);
Region operator-(Region a, Region b);
// The band of a rounded rectangle between its edge and an inset of `width`.
Region roundRing(double x0, double y0, double x1, double y1, double r, double width);

using Paint = std::function<Rgb(double, double)>;

struct Stop {
  double t;
  Rgb c;
};

// Colour at t along the stops; two stops at the same t make a hard step.
Rgb ramp(const std::vector<Stop>& stops, double t);
Paint solid(Rgb c);
Paint vertical(double y0, double y1, std::vector<Stop> stops);
Paint horizontal(double x0, double x1, std::vector<Stop> stops);
Paint radial(double cx, double cy, double r, std::vector<Stop> stops);

class Canvas {
 public:
  static constexpr int Samples = 4; // per axis

  Canvas(int width, int height, Rgb background);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb background() const { return background_; } // what the canvas was made with
  Rgb at(int x, int y) const { return colour_[index(x, y)]; }
  double coverage(int x, int y) const { return cover_[index(x, y)]; }

  void fill(const Region& region, const Paint& paint, double opacity = 1.0);
  void fill(const Region& region, Rgb colour, double opacity = 1.0);
  // Sets one pixel outright, fully covered.
  void set(int x, int y, Rgb c);
  // Changes what lies under one pixel without drawing it: the colour edges are antialiased against.
  void setBackground(int x, int y, Rgb c);
  // Treats the whole canvas as drawn, for opaque pictures.
  void coverAll();
  // Copies `src` onto this canvas at (dx, dy), colour and coverage alike.
  void paste(const Canvas& src, int dx, int dy);

 private:
  int index(int x, int y) const { return y * width_ + x; }

  int width_, height_;
  Rgb background_;
  std::vector<Rgb> colour_;
  std::vector<double> cover_;
};

} // namespace skingen
