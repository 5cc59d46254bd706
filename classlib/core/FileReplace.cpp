#include "classlib/core/FileReplace.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "classlib/core/Exception.h"
#include "classlib/core/Stream.h"
#include "classlib/core/SysUtils.h"

AnsiString ResolveLinks(const AnsiString& FileName, const AnsiString& ShownName) {
  AnsiString path = NativePath(FileName);
  for (int hop = 0; hop < 40; ++hop) {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (n < 0) return path; // not a link
    AnsiString target(buffer, static_cast<size_t>(n));
    if (target.empty() || target[0] != '/') {
      const size_t slash = path.rfind('/');
      target = (slash == AnsiString::npos ? AnsiString() : path.substr(0, slash + 1)) + target;
    }
    path = target;
  }
  throw EFCreateError(Format("Cannot write file \"%s\". %s", ShownName.c_str(), std::strerror(ELOOP)));
}

AnsiString FolderOf(const AnsiString& Target) {
  const size_t slash = Target.rfind('/');
  return slash == AnsiString::npos ? AnsiString(".") : Target.substr(0, slash + 1);
}

void ReplaceFileContents(const AnsiString& Target, const AnsiString& Text, const AnsiString& ShownName) {
  const auto fail = [&](int error) {
    throw EFCreateError(Format("Cannot create file \"%s\". %s", ShownName.c_str(), std::strerror(error)));
  };
  struct stat st {};
  const bool exists = ::stat(Target.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  // Replacing a file takes only a writable folder; a file that may not be written, or that nobody may write
  // (which does not stop a privileged user), is not replaced.
  if (exists && ::access(Target.c_str(), W_OK) != 0) fail(errno);
  if (exists && (st.st_mode & 0222) == 0) fail(EACCES);
  // Said here, the failure names the user's file rather than the temporary one.
  if (::access(FolderOf(Target).c_str(), W_OK) != 0) fail(errno);

  // The new file is complete on disk before it takes the old one's place, so a crash leaves one or the other.
  // Its name is fixed, so that the temporary file of a write that was killed is removed by the next one.
  const AnsiString temp = Target + ".tmp";
  ::unlink(temp.c_str());
  auto out = TFileStream::CreateNew(temp, 0666);
  if (!out) fail(EEXIST); // made again since the unlink: another writer that does not lock
  int error = 0;          // why the new file could not be made whole (a full disk, a file size limit, ...)
  errno = 0;
  try {
    out->WriteBuffer(Text.data(), static_cast<int64_t>(Text.size()));
  } catch (const EWriteError&) {
    error = errno != 0 ? errno : EIO;
  }
  // Owner and group can be kept only by a privileged process; the permissions always.
  if (error == 0 && exists) {
    (void)::fchown(out->Handle(), st.st_uid, st.st_gid);
    if (::fchmod(out->Handle(), st.st_mode & 07777) != 0) error = errno;
  }
  if (error == 0 && ::fsync(out->Handle()) != 0) error = errno;
  out.reset();
  if (error == 0 && ::rename(temp.c_str(), Target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    throw EWriteError(Format("Cannot write file \"%s\". %s", ShownName.c_str(), std::strerror(error)));
  }
}

AnsiString ReadWholeFile(const AnsiString& FileName, int64_t MaxSize) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  const int64_t size = file.Size();
  if (size > MaxSize) throw EFOpenError(Format("Cannot open file \"%s\". File too large", FileName.c_str()));
  AnsiString text;
  text.resize(static_cast<size_t>(size));
  text.resize(static_cast<size_t>(file.Read(text.data(), size)));
  return text;
}
