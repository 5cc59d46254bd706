// Speed and memory of the solver.
//
// The real solver thread is timed end to end (first solutions, the improving chain). Boards per second and
// memory per stored board are measured on the search the thread runs, stopped at a number of stored boards.
//
// Memory is measured for real: the peak resident size of a child process that runs one search, less its
// resident size before the search. The user-interface benchmark shares one processor between a thread that
// wakes every millisecond and a running search, and reports how late the wake-ups are.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <sched.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "classlib/core/Kernel.h"
#include "classlib/core/List.h"
#include "classlib/core/Random.h"
#include "engine/Board.h"
#include "engine/PackedSearch.h"
#include "engine/SearchMemory.h"
#include "engine/SearchThread.h"

namespace {
std::vector<int32_t> Goal(int rows, int cols) {
  std::vector<int32_t> goal;
  for (int i = 1; i < rows * cols; ++i) goal.push_back(i);
  goal.push_back(-1);
  return goal;
}

struct ProbeResult {
  int64_t expanded = 0; // boards whose children were built
  int32_t stored = 0;   // boards in the visited set at the end
};

// The solver's search as the thread runs it, yielding once a pass, but stopped once `storeLimit` boards are
// stored. `atPeak` runs then, before anything is released.
template <class AtPeak>
ProbeResult SearchProbe(const TBoard& start, const int32_t* goal, int32_t maxDepth, int32_t storeLimit,
                        AtPeak atPeak) {
  class TProbeControl final : public TPackedSearch::TControl {
   public:
    TProbeControl(const TPackedSearch& search, int32_t storeLimit, AtPeak& atPeak)
        : search(search), storeLimit(storeLimit), atPeak(atPeak) {}
    bool Pass() override {
      if (search.Stored() >= storeLimit) {
        atPeak();
        return false;
      }
      Sleep(0);
      return true;
    }

   private:
    const TPackedSearch& search;
    int32_t storeLimit;
    AtPeak& atPeak;
  };
  auto search = TPackedSearch::Create(start, goal, maxDepth, 0x7FFFFFFF);
  if (!search) throw std::logic_error("the benchmark's boards are packable");
  TProbeControl control(*search, storeLimit, atPeak);
  search->Run(control);
  return {search->Expanded(), search->Stored()};
}

ProbeResult SearchProbe(const TBoard& start, const int32_t* goal, int32_t maxDepth, int32_t storeLimit) {
  return SearchProbe(start, goal, maxDepth, storeLimit, [] {});
}

struct ThreadRun {
  std::vector<TMove> moves;
  double seconds = 0;    // from creating the thread to its end, as the game waits for it
  double cpuSeconds = 0; // processor time of the whole process meanwhile, which other programs do not inflate
};

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

ThreadRun RunSolver(TBoard& board, int32_t* goal, int32_t maxDepth) {
  TList result;
  double elapsed = 0;
  const auto t0 = std::chrono::steady_clock::now();
  const double cpu0 = ProcessCpuSeconds();
  {
    TSearchThread thread(&board, goal, &result, &elapsed, maxDepth, true);
    thread.Resume();
    thread.WaitFor();
  }
  ThreadRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  run.cpuSeconds = ProcessCpuSeconds() - cpu0;
  for (int i = 0; i < result.Count(); ++i) {
    run.moves.push_back(*static_cast<TMove*>(result[i]));
    delete static_cast<TMove*>(result[i]);
  }
  return run;
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

// Arguments: board side, stored boards at which the search stops.
void BM_BoardsExpanded(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const auto storeLimit = static_cast<int32_t>(state.range(1));
  auto board = Unsolvable(size, size);
  auto goal = Goal(size, size);
  int64_t expanded = 0;
  for (auto _ : state) expanded += SearchProbe(*board, goal.data(), 10000, storeLimit).expanded;
  state.counters["expanded/s"] =
      benchmark::Counter(static_cast<double>(expanded), benchmark::Counter::kIsRate);
}

long StatusFigureKiB(const char* name) {
  FILE* file = std::fopen("/proc/self/status", "r");
  if (!file) return -1;
  char line[256];
  long value = -1;
  const size_t length = std::strlen(name);
  while (std::fgets(line, sizeof line, file))
    if (std::strncmp(line, name, length) == 0) value = std::strtol(line + length, nullptr, 10);
  std::fclose(file);
  return value;
}

// The search runs in a child process, whose peak resident size no earlier benchmark has raised.
void BM_PeakRssPerStoredBoard(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const auto storeLimit = static_cast<int32_t>(state.range(1));
  double perBoard = 0;
  for (auto _ : state) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe");
    const pid_t child = fork();
    if (child == 0) {
      ReleaseSearchBlocks(); // what the parent kept is not this search's
      auto board = Unsolvable(size, size);
      auto goal = Goal(size, size);
      const long before = StatusFigureKiB("VmRSS:");
      long peak = 0;
      const ProbeResult probe =
          SearchProbe(*board, goal.data(), 10000, storeLimit, [&] { peak = StatusFigureKiB("VmHWM:"); });
      const double bytes = static_cast<double>(peak - before) * 1024.0 / probe.stored;
      const ssize_t written = write(pipeEnds[1], &bytes, sizeof bytes);
      _exit(written == sizeof bytes ? 0 : 1);
    }
    close(pipeEnds[1]);
    if (read(pipeEnds[0], &perBoard, sizeof perBoard) != sizeof perBoard) perBoard = -1;
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
  }
  state.counters["stored"] = static_cast<double>(storeLimit);
  state.counters["rss_bytes/board"] = perBoard;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_FirstSolution4x4Median(benchmark::State& state) {
  std::vector<double> seconds, cpuSeconds;
  int64_t totalMoves = 0;
  for (auto _ : state) {
    seconds.clear();
    cpuSeconds.clear();
    totalMoves = 0;
    for (unsigned seed = 1; seed <= 20; ++seed) {
      auto board = Scrambled(4, 4, seed * 7919);
      auto goal = Goal(4, 4);
      const ThreadRun run = RunSolver(*board, goal.data(), 10000);
      seconds.push_back(run.seconds);
      cpuSeconds.push_back(run.cpuSeconds);
      totalMoves += static_cast<int64_t>(run.moves.size());
    }
  }
  state.counters["median_ms"] = Median(seconds) * 1000;
  state.counters["max_ms"] = *std::max_element(seconds.begin(), seconds.end()) * 1000;
  state.counters["cpu_median_ms"] = Median(cpuSeconds) * 1000;
  state.counters["mean_moves"] = static_cast<double>(totalMoves) / 20;
}

void BM_ImprovingChain3x3(benchmark::State& state) {
  const std::vector<int32_t> cells{6, 4, 7, 8, 5, -1, 3, 2, 1};
  auto goal = Goal(3, 3);
  int runs = 0;
  for (auto _ : state) {
    TBoard board(3, 3, nullptr);
    board.SetCells(cells.data());
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

// The user-interface thread and a search share one processor. The thread sleeps a millisecond at a time and
// measures how late it wakes and how long 20 microseconds of its own work then take; argument 0 runs it
// without a search, for comparison.
void BM_UserInterfaceDuringSearch(benchmark::State& state) {
  const bool searching = state.range(0) != 0;
  cpu_set_t original, one;
  sched_getaffinity(0, sizeof original, &original);
  int cpu = 0;
  while (cpu < CPU_SETSIZE && !CPU_ISSET(cpu, &original)) ++cpu;
  CPU_ZERO(&one);
  CPU_SET(cpu, &one);
  sched_setaffinity(0, sizeof one, &one); // the search thread, created below, inherits it

  auto board = Unsolvable(4, 4);
  auto goal = Goal(4, 4);
  TList result;
  double elapsed = 0;
  std::unique_ptr<TSearchThread> search;
  if (searching) {
    search = std::make_unique<TSearchThread>(board.get(), goal.data(), &result, &elapsed, 10000, true);
    search->Resume();
  }
  std::vector<double> lateness, work;
  for (auto _ : state) {
    lateness.clear();
    work.clear();
    for (int i = 0; i < 400; ++i) {
      const auto asked = std::chrono::steady_clock::now() + std::chrono::milliseconds(1);
      std::this_thread::sleep_until(asked);
      const auto woke = std::chrono::steady_clock::now();
      lateness.push_back(std::chrono::duration<double, std::micro>(woke - asked).count());
      volatile uint64_t sink = 0;
      while (std::chrono::steady_clock::now() - woke < std::chrono::microseconds(20)) sink = sink + 1;
      work.push_back(
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - woke).count());
    }
  }
  if (search) {
    search->Terminate();
    search.reset();
  }
  sched_setaffinity(0, sizeof original, &original);
  std::sort(lateness.begin(), lateness.end());
  std::sort(work.begin(), work.end());
  state.counters["wake_late_median_us"] = lateness[lateness.size() / 2];
  state.counters["wake_late_p99_us"] = lateness[lateness.size() * 99 / 100];
  state.counters["work20us_median_us"] = work[work.size() / 2];
  state.counters["work20us_p99_us"] = work[work.size() * 99 / 100];
}
} // namespace

BENCHMARK(BM_PeakRssPerStoredBoard)
    ->Args({4, 1000000})
    ->Args({6, 1000000})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BoardsExpanded)
    ->Args({3, 100000})
    ->Args({4, 200000})
    ->Args({4, 2000000})
    ->Args({6, 200000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstSolution4x4Median)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImprovingChain3x3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UserInterfaceDuringSearch)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
