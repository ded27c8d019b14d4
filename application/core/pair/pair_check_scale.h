#pragma once
// The lot counts and the adjustment a pair check scaled its prices with: the
// chart's read-outs turn scaled values back into market prices with these,
// not with whatever the input fields hold later.

#include <cstdint>

struct PairCheckScale {
  int32_t lotsA = 1;
  int32_t lotsB = 1;
  int32_t adjust = 0;  // added to A's prices
};
