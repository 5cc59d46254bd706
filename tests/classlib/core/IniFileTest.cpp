#include "classlib/core/IniFiles.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

#include "TempFolder.h"
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
