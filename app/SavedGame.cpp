#include "app/SavedGame.h"

#include <map>
#include <memory>

#include "classlib/core/FileReplace.h"
#include "classlib/core/SysUtils.h"

namespace {

const char* const FormatLine = "Quendrel game 1";
const char* const DirectionLetters = "UDLR"; // by TMove::direction

[[noreturn]] void Fail(const AnsiString& Why) {
  throw ESavedGameError(Why);
}

AnsiString CellsText(const std::vector<int32_t>& Cells) {
  AnsiString text;
  for (size_t i = 0; i < Cells.size(); ++i) text += (i ? " " : "") + IntToStr(Cells[i] == -1 ? 0 : Cells[i]);
  return text;
}

// A whole number in [Low, High] written in decimal, nothing else.
int64_t Number(const AnsiString& Text, int64_t Low, int64_t High, const char* What) {
  if (Text.empty() || Text.size() > 12) Fail(Format("the %s is not a number in range", What));
  int64_t value = 0;
  for (char c : Text) {
    if (c < '0' || c > '9') Fail(Format("the %s is not a number in range", What));
    value = value * 10 + (c - '0');
  }
  if (value < Low || value > High) Fail(Format("the %s is not a number in range", What));
  return value;
}

std::vector<AnsiString> Words(const AnsiString& Text) {
  std::vector<AnsiString> words;
  size_t i = 0;
  while (i < Text.size()) {
    while (i < Text.size() && Text[i] == ' ') ++i;
    const size_t start = i;
    while (i < Text.size() && Text[i] != ' ') ++i;
    if (i > start) words.push_back(Text.substr(start, i - start));
  }
  return words;
}

// The cells of a Rows x Cols board, 0 for the blank: a position the puzzle can reach from its goal.
std::vector<int32_t> Position(const AnsiString& Text, int32_t Rows, int32_t Cols, const char* What) {
  const std::vector<AnsiString> words = Words(Text);
  const size_t count = static_cast<size_t>(Rows * Cols);
  if (words.size() != count) Fail(Format("the %s does not hold %d cells", What, Rows * Cols));
  std::vector<int32_t> cells;
  std::vector<bool> seen(count);
  for (const AnsiString& w : words) {
    const auto v = static_cast<int32_t>(Number(w, 0, static_cast<int64_t>(count) - 1, What));
    if (seen[static_cast<size_t>(v)]) Fail(Format("the %s holds %d twice", What, v));
    seen[static_cast<size_t>(v)] = true;
    cells.push_back(v == 0 ? -1 : v);
  }
  if (!IsSolvable(Rows, Cols, cells)) Fail(Format("the %s cannot be solved", What));
  return cells;
}

// Replays the letters on Board; each must be a legal move there.
std::vector<TPlayedMove> Replay(TBoard& Board, const AnsiString& Letters, size_t Max, bool KeysAllowed,
                                const char* What) {
  if (Letters.size() > Max) Fail(Format("the %s has more than %d moves", What, static_cast<int>(Max)));
  std::vector<TPlayedMove> played;
  played.reserve(Letters.size());
  for (size_t i = 0; i < Letters.size(); ++i) {
    const char c = Letters[i];
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    const char* at = upper ? std::char_traits<char>::find(DirectionLetters, 4, upper) : nullptr;
    if (!at || (upper != c && !KeysAllowed)) Fail(Format("the %s holds the letter '%c'", What, c));
    TMove move{};
    if (!Board.MoveTile(static_cast<int8_t>(at - DirectionLetters), move))
      Fail(Format("move %d of the %s is not legal on its board", static_cast<int>(i + 1), What));
    played.push_back({move, upper == c});
  }
  return played;
}

} // namespace

bool IsSolvable(int32_t Rows, int32_t Cols, const std::vector<int32_t>& Cells) {
  // Horizontal moves keep the order of the tiles; a vertical one passes a tile over Cols - 1 others. With an
  // odd width that keeps the parity of the inversions; with an even one it flips it and the blank's row too.
  int64_t inversions = 0;
  int32_t blankRow = 0;
  for (size_t i = 0; i < Cells.size(); ++i) {
    if (Cells[i] == -1) {
      blankRow = static_cast<int32_t>(i) / Cols;
      continue;
    }
    for (size_t j = i + 1; j < Cells.size(); ++j)
      if (Cells[j] != -1 && Cells[j] < Cells[i]) ++inversions;
  }
  const int64_t rowsBelow = Cols % 2 == 0 ? Rows - 1 - blankRow : 0;
  return (inversions + rowsBelow) % 2 == 0;
}

AnsiString WriteSavedGame(const TSavedGame& Game) {
  AnsiString moves;
  moves.reserve(Game.Moves.size());
  for (const TPlayedMove& m : Game.Moves) {
    const char letter = DirectionLetters[m.Move.direction & 3];
    moves += m.Counted ? letter : static_cast<char>(letter - 'A' + 'a');
  }
  const char* state = Game.State == TSavedState::New        ? "new"
                      : Game.State == TSavedState::Searched ? "searched"
                                                            : "playing";
  AnsiString text = AnsiString(FormatLine) + "\n";
  text += "size " + IntToStr(Game.Rows) + " " + IntToStr(Game.Cols) + "\n";
  text += "style " + IntToStr(Game.Style) + "\n";
  text += "image " + Game.Image + "\n";
  text += "start " + CellsText(Game.Start) + "\n";
  text += "moves " + moves + "\n";
  text += "count " + IntToStr(Game.MoveCount) + "\n";
  text += "elapsed " + IntToStr(Game.Elapsed) + "\n";
  text += AnsiString("state ") + state + "\n";
  text += AnsiString("recordable ") + (Game.Recordable ? "1" : "0") + "\n";
  if (!Game.SolutionStart.empty()) {
    AnsiString solution;
    for (const TMove& m : Game.Solution) solution += DirectionLetters[m.direction & 3];
    text += "solution-start " + CellsText(Game.SolutionStart) + "\n";
    text += "solution " + solution + "\n";
  }
  return text;
}

TSavedGame ReadSavedGame(const AnsiString& Text) {
  // Lines: the format line, then one of each key.
  std::map<AnsiString, AnsiString> values;
  size_t start = 0;
  int lineNumber = 0;
  while (start < Text.size()) {
    size_t end = Text.find('\n', start);
    if (end == AnsiString::npos) end = Text.size();
    AnsiString line = Text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (++lineNumber == 1) {
      if (line != FormatLine) Fail("it is not a Quendrel game of a version this program reads");
      continue;
    }
    if (line.empty()) continue;
    const size_t space = line.find(' ');
    const AnsiString key = line.substr(0, space);
    static const char* const known[] = {"size",       "style",          "image",   "start",
                                        "moves",      "count",          "elapsed", "state",
                                        "recordable", "solution-start", "solution"};
    bool isKnown = false;
    for (const char* k : known) isKnown = isKnown || key == k;
    if (!isKnown) Fail(Format("line %d is not part of a game", lineNumber));
    if (values.count(key)) Fail(Format("line %d repeats \"%s\"", lineNumber, key.c_str()));
    values[key] = space == AnsiString::npos ? AnsiString() : line.substr(space + 1);
  }
  if (lineNumber == 0) Fail("it is empty");
  for (const char* required : {"size", "style", "image", "start", "moves", "count", "elapsed", "state"})
    if (!values.count(required)) Fail(Format("it has no \"%s\" line", required));

  TSavedGame game;
  const std::vector<AnsiString> size = Words(values["size"]);
  if (size.size() != 2) Fail("the size is not two numbers");
  game.Rows =
      static_cast<int32_t>(Number(size[0], TSavedGame::MinSide, TSavedGame::MaxSide, "number of rows"));
  game.Cols =
      static_cast<int32_t>(Number(size[1], TSavedGame::MinSide, TSavedGame::MaxSide, "number of columns"));
  game.Style = static_cast<int32_t>(Number(values["style"], 0, 2, "tile style"));
  game.Image = values["image"];
  if (game.Image.size() > TSavedGame::MaxImagePath) Fail("the picture's path is too long");
  for (char c : game.Image)
    if (static_cast<unsigned char>(c) < ' ') Fail("the picture's path holds a control character");
  game.Start = Position(values["start"], game.Rows, game.Cols, "starting board");

  TBoard board(game.Rows, game.Cols, game.Start.data());
  game.Moves = Replay(board, values["moves"], TSavedGame::MaxMoves, true, "moves played");
  int64_t counted = 0;
  for (const TPlayedMove& m : game.Moves) counted += m.Counted;
  game.MoveCount = static_cast<int32_t>(Number(values["count"], 0, TSavedGame::MaxMoves, "move count"));
  if (game.MoveCount != counted) Fail("the move count does not match the moves played");
  game.Elapsed = static_cast<int32_t>(Number(values["elapsed"], 0, TSavedGame::MaxElapsed, "elapsed time"));

  const AnsiString& state = values["state"];
  if (state == "playing")
    game.State = TSavedState::Playing;
  else if (state == "new")
    game.State = TSavedState::New;
  else if (state == "searched")
    game.State = TSavedState::Searched;
  else
    Fail("the state is none of playing, new, searched");
  // Before its first click a game has counted nothing.
  if (game.State != TSavedState::Playing && game.State != TSavedState::Searched && counted > 0)
    Fail("a game not yet started has counted moves");
  game.Recordable = values.count("recordable") && Number(values["recordable"], 0, 1, "record flag") == 1;

  if (values.count("solution-start") != values.count("solution"))
    Fail("a solution needs both its starting board and its moves");
  if (values.count("solution")) {
    game.SolutionStart =
        Position(values["solution-start"], game.Rows, game.Cols, "solution's starting board");
    TBoard searched(game.Rows, game.Cols, game.SolutionStart.data());
    for (const TPlayedMove& m :
         Replay(searched, values["solution"], TSavedGame::MaxSolution, false, "solution"))
      game.Solution.push_back(m.Move);
    std::vector<int32_t> goal(static_cast<size_t>(searched.count));
    for (int32_t i = 0; i + 1 < searched.count; ++i) goal[static_cast<size_t>(i)] = i + 1;
    goal.back() = -1;
    if (game.Solution.empty() || !searched.IsEqual(goal.data()))
      Fail("the solution does not solve its board");
  }
  return game;
}

TSavedGame LoadSavedGameFile(const AnsiString& FileName) {
  AnsiString text;
  try {
    text = ReadWholeFile(FileName, TSavedGame::MaxFileSize);
  } catch (const EFOpenError& e) {
    throw ESavedGameError(e.Message);
  } catch (const EStreamError& e) {
    throw ESavedGameError(Format("Cannot read file \"%s\". %s", FileName.c_str(), e.Message.c_str()));
  }
  try {
    return ReadSavedGame(text);
  } catch (const ESavedGameError& e) {
    throw ESavedGameError(
        Format("The game file \"%s\" cannot be loaded: %s.", FileName.c_str(), e.Message.c_str()));
  }
}

void SaveSavedGameFile(const AnsiString& FileName, const TSavedGame& Game) {
  ReplaceFileContents(ResolveLinks(FileName, FileName), WriteSavedGame(Game), FileName);
}
