#include "classlib/core/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "classlib/core/Exception.h"

AnsiString IntToStr(int64_t Value) {
  return std::to_string(Value);
}

AnsiString IntToHex(int64_t Value, int Digits) {
  return Format("%0*llX", Digits, static_cast<unsigned long long>(Value));
}

bool TryStrToInt64(const AnsiString& S, int64_t& Value) {
  size_t i = 0;
  while (i < S.size() && (S[i] == ' ' || S[i] == '\t')) ++i;
  bool negative = false;
  if (i < S.size() && (S[i] == '-' || S[i] == '+')) negative = S[i++] == '-';
  int base = 10;
  if (i < S.size() && S[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < S.size() && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= S.size()) return false;
  uint64_t magnitude = 0;
  const char* first = S.data() + i;
  const char* last = S.data() + S.size();
  const auto [end, ec] = std::from_chars(first, last, magnitude, base);
  if (ec != std::errc() || end != last) return false;
  if (base == 16) {
    // Hexadecimal is a bit pattern: $FFFFFFFF is -1 as a 32-bit value, as in the callers' colour constants.
    Value = static_cast<int64_t>(magnitude);
    if (negative) Value = -Value;
    return true;
  }
  if (negative) {
    if (magnitude > static_cast<uint64_t>(INT64_MAX) + 1) return false;
    Value = static_cast<int64_t>(0 - magnitude);
  } else {
    if (magnitude > static_cast<uint64_t>(INT64_MAX)) return false;
    Value = static_cast<int64_t>(magnitude);
  }
  return true;
}

bool TryStrToInt(const AnsiString& S, int& Value) {
  int64_t v = 0;
  if (!TryStrToInt64(S, v)) return false;
  const bool hex =
      S.find('$') != AnsiString::npos || S.find("0x") != AnsiString::npos || S.find("0X") != AnsiString::npos;
  if (hex && v >= 0 && v <= static_cast<int64_t>(UINT32_MAX)) {
    Value = static_cast<int>(static_cast<uint32_t>(v));
    return true;
  }
  if (v < INT_MIN || v > INT_MAX) return false;
  Value = static_cast<int>(v);
  return true;
}

int StrToInt(const AnsiString& S) {
  int v = 0;
  if (!TryStrToInt(S, v)) throw EConvertError(Format("'%s' is not a valid integer value", S.c_str()));
  return v;
}

int StrToIntDef(const AnsiString& S, int Default) {
  int v = 0;
  return TryStrToInt(S, v) ? v : Default;
}

int64_t StrToInt64(const AnsiString& S) {
  int64_t v = 0;
  if (!TryStrToInt64(S, v)) throw EConvertError(Format("'%s' is not a valid integer value", S.c_str()));
  return v;
}

bool TryStrToFloat(const AnsiString& S, double& Value) {
  const AnsiString t = Trim(S);
  if (t.empty()) return false;
  const char* first = t.data();
  if (*first == '+') ++first;
  const auto [end, ec] = std::from_chars(first, t.data() + t.size(), Value);
  return ec == std::errc() && end == t.data() + t.size();
}

double StrToFloat(const AnsiString& S) {
  double v = 0;
  if (!TryStrToFloat(S, v))
    throw EConvertError(Format("'%s' is not a valid floating point value", S.c_str()));
  return v;
}

AnsiString FloatToStr(double Value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, Value);
  return ec == std::errc() ? AnsiString(buffer, end) : AnsiString("0");
}

AnsiString UpperCase(const AnsiString& S) {
  AnsiString r = S;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

AnsiString LowerCase(const AnsiString& S) {
  AnsiString r = S;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

int CompareText(const AnsiString& S1, const AnsiString& S2) {
  const size_t n = std::min(S1.size(), S2.size());
  for (size_t i = 0; i < n; ++i) {
    const int a = std::tolower(static_cast<unsigned char>(S1[i]));
    const int b = std::tolower(static_cast<unsigned char>(S2[i]));
    if (a != b) return a - b;
  }
  return S1.size() < S2.size() ? -1 : S1.size() > S2.size() ? 1 : 0;
}

bool SameText(const AnsiString& S1, const AnsiString& S2) {
  return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

namespace {
// The lower-case letter of a Western code-page character; other characters stay. The multiplication sign
// (0xD7) stands where a capital letter would, and has no small counterpart.
unsigned char AnsiLower(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
    return static_cast<unsigned char>(c + 0x20);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 0x10); // Š Œ Ž
  if (c == 0x9F) return 0xFF;                                                           // Ÿ
  return c;
}
} // namespace

bool AnsiSameText(const AnsiString& S1, const AnsiString& S2) {
  if (S1.size() != S2.size()) return false;
  for (size_t i = 0; i < S1.size(); ++i)
    if (AnsiLower(static_cast<unsigned char>(S1[i])) != AnsiLower(static_cast<unsigned char>(S2[i])))
      return false;
  return true;
}

int CompareStr(const AnsiString& S1, const AnsiString& S2) {
  const int c = S1.compare(S2);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

namespace {
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}
} // namespace

AnsiString TrimLeft(const AnsiString& S) {
  size_t i = 0;
  while (i < S.size() && IsBlank(S[i])) ++i;
  return S.substr(i);
}

AnsiString TrimRight(const AnsiString& S) {
  size_t n = S.size();
  while (n > 0 && IsBlank(S[n - 1])) --n;
  return S.substr(0, n);
}

AnsiString Trim(const AnsiString& S) {
  return TrimLeft(TrimRight(S));
}

int Pos(const AnsiString& Sub, const AnsiString& S) {
  if (Sub.empty()) return 0;
  const size_t p = S.find(Sub);
  return p == AnsiString::npos ? 0 : static_cast<int>(p) + 1;
}

AnsiString StringReplaceAll(const AnsiString& S, const AnsiString& OldPattern, const AnsiString& NewPattern) {
  if (OldPattern.empty()) return S;
  AnsiString r;
  size_t start = 0;
  for (size_t p; (p = S.find(OldPattern, start)) != AnsiString::npos; start = p + OldPattern.size())
    r += S.substr(start, p - start) + NewPattern;
  return r + S.substr(start);
}

bool IsPathDelimiter(char C) {
  return C == '/' || C == '\\';
}

AnsiString NativePath(const AnsiString& FileName) {
  AnsiString r = FileName;
  for (char& c : r)
    if (c == '\\') c = '/';
  return r;
}

namespace {
// Index just after the last separator (or drive colon), 0 when there is none.
size_t FileNameStart(const AnsiString& FileName) {
  const size_t p = FileName.find_last_of("/\\:");
  return p == AnsiString::npos ? 0 : p + 1;
}
} // namespace

AnsiString ExtractFilePath(const AnsiString& FileName) {
  return FileName.substr(0, FileNameStart(FileName));
}

AnsiString ExtractFileDir(const AnsiString& FileName) {
  size_t n = FileNameStart(FileName);
  // Keep a root separator ("/", "C:\") and a drive colon; drop any other trailing separator.
  if (n > 1 && IsPathDelimiter(FileName[n - 1]) && FileName[n - 2] != ':') --n;
  return FileName.substr(0, n);
}

AnsiString ExtractFileName(const AnsiString& FileName) {
  return FileName.substr(FileNameStart(FileName));
}

AnsiString ExtractFileExt(const AnsiString& FileName) {
  const size_t start = FileNameStart(FileName);
  const size_t dot = FileName.rfind('.');
  if (dot == AnsiString::npos || dot < start) return {};
  return FileName.substr(dot);
}

AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Extension) {
  const size_t start = FileNameStart(FileName);
  const size_t dot = FileName.rfind('.');
  if (dot == AnsiString::npos || dot < start) return FileName + Extension;
  return FileName.substr(0, dot) + Extension;
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& S) {
  if (!S.empty() && IsPathDelimiter(S.back())) return S;
  return S + PathDelim;
}

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& S) {
  if (S.size() > 1 && IsPathDelimiter(S.back())) return S.substr(0, S.size() - 1);
  return S;
}

AnsiString ExpandFileName(const AnsiString& FileName) {
  const AnsiString path = NativePath(FileName);
  const AnsiString full =
      !path.empty() && path[0] == '/' ? path : IncludeTrailingPathDelimiter(GetCurrentDir()) + path;
  // Fold "." and ".." segments.
  std::vector<AnsiString> parts;
  size_t start = 1;
  while (start <= full.size()) {
    size_t end = full.find('/', start);
    if (end == AnsiString::npos) end = full.size();
    const AnsiString part = full.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  AnsiString r;
  for (const AnsiString& p : parts) r += "/" + p;
  if (r.empty() || (!path.empty() && path.back() == '/')) r += "/";
  return r;
}

bool FileExists(const AnsiString& FileName) {
  struct stat st {};
  return !FileName.empty() && ::stat(NativePath(FileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const AnsiString& Name) {
  struct stat st {};
  return !Name.empty() && ::stat(NativePath(Name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int OpenRegularFile(const AnsiString& FileName, int Flags, AnsiString& Reason, int Mode) {
  // Without O_NONBLOCK, opening a FIFO waits for the other end for ever.
  const int fd = ::open(NativePath(FileName).c_str(), Flags | O_NONBLOCK | O_CLOEXEC, Mode);
  if (fd < 0) {
    Reason = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    Reason = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "Not a regular file";
    ::close(fd);
    return -1;
  }
  return fd;
}

bool DeleteFile(const AnsiString& FileName) {
  return FileExists(FileName) && ::unlink(NativePath(FileName).c_str()) == 0;
}

bool RenameFile(const AnsiString& OldName, const AnsiString& NewName) {
  return ::rename(NativePath(OldName).c_str(), NativePath(NewName).c_str()) == 0;
}

bool CreateDir(const AnsiString& Dir) {
  return ::mkdir(NativePath(Dir).c_str(), 0777) == 0;
}

bool ForceDirectories(const AnsiString& Dir) {
  const AnsiString path = ExcludeTrailingPathDelimiter(NativePath(Dir));
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  const AnsiString parent = ExtractFileDir(path);
  if (!parent.empty() && parent != path && !ForceDirectories(parent)) return false;
  return CreateDir(path) || DirectoryExists(path);
}

int64_t FileSizeOf(const AnsiString& FileName) {
  struct stat st {};
  if (!FileExists(FileName) || ::stat(NativePath(FileName).c_str(), &st) != 0) return -1;
  return st.st_size;
}

AnsiString GetCurrentDir() {
  std::vector<char> buffer(4096);
  while (!::getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

bool SetCurrentDir(const AnsiString& Dir) {
  return ::chdir(NativePath(Dir).c_str()) == 0;
}

AnsiString GetTempDir() {
  for (const char* var : {"TMPDIR", "TEMP", "TMP"}) {
    const char* value = std::getenv(var);
    if (value && *value && DirectoryExists(value)) return IncludeTrailingPathDelimiter(value);
  }
  return "/tmp/";
}

AnsiString GetExeName() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) return AnsiString(buffer.data(), static_cast<size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

AnsiString GetExeDir() {
  return ExtractFilePath(GetExeName());
}

namespace {

bool MiddleEastFromEnvironment() {
  for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(var);
    if (!value || !*value) continue;
    const std::string lang(value, std::min<size_t>(2, std::strlen(value)));
    return lang == "ar" || lang == "he" || lang == "iw" || lang == "fa" || lang == "ur";
  }
  return false;
}

} // namespace

TSysLocale SysLocale{MiddleEastFromEnvironment()};
