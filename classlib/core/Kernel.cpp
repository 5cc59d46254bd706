#include "classlib/core/Kernel.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace {
// A yield hands the rest of the time slice to another ready thread; the scheduler's slices last milliseconds,
// so yielding more often than this gains nothing and costs a system call each time.
constexpr auto YieldInterval = std::chrono::microseconds(40);
} // namespace

void Sleep(uint32_t milliseconds) {
  if (milliseconds == 0) {
    thread_local std::chrono::steady_clock::time_point lastYield;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastYield < YieldInterval) return;
    std::this_thread::yield();
    lastYield = now;
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

namespace {
uint32_t Cap(uint64_t bytes) {
  return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
}

struct MemInfo {
  uint64_t total = 0, available = 0, swapTotal = 0, swapFree = 0;
  bool haveAvailable = false;
};

MemInfo ReadMemInfo() {
  MemInfo info;
  if (FILE* file = std::fopen("/proc/meminfo", "r")) {
    char name[64];
    unsigned long long kib = 0;
    while (std::fscanf(file, "%63s %llu kB", name, &kib) == 2) {
      const uint64_t bytes = static_cast<uint64_t>(kib) * 1024u;
      if (std::strcmp(name, "MemTotal:") == 0)
        info.total = bytes;
      else if (std::strcmp(name, "MemAvailable:") == 0) {
        info.available = bytes;
        info.haveAvailable = true;
      } else if (std::strcmp(name, "SwapTotal:") == 0)
        info.swapTotal = bytes;
      else if (std::strcmp(name, "SwapFree:") == 0)
        info.swapFree = bytes;
    }
    std::fclose(file);
  }
  if (info.total == 0 || !info.haveAvailable) {
    // No /proc: fall back on the page counts, which know only the free pages.
    const long pageSize = sysconf(_SC_PAGESIZE);
    info.total = static_cast<uint64_t>(sysconf(_SC_PHYS_PAGES)) * static_cast<uint64_t>(pageSize);
    info.available = static_cast<uint64_t>(sysconf(_SC_AVPHYS_PAGES)) * static_cast<uint64_t>(pageSize);
  }
  return info;
}
} // namespace

void GlobalMemoryStatus(MEMORYSTATUS* status) {
  const MemInfo info = ReadMemInfo();
  status->dwLength = sizeof(MEMORYSTATUS);
  status->dwMemoryLoad =
      info.total == 0 ? 0 : static_cast<uint32_t>(100 - (info.available * 100) / info.total);
  status->dwTotalPhys = Cap(info.total);
  status->dwAvailPhys = Cap(info.available);
  status->dwTotalPageFile = Cap(info.total + info.swapTotal);
  status->dwAvailPageFile = Cap(info.available + info.swapFree);
  // A 32-bit process sees at most 4 GiB of address space, most of it free at start.
  status->dwTotalVirtual = 0xFFFFFFFFu;
  status->dwAvailVirtual = 0xFFFFFFFFu;
}
