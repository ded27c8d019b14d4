#include "statistics.h"

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

double Correlation(const int32_t* a, const int32_t* b, int32_t n) {
  if (n < 1) return 0.0;
  double sumA = 0.0;
  double sumB = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    sumA += static_cast<double>(a[i]);
    sumB += static_cast<double>(b[i]);
  }
  return CorrelationAroundMeans(a, 1, b, 1, n, sumA / n, sumB / n);
}

namespace {

// The coefficient of Correlation's three sums.
double CorrelationOfSums(double sxx, double syy, double sxy) {
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

}  // namespace

double CorrelationAroundMeans(const int32_t* a, int32_t scaleA, const int32_t* b, int32_t scaleB,
                              int32_t n, double meanA, double meanB) {
  if (n < 1) return 0.0;
  double sxx = 0.0;
  double syy = 0.0;
  double sxy = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    const double da = static_cast<double>(a[i] * scaleA) - meanA;
    const double db = static_cast<double>(b[i] * scaleB) - meanB;
    sxx += da * da;
    syy += db * db;
    sxy += da * db;
  }
  return CorrelationOfSums(sxx, syy, sxy);
}

namespace {

typedef double Doubles4 __attribute__((vector_size(32)));

}  // namespace

// Each lane does what CorrelationAroundMeans does for its job; lanes never
// mix, and without contraction (-ffp-contract=off) every operation rounds as
// the scalar one: a product of two whole numbers below 2^31 is exact in a
// double either way, and a vector add, subtract or multiply rounds each lane
// correctly, as the scalar instruction does. So the AVX2 and the plain build
// of this body give the same bits, and both give CorrelationAroundMeans's.
#define DYADMARK_FOUR_CORRELATIONS_BODY                                                     \
  if (n < 1) {                                                                              \
    for (int k = 0; k < 4; ++k) results[k] = 0.0;                                           \
    return;                                                                                 \
  }                                                                                         \
  const double* b0 = jobs[0].b;                                                             \
  const double* b1 = jobs[1].b;                                                             \
  const double* b2 = jobs[2].b;                                                             \
  const double* b3 = jobs[3].b;                                                             \
  const Doubles4 scaleA = {jobs[0].scaleA, jobs[1].scaleA, jobs[2].scaleA, jobs[3].scaleA}; \
  const Doubles4 scaleB = {jobs[0].scaleB, jobs[1].scaleB, jobs[2].scaleB, jobs[3].scaleB}; \
  const Doubles4 meanA = {jobs[0].meanA, jobs[1].meanA, jobs[2].meanA, jobs[3].meanA};      \
  const Doubles4 meanB = {jobs[0].meanB, jobs[1].meanB, jobs[2].meanB, jobs[3].meanB};      \
  Doubles4 sxx = {0.0, 0.0, 0.0, 0.0};                                                      \
  Doubles4 syy = sxx;                                                                       \
  Doubles4 sxy = sxx;                                                                       \
  for (int32_t i = 0; i < n; ++i) {                                                         \
    const Doubles4 da = a[i] * scaleA - meanA;                                              \
    const Doubles4 db = Doubles4{b0[i], b1[i], b2[i], b3[i]} * scaleB - meanB;              \
    sxx += da * da;                                                                         \
    syy += db * db;                                                                         \
    sxy += da * db;                                                                         \
  }                                                                                         \
  for (int k = 0; k < 4; ++k) results[k] = CorrelationOfSums(sxx[k], syy[k], sxy[k]);

namespace {

void FourCorrelationsPlain(const double* a, const CorrelationJob* jobs, int32_t n,
                           double* results) {
  DYADMARK_FOUR_CORRELATIONS_BODY
}

__attribute__((target("avx2"))) void FourCorrelationsAvx2(const double* a,
                                                          const CorrelationJob* jobs, int32_t n,
                                                          double* results) {
  DYADMARK_FOUR_CORRELATIONS_BODY
}

#undef DYADMARK_FOUR_CORRELATIONS_BODY

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

}  // namespace

std::vector<VectorPath> AvailableVectorPaths() {
  std::vector<VectorPath> paths{VectorPath::kPlain};
  if (HasAvx2()) paths.push_back(VectorPath::kAvx2);
  return paths;
}

void CorrelationsOfOneAgainstFourOn(VectorPath path, const double* a, const CorrelationJob* jobs,
                                    int32_t n, double* results) {
  if (path == VectorPath::kAvx2 && HasAvx2()) {
    FourCorrelationsAvx2(a, jobs, n, results);
  } else {
    FourCorrelationsPlain(a, jobs, n, results);
  }
}

VectorPath FastestVectorPath() { return HasAvx2() ? VectorPath::kAvx2 : VectorPath::kPlain; }

void CorrelationsOfOneAgainstFour(const double* a, const CorrelationJob* jobs, int32_t n,
                                  double* results) {
  CorrelationsOfOneAgainstFourOn(FastestVectorPath(), a, jobs, n, results);
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
  return MeanRoundedOfSum(sum, n);
}

double MeanRoundedOfSum(long double sum, int32_t n) {
  if (n < 1) return 0.0;
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
