#pragma once
// The pair evaluation of a screening run, without any window: each code's
// price file is read once, then every pair key is merged, balanced by its
// unit ratio and tested against the technical conditions, on as many threads
// as asked. Whatever the number of threads, the passing pairs reach the sink
// in key order and their results are the same bit for bit.
//
// Thread use: Run is called on one thread (the worker's), which alone calls
// the sink; the evaluation threads are Run's own and end before it returns.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/statistics.h"
#include "screening/pair_keys.h"
#include "screening/screening_series.h"
#include "screening/technical_filter.h"

class CorrelationBound;
class OrderedHandOut;

// A pair that passed every test.
struct PassedPair {
  int32_t sell = 0;            // index of the sell side's code in PairKeySet::Codes()
  int32_t buy = 0;             // and of the buy side's
  int32_t ratio = 0;           // >= 1: ratio : 1; <= -1: 1 : -ratio
  std::vector<double> values;  // one per test, in test order
};

// Receives the run's results, in key order, on Run's thread.
class PairScreeningSink {
 public:
  virtual ~PairScreeningSink() = default;
  // A batch of pairs that passed (possibly empty); `lastKey` is the index of
  // the last key evaluated so far and `sell`, `buy` its codes (the sell side
  // first). `lastValues` holds, for each test, the value of the batch's last
  // pair that passed that test, whether or not it passed the tests after it;
  // nullopt when no pair of the batch did.
  virtual void Evaluated(std::vector<PassedPair>& passed,
                         const std::vector<std::optional<double>>& lastValues, int64_t lastKey,
                         int32_t sell, int32_t buy) = 0;
};

// One code's price file as the run reads it and, when its days allow, the
// code on the run's common calendar (every date of every such code, newest
// first): for each calendar day from the newest one down to its oldest, the
// close of its latest day not after it, which is what the merge of a pair
// gives that side. Index c below is a calendar index.
struct CodePrices {
  SeriesLoad load = SeriesLoad::kMissing;
  PriceSeries series;
  // The dates strictly decrease, every close is above 0, the newest day is
  // near enough to the calendar's newest and the code lacks few of its days.
  bool onCalendar = false;
  int32_t top = 0;              // the calendar index of its newest day
  int32_t bottom = -1;          // and of its oldest
  std::vector<int32_t> gaps;    // the calendar days from top on that it lacks, ascending
  std::vector<int32_t> closes;  // closes[c], for the days a pair may use
  // The sum of closes[0..c) and the largest of them (at least 0), for c up
  // to closes.size(). Kept for every kDaysPerMark-th c only, so that they
  // take a small part of the room of the closes.
  int64_t SumBefore(int32_t c) const {
    int64_t sum = sumMarks[c / kDaysPerMark];
    for (int32_t k = c / kDaysPerMark * kDaysPerMark; k < c; ++k) sum += closes[k];
    return sum;
  }
  int32_t LargestBefore(int32_t c) const {
    int32_t largest = largestMarks[c / kDaysPerMark];
    for (int32_t k = c / kDaysPerMark * kDaysPerMark; k < c; ++k) {
      largest = std::max(largest, closes[k]);
    }
    return largest;
  }
  static constexpr int32_t kDaysPerMark = 16;
  std::vector<int64_t> sumMarks;      // SumBefore(m * kDaysPerMark)
  std::vector<int32_t> largestMarks;  // LargestBefore(m * kDaysPerMark)
  // The mean money (MeanRounded of close x unit) of closes[0..meanDays),
  // which most pairs use; NaN when it cannot be had.
  int32_t meanDays = 0;
  double meanMoney = std::numeric_limits<double>::quiet_NaN();
};

// Reads the price file `file` (not yet on a calendar).
CodePrices ReadCodePrices(const std::filesystem::path& file);
// The descending dates of every code that can go on a calendar.
std::vector<int32_t> CalendarOf(const std::vector<CodePrices>& prices);
// Puts `prices` on `calendar` when its days allow.
void PlaceOnCalendar(CodePrices& prices, const std::vector<int32_t>& calendar);

class PairScreening {
 public:
  // The pairs handed to a thread at a time, by default: a unit of work. A
  // unit is one or more pieces of rows, each of at most that many codes j of
  // one code i, and holds at least that many pairs but at the end; each
  // unit's results reach the sink at once.
  static constexpr int32_t kPairsPerUnit = 16384;

  // `units` are the trading units of keys.Codes(), in that order. `threads`
  // (at least 1) evaluate pairs, `pairsPerUnit` (at least 1) at a time.
  PairScreening(std::filesystem::path dataDir, const PairKeySet& keys, std::vector<int32_t> units,
                std::vector<TechnicalTest> tests, int threads,
                int32_t pairsPerUnit = kPairsPerUnit);
  ~PairScreening();

  // The build of the correlation lanes that Run uses (by default the fastest
  // one the processor has); every build gives the same rows.
  void UseVectorPath(VectorPath path) { vectorPath_ = path; }

  enum class End { kCompleted, kStopped };
  // Reads every code's price file, then evaluates every key. `stop` is polled
  // often on Run's thread; once it returns true the evaluation threads stop
  // within a fraction of a second and Run returns kStopped without calling
  // the sink again. An error of an evaluation thread is thrown from here.
  End Run(const std::function<bool()>& stop, PairScreeningSink& sink);

  // The codes whose price file has a line that cannot be read (their pairs
  // were passed over); valid after Run.
  std::vector<std::string> MalformedCodes() const;
  // For each test, the value of the last pair (in key order) that passed it,
  // when one did; valid after Run.
  const std::vector<std::optional<double>>& LastPassedValues() const { return lastValues_; }

  // Evaluates one pair of codes i < j on the calling thread: the pair that
  // passed, or nullopt. `sell`/`buy` receive the pair's codes after the unit
  // ratio put the sell side first.
  struct Scratch;
  std::optional<PassedPair> EvaluatePair(int32_t i, int32_t j, Scratch& scratch, int32_t& sell,
                                         int32_t& buy) const;

 private:
  // A piece of a row: the pairs of code `row` with codes jBegin..jEnd - 1.
  struct RowPiece {
    int32_t row = 0;
    int32_t jBegin = 0;
    int32_t jEnd = 0;
  };
  // The pieces pieces_[first..end) are one unit.
  struct WorkUnit {
    size_t first = 0;
    size_t end = 0;
  };
  struct UnitResult;
  struct Balanced;
  struct Queued;
  struct Correlating;

  void LoadPrices(const std::function<bool()>& stop);
  // When the first test is a correlation, the pairs whose first correlation
  // provably fails over the days most pairs use (bound_).
  void SetAsideFailingPairs(const std::function<bool()>& stop);
  // The closes of the kCorrelationLanes codes of block `index`, as doubles,
  // interleaved (closeBlocks_[index]).
  void PlaceInBlock(int32_t index);
  void PlanUnits();
  // Hands each unit's result to the sink in unit order as soon as it is
  // evaluated, until the end, a stop or a worker's error.
  End Deliver(OrderedHandOut& handOut, std::vector<UnitResult>& results,
              const std::function<bool()>& stop, PairScreeningSink& sink);
  void Evaluate(const WorkUnit& unit, Scratch& scratch, UnitResult& result,
                const std::atomic<bool>& stopping) const;
  // One piece of a unit; its keys follow those that `result` holds.
  void EvaluatePiece(const RowPiece& piece, Scratch& scratch, UnitResult& result,
                     const std::atomic<bool>& stopping) const;
  // The days of a pair on the calendar: the calendar indexes from start up to
  // end, but for `skipped` (ascending), the days both codes lack.
  struct Walk {
    int32_t start = 0;
    int32_t end = 0;
    int32_t days = 0;
    const std::vector<int32_t>* skipped = nullptr;  // or none
  };
  // The walk of codes i and j; false when the merge must give their rows.
  // `skipped` receives the days passed over.
  bool WalkOf(int32_t i, int32_t j, std::vector<int32_t>& skipped, Walk& walk) const;
  // The pair of codes i < j on `walk` is one that SetAsideFailingPairs set
  // aside.
  bool SetAside(int32_t i, int32_t j, const Walk& walk) const;
  // The merged rows of two codes on the calendar, read off it; false when
  // they are not both on it.
  bool CalendarRows(int32_t i, int32_t j, std::vector<MergedDay>& rows) const;
  // Neither price file is malformed and both units are at least 1.
  bool Usable(int32_t i, int32_t j) const;
  bool Balance(int32_t i, int32_t j, const Walk& walk, Balanced& pair) const;
  // Calls stretch(c, k, days) for each run of `days` calendar days from c
  // on that are the balanced pair's days k, k + 1, ... of its `n` days from
  // its day `from` on.
  template <typename Stretch>
  void ForEachStretch(const Balanced& pair, int32_t from, int32_t n, Stretch&& stretch) const;
  // The scaled closes of `n` days of a balanced pair from its day `from` on,
  // the sell side into a and the buy side into b; their sums.
  void Gather(const Balanced& pair, int32_t from, int32_t n, int32_t* a, int32_t* b, int64_t& sumA,
              int64_t& sumB) const;
  // The same as doubles into a lane of two blocks (a[0],
  // a[kCorrelationLanes], ...).
  void GatherCloses(const Balanced& pair, int32_t from, int32_t n, double* a, double* b,
                    int64_t& sumA, int64_t& sumB) const;
  bool CorrelatingOf(const Balanced& pair, const TechnicalTest& test, int32_t side,
                     Correlating& job) const;
  // The tests from `firstTest` on; scratch.values holds the values so far.
  std::optional<PassedPair> TestBalanced(const Balanced& pair, size_t firstTest,
                                         Scratch& scratch) const;

  std::filesystem::path dataDir_;
  const PairKeySet& keys_;
  std::vector<int32_t> units_;
  std::vector<TechnicalTest> tests_;
  int threads_ = 1;
  int32_t pairsPerUnit_ = kPairsPerUnit;
  VectorPath vectorPath_ = FastestVectorPath();
  std::vector<CodePrices> prices_;
  std::vector<int32_t> calendar_;
  std::vector<std::vector<double>> closeBlocks_;
  std::unique_ptr<CorrelationBound> bound_;
  int32_t boundFrom_ = 0;  // the calendar index of the bound's first day
  int32_t boundDays_ = 0;
  // The dates and closes as read are let go once every code with days is on
  // the calendar; a merge then reads the two files again.
  bool seriesDropped_ = false;
  std::vector<RowPiece> pieces_;
  std::vector<WorkUnit> work_;
  std::vector<std::optional<double>> lastValues_;
};
