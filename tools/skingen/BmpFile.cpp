#include "tools/skingen/BmpFile.h"

#include <fstream>

namespace skingen {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

std::uint32_t get32(const std::vector<std::uint8_t>& in, std::size_t at) {
  return std::uint32_t(in[at]) | (std::uint32_t(in[at + 1]) << 8) | (std::uint32_t(in[at + 2]) << 16) |
         (std::uint32_t(in[at + 3]) << 24);
}

std::uint32_t get16(const std::vector<std::uint8_t>& in, std::size_t at) {
  return std::uint32_t(in[at]) | (std::uint32_t(in[at + 1]) << 8);
}

std::size_t rowStride(int width) {
  return (std::size_t(width) * 3 + 3) & ~std::size_t(3);
}

} // namespace

std::vector<std::uint8_t> encodeBmp(const Image& image) {
  const std::size_t stride = rowStride(image.width);
  const std::uint32_t dataSize = std::uint32_t(stride * image.height);
  std::vector<std::uint8_t> out;
  out.reserve(BmpHeaderSize + dataSize);
  out.push_back('B');
  out.push_back('M');
  put32(out, BmpHeaderSize + dataSize);
  put32(out, 0);
  put32(out, BmpHeaderSize);
  put32(out, 40);
  put32(out, std::uint32_t(image.width));
  put32(out, std::uint32_t(image.height)); // positive: rows stored bottom-up
  put16(out, 1);
  put16(out, 24);
  put32(out, 0); // BI_RGB
  put32(out, dataSize);
  put32(out, 2835); // 72 dpi
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t p = image.pixel(x, y);
      out.push_back(std::uint8_t(p));
      out.push_back(std::uint8_t(p >> 8));
      out.push_back(std::uint8_t(p >> 16));
    }
    for (std::size_t pad = std::size_t(image.width) * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

std::optional<Image> decodeBmp(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < BmpHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const std::uint32_t offset = get32(bytes, 10);
  const std::int32_t width = std::int32_t(get32(bytes, 18));
  const std::int32_t rawHeight = std::int32_t(get32(bytes, 22));
  if (get32(bytes, 14) < 40 || get16(bytes, 26) != 1 || get16(bytes, 28) != 24 || get32(bytes, 30) != 0)
    return std::nullopt;
  if (width <= 0 || rawHeight == 0 || width > 1 << 15 || rawHeight > 1 << 15 || rawHeight < -(1 << 15))
    return std::nullopt;
  const bool bottomUp = rawHeight > 0;
  const int height = bottomUp ? rawHeight : -rawHeight;
  const std::size_t stride = rowStride(width);
  if (offset > bytes.size() || bytes.size() - offset < stride * height) return std::nullopt;
  Image img(width, height);
  for (int row = 0; row < height; ++row) {
    const std::size_t base = offset + stride * row;
    const int y = bottomUp ? height - 1 - row : row;
    for (int x = 0; x < width; ++x) {
      const std::size_t i = base + std::size_t(x) * 3;
      img.setPixel(x, y, (std::uint32_t(bytes[i + 2]) << 16) | (std::uint32_t(bytes[i + 1]) << 8) | bytes[i]);
    }
  }
  return img;
}

bool writeBmp(const std::string& path, const Image& image) {
  const std::vector<std::uint8_t> bytes = encodeBmp(image);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(out);
}

} // namespace skingen
