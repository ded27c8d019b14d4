// The screening evaluates every technical condition of every pair over up to
// 1200 days, so these routines run millions of times in one run.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "data/statistics.h"

namespace {

constexpr int32_t kDays = 1200;

std::vector<int32_t> Series(int32_t seed) {
  std::vector<int32_t> values(kDays);
  uint32_t state = static_cast<uint32_t>(seed);
  int32_t price = 100000;
  for (int32_t& v : values) {
    state = state * 1664525u + 1013904223u;
    price += static_cast<int32_t>(state >> 24) - 128;
    v = price;
  }
  return values;
}

void BM_Correlation(benchmark::State& state) {
  const std::vector<int32_t> a = Series(1), b = Series(2);
  for (auto _ : state) benchmark::DoNotOptimize(Correlation(a.data(), b.data(), kDays));
}
BENCHMARK(BM_Correlation);

void BM_DeviationRateStatistics(benchmark::State& state) {
  const std::vector<int32_t> a = Series(1), b = Series(2);
  std::vector<double> rates(kDays);
  for (auto _ : state) {
    const int32_t m = MaxOfBoth(a.data(), b.data(), kDays);
    Differences(a.data(), b.data(), rates.data(), kDays);
    benchmark::DoNotOptimize(RegressionSlope(rates.data(), kDays, m));
    benchmark::DoNotOptimize(PercentStdDevRounded(rates.data(), kDays, m));
  }
}
BENCHMARK(BM_DeviationRateStatistics);

}  // namespace
