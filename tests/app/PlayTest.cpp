// Play: the tile grid, clicks and arrow keys through the desktop's input road, the move counter and clock,
// the solved test, New and Reset, the board sizes and the rules that enable the commands.
#include "classlib/controls/Menus.h"
#include "classlib/core/Random.h"
#include "classlib/graphics/Color.h"
#include "skin/SKImagePanel.h"
#include "tests/app/GameFixture.h"

namespace {

using PlayTest = GameTest;

// Sizes the main window so that the board's tile area is Width x Height.
void SetBoardArea(int Width, int Height) {
  TControl* area = mainForm->skImagePanel;
  mainForm->SetClientWidth(mainForm->ClientWidth() + Width - area->Width());
  mainForm->SetClientHeight(mainForm->ClientHeight() + Height - area->Height());
  testsupport::Pump();
}

TEST_F(PlayTest, TilesFormACentredGridWithOnePixelGaps) {
  StartGame();
  SetBoardArea(356, 136);
  ASSERT_EQ(mainForm->skImagePanel->ClientWidth(), 356);
  ASSERT_EQ(mainForm->skImagePanel->ClientHeight(), 136);
  TPanel* first = mainForm->TilePanel(0);
  EXPECT_EQ(first->BoundsRect(), TRect(1, 1, 118, 45)); // 117 x 44 at offset 1, 1
  EXPECT_EQ(mainForm->TilePanel(1)->Left(), first->Left() + 117 + 1);
  EXPECT_EQ(mainForm->TilePanel(3)->Top(), first->Top() + 44 + 1);
  EXPECT_EQ(mainForm->TilePanel(8)->BoundsRect(), TRect(237, 91, 354, 135));
  EXPECT_EQ(mainForm->skPanelBoard->Caption(), "8-Puzzle");

  // The numbers on the tiles are the board's; the blank's cell shows the board behind it.
  EXPECT_EQ(CellsOnScreen(), Cells());
  const int blank = Blank();
  const int tile = blank == 0 ? 1 : 0;
  const TSurface shot = testsupport::Render(mainForm->skImagePanel);
  testsupport::SavePng(shot, "game-numbered.png");
  TPanel* blankPanel = mainForm->TilePanel(blank);
  EXPECT_EQ(testsupport::PixelAt(shot, blankPanel->Left() + 5, blankPanel->Top() + 20),
            ColorToRGB(mainForm->skImagePanel->Color()));
  TPanel* tilePanel = mainForm->TilePanel(tile);
  EXPECT_EQ(testsupport::PixelAt(shot, tilePanel->Left(), tilePanel->Top() + 20), clWhite); // raised bevel
  EXPECT_EQ(testsupport::PixelAt(shot, tilePanel->Left() + 5, tilePanel->Top() + 20),
            ColorToRGB(mainForm->skForm->Color()));
}

TEST_F(PlayTest, AClickMovesATileNextToTheBlankAndStartsTheClock) {
  StartGame();
  testsupport::ManualClock clock;
  EXPECT_EQ(Step(), "0");
  EXPECT_EQ(Time(), "00:00:00");
  // A tile that is not next to the blank moves nothing, but the game starts.
  const int blank = Blank();
  int far = 0;
  while (far == blank || std::abs(far % 3 - blank % 3) + std::abs(far / 3 - blank / 3) == 1) ++far;
  const std::vector<int> before = Cells();
  ClickTile(far);
  EXPECT_EQ(Cells(), before);
  EXPECT_EQ(mainForm->HistoryLength(), 0);
  EXPECT_TRUE(mainForm->TimerMove->Enabled());

  // A neighbour of the blank slides into it; both cells show the change.
  const int neighbour = blank % 3 > 0 ? blank - 1 : blank + 1;
  const int value = Cells()[neighbour];
  ClickTile(neighbour);
  EXPECT_EQ(Cells()[blank], value);
  EXPECT_EQ(Cells()[neighbour], -1);
  EXPECT_EQ(CellsOnScreen(), Cells());
  EXPECT_EQ(mainForm->HistoryLength(), 1);
  EXPECT_EQ(Step(), "0"); // the counter shows with the clock's next tick
  clock.Advance(1000);
  EXPECT_EQ(Step(), "1");
  EXPECT_EQ(Time().size(), 8u);
}

TEST_F(PlayTest, AfterResetAClickOnTheSolvedBoardCongratulatesAtOnce) {
  StartGame();
  Run(mainForm->ActionReset);
  EXPECT_EQ(Status(), "Reset");
  EXPECT_EQ(Cells(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, -1}));
  EXPECT_FALSE(mainForm->ActionSearch->Execute()); // nothing to search on a solved board
  EXPECT_FALSE(mainForm->ActionSearch->Enabled());
  ClickTile(0);
  EXPECT_EQ(Status(), "Congratulations !");
  EXPECT_FALSE(mainForm->TimerMove->Enabled());
  EXPECT_EQ(Time(), "00:00:00");

  // After another Reset a tile next to the blank moves and the game runs; moving it back solves it again.
  Run(mainForm->ActionReset);
  ClickTile(7);
  EXPECT_EQ(Cells()[8], 8);
  EXPECT_TRUE(mainForm->TimerMove->Enabled());
  ClickTile(8);
  EXPECT_EQ(Status(), "Congratulations !");
  EXPECT_FALSE(mainForm->TimerMove->Enabled());
}

TEST_F(PlayTest, ArrowKeysMoveTheTileOnThatSideAndBlockedOnesDoNothing) {
  StartGame();
  Run(mainForm->ActionReset);
  // The blank is in the bottom right corner: nothing below it, nothing right of it.
  Press(VK_UP);
  Press(VK_LEFT);
  EXPECT_EQ(Cells(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, -1}));
  EXPECT_EQ(mainForm->HistoryLength(), 0);
  Press(VK_RIGHT); // the tile left of the blank moves right
  EXPECT_EQ(Cells(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, -1, 8}));
  Press(VK_DOWN); // the tile above moves down
  EXPECT_EQ(Cells(), (std::vector<int>{1, 2, 3, 4, -1, 6, 7, 5, 8}));
  Press(VK_UP);
  Press(VK_LEFT);
  EXPECT_EQ(Cells(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, -1}));
  EXPECT_EQ(CellsOnScreen(), Cells());
  EXPECT_EQ(mainForm->HistoryLength(), 4);
  // Keys neither count nor start the clock nor test for the goal.
  EXPECT_EQ(Status(), "Reset");
  EXPECT_FALSE(mainForm->TimerMove->Enabled());
}

TEST_F(PlayTest, ArrowKeysStillMoveTilesAfterThePlayerButtonsAndThenNewOrReset) {
  StartGame();
  for (TAction* leave : {mainForm->ActionNewGame, mainForm->ActionReset}) {
    // One move from the goal, the search ends at once; the player shows its solution.
    Run(mainForm->ActionReset);
    Press(VK_RIGHT);
    Press(VK_F5);
    ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
    mainForm->ActionsUpdate(nullptr);
    ASSERT_TRUE(Run(mainForm->ActionShowSolution));
    testsupport::Click(mainForm->skButtonNext, 10, 10);
    ASSERT_TRUE(Run(leave));
    ASSERT_FALSE(mainForm->PanelNavigate->Visible());
    // An arrow with a tile on its side of the blank moves it.
    for (int i = 0; i < 3; ++i) {
      const std::vector<int> before = Cells();
      const bool leftEdge = Blank() % mainForm->Cols() == 0;
      Press(leftEdge ? VK_LEFT : VK_RIGHT);
      EXPECT_NE(Cells(), before) << leave->Name() << ", key " << i;
      EXPECT_EQ(CellsOnScreen(), Cells());
    }
  }
}

TEST_F(PlayTest, SizesNewGamesAndTheCommandRules) {
  StartGame();
  EXPECT_FALSE(mainForm->ActionPreview->Execute()); // picture commands need a picture style
  EXPECT_FALSE(mainForm->ActionSizeToFitImage->Enabled());
  EXPECT_FALSE(mainForm->ActionChangeBoardImage->Enabled());
  EXPECT_FALSE(mainForm->ActionShowSolution->Enabled());
  EXPECT_TRUE(mainForm->ActionNewGame->Enabled());

  mainForm->mPuzzleSize->Items(14)->Click(); // "4x6"
  EXPECT_EQ(mainForm->Rows(), 4);
  EXPECT_EQ(mainForm->Cols(), 6);
  EXPECT_EQ(mainForm->skPanelBoard->Caption(), "23-Puzzle");
  int shown = 0;
  for (int i = 0; i < 24; ++i) shown += mainForm->TilePanel(i)->Visible();
  EXPECT_EQ(shown, 23);
  EXPECT_EQ(CellsOnScreen(), Cells());
  mainForm->mPuzzleSize->Click();
  EXPECT_TRUE(mainForm->mPuzzleSize->Items(14)->Checked());

  // New scrambles again (F2 is its short cut); every tile stays on the board exactly once.
  SRand(7);
  const std::vector<int> first = Cells();
  Press(VK_F2);
  EXPECT_NE(Cells(), first);
  std::vector<int> sorted = Cells();
  std::sort(sorted.begin(), sorted.end());
  for (int i = 0; i < 24; ++i) EXPECT_EQ(sorted[static_cast<size_t>(i)], i == 0 ? -1 : i);
  EXPECT_EQ(Status(), "New game");
  EXPECT_EQ(mainForm->skPanelBoard->Caption(), "23-Puzzle");

  mainForm->mPuzzleSize->Items(0)->Click(); // 2x2: the blank ends where the walk's parity allows
  EXPECT_EQ(mainForm->skPanelBoard->Caption(), "3-Puzzle");
  EXPECT_TRUE(Blank() == 0 || Blank() == 3);
}

} // namespace
