#pragma once
// An anytime search for short solutions on boards too large to solve exactly. It finds a first solution
// within milliseconds and keeps shortening it, handing each strictly shorter one to the caller as it comes,
// until its plan is spent, it is stopped or its deadline passes; what it holds stays within a memory bound.
// It runs on the calling thread; stop it from another one through `stopRequested`. Searches on several
// threads at once share nothing.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/Board.h"

struct TImprovingLimits {
  // Polled every hundred boards or so, well under a millisecond apart; true ends the search soon after.
  std::function<bool()> stopRequested;
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  // The most the search holds at once, in bytes; 0 takes ImprovingMemoryBound().
  size_t memoryBytes = 0;
};

enum class TImprovingEnd {
  Finished,   // the plan is spent: the best solution found stands
  Stopped,    // stopRequested said so
  OutOfTime,  // the deadline passed
  Unsolvable, // no sequence of moves reaches the goal
  BadBoard,   // not a board: the shape or the cells are wrong
};

struct TImprovingResult {
  TImprovingEnd end = TImprovingEnd::BadBoard;
  bool found = false;          // whether `solution` holds one; it may be empty on a solved board
  std::vector<TMove> solution; // the shortest found, in playing order
  size_t peakBytes = 0;        // the most the search held at once
};

// Called with each solution shorter than every one before it, in playing order, on the searching thread.
using TImprovedSolution = std::function<void(const std::vector<TMove>& solution)>;

// Searches `cells` (rows x cols, tiles 1 .. count-1 and -1 or 0 for the blank, row by row) towards the goal,
// the tiles in order with the blank last. Boards of 2 .. MaxPackedCells (PackedSearch.h) cells are taken. For
// a given board and memory bound the solutions reported follow the same sequence on every run; a stop or a
// deadline only cuts it short.
TImprovingResult ImprovingSearch(int32_t rows, int32_t cols, const int32_t* cells,
                                 const TImprovingLimits& limits, const TImprovedSolution& improved = {});

// The solver thread's bound, for searches that should take no more than it: an eighth of the free memory.
size_t ImprovingMemoryBound();
