#pragma once
// The pair evaluation of a screening run, without any window: each code's
// price file is read once, then every pair key is merged, balanced by its
// unit ratio and tested against the technical conditions, on as many threads
// as asked. Whatever the number of threads, the passing pairs reach the sink
// in key order and their results are the same bit for bit.
//
// The run is in four parts: the codes on a common calendar
// (screening_calendar.h), a pair's walk over it (pair_walk.h), the
// evaluation of the pairs on the evaluation threads
// (pair_screening_evaluation.cpp) and the run itself (pair_screening.cpp).
//
// Thread use: Run is called on one thread (the worker's), which alone calls
// the sink; the evaluation threads are Run's own and end before it returns.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/statistics.h"
#include "screening/pair_keys.h"
#include "screening/pair_walk.h"
#include "screening/screening_calendar.h"
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

class PairScreening {
 public:
  // The pairs handed to a thread at a time, by default: a unit of work. A
  // unit is one or more pieces of rows, each of at most that many codes j of
  // one code i, and holds at least that many pairs but at the end; each
  // unit's results reach the sink at once.
  static constexpr int32_t kPairsPerUnit = 16384;

  // `keys` is kept by reference: it must outlive the screening (Run and
  // MalformedCodes read it). `units` are the trading units of keys.Codes(),
  // in that order. `threads` (at least 1) evaluate pairs, `pairsPerUnit` (at
  // least 1) at a time.
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
  // What the evaluation of a unit hands to the delivery.
  struct UnitResult {
    std::vector<PassedPair> passed;
    int64_t lastKey = -1;
    int32_t sell = 0;
    int32_t buy = 0;
    std::vector<std::optional<double>> lastValues;
    int64_t firstKey = 0;  // the key of the unit's first pair
  };
  // An evaluation thread's own buffers, kept from pair to pair.
  struct Scratch;
  struct Correlating;
  struct Queued;
  class PieceEvaluation;

  // ---- the run, on Run's thread (pair_screening.cpp) ----
  // The price file of keys_.Codes()[code].
  std::filesystem::path PriceFileOf(int32_t code) const;
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

  // ---- the evaluation, on the evaluation threads ----
  // ---- (pair_screening_evaluation.cpp) ----
  // Evaluates the units that handOut hands out, each into its result, until
  // none is left or the run stops; an error goes to handOut and ends the
  // thread's work. `unitHook`, when set, is called on each unit first.
  void EvaluateUnits(OrderedHandOut& handOut, std::vector<UnitResult>& results,
                     const std::function<void(size_t unit)>& unitHook) const;
  void Evaluate(const WorkUnit& unit, Scratch& scratch, UnitResult& result,
                const std::atomic<bool>& stopping) const;
  // Evaluates one pair of codes i < j on the calling thread: the pair that
  // passed, or nullopt. `sell`/`buy` receive the pair's codes after the unit
  // ratio put the sell side first.
  std::optional<PassedPair> EvaluatePair(int32_t i, int32_t j, Scratch& scratch, int32_t& sell,
                                         int32_t& buy) const;
  // The pair of codes i < j on `walk` is one that SetAsideFailingPairs set
  // aside.
  bool SetAside(int32_t i, int32_t j, const PairWalk& walk) const;
  bool CorrelatingOf(const BalancedPair& pair, const TechnicalTest& test, int32_t side,
                     Correlating& job) const;
  // The tests from `firstTest` on; scratch.values holds the values so far.
  std::optional<PassedPair> TestBalanced(const BalancedPair& pair, size_t firstTest,
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
  const CalendarPairs pairs_{prices_, units_, calendar_};
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

// Seams for the tests.
namespace screening_testing {
// While set, every run calls hook(u) on an evaluation thread before it
// evaluates its unit u (0, 1, ... in key order); what the hook throws ends
// the run as an error of the evaluation would. Set it while no run is under
// way; an empty function takes it away.
void SetUnitHook(std::function<void(size_t unit)> hook);

// The unit hook of every run while it lives.
class UnitHookFor {
 public:
  explicit UnitHookFor(std::function<void(size_t unit)> hook) { SetUnitHook(std::move(hook)); }
  ~UnitHookFor() { SetUnitHook({}); }
  UnitHookFor(const UnitHookFor&) = delete;
  UnitHookFor& operator=(const UnitHookFor&) = delete;
};
}  // namespace screening_testing
