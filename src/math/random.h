// The one random generator of the game. It reproduces the classic runtime-library rand():
// seed = seed * 214013 + 2531011 (mod 2^32), result (seed >> 16) & 0x7FFF. Mission
// placements and every 2/32767-style constant assume exactly this 0..32767 range, so the
// C library's rand() (different range and sequence on Linux) is never used.
#pragma once

#include <cstdint>

constexpr int RandMax = 32767;

void SeedRand(uint32_t seed);
int Rand();
// Current seed, for tests and input replay.
uint32_t RandState();
