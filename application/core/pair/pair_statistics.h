#pragma once
// The numbers of a pair check over its period: the daily deviation rate, its
// 5- and 25-day averages and the four statistics texts of the status bar.

#include <cstdint>
#include <string>
#include <vector>

#include "pair/pair_day_record.h"

struct PairStatistics {
  // The mean rate of the period rounded to two decimals; 0.0 without days.
  double MeanRate = 0.0;
  // Twice the standard deviation of the rate; 0.0 with kFewestStatisticsDays
  // days or fewer.
  double TwoSigma = 0.0;
  // The base of the rates: the largest scaled close of the period (0 without
  // days).
  int32_t Basis = 0;
  // Code page 932 texts: MeanRate with 2 decimals, and the four status texts
  // (correlation; highest " ～ " lowest rate; mean "(±" sd ")"; slope
  // "(" intercept ")"), "-" with kFewestStatisticsDays days or fewer.
  std::string MeanText = "0.00";
  std::string CorrText = "-";
  std::string RangeText = "-";
  std::string MeanSdText = "-";
  std::string SlopeText = "-";
};

// With this many usable days or fewer no statistics are given.
inline constexpr int32_t kFewestStatisticsDays = 5;
// Older days kept for the moving averages while they are computed.
inline constexpr int32_t kAverageMarginDays = 25;

// Cuts `days` (newest first, as MergeSeries built it) to the period of days
// `from` to `to` counted from the newest (day 1 is index 0) and fills Rate,
// Ma5 and Ma25 of its usable days: the leading days on which both sides have
// a close. The averages use up to kAverageMarginDays older days. A period
// with `from` > `to` holds no day; a period whose largest close is 0 (or less)
// gets no rates and no statistics.
PairStatistics ComputePairStatistics(std::vector<PairDayRecord>& days, int32_t from, int32_t to);
