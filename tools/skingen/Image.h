// The 24-bit picture that is written out, and how a drawn canvas becomes one.
#pragma once

#include "tools/skingen/Canvas.h"

#include <cstdint>
#include <vector>

namespace skingen {

struct Image {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb; // rows top-down, three bytes per pixel: red, green, blue

  Image() = default;
  Image(int w, int h) : width(w), height(h), rgb(std::size_t(w) * h * 3, 0) {}
  std::uint32_t pixel(int x, int y) const; // 0xRRGGBB
  void setPixel(int x, int y, std::uint32_t value);
};

// How the undrawn outside of a picture is marked.
enum class Key {
  None,    // opaque picture: the canvas background stays
  Magenta, // 0xFF00FF, the skin pictures' transparent key
  White,   // 0xFFFFFF, for the menu check mark whose image list masks white
};

constexpr std::uint32_t MagentaKey = 0xFF00FF;
constexpr std::uint32_t WhiteKey = 0xFFFFFF;

std::uint32_t keyColour(Key key);

// Pixels covered less than this become the key; the rest keep the colour they were antialiased to against
// the canvas background, so no edge is ever blended towards the key itself.
constexpr double KeyThreshold = 0.45;

// Quantises the canvas. A kept pixel that would land on or too near the key colour is pushed away from it.
Image toImage(const Canvas& canvas, Key key);

// A picture with an alpha channel, for files that carry their own transparency: rows top-down, four bytes per
// pixel (red, green, blue, alpha), not premultiplied.
struct RgbaImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;

  std::uint32_t pixel(int x, int y) const; // 0xRRGGBBAA
};

// Coverage becomes opacity, and each pixel's own colour is taken back out of its blend with the canvas
// background: fills mix towards the background by exactly what they leave uncovered. For pictures drawn on
// the canvas's one background (no setBackground, no paste).
RgbaImage toRgbaImage(const Canvas& canvas);

// Largest per-channel distance below which a kept pixel counts as a fringe of the key.
constexpr int FringeDistance = 48;
bool nearKey(std::uint32_t pixel, std::uint32_t key);

} // namespace skingen
