#pragma once
// TRecords: the best games per board size, the fewest moves and the shortest time, each kept on its own, in
// the section [RECORDS] of the settings file. Window-free; the game offers each solved game, the window
// reads and writes the file.
#include <array>
#include <cstdint>

#include "classlib/core/AnsiString.h"

class TIniFile;

struct TRecord {
  int32_t Moves = 0;    // 0: none yet
  int32_t Seconds = -1; // -1: none yet
  bool HasMoves() const { return Moves > 0; }
  bool HasTime() const { return Seconds >= 0; }
};

class TRecords {
 public:
  static constexpr int32_t MinSide = 2, MaxSide = 6;
  // Larger values in the file are broken, not records: no game is that long.
  static constexpr int32_t MaxMoves = 10000000, MaxSeconds = 10 * 365 * 86400;

  const TRecord& Get(int32_t Rows, int32_t Cols) const;
  // A solved game of Moves moves in Seconds: answers what it beat, as text for the status line ("" when
  // nothing), and keeps it.
  AnsiString Offer(int32_t Rows, int32_t Cols, int32_t Moves, int32_t Seconds);
  void Clear();
  bool Empty() const;

  // A value that is missing or not a number in range is no record; the file is never a reason to fail.
  void Load(const TIniFile& Ini);
  // Writes the record of one size (each write rewrites the file, so only what changed is written).
  void Save(TIniFile& Ini, int32_t Rows, int32_t Cols) const;
  // Removes every record from the file.
  static void Erase(TIniFile& Ini);
  static AnsiString SizeName(int32_t Rows, int32_t Cols);
  static AnsiString TimeText(int32_t Seconds);

 private:
  static constexpr int32_t Sides = MaxSide - MinSide + 1;
  static size_t Index(int32_t Rows, int32_t Cols);
  std::array<TRecord, Sides * Sides> records{};
};
