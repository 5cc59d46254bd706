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

} // namespace skingen
