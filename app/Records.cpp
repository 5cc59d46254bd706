#include "app/Records.h"

#include <stdexcept>

#include "classlib/core/IniFiles.h"
#include "classlib/core/StringList.h"
#include "classlib/core/SysUtils.h"

namespace {

const char* const Section = "RECORDS";

// The value of Key, a whole decimal number in [Low, High], or Fallback for anything else.
int32_t ReadBounded(const TStringList& Values, const AnsiString& Key, int32_t Low, int32_t High,
                    int32_t Fallback) {
  const int at = Values.IndexOfName(Key);
  if (at < 0) return Fallback;
  const AnsiString text = Trim(Values.ValueFromIndex(at));
  if (text.empty() || text.size() > 10) return Fallback;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return Fallback;
    value = value * 10 + (c - '0');
  }
  return value >= Low && value <= High ? static_cast<int32_t>(value) : Fallback;
}

} // namespace

size_t TRecords::Index(int32_t Rows, int32_t Cols) {
  if (Rows < MinSide || Rows > MaxSide || Cols < MinSide || Cols > MaxSide)
    throw std::out_of_range("board size out of range");
  return static_cast<size_t>((Rows - MinSide) * Sides + (Cols - MinSide));
}

const TRecord& TRecords::Get(int32_t Rows, int32_t Cols) const {
  return records[Index(Rows, Cols)];
}

AnsiString TRecords::SizeName(int32_t Rows, int32_t Cols) {
  return IntToStr(Rows) + "x" + IntToStr(Cols);
}

AnsiString TRecords::TimeText(int32_t Seconds) {
  const auto two = [](int32_t v) { return (v < 10 ? AnsiString("0") : AnsiString()) + IntToStr(v); };
  return two(Seconds / 3600) + ":" + two(Seconds / 60 % 60) + ":" + two(Seconds % 60);
}

AnsiString TRecords::Offer(int32_t Rows, int32_t Cols, int32_t Moves, int32_t Seconds) {
  TRecord& best = records[Index(Rows, Cols)];
  const bool fewer = Moves > 0 && Moves <= MaxMoves && (!best.HasMoves() || Moves < best.Moves);
  const bool faster = Seconds >= 0 && Seconds <= MaxSeconds && (!best.HasTime() || Seconds < best.Seconds);
  if (fewer) best.Moves = Moves;
  if (faster) best.Seconds = Seconds;
  // Short, for the status line of a narrow window.
  const AnsiString moves = IntToStr(Moves) + (Moves == 1 ? " move" : " moves");
  if (fewer && faster) return "Records: " + moves + ", " + TimeText(Seconds);
  if (fewer) return "Record: " + moves;
  if (faster) return "Record: " + TimeText(Seconds);
  return "";
}

void TRecords::Clear() {
  records.fill(TRecord{});
}

bool TRecords::Empty() const {
  for (const TRecord& r : records)
    if (r.HasMoves() || r.HasTime()) return false;
  return true;
}

void TRecords::Load(const TIniFile& Ini) {
  // One read of the file for the whole section.
  TStringList values;
  Ini.ReadSectionValues(Section, &values);
  for (int32_t r = MinSide; r <= MaxSide; ++r)
    for (int32_t c = MinSide; c <= MaxSide; ++c) {
      TRecord& best = records[Index(r, c)];
      best.Moves = ReadBounded(values, SizeName(r, c) + " Moves", 1, MaxMoves, 0);
      best.Seconds = ReadBounded(values, SizeName(r, c) + " Time", 0, MaxSeconds, -1);
    }
}

void TRecords::Save(TIniFile& Ini, int32_t Rows, int32_t Cols) const {
  const TRecord& best = Get(Rows, Cols);
  const AnsiString name = SizeName(Rows, Cols);
  if (best.HasMoves())
    Ini.WriteInteger(Section, name + " Moves", best.Moves);
  else
    Ini.DeleteKey(Section, name + " Moves");
  if (best.HasTime())
    Ini.WriteInteger(Section, name + " Time", best.Seconds);
  else
    Ini.DeleteKey(Section, name + " Time");
}

void TRecords::Erase(TIniFile& Ini) {
  Ini.EraseSection(Section);
}
