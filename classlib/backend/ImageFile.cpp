#include "classlib/backend/ImageFile.h"

#include <QBuffer>
#include <QImage>

#include <cstring>

namespace backend {

bool DecodeImage(const uint8_t* data, size_t size, TImagePixels& image) {
  if (!data || size == 0 || size > static_cast<size_t>(INT32_MAX)) return false;
  QImage decoded = QImage::fromData(data, static_cast<int>(size));
  if (decoded.isNull()) return false;
  // Transparent pixels are composed over white, the colour a fresh bitmap has.
  decoded = decoded.convertToFormat(QImage::Format_ARGB32);
  image.Width = decoded.width();
  image.Height = decoded.height();
  image.Bits.resize(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height));
  for (int y = 0; y < image.Height; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(decoded.constScanLine(y));
    uint32_t* out = image.Bits.data() + static_cast<size_t>(y) * static_cast<size_t>(image.Width);
    for (int x = 0; x < image.Width; ++x) {
      const QRgb p = row[x];
      const int a = qAlpha(p);
      const auto over = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
      out[x] = static_cast<uint32_t>((over(qRed(p)) << 16) | (over(qGreen(p)) << 8) | over(qBlue(p)));
    }
  }
  return true;
}

bool EncodePng(const uint32_t* bits, int width, int height, int stride, std::vector<uint8_t>& png) {
  if (!bits || width <= 0 || height <= 0) return false;
  const QImage image(reinterpret_cast<const uchar*>(bits), width, height, stride * 4, QImage::Format_RGB32);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return false;
  png.assign(bytes.begin(), bytes.end());
  return true;
}

} // namespace backend
