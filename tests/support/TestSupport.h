#pragma once
// Test helpers for windows and controls: the demos' rendering and synthetic input (under testsupport:: as
// well), a menu held open while a test probes it, and a hand-driven clock for timers.
#include <cstdint>
#include <functional>

#include "tools/demosupport/DemoSupport.h"

namespace testsupport {

using namespace demosupport;

// Runs Open, which drops a menu down and tracks it; once the menu loop idles, Probe runs and the menu closes.
// Answers whether Probe ran.
bool WhileMenuOpen(const std::function<void()>& Open, const std::function<void()>& Probe);

// Replaces the clock of GetTickCount and timers while it lives.
class ManualClock {
 public:
  // Start: the tick count it begins at (near 2^32 to see the 32-bit count wrap).
  explicit ManualClock(uint32_t Start = 100000);
  ~ManualClock();
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;
  // Moves the clock on and runs the timers that came due.
  void Advance(uint32_t Milliseconds);
  uint32_t Now() const { return FNow; }

 private:
  uint32_t FNow = 100000;
};

} // namespace testsupport
