#pragma once
// Scratch folders and hand-made theme file bytes for the skin tests.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "classlib/core/AnsiString.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/Types.h"
#include "classlib/graphics/Bitmap.h"
#include "classlib/graphics/Canvas.h"
#include "skin/SKThemes.h"
#include "tests/support/TestSupport.h"

namespace skintest {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    Path = std::filesystem::temp_directory_path() /
           ("quendrel-skin-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  AnsiString File(const std::string& name) const { return (Path / name).string(); }

  std::filesystem::path Path;
};

inline void WriteBytes(const AnsiString& file, const std::vector<uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const AnsiString& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Where a style's checked and unchecked box pictures (pieces 1 and 2 of a four-piece strip, 3 and 4 when
// disabled; item 3 for check boxes, 4 for radio buttons) first differ, and their colours there: a pixel of
// the check mark.
struct CheckMarkPixel {
  TPoint At{-1, -1};
  TColor Checked = 0;
  TColor Unchecked = 0;
  int BoxWidth = 0;
  int BoxHeight = 0;
};

inline CheckMarkPixel CheckMark(TskUIStyle Style, int Item, bool Enabled = true) {
  TBitmap on, off;
  GetInsideThemeBitmap(Style, Item, &on, 4, Enabled ? 1 : 3);
  GetInsideThemeBitmap(Style, Item, &off, 4, Enabled ? 2 : 4);
  CheckMarkPixel m;
  m.BoxWidth = on.Width();
  m.BoxHeight = on.Height();
  for (int y = 0; y < on.Height() && m.At.X < 0; ++y)
    for (int x = 0; x < on.Width(); ++x) {
      const TColor a = on.Canvas()->Pixels(x, y), b = off.Canvas()->Pixels(x, y);
      if (a == b || a == 0xFF00FF || b == 0xFF00FF) continue; // the key shows the background
      m.At = {x, y};
      m.Checked = a;
      m.Unchecked = b;
      break;
    }
  return m;
}

// How many pixels of Picture, drawn with its top-left corner at (X, Y) of Surface, show otherwise there.
// Pixels in the colour of the picture's corner or in the magenta key may show what is behind instead.
inline int PictureMismatches(const TSurface& Surface, int X, int Y, TBitmap& Picture) {
  const TColor key = Picture.Canvas()->Pixels(0, 0);
  int wrong = 0;
  for (int y = 0; y < Picture.Height(); ++y)
    for (int x = 0; x < Picture.Width(); ++x) {
      const TColor want = Picture.Canvas()->Pixels(x, y);
      if (want != key && want != 0xFF00FF && testsupport::PixelAt(Surface, X + x, Y + y) != want) ++wrong;
    }
  return wrong;
}

// Sets the system locale's right-to-left flag for the length of a test.
class ScopedMiddleEastLocale {
 public:
  explicit ScopedMiddleEastLocale(bool MiddleEast) : FOld(SysLocale.MiddleEast) {
    SysLocale.MiddleEast = MiddleEast;
  }
  ~ScopedMiddleEastLocale() { SysLocale.MiddleEast = FOld; }
  ScopedMiddleEastLocale(const ScopedMiddleEastLocale&) = delete;
  ScopedMiddleEastLocale& operator=(const ScopedMiddleEastLocale&) = delete;

 private:
  bool FOld;
};

// Sets an environment variable for the length of a test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const AnsiString& value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old, FHad = true;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (FHad)
      setenv(FName, FOld.c_str(), 1);
    else
      unsetenv(FName);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* FName;
  AnsiString FOld;
  bool FHad = false;
};

// Builds theme file bytes field by field, so that tests can also build damaged ones.
class ThemeBytes {
 public:
  explicit ThemeBytes(uint32_t headerSize = 24, uint32_t firstEntry = 24) {
    Bytes.assign(12, 0);
    std::memcpy(Bytes.data(), "SkinKit_TB", 10);
    U32(headerSize);
    U32(1);
    U32(firstEntry);
    while (Bytes.size() < firstEntry) Bytes.push_back(0);
  }

  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) Bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }

  // An entry whose header tells the truth unless `next` is given.
  size_t Entry(const std::string& name, uint8_t type, const std::vector<uint8_t>& data, int64_t next = -1) {
    const size_t at = Bytes.size();
    std::vector<uint8_t> field(64, 0);
    std::memcpy(field.data(), name.data(), std::min<size_t>(name.size(), 64));
    Bytes.insert(Bytes.end(), field.begin(), field.end());
    Bytes.push_back(type);
    const auto dataOffset = static_cast<uint32_t>(at + 77);
    U32(dataOffset);
    U32(static_cast<uint32_t>(data.size()));
    U32(next < 0 ? dataOffset + static_cast<uint32_t>(data.size()) : static_cast<uint32_t>(next));
    Bytes.insert(Bytes.end(), data.begin(), data.end());
    return at;
  }
  size_t Int(const std::string& name, int32_t v) {
    std::vector<uint8_t> d;
    for (int i = 0; i < 4; ++i) d.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return Entry(name, 1, d);
  }
  void Terminator() {
    std::vector<uint8_t> t(77, 0);
    t[64] = 2;
    Bytes.insert(Bytes.end(), t.begin(), t.end());
  }

  std::vector<uint8_t> Bytes;
};

} // namespace skintest
