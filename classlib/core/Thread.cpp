#include "classlib/core/Thread.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "classlib/core/Exception.h"

std::function<void()> WakeMainThread;
std::function<void()> ExitOnMainThread;

namespace {
struct SyncCall {
  std::function<void()> method;
  std::exception_ptr error;
  bool done = false;
};

// One lock and one condition for all threads: it guards the queue and every thread's end, and wakes both the
// workers waiting for their calls and the user-interface thread waiting for a thread.
struct SyncState {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<SyncCall*> queue;
  std::atomic<size_t> queued{0}; // the queue's length, for a look without the lock
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

std::atomic<std::thread::id> gMainThread{};

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
  // Nothing is locked meanwhile: a worker that had to wait for a lock here would have to be woken, which
  // costs more than starting it.
  FThread = std::thread([this] { Run(); });
  FThreadID.store(FThread.get_id());
  FLaunched.store(true, std::memory_order_release);
}

void TThread::Run() {
  FThreadID.store(std::this_thread::get_id());
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
  watch.Running = nullptr;
  const bool freeSelf = FreeOnTerminate;
  SyncState& state = State();
  {
    std::lock_guard guard(state.lock);
    FDone = true;
  }
  state.changed.notify_all();
  // Without FreeOnTerminate the owner may delete the object as soon as FDone is seen: touch nothing after it.
  if (freeSelf) {
    // Freeing detaches FThread, which the starting thread may still be assigning.
    while (!FLaunched.load(std::memory_order_acquire)) std::this_thread::yield();
    delete this;
  }
}

void TThread::ExitCalled() {
  SyncState& state = State();
  {
    std::lock_guard guard(state.lock);
    FExiting.store(true);
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
  SyncCall call{std::move(method), nullptr, false};
  {
    std::lock_guard guard(state.lock);
    Enqueue(state, &call);
  }
  state.changed.notify_all();
  if (WakeMainThread) WakeMainThread();
  {
    std::unique_lock guard(state.lock);
    state.changed.wait(guard, [&] { return call.done; });
  }
  if (call.error) std::rethrow_exception(call.error);
}

int TThread::WaitFor() {
  if (std::this_thread::get_id() == FThreadID.load()) throw EThread("A thread cannot wait for itself");
  if (!FStarted) throw EThread("Cannot wait for a thread that was never started");
  if (SpinUntilDone()) return ReturnValue;
  SyncState& state = State();
  std::unique_lock guard(state.lock);
  while (!FDone) {
    if (IsMainThread() && !state.queue.empty()) {
      guard.unlock();
      CheckSynchronize();
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
  constexpr auto SpinTime = std::chrono::microseconds(50);
  const bool onMain = IsMainThread();
  const auto until = std::chrono::steady_clock::now() + SpinTime;
  for (unsigned i = 1;; ++i) {
    if (FDone.load(std::memory_order_acquire)) return true;
    if (onMain && State().queued.load() != 0) return false;
    if (i % 64 == 0) {
      if (std::chrono::steady_clock::now() >= until) return false;
      // On a busy processor the worker may be waiting for this very one.
      std::this_thread::yield();
    }
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#else
    std::this_thread::yield();
#endif
  }
}

void TThread::Shutdown() {
  StopAndWait(true);
}

void TThread::StopAndWait(bool mayStart) {
  if (FShutDown) return;
  if (std::this_thread::get_id() == FThreadID.load()) {
    // Freed from its own thread (FreeOnTerminate): it has already ended, but cannot join itself.
    FShutDown = true;
    if (FThread.joinable()) FThread.detach();
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
  WaitFor();
  if (!FThread.joinable()) return;
  // A thread in exit() never ends by itself; the process ends with it.
  if (FExiting.load())
    FThread.detach();
  else
    FThread.join();
}
