#pragma once
// The date labels under the pair chart's bars. Seven modes thin the labels
// out by the pixel distance between labelled days; " " (one blank) stands
// for no label. Labels are ASCII.

#include <cstdint>
#include <string>
#include <vector>

#include "pair/pair_chart_window.h"
#include "pair/pair_day_record.h"

// The modes, in the order of the page's date-label list.
enum class DateLabelMode : int32_t {
  kNone = 0,        // "  なし"
  kYear = 1,        // "y"
  kYearMonth = 2,   // "y/...m"
  kShortYear = 3,   // "y/mm..."
  kMonth = 4,       // "m"
  kMonthDay = 5,    // "m/...d"
  kDayOfMonth = 6,  // "m/dd..."
};

inline constexpr char kNoLabel[] = " ";

// One label per day of `window` (point 0 = the window's newest day) for
// list index `mode` (0..6; any other index labels nothing), with
// `pixelsPerDay` pixels between neighbouring days. `days` holds the window.
std::vector<std::string> DateLabels(const std::vector<PairDayRecord>& days,
                                    const ChartWindow& window, int32_t mode, double pixelsPerDay);
