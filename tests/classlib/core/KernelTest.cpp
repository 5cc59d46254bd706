#include <cstdio>

#include <gtest/gtest.h>

#include "classlib/core/Kernel.h"

TEST(Kernel, MemoryFiguresAgreeWithTheKernelsOwn) {
  MEMORYSTATUS status{};
  GlobalMemoryStatus(&status);
  EXPECT_EQ(status.dwLength, sizeof(MEMORYSTATUS));
  EXPECT_GT(status.dwTotalPhys, 0u);
  EXPECT_GT(status.dwAvailPhys, 0u);
  EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
  EXPECT_LE(status.dwMemoryLoad, 100u);
  EXPECT_GE(status.dwTotalPageFile, status.dwTotalPhys);

  // The total, read here the slow way, capped to 32 bits as the figures are.
  FILE* file = std::fopen("/proc/meminfo", "r");
  if (!file) GTEST_SKIP() << "no /proc/meminfo";
  unsigned long long kib = 0;
  ASSERT_EQ(std::fscanf(file, "MemTotal: %llu kB", &kib), 1);
  std::fclose(file);
  const unsigned long long bytes = kib * 1024ull;
  EXPECT_EQ(status.dwTotalPhys, bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes));
}
