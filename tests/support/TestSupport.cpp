#include "tests/support/TestSupport.h"

#include "classlib/controls/Menus.h"
#include "classlib/controls/WindowHandle.h"

namespace testsupport {

ManualClock::ManualClock(uint32_t Start) : FNow(Start) {
  SetTickCountSource([this] { return FNow; });
}

ManualClock::~ManualClock() {
  SetTickCountSource({});
}

void ManualClock::Advance(uint32_t Milliseconds) {
  // Step so that a timer shorter than the advance fires once per period, as it would in real time.
  while (Milliseconds > 0) {
    const uint32_t step = Milliseconds < 10 ? Milliseconds : 10;
    FNow += step;
    Milliseconds -= step;
    Pump();
  }
}

bool WhileMenuOpen(const std::function<void()>& Open, const std::function<void()>& Probe) {
  bool probed = false;
  OnMenuLoopIdle = [&] {
    if (probed) return;
    probed = true;
    Probe();
    CancelMenuTracking();
  };
  Open();
  OnMenuLoopIdle = nullptr;
  return probed;
}

} // namespace testsupport
