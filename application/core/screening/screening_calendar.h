#pragma once
// The codes of a screening run on its common calendar: every date of every
// code whose days allow it, newest first. A code on the calendar answers a
// pair's merge from its closes by calendar index, without its dates. Pure
// functions on the caller's data; any thread may call them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <vector>

#include "screening/screening_series.h"

// The days a code may lack and stay on the calendar: the check of a pair
// walks both codes' lists.
constexpr size_t kMostCalendarGaps = 64;

// One code's price file as the run reads it and, when its days allow, the
// code on the calendar: for each calendar day from the newest one down to its
// oldest, the close of its latest day not after it, which is what the merge
// of a pair gives that side. Index c below is a calendar index.
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
  // which most pairs use; NaN when it cannot be had. Set by the run.
  int32_t meanDays = 0;
  double meanMoney = std::numeric_limits<double>::quiet_NaN();
};

// Reads the price file `file` (not yet on a calendar).
CodePrices ReadCodePrices(const std::filesystem::path& file);
// The descending dates of every code that can go on a calendar.
std::vector<int32_t> CalendarOf(const std::vector<CodePrices>& prices);
// Puts `prices` on `calendar` when its days allow: its dates strictly
// decrease, every close is above 0, each date is on the calendar, its newest
// day lies at most kPairSeriesMaxDays calendar days from the calendar's
// newest, and it lacks at most kMostCalendarGaps of the days whose closes are
// kept. Those run from the calendar's newest day to kPairSeriesMaxDays + 2 x
// kMostCalendarGaps days past its own newest: the farthest a pair's days can
// reach, passing over the gaps of both codes.
void PlaceOnCalendar(CodePrices& prices, const std::vector<int32_t>& calendar);
