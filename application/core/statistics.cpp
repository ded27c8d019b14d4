#include "statistics.h"

#include <cmath>
#include <string>

#include "vcl/convert.h"

namespace {

// The mean and the deviation are extended values when they are rounded, so the
// cut is decided on their own digits, not on those of the nearest double.
double RoundExtendedTwoDecimals(long double value) {
  if (!std::isfinite(value)) return static_cast<double>(value);
  double rounded = 0.0;
  if (!vcl::TryStrToFloat(vcl::ExtendedToStrFFixed(value, 7, 2), rounded)) {
    return static_cast<double>(value);
  }
  return rounded;
}

}  // namespace

double RoundTwoDecimals(double value) { return RoundExtendedTwoDecimals(value); }

double Correlation(const int32_t* a, const int32_t* b, int32_t n) {
  if (n < 1) return 0.0;
  double sumA = 0.0;
  double sumB = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    sumA += static_cast<double>(a[i]);
    sumB += static_cast<double>(b[i]);
  }
  const double meanA = sumA / n;
  const double meanB = sumB / n;
  double sxx = 0.0;
  double syy = 0.0;
  double sxy = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    const double da = a[i] - meanA;
    const double db = b[i] - meanB;
    sxx += da * da;
    syy += db * db;
    sxy += da * db;
  }
  double sx = std::sqrt(sxx);
  double sy = std::sqrt(syy);
  if (sx == 0.0) sx = 1e-7;
  if (sy == 0.0) sy = 1e-7;
  const double r = sxy / (sx * sy);
  // Rounding can carry a perfect fit just past 1.
  if (r > 1.0) return 1.0;
  if (r < -1.0) return -1.0;
  return r;
}

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
  return RoundExtendedTwoDecimals(sum / n);
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
