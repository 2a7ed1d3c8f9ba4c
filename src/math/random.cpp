#include "math/random.h"

namespace {
uint32_t randSeed = 1;  // the runtime library's rand() starts as if seeded with 1
}

void SeedRand(uint32_t seed) { randSeed = seed; }

int Rand() {
    randSeed = randSeed * 214013u + 2531011u;
    return static_cast<int>((randSeed >> 16) & 0x7FFFu);
}

uint32_t RandState() { return randSeed; }
