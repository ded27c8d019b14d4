#include "pair/pair_series.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Line(const char* date, int32_t close) {
  return std::string(date) + "\t" + std::to_string(close) + "\t" + std::to_string(close - 1) +
         "\t" + std::to_string(close + 2) + "\t" + std::to_string(close - 3) + "\t1000";
}

std::vector<CodeDayRecord> Series(const std::vector<std::string>& lines, int32_t lots = 1,
                                  int32_t adjustment = 0) {
  std::vector<CodeDayRecord> days;
  EXPECT_FALSE(ReadCodeSeries(lines, lots, adjustment, days).has_value());
  return days;
}

TEST(PairSeries, PricesAreScaledByLotsAndAdjustment) {
  const auto days = Series({Line("2009/03/05", 512)}, 100, -30);
  ASSERT_EQ(days.size(), 1u);
  EXPECT_EQ(days[0].Date, "2009/03/05");
  EXPECT_EQ(days[0].Year, 2009);
  EXPECT_EQ(days[0].Month, 3);
  EXPECT_EQ(days[0].Day, 5);
  EXPECT_EQ(days[0].Close, 51170);
  EXPECT_EQ(days[0].Open, 51070);
  EXPECT_EQ(days[0].High, 51370);
  EXPECT_EQ(days[0].Low, 50870);
}

TEST(PairSeries, BadLinesAreErrorsAndLeaveTheSeriesAlone) {
  const struct {
    std::string line;
    int32_t lots;
    SeriesError::Kind kind;
    std::string message;
  } cases[] = {
      // "'x12' は整数ではありません"
      {"2009/03/05\tx12\t1\t1\t1\t1", 1, SeriesError::Kind::kNotInteger,
       "'x12' \x82\xCD\x90\xAE\x90\x94\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"},
      {"2009/ab/05\t12\t1\t1\t1\t1", 1, SeriesError::Kind::kNotInteger,
       "'ab' \x82\xCD\x90\xAE\x90\x94\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"},
      {"", 1, SeriesError::Kind::kNotInteger,
       "'' \x82\xCD\x90\xAE\x90\x94\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"},
      {"2009/03/05\t30000\t1\t1\t1\t1", 100000, SeriesError::Kind::kOutOfRange,
       "2009/03/05\t30000\t1\t1\t1\t1"},
      {"2009/03/05\t1\t1\t1\t-30000\t1", 100000, SeriesError::Kind::kOutOfRange,
       "2009/03/05\t1\t1\t1\t-30000\t1"},
  };
  for (const auto& c : cases) {
    std::vector<CodeDayRecord> days(2);
    days[0].Close = 77;
    const auto error = ReadCodeSeries({Line("2009/03/06", 10), c.line}, c.lots, 0, days);
    ASSERT_TRUE(error.has_value()) << c.line;
    EXPECT_EQ(error->kind, c.kind) << c.line;
    EXPECT_EQ(error->message, c.message) << c.line;
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].Close, 77);
  }
}

TEST(PairSeries, LargestScaledPricesStillFit) {
  const auto days = Series({"2009/03/05\t21474836\t1\t1\t1\t1"}, 100, 47);
  EXPECT_EQ(days.at(0).Close, 2147483647);
}

TEST(PairSeries, MergeTakesTheDayBeforeForAMissingSide) {
  const auto a =
      Series({Line("2009/03/05", 100), Line("2009/03/04", 110), Line("2009/03/03", 120)});
  const auto b = Series({Line("2009/03/05", 200), Line("2009/03/03", 220)});
  const auto days = MergeSeries(a, b);
  ASSERT_EQ(days.size(), 3u);
  EXPECT_EQ(days[1].Day, 4);
  EXPECT_EQ(days[1].CloseA, 110);
  EXPECT_EQ(days[1].CloseB, 220);
  EXPECT_EQ(days[1].OpenB, 219);
  EXPECT_EQ(days[1].HighB, 222);
  EXPECT_EQ(days[1].LowB, 217);
  EXPECT_EQ(days[0].CloseB, 200);
  for (const auto& day : days) EXPECT_EQ(day.Mark, 0);
}

TEST(PairSeries, DaysBeforeASidesFirstPriceKeepZero) {
  std::vector<std::string> linesA, linesB;
  for (int i = 0; i < 30; ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "2009/%02d/%02d", 12 - i / 28, 28 - i % 28);
    linesA.push_back(Line(date, 500 + i));
    if (i < 10) linesB.push_back(Line(date, 700 + i));
  }
  const auto days = MergeSeries(Series(linesA), Series(linesB));
  ASSERT_EQ(days.size(), 30u);
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(days[i].CloseA, 500 + i);
    EXPECT_EQ(days[i].CloseB, i < 10 ? 700 + i : 0) << i;
  }
}

TEST(PairSeries, MarksAtMonthAndYearChanges) {
  const struct {
    std::vector<const char*> dates;
    std::vector<int32_t> marks;
  } cases[] = {
      {{"2010/01/04", "2009/12/30", "2009/12/01", "2009/11/30", "2009/11/27"}, {2, -2, 1, -1, 0}},
      // January's only day is the older day of one change and the newer of the
      // next: the later assignment wins.
      {{"2010/02/01", "2010/01/04", "2009/12/30"}, {1, 2, -2}},
      {{"2009/03/05"}, {0}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines;
    for (const char* date : c.dates) lines.push_back(Line(date, 1));
    std::vector<int32_t> marks;
    for (const auto& day : MergeSeries(Series(lines), {})) marks.push_back(day.Mark);
    EXPECT_EQ(marks, c.marks) << c.dates.front();
  }
}

TEST(PairSeries, MergeKeepsAtMostTheNewestDays) {
  std::vector<CodeDayRecord> a(1300);
  for (size_t i = 0; i < a.size(); ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "%04zu/01/01", 3000 - i);
    a[i].Date = date;
    a[i].Close = static_cast<int32_t>(i + 1);
  }
  const auto days = MergeSeries(a, {});
  ASSERT_EQ(days.size(), kPairMostDays);
  EXPECT_EQ(days.back().CloseA, 1225);
}

}  // namespace
