#include "classlib/core/Thread.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <pthread.h>
#include <vector>

#include "classlib/core/Exception.h"
#include "classlib/core/ThreadState.h"

std::function<void()> WakeMainThread;
std::function<void()> ExitOnMainThread;

namespace {
struct SyncCall {
  std::function<void()> method;
  std::exception_ptr error;
  std::atomic<bool> done = false; // changed under the lock, watched without it
};

// How long a thread watches for something that usually comes within microseconds (a run's end, a handed-over
// call's return, the next run) before it sleeps: waking a sleeping thread costs tens of microseconds.
constexpr auto SpinTime = std::chrono::microseconds(50);

void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#else
  std::this_thread::yield();
#endif
}

// Watches for `ready` for SpinTime; false when the time ran out, or `giveUp` held first.
template <class Ready, class GiveUp> bool Spin(Ready ready, GiveUp giveUp) {
  const auto until = std::chrono::steady_clock::now() + SpinTime;
  for (unsigned i = 1;; ++i) {
    if (ready()) return true;
    if (giveUp()) return false;
    if (i % 64 == 0) {
      if (std::chrono::steady_clock::now() >= until) return false;
      // On a busy processor the awaited thread may be waiting for this very one.
      std::this_thread::yield();
    }
    CpuRelax();
  }
}
template <class Ready> bool Spin(Ready ready) {
  return Spin(ready, [] { return false; });
}

// One lock and one condition for all threads: it guards the queue and every thread's end, and wakes both the
// workers waiting for their calls and the user-interface thread waiting for a thread.
struct SyncState {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<SyncCall*> queue;
  std::atomic<size_t> queued{0};   // the queue's length, for a look without the lock
  std::atomic<int> mainWaiting{0}; // the user-interface thread waits for a thread, taking calls at once
};

void Enqueue(SyncState& state, SyncCall* call) {
  state.queue.push_back(call);
  state.queued.store(state.queue.size());
}

// Never destroyed: at exit() objects with static storage go while other threads may still wait on it, and a
// condition destroyed under a waiting thread blocks its destroyer for good.
SyncState& State() {
  static SyncState& state = *new SyncState;
  return state;
}

// Counts the user-interface thread as waiting for a thread while it lives, when Counted.
class TMainWaiting {
 public:
  explicit TMainWaiting(bool Counted) : counted(Counted) {
    if (counted) ++State().mainWaiting;
  }
  ~TMainWaiting() {
    if (counted) --State().mainWaiting;
  }
  TMainWaiting(const TMainWaiting&) = delete;
  TMainWaiting& operator=(const TMainWaiting&) = delete;

 private:
  const bool counted;
};

std::atomic<std::thread::id> gMainThread{};

// The TThread whose run the calling thread serves, until its end is reported (and it is freed, when it frees
// itself).
thread_local TThread* CurrentRun = nullptr;

void TouchMainThread() {
  std::thread::id none{};
  gMainThread.compare_exchange_strong(none, std::this_thread::get_id());
}

bool IsMainThread() {
  return gMainThread.load() == std::this_thread::get_id();
}
// The calling worker is in exit(): hands ExitOnMainThread to the user-interface thread and waits until it has
// run there. That thread then sleeps until the process is gone, so that it touches nothing the exit destroys.
void HandExitToMainThread() {
  if (!ExitOnMainThread || gMainThread.load() == std::thread::id{} || IsMainThread()) return;
  SyncState& state = State();
  bool taken = false, done = false; // guarded by the lock
  SyncCall call;
  call.method = [&] {
    {
      std::lock_guard guard(state.lock);
      taken = true;
    }
    try {
      ExitOnMainThread();
    } catch (...) {
      // The program is ending: nothing is left to report it to.
    }
    {
      std::lock_guard guard(state.lock);
      done = true;
    }
    state.changed.notify_all();
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  };
  {
    std::lock_guard guard(state.lock);
    Enqueue(state, &call);
  }
  state.changed.notify_all();
  if (WakeMainThread) WakeMainThread();
  std::unique_lock guard(state.lock);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(ExitHandOverSeconds);
  if (!state.changed.wait_until(guard, deadline, [&] { return taken; })) {
    // The user-interface thread runs no loop: take the call back, the exit goes on without it.
    std::erase(state.queue, &call);
    state.queued.store(state.queue.size());
    return;
  }
  state.changed.wait(guard, [&] { return done; });
}
} // namespace

// Each worker's own: goes first when exit() is called on it, before any object with static storage.
class TThreadExitWatch {
 public:
  ~TThreadExitWatch() {
    if (Running) Running->ExitCalled();
  }
  static TThreadExitWatch& Current() {
    thread_local TThreadExitWatch watch;
    return watch;
  }
  TThread* Running = nullptr; // set while the worker runs Execute and its termination
};

// The parked system threads, each waiting for its next run. A launcher hands a run to the one parked last
// (the likeliest to be still watching for it rather than asleep).
class TThreadPool {
 public:
  static void Launch(TThread* Thread);
  static void SetIdleTime(std::chrono::milliseconds IdleTime);
  static size_t Parked();

 private:
  struct TWorker {
    std::thread::id id = std::this_thread::get_id();
    std::atomic<TThread*> job{nullptr}; // set under the lock, once the worker has left the idle list
    std::condition_variable wake;
    bool sleeping = false; // guarded by the lock: a launcher must wake it
  };
  struct TState {
    std::mutex lock;
    std::vector<TWorker*> idle; // parked last at the back
    std::chrono::milliseconds idleTime = ParkedThreadIdleTime;
  };
  // Never destroyed, like the synchronisation state: parked threads still wait on it while exit() destroys
  // objects with static storage. Each worker's own part lives on that worker's stack.
  static TState& State() {
    static TState& state = *[] {
      auto* made = new TState;
      // A forked child has only the forking thread: the parked ones stayed behind in the parent.
      pthread_atfork([] { State().lock.lock(); }, [] { State().lock.unlock(); },
                     [] {
                       State().idle.clear();
                       State().lock.unlock();
                     });
      return made;
    }();
    return state;
  }
  static void Serve(TThread* First);
  // Puts the worker on the idle list; false when enough are parked, and it is to end.
  static bool Offer(TWorker& Worker);
  // The worker's next run, or null when none came within the idle time and it is to end.
  static TThread* Await(TWorker& Worker);
};

void TThreadPool::Launch(TThread* Thread) {
  TState& state = State();
  {
    std::lock_guard guard(state.lock);
    if (!state.idle.empty()) {
      TWorker* worker = state.idle.back();
      state.idle.pop_back();
      Thread->FThreadID.store(worker->id);
      Thread->FLaunched.store(true, std::memory_order_release);
      worker->job.store(Thread, std::memory_order_release);
      // Under the lock: once it is released the worker may run, park, time out and be gone.
      if (worker->sleeping) worker->wake.notify_one();
      return;
    }
  }
  std::thread system([Thread] { Serve(Thread); });
  Thread->FThreadID.store(system.get_id());
  system.detach();
  Thread->FLaunched.store(true, std::memory_order_release);
}

void TThreadPool::Serve(TThread* First) {
  // Made before any per-thread state, so that at exit() on this thread it goes last, as each run expects.
  TThreadExitWatch::Current();
  TWorker worker;
  for (TThread* run = First; run; run = Await(worker)) {
    const bool freeSelf = run->Run();
    // Offered before the run is reported ended, so that a run started as soon as this one has ended finds
    // this thread. A thread that frees itself is freed first: its destructor might wait for that next run.
    bool parked = !freeSelf && Offer(worker);
    run->Finish(freeSelf);
    CurrentRun = nullptr;
    if (freeSelf) {
      // Its destructor may have made per-thread state.
      threadstate::EndRun();
      parked = Offer(worker);
    }
    if (!parked) return;
  }
}

bool TThreadPool::Offer(TWorker& Worker) {
  TState& state = State();
  std::lock_guard guard(state.lock);
  if (state.idle.size() >= MaxParkedThreads) return false;
  state.idle.push_back(&Worker);
  return true;
}

TThread* TThreadPool::Await(TWorker& Worker) {
  TState& state = State();
  // A search chain starts its next run as soon as the last one has ended.
  if (Spin([&] { return Worker.job.load(std::memory_order_acquire) != nullptr; }))
    return Worker.job.exchange(nullptr, std::memory_order_acquire);
  const auto since = std::chrono::steady_clock::now();
  std::unique_lock guard(state.lock);
  Worker.sleeping = true;
  while (!Worker.job.load(std::memory_order_acquire)) {
    // The idle time is read again after each wake: it may have been shortened meanwhile.
    const auto until = since + state.idleTime;
    if (std::chrono::steady_clock::now() >= until) {
      std::erase(state.idle, &Worker);
      return nullptr;
    }
    Worker.wake.wait_until(guard, until);
  }
  Worker.sleeping = false;
  return Worker.job.exchange(nullptr, std::memory_order_acquire);
}

void TThreadPool::SetIdleTime(std::chrono::milliseconds IdleTime) {
  TState& state = State();
  std::lock_guard guard(state.lock);
  state.idleTime = IdleTime;
  for (TWorker* worker : state.idle)
    if (worker->sleeping) worker->wake.notify_one();
}

size_t TThreadPool::Parked() {
  TState& state = State();
  std::lock_guard guard(state.lock);
  return state.idle.size();
}

void SetParkedThreadIdleTime(std::chrono::milliseconds IdleTime) {
  TThreadPool::SetIdleTime(IdleTime);
}

size_t ParkedThreads() {
  return TThreadPool::Parked();
}

void SetMainThread() {
  gMainThread.store(std::this_thread::get_id());
}

std::thread::id MainThreadID() {
  return gMainThread.load();
}

bool CheckSynchronize() {
  TouchMainThread();
  if (!IsMainThread()) throw EThread("CheckSynchronize must run on the user-interface thread");
  SyncState& state = State();
  bool ran = false;
  for (;;) {
    SyncCall* call;
    {
      std::lock_guard guard(state.lock);
      if (state.queue.empty()) break;
      call = state.queue.front();
      state.queue.pop_front();
      state.queued.store(state.queue.size());
    }
    try {
      call->method();
    } catch (...) {
      call->error = std::current_exception();
    }
    {
      std::lock_guard guard(state.lock);
      call->done = true;
    }
    state.changed.notify_all();
    ran = true;
  }
  return ran;
}

TThread::TThread(bool CreateSuspended) {
  TouchMainThread();
  // A thread created running starts in AfterConstruction, once the derived object exists.
  (void)CreateSuspended;
}

TThread::~TThread() {
  StopAndWait(false);
}

void TThread::AfterConstruction() {
  Resume();
}

void TThread::Resume() {
  if (!FStarted && !FShutDown) Start();
}

void TThread::Start() {
  FStarted = true;
  try {
    TThreadPool::Launch(this);
  } catch (...) {
    // No system thread could be made: the thread stays suspended, and nobody waits for a run that never
    // comes.
    FStarted = false;
    throw;
  }
}

bool TThread::RunsHere() const {
  return CurrentRun == this;
}

bool TThread::Run() {
  FThreadID.store(std::this_thread::get_id());
  CurrentRun = this;
  TThreadExitWatch& watch = TThreadExitWatch::Current();
  watch.Running = this;
  try {
    Execute();
  } catch (...) {
    FFatalException = std::current_exception();
  }
  FFinished.store(true);
  try {
    DoTerminate();
  } catch (...) {
    if (!FFatalException) FFatalException = std::current_exception();
  }
  // The run ends as a thread of its own would, before anyone sees it ended: the next run on this system
  // thread finds none of its hooks or per-thread objects.
  threadstate::EndRun();
  watch.Running = nullptr;
  return FreeOnTerminate;
}

void TThread::Finish(bool FreeSelf) {
  SyncState& state = State();
  {
    std::lock_guard guard(state.lock);
    FDone = true;
  }
  state.changed.notify_all();
  // Without FreeOnTerminate the owner may delete the object as soon as FDone is seen: touch nothing after it.
  if (FreeSelf) {
    // The starting thread may still be setting ThreadID.
    while (!FLaunched.load(std::memory_order_acquire)) std::this_thread::yield();
    delete this;
  }
}

void TThread::ExitCalled() {
  SyncState& state = State();
  {
    std::lock_guard guard(state.lock);
    FDone = true;
  }
  state.changed.notify_all();
  // From here on the object may be freed at any time (its owner sees it done): only the hand-over is left.
  HandExitToMainThread();
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

void TThread::Synchronize(std::function<void()> method) {
  if (IsMainThread()) {
    method();
    return;
  }
  SyncState& state = State();
  SyncCall call{std::move(method), nullptr};
  {
    std::lock_guard guard(state.lock);
    Enqueue(state, &call);
  }
  state.changed.notify_all();
  if (WakeMainThread) WakeMainThread();
  // A user-interface thread that waits for a thread takes the call at once; its loop may take milliseconds.
  if (state.mainWaiting.load() == 0 || !Spin([&] { return call.done.load(std::memory_order_acquire); })) {
    std::unique_lock guard(state.lock);
    state.changed.wait(guard, [&] { return call.done.load(); });
  }
  if (call.error) std::rethrow_exception(call.error);
}

int TThread::WaitFor() {
  if (RunsHere()) throw EThread("A thread cannot wait for itself");
  if (!FStarted) throw EThread("Cannot wait for a thread that was never started");
  SyncState& state = State();
  const bool onMain = IsMainThread();
  const TMainWaiting waiting(onMain);
  if (SpinUntilDone()) return ReturnValue;
  std::unique_lock guard(state.lock);
  while (!FDone) {
    if (onMain && !state.queue.empty()) {
      guard.unlock();
      CheckSynchronize();
      // The run often ends within microseconds of its last handed-over call, its termination handler.
      SpinUntilDone();
      guard.lock();
      continue;
    }
    state.changed.wait(guard);
  }
  return ReturnValue;
}

bool TThread::SpinUntilDone() const {
  // A short run often ends within microseconds of the wait: watching for its end then costs less than
  // sleeping and being woken by it.
  const bool onMain = IsMainThread();
  return Spin([this] { return FDone.load(std::memory_order_acquire); },
              [onMain] { return onMain && State().queued.load() != 0; });
}

void TThread::Shutdown() {
  StopAndWait(true);
}

void TThread::StopAndWait(bool mayStart) {
  if (FShutDown) return;
  if (RunsHere()) {
    // Freed from its own run (FreeOnTerminate): it has already ended, and cannot wait for itself.
    FShutDown = true;
    return;
  }
  if (!FStarted) {
    // Only a derived destructor may still run Execute; from the base destructor it would call a pure method.
    if (!mayStart) {
      FShutDown = true;
      return;
    }
    Terminate();
    Start();
  } else if (!Finished()) {
    Terminate();
  }
  FShutDown = true;
  // Nothing to join: the system thread goes on to serve other runs, or ends by itself. A run's end is
  // reported only after its thread-end work, so what a joined thread guaranteed holds here too.
  WaitFor();
}
