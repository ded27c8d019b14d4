// The evaluation of a screening's pairs, on its evaluation threads: the
// units handed out, each pair of each piece tested in key order, the first
// correlations of many pairs side by side in vector lanes.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "data/correlation_lanes.h"
#include "screening/correlation_bound.h"
#include "screening/ordered_hand_out.h"
#include "screening/pair_screening.h"
#include "screening/pair_walk.h"
#include "screening/screening_series.h"
#include "screening/technical_filter.h"

namespace {

// The correlations of one vector build at a time.
constexpr size_t kLanes = kCorrelationLanes;

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

}  // namespace

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

// A pair in the order of its key, evaluated or waiting for its first
// correlation to be computed with others side by side.
struct PairScreening::Queued {
  int32_t sell = 0;
  int32_t buy = 0;
  bool waiting = false;
  BalancedPair balanced;
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

// One piece of a unit, its keys in order after those that the unit's result
// holds. With a correlation first, each pair is evaluated at once (one the
// walk cannot take), set aside by the bound, or queued: its first
// correlation waits to be computed side by side with those of the other
// pairs queued, and its other tests after. The queue is settled at the end
// of each block of codes j and whenever it is full, in key order.
class PairScreening::PieceEvaluation {
 public:
  PieceEvaluation(const PairScreening& screening, const RowPiece& piece, Scratch& scratch,
                  UnitResult& result)
      : screening_(screening),
        piece_(piece),
        scratch_(scratch),
        result_(result),
        queue_(scratch.queue),
        batch_(!screening.tests_.empty() && screening.tests_[0].kind == TechnicalKind::Correlation),
        key_(result.lastKey >= 0 ? result.lastKey + 1 : result.firstKey) {
    queue_.clear();
    if (scratch_.ownA.empty()) {
      scratch_.ownA.assign(kQueued * kPairSeriesMaxDays, 0.0);
      scratch_.ownB.assign(kQueued * kPairSeriesMaxDays, 0.0);
    }
  }

  // Leaves the piece half done once `stopping` is set.
  void Run(const std::atomic<bool>& stopping) {
    for (int32_t j = piece_.jBegin; j < piece_.jEnd; ++j) {
      if (!screening_.keys_.IsKey(piece_.row, j)) continue;
      if (stopping.load(std::memory_order_relaxed)) return;
      Take(queue_.emplace_back(), j);
      // The end of a block of codes, whose pairs share their loads.
      if ((j + 1) % static_cast<int32_t>(kLanes) == 0 || queue_.size() >= kQueued) Settle();
    }
    Settle();
    if (setAsideLast_ >= 0) OrderTheLastSetAside();
  }

 private:
  static constexpr size_t kBlockValues = static_cast<size_t>(kPairSeriesMaxDays) * kLanes;

  const TechnicalTest& FirstTest() const { return screening_.tests_[0]; }
  size_t IndexOf(const CodePrices* code) const {
    return static_cast<size_t>(code - screening_.prices_.data());
  }

  // The pair of the row's code with code j, queued as q.
  void Take(Queued& q, int32_t j) {
    const CalendarPairs& pairs = screening_.pairs_;
    const int32_t row = piece_.row;
    setAsideLast_ = -1;
    PairWalk walk;
    if (!batch_ || !pairs.Usable(row, j) || !pairs.WalkOf(row, j, scratch_.skipped, walk)) {
      q.passed = screening_.EvaluatePair(row, j, scratch_, q.sell, q.buy);
      q.values = scratch_.values;
    } else if (screening_.SetAside(row, j, walk)) {
      // Its codes in their sell-first order are needed only when it ends the
      // piece.
      q.sell = row;
      q.buy = j;
      setAsideLast_ = j;
    } else if (walk.skipped) {
      QueueOwn(q, j, walk);
    } else {
      const bool balanced = pairs.Balance(row, j, walk, q.balanced);
      q.sell = q.balanced.sell;
      q.buy = q.balanced.buy;
      q.waiting = balanced && screening_.CorrelatingOf(q.balanced, FirstTest(), row, q.first);
    }
  }

  // A pair that passes over days: its first test's closes gathered into a
  // lane of its own.
  void QueueOwn(Queued& q, int32_t j, PairWalk walk) {
    OwnLane& lane = scratch_.ownLanes[ownLanes_];
    lane.skipped = scratch_.skipped;
    walk.skipped = &lane.skipped;
    const bool balanced = screening_.pairs_.Balance(piece_.row, j, walk, q.balanced);
    q.sell = q.balanced.sell;
    q.buy = q.balanced.buy;
    const std::optional<TechnicalWindow> window =
        balanced ? WindowOf(FirstTest(), q.balanced.days) : std::nullopt;
    if (!window || !FirstTest().boundsValid) return;
    const int32_t n = window->days;
    const size_t block = static_cast<size_t>(ownLanes_) / kLanes * kBlockValues;
    const size_t at = static_cast<size_t>(ownLanes_) % kLanes;
    int64_t sumA = 0;
    int64_t sumB = 0;
    GatherScaledLane(q.balanced, window->from, n, scratch_.ownA.data() + block + at,
                     scratch_.ownB.data() + block + at, sumA, sumB);
    // Correlation's own sums of whole numbers below 2^53 are exact.
    lane.days = n;
    lane.meanA = static_cast<double>(sumA) / n;
    lane.meanB = static_cast<double>(sumB) / n;
    q.ownLane = ownLanes_++;
    q.waiting = true;
  }

  // The first correlations of the queue, then every queued pair's other tests
  // and its result, in key order.
  void Settle() {
    SettleShared();
    SettleOwn();
    for (Queued& q : queue_) {
      if (q.waiting) {
        scratch_.values.clear();
        if (WithinRange(FirstTest(), q.firstValue)) {
          scratch_.values.push_back(q.firstValue);
          q.passed = screening_.TestBalanced(q.balanced, 1, scratch_);
        }
        q.values = scratch_.values;
      }
      for (size_t t = 0; t < q.values.size(); ++t) result_.lastValues[t] = q.values[t];
      if (q.passed) result_.passed.push_back(std::move(*q.passed));
      result_.lastKey = key_++;
      result_.sell = q.sell;
      result_.buy = q.buy;
    }
    queue_.clear();
    ownLanes_ = 0;
  }

  // The waiting tests whose other codes share a block and whose days are the
  // same, a block at a time; side a is the row's code in every one.
  void SettleShared() {
    const std::vector<std::vector<double>>& closeBlocks = screening_.closeBlocks_;
    std::vector<size_t> open;
    for (size_t q = 0; q < queue_.size(); ++q) {
      if (queue_[q].waiting && queue_[q].ownLane < 0) open.push_back(q);
    }
    for (size_t k = 0; k < open.size();) {
      const Correlating& lead = queue_[open[k]].first;
      const size_t block = IndexOf(lead.b) / kLanes;
      size_t lanes = 1;
      while (k + lanes < open.size()) {
        const Correlating& next = queue_[open[k + lanes]].first;
        if (next.days != lead.days || next.a != lead.a || next.from != lead.from ||
            IndexOf(next.b) / kLanes != block) {
          break;
        }
        ++lanes;
      }
      BlockLanes jobs;
      for (size_t l = 0; l < lanes; ++l) {
        const Correlating& c = queue_[open[k + l]].first;
        const size_t lane = IndexOf(c.b) % kLanes;
        jobs.scaleA[lane] = c.scaleA;
        jobs.scaleB[lane] = c.scaleB;
        jobs.meanA[lane] = c.meanA;
        jobs.meanB[lane] = c.meanB;
      }
      const size_t row = IndexOf(lead.a);
      const double* a =
          closeBlocks[row / kLanes].data() + static_cast<size_t>(lead.from) * kLanes + row % kLanes;
      double values[kLanes];
      CorrelationsOfOneAgainstBlockOn(
          screening_.vectorPath_, a, static_cast<int32_t>(kLanes),
          closeBlocks[block].data() + static_cast<size_t>(lead.from) * kLanes, jobs, lead.days,
          values);
      for (size_t l = 0; l < lanes; ++l) {
        queue_[open[k + l]].firstValue = values[IndexOf(queue_[open[k + l]].first.b) % kLanes];
      }
      k += lanes;
    }
  }

  // The pairs of own lanes, a block at a time over the longest of their
  // days, the shorter ones padded with their means; the lanes of no pair
  // keep finite values. The own lanes were taken in queue order, so the k-th
  // open one is lane k.
  void SettleOwn() {
    std::vector<size_t> open;
    for (size_t q = 0; q < queue_.size(); ++q) {
      if (queue_[q].waiting && queue_[q].ownLane >= 0) open.push_back(q);
    }
    for (size_t k = 0; k < open.size(); k += kLanes) {
      const size_t lanes = std::min<size_t>(kLanes, open.size() - k);
      double* a = scratch_.ownA.data() + k / kLanes * kBlockValues;
      double* b = scratch_.ownB.data() + k / kLanes * kBlockValues;
      int32_t longest = 0;
      for (size_t l = 0; l < lanes; ++l) {
        longest = std::max(longest, scratch_.ownLanes[k + l].days);
      }
      BlockMeans means;
      for (size_t l = 0; l < lanes; ++l) {
        const OwnLane& lane = scratch_.ownLanes[k + l];
        for (auto day = static_cast<size_t>(lane.days); day < static_cast<size_t>(longest); ++day) {
          a[day * kLanes + l] = lane.meanA;
          b[day * kLanes + l] = lane.meanB;
        }
        means.meanA[l] = lane.meanA;
        means.meanB[l] = lane.meanB;
      }
      double values[kLanes];
      CorrelationsOfTwoBlocksOn(screening_.vectorPath_, a, b, means, longest, values);
      for (size_t l = 0; l < lanes; ++l) queue_[open[k + l]].firstValue = values[l];
    }
  }

  // The piece's last pair was set aside: its codes in their sell-first
  // order, which the result gives the sink.
  void OrderTheLastSetAside() {
    PairWalk walk;
    BalancedPair pair;
    screening_.pairs_.WalkOf(piece_.row, setAsideLast_, scratch_.skipped, walk);
    screening_.pairs_.Balance(piece_.row, setAsideLast_, walk, pair);
    result_.sell = pair.sell;
    result_.buy = pair.buy;
  }

  const PairScreening& screening_;
  const RowPiece& piece_;
  Scratch& scratch_;
  UnitResult& result_;
  std::vector<Queued>& queue_;  // scratch_.queue
  const bool batch_;            // the first test is a correlation
  int32_t ownLanes_ = 0;        // the own lanes taken in the queue
  int64_t key_;                 // the key of the next pair to settle
  int32_t setAsideLast_ = -1;   // code j of the last pair taken, when the bound set it aside
};

void PairScreening::EvaluateUnits(OrderedHandOut& handOut, std::vector<UnitResult>& results,
                                  const std::function<void(size_t unit)>& unitHook) const {
  Scratch scratch;
  while (const std::optional<size_t> u = handOut.Take()) {
    try {
      if (unitHook) unitHook(*u);
      Evaluate(work_[*u], scratch, results[*u], handOut.Stopping());
    } catch (...) {
      handOut.Fail(std::current_exception());
      return;
    }
    handOut.Done(*u);
  }
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
    PieceEvaluation(*this, pieces_[p], scratch, result).Run(stopping);
  }
}

bool PairScreening::SetAside(int32_t i, int32_t j, const PairWalk& walk) const {
  if (!bound_ || walk.skipped) return false;
  const std::optional<TechnicalWindow> window = WindowOf(tests_[0], walk.days);
  return window && walk.start + window->from == boundFrom_ && window->days == boundDays_ &&
         bound_->SetAside(i, j);
}

// A correlation test over the balanced pair with `side` (its sell or its buy
// code) as side a; false when the period does not fit its days (the pair
// fails).
bool PairScreening::CorrelatingOf(const BalancedPair& pair, const TechnicalTest& test, int32_t side,
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

std::optional<PassedPair> PairScreening::TestBalanced(const BalancedPair& pair, size_t firstTest,
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
      GatherScaledCloses(pair, window->from, n, scratch.a.data(), scratch.b.data(), sumA, sumB);
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
  if (!pairs_.Usable(i, j)) return std::nullopt;
  PairWalk walk;
  if (!pairs_.WalkOf(i, j, scratch.skipped, walk)) {
    if (!pairs_.CalendarRows(i, j, scratch.rows)) {
      if (seriesDropped_) {
        LoadPriceSeries(PriceFileOf(i), scratch.series1);
        LoadPriceSeries(PriceFileOf(j), scratch.series2);
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
  BalancedPair pair;
  const bool balanced = pairs_.Balance(i, j, walk, pair);
  sell = pair.sell;
  buy = pair.buy;
  if (!balanced) return std::nullopt;
  return TestBalanced(pair, 0, scratch);
}
