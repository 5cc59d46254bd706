#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <latch>
#include <memory>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "classlib/core/Exception.h"
#include "classlib/core/Kernel.h"
#include "classlib/core/Thread.h"
#include "classlib/core/ThreadState.h"

namespace {
class TestThread : public TThread {
 public:
  using Body = std::function<void(TestThread&)>;
  explicit TestThread(Body body, bool CreateSuspended = true)
      : TThread(CreateSuspended), body(std::move(body)) {}
  ~TestThread() override {
    Shutdown();
    if (atDestroy) atDestroy();
    if (destroyed) destroyed->store(true);
  }

  using TThread::Synchronize;
  void SetReturnValue(int value) { ReturnValue = value; }

  Body body;
  std::function<void()> atDestroy;
  std::atomic<bool>* destroyed = nullptr;
  std::atomic<bool> ran{false};

 protected:
  void Execute() override {
    ran = true;
    if (body) body(*this);
  }
};

class Thread : public ::testing::Test {
 protected:
  void SetUp() override { SetMainThread(); }
  void TearDown() override { WakeMainThread = nullptr; }
};

// Runs handed-over calls until `done` holds; the waiting is not measured, only bounded by the test's run.
template <class Predicate> void PumpUntil(Predicate done) {
  while (!done()) {
    if (!CheckSynchronize()) Sleep(1);
  }
}

// Count threads started together, each held until all have started, so that each runs on a system thread of
// its own and every parked one serves one of them; then waited for in turn.
std::vector<std::unique_ptr<TestThread>> RunAtOnce(size_t Count,
                                                   const std::function<void(TestThread&, size_t)>& Body) {
  std::latch started(static_cast<std::ptrdiff_t>(Count));
  std::vector<std::unique_ptr<TestThread>> threads;
  for (size_t i = 0; i < Count; ++i)
    threads.push_back(std::make_unique<TestThread>([&started, &Body, i](TestThread& self) {
      started.arrive_and_wait();
      Body(self, i);
    }));
  for (auto& thread : threads) thread->Resume();
  for (auto& thread : threads) thread->WaitFor();
  return threads;
}

// More threads than may park: one of them runs on any given parked system thread.
constexpr size_t ProbeCount = MaxParkedThreads + 4;

size_t SystemThreadsOfThisProcess() {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                           std::filesystem::directory_iterator()));
}

// Lets every parked system thread end, and waits until this is the process's only thread.
void EndParkedThreads() {
  SetParkedThreadIdleTime(std::chrono::milliseconds(1));
  PumpUntil([] { return ParkedThreads() == 0 && SystemThreadsOfThisProcess() == 1; });
  SetParkedThreadIdleTime(ParkedThreadIdleTime);
}
} // namespace

TEST_F(Thread, RunsOnlyOnceResumedAndReportsItsReturnValue) {
  std::thread::id worker;
  TestThread thread([&](TestThread& self) {
    worker = std::this_thread::get_id();
    self.SetReturnValue(42);
  });
  EXPECT_TRUE(thread.Suspended());
  EXPECT_FALSE(thread.ran);
  thread.Resume();
  EXPECT_EQ(thread.WaitFor(), 42);
  EXPECT_TRUE(thread.Finished());
  EXPECT_NE(worker, std::this_thread::get_id());
  EXPECT_EQ(worker, thread.ThreadID());
  thread.Resume(); // a finished thread does not run again
  EXPECT_EQ(thread.WaitFor(), 42);
}

TEST_F(Thread, AThreadCreatedRunningStartsAfterConstruction) {
  TestThread thread(nullptr, false);
  thread.AfterConstruction();
  thread.WaitFor();
  EXPECT_TRUE(thread.ran);
}

TEST_F(Thread, TerminationHandlerRunsOnTheMainThreadAfterExecute) {
  std::atomic<bool> executeDone{false};
  TObject* sender = nullptr;
  std::thread::id handlerThread;
  bool finishedSeen = false;
  TestThread thread([&](TestThread&) { executeDone = true; });
  thread.OnTerminate = [&](TObject* s) {
    sender = s;
    handlerThread = std::this_thread::get_id();
    finishedSeen = executeDone && thread.Finished();
  };
  thread.Resume();
  thread.WaitFor();
  EXPECT_EQ(sender, &thread);
  EXPECT_EQ(handlerThread, std::this_thread::get_id());
  EXPECT_TRUE(finishedSeen);
}

TEST_F(Thread, SynchronizeRunsOnTheMainThreadAndWakesIt) {
  std::atomic<int> wakes{0};
  WakeMainThread = [&] { ++wakes; };
  std::thread::id ranOn;
  std::atomic<bool> afterCall{false};
  TestThread thread([&](TestThread& self) {
    self.Synchronize([&] { ranOn = std::this_thread::get_id(); });
    afterCall = true;
  });
  EXPECT_FALSE(CheckSynchronize());
  thread.Resume();
  PumpUntil([&] { return afterCall.load(); });
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_GE(wakes.load(), 1);
  thread.WaitFor();
}

TEST_F(Thread, ExceptionsCrossBackToTheWorkerOrAreKeptAsFatal) {
  std::string caught;
  TestThread relay([&](TestThread& self) {
    try {
      self.Synchronize([] { throw std::runtime_error("from the handler"); });
    } catch (const std::runtime_error& error) {
      caught = error.what();
    }
  });
  relay.Resume();
  relay.WaitFor();
  EXPECT_EQ(caught, "from the handler");
  EXPECT_FALSE(relay.FatalException());

  bool handled = false;
  TestThread failing([](TestThread&) { throw EListError("List index out of bounds (3)"); });
  failing.OnTerminate = [&](TObject*) { handled = true; };
  failing.Resume();
  failing.WaitFor();
  EXPECT_TRUE(failing.Finished());
  EXPECT_TRUE(handled);
  ASSERT_TRUE(failing.FatalException());
  EXPECT_THROW(std::rethrow_exception(failing.FatalException()), EListError);
}

TEST_F(Thread, DestroyingARunningThreadStopsItAndRunsItsHandlerMeanwhile) {
  std::atomic<bool> started{false};
  std::atomic<bool> destroyed{false};
  bool handled = false;
  auto thread = std::make_unique<TestThread>([&](TestThread& self) {
    started = true;
    while (!self.Terminated()) Sleep(0);
  });
  thread->destroyed = &destroyed;
  thread->OnTerminate = [&](TObject*) { handled = !destroyed; };
  thread->Resume();
  while (!started) Sleep(1);
  thread.reset();
  EXPECT_TRUE(handled);
  EXPECT_TRUE(destroyed);
}

TEST_F(Thread, DestroyingASuspendedThreadRunsItOnceWithTheStopFlagRaised) {
  bool sawStop = false;
  bool handled = false;
  {
    TestThread thread([&](TestThread& self) { sawStop = self.Terminated(); });
    thread.OnTerminate = [&](TObject*) { handled = true; };
  }
  EXPECT_TRUE(sawStop);
  EXPECT_TRUE(handled);
}

TEST_F(Thread, FreeOnTerminateReleasesTheObjectAfterItsHandler) {
  std::atomic<bool> destroyed{false};
  bool handledFirst = false;
  auto* thread = new TestThread([](TestThread&) {});
  thread->FreeOnTerminate = true;
  thread->destroyed = &destroyed;
  thread->OnTerminate = [&](TObject*) { handledFirst = !destroyed; };
  thread->Resume();
  PumpUntil([&] { return destroyed.load(); });
  EXPECT_TRUE(handledFirst);
}

TEST_F(Thread, MisuseRaisesThreadErrors) {
  TestThread never(nullptr);
  EXPECT_THROW(never.WaitFor(), EThread);

  std::atomic<bool> raised{false};
  TestThread other([&](TestThread&) {
    try {
      CheckSynchronize();
    } catch (const EThread&) {
      raised = true;
    }
  });
  other.Resume();
  other.WaitFor();
  EXPECT_TRUE(raised);
}

// A system thread serves one run after another; each run must still begin and end as a thread of its own.
TEST_F(Thread, ARunOnAReusedSystemThreadFindsNoStateOrHooksOfTheRunBefore) {
  std::vector<std::string> ended;
  TestThread first([&](TestThread&) {
    PerThread<int>() = 5;
    AtThreadEnd([&] {
      ended.push_back("first, value " + std::to_string(PerThread<int>()));
      AtThreadEnd([&] { ended.push_back("added by its hook"); });
    });
  });
  first.Resume();
  first.WaitFor();
  // Done by the time its end is reported, as a joined thread's end work was.
  EXPECT_EQ(ended, (std::vector<std::string>{"first, value 5", "added by its hook"}));

  std::vector<int> seen(ProbeCount, -1);
  const auto probes = RunAtOnce(ProbeCount, [&](TestThread&, size_t i) { seen[i] = PerThread<int>()++; });
  EXPECT_TRUE(std::any_of(probes.begin(), probes.end(),
                          [&](const auto& probe) { return probe->ThreadID() == first.ThreadID(); }));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 0), static_cast<long>(ProbeCount));
  EXPECT_EQ(ended.size(), 2u);
}

// The object goes on its run's system thread, which then serves other runs: what its destructor leaves on
// that thread goes before the next run there.
TEST_F(Thread, AThreadFreedOnTerminateLeavesItsSystemThreadClean) {
  std::atomic<bool> destroyed{false};
  std::atomic<bool> destructorHookRan{false};
  std::thread::id ranOn;
  auto* thread = new TestThread([&](TestThread& self) { ranOn = self.ThreadID(); });
  thread->FreeOnTerminate = true;
  thread->destroyed = &destroyed;
  thread->atDestroy = [&] {
    PerThread<int>() = 7;
    AtThreadEnd([&] { destructorHookRan = true; });
  };
  thread->Resume();
  PumpUntil([&] { return destroyed.load(); });

  std::vector<std::thread::id> on(ProbeCount);
  std::vector<int> seen(ProbeCount, -1);
  std::vector<char> hookRanBefore(ProbeCount, 0);
  RunAtOnce(ProbeCount, [&](TestThread&, size_t i) {
    on[i] = std::this_thread::get_id();
    hookRanBefore[i] = destructorHookRan.load();
    seen[i] = PerThread<int>();
  });
  const auto reused = std::find(on.begin(), on.end(), ranOn);
  ASSERT_NE(reused, on.end());
  const auto at = static_cast<size_t>(reused - on.begin());
  EXPECT_TRUE(hookRanBefore[at]);
  EXPECT_EQ(seen[at], 0);
}

// A run on the system thread another run used may wait for that one, and free it, as any other thread may.
TEST_F(Thread, ARunMayWaitForAndFreeAThreadThatRanOnItsSystemThread) {
  auto earlier = std::make_unique<TestThread>([](TestThread& self) { self.SetReturnValue(7); });
  earlier->Resume();
  earlier->WaitFor();
  const std::thread::id earlierOn = earlier->ThreadID();
  std::atomic<int> waited{0};
  std::atomic<bool> freedThere{false};
  std::latch allWaited(static_cast<std::ptrdiff_t>(ProbeCount));
  RunAtOnce(ProbeCount, [&](TestThread&, size_t) {
    try {
      if (earlier->WaitFor() == 7) ++waited;
    } catch (const EThread&) {
    }
    allWaited.arrive_and_wait();
    if (std::this_thread::get_id() == earlierOn) {
      earlier.reset();
      freedThere = true;
    }
  });
  EXPECT_EQ(waited.load(), static_cast<int>(ProbeCount));
  EXPECT_TRUE(freedThere);
}

// Many threads at once, twice, so that the second batch mixes parked and new system threads: each runs once,
// with its own result, its own handed-over calls and its own handler.
TEST_F(Thread, ManyThreadsStartedAtOnceEachRunOnceWithTheirOwnResults) {
  constexpr size_t Count = 3 * MaxParkedThreads;
  for (int batch = 0; batch < 2; ++batch) {
    std::vector<int> synchronized(Count, 0), handled(Count, 0);
    std::latch started(Count);
    std::vector<std::unique_ptr<TestThread>> threads;
    for (size_t i = 0; i < Count; ++i) {
      threads.push_back(std::make_unique<TestThread>([&, i](TestThread& self) {
        started.arrive_and_wait();
        self.Synchronize([&, i] { ++synchronized[i]; });
        self.SetReturnValue(static_cast<int>(i) + 1);
      }));
      threads.back()->OnTerminate = [&, i](TObject*) { ++handled[i]; };
    }
    for (auto& thread : threads) thread->Resume();
    std::vector<std::thread::id> ids;
    for (size_t i = 0; i < Count; ++i) {
      EXPECT_EQ(threads[i]->WaitFor(), static_cast<int>(i) + 1);
      ids.push_back(threads[i]->ThreadID());
    }
    EXPECT_EQ(std::count(synchronized.begin(), synchronized.end(), 1), static_cast<long>(Count));
    EXPECT_EQ(std::count(handled.begin(), handled.end(), 1), static_cast<long>(Count));
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::unique(ids.begin(), ids.end()), ids.end()) << "two threads that ran at once shared one";
    EXPECT_LE(ParkedThreads(), MaxParkedThreads);
  }
}

// Parked system threads end once idle for the idle time: the program does not keep threads it no longer uses.
TEST_F(Thread, ParkedSystemThreadsEndWhenIdle) {
  RunAtOnce(ProbeCount, [](TestThread&, size_t) {});
  EXPECT_GT(ParkedThreads(), 0u);
  EXPECT_LE(ParkedThreads(), MaxParkedThreads);
  EndParkedThreads();
}

// The program ends while system threads are parked, or from a run on a reused one, whose hooks then run on
// its way out. Neither may hang, crash or (in the sanitizer build) leak.
[[noreturn]] void EndWithParkedThreads(bool FromARun) {
  SetMainThread();
  auto first = std::make_unique<TestThread>([](TestThread&) {});
  first->Resume();
  first->WaitFor();
  if (!FromARun) std::exit(0);
  const std::thread::id reused = first->ThreadID();
  auto exiting = std::make_unique<TestThread>([reused](TestThread&) {
    AtThreadEnd([] { std::fputs("the run's hooks ran\n", stderr); });
    std::fputs(std::this_thread::get_id() == reused ? "on the parked thread\n" : "on a new thread\n", stderr);
    std::exit(0);
  });
  exiting->Resume();
  exiting->WaitFor(); // returns once the exit has begun on the worker, which ends the process
  for (;;) Sleep(1000);
}

TEST(ThreadExitDeathTest, TheProgramEndsWhileSystemThreadsAreParked) {
  EndParkedThreads(); // a forked child would find what they hold, unreachable there, a leak
  EXPECT_EXIT(EndWithParkedThreads(false), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(EndWithParkedThreads(true), ::testing::ExitedWithCode(0),
              "on the parked thread\nthe run's hooks ran\n");
}

// A forked child has only the forking thread: the parent's parked ones must not be handed its runs.
[[noreturn]] void RunAThreadInAForkedChild() {
  SetMainThread();
  TestThread thread([](TestThread& self) { self.SetReturnValue(3); });
  thread.Resume();
  std::fprintf(stderr, "returned %d\n", thread.WaitFor());
  // The parent's parked threads left what they hold behind, out of reach here: the leak check would count it.
  std::_Exit(0);
}

TEST(ThreadExitDeathTest, AForkedChildRunsThreadsOnSystemThreadsOfItsOwn) {
  TestThread before([](TestThread&) {});
  before.Resume();
  before.WaitFor();
  ASSERT_GT(ParkedThreads(), 0u);
  EXPECT_EXIT(RunAThreadInAForkedChild(), ::testing::ExitedWithCode(0), "returned 3");
}
