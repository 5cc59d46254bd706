#pragma once
// One position of the sliding-tile puzzle and the moves between positions. Cells are stored row by row; tiles
// are 1 .. count-1 and the blank is -1. The goal holds the tiles in order with the blank last.
#include <cstddef>
#include <cstdint>

class TList;

struct TMove {
  int32_t from;     // cell of the tile that moves; it becomes the blank
  int32_t to;       // the blank's cell before the move
  int8_t direction; // the way the tile moves: 0 up, 1 down, 2 left, 3 right
};

// The same move played backwards.
TMove ReverseMove(const TMove& move);

class TBoard {
 public:
  // A board of rows x cols holding a copy of `cells`, or the goal order when `cells` is null.
  TBoard(int32_t rows, int32_t cols, const int32_t* cells);
  // A copy of `parent`, then `move` applied to it (depth one deeper); with no move the copy is left as is.
  TBoard(TBoard* parent, const TMove* move);
  // The same child in one block with its cells, for the solver, which makes boards by the million.
  static TBoard* NewChild(TBoard* parent, const TMove* move);
  // Boards of either kind are released with delete; both come from the global operator new.
  static void* operator new(size_t size) { return ::operator new(size); }
  static void* operator new(size_t, void* place) noexcept { return place; }
  static void operator delete(void* block) { ::operator delete(block); }
  static void operator delete(void*, void*) noexcept {}
  ~TBoard();
  TBoard(const TBoard&) = delete;
  TBoard& operator=(const TBoard&) = delete;

  void SetCells(const int32_t* values);
  void Reset();
  bool IsEqual(const int32_t* values) const;
  // Whether this board's shape and `values` (count entries) make a position that moves are defined on: at
  // least one row and one column, and every tile 1 .. count-1 and the blank exactly once.
  bool IsValid(const int32_t* values) const;
  // First index of `value` in `values` (count entries), or -1.
  int32_t IndexOf(int32_t value, const int32_t* values) const;
  // Exchanges the cells `from` and `to`; nothing is checked.
  void DoMove(const TMove* move);
  // Appends a newly allocated TMove per legal move, in the order up, left, down, right; the caller owns them.
  void GetMoves(TList* list) const;
  // Plays the legal move in `direction`, if there is one, and hands it back.
  bool MoveTile(int8_t direction, TMove& move);
  // Scrambles the board by a random walk of count * 512 legal moves from the goal order.
  void Shuffle();
  // Sets manhattan and conflicts against the goal order `goal`.
  void Evaluate(const int32_t* goal);

  int32_t rows;
  int32_t cols;
  int32_t count;
  int32_t manhattan;
  int32_t conflicts;
  int32_t depth;
  TBoard* parent; // not owned
  int32_t* cells; // count values, owned
  TMove move;     // how parent became this board; unset when parent is null

 private:
  struct TrailingCells {};
  TBoard(TBoard* parent, const TMove* move, TrailingCells);
  void EvaluateByScanning(const int32_t* goal);

  bool ownsCellsArray = true; // false when the cells follow the board in its own block
};
