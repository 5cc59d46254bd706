#pragma once
// TSurface: a pixel buffer we own. Every bitmap and every window paints into one. Pixels are 32-bit words
// 0x00RRGGBB (the top byte is always zero), rows top to bottom, Stride() pixels apart. Header-only, so that
// the backend can present a surface without linking the graphics library.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "classlib/backend/PixelBuffer.h"

class TSurface {
 public:
  TSurface() = default;
  TSurface(int Width, int Height, uint32_t Fill = 0xFFFFFF) { SetSize(Width, Height, Fill); }

  // Takes over pixels the backend made, without a copy.
  explicit TSurface(backend::TPixelImage&& Image)
      : FBits(std::move(Image.Bits)), FWidth(std::max(0, Image.Width)), FHeight(std::max(0, Image.Height)) {
    FBits.resize(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), 0);
  }

  // The pixels as the backend takes them.
  backend::TPixelBuffer Pixels() { return {FBits.data(), FWidth, FHeight, Stride()}; }

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Stride() const { return FWidth; } // in pixels
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }

  uint32_t* Bits() { return FBits.data(); }
  const uint32_t* Bits() const { return FBits.data(); }
  uint32_t* Row(int Y) { return FBits.data() + static_cast<size_t>(Y) * static_cast<size_t>(FWidth); }
  const uint32_t* Row(int Y) const {
    return FBits.data() + static_cast<size_t>(Y) * static_cast<size_t>(FWidth);
  }

  bool Contains(int X, int Y) const { return X >= 0 && Y >= 0 && X < FWidth && Y < FHeight; }
  // Outside the surface a read answers 0 and a write does nothing.
  uint32_t Pixel(int X, int Y) const { return Contains(X, Y) ? Row(Y)[X] : 0; }
  void SetPixel(int X, int Y, uint32_t Value) {
    if (Contains(X, Y)) Row(Y)[X] = Value & 0xFFFFFF;
  }

  // Changes the size, keeping the pixels that still fit at their place; new pixels get Fill. Reuses the
  // buffer when it is large enough, so a window resized back and forth does not reallocate.
  void SetSize(int NewWidth, int NewHeight, uint32_t Fill = 0xFFFFFF) {
    NewWidth = std::max(0, NewWidth);
    NewHeight = std::max(0, NewHeight);
    if (NewWidth == FWidth && NewHeight == FHeight) return;
    const size_t count = static_cast<size_t>(NewWidth) * static_cast<size_t>(NewHeight);
    if (NewWidth == FWidth) {
      FBits.resize(count, Fill & 0xFFFFFF);
    } else {
      std::vector<uint32_t> bits(count, Fill & 0xFFFFFF);
      const int w = std::min(FWidth, NewWidth), h = std::min(FHeight, NewHeight);
      for (int y = 0; y < h && w > 0; ++y)
        std::memcpy(bits.data() + static_cast<size_t>(y) * static_cast<size_t>(NewWidth), Row(y),
                    static_cast<size_t>(w) * sizeof(uint32_t));
      FBits.swap(bits);
    }
    FWidth = NewWidth;
    FHeight = NewHeight;
  }
  void Fill(uint32_t Value) { std::fill(FBits.begin(), FBits.end(), Value & 0xFFFFFF); }

 private:
  std::vector<uint32_t> FBits;
  int FWidth = 0;
  int FHeight = 0;
};
