#include "classlib/core/Resources.h"

#include <map>
#include <mutex>
#include <utility>

#include "classlib/core/Exception.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"

QUENDREL_REGISTER_CLASS(TResourceStream, TCustomMemoryStream) {}

namespace {

struct ResourceTable {
  std::mutex Lock;
  std::map<std::pair<AnsiString, int>, TResourceEntry> Entries; // keyed by upper-case name and type
};

ResourceTable& Table() {
  static ResourceTable table;
  return table;
}

} // namespace

void RegisterResource(const char* Name, int Type, const uint8_t* Data, size_t Size) {
  ResourceTable& t = Table();
  std::lock_guard lock(t.Lock);
  t.Entries[{UpperCase(Name), Type}] = TResourceEntry{Name, Type, std::span<const uint8_t>(Data, Size)};
}

const TResourceEntry* FindResourceData(const AnsiString& Name, int Type) {
  ResourceTable& t = Table();
  std::lock_guard lock(t.Lock);
  const auto it = t.Entries.find({UpperCase(Name), Type});
  return it == t.Entries.end() ? nullptr : &it->second;
}

int ResourceTypeFromName(const AnsiString& TypeName) {
  const AnsiString t = UpperCase(TypeName);
  if (t == "RCDATA") return RT_RCDATA;
  if (t == "BITMAP") return RT_BITMAP;
  if (t == "ICON") return RT_ICON;
  if (t == "STRING") return RT_STRING;
  return -1;
}

TResourceStream::TResourceStream(const AnsiString& ResName, int ResType) {
  const TResourceEntry* entry = FindResourceData(ResName, ResType);
  if (!entry) throw EResNotFound(Format("Resource %s not found", ResName.c_str()));
  SetPointer(entry->Data.data(), static_cast<int64_t>(entry->Data.size()));
}

int64_t TResourceStream::Write(const void*, int64_t) {
  throw EStreamError("Cannot write to a read-only resource stream");
}
