#pragma once
// One line of the command-line solver's input: "ROWS COLS c1 ... cN", the cells row by row with 0 for the
// blank. The line comes from outside: every count and value is checked before it is used.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The longest line read; a longer one is reported and skipped. A 6 x 6 board takes about 110 characters.
constexpr size_t MaxBoardLine = 4096;
constexpr int32_t MinBoardSide = 2;
constexpr int32_t MaxBoardSide = 6;

struct TBoardLine {
  enum TKind { Board, Empty, Bad };

  int32_t rows = 0;
  int32_t cols = 0;
  std::vector<int32_t> cells; // as TBoard holds them: tiles 1 .. N-1 and -1 for the blank
  std::string reason;         // why a bad line is not a board

  // A line holding only blanks is Empty; a board that cannot reach the goal is Bad.
  static TKind Parse(std::string_view text, TBoardLine& line);
};
