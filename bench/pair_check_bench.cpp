// The numbers of one pair check on full price files: reading the two files'
// lines, merging them by date and the period's rates, averages and
// statistics. The check runs on the main thread, so this is what the user
// waits for after the downloads.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "data/price_files.h"
#include "pair/pair_series.h"
#include "pair/pair_statistics.h"

namespace {

std::vector<std::string> PriceLines(int32_t base) {
  std::vector<std::string> lines;
  for (int32_t i = 0; i < kPriceFileMaxLines; ++i) {
    const int32_t close = base + (i * 37) % 101;
    lines.push_back(FormatPriceLine({2024 - i / 250, 12 - (i / 21) % 12, 28 - i % 21, close, close,
                                     close + 3, close - 3, 1000}));
  }
  return lines;
}

void PairCheckNumbers(benchmark::State& state) {
  const std::vector<std::string> linesA = PriceLines(1000);
  const std::vector<std::string> linesB = PriceLines(700);
  for (auto _ : state) {
    std::vector<CodeDayRecord> a;
    std::vector<CodeDayRecord> b;
    ReadCodeSeries(linesA, 100, 0, a);
    ReadCodeSeries(linesB, 100, 0, b);
    std::vector<PairDayRecord> days = MergeSeries(a, b);
    const PairStatistics stats = ComputePairStatistics(days, 1, 1200);
    benchmark::DoNotOptimize(stats.MeanRate);
  }
}
BENCHMARK(PairCheckNumbers)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
