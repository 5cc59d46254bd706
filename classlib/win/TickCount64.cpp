// The 64-bit tick count: GetTickCount extended by the wraps seen between calls. A caller that polls more
// often than every 49 days (every timer does) never sees it wrap.
#include <mutex>

#include "classlib/win/Windows.h"

uint64_t GetTickCount64() {
  static std::mutex guard;
  static uint64_t wraps = 0;
  static DWORD last = 0;
  static bool started = false;
  const std::lock_guard<std::mutex> lock(guard);
  const DWORD now = GetTickCount();
  if (started && now < last) wraps += uint64_t{1} << 32;
  last = now;
  started = true;
  return wraps | now;
}
