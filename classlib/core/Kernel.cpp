#include "classlib/core/Kernel.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;
constexpr Clock::rep Ticks(std::chrono::nanoseconds Duration) {
  return std::chrono::duration_cast<Clock::duration>(Duration).count();
}

// A yield hands the rest of the time slice to another ready thread. The scheduler's slices last milliseconds,
// so a thread yields once it has used about one, counted in its own processor time: on a busy machine a
// thread waits for the processor between its turns, and a yield at the start of each turn would hand over a
// slice it has barely begun, running the worker at a small fraction of its share.
constexpr Clock::rep TimeSlice = Ticks(std::chrono::milliseconds(3));
// The processor time costs a system call; it is read at most this often, the wall clock costs none.
constexpr Clock::rep CheckInterval = Ticks(std::chrono::microseconds(200));

// When the calling thread last looked at its processor time, and how much it had used at its last yield; 0
// until its first Sleep(0). Initialised to constants and in the initial thread-local block, so that reading
// them costs no more than plain variables.
[[gnu::tls_model("initial-exec")]] thread_local Clock::rep lastCheck = 0;
[[gnu::tls_model("initial-exec")]] thread_local Clock::rep usedAtYield = 0;

Clock::rep ThreadTime() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return Ticks(std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec));
}
} // namespace

void Sleep(uint32_t milliseconds) {
  if (milliseconds == 0) {
    const Clock::rep now = Clock::now().time_since_epoch().count();
    if (now - lastCheck < CheckInterval) return;
    const bool first = lastCheck == 0;
    lastCheck = now;
    const Clock::rep used = ThreadTime();
    // A thread starts with a fresh time slice.
    if (first) usedAtYield = used;
    if (used - usedAtYield < TimeSlice) return;
    std::this_thread::yield();
    usedAtYield = used;
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

// The figure after `name` in the kernel's text, in bytes; false when the text has no such line.
bool Figure(const char* text, const char* name, uint64_t& bytes) {
  const size_t length = std::strlen(name);
  for (const char* line = text; *line;) {
    if (std::strncmp(line, name, length) == 0) {
      const char* p = line + length;
      while (*p == ' ') ++p;
      uint64_t kib = 0;
      int digits = 0;
      for (; *p >= '0' && *p <= '9' && digits < 19; ++p, ++digits)
        kib = kib * 10 + static_cast<uint64_t>(*p - '0');
      if (digits == 0) return false;
      bytes = kib * 1024u;
      return true;
    }
    const char* next = std::strchr(line, '\n');
    if (!next) break;
    line = next + 1;
  }
  return false;
}

MemInfo ReadMemInfo() {
  MemInfo info;
  // One read of the kernel's figures, which fill well under a page.
  const int file = open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
  if (file >= 0) {
    char text[8192];
    const ssize_t size = read(file, text, sizeof text - 1);
    close(file);
    if (size > 0) {
      text[size] = 0;
      Figure(text, "MemTotal:", info.total);
      info.haveAvailable = Figure(text, "MemAvailable:", info.available);
      Figure(text, "SwapTotal:", info.swapTotal);
      Figure(text, "SwapFree:", info.swapFree);
    }
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
