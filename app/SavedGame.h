#pragma once
// A game kept in a file (.qgame): plain text, one "key value" line each after the format line, so that a
// saved game can be read and mended by hand. The reader takes every byte as hostile: it bounds the file and
// every number, and replays every move, so that what it hands back is a game the model can take whole.
//
//   Quendrel game 1
//   size 4 4                  rows, columns
//   style 1                   0 numbers, 1 picture, 2 picture and numbers
//   image /home/me/cat.jpg    the board picture (the rest of the line)
//   start 5 1 3 ... 0         the cells when the game began, row by row, 0 for the blank
//   moves URRDl               each move by the way its tile went (Up, Down, Left, Right); lower case: by key
//   count 4                   the moves counted (the clicks)
//   elapsed 83                seconds on the clock
//   state playing             playing, new (no click yet) or searched (no click since a search)
//   recordable 1              whether solving it can set a record
//   solution-start 5 1 ... 0  the searched position, and its best solution known
//   solution RRDLU
#include <cstdint>
#include <vector>

#include "classlib/core/AnsiString.h"
#include "classlib/core/Exception.h"
#include "engine/Board.h"

QUENDREL_EXCEPTION(ESavedGameError, Exception)

// A move of the game as undo and redo keep it: clicks count, keys do not.
struct TPlayedMove {
  TMove Move;
  bool Counted;
};

enum class TSavedState { Playing, New, Searched };

struct TSavedGame {
  static constexpr int32_t MinSide = 2, MaxSide = 6;
  static constexpr int64_t MaxFileSize = int64_t{4} << 20;
  static constexpr size_t MaxMoves = 1000000;
  static constexpr size_t MaxSolution = 10000;
  static constexpr int32_t MaxElapsed = 10 * 365 * 86400;
  static constexpr size_t MaxImagePath = 4096;

  int32_t Rows = 0;
  int32_t Cols = 0;
  int32_t Style = 0;
  AnsiString Image;
  std::vector<int32_t> Start; // the blank is -1, as on the board
  std::vector<TPlayedMove> Moves;
  int32_t MoveCount = 0;
  int32_t Elapsed = 0;
  TSavedState State = TSavedState::Playing;
  bool Recordable = false;
  std::vector<int32_t> SolutionStart; // empty when no solution is known
  std::vector<TMove> Solution;
};

// The text of a game file.
AnsiString WriteSavedGame(const TSavedGame& Game);
// A game from the text of a game file; ESavedGameError says, in one sentence, what is wrong.
TSavedGame ReadSavedGame(const AnsiString& Text);

// Reading and writing the files. Loading raises ESavedGameError naming the file; saving writes a temporary
// file beside the target and puts it in place in one step, so a failed save leaves the old file whole, and
// raises the class library's file errors.
TSavedGame LoadSavedGameFile(const AnsiString& FileName);
void SaveSavedGameFile(const AnsiString& FileName, const TSavedGame& Game);

// Whether the cells (count entries, blank -1) can be brought into goal order, the blank last.
bool IsSolvable(int32_t Rows, int32_t Cols, const std::vector<int32_t>& Cells);
