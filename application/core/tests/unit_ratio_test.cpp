// The unit ratio that balances the money of a pair's two sides.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "data/statistics.h"
#include "screening/screening_series.h"
#include "screening_fixtures.h"

namespace {

// The multiplier search step by step, each mean over the scaled array.
int32_t ReferenceUnitRatio(std::vector<MergedDay> rows, int32_t unit1, int32_t unit2,
                           std::vector<MergedDay>& scaled) {
  const auto n = static_cast<int32_t>(rows.size());
  std::vector<double> x, y;
  for (const MergedDay& row : rows) {
    x.push_back(static_cast<double>(static_cast<int64_t>(row.Close1) * unit1));
    y.push_back(static_cast<double>(static_cast<int64_t>(row.Close2) * unit2));
  }
  const double mx = MeanRounded(x.data(), n);
  const double my = MeanRounded(y.data(), n);
  int sign = mx < my ? 1 : -1;
  std::vector<double>& s = mx < my ? x : y;
  const double big = mx < my ? my : mx;
  double d = mx < my ? my - mx : mx - my;
  int32_t k = 2;
  for (;; ++k) {
    std::vector<double> t;
    for (double v : s) t.push_back(k * v);
    const double u = big - MeanRounded(t.data(), n);
    if (std::trunc(std::fabs(u)) > d) break;
    d = u;
  }
  const int32_t ratio = k - 1;
  if (ratio > 1) {
    for (double& v : s) v *= ratio;
  }
  const bool exchange = (sign == 1 && d > 0) || (sign == -1 && d < 0);
  if (exchange) sign = -sign;
  scaled = rows;
  for (size_t i = 0; i < rows.size(); ++i) {
    scaled[i].Close1 = static_cast<int32_t>(exchange ? y[i] : x[i]);
    scaled[i].Close2 = static_cast<int32_t>(exchange ? x[i] : y[i]);
  }
  return ratio * sign;
}

}  // namespace

TEST(UnitRatioTest, BalancesTheMoneyOfTheTwoSides) {
  struct Case {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> closes;
    int32_t unit1, unit2;
    int32_t ratio;
    bool exchanged;
  };
  const std::vector<Case> cases = {
      {"three units of the second against one", {{1000, 300}}, 1000, 1000, -3, false},
      {"a tie goes to the larger multiplier", {{1000, 400}}, 1000, 1000, 3, true},
      {"equal money keeps the order", {{500, 5000}}, 100, 10, -1, false},
      {"the first side is the smaller", {{100, 1000}, {100, 1000}}, 1, 1, 10, false},
      {"undershoot closest", {{100, 1049}}, 1, 1, -10, true},
  };
  for (const Case& c : cases) {
    std::vector<MergedDay> rows = Rows(c.closes);
    const UnitRatio ratio = ComputeUnitRatio(rows, c.unit1, c.unit2);
    EXPECT_EQ(ratio.ratio, c.ratio) << c.name;
    EXPECT_EQ(ratio.exchanged, c.exchanged) << c.name;
  }
}

TEST(UnitRatioTest, ScalesTheRowsWithTheSellSideFirst) {
  std::vector<MergedDay> rows = Rows({{1000, 400}, {1100, 410}});
  ASSERT_EQ(ComputeUnitRatio(rows, 1000, 1000).ratio, 3);
  EXPECT_EQ(rows[0].Close1, 1200000);  // the second code, three units
  EXPECT_EQ(rows[0].Close2, 1000000);
  EXPECT_EQ(rows[1].Close1, 1230000);
  EXPECT_EQ(rows[1].Close2, 1100000);
}

TEST(UnitRatioTest, PassesOverPairsThatCannotBeBalanced) {
  struct Case {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> closes;
    int32_t unit1, unit2;
  };
  const std::vector<Case> cases = {
      {"no days", {}, 100, 100},
      {"a unit of 0", {{100, 100}}, 0, 100},
      {"a negative unit", {{100, 100}}, 100, -1},
      {"no money on the smaller side", {{-50, 100}, {10, 100}}, 1, 1},
      {"a close times its unit beyond 32 bits", {{3000000, 100}}, 1000, 1},
      {"a multiplier beyond 32 bits", {{2000000000, 1}, {2000000000, 3}}, 1, 1},
  };
  for (const Case& c : cases) {
    std::vector<MergedDay> rows = Rows(c.closes);
    const std::vector<MergedDay> before = rows;
    EXPECT_EQ(ComputeUnitRatio(rows, c.unit1, c.unit2).ratio, 0) << c.name;
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].Close1, before[i].Close1);
  }
}

TEST(UnitRatioTest, EqualsTheStepByStepSearch) {
  std::mt19937 random(5);
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = 1 + static_cast<int>(random() % 60);
    const int32_t scale1 = 1 + static_cast<int32_t>(random() % 20000);
    const int32_t scale2 = 1 + static_cast<int32_t>(random() % (trial % 3 == 0 ? 300 : 20000));
    std::vector<MergedDay> rows;
    for (int i = 0; i < n; ++i) {
      rows.push_back({20100000 - i, scale1 + static_cast<int32_t>(random() % 97),
                      scale2 + static_cast<int32_t>(random() % 89)});
    }
    const int32_t unit1 = trial % 2 ? 1 : 100;
    const int32_t unit2 = trial % 5 ? 1 : 1000;
    std::vector<MergedDay> expected;
    const int32_t reference = ReferenceUnitRatio(rows, unit1, unit2, expected);
    ASSERT_EQ(ComputeUnitRatio(rows, unit1, unit2).ratio, reference) << trial;
    for (size_t i = 0; i < rows.size(); ++i) {
      ASSERT_EQ(rows[i].Close1, expected[i].Close1) << trial;
      ASSERT_EQ(rows[i].Close2, expected[i].Close2) << trial;
    }
  }
}
