#include "screening/pair_screening.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <functional>
#include <limits>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "data/price_files.h"
#include "data/statistics.h"
#include "screening/correlation_bound.h"
#include "screening/ordered_hand_out.h"

namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
// The correlations of one vector build at a time.
constexpr size_t kLanes = kCorrelationLanes;
// The evaluating threads run ahead of the delivery by a few units at most.
constexpr size_t kRunAheadPerThread = 4;
constexpr size_t kRunAheadSpare = 4;
// How often the delivery polls the caller's stop while it waits for a unit.
constexpr std::chrono::milliseconds kStopPoll{20};

std::function<void(size_t unit)>& UnitHookSeam() {
  static std::function<void(size_t unit)> hook;
  return hook;
}

}  // namespace

namespace screening_testing {

void SetUnitHook(std::function<void(size_t unit)> hook) { UnitHookSeam() = std::move(hook); }

}  // namespace screening_testing

PairScreening::PairScreening(std::filesystem::path dataDir, const PairKeySet& keys,
                             std::vector<int32_t> units, std::vector<TechnicalTest> tests,
                             int threads, int32_t pairsPerUnit)
    : dataDir_(std::move(dataDir)),
      keys_(keys),
      units_(std::move(units)),
      tests_(std::move(tests)),
      threads_(std::max(threads, 1)),
      pairsPerUnit_(std::max(pairsPerUnit, 1)) {}

PairScreening::~PairScreening() = default;

std::vector<std::string> PairScreening::MalformedCodes() const {
  std::vector<std::string> codes;
  for (size_t i = 0; i < prices_.size(); ++i) {
    if (prices_[i].load == SeriesLoad::kMalformed) codes.push_back(keys_.Codes()[i]);
  }
  return codes;
}

// A code read from a data file that is no plain code names no file at all
// (the empty path reads as a missing file), never one outside the directory.
std::filesystem::path PairScreening::PriceFileOf(int32_t code) const {
  return PriceFilePath(dataDir_, keys_.Codes()[code]).value_or(std::filesystem::path());
}

namespace {

// Calls work(i) for every i below count on `threads` threads, the calling one
// among them, which polls `stop` between items and leaves the rest once it
// returns true. A failure (out of memory) on any thread stops the others and
// is thrown from here, like a failure of the evaluation, instead of ending the
// program. True when every item was done.
template <typename Work>
bool ForEachOnThreads(int threads, int32_t count, const std::function<bool()>& stop, Work&& work) {
  std::atomic<int32_t> next{0};
  std::atomic<bool> stopping{false};
  std::mutex errorMutex;
  std::exception_ptr error;
  auto keepError = [&] {
    const std::lock_guard lock(errorMutex);
    if (!error) error = std::current_exception();
    stopping = true;
  };
  auto helper = [&] {
    try {
      for (int32_t i = next++; i < count && !stopping; i = next++) work(i);
    } catch (...) {
      keepError();
    }
  };
  std::vector<std::thread> helpers;
  try {
    for (int t = 1; t < threads && t < count; ++t) helpers.emplace_back(helper);
    for (int32_t i = next++; i < count && !stopping; i = next++) {
      if (stop()) {
        stopping = true;
        break;
      }
      work(i);
    }
  } catch (...) {
    keepError();
  }
  for (std::thread& thread : helpers) thread.join();
  if (error) std::rethrow_exception(error);
  return !stopping;
}

}  // namespace

void PairScreening::LoadPrices(const std::function<bool()>& stop) {
  const int32_t count = keys_.CodeCount();
  prices_.assign(count, CodePrices{});
  ForEachOnThreads(threads_, count, stop,
                   [&](int32_t i) { prices_[i] = ReadCodePrices(PriceFileOf(i)); });

  // On the calling thread: placed on several, the codes' new arrays spread
  // over the threads' heaps and the peak of memory rises by some 30 MB (of
  // 3,800 codes) for a few hundredths of a second.
  calendar_ = CalendarOf(prices_);
  for (int32_t i = 0; i < count; ++i) {
    CodePrices& prices = prices_[i];
    PlaceOnCalendar(prices, calendar_);
    // Most pairs have the newest days of both codes: the mean of their
    // first side is this.
    const int32_t days = std::min(static_cast<int32_t>(prices.closes.size()), kPairSeriesMaxDays);
    if (prices.onCalendar && prices.top == 0 && units_[i] >= 1 &&
        prices.LargestBefore(days) <= kInt32Max / units_[i]) {
      prices.meanDays = days;
      prices.meanMoney = MeanRoundedOfWholeSum(prices.SumBefore(days) * units_[i], days);
    }
  }
  // Then a pair is a walk over the calendar and the dates as read are not
  // needed but in a case the walk cannot take, read again from the files.
  // They go before the blocks are built, so that the two never take memory
  // at the same time.
  seriesDropped_ = std::all_of(prices_.begin(), prices_.end(), [](const CodePrices& prices) {
    return prices.onCalendar || prices.series.Size() == 0;
  });
  if (seriesDropped_) {
    for (CodePrices& prices : prices_) prices.series = PriceSeries{};
  }
  SetAsideFailingPairs(stop);
  // Built on the threads that read the files, the blocks take the room
  // their series left in those threads' heaps. They take a few hundredths of
  // a second and are never left half built, so no stop is polled here.
  closeBlocks_.assign((count + kLanes - 1) / kLanes, {});
  ForEachOnThreads(
      threads_, static_cast<int32_t>(closeBlocks_.size()), [] { return false; },
      [&](int32_t block) { PlaceInBlock(block); });
}

void PairScreening::SetAsideFailingPairs(const std::function<bool()>& stop) {
  bound_.reset();
  if (tests_.empty() || tests_[0].kind != TechnicalKind::Correlation || !tests_[0].boundsValid) {
    return;
  }
  // A pair of two codes that have the calendar's newest day and pass over
  // none has the days of the shorter one, up to the most a pair takes.
  std::map<int32_t, int32_t> pairsOfDays;
  for (const CodePrices& prices : prices_) {
    if (prices.onCalendar && prices.top == 0) {
      ++pairsOfDays[std::min(prices.bottom + 1, kPairSeriesMaxDays)];
    }
  }
  if (pairsOfDays.empty()) return;
  const int32_t days = std::max_element(pairsOfDays.begin(), pairsOfDays.end(), [](auto a, auto b) {
                         return a.second < b.second;
                       })->first;
  const std::optional<TechnicalWindow> window = WindowOf(tests_[0], days);
  if (!window) return;
  const int32_t from = window->from;
  const int32_t n = window->days;
  std::vector<const int32_t*> closes(prices_.size(), nullptr);
  for (size_t i = 0; i < prices_.size(); ++i) {
    const CodePrices& prices = prices_[i];
    if (prices.onCalendar && static_cast<int32_t>(prices.closes.size()) >= from + n) {
      closes[i] = prices.closes.data() + from;
    }
  }
  auto bound = std::make_unique<CorrelationBound>(std::move(closes), n);
  const TechnicalTest& test = tests_[0];
  const bool done = ForEachOnThreads(threads_, bound->BlockCount(), stop,
                                     [&](int32_t block) { bound->NormaliseBlock(block); }) &&
                    ForEachOnThreads(threads_, bound->BlockCount(), stop, [&](int32_t block) {
                      bound->SetAsideRowsOf(block, test.lowest, test.highest, vectorPath_);
                    });
  // Cut short, it sets nothing aside.
  if (!done) return;
  bound->ReleaseCloses();
  bound_ = std::move(bound);
  boundFrom_ = from;
  boundDays_ = n;
}

void PairScreening::PlaceInBlock(int32_t index) {
  const auto count = static_cast<int32_t>(prices_.size());
  const int32_t first = index * static_cast<int32_t>(kLanes);
  const int32_t last = std::min<int32_t>(first + kLanes, count);
  size_t days = 0;
  for (int32_t i = first; i < last; ++i) days = std::max(days, prices_[i].closes.size());
  std::vector<double>& block = closeBlocks_[index];
  block.assign(days * kLanes, 0.0);
  for (int32_t i = first; i < last; ++i) {
    const std::vector<int32_t>& closes = prices_[i].closes;
    for (size_t c = 0; c < closes.size(); ++c) block[c * kLanes + (i - first)] = closes[c];
  }
}

void PairScreening::PlanUnits() {
  pieces_.clear();
  work_.clear();
  const int32_t count = keys_.CodeCount();
  int64_t pairs = 0;
  for (int32_t i = 0; i < count; ++i) {
    if (keys_.KeysOfRow(i) == 0) continue;
    for (int32_t j = i + 1, end = 0; j < count; j = end) {
      end = static_cast<int32_t>(std::min<int64_t>(int64_t{j} + pairsPerUnit_, count));
      if (work_.empty() || pairs >= pairsPerUnit_) {
        work_.push_back({pieces_.size(), pieces_.size()});
        pairs = 0;
      }
      pieces_.push_back({i, j, end});
      work_.back().end = pieces_.size();
      pairs += keys_.KeysOfRowBetween(i, j, end);
    }
  }
}

PairScreening::End PairScreening::Run(const std::function<bool()>& stop, PairScreeningSink& sink) {
  // Taken once, before any evaluation thread starts.
  const std::function<void(size_t unit)> unitHook = UnitHookSeam();
  lastValues_.assign(tests_.size(), std::nullopt);
  LoadPrices(stop);
  if (stop()) return End::kStopped;
  PlanUnits();

  std::vector<UnitResult> results(work_.size());
  int64_t firstKey = 0;
  for (size_t u = 0; u < work_.size(); ++u) {
    results[u].firstKey = firstKey;
    for (size_t p = work_[u].first; p < work_[u].end; ++p) {
      firstKey += keys_.KeysOfRowBetween(pieces_[p].row, pieces_[p].jBegin, pieces_[p].jEnd);
    }
  }

  OrderedHandOut handOut(work_.size(),
                         static_cast<size_t>(threads_) * kRunAheadPerThread + kRunAheadSpare);
  std::vector<std::thread> threads;
  auto finish = [&] {
    handOut.Stop();
    for (std::thread& thread : threads) thread.join();
  };

  End end = End::kCompleted;
  try {
    for (int t = 0; t < threads_; ++t) {
      threads.emplace_back([&] { EvaluateUnits(handOut, results, unitHook); });
    }
    end = Deliver(handOut, results, stop, sink);
  } catch (...) {
    finish();
    throw;
  }
  finish();
  if (handOut.Error()) std::rethrow_exception(handOut.Error());
  return end;
}

PairScreening::End PairScreening::Deliver(OrderedHandOut& handOut, std::vector<UnitResult>& results,
                                          const std::function<bool()>& stop,
                                          PairScreeningSink& sink) {
  for (size_t u = 0; u < results.size(); ++u) {
    while (!handOut.WaitDone(u, kStopPoll)) {
      if (handOut.Error() != nullptr || stop()) return End::kStopped;
    }
    UnitResult& result = results[u];
    for (size_t k = 0; k < result.lastValues.size(); ++k) {
      if (result.lastValues[k]) lastValues_[k] = result.lastValues[k];
    }
    if (result.lastKey >= 0)
      sink.Evaluated(result.passed, result.lastValues, result.lastKey, result.sell, result.buy);
    result = UnitResult{};
    handOut.Delivered(u);
    if (stop()) return End::kStopped;
  }
  return End::kCompleted;
}
