#include "classlib/core/Random.h"

namespace {
thread_local uint32_t state = 1;
}

void SRand(uint32_t Seed) {
  state = Seed;
}

int Rand() {
  state = state * 22695477u + 1u;
  return static_cast<int>((state >> 16) & RandMax);
}
