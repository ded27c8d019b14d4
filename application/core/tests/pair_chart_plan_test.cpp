#include "pair/pair_chart_plan.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

PairDayRecord Priced(int32_t closeA, int32_t closeB, double rate, double ma5, double ma25) {
  PairDayRecord day;
  day.Year = 2024;
  day.Month = 5;
  day.Day = 10;
  day.CloseA = closeA;
  day.OpenA = closeA + 1;
  day.HighA = closeA + 2;
  day.LowA = closeA - 1;
  day.CloseB = closeB;
  day.OpenB = closeB + 1;
  day.HighB = closeB + 2;
  day.LowB = closeB - 1;
  day.Rate = rate;
  day.Ma5 = ma5;
  day.Ma25 = ma25;
  return day;
}

std::vector<int32_t> PointsOf(const PairChartFill& fill, PairSeries series) {
  std::vector<int32_t> points;
  for (const PairChartPoint& p : fill.series[static_cast<size_t>(series)])
    points.push_back(p.point);
  return points;
}

TEST(PairChartFill, EachDayKeepsItsOwnPlaceInEverySeries) {
  const std::vector<PairDayRecord> days = {
      Priced(900, 800, 1.0, 2.0, 3.0),       // outside the window
      Priced(1000, 900, 10.0, 9.0, 8.0),     // point 0
      Priced(1000, 0, 0.0, 999.0, 999.0),    // point 1: no B price
      Priced(1100, 1000, -5.0, 4.0, 999.0),  // point 2: no 25-day mean yet
      Priced(0, 0, 0.0, 999.0, 999.0),       // point 3: neither side
  };
  ChartWindow window;
  window.start = 1;
  window.end = 5;
  const PairChartFill fill = FillPairChart(days, window, 6, 30.0, 1.25);

  const auto& bars = fill.series[static_cast<size_t>(PairSeries::kBar)];
  ASSERT_EQ(bars.size(), 4u);
  EXPECT_FALSE(bars[0].null);
  EXPECT_EQ(bars[0].value, 10.0);
  EXPECT_TRUE(bars[1].null);
  EXPECT_EQ(bars[2].value, -5.0);
  EXPECT_TRUE(bars[3].null);
  EXPECT_EQ(PointsOf(fill, PairSeries::kBar), (std::vector<int32_t>{0, 1, 2, 3}));
  // The averages skip the null day and the day without a 25-day mean, and
  // the later points stay on their own days.
  EXPECT_EQ(PointsOf(fill, PairSeries::kMa5), (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(PointsOf(fill, PairSeries::kMa25), (std::vector<int32_t>{0}));
  for (PairSeries a :
       {PairSeries::kCloseA, PairSeries::kOpenA, PairSeries::kHighA, PairSeries::kLowA}) {
    EXPECT_EQ(PointsOf(fill, a), (std::vector<int32_t>{0, 1, 2}));
  }
  for (PairSeries b :
       {PairSeries::kCloseB, PairSeries::kOpenB, PairSeries::kHighB, PairSeries::kLowB}) {
    EXPECT_EQ(PointsOf(fill, b), (std::vector<int32_t>{0, 2}));
  }
  const auto& highB = fill.series[static_cast<size_t>(PairSeries::kHighB)];
  EXPECT_EQ(highB[1].value, 1002.0);
  EXPECT_TRUE(fill.series[static_cast<size_t>(PairSeries::kMean)].empty());
  EXPECT_EQ(fill.mean, 1.25);
  // A day without prices still gets its date label.
  EXPECT_EQ(fill.labels, (std::vector<std::string>{"10", "10", "10", "10"}));
}

TEST(PairChartFill, AnEmptyWindowHasNoPoints) {
  const PairChartFill fill = FillPairChart({}, ChartWindowAt(0, 20, 0), 3, 0.0, 0.0);
  for (const auto& series : fill.series) EXPECT_TRUE(series.empty());
  EXPECT_TRUE(fill.labels.empty());
}

TEST(PairChartStyles, SeriesStandInPaintingOrderOnTheirAxes) {
  const auto& styles = PairSeriesStyles();
  EXPECT_STREQ(styles[0].name, "ChartPairBar");
  EXPECT_STREQ(styles[1].name, "ChartPairLineCH");
  EXPECT_STREQ(styles[11].name, "ChartPairLineA");
  for (int32_t i = 0; i < kPairSeriesCount; ++i) EXPECT_EQ(styles[i].rightAxis, i < 4) << i;
  EXPECT_EQ(styles[static_cast<size_t>(PairSeries::kMa25)].rgb, 0xFF8000u);
  EXPECT_EQ(styles[static_cast<size_t>(PairSeries::kMa5)].mode, PairPenMode::kMergePenNot);
  EXPECT_TRUE(styles[static_cast<size_t>(PairSeries::kCloseB)].closeLine);
}

TEST(PairChartShades, LevelsGiveTheGreysOfTheTable) {
  struct Case {
    int32_t level;
    std::optional<uint32_t> grid, tick;
  };
  const Case cases[] = {
      {0, std::nullopt, std::nullopt}, {1, 0xF0F0F0, 0xD0D0D0},          {2, 0xE0E0E0, 0xC0C0C0},
      {3, 0xD0D0D0, 0xB0B0B0},         {4, 0xC0C0C0, 0xA0A0A0},          {5, 0xB0B0B0, 0x909090},
      {9, 0xB0B0B0, 0x909090},         {-1, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GridShadeRgb(c.level), c.grid) << c.level;
    EXPECT_EQ(TickShadeRgb(c.level), c.tick) << c.level;
  }
  EXPECT_STREQ(BarMarkFormat(0), "");
  EXPECT_STREQ(BarMarkFormat(1), "##0");
  EXPECT_STREQ(BarMarkFormat(2), "##0.#");
  EXPECT_STREQ(BarMarkFormat(3), "##0.##");
}

TEST(PairChartSeparators, MonthsFromModeThreeYearsAlwaysNoneWithoutShade) {
  std::vector<PairDayRecord> days(6);
  days[1].Mark = 1;
  days[2].Mark = -1;
  days[4].Mark = 2;
  days[5].Mark = -2;
  ChartWindow window;
  window.start = 1;
  window.end = 6;
  struct Case {
    int32_t mode, shade;
    std::vector<int32_t> points;
  };
  const Case cases[] = {
      {0, 3, {}}, {1, 3, {3}}, {2, 3, {3}}, {3, 3, {0, 3}}, {6, 3, {0, 3}}, {6, 0, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SeparatorPoints(days, window, c.mode, c.shade), c.points) << c.mode << " " << c.shade;
  }
}

TEST(PairChartSigma, EachLineOnlyStrictlyInsideTheAxis) {
  const SigmaLines both = SigmaLinesFor(true, 1.0, 4.0, -10.0, 10.0);
  EXPECT_EQ(both.upper, 5.0);
  EXPECT_EQ(both.lower, -3.0);
  const SigmaLines lowerOnly = SigmaLinesFor(true, 1.0, 4.0, -10.0, 5.0);
  EXPECT_FALSE(lowerOnly.upper);
  EXPECT_EQ(lowerOnly.lower, -3.0);
  const SigmaLines atMinimum = SigmaLinesFor(true, 1.0, 4.0, -3.0, 10.0);
  EXPECT_EQ(atMinimum.upper, 5.0);
  EXPECT_FALSE(atMinimum.lower);
  for (const SigmaLines& none :
       {SigmaLinesFor(true, 1.0, 0.0, -10.0, 10.0), SigmaLinesFor(false, 1.0, 4.0, -10.0, 10.0)}) {
    EXPECT_FALSE(none.upper);
    EXPECT_FALSE(none.lower);
  }
}

}  // namespace
