// The pair series of a screening: price files read into series, the merge by
// date, the unit ratio and the technical conditions, and the pair evaluation
// of a whole run against the plain composition of those steps.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/statistics.h"
#include "scratch_dir.h"
#include "screening/pair_keys.h"
#include "screening/pair_screening.h"
#include "screening/screening_series.h"
#include "screening/technical_filter.h"

namespace {

const std::string kSeparator(kRangeSeparator);
const std::string kCorrelation = "\x91\x8a\x8a\xd6\x8c\x57\x90\x94";  // 相関係数
const std::string kRegression = "\x89\xf1\x8b\x41\x8c\x57\x90\x94";   // 回帰係数
const std::string kStdDev = "\x95\x57\x8f\x80\x95\xce\x8d\xb7";       // 標準偏差

PriceSeries Series(std::vector<std::pair<int32_t, int32_t>> days) {
  PriceSeries series;
  for (auto [date, close] : days) {
    series.dates.push_back(date);
    series.closes.push_back(close);
  }
  return series;
}

std::vector<MergedDay> Rows(std::vector<std::pair<int32_t, int32_t>> closes) {
  std::vector<MergedDay> rows;
  int32_t date = 20100101;
  for (auto [c1, c2] : closes) rows.push_back({date--, c1, c2});
  return rows;
}

TechnicalCondition Condition(const std::string& kind, const std::string& period,
                             const std::string& range) {
  TechnicalCondition condition;
  condition.kind = kind;
  condition.period = period;
  condition.range = range;
  return condition;
}

TechnicalTest TestOf(const std::string& kind, const std::string& period, const std::string& range) {
  return *ParseTechnicalTest(Condition(kind, period, range), 0);
}

}  // namespace

// ---- price files -----------------------------------------------------------

TEST(PriceSeriesTest, ReadsDatesAndClosesOfEveryLine) {
  PriceSeries series;
  ASSERT_EQ(ParsePriceSeries("2009/10/02\t512\t500\t520\t498\t183000\r\n"
                             "2009/10/01\t-7\t1\t1\t1\t1\n"
                             "2009/09/30\t99",
                             series),
            SeriesLoad::kLoaded);
  EXPECT_EQ(series.dates, (std::vector<int32_t>{20091002, 20091001, 20090930}));
  EXPECT_EQ(series.closes, (std::vector<int32_t>{512, -7, 99}));
}

TEST(PriceSeriesTest, AMalformedLineEmptiesTheSeries) {
  for (const char* bytes :
       {"2009/10/02\t512\r\n2009-10-01\t500\r\n", "2009/10/02\t5x2\r\n", "2009/10/02\t\r\n",
        "2009/10/02\r\n", "2009/10/02\t512\r\n\r\n", "2009/10/02\t99999999999\r\n"}) {
    PriceSeries series;
    EXPECT_EQ(ParsePriceSeries(bytes, series), SeriesLoad::kMalformed) << bytes;
    EXPECT_EQ(series.Size(), 0);
  }
}

TEST(PriceSeriesTest, AMissingFileIsAnEmptySeries) {
  ScratchDir dir;
  PriceSeries series = Series({{20090101, 1}});
  EXPECT_EQ(LoadPriceSeries(dir.path() / "1301.txt", series), SeriesLoad::kMissing);
  EXPECT_EQ(series.Size(), 0);
  dir.Write("1301.txt", "");
  EXPECT_EQ(LoadPriceSeries(dir.path() / "1301.txt", series), SeriesLoad::kLoaded);
  EXPECT_EQ(series.Size(), 0);
}

// ---- merge -----------------------------------------------------------------

TEST(MergePairSeriesTest, FillsGapsAndDropsDaysBeforeBothSidesHaveAPrice) {
  struct Case {
    const char* name;
    PriceSeries series1;
    PriceSeries series2;
    std::vector<MergedDay> expected;
  };
  const std::vector<Case> cases = {
      {"one day each side alone",
       Series({{20091002, 10}, {20091001, 11}}),
       Series({{20091002, 20}, {20090930, 21}}),
       {{20091002, 10, 20}, {20091001, 11, 21}}},
      {"a missing day carries the previous close, over several days",
       Series({{20091005, 10}, {20091002, 11}, {20091001, 12}, {20090930, 13}}),
       Series({{20091005, 20}, {20090930, 23}}),
       {{20091005, 10, 20}, {20091002, 11, 23}, {20091001, 12, 23}, {20090930, 13, 23}}},
      {"a close of 0 is a gap too",
       Series({{20091002, 10}, {20091001, 0}, {20090930, 12}}),
       Series({{20091002, 20}, {20091001, 21}, {20090930, 22}}),
       {{20091002, 10, 20}, {20091001, 12, 21}, {20090930, 12, 22}}},
      {"an empty side gives no days", Series({{20091002, 10}}), Series({}), {}},
      {"a longer side's older days go",
       Series({{20091002, 10}, {20091001, 11}}),
       Series({{20091002, 20}}),
       {{20091002, 10, 20}}},
  };
  for (const Case& c : cases) {
    std::vector<MergedDay> rows = {{1, 1, 1}};
    MergePairSeries(c.series1, c.series2, rows);
    ASSERT_EQ(rows.size(), c.expected.size()) << c.name;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].date, c.expected[i].date) << c.name << " " << i;
      EXPECT_EQ(rows[i].Close1, c.expected[i].Close1) << c.name << " " << i;
      EXPECT_EQ(rows[i].Close2, c.expected[i].Close2) << c.name << " " << i;
    }
  }
}

TEST(MergePairSeriesTest, KeepsTheNewest1200Days) {
  PriceSeries series;
  for (int32_t d = 0; d < 1225; ++d) {
    series.dates.push_back(30000000 - d);
    series.closes.push_back(100 + d);
  }
  std::vector<MergedDay> rows;
  MergePairSeries(series, series, rows);
  ASSERT_EQ(rows.size(), 1200u);
  EXPECT_EQ(rows.front().date, 30000000);
  EXPECT_EQ(rows.back().date, 30000000 - 1199);
}

// ---- unit ratio ------------------------------------------------------------

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

TEST(RoundingTest, ArithmeticRoundingEqualsTheRoundTripThroughText) {
  std::mt19937_64 random(11);
  auto same = [](long double value) {
    const double fast = MeanRoundedOfSum(value, 1);
    const double text = RoundTwoDecimalsThroughText(value);
    return std::memcmp(&fast, &text, sizeof fast) == 0;
  };
  for (int i = 0; i < 100000; ++i) {
    const auto sum = static_cast<long long>(random() % 4000000000000ull) - 1000000000000ll;
    const long double mean =
        static_cast<long double>(sum) / (1 + static_cast<int>(random() % 1200));
    ASSERT_TRUE(same(mean)) << static_cast<double>(mean);
    const auto digits = static_cast<long double>(random() % 100000000);
    ASSERT_TRUE(same((digits + 0.5L) / 100)) << static_cast<double>(digits);
    ASSERT_TRUE(same(digits * 10 + 5)) << static_cast<double>(digits);
  }
  for (long double v :
       {0.125L, -0.125L, 0.004L, 99999.995L, 999999.95L, 9999999.5L, 15234567.891L, 1e15L, 0.0L}) {
    EXPECT_TRUE(same(v)) << static_cast<double>(v);
  }
}

// The whole-number decision against the text of the extended mean, on
// means of every size, on cuts exactly at a half and a whole remainder off
// it, around the powers of ten, and outside its bounds.
TEST(RoundingTest, WholeSumRoundingEqualsTheRoundTripThroughText) {
  std::mt19937_64 random(12);
  auto check = [](int64_t sum, int32_t n) {
    const double whole = MeanRoundedOfWholeSum(sum, n);
    const double text =
        RoundTwoDecimalsThroughText(static_cast<long double>(sum) / static_cast<long double>(n));
    ASSERT_EQ(std::memcmp(&whole, &text, sizeof whole), 0)
        << sum << " / " << n << ": " << whole << " against " << text;
  };
  const int64_t scales[] = {1, 100, 10000, 1000000, 100000000, 10000000000, 1000000000000};
  for (int i = 0; i < 20000; ++i) {
    const auto n = static_cast<int32_t>(1 + random() % 1200);
    const int64_t scale = scales[random() % std::size(scales)];
    const auto mean = static_cast<int64_t>(random() % static_cast<uint64_t>(scale * 50));
    check(mean * n + static_cast<int64_t>(random() % static_cast<uint64_t>(n)), n);
    // Means exactly at the half of the last kept digit, an odd number of
    // halves (num / den): x.xx5 below 10^5, x.x5 below 10^6, x.5 below 10^7
    // and x5 below 10^8; and a remainder of one either side of it.
    const struct {
      int64_t num;
      int64_t den;
      int64_t most;
    } halves[] = {{1, 200, 100000}, {1, 20, 1000000}, {1, 2, 10000000}, {5, 1, 100000000}};
    for (const auto& h : halves) {
      const int64_t odd = 1 + 2 * static_cast<int64_t>(
                                      random() % static_cast<uint64_t>(h.most * h.den / h.num / 2));
      const int64_t days = h.den * (1 + static_cast<int64_t>(random() % 6));
      const int64_t sum = odd * h.num * days / h.den;
      for (const int64_t off : {-1, 0, 1}) check(sum + off, static_cast<int32_t>(days));
    }
  }
  for (const int32_t n : {1, 2, 3, 7, 12, 1199, 1200, 10000, 10001}) {
    for (int64_t power = 1; power <= 100000000000000000; power *= 10) {
      for (const int64_t off : {-2 * n, -n, -n / 2, -1, 0, 1, n / 2, n, 2 * n}) {
        if (power > std::numeric_limits<int64_t>::max() / n) continue;
        if (power * n + off > 0) check(power * n + off, n);
      }
    }
  }
  for (const int64_t sum : {int64_t{0}, int64_t{-5}, int64_t{-1234567}, int64_t{1},
                            std::numeric_limits<int64_t>::max()}) {
    check(sum, 1);
    check(sum, 1200);
  }
}

TEST(RoundingTest, BlockLanesEqualEachOnItsOwn) {
  std::mt19937 random(8);
  const int32_t n = 300;
  constexpr int kLanes = kCorrelationLanes;
  // Series 0 against the block of series 1 to kLanes, each read from a
  // block of its own at a stride, as the screening holds them.
  std::vector<std::vector<int32_t>> series(kLanes + 1, std::vector<int32_t>(n));
  std::vector<double> own(n * kLanes, 0.0);
  std::vector<double> block(n * kLanes, 0.0);
  for (int s = 0; s <= kLanes; ++s) {
    for (int32_t i = 0; i < n; ++i) {
      series[s][i] = 1 + static_cast<int32_t>(random() % 5000);
      (s == 0 ? own[i * kLanes + 3] : block[i * kLanes + s - 1]) = series[s][i];
    }
  }
  const int32_t scalesA[] = {1, 100, 3000, 7, 1000, 1, 10, 400000};
  const int32_t scalesB[] = {1000, 1, 20, 300000, 1000, 3, 100, 1};
  static_assert(std::size(scalesA) == kLanes && std::size(scalesB) == kLanes);
  BlockLanes lanes;
  double expected[kLanes];
  for (int l = 0; l < kLanes; ++l) {
    int64_t sumA = 0, sumB = 0;
    for (int32_t i = 0; i < n; ++i) {
      sumA += static_cast<int64_t>(series[0][i]) * scalesA[l];
      sumB += static_cast<int64_t>(series[l + 1][i]) * scalesB[l];
    }
    lanes.scaleA[l] = scalesA[l];
    lanes.scaleB[l] = scalesB[l];
    lanes.meanA[l] = static_cast<double>(sumA) / n;
    lanes.meanB[l] = static_cast<double>(sumB) / n;
    // Either side may be side a.
    expected[l] = CorrelationAroundMeans(series[l + 1].data(), scalesB[l], series[0].data(),
                                         scalesA[l], n, lanes.meanB[l], lanes.meanA[l]);
  }
  for (const VectorPath path : AvailableVectorPaths()) {
    double results[kLanes];
    CorrelationsOfOneAgainstBlockOn(path, own.data() + 3, kLanes, block.data(), lanes, n, results);
    for (int l = 0; l < kLanes; ++l) {
      EXPECT_EQ(std::memcmp(&results[l], &expected[l], sizeof(double)), 0)
          << "path " << static_cast<int>(path) << ", lane " << l;
    }
  }
}

TEST(RoundingTest, TwoBlocksEqualEachLaneOnItsOwnWhenPaddedWithTheirMeans) {
  std::mt19937 random(9);
  const int32_t longest = 300;
  constexpr int kLanes = kCorrelationLanes;
  const int32_t days[] = {300, 251, 299, 2, 300, 1, 17, 300};
  static_assert(std::size(days) == kLanes);
  std::vector<double> blockA(longest * kLanes), blockB(longest * kLanes);
  BlockMeans means;
  double expected[kLanes];
  for (int l = 0; l < kLanes; ++l) {
    std::vector<int32_t> a, b;
    int64_t sumA = 0, sumB = 0;
    for (int32_t i = 0; i < days[l]; ++i) {
      // Whole numbers up to near 2^31, negative ones among them.
      a.push_back(static_cast<int32_t>(random() % 2000000000u) - (l == 2 ? 1000000000 : 0));
      b.push_back(1 + static_cast<int32_t>(random() % (l == 1 ? 3u : 500000u)));
      sumA += a.back();
      sumB += b.back();
    }
    means.meanA[l] = static_cast<double>(sumA) / days[l];
    means.meanB[l] = static_cast<double>(sumB) / days[l];
    for (int32_t i = 0; i < longest; ++i) {
      blockA[i * kLanes + l] = i < days[l] ? a[i] : means.meanA[l];
      blockB[i * kLanes + l] = i < days[l] ? b[i] : means.meanB[l];
    }
    expected[l] =
        CorrelationAroundMeans(a.data(), 1, b.data(), 1, days[l], means.meanA[l], means.meanB[l]);
  }
  for (const VectorPath path : AvailableVectorPaths()) {
    double results[kLanes];
    CorrelationsOfTwoBlocksOn(path, blockA.data(), blockB.data(), means, longest, results);
    for (int l = 0; l < kLanes; ++l) {
      EXPECT_EQ(std::memcmp(&results[l], &expected[l], sizeof(double)), 0)
          << "path " << static_cast<int>(path) << ", lane " << l;
    }
  }
}

// ---- technical conditions ------------------------------------------------

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

// ---- pair keys -------------------------------------------------------------

TEST(PairKeySetTest, FormsEachPairOnceWithTheSmallerCodeFirst) {
  struct Case {
    const char* name;
    std::vector<std::string> a, b;
    std::vector<std::string> keys;
    std::vector<int64_t> keysBefore;
  };
  const std::vector<Case> cases = {
      {"a group", {"1301", "1302"}, {"1301", "1302"}, {"13011302"}, {0, 1}},
      {"overlapping lists",
       {"1301", "1302", "7203"},
       {"1302", "1303"},
       {"13011302", "13011303", "13021303", "13027203", "13037203"},
       {0, 2, 3}},
      {"one code alone", {"1301"}, {"1301"}, {}, {0}},
      {"an empty list", {}, {"1301"}, {}, {}},
  };
  for (const Case& c : cases) {
    const PairKeySet keys(c.a, c.b);
    std::vector<std::string> formed;
    for (int32_t i = 0; i < keys.CodeCount(); ++i) {
      int64_t row = 0;
      for (int32_t j = i + 1; j < keys.CodeCount(); ++j) {
        if (keys.IsKey(i, j)) {
          formed.push_back(keys.KeyText(i, j));
          ++row;
        }
      }
      EXPECT_EQ(keys.KeysOfRow(i), row) << c.name;
    }
    EXPECT_EQ(formed, c.keys) << c.name;
    EXPECT_EQ(keys.Count(), static_cast<int64_t>(c.keys.size())) << c.name;
    EXPECT_EQ(keys.KeysBeforeRowsOfA(), c.keysBefore) << c.name;
  }
}

// ---- a whole run's pair evaluation ----------------------------------------

namespace {

class Collect : public PairScreeningSink {
 public:
  void Evaluated(std::vector<PassedPair>& passed,
                 const std::vector<std::optional<double>>& batchValues, int64_t lastKey,
                 int32_t sell, int32_t buy) override {
    for (PassedPair& pair : passed) rows.push_back(pair);
    lastValues.resize(batchValues.size());
    for (size_t t = 0; t < batchValues.size(); ++t) {
      if (batchValues[t]) lastValues[t] = batchValues[t];
    }
    last = {lastKey, sell, buy};
    batchEnds.push_back(last);
  }
  std::vector<PassedPair> rows;
  // Per test, the value of the last pair of the run that passed it.
  std::vector<std::optional<double>> lastValues;
  std::tuple<int64_t, int32_t, int32_t> last{-1, 0, 0};
  // The same of every batch.
  std::vector<std::tuple<int64_t, int32_t, int32_t>> batchEnds;
};

bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// Price files of varied shapes: shared days, a missing day, a zero close,
// short histories, a missing file and a malformed one.
void WritePrices(const ScratchDir& dir, int codes, std::mt19937& random) {
  for (int c = 0; c < codes; ++c) {
    const std::string code = std::to_string(1300 + c);
    if (c == 5) continue;  // no file
    std::string text;
    const int days = c % 7 == 3 ? 40 + c : 1225;
    int64_t price = 50 + static_cast<int64_t>(random() % 3000);
    for (int d = 0; d < days; ++d) {
      price += static_cast<int>(random() % 21) - 10;
      if (price < 1) price = 1;
      if (c % 11 == 4 && d == 30) continue;
      const int64_t close = (c % 13 == 6 && d == 12) ? 0 : price;
      const int day = 3000 - d;
      char line[64];
      std::snprintf(line, sizeof line, "%04d/%02d/%02d\t%lld\t1\t1\t1\t1\r\n", 2000 + day / 400,
                    1 + (day / 30) % 12, 1 + day % 30, static_cast<long long>(close));
      text += line;
    }
    if (c == 9) text += "2000/01/01\tbad\r\n";
    dir.Write(code + ".txt", text);
  }
}

// The rows of the steps one by one for every key: merge, unit ratio and
// technical tests of each pair on its own. `lastValues` receives, per test,
// the value of the last pair that passed it.
std::vector<PassedPair> OneByOne(const ScratchDir& dir, const PairKeySet& keys,
                                 const std::vector<int32_t>& units,
                                 const std::vector<TechnicalTest>& tests,
                                 std::vector<std::optional<double>>& lastValues) {
  std::vector<PassedPair> expected;
  lastValues.assign(tests.size(), std::nullopt);
  for (int32_t i = 0; i < keys.CodeCount(); ++i) {
    for (int32_t j = i + 1; j < keys.CodeCount(); ++j) {
      if (!keys.IsKey(i, j)) continue;
      PriceSeries s1, s2;
      const SeriesLoad l1 = LoadPriceSeries(dir.path() / (keys.Codes()[i] + ".txt"), s1);
      const SeriesLoad l2 = LoadPriceSeries(dir.path() / (keys.Codes()[j] + ".txt"), s2);
      if (l1 == SeriesLoad::kMalformed || l2 == SeriesLoad::kMalformed) continue;
      std::vector<MergedDay> rows;
      MergePairSeries(s1, s2, rows);
      const UnitRatio ratio = ComputeUnitRatio(rows, units[i], units[j]);
      if (ratio.ratio == 0) continue;
      std::vector<double> values;
      const bool passed = CheckTechnicals(rows, tests, values);
      for (size_t t = 0; t < values.size(); ++t) lastValues[t] = values[t];
      if (!passed) continue;
      expected.push_back({ratio.exchanged ? j : i, ratio.exchanged ? i : j, ratio.ratio, values});
    }
  }
  return expected;
}

// The same values bit for bit, and the same tests without one.
void ExpectSameLastValues(const std::vector<std::optional<double>>& values,
                          const std::vector<std::optional<double>>& expected,
                          const std::string& what) {
  ASSERT_EQ(values.size(), expected.size()) << what;
  for (size_t t = 0; t < expected.size(); ++t) {
    ASSERT_EQ(values[t].has_value(), expected[t].has_value()) << what << " test " << t;
    if (expected[t]) {
      EXPECT_TRUE(SameValues({*values[t]}, {*expected[t]})) << what << " test " << t;
    }
  }
}

std::string PathName(VectorPath path) {
  switch (path) {
    case VectorPath::kPlain:
      return "plain";
    case VectorPath::kAvx2:
      return "AVX2";
  }
  return "unknown";
}

// A whole run on one build of the correlation lanes and a number of threads.
struct RunShape {
  VectorPath path;
  int threads;
  std::string name;
};

// Every build of the lanes that the processor has, each on every count of
// threads.
std::vector<RunShape> EveryBuildOn(std::initializer_list<int> threadCounts) {
  std::vector<RunShape> shapes;
  for (const VectorPath path : AvailableVectorPaths()) {
    for (const int threads : threadCounts) {
      shapes.push_back(
          {path, threads, PathName(path) + " lanes, " + std::to_string(threads) + " threads"});
    }
  }
  return shapes;
}

void ExpectSameRows(const std::vector<PassedPair>& rows, const std::vector<PassedPair>& expected,
                    const std::string& what) {
  ASSERT_EQ(rows.size(), expected.size()) << what;
  for (size_t r = 0; r < expected.size(); ++r) {
    EXPECT_EQ(rows[r].sell, expected[r].sell) << what << " row " << r;
    EXPECT_EQ(rows[r].buy, expected[r].buy) << what << " row " << r;
    EXPECT_EQ(rows[r].ratio, expected[r].ratio) << what << " row " << r;
    EXPECT_TRUE(SameValues(rows[r].values, expected[r].values)) << what << " row " << r;
  }
}

// Whole runs on every build of the lanes and each count of threads give the
// rows and the last values of the steps one by one; `check` looks further
// at each run's sink.
void ExpectEveryBuildGives(
    const ScratchDir& dir, const PairKeySet& keys, const std::vector<int32_t>& units,
    const std::vector<TechnicalTest>& tests, std::initializer_list<int> threadCounts,
    const std::vector<PassedPair>& expected, const std::vector<std::optional<double>>& expectedLast,
    const std::string& what,
    const std::function<void(const Collect&, const std::string&)>& check = nullptr,
    int32_t pairsPerUnit = PairScreening::kPairsPerUnit) {
  for (const RunShape& shape : EveryBuildOn(threadCounts)) {
    const std::string run = what + ", " + shape.name;
    PairScreening screening(dir.path(), keys, units, tests, shape.threads, pairsPerUnit);
    screening.UseVectorPath(shape.path);
    Collect sink;
    ASSERT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted) << run;
    ExpectSameRows(sink.rows, expected, run);
    ExpectSameLastValues(sink.lastValues, expectedLast, run);
    if (check) check(sink, run);
  }
}

}  // namespace

TEST(PairScreeningTest, EqualsTheStepsOneByOneOnAnyNumberOfThreads) {
  ScratchDir dir;
  std::mt19937 random(3);
  const int codes = 40;
  WritePrices(dir, codes, random);
  std::vector<std::string> a, b;
  for (int c = 0; c < codes; ++c) (c < 30 ? a : b).push_back(std::to_string(1300 + c));
  b.insert(b.begin(), "1310");  // in both lists
  const PairKeySet keys(a, b);
  std::vector<int32_t> units;
  for (int32_t i = 0; i < keys.CodeCount(); ++i)
    units.push_back(i % 4 == 0 ? 1000 : (i == 7 ? 0 : 100));
  const std::vector<TechnicalTest> tests =
      ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + "1200", ""),
                           Condition(kRegression, "   5" + kSeparator + " 300", ""),
                           Condition(kStdDev, "   1" + kSeparator + "  60", kSeparator + "50")});

  std::vector<std::optional<double>> expectedLast;
  const std::vector<PassedPair> expected = OneByOne(dir, keys, units, tests, expectedLast);
  ASSERT_GT(expected.size(), 50u);

  for (const RunShape& shape : EveryBuildOn({1, 3})) {
    PairScreening screening(dir.path(), keys, units, tests, shape.threads);
    screening.UseVectorPath(shape.path);
    Collect sink;
    ASSERT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted);
    ExpectSameRows(sink.rows, expected, shape.name);
    ExpectSameLastValues(sink.lastValues, expectedLast, shape.name);
    ExpectSameLastValues(screening.LastPassedValues(), expectedLast, shape.name);
    EXPECT_EQ(std::get<0>(sink.last), keys.Count() - 1) << shape.name;
    EXPECT_EQ(screening.MalformedCodes(), std::vector<std::string>{"1309"}) << shape.name;
  }
}

namespace {

// A directory on one market calendar of random shape: codes that lack random
// days (now and then the same day), start late, end early, repeat another
// code's file, hold prices near the limits of 32 bits or of one yen, or have
// days out of order, twice, or at a close of 0.
void WriteRandomPrices(const ScratchDir& dir, int codes, std::mt19937& random, bool disordered) {
  const int calendarDays = 1300;
  auto pick = [&](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
  std::vector<std::string> files;
  for (int c = 0; c < codes; ++c) {
    const int shape = pick(disordered ? 12 : 6);
    if (shape == 0 && !files.empty()) {  // a twin of an earlier code
      files.push_back(files[pick(static_cast<int>(files.size()))]);
      continue;
    }
    std::vector<bool> lacking(calendarDays, false);
    const int gaps = pick(4) == 0 ? 0 : 1 + pick(8);
    for (int g = 0; g < gaps; ++g) lacking[pick(pick(3) == 0 ? 40 : calendarDays)] = true;
    const int newest = shape == 1 ? pick(1300) : (shape == 2 ? pick(5) : 0);
    const int oldest = shape == 3 ? newest + 2 + pick(1400) : calendarDays;
    int64_t price = shape == 4   ? 2000000000 - pick(1000)
                    : shape == 5 ? 1 + pick(3)
                                 : 50 + pick(30000);
    std::vector<std::pair<int, int64_t>> days;
    for (int d = newest; d < std::min(oldest, calendarDays); ++d) {
      price += pick(shape == 5 ? 3 : 41) - (shape == 5 ? 1 : 20);
      price = std::max<int64_t>(price, 1);
      if (lacking[d]) continue;
      days.push_back({d, price});
    }
    if (shape == 6 && days.size() > 20) days[5 + pick(10)].second = 0;
    if (shape == 7 && days.size() > 20) std::swap(days[3], days[4 + pick(10)]);
    if (shape == 8 && days.size() > 20) days.insert(days.begin() + 7, days[7]);
    std::string text;
    for (const auto& [d, close] : days) {
      const int day = 3000 - d;
      char line[80];
      std::snprintf(line, sizeof line, "%04d/%02d/%02d\t%lld\t1\t1\t1\t1\r\n", 2000 + day / 360,
                    1 + (day / 30) % 12, 1 + day % 30, static_cast<long long>(close));
      text += line;
    }
    files.push_back(text);
  }
  for (int c = 0; c < codes; ++c) dir.Write(std::to_string(1300 + c) + ".txt", files[c]);
}

}  // namespace

// The calendar walk, the batched correlations and the merge of the steps one
// by one give the same rows on directories of every shape.
TEST(PairScreeningTest, EqualsTheStepsOneByOneOnRandomDirectories) {
  const std::vector<std::vector<TechnicalTest>> testSets = {
      ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + "1200", "")}),
      ParseTechnicalTests({Condition(kCorrelation, "  20" + kSeparator + " 900", "")}),
      ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + " 250", ""),
                           Condition(kRegression, "   1" + kSeparator + " 100", ""),
                           Condition(kStdDev, "   1" + kSeparator + "  60", "")}),
      ParseTechnicalTests({Condition(kStdDev, "   1" + kSeparator + "1200", ""),
                           Condition(kCorrelation, "   3" + kSeparator + "  30", "")}),
      ParseTechnicalTests(
          {Condition(kCorrelation, "   1" + kSeparator + "1200", ""),
           Condition(kCorrelation, "   1" + kSeparator + " 120", "      0.3" + kSeparator)}),
  };
  // Some pair after the last one that passed every test passed the first.
  bool aLaterPairPassedTheFirstTest = false;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    ScratchDir dir;
    std::mt19937 random(seed);
    const int codes = 36;
    // Odd seeds keep every file in order, so that every code is on the
    // calendar.
    WriteRandomPrices(dir, codes, random, seed % 2 == 0);
    std::vector<std::string> a, b;
    for (int c = 0; c < codes; ++c) (c % 3 ? a : b).push_back(std::to_string(1300 + c));
    const PairKeySet keys(a, b);
    std::vector<int32_t> units;
    for (int32_t i = 0; i < keys.CodeCount(); ++i) {
      const int32_t choices[] = {1, 1, 10, 100, 100, 1000, 1000, 0};
      units.push_back(choices[random() % 8]);
    }
    const std::vector<TechnicalTest>& tests = testSets[seed % testSets.size()];
    std::vector<std::optional<double>> expectedLast;
    const std::vector<PassedPair> expected = OneByOne(dir, keys, units, tests, expectedLast);
    EXPECT_FALSE(expected.empty()) << seed;
    if (!expected.empty() && expectedLast[0] &&
        !SameValues({*expectedLast[0]}, {expected.back().values[0]})) {
      aLaterPairPassedTheFirstTest = true;
    }
    ExpectEveryBuildGives(dir, keys, units, tests, {1, 4}, expected, expectedLast,
                          "seed " + std::to_string(seed));
  }
  EXPECT_TRUE(aLaterPairPassedTheFirstTest);
}

// Key number `key` and its codes, the sell side first, as the steps one by
// one give them.
std::tuple<int64_t, int32_t, int32_t> KeyWithItsCodes(const ScratchDir& dir, const PairKeySet& keys,
                                                      const std::vector<int32_t>& units,
                                                      int64_t key) {
  int64_t number = 0;
  for (int32_t i = 0; i < keys.CodeCount(); ++i) {
    for (int32_t j = i + 1; j < keys.CodeCount(); ++j) {
      if (!keys.IsKey(i, j) || number++ != key) continue;
      PriceSeries s1, s2;
      LoadPriceSeries(dir.path() / (keys.Codes()[i] + ".txt"), s1);
      LoadPriceSeries(dir.path() / (keys.Codes()[j] + ".txt"), s2);
      std::vector<MergedDay> rows;
      MergePairSeries(s1, s2, rows);
      const bool exchanged = ComputeUnitRatio(rows, units[i], units[j]).exchanged;
      return {key, exchanged ? j : i, exchanged ? i : j};
    }
  }
  return {-1, 0, 0};
}

// Ranges whose bounds are pairs' own correlations, as both bounds or one:
// the pairs set aside before balancing are exactly those the steps one by
// one fail, to the last bit of the bound.
TEST(PairScreeningTest, RangesAtAPairsOwnCorrelationKeepThePair) {
  for (unsigned seed = 1; seed <= 3; seed += 2) {
    ScratchDir dir;
    std::mt19937 random(seed);
    const int codes = 30;
    WriteRandomPrices(dir, codes, random, false);
    std::vector<std::string> all;
    for (int c = 0; c < codes; ++c) all.push_back(std::to_string(1300 + c));
    const PairKeySet keys(all, all);
    std::vector<int32_t> units;
    for (int32_t i = 0; i < keys.CodeCount(); ++i) units.push_back(i % 3 == 0 ? 1 : 100);
    std::vector<TechnicalTest> tests =
        ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + "1200", ""),
                             Condition(kStdDev, "   1" + kSeparator + "  60", "")});
    std::vector<std::optional<double>> unused;
    const std::vector<PassedPair> everyPair = OneByOne(dir, keys, units, tests, unused);
    ASSERT_GT(everyPair.size(), 100u) << seed;
    std::vector<double> values;
    for (const PassedPair& pair : everyPair) values.push_back(pair.values[0]);
    std::sort(values.begin(), values.end());
    for (const double value : {values[values.size() / 2], values[values.size() * 9 / 10],
                               values.back(), values.front()}) {
      for (const auto& [lowest, highest] :
           {std::pair{value, value}, std::pair{value, 999.0}, std::pair{-999.0, value}}) {
        tests[0].lowest = lowest;
        tests[0].highest = highest;
        std::vector<std::optional<double>> expectedLast;
        const std::vector<PassedPair> expected = OneByOne(dir, keys, units, tests, expectedLast);
        ASSERT_FALSE(expected.empty());
        // Small units: many batches end on a pair that was set aside.
        ExpectEveryBuildGives(
            dir, keys, units, tests, {1, 3}, expected, expectedLast,
            "seed " + std::to_string(seed) + ", range " + std::to_string(lowest) + " to " +
                std::to_string(highest),
            [&](const Collect& sink, const std::string& what) {
              ASSERT_GT(sink.batchEnds.size(), 10u) << what;
              EXPECT_EQ(std::get<0>(sink.last), keys.Count() - 1) << what;
              for (const auto& end : sink.batchEnds) {
                EXPECT_EQ(end, KeyWithItsCodes(dir, keys, units, std::get<0>(end))) << what;
              }
            },
            7);
      }
    }
  }
}

namespace {

// Thirty codes, every two a pair: one unit of work per row of A.
struct ThirtyCodes {
  ScratchDir dir;
  std::vector<std::string> codes;
  std::unique_ptr<PairKeySet> keys;
  ThirtyCodes() {
    std::mt19937 random(4);
    WritePrices(dir, 30, random);
    for (int c = 0; c < 30; ++c) codes.push_back(std::to_string(1300 + c));
    keys = std::make_unique<PairKeySet>(codes, codes);
  }
};

class CountBatches : public Collect {
 public:
  void Evaluated(std::vector<PassedPair>& passed,
                 const std::vector<std::optional<double>>& batchValues, int64_t lastKey,
                 int32_t sell, int32_t buy) override {
    ++batches;
    Collect::Evaluated(passed, batchValues, lastKey, sell, buy);
  }
  int batches = 0;
};

class ThrowOnFirstBatch : public PairScreeningSink {
 public:
  void Evaluated(std::vector<PassedPair>&, const std::vector<std::optional<double>>&, int64_t,
                 int32_t, int32_t) override {
    throw std::runtime_error("the sink failed");
  }
};

}  // namespace

// A stop seen after the first batch ends the run there: no second batch.
TEST(PairScreeningTest, StopsWhenAsked) {
  ThirtyCodes data;
  for (int threads : {1, 3}) {
    // Units of a row or so: the 435 pairs are many batches.
    PairScreening screening(data.dir.path(), *data.keys, std::vector<int32_t>(30, 100), {}, threads,
                            16);
    CountBatches sink;
    EXPECT_EQ(screening.Run([&] { return sink.batches >= 1; }, sink), PairScreening::End::kStopped)
        << threads << " threads";
    EXPECT_EQ(sink.batches, 1) << threads << " threads";
  }
}

// An error on Run's thread comes out of Run after every evaluating thread
// has been joined (a thread left running would end the program).
TEST(PairScreeningTest, AnErrorComesOutWithEveryThreadJoined) {
  ThirtyCodes data;
  for (int threads : {1, 3}) {
    PairScreening screening(data.dir.path(), *data.keys, std::vector<int32_t>(30, 100), {},
                            threads);
    ThrowOnFirstBatch sink;
    EXPECT_THROW(screening.Run([] { return false; }, sink), std::runtime_error)
        << threads << " threads";
  }
}

// Rows split into pieces, and pieces of several rows joined into a unit,
// give the same rows in the same order as one unit for every row.
TEST(PairScreeningTest, RowsSplitAndJoinedIntoUnitsGiveTheSameRows) {
  ThirtyCodes data;
  std::vector<int32_t> units(30, 100);
  for (size_t i = 0; i < units.size(); i += 3) units[i] = 1000;
  const std::vector<TechnicalTest> tests =
      ParseTechnicalTests({Condition(kCorrelation, "   1" + kSeparator + "1200", ""),
                           Condition(kStdDev, "   1" + kSeparator + "  60", "")});
  std::vector<std::optional<double>> expectedLast;
  const std::vector<PassedPair> expected =
      OneByOne(data.dir, *data.keys, units, tests, expectedLast);
  ASSERT_GT(expected.size(), 20u);
  for (const RunShape& shape : EveryBuildOn({1, 3})) {
    for (int32_t pairsPerUnit : {1, 3, 7, 40}) {
      const std::string what = shape.name + ", units of " + std::to_string(pairsPerUnit) + " pairs";
      PairScreening screening(data.dir.path(), *data.keys, units, tests, shape.threads,
                              pairsPerUnit);
      screening.UseVectorPath(shape.path);
      Collect sink;
      ASSERT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted);
      ExpectSameRows(sink.rows, expected, what);
      ExpectSameLastValues(sink.lastValues, expectedLast, what);
      EXPECT_EQ(std::get<0>(sink.last), data.keys->Count() - 1) << what;
    }
  }
}

TEST(PairScreeningTest, ACodeThatIsNoPlainNameReadsNoFile) {
  ScratchDir dir;
  std::string prices;
  for (int d = 28; d >= 1; --d) {
    prices += "2009/10/" + std::string(d < 10 ? "0" : "") + std::to_string(d) + "\t" +
              std::to_string(500 + d * (d % 3)) + "\t1\t1\t1\t1\r\n";
  }
  // Every name below leads to a price file, inside the data directory or not.
  std::filesystem::create_directories(dir.path() / "data" / "sub");
  for (const char* file :
       {"1301.txt", "data/sub/1301.txt", "data/..\\1301.txt", "data/1302.txt", "data/1303.txt"}) {
    dir.Write(file, prices);
  }
  const struct {
    std::string code;
    size_t pairs;
  } cases[] = {{"1303", 1}, {"../1301", 0}, {"sub/1301", 0}, {"..\\1301", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    std::vector<std::string> codes{c.code, "1302"};
    std::sort(codes.begin(), codes.end());  // the lists come sorted
    const PairKeySet keys(codes, codes);
    PairScreening screening(dir.path() / "data", keys, {100, 100}, {}, 1);
    Collect sink;
    ASSERT_EQ(screening.Run([] { return false; }, sink), PairScreening::End::kCompleted);
    EXPECT_EQ(sink.rows.size(), c.pairs);
  }
}
