// The optimal search on 100 seeded random 4x4 boards: building and loading its databases, time per board,
// boards per second, and the same boards solved by a plain five-five-five database solver (ReferenceSearch.h)
// for comparison: each on one thread, then quendrel-solve itself against the reference over every processor.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "ReferenceSearch.h"
#include "engine/OptimalSearch.h"
#include "engine/PatternStore.h"

namespace {
using TClock = std::chrono::steady_clock;

struct TQuiet final : TPatternDatabase::TBuildControl {
  bool Progress(double) override { return true; }
};

struct TNoLimit final : TOptimalSearch::TControl {
  bool Continue() override { return true; }
};

// 100 solvable 4x4 boards, uniformly random, the same on every run.
const std::vector<std::vector<int32_t>>& Boards() {
  static const std::vector<std::vector<int32_t>> boards = [] {
    std::mt19937 random(2024);
    std::vector<std::vector<int32_t>> all;
    while (all.size() < 100) {
      std::vector<int32_t> cells(16);
      std::iota(cells.begin(), cells.end(), 1);
      cells[15] = -1;
      std::shuffle(cells.begin(), cells.end(), random);
      if (IsSolvablePosition(4, 4, cells.data())) all.push_back(cells);
    }
    return all;
  }();
  return boards;
}

std::shared_ptr<const TPatternDatabase> Database() {
  TQuiet quiet;
  return TPatternStore::Obtain(4, 4, quiet);
}

double Seconds(TClock::time_point since) {
  return std::chrono::duration<double>(TClock::now() - since).count();
}

// Median, mean and maximum of the per-board times, in milliseconds, and the boards per second.
void Report(benchmark::State& state, std::vector<double> seconds, int64_t nodes, int64_t lengths) {
  std::sort(seconds.begin(), seconds.end());
  const double total = std::accumulate(seconds.begin(), seconds.end(), 0.0);
  state.counters["total_s"] = total;
  state.counters["median_ms"] = 1e3 * (seconds[seconds.size() / 2] + seconds[(seconds.size() - 1) / 2]) / 2;
  state.counters["mean_ms"] = 1e3 * total / static_cast<double>(seconds.size());
  state.counters["max_ms"] = 1e3 * seconds.back();
  state.counters["nodes_per_s"] = static_cast<double>(nodes) / total;
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["mean_length"] = static_cast<double>(lengths) / static_cast<double>(seconds.size());
}

// Building the 4x4 databases, their groups side by side; the memory they hold; and, in a process kept to one
// processor, the build's time there and the process's peak resident size.
void BM_BuildDatabases4x4(benchmark::State& state) {
  const TPatternLayout layout = TPatternLayout::For(4, 4);
  size_t bytes = 0;
  for (auto _ : state) {
    TQuiet quiet;
    auto database = TPatternDatabase::Build(layout, quiet);
    bytes = database->Bytes();
    benchmark::DoNotOptimize(database);
  }
  state.counters["held_MB"] = static_cast<double>(bytes) / 1e6;
  int report[2];
  if (pipe(report) != 0) return;
  const pid_t child = fork();
  if (child == 0) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
    TQuiet quiet;
    const auto start = TClock::now();
    auto database = TPatternDatabase::Build(layout, quiet);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // The processor time as well: on a busy machine the elapsed time counts other programs' turns too.
    const double figures[3] = {Seconds(start), static_cast<double>(usage.ru_maxrss) / 1024,
                               static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                                   1e-6 *
                                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec)};
    (void)!write(report[1], figures, sizeof figures);
    _exit(0);
  }
  double figures[3] = {-1, -1, -1};
  (void)!read(report[0], figures, sizeof figures);
  waitpid(child, nullptr, 0);
  close(report[0]);
  close(report[1]);
  state.counters["one_core_s"] = figures[0];
  state.counters["one_core_peak_rss_MB"] = figures[1];
  state.counters["one_core_cpu_s"] = figures[2];
}
BENCHMARK(BM_BuildDatabases4x4)->Unit(benchmark::kSecond)->Iterations(2);

// Reading the cached databases, as every run of quendrel-solve after the first does.
void BM_LoadDatabases4x4(benchmark::State& state) {
  const TPatternLayout layout = TPatternLayout::For(4, 4);
  const std::string file = TPatternStore::CacheFile(4, 4);
  Database();
  for (auto _ : state) {
    std::string reason;
    auto database = TPatternStore::ReadFile(file, layout, reason);
    if (!database) state.SkipWithError(("no cache file: " + reason).c_str());
    benchmark::DoNotOptimize(database);
  }
}
BENCHMARK(BM_LoadDatabases4x4)->Unit(benchmark::kMillisecond);

void BM_Optimal4x4(benchmark::State& state) {
  const auto database = Database();
  for (auto _ : state) {
    std::vector<double> seconds;
    int64_t nodes = 0, lengths = 0;
    for (const auto& cells : Boards()) {
      TOptimalSearch search(*database);
      TNoLimit control;
      const auto start = TClock::now();
      search.Run(cells.data(), control);
      seconds.push_back(Seconds(start));
      nodes += search.Generated();
      lengths += static_cast<int64_t>(search.Path().size());
    }
    Report(state, seconds, nodes, lengths);
  }
}
BENCHMARK(BM_Optimal4x4)->Unit(benchmark::kSecond)->Iterations(1);

const TReferenceTables& ReferenceTables() {
  static const TReferenceTables tables;
  return tables;
}

void BM_Reference555(benchmark::State& state) {
  TReferenceSearch reference(ReferenceTables());
  for (auto _ : state) {
    std::vector<double> seconds;
    int64_t nodes = 0, lengths = 0;
    for (const auto& cells : Boards()) {
      int64_t generated = 0;
      const auto start = TClock::now();
      lengths += reference.Solve(cells.data(), generated);
      seconds.push_back(Seconds(start));
      nodes += generated;
    }
    Report(state, seconds, nodes, lengths);
  }
}
BENCHMARK(BM_Reference555)->Unit(benchmark::kSecond)->Iterations(1);

unsigned Jobs() {
  return std::max(1u, std::thread::hardware_concurrency());
}

// The reference over every processor, a board per thread at a time.
void BM_Reference555Parallel(benchmark::State& state) {
  const TReferenceTables& tables = ReferenceTables();
  for (auto _ : state) {
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (unsigned j = 0; j < Jobs(); ++j)
      workers.emplace_back([&] {
        TReferenceSearch reference(tables);
        int64_t nodes = 0;
        for (size_t i; (i = next++) < Boards().size();) reference.Solve(Boards()[i].data(), nodes);
      });
    for (auto& worker : workers) worker.join();
  }
  state.counters["jobs"] = Jobs();
}
BENCHMARK(BM_Reference555Parallel)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// quendrel-solve itself on the 100 boards, its databases cached: reading, solving over every processor
// (idle workers helping the last searches) and printing.
void BM_QuendrelSolve4x4(benchmark::State& state) {
  Database();
  std::string input;
  for (const auto& cells : Boards()) {
    input += "4 4";
    for (const int32_t cell : cells) input += " " + std::to_string(cell == -1 ? 0 : cell);
    input += "\n";
  }
  char name[] = "/tmp/quendrel-bench-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0 || write(fd, input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
    state.SkipWithError("cannot write the input");
    return;
  }
  close(fd);
  const std::string command =
      std::string(QUENDREL_SOLVE_PROGRAM) + " --method optimal < " + name + " > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("quendrel-solve failed");
  unlink(name);
}
BENCHMARK(BM_QuendrelSolve4x4)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();
} // namespace

BENCHMARK_MAIN();
