// What starting a worker thread and waiting for its end costs: a bare std::thread against a TThread, which
// also hands its end over to the waiting thread. A TThread's run after the first is served by the system
// thread that served the one before, parked meanwhile.
#include <thread>

#include <benchmark/benchmark.h>

#include "classlib/core/Thread.h"

namespace {
class TEmptyThread final : public TThread {
 public:
  TEmptyThread() : TThread(true) {}
  ~TEmptyThread() override { Shutdown(); }

 protected:
  void Execute() override {}
};

void BM_BareThreadStartJoin(benchmark::State& state) {
  for (auto _ : state) {
    std::thread thread([] {});
    thread.join();
  }
}
BENCHMARK(BM_BareThreadStartJoin)->Unit(benchmark::kMicrosecond);

// Created suspended, resumed, waited for and freed, as the game runs each search.
void BM_TThreadStartWait(benchmark::State& state) {
  SetMainThread();
  for (auto _ : state) {
    TEmptyThread thread;
    thread.Resume();
    thread.WaitFor();
  }
}
BENCHMARK(BM_TThreadStartWait)->Unit(benchmark::kMicrosecond);

// The same with a termination handler, which runs on the waiting (user-interface) thread.
void BM_TThreadStartWaitWithHandler(benchmark::State& state) {
  SetMainThread();
  int ended = 0;
  for (auto _ : state) {
    TEmptyThread thread;
    thread.OnTerminate = [&](TObject*) { ++ended; };
    thread.Resume();
    thread.WaitFor();
  }
  benchmark::DoNotOptimize(ended);
}
BENCHMARK(BM_TThreadStartWaitWithHandler)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
