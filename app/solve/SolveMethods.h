#pragma once
// The ways the command-line solver solves one board. A time limit counts the search only: building the
// pattern databases of a board shape on its first use (then cached) does not count.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/solve/BoardLine.h"

class TOptimalSearch;

enum class TSolveMethod { Auto, Optimal, Chain, First };

struct TSolveResult {
  bool solved = false;
  std::vector<int32_t> tiles; // the tiles moved, in order
  std::string reason;         // why there is no solution
};

// Seconds a board's search may take; 0 for no limit.
using TTimeLimit = double;

// Where optimal searches are shown while they run, so that idle threads can help them.
class TSearchRegistry {
 public:
  virtual void Started(const std::shared_ptr<TOptimalSearch>& search) = 0;
  virtual void Ended(const TOptimalSearch* search) = 0;

 protected:
  ~TSearchRegistry() = default;
};

// A shortest solution, for boards of at most 16 cells; at the limit, none.
TSolveResult SolveOptimal(const TBoardLine& board, TTimeLimit limit, TSearchRegistry* registry = nullptr);
// The game's Search: runs with a depth bound one below the last solution's length until one finds nothing.
// At the limit, the best solution found so far.
TSolveResult SolveChain(const TBoardLine& board, TTimeLimit limit);
// The first run of the game's Search; at the limit, none.
TSolveResult SolveFirst(const TBoardLine& board, TTimeLimit limit);
// Boards of more than 16 cells when no method is asked for.
TSolveResult SolveImproving(const TBoardLine& board, TTimeLimit limit);

TSolveResult Solve(const TBoardLine& board, TSolveMethod method, TTimeLimit limit,
                   TSearchRegistry* registry = nullptr);
