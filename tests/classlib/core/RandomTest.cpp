#include "classlib/core/Random.h"

#include <gtest/gtest.h>
#include <thread>

TEST(Random, FollowsTheLinearCongruentialSequence) {
  SRand(1);
  // state 1 -> 22695478 -> 0x15A4E36 >> 16 = 0x15A = 346
  EXPECT_EQ(Rand(), 346);
  uint32_t state = 22695478u;
  for (int i = 0; i < 1000; ++i) {
    state = state * 22695477u + 1u;
    ASSERT_EQ(Rand(), static_cast<int>((state >> 16) & 0x7FFF));
  }
}

TEST(Random, EachThreadHasItsOwnState) {
  SRand(42);
  const int first = Rand();
  int other = -1;
  std::thread([&] {
    SRand(42);
    other = Rand();
  }).join();
  EXPECT_EQ(other, first);
  SRand(42);
  EXPECT_EQ(Rand(), first); // the other thread's draws did not advance ours
}
