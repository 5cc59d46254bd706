// Undo and redo, saved games and records through the game window: the commands' enabling as the game
// allows them, the short cuts, Save As... and Load... through their dialogs, a broken file told in one box
// with nothing changed, and the records window drawn with its Reset button.
#include <fstream>

#include "app/RecordsForm.h"
#include "app/SavedGame.h"
#include "classlib/backend/Backend.h"
#include "classlib/controls/Menus.h"
#include "skin/SKButton.h"
#include "tests/app/GameFixture.h"

namespace {

class GameFilesTest : public GameTest {
 protected:
  static bool Enabled(TAction* Action) {
    Action->Update();
    return Action->Enabled();
  }
  // A dealt 3x3 game one click from the goal, with its file.
  std::string NearlySolvedGame() {
    const std::string name = Dir.File("nearly.qgame");
    std::ofstream(name) << "Quendrel game 1\nsize 3 3\nstyle 0\nimage \nstart 1 2 3 4 5 6 7 0 8\nmoves \n"
                           "count 0\nelapsed 0\nstate new\nrecordable 1\n";
    return name;
  }
};

TEST_F(GameFilesTest, UndoAndRedoFollowTheGameAndItsShortCuts) {
  StartGame();
  Run(mainForm->ActionReset);
  EXPECT_FALSE(Enabled(mainForm->ActionUndo));
  EXPECT_FALSE(Enabled(mainForm->ActionRedo));
  EXPECT_TRUE(Enabled(mainForm->ActionSaveGame));
  EXPECT_TRUE(Enabled(mainForm->ActionLoadGame));

  ClickTile(7);
  ClickTile(4);
  const std::vector<int> played = Cells();
  EXPECT_TRUE(Enabled(mainForm->ActionUndo));
  testsupport::PressKey('Z', backend::ModControl);
  testsupport::PressKey('Z', backend::ModControl);
  EXPECT_EQ(Cells(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, -1}));
  EXPECT_EQ(CellsOnScreen(), Cells());
  EXPECT_EQ(Step(), "0");
  EXPECT_FALSE(Enabled(mainForm->ActionUndo));
  EXPECT_TRUE(Enabled(mainForm->ActionRedo));
  testsupport::PressKey('Y', backend::ModControl);
  testsupport::PressKey('Z', backend::ModControl | backend::ModShift);
  EXPECT_EQ(Cells(), played);
  EXPECT_EQ(CellsOnScreen(), Cells());
  EXPECT_EQ(Step(), "2");
  EXPECT_TRUE(mainForm->TimerMove->Enabled());

  // The menus name them with their short cuts, beside the game's own commands.
  EXPECT_EQ(mainForm->mGame->Items(2)->Caption(), "Undo");
  EXPECT_EQ(ShortCutToText(mainForm->mGame->Items(2)->ShortCut()), "Ctrl+Z");
  EXPECT_EQ(ShortCutToText(mainForm->mGame->Items(3)->ShortCut()), "Ctrl+Y");
  EXPECT_EQ(mainForm->skPopupMenu->Items()->Items(2)->Caption(), "Undo");

  // A search locks them, and so does the solution player.
  testsupport::PressKey('Z', backend::ModControl);
  HoldSearchRuns();
  ASSERT_TRUE(Run(mainForm->ActionSearch));
  EXPECT_FALSE(Enabled(mainForm->ActionUndo));
  EXPECT_FALSE(Enabled(mainForm->ActionRedo));
  EXPECT_FALSE(Enabled(mainForm->ActionSaveGame));
  EXPECT_FALSE(Enabled(mainForm->ActionLoadGame));
  ReleaseSearchRuns();
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  EXPECT_TRUE(Enabled(mainForm->ActionUndo));
  ASSERT_TRUE(Run(mainForm->ActionShowSolution));
  EXPECT_FALSE(Enabled(mainForm->ActionUndo));
  EXPECT_FALSE(Enabled(mainForm->ActionSaveGame));
  const std::vector<int> atPlayer = Cells();
  testsupport::PressKey('Z', backend::ModControl);
  EXPECT_EQ(Cells(), atPlayer);
}

TEST_F(GameFilesTest, SaveAsAndLoadBringTheGameBackAndABrokenFileChangesNothing) {
  StartGame();
  mainForm->mPuzzleSize->Items(13)->Click(); // 4x5
  Run(mainForm->ActionReset);
  ClickTile(19 - 1);
  ClickTile(19 - 6);
  testsupport::PressKey('Z', backend::ModControl);
  const std::vector<int> saved = Cells();
  Picks = {Dir.File("mine")}; // the extension comes with the filter
  ASSERT_TRUE(Run(mainForm->ActionSaveGame));
  EXPECT_EQ(Status(), "Game saved");
  EXPECT_EQ(mainForm->GameFile(), Dir.File("mine.qgame"));
  ASSERT_EQ(Dialogs.size(), 1u);
  EXPECT_EQ(Dialogs[0], Dir.Path + "|Quendrel game|*.qgame");

  mainForm->mPuzzleSize->Items(6)->Click(); // 3x3, a new game
  Picks = {Dir.File("mine.qgame")};
  ASSERT_TRUE(Run(mainForm->ActionLoadGame));
  EXPECT_EQ(mainForm->Rows(), 4);
  EXPECT_EQ(mainForm->Cols(), 5);
  EXPECT_EQ(Cells(), saved);
  EXPECT_EQ(CellsOnScreen(), Cells());
  EXPECT_EQ(Status(), "Game loaded");
  EXPECT_EQ(Step(), "1");
  EXPECT_TRUE(mainForm->TimerMove->Enabled());
  mainForm->mPuzzleSize->Click(); // the size submenu marks the loaded size
  EXPECT_TRUE(mainForm->mPuzzleSize->Items(13)->Checked());
  EXPECT_TRUE(Enabled(mainForm->ActionRedo) == false);
  Run(mainForm->ActionUndo);
  EXPECT_EQ(Step(), "0");
  EXPECT_TRUE(Boxes.empty());

  // A file that does not hold a game: one box says why, and the game stays as it was.
  std::ofstream(Dir.File("broken.qgame")) << "Quendrel game 1\nsize 3 3\n";
  const std::vector<int> before = Cells();
  EXPECT_FALSE(mainForm->OpenGameFile(Dir.File("broken.qgame")));
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], "Error: The game file \"" + Dir.File("broken.qgame") +
                          "\" cannot be loaded: it has no \"style\" line.");
  EXPECT_EQ(Cells(), before);
  EXPECT_EQ(mainForm->Cols(), 5);

  // A picture game whose picture is gone is not loaded either.
  std::ofstream(Dir.File("picture.qgame"))
      << "Quendrel game 1\nsize 2 2\nstyle 1\nimage " << Dir.File("gone.jpg")
      << "\nstart 1 2 3 0\nmoves \ncount 0\nelapsed 0\nstate new\n";
  EXPECT_FALSE(mainForm->OpenGameFile(Dir.File("picture.qgame")));
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_NE(Boxes[1].find("its board picture"), std::string::npos) << Boxes[1];
  EXPECT_EQ(mainForm->Style(), 0);
  EXPECT_EQ(mainForm->Cols(), 5);

  // A save that cannot be written says so and keeps the game.
  Picks = {Dir.File("no-such-folder/game.qgame")};
  ASSERT_TRUE(Run(mainForm->ActionSaveGame));
  ASSERT_EQ(Boxes.size(), 3u);
  EXPECT_EQ(Boxes[2].rfind("Error: The game was not saved. Cannot create file", 0), 0u) << Boxes[2];
  EXPECT_EQ(Cells(), before);
}

TEST_F(GameFilesTest, ASolvedDealtGameSetsARecordShownInTheRecordsWindow) {
  StartGame();
  ASSERT_TRUE(mainForm->OpenGameFile(NearlySolvedGame()));
  ClickTile(8);
  ASSERT_TRUE(mainForm->Board()->IsEqual(mainForm->Goal().data()));
  EXPECT_EQ(Status().rfind("Congratulations ! Records: 1 move, 00:00:0", 0), 0u) << Status();
  EXPECT_EQ(TIniFile(Dir.File("quendrel.ini")).ReadString("RECORDS", "3x3 Moves", ""), "1");

  // Solved again, it beats nothing.
  ASSERT_TRUE(mainForm->OpenGameFile(NearlySolvedGame()));
  ClickTile(8);
  EXPECT_EQ(Status(), "Congratulations !");

  ASSERT_TRUE(Run(mainForm->ActionRecords));
  TFormRecords* records = mainForm->RecordsWindow();
  ASSERT_NE(records, nullptr);
  testsupport::Pump();
  EXPECT_TRUE(records->Visible());
  EXPECT_EQ(records->LabelSizes->Caption(), "Size\n3x3");
  EXPECT_EQ(records->LabelMoves->Caption(), "Fewest moves\n1");
  testsupport::RenderToPng(records, "records-window.png");
  // The table's second line is drawn: dark text in the lower half of the sizes column.
  TLabel* sizes = records->LabelSizes;
  const TSurface shot = testsupport::Render(sizes);
  bool ink = false;
  for (int y = sizes->Height() / 2; y < sizes->Height(); ++y)
    for (int x = 0; x < sizes->Width(); ++x) {
      const TColor c = testsupport::PixelAt(shot, x, y);
      ink = ink || ((c & 0xFF) < 0x60 && (c >> 8 & 0xFF) < 0x60 && (c >> 16 & 0xFF) < 0x60);
    }
  EXPECT_TRUE(ink);
  EXPECT_TRUE(records->skButtonReset->Enabled());

  // Reset asks first; a no keeps them, a yes forgets them here and in the settings file.
  MessageBoxHook = [](const AnsiString&, const AnsiString&, int) { return IDNO; };
  testsupport::Click(records->skButtonReset, 10, 10);
  EXPECT_FALSE(mainForm->Game().Records().Empty());
  MessageBoxHook = [](const AnsiString&, const AnsiString&, int) { return IDYES; };
  testsupport::Click(records->skButtonReset, 10, 10);
  EXPECT_TRUE(mainForm->Game().Records().Empty());
  EXPECT_EQ(records->LabelMoves->Caption(), "Fewest moves");
  EXPECT_FALSE(records->skButtonReset->Enabled());
  EXPECT_EQ(TIniFile(Dir.File("quendrel.ini")).ReadString("RECORDS", "3x3 Moves", "<none>"), "<none>");
}

TEST_F(GameFilesTest, BrokenRecordsInTheSettingsFileAreNoRecordsAndNoReasonToStop) {
  WriteSettings("[RECORDS]\n3x3 Moves=-4\n3x3 Time=abc\n4x4 Moves=52\n4x4 Time=99999999999\n");
  StartGame();
  EXPECT_FALSE(mainForm->Game().Records().Get(3, 3).HasMoves());
  EXPECT_FALSE(mainForm->Game().Records().Get(3, 3).HasTime());
  EXPECT_EQ(mainForm->Game().Records().Get(4, 4).Moves, 52);
  EXPECT_FALSE(mainForm->Game().Records().Get(4, 4).HasTime());
  EXPECT_TRUE(Boxes.empty());
}

} // namespace
