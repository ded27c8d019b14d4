#include "pair_screening.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <limits>
#include <map>
#include <mutex>
#include <thread>

#include "price_files.h"
#include "statistics.h"

namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
// Codes j of one row handed to a thread at a time.
constexpr int32_t kCodesPerUnit = 1024;

// A code read from a data file that is no plain code names no file at all
// (the empty path reads as a missing file), never one outside the directory.
std::filesystem::path PriceFileOf(const std::filesystem::path& dataDir, const std::string& code) {
  return PriceFilePath(dataDir, code).value_or(std::filesystem::path());
}

}  // namespace

CodePrices ReadCodePrices(const std::filesystem::path& file) {
  CodePrices prices;
  prices.load = LoadPriceSeries(file, prices.series);
  const std::vector<int32_t>& closes = prices.series.closes;
  const int32_t used = std::min(prices.series.Size(), kPairSeriesMaxDays);
  prices.closeValues.assign(used, 0.0);
  prices.closeSums.assign(used + 1, 0);
  prices.largestClose.assign(used + 1, 0);
  for (int32_t k = 0; k < used; ++k) {
    prices.closeValues[k] = closes[k];
    prices.closeSums[k + 1] = prices.closeSums[k] + closes[k];
    prices.largestClose[k + 1] = std::max(prices.largestClose[k], closes[k]);
  }
  while (prices.positiveDays < prices.series.Size() && closes[prices.positiveDays] > 0) {
    ++prices.positiveDays;
  }
  return prices;
}

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
  // A failure (out of memory) on any thread stops the others and is thrown
  // from here, like a failure of the evaluation, instead of ending the program.
  std::mutex errorMutex;
  std::exception_ptr error;
  auto keepError = [&] {
    const std::lock_guard lock(errorMutex);
    if (!error) error = std::current_exception();
    stopping = true;
  };
  auto load = [&] {
    try {
      for (int32_t i = next++; i < count && !stopping; i = next++) {
        prices_[i] = ReadCodePrices(PriceFileOf(dataDir_, keys_.Codes()[i]));
      }
    } catch (...) {
      keepError();
    }
  };
  std::vector<std::thread> helpers;
  try {
    for (int t = 1; t < threads_; ++t) helpers.emplace_back(load);
    // The calling thread loads too, and looks at the request between files.
    for (int32_t i = next++; i < count && !stopping; i = next++) {
      if (stop()) {
        stopping = true;
        break;
      }
      prices_[i] = ReadCodePrices(PriceFileOf(dataDir_, keys_.Codes()[i]));
    }
  } catch (...) {
    keepError();
  }
  for (std::thread& helper : helpers) helper.join();
  if (error) std::rethrow_exception(error);

  // Most codes trade on the same days: one comparison of their dates per
  // code here spares one per pair.
  std::map<std::vector<int32_t>, int32_t> groups;
  for (size_t i = 0; i < prices_.size(); ++i) {
    CodePrices& prices = prices_[i];
    const auto days = static_cast<int32_t>(prices.closeSums.size()) - 1;
    if (days > 0 && prices.positiveDays >= days && units_[i] >= 1 &&
        prices.largestClose[days] <= kInt32Max / units_[i]) {
      prices.meanMoney =
          MeanRoundedOfSum(static_cast<long double>(prices.closeSums[days] * units_[i]), days);
    }
    const auto [at, added] =
        groups.try_emplace(prices.series.dates, static_cast<int32_t>(groups.size()));
    prices.dateGroup = at->second;
  }
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
  if (common > 0 && p1.dateGroup != p2.dateGroup &&
      std::memcmp(p1.series.dates.data(), p2.series.dates.data(),
                  sizeof(int32_t) * static_cast<size_t>(common)) != 0) {
    return false;
  }
  days = std::min(common, kPairSeriesMaxDays);
  return true;
}

// A pair on the fast path, balanced, before its tests.
struct PairScreening::Balanced {
  const CodePrices* sellPrices = nullptr;
  const CodePrices* buyPrices = nullptr;
  int32_t sellScale = 1;
  int32_t buyScale = 1;
  int32_t days = 0;
  int32_t ratio = 0;
  int32_t sell = 0;
  int32_t buy = 0;
};

// A correlation test over a balanced pair: side a and side b (either way
// round; the coefficient does not depend on the order), their scales, the
// days and the two means as Correlation takes them.
struct PairScreening::Correlating {
  const CodePrices* a = nullptr;
  const CodePrices* b = nullptr;
  int32_t scaleA = 1;
  int32_t scaleB = 1;
  int32_t from = 0;
  int32_t days = 0;
  double meanA = 0.0;
  double meanB = 0.0;
};

// A pair in the order of its key, evaluated or waiting for its first
// correlation to be computed with three others.
struct PairScreening::Queued {
  int32_t sell = 0;
  int32_t buy = 0;
  bool waiting = false;
  Balanced balanced;
  Correlating first;  // the first test, the row's code as its side a
  double firstValue = 0.0;
  std::optional<PassedPair> passed;
  std::vector<double> values;
};

struct PairScreening::Scratch {
  std::vector<MergedDay> rows;
  std::vector<int32_t> a;
  std::vector<int32_t> b;
  std::vector<double> differences;
  std::vector<double> values;
  std::vector<Queued> queue;
};

bool PairScreening::Usable(int32_t i, int32_t j) const {
  return prices_[i].load != SeriesLoad::kMalformed && prices_[j].load != SeriesLoad::kMalformed &&
         units_[i] >= 1 && units_[j] >= 1;
}

// The same numbers as the merged rows would give, from the running sums.
bool PairScreening::Balance(int32_t i, int32_t j, int32_t days, Balanced& pair) const {
  const CodePrices& p1 = prices_[i];
  const CodePrices& p2 = prices_[j];
  const int32_t unit1 = units_[i];
  const int32_t unit2 = units_[j];
  pair.sell = i;
  pair.buy = j;
  if (static_cast<int64_t>(p1.largestClose[days]) * unit1 > kInt32Max ||
      static_cast<int64_t>(p2.largestClose[days]) * unit2 > kInt32Max) {
    return false;
  }
  PairMoney money;
  money.days = days;
  money.sum1 = p1.closeSums[days] * unit1;
  money.sum2 = p2.closeSums[days] * unit2;
  money.max1 = static_cast<int64_t>(p1.largestClose[days]) * unit1;
  money.max2 = static_cast<int64_t>(p2.largestClose[days]) * unit2;
  if (days == static_cast<int32_t>(p1.closeSums.size()) - 1) money.mean1 = p1.meanMoney;
  if (days == static_cast<int32_t>(p2.closeSums.size()) - 1) money.mean2 = p2.meanMoney;
  const UnitRatio ratio = FindUnitRatio(money);
  if (ratio.ratio == 0) return false;
  // Every scaled close fits in 32 bits, so the scales do too.
  const auto scale1 = static_cast<int32_t>(unit1 * (ratio.side == 1 ? ratio.multiplier : 1));
  const auto scale2 = static_cast<int32_t>(unit2 * (ratio.side == 2 ? ratio.multiplier : 1));
  if (ratio.exchanged) std::swap(pair.sell, pair.buy);
  pair.sellPrices = ratio.exchanged ? &p2 : &p1;
  pair.buyPrices = ratio.exchanged ? &p1 : &p2;
  pair.sellScale = ratio.exchanged ? scale2 : scale1;
  pair.buyScale = ratio.exchanged ? scale1 : scale2;
  pair.days = days;
  pair.ratio = ratio.ratio;
  return true;
}

// A correlation test over the balanced pair with `side` (its sell or its buy
// code) as side a; false when the period does not fit its days (the pair
// fails).
bool PairScreening::CorrelatingOf(const Balanced& pair, const TechnicalTest& test, int32_t side,
                                  Correlating& job) const {
  const std::optional<TechnicalWindow> window = WindowOf(test, pair.days);
  if (!window || !test.boundsValid) return false;
  const bool sellIsA = side == pair.sell;
  job.a = sellIsA ? pair.sellPrices : pair.buyPrices;
  job.b = sellIsA ? pair.buyPrices : pair.sellPrices;
  job.scaleA = sellIsA ? pair.sellScale : pair.buyScale;
  job.scaleB = sellIsA ? pair.buyScale : pair.sellScale;
  job.from = window->from;
  job.days = window->days;
  // Correlation's own sums of whole numbers below 2^53 are exact.
  const int32_t to = job.from + job.days;
  const int64_t sumA = (job.a->closeSums[to] - job.a->closeSums[job.from]) * job.scaleA;
  const int64_t sumB = (job.b->closeSums[to] - job.b->closeSums[job.from]) * job.scaleB;
  job.meanA = static_cast<double>(sumA) / job.days;
  job.meanB = static_cast<double>(sumB) / job.days;
  return true;
}

std::optional<PassedPair> PairScreening::TestBalanced(const Balanced& pair, size_t firstTest,
                                                      Scratch& scratch) const {
  for (size_t t = firstTest; t < tests_.size(); ++t) {
    const TechnicalTest& test = tests_[t];
    double value = 0.0;
    if (test.kind == TechnicalKind::kCorrelation) {
      Correlating job;
      if (!CorrelatingOf(pair, test, pair.sell, job)) return std::nullopt;
      value = CorrelationAroundMeans(job.a->series.closes.data() + job.from, job.scaleA,
                                     job.b->series.closes.data() + job.from, job.scaleB, job.days,
                                     job.meanA, job.meanB);
    } else {
      const std::optional<TechnicalWindow> window = WindowOf(test, pair.days);
      if (!window || !test.boundsValid) return std::nullopt;
      const int32_t n = window->days;
      const int32_t* sellCloses = pair.sellPrices->series.closes.data() + window->from;
      const int32_t* buyCloses = pair.buyPrices->series.closes.data() + window->from;
      scratch.a.resize(n);
      scratch.b.resize(n);
      scratch.differences.resize(n);
      for (int32_t k = 0; k < n; ++k) {
        scratch.a[k] = sellCloses[k] * pair.sellScale;
        scratch.b[k] = buyCloses[k] * pair.buyScale;
      }
      value = TechnicalValue(test.kind, scratch.a.data(), scratch.b.data(), n,
                             scratch.differences.data());
    }
    if (!WithinRange(test, value)) return std::nullopt;
    scratch.values.push_back(value);
  }
  return PassedPair{pair.sell, pair.buy, pair.ratio, scratch.values};
}

std::optional<PassedPair> PairScreening::EvaluatePair(int32_t i, int32_t j, Scratch& scratch,
                                                      int32_t& sell, int32_t& buy) const {
  sell = i;
  buy = j;
  scratch.values.clear();
  if (!Usable(i, j)) return std::nullopt;
  int32_t days = 0;
  if (!FastPath(i, j, days)) {
    MergePairSeries(prices_[i].series, prices_[j].series, scratch.rows);
    const UnitRatio ratio = ComputeUnitRatio(scratch.rows, units_[i], units_[j]);
    if (ratio.ratio == 0) return std::nullopt;
    if (ratio.exchanged) std::swap(sell, buy);
    if (!CheckTechnicals(scratch.rows, tests_, scratch.values)) return std::nullopt;
    return PassedPair{sell, buy, ratio.ratio, scratch.values};
  }
  Balanced pair;
  const bool balanced = Balance(i, j, days, pair);
  sell = pair.sell;
  buy = pair.buy;
  if (!balanced) return std::nullopt;
  return TestBalanced(pair, 0, scratch);
}

// The first test of most pairs is a correlation over the same days: four of
// them at a time run side by side (CorrelationsOfOneAgainstFour), the rest of
// each pair's tests after, in key order.
void PairScreening::Evaluate(const WorkUnit& unit, Scratch& scratch, UnitResult& result,
                             const std::atomic<bool>& stopping) const {
  result.lastValues.assign(tests_.size(), std::nullopt);
  const bool batch = !tests_.empty() && tests_[0].kind == TechnicalKind::kCorrelation;
  std::vector<Queued>& queue = scratch.queue;
  queue.clear();
  int waiting = 0;
  int64_t key = result.firstKey;

  auto settle = [&] {
    // The waiting tests, four of the same days at a time (a short group
    // repeats its first lane); side a is the row's code in every one.
    std::vector<size_t> open;
    for (size_t q = 0; q < queue.size(); ++q) {
      if (queue[q].waiting) open.push_back(q);
    }
    for (size_t k = 0; k < open.size();) {
      const Correlating& lead = queue[open[k]].first;
      size_t lanes = 1;
      while (lanes < 4 && k + lanes < open.size() &&
             queue[open[k + lanes]].first.days == lead.days &&
             queue[open[k + lanes]].first.a == lead.a &&
             queue[open[k + lanes]].first.from == lead.from) {
        ++lanes;
      }
      CorrelationJob jobs[4];
      for (size_t l = 0; l < 4; ++l) {
        const Correlating& c = queue[open[k + (l < lanes ? l : 0)]].first;
        jobs[l] = {c.b->closeValues.data() + c.from, static_cast<double>(c.scaleA),
                   static_cast<double>(c.scaleB), c.meanA, c.meanB};
      }
      double values[4];
      CorrelationsOfOneAgainstFour(lead.a->closeValues.data() + lead.from, jobs, lead.days, values);
      for (size_t l = 0; l < lanes; ++l) queue[open[k + l]].firstValue = values[l];
      k += lanes;
    }
    for (Queued& q : queue) {
      if (q.waiting) {
        scratch.values.clear();
        if (WithinRange(tests_[0], q.firstValue)) {
          scratch.values.push_back(q.firstValue);
          q.passed = TestBalanced(q.balanced, 1, scratch);
        }
        q.values = scratch.values;
      }
      for (size_t t = 0; t < q.values.size(); ++t) result.lastValues[t] = q.values[t];
      if (q.passed) result.passed.push_back(std::move(*q.passed));
      result.lastKey = key++;
      result.sell = q.sell;
      result.buy = q.buy;
    }
    queue.clear();
    waiting = 0;
  };

  for (int32_t j = unit.jBegin; j < unit.jEnd; ++j) {
    if (!keys_.IsKey(unit.row, j)) continue;
    if (stopping.load(std::memory_order_relaxed)) return;
    Queued& q = queue.emplace_back();
    int32_t days = 0;
    if (batch && Usable(unit.row, j) && FastPath(unit.row, j, days)) {
      const bool balanced = Balance(unit.row, j, days, q.balanced);
      q.sell = q.balanced.sell;
      q.buy = q.balanced.buy;
      if (balanced && CorrelatingOf(q.balanced, tests_[0], unit.row, q.first)) {
        q.waiting = true;
        ++waiting;
      }
    } else {
      q.passed = EvaluatePair(unit.row, j, scratch, q.sell, q.buy);
      q.values = scratch.values;
    }
    if (waiting == 4 || queue.size() >= 16) settle();
  }
  settle();
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
