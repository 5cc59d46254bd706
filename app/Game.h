#pragma once
// TGame: the game without its window. It owns the position, the goal cells, the three move lists, the move
// count and the clock, the solution player's step and the improving search chain with its worker, and says
// what changed through TGameObserver, so that a view redraws only that. The window turns input into calls
// here and changes into pixels; every rule of play lives on this side.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/Records.h"
#include "app/SavedGame.h"
#include "app/ShortestSolution.h"
#include "classlib/core/AnsiString.h"
#include "classlib/core/DateTime.h"
#include "engine/Board.h"

class TList;
class TObject;
class TThread;

// What a view shows besides the cells; GameChanged gets a set of these.
enum TGameChange : unsigned {
  gcSize = 1u << 0,     // a board of another size: the cells of the old one are gone
  gcClock = 1u << 1,    // the game clock started or stopped
  gcCounters = 1u << 2, // StepText and TimeText
  gcStatus = 1u << 3,   // Status
  gcSearch = 1u << 4,   // a search chain began or ended
  gcPlayer = 1u << 5,   // the solution player was entered or left
  gcPlaying = 1u << 6,  // the solution player started or stopped playing by itself
  gcHint = 1u << 10,    // HintCell
  gcRecords = 1u << 7,  // a solved game set a record
};

class TGameObserver {
 public:
  virtual ~TGameObserver() = default;
  // The cells of Move changed; with no move the whole position is new (a new game, a jump of the player).
  virtual void CellsChanged(const TMove* Move) = 0;
  // What is a set of TGameChange.
  virtual void GameChanged(unsigned What) = 0;
};

// Where the search is: none, the chain's first run, a later run of the chain bounded below the solution held,
// the shortest-solution worker, or the worker looking for a hint. The game is locked in all but Idle.
enum class TSearchState { Idle, Searching, Improving, Shortest, Hinting };

class TGame {
 public:
  // The worker of one search run, made suspended; it fills Result with the moves of a solution in playing
  // order (or nothing) and writes its duration in days to Elapsed, last, before it ends.
  using TWorkerFactory = std::function<std::unique_ptr<TThread>(TBoard* Start, int32_t* Goal, TList* Result,
                                                                double* Elapsed, int32_t DepthBound)>;
  // The time of day the game clock reads.
  using TClock = std::function<TDateTime()>;

  static constexpr int32_t FirstSearchDepth = 10000;

  // Without a factory the runs are the engine's TSearchThread; without a clock the clock is Now.
  explicit TGame(TGameObserver* Observer = nullptr, TWorkerFactory Workers = {}, TClock Clock = {});
  ~TGame();
  TGame(const TGame&) = delete;
  TGame& operator=(const TGame&) = delete;

  // A board of Rows x Cols in goal order; the lists are cleared and a running search ends first.
  void SetSize(int32_t Rows, int32_t Cols);
  // A scrambled board (New) or the goal order (Reset); the game waits for its first click.
  void NewGame();
  void Reset();
  // A click on the tile in Cell: the first of a pending game clears the lists and starts the clock; a tile
  // next to the blank moves and counts; a solved board stops the clock. Answers whether a tile moved.
  bool Click(int Cell);
  // An arrow key: the tile on that side of the blank moves (0 up, 1 down, 2 left, 3 right), uncounted.
  bool MoveTile(int8_t Direction);
  // The clock's tick: the counters show the moves and the time played.
  void ClockTick();

  // The improving chain: each run that finds a solution adopts it and starts the next bounded below it.
  void Search();
  // Asks the running worker to stop; its end ends the chain without its result.
  void StopSearch();
  // Ends a running search and waits for it; its termination then changes nothing.
  void EndSearch();
  // The game is closing: a running search ends and no run starts any more.
  void Close();

  // The solution player: back to the searched position at step 0, then a step forward or back.
  bool ShowSolution();
  bool StepForward();
  bool StepBack();
  // Playing by itself: each PlayStep is a step forward, and the last one stops. Started at the last step,
  // the player begins again from step 0. Leaving the player (New, Reset, a size, Search) stops it too.
  bool StartPlaying();
  void StopPlaying() { SetPlaying(false); }
  bool PlayStep();

  // Undo and redo: every move of the current game, from New, Reset, a load, or the first click after a
  // search (which starts a fresh count) on. Undo plays a move back and gives back its count; the clock goes
  // on. A new move drops what could be redone.
  bool Undo();
  bool Redo();
  bool CanUndo() const { return CanChangeMoves() && !undoMoves.empty(); }
  bool CanRedo() const { return CanChangeMoves() && !redoMoves.empty(); }
  int UndoLength() const { return static_cast<int>(undoMoves.size()); }
  int RedoLength() const { return static_cast<int>(redoMoves.size()); }

  // Help from the solver (Show Solution, hints) takes the game out of the records.
  void MarkAssisted() { assisted = true; }
  // Solving it can set a record: it began on a dealt board, whole, without help.
  bool Recordable() const { return dealt && !assisted; }
  TRecords& Records() { return records; }
  const TRecords& Records() const { return records; }

  // Saved games: the game as a file keeps it (without the window's style and picture), and a checked game
  // put in place whole.
  bool CanSave() const { return CanChangeMoves(); }
  // A word from the window in the status line ("Game saved").
  void Announce(const AnsiString& Text) { SetStatus(Text); }
  TSavedGame Save() const;
  void Load(const TSavedGame& Saved);

  // Move lists: every record is a heap TMove owned by the list that holds it.
  static void ClearMoveList(TList* List);
  static void AppendMoves(TList* Dest, TList* Source);
  void ClearMoveLists();

  // The rules that enable the commands.
  bool CanStartGame() const { return !Searching(); }
  bool CanSearch() const { return !Searching() && board && !Solved(); }
  bool CanStopSearch() const { return Searching(); }
  bool CanShowSolution() const { return !Searching() && SolutionLength() > 0; }
  bool CanPlay() const { return showingSolution && !Searching() && SolutionLength() > 0; }
  bool CanShortestSolution() const { return CanSearch(); }
  bool CanHint() const { return CanSearch() && !showingSolution; }

  const TBoard* Board() const { return board.get(); }
  const std::vector<int32_t>& Goal() const { return goal; }
  int32_t Rows() const { return rows; }
  int32_t Cols() const { return cols; }
  bool Solved() const { return board && board->IsEqual(goal.data()); }
  bool NewGamePending() const { return newGamePending; }
  int32_t MoveCount() const { return moveCount; }
  bool ClockRunning() const { return clockRunning; }
  bool Searching() const { return searchState != TSearchState::Idle; }
  TSearchState SearchState() const { return searchState; }
  bool ShowingSolution() const { return showingSolution; }
  int32_t SolutionStep() const { return solutionStep; }
  bool Playing() const { return playing; }
  int SolutionLength() const;
  int HistoryLength() const;
  const TMove& SolutionMove(int Index) const;
  const TMove& HistoryMove(int Index) const;
  double TotalSearchTime() const { return totalSearchTime; }
  // What the status line, the move counter and the clock show.
  const AnsiString& Status() const { return status; }
  const AnsiString& StepText() const { return stepText; }
  const AnsiString& TimeText() const { return timeText; }

  // ----- Shortest Solution and Hint

  // Seconds a hint may search on boards too large for the exact search; the best solution by then counts.
  static constexpr double HintTimeLimit = 2.0;

  // Replaces the engines' solver (tests script it); the next worker takes it.
  void SetSolver(TSolver Solver);
  // Searches the board on screen in a worker, locked as a search: a shortest solution where the board is
  // small enough, else ever shorter ones until the improving search is done or stopped. The result is the
  // solution the player shows.
  void ShortestSolution();
  // Marks the tile that the next move of a shortest (above 16 cells, the best known) solution moves. Instant
  // when the board lies on a solution found before; otherwise a worker searches first, locked as a search.
  bool Hint();
  // The cell of the tile the hint marks, or -1; the mark goes with the next move or ClearHint.
  int HintCell() const { return hintCell; }
  void ClearHint();
  // Whether this game had help: Search, Shortest Solution, Hint or Show Solution since New, Reset or a size
  // change. Records do not count such games.
  bool Assisted() const { return assisted; }

 private:
  void StartGame(bool ResetCells);
  // What every search of the board on screen begins with: the player left, the move lists' owner told, the
  // game afresh after it, the counters at zero; State locks the game.
  void BeginSearch(TSearchState State);
  void StartSearchRun(int32_t DepthBound);
  void SearchThreadTerminate(TObject* Sender);
  // The last run of the chain has ended: the solution held, if any, is the answer.
  void EndChain();
  // Detaches the running worker and frees it, which waits for it; answers whether there was one.
  bool DropWorker();
  // Records the reverse of Move, newest first, and tells the view about its cells.
  void Played(const TMove& Move);
  void ShowPlayerStep();
  void SetPlaying(bool Value);
  bool CanChangeMoves() const { return board && !Searching() && !showingSolution; }
  void MakeBoard(int32_t Rows, int32_t Cols);
  // The current position becomes the start of the game: nothing to undo or redo.
  void Rebase();
  // A move the player made (Counted: by click), for undo.
  void Kept(const TMove& Move, bool Counted);
  void ShowMoveCount();
  // The board reached the goal: the clock stops, and a game that counts may set a record.
  void Finish(bool WasRunning);
  double ClockDays() const;
  void SetStatus(const AnsiString& Text);
  void SetCounters(const AnsiString& Step, const AnsiString& Time);
  void Notify(unsigned What);

  TGameObserver* observer;
  TWorkerFactory workers;
  TClock clock;

  std::unique_ptr<TBoard> board;
  std::vector<int32_t> goal;
  std::unique_ptr<TList> solution;
  std::unique_ptr<TList> searchResult;
  std::unique_ptr<TList> history;
  int32_t cols = 0;
  int32_t rows = 0;
  bool newGamePending = false;
  int32_t moveCount = 0;
  int32_t solutionStep = 0;
  TDateTime gameStart;
  bool clockRunning = false;
  double searchTime = 0;
  double totalSearchTime = 0;
  std::unique_ptr<TThread> searchThread; // the run under way; set while the chain is not idle
  std::unique_ptr<TThread> spentThread;  // the last finished run, freed once its handler has returned
  TSearchState searchState = TSearchState::Idle;
  bool showingSolution = false;
  bool playing = false;
  bool closing = false;
  // Shortest Solution and Hint.
  void StartSolver(TSearchState State, double TimeLimit);
  void SolverProgress(TShortestSolutionThread* Sender, double Done);
  void SolverImproved(TShortestSolutionThread* Sender, const std::vector<TMove>& Solution, bool Optimal);
  void SolverTerminate(TObject* Sender);
  // The move a known solution makes next from the board, if the board lies on one.
  bool KnownNextMove(TMove& Move) const;
  void ShowHint(const TMove& Move);
  AnsiString SolverStatus() const;

  TSolver solver = SolveShortest;
  std::vector<int32_t> solverStart; // the board the running worker searches
  std::vector<int32_t> knownStart;  // a board and the best solution known from it, for hints
  std::vector<TMove> knownSolution;
  bool shortestFound = false; // the solution held is a shortest one
  int hintCell = -1;
  bool assisted = false;

  std::vector<int32_t> startCells;    // the position the game's moves start from
  std::vector<TPlayedMove> undoMoves; // in playing order
  std::vector<TPlayedMove> redoMoves; // the next to redo last
  std::vector<int32_t> solutionStart; // the position the solution starts from
  bool dealt = false;                 // the game began on a scrambled board (New)
  bool pendingAfterSearch = false;    // the next click starts a fresh game from the searched position
  bool firstMoveSeen = false;
  TDateTime firstMoveAt;  // keys move before the clock starts: the records count from the first move
  double stoppedDays = 0; // the clock's reading when it stopped on the goal
  TRecords records;
  AnsiString status;
  AnsiString stepText = "0";
  AnsiString timeText = "00:00:00";
};
