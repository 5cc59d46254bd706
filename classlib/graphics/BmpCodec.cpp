#include "classlib/graphics/BmpCodec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>

#include "classlib/core/Exception.h"

namespace {

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;
constexpr int64_t MaxRlePixelsPerByte = 128;
constexpr int64_t MaxRleUnpaintedPixels = 256 * 256;

[[noreturn]] void Invalid() {
  throw EInvalidGraphic("Bitmap image is not valid");
}

// Bounds-checked little-endian reads.
class TReader {
 public:
  TReader(const uint8_t* data, size_t size) : Data(data), Size(size) {}
  bool Has(size_t offset, size_t count) const { return offset <= Size && count <= Size - offset; }
  uint16_t U16(size_t at) const {
    if (!Has(at, 2)) Invalid();
    return static_cast<uint16_t>(Data[at] | (Data[at + 1] << 8));
  }
  uint32_t U32(size_t at) const {
    if (!Has(at, 4)) Invalid();
    return static_cast<uint32_t>(Data[at]) | (static_cast<uint32_t>(Data[at + 1]) << 8) |
           (static_cast<uint32_t>(Data[at + 2]) << 16) | (static_cast<uint32_t>(Data[at + 3]) << 24);
  }
  int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }
  const uint8_t* Data;
  size_t Size;
};

struct TMask {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;
  explicit TMask(uint32_t mask = 0) : Mask(mask) {
    if (!mask) return;
    while (!((mask >> Shift) & 1)) ++Shift;
    Max = mask >> Shift;
  }
  uint32_t Get(uint32_t v) const {
    if (!Mask) return 0;
    return static_cast<uint32_t>((uint64_t{(v & Mask) >> Shift} * 255 + Max / 2) / Max);
  }
};

uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) {
  return (r << 16) | (g << 8) | b;
}

// Run-length decoding into palette indices; rows are bottom-up as stored. The position never passes the
// picture's edge, however many pixels a line asks for: what lies beyond is dropped without being counted.
void DecodeRle(const uint8_t* data, size_t size, int width, int height, bool four,
               std::vector<uint8_t>& indices) {
  const auto w = static_cast<size_t>(width), h = static_cast<size_t>(height);
  indices.assign(w * h, 0);
  size_t p = 0, x = 0, y = 0;
  // Pixels `count` of a run; Pixel(i) gives the i-th.
  const auto run = [&](size_t count, const auto& Pixel) {
    const size_t visible = std::min(count, w - x);
    uint8_t* out = indices.data() + y * w + x;
    for (size_t i = 0; i < visible; ++i) out[i] = Pixel(i);
    x += visible;
  };
  while (y < h) {
    if (p + 2 > size) Invalid();
    const uint8_t count = data[p], value = data[p + 1];
    p += 2;
    if (count > 0) {
      run(count,
          [&](size_t i) -> uint8_t { return four ? ((i & 1) ? (value & 0xF) : (value >> 4)) : value; });
      continue;
    }
    if (value == 0) { // end of line
      x = 0;
      ++y;
    } else if (value == 1) { // end of picture
      break;
    } else if (value == 2) { // delta
      if (p + 2 > size) Invalid();
      x = std::min<size_t>(x + data[p], w);
      y += data[p + 1];
      p += 2;
    } else { // absolute run of `value` pixels, padded to a word
      const size_t bytes = four ? (value + 1u) / 2u : value;
      if (p + bytes > size) Invalid();
      const uint8_t* in = data + p;
      run(value, [&](size_t i) -> uint8_t {
        return four ? ((i & 1) ? (in[i / 2] & 0xF) : (in[i / 2] >> 4)) : in[i];
      });
      p += (bytes + 1) & ~size_t{1};
    }
  }
}

} // namespace

TBmpInfo ReadBmp(const uint8_t* data, size_t size, TSurface& surface) {
  if (!data) Invalid();
  const TReader r(data, size);
  size_t header = 0, bitsOffset = 0;
  bool hasFileHeader = false;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    hasFileHeader = true;
    header = 14;
    bitsOffset = r.U32(10);
  }
  const uint32_t headerSize = r.U32(header);
  int64_t width = 0, height = 0;
  int bpp = 0;
  uint32_t compression = BI_RGB, colorsUsed = 0;
  size_t palette = 0, paletteEntry = 4;
  TMask red(0x7C00), green(0x03E0), blue(0x001F);
  if (headerSize == 12) {
    width = r.U16(header + 4);
    height = static_cast<int16_t>(r.U16(header + 6));
    bpp = r.U16(header + 10);
    paletteEntry = 3;
    palette = header + 12;
  } else if (headerSize >= 40 && headerSize <= 1024 && r.Has(header, headerSize)) {
    width = r.I32(header + 4);
    height = r.I32(header + 8);
    bpp = r.U16(header + 14);
    compression = r.U32(header + 16);
    colorsUsed = r.U32(header + 32);
    palette = header + headerSize;
    if (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
      // Version 1 headers keep the masks after the header; later versions inside it.
      size_t masks = header + 40;
      if (headerSize == 40) palette += compression == BI_ALPHABITFIELDS ? 16 : 12;
      red = TMask(r.U32(masks));
      green = TMask(r.U32(masks + 4));
      blue = TMask(r.U32(masks + 8));
      compression = BI_BITFIELDS;
    } else if (bpp == 32) {
      red = TMask(0xFF0000);
      green = TMask(0x00FF00);
      blue = TMask(0x0000FF);
    }
  } else {
    Invalid();
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width * height > MaxPicturePixels) Invalid();
  const bool indexed = bpp == 1 || bpp == 4 || bpp == 8;
  if (!indexed && bpp != 16 && bpp != 24 && bpp != 32) Invalid();
  if (compression == BI_RLE8 && bpp != 8) Invalid();
  if (compression == BI_RLE4 && bpp != 4) Invalid();
  if (compression == BI_BITFIELDS && bpp != 16 && bpp != 32) Invalid();
  if (compression > BI_BITFIELDS) Invalid();
  if ((compression == BI_RLE4 || compression == BI_RLE8) && topDown) Invalid();

  // Palette; indices past its end read as black.
  std::array<uint32_t, 256> colors{};
  if (indexed) {
    size_t count = colorsUsed ? colorsUsed : (size_t{1} << bpp);
    count = std::min<size_t>(count, 256);
    if (!r.Has(palette, count * paletteEntry)) Invalid();
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* e = data + palette + i * paletteEntry;
      colors[i] = Pack(e[2], e[1], e[0]);
    }
    if (!hasFileHeader) bitsOffset = palette + count * paletteEntry;
  } else if (!hasFileHeader) {
    bitsOffset = palette;
  }
  // Pixels inside the headers (the palette starts where they end) would decode the headers as a picture.
  if (bitsOffset >= size || bitsOffset < palette) Invalid();

  const int w = static_cast<int>(width), h = static_cast<int>(height);
  const bool rle = compression == BI_RLE4 || compression == BI_RLE8;
  const size_t stride = ((static_cast<size_t>(w) * static_cast<size_t>(bpp) + 31) / 32) * 4;
  // Check the data against the size before allocating. A run of two bytes gives at most 255 pixels; a picture
  // much larger than its runs could paint is refused, small ones always decode.
  if (rle ? width * height > std::max<int64_t>(MaxRlePixelsPerByte * static_cast<int64_t>(size - bitsOffset),
                                               MaxRleUnpaintedPixels)
          : !r.Has(bitsOffset, stride * static_cast<size_t>(h)))
    Invalid();
  surface.SetSize(0, 0);
  surface.SetSize(w, h, 0);
  if (rle) {
    std::vector<uint8_t> indices;
    DecodeRle(data + bitsOffset, size - bitsOffset, w, h, compression == BI_RLE4, indices);
    for (int y = 0; y < h; ++y) {
      uint32_t* out = surface.Row(h - 1 - y);
      for (int x = 0; x < w; ++x)
        out[x] = colors[indices[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)]];
    }
    return {bpp, false};
  }

  for (int y = 0; y < h; ++y) {
    const uint8_t* in = data + bitsOffset + stride * static_cast<size_t>(y);
    uint32_t* out = surface.Row(topDown ? y : h - 1 - y);
    switch (bpp) {
    case 1:
      for (int x = 0; x < w; ++x) out[x] = colors[(in[x >> 3] >> (7 - (x & 7))) & 1];
      break;
    case 4:
      for (int x = 0; x < w; ++x) out[x] = colors[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
      break;
    case 8:
      for (int x = 0; x < w; ++x) out[x] = colors[in[x]];
      break;
    case 16:
      for (int x = 0; x < w; ++x) {
        const uint32_t v = static_cast<uint32_t>(in[2 * x] | (in[2 * x + 1] << 8));
        out[x] = Pack(red.Get(v), green.Get(v), blue.Get(v));
      }
      break;
    case 24:
      for (int x = 0; x < w; ++x) out[x] = Pack(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
      break;
    case 32:
      for (int x = 0; x < w; ++x) {
        const uint8_t* p = in + 4 * x;
        const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        out[x] = Pack(red.Get(v), green.Get(v), blue.Get(v));
      }
      break;
    }
  }
  return {bpp, topDown};
}

std::vector<uint8_t> WriteBmp(const TSurface& surface, int bpp) {
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) bpp = 24;
  const int w = surface.Width(), h = surface.Height();
  std::vector<uint32_t> palette;
  std::map<uint32_t, uint8_t> index;
  if (bpp <= 8) {
    const size_t limit = size_t{1} << bpp;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t c = surface.Row(y)[x];
        if (index.count(c)) continue;
        if (palette.size() == limit) throw EInvalidGraphic("Bitmap has too many colors for its pixel format");
        index[c] = static_cast<uint8_t>(palette.size());
        palette.push_back(c);
      }
    palette.resize(limit, 0);
  }
  const size_t stride = ((static_cast<size_t>(w) * static_cast<size_t>(bpp) + 31) / 32) * 4;
  const size_t offset = 14 + 40 + palette.size() * 4;
  const size_t fileSize = offset + stride * static_cast<size_t>(h);
  std::vector<uint8_t> out(fileSize, 0);
  const auto put16 = [&](size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  const auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<uint32_t>(fileSize));
  put32(10, static_cast<uint32_t>(offset));
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  put16(26, 1);
  put16(28, static_cast<uint32_t>(bpp));
  put32(34, static_cast<uint32_t>(stride * static_cast<size_t>(h)));
  put32(38, 3780); // 96 pixels per inch
  put32(42, 3780);
  for (size_t i = 0; i < palette.size(); ++i) put32(54 + 4 * i, palette[i]);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = out.data() + offset + stride * static_cast<size_t>(h - 1 - y);
    const uint32_t* in = surface.Row(y);
    for (int x = 0; x < w; ++x) {
      const uint32_t c = in[x];
      switch (bpp) {
      case 1:
        row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (index[c] << (7 - (x & 7))));
        break;
      case 4:
        row[x >> 1] = static_cast<uint8_t>(row[x >> 1] | (index[c] << ((x & 1) ? 0 : 4)));
        break;
      case 8:
        row[x] = index[c];
        break;
      case 24:
        row[3 * x] = static_cast<uint8_t>(c);
        row[3 * x + 1] = static_cast<uint8_t>(c >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(c >> 16);
        break;
      case 32:
        row[4 * x] = static_cast<uint8_t>(c);
        row[4 * x + 1] = static_cast<uint8_t>(c >> 8);
        row[4 * x + 2] = static_cast<uint8_t>(c >> 16);
        break;
      }
    }
  }
  return out;
}
