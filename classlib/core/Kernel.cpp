#include "classlib/core/Kernel.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {
// A yield hands the rest of the time slice to another ready thread; the scheduler's slices last milliseconds,
// so yielding more often than this gains nothing and costs a system call each time.
constexpr std::chrono::steady_clock::rep YieldInterval =
    std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::microseconds(40)).count();

// When the calling thread last yielded; 0 until its first Sleep(0). Initialised to a constant and in the
// initial thread-local block, so that reading it costs no more than a plain variable.
[[gnu::tls_model("initial-exec")]] thread_local std::chrono::steady_clock::rep lastYield = 0;
} // namespace

void Sleep(uint32_t milliseconds) {
  if (milliseconds == 0) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    // A thread starts with a fresh time slice.
    if (lastYield == 0) lastYield = now;
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
