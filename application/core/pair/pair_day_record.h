#pragma once
// One trading day of the checked pair, as the pair page keeps it in its day
// list (newest day first).

#include <cstdint>

// The value of Ma5 and Ma25 on a day without an average.
inline constexpr double kNoAverage = 999.0;

struct PairDayRecord {
  // +1 on the newer and -1 on the older day of a month change, +2 and -2 at a
  // year change; 0 otherwise.
  int32_t Mark = 0;
  int32_t Year = 0;
  int32_t Month = 0;
  int32_t Day = 0;
  // A's prices times A's lot count plus the adjustment; CloseA 0 means no
  // price of A on this day or before it.
  int32_t CloseA = 0;
  int32_t OpenA = 0;
  int32_t HighA = 0;
  int32_t LowA = 0;
  // B's prices times B's lot count; CloseB 0 means no price of B.
  int32_t CloseB = 0;
  int32_t OpenB = 0;
  int32_t HighB = 0;
  int32_t LowB = 0;
  // Deviation rate in per cent.
  double Rate = 0.0;
  // Means of the rates of this day and the 4 (24) older days; kNoAverage for
  // none.
  double Ma5 = kNoAverage;
  double Ma25 = kNoAverage;
};
