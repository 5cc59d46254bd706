// Speed and memory of the solver.
//
// The real solver thread is timed end to end (first solutions, the improving chain). Boards per second and
// heap bytes per stored board need numbers the thread does not report, so SearchProbe repeats the solver's
// loop with the same engine classes and counts; it is checked against the thread before anything is measured.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <stdexcept>
#include <vector>

#include <benchmark/benchmark.h>

#include "classlib/core/List.h"
#include "classlib/core/Random.h"
#include "engine/Board.h"
#include "engine/FibHeap.h"
#include "engine/SearchThread.h"
#include "engine/Tree.h"

namespace {
std::vector<int32_t> Goal(int rows, int cols) {
  std::vector<int32_t> goal;
  for (int i = 1; i < rows * cols; ++i) goal.push_back(i);
  goal.push_back(-1);
  return goal;
}

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

struct ProbeResult {
  int64_t generated = 0; // children built, duplicates included
  int32_t stored = 0;    // boards in the visited set at the end
  size_t heapBytes = 0;  // heap in use by the search at the end, before it is released
  std::vector<TMove> path;
};

// The solver's loop, stopping early once `storeLimit` boards are stored.
ProbeResult SearchProbe(const TBoard& start, const int32_t* goal, int32_t maxDepth, int32_t storeLimit) {
  ProbeResult result;
  const size_t before = HeapInUse();
  TList moves;
  TFibHeap* open = TFibHeap::MakeKeyHeap();
  {
    CMyTree visited(CompareBoards);
    TBoard* root = new TBoard(start.rows, start.cols, start.cells);
    visited.Add(root);
    open->InsertKey(0, root);
    TBoard* current = root;
    while (current && !current->IsEqual(goal) && visited.count < storeLimit) {
      current = static_cast<TBoard*>(open->ExtractMin());
      if (!current) break;
      if (maxDepth > current->depth) {
        current->GetMoves(&moves);
        for (int i = 0; i < moves.Count(); ++i) {
          TMove* move = static_cast<TMove*>(moves[i]);
          TBoard* child = TBoard::NewChild(current, move);
          delete move;
          ++result.generated;
          if (visited.Probe(child) != child) {
            delete child;
            continue;
          }
          child->Evaluate(goal);
          open->InsertKey(child->manhattan + child->conflicts, child);
        }
        moves.Clear();
      }
    }
    if (current && current->IsEqual(goal))
      for (TBoard* b = current; b->parent; b = b->parent) result.path.insert(result.path.begin(), b->move);
    result.stored = visited.count;
    result.heapBytes = HeapInUse() - before;
  }
  open->DeleteHeap();
  return result;
}

struct ThreadRun {
  std::vector<TMove> moves;
  double seconds = 0;
};

ThreadRun RunSolver(TBoard& board, int32_t* goal, int32_t maxDepth) {
  TList result;
  double elapsed = 0;
  const auto t0 = std::chrono::steady_clock::now();
  {
    TSearchThread thread(&board, goal, &result, &elapsed, maxDepth, true);
    thread.Resume();
    thread.WaitFor();
  }
  ThreadRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  for (int i = 0; i < result.Count(); ++i) {
    run.moves.push_back(*static_cast<TMove*>(result[i]));
    delete static_cast<TMove*>(result[i]);
  }
  return run;
}

bool SameMoves(const std::vector<TMove>& a, const std::vector<TMove>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TMove& x, const TMove& y) {
    return x.from == y.from && x.to == y.to && x.direction == y.direction;
  });
}

std::unique_ptr<TBoard> Scrambled(int rows, int cols, unsigned seed) {
  SRand(seed);
  auto board = std::make_unique<TBoard>(rows, cols, nullptr);
  board->Shuffle();
  return board;
}

// Tiles n-2 and n-1 exchanged: no solution, so the search stores boards until the probe's limit.
std::unique_ptr<TBoard> Unsolvable(int rows, int cols) {
  auto board = std::make_unique<TBoard>(rows, cols, nullptr);
  std::swap(board->cells[board->count - 3], board->cells[board->count - 2]);
  return board;
}

void CheckProbeAgainstThread() {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    auto board = Scrambled(3, 3, seed);
    auto goal = Goal(3, 3);
    const ProbeResult probe = SearchProbe(*board, goal.data(), 10000, 1 << 30);
    if (!SameMoves(probe.path, RunSolver(*board, goal.data(), 10000).moves))
      throw std::logic_error("SearchProbe no longer follows the solver");
  }
}

void BM_BoardsGenerated(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  auto board = Unsolvable(size, size);
  auto goal = Goal(size, size);
  int64_t generated = 0;
  for (auto _ : state) generated += SearchProbe(*board, goal.data(), 10000, 200000).generated;
  state.counters["boards/s"] =
      benchmark::Counter(static_cast<double>(generated), benchmark::Counter::kIsRate);
}

void BM_HeapBytesPerStoredBoard(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  auto board = Unsolvable(size, size);
  auto goal = Goal(size, size);
  ProbeResult probe;
  for (auto _ : state) probe = SearchProbe(*board, goal.data(), 10000, 100000);
  state.counters["stored"] = probe.stored;
  state.counters["bytes/board"] = static_cast<double>(probe.heapBytes) / probe.stored;
}

void BM_FirstSolution4x4Median(benchmark::State& state) {
  std::vector<double> seconds;
  int64_t totalMoves = 0;
  for (auto _ : state) {
    seconds.clear();
    totalMoves = 0;
    for (unsigned seed = 1; seed <= 20; ++seed) {
      auto board = Scrambled(4, 4, seed * 7919);
      auto goal = Goal(4, 4);
      const ThreadRun run = RunSolver(*board, goal.data(), 10000);
      seconds.push_back(run.seconds);
      totalMoves += static_cast<int64_t>(run.moves.size());
    }
  }
  std::sort(seconds.begin(), seconds.end());
  state.counters["median_ms"] = (seconds[9] + seconds[10]) / 2 * 1000;
  state.counters["max_ms"] = seconds.back() * 1000;
  state.counters["mean_moves"] = static_cast<double>(totalMoves) / 20;
}

void BM_ImprovingChain3x3(benchmark::State& state) {
  const std::vector<int32_t> cells{6, 4, 7, 8, 5, -1, 3, 2, 1};
  auto goal = Goal(3, 3);
  int runs = 0;
  for (auto _ : state) {
    TBoard board(3, 3, cells.data());
    int32_t bound = 10000;
    runs = 0;
    for (;;) {
      const ThreadRun run = RunSolver(board, goal.data(), bound);
      ++runs;
      if (run.moves.empty()) break;
      bound = static_cast<int32_t>(run.moves.size()) - 1;
    }
  }
  state.counters["runs"] = runs;
}
} // namespace

BENCHMARK(BM_BoardsGenerated)->Arg(3)->Arg(4)->Arg(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeapBytesPerStoredBoard)->Arg(3)->Arg(4)->Arg(6)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstSolution4x4Median)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImprovingChain3x3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  CheckProbeAgainstThread();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
