#pragma once
// Theme files (".skn"): little-endian, packed records. A 24-byte header (magic "SkinKit_TB", header size,
// version, first entry offset), then 77-byte entry headers each followed by its data, ended by an all-zero
// entry header of type boolean. Pictures are embedded as whole bitmap files.
#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/core/AnsiString.h"
#include "classlib/core/Stream.h"
#include "classlib/core/StringList.h"
#include "classlib/graphics/Color.h"

class TBitmap;

constexpr int SK_THEMEFILE_HEADER_SIZE = 24;
constexpr int SK_THEMEFILE_ENTRY_SIZE = 77;
constexpr int SK_THEMEFILE_NAME_SIZE = 64;
inline constexpr const char* SK_THEMEFILE_MAGIC = "SkinKit_TB";
// Larger files are refused before they are read into memory.
constexpr int64_t SK_THEMEFILE_MAX_SIZE = int64_t{256} << 20;

// Entry types as stored in a theme file.
enum TskThemeEntryType : uint8_t { sktFile = 0, sktInteger = 1, sktBoolean = 2, sktString = 3 };

// Whether the named file starts with the magic.
bool IsSKThemeFile(const AnsiString& FileName);

// Collects entries and writes them all at once: files, then strings, then integers, then booleans, each
// group in the order added.
class TskThemeFileWriter {
 public:
  explicit TskThemeFileWriter(const AnsiString& FileName);
  TskThemeFileWriter(const TskThemeFileWriter&) = delete;
  TskThemeFileWriter& operator=(const TskThemeFileWriter&) = delete;
  // Writes the file (again). A failure here cannot be reported, so it is swallowed; call Save to learn of it.
  ~TskThemeFileWriter();

  void AddFile(const AnsiString& Name, const AnsiString& FileName);
  void AddStr(const AnsiString& Name, const AnsiString& Value);
  void AddInteger(const AnsiString& Name, int Value);
  void AddBool(const AnsiString& Name, bool Value);
  // Raises the class library's file exceptions when the target cannot be created or a source opened.
  void Save();

 private:
  AnsiString FFileName;
  TStringList FFiles;
  TStringList FInts;
  TStringList FBools;
  TStringList FStrs;
};

// Reads a whole theme file into memory; lookups are by name, without regard to case, the first entry of a
// name winning. A damaged file is read as far as it is intact, and Complete() says so.
class TskThemeFileReader {
 public:
  TskThemeFileReader() = default;
  // Raises EFOpenError when the file cannot be opened, EReadError when it is too large for memory.
  explicit TskThemeFileReader(const AnsiString& FileName);
  TskThemeFileReader(const TskThemeFileReader&) = delete;
  TskThemeFileReader& operator=(const TskThemeFileReader&) = delete;
  ~TskThemeFileReader();

  void Load(const AnsiString& FileName);
  // Reads from bytes already in memory; Load reads the file and comes here.
  void LoadFromBytes(const uint8_t* Data, size_t Size);

  // The entry's stream, rewound, still owned by the reader; null when there is no such file entry.
  TStream* GetFile(const AnsiString& Name);
  int GetInteger(const AnsiString& Name) const; // -1 when absent or not an integer
  bool GetBool(const AnsiString& Name) const;   // false when absent or unreadable
  AnsiString GetStr(const AnsiString& Name) const;
  // Whether the file had the magic and every entry up to the terminator was intact.
  bool Complete() const { return FComplete; }

  const TStrings& Files() const { return FFiles; }
  const TStrings& Integers() const { return FInts; }
  const TStrings& Bools() const { return FBools; }
  const TStrings& Strs() const { return FStrs; }

 private:
  TStringList FFiles; // names, each with its stream as object
  TStringList FInts;
  TStringList FBools;
  TStringList FStrs;
  std::vector<std::unique_ptr<TMemoryStream>> FStreams; // owns the file list's objects
  bool FComplete = false;
};

// Answers theme items, by item number, from a loaded theme file.
class TskFileThemeMgr {
 public:
  TskFileThemeMgr() = default;
  TskFileThemeMgr(const TskFileThemeMgr&) = delete;
  TskFileThemeMgr& operator=(const TskFileThemeMgr&) = delete;

  // False, keeping the items loaded before, when no such file exists. Raises EReadError, again keeping them,
  // when the file is not a complete theme file.
  bool LoadFromFile(const AnsiString& FileName);

  // Unchanged when nothing is loaded or the file lacks the item.
  void GetBitmap(int Index, TBitmap* Bitmap) const;
  bool GetBool(int Index) const;
  TColor GetColor(int Index) const; // 0 before any load, -1 for an absent item
  int GetInt(int Index) const;      // 0 before any load, -1 for an absent item

  const TskThemeFileReader* Reader() const { return FReader.get(); }

 private:
  std::unique_ptr<TskThemeFileReader> FReader;
};
