#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/solve/BoardLine.h"
#include "engine/OptimalSearch.h"
#include "engine/PatternDatabase.h"

namespace {
namespace fs = std::filesystem;

#ifdef NDEBUG
constexpr bool Optimised = true;
#else
constexpr bool Optimised = false;
#endif

struct TRun {
  int status = -1;
  std::string out, err;
  std::vector<std::string> lines; // of standard output
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// quendrel-solve run on `input` with `arguments`, its cache in a folder of the test's own.
class QuendrelSolve : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("quendrel-solve-test-" + std::to_string(::getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  TRun Run(const std::string& arguments, const std::string& input) {
    std::ofstream(folder / "in", std::ios::binary) << input;
    const std::string command = "XDG_CACHE_HOME='" + (folder / "cache").string() +
                                "' '" QUENDREL_SOLVE_PROGRAM "' " + arguments + " < '" +
                                (folder / "in").string() + "' > '" + (folder / "out").string() + "' 2> '" +
                                (folder / "err").string() + "'";
    TRun run;
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = Slurp(folder / "out");
    run.err = Slurp(folder / "err");
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
    return run;
  }

  fs::path folder;
};

std::vector<int32_t> Numbers(const std::string& line) {
  std::istringstream in(line);
  std::vector<int32_t> numbers;
  for (int32_t n; in >> n;) numbers.push_back(n);
  return numbers;
}

// Checks an output line against its board line: the length first, then tiles that each slide into the
// blank, ending at the goal. Gives the length.
int ExpectSolves(const std::string& board, const std::string& output) {
  TBoardLine line;
  EXPECT_EQ(TBoardLine::Parse(board, line), TBoardLine::Board) << board;
  const std::vector<int32_t> answer = Numbers(output);
  if (answer.empty()) {
    ADD_FAILURE() << "no answer for " << board;
    return -1;
  }
  EXPECT_EQ(answer[0], static_cast<int32_t>(answer.size()) - 1) << output;
  std::vector<int32_t> cells = line.cells;
  for (size_t i = 1; i < answer.size(); ++i) {
    const auto tile = std::find(cells.begin(), cells.end(), answer[i]);
    const auto blank = std::find(cells.begin(), cells.end(), -1);
    if (tile == cells.end() || answer[i] < 1) {
      ADD_FAILURE() << "no tile " << answer[i] << " in " << board;
      return -1;
    }
    const long a = tile - cells.begin(), b = blank - cells.begin();
    EXPECT_TRUE(std::labs(a - b) == line.cols || (std::labs(a - b) == 1 && a / line.cols == b / line.cols))
        << "tile " << answer[i] << " is not next to the blank: " << output;
    std::iter_swap(tile, blank);
  }
  std::vector<int32_t> goal;
  for (int32_t t = 1; t < line.rows * line.cols; ++t) goal.push_back(t);
  goal.push_back(-1);
  EXPECT_EQ(cells, goal) << board << " -> " << output;
  return answer[0];
}

std::string BoardText(int rows, int cols, const std::vector<int32_t>& cells) {
  std::string text = std::to_string(rows) + " " + std::to_string(cols);
  for (const int32_t c : cells) text += " " + std::to_string(c == -1 ? 0 : c);
  return text;
}

std::vector<int32_t> Scrambled(int rows, int cols, std::mt19937& random) {
  std::vector<int32_t> cells;
  for (int t = 1; t < rows * cols; ++t) cells.push_back(t);
  cells.push_back(-1);
  do std::shuffle(cells.begin(), cells.end(), random);
  while (!IsSolvablePosition(rows, cols, cells.data()));
  return cells;
}
} // namespace

TEST(BoardLine, ReadsBoardsAndSaysWhatIsWrongWithTheRest) {
  TBoardLine line;
  ASSERT_EQ(TBoardLine::Parse("3 3 4 1 3 0 2 6 7 5 8", line), TBoardLine::Board);
  EXPECT_EQ(line.rows, 3);
  EXPECT_EQ(line.cols, 3);
  EXPECT_EQ(line.cells, (std::vector<int32_t>{4, 1, 3, -1, 2, 6, 7, 5, 8}));
  // Tabs, repeated blanks and a carriage return are only separators.
  EXPECT_EQ(TBoardLine::Parse("\t2  2 1 2\t3 0\r", line), TBoardLine::Board);
  EXPECT_EQ(line.cells, (std::vector<int32_t>{1, 2, 3, -1}));
  EXPECT_EQ(TBoardLine::Parse("", line), TBoardLine::Empty);
  EXPECT_EQ(TBoardLine::Parse("  \t\r", line), TBoardLine::Empty);

  const std::pair<const char*, const char*> bad[] = {
      {"3", "expected ROWS COLS and the cells"},
      {"3 3 1 2 3", "expected 9 cells for 3x3, found 3"},
      {"2 2 1 2 3 0 0", "expected 4 cells for 2x2, found 5"},
      {"3 3 4 1 3 0 2 6 7 5 9", "not a permutation of 0..8: 9 is out of range"},
      {"3 3 4 1 3 0 2 6 7 5 5", "not a permutation of 0..8: 5 appears twice"},
      {"2 2 3 0 1 2", "unsolvable: the goal cannot be reached from this board"},
      {"7 7 1", "size 7x7 outside 2..6"},
      {"1 4 1 2 3 0", "size 1x4 outside 2..6"},
      {"3 3 4 1 3 x 2 6 7 5 8", "not a number: \"x\""},
      {"3 3 -1 1 3 0 2 6 7 5 8", "not a number: \"-1\""},
      {"3 3 4 1 3 0 2 6 7 5 8.0", "not a number: \"8.0\""},
      {"3 99999999999999999999 1", "number too large: \"99999999999999999999\""},
      {"2 2 1 2 3 \x01", "not a number: \"?\""},
  };
  for (const auto& [text, reason] : bad) {
    EXPECT_EQ(TBoardLine::Parse(text, line), TBoardLine::Bad) << text;
    EXPECT_EQ(line.reason, reason) << text;
    EXPECT_TRUE(line.cells.empty()) << text;
  }
  // Very many numbers are counted without being kept.
  std::string many = "6 6";
  for (int i = 0; i < 1000; ++i) many += " 1";
  EXPECT_EQ(TBoardLine::Parse(many, line), TBoardLine::Bad);
  EXPECT_EQ(line.reason, "expected 36 cells for 6x6, found 1000");
  EXPECT_EQ(TBoardLine::Parse(std::string(MaxBoardLine + 1, ' '), line), TBoardLine::Bad);
}

TEST_F(QuendrelSolve, SolvesGoodLinesInOrderAndReportsBadOnes) {
  const std::string input = "3 3 4 1 3 0 2 6 7 5 8\n"
                            "\n"
                            "3 3 1 2 3\n"
                            "hello\n"
                            "2 2 3 0 1 2\n" +
                            std::string(5000, '7') + "\n" +
                            "2 2 1 2 3 0\n"
                            "2 2 0 1 3 2\r\n"
                            "5 5 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 0 24\n"
                            "6 7 1\n"
                            "2 3 1 2 3 4 0 5"; // no newline at the end
  const TRun run = Run("", input);
  EXPECT_EQ(run.status, 2);
  ASSERT_EQ(run.lines.size(), 5u) << run.out;
  EXPECT_EQ(run.lines[0], "5 4 1 2 5 8");
  EXPECT_EQ(run.lines[1], "0");
  EXPECT_EQ(ExpectSolves("2 2 0 1 3 2", run.lines[2]), 2);
  EXPECT_EQ(
      ExpectSolves("5 5 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 0 24", run.lines[3]), 1);
  EXPECT_EQ(run.lines[4], "1 5");
  EXPECT_EQ(run.err, "quendrel-solve: line 3: expected 9 cells for 3x3, found 3\n"
                     "quendrel-solve: line 4: not a number: \"hello\"\n"
                     "quendrel-solve: line 5: unsolvable: the goal cannot be reached from this board\n"
                     "quendrel-solve: line 6: line longer than 4096 characters\n"
                     "quendrel-solve: line 10: size 6x7 outside 2..6\n");
}

TEST_F(QuendrelSolve, EveryMethodSolvesAndTheOptimalOneIsShortest) {
  std::mt19937 random(77);
  std::string input;
  std::vector<std::string> boards;
  for (int i = 0; i < 3; ++i) {
    boards.push_back(BoardText(3, 3, Scrambled(3, 3, random)));
    input += boards.back() + "\n";
  }
  const TRun optimal = Run("--method optimal", input);
  const TRun chain = Run("--method=chain", input);
  const TRun first = Run("--method first --jobs 2", input);
  for (const TRun* run : {&optimal, &chain, &first}) {
    EXPECT_EQ(run->status, 0) << run->err;
    ASSERT_EQ(run->lines.size(), boards.size());
  }
  for (size_t i = 0; i < boards.size(); ++i) {
    const int shortest = ExpectSolves(boards[i], optimal.lines[i]);
    const int improved = ExpectSolves(boards[i], chain.lines[i]);
    EXPECT_LE(shortest, improved);
    EXPECT_LE(improved, ExpectSolves(boards[i], first.lines[i]));
  }
  // Optimal lengths agree with the engine searched directly.
  struct : TPatternDatabase::TBuildControl {
    bool Progress(double) override { return true; }
  } quiet;
  struct : TOptimalSearch::TControl {
    bool Continue() override { return true; }
  } endless;
  const auto database = TPatternDatabase::Build(TPatternLayout::For(3, 3), quiet);
  for (size_t i = 0; i < boards.size(); ++i) {
    TBoardLine line;
    TBoardLine::Parse(boards[i], line);
    TOptimalSearch search(*database);
    ASSERT_EQ(search.Run(line.cells.data(), endless), TOptimalSearch::Solved);
    EXPECT_EQ(Numbers(optimal.lines[i])[0], static_cast<int>(search.Path().size()));
  }
}

TEST_F(QuendrelSolve, ManyBoardsSideBySideComeOutInTheirOrder) {
  std::mt19937 random(88);
  std::string input;
  std::vector<std::string> boards;
  for (int i = 0; i < 150; ++i) {
    const int rows = 2 + static_cast<int>(random() % 2), cols = 2 + static_cast<int>(random() % 2);
    boards.push_back(BoardText(rows, cols, Scrambled(rows, cols, random)));
    input += boards.back() + "\n";
  }
  const TRun run = Run("--jobs 4", input);
  EXPECT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.lines.size(), boards.size());
  for (size_t i = 0; i < boards.size(); ++i) ExpectSolves(boards[i], run.lines[i]);
}

TEST_F(QuendrelSolve, TheTimeLimitKeepsTheChainsBestAndLeavesTheOthersWithout) {
  std::mt19937 random(99);
  // A random board: its first run ends within moments, the whole chain takes many seconds.
  const std::string board4 = BoardText(4, 4, Scrambled(4, 4, random));
  const double limit = Optimised ? 1 : 3;
  const auto start = std::chrono::steady_clock::now();
  const TRun chain = Run("--method chain --time-limit " + std::to_string(limit), board4 + "\n");
  EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), limit);
  EXPECT_EQ(chain.status, 0) << chain.err;
  ASSERT_EQ(chain.lines.size(), 1u);
  ExpectSolves(board4, chain.lines[0]);

  const std::string board5 = BoardText(5, 5, Scrambled(5, 5, random));
  const TRun first = Run("--method first --time-limit 0.000001", board5 + "\n" + board5 + "\n");
  EXPECT_EQ(first.status, 1);
  EXPECT_TRUE(first.lines.empty());
  EXPECT_EQ(first.err, "quendrel-solve: line 1: time limit reached before a solution was found\n"
                       "quendrel-solve: line 2: time limit reached before a solution was found\n");

  const TRun optimal = Run("--method optimal", board5 + "\n");
  EXPECT_EQ(optimal.status, 1);
  EXPECT_EQ(optimal.err, "quendrel-solve: line 1: the optimal search takes boards of at most 16 cells\n");
}

TEST_F(QuendrelSolve, WrongOptionsAreRefusedAndHelpIsGiven) {
  const TRun help = Run("--help", "");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: quendrel-solve"), std::string::npos);
  EXPECT_NE(help.out.find("--time-limit SECONDS"), std::string::npos);
  for (const char* wrong :
       {"--method fastest", "--time-limit -1", "--time-limit soon", "--time-limit", "--jobs 0", "--colour"}) {
    const TRun run = Run(wrong, "2 2 1 2 3 0\n");
    EXPECT_EQ(run.status, 2) << wrong;
    EXPECT_TRUE(run.out.empty()) << wrong;
    EXPECT_NE(run.err.find("Try 'quendrel-solve --help'"), std::string::npos) << wrong;
  }
}

TEST_F(QuendrelSolve, AWrongCacheFileIsReplaced) {
  const fs::path cache = folder / "cache" / "quendrel";
  fs::create_directories(cache);
  std::ofstream(cache / "patterns-3x3.db", std::ios::binary) << "not a database";
  const TRun run = Run("", "3 3 4 1 3 0 2 6 7 5 8\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "5 4 1 2 5 8\n");
  EXPECT_EQ(fs::file_size(cache / "patterns-3x3.db"), TPatternDatabase::FileSize(TPatternLayout::For(3, 3)));
}
