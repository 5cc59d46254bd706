// Theme files: the writer's exact layout, the reader's lookups, and the reader's behaviour on damaged files.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "classlib/core/Exception.h"
#include "classlib/core/Stream.h"
#include "skin/SKThemeFile.h"
#include "skin/SKThemes.h"
#include "tests/skin/SkinTestUtil.h"

using skintest::ReadBytes;
using skintest::TempDir;
using skintest::ThemeBytes;
using skintest::WriteBytes;

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

AnsiString StreamText(TStream* s) {
  AnsiString text(static_cast<size_t>(s->Size()), '\0');
  s->ReadBuffer(text.data(), s->Size());
  return text;
}

} // namespace

TEST(ThemeFileWriter, WritesTheLayoutByteForByte) {
  TempDir dir;
  WriteBytes(dir.File("pic.bmp"), {'B', 'M', 1, 2, 3});
  const AnsiString target = dir.File("t.skn");
  {
    TskThemeFileWriter w(target);
    // Added out of group order: the file still holds files, strings, integers, booleans.
    w.AddBool("Flag", true);
    w.AddInteger("Num", -2);
    w.AddStr("Text", "abc");
    w.AddFile("Pic", dir.File("pic.bmp"));
  }
  const auto b = ReadBytes(target);
  ASSERT_EQ(b.size(), 24u + (77 + 5) + (77 + 3) + (77 + 4) + (77 + 1) + 77);
  EXPECT_EQ(0, std::memcmp(b.data(), "SkinKit_TB\0\0", 12));
  EXPECT_EQ(U32At(b, 12), 24u);
  EXPECT_EQ(U32At(b, 16), 1u);
  EXPECT_EQ(U32At(b, 20), 24u);

  size_t at = 24;
  const struct {
    const char* name;
    uint8_t type;
    uint32_t size;
  } expected[] = {{"Pic", 0, 5}, {"Text", 3, 3}, {"Num", 1, 4}, {"Flag", 2, 1}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    EXPECT_STREQ(reinterpret_cast<const char*>(&b[at]), e.name);
    EXPECT_EQ(b[at + 64], e.type);
    EXPECT_EQ(U32At(b, at + 65), at + 77);
    EXPECT_EQ(U32At(b, at + 69), e.size);
    EXPECT_EQ(U32At(b, at + 73), at + 77 + e.size);
    at += 77 + e.size;
  }
  EXPECT_EQ(U32At(b, 24 + 77 + 5 + 77 + 3 + 77), 0xFFFFFFFEu); // -2
  EXPECT_EQ(b[b.size() - 78], 1);                              // true
  for (size_t i = 0; i < 77; ++i) EXPECT_EQ(b[at + i], i == 64 ? 2 : 0) << i;
}

TEST(ThemeFileWriter, ReadsBackEveryKindOfEntry) {
  TempDir dir;
  WriteBytes(dir.File("pic.bmp"), {'B', 'M', 9});
  const AnsiString target = dir.File("t.skn");
  {
    TskThemeFileWriter w(target);
    w.AddInteger("FormBackgroundColor", 0xE8E8E8);
    w.AddInteger("Minus", -2);
    w.AddBool("Yes", true);
    w.AddBool("No", false);
    w.AddStr("Words", "two words");
    w.AddFile("ButtonImage", dir.File("pic.bmp"));
  }
  TskThemeFileReader r(target);
  EXPECT_EQ(r.GetInteger("formbackgroundcolor"), 0xE8E8E8); // case-insensitive
  EXPECT_EQ(r.GetInteger("Minus"), -2);
  EXPECT_EQ(r.Bools().Values("Yes"), "1");
  EXPECT_TRUE(r.GetBool("YES"));
  EXPECT_FALSE(r.GetBool("No"));
  EXPECT_EQ(r.GetStr("words"), "two words");
  EXPECT_EQ(r.GetInteger("Absent"), -1);
  EXPECT_FALSE(r.GetBool("Absent"));
  EXPECT_EQ(r.GetStr("Absent"), "");
  EXPECT_EQ(r.GetFile("Absent"), nullptr);

  TStream* s = r.GetFile("buttonimage");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(StreamText(s), AnsiString("BM\x09", 3));
  EXPECT_EQ(r.GetFile("ButtonImage"), s); // the same stream, rewound
  EXPECT_EQ(s->Position(), 0);
}

TEST(ThemeFileWriter, NamesAreCutTo64AndRepeatedNamesKeepTheFirstValue) {
  TempDir dir;
  const AnsiString target = dir.File("t.skn");
  const AnsiString long70(70, 'x');
  const AnsiString other70 = AnsiString(64, 'x') + "yyyyyy";
  const AnsiString exact64 = AnsiString(63, 'a') + "b";
  {
    TskThemeFileWriter w(target);
    w.AddInteger(long70, 1);
    w.AddInteger(other70, 2);
    w.AddInteger(exact64, 3);
    w.AddInteger("Twice", 10);
    w.AddInteger("Twice", 20);
  }
  const auto b = ReadBytes(target);
  // A 64-character name fills its field without a terminating zero.
  EXPECT_EQ(0, std::memcmp(&b[24 + 2 * 81], exact64.data(), 64));
  EXPECT_EQ(b[24 + 2 * 81 + 64], 1);

  TskThemeFileReader r(target);
  ASSERT_EQ(r.Integers().Count(), 5);
  EXPECT_EQ(r.Integers().Names(0), AnsiString(64, 'x'));
  EXPECT_EQ(r.GetInteger(AnsiString(64, 'x')), 1); // both long names read back as one; the first wins
  EXPECT_EQ(r.GetInteger(long70), -1);
  EXPECT_EQ(r.GetInteger(exact64), 3);
  EXPECT_EQ(r.Integers().Strings(3), "Twice=10");
  EXPECT_EQ(r.Integers().Strings(4), "Twice=10");
}

TEST(ThemeFileWriter, SaveReportsAMissingSourceAndTheDestructorDoesNotThrow) {
  TempDir dir;
  TskThemeFileWriter w(dir.File("t.skn"));
  w.AddFile("Pic", dir.File("missing.bmp"));
  EXPECT_THROW(w.Save(), EFOpenError);
}

TEST(IsSKThemeFile, LooksAtTheMagicOnly) {
  TempDir dir;
  auto check = [&](std::vector<uint8_t> bytes) {
    WriteBytes(dir.File("f.skn"), bytes);
    return IsSKThemeFile(dir.File("f.skn"));
  };
  std::vector<uint8_t> good(16, 0);
  std::memcpy(good.data(), "SkinKit_TB", 10);
  EXPECT_TRUE(check(good));
  auto twelfth = good;
  twelfth[11] = 'Z'; // not examined once the eleventh byte is zero
  EXPECT_TRUE(check(twelfth));
  auto longer = good;
  longer[10] = 'X';
  EXPECT_FALSE(check(longer));
  EXPECT_FALSE(check({'S', 'k', 'i', 'n', 'K', 'i', 't'}));
  EXPECT_FALSE(check({}));
  auto lower = good;
  lower[0] = 's';
  EXPECT_FALSE(check(lower));
  EXPECT_FALSE(IsSKThemeFile(dir.File("missing.skn")));
  EXPECT_FALSE(IsSKThemeFile(dir.Path.string()));
}

TEST(ThemeFileReader, HeaderAndTerminatorOnlyHasNoEntries) {
  TempDir dir;
  ThemeBytes t;
  t.Terminator();
  WriteBytes(dir.File("e.skn"), t.Bytes);
  TskThemeFileReader r(dir.File("e.skn"));
  EXPECT_EQ(r.Files().Count() + r.Integers().Count() + r.Bools().Count() + r.Strs().Count(), 0);
  EXPECT_EQ(r.GetInteger("FormBackgroundColor"), -1);
  EXPECT_TRUE(r.Complete());
  EXPECT_THROW(TskThemeFileReader(dir.File("missing.skn")), EFOpenError);
}

TEST(ThemeFileReader, OversizedHeadersAndValuesAreReadInPart) {
  TempDir dir;
  ThemeBytes t(40, 40); // a header of 40 bytes: its first 24 are the header
  t.Entry("Wide", 1, {0x05, 0, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD});
  t.Entry("Bool3", 2, {0x02, 0x00, 0x01});
  t.Entry("Short", 1, {7, 0});
  t.Entry("NoBool", 2, {});
  t.Int("After", 42);
  t.Terminator();
  WriteBytes(dir.File("f.skn"), t.Bytes);
  TskThemeFileReader r(dir.File("f.skn"));
  EXPECT_EQ(r.GetInteger("Wide"), 5);
  EXPECT_TRUE(r.GetBool("Bool3"));
  EXPECT_EQ(r.Bools().Values("Bool3"), "2");
  EXPECT_EQ(r.GetInteger("Short"), -1);
  EXPECT_EQ(r.Bools().IndexOfName("NoBool"), -1);
  EXPECT_EQ(r.GetInteger("After"), 42);
  EXPECT_TRUE(r.Complete());
}

TEST(ThemeFileReader, HeaderSizeBelow24IsRejected) {
  TempDir dir;
  ThemeBytes t(16, 24);
  t.Int("A", 1);
  t.Terminator();
  WriteBytes(dir.File("f.skn"), t.Bytes);
  TskThemeFileReader r(dir.File("f.skn"));
  EXPECT_EQ(r.Integers().Count(), 0);
  EXPECT_FALSE(r.Complete());
}

TEST(ThemeFileReader, EntriesThatPointBackOrOverlapEndTheWalkAsDamage) {
  TempDir dir;
  const auto read = [&](const ThemeBytes& t) {
    WriteBytes(dir.File("f.skn"), t.Bytes);
    return std::make_unique<TskThemeFileReader>(dir.File("f.skn"));
  };
  {
    ThemeBytes t;
    t.Int("A", 1);
    t.Entry("B", 1, {2, 0, 0, 0}, 24); // back to the first entry
    t.Int("C", 3);
    t.Terminator();
    const auto r = read(t);
    EXPECT_EQ(r->Integers().Text(), "A=1\n");
    EXPECT_FALSE(r->Complete());
  }
  {
    ThemeBytes t;
    const size_t at = t.Bytes.size();
    t.Entry("Self", 1, {4, 0, 0, 0}, static_cast<int64_t>(at));
    t.Terminator();
    const auto r = read(t);
    EXPECT_EQ(r->Integers().Count(), 0);
    EXPECT_FALSE(r->Complete());
  }
  {
    // The next header starts inside this entry's data.
    ThemeBytes t;
    const size_t at = t.Entry("Pic", 0, std::vector<uint8_t>(200, 7), -1);
    const size_t inside = at + 77 + 100;
    for (int k = 0; k < 4; ++k) t.Bytes[at + 73 + k] = static_cast<uint8_t>(inside >> (8 * k));
    t.Terminator();
    const auto r = read(t);
    EXPECT_EQ(r->GetFile("Pic"), nullptr);
    EXPECT_FALSE(r->Complete());
  }
}

// Entries that all point at the same bytes once made memory grow with the square of the file.
TEST(ThemeFileReader, EntriesSharingTheirDataAreRefusedNotCopiedOverAndOver) {
  ThemeBytes t;
  const size_t entries = 500, data = 4096;
  const size_t dataAt = t.Bytes.size() + (entries + 1) * 77;
  for (size_t i = 0; i < entries; ++i) {
    const size_t at = t.Entry("Picture" + std::to_string(i), 0, {});
    for (int k = 0; k < 4; ++k) {
      t.Bytes[at + 65 + k] = static_cast<uint8_t>(dataAt >> (8 * k));
      t.Bytes[at + 69 + k] = static_cast<uint8_t>(data >> (8 * k));
    }
  }
  t.Terminator();
  t.Bytes.resize(dataAt + data, 0x42);
  TskThemeFileReader r;
  r.LoadFromBytes(t.Bytes.data(), t.Bytes.size());
  EXPECT_EQ(r.Files().Count(), 0);
  EXPECT_FALSE(r.Complete());
}

TEST(ThemeFileReader, ZeroSizeFileEntryIsAnEmptyPicture) {
  TempDir dir;
  ThemeBytes t;
  t.Entry("Empty", 0, {});
  t.Entry("Pic", 0, {'B', 'M'});
  t.Terminator();
  WriteBytes(dir.File("f.skn"), t.Bytes);
  TskThemeFileReader r(dir.File("f.skn"));
  ASSERT_NE(r.GetFile("Empty"), nullptr);
  EXPECT_EQ(r.GetFile("Empty")->Size(), 0);
  EXPECT_EQ(r.GetFile("Pic")->Size(), 2);
}

TEST(ThemeFileReader, TruncatedFilesKeepTheCompleteEntriesBeforeTheCut) {
  TempDir dir;
  ThemeBytes t;
  t.Int("A", 1);
  t.Entry("B", 0, std::vector<uint8_t>(100, 0x55));
  t.Int("C", 3);
  t.Terminator();
  const size_t aEnd = 24 + 81, bEnd = aEnd + 177, cEnd = bEnd + 81;
  for (size_t cut = 0; cut <= t.Bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    WriteBytes(dir.File("cut.skn"), {t.Bytes.begin(), t.Bytes.begin() + static_cast<ptrdiff_t>(cut)});
    TskThemeFileReader r(dir.File("cut.skn"));
    EXPECT_EQ(r.GetInteger("A"), cut >= aEnd ? 1 : -1);
    EXPECT_EQ(r.GetFile("B") != nullptr, cut >= bEnd);
    EXPECT_EQ(r.GetInteger("C"), cut >= cEnd ? 3 : -1);
    EXPECT_EQ(r.Complete(), cut == t.Bytes.size());
  }
}

// Random damage must never make the reader read outside the file, loop or crash (run under the sanitizers).
TEST(ThemeFileReader, SurvivesRandomAndMutatedInput) {
  TempDir dir;
  ThemeBytes t;
  t.Int("A", 1);
  t.Entry("B", 0, std::vector<uint8_t>(40, 0x11));
  t.Entry("S", 3, {'h', 'i'});
  t.Entry("F", 2, {1});
  t.Terminator();
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes = t.Bytes;
    if (round % 3 == 0) {
      bytes.resize(rng() % 600);
      for (auto& b : bytes) b = static_cast<uint8_t>(rng());
      if (bytes.size() >= 24) bytes[12] = 24, bytes[13] = bytes[14] = bytes[15] = 0;
    } else {
      const int flips = 1 + static_cast<int>(rng() % 8);
      for (int i = 0; i < flips; ++i) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
      bytes.resize(bytes.size() - rng() % 60);
    }
    WriteBytes(dir.File("r.skn"), bytes);
    TskThemeFileReader r(dir.File("r.skn"));
    // Entries never overlap: each takes its header's bytes, and together they hold no more than the file.
    const int entries = r.Files().Count() + r.Integers().Count() + r.Bools().Count() + r.Strs().Count();
    EXPECT_LE(static_cast<size_t>(entries) * 77, bytes.size());
    int64_t held = 0;
    for (int i = 0; i < r.Files().Count(); ++i) held += static_cast<TStream*>(r.Files().Objects(i))->Size();
    EXPECT_LE(static_cast<size_t>(held), bytes.size());
  }
}

TEST(FileThemeMgr, AnswersItemsByNumberAndKeepsTheOldFileWhenTheNewOneIsMissing) {
  TempDir dir;
  TskFileThemeMgr mgr;
  EXPECT_EQ(mgr.GetInt(17), 0); // nothing loaded yet
  EXPECT_EQ(mgr.GetColor(15), 0);
  EXPECT_FALSE(mgr.GetBool(2));
  {
    TskThemeFileWriter w(dir.File("a.skn"));
    w.AddInteger("FormBackgroundColor", 0x123456);
    w.AddBool("ButtonTransparentBool", true);
  }
  ASSERT_TRUE(mgr.LoadFromFile(dir.File("a.skn")));
  EXPECT_EQ(mgr.GetColor(15), 0x123456);
  EXPECT_TRUE(mgr.GetBool(2));
  EXPECT_EQ(mgr.GetInt(17), -1); // absent from the file
  EXPECT_EQ(mgr.GetInt(0), -1);  // no such item
  EXPECT_EQ(mgr.GetInt(49), -1);
  EXPECT_FALSE(mgr.LoadFromFile(dir.File("missing.skn")));
  EXPECT_EQ(mgr.GetColor(15), 0x123456);

  // A truncated file or one without the magic is refused whole; the old items stay.
  const auto good = ReadBytes(dir.File("a.skn"));
  WriteBytes(dir.File("cut.skn"), {good.begin(), good.end() - 1});
  std::vector<uint8_t> foreign = good;
  foreign[0] = 'X';
  WriteBytes(dir.File("foreign.skn"), foreign);
  for (const char* name : {"cut.skn", "foreign.skn"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(mgr.LoadFromFile(dir.File(name)), EReadError);
    EXPECT_EQ(mgr.GetColor(15), 0x123456);
    EXPECT_TRUE(mgr.GetBool(2));
  }
}
