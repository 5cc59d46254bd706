// Theme files: the reader keeps what it can, never more bytes than the file holds, and reports damage.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "classlib/core/Exception.h"
#include "classlib/core/Stream.h"
#include "skin/SKThemeFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TskThemeFileReader reader;
  try {
    reader.LoadFromBytes(Data, Size);
  } catch (const EReadError&) {
    return 0;
  }
  size_t held = 0;
  for (int i = 0; i < reader.Files().Count(); ++i) {
    TStream* stream = reader.GetFile(reader.Files().Strings(i));
    held += static_cast<size_t>(stream->Size());
  }
  for (int i = 0; i < reader.Strs().Count(); ++i) held += reader.Strs().Strings(i).size();
  // Entries never share bytes, so what the reader holds is bounded by the file (names and "=" included).
  if (held > Size + static_cast<size_t>(reader.Strs().Count()) * (SK_THEMEFILE_NAME_SIZE + 1)) std::abort();
  (void)reader.GetInteger("FormBackgroundColor");
  (void)reader.GetBool("ButtonTransparentBool");
  return 0;
}
