#include "data/statistics.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
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
// The same read from any double of a block.
typedef double Lanes8At __attribute__((vector_size(8 * sizeof(double)), aligned(8), may_alias));
typedef double Lanes4At __attribute__((vector_size(4 * sizeof(double)), aligned(8), may_alias));
typedef float Floats8 __attribute__((vector_size(8 * sizeof(float))));
typedef float Floats8At __attribute__((vector_size(8 * sizeof(float)), aligned(4), may_alias));
static_assert(kCorrelationLanes == 8, "the builds below hold eight lanes");

}  // namespace

// Each lane does what CorrelationAroundMeans does for its job; lanes never
// mix, and without contraction (-ffp-contract=off) every operation rounds as
// the scalar one: a product of two whole numbers below 2^31 is exact in a
// double either way, and a vector add, subtract or multiply rounds each lane
// correctly, as the scalar instruction does. So every build of this body
// gives the same bits, and all give CorrelationAroundMeans's. The lanes are
// H vectors V of W lanes each, side by side in one loop; DAY sets up day i,
// A_VALUES and B_VALUES are the values of half h on it.
#define DYADMARK_BLOCK_BODY(V, H, DAY, A_VALUES, B_VALUES)                     \
  constexpr int W = kCorrelationLanes / H;                                     \
  V meanA[H];                                                                  \
  V meanB[H];                                                                  \
  V sxx[H];                                                                    \
  V syy[H];                                                                    \
  V sxy[H];                                                                    \
  for (int h = 0; h < H; ++h) {                                                \
    for (int k = 0; k < W; ++k) {                                              \
      meanA[h][k] = means.meanA[h * W + k];                                    \
      meanB[h][k] = means.meanB[h * W + k];                                    \
    }                                                                          \
    sxx[h] = V{};                                                              \
    syy[h] = V{};                                                              \
    sxy[h] = V{};                                                              \
  }                                                                            \
  for (int32_t i = 0; i < n; ++i) {                                            \
    DAY;                                                                       \
    for (int h = 0; h < H; ++h) {                                              \
      const V da = (A_VALUES)-meanA[h];                                        \
      const V db = (B_VALUES)-meanB[h];                                        \
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

// A series a (every stride-th value) against a block, each lane scaled.
#define DYADMARK_ONE_AGAINST_BLOCK_BODY(V, VAt, H)                                               \
  const BlockLanes& means = lanes;                                                               \
  V scaleA[H];                                                                                   \
  V scaleB[H];                                                                                   \
  for (int h = 0; h < H; ++h) {                                                                  \
    for (int k = 0; k < kCorrelationLanes / H; ++k) {                                            \
      scaleA[h][k] = lanes.scaleA[h * (kCorrelationLanes / H) + k];                              \
      scaleB[h][k] = lanes.scaleB[h * (kCorrelationLanes / H) + k];                              \
    }                                                                                            \
  }                                                                                              \
  DYADMARK_BLOCK_BODY(V, H, const double ai = a[static_cast<ptrdiff_t>(i) * stride];             \
                      const double* day = block + static_cast<ptrdiff_t>(i) * kCorrelationLanes, \
                      ai * scaleA[h], *reinterpret_cast<const VAt*>(day + h * W) * scaleB[h])

// Two blocks, lane by lane.
#define DYADMARK_TWO_BLOCKS_BODY(V, VAt, H)                                                      \
  DYADMARK_BLOCK_BODY(V, H, const ptrdiff_t day = static_cast<ptrdiff_t>(i) * kCorrelationLanes, \
                      *reinterpret_cast<const VAt*>(a + day + h * W),                            \
                      *reinterpret_cast<const VAt*>(b + day + h * W))

namespace {

// The plain build holds the eight lanes in one vector type, the AVX2 one in
// two of four, which it holds in registers whole (a vector of eight there is
// slower by half). An AVX-512 build of eight lanes in one register ran no
// faster: the loop is bound by the vector units either way.
void BlockPlain(const double* a, int32_t stride, const double* block, const BlockLanes& lanes,
                int32_t n, double* results) {
  DYADMARK_ONE_AGAINST_BLOCK_BODY(Lanes8, Lanes8At, 1)
}

__attribute__((target("avx2"))) void BlockAvx2(const double* a, int32_t stride, const double* block,
                                               const BlockLanes& lanes, int32_t n,
                                               double* results) {
  DYADMARK_ONE_AGAINST_BLOCK_BODY(Lanes4, Lanes4At, 2)
}

void TwoBlocksPlain(const double* a, const double* b, const BlockMeans& means, int32_t n,
                    double* results) {
  DYADMARK_TWO_BLOCKS_BODY(Lanes8, Lanes8At, 1)
}

__attribute__((target("avx2"))) void TwoBlocksAvx2(const double* a, const double* b,
                                                   const BlockMeans& means, int32_t n,
                                                   double* results) {
  DYADMARK_TWO_BLOCKS_BODY(Lanes4, Lanes4At, 2)
}

// Every row lane against the column block: one product and one sum per
// pair and day, rounded to single precision in day order.
#define DYADMARK_DOT_PRODUCTS_BODY                                                               \
  Floats8 sums[kCorrelationLanes] = {};                                                          \
  for (int32_t i = 0; i < n; ++i) {                                                              \
    const float* day = rows + static_cast<ptrdiff_t>(i) * kCorrelationLanes;                     \
    const Floats8 column = *reinterpret_cast<const Floats8At*>(                                  \
        columns + static_cast<ptrdiff_t>(i) * kCorrelationLanes);                                \
    for (int r = 0; r < kCorrelationLanes; ++r) sums[r] += day[r] * column;                      \
  }                                                                                              \
  for (int r = 0; r < kCorrelationLanes; ++r) {                                                  \
    for (int c = 0; c < kCorrelationLanes; ++c) results[r * kCorrelationLanes + c] = sums[r][c]; \
  }

void DotProductsPlain(const float* rows, const float* columns, int32_t n, float* results) {
  DYADMARK_DOT_PRODUCTS_BODY
}

__attribute__((target("avx2"))) void DotProductsAvx2(const float* rows, const float* columns,
                                                     int32_t n, float* results) {
  DYADMARK_DOT_PRODUCTS_BODY
}

#undef DYADMARK_DOT_PRODUCTS_BODY
#undef DYADMARK_TWO_BLOCKS_BODY
#undef DYADMARK_ONE_AGAINST_BLOCK_BODY
#undef DYADMARK_BLOCK_BODY

bool Has(VectorPath path) {
  static const bool avx2 = __builtin_cpu_supports("avx2");
  switch (path) {
    case VectorPath::kPlain:
      return true;
    case VectorPath::kAvx2:
      return avx2;
  }
  return false;
}

}  // namespace

std::vector<VectorPath> AvailableVectorPaths() {
  std::vector<VectorPath> paths;
  for (const VectorPath path : {VectorPath::kPlain, VectorPath::kAvx2}) {
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
    case VectorPath::kAvx2:
      return BlockAvx2(a, stride, block, lanes, n, results);
    case VectorPath::kPlain:
      break;
  }
  BlockPlain(a, stride, block, lanes, n, results);
}

void CorrelationsOfTwoBlocksOn(VectorPath path, const double* a, const double* b,
                               const BlockMeans& means, int32_t n, double* results) {
  if (n < 1) return std::fill(results, results + kCorrelationLanes, 0.0);
  if (!Has(path)) path = VectorPath::kPlain;
  switch (path) {
    case VectorPath::kAvx2:
      return TwoBlocksAvx2(a, b, means, n, results);
    case VectorPath::kPlain:
      break;
  }
  TwoBlocksPlain(a, b, means, n, results);
}

void DotProductsOfBlocksOn(VectorPath path, const float* rows, const float* columns, int32_t n,
                           float* results) {
  if (!Has(path)) path = VectorPath::kPlain;
  switch (path) {
    case VectorPath::kAvx2:
      return DotProductsAvx2(rows, columns, n, results);
    case VectorPath::kPlain:
      break;
  }
  DotProductsPlain(rows, columns, n, results);
}

double SingleDotProductError(int32_t n) {
  // gamma_n of the unit roundoff 2^-24.
  const double nu = std::max(n, 1) * std::ldexp(1.0, -24);
  return nu / (1.0 - nu);
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
