#include "classlib/core/IniFiles.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "classlib/core/Exception.h"
#include "classlib/core/StringList.h"
#include "classlib/core/SysUtils.h"

namespace {
std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
void WriteAll(const std::string& name, const std::string& text) {
  std::ofstream(name, std::ios::binary) << text;
}
} // namespace

TEST(IniFile, AMissingFileOrKeyGivesTheDefault) {
  TempFolder dir;
  TIniFile ini(dir.File("quendrel.ini"));
  EXPECT_EQ(ini.ReadInteger("DEFAULT", "Puzzle Size", 6), 6);
  EXPECT_EQ(ini.ReadString("DEFAULT", "Image", "default.jpg"), "default.jpg");
  EXPECT_FALSE(ini.SectionExists("DEFAULT"));
  EXPECT_FALSE(FileExists(dir.File("quendrel.ini"))); // reading creates nothing
}

TEST(IniFile, WritesAndReadsKeysWithBlanksWithoutRegardToCase) {
  TempFolder dir;
  TIniFile ini(dir.File("quendrel.ini"));
  ini.WriteInteger("DEFAULT", "Puzzle Size", 12);
  ini.WriteInteger("DEFAULT", "Style", 0);
  ini.WriteString("DEFAULT", "Image", "pictures\\my board.jpg");
  ini.WriteString("DEFAULT", "Theme", "");
  EXPECT_EQ(ReadAll(dir.File("quendrel.ini")),
            "[DEFAULT]\nPuzzle Size=12\nStyle=0\nImage=pictures\\my board.jpg\nTheme=\n");
  EXPECT_EQ(ini.ReadInteger("default", "puzzle size", 6), 12);
  EXPECT_EQ(ini.ReadString("DEFAULT", "Theme", "x"), "");
  EXPECT_TRUE(ini.ValueExists("DEFAULT", "Theme"));
  ini.WriteInteger("DEFAULT", "PUZZLE SIZE", 7); // replaces in place
  EXPECT_EQ(ini.ReadInteger("DEFAULT", "Puzzle Size", 6), 7);
  EXPECT_EQ(ReadAll(dir.File("quendrel.ini")).find("PUZZLE SIZE=7\nStyle=0"), 10u);
  ini.WriteBool("Other", "Flag", true);
  EXPECT_TRUE(ini.ReadBool("other", "flag", false));
}

TEST(IniFile, WritingKeepsEverythingElse) {
  TempFolder dir;
  const std::string name = dir.File("settings.ini");
  WriteAll(name, "; settings of the game\r\n"
                 "[Window]\r\n"
                 "Left = 10\r\n"
                 "# a comment inside\r\n"
                 "\r\n"
                 "[DEFAULT]\r\n"
                 "Style=1\r\n"
                 "Width=\"  300  \"\r\n"
                 "Style=2\r\n"
                 "junk line without equals\r\n");
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadInteger("Window", "Left", 0), 10);
  EXPECT_EQ(ini.ReadInteger("DEFAULT", "Style", 0), 1); // the first wins
  EXPECT_EQ(ini.ReadString("DEFAULT", "Width", ""), "  300  ");
  ini.WriteInteger("Window", "Top", 20);
  ini.WriteString("DEFAULT", "Theme", "blue.skn");
  ini.WriteInteger("New", "Key", 1);
  EXPECT_EQ(ReadAll(name), "; settings of the game\r\n"
                           "[Window]\r\n"
                           "Left = 10\r\n"
                           "Top=20\r\n"
                           "# a comment inside\r\n"
                           "\r\n"
                           "[DEFAULT]\r\n"
                           "Style=1\r\n"
                           "Width=\"  300  \"\r\n"
                           "Style=2\r\n"
                           "Theme=blue.skn\r\n"
                           "junk line without equals\r\n"
                           "\r\n"
                           "[New]\r\n"
                           "Key=1\r\n");
  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(list.CommaText(), "Window,DEFAULT,New");
  ini.ReadSection("DEFAULT", &list);
  EXPECT_EQ(list.CommaText(), "Style,Width,Theme");
  ini.ReadSectionValues("Window", &list);
  EXPECT_EQ(list.Values("Top"), "20");
  ini.DeleteKey("Window", "Top");
  ini.EraseSection("New");
  EXPECT_FALSE(ini.SectionExists("New"));
  EXPECT_FALSE(ini.ValueExists("Window", "Top"));
}

TEST(IniFile, AWriteReplacesTheFileInOneStep) {
  TempFolder dir;
  const std::string name = dir.File("quendrel.ini");
  WriteAll(name, "[DEFAULT]\nWidth=250\n");
  const auto permissionsBefore = std::filesystem::status(name).permissions();
  TIniFile ini(name);
  ini.WriteInteger("DEFAULT", "Height", 300);
  // Only the settings file is left: the temporary file was renamed over it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path)) {
    ++files;
    EXPECT_EQ(entry.path().filename(), "quendrel.ini");
  }
  EXPECT_EQ(files, 1);
  EXPECT_EQ(std::filesystem::status(name).permissions(), permissionsBefore);

  // A folder that cannot take the temporary file: the write fails and the old file stays whole.
  TIniFile nowhere(dir.File("no/such/folder/quendrel.ini"));
  EXPECT_THROW(nowhere.WriteInteger("DEFAULT", "Width", 1), EStreamError);
  EXPECT_EQ(ReadAll(name), "[DEFAULT]\nWidth=250\nHeight=300\n");
}

TEST(IniFile, RandomAndTruncatedFilesReadWithoutHarm) {
  TempFolder dir;
  const std::string name = dir.File("fuzz.ini");
  const std::string valid = "[DEFAULT]\nPuzzle Size=6\n;c\n[Other]\nx=\"y\"\n";
  std::mt19937 random(7);
  const char alphabet[] = "[]=;#\"' \r\n\tabcXYZ019\x00\xff";
  for (int round = 0; round < 400; ++round) {
    std::string text;
    if (round < static_cast<int>(valid.size())) {
      text = valid.substr(0, static_cast<size_t>(round));
    } else {
      text.resize(random() % 120);
      for (char& c : text) c = alphabet[random() % (sizeof alphabet - 1)];
    }
    WriteAll(name, text);
    TIniFile ini(name);
    const int size = ini.ReadInteger("DEFAULT", "Puzzle Size", -1);
    EXPECT_TRUE(size == -1 || size == 6);
    ini.WriteString("DEFAULT", "Image", "a.jpg");
    EXPECT_EQ(ini.ReadString("DEFAULT", "Image", ""), "a.jpg");
  }
}

// A file that could not be read is never replaced: writing it would lose every other section.
TEST(IniFile, AFileThatCannotBeReadOrWrittenIsLeftAlone) {
  TempFolder dir;
  // Too large to be settings (a sparse file: no disk space is used).
  const std::string large = dir.File("large.ini");
  WriteAll(large, "[DEFAULT]\nWidth=250\n");
  std::filesystem::resize_file(large, std::uintmax_t{65} << 20);
  TIniFile big(large);
  EXPECT_EQ(big.ReadInteger("DEFAULT", "Width", 7), 7); // reading, it is empty
  EXPECT_THROW(big.WriteInteger("DEFAULT", "Height", 1), EFOpenError);
  EXPECT_EQ(std::filesystem::file_size(large), std::uintmax_t{65} << 20);
  // A FIFO reads as empty without blocking, and is not replaced.
  const std::string fifo = dir.File("fifo.ini");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  TIniFile pipe(fifo);
  EXPECT_EQ(pipe.ReadString("DEFAULT", "Image", "none"), "none");
  EXPECT_THROW(pipe.WriteString("DEFAULT", "Image", "a.jpg"), EFOpenError);
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  // A read-only file is not replaced (even by a user whom permissions do not stop).
  const std::string locked = dir.File("locked.ini");
  WriteAll(locked, "[DEFAULT]\nWidth=250\n");
  std::filesystem::permissions(locked,
                               std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  TIniFile readOnly(locked);
  EXPECT_THROW(readOnly.WriteInteger("DEFAULT", "Width", 1), EFCreateError);
  EXPECT_EQ(ReadAll(locked), "[DEFAULT]\nWidth=250\n");
  EXPECT_EQ(readOnly.ReadInteger("DEFAULT", "Width", 0), 250);
}

TEST(IniFile, WritesGoThroughSymbolicLinksAndKeepPermissions) {
  TempFolder dir;
  std::filesystem::create_directory(dir.File("real"));
  const std::string target = dir.File("real/quendrel.ini");
  WriteAll(target, "[DEFAULT]\nWidth=250\n");
  const auto perms = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                     std::filesystem::perms::group_read;
  std::filesystem::permissions(target, perms);
  std::filesystem::create_symlink("real/quendrel.ini", dir.File("link.ini"));
  std::filesystem::create_symlink("link.ini", dir.File("link2.ini"));
  TIniFile ini(dir.File("link2.ini"));
  ini.WriteInteger("DEFAULT", "Height", 300);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link2.ini")));
  EXPECT_EQ(ReadAll(target), "[DEFAULT]\nWidth=250\nHeight=300\n");
  EXPECT_EQ(std::filesystem::status(target).permissions(), perms);
  // A link to a file that does not exist yet creates its target.
  std::filesystem::create_symlink("real/new.ini", dir.File("new.ini"));
  TIniFile fresh(dir.File("new.ini"));
  fresh.WriteString("A", "B", "C");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("new.ini")));
  EXPECT_EQ(ReadAll(dir.File("real/new.ini")), "[A]\nB=C\n");
}

// What the reader could not find again is refused, the file unchanged; values that the reader would trim or
// unquote are quoted so that they read back as written.
TEST(IniFile, OnlyWhatReadsBackIsWritten) {
  TempFolder dir;
  const std::string name = dir.File("quendrel.ini");
  WriteAll(name, "[DEFAULT]\nWidth=250\n");
  TIniFile ini(name);
  const std::pair<const char*, const char*> badNames[] = {
      {"DEFAULT", "a\nb"}, {"DEFAULT", ";key"}, {"DEFAULT", "#key"}, {"DEFAULT", "[key"},
      {"DEFAULT", "a=b"},  {"DEFAULT", " key"}, {"DEFAULT", "key "}, {"DEFAULT", ""},
      {"a]b", "key"},      {" DEFAULT", "key"}, {"a\rb", "key"},
  };
  for (const auto& [section, key] : badNames)
    EXPECT_THROW(ini.WriteString(section, key, "1"), EIniFileException) << section << "/" << key;
  EXPECT_THROW(ini.WriteString("DEFAULT", "Image", "a\n[Evil]\nx=1"), EIniFileException);
  EXPECT_THROW(ini.WriteString("DEFAULT", "Image", "a\r"), EIniFileException);
  EXPECT_EQ(ReadAll(name), "[DEFAULT]\nWidth=250\n");

  for (const char* value :
       {"  padded  ", "\"quoted\"", "'single'", "\"", "'", "tab\t", "a \"b\" c", "x=y;z"}) {
    ini.WriteString("DEFAULT", "Value", value);
    EXPECT_EQ(ini.ReadString("DEFAULT", "Value", "?"), value);
  }
  // Writing the same key again replaces it instead of adding another copy.
  ini.WriteString("Odd [name", "Key with blanks", "1");
  ini.WriteString("Odd [name", "Key with blanks", "2");
  EXPECT_EQ(ini.ReadString("odd [NAME", "key with BLANKS", ""), "2");
  TStringList keys;
  ini.ReadSection("Odd [name", &keys);
  EXPECT_EQ(keys.Count(), 1);
}

// Writers lock the folder around their read-modify-write: no update is lost, and the temporary file of a
// write that was killed is cleared away (never followed when it is a link).
TEST(IniFile, ConcurrentWritersLoseNothingAndStaleTemporaryFilesGo) {
  TempFolder dir;
  const std::string name = dir.File("quendrel.ini");
  WriteAll(name + ".tmp", "left by a killed write");
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w)
    writers.emplace_back([&, w] {
      TIniFile ini(name);
      for (int k = 0; k < 25; ++k) ini.WriteInteger("S" + IntToStr(w), "K" + IntToStr(k), k);
    });
  for (auto& t : writers) t.join();
  TIniFile ini(name);
  for (int w = 0; w < 4; ++w)
    for (int k = 0; k < 25; ++k) EXPECT_EQ(ini.ReadInteger("S" + IntToStr(w), "K" + IntToStr(k), -1), k);
  EXPECT_FALSE(std::filesystem::exists(name + ".tmp"));

  std::filesystem::create_symlink(dir.File("victim"), name + ".tmp");
  ini.WriteInteger("S0", "K0", 100);
  EXPECT_EQ(ini.ReadInteger("S0", "K0", -1), 100);
  EXPECT_FALSE(std::filesystem::exists(dir.File("victim")));
  EXPECT_FALSE(std::filesystem::is_symlink(name + ".tmp"));
}
