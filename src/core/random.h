// The runtime's pseudo-random generator: a 32-bit linear congruential generator
// (seed = seed * 134775813 + 1). Randomize seeds it from a seed source, which is
// the clock unless a caller (tests, --seed) fixes it.
#pragma once

#include <cstdint>
#include <functional>

// The generator's state.
extern uint32_t RandSeed;

// Seeds the generator from the current seed source.
void Randomize();
// Replaces the seed source (the clock by default); an empty function restores the clock.
void SetRandomizeSource(std::function<uint32_t()> Source);
// A uniformly drawn integer from 0 to N - 1 (0 for N = 0; N < 0 gives N + 1 to 0).
int32_t Random(int32_t N);
