#pragma once
// TIniFile: a settings file of "[Section]" headers and "Key=Value" lines. Sections and keys compare without
// regard to letter case, keys may contain blanks, and the first of two equal keys wins. Every read looks at
// the file as it is now; every write rewrites it whole through a temporary file that replaces the old one in
// one step, keeping every other section, key, blank line and comment, the file's permissions, and a symbolic
// link (the link's target is rewritten). Writers lock the file's folder for their read-modify-write, so that
// writers in several processes lose no updates.
#include <vector>

#include "classlib/core/AnsiString.h"
#include "classlib/core/Exception.h"
#include "classlib/core/Object.h"

class TStrings;

class TIniFile : public TObject {
  QUENDREL_CLASS(TIniFile, TObject)
 public:
  explicit TIniFile(const AnsiString& FileName);

  const AnsiString& FileName() const { return FFileName; }

  // A missing file, section or key gives Default; so does an integer value that is not a number.
  AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) const;
  int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) const;
  bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) const;
  // Raise EFOpenError when the file exists but cannot be read (writing would lose what it holds),
  // EFCreateError or EWriteError when it cannot be written (a read-only file included); the old file is then
  // left as it was. WriteString raises EIniFileException, writing nothing, for what could not be read back:
  // a line break anywhere; a section name with "]" or outer blanks; an empty key, a key with "=" or outer
  // blanks, or one beginning with ";", "#" or "[". A value with outer blanks or enclosing quotes is stored
  // inside one more pair of quotes, so that it reads back as it was.
  void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
  void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
  void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);

  bool SectionExists(const AnsiString& Section) const;
  bool ValueExists(const AnsiString& Section, const AnsiString& Ident) const;
  void ReadSections(TStrings* Strings) const;
  void ReadSection(const AnsiString& Section, TStrings* Strings) const;       // the keys
  void ReadSectionValues(const AnsiString& Section, TStrings* Strings) const; // "key=value" lines
  void EraseSection(const AnsiString& Section);
  void DeleteKey(const AnsiString& Section, const AnsiString& Ident);
  // Writes are never held back, so there is nothing to flush.
  void UpdateFile() {}

 private:
  struct TLine {
    AnsiString Text;    // the line as it stands in the file
    AnsiString Section; // section header lines: the name
    AnsiString Key;     // key lines: the name (trimmed)
    AnsiString Value;   // key lines: the value (trimmed, one pair of enclosing quotes removed)
    bool IsSection = false;
    bool IsKey = false;
  };
  struct TContent {
    std::vector<TLine> Lines;
    bool CRLF = false;
  };

  // ForChange: an unreadable file raises instead of reading as empty.
  TContent Load(bool ForChange) const;
  // Target: the file name with symbolic links resolved.
  void Save(const TContent& Content, const AnsiString& Target) const;
  // Locked read, Edit, and save when Edit answers true.
  template <class F> void Change(F Edit);
  // Index of the key's line in Section, -1 when absent.
  static int FindKey(const TContent& Content, const AnsiString& Section, const AnsiString& Ident);
  static TLine ParseLine(const AnsiString& Text);

  AnsiString FFileName;
};
