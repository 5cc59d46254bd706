#pragma once
// Reading and writing BMP files. The reader takes the usual variants: core and info headers (up to version
// 5), 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, RLE4, RLE8 and bit fields, bottom-up and top-down.
// It checks every size and offset against the data and raises EInvalidGraphic for anything it cannot read,
// without reading outside the data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/graphics/Surface.h"

struct TBmpInfo {
  int BitsPerPixel = 0; // as stored
  bool TopDown = false;
};

// Decodes the BMP file in Data into Surface.
TBmpInfo ReadBmp(const uint8_t* Data, size_t Size, TSurface& Surface);
// A BMP file of Surface: BitsPerPixel 24 or 32 store the pixels as they are, 1, 4 and 8 with a palette of the
// surface's colours (raising EInvalidGraphic when the surface has more than the palette holds).
std::vector<uint8_t> WriteBmp(const TSurface& Surface, int BitsPerPixel = 24);

// Pictures larger than this many pixels are refused as invalid rather than allocated.
constexpr int64_t MaxPicturePixels = int64_t{1} << 26;
