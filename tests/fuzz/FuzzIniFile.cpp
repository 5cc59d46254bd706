// Settings files: any bytes read; a write changes only its own key, keeps every other section as it read, and
// stores a value so that it reads back unchanged, or refuses it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "classlib/core/Exception.h"
#include "classlib/core/IniFiles.h"
#include "classlib/core/StringList.h"
#include "classlib/core/SysUtils.h"

namespace {

std::string Folder() {
  static const std::string folder = [] {
    std::string pattern = GetTempDir() + "quendrel-fuzz-ini-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return folder;
}

// Every section but Skip, each with its "key=value" lines.
std::string Snapshot(const TIniFile& ini, const AnsiString& Skip) {
  TStringList sections, values;
  ini.ReadSections(&sections);
  std::string all;
  for (int i = 0; i < sections.Count(); ++i) {
    if (SameText(sections.Strings(i), Skip)) continue;
    ini.ReadSectionValues(sections.Strings(i), &values);
    all += "[" + sections.Strings(i) + "]\n" + values.Text();
  }
  return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string file = Folder() + "/fuzz.ini";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
  }
  TIniFile ini(file);
  const std::string before = Snapshot(ini, "Fuzz");
  // The value comes from the input's last bytes, so that values of every kind are tried.
  const size_t tail = Size < 12 ? Size : 12;
  const AnsiString value(reinterpret_cast<const char*>(Data) + Size - tail, tail);
  try {
    ini.WriteString("Fuzz", "Key", value);
  } catch (const EIniFileException&) {
    return 0;
  }
  if (ini.ReadString("Fuzz", "Key",
                     "\x01"
                     "absent") != value)
    std::abort();
  if (Snapshot(ini, "Fuzz") != before) std::abort();
  return 0;
}
