#pragma once
// A small generator whose numbers are the same on every machine, so that a
// benchmark's generated input is the same bytes wherever it runs.

#include <cstdint>

struct BenchRandom {
  uint64_t state;
  uint32_t Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33);
  }
};
