#include "classlib/core/IniFiles.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "classlib/core/Exception.h"
#include "classlib/core/FileReplace.h"
#include "classlib/core/Stream.h"
#include "classlib/core/StringList.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"

QUENDREL_REGISTER_CLASS(TIniFile, TObject) {}

namespace {

// Larger files are not settings: reading one whole could exhaust memory.
constexpr int64_t MaxIniFileSize = int64_t{64} << 20;

// Holds the lock of a settings file's folder from construction to destruction, so that read-modify-write
// cycles of several processes (or threads) on files of one folder follow one another. Without a folder to
// lock, writing goes on unlocked: the write itself still replaces the file in one step.
class TFolderLock {
 public:
  explicit TFolderLock(const AnsiString& Target) {
    FHandle = ::open(FolderOf(Target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (FHandle >= 0)
      while (::flock(FHandle, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~TFolderLock() {
    if (FHandle >= 0) ::close(FHandle);
  }
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

 private:
  int FHandle = -1;
};

bool HasLineBreak(const AnsiString& S) {
  return S.find_first_of("\r\n") != AnsiString::npos;
}

// A value that the reader would trim or unquote is stored inside one more pair of quotes, which it removes.
AnsiString QuotedValue(const AnsiString& Value) {
  const bool quoted = Value.size() >= 2 && (Value[0] == '"' || Value[0] == '\'') && Value.back() == Value[0];
  return quoted || Trim(Value) != Value ? "\"" + Value + "\"" : Value;
}

} // namespace

TIniFile::TIniFile(const AnsiString& FileName) : FFileName(FileName) {}

TIniFile::TLine TIniFile::ParseLine(const AnsiString& Text) {
  TLine line;
  line.Text = Text;
  const AnsiString t = Trim(Text);
  if (t.empty() || t[0] == ';' || t[0] == '#') return line;
  if (t[0] == '[') {
    const size_t close = t.find(']');
    if (close != AnsiString::npos) {
      line.IsSection = true;
      line.Section = Trim(t.substr(1, close - 1));
    }
    return line;
  }
  const size_t eq = t.find('=');
  if (eq == AnsiString::npos || eq == 0) return line;
  line.IsKey = true;
  line.Key = Trim(t.substr(0, eq));
  AnsiString value = Trim(t.substr(eq + 1));
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  line.Value = value;
  return line;
}

TIniFile::TContent TIniFile::Load(bool ForChange) const {
  TContent content;
  const AnsiString path = NativePath(FFileName);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR || !ForChange) return content;
    throw EFOpenError(Format("Cannot open file \"%s\". %s", FFileName.c_str(), std::strerror(errno)));
  }
  AnsiString text;
  try {
    text = ReadWholeFile(FFileName, MaxIniFileSize);
  } catch (const EStreamError&) {
    // Reading, an unreadable file reads as an empty one; changing it would lose what could not be read.
    if (ForChange) throw;
    return content;
  }
  content.CRLF = text.find("\r\n") != AnsiString::npos;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == AnsiString::npos) end = text.size();
    AnsiString line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    content.Lines.push_back(ParseLine(line));
    start = end + 1;
  }
  return content;
}

void TIniFile::Save(const TContent& Content, const AnsiString& Target) const {
  AnsiString text;
  const char* eol = Content.CRLF ? "\r\n" : "\n";
  for (const TLine& line : Content.Lines) text += line.Text + eol;
  ReplaceFileContents(Target, text, FFileName);
}

template <class F> void TIniFile::Change(F Edit) {
  const AnsiString target = ResolveLinks(FFileName, FFileName);
  const TFolderLock lock(target);
  TContent content = Load(true);
  if (Edit(content)) Save(content, target);
}

int TIniFile::FindKey(const TContent& Content, const AnsiString& Section, const AnsiString& Ident) {
  bool inSection = false;
  for (size_t i = 0; i < Content.Lines.size(); ++i) {
    const TLine& line = Content.Lines[i];
    if (line.IsSection)
      inSection = SameText(line.Section, Section);
    else if (inSection && line.IsKey && SameText(line.Key, Ident))
      return static_cast<int>(i);
  }
  return -1;
}

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                const AnsiString& Default) const {
  const TContent content = Load(false);
  const int i = FindKey(content, Section, Ident);
  return i < 0 ? Default : content.Lines[static_cast<size_t>(i)].Value;
}

int TIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) const {
  const AnsiString s = ReadString(Section, Ident, AnsiString());
  return s.empty() ? Default : StrToIntDef(s, Default);
}

bool TIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  // What the reader could not find again is refused rather than written.
  if (HasLineBreak(Section) || Section.find(']') != AnsiString::npos || Trim(Section) != Section)
    throw EIniFileException(Format("Invalid section name \"%s\"", Section.c_str()));
  if (Ident.empty() || HasLineBreak(Ident) || Ident.find('=') != AnsiString::npos || Trim(Ident) != Ident ||
      Ident[0] == ';' || Ident[0] == '#' || Ident[0] == '[')
    throw EIniFileException(Format("Invalid key name \"%s\"", Ident.c_str()));
  if (HasLineBreak(Value)) throw EIniFileException(Format("Value of \"%s\" has a line break", Ident.c_str()));
  const TLine entry = ParseLine(Ident + "=" + QuotedValue(Value));
  Change([&](TContent& content) {
    const int i = FindKey(content, Section, Ident);
    if (i >= 0) {
      content.Lines[static_cast<size_t>(i)] = entry;
      return true;
    }
    // A new key goes after the last key of the first section of that name; a new section goes at the end.
    int sectionAt = -1;
    int insertAt = -1;
    for (size_t k = 0; k < content.Lines.size(); ++k) {
      const TLine& line = content.Lines[k];
      if (line.IsSection) {
        if (sectionAt >= 0) break;
        if (SameText(line.Section, Section)) sectionAt = insertAt = static_cast<int>(k);
      } else if (sectionAt >= 0 && line.IsKey) {
        insertAt = static_cast<int>(k);
      }
    }
    if (sectionAt < 0) {
      if (!content.Lines.empty() && !Trim(content.Lines.back().Text).empty())
        content.Lines.push_back(ParseLine(""));
      content.Lines.push_back(ParseLine("[" + Section + "]"));
      content.Lines.push_back(entry);
    } else {
      content.Lines.insert(content.Lines.begin() + insertAt + 1, entry);
    }
    return true;
  });
}

void TIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

bool TIniFile::SectionExists(const AnsiString& Section) const {
  for (const TLine& line : Load(false).Lines)
    if (line.IsSection && SameText(line.Section, Section)) return true;
  return false;
}

bool TIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) const {
  return FindKey(Load(false), Section, Ident) >= 0;
}

void TIniFile::ReadSections(TStrings* Strings) const {
  Strings->BeginUpdate();
  Strings->Clear();
  for (const TLine& line : Load(false).Lines)
    if (line.IsSection && Strings->IndexOf(line.Section) < 0) Strings->Add(line.Section);
  Strings->EndUpdate();
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) const {
  Strings->BeginUpdate();
  Strings->Clear();
  bool inSection = false;
  for (const TLine& line : Load(false).Lines) {
    if (line.IsSection)
      inSection = SameText(line.Section, Section);
    else if (inSection && line.IsKey && Strings->IndexOf(line.Key) < 0)
      Strings->Add(line.Key);
  }
  Strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) const {
  Strings->BeginUpdate();
  Strings->Clear();
  bool inSection = false;
  for (const TLine& line : Load(false).Lines) {
    if (line.IsSection)
      inSection = SameText(line.Section, Section);
    else if (inSection && line.IsKey && Strings->IndexOfName(line.Key) < 0)
      Strings->Add(line.Key + "=" + line.Value);
  }
  Strings->EndUpdate();
}

void TIniFile::EraseSection(const AnsiString& Section) {
  Change([&](TContent& content) {
    std::vector<TLine> kept;
    bool inSection = false;
    bool changed = false;
    for (TLine& line : content.Lines) {
      if (line.IsSection) inSection = SameText(line.Section, Section);
      if (inSection)
        changed = true;
      else
        kept.push_back(std::move(line));
    }
    if (changed) content.Lines = std::move(kept);
    return changed;
  });
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  Change([&](TContent& content) {
    const int i = FindKey(content, Section, Ident);
    if (i < 0) return false;
    content.Lines.erase(content.Lines.begin() + i);
    return true;
  });
}
