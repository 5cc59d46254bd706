// The game's rules without a window: clicks and keys, the history of reversed moves, the move counter and the
// clock, the solved test, the improving search chain run by run (with scripted workers where timing matters),
// and the solution player's steps; every change reported to the view.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/Game.h"
#include "classlib/core/List.h"
#include "classlib/core/Random.h"
#include "classlib/core/Thread.h"
#include "engine/SearchThread.h"
#include "tests/app/SettleUntil.h"

namespace {

using Cells = std::vector<int32_t>;

// Everything the game tells its view, in order.
class Recorder : public TGameObserver {
 public:
  void CellsChanged(const TMove* Move) override {
    cells.push_back(Move ? std::to_string(Move->from) + ">" + std::to_string(Move->to) : "all");
  }
  void GameChanged(unsigned What) override {
    changes |= What;
    if ((What & gcStatus) && game) statuses.push_back(game->Status());
  }
  void Clear() {
    cells.clear();
    statuses.clear();
    changes = 0;
  }
  const TGame* game = nullptr;
  std::vector<std::string> cells;
  std::vector<std::string> statuses;
  unsigned changes = 0;
};

// A worker run as a test scripts it: it finds a "solution" of Length moves (none for 0), or, held, waits
// until it is told to stop. Gated, it waits until the gate opens. It records its depth bound.
class ScriptedRun : public TThread {
 public:
  ScriptedRun(TList* Result, double* Elapsed, int Length, bool Hold, const std::atomic<bool>* Gate)
      : TThread(true), result(Result), elapsed(Elapsed), length(Length), hold(Hold), gate(Gate) {}
  ~ScriptedRun() override { Shutdown(); }

 protected:
  void Execute() override {
    while ((hold || (gate && !gate->load())) && !Terminated())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!Terminated())
      for (int i = 0; i < length; ++i) result->Add(new TMove{0, 1, 0});
    *elapsed = 1.0 / 86400; // one second a run
  }

 private:
  TList* result;
  double* elapsed;
  int length;
  bool hold;
  const std::atomic<bool>* gate;
};

struct Script {
  std::vector<int> lengths;    // run i finds lengths[i] moves; runs past the end find nothing
  bool hold = false;           // every run waits for its stop
  size_t gatedFrom = SIZE_MAX; // runs from this one on wait for `open`
  std::atomic<bool> open{false};
  std::vector<int32_t> bounds;
  std::vector<ScriptedRun*> runs;
};

TGame::TWorkerFactory Scripted(Script& S) {
  return [&S](TBoard*, int32_t*, TList* Result, double* Elapsed, int32_t DepthBound) {
    const size_t i = S.bounds.size();
    S.bounds.push_back(DepthBound);
    auto run = std::make_unique<ScriptedRun>(Result, Elapsed, i < S.lengths.size() ? S.lengths[i] : 0, S.hold,
                                             i >= S.gatedFrom ? &S.open : nullptr);
    S.runs.push_back(run.get());
    return std::unique_ptr<TThread>(std::move(run));
  };
}

Cells CellsOf(const TGame& Game) {
  return Cells(Game.Board()->cells, Game.Board()->cells + Game.Board()->count);
}

const Cells Solved3x3{1, 2, 3, 4, 5, 6, 7, 8, -1};

class GameModelTest : public ::testing::Test {
 protected:
  // A 3x3 game in goal order on a clock the test sets, in days.
  std::unique_ptr<TGame> MakeGame(TGame::TWorkerFactory Workers = {}) {
    auto game = std::make_unique<TGame>(&view, std::move(Workers), [this] { return TDateTime(now); });
    view.game = game.get();
    game->SetSize(3, 3);
    game->Reset();
    view.Clear();
    return game;
  }
  // A game one move from the goal whose chain of scripted runs is under way.
  std::unique_ptr<TGame> SearchingGame(Script& S) {
    auto game = MakeGame(Scripted(S));
    game->MoveTile(3);
    game->Search();
    return game;
  }
  Recorder view;
  double now = 45000.5;
};

TEST_F(GameModelTest, AClickMovesATileNextToTheBlankCountsItAndRecordsItsReverse) {
  auto game = MakeGame();
  EXPECT_TRUE(game->NewGamePending());
  EXPECT_EQ(game->StepText(), "0");
  EXPECT_EQ(game->TimeText(), "00:00:00");

  // Cell 7 holds tile 8, left of the blank: it moves right.
  EXPECT_TRUE(game->Click(7));
  EXPECT_EQ(CellsOf(*game), (Cells{1, 2, 3, 4, 5, 6, 7, -1, 8}));
  EXPECT_EQ(view.cells, std::vector<std::string>{"7>8"});
  ASSERT_EQ(game->HistoryLength(), 1);
  const TMove& back = game->HistoryMove(0);
  EXPECT_EQ((std::vector<int>{back.from, back.to, back.direction}), (std::vector<int>{8, 7, 2}));
  EXPECT_EQ(game->MoveCount(), 1);
  EXPECT_FALSE(game->NewGamePending());
  EXPECT_TRUE(game->ClockRunning());
  EXPECT_TRUE(view.statuses.empty());

  // A tile away from the blank moves nothing and counts nothing.
  view.Clear();
  EXPECT_FALSE(game->Click(0));
  EXPECT_EQ(game->MoveCount(), 1);
  EXPECT_TRUE(view.cells.empty());

  // Moving it back solves the board: the clock stops and the player is congratulated.
  EXPECT_TRUE(game->Click(8));
  EXPECT_EQ(CellsOf(*game), Solved3x3);
  EXPECT_EQ(game->MoveCount(), 2);
  EXPECT_FALSE(game->ClockRunning());
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Congratulations !"});
  EXPECT_EQ(game->HistoryLength(), 2);
}

TEST_F(GameModelTest, OnASolvedBoardAClickThatMovesNothingStartsAndStopsTheClockAtOnce) {
  auto game = MakeGame();
  EXPECT_FALSE(game->Click(0));
  EXPECT_FALSE(game->NewGamePending());
  EXPECT_FALSE(game->ClockRunning());
  EXPECT_TRUE(view.changes & gcClock);
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Congratulations !"});
  EXPECT_EQ(game->MoveCount(), 0);
}

TEST_F(GameModelTest, KeysMoveTheTileOnTheirSideWithoutCountingClockOrSolvedTest) {
  auto game = MakeGame();
  // Nothing below or right of the blank in the corner.
  EXPECT_FALSE(game->MoveTile(0));
  EXPECT_FALSE(game->MoveTile(2));
  EXPECT_EQ(game->HistoryLength(), 0);
  EXPECT_TRUE(view.cells.empty());

  EXPECT_TRUE(game->MoveTile(3)); // the tile left of the blank moves right
  EXPECT_TRUE(game->MoveTile(1)); // the tile above moves down
  EXPECT_EQ(CellsOf(*game), (Cells{1, 2, 3, 4, -1, 6, 7, 5, 8}));
  EXPECT_EQ(view.cells, (std::vector<std::string>{"7>8", "4>7"}));
  EXPECT_TRUE(game->MoveTile(0));
  EXPECT_TRUE(game->MoveTile(2));
  EXPECT_EQ(CellsOf(*game), Solved3x3);
  EXPECT_EQ(game->HistoryLength(), 4);
  EXPECT_EQ(game->MoveCount(), 0);
  EXPECT_TRUE(game->NewGamePending());
  EXPECT_FALSE(game->ClockRunning());
  EXPECT_TRUE(view.statuses.empty()); // no congratulations from keys

  // The history, newest first, undoes every move when played in order.
  game->MoveTile(3);
  game->MoveTile(1);
  game->MoveTile(3);
  const Cells moved = CellsOf(*game);
  TBoard replay(3, 3, moved.data());
  for (int i = 0; i < game->HistoryLength(); ++i) replay.DoMove(&game->HistoryMove(i));
  EXPECT_EQ(Cells(replay.cells, replay.cells + 9), Solved3x3);
}

TEST_F(GameModelTest, TheClockShowsMovesAndTimeOfDayPlayedOnItsTick) {
  auto game = MakeGame();
  game->ClockTick();
  EXPECT_EQ(game->StepText(), "0");
  game->Click(7);
  game->Click(0); // not next to the blank
  game->Click(4);
  now += (3600.0 + 2 * 60 + 5) / 86400;
  view.Clear();
  game->ClockTick();
  EXPECT_EQ(view.changes, static_cast<unsigned>(gcCounters));
  EXPECT_EQ(game->StepText(), "2");
  EXPECT_EQ(game->TimeText(), "01:02:05");
  now += 1.0; // hours of the day: a day later it reads the same
  game->ClockTick();
  EXPECT_EQ(game->TimeText(), "01:02:05");
}

TEST_F(GameModelTest, NewResetAndSizesStartAPendingGameWithEmptyLists) {
  auto game = MakeGame();
  game->Click(7);
  SRand(3);
  game->NewGame();
  EXPECT_EQ(view.cells.back(), "all");
  EXPECT_EQ(view.statuses.back(), "New game");
  EXPECT_TRUE(game->NewGamePending());
  EXPECT_FALSE(game->ClockRunning());
  EXPECT_EQ(game->HistoryLength(), 0);
  EXPECT_EQ(game->StepText(), "0");
  EXPECT_EQ(game->TimeText(), "00:00:00");
  Cells sorted = CellsOf(*game);
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (Cells{-1, 1, 2, 3, 4, 5, 6, 7, 8}));

  view.Clear();
  game->SetSize(4, 6);
  EXPECT_EQ(view.changes, static_cast<unsigned>(gcSize));
  EXPECT_EQ(game->Rows(), 4);
  EXPECT_EQ(game->Cols(), 6);
  ASSERT_EQ(game->Goal().size(), 24u);
  EXPECT_EQ(game->Goal()[22], 23);
  EXPECT_EQ(game->Goal()[23], -1);
  EXPECT_TRUE(game->Solved());
  game->Reset();
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Reset"});
  EXPECT_FALSE(game->CanSearch()); // nothing to search on a solved board
}

TEST_F(GameModelTest, EachRunThatFindsASolutionStartsTheNextBoundedBelowIt) {
  Script script;
  script.lengths = {30, 22, 21};
  auto game = SearchingGame(script);
  EXPECT_TRUE(game->Searching());
  EXPECT_EQ(game->SearchState(), TSearchState::Searching);
  EXPECT_FALSE(game->CanStartGame());
  EXPECT_FALSE(game->CanSearch());
  EXPECT_TRUE(game->CanStopSearch());
  EXPECT_FALSE(game->CanShowSolution());
  ASSERT_TRUE(SettleUntil([&] { return !game->Searching(); }));
  EXPECT_EQ(script.bounds, (std::vector<int32_t>{10000, 29, 21, 20}));
  EXPECT_EQ(view.statuses,
            (std::vector<std::string>{"Searching...", "Solution found, searching better...",
                                      "Solution found, searching better...",
                                      "Solution found, searching better...", "Solution found."}));
  EXPECT_EQ(game->SolutionLength(), 21);
  EXPECT_EQ(game->StepText(), "21");
  EXPECT_EQ(game->TimeText(), "00:00:04"); // four runs of a second
  EXPECT_EQ(game->SearchState(), TSearchState::Idle);
  EXPECT_TRUE(game->CanShowSolution());
  EXPECT_TRUE(game->NewGamePending());
}

TEST_F(GameModelTest, TheChainIsImprovingBetweenASolutionAndTheNextRunsEnd) {
  Script script;
  script.lengths = {9};
  // The second run must not end before the state between them is seen.
  script.gatedFrom = 1;
  auto game = SearchingGame(script);
  ASSERT_TRUE(SettleUntil([&] { return game->SolutionLength() > 0; }));
  EXPECT_EQ(game->SearchState(), TSearchState::Improving);
  EXPECT_TRUE(game->Searching());
  script.open = true;
  ASSERT_TRUE(SettleUntil([&] { return !game->Searching(); }));
  EXPECT_EQ(view.statuses.back(), "Solution found.");
}

TEST_F(GameModelTest, AStopEndsTheChainWithoutTheResultOfTheRunItMet) {
  // During the first run: no solution at all.
  Script held;
  held.hold = true;
  auto game = SearchingGame(held);
  game->StopSearch();
  ASSERT_TRUE(SettleUntil([&] { return !game->Searching(); }));
  EXPECT_EQ(view.statuses.back(), "Solution not found !");
  EXPECT_EQ(game->StepText(), "0");
  EXPECT_EQ(game->SolutionLength(), 0);
  EXPECT_EQ(held.bounds.size(), 1u);

  // After a run reached the goal but before its end was handled: its result goes with the stop.
  Script quick;
  quick.lengths = {1};
  // The first game goes first: waiting for its worker hands over what waits, the new run's end too.
  game.reset();
  game = SearchingGame(quick);
  // The run ends, but its end is not handled before the stop: nothing hands it over meanwhile.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!quick.runs[0]->Finished() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(game->Searching());
  game->StopSearch();
  ASSERT_TRUE(SettleUntil([&] { return !game->Searching(); }));
  EXPECT_EQ(view.statuses.back(), "Solution not found !");
  EXPECT_EQ(game->SolutionLength(), 0);
  EXPECT_EQ(quick.bounds.size(), 1u);
}

TEST_F(GameModelTest, ClosingNewOrAnotherSizeEndAChainAndNoRunFollows) {
  for (int how = 0; how < 3; ++how) {
    Script held;
    held.hold = true;
    auto game = SearchingGame(held);
    view.Clear();
    if (how == 0) game->Close();
    if (how == 1) game->NewGame();
    if (how == 2) game->SetSize(4, 4);
    EXPECT_FALSE(game->Searching()) << how;
    EXPECT_TRUE(view.changes & gcSearch) << how; // the view unlocks
    for (int i = 0; i < 20; ++i) CheckSynchronize();
    EXPECT_EQ(held.bounds.size(), 1u) << how;
    EXPECT_EQ(view.statuses.size(), how == 1 ? 1u : 0u) << how; // only New's own
  }
}

TEST_F(GameModelTest, AWorkerThatCannotStartEndsTheChainAndLeavesTheGameUnlocked) {
  int made = 0;
  auto game = MakeGame([&made](TBoard*, int32_t*, TList*, double*, int32_t) -> std::unique_ptr<TThread> {
    ++made;
    throw std::runtime_error("no thread");
  });
  game->MoveTile(3);
  EXPECT_THROW(game->Search(), std::runtime_error);
  EXPECT_EQ(made, 1);
  EXPECT_FALSE(game->Searching());
  EXPECT_TRUE(view.changes & gcSearch);
  EXPECT_EQ(view.statuses.back(), "Solution not found !");
  EXPECT_TRUE(game->MoveTile(2));
}

TEST_F(GameModelTest, WhileASearchRunsTheBoardStandsStill) {
  Script held;
  held.hold = true;
  auto game = SearchingGame(held);
  const Cells before = CellsOf(*game);
  EXPECT_FALSE(game->Click(5));
  EXPECT_FALSE(game->MoveTile(1));
  EXPECT_FALSE(game->ShowSolution());
  EXPECT_EQ(CellsOf(*game), before);
  game->StopSearch();
  ASSERT_TRUE(SettleUntil([&] { return !game->Searching(); }));
}

// A position a few key moves from the goal, searched by the engine's own worker.
std::unique_ptr<TGame> SearchedGame(Recorder& View, std::vector<int32_t>& Bounds) {
  auto game = std::make_unique<TGame>(
      &View, [&Bounds](TBoard* Start, int32_t* Goal, TList* Result, double* Elapsed, int32_t DepthBound) {
        Bounds.push_back(DepthBound);
        return std::make_unique<TSearchThread>(Start, Goal, Result, Elapsed, DepthBound, true);
      });
  View.game = game.get();
  game->SetSize(3, 3);
  game->Reset();
  for (int8_t d : {3, 1, 3, 0, 2, 1, 3, 1, 2, 2}) game->MoveTile(d);
  return game;
}

TEST_F(GameModelTest, ThePlayerStepsTheSolutionFromTheSearchedPositionToTheGoalAndBack) {
  std::vector<int32_t> bounds;
  auto game = SearchedGame(view, bounds);
  const Cells searched = CellsOf(*game);
  ASSERT_NE(searched, Solved3x3);
  game->Search();
  ASSERT_TRUE(SettleUntil([&] { return !game->Searching(); }));
  const int n = game->SolutionLength();
  ASSERT_GT(n, 0);
  EXPECT_EQ(bounds.back(), n - 1);
  EXPECT_EQ(view.statuses.back(), "Solution found.");

  // Outside the player the buttons do nothing; keys after the search keep the solution.
  EXPECT_FALSE(game->StepForward());
  game->MoveTile(0);
  game->MoveTile(2);
  EXPECT_EQ(game->SolutionLength(), n);

  view.Clear();
  ASSERT_TRUE(game->ShowSolution());
  EXPECT_EQ(CellsOf(*game), searched);
  EXPECT_EQ(view.cells, std::vector<std::string>{"all"});
  EXPECT_TRUE(view.changes & gcPlayer);
  EXPECT_EQ(game->StepText(), "0/" + std::to_string(n));
  EXPECT_EQ(view.statuses, std::vector<std::string>{"Use buttons to navigate."});
  EXPECT_EQ(game->HistoryLength(), 0);
  // Keys and clicks wait while the player shows; at step 0 there is no step back.
  for (int8_t d = 0; d < 4; ++d) EXPECT_FALSE(game->MoveTile(d));
  for (int cell = 0; cell < 9; ++cell) EXPECT_FALSE(game->Click(cell));
  EXPECT_EQ(CellsOf(*game), searched);
  EXPECT_FALSE(game->StepBack());

  ASSERT_GE(n, 2);
  ASSERT_TRUE(game->StepForward());
  ASSERT_TRUE(game->StepForward());
  const Cells afterTwo = CellsOf(*game);
  EXPECT_EQ(game->StepText(), "2/" + std::to_string(n));
  ASSERT_TRUE(game->StepBack());
  EXPECT_EQ(game->SolutionStep(), 1);
  ASSERT_TRUE(game->StepForward());
  EXPECT_EQ(CellsOf(*game), afterTwo);
  // Show Solution again goes back to the searched position at step 0.
  ASSERT_TRUE(game->ShowSolution());
  EXPECT_EQ(CellsOf(*game), searched);
  EXPECT_EQ(game->SolutionStep(), 0);
  while (game->StepForward()) {
  }
  EXPECT_EQ(game->SolutionStep(), n);
  EXPECT_EQ(CellsOf(*game), Solved3x3);
  EXPECT_EQ(game->StepText(), std::to_string(n) + "/" + std::to_string(n));

  // New leaves the player; a search from the player leaves it too.
  ASSERT_TRUE(game->ShowSolution());
  game->StepForward();
  view.Clear();
  game->Search();
  EXPECT_FALSE(game->ShowingSolution());
  EXPECT_EQ(game->SolutionStep(), 0);
  EXPECT_TRUE(view.changes & gcPlayer);
  ASSERT_TRUE(SettleUntil([&] { return !game->Searching(); }));
  game->NewGame();
  EXPECT_FALSE(game->ShowingSolution());
}

TEST_F(GameModelTest, AClickAfterASearchDiscardsTheSolutionAndStartsANewCount) {
  std::vector<int32_t> bounds;
  auto game = SearchedGame(view, bounds);
  game->Search();
  ASSERT_TRUE(SettleUntil([&] { return !game->Searching(); }));
  ASSERT_GT(game->SolutionLength(), 0);
  // Lengths shrink run after run: each bound lies below the solution before it.
  for (size_t i = 2; i < bounds.size(); ++i) EXPECT_LT(bounds[i], bounds[i - 1]);
  EXPECT_TRUE(game->NewGamePending());
  game->Click(0);
  EXPECT_EQ(game->SolutionLength(), 0);
  EXPECT_FALSE(game->CanShowSolution());
  EXPECT_TRUE(game->ClockRunning() || game->Solved());
}

TEST_F(GameModelTest, PlayingStepsToTheEndStopsThereAndStartsAgainFromStepZero) {
  std::vector<int32_t> bounds;
  auto game = SearchedGame(view, bounds);
  const Cells searched = CellsOf(*game);
  game->Search();
  ASSERT_TRUE(SettleUntil([&] { return !game->Searching(); }));
  const int n = game->SolutionLength();
  ASSERT_GT(n, 1);
  // Only the player plays.
  EXPECT_FALSE(game->StartPlaying());
  EXPECT_FALSE(game->PlayStep());
  ASSERT_TRUE(game->ShowSolution());
  view.Clear();
  ASSERT_TRUE(game->StartPlaying());
  EXPECT_TRUE(game->Playing());
  EXPECT_TRUE(view.changes & gcPlaying);
  for (int i = 1; i < n; ++i) {
    ASSERT_TRUE(game->PlayStep());
    EXPECT_TRUE(game->Playing()) << i;
  }
  // Each step is a move the view shows as one.
  EXPECT_EQ(view.cells.size(), static_cast<size_t>(n - 1));
  ASSERT_TRUE(game->PlayStep());
  EXPECT_EQ(CellsOf(*game), Solved3x3);
  EXPECT_FALSE(game->Playing());
  EXPECT_FALSE(game->PlayStep());
  // From the end it begins again at the searched position.
  ASSERT_TRUE(game->StartPlaying());
  EXPECT_EQ(game->SolutionStep(), 0);
  EXPECT_EQ(CellsOf(*game), searched);
  ASSERT_TRUE(game->PlayStep());
  game->StopPlaying();
  EXPECT_FALSE(game->PlayStep());
  EXPECT_EQ(game->SolutionStep(), 1);
  // Show Solution stops it, and so does a search (which drops the solution).
  ASSERT_TRUE(game->StartPlaying());
  game->ShowSolution();
  EXPECT_FALSE(game->Playing());
  ASSERT_TRUE(game->StartPlaying());
  game->Search();
  EXPECT_FALSE(game->Playing());
  game->EndSearch();
  game->NewGame();
  EXPECT_FALSE(game->CanPlay());
}

} // namespace
