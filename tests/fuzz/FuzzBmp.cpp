// BMP files: a picture decodes or raises EInvalidGraphic; nothing else may happen.
#include <cstddef>
#include <cstdint>

#include "classlib/core/Exception.h"
#include "classlib/graphics/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TBitmap bitmap;
  try {
    bitmap.LoadFromMemory(Data, Size);
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
