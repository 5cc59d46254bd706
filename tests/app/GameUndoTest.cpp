// Undo and redo, records and saved games on the game model without a window: what undo gives back (board,
// count, never the clock), when it is locked (a search, the solution player), which solved games count for
// the records, and a game that goes through its file and comes back whole.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "app/Game.h"
#include "classlib/core/List.h"
#include "classlib/core/Thread.h"

namespace {

using Cells = std::vector<int32_t>;
const Cells Solved3x3{1, 2, 3, 4, 5, 6, 7, 8, -1};

// A search run that holds until it is told to stop (Length 0), or at once finds Length times the move that
// solves a 3x3 board whose blank is one left of its place (none for -1).
class ScriptedRun : public TThread {
 public:
  ScriptedRun(TList* Result, double* Elapsed, int Length)
      : TThread(true), result(Result), elapsed(Elapsed), length(Length) {}
  ~ScriptedRun() override { Shutdown(); }

 protected:
  void Execute() override {
    while (length == 0 && !Terminated()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (int i = 0; i < length && !Terminated(); ++i) result->Add(new TMove{8, 7, 2});
    *elapsed = 0;
  }

 private:
  TList* result;
  double* elapsed;
  int length;
};

class GameUndoTest : public ::testing::Test {
 protected:
  // A 3x3 game in goal order on a clock the test sets, in days; search runs find Length moves (0: hold).
  std::unique_ptr<TGame> MakeGame(int Length = 0) {
    auto game = std::make_unique<TGame>(
        nullptr,
        [Length](TBoard*, int32_t*, TList* Result, double* Elapsed, int32_t Bound) {
          return std::unique_ptr<TThread>(
              std::make_unique<ScriptedRun>(Result, Elapsed, Bound > 0 ? Length : -1));
        },
        [this] { return TDateTime(now); });
    game->SetSize(3, 3);
    game->Reset();
    return game;
  }
  // A dealt game one move from the goal, as a file would bring it.
  std::unique_ptr<TGame> DealtGame() {
    auto game = MakeGame();
    TSavedGame saved;
    saved.Rows = saved.Cols = 3;
    saved.Start = {1, 2, 3, 4, 5, 6, 7, -1, 8};
    saved.State = TSavedState::New;
    saved.Recordable = true;
    game->Load(saved);
    return game;
  }
  static Cells CellsOf(const TGame& Game) { return Cells(Game.Board()->cells, Game.Board()->cells + 9); }
  static void Settle(TGame& Game) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (Game.Searching() && std::chrono::steady_clock::now() < deadline) {
      CheckSynchronize();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  double now = 45000.5;
};

TEST_F(GameUndoTest, UndoGivesBackBoardAndCountAndRedoPlaysThemAgainWhileTheClockRuns) {
  auto game = MakeGame();
  EXPECT_FALSE(game->CanUndo());
  game->MoveTile(3); // by key: not counted
  game->Click(4);    // the tile above the blank moves down
  game->Click(3);    // the tile left of the blank moves right
  const Cells after = CellsOf(*game);
  ASSERT_EQ(game->MoveCount(), 2);
  ASSERT_EQ(game->UndoLength(), 3);
  now += 10.0 / 86400;

  ASSERT_EQ(game->HistoryLength(), 2);
  EXPECT_TRUE(game->Undo());
  EXPECT_EQ(game->HistoryLength(), 1); // the step back is taken off, not added
  EXPECT_EQ(game->MoveCount(), 1);
  EXPECT_EQ(game->StepText(), "1");
  EXPECT_TRUE(game->Undo());
  EXPECT_TRUE(game->Undo()); // the key move gives back no count
  EXPECT_EQ(game->MoveCount(), 0);
  EXPECT_EQ(CellsOf(*game), Solved3x3);
  EXPECT_FALSE(game->Undo());
  EXPECT_TRUE(game->ClockRunning()); // undo is no solve: the clock goes on
  game->ClockTick();
  EXPECT_EQ(game->TimeText(), "00:00:10");

  EXPECT_TRUE(game->Redo());
  EXPECT_TRUE(game->Redo());
  EXPECT_TRUE(game->Redo());
  EXPECT_FALSE(game->Redo());
  EXPECT_EQ(CellsOf(*game), after);
  EXPECT_EQ(game->MoveCount(), 2);

  // A new move after an undo drops what could be redone.
  game->Undo();
  ASSERT_TRUE(game->CanRedo());
  game->MoveTile(0);
  EXPECT_FALSE(game->CanRedo());
  EXPECT_EQ(game->RedoLength(), 0);

  // Whatever undo and redo did, the history still leads back to the board of the first click.
  TBoard replay(3, 3, CellsOf(*game).data());
  for (int i = 0; i < game->HistoryLength(); ++i) replay.DoMove(&game->HistoryMove(i));
  EXPECT_EQ(Cells(replay.cells, replay.cells + 9), (Cells{1, 2, 3, 4, 5, 6, 7, -1, 8}));
}

TEST_F(GameUndoTest, UndoAndRedoAreLockedDuringASearchAndInTheSolutionPlayer) {
  auto game = MakeGame();
  game->MoveTile(3);
  game->MoveTile(1);
  game->Undo();
  game->Search();
  EXPECT_FALSE(game->CanUndo());
  EXPECT_FALSE(game->CanRedo());
  EXPECT_FALSE(game->Undo());
  EXPECT_FALSE(game->CanSave());
  game->StopSearch();
  Settle(*game);
  EXPECT_TRUE(game->CanUndo()); // after the search, before any click, the game's moves are still there

  auto solved = MakeGame(1);
  solved->MoveTile(3);
  solved->Search();
  Settle(*solved);
  ASSERT_EQ(solved->SolutionLength(), 1);
  ASSERT_TRUE(solved->ShowSolution());
  EXPECT_FALSE(solved->CanUndo());
  solved->StepForward();
  EXPECT_FALSE(solved->CanUndo()); // the player's steps are its own
  EXPECT_FALSE(solved->Undo());
  EXPECT_TRUE(solved->Assisted());
}

TEST_F(GameUndoTest, ARedoThatReachesTheGoalFinishesTheGame) {
  auto game = MakeGame();
  game->Click(7);
  game->MoveTile(2); // keys run no solved test
  ASSERT_TRUE(game->Solved());
  EXPECT_TRUE(game->ClockRunning());
  game->Undo();
  EXPECT_TRUE(game->Redo());
  EXPECT_FALSE(game->ClockRunning());
  EXPECT_EQ(game->Status(), "Congratulations !");
}

TEST_F(GameUndoTest, OnlyWholeDealtGamesSolvedWithoutHelpSetRecords) {
  // A dealt game solved in three moves, 65 seconds after its first move, made by key before the clock
  // started.
  auto game = DealtGame();
  game->MoveTile(1); // the tile above the blank moves down
  now += 60.0 / 86400;
  game->Click(0); // a click on a tile that cannot move starts the clock
  now += 5.0 / 86400;
  game->Click(7);
  EXPECT_EQ(game->Records().Get(3, 3).Moves, 0);
  game->Click(8);
  ASSERT_TRUE(game->Solved());
  // Moves of either kind count; the time runs from the first move, keys included.
  EXPECT_EQ(game->Records().Get(3, 3).Moves, 3);
  EXPECT_EQ(game->Records().Get(3, 3).Seconds, 65);
  EXPECT_EQ(game->Status(), "Congratulations ! Records: 3 moves, 00:01:05");

  // A slower, longer game beats nothing.
  auto slower = DealtGame();
  slower->Records() = game->Records();
  slower->Click(4);
  slower->Click(7);
  slower->Click(8);
  slower->Click(5);
  now += 100.0 / 86400;
  slower->Click(8);
  ASSERT_TRUE(slower->Solved());
  EXPECT_EQ(slower->Status(), "Congratulations !");

  // Reset boards, games the solver was asked about, and shown solutions count for nothing.
  auto reset = MakeGame();
  reset->Click(7);
  reset->Click(8);
  EXPECT_TRUE(reset->Records().Empty());

  auto searched = DealtGame();
  searched->Search();
  searched->StopSearch();
  Settle(*searched);
  searched->Click(8);
  ASSERT_TRUE(searched->Solved());
  EXPECT_FALSE(searched->Recordable());
  EXPECT_TRUE(searched->Records().Empty());
}

TEST_F(GameUndoTest, ASavedGameComesBackWholeAndItsUndoGoesOnWhereItStopped) {
  auto game = MakeGame(1);
  game->Click(7);
  game->MoveTile(1); // the tile above the blank moves down
  game->Click(7);
  game->Undo();
  now += 42.0 / 86400;
  const TSavedGame saved = ReadSavedGame(WriteSavedGame(game->Save()));
  EXPECT_EQ(saved.Elapsed, 42);
  EXPECT_EQ(saved.State, TSavedState::Playing);

  auto loaded = MakeGame();
  loaded->Load(saved);
  EXPECT_EQ(CellsOf(*loaded), CellsOf(*game));
  EXPECT_EQ(loaded->MoveCount(), game->MoveCount());
  EXPECT_EQ(loaded->UndoLength(), 2);
  EXPECT_EQ(loaded->StepText(), "1");
  EXPECT_EQ(loaded->TimeText(), "00:00:42");
  EXPECT_TRUE(loaded->ClockRunning());
  EXPECT_FALSE(loaded->NewGamePending());
  loaded->Undo();
  loaded->Undo();
  EXPECT_EQ(CellsOf(*loaded), Solved3x3);
  EXPECT_EQ(loaded->MoveCount(), 0);

  // A searched game keeps its solution, and the player finds the searched position without a history.
  auto searched = MakeGame(1);
  searched->MoveTile(3);
  searched->Search();
  Settle(*searched);
  searched->MoveTile(1);
  auto again = MakeGame();
  again->Load(ReadSavedGame(WriteSavedGame(searched->Save())));
  EXPECT_TRUE(again->NewGamePending());
  ASSERT_EQ(again->SolutionLength(), 1);
  EXPECT_EQ(again->StepText(), "1");
  ASSERT_TRUE(again->ShowSolution());
  EXPECT_EQ(CellsOf(*again), (Cells{1, 2, 3, 4, 5, 6, 7, -1, 8}));
  EXPECT_TRUE(again->StepForward());
  EXPECT_TRUE(again->Solved());
}

} // namespace
