// The codes of a screening on its common calendar: the calendar of every
// code whose days allow it, and each code's closes by calendar index with the
// days it lacks filled as the merge of a pair fills them.

#include "screening/screening_calendar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "scratch_dir.h"
#include "screening/screening_series.h"

namespace {

// Calendar day c, newest first.
int32_t DateOf(int32_t c) { return 20100000 - c; }

std::vector<int32_t> CalendarOfDays(int32_t days) {
  std::vector<int32_t> calendar;
  for (int32_t c = 0; c < days; ++c) calendar.push_back(DateOf(c));
  return calendar;
}

int32_t CloseOf(int32_t c) { return 1000 + c * 7 % 13; }

// A code read with a close on each of the calendar days `days` (ascending).
CodePrices CodeOn(const std::vector<int32_t>& days) {
  CodePrices prices;
  prices.load = SeriesLoad::kLoaded;
  for (const int32_t c : days) {
    prices.series.dates.push_back(DateOf(c));
    prices.series.closes.push_back(CloseOf(c));
  }
  return prices;
}

// The calendar days first..last but for those of `lacked`.
std::vector<int32_t> DaysBut(int32_t first, int32_t last, const std::vector<int32_t>& lacked) {
  std::vector<int32_t> days;
  for (int32_t c = first; c <= last; ++c) {
    if (std::find(lacked.begin(), lacked.end(), c) == lacked.end()) days.push_back(c);
  }
  return days;
}

// The closes the merge gives a code on each calendar day from the newest one
// to `end`: its close of the latest of its days not after that day.
std::vector<int32_t> FilledCloses(const std::vector<int32_t>& days, int32_t end) {
  std::vector<int32_t> closes;
  for (int32_t c = 0; c < end; ++c) {
    const auto at = std::lower_bound(days.begin(), days.end(), c);
    closes.push_back(CloseOf(at != days.end() ? *at : days.back()));
  }
  return closes;
}

}  // namespace

TEST(ScreeningCalendarTest, ReadsAPriceFileOffTheCalendar) {
  ScratchDir dir;
  dir.Write("1301.txt", "2009/10/30\t120\t1\t1\t1\t1\r\n2009/10/29\t118\t1\t1\t1\t1\r\n");
  dir.Write("1302.txt", "2009/10/30\t12x\t1\t1\t1\t1\r\n");
  const CodePrices read = ReadCodePrices(dir.path() / "1301.txt");
  EXPECT_EQ(read.load, SeriesLoad::kLoaded);
  EXPECT_EQ(read.series.dates, (std::vector<int32_t>{20091030, 20091029}));
  EXPECT_EQ(read.series.closes, (std::vector<int32_t>{120, 118}));
  EXPECT_FALSE(read.onCalendar);
  EXPECT_EQ(ReadCodePrices(dir.path() / "1302.txt").load, SeriesLoad::kMalformed);
  EXPECT_EQ(ReadCodePrices(dir.path() / "1303.txt").load, SeriesLoad::kMissing);
}

// The calendar holds every day of the codes that can go on it, once, newest
// first; a code whose days are out of order or that has a close of 0 adds
// none of its own.
TEST(ScreeningCalendarTest, IsTheUnionOfTheDaysOfTheCodesThatCanGoOnIt) {
  std::vector<CodePrices> codes = {CodeOn({0, 2, 3}), CodeOn({1, 3, 5}), CodeOn({}),
                                   CodeOn({4, 6})};
  codes[3].series.dates = {DateOf(6), DateOf(4)};  // out of order
  CodePrices zero = CodeOn({7, 8});
  zero.series.closes[1] = 0;
  codes.push_back(zero);
  CodePrices malformed = CodeOn({9});
  malformed.load = SeriesLoad::kMalformed;
  codes.push_back(malformed);
  EXPECT_EQ(CalendarOf(codes),
            (std::vector<int32_t>{DateOf(0), DateOf(1), DateOf(2), DateOf(3), DateOf(5)}));
  EXPECT_TRUE(CalendarOf({}).empty());
}

// Each code's closes by calendar index, filled on the days it lacks with its
// close of the day before (older); the days before its newest repeat its
// newest close and are no gaps.
TEST(ScreeningCalendarTest, PlacesACodeWithItsDaysFilledAsTheMergeFillsThem) {
  const std::vector<int32_t> calendar = CalendarOfDays(12);
  const struct {
    const char* what;
    std::vector<int32_t> days;
    int32_t top;
    int32_t bottom;
    std::vector<int32_t> gaps;
  } cases[] = {
      {"every day", DaysBut(0, 11, {}), 0, 11, {}},
      {"gaps at either end of its days", DaysBut(0, 11, {1, 10}), 0, 11, {1, 10}},
      {"a run of gaps", DaysBut(0, 11, {4, 5, 6}), 0, 11, {4, 5, 6}},
      {"its newest days missing", DaysBut(3, 11, {}), 3, 11, {}},
      {"a late listing", DaysBut(0, 6, {}), 0, 6, {}},
      {"ended early and listed late, with a gap", DaysBut(2, 8, {5}), 2, 8, {5}},
      {"one day", {7}, 7, 7, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CodePrices code = CodeOn(c.days);
    PlaceOnCalendar(code, calendar);
    ASSERT_TRUE(code.onCalendar);
    EXPECT_EQ(code.top, c.top);
    EXPECT_EQ(code.bottom, c.bottom);
    EXPECT_EQ(code.gaps, c.gaps);
    EXPECT_EQ(code.closes, FilledCloses(c.days, c.bottom + 1));
    // The series as read stays for the run to let go.
    EXPECT_EQ(code.series.Size(), static_cast<int32_t>(c.days.size()));
  }
}

// A code stays off the calendar, left to the merge of its pairs, when its
// days are out of order or repeat, a close is 0 or below, a date is not on
// the calendar, or it was never read.
TEST(ScreeningCalendarTest, LeavesOffACodeWhoseDaysAreNoWalk) {
  const std::vector<int32_t> calendar = CalendarOfDays(12);
  CodePrices disordered = CodeOn({0, 1, 2});
  std::swap(disordered.series.dates[1], disordered.series.dates[2]);
  CodePrices repeated = CodeOn({0, 1, 2});
  repeated.series.dates[2] = repeated.series.dates[1];
  CodePrices negative = CodeOn({0, 1, 2});
  negative.series.closes[1] = -5;
  CodePrices beyond = CodeOn({0, 1, 2});
  beyond.series.dates.push_back(DateOf(12));
  beyond.series.closes.push_back(100);
  CodePrices missing;
  for (CodePrices* code : {&disordered, &repeated, &negative, &beyond, &missing}) {
    PlaceOnCalendar(*code, calendar);
    EXPECT_FALSE(code->onCalendar);
    EXPECT_TRUE(code->closes.empty());
  }
  // A date between two of the calendar's.
  std::vector<int32_t> withoutDay1 = calendar;
  withoutDay1.erase(withoutDay1.begin() + 1);
  CodePrices between = CodeOn({0, 1, 2});
  PlaceOnCalendar(between, withoutDay1);
  EXPECT_FALSE(between.onCalendar);
}

// A code lacks at most kMostCalendarGaps of the days whose closes are kept;
// the days past those (kPairSeriesMaxDays + 2 x kMostCalendarGaps from its
// newest) are neither kept nor counted, and a gap on the last kept day,
// which has no older close kept to carry, is dropped with it.
TEST(ScreeningCalendarTest, CountsTheGapsOfTheKeptDaysOnly) {
  const auto kept = kPairSeriesMaxDays + 2 * static_cast<int32_t>(kMostCalendarGaps);
  const std::vector<int32_t> calendar = CalendarOfDays(kept + 300);
  const int32_t last = static_cast<int32_t>(calendar.size()) - 1;
  std::vector<int32_t> lacked;
  for (int32_t k = 0; k < static_cast<int32_t>(kMostCalendarGaps); ++k)
    lacked.push_back(5 + 19 * k);
  // Many more past the kept days.
  for (int32_t c = kept + 1; c < last; c += 3) lacked.push_back(c);

  CodePrices most = CodeOn(DaysBut(0, last, lacked));
  PlaceOnCalendar(most, calendar);
  ASSERT_TRUE(most.onCalendar);
  EXPECT_EQ(most.gaps.size(), kMostCalendarGaps);
  EXPECT_EQ(most.bottom, last);
  EXPECT_EQ(most.closes, FilledCloses(DaysBut(0, last, lacked), kept));

  std::vector<int32_t> oneMore = lacked;
  oneMore.push_back(kept - 2);
  CodePrices tooMany = CodeOn(DaysBut(0, last, oneMore));
  PlaceOnCalendar(tooMany, calendar);
  EXPECT_FALSE(tooMany.onCalendar);

  // The last kept day lacked instead of the first gap.
  std::vector<int32_t> atTheEnd(lacked.begin() + 1, lacked.end());
  atTheEnd.push_back(kept - 1);
  CodePrices endGap = CodeOn(DaysBut(0, last, atTheEnd));
  PlaceOnCalendar(endGap, calendar);
  ASSERT_TRUE(endGap.onCalendar);
  EXPECT_EQ(endGap.gaps.size(), kMostCalendarGaps - 1);
  EXPECT_EQ(endGap.gaps.back(), lacked[kMostCalendarGaps - 1]);
  EXPECT_EQ(endGap.closes, FilledCloses(DaysBut(0, last, atTheEnd), kept - 1));
}

// A code whose newest day lies more than kPairSeriesMaxDays calendar days
// from the calendar's newest ended long before the others: the merge takes
// its pairs.
TEST(ScreeningCalendarTest, LeavesOffACodeThatEndedLongBefore) {
  const std::vector<int32_t> calendar = CalendarOfDays(kPairSeriesMaxDays + 20);
  for (const int32_t newest : {kPairSeriesMaxDays, kPairSeriesMaxDays + 1}) {
    CodePrices code = CodeOn(DaysBut(newest, newest + 10, {}));
    PlaceOnCalendar(code, calendar);
    EXPECT_EQ(code.onCalendar, newest <= kPairSeriesMaxDays) << newest;
    if (code.onCalendar) {
      EXPECT_EQ(code.top, newest);
      EXPECT_EQ(code.closes, FilledCloses(DaysBut(newest, newest + 10, {}), newest + 11));
    }
  }
}

// The running sums and largest closes, kept for every kDaysPerMark-th day
// only, answer for every day.
TEST(ScreeningCalendarTest, SumsAndLargestClosesBeforeEveryDay) {
  const std::vector<int32_t> calendar = CalendarOfDays(100);
  const std::vector<int32_t> days = DaysBut(3, 90, {17, 32, 33, 48, 64});
  CodePrices code = CodeOn(days);
  PlaceOnCalendar(code, calendar);
  ASSERT_TRUE(code.onCalendar);
  for (int32_t c = 0; c <= static_cast<int32_t>(code.closes.size()); ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(code.SumBefore(c),
              std::accumulate(code.closes.begin(), code.closes.begin() + c, int64_t{0}));
    EXPECT_EQ(code.LargestBefore(c),
              c == 0 ? 0 : *std::max_element(code.closes.begin(), code.closes.begin() + c));
  }
}
