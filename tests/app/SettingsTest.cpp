// Start-up and shut-down: the settings file of the working folder, read at start and written at the end,
// its defaults, values from outside the game's range, a second working folder, and a file that cannot be
// written.
#include <filesystem>

#include "classlib/controls/Menus.h"
#include "classlib/controls/Screen.h"
#include "classlib/controls/ToolBar.h"
#include "tests/app/GameFixture.h"

namespace {

using SettingsTest = GameTest;

TEST_F(SettingsTest, AFirstStartOpensOnANumberedThreeByThreeAndWritesTheDefaults) {
  StartGame();
  EXPECT_EQ(mainForm->Caption(), "Quendrel v2.0");
  EXPECT_EQ(mainForm->IniFileName(), Dir.File("quendrel.ini"));
  EXPECT_EQ(mainForm->Rows(), 3);
  EXPECT_EQ(mainForm->Cols(), 3);
  EXPECT_EQ(mainForm->Style(), 0);
  EXPECT_EQ(mainForm->Width(), 250);
  EXPECT_EQ(mainForm->Height(), mainForm->GetChromeHeight() + 250);
  EXPECT_EQ(Status(), "New game");
  EXPECT_TRUE(Boxes.empty());

  // The size submenu: 25 items from 2x2 to 6x6, rows outer, columns inner; opening it marks 3x3.
  TMenuItem* sizes = mainForm->mPuzzleSize;
  ASSERT_EQ(sizes->Count(), 25);
  EXPECT_EQ(sizes->Items(0)->Caption(), "2x2");
  EXPECT_EQ(sizes->Items(4)->Caption(), "2x6");
  EXPECT_EQ(sizes->Items(5)->Caption(), "3x2");
  EXPECT_EQ(sizes->Items(24)->Caption(), "6x6");
  sizes->Click();
  EXPECT_TRUE(sizes->Items(6)->Checked());
  EXPECT_EQ(sizes->Items(6)->Caption(), "3x3");

  const int width = mainForm->Width(), height = mainForm->Height();
  CloseGame();
  EXPECT_EQ(Setting("Puzzle Size"), "6");
  EXPECT_EQ(Setting("Style"), "0");
  EXPECT_EQ(Setting("Image"), "default.jpg");
  EXPECT_EQ(Setting("Width"), IntToStr(width));
  EXPECT_EQ(Setting("Height"), IntToStr(height));
  EXPECT_EQ(Setting("Theme"), "");
}

TEST_F(SettingsTest, SettingsComeBackAsTheyWereAndTheRestOfTheFileIsKept) {
  const std::string theme = std::string(QUENDREL_PROGRAM_DIR) + "/themes/Emerald.skn";
  const std::string picture = std::string(QUENDREL_PROGRAM_DIR) + "/default.jpg";
  WriteSettings("; kept\n[Other]\nKey=value\n\n[DEFAULT]\nPuzzle Size=13\nStyle=2\nImage=" + picture +
                "\nWidth=320\nHeight=410\nTheme=" + theme + "\n");
  StartGame();
  EXPECT_EQ(mainForm->Rows(), 4);
  EXPECT_EQ(mainForm->Cols(), 5);
  EXPECT_EQ(mainForm->Style(), 2);
  EXPECT_EQ(mainForm->Width(), 320);
  EXPECT_EQ(mainForm->Height(), 410);
  EXPECT_EQ(mainForm->ThemeFile(), theme);
  EXPECT_FALSE(mainForm->BoardPicture()->Picture()->Bitmap()->Empty());
  EXPECT_TRUE(Boxes.empty());
  CloseGame();

  EXPECT_EQ(Setting("Puzzle Size"), "13");
  EXPECT_EQ(Setting("Style"), "2");
  EXPECT_EQ(Setting("Image"), picture);
  EXPECT_EQ(Setting("Width"), "320");
  EXPECT_EQ(Setting("Height"), "410");
  EXPECT_EQ(Setting("Theme"), theme);
  EXPECT_EQ(TIniFile(Dir.File("quendrel.ini")).ReadString("Other", "Key", ""), "value");
  // Written by replacing the file whole: no temporary file is left beside it.
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(Dir.Path)) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(SettingsTest, ValuesFromOutsideTheGamesRangeFallBackInsteadOfStoppingTheStart) {
  WriteSettings("[DEFAULT]\nPuzzle Size=99\nStyle=7\nWidth=99999\nHeight=-5\n");
  StartGame();
  EXPECT_EQ(mainForm->SizeIndex(), 6);
  EXPECT_EQ(mainForm->Style(), 0);
  const TRect work = Screen->WorkAreaRect();
  EXPECT_LE(mainForm->Width(), work.Width());
  EXPECT_GE(mainForm->Height(), 50);
  EXPECT_TRUE(Boxes.empty());
  mainForm->mStyle->Click(); // the Style submenu opens without a list-index error
  EXPECT_TRUE(mainForm->mStyle->Items(0)->Checked());
  CloseGame();
  EXPECT_EQ(Setting("Puzzle Size"), "6");
  EXPECT_EQ(Setting("Style"), "0");

  WriteSettings("[DEFAULT]\nPuzzle Size=-1\nStyle=-3\nWidth=10\nHeight=99999\n");
  StartGame();
  EXPECT_EQ(mainForm->SizeIndex(), 6);
  EXPECT_EQ(mainForm->Style(), 0);
  EXPECT_GE(mainForm->Width(), mainForm->Constraints()->MinWidth());
  EXPECT_LE(mainForm->Height(), work.Height());
}

TEST_F(SettingsTest, TheSmallestGameWindowIsTwoHundredByFiftyWhateverTheFrameOrItsTheme) {
  // The menu bar keeps all its items on one row.
  auto oneRow = [] {
    TToolBar* bar = mainForm->skForm->MenuBar();
    if (!bar || bar->ButtonCount() == 0) return false;
    for (int i = 0; i < bar->ButtonCount(); ++i)
      if (bar->Buttons(i)->Top() != bar->Buttons(0)->Top()) return false;
    return true;
  };
  WriteSettings("[DEFAULT]\nWidth=1\nHeight=1\n");
  StartGame();
  EXPECT_EQ(mainForm->Width(), 200);
  EXPECT_EQ(mainForm->Height(), 50);
  EXPECT_TRUE(oneRow());
  testsupport::RenderToPng(mainForm, "game-smallest.png");

  // Each theme sets the frame's own minimum again; the game's stays above it.
  for (const char* theme : {"Sunset", "Emerald", "Amethyst"}) {
    Picks = {std::string(QUENDREL_PROGRAM_DIR) + "/themes/" + theme + ".skn"};
    ASSERT_TRUE(Run(mainForm->ActionChangeTheme));
    mainForm->SetBounds(mainForm->Left(), mainForm->Top(), 1, 1);
    EXPECT_EQ(mainForm->Width(), std::max(200, mainForm->skFileTheme->GetInt(13))) << theme;
    EXPECT_EQ(mainForm->Height(), 50) << theme;
    EXPECT_TRUE(oneRow()) << theme;
  }
}

TEST_F(SettingsTest, EachWorkingFolderHasItsOwnSettings) {
  TempFolder other;
  std::ofstream(other.File("quendrel.ini")) << "[DEFAULT]\nPuzzle Size=24\n";
  WriteSettings("[DEFAULT]\nPuzzle Size=0\n");
  StartGame();
  EXPECT_EQ(mainForm->Rows(), 2);
  EXPECT_EQ(mainForm->Cols(), 2);
  CloseGame();

  SetCurrentDir(other.Path);
  StartGame();
  EXPECT_EQ(mainForm->IniFileName(), other.File("quendrel.ini"));
  EXPECT_EQ(mainForm->Rows(), 6);
  EXPECT_EQ(mainForm->Cols(), 6);
  mainForm->mPuzzleSize->Items(13)->Click(); // 4x5
  CloseGame();
  EXPECT_EQ(TIniFile(other.File("quendrel.ini")).ReadInteger("DEFAULT", "Puzzle Size", -1), 13);
  EXPECT_EQ(Setting("Puzzle Size"), "0"); // the first folder's file is untouched
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenIsReportedAndNothingElseBreaks) {
  TempFolder gone;
  SetCurrentDir(gone.Path);
  StartGame();
  // The working folder disappears while the game runs.
  std::filesystem::remove_all(gone.Path);
  CloseGame();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("quendrel.ini"), std::string::npos) << Boxes[0];
}

TEST_F(SettingsTest, ASavedThemeThatIsNoThemeIsReportedOnceAndForgotten) {
  std::ofstream(Dir.File("broken.skn")) << "not a theme at all";
  WriteSettings("[DEFAULT]\nTheme=" + Dir.File("broken.skn") + "\n");
  StartGame();
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("Invalid skin file"), std::string::npos) << Boxes[0];
  EXPECT_EQ(mainForm->ThemeFile(), "");
  EXPECT_EQ(mainForm->Rows(), 3);
  CloseGame();
  EXPECT_EQ(Setting("Theme"), "");
}

} // namespace
