#pragma once
// The class library's own per-thread state, and work that must run when a thread ends while that state is
// still there. The runtime frees a thread's thread-local objects newest first, and at exit() it does so for
// the exiting thread before anything else: work run from one of them would find every younger one gone. So
// each thread has one owner for all of it, which at the thread's end first runs the thread-end hooks, newest
// first, and only then frees the per-thread objects.
//
// A TThread's run counts as a thread of its own, although the system thread under it is kept and reused for
// later runs: its end runs the hooks and frees the PerThread objects, exactly as a thread's end does, before
// the run is reported ended and before the next run starts on that system thread. A run thus always starts
// with no hooks and fresh PerThread objects. Plain thread_local variables outside this owner are not reset.
#include <functional>
#include <memory>

namespace threadstate {

struct TPart {
  virtual ~TPart() = default;
};
// Hands Part to the calling thread's owner, which frees it at the thread's end.
void Keep(std::unique_ptr<TPart> Part);
// Does the calling thread's end work now (hooks, then the per-thread objects) and leaves the thread ready to
// make new state, for a system thread that goes on to serve another run.
void EndRun();

} // namespace threadstate

// Runs Hook on the calling thread when the thread ends (by returning or by exit()), or when the TThread run
// it was registered in ends, before any PerThread object of that thread goes. A hook may use PerThread
// objects and add hooks; those run too.
void AtThreadEnd(std::function<void()> Hook);

// The calling thread's own T, made on first use and freed after the thread's end hooks.
template <class T> T& PerThread() {
  thread_local T* value = nullptr; // nothing to destroy: the owner frees the part
  struct Part : threadstate::TPart {
    ~Part() override { value = nullptr; } // a later use on this thread makes a new one
    T Value{};
  };
  if (!value) {
    auto part = std::make_unique<Part>();
    T* made = &part->Value;
    threadstate::Keep(std::move(part));
    value = made;
  }
  return *value;
}
