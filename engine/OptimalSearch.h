#pragma once
// Shortest solutions for boards of at most 16 cells: iterative-deepening A* over the additive pattern
// databases of the board's shape, with the largest of the direct and the reflected lookup on square boards.
// A search never plays back the move that led to its node, and updates the estimate move by move: a move
// changes one group's placement, and one group's placement of the reflected board.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Board.h"
#include "engine/PatternDatabase.h"

// True when `cells` (rows x cols, tiles 1 .. count-1 and the blank -1, each exactly once) reaches the goal
// order: every move exchanges the blank with a tile, so the permutation's parity follows the blank's
// distance from its home.
bool IsSolvablePosition(int32_t rows, int32_t cols, const int32_t* cells);

class TOptimalSearch {
 public:
  // Polled every few thousand boards; false stops the search.
  class TControl {
   public:
    virtual bool Continue() = 0;

   protected:
    ~TControl() = default;
  };

  enum TOutcome { Solved, Stopped, Invalid };

  // The database must outlive the search.
  explicit TOptimalSearch(const TPatternDatabase& database);
  ~TOptimalSearch();
  TOptimalSearch(const TOptimalSearch&) = delete;
  TOptimalSearch& operator=(const TOptimalSearch&) = delete;

  // Searches `cells` (the database's shape, the blank as -1). Invalid when the board does not hold every tile
  // and the blank exactly once, or cannot reach the goal.
  TOutcome Run(const int32_t* cells, TControl& control);
  // From other threads: searches parts of Run's larger iterations alongside it, and returns once the search
  // is over. Called before Run begins it waits for it; after a Run has ended it returns at once. The solution
  // is the same with help as without.
  void Help();
  // Helpers may come while Run runs: its iterations split sooner, so that a helper arriving late still finds
  // work, at a small cost to a search left alone.
  void ExpectHelpers();
  // After Solved: the moves from the board to the goal, in playing order.
  const std::vector<TMove>& Path() const { return path; }
  // Boards whose estimate the search and its helpers have looked up, in every iteration.
  int64_t Generated() const { return generated; }
  // The estimate of a valid board: a lower bound of its solution's length.
  int32_t Estimate(const int32_t* cells) const;

 private:
  struct TState;

  const TPatternDatabase& database;
  std::unique_ptr<TState> state; // the shape's tables, and what helpers share
  std::vector<TMove> path;
  int64_t generated = 0;
};
