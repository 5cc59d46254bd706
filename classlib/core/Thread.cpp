#include "classlib/core/Thread.h"

#include <condition_variable>
#include <deque>
#include <mutex>

#include "classlib/core/Exception.h"

std::function<void()> WakeMainThread;

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
};

SyncState& State() {
  static SyncState state;
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
} // namespace

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
  // The worker waits for the lock, so it sees FThread and FThreadID set.
  std::lock_guard guard(State().lock);
  FThread = std::thread([this] { Run(); });
  FThreadID = FThread.get_id();
}

void TThread::Run() {
  { std::lock_guard guard(State().lock); }
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
  const bool freeSelf = FreeOnTerminate;
  SyncState& state = State();
  {
    std::lock_guard guard(state.lock);
    FDone = true;
  }
  state.changed.notify_all();
  // Without FreeOnTerminate the owner may delete the object as soon as FDone is seen: touch nothing after it.
  if (freeSelf) delete this;
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
    state.queue.push_back(&call);
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
  if (std::this_thread::get_id() == FThreadID) throw EThread("A thread cannot wait for itself");
  if (!FStarted) throw EThread("Cannot wait for a thread that was never started");
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

void TThread::Shutdown() {
  StopAndWait(true);
}

void TThread::StopAndWait(bool mayStart) {
  if (FShutDown) return;
  if (std::this_thread::get_id() == FThreadID) {
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
  if (FThread.joinable()) FThread.join();
}
