#pragma once
// Shared helpers of the engine tests: boards from literals, move lists as values.
#include <memory>
#include <tuple>
#include <vector>

#include "classlib/core/List.h"
#include "engine/Board.h"

namespace enginetest {

inline std::unique_ptr<TBoard> MakeBoard(int rows, int cols, std::vector<int32_t> cells) {
  return std::make_unique<TBoard>(rows, cols, cells.data());
}

inline std::vector<int32_t> Goal(int rows, int cols) {
  std::vector<int32_t> goal;
  for (int i = 1; i < rows * cols; ++i) goal.push_back(i);
  goal.push_back(-1);
  return goal;
}

using Move = std::tuple<int32_t, int32_t, int>; // from, to, direction

inline std::vector<Move> TakeMoves(TList& list) {
  std::vector<Move> result;
  for (int i = 0; i < list.Count(); ++i) {
    const TMove* move = static_cast<const TMove*>(list[i]);
    result.emplace_back(move->from, move->to, move->direction);
    delete move;
  }
  list.Clear();
  return result;
}

inline std::vector<Move> MovesOf(const TBoard& board) {
  TList list;
  board.GetMoves(&list);
  return TakeMoves(list);
}

inline std::vector<int32_t> CellsOf(const TBoard& board) {
  return {board.cells, board.cells + board.count};
}

} // namespace enginetest
