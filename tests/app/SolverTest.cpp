// The improving search chain and the solution player: status texts run by run, Esc during a search, the
// commands a search locks, stepping through the solution from 0 to n and back, and closing mid-search.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "classlib/core/Random.h"
#include "classlib/core/Thread.h"
#include "tests/app/GameFixture.h"

namespace {

class SolverTest : public GameTest {
 protected:
  // From now on, every text the status line shows is kept in Statuses, in order.
  void WatchStatus() {
    TLabel* label = mainForm->LabelStatus;
    const TWndMethod previous = label->WindowProc;
    label->WindowProc = [this, label, previous](TMessage& Message) {
      if (Message.Msg == CM_TEXTCHANGED) Statuses.push_back(label->Caption());
      previous(Message);
    };
  }
  void TearDown() override {
    GameTest::TearDown();
    // Every worker has been joined with the game: none is inside the wake-up any more.
    if (SavedWake) WakeMainThread = *SavedWake;
  }

  std::vector<std::string> Statuses;
  std::optional<std::function<void()>> SavedWake; // WakeMainThread as it was before a test wrapped it
};

// A scrambled game of the given size index, the same every time.
void NewGame(int SizeIndex, uint32_t Seed) {
  mainForm->mPuzzleSize->Items(SizeIndex)->Click();
  SRand(Seed);
  mainForm->ActionNewGame->Execute();
}

TEST_F(SolverTest, OneMoveFromTheGoalTheChainFindsOneMoveThenNothingShorter) {
  StartGame();
  Run(mainForm->ActionReset);
  Press(VK_RIGHT);
  WatchStatus();
  Press(VK_F5);
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  // The first run finds the one move; the second, bounded to no move at all, finds nothing.
  EXPECT_EQ(Statuses, (std::vector<std::string>{"Searching...", "Solution found, searching better...",
                                                "Solution found."}));
  EXPECT_EQ(Step(), "1");
  EXPECT_EQ(Time().size(), 8u);
  EXPECT_TRUE(mainForm->mGame->Enabled());
  EXPECT_TRUE(mainForm->mOptions->Enabled());
  EXPECT_TRUE(mainForm->skPanelBoard->Enabled());
  mainForm->ActionsUpdate(nullptr);
  EXPECT_TRUE(mainForm->ActionShowSolution->Enabled());
  EXPECT_EQ(mainForm->SolutionLength(), 1);
}

TEST_F(SolverTest, ASearchLocksTheGameUntilItsChainEnds) {
  StartGame();
  mainForm->mPuzzleSize->Items(24)->Click();
  HoldSearchRuns(); // the chain cannot end while the locks are looked at
  ASSERT_TRUE(Run(mainForm->ActionSearch));
  EXPECT_EQ(Status(), "Searching...");
  EXPECT_TRUE(mainForm->Searching());
  EXPECT_FALSE(mainForm->mGame->Enabled());
  EXPECT_FALSE(mainForm->mOptions->Enabled());
  EXPECT_FALSE(mainForm->skPanelBoard->Enabled());
  EXPECT_FALSE(mainForm->ActionNewGame->Execute());
  EXPECT_FALSE(mainForm->ActionReset->Execute());
  EXPECT_TRUE(mainForm->ActionStopSearch->Enabled());
  const std::vector<int> before = Cells();
  for (WORD key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) Press(key); // the key handler is detached
  EXPECT_FALSE(mainForm->OnKeyDown);
  EXPECT_EQ(Cells(), before);
  Run(mainForm->ActionStopSearch);
  ReleaseSearchRuns();
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  EXPECT_TRUE(mainForm->OnKeyDown);
}

TEST_F(SolverTest, EscDuringTheFirstRunStopsItWithoutASolution) {
  StartGame();
  NewGame(24, 11);
  HoldSearchRuns(); // Esc certainly meets the first run under way
  ASSERT_TRUE(Run(mainForm->ActionSearch));
  Press(VK_ESCAPE);
  ReleaseSearchRuns();
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  EXPECT_EQ(Status(), "Solution not found !");
  EXPECT_EQ(Step(), "0");
  EXPECT_EQ(mainForm->SolutionLength(), 0);
  // The menus and the keys work again.
  EXPECT_TRUE(mainForm->mGame->Enabled());
  const std::vector<int> before = Cells();
  Press(Blank() % 6 > 0 ? VK_RIGHT : VK_LEFT);
  EXPECT_NE(Cells(), before);
  EXPECT_FALSE(mainForm->ActionShowSolution->Execute());
}

TEST_F(SolverTest, EscAfterARunReachedTheGoalButBeforeItsHandlerStillEndsTheChainWithoutItsResult) {
  StartGame();
  Run(mainForm->ActionReset);
  Press(VK_RIGHT);
  // A finished run hands its handler to this thread and wakes it; the loop does not run before Esc.
  struct Signal {
    std::mutex lock;
    std::condition_variable changed;
    bool woken = false;
  };
  auto signal = std::make_shared<Signal>();
  const std::function<void()> wake = WakeMainThread;
  SavedWake = wake;
  WakeMainThread = [signal, wake] {
    {
      std::lock_guard guard(signal->lock);
      signal->woken = true;
    }
    signal->changed.notify_all();
    if (wake) wake();
  };
  ASSERT_TRUE(Run(mainForm->ActionSearch));
  {
    std::unique_lock guard(signal->lock);
    ASSERT_TRUE(signal->changed.wait_for(guard, std::chrono::seconds(60), [&] { return signal->woken; }));
  }
  Press(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  EXPECT_EQ(Status(), "Solution not found !");
  EXPECT_EQ(Step(), "0");
  EXPECT_EQ(mainForm->SolutionLength(), 0);
  EXPECT_TRUE(mainForm->mGame->Enabled());
}

TEST_F(SolverTest, TheSolutionPlayerStepsFromTheSearchedPositionToTheGoalAndBack) {
  StartGame();
  NewGame(6, 2024);
  const std::vector<int> searched = Cells();
  Press(VK_F5);
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  EXPECT_EQ(Status(), "Solution found.");
  const int n = mainForm->SolutionLength();
  ASSERT_GT(n, 0);
  EXPECT_EQ(Step(), IntToStr(n));

  // Moves by key after the search keep the solution; Show Solution undoes them.
  for (WORD key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) Press(key);
  mainForm->ActionsUpdate(nullptr);
  ASSERT_TRUE(Run(mainForm->ActionShowSolution));
  EXPECT_EQ(Cells(), searched);
  EXPECT_EQ(CellsOnScreen(), searched);
  EXPECT_EQ(Step(), "0/" + IntToStr(n));
  EXPECT_EQ(Status(), "Use buttons to navigate.");
  EXPECT_TRUE(mainForm->PanelNavigate->Visible());
  EXPECT_FALSE(mainForm->skPanelBoard->Enabled());

  // "<-" at step 0 does nothing; arrow keys do nothing in the player.
  TskButton* next = mainForm->skButtonNext;
  TskButton* prev = mainForm->skButtonPrev;
  testsupport::Click(prev, 10, 10);
  Press(VK_UP);
  EXPECT_EQ(Cells(), searched);
  EXPECT_EQ(Step(), "0/" + IntToStr(n));
  testsupport::Click(next, 10, 10);
  testsupport::Click(next, 10, 10);
  EXPECT_EQ(Step(), "2/" + IntToStr(n));
  const std::vector<int> afterTwo = Cells();
  testsupport::Click(prev, 10, 10);
  EXPECT_EQ(Step(), "1/" + IntToStr(n));
  testsupport::Click(next, 10, 10);
  EXPECT_EQ(Cells(), afterTwo);

  // Show Solution again returns to the searched position at step 0.
  ASSERT_TRUE(Run(mainForm->ActionShowSolution));
  EXPECT_EQ(Cells(), searched);
  EXPECT_EQ(Step(), "0/" + IntToStr(n));

  for (int i = 0; i < n; ++i) testsupport::Click(next, 10, 10);
  EXPECT_EQ(Step(), IntToStr(n) + "/" + IntToStr(n));
  EXPECT_EQ(Cells(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, -1}));
  EXPECT_EQ(CellsOnScreen(), Cells());
  testsupport::Click(next, 10, 10); // "->" at step n does nothing
  EXPECT_EQ(Step(), IntToStr(n) + "/" + IntToStr(n));

  // New leaves the player.
  Run(mainForm->ActionNewGame);
  EXPECT_FALSE(mainForm->ShowingSolution());
  EXPECT_FALSE(mainForm->PanelNavigate->Visible());
  EXPECT_TRUE(mainForm->skPanelBoard->Enabled());
}

TEST_F(SolverTest, ASearchFromThePlayerLeavesItSoThatStepsStayLegal) {
  StartGame();
  NewGame(6, 77);
  Press(VK_F5);
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  mainForm->ActionsUpdate(nullptr);
  ASSERT_TRUE(Run(mainForm->ActionShowSolution));
  for (int i = 0; i < 3; ++i) testsupport::Click(mainForm->skButtonNext, 10, 10);
  const std::vector<int> from = Cells();
  ASSERT_TRUE(Run(mainForm->ActionSearch));
  EXPECT_FALSE(mainForm->ShowingSolution());
  EXPECT_FALSE(mainForm->PanelNavigate->Visible());
  ASSERT_TRUE(PumpUntil([] { return !mainForm->Searching(); }));
  // The new solution plays from the position it was searched on, to the goal.
  mainForm->ActionsUpdate(nullptr);
  ASSERT_TRUE(Run(mainForm->ActionShowSolution));
  EXPECT_EQ(Cells(), from);
  for (int i = 0; i < mainForm->SolutionLength(); ++i) testsupport::Click(mainForm->skButtonNext, 10, 10);
  EXPECT_EQ(Cells(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, -1}));
}

TEST_F(SolverTest, EachRunOfTheChainIsShorterAndATileClickDiscardsTheSolution) {
  StartGame();
  NewGame(6, 99);
  WatchStatus();
  ASSERT_TRUE(Run(mainForm->ActionSearch));
  // Each run that finds a solution shows its length; the next run is bounded below it.
  std::vector<int> lengths;
  AnsiString shown = Step();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (mainForm->Searching() && std::chrono::steady_clock::now() < deadline) {
    CheckSynchronize();
    if (Step() != shown) lengths.push_back(StrToInt(shown = Step()));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_FALSE(mainForm->Searching());
  ASSERT_FALSE(lengths.empty());
  for (size_t i = 1; i < lengths.size(); ++i) EXPECT_LT(lengths[i], lengths[i - 1]);
  EXPECT_EQ(mainForm->SolutionLength(), lengths.back());
  // "Searching...", then one "searching better" per solution found, then the end of the chain.
  ASSERT_GE(Statuses.size(), 3u);
  EXPECT_EQ(Statuses.front(), "Searching...");
  EXPECT_EQ(Statuses.back(), "Solution found.");
  for (size_t i = 1; i + 1 < Statuses.size(); ++i)
    EXPECT_EQ(Statuses[i], "Solution found, searching better...");
  EXPECT_GE(Statuses.size() - 2, lengths.size());

  ClickTile(Blank() % 3 > 0 ? Blank() - 1 : Blank() + 1);
  mainForm->ActionsUpdate(nullptr);
  EXPECT_EQ(mainForm->SolutionLength(), 0);
  EXPECT_FALSE(mainForm->ActionShowSolution->Enabled());
}

TEST_F(SolverTest, ClosingDuringASearchWaitsForItStartsNoOtherAndWritesTheSettings) {
  StartGame();
  NewGame(24, 5);
  ASSERT_TRUE(Run(mainForm->ActionSearch));
  ASSERT_TRUE(mainForm->Searching());
  mainForm->Close();
  EXPECT_FALSE(mainForm->Searching());
  testsupport::Pump();
  EXPECT_FALSE(mainForm->Searching());
  CloseGame();
  EXPECT_EQ(Setting("Puzzle Size"), "24");

  // Freeing the window outright during a search is just as safe.
  StartGame();
  NewGame(24, 6);
  Press(VK_F5);
  CloseGame();
  EXPECT_EQ(Setting("Puzzle Size"), "24");
}

} // namespace
