#include "screening/screening_calendar.h"

#include <functional>
#include <iterator>

CodePrices ReadCodePrices(const std::filesystem::path& file) {
  CodePrices prices;
  prices.load = LoadPriceSeries(file, prices.series);
  return prices;
}

namespace {

// A code whose merge with another is a walk over the calendar: its dates
// strictly decrease (the merge then takes the union of both codes' dates) and
// every close is above 0 (nothing of its own is filled, and the days dropped
// are exactly those before the later of the two first days).
bool CalendarShaped(const CodePrices& prices) {
  const PriceSeries& series = prices.series;
  if (prices.load != SeriesLoad::kLoaded || series.Size() == 0) return false;
  for (int32_t k = 0; k < series.Size(); ++k) {
    if (series.closes[k] <= 0) return false;
    if (k > 0 && series.dates[k] >= series.dates[k - 1]) return false;
  }
  return true;
}

}  // namespace

std::vector<int32_t> CalendarOf(const std::vector<CodePrices>& prices) {
  std::vector<int32_t> calendar;
  for (const CodePrices& code : prices) {
    if (!CalendarShaped(code)) continue;
    // Most codes share the calendar's days: merge only the new ones in.
    std::vector<int32_t> merged;
    merged.reserve(calendar.size() + 16);
    std::set_union(calendar.begin(), calendar.end(), code.series.dates.begin(),
                   code.series.dates.end(), std::back_inserter(merged), std::greater<int32_t>());
    if (merged.size() != calendar.size()) calendar = std::move(merged);
  }
  return calendar;
}

void PlaceOnCalendar(CodePrices& prices, const std::vector<int32_t>& calendar) {
  if (!CalendarShaped(prices)) return;
  const std::vector<int32_t>& dates = prices.series.dates;
  const auto top = static_cast<int32_t>(
      std::lower_bound(calendar.begin(), calendar.end(), dates[0], std::greater<int32_t>()) -
      calendar.begin());
  // A pair's days start at the newer of its two newest days; a code that
  // ended long before the others is left to the merge.
  if (top >= static_cast<int32_t>(calendar.size()) || calendar[top] != dates[0] ||
      top > kPairSeriesMaxDays) {
    return;
  }
  const int32_t size = prices.series.Size();
  std::vector<int32_t> gaps;
  std::vector<int32_t> closes(top, prices.series.closes[0]);
  int32_t c = top;
  int32_t bottom = top;
  // A pair's days may pass over days that both codes lack, at most the gaps
  // of both.
  const int32_t stored = top + kPairSeriesMaxDays + 2 * static_cast<int32_t>(kMostCalendarGaps);
  // Every code's closes stay for the run: no room beyond the last of them.
  closes.reserve(
      static_cast<size_t>(std::min(stored, top + size + static_cast<int32_t>(kMostCalendarGaps))));
  for (int32_t k = 0; k < size; ++k) {
    while (c < static_cast<int32_t>(calendar.size()) && calendar[c] > dates[k]) {
      // A day it lacks carries its close of the day after (older), filled
      // below once that is known.
      if (c < stored) {
        if (gaps.size() == kMostCalendarGaps) return;
        gaps.push_back(c);
        closes.push_back(0);
      }
      ++c;
    }
    if (c >= static_cast<int32_t>(calendar.size()) || calendar[c] != dates[k]) return;
    if (c < stored) closes.push_back(prices.series.closes[k]);
    bottom = c++;
  }
  // A lacked day at the end of what is kept has no older close kept to carry.
  while (!gaps.empty() && gaps.back() + 1 == static_cast<int32_t>(closes.size())) {
    gaps.pop_back();
    closes.pop_back();
  }
  for (auto g = gaps.rbegin(); g != gaps.rend(); ++g) closes[*g] = closes[*g + 1];

  const auto used = static_cast<int32_t>(closes.size());
  prices.sumMarks.assign(used / CodePrices::kDaysPerMark + 1, 0);
  prices.largestMarks.assign(used / CodePrices::kDaysPerMark + 1, 0);
  int64_t sum = 0;
  int32_t largest = 0;
  for (int32_t k = 0; k < used; ++k) {
    sum += closes[k];
    largest = std::max(largest, closes[k]);
    if ((k + 1) % CodePrices::kDaysPerMark == 0) {
      prices.sumMarks[(k + 1) / CodePrices::kDaysPerMark] = sum;
      prices.largestMarks[(k + 1) / CodePrices::kDaysPerMark] = largest;
    }
  }
  prices.closes = std::move(closes);
  prices.gaps = std::move(gaps);
  prices.top = top;
  prices.bottom = bottom;
  prices.onCalendar = true;
}
