#pragma once
// The runtime's pseudo-random numbers: a linear congruential generator, state = state * 22695477 + 1 (mod
// 2^32), value = (state >> 16) & 0x7FFF. Each thread has its own state, starting at 1.
#include <cstdint>

constexpr int RandMax = 0x7FFF;

// Seeds the calling thread's generator.
void SRand(uint32_t Seed);
// The next value of the calling thread's generator, 0 .. RandMax.
int Rand();
