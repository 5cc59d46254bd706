// Pictures of the other formats (PNG, GIF, ...), decoded by the backend: a picture or EInvalidGraphic.
#include <cstddef>
#include <cstdint>

#include "classlib/core/Exception.h"
#include "classlib/core/Stream.h"
#include "classlib/graphics/RasterImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream stream;
  stream.WriteBuffer(Data, static_cast<int64_t>(Size));
  stream.SetPosition(0);
  TRasterImage image;
  try {
    image.LoadFromStream(&stream);
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
