#include "classlib/core/ThreadState.h"

#include <vector>

namespace {

class TThreadOwner {
 public:
  TThreadOwner() = default;
  TThreadOwner(const TThreadOwner&) = delete;
  TThreadOwner& operator=(const TThreadOwner&) = delete;
  ~TThreadOwner() {
    End();
    Ended = true;
  }

  // Hooks first, while every part lives; a part freed here may still add a hook, which then runs too.
  void End() {
    while (!Hooks.empty() || !Parts.empty()) {
      while (!Hooks.empty()) {
        std::function<void()> hook = std::move(Hooks.back());
        Hooks.pop_back();
        try {
          hook();
        } catch (...) {
          // The thread is ending: nothing is left to report it to.
        }
      }
      if (!Parts.empty()) {
        std::unique_ptr<threadstate::TPart> part = std::move(Parts.back());
        Parts.pop_back();
        part.reset();
      }
    }
  }

  static TThreadOwner* Current() {
    if (Ended) return nullptr;
    thread_local TThreadOwner owner;
    Made = true;
    return &owner;
  }
  // The calling thread's owner if it has one; never makes one.
  static TThreadOwner* Existing() { return Made ? Current() : nullptr; }

  std::vector<std::function<void()>> Hooks;
  std::vector<std::unique_ptr<threadstate::TPart>> Parts;

 private:
  static thread_local bool Ended; // the owner has gone: it must not be touched again
  static thread_local bool Made;  // the owner has been made
};

thread_local bool TThreadOwner::Ended = false;
thread_local bool TThreadOwner::Made = false;

} // namespace

namespace threadstate {

void Keep(std::unique_ptr<TPart> Part) {
  if (TThreadOwner* owner = TThreadOwner::Current()) {
    owner->Parts.push_back(std::move(Part));
    return;
  }
  // Made after the thread's owner went, in the thread's last moments: it lives until the process ends.
  (void)Part.release();
}

void EndRun() {
  if (TThreadOwner* owner = TThreadOwner::Existing()) owner->End();
}

} // namespace threadstate

void AtThreadEnd(std::function<void()> Hook) {
  if (TThreadOwner* owner = TThreadOwner::Current()) owner->Hooks.push_back(std::move(Hook));
}
