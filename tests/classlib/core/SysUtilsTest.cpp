#include "classlib/core/SysUtils.h"
#include "classlib/core/DateUtils.h"

#include <fstream>
#include <gtest/gtest.h>

#include "TempFolder.h"

TEST(SysUtils, ConvertsIntegers) {
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(StrToInt("123"), 123);
  EXPECT_EQ(StrToInt("-7"), -7);
  EXPECT_EQ(StrToInt("  +8"), 8);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1); // hexadecimal is a 32-bit pattern
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  for (const char* bad : {"", "abc", "12a", "1 2", "2147483648", "-", "$", "3.0", "12 "}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, Format("'%s' is not a valid integer value", bad));
    }
  }
  EXPECT_EQ(StrToIntDef("x", 6), 6);
  EXPECT_EQ(StrToIntDef("9", 6), 9);
  EXPECT_DOUBLE_EQ(StrToFloat(" 2.5 "), 2.5);
  EXPECT_THROW(StrToFloat("2,5"), EConvertError);
  EXPECT_EQ(FloatToStr(0.1), "0.1");
}

TEST(SysUtils, ComparesAndTrimsText) {
  EXPECT_EQ(UpperCase("Puzzle Size"), "PUZZLE SIZE");
  EXPECT_EQ(LowerCase("DeepBlue"), "deepblue");
  EXPECT_TRUE(SameText("FormBackgroundColor", "formbackgroundcolor"));
  EXPECT_FALSE(SameText("ab", "abc"));
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Pos("lo", "hello"), 4);
  EXPECT_EQ(Pos("z", "hello"), 0);
  EXPECT_EQ(StringReplaceAll("a-b-c", "-", "+"), "a+b+c");
}

TEST(SysUtils, SplitsFileNamesAtEitherSeparator) {
  EXPECT_EQ(ExtractFilePath("C:\\Games\\themes\\blue.skn"), "C:\\Games\\themes\\");
  EXPECT_EQ(ExtractFileName("C:\\Games\\themes\\blue.skn"), "blue.skn");
  EXPECT_EQ(ExtractFileName("C:blue.skn"), "blue.skn");
  EXPECT_EQ(ExtractFilePath("/usr/share/quendrel/a.jpg"), "/usr/share/quendrel/");
  EXPECT_EQ(ExtractFileName("mixed/path\\file.txt"), "file.txt");
  EXPECT_EQ(ExtractFileExt("picture.JPG"), ".JPG");
  EXPECT_EQ(ExtractFileExt("folder.d/noext"), "");
  EXPECT_EQ(ExtractFileDir("/a/b/c.txt"), "/a/b");
  EXPECT_EQ(ExtractFileDir("/c.txt"), "/");
  EXPECT_EQ(ChangeFileExt("a/b.skn", ".bak"), "a/b.bak");
  EXPECT_EQ(ChangeFileExt("a.d/b", ".txt"), "a.d/b.txt");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\tmp\\"), "C:\\tmp\\");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/"), "/tmp");
  EXPECT_EQ(ExpandFileName("/a/b/../c/./d.txt"), "/a/c/d.txt");
}

TEST(SysUtils, TellsFilesFromFolders) {
  TempFolder dir;
  const AnsiString file = dir.File("quendrel.ini");
  std::ofstream(file) << "x";
  EXPECT_TRUE(FileExists(file));
  AnsiString backslashed = file;
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  EXPECT_TRUE(FileExists(backslashed));
  EXPECT_FALSE(FileExists(dir.Path)); // a folder is not a file
  EXPECT_TRUE(DirectoryExists(dir.Path));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_FALSE(FileExists(""));
  EXPECT_EQ(FileSizeOf(file), 1);

  EXPECT_TRUE(RenameFile(file, dir.File("moved.ini")));
  EXPECT_FALSE(FileExists(file));
  EXPECT_TRUE(DeleteFile(dir.File("moved.ini")));
  EXPECT_FALSE(DeleteFile(dir.File("moved.ini")));
  EXPECT_FALSE(DeleteFile(dir.Path)); // folders are not deleted as files
  EXPECT_TRUE(ForceDirectories(dir.File("x/y/z")));
  EXPECT_TRUE(DirectoryExists(dir.File("x/y/z")));
}

TEST(SysUtils, FindsTheProgramsPlaces) {
  EXPECT_TRUE(DirectoryExists(GetCurrentDir()));
  EXPECT_NE(GetCurrentDir().back(), '/');
  EXPECT_TRUE(DirectoryExists(GetTempDir()));
  EXPECT_EQ(GetTempDir().back(), '/');
  EXPECT_TRUE(FileExists(GetExeName()));
  EXPECT_EQ(GetExeDir(), ExtractFilePath(GetExeName()));

  TempFolder dir;
  const AnsiString saved = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(dir.Path));
  EXPECT_EQ(ExpandFileName("a.txt"), IncludeTrailingPathDelimiter(GetCurrentDir()) + "a.txt");
  SetCurrentDir(saved);
}

TEST(DateUtils, EncodesAndDecodesDates) {
  EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_DOUBLE_EQ(EncodeDate(2000, 3, 1), 36586.0);
  uint16_t y = 0, m = 0, d = 0;
  DecodeDate(36586.75, y, m, d);
  EXPECT_EQ(y, 2000);
  EXPECT_EQ(m, 3);
  EXPECT_EQ(d, 1);
  DecodeDate(EncodeDate(2024, 2, 29), y, m, d);
  EXPECT_EQ(m * 100 + d, 229);
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
}

TEST(DateUtils, FormatsTimesAndDurations) {
  EXPECT_EQ(FormatDateTime("hh:mm:ss", EncodeTime(1, 2, 3, 0)), "01:02:03");
  // A game time is a difference of two moments.
  const TDateTime start = EncodeDate(2024, 5, 1) + EncodeTime(23, 59, 0, 0);
  const TDateTime later = EncodeDate(2024, 5, 2) + EncodeTime(0, 1, 5, 0);
  EXPECT_EQ(FormatDateTime("hh:mm:ss", later - start), "00:02:05");
  EXPECT_EQ(FormatDateTime("hh:mm:ss", EncodeTime(0, 0, 59, 999)), "00:00:59");
  EXPECT_EQ(FormatDateTime("h:nn am/pm", EncodeTime(13, 5, 0, 0)), "1:05 pm");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd 'at' hh:nn:ss.zzz", start + EncodeTime(0, 0, 0, 7)),
            "2024-05-01 at 23:59:00.007");
  EXPECT_EQ(FormatDateTime("ddd d mmm yy", EncodeDate(2024, 5, 1)), "Wed 1 May 24");
}
