#include "pair/pair_statistics.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// `count` days, newest first, both sides priced on the first `usable`.
std::vector<PairDayRecord> Days(int count, int usable, int32_t closeA = 1000,
                                int32_t closeB = 900) {
  std::vector<PairDayRecord> days(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    days[i].Day = i;
    days[i].CloseA = closeA + (i % 7) * 3;
    days[i].CloseB = i < usable ? closeB + (i % 5) * 2 : 0;
  }
  return days;
}

bool AllDashes(const PairStatistics& s) {
  return s.CorrText == "-" && s.RangeText == "-" && s.MeanSdText == "-" && s.SlopeText == "-";
}

TEST(PairStatistics, RateOfOneDayOnTheLargestClose) {
  std::vector<PairDayRecord> days(1);
  days[0].CloseA = 1000;
  days[0].CloseB = 900;
  const PairStatistics s = ComputePairStatistics(days, 1, 1200);
  EXPECT_EQ(s.Basis, 1000);
  EXPECT_DOUBLE_EQ(days[0].Rate, 10.0);
  EXPECT_DOUBLE_EQ(s.MeanRate, 10.0);
  EXPECT_EQ(s.MeanText, "10.00");
  EXPECT_TRUE(AllDashes(s));
}

TEST(PairStatistics, StatisticsNeedMoreThanFiveUsableDays) {
  const struct {
    int usable;
    bool statistics;
    int ma5Days;
    int ma25Days;
  } cases[] = {
      {5, false, 0, 0}, {6, true, 2, 0}, {25, true, 21, 0}, {26, true, 22, 2}, {0, false, 0, 0},
  };
  for (const auto& c : cases) {
    std::vector<PairDayRecord> days = Days(40, c.usable);
    const PairStatistics s = ComputePairStatistics(days, 1, 1200);
    EXPECT_EQ(!AllDashes(s), c.statistics) << c.usable;
    EXPECT_EQ(s.TwoSigma != 0.0, c.statistics) << c.usable;
    for (int i = 0; i < 40; ++i) {
      EXPECT_EQ(days[i].Ma5 != kNoAverage, i < c.ma5Days) << c.usable << " day " << i;
      EXPECT_EQ(days[i].Ma25 != kNoAverage, i < c.ma25Days) << c.usable << " day " << i;
    }
  }
}

TEST(PairStatistics, AveragesOfTheRates) {
  std::vector<PairDayRecord> days = Days(30, 30);
  ComputePairStatistics(days, 1, 1200);
  double sum5 = 0.0;
  for (int i = 1; i <= 5; ++i) sum5 += days[i].Rate;
  EXPECT_NEAR(days[1].Ma5, sum5 / 5.0, 1e-12);
  double sum25 = 0.0;
  for (int i = 0; i < 25; ++i) sum25 += days[i].Rate;
  EXPECT_NEAR(days[0].Ma25, sum25 / 25.0, 1e-12);
}

TEST(PairStatistics, PeriodKeepsItsDaysAndUsesOlderOnesForTheAverages) {
  std::vector<PairDayRecord> days = Days(100, 100);
  ComputePairStatistics(days, 11, 20);
  ASSERT_EQ(days.size(), 10u);
  EXPECT_EQ(days.front().Day, 10);
  EXPECT_EQ(days.back().Day, 19);
  // 35 days were rated: the oldest kept day still has both averages.
  EXPECT_NE(days.back().Ma5, kNoAverage);
  EXPECT_NE(days.back().Ma25, kNoAverage);
}

TEST(PairStatistics, PeriodLongerThanTheUsableDays) {
  std::vector<PairDayRecord> days = Days(30, 10);
  const PairStatistics s = ComputePairStatistics(days, 1, 30);
  EXPECT_EQ(days.size(), 30u);
  EXPECT_FALSE(AllDashes(s));
  EXPECT_EQ(days[10].CloseB, 0);
  EXPECT_EQ(days[10].Rate, 0.0);
}

TEST(PairStatistics, TextsOfAKnownPair) {
  // A steps down by 10 a day into the past, B stays at 1000.
  std::vector<PairDayRecord> days(6);
  for (int i = 0; i < 6; ++i) {
    days[i].CloseA = 1100 - 10 * i;
    days[i].CloseB = 1000;
  }
  const PairStatistics s = ComputePairStatistics(days, 1, 1200);
  // Rates 9.0909.. down to 4.5454..; mean 6.818.. -> 6.82.
  EXPECT_EQ(s.MeanText, "6.82");
  EXPECT_EQ(s.CorrText, "0.000000");  // B has no spread
  EXPECT_EQ(s.RangeText, "9.09 \x81\x60 4.55");
  EXPECT_EQ(s.MeanSdText,
            "6.82(\x81\x7D"
            "1.70)");
  EXPECT_EQ(s.SlopeText, "0.054545(9.09)");
  EXPECT_DOUBLE_EQ(s.TwoSigma, 3.4);
}

TEST(PairStatistics, PeriodsWithoutADivisor) {
  const struct {
    const char* what;
    std::vector<PairDayRecord> days;
    int32_t from;
    int32_t to;
    size_t kept;
  } cases[] = {
      {"From after To", Days(50, 50), 30, 10, 0},
      {"no usable day", Days(50, 0), 1, 1200, 50},
      {"no day at all", {}, 1, 1200, 0},
      {"closes not above 0", Days(50, 50, -500, -400), 1, 20, 20},
  };
  for (auto c : cases) {
    const PairStatistics s = ComputePairStatistics(c.days, c.from, c.to);
    EXPECT_TRUE(AllDashes(s)) << c.what;
    EXPECT_EQ(s.MeanRate, 0.0) << c.what;
    EXPECT_EQ(s.MeanText, "0.00") << c.what;
    EXPECT_EQ(s.TwoSigma, 0.0) << c.what;
    EXPECT_EQ(c.days.size(), c.kept) << c.what;
    for (const auto& day : c.days) EXPECT_EQ(day.Rate, 0.0) << c.what;
  }
}

}  // namespace
