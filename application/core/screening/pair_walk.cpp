#include "screening/pair_walk.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "data/correlation_lanes.h"

namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr size_t kLanes = kCorrelationLanes;

}  // namespace

// The merged series of two codes on the calendar is the calendar's days from
// the newer of their newest days on, but for the days both codes lack, with
// each side's filled closes: the merge drops nothing else but the days before
// the later of their first days.
bool CalendarPairs::WalkOf(int32_t i, int32_t j, std::vector<int32_t>& skipped,
                           PairWalk& walk) const {
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
bool CalendarPairs::CalendarRows(int32_t i, int32_t j, std::vector<MergedDay>& rows) const {
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

// The same numbers as the merged rows would give, from the running sums.
bool CalendarPairs::Balance(int32_t i, int32_t j, const PairWalk& walk, BalancedPair& pair) const {
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

namespace {

// Calls stretch(c, k, days) for each run of `days` calendar days from c
// on that are the balanced pair's days k, k + 1, ... of its `n` days from
// its day `from` on.
template <typename Stretch>
void ForEachStretch(const BalancedPair& pair, int32_t from, int32_t n, Stretch&& stretch) {
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

}  // namespace

void GatherScaledCloses(const BalancedPair& pair, int32_t from, int32_t n, int32_t* a, int32_t* b,
                        int64_t& sumA, int64_t& sumB) {
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

void GatherScaledLane(const BalancedPair& pair, int32_t from, int32_t n, double* a, double* b,
                      int64_t& sumA, int64_t& sumB) {
  const int32_t* sellCloses = pair.sellPrices->closes.data();
  const int32_t* buyCloses = pair.buyPrices->closes.data();
  // Each product is a whole number in 32 bits, exact in a double.
  const auto sellScale = static_cast<double>(pair.sellScale);
  const auto buyScale = static_cast<double>(pair.buyScale);
  // Summed in locals, as in GatherScaledCloses.
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
