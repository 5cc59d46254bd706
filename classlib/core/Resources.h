#pragma once
// Named resources compiled into the program: form streams (RCDATA), bitmaps, icons and strings. The build
// turns files into registrations (tools/embed, resources/CMakeLists.txt); the program finds them by name and
// type. Names compare without regard to letter case.
#include <cstddef>
#include <cstdint>
#include <span>

#include "classlib/core/AnsiString.h"
#include "classlib/core/Stream.h"

// Resource types, with the values the callers know them by.
constexpr int RT_BITMAP = 2;
constexpr int RT_ICON = 3;
constexpr int RT_STRING = 6;
constexpr int RT_RCDATA = 10;

struct TResourceEntry {
  const char* Name;
  int Type;
  std::span<const uint8_t> Data;
};

// Registers a resource whose bytes live as long as the program (a second registration of the same name and
// type replaces the first).
void RegisterResource(const char* Name, int Type, const uint8_t* Data, size_t Size);
// The resource's entry, or null when there is none.
const TResourceEntry* FindResourceData(const AnsiString& Name, int Type);
// The type names used by the build: "RCDATA", "BITMAP", "ICON", "STRING"; -1 for anything else.
int ResourceTypeFromName(const AnsiString& TypeName);

// A read-only stream over a resource. Raises EResNotFound "Resource <name> not found".
class TResourceStream : public TCustomMemoryStream {
  QUENDREL_CLASS(TResourceStream, TCustomMemoryStream)
 public:
  TResourceStream(const AnsiString& ResName, int ResType);
  // The module handle of the old interface is accepted and not needed: there is one module.
  TResourceStream(uintptr_t Instance, const AnsiString& ResName, int ResType)
      : TResourceStream(ResName, ResType) {
    (void)Instance;
  }
  int64_t Write(const void* Buffer, int64_t Count) override;
};
