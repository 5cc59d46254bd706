#pragma once
// Kernel services: yielding and sleeping, and a report of the machine's memory in 32-bit figures.
#include <cstdint>

// Gives up the processor for at least `milliseconds`. 0 yields the rest of the time slice to another ready
// thread, but only once the calling thread has used about a slice of processor time since its last yield;
// calls in between return at once, so a worker may call it on every step of its work.
void Sleep(uint32_t milliseconds);

// Memory figures in bytes (dwMemoryLoad in percent). Every figure is capped to 0xFFFFFFFF, so callers that
// shift or divide them stay within 32 bits.
struct MEMORYSTATUS {
  uint32_t dwLength;
  uint32_t dwMemoryLoad;
  uint32_t dwTotalPhys;
  uint32_t dwAvailPhys;
  uint32_t dwTotalPageFile;
  uint32_t dwAvailPageFile;
  uint32_t dwTotalVirtual;
  uint32_t dwAvailVirtual;
};

void GlobalMemoryStatus(MEMORYSTATUS* status);
