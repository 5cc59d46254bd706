#pragma once
// Streams: a sequential, seekable run of bytes. TMemoryStream keeps its bytes in memory, TFileStream reads
// and writes a file, TCustomMemoryStream reads a fixed block of memory it does not own (resources use it).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/core/AnsiString.h"
#include "classlib/core/Exception.h"
#include "classlib/core/Object.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
// The older names of the same origins.
constexpr TSeekOrigin soFromBeginning = soBeginning;
constexpr TSeekOrigin soFromCurrent = soCurrent;
constexpr TSeekOrigin soFromEnd = soEnd;

class TStream : public TObject {
  QUENDREL_CLASS(TStream, TObject)
 public:
  // Reads up to Count bytes; answers how many were read (fewer only at the end of the stream).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Writes up to Count bytes; answers how many were written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Moves the position and answers the new one. A position past the end is allowed; reading there reads
  // nothing.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Value) { Seek(Value, soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize);

  // Read or write exactly Count bytes, raising EReadError "Stream read error" or EWriteError "Stream write
  // error" when the stream falls short.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes from Source's position; a Count of 0 copies the whole of Source from its start.
  // Answers the number of bytes copied.
  int64_t CopyFrom(TStream* Source, int64_t Count);

  // Little helpers for binary records.
  template <class T> T ReadValue() {
    T value{};
    ReadBuffer(&value, sizeof(T));
    return value;
  }
  template <class T> void WriteValue(const T& value) { WriteBuffer(&value, sizeof(T)); }
};

// A stream over a block of memory. The block is not owned; descendants decide where it comes from.
class TCustomMemoryStream : public TStream {
  QUENDREL_CLASS(TCustomMemoryStream, TStream)
 public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return FSize; }

  const void* Memory() const { return FMemory; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const AnsiString& FileName);

 protected:
  void SetPointer(const void* Ptr, int64_t Size);

  const void* FMemory = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};

// A growable stream in memory that owns its bytes.
class TMemoryStream : public TCustomMemoryStream {
  QUENDREL_CLASS(TMemoryStream, TCustomMemoryStream)
 public:
  TMemoryStream() = default;

  int64_t Write(const void* Buffer, int64_t Count) override;
  void SetSize(int64_t NewSize) override;

  void* Memory() { return FData.data(); }
  const void* Memory() const { return FData.data(); }
  void Clear();
  // Replace the contents with the whole of Stream (from its start) or of a file; the position becomes 0.
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const AnsiString& FileName);

 private:
  void Sync() { SetPointer(FData.data(), static_cast<int64_t>(FData.size())); }

  std::vector<uint8_t> FData;
};

// File open modes: one access mode, or'ed with one sharing mode; fmCreate creates or truncates.
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;
constexpr uint16_t fmCreate = 0xFF00;

// A stream over an open file. Sharing modes are accepted and not enforced: the platform's files are shared.
// Only regular files open: a folder, a FIFO or a device raises at once instead of blocking.
// Raises EFOpenError "Cannot open file "<name>". <reason>" or EFCreateError "Cannot create file ...".
class TFileStream : public TStream {
  QUENDREL_CLASS(TFileStream, TStream)
 public:
  TFileStream(const AnsiString& FileName, uint16_t Mode);
  ~TFileStream() override;
  // Creates FileName, for writing, only when nothing of that name exists (a symbolic link counts and is not
  // followed), with the permissions Mode less the umask: null when the name is taken; raises EFCreateError
  // for any other failure.
  static std::unique_ptr<TFileStream> CreateNew(const AnsiString& FileName, int Mode);

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override;
  void SetSize(int64_t NewSize) override;

  const AnsiString& FileName() const { return FFileName; }
  int Handle() const { return FHandle; }

 private:
  struct TAdopt {};
  TFileStream(const AnsiString& FileName, int Handle, TAdopt) : FFileName(FileName), FHandle(Handle) {}

  AnsiString FFileName;
  int FHandle = -1;
};

// A read-write stream over an AnsiString, handy for text such as form streams.
class TStringStream : public TStream {
  QUENDREL_CLASS(TStringStream, TStream)
 public:
  explicit TStringStream(AnsiString AString = AnsiString()) : FDataString(std::move(AString)) {}

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FDataString.size()); }
  void SetSize(int64_t NewSize) override;

  const AnsiString& DataString() const { return FDataString; }

 private:
  AnsiString FDataString;
  int64_t FPosition = 0;
};
