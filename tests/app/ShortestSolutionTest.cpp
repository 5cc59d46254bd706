// Shortest Solution and Hint: on the game model, the exact answer and the hint's tile measured against a
// breadth-first search, hints along a known solution without a search, stopping, the locks and the assisted
// mark; through the window, the menus and keys, Esc, and the mark drawn on the hinted tile.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>

#include "app/Game.h"
#include "app/HintMark.h"
#include "classlib/backend/Backend.h"
#include "classlib/core/Random.h"
#include "classlib/core/Thread.h"
#include "tests/app/GameFixture.h"
#include "tests/app/SettleUntil.h"

namespace {

using Cells = std::vector<int32_t>;

// The shape's tables go to a cache folder of the test build, never the user's.
void PrivatePatternCache() {
  const std::filesystem::path folder = std::filesystem::path(QUENDREL_TEST_OUTPUT_DIR) / "hint-pattern-cache";
  std::filesystem::create_directories(folder);
  ::setenv("XDG_CACHE_HOME", folder.c_str(), 1);
}

Cells GoalOf(int Rows, int Cols) {
  Cells goal;
  for (int i = 1; i < Rows * Cols; ++i) goal.push_back(i);
  goal.push_back(-1);
  return goal;
}

// The fewest moves from Start to the goal, by breadth-first search (small boards, short distances).
int Distance(int Rows, int Cols, const Cells& Start) {
  const Cells goal = GoalOf(Rows, Cols);
  std::map<Cells, int> seen{{Start, 0}};
  std::deque<Cells> open{Start};
  while (!open.empty()) {
    const Cells cells = open.front();
    open.pop_front();
    const int depth = seen[cells];
    if (cells == goal) return depth;
    const int blank = static_cast<int>(std::find(cells.begin(), cells.end(), -1) - cells.begin());
    const int r = blank / Cols, c = blank % Cols;
    const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto& step : steps) {
      const int nr = r + step[0], nc = c + step[1];
      if (nr < 0 || nr >= Rows || nc < 0 || nc >= Cols) continue;
      Cells next = cells;
      std::swap(next[static_cast<size_t>(blank)], next[static_cast<size_t>(nr * Cols + nc)]);
      if (seen.emplace(next, depth + 1).second) open.push_back(std::move(next));
    }
  }
  return -1;
}

Cells CellsOf(const TGame& Game) {
  return Cells(Game.Board()->cells, Game.Board()->cells + Game.Board()->count);
}

// A solver as a test scripts it: it reports build progress, then the given solutions (optimal as said), then
// waits for its stop when held.
struct Script {
  std::vector<double> progress;
  std::vector<std::vector<TMove>> solutions;
  bool optimal = true;
  bool hold = false;
  std::atomic<int> runs{0};
};

TSolver Scripted(Script& S) {
  return [&S](const TSolveRequest&, TSolverContext& Context) {
    ++S.runs;
    for (double done : S.progress) Context.BuildProgress(done);
    for (const auto& solution : S.solutions) Context.Improved(solution, S.optimal);
    while (S.hold && !Context.StopRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
}

class Statuses : public TGameObserver {
 public:
  void CellsChanged(const TMove*) override {}
  void GameChanged(unsigned What) override {
    if ((What & gcStatus) && game) texts.push_back(game->Status());
  }
  const TGame* game = nullptr;
  std::vector<std::string> texts;
};

class ShortestModelTest : public ::testing::Test {
 protected:
  void SetUp() override { PrivatePatternCache(); }
  // A game of Rows x Cols scrambled by a seeded walk of Steps key moves.
  std::unique_ptr<TGame> MakeGame(int Rows, int Cols, int Steps, uint32_t Seed) {
    auto game = std::make_unique<TGame>(&view);
    view.game = game.get();
    game->SetSize(Rows, Cols);
    game->Reset();
    SRand(Seed);
    for (int i = 0; i < Steps; ++i) game->MoveTile(static_cast<int8_t>(Rand() % 4));
    view.texts.clear();
    return game;
  }
  static bool Settle(const TGame& Game) {
    return SettleUntil([&Game] { return !Game.Searching(); });
  }
  Statuses view;
};

TEST_F(ShortestModelTest, ShortestSolutionIsAShortestOneAndIsWhatShowSolutionPlays) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    auto game = MakeGame(3, 3, 18, seed);
    if (game->Solved()) continue;
    const Cells start = CellsOf(*game);
    const int optimum = Distance(3, 3, start);
    game->ShortestSolution();
    EXPECT_EQ(game->SearchState(), TSearchState::Shortest);
    ASSERT_TRUE(Settle(*game));
    EXPECT_EQ(view.texts.front(), "Searching for the shortest solution...");
    EXPECT_EQ(view.texts.back(), "Shortest solution found.");
    EXPECT_EQ(game->SolutionLength(), optimum) << "seed " << seed;
    EXPECT_EQ(game->StepText(), std::to_string(optimum).c_str());
    EXPECT_TRUE(game->NewGamePending());

    // Keys move the board away; the player goes back to the searched board and plays it to the goal.
    game->MoveTile(0);
    game->MoveTile(2);
    ASSERT_TRUE(game->CanShowSolution());
    ASSERT_TRUE(game->ShowSolution());
    EXPECT_EQ(CellsOf(*game), start);
    while (game->StepForward()) {
    }
    EXPECT_TRUE(game->Solved()) << "seed " << seed;
  }
}

TEST_F(ShortestModelTest, EachHintMarksAMoveOfAShortestSolutionAndOnlyTheFirstSearches) {
  auto game = MakeGame(3, 3, 20, 7);
  ASSERT_FALSE(game->Solved());
  int distance = Distance(3, 3, CellsOf(*game));
  ASSERT_TRUE(game->Hint());
  EXPECT_EQ(game->SearchState(), TSearchState::Hinting);
  EXPECT_EQ(view.texts.front(), "Searching for a hint...");
  ASSERT_TRUE(Settle(*game));
  for (int played = 0; !game->Solved(); ++played) {
    if (played > 0) {
      // On the solution found before: the hint is there at once, without a worker.
      ASSERT_TRUE(game->Hint());
      EXPECT_FALSE(game->Searching());
    }
    const int cell = game->HintCell();
    ASSERT_GE(cell, 0);
    EXPECT_EQ(game->Status(),
              ("Hint: move tile " + std::to_string(game->Board()->cells[cell]) + ".").c_str());
    // The board is left as it was; the player's click makes the move and takes the mark away.
    ASSERT_TRUE(game->Click(cell));
    EXPECT_EQ(game->HintCell(), -1);
    const int now = Distance(3, 3, CellsOf(*game));
    EXPECT_EQ(now, distance - 1) << "move " << played;
    distance = now;
  }
  EXPECT_FALSE(game->CanHint()); // nothing to hint on a solved board
  EXPECT_TRUE(game->Assisted());

  // Off every known solution a hint searches again.
  game->Click(5);
  game->Click(4);
  ASSERT_FALSE(game->Solved());
  ASSERT_TRUE(game->Hint());
  EXPECT_TRUE(game->Searching());
  ASSERT_TRUE(Settle(*game));
  EXPECT_EQ(Distance(3, 3, CellsOf(*game)), 2);
  ASSERT_TRUE(game->Click(game->HintCell()));
  EXPECT_EQ(Distance(3, 3, CellsOf(*game)), 1);
}

TEST_F(ShortestModelTest, AHintAfterShortestSolutionTakesItsFirstMoveWithoutSearching) {
  auto game = MakeGame(2, 3, 12, 5);
  ASSERT_FALSE(game->Solved());
  game->ShortestSolution();
  ASSERT_TRUE(Settle(*game));
  ASSERT_GT(game->SolutionLength(), 0);
  ASSERT_TRUE(game->Hint());
  EXPECT_FALSE(game->Searching());
  EXPECT_EQ(game->HintCell(), game->SolutionMove(0).from);
}

TEST_F(ShortestModelTest, TheWorkersLockTheGameAsSearchDoesAndStopOnRequest) {
  Script script;
  script.hold = true;
  auto game = MakeGame(3, 3, 10, 11);
  game->SetSolver(Scripted(script));
  const Cells before = CellsOf(*game);
  for (bool hint : {false, true}) {
    view.texts.clear();
    if (hint)
      ASSERT_TRUE(game->Hint());
    else
      game->ShortestSolution();
    EXPECT_TRUE(game->Searching());
    EXPECT_FALSE(game->CanSearch());
    EXPECT_FALSE(game->CanShortestSolution());
    EXPECT_FALSE(game->CanHint());
    EXPECT_FALSE(game->CanStartGame());
    EXPECT_FALSE(game->CanShowSolution());
    EXPECT_TRUE(game->CanStopSearch());
    EXPECT_FALSE(game->Click(game->Board()->IndexOf(-1, game->Board()->cells) - 1));
    EXPECT_FALSE(game->MoveTile(3));
    EXPECT_FALSE(game->Hint());
    game->StopSearch();
    ASSERT_TRUE(Settle(*game));
    EXPECT_EQ(view.texts.back(), hint ? "Hint stopped." : "Solution not found !");
    EXPECT_EQ(game->HintCell(), -1);
    EXPECT_EQ(game->SolutionLength(), 0);
    EXPECT_TRUE(game->CanSearch());
    EXPECT_TRUE(game->CanHint());
    EXPECT_EQ(CellsOf(*game), before);
  }
  EXPECT_EQ(script.runs, 2);

  // A new game lets go of a running worker at once and is not locked after it.
  game->ShortestSolution();
  game->NewGame();
  EXPECT_FALSE(game->Searching());
  EXPECT_FALSE(game->Assisted());
}

TEST_F(ShortestModelTest, AboveSixteenCellsEachShorterSolutionIsShownAndAStopKeepsTheBest) {
  auto game = MakeGame(4, 5, 0, 1);
  game->MoveTile(3); // the tile left of the blank moves right
  Script script;
  script.optimal = false;
  script.hold = true;
  const TMove back{18, 19, 2};
  script.solutions = {{back, back, back}, {back}};
  game->SetSolver(Scripted(script));
  game->ShortestSolution();
  ASSERT_TRUE(SettleUntil([&] { return game->SolutionLength() == 1; }));
  game->StopSearch();
  ASSERT_TRUE(Settle(*game));
  EXPECT_EQ(view.texts,
            (std::vector<std::string>{"Searching...", "Solution found, searching shorter...",
                                      "Solution found, searching shorter...", "Solution found."}));
  EXPECT_EQ(game->StepText(), "1");
  // The best known solution serves the hint at once.
  ASSERT_TRUE(game->Hint());
  EXPECT_EQ(game->HintCell(), 18);
}

TEST_F(ShortestModelTest, TheFirstBuildOfAShapesTablesShowsItsProgress) {
  auto game = MakeGame(3, 3, 0, 1);
  game->MoveTile(3);
  Script script;
  script.progress = {0.0, 0.004, 0.5, 1.0};
  script.solutions = {{TMove{7, 8, 3}}};
  game->SetSolver(Scripted(script));
  game->ShortestSolution();
  ASSERT_TRUE(Settle(*game));
  // The same percentage twice is shown once.
  EXPECT_EQ(view.texts, (std::vector<std::string>{
                            "Searching for the shortest solution...", "Building the solver's tables... 0%",
                            "Building the solver's tables... 50%", "Searching for the shortest solution...",
                            "Shortest solution found."}));
}

TEST_F(ShortestModelTest, AGameIsAssistedFromItsFirstHelpUntilTheNextNewGame) {
  auto game = MakeGame(2, 2, 0, 1);
  game->MoveTile(3);
  EXPECT_FALSE(game->Assisted());
  ASSERT_TRUE(game->Hint());
  ASSERT_TRUE(Settle(*game));
  EXPECT_TRUE(game->Assisted());
  // The first click of a fresh count keeps the mark: the help was given on this board.
  game->Click(game->HintCell());
  EXPECT_TRUE(game->Assisted());
  game->NewGame();
  EXPECT_FALSE(game->Assisted());
  game->Search();
  ASSERT_TRUE(Settle(*game));
  EXPECT_TRUE(game->Assisted());
  game->Reset();
  EXPECT_FALSE(game->Assisted());
  game->MoveTile(3);
  game->ShortestSolution();
  ASSERT_TRUE(Settle(*game));
  game->Reset();
  game->MoveTile(3);
  game->Search();
  ASSERT_TRUE(Settle(*game));
  game->Click(0); // a fresh count from here; still the board the search solved
  EXPECT_TRUE(game->Assisted());
  game->SetSize(2, 3);
  EXPECT_FALSE(game->Assisted());
}

TEST_F(ShortestModelTest, AHintAboveSixteenCellsComesFromTheImprovingSearch) {
  auto game = MakeGame(4, 5, 0, 1);
  game->MoveTile(1); // the tile above the blank moves down
  ASSERT_TRUE(game->Hint());
  ASSERT_TRUE(Settle(*game));
  EXPECT_EQ(game->HintCell(), 19);
}

// ----- Through the window

class ShortestFormTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    PrivatePatternCache();
  }
  void PlayOneMoveFromTheGoal() {
    mainForm->mPuzzleSize->Items(6)->Click(); // 3x3
    Run(mainForm->ActionReset);
    Press(VK_RIGHT);
  }
};

std::vector<std::string> Captions(TMenuItem* Menu) {
  std::vector<std::string> captions;
  for (int i = 0; i < Menu->Count(); ++i) {
    TMenuItem* item = Menu->Items(i);
    const AnsiString keys = ShortCutToText(item->ShortCut());
    captions.push_back(item->Caption() + (keys.empty() ? "" : " " + keys));
  }
  return captions;
}

TEST_F(ShortestFormTest, TheSolutionMenuAndTheRightClickMenuOfferTheNewCommandsAfterTheOldOnes) {
  StartGame();
  EXPECT_EQ(Captions(mainForm->mSolution),
            (std::vector<std::string>{"Search F5", "Stop Search Esc", "-", "Show Solution", "-",
                                      "Shortest Solution Ctrl+F5", "Hint H"}));
  EXPECT_EQ(Captions(mainForm->skPopupMenu->Items()),
            (std::vector<std::string>{"New F2", "Reset", "Undo Ctrl+Z", "Redo Ctrl+Y", "-", "Preview",
                                      "Search F5", "Stop Search Esc", "Show Solution", "Hint H"}));
}

TEST_F(ShortestFormTest, CtrlF5FindsTheShortestSolutionForTheSolutionPlayer) {
  StartGame();
  testsupport::ManualClock clock; // the hint's mark stays until the test looks
  PlayOneMoveFromTheGoal();
  testsupport::PressKey(VK_F5, backend::ModControl);
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  EXPECT_EQ(Status(), "Shortest solution found.");
  EXPECT_EQ(Step(), "1");
  mainForm->ActionsUpdate(nullptr);
  mainForm->SolverActionsUpdate(nullptr);
  EXPECT_TRUE(mainForm->ActionShowSolution->Enabled());
  // On the solution found, the hint is the shortcut's: no second search.
  Press('H');
  EXPECT_FALSE(mainForm->Searching());
  EXPECT_EQ(mainForm->HintMark().Cell(), 8);
  EXPECT_EQ(Status(), "Hint: move tile 8.");
}

TEST_F(ShortestFormTest, WhileAWorkerRunsTheGameIsLockedAndEscStopsIt) {
  StartGame();
  PlayOneMoveFromTheGoal();
  Script script;
  script.hold = true;
  mainForm->SetSolver(Scripted(script));
  for (WORD key : {WORD('H'), WORD(VK_F5)}) {
    testsupport::PressKey(key, key == VK_F5 ? backend::ModControl : 0u);
    ASSERT_TRUE(mainForm->Searching());
    EXPECT_FALSE(mainForm->mGame->Enabled());
    EXPECT_FALSE(mainForm->mOptions->Enabled());
    EXPECT_FALSE(mainForm->skPanelBoard->Enabled());
    EXPECT_FALSE(mainForm->OnKeyDown);
    mainForm->SolverActionsUpdate(nullptr);
    EXPECT_FALSE(mainForm->ActionHint->Enabled());
    EXPECT_FALSE(mainForm->ActionShortestSolution->Enabled());
    Press(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
    EXPECT_TRUE(mainForm->mGame->Enabled());
    EXPECT_TRUE(mainForm->skPanelBoard->Enabled());
    EXPECT_TRUE(mainForm->OnKeyDown);
  }
  EXPECT_EQ(script.runs, 2);
  EXPECT_EQ(Status(), "Solution not found !");
}

TEST_F(ShortestFormTest, TheHintFramesItsTileForASecondOnNumbersAndOnPictures) {
  for (const char* style : {"0", "2"}) {
    // Tiles that slide would stand still under the hand-driven clock.
    WriteSettings(std::string("[DEFAULT]\nStyle=") + style + "\nImage=" + QUENDREL_PROGRAM_DIR +
                  "/default.jpg\nAnimate Moves=0\n");
    StartGame();
    testsupport::ManualClock clock; // the mark's second passes when the test says
    PlayOneMoveFromTheGoal();
    TPanel* tile = mainForm->TilePanel(8); // tile 8, right of the blank
    const int x = tile->Left() + 1, y = tile->Top() + 1;
    const int middleX = x + tile->Width() / 4, middleY = y + tile->Height() / 2; // beside the number
    const TSurface plain = testsupport::Render(mainForm->skImagePanel);
    const TColor before = testsupport::PixelAt(plain, x, y);
    const TColor middle = testsupport::PixelAt(plain, middleX, middleY);
    ASSERT_NE(before, THintMark::MarkColor);

    Press('H');
    ASSERT_TRUE(PumpUntil([] { return mainForm->HintMark().Showing(); }));
    EXPECT_EQ(mainForm->Board()->cells[8], 8); // marked, not moved
    const TSurface marked = testsupport::Render(mainForm->skImagePanel);
    testsupport::SavePng(marked, std::string("hint-mark-style-") + style + ".png");
    EXPECT_EQ(testsupport::PixelAt(marked, x, y), THintMark::MarkColor) << "style " << style;
    EXPECT_EQ(testsupport::PixelAt(marked, middleX, middleY), middle) << "only the edge is marked";
    EXPECT_TRUE(mainForm->TimerHint->Enabled());
    EXPECT_EQ(mainForm->TimerHint->Interval(), 1000u);
    // A smaller board moves the tile; the mark goes with it.
    Run(mainForm->ActionSmallSize);
    ASSERT_TRUE(PumpUntil([&] { return tile->Left() + 1 < x; })) << "the tiles are smaller";
    EXPECT_EQ(
        testsupport::PixelAt(testsupport::Render(mainForm->skImagePanel), tile->Left() + 1, tile->Top() + 1),
        THintMark::MarkColor);

    clock.Advance(990);
    EXPECT_TRUE(mainForm->HintMark().Showing());
    clock.Advance(10);
    EXPECT_FALSE(mainForm->HintMark().Showing());
    EXPECT_NE(
        testsupport::PixelAt(testsupport::Render(mainForm->skImagePanel), tile->Left() + 1, tile->Top() + 1),
        THintMark::MarkColor);
    CloseGame();
  }
}

} // namespace
