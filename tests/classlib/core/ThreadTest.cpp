#include <atomic>
#include <stdexcept>

#include <gtest/gtest.h>

#include "classlib/core/Exception.h"
#include "classlib/core/Kernel.h"
#include "classlib/core/Thread.h"

namespace {
class TestThread : public TThread {
 public:
  using Body = std::function<void(TestThread&)>;
  explicit TestThread(Body body, bool CreateSuspended = true)
      : TThread(CreateSuspended), body(std::move(body)) {}
  ~TestThread() override {
    Shutdown();
    if (destroyed) destroyed->store(true);
  }

  using TThread::Synchronize;
  void SetReturnValue(int value) { ReturnValue = value; }

  Body body;
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
