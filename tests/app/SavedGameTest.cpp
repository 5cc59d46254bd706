// The game file: what the reader refuses (each with the reason it gives), what it takes back exactly as it
// was written, and the file around it: bounded before reading, replaced in one step, an old file kept whole
// when a save fails. And the records in the settings file, where a broken value is only no record.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "app/Records.h"
#include "app/SavedGame.h"
#include "classlib/core/IniFiles.h"
#include "tests/classlib/core/TempFolder.h"

namespace {

// A 3x3 game: two moves played (one by key), a known solution.
const std::string Good = "Quendrel game 1\n"
                         "size 3 3\n"
                         "style 2\n"
                         "image /pictures/cat and dog.jpg\n"
                         "start 1 2 3 4 5 6 7 0 8\n"
                         "moves Dr\n"
                         "count 1\n"
                         "elapsed 83\n"
                         "state playing\n"
                         "recordable 1\n"
                         "solution-start 1 2 3 4 5 6 7 0 8\n"
                         "solution L\n";

// Good with the line of Key replaced by Line ("" removes it).
std::string With(const std::string& Key, const std::string& Line) {
  std::string text = Good;
  const size_t at = text.find("\n" + Key + " ") + 1;
  const size_t end = text.find('\n', at) + 1;
  return text.replace(at, end - at, Line.empty() ? "" : Line + "\n");
}

std::string Refusal(const std::string& Text) {
  try {
    ReadSavedGame(Text);
  } catch (const ESavedGameError& e) {
    return e.Message;
  }
  return "<accepted>";
}

TEST(SavedGameTest, AGameReadsBackExactlyAsItWasWritten) {
  const TSavedGame game = ReadSavedGame(Good);
  EXPECT_EQ(game.Rows, 3);
  EXPECT_EQ(game.Style, 2);
  EXPECT_EQ(game.Image, "/pictures/cat and dog.jpg");
  EXPECT_EQ(game.Start, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, -1, 8}));
  ASSERT_EQ(game.Moves.size(), 2u);
  EXPECT_EQ(game.Moves[0].Move.from, 4); // the tile above the blank went down
  EXPECT_TRUE(game.Moves[0].Counted);
  EXPECT_FALSE(game.Moves[1].Counted);
  EXPECT_EQ(game.Elapsed, 83);
  EXPECT_TRUE(game.Recordable);
  ASSERT_EQ(game.Solution.size(), 1u);
  EXPECT_EQ(WriteSavedGame(game), Good);
  // Windows line ends and a missing last line end read the same.
  std::string crlf;
  for (char c : Good) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  crlf.resize(crlf.size() - 2);
  EXPECT_EQ(WriteSavedGame(ReadSavedGame(crlf)), Good);
}

TEST(SavedGameTest, EveryBrokenPartIsRefusedWithItsReason) {
  EXPECT_EQ(Refusal(""), "it is empty");
  EXPECT_EQ(Refusal("Quendrel game 2\n" + Good.substr(Good.find('\n') + 1)),
            "it is not a Quendrel game of a version this program reads");
  EXPECT_EQ(Refusal(With("size", "size 7 3")), "the number of rows is not a number in range");
  EXPECT_EQ(Refusal(With("size", "size 3 -3")), "the number of columns is not a number in range");
  EXPECT_EQ(Refusal(With("style", "style 3")), "the tile style is not a number in range");
  EXPECT_EQ(Refusal(With("start", "start 1 2 3 4 5 6 7 0")), "the starting board does not hold 9 cells");
  EXPECT_EQ(Refusal(With("start", "start 1 2 3 4 5 6 7 7 8")), "the starting board holds 7 twice");
  EXPECT_EQ(Refusal(With("start", "start 1 2 3 4 5 6 8 7 0")), "the starting board cannot be solved");
  EXPECT_EQ(Refusal(With("moves", "moves Dx")), "the moves played holds the letter 'x'");
  EXPECT_EQ(Refusal(With("moves", "moves DDD")), "move 3 of the moves played is not legal on its board");
  EXPECT_EQ(Refusal(With("count", "count 2")), "the move count does not match the moves played");
  EXPECT_EQ(Refusal(With("elapsed", "elapsed 99999999999")), "the elapsed time is not a number in range");
  EXPECT_EQ(Refusal(With("state", "state won")), "the state is none of playing, new, searched");
  EXPECT_EQ(Refusal(With("state", "state new")), "a game not yet started has counted moves");
  EXPECT_EQ(Refusal(With("solution", "solution U")), "move 1 of the solution is not legal on its board");
  EXPECT_EQ(Refusal(With("solution", "solution l")), "the solution holds the letter 'l'");
  EXPECT_EQ(Refusal(With("solution", "")), "a solution needs both its starting board and its moves");
  EXPECT_EQ(Refusal(With("solution-start", "solution-start 1 2 3 4 5 6 0 7 8")),
            "the solution does not solve its board");
  EXPECT_EQ(Refusal(With("solution", "solution LR")), "the solution does not solve its board");
  EXPECT_EQ(Refusal(With("image", "image a\tb")), "the picture's path holds a control character");
  EXPECT_EQ(Refusal(With("count", "")), "it has no \"count\" line");
  EXPECT_EQ(Refusal(Good + "count 1\n"), "line 13 repeats \"count\"");
  EXPECT_EQ(Refusal(Good + "colour red\n"), "line 13 is not part of a game");
}

TEST(SavedGameTest, EvenAndOddWidthsHaveTheirOwnSolvableHalf) {
  // Two tiles swapped: never solvable; the blank one row up on an even width: a vertical move away.
  EXPECT_TRUE(IsSolvable(2, 2, {1, 2, 3, -1}));
  EXPECT_FALSE(IsSolvable(2, 2, {2, 1, 3, -1}));
  EXPECT_TRUE(IsSolvable(2, 2, {1, -1, 3, 2}));
  EXPECT_TRUE(IsSolvable(4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, 13, 14, 15, 12}));
  EXPECT_FALSE(IsSolvable(4, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14, -1}));
  EXPECT_TRUE(IsSolvable(3, 5, {1, 2, 3, 4, 5, 6, 7, 8, 9, -1, 11, 12, 13, 14, 10}));
}

TEST(SavedGameTest, FilesAreBoundedBeforeReadingAndReplacedWholeOrNotAtAll) {
  TempFolder dir;
  const std::string name = dir.File("game.qgame");
  const TSavedGame game = ReadSavedGame(Good);
  SaveSavedGameFile(name, game);
  EXPECT_EQ(WriteSavedGame(LoadSavedGameFile(name)), Good);
  EXPECT_FALSE(std::filesystem::exists(name + ".tmp"));

  // A folder is no game; a file too large is refused before it is read.
  std::filesystem::create_directory(dir.File("folder.qgame"));
  EXPECT_THROW(LoadSavedGameFile(dir.File("folder.qgame")), ESavedGameError);
  {
    std::ofstream big(dir.File("big.qgame"));
    big << Good;
    big.seekp(TSavedGame::MaxFileSize);
    big << 'x';
  }
  try {
    LoadSavedGameFile(dir.File("big.qgame"));
    ADD_FAILURE() << "a file over the limit was read";
  } catch (const ESavedGameError& e) {
    EXPECT_NE(e.Message.find("File too large"), std::string::npos) << e.Message;
  }
  try {
    LoadSavedGameFile(dir.File("missing.qgame"));
    ADD_FAILURE();
  } catch (const ESavedGameError& e) {
    EXPECT_NE(e.Message.find("missing.qgame"), std::string::npos) << e.Message;
  }
  std::ofstream(dir.File("bad.qgame")) << With("count", "count 5");
  try {
    LoadSavedGameFile(dir.File("bad.qgame"));
    ADD_FAILURE();
  } catch (const ESavedGameError& e) {
    EXPECT_EQ(e.Message, "The game file \"" + dir.File("bad.qgame") +
                             "\" cannot be loaded: the move count does not match the moves played.");
  }

  // A save that cannot be made leaves the old file as it was.
  if (::geteuid() != 0) {
    ::chmod(dir.Path.c_str(), 0500);
    EXPECT_ANY_THROW(SaveSavedGameFile(name, ReadSavedGame(With("elapsed", "elapsed 1"))));
    ::chmod(dir.Path.c_str(), 0700);
    EXPECT_EQ(WriteSavedGame(LoadSavedGameFile(name)), Good);
  }
}

TEST(RecordsTest, RecordsKeepTheBestOfEachKindAndABrokenValueIsNoRecord) {
  TRecords records;
  EXPECT_EQ(records.Offer(4, 4, 80, 200), "Records: 80 moves, 00:03:20");
  EXPECT_EQ(records.Offer(4, 4, 90, 100), "Record: 00:01:40");
  EXPECT_EQ(records.Offer(4, 4, 70, 300), "Record: 70 moves");
  EXPECT_EQ(records.Offer(4, 4, 70, 100), "");
  EXPECT_EQ(records.Get(4, 4).Moves, 70);
  EXPECT_EQ(records.Get(4, 4).Seconds, 100);
  EXPECT_FALSE(records.Get(4, 5).HasMoves());

  TempFolder dir;
  TIniFile ini(dir.File("quendrel.ini"));
  ini.WriteString("DEFAULT", "Style", "1");
  records.Offer(2, 6, 12, 0);
  records.Save(ini, 4, 4);
  records.Save(ini, 2, 6);
  TRecords read;
  read.Load(ini);
  EXPECT_EQ(read.Get(4, 4).Moves, 70);
  EXPECT_EQ(read.Get(2, 6).Seconds, 0);
  EXPECT_EQ(ini.ReadString("DEFAULT", "Style", ""), "1"); // the game's own keys stay

  ini.WriteString("RECORDS", "4x4 Moves", "seventy");
  ini.WriteString("RECORDS", "4x4 Time", "-5");
  ini.WriteString("RECORDS", "2x6 Moves", "99999999999999999999");
  ini.WriteString("RECORDS", "2x6 Time", "0x10");
  read.Load(ini);
  EXPECT_FALSE(read.Get(4, 4).HasMoves());
  EXPECT_FALSE(read.Get(4, 4).HasTime());
  EXPECT_FALSE(read.Get(2, 6).HasMoves());
  EXPECT_FALSE(read.Get(2, 6).HasTime());

  TRecords::Erase(ini);
  EXPECT_EQ(ini.ReadString("RECORDS", "4x4 Moves", "<none>"), "<none>");
}

} // namespace
