#pragma once
// A plain view of 0x00RRGGBB pixels that the backend draws into or shows: it knows no graphics class, so the
// layers above hand their own buffers down as this.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

namespace backend {

// Where logical coordinate V begins in device pixels at Scale. Halves round up, as the toolkit places child
// windows, so a child's first device row is where the screen shows it.
inline int DeviceEdge(int64_t V, double Scale) {
  const double d = std::floor(static_cast<double>(V) * Scale + 0.5 + 1e-6);
  return static_cast<int>(std::clamp(d, double{INT_MIN}, double{INT_MAX}));
}

struct TPixelBuffer {
  uint32_t* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  int Stride = 0; // in pixels
  bool Empty() const { return !Bits || Width <= 0 || Height <= 0; }
  uint32_t* Row(int Y) const { return Bits + static_cast<size_t>(Y) * static_cast<size_t>(Stride); }
};

// Pixels the backend made and hands over: rows Width apart, owned by the receiver once handed.
struct TPixelImage {
  std::vector<uint32_t> Bits;
  int Width = 0;
  int Height = 0;
  TPixelBuffer View() { return {Bits.data(), Width, Height, Width}; }
};

} // namespace backend
