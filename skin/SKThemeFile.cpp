#include "skin/SKThemeFile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "classlib/core/Exception.h"
#include "classlib/core/SysUtils.h"
#include "classlib/graphics/Bitmap.h"
#include "skin/SKThemes.h"

namespace {

uint32_t GetU32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Text of a fixed field up to its first zero byte (the whole field when there is none).
AnsiString FieldText(const uint8_t* p, size_t size) {
  const auto* end = std::find(p, p + size, uint8_t{0});
  return AnsiString(reinterpret_cast<const char*>(p), static_cast<size_t>(end - p));
}

struct EntryHeader {
  AnsiString Name;
  uint8_t Type = 0;
  uint32_t DataOffset = 0;
  uint32_t DataSize = 0;
  uint32_t Next = 0;
};

void WriteEntryHeader(TStream& Stream, const AnsiString& Name, uint8_t Type, uint32_t Size) {
  uint8_t h[SK_THEMEFILE_ENTRY_SIZE] = {};
  std::memcpy(h, Name.data(), std::min<size_t>(Name.size(), SK_THEMEFILE_NAME_SIZE));
  h[64] = Type;
  const auto dataOffset = static_cast<uint32_t>(Stream.Position() + SK_THEMEFILE_ENTRY_SIZE);
  PutU32(h + 65, dataOffset);
  PutU32(h + 69, Size);
  PutU32(h + 73, dataOffset + Size);
  Stream.WriteBuffer(h, sizeof h);
}

} // namespace

bool IsSKThemeFile(const AnsiString& FileName) {
  if (!FileExists(FileName)) return false;
  try {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyNone);
    uint8_t head[16];
    stream.ReadBuffer(head, sizeof head);
    return FieldText(head, 12) == SK_THEMEFILE_MAGIC;
  } catch (const Exception&) {
    return false;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Writer

TskThemeFileWriter::TskThemeFileWriter(const AnsiString& FileName) : FFileName(FileName) {}

TskThemeFileWriter::~TskThemeFileWriter() {
  try {
    Save();
  } catch (const Exception&) {
  }
}

void TskThemeFileWriter::AddFile(const AnsiString& Name, const AnsiString& FileName) {
  FFiles.Add(Name + "=" + FileName);
}

void TskThemeFileWriter::AddStr(const AnsiString& Name, const AnsiString& Value) {
  FStrs.Add(Name + "=" + Value);
}

void TskThemeFileWriter::AddInteger(const AnsiString& Name, int Value) {
  FInts.Add(Name + "=" + IntToStr(Value));
}

void TskThemeFileWriter::AddBool(const AnsiString& Name, bool Value) {
  FBools.Add(Name + "=" + (Value ? "1" : "0"));
}

void TskThemeFileWriter::Save() {
  TFileStream out(FFileName, fmCreate);

  uint8_t header[SK_THEMEFILE_HEADER_SIZE] = {};
  std::memcpy(header, SK_THEMEFILE_MAGIC, std::strlen(SK_THEMEFILE_MAGIC));
  PutU32(header + 12, SK_THEMEFILE_HEADER_SIZE);
  PutU32(header + 16, 1);
  PutU32(header + 20, SK_THEMEFILE_HEADER_SIZE);
  out.WriteBuffer(header, sizeof header);

  // Each entry takes the value of the first line of its name, so a name added twice is stored twice with
  // the first value.
  for (int i = 0; i < FFiles.Count(); ++i) {
    const AnsiString name = FFiles.Names(i);
    TFileStream source(FFiles.Values(name), fmOpenRead | fmShareDenyWrite);
    const auto size = static_cast<uint32_t>(source.Size());
    WriteEntryHeader(out, name, sktFile, size);
    // CopyFrom takes a count of 0 as "the whole source".
    if (size > 0) out.CopyFrom(&source, size);
  }
  for (int i = 0; i < FStrs.Count(); ++i) {
    const AnsiString name = FStrs.Names(i);
    const AnsiString value = FStrs.Values(name);
    WriteEntryHeader(out, name, sktString, static_cast<uint32_t>(value.size()));
    out.WriteBuffer(value.data(), static_cast<int64_t>(value.size()));
  }
  for (int i = 0; i < FInts.Count(); ++i) {
    uint8_t bytes[4];
    const AnsiString name = FInts.Names(i);
    PutU32(bytes, static_cast<uint32_t>(StrToInt(FInts.Values(name))));
    WriteEntryHeader(out, name, sktInteger, 4);
    out.WriteBuffer(bytes, 4);
  }
  for (int i = 0; i < FBools.Count(); ++i) {
    const AnsiString name = FBools.Names(i);
    const auto byte = static_cast<uint8_t>(StrToInt(FBools.Values(name)));
    WriteEntryHeader(out, name, sktBoolean, 1);
    out.WriteBuffer(&byte, 1);
  }

  uint8_t terminator[SK_THEMEFILE_ENTRY_SIZE] = {};
  terminator[64] = sktBoolean;
  out.WriteBuffer(terminator, sizeof terminator);
}

// ---------------------------------------------------------------------------------------------------------
// Reader

TskThemeFileReader::TskThemeFileReader(const AnsiString& FileName) {
  Load(FileName);
}

TskThemeFileReader::~TskThemeFileReader() = default;

void TskThemeFileReader::Load(const AnsiString& FileName) {
  std::vector<uint8_t> bytes;
  {
    TFileStream in(FileName, fmOpenRead | fmShareDenyNone);
    const int64_t size = in.Size();
    if (size > SK_THEMEFILE_MAX_SIZE)
      throw EReadError(Format("Theme file \"%s\" is too large", FileName.c_str()));
    try {
      bytes.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
    } catch (const std::bad_alloc&) {
      throw EReadError(Format("Out of memory reading theme file \"%s\"", FileName.c_str()));
    }
    bytes.resize(static_cast<size_t>(in.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
  }
  LoadFromBytes(bytes.data(), bytes.size());
}

// The walk trusts nothing in the file and keeps the entries before any damage; Complete() tells whether
// there was none. Damage is:
// - a file shorter than the 24-byte header, or a header size below 24 (which would leave the first entry
//   offset unread): nothing is read;
// - an entry header or entry data running past the end of the file;
// - entry data that starts inside its own header, or a next offset that does not lie beyond the entry's
//   data: entries never overlap, so the bytes kept never exceed the file's size and the walk always moves
//   forward;
// - a walk that ends without the terminator.
// Not damage: a header size above 24 (its first 24 bytes are the header), an integer entry longer than 4
// bytes or a boolean longer than 1 (read from their first 4 bytes or first byte; shorter ones hold no value
// and are skipped), and a file entry of size 0 (an empty picture stream).
void TskThemeFileReader::LoadFromBytes(const uint8_t* Data, size_t Size) {
  FComplete = false;
  if (Size < static_cast<size_t>(SK_THEMEFILE_HEADER_SIZE)) return;
  if (GetU32(Data + 12) < static_cast<uint32_t>(SK_THEMEFILE_HEADER_SIZE)) return;
  const bool magic = FieldText(Data, 12) == SK_THEMEFILE_MAGIC;

  try {
    uint64_t pos = GetU32(Data + 20);
    while (pos + SK_THEMEFILE_ENTRY_SIZE <= Size) {
      const uint8_t* h = Data + pos;
      EntryHeader e;
      e.Name = FieldText(h, SK_THEMEFILE_NAME_SIZE);
      e.Type = h[64];
      e.DataOffset = GetU32(h + 65);
      e.DataSize = GetU32(h + 69);
      e.Next = GetU32(h + 73);
      if (e.Next == 0) {
        FComplete = magic;
        break;
      }
      const uint64_t dataEnd = uint64_t{e.DataOffset} + e.DataSize;
      if (dataEnd > Size || e.DataOffset < pos + SK_THEMEFILE_ENTRY_SIZE || e.Next < dataEnd) break;

      const uint8_t* d = Data + e.DataOffset;
      switch (e.Type) {
      case sktFile: {
        auto stream = std::make_unique<TMemoryStream>();
        if (e.DataSize > 0) stream->WriteBuffer(d, e.DataSize);
        stream->SetPosition(0);
        FFiles.AddObject(e.Name, stream.get());
        FStreams.push_back(std::move(stream));
        break;
      }
      case sktInteger:
        if (e.DataSize >= 4) FInts.Add(e.Name + "=" + IntToStr(static_cast<int32_t>(GetU32(d))));
        break;
      case sktBoolean:
        if (e.DataSize >= 1) FBools.Add(e.Name + "=" + IntToStr(d[0]));
        break;
      case sktString:
        FStrs.Add(e.Name + "=" + AnsiString(reinterpret_cast<const char*>(d), e.DataSize));
        break;
      default:
        break;
      }
      pos = e.Next;
    }
  } catch (const std::bad_alloc&) {
    FComplete = false;
    throw EReadError("Out of memory reading a theme file");
  }
}

TStream* TskThemeFileReader::GetFile(const AnsiString& Name) {
  const int i = FFiles.IndexOf(Name);
  if (i < 0) return nullptr;
  auto* stream = static_cast<TStream*>(FFiles.Objects(i));
  stream->SetPosition(0);
  return stream;
}

int TskThemeFileReader::GetInteger(const AnsiString& Name) const {
  int value;
  return TryStrToInt(FInts.Values(Name), value) ? value : -1;
}

bool TskThemeFileReader::GetBool(const AnsiString& Name) const {
  int value;
  return TryStrToInt(FBools.Values(Name), value) && (value & 0xFF) != 0;
}

AnsiString TskThemeFileReader::GetStr(const AnsiString& Name) const {
  return FStrs.Values(Name);
}

// ---------------------------------------------------------------------------------------------------------
// Manager

bool TskFileThemeMgr::LoadFromFile(const AnsiString& FileName) {
  if (!FileExists(FileName)) return false;
  // Build the new reader before dropping the old one, so that a file that cannot be read keeps the old.
  auto reader = std::make_unique<TskThemeFileReader>(FileName);
  if (!reader->Complete()) throw EReadError(Format("\"%s\" is not a complete theme file", FileName.c_str()));
  FReader = std::move(reader);
  return true;
}

void TskFileThemeMgr::GetBitmap(int Index, TBitmap* Bitmap) const {
  if (!FReader || !Bitmap) return;
  const AnsiString& key = SKItemName(Index);
  TStream* stream = key.empty() ? nullptr : FReader->GetFile(key);
  if (!stream) return;
  if (stream->Size() == 0) {
    Bitmap->SetSize(0, 0);
    return;
  }
  // A picture that does not decode counts as absent: painting goes on with what the bitmap held.
  try {
    Bitmap->LoadFromStream(stream);
  } catch (const EInvalidGraphic&) {
  } catch (const EReadError&) {
  }
}

bool TskFileThemeMgr::GetBool(int Index) const {
  const AnsiString& key = SKItemName(Index);
  return FReader && !key.empty() && FReader->GetBool(key);
}

TColor TskFileThemeMgr::GetColor(int Index) const {
  return GetInt(Index);
}

int TskFileThemeMgr::GetInt(int Index) const {
  if (!FReader) return 0;
  const AnsiString& key = SKItemName(Index);
  return key.empty() ? -1 : FReader->GetInteger(key);
}
