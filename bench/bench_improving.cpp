// The improving search against the solver thread's improving chain, side by side on the same seeded boards.
//
// The chain runs as the game runs it: the solver thread with the depth bound 10000, then again and again with
// the bound one below the last solution's length, until a run finds nothing. A chain still running after
// the cap (in processor seconds) is stopped there, its last run's answer lost as Esc loses it, and marked
// capped. The improving search runs to its own end. Both take the solver thread's memory bound, an eighth of
// the free memory. Times are the process's processor time, which other programs on the machine inflate less
// than the clock; the clock's totals are given too. A table of every board goes to standard output.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "classlib/core/List.h"
#include "classlib/core/Random.h"
#include "engine/Board.h"
#include "engine/ImprovingSearch.h"
#include "engine/PackedSearch.h"
#include "engine/SearchThread.h"

namespace {
using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

struct Outcome {
  size_t first = 0, final = 0;
  double finalCpu = 0, endCpu = 0; // processor seconds to the final answer and to the end
  double endWall = 0;
  bool capped = false;
  double peakMB = 0;
};

// One solver-thread run; false when it was stopped at the cap.
bool RunSolver(TBoard& board, int32_t* goal, int32_t maxDepth, double stopAtCpu, size_t& length) {
  TList result;
  double elapsed = 0;
  TSearchThread thread(&board, goal, &result, &elapsed, maxDepth, true);
  thread.Resume();
  while (!thread.Finished() && CpuSeconds() < stopAtCpu)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  const bool capped = !thread.Finished();
  if (capped) thread.Terminate();
  thread.WaitFor();
  length = capped ? 0 : static_cast<size_t>(result.Count());
  for (int i = 0; i < result.Count(); ++i) delete static_cast<TMove*>(result[i]);
  return !capped;
}

Outcome Chain(int side, const std::vector<int32_t>& cells, double capSeconds) {
  TBoard board(side, side, cells.data());
  std::vector<int32_t> goal;
  for (int i = 1; i < side * side; ++i) goal.push_back(i);
  goal.push_back(-1);
  Outcome outcome;
  const auto t0 = Clock::now();
  const double cpu0 = CpuSeconds();
  int32_t bound = 10000;
  for (;;) {
    size_t length = 0;
    if (!RunSolver(board, goal.data(), bound, cpu0 + capSeconds, length)) {
      outcome.capped = true;
      break;
    }
    if (length == 0) break;
    if (outcome.first == 0) outcome.first = length;
    outcome.final = length;
    outcome.finalCpu = CpuSeconds() - cpu0;
    bound = static_cast<int32_t>(length) - 1;
  }
  outcome.endCpu = CpuSeconds() - cpu0;
  outcome.endWall = Since(t0);
  return outcome;
}

Outcome Improving(int side, const std::vector<int32_t>& cells) {
  Outcome outcome;
  const auto t0 = Clock::now();
  const double cpu0 = CpuSeconds();
  const TImprovingResult result =
      ImprovingSearch(side, side, cells.data(), {}, [&](const std::vector<TMove>& moves) {
        if (outcome.first == 0) outcome.first = moves.size();
        outcome.finalCpu = CpuSeconds() - cpu0;
      });
  outcome.final = result.solution.size();
  outcome.endCpu = CpuSeconds() - cpu0;
  outcome.endWall = Since(t0);
  outcome.peakMB = static_cast<double>(result.peakBytes) / (1 << 20);
  return outcome;
}

// The solver's estimate of the board, which no solution undercuts: how far from the shortest each answer may
// be.
int32_t LowerBound(int side, const std::vector<int32_t>& cells) {
  const int32_t count = side * side;
  uint8_t board[MaxPackedCells], goal[MaxPackedCells];
  for (int32_t i = 0; i < count; ++i) {
    board[i] = static_cast<uint8_t>(cells[static_cast<size_t>(i)] == -1 ? 0 : cells[static_cast<size_t>(i)]);
    goal[i] = static_cast<uint8_t>((i + 1) % count);
  }
  return TEstimator(side, side, goal).Full(board);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Arguments: board side, number of boards, the chain's cap in processor seconds.
void BM_ImprovingAgainstChain(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const int boards = static_cast<int>(state.range(1));
  const double cap = static_cast<double>(state.range(2));
  std::vector<double> ratios, chainFinal, improvingFinal, chainEnd, improvingAtFinal, improvingEnd;
  double chainWall = 0, improvingWall = 0, chainCpu = 0, improvingToFinal = 0, peak = 0;
  int capped = 0, halfAndSooner = 0;
  for (auto _ : state) {
    std::printf(
        "\n%dx%d: lengths in moves, times in processor seconds; chain capped at %.0f processor seconds (*)\n",
        side, side, cap);
    std::printf("%4s %5s | %6s %6s %8s %9s | %6s %6s %8s %8s %7s | %6s\n", "seed", "lower", "first", "final",
                "final@", "end", "first", "final", "final@", "end", "peakMB", "ratio");
    for (int b = 1; b <= boards; ++b) {
      const uint32_t seed = static_cast<uint32_t>(1000 * side + b);
      SRand(seed);
      TBoard board(side, side, nullptr);
      board.Shuffle();
      const std::vector<int32_t> cells(board.cells, board.cells + board.count);
      const Outcome chain = Chain(side, cells, cap);
      const Outcome improving = Improving(side, cells);
      const double ratio =
          chain.final ? static_cast<double>(improving.final) / static_cast<double>(chain.final) : 0;
      std::printf("%4u %5d | %6zu %6zu %8.2f %8.2f%s | %6zu %6zu %8.2f %8.2f %7.0f | %6.3f\n", seed,
                  LowerBound(side, cells), chain.first, chain.final, chain.finalCpu, chain.endCpu,
                  chain.capped ? "*" : " ", improving.first, improving.final, improving.finalCpu,
                  improving.endCpu, improving.peakMB, ratio);
      std::fflush(stdout);
      ratios.push_back(ratio);
      chainFinal.push_back(static_cast<double>(chain.final));
      improvingFinal.push_back(static_cast<double>(improving.final));
      chainEnd.push_back(chain.endCpu);
      improvingAtFinal.push_back(improving.finalCpu);
      improvingEnd.push_back(improving.endCpu);
      chainWall += chain.endWall;
      improvingWall += improving.endWall;
      chainCpu += chain.endCpu;
      improvingToFinal += improving.finalCpu;
      peak = std::max(peak, improving.peakMB);
      capped += chain.capped;
      halfAndSooner += ratio <= 0.5 && improving.finalCpu < chain.endCpu;
    }
  }
  state.counters["chain_final_median"] = Median(chainFinal);
  state.counters["improving_final_median"] = Median(improvingFinal);
  state.counters["ratio_of_totals"] = std::accumulate(improvingFinal.begin(), improvingFinal.end(), 0.0) /
                                      std::accumulate(chainFinal.begin(), chainFinal.end(), 0.0);
  state.counters["ratio_max"] = *std::max_element(ratios.begin(), ratios.end());
  state.counters["ratio_median"] = Median(ratios);
  state.counters["half_and_sooner"] = halfAndSooner;
  state.counters["chain_capped"] = capped;
  state.counters["chain_end_median_s"] = Median(chainEnd);
  state.counters["improving_final_at_median_s"] = Median(improvingAtFinal);
  state.counters["improving_end_median_s"] = Median(improvingEnd);
  state.counters["improving_end_total_s"] = std::accumulate(improvingEnd.begin(), improvingEnd.end(), 0.0);
  state.counters["chain_cpu_s"] = chainCpu;
  state.counters["improving_to_final_cpu_s"] = improvingToFinal;
  state.counters["chain_wall_s"] = chainWall;
  state.counters["improving_wall_s"] = improvingWall;
  state.counters["improving_peak_MB"] = peak;
}
} // namespace

BENCHMARK(BM_ImprovingAgainstChain)
    ->Args({5, 20, 60})
    ->Args({6, 20, 60})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
