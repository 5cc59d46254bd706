#include "engine/Board.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "classlib/core/List.h"

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

TBoard::~TBoard() {
  delete[] cells;
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
    const int r = std::rand();
    DoMove(static_cast<const TMove*>(moves[r % moves.Count()]));
    ReleaseMoves(moves);
  }
}

namespace {
bool ListContains(const std::vector<int32_t>& list, int32_t value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}
} // namespace

void TBoard::Evaluate(const int32_t* goal) {
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
