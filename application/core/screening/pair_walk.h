#pragma once
// A pair of codes on a screening run's calendar (screening_calendar.h): the
// days its merge would give, read off the two codes' closes by calendar
// index, and the pair balanced by its unit ratio from the codes' running
// sums, with the numbers the merged rows would give. Nothing here reads a
// file; any thread may call it once the codes are on the calendar.

#include <cstdint>
#include <vector>

#include "screening/screening_calendar.h"
#include "screening/screening_series.h"

// The days of a pair on the calendar: the calendar indexes from start up to
// end, but for `skipped` (ascending), the days both codes lack.
struct PairWalk {
  int32_t start = 0;
  int32_t end = 0;
  int32_t days = 0;
  const std::vector<int32_t>* skipped = nullptr;  // or none
};

// A pair on its walk, balanced, before its tests.
struct BalancedPair {
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

// The pairs of a run's codes on its calendar; i and j index `prices`.
class CalendarPairs {
 public:
  // `units` are the codes' trading units. All three must outlive this.
  CalendarPairs(const std::vector<CodePrices>& prices, const std::vector<int32_t>& units,
                const std::vector<int32_t>& calendar)
      : prices_(prices), units_(units), calendar_(calendar) {}

  // Neither price file is malformed and both units are at least 1.
  bool Usable(int32_t i, int32_t j) const {
    return prices_[i].load != SeriesLoad::kMalformed && prices_[j].load != SeriesLoad::kMalformed &&
           units_[i] >= 1 && units_[j] >= 1;
  }
  // The walk of codes i and j; false when the merge must give their rows.
  // `skipped` receives the days passed over.
  bool WalkOf(int32_t i, int32_t j, std::vector<int32_t>& skipped, PairWalk& walk) const;
  // The merged rows of two codes on the calendar, read off it; false when
  // they are not both on it.
  bool CalendarRows(int32_t i, int32_t j, std::vector<MergedDay>& rows) const;
  // Codes i and j on `walk` balanced by their unit ratio; false when the
  // pair cannot be balanced. pair.sell and pair.buy are set either way.
  bool Balance(int32_t i, int32_t j, const PairWalk& walk, BalancedPair& pair) const;

 private:
  const std::vector<CodePrices>& prices_;
  const std::vector<int32_t>& units_;
  const std::vector<int32_t>& calendar_;
};

// The scaled closes of `n` days of a balanced pair from its day `from` on,
// the sell side into a and the buy side into b; their sums.
void GatherScaledCloses(const BalancedPair& pair, int32_t from, int32_t n, int32_t* a, int32_t* b,
                        int64_t& sumA, int64_t& sumB);
// The same as doubles into a lane of two blocks of correlation lanes (a[0],
// a[kCorrelationLanes], ...).
void GatherScaledLane(const BalancedPair& pair, int32_t from, int32_t n, double* a, double* b,
                      int64_t& sumA, int64_t& sumB);
