#include "chart/chart_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "chart/chart.h"

namespace chart {
namespace {

struct CategoryCase {
  int32_t width;
  int32_t count;
  bool inverted;
};

void PrintTo(const CategoryCase& c, std::ostream* os) {
  *os << c.width << " px, " << c.count << (c.inverted ? " inverted" : "");
}

class CategoryMapping : public testing::TestWithParam<CategoryCase> {};

// Every pixel column of the plot belongs to exactly one category, the one
// whose centre mapping lies in it; columns run from category 0 at the right
// edge of an inverted axis.
TEST_P(CategoryMapping, EveryColumnReadsBackItsOwnCategory) {
  const CategoryCase c = GetParam();
  const ValueScale none;
  const Geometry geometry(QRect(37, 10, c.width, 100), c.count, c.inverted, none, none);
  int32_t previous = c.inverted ? c.count : -1;
  for (int32_t x = 37; x < 37 + c.width; ++x) {
    const double value = geometry.PixelToCategory(x) + 0.5;
    ASSERT_GT(value, 0.0) << x;
    const int32_t category = static_cast<int32_t>(value);
    ASSERT_LT(category, c.count) << x;
    // Categories change monotonically across the plot.
    if (c.inverted) {
      ASSERT_LE(category, previous) << x;
    } else {
      ASSERT_GE(category, previous) << x;
    }
    previous = category;
  }
  // Categories of a pixel or more each own the column of their centre, and
  // the edge columns belong to the first and the last category.
  if (geometry.CategoryWidth() >= 1.0) {
    for (int32_t category = 0; category < c.count; ++category) {
      const int32_t x = geometry.CategoryPixel(category);
      EXPECT_EQ(static_cast<int32_t>(geometry.PixelToCategory(x) + 0.5), category) << category;
    }
  }
  const int32_t newestEdge = c.inverted ? 37 + c.width - 1 : 37;
  const int32_t oldestEdge = c.inverted ? 37 : 37 + c.width - 1;
  if (geometry.CategoryWidth() >= 1.0) {
    EXPECT_EQ(static_cast<int32_t>(geometry.PixelToCategory(newestEdge) + 0.5), 0);
    EXPECT_EQ(static_cast<int32_t>(geometry.PixelToCategory(oldestEdge) + 0.5), c.count - 1);
  }
  // Just beyond the newest edge lies before category 0.
  const int32_t beyond = c.inverted ? newestEdge + 1 : newestEdge - 1;
  EXPECT_LT(geometry.PixelToCategory(beyond), -0.5);
}

INSTANTIATE_TEST_SUITE_P(Plots, CategoryMapping,
                         testing::Values(CategoryCase{600, 20, true}, CategoryCase{600, 7, true},
                                         CategoryCase{1550, 1200, true},
                                         CategoryCase{97, 300, true}, CategoryCase{600, 20, false},
                                         CategoryCase{1, 1, true}));

TEST(Geometry, ValuesMapToTheirPaneAndBack) {
  ValueScale left{true, 1000.0, 3000.0, 10, 209};
  ValueScale right{true, -5.0, 5.0, 210, 309};
  const Geometry geometry(QRect(0, 10, 500, 300), 10, true, left, right);
  EXPECT_EQ(geometry.ValuePixel(AxisSide::kLeft, 3000.0), 10);
  EXPECT_EQ(geometry.ValuePixel(AxisSide::kLeft, 1000.0), 209);
  EXPECT_EQ(geometry.ValuePixel(AxisSide::kRight, 5.0), 210);
  EXPECT_EQ(geometry.ValuePixel(AxisSide::kRight, -5.0), 309);
  for (int32_t y : {10, 57, 209}) {
    const double value = geometry.PixelToValue(AxisSide::kLeft, y);
    EXPECT_EQ(geometry.ValuePixel(AxisSide::kLeft, value), y);
  }
  // Outside the pane the mapping extrapolates.
  EXPECT_GT(geometry.PixelToValue(AxisSide::kLeft, 0), 3000.0);
  EXPECT_LT(geometry.PixelToValue(AxisSide::kRight, 400), -5.0);
}

TEST(Geometry, DegeneratePanesAndPlotsMapWithoutDividingByZero) {
  const ValueScale flat{true, 7.0, 7.0, 10, 10};
  const ValueScale hidden{false, 0.0, 1.0, 50, 49};
  const Geometry geometry(QRect(0, 10, 0, 40), 0, true, flat, hidden);
  EXPECT_TRUE(geometry.Empty());
  EXPECT_EQ(geometry.CategoryWidth(), 0.0);
  EXPECT_EQ(geometry.PixelToCategory(5), 0.0);
  EXPECT_EQ(geometry.ValuePixel(AxisSide::kLeft, 100.0), 10);
  EXPECT_EQ(geometry.PixelToValue(AxisSide::kLeft, 3), 7.0);
  EXPECT_EQ(geometry.PixelToValue(AxisSide::kRight, 3), 0.0);
}

TEST(Geometry, BarsAreCentredOnTheirCategory) {
  const Geometry geometry(QRect(100, 0, 400, 100), 10, true, {}, {});
  EXPECT_EQ(geometry.BarWidth(90), 36);
  EXPECT_EQ(geometry.BarWidth(100), 40);
  EXPECT_EQ(geometry.BarLeft(0, 90), geometry.CategoryPixel(0) - 18);
  // A very narrow plot still gives bars one pixel wide.
  const Geometry narrow(QRect(0, 0, 50, 100), 1000, true, {}, {});
  EXPECT_EQ(narrow.BarWidth(5), 1);
}

// Charts laid out for real, with fonts.
Chart TwoPaneChart(int32_t count) {
  Chart chart;
  chart.bottom.count = count;
  chart.bottom.labels.assign(count, QStringLiteral(" "));
  LineSeries prices;
  BarSeries rates;
  for (int32_t i = 0; i < count; ++i) {
    prices.points.push_back({i, 1000.0 + 10 * i});
    rates.points.push_back({i, i % 2 ? -2.5 : 4.0, false});
  }
  chart.series.push_back({"prices", AxisSide::kLeft, true, prices});
  chart.series.push_back({"rates", AxisSide::kRight, true, rates});
  return chart;
}

TEST(Layout, PanesTouchAtTheSplitAndRangesFollowTheSeries) {
  for (int32_t split : {0, 1, 30, 75, 99, 100}) {
    Chart chart = TwoPaneChart(30);
    chart.splitPercent = split;
    const Geometry geometry = chart.LayOut(QRect(0, 0, 800, 500));
    const ValueScale& left = geometry.Axis(AxisSide::kLeft);
    const ValueScale& right = geometry.Axis(AxisSide::kRight);
    SCOPED_TRACE(split);
    EXPECT_EQ(left.top, geometry.Plot().top());
    EXPECT_EQ(left.bottom + 1, right.top);
    EXPECT_EQ(right.bottom, geometry.Plot().bottom());
    EXPECT_NEAR(right.top - geometry.Plot().top(), geometry.Plot().height() * split / 100.0, 1.0);
    EXPECT_EQ(left.visible, split > 0);
    EXPECT_EQ(right.visible, split < 100);
    EXPECT_EQ(left.min, 1000.0);
    EXPECT_EQ(left.max, 1290.0);
    EXPECT_EQ(right.min, -2.5);
    EXPECT_EQ(right.max, 4.0);
  }
}

TEST(Layout, InactiveSeriesNullBarsAndPointsOutsideTheAxisDoNotWidenTheRange) {
  Chart chart = TwoPaneChart(10);
  auto& bars = std::get<BarSeries>(chart.series[1].data);
  bars.points.push_back({3, 99.0, true});
  bars.points.push_back({10, -99.0, false});
  LineSeries off;
  off.points.push_back({2, 1.0e6});
  chart.series.push_back({"off", AxisSide::kLeft, false, off});
  const Geometry geometry = chart.LayOut(QRect(0, 0, 800, 500));
  EXPECT_EQ(geometry.Axis(AxisSide::kLeft).max, 1090.0);
  EXPECT_EQ(geometry.Axis(AxisSide::kRight).min, -2.5);
  EXPECT_EQ(geometry.Axis(AxisSide::kRight).max, 4.0);
}

TEST(Layout, AFlatSeriesAndAnEmptyAxisGetARangeToMapOn) {
  Chart chart;
  chart.bottom.count = 3;
  LineSeries flat;
  for (int32_t i = 0; i < 3; ++i) flat.points.push_back({i, 500.0});
  chart.series.push_back({"flat", AxisSide::kLeft, true, flat});
  const Geometry geometry = chart.LayOut(QRect(0, 0, 400, 300));
  EXPECT_EQ(geometry.Axis(AxisSide::kLeft).min, 499.0);
  EXPECT_EQ(geometry.Axis(AxisSide::kLeft).max, 501.0);
  EXPECT_LT(geometry.Axis(AxisSide::kRight).min, geometry.Axis(AxisSide::kRight).max);
}

TEST(Layout, MarginsAreShareOfTheChartAndHiddenAxesLeaveNoLabelSpace) {
  Chart chart = TwoPaneChart(20);
  chart.marginLeft = 2;
  chart.marginRight = 2;
  const Geometry both = chart.LayOut(QRect(0, 0, 1000, 600));
  EXPECT_GT(both.Plot().left(), 20);
  EXPECT_LT(both.Plot().left() + both.Plot().width(), 980);
  chart.left.visible = false;
  chart.right.visible = false;
  const Geometry none = chart.LayOut(QRect(0, 0, 1000, 600));
  EXPECT_EQ(none.Plot().left(), 20);
  EXPECT_EQ(none.Plot().left() + none.Plot().width(), 980);
  EXPECT_EQ(none.Plot().top(), 6);
  // The same chart in a larger rectangle is laid out afresh.
  const Geometry wide = chart.LayOut(QRect(0, 0, 2000, 600));
  EXPECT_EQ(wide.Plot().width(), 1920);
  EXPECT_DOUBLE_EQ(wide.CategoryWidth(), 96.0);
}

}  // namespace
}  // namespace chart
