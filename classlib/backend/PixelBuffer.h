#pragma once
// A plain view of 0x00RRGGBB pixels that the backend draws into or shows: it knows no graphics class, so the
// layers above hand their own buffers down as this.
#include <cstdint>
#include <vector>

namespace backend {

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
