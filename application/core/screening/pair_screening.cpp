#include "screening/pair_screening.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <thread>

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

// A code read from a data file that is no plain code names no file at all
// (the empty path reads as a missing file), never one outside the directory.
std::filesystem::path PriceFileOf(const std::filesystem::path& dataDir, const std::string& code) {
  return PriceFilePath(dataDir, code).value_or(std::filesystem::path());
}

}  // namespace

CodePrices ReadCodePrices(const std::filesystem::path& file) {
  CodePrices prices;
  prices.load = LoadPriceSeries(file, prices.series);
  return prices;
}

namespace {

// A code whose merge with another is a walk over the calendar: its dates
// strictly decrease (the merge then takes the union of both codes' dates) and
// every close is above 0 (nothing of its own is filled, and the days dropped
// are exactly those before the later of the two first days).
bool CalendarShaped(const CodePrices& prices) {
  const PriceSeries& series = prices.series;
  if (prices.load != SeriesLoad::kLoaded || series.Size() == 0) return false;
  for (int32_t k = 0; k < series.Size(); ++k) {
    if (series.closes[k] <= 0) return false;
    if (k > 0 && series.dates[k] >= series.dates[k - 1]) return false;
  }
  return true;
}

// The days a code may lack and stay on the calendar: the check of a pair
// walks both lists.
constexpr size_t kMostGaps = 64;

}  // namespace

std::vector<int32_t> CalendarOf(const std::vector<CodePrices>& prices) {
  std::vector<int32_t> calendar;
  for (const CodePrices& code : prices) {
    if (!CalendarShaped(code)) continue;
    // Most codes share the calendar's days: merge only the new ones in.
    std::vector<int32_t> merged;
    merged.reserve(calendar.size() + 16);
    std::set_union(calendar.begin(), calendar.end(), code.series.dates.begin(),
                   code.series.dates.end(), std::back_inserter(merged), std::greater<int32_t>());
    if (merged.size() != calendar.size()) calendar = std::move(merged);
  }
  return calendar;
}

void PlaceOnCalendar(CodePrices& prices, const std::vector<int32_t>& calendar) {
  if (!CalendarShaped(prices)) return;
  const std::vector<int32_t>& dates = prices.series.dates;
  const auto top = static_cast<int32_t>(
      std::lower_bound(calendar.begin(), calendar.end(), dates[0], std::greater<int32_t>()) -
      calendar.begin());
  // A pair's days start at the newer of its two newest days; a code that
  // ended long before the others is left to the merge.
  if (top >= static_cast<int32_t>(calendar.size()) || calendar[top] != dates[0] ||
      top > kPairSeriesMaxDays) {
    return;
  }
  const int32_t size = prices.series.Size();
  std::vector<int32_t> gaps;
  std::vector<int32_t> closes(top, prices.series.closes[0]);
  int32_t c = top;
  int32_t bottom = top;
  // A pair's days may pass over days that both codes lack, at most the gaps
  // of both.
  const int32_t stored = top + kPairSeriesMaxDays + 2 * static_cast<int32_t>(kMostGaps);
  // Every code's closes stay for the run: no room beyond the last of them.
  closes.reserve(
      static_cast<size_t>(std::min(stored, top + size + static_cast<int32_t>(kMostGaps))));
  for (int32_t k = 0; k < size; ++k) {
    while (c < static_cast<int32_t>(calendar.size()) && calendar[c] > dates[k]) {
      // A day it lacks carries its close of the day after (older), filled
      // below once that is known.
      if (c < stored) {
        if (gaps.size() == kMostGaps) return;
        gaps.push_back(c);
        closes.push_back(0);
      }
      ++c;
    }
    if (c >= static_cast<int32_t>(calendar.size()) || calendar[c] != dates[k]) return;
    if (c < stored) closes.push_back(prices.series.closes[k]);
    bottom = c++;
  }
  // A lacked day at the end of what is kept has no older close kept to carry.
  while (!gaps.empty() && gaps.back() + 1 == static_cast<int32_t>(closes.size())) {
    gaps.pop_back();
    closes.pop_back();
  }
  for (auto g = gaps.rbegin(); g != gaps.rend(); ++g) closes[*g] = closes[*g + 1];

  const auto used = static_cast<int32_t>(closes.size());
  prices.sumMarks.assign(used / CodePrices::kDaysPerMark + 1, 0);
  prices.largestMarks.assign(used / CodePrices::kDaysPerMark + 1, 0);
  int64_t sum = 0;
  int32_t largest = 0;
  for (int32_t k = 0; k < used; ++k) {
    sum += closes[k];
    largest = std::max(largest, closes[k]);
    if ((k + 1) % CodePrices::kDaysPerMark == 0) {
      prices.sumMarks[(k + 1) / CodePrices::kDaysPerMark] = sum;
      prices.largestMarks[(k + 1) / CodePrices::kDaysPerMark] = largest;
    }
  }
  prices.closes = std::move(closes);
  prices.gaps = std::move(gaps);
  prices.top = top;
  prices.bottom = bottom;
  prices.onCalendar = true;
}

struct PairScreening::UnitResult {
  std::vector<PassedPair> passed;
  int64_t lastKey = -1;
  int32_t sell = 0;
  int32_t buy = 0;
  std::vector<std::optional<double>> lastValues;
  int64_t firstKey = 0;
};

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
  ForEachOnThreads(threads_, count, stop, [&](int32_t i) {
    prices_[i] = ReadCodePrices(PriceFileOf(dataDir_, keys_.Codes()[i]));
  });

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

bool PairScreening::SetAside(int32_t i, int32_t j, const Walk& walk) const {
  if (!bound_ || walk.skipped) return false;
  const std::optional<TechnicalWindow> window = WindowOf(tests_[0], walk.days);
  return window && walk.start + window->from == boundFrom_ && window->days == boundDays_ &&
         bound_->SetAside(i, j);
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

// The merged series of two codes on the calendar is the calendar's days from
// the newer of their newest days on, but for the days both codes lack, with
// each side's filled closes: the merge drops nothing else but the days before
// the later of their first days.
bool PairScreening::WalkOf(int32_t i, int32_t j, std::vector<int32_t>& skipped, Walk& walk) const {
  const CodePrices& p1 = prices_[i];
  const CodePrices& p2 = prices_[j];
  skipped.clear();
  if (!p1.onCalendar || !p2.onCalendar) return false;
  const int32_t first = std::min(p1.top, p2.top);
  const int32_t last = std::min(p1.bottom, p2.bottom);
  if (last < first) return false;
  // A day both lack is one of the gaps of the code whose newest day is the
  // pair's (either when both are), where the other had no day yet or has a
  // gap too. Each such day takes the pair's oldest day one further back.
  const CodePrices& newer = p1.top == first ? p1 : p2;
  const CodePrices& other = p1.top == first ? p2 : p1;
  int32_t end = std::min(first + kPairSeriesMaxDays, last + 1);
  for (const int32_t gap : newer.gaps) {
    if (gap >= end) break;
    if (gap < other.top || std::binary_search(other.gaps.begin(), other.gaps.end(), gap)) {
      skipped.push_back(gap);
      end = std::min(end + 1, last + 1);
    }
  }
  // The sums and largest closes are kept from the calendar's newest day: the
  // days before a code's newest one (those before `first` among them) repeat
  // its newest close, and a day both lack repeats a close of a later row, so
  // the largest close from the newest day is the pair's own.
  if (end > static_cast<int32_t>(p1.closes.size()) ||
      end > static_cast<int32_t>(p2.closes.size())) {
    return false;
  }
  walk.start = first;
  walk.end = end;
  walk.days = end - first - static_cast<int32_t>(skipped.size());
  walk.skipped = skipped.empty() ? nullptr : &skipped;
  return true;
}

// The days of the merge are the calendar's from the newer of the two newest
// days down to the later of the two first days, but for those that both codes
// lack; each side's close there is its filled close.
bool PairScreening::CalendarRows(int32_t i, int32_t j, std::vector<MergedDay>& rows) const {
  const CodePrices& p1 = prices_[i];
  const CodePrices& p2 = prices_[j];
  if (!p1.onCalendar || !p2.onCalendar) return false;
  rows.clear();
  const int32_t last = std::min(p1.bottom, p2.bottom);
  const auto kept = std::min(p1.closes.size(), p2.closes.size());
  auto gap1 = p1.gaps.begin();
  auto gap2 = p2.gaps.begin();
  for (int32_t c = std::min(p1.top, p2.top);
       c <= last && rows.size() < static_cast<size_t>(kPairSeriesMaxDays); ++c) {
    while (gap1 != p1.gaps.end() && *gap1 < c) ++gap1;
    while (gap2 != p2.gaps.end() && *gap2 < c) ++gap2;
    const bool lacks1 = c < p1.top || (gap1 != p1.gaps.end() && *gap1 == c);
    const bool lacks2 = c < p2.top || (gap2 != p2.gaps.end() && *gap2 == c);
    if (lacks1 && lacks2) continue;
    // Filled closes are kept for the newest days only.
    if (static_cast<size_t>(c) >= kept) return false;
    rows.push_back({calendar_[c], p1.closes[c], p2.closes[c]});
  }
  return true;
}

// A pair on the fast path, balanced, before its tests.
struct PairScreening::Balanced {
  const CodePrices* sellPrices = nullptr;
  const CodePrices* buyPrices = nullptr;
  int32_t sellScale = 1;
  int32_t buyScale = 1;
  int32_t start = 0;  // the calendar index of the pair's newest day
  int32_t days = 0;
  const std::vector<int32_t>* skipped = nullptr;  // the days it passes over, if any
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
  int32_t from = 0;  // a calendar index
  int32_t days = 0;
  double meanA = 0.0;
  double meanB = 0.0;
};

// A pair that passes over days, waiting for its first correlation: the days
// it passes over and its test's days, whose scaled closes are gathered into a
// lane of Scratch::ownA and ownB.
struct OwnLane {
  std::vector<int32_t> skipped;
  int32_t days = 0;
  double meanA = 0.0;
  double meanB = 0.0;
};

// The pairs queued at most before their first correlations are computed.
constexpr size_t kQueued = 2 * kLanes;

// A pair in the order of its key, evaluated or waiting for its first
// correlation to be computed with others side by side.
struct PairScreening::Queued {
  int32_t sell = 0;
  int32_t buy = 0;
  bool waiting = false;
  Balanced balanced;
  Correlating first;     // the first test, the row's code as its side a
  int32_t ownLane = -1;  // or the pair's OwnLane, when it passes over days
  double firstValue = 0.0;
  std::optional<PassedPair> passed;
  std::vector<double> values;
};

struct PairScreening::Scratch {
  std::vector<MergedDay> rows;
  PriceSeries series1;
  PriceSeries series2;
  std::vector<int32_t> a;
  std::vector<int32_t> b;
  std::vector<double> differences;
  std::vector<int32_t> skipped;
  std::vector<double> values;
  std::vector<Queued> queue;
  std::vector<OwnLane> ownLanes = std::vector<OwnLane>(kQueued);
  // Blocks of kLanes lanes of kPairSeriesMaxDays days, one for each kLanes
  // own lanes.
  std::vector<double> ownA;
  std::vector<double> ownB;
};

bool PairScreening::Usable(int32_t i, int32_t j) const {
  return prices_[i].load != SeriesLoad::kMalformed && prices_[j].load != SeriesLoad::kMalformed &&
         units_[i] >= 1 && units_[j] >= 1;
}

// The same numbers as the merged rows would give, from the running sums.
bool PairScreening::Balance(int32_t i, int32_t j, const Walk& walk, Balanced& pair) const {
  const CodePrices& p1 = prices_[i];
  const CodePrices& p2 = prices_[j];
  const int32_t unit1 = units_[i];
  const int32_t unit2 = units_[j];
  pair.sell = i;
  pair.buy = j;
  const int32_t start = walk.start;
  const int32_t end = walk.end;
  const int32_t days = walk.days;
  const int64_t largest1 = p1.LargestBefore(end);
  const int64_t largest2 = p2.LargestBefore(end);
  if (largest1 * unit1 > kInt32Max || largest2 * unit2 > kInt32Max) return false;
  int64_t sum1 = p1.SumBefore(end) - p1.SumBefore(start);
  int64_t sum2 = p2.SumBefore(end) - p2.SumBefore(start);
  if (walk.skipped) {
    for (const int32_t c : *walk.skipped) {
      sum1 -= p1.closes[c];
      sum2 -= p2.closes[c];
    }
  }
  PairMoney money;
  money.days = days;
  money.sum1 = sum1 * unit1;
  money.sum2 = sum2 * unit2;
  money.max1 = largest1 * unit1;
  money.max2 = largest2 * unit2;
  if (!walk.skipped && start == 0 && days == p1.meanDays) money.mean1 = p1.meanMoney;
  if (!walk.skipped && start == 0 && days == p2.meanDays) money.mean2 = p2.meanMoney;
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
  pair.start = start;
  pair.days = days;
  pair.skipped = walk.skipped;
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
  job.from = pair.start + window->from;
  job.days = window->days;
  // Correlation's own sums of whole numbers below 2^53 are exact.
  const int32_t to = job.from + job.days;
  const int64_t sumA = (job.a->SumBefore(to) - job.a->SumBefore(job.from)) * job.scaleA;
  const int64_t sumB = (job.b->SumBefore(to) - job.b->SumBefore(job.from)) * job.scaleB;
  job.meanA = static_cast<double>(sumA) / job.days;
  job.meanB = static_cast<double>(sumB) / job.days;
  return true;
}

template <typename Stretch>
void PairScreening::ForEachStretch(const Balanced& pair, int32_t from, int32_t n,
                                   Stretch&& stretch) const {
  const std::vector<int32_t> none;
  const std::vector<int32_t>& skipped = pair.skipped ? *pair.skipped : none;
  auto skip = skipped.begin();
  int32_t c = pair.start;
  // Row `from` first, then its n rows in order, a stretch between two days
  // passed over at a time.
  for (int32_t row = 0; row < from; ++c) {
    if (skip != skipped.end() && *skip == c) {
      ++skip;
    } else {
      ++row;
    }
  }
  for (int32_t k = 0; k < n;) {
    const int32_t days = skip != skipped.end() ? std::min(n - k, *skip - c) : n - k;
    if (days > 0) stretch(c, k, days);
    k += days;
    c += days;
    if (k < n) {  // c is the day passed over
      ++skip;
      ++c;
    }
  }
}

void PairScreening::Gather(const Balanced& pair, int32_t from, int32_t n, int32_t* a, int32_t* b,
                           int64_t& sumA, int64_t& sumB) const {
  const int32_t* sellCloses = pair.sellPrices->closes.data();
  const int32_t* buyCloses = pair.buyPrices->closes.data();
  // Summed in locals: through the references each day would wait for the
  // store of the day before.
  int64_t totalA = 0;
  int64_t totalB = 0;
  ForEachStretch(pair, from, n, [&](int32_t c, int32_t k, int32_t days) {
    for (int32_t t = 0; t < days; ++t) {
      a[k + t] = sellCloses[c + t] * pair.sellScale;
      b[k + t] = buyCloses[c + t] * pair.buyScale;
      totalA += a[k + t];
      totalB += b[k + t];
    }
  });
  sumA = totalA;
  sumB = totalB;
}

void PairScreening::GatherCloses(const Balanced& pair, int32_t from, int32_t n, double* a,
                                 double* b, int64_t& sumA, int64_t& sumB) const {
  const int32_t* sellCloses = pair.sellPrices->closes.data();
  const int32_t* buyCloses = pair.buyPrices->closes.data();
  // Each product is a whole number in 32 bits, exact in a double.
  const auto sellScale = static_cast<double>(pair.sellScale);
  const auto buyScale = static_cast<double>(pair.buyScale);
  // Summed in locals, as in Gather.
  int64_t totalA = 0;
  int64_t totalB = 0;
  ForEachStretch(pair, from, n, [&](int32_t c, int32_t k, int32_t days) {
    for (int32_t t = 0; t < days; ++t) {
      a[static_cast<size_t>(k + t) * kLanes] = sellCloses[c + t] * sellScale;
      b[static_cast<size_t>(k + t) * kLanes] = buyCloses[c + t] * buyScale;
      totalA += sellCloses[c + t];
      totalB += buyCloses[c + t];
    }
  });
  sumA = totalA * pair.sellScale;
  sumB = totalB * pair.buyScale;
}

std::optional<PassedPair> PairScreening::TestBalanced(const Balanced& pair, size_t firstTest,
                                                      Scratch& scratch) const {
  for (size_t t = firstTest; t < tests_.size(); ++t) {
    const TechnicalTest& test = tests_[t];
    double value = 0.0;
    if (test.kind == TechnicalKind::Correlation && !pair.skipped) {
      Correlating job;
      if (!CorrelatingOf(pair, test, pair.sell, job)) return std::nullopt;
      value = CorrelationAroundMeans(job.a->closes.data() + job.from, job.scaleA,
                                     job.b->closes.data() + job.from, job.scaleB, job.days,
                                     job.meanA, job.meanB);
    } else {
      const std::optional<TechnicalWindow> window = WindowOf(test, pair.days);
      if (!window || !test.boundsValid) return std::nullopt;
      const int32_t n = window->days;
      int64_t sumA = 0;
      int64_t sumB = 0;
      scratch.a.resize(n);
      scratch.b.resize(n);
      Gather(pair, window->from, n, scratch.a.data(), scratch.b.data(), sumA, sumB);
      if (test.kind == TechnicalKind::Correlation) {
        // Correlation's own sums of whole numbers below 2^53 are exact.
        value =
            CorrelationAroundMeans(scratch.a.data(), 1, scratch.b.data(), 1, n,
                                   static_cast<double>(sumA) / n, static_cast<double>(sumB) / n);
      } else {
        scratch.differences.resize(n);
        value = TechnicalValue(test.kind, scratch.a.data(), scratch.b.data(), n,
                               scratch.differences.data());
      }
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
  Walk walk;
  if (!WalkOf(i, j, scratch.skipped, walk)) {
    if (!CalendarRows(i, j, scratch.rows)) {
      if (seriesDropped_) {
        LoadPriceSeries(PriceFileOf(dataDir_, keys_.Codes()[i]), scratch.series1);
        LoadPriceSeries(PriceFileOf(dataDir_, keys_.Codes()[j]), scratch.series2);
        MergePairSeries(scratch.series1, scratch.series2, scratch.rows);
      } else {
        MergePairSeries(prices_[i].series, prices_[j].series, scratch.rows);
      }
    }
    const UnitRatio ratio = ComputeUnitRatio(scratch.rows, units_[i], units_[j]);
    if (ratio.ratio == 0) return std::nullopt;
    if (ratio.exchanged) std::swap(sell, buy);
    if (!CheckTechnicals(scratch.rows, tests_, scratch.values)) return std::nullopt;
    return PassedPair{sell, buy, ratio.ratio, scratch.values};
  }
  Balanced pair;
  const bool balanced = Balance(i, j, walk, pair);
  sell = pair.sell;
  buy = pair.buy;
  if (!balanced) return std::nullopt;
  return TestBalanced(pair, 0, scratch);
}

// The first test of most pairs is a correlation over the same days: those of
// the codes of one block run side by side (CorrelationsOfOneAgainstBlockOn),
// the rest of each pair's tests after, in key order. Pairs that pass over days
// have their closes gathered into blocks and go a block at a time too
// (CorrelationsOfTwoBlocksOn).
void PairScreening::Evaluate(const WorkUnit& unit, Scratch& scratch, UnitResult& result,
                             const std::atomic<bool>& stopping) const {
  result.lastValues.assign(tests_.size(), std::nullopt);
  for (size_t p = unit.first; p < unit.end && !stopping.load(std::memory_order_relaxed); ++p) {
    EvaluatePiece(pieces_[p], scratch, result, stopping);
  }
}

void PairScreening::EvaluatePiece(const RowPiece& piece, Scratch& scratch, UnitResult& result,
                                  const std::atomic<bool>& stopping) const {
  const bool batch = !tests_.empty() && tests_[0].kind == TechnicalKind::Correlation;
  std::vector<Queued>& queue = scratch.queue;
  queue.clear();
  int waiting = 0;
  int32_t ownLanes = 0;
  int64_t key = result.lastKey >= 0 ? result.lastKey + 1 : result.firstKey;
  // The last pair queued was set aside unbalanced.
  int32_t orderPending = -1;

  auto settleShared = [&] {
    // The waiting tests whose other codes share a block and whose days are
    // the same, a block at a time; side a is the row's code in every one.
    std::vector<size_t> open;
    for (size_t q = 0; q < queue.size(); ++q) {
      if (queue[q].waiting && queue[q].ownLane < 0) open.push_back(q);
    }
    auto indexOf = [&](const CodePrices* code) {
      return static_cast<size_t>(code - prices_.data());
    };
    for (size_t k = 0; k < open.size();) {
      const Correlating& lead = queue[open[k]].first;
      const size_t block = indexOf(lead.b) / kLanes;
      size_t lanes = 1;
      while (k + lanes < open.size()) {
        const Correlating& next = queue[open[k + lanes]].first;
        if (next.days != lead.days || next.a != lead.a || next.from != lead.from ||
            indexOf(next.b) / kLanes != block) {
          break;
        }
        ++lanes;
      }
      BlockLanes jobs;
      for (size_t l = 0; l < lanes; ++l) {
        const Correlating& c = queue[open[k + l]].first;
        const size_t lane = indexOf(c.b) % kLanes;
        jobs.scaleA[lane] = c.scaleA;
        jobs.scaleB[lane] = c.scaleB;
        jobs.meanA[lane] = c.meanA;
        jobs.meanB[lane] = c.meanB;
      }
      const size_t row = indexOf(lead.a);
      const double* a = closeBlocks_[row / kLanes].data() +
                        static_cast<size_t>(lead.from) * kLanes + row % kLanes;
      double values[kLanes];
      CorrelationsOfOneAgainstBlockOn(
          vectorPath_, a, static_cast<int32_t>(kLanes),
          closeBlocks_[block].data() + static_cast<size_t>(lead.from) * kLanes, jobs, lead.days,
          values);
      for (size_t l = 0; l < lanes; ++l) {
        queue[open[k + l]].firstValue = values[indexOf(queue[open[k + l]].first.b) % kLanes];
      }
      k += lanes;
    }
  };

  constexpr size_t kBlockValues = static_cast<size_t>(kPairSeriesMaxDays) * kLanes;
  if (scratch.ownA.empty()) {
    scratch.ownA.assign(kQueued * kPairSeriesMaxDays, 0.0);
    scratch.ownB.assign(kQueued * kPairSeriesMaxDays, 0.0);
  }

  auto settleOwn = [&] {
    // A block at a time over the longest of their days, the shorter ones
    // padded with their means; the lanes of no pair keep finite values. The
    // own lanes were taken in queue order, so the k-th open one is lane k.
    std::vector<size_t> open;
    for (size_t q = 0; q < queue.size(); ++q) {
      if (queue[q].waiting && queue[q].ownLane >= 0) open.push_back(q);
    }
    for (size_t k = 0; k < open.size(); k += kLanes) {
      const size_t lanes = std::min<size_t>(kLanes, open.size() - k);
      double* a = scratch.ownA.data() + k / kLanes * kBlockValues;
      double* b = scratch.ownB.data() + k / kLanes * kBlockValues;
      int32_t longest = 0;
      for (size_t l = 0; l < lanes; ++l) {
        longest = std::max(longest, scratch.ownLanes[k + l].days);
      }
      BlockMeans means;
      for (size_t l = 0; l < lanes; ++l) {
        const OwnLane& lane = scratch.ownLanes[k + l];
        for (auto day = static_cast<size_t>(lane.days); day < static_cast<size_t>(longest); ++day) {
          a[day * kLanes + l] = lane.meanA;
          b[day * kLanes + l] = lane.meanB;
        }
        means.meanA[l] = lane.meanA;
        means.meanB[l] = lane.meanB;
      }
      double values[kLanes];
      CorrelationsOfTwoBlocksOn(vectorPath_, a, b, means, longest, values);
      for (size_t l = 0; l < lanes; ++l) queue[open[k + l]].firstValue = values[l];
    }
  };

  auto settle = [&] {
    settleShared();
    settleOwn();
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
    ownLanes = 0;
  };

  // A pair that passes over days: its first test's closes gathered into a
  // lane of its own.
  auto queueOwn = [&](Queued& q, int32_t j, Walk walk) {
    OwnLane& lane = scratch.ownLanes[ownLanes];
    lane.skipped = scratch.skipped;
    walk.skipped = &lane.skipped;
    const bool balanced = Balance(piece.row, j, walk, q.balanced);
    q.sell = q.balanced.sell;
    q.buy = q.balanced.buy;
    const std::optional<TechnicalWindow> window =
        balanced ? WindowOf(tests_[0], q.balanced.days) : std::nullopt;
    if (!window || !tests_[0].boundsValid) return;
    const int32_t n = window->days;
    const size_t block = static_cast<size_t>(ownLanes) / kLanes * kBlockValues;
    const size_t at = static_cast<size_t>(ownLanes) % kLanes;
    int64_t sumA = 0;
    int64_t sumB = 0;
    GatherCloses(q.balanced, window->from, n, scratch.ownA.data() + block + at,
                 scratch.ownB.data() + block + at, sumA, sumB);
    // Correlation's own sums of whole numbers below 2^53 are exact.
    lane.days = n;
    lane.meanA = static_cast<double>(sumA) / n;
    lane.meanB = static_cast<double>(sumB) / n;
    q.ownLane = ownLanes++;
    q.waiting = true;
    ++waiting;
  };

  for (int32_t j = piece.jBegin; j < piece.jEnd; ++j) {
    if (!keys_.IsKey(piece.row, j)) continue;
    if (stopping.load(std::memory_order_relaxed)) return;
    Queued& q = queue.emplace_back();
    Walk walk;
    if (batch && Usable(piece.row, j) && WalkOf(piece.row, j, scratch.skipped, walk)) {
      orderPending = -1;
      if (SetAside(piece.row, j, walk)) {
        // Its codes in their sell-first order are needed only when it ends
        // the piece.
        q.sell = piece.row;
        q.buy = j;
        orderPending = j;
      } else if (walk.skipped) {
        queueOwn(q, j, walk);
      } else {
        const bool balanced = Balance(piece.row, j, walk, q.balanced);
        q.sell = q.balanced.sell;
        q.buy = q.balanced.buy;
        if (balanced && CorrelatingOf(q.balanced, tests_[0], piece.row, q.first)) {
          q.waiting = true;
          ++waiting;
        }
      }
    } else {
      orderPending = -1;
      q.passed = EvaluatePair(piece.row, j, scratch, q.sell, q.buy);
      q.values = scratch.values;
    }
    // The end of a block of codes, whose pairs share their loads.
    if ((j + 1) % static_cast<int32_t>(kLanes) == 0 || queue.size() >= kQueued) settle();
  }
  settle();
  if (orderPending >= 0) {
    Walk walk;
    Balanced pair;
    WalkOf(piece.row, orderPending, scratch.skipped, walk);
    Balance(piece.row, orderPending, walk, pair);
    result.sell = pair.sell;
    result.buy = pair.buy;
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
    for (size_t p = work_[u].first; p < work_[u].end; ++p) {
      firstKey += keys_.KeysOfRowBetween(pieces_[p].row, pieces_[p].jBegin, pieces_[p].jEnd);
    }
  }

  OrderedHandOut handOut(work_.size(),
                         static_cast<size_t>(threads_) * kRunAheadPerThread + kRunAheadSpare);
  auto evaluate = [&] {
    Scratch scratch;
    while (const std::optional<size_t> u = handOut.Take()) {
      try {
        Evaluate(work_[*u], scratch, results[*u], handOut.Stopping());
      } catch (...) {
        handOut.Fail(std::current_exception());
        return;
      }
      handOut.Done(*u);
    }
  };
  std::vector<std::thread> threads;
  auto finish = [&] {
    handOut.Stop();
    for (std::thread& thread : threads) thread.join();
  };

  End end = End::kCompleted;
  try {
    for (int t = 0; t < threads_; ++t) threads.emplace_back(evaluate);
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
