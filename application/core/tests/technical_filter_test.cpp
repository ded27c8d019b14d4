// The technical conditions read into tests, and their test of a pair's
// merged rows.

#include "screening/technical_filter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "data/statistics.h"
#include "screening_fixtures.h"

namespace {

TechnicalTest TestOf(const std::string& kind, const std::string& period, const std::string& range) {
  return *ParseTechnicalTest(Condition(kind, period, range), 0);
}

}  // namespace

TEST(TechnicalTestTest, ReadsPeriodsAndRanges) {
  struct Case {
    const char* name;
    std::string period;
    std::string range;
    int32_t from, to;
    double lowest, highest;
    bool valid;
  };
  const std::vector<Case> cases = {
      {"padded", "   1" + kSeparator + "1200", "      0.9" + kSeparator + "1.0", 0, 1200, 0.9, 1.0,
       true},
      {"blank bounds", "  30" + kSeparator + "90", kSeparator, 29, 90, -999.0, 999.0, true},
      {"a start below 1 counts as 1", "  -5" + kSeparator + "90", "-0.5" + kSeparator, 0, 90, -0.5,
       999.0, true},
      {"no separator: both blank", "30 - 90", "0.5 ~ 0.9", 0, 1200, -999.0, 999.0, true},
      {"a bound that is no number", "1" + kSeparator + "10", "abc" + kSeparator + "1", 0, 10,
       -999.0, 1.0, false},
  };
  for (const Case& c : cases) {
    const TechnicalTest test = TestOf(kCorrelation, c.period, c.range);
    EXPECT_EQ(test.from, c.from) << c.name;
    EXPECT_EQ(test.to, c.to) << c.name;
    if (c.valid) {
      EXPECT_EQ(test.lowest, c.lowest) << c.name;
      EXPECT_EQ(test.highest, c.highest) << c.name;
    }
    EXPECT_EQ(test.boundsValid, c.valid) << c.name;
  }
}

TEST(TechnicalTestTest, SkipsRowsThatAreOffOrOfNoKnownKind) {
  TechnicalCondition off = Condition(kCorrelation, "", "");
  off.check = 0;
  const std::vector<TechnicalCondition> rows = {off, Condition("?", "", ""),
                                                Condition(kStdDev, "", "")};
  const std::vector<TechnicalTest> tests = ParseTechnicalTests(rows);
  ASSERT_EQ(tests.size(), 1u);
  EXPECT_EQ(tests[0].kind, TechnicalKind::StdDeviation);
  EXPECT_EQ(tests[0].conditionIndex, 2);
}

TEST(TechnicalTestTest, PeriodsBeyondTheSeriesFailThePair) {
  const TechnicalTest all = TestOf(kCorrelation, "   1" + kSeparator + "1200", "");
  ASSERT_TRUE(WindowOf(all, 300).has_value());
  EXPECT_EQ(WindowOf(all, 300)->days, 300);
  EXPECT_FALSE(WindowOf(TestOf(kCorrelation, " 301" + kSeparator + "1200", ""), 300).has_value());
  EXPECT_FALSE(WindowOf(TestOf(kCorrelation, " 300" + kSeparator + "1200", ""), 300).has_value());
  EXPECT_EQ(WindowOf(TestOf(kCorrelation, " 299" + kSeparator + "1200", ""), 300)->days, 2);
}

TEST(TechnicalTestTest, EachKindTestsItsValueWithinTheBoundsIncluded) {
  // Sell side rising, buy side flat but for one day: known values by kind.
  const std::vector<MergedDay> rows = Rows({{130, 100}, {120, 100}, {110, 100}, {100, 100}});
  std::vector<int32_t> a = {130, 120, 110, 100}, b = {100, 100, 100, 100};
  std::vector<double> d(4);
  Differences(a.data(), b.data(), d.data(), 4);
  const double slope = RegressionSlope(d.data(), 4, 130);
  const double deviation = PercentStdDevRounded(d.data(), 4, 130);
  struct Case {
    std::string kind;
    double value;
  };
  for (const Case& c :
       std::vector<Case>{{kCorrelation, 0.0}, {kRegression, slope}, {kStdDev, deviation}}) {
    std::vector<double> values;
    char exact[32];
    std::snprintf(exact, sizeof exact, "%.17g", c.value);
    EXPECT_TRUE(CheckTechnicals(rows, {TestOf(c.kind, "", exact + kSeparator + exact)}, values))
        << c.kind;
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0], c.value);
    EXPECT_FALSE(CheckTechnicals(rows, {TestOf(c.kind, "", kSeparator + "-1000")}, values));
  }
  EXPECT_EQ(TechnicalCaption(TechnicalKind::Regression, slope), "0.307692");
  EXPECT_EQ(TechnicalCaption(TechnicalKind::StdDeviation, deviation), "9.93");
}

TEST(TechnicalTestTest, AFailingConditionStopsTheRest) {
  const std::vector<MergedDay> rows = Rows({{130, 100}, {120, 101}, {110, 99}, {100, 100}});
  std::vector<double> values;
  EXPECT_FALSE(
      CheckTechnicals(rows,
                      {TestOf(kStdDev, "", ""), TestOf(kCorrelation, "", "0.99" + kSeparator),
                       TestOf(kRegression, "", "")},
                      values));
  EXPECT_EQ(values.size(), 1u);  // the first one passed
  EXPECT_FALSE(CheckTechnicals(rows, {TestOf(kCorrelation, "", "x" + kSeparator)}, values));
}
