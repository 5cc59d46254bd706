#pragma once
// TSurface: a pixel buffer we own. Every bitmap and every window paints into one. Pixels are 32-bit words
// 0x00RRGGBB (the top byte is always zero), rows top to bottom, Stride() pixels apart. Header-only, so that
// the backend can present a surface without linking the graphics library.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "classlib/backend/PixelBuffer.h"

// Where logical coordinate V begins on a surface of Scale device pixels per logical pixel: every edge maps
// the same way, so shapes that meet in logical pixels meet in device pixels too, without gap or overlap.
using backend::DeviceEdge;
// The logical pixel a device pixel belongs to: the last one whose first edge is at or before it.
inline int LogicalOf(int Device, double Scale) {
  return static_cast<int>(std::floor((Device + 0.5) / Scale - 1e-9));
}

class TSurface {
 public:
  TSurface() = default;
  TSurface(int Width, int Height, uint32_t Fill = 0xFFFFFF) { SetSize(Width, Height, Fill); }

  // Takes over pixels the backend made, without a copy.
  explicit TSurface(backend::TPixelImage&& Image)
      : FBits(std::move(Image.Bits)), FWidth(std::max(0, Image.Width)), FHeight(std::max(0, Image.Height)),
        FLogicalWidth(FWidth), FLogicalHeight(FHeight) {
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

  // A window on a high-density screen holds device pixels, Scale() of them to a logical pixel; drawing
  // coordinates and clipping see its logical size. Bitmaps keep scale 1, where both sizes are one.
  double Scale() const { return FScale; }
  bool Scaled() const { return FScale != 1.0; }
  int LogicalWidth() const { return FLogicalWidth; }
  int LogicalHeight() const { return FLogicalHeight; }
  // Sizes the surface to hold LogicalWidth x LogicalHeight logical pixels at Scale (rounded up, so that the
  // last logical pixel is whole), within MaxWidth x MaxHeight device pixels.
  void SetScaledSize(int LogicalWidth, int LogicalHeight, double Scale, int MaxWidth, int64_t MaxPixels,
                     uint32_t Fill = 0xFFFFFF) {
    if (!(Scale > 0.0) || Scale > 16.0) Scale = 1.0;
    const auto extent = [Scale](int v) {
      return static_cast<int>(std::ceil(static_cast<double>(std::max(0, v)) * Scale - 1e-6));
    };
    const int w = std::clamp(extent(LogicalWidth), 0, MaxWidth);
    const int64_t rows = w > 0 ? MaxPixels / w : 0;
    SetSize(w, static_cast<int>(std::min<int64_t>(std::clamp(extent(LogicalHeight), 0, MaxWidth), rows)),
            Fill);
    FScale = Scale;
    FLogicalWidth =
        Scale == 1.0 ? FWidth : std::min(std::max(0, LogicalWidth), LogicalOf(FWidth - 1, Scale) + 1);
    FLogicalHeight =
        Scale == 1.0 ? FHeight : std::min(std::max(0, LogicalHeight), LogicalOf(FHeight - 1, Scale) + 1);
  }
  // A photograph rather than pixel art: scaled up smoothly instead of by replication. Copies of it carry
  // this.
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value) { FSmooth = Value; }
  // The device pixel at the top-left of logical pixel (X, Y); 0 outside.
  uint32_t LogicalPixel(int X, int Y) const {
    return FScale == 1.0 ? Pixel(X, Y) : Pixel(DeviceEdge(X, FScale), DeviceEdge(Y, FScale));
  }
  // Sets every device pixel of logical pixel (X, Y).
  void SetLogicalPixel(int X, int Y, uint32_t Value) {
    if (FScale == 1.0) return SetPixel(X, Y, Value);
    for (int y = DeviceEdge(Y, FScale); y < DeviceEdge(int64_t{Y} + 1, FScale); ++y)
      for (int x = DeviceEdge(X, FScale); x < DeviceEdge(int64_t{X} + 1, FScale); ++x) SetPixel(x, y, Value);
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
    FScale = 1.0;
    FLogicalWidth = NewWidth;
    FLogicalHeight = NewHeight;
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
  double FScale = 1.0;
  bool FSmooth = false;
  int FLogicalWidth = 0;
  int FLogicalHeight = 0;
};
