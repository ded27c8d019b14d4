#pragma once
// The two price series of a pair check: one code's price file read and
// scaled, and the two merged by date into the pair's day list.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pair/pair_day_record.h"

// One day of one code, its prices already times the lot count plus the
// adjustment.
struct CodeDayRecord {
  std::string Date;  // the date field as the file holds it ("yyyy/mm/dd")
  int32_t Year = 0;
  int32_t Month = 0;
  int32_t Day = 0;
  int32_t Close = 0;
  int32_t Open = 0;
  int32_t High = 0;
  int32_t Low = 0;
};

// Why a price file could not be read into a series.
struct SeriesError {
  enum class Kind {
    kNotInteger,  // a date part or a price is not a whole number
    kOutOfRange,  // a scaled price does not fit in 32 bits
  };
  Kind kind;
  // Code page 932: "'<text>' は整数ではありません" for kNotInteger, the
  // offending line for kOutOfRange.
  std::string message;
};

// The lines of a price file (newest first) as a series: year, month and day
// from characters 1-4, 6-7 and 9-10 of the date field, each price times
// `lots` plus `adjustment` (the volume is not read). The products are taken
// in 64 bits; a result outside 32 bits is an error rather than a wrapped
// price. On error `days` is left as it was.
std::optional<SeriesError> ReadCodeSeries(const std::vector<std::string>& lines, int32_t lots,
                                          int32_t adjustment, std::vector<CodeDayRecord>& days);

// At most this many merged days are kept.
inline constexpr size_t kPairMostDays = 1225;

// The two series merged by date, newest first: a date present on one side
// only takes that side's prices, the other side's stay 0; then, from old to
// new, a side without a price on a day takes the previous day's prices (days
// older than a side's first price keep 0); then the month (+1/-1) and year
// (+2/-2) marks on the newer/older day of each change; at most kPairMostDays
// days.
std::vector<PairDayRecord> MergeSeries(const std::vector<CodeDayRecord>& a,
                                       const std::vector<CodeDayRecord>& b);
