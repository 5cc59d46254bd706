#include "app/solve/BoardLine.h"

#include "engine/OptimalSearch.h"

namespace {
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string Quoted(std::string_view token) {
  constexpr size_t Shown = 20;
  std::string text;
  for (const char c : token.substr(0, Shown)) text += c >= 0x20 && c < 0x7F ? c : '?';
  return "\"" + text + (token.size() > Shown ? "...\"" : "\"");
}
} // namespace

TBoardLine::TKind TBoardLine::Parse(std::string_view text, TBoardLine& line) {
  line = TBoardLine();
  auto bad = [&](std::string reason) {
    line = TBoardLine();
    line.reason = std::move(reason);
    return Bad;
  };
  if (text.size() > MaxBoardLine)
    return bad("line longer than " + std::to_string(MaxBoardLine) + " characters");
  // Every token a small decimal number; no board has more than MaxBoardSide squared cells.
  constexpr size_t MaxTokens = 2 + MaxBoardSide * MaxBoardSide;
  std::vector<int32_t> numbers;
  size_t tokens = 0;
  for (size_t at = 0; at < text.size();) {
    if (IsSpace(text[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < text.size() && !IsSpace(text[end])) ++end;
    const std::string_view token = text.substr(at, end - at);
    at = end;
    ++tokens;
    int32_t value = 0;
    for (const char c : token) {
      if (c < '0' || c > '9') return bad("not a number: " + Quoted(token));
      value = value * 10 + (c - '0');
      if (value > 999) return bad("number too large: " + Quoted(token));
    }
    if (numbers.size() < MaxTokens) numbers.push_back(value);
  }
  if (tokens == 0) return Empty;
  if (tokens < 2) return bad("expected ROWS COLS and the cells");
  const int32_t rows = numbers[0], cols = numbers[1];
  if (rows < MinBoardSide || rows > MaxBoardSide || cols < MinBoardSide || cols > MaxBoardSide)
    return bad("size " + std::to_string(rows) + "x" + std::to_string(cols) + " outside " +
               std::to_string(MinBoardSide) + ".." + std::to_string(MaxBoardSide));
  const int32_t count = rows * cols;
  if (tokens - 2 != static_cast<size_t>(count))
    return bad("expected " + std::to_string(count) + " cells for " + std::to_string(rows) + "x" +
               std::to_string(cols) + ", found " + std::to_string(tokens - 2));
  std::vector<bool> seen(static_cast<size_t>(count), false);
  for (int32_t i = 0; i < count; ++i) {
    const int32_t value = numbers[static_cast<size_t>(i) + 2];
    if (value >= count || seen[static_cast<size_t>(value)])
      return bad("not a permutation of 0.." + std::to_string(count - 1) + ": " + std::to_string(value) +
                 (value >= count ? " is out of range" : " appears twice"));
    seen[static_cast<size_t>(value)] = true;
    line.cells.push_back(value == 0 ? -1 : value);
  }
  if (!IsSolvablePosition(rows, cols, line.cells.data()))
    return bad("unsolvable: the goal cannot be reached from this board");
  line.rows = rows;
  line.cols = cols;
  return Board;
}
