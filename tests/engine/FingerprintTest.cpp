// Every move the solver returns for seeded games of every size from 2x2 to 6x6, whole improving chains
// included, folded into one number per size. The numbers come from the solver as first built; any change in
// the order in which it generates, stores or extracts boards shows up here. A small memory figure keeps
// failing searches short and puts the memory bound itself to the test.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "classlib/core/Random.h"
#include "engine/SearchThread.h"

using namespace enginetest;

namespace {
struct Fingerprint {
  uint64_t hash = 1469598103934665603ull;
  void Add(int64_t value) {
    for (int i = 0; i < 8; ++i) {
      hash ^= static_cast<uint64_t>(value >> (8 * i)) & 0xFF;
      hash *= 1099511628211ull;
    }
  }
  void Add(const std::vector<Move>& moves) {
    Add(static_cast<int64_t>(moves.size()));
    for (const auto& [from, to, direction] : moves) Add(from * 4096 + to * 4 + direction);
  }
  std::string Text() const {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(hash));
    return text;
  }
};

int32_t boardBudget = 0;
void SmallMemory(MEMORYSTATUS* status) {
  *status = MEMORYSTATUS{};
  // The solver allows itself an eighth of the free memory at 48 bytes a board.
  status->dwAvailPhys = static_cast<uint32_t>(boardBudget) * 48u * 8u;
}

struct MemoryBudget {
  explicit MemoryBudget(int32_t boards) {
    boardBudget = boards;
    TSearchThread::MemoryStatus = SmallMemory;
  }
  ~MemoryBudget() { TSearchThread::MemoryStatus = nullptr; }
};

std::vector<Move> Solve(TBoard& board, std::vector<int32_t>& goal, int32_t maxDepth) {
  TList result;
  double elapsed = -1;
  TSearchThread thread(&board, goal.data(), &result, &elapsed, maxDepth, true);
  thread.Resume();
  thread.WaitFor();
  return TakeMoves(result);
}

// Seeded scrambles with `rows` rows and every number of columns, and their improving chains, at most
// `maxRuns` searches each; each board size gives one fingerprint.
void ExpectChains(int rows, int seeds, int maxRuns, const uint64_t (&expected)[5][5]) {
  for (int cols = 2; cols <= 6; ++cols) {
    Fingerprint print;
    auto goal = Goal(rows, cols);
    for (int seed = 1; seed <= seeds; ++seed) {
      SRand(static_cast<uint32_t>(seed * 1000 + rows * 10 + cols));
      TBoard board(rows, cols, nullptr);
      board.Shuffle();
      for (int32_t i = 0; i < board.count; ++i) print.Add(board.cells[i]);
      int32_t bound = 10000;
      for (int run = 0; run < maxRuns; ++run) {
        const std::vector<Move> moves = Solve(board, goal, bound);
        print.Add(moves);
        if (moves.empty()) break;
        bound = static_cast<int32_t>(moves.size()) - 1;
      }
    }
    EXPECT_EQ(print.hash, expected[rows - 2][cols - 2]) << rows << "x" << cols << " " << print.Text();
  }
}

// By board size from 2x2 to 6x6, row by row: with two seeds, eight searches and 6000 boards at most.
constexpr uint64_t ShortChains[5][5] = {
    {0xaa01f5f092e2bbffull, 0x85e6bf94e6d720e3ull, 0x25480188415bf9b0ull, 0xd66b2d10d682d00bull,
     0x1873dcb373144210ull},
    {0x7101cfb831c91904ull, 0x578be45df5e54a25ull, 0x568721304b9cd190ull, 0x50984e1d4bfb33d7ull,
     0x241ae4b47c915266ull},
    {0x7365e5146d603ae9ull, 0x4014b0ac1fab50feull, 0xc53b0ba6fd85a489ull, 0x8ba26563085f7a7aull,
     0x8899beebf3a59a16ull},
    {0xdff2aacd680b5c50ull, 0x586ee2e8f9683a9full, 0xbc23ebf910ffb365ull, 0xa202f5ca887470b7ull,
     0xb7583f2294d1405eull},
    {0xfad929971670c26full, 0x6caec925fa744e1dull, 0xc284114b376d5b29ull, 0x6c8b36f73dc39b83ull,
     0x93c1313f561bf9c3ull},
};

// With four seeds, forty searches and 300000 boards at most.
constexpr uint64_t LongChains[5][5] = {
    {0x2c2cb24bc68794a3ull, 0xd15b29e077cb1c9cull, 0x16b79970feeb2995ull, 0xf6224515241aecdeull,
     0x65c6e06f91be0192ull},
    {0x50dde89ea2a79b36ull, 0x97847fd980939d05ull, 0xeb395b60373f2d03ull, 0x25fda07bf6a8f9c9ull,
     0xa7360a734e20cd8cull},
    {0x7c16f0579ae1e791ull, 0x933bba4165b8a2beull, 0xb9ba99b05defb8c0ull, 0x0d92ef5f647f21eaull,
     0xeaa9770ce5bd86d3ull},
    {0xc6c8101ab4bbd5adull, 0x4beb32d18a4b9fbfull, 0xf2ee739bc16c4df4ull, 0xee8796b4d57ce644ull,
     0xd0eb71f36f1ce056ull},
    {0xf50353177fa642fbull, 0xaaf6a1baac4ce5dcull, 0x375e381bb3dd685dull, 0x854231df0be28ec3ull,
     0x87a13a6b4da02821ull},
};

} // namespace

// One test per row count, so that they run side by side.
class FingerprintOfRows : public testing::TestWithParam<int> {};

TEST_P(FingerprintOfRows, ChainsOfSeededGames) {
  MemoryBudget budget(6000);
  ExpectChains(GetParam(), 2, 8, ShortChains);
}

// The same on a larger scale, run by hand around changes to the solver: QUENDREL_FULL_FINGERPRINT=1.
TEST_P(FingerprintOfRows, LongChains) {
  if (!std::getenv("QUENDREL_FULL_FINGERPRINT")) GTEST_SKIP() << "set QUENDREL_FULL_FINGERPRINT=1";
  MemoryBudget budget(300000);
  ExpectChains(GetParam(), 4, 40, LongChains);
}

INSTANTIATE_TEST_SUITE_P(Fingerprint, FingerprintOfRows, testing::Range(2, 7));

TEST(Fingerprint, FirstSolutionsOfSeededFourByFour) {
  Fingerprint print;
  auto goal = Goal(4, 4);
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SRand(seed * 7919);
    TBoard board(4, 4, nullptr);
    board.Shuffle();
    print.Add(Solve(board, goal, 10000));
  }
  EXPECT_EQ(print.hash, 0xfed38eccf9be6e08ull) << print.Text();
}
