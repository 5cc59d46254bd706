#include "classlib/core/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "classlib/core/Exception.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/TypInfo.h"

QUENDREL_REGISTER_CLASS(TStream, TObject) {}
QUENDREL_REGISTER_CLASS(TCustomMemoryStream, TStream) {}
QUENDREL_REGISTER_CLASS(TMemoryStream, TCustomMemoryStream) {}
QUENDREL_REGISTER_CLASS(TFileStream, TStream) {}
QUENDREL_REGISTER_CLASS(TStringStream, TStream) {}

namespace {

// The new position of a seek over a block of `size` bytes; never negative.
int64_t SeekIn(int64_t position, int64_t size, int64_t offset, TSeekOrigin origin) {
  int64_t base = 0;
  switch (origin) {
  case soBeginning:
    base = 0;
    break;
  case soCurrent:
    base = position;
    break;
  case soEnd:
    base = size;
    break;
  }
  const int64_t result = base + offset;
  if (result < 0) throw EStreamError("Stream seek error");
  return result;
}

} // namespace

int64_t TStream::Size() {
  const int64_t position = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(int64_t NewSize) {
  (void)NewSize;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count < 0 || (Count != 0 && Read(Buffer, Count) != Count)) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count < 0 || (Count != 0 && Write(Buffer, Count) != Count)) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
  if (!Source) return 0;
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  const int64_t result = Count;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(Count, 1), 0xF000)));
  while (Count > 0) {
    const int64_t n = std::min<int64_t>(Count, static_cast<int64_t>(buffer.size()));
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    Count -= n;
  }
  return result;
}

// TCustomMemoryStream

void TCustomMemoryStream::SetPointer(const void* Ptr, int64_t Size) {
  FMemory = Ptr;
  FSize = Size;
}

int64_t TCustomMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition >= FSize) return 0;
  const int64_t n = std::min(Count, FSize - FPosition);
  std::memcpy(Buffer, static_cast<const uint8_t*>(FMemory) + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TCustomMemoryStream::Write(const void*, int64_t) {
  return 0;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  FPosition = SeekIn(FPosition, FSize, Offset, Origin);
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (Stream && FSize > 0) Stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const AnsiString& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

// TMemoryStream

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  const int64_t end = FPosition + Count;
  if (end > static_cast<int64_t>(FData.size())) FData.resize(static_cast<size_t>(end));
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  Sync();
  return Count;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Stream seek error");
  FData.resize(static_cast<size_t>(NewSize));
  Sync();
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
  Sync();
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  if (!Stream) return;
  Stream->SetPosition(0);
  const int64_t size = Stream->Size();
  SetSize(size);
  if (size > 0) Stream->ReadBuffer(FData.data(), size);
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

// TFileStream

TFileStream::TFileStream(const AnsiString& FileName, uint16_t Mode) : FFileName(FileName) {
  AnsiString reason;
  if (Mode == fmCreate) {
    FHandle = OpenRegularFile(FileName, O_RDWR | O_CREAT | O_TRUNC, reason);
    if (FHandle < 0)
      throw EFCreateError(Format("Cannot create file \"%s\". %s", FileName.c_str(), reason.c_str()));
    return;
  }
  int flags = O_RDONLY;
  if ((Mode & 3) == fmOpenWrite)
    flags = O_WRONLY;
  else if ((Mode & 3) == fmOpenReadWrite)
    flags = O_RDWR;
  FHandle = OpenRegularFile(FileName, flags, reason);
  if (FHandle < 0) throw EFOpenError(Format("Cannot open file \"%s\". %s", FileName.c_str(), reason.c_str()));
}

std::unique_ptr<TFileStream> TFileStream::CreateNew(const AnsiString& FileName, int Mode) {
  const int fd =
      ::open(NativePath(FileName).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, Mode);
  if (fd < 0) {
    if (errno == EEXIST) return nullptr;
    throw EFCreateError(Format("Cannot create file \"%s\". %s", FileName.c_str(), std::strerror(errno)));
  }
  return std::unique_ptr<TFileStream>(new TFileStream(FileName, fd, TAdopt{}));
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  int64_t done = 0;
  while (done < Count) {
    const ssize_t n =
        ::read(FHandle, static_cast<uint8_t*>(Buffer) + done, static_cast<size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  int64_t done = 0;
  while (done < Count) {
    const ssize_t n =
        ::write(FHandle, static_cast<const uint8_t*>(Buffer) + done, static_cast<size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  const off_t result = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
  if (result < 0) throw EStreamError("Stream seek error");
  return result;
}

int64_t TFileStream::Size() {
  struct stat st {};
  if (::fstat(FHandle, &st) != 0) return 0;
  return st.st_size;
}

void TFileStream::SetSize(int64_t NewSize) {
  if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0) throw EWriteError("Stream write error");
  if (Position() > NewSize) SetPosition(NewSize);
}

// TStringStream

int64_t TStringStream::Read(void* Buffer, int64_t Count) {
  const auto size = static_cast<int64_t>(FDataString.size());
  if (Count <= 0 || FPosition >= size) return 0;
  const int64_t n = std::min(Count, size - FPosition);
  std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TStringStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  const int64_t end = FPosition + Count;
  if (end > static_cast<int64_t>(FDataString.size())) FDataString.resize(static_cast<size_t>(end));
  std::memcpy(FDataString.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  return Count;
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  FPosition = SeekIn(FPosition, static_cast<int64_t>(FDataString.size()), Offset, Origin);
  return FPosition;
}

void TStringStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Stream seek error");
  FDataString.resize(static_cast<size_t>(NewSize));
  if (FPosition > NewSize) FPosition = NewSize;
}
