#include "pair_screening.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

#include "statistics.h"

namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
// Codes j of one row handed to a thread at a time.
constexpr int32_t kCodesPerUnit = 1024;

}  // namespace

CodePrices ReadCodePrices(const std::filesystem::path& file) {
  CodePrices prices;
  prices.load = LoadPriceSeries(file, prices.series);
  const std::vector<int32_t>& closes = prices.series.closes;
  const int32_t used = std::min(prices.series.Size(), kPairSeriesMaxDays);
  prices.closeSums.assign(used + 1, 0);
  prices.largestClose.assign(used + 1, 0);
  for (int32_t k = 0; k < used; ++k) {
    prices.closeSums[k + 1] = prices.closeSums[k] + closes[k];
    prices.largestClose[k + 1] = std::max(prices.largestClose[k], closes[k]);
  }
  while (prices.positiveDays < prices.series.Size() && closes[prices.positiveDays] > 0) {
    ++prices.positiveDays;
  }
  return prices;
}

struct PairScreening::Scratch {
  std::vector<PairRow> rows;
  std::vector<int32_t> a;
  std::vector<int32_t> b;
  std::vector<double> differences;
  std::vector<double> values;
};

struct PairScreening::UnitResult {
  std::vector<PassedPair> passed;
  int64_t lastKey = -1;
  int32_t sell = 0;
  int32_t buy = 0;
  std::vector<std::optional<double>> lastValues;
  int64_t firstKey = 0;
  bool done = false;
};

PairScreening::PairScreening(std::filesystem::path dataDir, const PairKeySet& keys,
                             std::vector<int32_t> units, std::vector<TechnicalTest> tests,
                             int threads)
    : dataDir_(std::move(dataDir)),
      keys_(keys),
      units_(std::move(units)),
      tests_(std::move(tests)),
      threads_(std::max(threads, 1)) {}

std::vector<std::string> PairScreening::MalformedCodes() const {
  std::vector<std::string> codes;
  for (size_t i = 0; i < prices_.size(); ++i) {
    if (prices_[i].load == SeriesLoad::kMalformed) codes.push_back(keys_.Codes()[i]);
  }
  return codes;
}

void PairScreening::LoadPrices(const std::function<bool()>& stop) {
  const int32_t count = keys_.CodeCount();
  prices_.assign(count, CodePrices{});
  std::atomic<int32_t> next{0};
  std::atomic<bool> stopping{false};
  auto load = [&] {
    for (int32_t i = next++; i < count && !stopping; i = next++) {
      prices_[i] = ReadCodePrices(dataDir_ / (keys_.Codes()[i] + ".txt"));
    }
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads_; ++t) helpers.emplace_back(load);
  // The calling thread loads too, and looks at the request between files.
  for (int32_t i = next++; i < count; i = next++) {
    if (stop()) {
      stopping = true;
      break;
    }
    prices_[i] = ReadCodePrices(dataDir_ / (keys_.Codes()[i] + ".txt"));
  }
  for (std::thread& helper : helpers) helper.join();
}

void PairScreening::PlanUnits() {
  work_.clear();
  const int32_t count = keys_.CodeCount();
  for (int32_t i = 0; i < count; ++i) {
    if (keys_.KeysOfRow(i) == 0) continue;
    for (int32_t j = i + 1; j < count; j += kCodesPerUnit) {
      work_.push_back({i, j, std::min(j + kCodesPerUnit, count)});
    }
  }
}

// The merged series of two codes is the newest days of both, side by side,
// when their dates agree day by day as far as the shorter file goes and every
// close there is above 0: nothing is then filled or dropped but the days of
// the longer file that the shorter one lacks.
bool PairScreening::FastPath(int32_t i, int32_t j, int32_t& days) const {
  const CodePrices& p1 = prices_[i];
  const CodePrices& p2 = prices_[j];
  const int32_t common = std::min(p1.series.Size(), p2.series.Size());
  if (p1.positiveDays < common || p2.positiveDays < common) return false;
  if (common > 0 && std::memcmp(p1.series.dates.data(), p2.series.dates.data(),
                                sizeof(int32_t) * static_cast<size_t>(common)) != 0) {
    return false;
  }
  days = std::min(common, kPairSeriesMaxDays);
  return true;
}

std::optional<PassedPair> PairScreening::EvaluatePair(int32_t i, int32_t j, Scratch& scratch,
                                                      int32_t& sell, int32_t& buy) const {
  sell = i;
  buy = j;
  scratch.values.clear();
  const CodePrices& p1 = prices_[i];
  const CodePrices& p2 = prices_[j];
  if (p1.load == SeriesLoad::kMalformed || p2.load == SeriesLoad::kMalformed) return std::nullopt;
  const int32_t unit1 = units_[i];
  const int32_t unit2 = units_[j];
  if (unit1 < 1 || unit2 < 1) return std::nullopt;

  int32_t days = 0;
  if (!FastPath(i, j, days)) {
    MergePairSeries(p1.series, p2.series, scratch.rows);
    const UnitRatio ratio = ComputeUnitRatio(scratch.rows, unit1, unit2);
    if (ratio.ratio == 0) return std::nullopt;
    if (ratio.exchanged) std::swap(sell, buy);
    if (!CheckTechnicals(scratch.rows, tests_, scratch.values)) return std::nullopt;
    return PassedPair{sell, buy, ratio.ratio, scratch.values};
  }

  // The same numbers as the merged rows would give, from the running sums.
  if (static_cast<int64_t>(p1.largestClose[days]) * unit1 > kInt32Max ||
      static_cast<int64_t>(p2.largestClose[days]) * unit2 > kInt32Max) {
    return std::nullopt;
  }
  PairMoney money;
  money.days = days;
  money.sum1 = p1.closeSums[days] * unit1;
  money.sum2 = p2.closeSums[days] * unit2;
  money.max1 = static_cast<int64_t>(p1.largestClose[days]) * unit1;
  money.max2 = static_cast<int64_t>(p2.largestClose[days]) * unit2;
  const UnitRatio ratio = FindUnitRatio(money);
  if (ratio.ratio == 0) return std::nullopt;
  const int64_t scale1 = static_cast<int64_t>(unit1) * (ratio.side == 1 ? ratio.multiplier : 1);
  const int64_t scale2 = static_cast<int64_t>(unit2) * (ratio.side == 2 ? ratio.multiplier : 1);
  if (ratio.exchanged) std::swap(sell, buy);
  const CodePrices& sellPrices = ratio.exchanged ? p2 : p1;
  const CodePrices& buyPrices = ratio.exchanged ? p1 : p2;
  const int64_t sellScale = ratio.exchanged ? scale2 : scale1;
  const int64_t buyScale = ratio.exchanged ? scale1 : scale2;

  for (const TechnicalTest& test : tests_) {
    const std::optional<TechnicalWindow> window = WindowOf(test, days);
    if (!window || !test.boundsValid) return std::nullopt;
    const int32_t n = window->days;
    const int32_t from = window->from;
    scratch.a.resize(n);
    scratch.b.resize(n);
    const int32_t* sellCloses = sellPrices.series.closes.data() + from;
    const int32_t* buyCloses = buyPrices.series.closes.data() + from;
    for (int32_t k = 0; k < n; ++k) {
      scratch.a[k] = static_cast<int32_t>(sellCloses[k] * sellScale);
      scratch.b[k] = static_cast<int32_t>(buyCloses[k] * buyScale);
    }
    double value = 0.0;
    if (test.kind == TechnicalKind::kCorrelation) {
      // Correlation's own sums of whole numbers below 2^53 are exact.
      const int64_t sumA =
          (sellPrices.closeSums[from + n] - sellPrices.closeSums[from]) * sellScale;
      const int64_t sumB = (buyPrices.closeSums[from + n] - buyPrices.closeSums[from]) * buyScale;
      value = CorrelationAroundMeans(scratch.a.data(), scratch.b.data(), n,
                                     static_cast<double>(sumA) / n, static_cast<double>(sumB) / n);
    } else {
      scratch.differences.resize(n);
      value = TechnicalValue(test.kind, scratch.a.data(), scratch.b.data(), n,
                             scratch.differences.data());
    }
    if (!WithinRange(test, value)) return std::nullopt;
    scratch.values.push_back(value);
  }
  return PassedPair{sell, buy, ratio.ratio, scratch.values};
}

void PairScreening::Evaluate(const WorkUnit& unit, Scratch& scratch, UnitResult& result,
                             const std::atomic<bool>& stopping) const {
  result.lastValues.assign(tests_.size(), std::nullopt);
  int64_t key = result.firstKey;
  for (int32_t j = unit.jBegin; j < unit.jEnd; ++j) {
    if (!keys_.IsKey(unit.row, j)) continue;
    if (stopping.load(std::memory_order_relaxed)) return;
    int32_t sell = 0;
    int32_t buy = 0;
    std::optional<PassedPair> passed = EvaluatePair(unit.row, j, scratch, sell, buy);
    for (size_t k = 0; k < scratch.values.size(); ++k) result.lastValues[k] = scratch.values[k];
    if (passed) result.passed.push_back(std::move(*passed));
    result.lastKey = key++;
    result.sell = sell;
    result.buy = buy;
  }
}

PairScreening::End PairScreening::Run(const std::function<bool()>& stop, PairScreeningSink& sink) {
  lastValues_.assign(tests_.size(), std::nullopt);
  LoadPrices(stop);
  if (stop()) return End::kStopped;
  PlanUnits();

  std::vector<UnitResult> results(work_.size());
  int64_t firstKey = 0;
  for (size_t u = 0; u < work_.size(); ++u) {
    results[u].firstKey = firstKey;
    for (int32_t j = work_[u].jBegin; j < work_[u].jEnd; ++j) {
      if (keys_.IsKey(work_[u].row, j)) ++firstKey;
    }
  }

  std::mutex mutex;
  std::condition_variable workReady;
  std::condition_variable unitDone;
  size_t next = 0;
  size_t delivered = 0;
  std::atomic<bool> stopping{false};
  std::exception_ptr error;
  // Threads run ahead of the delivery by a few units at most.
  const size_t ahead = static_cast<size_t>(threads_) * 4 + 4;

  auto evaluate = [&] {
    Scratch scratch;
    for (;;) {
      size_t u = 0;
      {
        std::unique_lock lock(mutex);
        workReady.wait(lock, [&] {
          return stopping || error || next >= work_.size() || next < delivered + ahead;
        });
        if (stopping || error || next >= work_.size()) return;
        u = next++;
      }
      try {
        Evaluate(work_[u], scratch, results[u], stopping);
      } catch (...) {
        std::lock_guard lock(mutex);
        if (!error) error = std::current_exception();
        unitDone.notify_all();
        workReady.notify_all();
        return;
      }
      {
        std::lock_guard lock(mutex);
        results[u].done = true;
      }
      unitDone.notify_all();
    }
  };

  std::vector<std::thread> threads;
  auto finish = [&] {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    workReady.notify_all();
    for (std::thread& thread : threads) thread.join();
    threads.clear();
  };

  End end = End::kCompleted;
  try {
    for (int t = 0; t < threads_; ++t) threads.emplace_back(evaluate);
    for (size_t u = 0; u < work_.size() && end == End::kCompleted; ++u) {
      bool ready = false;
      while (!ready) {
        {
          std::unique_lock lock(mutex);
          unitDone.wait_for(lock, std::chrono::milliseconds(20),
                            [&] { return results[u].done || error != nullptr; });
          if (error) break;
          ready = results[u].done;
        }
        if (!ready && stop()) break;
      }
      if (!ready) {
        end = End::kStopped;
        break;
      }
      UnitResult& result = results[u];
      for (size_t k = 0; k < result.lastValues.size(); ++k) {
        if (result.lastValues[k]) lastValues_[k] = result.lastValues[k];
      }
      if (result.lastKey >= 0)
        sink.Evaluated(result.passed, result.lastKey, result.sell, result.buy);
      result = UnitResult{};
      {
        std::lock_guard lock(mutex);
        delivered = u + 1;
      }
      workReady.notify_all();
      if (stop()) end = End::kStopped;
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  if (error) std::rethrow_exception(error);
  return end;
}
