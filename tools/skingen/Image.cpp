#include "tools/skingen/Image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace skingen {

std::uint32_t Image::pixel(int x, int y) const {
  const std::size_t i = (std::size_t(y) * width + x) * 3;
  return (std::uint32_t(rgb[i]) << 16) | (std::uint32_t(rgb[i + 1]) << 8) | rgb[i + 2];
}

void Image::setPixel(int x, int y, std::uint32_t value) {
  const std::size_t i = (std::size_t(y) * width + x) * 3;
  rgb[i] = std::uint8_t(value >> 16);
  rgb[i + 1] = std::uint8_t(value >> 8);
  rgb[i + 2] = std::uint8_t(value);
}

std::uint32_t keyColour(Key key) {
  return key == Key::White ? WhiteKey : MagentaKey;
}

bool nearKey(std::uint32_t pixel, std::uint32_t key) {
  const int dr = std::abs(int((pixel >> 16) & 0xFF) - int((key >> 16) & 0xFF));
  const int dg = std::abs(int((pixel >> 8) & 0xFF) - int((key >> 8) & 0xFF));
  const int db = std::abs(int(pixel & 0xFF) - int(key & 0xFF));
  return std::max({dr, dg, db}) < FringeDistance;
}

namespace {

std::uint8_t quantise(double v) {
  return std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

std::uint32_t pack(Rgb c) {
  return (std::uint32_t(quantise(c.r)) << 16) | (std::uint32_t(quantise(c.g)) << 8) | quantise(c.b);
}

// Moves a colour that a key would swallow out of the key's neighbourhood, keeping its other channels.
std::uint32_t awayFromKey(std::uint32_t p, std::uint32_t key) {
  if (!nearKey(p, key)) return p;
  // Magenta: lower red and blue; white: darken evenly. Either way the largest channel distance reaches the
  // fringe bound.
  if (key == MagentaKey) {
    const int g = std::max(int((p >> 8) & 0xFF), FringeDistance);
    return (std::uint32_t(255 - FringeDistance) << 16) | (std::uint32_t(g) << 8) | (255 - FringeDistance);
  }
  const int v = 255 - FringeDistance;
  auto ch = [&](int c) { return std::uint32_t(std::min(c, v)); };
  return (ch((p >> 16) & 0xFF) << 16) | (ch((p >> 8) & 0xFF) << 8) | ch(p & 0xFF);
}

} // namespace

Image toImage(const Canvas& canvas, Key key) {
  Image img(canvas.width(), canvas.height());
  const std::uint32_t k = keyColour(key);
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      std::uint32_t p = pack(canvas.at(x, y));
      if (key != Key::None) p = canvas.coverage(x, y) < KeyThreshold ? k : awayFromKey(p, k);
      img.setPixel(x, y, p);
    }
  }
  return img;
}

std::uint32_t RgbaImage::pixel(int x, int y) const {
  const std::size_t i = (std::size_t(y) * width + x) * 4;
  return (std::uint32_t(rgba[i]) << 24) | (std::uint32_t(rgba[i + 1]) << 16) |
         (std::uint32_t(rgba[i + 2]) << 8) | rgba[i + 3];
}

RgbaImage toRgbaImage(const Canvas& canvas) {
  RgbaImage img{canvas.width(), canvas.height(), {}};
  img.rgba.reserve(std::size_t(img.width) * img.height * 4);
  const Rgb bg = canvas.background();
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const double a = canvas.coverage(x, y);
      const Rgb c = canvas.at(x, y);
      // Below a 256th nothing shows, and dividing by it would only magnify rounding.
      const auto own = [&](double mixed, double under) {
        return a < 1.0 / 256 ? std::uint8_t(0) : quantise((mixed - under * (1 - a)) / a);
      };
      img.rgba.insert(img.rgba.end(), {own(c.r, bg.r), own(c.g, bg.g), own(c.b, bg.b), quantise(a * 255)});
    }
  }
  return img;
}

} // namespace skingen
