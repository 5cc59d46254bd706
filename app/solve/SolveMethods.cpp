#include "app/solve/SolveMethods.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

#include "classlib/core/List.h"
#include "engine/Board.h"
#include "engine/ImprovingSearch.h"
#include "engine/OptimalSearch.h"
#include "engine/PatternStore.h"
#include "engine/SearchThread.h"

namespace {
using TClock = std::chrono::steady_clock;

TClock::time_point DeadlineOf(TTimeLimit limit) {
  if (limit <= 0) return TClock::time_point::max();
  // Beyond a year is no limit.
  const double seconds = std::min(limit, 365.0 * 24 * 3600);
  return TClock::now() + std::chrono::duration_cast<TClock::duration>(std::chrono::duration<double>(seconds));
}

std::vector<int32_t> GoalOf(const TBoardLine& board) {
  std::vector<int32_t> goal;
  for (int32_t i = 1; i < board.rows * board.cols; ++i) goal.push_back(i);
  goal.push_back(-1);
  return goal;
}

std::vector<int32_t> TilesOf(const TBoardLine& board, const std::vector<TMove>& moves) {
  std::vector<int32_t> cells = board.cells, tiles;
  for (const TMove& move : moves) {
    tiles.push_back(cells[static_cast<size_t>(move.from)]);
    std::swap(cells[static_cast<size_t>(move.from)], cells[static_cast<size_t>(move.to)]);
  }
  return tiles;
}

TSolveResult Solved(std::vector<int32_t> tiles) {
  TSolveResult result;
  result.solved = true;
  result.tiles = std::move(tiles);
  return result;
}

TSolveResult Unsolved(std::string reason) {
  TSolveResult result;
  result.reason = std::move(reason);
  return result;
}

// Says once per shape, on a terminal, why the first board of a shape takes a while.
class TBuildNotice final : public TPatternDatabase::TBuildControl {
 public:
  TBuildNotice(int32_t rows, int32_t cols) : rows(rows), cols(cols) {}
  bool Progress(double) override {
    static std::mutex lock;
    static std::set<std::pair<int32_t, int32_t>> told;
    std::lock_guard guard(lock);
    if (told.insert({rows, cols}).second && ::isatty(2))
      std::fprintf(stderr, "quendrel-solve: building the %dx%d pattern databases...\n", rows, cols);
    return true;
  }

 private:
  int32_t rows, cols;
};

class TDeadlineControl final : public TOptimalSearch::TControl {
 public:
  explicit TDeadlineControl(TClock::time_point deadline) : deadline(deadline) {}
  bool Continue() override { return TClock::now() < deadline; }

 private:
  TClock::time_point deadline;
};

// One run of the game's search with the depth bound `maxDepth`: its moves, empty when it found none or was
// stopped at the deadline (then `expired` is set).
std::vector<TMove> RunSearch(const TBoardLine& board, int32_t maxDepth, TClock::time_point deadline,
                             bool& expired) {
  TBoard start(board.rows, board.cols, board.cells.data());
  std::vector<int32_t> goal = GoalOf(board);
  TList result;
  double elapsed = 0;
  {
    TSearchThread thread(&start, goal.data(), &result, &elapsed, maxDepth, true);
    thread.Resume();
    if (deadline != TClock::time_point::max()) {
      while (!thread.Finished()) {
        if (TClock::now() >= deadline) {
          thread.Terminate();
          expired = true;
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    }
    thread.WaitFor();
  }
  std::vector<TMove> moves;
  for (int i = 0; i < result.Count(); ++i) {
    std::unique_ptr<TMove> move(static_cast<TMove*>(result[i]));
    moves.push_back(*move);
  }
  return moves;
}

bool IsGoal(const TBoardLine& board) {
  return board.cells == GoalOf(board);
}
} // namespace

TSolveResult SolveOptimal(const TBoardLine& board, TTimeLimit limit, TSearchRegistry* registry) {
  if (board.rows * board.cols > MaxPatternCells)
    return Unsolved("the optimal search takes boards of at most " + std::to_string(MaxPatternCells) +
                    " cells");
  TBuildNotice notice(board.rows, board.cols);
  const auto database = TPatternStore::Obtain(board.rows, board.cols, notice);
  if (!database) return Unsolved("no pattern databases for this board");
  const auto search = std::make_shared<TOptimalSearch>(*database);
  if (registry) {
    search->ExpectHelpers();
    registry->Started(search);
  }
  TDeadlineControl control(DeadlineOf(limit));
  const TOptimalSearch::TOutcome outcome = search->Run(board.cells.data(), control);
  if (registry) registry->Ended(search.get());
  switch (outcome) {
  case TOptimalSearch::Solved:
    return Solved(TilesOf(board, search->Path()));
  case TOptimalSearch::Stopped:
    return Unsolved("time limit reached before a shortest solution was found");
  default:
    return Unsolved("unsolvable");
  }
}

TSolveResult SolveChain(const TBoardLine& board, TTimeLimit limit) {
  if (IsGoal(board)) return Solved({});
  const TClock::time_point deadline = DeadlineOf(limit);
  std::vector<TMove> best;
  bool expired = false;
  for (int32_t bound = 10000; !expired;) {
    std::vector<TMove> moves = RunSearch(board, bound, deadline, expired);
    if (moves.empty()) break;
    best = std::move(moves);
    bound = static_cast<int32_t>(best.size()) - 1;
  }
  if (!best.empty()) return Solved(TilesOf(board, best));
  return Unsolved(expired ? "time limit reached before a solution was found"
                          : "the search found no solution");
}

TSolveResult SolveFirst(const TBoardLine& board, TTimeLimit limit) {
  if (IsGoal(board)) return Solved({});
  bool expired = false;
  const std::vector<TMove> moves = RunSearch(board, 10000, DeadlineOf(limit), expired);
  if (!moves.empty()) return Solved(TilesOf(board, moves));
  return Unsolved(expired ? "time limit reached before a solution was found"
                          : "the search found no solution");
}

TSolveResult SolveImproving(const TBoardLine& board, TTimeLimit limit) {
  TImprovingLimits limits;
  limits.deadline = DeadlineOf(limit);
  const TImprovingResult result = ImprovingSearch(board.rows, board.cols, board.cells.data(), limits);
  // At the limit the shortest found so far is still an answer.
  if (result.found) return Solved(TilesOf(board, result.solution));
  switch (result.end) {
  case TImprovingEnd::Unsolvable:
    return Unsolved("unsolvable");
  case TImprovingEnd::BadBoard:
    return Unsolved("not a board");
  case TImprovingEnd::OutOfTime:
  case TImprovingEnd::Stopped:
    return Unsolved("time limit reached before a solution was found");
  default:
    return Unsolved("the search found no solution");
  }
}

TSolveResult Solve(const TBoardLine& board, TSolveMethod method, TTimeLimit limit,
                   TSearchRegistry* registry) {
  switch (method) {
  case TSolveMethod::Optimal:
    return SolveOptimal(board, limit, registry);
  case TSolveMethod::Chain:
    return SolveChain(board, limit);
  case TSolveMethod::First:
    return SolveFirst(board, limit);
  default:
    return board.rows * board.cols <= MaxPatternCells ? SolveOptimal(board, limit, registry)
                                                      : SolveImproving(board, limit);
  }
}
