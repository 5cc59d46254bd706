#pragma once
// TThread: a worker thread object. Execute runs on its own thread; Synchronize and the termination handler
// are handed to the user-interface thread, which runs them from CheckSynchronize (its message loop calls it
// when WakeMainThread signals that something is queued).
//
// Starting a system thread costs tens of microseconds, a large part of a short search. So a system thread
// whose run has ended parks and serves the next TThread started; it ends when none comes within an idle time,
// and at most MaxParkedThreads park at once. Each run still ends as a thread of its own does (ThreadState.h):
// its thread-end hooks run and its PerThread objects go before its end is reported.
//
// C++ destroys the derived part of an object before the base destructor runs, so a class whose Execute
// touches its own members must call Shutdown() first thing in its destructor; TThread's destructor repeats it
// harmlessly.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <thread>

#include "classlib/core/Event.h"
#include "classlib/core/Object.h"

class TThreadExitWatch;

class TThread : public TObject {
 public:
  explicit TThread(bool CreateSuspended);
  ~TThread() override;

  // Starts a thread that was not created suspended; the constructor cannot, since the derived part does not
  // exist yet when it runs.
  void AfterConstruction();
  // Starts a suspended thread; does nothing once it runs or has ended.
  void Resume();
  // Raises the stop flag; Execute polls it through Terminated().
  void Terminate() { FTerminated.store(true); }
  bool Terminated() const { return FTerminated.load(); }
  // Waits until the thread has ended, termination handler included, and returns ReturnValue. On the
  // user-interface thread it keeps running handed-over calls meanwhile.
  int WaitFor();

  bool Suspended() const { return !FStarted; }
  // True once Execute has returned (the termination handler may still be running).
  bool Finished() const { return FFinished.load(); }
  // What escaped Execute, if anything; the thread still ended normally.
  std::exception_ptr FatalException() const { return FFatalException; }
  std::thread::id ThreadID() const { return FThreadID.load(); }

  bool FreeOnTerminate = false;
  TNotifyEvent OnTerminate;

 protected:
  virtual void DoTerminate();
  virtual void Execute() = 0;
  // Runs `method` on the user-interface thread and waits for it; an exception it raises is raised again here.
  void Synchronize(std::function<void()> method);
  // Stops the thread (stop flag, resuming it if suspended) and waits for it to end. Idempotent.
  void Shutdown();

  int ReturnValue = 0;

 private:
  friend class TThreadExitWatch;
  friend class TThreadPool;
  void Start();
  // Run on the system thread that serves this run: the run up to its thread-end work (returning
  // FreeOnTerminate as it was then), and the report of its end with, when FreeSelf, the object's freeing.
  bool Run();
  void Finish(bool FreeSelf);
  void StopAndWait(bool mayStart);
  // Watches for the end for a few microseconds; false when it did not come, or a handed-over call waits.
  bool SpinUntilDone() const;
  // exit() was called on this thread, which therefore never returns: nobody may wait for its end any more.
  void ExitCalled();
  // The calling thread is serving this run (a system thread serves many runs, so its id does not tell).
  bool RunsHere() const;

  std::atomic<std::thread::id> FThreadID{}; // set by both threads, so that either sees it at once
  std::atomic<bool> FLaunched{false};       // Start has touched the object for the last time
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  bool FStarted = false;
  std::atomic<bool> FDone{false}; // changed under the synchronisation lock
  bool FShutDown = false;
  std::exception_ptr FFatalException;
};

// The system threads kept for later runs: at most MaxParkedThreads wait at a time, each for at most the
// idle time (ParkedThreadIdleTime unless set otherwise; tests shorten it). ParkedThreads tells how many wait.
constexpr size_t MaxParkedThreads = 16;
constexpr std::chrono::milliseconds ParkedThreadIdleTime{3000};
void SetParkedThreadIdleTime(std::chrono::milliseconds IdleTime);
size_t ParkedThreads();

// Makes the calling thread the user-interface thread. Without a call, the first thread that creates a TThread
// or calls CheckSynchronize is taken.
void SetMainThread();
std::thread::id MainThreadID();

// Runs every call handed over to the user-interface thread; true when it ran any. Only the user-interface
// thread may call it.
bool CheckSynchronize();

// Called, from the handing-over thread, whenever a call is queued for the user-interface thread.
extern std::function<void()> WakeMainThread;

// exit() called on a worker (inside its Execute) destroys every object with static storage on that worker,
// while the user-interface thread may still be running. When this is set, the worker first hands it to the
// user-interface thread, which runs it before anything with static storage goes and then runs nothing else
// until the process has ended. Its loop must take the call within ExitHandOverSeconds; if it does not, the
// exit goes on without it.
extern std::function<void()> ExitOnMainThread;
constexpr int ExitHandOverSeconds = 10;
