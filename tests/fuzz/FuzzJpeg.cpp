// JPEG files, decoded by libjpeg: a picture or EInvalidGraphic, within the picture size limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "classlib/core/Exception.h"
#include "classlib/graphics/BmpCodec.h"
#include "classlib/graphics/JPEGImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TJPEGImage image;
  try {
    image.LoadFromMemory(Data, Size);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  if (int64_t{image.Width()} * image.Height() > MaxPicturePixels) std::abort();
  return 0;
}
