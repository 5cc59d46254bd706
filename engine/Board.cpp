#include "engine/Board.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "classlib/core/List.h"
#include "classlib/core/Random.h"

TMove ReverseMove(const TMove& move) {
  static constexpr int8_t Opposite[4] = {1, 0, 3, 2};
  return TMove{move.to, move.from, Opposite[move.direction & 3]};
}

TBoard::TBoard(int32_t rows, int32_t cols, const int32_t* cells)
    : rows(rows), cols(cols), count(rows * cols), manhattan(0), conflicts(0), depth(0), parent(nullptr),
      cells(new int32_t[static_cast<size_t>(rows * cols)]), move{} {
  if (cells)
    SetCells(cells);
  else
    Reset();
}

TBoard::TBoard(TBoard* parent, const TMove* move) : TBoard(parent->rows, parent->cols, parent->cells) {
  this->parent = parent;
  if (move) {
    DoMove(move);
    this->move = *move;
    depth = parent->depth + 1;
  }
}

TBoard::TBoard(TBoard* parent, const TMove* move, TrailingCells)
    : rows(parent->rows), cols(parent->cols), count(parent->count), manhattan(0), conflicts(0), depth(0),
      parent(parent),
      cells(reinterpret_cast<int32_t*>(reinterpret_cast<char*>(this) + sizeof(TBoard))), move{},
      ownsCellsArray(false) {
  SetCells(parent->cells);
  if (move) {
    DoMove(move);
    this->move = *move;
    depth = parent->depth + 1;
  }
}

TBoard* TBoard::NewChild(TBoard* parent, const TMove* move) {
  static_assert(sizeof(TBoard) % alignof(int32_t) == 0);
  void* block = ::operator new(sizeof(TBoard) + sizeof(int32_t) * static_cast<size_t>(parent->count));
  return new (block) TBoard(parent, move, TrailingCells{});
}

TBoard::~TBoard() {
  if (ownsCellsArray) delete[] cells;
}

void TBoard::SetCells(const int32_t* values) {
  std::copy(values, values + count, cells);
}

void TBoard::Reset() {
  for (int32_t i = 0; i < count - 1; ++i) cells[i] = i + 1;
  cells[count - 1] = -1;
}

bool TBoard::IsEqual(const int32_t* values) const {
  for (int32_t i = 0; i < count; ++i)
    if (cells[i] != values[i]) return false;
  return true;
}

bool TBoard::IsValid(const int32_t* values) const {
  if (rows < 1 || cols < 1 || int64_t{rows} * cols != count) return false;
  std::vector<bool> seen(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const int32_t v = values[i] == -1 ? 0 : values[i];
    if (v < 0 || v >= count || seen[static_cast<size_t>(v)]) return false;
    seen[static_cast<size_t>(v)] = true;
  }
  return true;
}

int32_t TBoard::IndexOf(int32_t value, const int32_t* values) const {
  for (int32_t i = 0; i < count; ++i)
    if (values[i] == value) return i;
  return -1;
}

void TBoard::DoMove(const TMove* move) {
  std::swap(cells[move->from], cells[move->to]);
}

void TBoard::GetMoves(TList* list) const {
  const int32_t b = IndexOf(-1, cells);
  const bool lastRow = count - cols <= b && b < count;
  const bool firstRow = 0 <= b && b < cols;
  const bool lastCol = b % cols == cols - 1;
  const bool firstCol = b % cols == 0;
  if (!lastRow) list->Add(new TMove{b + cols, b, 0});
  if (!lastCol) list->Add(new TMove{b + 1, b, 2});
  if (!firstRow) list->Add(new TMove{b - cols, b, 1});
  if (!firstCol) list->Add(new TMove{b - 1, b, 3});
}

namespace {
void ReleaseMoves(TList& list) {
  for (int i = 0; i < list.Count(); ++i) delete static_cast<TMove*>(list[i]);
  list.Clear();
}
} // namespace

bool TBoard::MoveTile(int8_t direction, TMove& move) {
  TList moves;
  GetMoves(&moves);
  bool moved = false;
  for (int i = 0; i < moves.Count(); ++i) {
    const TMove* candidate = static_cast<const TMove*>(moves[i]);
    if (candidate->direction == direction) {
      DoMove(candidate);
      move = *candidate;
      moved = true;
      break;
    }
  }
  ReleaseMoves(moves);
  return moved;
}

void TBoard::Shuffle() {
  TList moves;
  Reset();
  const int32_t steps = count << 9;
  for (int32_t step = 0; step < steps; ++step) {
    GetMoves(&moves);
    const int r = Rand();
    DoMove(static_cast<const TMove*>(moves[r % moves.Count()]));
    ReleaseMoves(moves);
  }
}

namespace {
// Where each value 1 .. count-1 stands and belongs (row and column of its first occurrence, or those of index
// -1 when absent), and which tiles are already paired; on the stack for every board the game uses.
class TileIndex {
 public:
  explicit TileIndex(int32_t count) : size(count) {
    if (count > Inline) heap.resize(static_cast<size_t>(count) * Arrays);
    int32_t* base = count > Inline ? heap.data() : inline_;
    for (int a = 0; a < Arrays; ++a) arrays[a] = base + a * count;
  }

  // False when a cell holds a value outside 1 .. count-1 other than the blank.
  bool Fill(const int32_t* cells, const int32_t* goalCells, int32_t cols) {
    const int32_t absentRow = -1 / cols, absentCol = -1 % cols;
    for (int32_t v = 0; v < size; ++v) {
      atRow()[v] = homeRow()[v] = absentRow;
      atCol()[v] = homeCol()[v] = absentCol;
      rowMarked()[v] = colMarked()[v] = 0;
    }
    // Backwards, so that the first occurrence is the one kept.
    for (int32_t i = size - 1, r = (size - 1) / cols, c = (size - 1) % cols; i >= 0; --i) {
      const int32_t v = cells[i];
      if (v != -1) {
        if (v < 1 || v >= size) return false;
        atRow()[v] = r;
        atCol()[v] = c;
      }
      const int32_t g = goalCells[i];
      if (g >= 1 && g < size) {
        homeRow()[g] = r;
        homeCol()[g] = c;
      }
      if (--c < 0) c = cols - 1, --r;
    }
    return true;
  }

  int32_t* atRow() { return arrays[0]; }
  int32_t* atCol() { return arrays[1]; }
  int32_t* homeRow() { return arrays[2]; }
  int32_t* homeCol() { return arrays[3]; }
  int32_t* rowMarked() { return arrays[4]; }
  int32_t* colMarked() { return arrays[5]; }

 private:
  static constexpr int32_t Inline = 64;
  static constexpr int Arrays = 6;
  int32_t size;
  int32_t* arrays[Arrays];
  int32_t inline_[Inline * Arrays];
  std::vector<int32_t> heap;
};

bool ListContains(const std::vector<int32_t>& list, int32_t value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}
} // namespace

void TBoard::Evaluate(const int32_t* goal) {
  TileIndex index(count);
  if (!index.Fill(cells, goal, cols)) {
    EvaluateByScanning(goal);
    return;
  }
  const int32_t* atRow = index.atRow();
  const int32_t* atCol = index.atCol();
  const int32_t* homeRow = index.homeRow();
  const int32_t* homeCol = index.homeCol();
  int32_t* rowMarked = index.rowMarked();
  int32_t* colMarked = index.colMarked();

  manhattan = 0;
  for (int32_t t = 1; t < count; ++t)
    manhattan += std::abs(homeCol[t] - atCol[t]) + std::abs(homeRow[t] - atRow[t]);

  // A value's mark is set only when it is paired, and the blank is never paired.
  conflicts = 0;
  for (int32_t t = 1; t < count; ++t) {
    const int32_t gr = homeRow[t], gc = homeCol[t], cr = atRow[t], cc = atCol[t];
    if (cr == gr && !rowMarked[t]) {
      const int32_t* row = cells + cr * cols;
      for (int32_t c = 0; c < cols; ++c) {
        const int32_t u = row[c];
        if (u == -1 || u == t || rowMarked[u] || homeRow[u] != gr) continue;
        if ((c > cc && u < t) || (c < cc && u > t)) {
          conflicts += 2;
          rowMarked[t] = rowMarked[u] = 1;
          break;
        }
      }
    }
    if (cc == gc && !colMarked[t]) {
      for (int32_t i = gc, r = 0; i < count; i += cols, ++r) {
        const int32_t u = cells[i];
        if (u == -1 || u == t || colMarked[u] || homeCol[u] != gc) continue;
        if ((r > cr && u < t) || (r < cr && u > t)) {
          conflicts += 2;
          colMarked[t] = colMarked[u] = 1;
          break;
        }
      }
    }
  }
}

// The estimate by plain scans; it copes with cells holding values no tile has.
void TBoard::EvaluateByScanning(const int32_t* goal) {
  manhattan = 0;
  for (int32_t t = 1; t < count; ++t) {
    const int32_t gi = IndexOf(t, goal);
    const int32_t ci = IndexOf(t, cells);
    manhattan += std::abs(gi % cols - ci % cols) + std::abs(gi / cols - ci / cols);
  }

  conflicts = 0;
  std::vector<int32_t> rowList;
  std::vector<int32_t> colList;
  for (int32_t t = 1; t < count; ++t) {
    const int32_t gi = IndexOf(t, goal);
    const int32_t ci = IndexOf(t, cells);
    const int32_t gr = gi / cols, gc = gi % cols, cr = ci / cols, cc = ci % cols;
    if (cr == gr && !ListContains(rowList, t)) {
      for (int32_t i = cr * cols; i < (cr + 1) * cols; ++i) {
        const int32_t u = cells[i];
        if (ListContains(rowList, u) || u == -1 || u == t) continue;
        if (IndexOf(u, goal) / cols != gr) continue;
        const int32_t uc = i % cols;
        if ((uc > cc && u < t) || (uc < cc && u > t)) {
          conflicts += 2;
          rowList.push_back(t);
          rowList.push_back(u);
          break;
        }
      }
    }
    if (cc == gc && !ListContains(colList, t)) {
      for (int32_t i = gc; i < count; i += cols) {
        const int32_t u = cells[i];
        if (ListContains(colList, u) || u == -1 || u == t) continue;
        if (IndexOf(u, goal) % cols != gc) continue;
        const int32_t ur = i / cols;
        if ((ur > cr && u < t) || (ur < cr && u > t)) {
          conflicts += 2;
          colList.push_back(t);
          colList.push_back(u);
          break;
        }
      }
    }
  }
}
