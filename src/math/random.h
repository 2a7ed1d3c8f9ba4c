// The one random generator of the game. It reproduces the classic runtime-library rand():
// seed = seed * 214013 + 2531011 (mod 2^32), result (seed >> 16) & 0x7FFF. Mission
// placements and every 2/32767-style constant assume exactly this 0..32767 range, so the
// C library's rand() (different range and sequence on Linux) is never used.
#pragma once

#include <cstdint>

constexpr int RandMax = 32767;
// 2/32767 and 1/32767 in single precision, for mapping a draw r: 1 - r * TwoOverRandMax
// lies in [-1, 1].
constexpr float TwoOverRandMax = 2.0f / static_cast<float>(RandMax);
constexpr float OneOverRandMax = 1.0f / static_cast<float>(RandMax);

void SeedRand(uint32_t seed);
int Rand();
// A fresh draw mapped onto [-1, 1] as 1 - r * 2/32767.
inline float RandSigned() { return 1.0f - static_cast<float>(Rand()) * TwoOverRandMax; }
// Current seed, for tests and input replay.
uint32_t RandState();
