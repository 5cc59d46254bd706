#pragma once
// Reading and writing picture files of formats the class library does not decode itself (PNG, GIF, ...),
// through the backend's image codecs. Pixels are 0x00RRGGBB words, rows top to bottom.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace backend {

struct TImagePixels {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Bits;
};

// Decodes Data; answers false when it is not a picture the backend can read. Transparent pixels come out
// white.
bool DecodeImage(const uint8_t* Data, size_t Size, TImagePixels& Image);
// Encodes pixels as PNG.
bool EncodePng(const uint32_t* Bits, int Width, int Height, int Stride, std::vector<uint8_t>& Png);

} // namespace backend
