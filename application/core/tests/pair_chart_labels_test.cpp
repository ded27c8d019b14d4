#include "pair/pair_chart_labels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

PairDayRecord Day(int32_t mark, int32_t year, int32_t month, int32_t day) {
  PairDayRecord record;
  record.Mark = mark;
  record.Year = year;
  record.Month = month;
  record.Day = day;
  return record;
}

// Newest first: a month change inside the window.
const std::vector<PairDayRecord> kMarch = {
    Day(0, 2024, 3, 5),   Day(0, 2024, 3, 4),  Day(1, 2024, 3, 1),
    Day(-1, 2024, 2, 29), Day(0, 2024, 2, 28), Day(0, 2024, 2, 27),
};
// Newest first: a year change inside the window, the newest day in January.
const std::vector<PairDayRecord> kNewYear = {
    Day(0, 2025, 1, 7),
    Day(2, 2025, 1, 6),
    Day(-2, 2024, 12, 30),
    Day(0, 2024, 12, 27),
};
const std::vector<PairDayRecord> kOldYear = {Day(0, 2005, 7, 12), Day(0, 2005, 7, 11)};

struct LabelCase {
  const char* name;
  const std::vector<PairDayRecord>* days;
  int32_t start;
  int32_t end;
  int32_t mode;
  double pixelsPerDay;
  std::vector<std::string> expected;
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

class DateLabelTable : public testing::TestWithParam<LabelCase> {};

TEST_P(DateLabelTable, LabelsEachDayOfTheWindow) {
  const LabelCase& c = GetParam();
  ChartWindow window;
  window.start = c.start;
  window.end = c.end;
  EXPECT_EQ(DateLabels(*c.days, window, c.mode, c.pixelsPerDay), c.expected);
}

const std::string _ = " ";

INSTANTIATE_TEST_SUITE_P(
    Modes, DateLabelTable,
    testing::Values(
        LabelCase{"NoneLabelsNothing", &kMarch, 0, 6, 0, 50, {_, _, _, _, _, _}},
        LabelCase{"UnknownModeLabelsNothing", &kMarch, 0, 6, 7, 50, {_, _, _, _, _, _}},
        // Mode 1: only the oldest day may carry its year, and only when more
        // than 20 pixels lie between it and the last labelled day.
        LabelCase{"YearOldestDayAtTwentyPixels", &kMarch, 0, 6, 1, 4, {_, _, _, _, _, _}},
        LabelCase{"YearOldestDayAboveTwenty", &kMarch, 0, 6, 1, 4.01, {_, _, _, _, _, "2024"}},
        LabelCase{"YearStartLabelled", &kNewYear, 0, 4, 1, 10, {_, "2025", _, _}},
        LabelCase{"YearOldestAfterYearStart", &kNewYear, 0, 4, 1, 25, {_, "2025", _, "2024"}},
        // Mode 2: the newest day carries its month; the oldest its year and
        // month when there is room, else the last labelled day gets them.
        LabelCase{"YearMonthRoom", &kMarch, 0, 6, 2, 10, {"3", _, _, _, _, "2024/2"}},
        LabelCase{"YearMonthAt38", &kMarch, 0, 6, 2, 9.5, {"2024/3", _, _, _, _, "2024/  "}},
        LabelCase{"YearMonthAt30", &kMarch, 0, 6, 2, 7.5, {"2024/3", _, _, _, _, _}},
        LabelCase{"YearMonthJanuaryNewest", &kNewYear, 0, 4, 2, 10, {_, "2025/1", _, _}},
        LabelCase{"YearMonthYearStartNewest", &kNewYear, 1, 4, 2, 10, {"2025/1", _, _}},
        LabelCase{"YearMonthOneDay", &kMarch, 2, 3, 2, 10, {"3"}},
        // Mode 3: month starts carry the month, year starts "yy/m".
        LabelCase{"ShortYearRoom", &kMarch, 0, 6, 3, 14, {_, _, "3", _, _, "24/2"}},
        LabelCase{"ShortYearAfterMonthStart", &kMarch, 0, 6, 3, 13, {_, _, "3", _, _, "24/2"}},
        LabelCase{"ShortYearRelabels", &kMarch, 0, 6, 3, 9, {_, _, "24/3", _, _, _}},
        LabelCase{"ShortYearAfterYearStart", &kNewYear, 0, 4, 3, 10, {_, "25/1", _, _}},
        LabelCase{"ShortYearAfterYearStartRoom", &kNewYear, 0, 4, 3, 30, {_, "25/1", _, "24/12"}},
        LabelCase{"ShortYearNoLabelInWindow", &kMarch, 3, 6, 3, 13, {_, _, _}},
        LabelCase{"ShortYearNoLabelInWindowRoom", &kMarch, 3, 6, 3, 14, {_, _, "24/2"}},
        LabelCase{"ShortYearTwoDigits", &kOldYear, 0, 2, 3, 30, {_, "05/7"}},
        // Mode 4: months; the oldest day only in the first 19 days.
        LabelCase{"MonthOldestLate", &kMarch, 0, 6, 4, 10, {_, _, "3", _, _, _}},
        LabelCase{"MonthOldestEarly", &kMarch, 0, 2, 4, 10, {_, "3"}},
        LabelCase{"MonthYearStart", &kNewYear, 0, 4, 4, 10, {_, "1", _, _}},
        // Mode 5: the newest day's day of month padded, month starts "m/".
        LabelCase{"MonthDayRoom", &kMarch, 0, 6, 5, 12, {" 5", _, "3/", _, _, "2/27"}},
        LabelCase{"MonthDayAt22", &kMarch, 0, 6, 5, 11, {" 5", _, "3/1", _, _, "2/  "}},
        LabelCase{"MonthDayAt18", &kMarch, 0, 6, 5, 9, {" 5", _, "3/1", _, _, _}},
        LabelCase{"MonthDayMarkedNewest", &kNewYear, 1, 4, 5, 30, {"1/6", _, "12/27"}},
        // Mode 6: every day.
        LabelCase{"DayOfMonth", &kMarch, 0, 6, 6, 1, {"5", "4", "3/1", "29", "28", "27"}},
        LabelCase{"DayOfMonthYearStart", &kNewYear, 0, 4, 6, 1, {"7", "1/6", "30", "27"}},
        LabelCase{"EmptyWindow", &kMarch, 2, 2, 6, 1, {}}),
    [](const testing::TestParamInfo<LabelCase>& info) { return std::string(info.param.name); });

}  // namespace
