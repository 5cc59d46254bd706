#include "app/Game.h"

#include <algorithm>
#include <cmath>

#include "classlib/core/DateUtils.h"
#include "classlib/core/List.h"
#include "classlib/core/SysUtils.h"
#include "classlib/core/Thread.h"
#include "engine/SearchThread.h"

namespace {

// A scratch move list whose records go with it.
class TScratchMoves {
 public:
  TScratchMoves() = default;
  TScratchMoves(const TScratchMoves&) = delete;
  TScratchMoves& operator=(const TScratchMoves&) = delete;
  ~TScratchMoves() { TGame::ClearMoveList(&List); }
  TList List;
};

std::unique_ptr<TThread> MakeSearchThread(TBoard* Start, int32_t* Goal, TList* Result, double* Elapsed,
                                          int32_t DepthBound) {
  return std::make_unique<TSearchThread>(Start, Goal, Result, Elapsed, DepthBound, true);
}

AnsiString ClockText(double Days) {
  return FormatDateTime("hh:mm:ss", Days);
}

} // namespace

TGame::TGame(TGameObserver* Observer, TWorkerFactory Workers, TClock Clock)
    : observer(Observer), workers(Workers ? std::move(Workers) : TWorkerFactory(MakeSearchThread)),
      clock(Clock ? std::move(Clock) : TClock(Now)), solution(std::make_unique<TList>()),
      searchResult(std::make_unique<TList>()), history(std::make_unique<TList>()) {}

TGame::~TGame() {
  closing = true;
  observer = nullptr;
  DropWorker();
  spentThread.reset();
  ClearMoveLists();
}

void TGame::Notify(unsigned What) {
  if (observer) observer->GameChanged(What);
}

void TGame::SetStatus(const AnsiString& Text) {
  status = Text;
  Notify(gcStatus);
}

void TGame::SetCounters(const AnsiString& Step, const AnsiString& Time) {
  stepText = Step;
  timeText = Time;
  Notify(gcCounters);
}

// ----- Move lists

void TGame::ClearMoveList(TList* List) {
  for (int i = 0; i < List->Count(); ++i) delete static_cast<TMove*>(List->Items(i));
  List->Clear();
}

void TGame::AppendMoves(TList* Dest, TList* Source) {
  for (int i = 0; i < Source->Count(); ++i) Dest->Add(Source->Items(i));
  Source->Clear();
}

void TGame::ClearMoveLists() {
  ClearMoveList(history.get());
  ClearMoveList(solution.get());
  ClearMoveList(searchResult.get());
}

int TGame::SolutionLength() const {
  return solution->Count();
}

int TGame::HistoryLength() const {
  return history->Count();
}

const TMove& TGame::SolutionMove(int Index) const {
  return *static_cast<const TMove*>(solution->Items(Index));
}

const TMove& TGame::HistoryMove(int Index) const {
  return *static_cast<const TMove*>(history->Items(Index));
}

// ----- Play

void TGame::MakeBoard(int32_t Rows, int32_t Cols) {
  rows = Rows;
  cols = Cols;
  knownStart.clear(); // a solution of another shape
  knownSolution.clear();
  ClearHint();
  assisted = false;
  board = std::make_unique<TBoard>(rows, cols, nullptr);
  goal.resize(static_cast<size_t>(board->count));
  for (int i = 0; i + 1 < board->count; ++i) goal[static_cast<size_t>(i)] = i + 1;
  goal.back() = -1;
  solutionStart.clear();
  Rebase();
}

void TGame::SetSize(int32_t Rows, int32_t Cols) {
  // The worker reads the board and the goal and fills the result list until it ends: it goes first.
  const bool searched = DropWorker();
  SetPlaying(false);
  ClearMoveLists();
  MakeBoard(Rows, Cols);
  Notify(gcSize | (searched ? gcSearch : 0u));
}

void TGame::Rebase() {
  startCells.assign(board->cells, board->cells + board->count);
  undoMoves.clear();
  redoMoves.clear();
  firstMoveSeen = false;
}

void TGame::StartGame(bool ResetCells) {
  if (!board) return;
  const bool searched = DropWorker(); // never change the board under a running search
  SetPlaying(false);
  ClearMoveLists();
  showingSolution = false;
  newGamePending = true;
  clockRunning = false;
  ClearHint();
  Notify(gcClock | gcPlayer | (searched ? gcSearch : 0u));
  if (ResetCells)
    board->SetCells(goal.data());
  else
    board->Shuffle();
  Rebase();
  dealt = !ResetCells;
  assisted = false;
  pendingAfterSearch = false;
  stoppedDays = 0;
  solutionStart.clear();
  if (observer) observer->CellsChanged(nullptr);
  SetCounters("0", "00:00:00");
  SetStatus(ResetCells ? "Reset" : "New game");
}

void TGame::NewGame() {
  StartGame(false);
}

void TGame::Reset() {
  StartGame(true);
}

bool TGame::Click(int Cell) {
  // The board stands still while a search reads it and while the player shows a solution.
  if (!board || Searching() || showingSolution) return false;
  if (newGamePending) {
    ClearMoveLists(); // a solution from an earlier search goes with the old game
    if (pendingAfterSearch) {
      // The count starts again here, so the game does too: from this position, and no longer whole.
      Rebase();
      dealt = false;
      pendingAfterSearch = false;
    }
    newGamePending = false;
    moveCount = 0;
    gameStart = clock();
    clockRunning = true;
    Notify(gcClock);
  }
  const bool timed = clockRunning;
  bool moved = false;
  {
    TScratchMoves moves;
    board->GetMoves(&moves.List);
    for (int k = 0; k < moves.List.Count(); ++k) {
      const TMove* m = static_cast<const TMove*>(moves.List[k]);
      if (m->from != Cell) continue;
      board->DoMove(m);
      Played(*m);
      Kept(*m, true);
      ++moveCount;
      moved = true;
      break;
    }
  }
  if (Solved()) Finish(timed);
  return moved;
}

void TGame::Finish(bool WasRunning) {
  clockRunning = false;
  if (WasRunning) stoppedDays = clock() - gameStart;
  Notify(gcClock);
  AnsiString text = "Congratulations !";
  // A click on a board already solved starts and ends no game worth keeping.
  if (WasRunning && Recordable() && !undoMoves.empty()) {
    const TDateTime from = firstMoveSeen && firstMoveAt < gameStart ? firstMoveAt : gameStart;
    const auto seconds = static_cast<int32_t>(std::floor(
        std::clamp((clock() - from) * 86400.0, 0.0, static_cast<double>(TRecords::MaxSeconds)) + 1e-6));
    const AnsiString beaten = records.Offer(
        rows, cols, static_cast<int32_t>(std::min<size_t>(undoMoves.size(), TRecords::MaxMoves)), seconds);
    if (!beaten.empty()) {
      text += " " + beaten;
      Notify(gcRecords);
    }
  }
  SetStatus(text);
}

bool TGame::MoveTile(int8_t Direction) {
  if (!board || Searching() || showingSolution) return false;
  TMove moved;
  if (!board->MoveTile(Direction, moved)) return false;
  Played(moved);
  Kept(moved, false);
  return true;
}

void TGame::Kept(const TMove& Move, bool Counted) {
  if (!firstMoveSeen) {
    firstMoveSeen = true;
    firstMoveAt = clock();
  }
  undoMoves.push_back({Move, Counted});
  redoMoves.clear();
}

// ----- Undo and redo

bool TGame::Undo() {
  if (!CanUndo()) return false;
  const TPlayedMove last = undoMoves.back();
  undoMoves.pop_back();
  const TMove back = ReverseMove(last.Move);
  board->DoMove(&back);
  // The history leads back to a searched position. When its newest step is this very move back, that step
  // is now taken: it goes, so that undoing and redoing never makes the history grow.
  const auto* newest = history->Count() > 0 ? static_cast<const TMove*>(history->Items(0)) : nullptr;
  if (newest && newest->from == back.from && newest->to == back.to) {
    delete newest;
    history->Delete(0);
    ClearHint();
    if (observer) observer->CellsChanged(&back);
  } else {
    Played(back);
  }
  if (last.Counted) --moveCount;
  redoMoves.push_back(last);
  ShowMoveCount();
  return true;
}

bool TGame::Redo() {
  if (!CanRedo()) return false;
  const TPlayedMove next = redoMoves.back();
  redoMoves.pop_back();
  board->DoMove(&next.Move);
  Played(next.Move);
  if (next.Counted) ++moveCount;
  undoMoves.push_back(next);
  ShowMoveCount();
  // Going forward may reach the goal, as a click would; going back reaches only where the game has been.
  if (clockRunning && Solved()) Finish(true);
  return true;
}

void TGame::ShowMoveCount() {
  // A pending game shows no count of its own yet.
  if (!newGamePending) SetCounters(IntToStr(moveCount), timeText);
}

double TGame::ClockDays() const {
  if (newGamePending) return 0;
  return clockRunning ? clock() - gameStart : stoppedDays;
}

// ----- Saved games

TSavedGame TGame::Save() const {
  TSavedGame saved;
  saved.Rows = rows;
  saved.Cols = cols;
  saved.Start = startCells;
  saved.Moves = undoMoves;
  for (const TPlayedMove& m : undoMoves) saved.MoveCount += m.Counted;
  saved.Elapsed = static_cast<int32_t>(
      std::floor(std::clamp(ClockDays() * 86400.0, 0.0, static_cast<double>(TSavedGame::MaxElapsed)) + 1e-6));
  saved.State = !newGamePending      ? TSavedState::Playing
                : pendingAfterSearch ? TSavedState::Searched
                                     : TSavedState::New;
  saved.Recordable = Recordable();
  if (solution->Count() > 0) {
    saved.SolutionStart = solutionStart;
    for (int i = 0; i < solution->Count(); ++i) saved.Solution.push_back(SolutionMove(i));
  }
  return saved;
}

void TGame::Load(const TSavedGame& Saved) {
  const bool searched = DropWorker();
  SetPlaying(false);
  ClearMoveLists();
  showingSolution = false;
  solutionStep = 0;
  MakeBoard(Saved.Rows, Saved.Cols);
  board->SetCells(Saved.Start.data());
  startCells = Saved.Start;
  for (const TPlayedMove& m : Saved.Moves) board->DoMove(&m.Move);
  undoMoves = Saved.Moves;
  moveCount = Saved.MoveCount;
  dealt = Saved.Recordable;
  assisted = false;
  solutionStart = Saved.SolutionStart;
  for (const TMove& m : Saved.Solution) solution->Add(new TMove(m));
  newGamePending = Saved.State != TSavedState::Playing;
  pendingAfterSearch = Saved.State == TSavedState::Searched;
  const double elapsed = Saved.Elapsed / 86400.0;
  stoppedDays = elapsed;
  gameStart = clock() - elapsed;
  clockRunning = Saved.State == TSavedState::Playing && !Solved();
  Notify(gcSize | gcClock | gcPlayer | (searched ? gcSearch : 0u));
  if (observer) observer->CellsChanged(nullptr);
  if (!newGamePending)
    SetCounters(IntToStr(moveCount), ClockText(elapsed));
  else
    SetCounters(pendingAfterSearch ? IntToStr(solution->Count()) : AnsiString("0"), "00:00:00");
  SetStatus(!newGamePending && Solved() ? "Congratulations !" : "Game loaded");
}

void TGame::Played(const TMove& Move) {
  ClearHint(); // the marked tile may have moved, or the hint be the move just made
  history->Insert(0, new TMove(ReverseMove(Move)));
  if (observer) observer->CellsChanged(&Move);
}

void TGame::ClockTick() {
  SetCounters(IntToStr(moveCount), ClockText(clock() - gameStart));
}

// ----- The improving search chain

bool TGame::DropWorker() {
  if (!searchThread) return false;
  // Detached first: if its termination handler runs inside the wait, it sees a stale worker and does nothing.
  std::unique_ptr<TThread> worker = std::move(searchThread);
  searchState = TSearchState::Idle;
  worker.reset();
  return true;
}

void TGame::StartSearchRun(int32_t DepthBound) {
  try {
    searchThread = workers(board.get(), goal.data(), searchResult.get(), &searchTime, DepthBound);
    searchThread->OnTerminate = [this](TObject* Sender) { SearchThreadTerminate(Sender); };
    searchThread->Resume();
  } catch (...) {
    // A worker that cannot start is a run without result: the chain ends and the game is not left locked.
    DropWorker();
    EndChain();
    throw;
  }
}

void TGame::EndChain() {
  searchState = TSearchState::Idle;
  SetStatus(solution->Count() > 0 ? "Solution found." : "Solution not found !");
  Notify(gcSearch);
  SetCounters(IntToStr(solution->Count()), ClockText(totalSearchTime));
}

void TGame::BeginSearch(TSearchState State) {
  // The old worker goes first: until it has ended it may still write to the result list.
  DropWorker();
  spentThread.reset();
  // A search started from the solution player leaves it: its step belongs to the old solution, and stepping
  // the new one from there would make moves that are not legal on the board.
  SetPlaying(false);
  if (showingSolution) Rebase(); // the player's steps are no moves of the game
  showingSolution = false;
  solutionStep = 0;
  newGamePending = true;
  pendingAfterSearch = true;
  clockRunning = false;
  assisted = true;
  ClearHint();
  searchState = State;
  Notify(gcPlayer | gcClock | gcSearch);
  totalSearchTime = 0;
  SetCounters("0", "00:00:00");
}

void TGame::Search() {
  if (!board || closing) return;
  BeginSearch(TSearchState::Searching);
  SetStatus("Searching...");
  ClearMoveLists();
  solutionStart.assign(board->cells, board->cells + board->count);
  StartSearchRun(FirstSearchDepth);
}

void TGame::SearchThreadTerminate(TObject* Sender) {
  if (!searchThread || Sender != searchThread.get()) return; // a worker ended by closing or a size change
  totalSearchTime += searchTime;
  // Esc may come after the run has reached the goal but before this handler: the stop still ends the chain,
  // and the run's result goes with it.
  if (searchThread->Terminated()) ClearMoveList(searchResult.get());
  // The worker is still finishing while this runs; it is freed later, never from in here.
  spentThread = std::move(searchThread);
  if (searchResult->Count() > 0 && !closing) {
    const int32_t depthBound = searchResult->Count() - 1;
    ClearMoveList(solution.get());
    AppendMoves(solution.get(), searchResult.get());
    searchState = TSearchState::Improving;
    SetStatus("Solution found, searching better...");
    StartSearchRun(depthBound);
    SetCounters(IntToStr(solution->Count()), ClockText(totalSearchTime));
  } else {
    if (searchResult->Count() > 0) { // closing: keep what was found, start nothing
      ClearMoveList(solution.get());
      AppendMoves(solution.get(), searchResult.get());
    }
    EndChain();
  }
}

void TGame::StopSearch() {
  if (searchThread) searchThread->Terminate();
}

void TGame::EndSearch() {
  if (DropWorker()) Notify(gcSearch);
}

void TGame::Close() {
  closing = true;
  EndSearch();
}

// ----- The solution player

bool TGame::ShowSolution() {
  if (!board || Searching()) return false;
  SetPlaying(false);
  showingSolution = true;
  solutionStep = 0;
  ClearHint();
  Notify(gcPlayer);
  // The history holds every move since the search, newest first: played in order, they undo them all.
  for (int i = 0; i < history->Count(); ++i) board->DoMove(static_cast<const TMove*>(history->Items(i)));
  // A loaded game knows the searched position but not the way back to it.
  if (!solutionStart.empty() && !board->IsEqual(solutionStart.data())) board->SetCells(solutionStart.data());
  // Seeing the solution is help; and the player's steps are not the game's moves.
  assisted = true;
  Rebase();
  if (observer) observer->CellsChanged(nullptr);
  ClearMoveList(history.get());
  SetCounters("0/" + IntToStr(solution->Count()), timeText);
  SetStatus("Use buttons to navigate.");
  return true;
}

void TGame::ShowPlayerStep() {
  SetCounters(IntToStr(solutionStep) + "/" + IntToStr(solution->Count()), timeText);
}

bool TGame::StepForward() {
  // Outside the player the board need not be where the solution goes on: its moves would not be legal.
  if (!showingSolution || Searching() || solutionStep >= solution->Count()) return false;
  const TMove m = SolutionMove(solutionStep);
  ++solutionStep;
  board->DoMove(&m);
  Played(m);
  ShowPlayerStep();
  return true;
}

bool TGame::StepBack() {
  if (!showingSolution || Searching() || solutionStep <= 0) return false;
  --solutionStep;
  const TMove back = ReverseMove(SolutionMove(solutionStep));
  board->DoMove(&back);
  Played(back);
  ShowPlayerStep();
  return true;
}

void TGame::SetPlaying(bool Value) {
  if (playing == Value) return;
  playing = Value;
  Notify(gcPlaying);
}

bool TGame::StartPlaying() {
  if (!CanPlay()) return false;
  if (solutionStep >= solution->Count()) ShowSolution();
  SetPlaying(true);
  return true;
}

bool TGame::PlayStep() {
  if (!playing) return false;
  const bool stepped = StepForward();
  if (!stepped || solutionStep >= solution->Count()) SetPlaying(false);
  return stepped;
}

// ----- Shortest Solution and Hint

void TGame::SetSolver(TSolver Solver) {
  solver = std::move(Solver);
}

AnsiString TGame::SolverStatus() const {
  if (searchState == TSearchState::Hinting) return "Searching for a hint...";
  return ExactlySolvable(rows, cols) ? "Searching for the shortest solution..." : "Searching...";
}

void TGame::StartSolver(TSearchState State, double TimeLimit) {
  if (searchState != State) {
    searchState = State;
    Notify(gcSearch);
  }
  SetStatus(SolverStatus());
  solverStart.assign(board->cells, board->cells + board->count);
  try {
    auto worker =
        std::make_unique<TShortestSolutionThread>(solver, TSolveRequest{rows, cols, solverStart, TimeLimit});
    worker->OnBuildProgress = [this](TShortestSolutionThread* Sender, double Done) {
      SolverProgress(Sender, Done);
    };
    worker->OnImproved = [this](TShortestSolutionThread* Sender, const std::vector<TMove>& Solution,
                                bool Optimal) { SolverImproved(Sender, Solution, Optimal); };
    worker->OnTerminate = [this](TObject* Sender) { SolverTerminate(Sender); };
    searchThread = std::move(worker);
    searchThread->Resume();
  } catch (...) {
    // A worker that cannot start leaves the game as it was, unlocked.
    DropWorker();
    Notify(gcSearch);
    SetStatus("Solution not found !");
    throw;
  }
}

void TGame::ShortestSolution() {
  if (!board || closing || Solved()) return;
  shortestFound = false;
  BeginSearch(TSearchState::Shortest);
  ClearMoveLists();
  StartSolver(TSearchState::Shortest, 0);
}

bool TGame::Hint() {
  if (!CanHint() || closing) return false;
  assisted = true;
  TMove next{};
  if (KnownNextMove(next)) {
    ShowHint(next);
    return true;
  }
  spentThread.reset();
  StartSolver(TSearchState::Hinting, HintTimeLimit);
  return true;
}

void TGame::ClearHint() {
  if (hintCell < 0) return;
  hintCell = -1;
  Notify(gcHint);
}

void TGame::ShowHint(const TMove& Move) {
  hintCell = Move.from;
  Notify(gcHint);
  SetStatus("Hint: move tile " + IntToStr(board->cells[Move.from]) + ".");
}

bool TGame::KnownNextMove(TMove& Move) const {
  if (!board || knownStart.size() != static_cast<size_t>(board->count)) return false;
  TBoard path(rows, cols, knownStart.data());
  for (const TMove& m : knownSolution) {
    if (board->IsEqual(path.cells)) {
      Move = m;
      return true;
    }
    path.DoMove(&m);
  }
  return false;
}

void TGame::SolverProgress(TShortestSolutionThread* Sender, double Done) {
  if (Sender != searchThread.get()) return; // a worker already let go
  if (Done >= 1.0)
    SetStatus(SolverStatus());
  else
    SetStatus("Building the solver's tables... " + IntToStr(static_cast<int>(Done * 100)) + "%");
}

void TGame::SolverImproved(TShortestSolutionThread* Sender, const std::vector<TMove>& Solution,
                           bool Optimal) {
  if (Sender != searchThread.get()) return;
  knownStart = solverStart;
  knownSolution = Solution;
  if (searchState != TSearchState::Shortest) return;
  ClearMoveList(solution.get());
  for (const TMove& m : Solution) solution->Add(new TMove(m));
  shortestFound = Optimal;
  if (!Optimal) SetStatus("Solution found, searching shorter...");
  SetCounters(IntToStr(solution->Count()), ClockText(Sender->ElapsedDays()));
}

void TGame::SolverTerminate(TObject* Sender) {
  if (!searchThread || Sender != searchThread.get()) return; // ended by closing, a new game or a size change
  const auto* worker = static_cast<const TShortestSolutionThread*>(searchThread.get());
  const bool stopped = worker->Terminated();
  const TSearchState state = searchState;
  // The worker is still finishing while this runs; it is freed later, never from in here.
  spentThread = std::move(searchThread);
  searchState = TSearchState::Idle;
  Notify(gcSearch);
  if (state == TSearchState::Shortest) {
    totalSearchTime = worker->ElapsedDays();
    if (solution->Count() == 0)
      SetStatus("Solution not found !");
    else
      SetStatus(shortestFound ? "Shortest solution found." : "Solution found.");
    SetCounters(IntToStr(solution->Count()), ClockText(totalSearchTime));
    return;
  }
  TMove next{};
  if (KnownNextMove(next))
    ShowHint(next);
  else
    SetStatus(stopped ? "Hint stopped." : "No hint found.");
}
