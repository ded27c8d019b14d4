#include "one_by_one.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

#include "data/code_file.h"
#include "data/code_table.h"
#include "data/price_files.h"
#include "screening/screening_series.h"

ScreeningOfDirectory ScreeningOf(const std::filesystem::path& dir,
                                 const TechnicalCondition& condition) {
  CodeTable table;
  LoadCodeFile(table, dir);
  std::vector<std::string> codes;
  for (int i = 0; i < table.Count(); ++i) codes.push_back(table.CodeAt(i));
  std::sort(codes.begin(), codes.end());
  PairKeySet keys(codes, codes);
  std::vector<int32_t> units;
  for (const std::string& code : keys.Codes()) units.push_back(table.Find(code)->Unit);
  return {std::move(keys), std::move(units), ParseTechnicalTests({condition})};
}

std::vector<PassedPair> OneByOne(const std::filesystem::path& dir, const PairKeySet& keys,
                                 const std::vector<int32_t>& units,
                                 const std::vector<TechnicalTest>& tests, int threads) {
  const int32_t count = keys.CodeCount();
  std::vector<PriceSeries> series(count);
  std::vector<SeriesLoad> loads(count);
  for (int32_t i = 0; i < count; ++i) {
    loads[i] = LoadPriceSeries(dir / (keys.Codes()[i] + ".txt"), series[i]);
  }
  std::vector<std::vector<PassedPair>> byRow(count);
  std::atomic<int32_t> next{0};
  auto work = [&] {
    std::vector<MergedDay> rows;
    for (int32_t i = next++; i < count; i = next++) {
      for (int32_t j = i + 1; j < count; ++j) {
        if (!keys.IsKey(i, j)) continue;
        if (loads[i] == SeriesLoad::kMalformed || loads[j] == SeriesLoad::kMalformed) continue;
        MergePairSeries(series[i], series[j], rows);
        const UnitRatio ratio = ComputeUnitRatio(rows, units[i], units[j]);
        if (ratio.ratio == 0) continue;
        std::vector<double> values;
        if (!CheckTechnicals(rows, tests, values)) continue;
        byRow[i].push_back(
            {ratio.exchanged ? j : i, ratio.exchanged ? i : j, ratio.ratio, std::move(values)});
      }
    }
  };
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) pool.emplace_back(work);
  for (std::thread& thread : pool) thread.join();
  std::vector<PassedPair> all;
  for (std::vector<PassedPair>& row : byRow) {
    for (PassedPair& pair : row) all.push_back(std::move(pair));
  }
  return all;
}
