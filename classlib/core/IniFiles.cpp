#include "classlib/core/IniFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "classlib/core/Exception.h"
#include "classlib/core/Stream.h"
#include "classlib/core/StringList.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"

QUENDREL_REGISTER_CLASS(TIniFile, TObject) {}

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

TIniFile::TContent TIniFile::Load() const {
  TContent content;
  if (!FileExists(FFileName)) return content;
  AnsiString text;
  try {
    TFileStream file(FFileName, fmOpenRead | fmShareDenyWrite);
    const int64_t size = file.Size();
    text.resize(static_cast<size_t>(size));
    text.resize(static_cast<size_t>(file.Read(text.data(), size)));
  } catch (const EFOpenError&) {
    return content; // an unreadable file reads as an empty one
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

void TIniFile::Save(const TContent& Content) const {
  AnsiString text;
  const char* eol = Content.CRLF ? "\r\n" : "\n";
  for (const TLine& line : Content.Lines) text += line.Text + eol;

  // The new file is complete on disk before it takes the old one's place, so a crash leaves one or the other.
  const AnsiString target = NativePath(FFileName);
  std::random_device random;
  const AnsiString temp = Format("%s.%08x.tmp", target.c_str(), static_cast<unsigned>(random()));
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0)
    throw EFCreateError(Format("Cannot create file \"%s\". %s", temp.c_str(), std::strerror(errno)));
  size_t done = 0;
  bool ok = true;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  struct stat st {};
  if (ok && ::stat(target.c_str(), &st) == 0) (void)::fchmod(fd, st.st_mode & 07777);
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    throw EWriteError(Format("Cannot write file \"%s\". %s", FFileName.c_str(), std::strerror(error)));
  }
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
  const TContent content = Load();
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
  TContent content = Load();
  const AnsiString text = Trim(Ident) + "=" + Value;
  const int i = FindKey(content, Section, Ident);
  if (i >= 0) {
    content.Lines[static_cast<size_t>(i)] = ParseLine(text);
    Save(content);
    return;
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
    content.Lines.push_back(ParseLine(text));
  } else {
    content.Lines.insert(content.Lines.begin() + insertAt + 1, ParseLine(text));
  }
  Save(content);
}

void TIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

bool TIniFile::SectionExists(const AnsiString& Section) const {
  for (const TLine& line : Load().Lines)
    if (line.IsSection && SameText(line.Section, Section)) return true;
  return false;
}

bool TIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) const {
  return FindKey(Load(), Section, Ident) >= 0;
}

void TIniFile::ReadSections(TStrings* Strings) const {
  Strings->BeginUpdate();
  Strings->Clear();
  for (const TLine& line : Load().Lines)
    if (line.IsSection && Strings->IndexOf(line.Section) < 0) Strings->Add(line.Section);
  Strings->EndUpdate();
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) const {
  Strings->BeginUpdate();
  Strings->Clear();
  bool inSection = false;
  for (const TLine& line : Load().Lines) {
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
  for (const TLine& line : Load().Lines) {
    if (line.IsSection)
      inSection = SameText(line.Section, Section);
    else if (inSection && line.IsKey && Strings->IndexOfName(line.Key) < 0)
      Strings->Add(line.Key + "=" + line.Value);
  }
  Strings->EndUpdate();
}

void TIniFile::EraseSection(const AnsiString& Section) {
  TContent content = Load();
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
  if (!changed) return;
  content.Lines = std::move(kept);
  Save(content);
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
  TContent content = Load();
  const int i = FindKey(content, Section, Ident);
  if (i < 0) return;
  content.Lines.erase(content.Lines.begin() + i);
  Save(content);
}
