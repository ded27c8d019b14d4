#include "statistics.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
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

typedef double Lanes8 __attribute__((vector_size(8 * sizeof(double))));
typedef double Lanes4 __attribute__((vector_size(4 * sizeof(double))));
static_assert(kCorrelationLanes == 8, "the builds below name eight lanes");

}  // namespace

// The values of series p[0..7] or p[0..3] at i.
#define DYADMARK_AT8(p, i) \
  Lanes8 { p[0][i], p[1][i], p[2][i], p[3][i], p[4][i], p[5][i], p[6][i], p[7][i] }
#define DYADMARK_AT4(p, i) \
  Lanes4 { p[0][i], p[1][i], p[2][i], p[3][i] }

// Each lane does what CorrelationAroundMeans does for its job; lanes never
// mix, and without contraction (-ffp-contract=off) every operation rounds as
// the scalar one: a product of two whole numbers below 2^31 is exact in a
// double either way, and a vector add, subtract or multiply rounds each lane
// correctly, as the scalar instruction does. So every build of this body
// gives the same bits, and all give CorrelationAroundMeans's. The W lanes of
// jobs[0..W) are vectors V; VALUES_A and VALUES_B are their values at i.
#define DYADMARK_CORRELATION_LANES_BODY(V, W, VALUES_A, VALUES_B) \
  V meanA;                                                        \
  V meanB;                                                        \
  for (int k = 0; k < W; ++k) {                                   \
    meanA[k] = jobs[k].meanA;                                     \
    meanB[k] = jobs[k].meanB;                                     \
  }                                                               \
  V sxx = {};                                                     \
  V syy = {};                                                     \
  V sxy = {};                                                     \
  for (int32_t i = 0; i < n; ++i) {                               \
    const V da = (VALUES_A)-meanA;                                \
    const V db = (VALUES_B)-meanB;                                \
    sxx += da * da;                                               \
    syy += db * db;                                               \
    sxy += da * db;                                               \
  }                                                               \
  for (int k = 0; k < W; ++k) results[k] = CorrelationOfSums(sxx[k], syy[k], sxy[k]);

// A series against a block: the block's days load whole, H vectors V of W
// lanes each, side by side in one loop.
#define DYADMARK_BLOCK_BODY(V, H)                                              \
  constexpr int W = kCorrelationLanes / H;                                     \
  V scaleA[H];                                                                 \
  V scaleB[H];                                                                 \
  V meanA[H];                                                                  \
  V meanB[H];                                                                  \
  V sxx[H];                                                                    \
  V syy[H];                                                                    \
  V sxy[H];                                                                    \
  for (int h = 0; h < H; ++h) {                                                \
    for (int k = 0; k < W; ++k) {                                              \
      scaleA[h][k] = lanes.scaleA[h * W + k];                                  \
      scaleB[h][k] = lanes.scaleB[h * W + k];                                  \
      meanA[h][k] = lanes.meanA[h * W + k];                                    \
      meanB[h][k] = lanes.meanB[h * W + k];                                    \
    }                                                                          \
    sxx[h] = V{};                                                              \
    syy[h] = V{};                                                              \
    sxy[h] = V{};                                                              \
  }                                                                            \
  for (int32_t i = 0; i < n; ++i) {                                            \
    const double ai = a[static_cast<ptrdiff_t>(i) * stride];                   \
    const double* day = block + static_cast<ptrdiff_t>(i) * kCorrelationLanes; \
    for (int h = 0; h < H; ++h) {                                              \
      V b;                                                                     \
      std::memcpy(&b, day + h * W, sizeof b);                                  \
      const V da = ai * scaleA[h] - meanA[h];                                  \
      const V db = b * scaleB[h] - meanB[h];                                   \
      sxx[h] += da * da;                                                       \
      syy[h] += db * db;                                                       \
      sxy[h] += da * db;                                                       \
    }                                                                          \
  }                                                                            \
  for (int h = 0; h < H; ++h) {                                                \
    for (int k = 0; k < W; ++k) {                                              \
      results[h * W + k] = CorrelationOfSums(sxx[h][k], syy[h][k], sxy[h][k]); \
    }                                                                          \
  }

// W pairs of their own.
#define DYADMARK_PAIRS_BODY(V, W, AT) \
  const double* a[W];                 \
  const double* b[W];                 \
  for (int k = 0; k < W; ++k) {       \
    a[k] = jobs[k].a;                 \
    b[k] = jobs[k].b;                 \
  }                                   \
  DYADMARK_CORRELATION_LANES_BODY(V, W, AT(a, i), AT(b, i))

namespace {

// The plain build holds the eight lanes in one vector type; the AVX2 one runs
// two halves of four, which it holds in registers whole (a vector of eight
// there is slower by half).
void BlockPlain(const double* a, int32_t stride, const double* block, const BlockLanes& lanes,
                int32_t n, double* results) {
  DYADMARK_BLOCK_BODY(Lanes8, 1)
}

__attribute__((target("avx2"))) void BlockAvx2(const double* a, int32_t stride, const double* block,
                                               const BlockLanes& lanes, int32_t n,
                                               double* results) {
  DYADMARK_BLOCK_BODY(Lanes4, 2)
}

__attribute__((target("avx512f"))) void BlockAvx512(const double* a, int32_t stride,
                                                    const double* block, const BlockLanes& lanes,
                                                    int32_t n, double* results) {
  DYADMARK_BLOCK_BODY(Lanes8, 1)
}

void PairLanesPlain(const PairCorrelationJob* jobs, int32_t n, double* results) {
  DYADMARK_PAIRS_BODY(Lanes8, 8, DYADMARK_AT8)
}

__attribute__((target("avx2"))) void PairHalfAvx2(const PairCorrelationJob* jobs, int32_t n,
                                                  double* results) {
  DYADMARK_PAIRS_BODY(Lanes4, 4, DYADMARK_AT4)
}

void PairLanesAvx2(const PairCorrelationJob* jobs, int32_t n, double* results) {
  PairHalfAvx2(jobs, n, results);
  PairHalfAvx2(jobs + 4, n, results + 4);
}

#undef DYADMARK_PAIRS_BODY
#undef DYADMARK_BLOCK_BODY
#undef DYADMARK_CORRELATION_LANES_BODY
#undef DYADMARK_AT4
#undef DYADMARK_AT8

bool Has(VectorPath path) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  static const bool avx512 = __builtin_cpu_supports("avx512f");
  switch (path) {
    case VectorPath::kPlain:
      return true;
    case VectorPath::kAvx2:
      return avx2;
    case VectorPath::kAvx512:
      return avx512;
  }
  return false;
}

}  // namespace

std::vector<VectorPath> AvailableVectorPaths() {
  std::vector<VectorPath> paths;
  for (const VectorPath path : {VectorPath::kPlain, VectorPath::kAvx2, VectorPath::kAvx512}) {
    if (Has(path)) paths.push_back(path);
  }
  return paths;
}

VectorPath FastestVectorPath() { return AvailableVectorPaths().back(); }

void CorrelationsOfOneAgainstBlockOn(VectorPath path, const double* a, int32_t stride,
                                     const double* block, const BlockLanes& lanes, int32_t n,
                                     double* results) {
  if (n < 1) return std::fill(results, results + kCorrelationLanes, 0.0);
  if (!Has(path)) path = VectorPath::kPlain;
  switch (path) {
    case VectorPath::kAvx512:
      return BlockAvx512(a, stride, block, lanes, n, results);
    case VectorPath::kAvx2:
      return BlockAvx2(a, stride, block, lanes, n, results);
    case VectorPath::kPlain:
      break;
  }
  BlockPlain(a, stride, block, lanes, n, results);
}

void CorrelationsOfPairLanesOn(VectorPath path, const PairCorrelationJob* jobs, int32_t n,
                               double* results) {
  if (n < 1) return std::fill(results, results + kCorrelationLanes, 0.0);
  if (!Has(path)) path = VectorPath::kPlain;
  switch (path) {
    // The lanes' values load one by one here: a vector of eight is no faster.
    case VectorPath::kAvx512:
    case VectorPath::kAvx2:
      return PairLanesAvx2(jobs, n, results);
    case VectorPath::kPlain:
      break;
  }
  PairLanesPlain(jobs, n, results);
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
