#include "data/statistics.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <vector>

namespace {

using ::testing::ElementsAre;

struct RoundCase {
  double value;
  double expected;
};

TEST(RoundTwoDecimals, HalfAwayFromZeroOnTheDecimalExpansion) {
  const RoundCase cases[] = {
      // Exact binary ties round away from zero.
      {0.125, 0.13},
      {-0.125, -0.13},
      {0.375, 0.38},
      {0.625, 0.63},
      {-0.625, -0.63},
      // These only look like ties: the doubles lie below them
      // (1.00499999999999989..., 0.284999999999999976..., 2.67499999999999982...,
      // 1.01499999999999990...).
      {1.005, 1.0},
      {0.285, 0.28},
      {2.675, 2.67},
      {1.015, 1.01},
      // ... and these above them (0.135000000000000009..., 0.00500000000000000010...).
      {0.135, 0.14},
      {0.005, 0.01},
      // The neighbours of an exact tie.
      {std::nextafter(0.125, 0.0), 0.12},
      {std::nextafter(0.125, 1.0), 0.13},
      {0.004, 0.0},
      {1234.996, 1235.0},
      {1234.994, 1234.99},
      // Seven significant digits at most.
      {123456.789, 123456.8},
      {15234567.891, 15234570.0},
  };
  for (const RoundCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::setprecision(20) << c.value);
    EXPECT_EQ(RoundTwoDecimals(c.value), c.expected);
  }
  EXPECT_TRUE(std::isnan(RoundTwoDecimals(std::numeric_limits<double>::quiet_NaN())));
}

TEST(Correlation, PearsonCoefficient) {
  const int32_t a[] = {1, 2, 3};
  const int32_t b[] = {1, 3, 2};
  // means 2 and 2; Sxx 2, Syy 2, Sxy 1
  EXPECT_DOUBLE_EQ(Correlation(a, b, 3), 0.5);

  const int32_t shifted[] = {101, 102, 103};
  const int32_t mirrored[] = {-1, -2, -3};
  EXPECT_DOUBLE_EQ(Correlation(a, shifted, 3), 1.0);
  EXPECT_DOUBLE_EQ(Correlation(a, mirrored, 3), -1.0);
}

TEST(Correlation, ConstantSeriesOrTooFewDaysGiveZero) {
  const int32_t a[] = {1, 2, 3};
  const int32_t flat[] = {5, 5, 5};
  EXPECT_EQ(Correlation(a, flat, 3), 0.0);
  EXPECT_EQ(Correlation(a, a, 1), 0.0);
  EXPECT_EQ(Correlation(a, a, 0), 0.0);
  EXPECT_EQ(Correlation(nullptr, nullptr, -1), 0.0);
}

TEST(Correlation, StaysWithinMinusOneAndOne) {
  // For 1, 1, 3 the roots of the sums multiply back to a little less than the
  // sum itself, which unclamped gives 1.0000000000000002.
  const int32_t a[] = {1, 1, 3};
  const int32_t mirrored[] = {-1, -1, -3};
  EXPECT_EQ(Correlation(a, a, 3), 1.0);
  EXPECT_EQ(Correlation(a, mirrored, 3), -1.0);
}

TEST(MaxOfBoth, LargestOfEitherSeriesButNeverBelowZero) {
  const int32_t a[] = {3, 9, -1};
  const int32_t b[] = {5, 2, 10};
  const int32_t negative[] = {-3, -1, -7};
  EXPECT_EQ(MaxOfBoth(a, b, 3), 10);
  EXPECT_EQ(MaxOfBoth(a, b, 2), 9);
  EXPECT_EQ(MaxOfBoth(negative, negative, 3), 0);
  EXPECT_EQ(MaxOfBoth(a, b, 0), 0);
}

TEST(MinMax, MovesTheSeedsOnlyPastStrictlyGreaterOrSmallerValues) {
  const double x[] = {1.5, -2.5, 3.0};
  double maximum = -999.0, minimum = 999.0;
  MinMax(x, 3, &maximum, &minimum);
  EXPECT_EQ(maximum, 3.0);
  EXPECT_EQ(minimum, -2.5);

  maximum = 7.0;
  minimum = 8.0;
  MinMax(x, 0, &maximum, &minimum);
  EXPECT_EQ(maximum, 7.0);
  EXPECT_EQ(minimum, 8.0);

  // -0.0 equals 0.0: an equal value does not replace the running maximum.
  const double negativeZero[] = {-0.0};
  maximum = 0.0;
  minimum = 1.0;
  MinMax(negativeZero, 1, &maximum, &minimum);
  EXPECT_FALSE(std::signbit(maximum));
  EXPECT_TRUE(std::signbit(minimum));
}

TEST(Differences, TakenWithoutOverflow) {
  const int32_t a[] = {5, INT32_MAX, INT32_MIN};
  const int32_t b[] = {7, INT32_MIN, 1};
  double out[3] = {};
  Differences(a, b, out, 3);
  EXPECT_THAT(out, ElementsAre(-2.0, 4294967295.0, -2147483649.0));
}

TEST(Regression, WorkedExample) {
  // y = 3, 2, 1 newest first: x = 0, -1, -2; N 3, Sx -3, Sxx 5, Sy 6, Sxy -4.
  const double y[] = {3.0, 2.0, 1.0};
  EXPECT_DOUBLE_EQ(RegressionSlope(y, 3, 3), 1.0);
  EXPECT_DOUBLE_EQ(RegressionSlope(y, 3, 6), 0.5);
  EXPECT_DOUBLE_EQ(RegressionIntercept(y, 3), 3.0);
}

TEST(Regression, UnevenSeries) {
  // y = 1, 3, 2, 5, n 4, m 10: v = 0.4, 1.2, 0.8, 2.0; Sx -6, Sxx 14,
  // Sy 4.4, Sxy -8.8; slope (4 * -8.8 + 6 * 4.4) / (56 - 36) = -0.44.
  // Plain values: Sy 11, Sxy -22; intercept (14 * 11 - 6 * 22) / 20 = 1.1.
  const double y[] = {1.0, 3.0, 2.0, 5.0};
  EXPECT_NEAR(RegressionSlope(y, 4, 10), -0.44, 1e-12);
  EXPECT_NEAR(RegressionIntercept(y, 4), 1.1, 1e-12);
}

TEST(Regression, BelowItsLimitsGivesZero) {
  const double y[] = {3.0, 2.0, 1.0};
  EXPECT_EQ(RegressionSlope(y, 1, 3), 0.0);
  EXPECT_EQ(RegressionSlope(y, 3, 0), 0.0);
  EXPECT_EQ(RegressionIntercept(y, 1), 0.0);
  EXPECT_EQ(RegressionIntercept(nullptr, 0), 0.0);
}

TEST(MeanRounded, RoundsTheMeanToTwoDecimals) {
  const double a[] = {1.0, 2.0};
  const double b[] = {1.0, 1.0, 1.01};             // 1.00333...
  const double volumes[] = {100.0, 200.0, 200.0};  // 166.666...
  EXPECT_EQ(MeanRounded(a, 2), 1.5);
  EXPECT_EQ(MeanRounded(b, 3), 1.0);
  EXPECT_EQ(MeanRounded(volumes, 3), 166.67);
  EXPECT_EQ(MeanRounded(a, 0), 0.0);
}

TEST(MeanRounded, SumsInExtendedPrecision) {
  // Exactly, (10^16 + 1 + 1 - 10^16) / 4 = 1/2. Summed in doubles,
  // 10^16 + 1 is a tie that rounds back to 10^16 twice, and the mean is 0.
  const double x[] = {1e16, 1.0, 1.0, -1e16};
  EXPECT_EQ(MeanRounded(x, 4), 0.5);
}

TEST(MeanRounded, RoundsTheExtendedMeanNotTheNearestDouble) {
  // (0.125 + (0.125 - 2^-56)) / 2 = 0.125 - 2^-57 = 0.124999999999999993...,
  // exact in long double; as a double it is a tie that rounds to 0.125,
  // which would give 0.13.
  const double x[] = {0.125, std::nextafter(0.125, 0.0)};
  EXPECT_EQ(MeanRounded(x, 2), 0.12);
}

TEST(PercentStdDevRounded, ConvertsInPlaceAndGivesTheSampleDeviation) {
  std::vector<double> x = {10.0, 20.0, 30.0};
  EXPECT_EQ(PercentStdDevRounded(x.data(), 3, 100), 10.0);
  EXPECT_THAT(x, ElementsAre(10.0, 20.0, 30.0));

  x = {10.0, 20.0, 30.0};
  EXPECT_EQ(PercentStdDevRounded(x.data(), 3, 200), 5.0);
  EXPECT_THAT(x, ElementsAre(5.0, 10.0, 15.0));

  // 2, 4, 6, 8: sqrt((120 - 400 / 4) / 3) = sqrt(20 / 3) = 2.5819...
  x = {1.0, 2.0, 3.0, 4.0};
  EXPECT_EQ(PercentStdDevRounded(x.data(), 4, 50), 2.58);
}

TEST(PercentStdDevRounded, FlatSeriesGivesZeroNotNaN) {
  // 0.01 * 100 / 11 three times: the sums cancel to a tiny negative variance.
  std::vector<double> x = {0.01, 0.01, 0.01};
  EXPECT_EQ(PercentStdDevRounded(x.data(), 3, 11), 0.0);
}

TEST(PercentStdDevRounded, BelowItsLimitsGivesZeroAndLeavesTheSeries) {
  std::vector<double> x = {10.0, 20.0};
  EXPECT_EQ(PercentStdDevRounded(x.data(), 1, 100), 0.0);
  EXPECT_EQ(PercentStdDevRounded(x.data(), 2, 0), 0.0);
  EXPECT_THAT(x, ElementsAre(10.0, 20.0));
}

}  // namespace
