#pragma once
// The rows of a screening by the steps one by one, for the benchmarks to
// check the fast path against: every key merged, balanced and tested on its
// own, in key order.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "screening/pair_keys.h"
#include "screening/pair_screening.h"
#include "screening/screening_conditions.h"
#include "screening/technical_filter.h"

// Every pair of the codes of a program directory's Code.txt, their trading
// units and the tests of one condition: what the benchmarks screen.
struct ScreeningOfDirectory {
  PairKeySet keys;
  std::vector<int32_t> units;
  std::vector<TechnicalTest> tests;
};
ScreeningOfDirectory ScreeningOf(const std::filesystem::path& dir,
                                 const TechnicalCondition& condition);

// The pairs are independent, so `threads` threads, each on its own codes i,
// give the rows of one.
std::vector<PassedPair> OneByOne(const std::filesystem::path& dir, const PairKeySet& keys,
                                 const std::vector<int32_t>& units,
                                 const std::vector<TechnicalTest>& tests, int threads);
