#include "data/statistics.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "vcl/convert.h"

namespace {

constexpr long double kPowersOfTen[] = {1e0L, 1e1L, 1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,
                                        1e8L, 1e9L, 1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L};

// The rounding below without its texts, for the values whose cut is plain:
// away from a half of the last kept digit and from a change in the number of
// integer digits, where the 18-digit expansion cannot tip the decision. The
// kept digits q are then the text's digits and q / 10^decimals, one correctly
// rounded division, is the number the text reads back as. False when the
// value needs the texts.
bool RoundPlainTwoDecimals(long double value, double& rounded) {
  const long double magnitude = std::fabs(value);
  if (!(magnitude < 1e15L)) return false;
  int integerDigits = 0;
  while (integerDigits < 15 && magnitude >= kPowersOfTen[integerDigits]) ++integerDigits;
  // Only the powers of ten around the value can be that near to it.
  for (int k = std::max(integerDigits - 1, 5); k <= std::min(integerDigits, 15); ++k) {
    if (std::fabs(magnitude - kPowersOfTen[k]) < kPowersOfTen[k] * 1e-12L) return false;
  }
  // At most 2 decimals and 7 significant digits.
  const int decimals = std::min(2, 7 - integerDigits);
  const long double scaled =
      decimals >= 0 ? magnitude * kPowersOfTen[decimals] : magnitude / kPowersOfTen[-decimals];
  const long double whole = std::floor(scaled);
  const long double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5L) < 1e-6L) return false;
  const long double kept = fraction > 0.5L ? whole + 1.0L : whole;
  if (kept == 0.0L) {
    rounded = 0.0;
    return true;
  }
  const double digits = static_cast<double>(kept);
  const double result = decimals >= 0 ? digits / static_cast<double>(kPowersOfTen[decimals])
                                      : digits * static_cast<double>(kPowersOfTen[-decimals]);
  rounded = value < 0.0L ? -result : result;
  return true;
}

// The mean and the deviation are extended values when they are rounded, so the
// cut is decided on their own digits, not on those of the nearest double.
double RoundThroughText(long double value) {
  if (!std::isfinite(value)) return static_cast<double>(value);
  double rounded = 0.0;
  if (!vcl::TryStrToFloat(vcl::ExtendedToStrFFixed(value, 7, 2), rounded)) {
    return static_cast<double>(value);
  }
  return rounded;
}

double RoundExtendedTwoDecimals(long double value) {
  double plain = 0.0;
  if (std::isfinite(value) && RoundPlainTwoDecimals(value, plain)) return plain;
  return RoundThroughText(value);
}

}  // namespace

double RoundTwoDecimals(double value) { return RoundExtendedTwoDecimals(value); }

double RoundTwoDecimalsThroughText(long double value) { return RoundThroughText(value); }

int32_t MaxOfBoth(const int32_t* a, const int32_t* b, int32_t n) {
  int32_t largest = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (a[i] > largest) largest = a[i];
    if (b[i] > largest) largest = b[i];
  }
  return largest;
}

void MinMax(const double* x, int32_t n, double* maximum, double* minimum) {
  for (int32_t i = 0; i < n; ++i) {
    if (x[i] > *maximum) *maximum = x[i];
    if (x[i] < *minimum) *minimum = x[i];
  }
}

void Differences(const int32_t* a, const int32_t* b, double* out, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    out[i] = static_cast<double>(static_cast<int64_t>(a[i]) - static_cast<int64_t>(b[i]));
  }
}

namespace {

// The sums of a least-squares fit of v against x = -i.
struct FitSums {
  double count = 0.0;
  double sx = 0.0;
  double sxx = 0.0;
  double sy = 0.0;
  double sxy = 0.0;

  void Add(double x, double v) {
    count += 1.0;
    sx += x;
    sxx += x * x;
    sy += v;
    sxy += x * v;
  }
  double Denominator() const { return count * sxx - sx * sx; }
};

}  // namespace

double RegressionSlope(const double* y, int32_t n, int32_t m) {
  if (n < 2 || m == 0) return 0.0;
  FitSums sums;
  for (int32_t i = 0; i < n; ++i) {
    sums.Add(-static_cast<double>(i), (static_cast<double>(n) * y[i]) / m);
  }
  return (sums.count * sums.sxy - sums.sx * sums.sy) / sums.Denominator();
}

double RegressionIntercept(const double* y, int32_t n) {
  if (n < 2) return 0.0;
  FitSums sums;
  for (int32_t i = 0; i < n; ++i) sums.Add(-static_cast<double>(i), y[i]);
  return (sums.sxx * sums.sy - sums.sx * sums.sxy) / sums.Denominator();
}

double MeanRounded(const double* x, int32_t n) {
  if (n < 1) return 0.0;
  long double sum = 0.0L;
  for (int32_t i = 0; i < n; ++i) sum += x[i];
  return MeanRoundedOfSum(sum, n);
}

double MeanRoundedOfSum(long double sum, int32_t n) {
  if (n < 1) return 0.0;
  return RoundExtendedTwoDecimals(sum / n);
}

double MeanRoundedOfWholeSum(int64_t sum, int32_t n) {
  // Outside these bounds (a mean below 1, beyond 13 integer digits or of
  // more days than ten thousand) the extended path decides.
  constexpr int64_t kMostWhole = 9999999999999;  // 13 digits
  if (n < 1 || n > 10000 || sum <= 0 || sum / n < 1 || sum / n > kMostWhole) {
    return MeanRoundedOfSum(static_cast<long double>(sum), n);
  }
  const int64_t whole = sum / n;
  int integerDigits = 1;
  for (int64_t power = 10; integerDigits < 15 && whole >= power; power *= 10) ++integerDigits;
  // At most 2 decimals and 7 significant digits, as the text has them.
  const int decimals = std::min(2, 7 - integerDigits);
  using Wide = __int128;
  Wide numerator = sum;
  Wide denominator = n;
  for (int k = 0; k < decimals; ++k) numerator *= 10;
  for (int k = 0; k < -decimals; ++k) denominator *= 10;
  const Wide quotient = numerator / denominator;
  const Wide remainder = numerator % denominator;
  // A first dropped digit of 5 or more rounds away from zero: the exact half
  // included, which the expansion of the extended quotient shows as such.
  const auto kept = static_cast<int64_t>(quotient + (2 * remainder >= denominator ? 1 : 0));
  const double digits = static_cast<double>(kept);
  return decimals >= 0 ? digits / static_cast<double>(kPowersOfTen[decimals])
                       : digits * static_cast<double>(kPowersOfTen[-decimals]);
}

double PercentStdDevRounded(double* x, int32_t n, int32_t m) {
  if (n < 2 || m == 0) return 0.0;
  long double sum = 0.0L;
  long double sumOfSquares = 0.0L;
  for (int32_t i = 0; i < n; ++i) {
    x[i] = (x[i] * 100.0) / m;
    sum += x[i];
    sumOfSquares += static_cast<long double>(x[i]) * x[i];
  }
  long double variance = (sumOfSquares - sum * sum / n) / (n - 1);
  // Cancellation can leave a tiny negative value where the spread is 0.
  if (variance < 0.0L) variance = 0.0L;
  return RoundExtendedTwoDecimals(std::sqrt(variance));
}
