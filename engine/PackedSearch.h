#pragma once
// The solver's search on packed boards: what TSearchThread::Execute does, pass for pass, with every board
// held as a few words in a node of the visited set (TPackedTree) and a record in the open list
// (TIndexFibHeap), both addressed by 32-bit index in memory that the search takes and returns whole. A
// child's estimate follows from its parent's: one tile's distance changes by one, and the conflicts of at
// most one line change.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Board.h"

constexpr int32_t MaxPackedCells = 40;

class TPackedSearch {
 public:
  // Called at the head of every pass; false stops the search.
  class TControl {
   public:
    virtual bool Pass() = 0;

   protected:
    ~TControl() = default;
  };

  enum TOutcome { Solved, Exhausted, Stopped };

  // Boards the packed search takes: rows x cols = count, 2 .. MaxPackedCells cells, and both the start board
  // and the goal holding every tile 1 .. count-1 and the blank exactly once.
  static bool Packable(const TBoard& start, const int32_t* goal);

  // A search of `start` towards `goal`, or null when the boards are not packable. `memoryLimit` is the
  // bound on stored boards times 48.
  static std::unique_ptr<TPackedSearch> Create(const TBoard& start, const int32_t* goal, int32_t maxDepth,
                                               int32_t memoryLimit);
  virtual ~TPackedSearch() = default;

  // Runs the search to its end. Out of memory for a board, it ends as exhausted.
  virtual TOutcome Run(TControl& control) = 0;
  // After Solved: the moves from the start board to the goal, in playing order.
  virtual std::vector<TMove> Path() const = 0;

  int32_t Stored() const { return stored; }
  int64_t Expanded() const { return expanded; }

 protected:
  int32_t stored = 0;
  int64_t expanded = 0;
};

// The estimate of the packed search against one goal, for cells holding 0 for the blank and tile numbers
// otherwise. A tile's row conflicts depend only on the tiles of its row that belong there, and likewise for
// columns, so the estimate is a sum over lines, and a move changes at most one line's share.
class TEstimator {
 public:
  TEstimator(int32_t rows, int32_t cols, const uint8_t* goal);
  // manhattan + conflicts, as TBoard::Evaluate computes them.
  int32_t Full(const uint8_t* cells) const;
  // How the estimate changes when the tile in cell `from` moves into the blank in cell `to` (`cells` as they
  // are before the move).
  int32_t Delta(const uint8_t* cells, int32_t from, int32_t to) const;

 private:
  int32_t RowConflicts(const uint8_t* cells, int32_t row, int32_t changedCol, uint8_t changedValue) const;
  int32_t ColConflicts(const uint8_t* cells, int32_t col, int32_t changedRow, uint8_t changedValue) const;
  // A line's tiles as an index into its length's table of conflicts.
  int32_t RowCode(const uint8_t* cells, int32_t row) const;
  int32_t ColCode(const uint8_t* cells, int32_t col) const;

  int32_t rows, cols, count;
  uint8_t rowOf[MaxPackedCells], colOf[MaxPackedCells];     // of each cell
  uint8_t homeRow[MaxPackedCells], homeCol[MaxPackedCells]; // of each tile
  // A tile's place, by number, among the tiles of its goal row (column), from 1.
  uint8_t rowRank[MaxPackedCells], colRank[MaxPackedCells];
  const uint8_t* rowTable; // conflicts by code, for rows short enough to have a table; else null
  const uint8_t* colTable;
  int32_t rowWeight[MaxPackedCells], colWeight[MaxPackedCells]; // a place's weight in its line's code
};
