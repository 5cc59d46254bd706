#include "classlib/core/Stream.h"
#include "classlib/core/Resources.h"
#include "classlib/core/SysUtils.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "classlib/core/StringList.h"

#include "TempFolder.h"

TEST(MemoryStream, ReadsWritesSeeksAndGrows) {
  TMemoryStream s;
  s.WriteBuffer("hello", 5);
  EXPECT_EQ(s.Size(), 5);
  EXPECT_EQ(s.Position(), 5);
  s.Seek(-2, soEnd);
  s.WriteBuffer("LOWORLD", 7);
  EXPECT_EQ(s.Size(), 10);
  EXPECT_EQ(std::string(static_cast<const char*>(s.Memory()), 10), "helLOWORLD");

  char buffer[8] = {};
  s.SetPosition(8);
  EXPECT_EQ(s.Read(buffer, 8), 2); // only what is there
  EXPECT_EQ(s.Read(buffer, 8), 0);
  s.Seek(20, soFromBeginning); // past the end reads nothing, writing there fills the gap with zeros
  EXPECT_EQ(s.Read(buffer, 1), 0);
  EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);

  s.SetSize(3);
  EXPECT_EQ(s.Size(), 3);
  EXPECT_EQ(s.Position(), 3);
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
}

TEST(MemoryStream, ReadBufferRaisesOnAShortRead) {
  TMemoryStream s;
  s.WriteValue<uint32_t>(7);
  s.SetPosition(0);
  EXPECT_EQ(s.ReadValue<uint32_t>(), 7u);
  s.SetPosition(2);
  char buffer[4];
  try {
    s.ReadBuffer(buffer, 4);
    FAIL() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message, "Stream read error");
  }
}

TEST(MemoryStream, CopyFromWithACountOfZeroCopiesTheWholeSource) {
  TMemoryStream source;
  source.WriteBuffer("abcdef", 6); // position at the end
  TMemoryStream dest;
  EXPECT_EQ(dest.CopyFrom(&source, 0), 6);
  EXPECT_EQ(std::string(static_cast<const char*>(dest.Memory()), 6), "abcdef");

  source.SetPosition(1);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(&source, 3), 3);
  EXPECT_EQ(std::string(static_cast<const char*>(part.Memory()), 3), "bcd");
  EXPECT_THROW(part.CopyFrom(&source, 5), EReadError); // only two bytes left
}

TEST(FileStream, CreatesOpensAndReportsFailures) {
  TempFolder dir;
  const AnsiString name = dir.File("data.bin");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("0123456789", 10);
  }
  {
    TFileStream f(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.Size(), 10);
    f.Seek(4, soBeginning);
    char c = 0;
    f.ReadBuffer(&c, 1);
    EXPECT_EQ(c, '4');
    EXPECT_EQ(f.Write("x", 1), 0); // opened for reading only
  }
  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_EQ(m.Size(), 10);
  m.SaveToFile(dir.File("copy.bin"));
  EXPECT_EQ(FileSizeOf(dir.File("copy.bin")), 10);

  try {
    TFileStream f(dir.File("missing.bin"), fmOpenRead | fmShareDenyNone);
    FAIL() << "opened a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message, "Cannot open file \"" + dir.File("missing.bin") + "\". No such file or directory");
  }
  EXPECT_THROW(TFileStream(dir.Path, fmOpenRead), EFOpenError); // a folder is not a file
  EXPECT_THROW(TFileStream(dir.File("no/such/folder.bin"), fmCreate), EFCreateError);
}

TEST(FileStream, OnlyRegularFilesOpenAndNothingWaitsForAFifo) {
  TempFolder dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& name : {fifo, dir.Path}) {
    for (uint16_t mode : {fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate}) {
      try {
        TFileStream stream(name, mode);
        ADD_FAILURE() << name << " opened in mode " << mode;
      } catch (const EStreamError& e) {
        EXPECT_NE(e.Message.find(name), AnsiString::npos);
      }
    }
    TMemoryStream bytes;
    EXPECT_THROW(bytes.LoadFromFile(name), EFOpenError);
    TStringList lines;
    EXPECT_THROW(lines.LoadFromFile(name), EFOpenError);
  }
  // A symbolic link to a regular file is followed.
  { TFileStream(dir.File("real"), fmCreate).WriteBuffer("x", 1); }
  std::filesystem::create_symlink(dir.File("real"), dir.File("link"));
  EXPECT_EQ(TFileStream(dir.File("link"), fmOpenRead).Size(), 1);
}

TEST(FileStream, AcceptsBackslashes) {
  TempFolder dir;
  AnsiString name = dir.File("win.txt");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("x", 1);
  }
  std::replace(name.begin(), name.end(), '/', '\\');
  TFileStream f(name, fmOpenRead);
  EXPECT_EQ(f.Size(), 1);
}

TEST(ResourceStream, ReadsANamedResourceWithoutRegardToCase) {
  static const uint8_t bytes[] = {'Q', 'R', 'S'};
  RegisterResource("STREAM_TEST", RT_RCDATA, bytes, sizeof bytes);
  TResourceStream s("stream_test", RT_RCDATA);
  EXPECT_EQ(s.Size(), 3);
  char buffer[3];
  s.ReadBuffer(buffer, 3);
  EXPECT_EQ(buffer[2], 'S');
  EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);
  EXPECT_EQ(FindResourceData("STREAM_TEST", RT_BITMAP), nullptr); // another type
  try {
    TResourceStream missing("NOPE", RT_BITMAP);
    FAIL() << "found a missing resource";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message, "Resource NOPE not found");
  }
}

TEST(ResourceStream, TheBuildEmbedsFilesByName) {
  const TResourceEntry* form = FindResourceData("TTestForm", RT_RCDATA);
  ASSERT_NE(form, nullptr);
  const std::string text(reinterpret_cast<const char*>(form->Data.data()), form->Data.size());
  EXPECT_EQ(text.rfind("object TestForm: TTestForm", 0), 0u);
}

TEST(ResourceStream, IndexesNameTheirFiles) {
  for (const char* name : {"BLOB_ONE", "blob"}) {
    const TResourceEntry* entry = FindResourceData(name, RT_BITMAP);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry->Data.data()), entry->Data.size()), "blob\n");
  }
}
