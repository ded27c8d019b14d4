#include "data/correlation_lanes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

// Every build of the lanes gives CorrelationAroundMeans's bits only while no
// multiply and add is fused into one rounding: -ffp-contract=off, set for
// every file in the top CMakeLists.txt, keeps it so in the lanes and in the
// scalar loop alike.

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
typedef float Floats8 __attribute__((vector_size(8 * sizeof(float))));
static_assert(kCorrelationLanes == 8, "the builds below hold eight lanes");

// The code of the lanes is written once below and inlined, whole, into each
// build's wrapper, where it takes that wrapper's instruction set. Vectors go
// in and out by reference: no vector crosses a call that may not be inlined.

// The vector at `values`, which need not be aligned to its size.
template <typename V, typename T>
[[gnu::always_inline]] inline void LoadLanes(const T* values, V& vector) {
  std::memcpy(&vector, values, sizeof vector);
}

// Each lane does what CorrelationAroundMeans does for its job; lanes never
// mix, and every operation rounds as the scalar one: a product of two whole
// numbers below 2^31 is exact in a double either way, and a vector add,
// subtract or multiply rounds each lane correctly, as the scalar instruction
// does. So every build gives the same bits, and all give
// CorrelationAroundMeans's. The lanes are H vectors V of kCorrelationLanes /
// H lanes each, side by side in one loop; days.Load(i, a, b) gives the
// values of each half on day i.
template <typename V, int H, typename Days>
[[gnu::always_inline]] inline void CorrelateLanes(const Days& days, const BlockMeans& means,
                                                  int32_t n, double* results) {
  constexpr int W = kCorrelationLanes / H;
  V meanA[H];
  V meanB[H];
  V sxx[H];
  V syy[H];
  V sxy[H];
  for (int h = 0; h < H; ++h) {
    for (int k = 0; k < W; ++k) {
      meanA[h][k] = means.meanA[h * W + k];
      meanB[h][k] = means.meanB[h * W + k];
    }
    sxx[h] = V{};
    syy[h] = V{};
    sxy[h] = V{};
  }
  for (int32_t i = 0; i < n; ++i) {
    V a[H];
    V b[H];
    days.Load(i, a, b);
    for (int h = 0; h < H; ++h) {
      const V da = a[h] - meanA[h];
      const V db = b[h] - meanB[h];
      sxx[h] += da * da;
      syy[h] += db * db;
      sxy[h] += da * db;
    }
  }
  for (int h = 0; h < H; ++h) {
    for (int k = 0; k < W; ++k) {
      results[h * W + k] = CorrelationOfSums(sxx[h][k], syy[h][k], sxy[h][k]);
    }
  }
}

// The days of a series a (every stride-th value) against a block, each lane
// scaled.
template <typename V, int H>
class OneAgainstBlock {
 public:
  static constexpr int W = kCorrelationLanes / H;

  [[gnu::always_inline]] OneAgainstBlock(const double* a, int32_t stride, const double* block,
                                         const BlockLanes& lanes)
      : a_(a), stride_(stride), block_(block) {
    for (int h = 0; h < H; ++h) {
      for (int k = 0; k < W; ++k) {
        scaleA_[h][k] = lanes.scaleA[h * W + k];
        scaleB_[h][k] = lanes.scaleB[h * W + k];
      }
    }
  }

  [[gnu::always_inline]] void Load(int32_t i, V (&a)[H], V (&b)[H]) const {
    const double value = a_[static_cast<ptrdiff_t>(i) * stride_];
    const double* day = block_ + static_cast<ptrdiff_t>(i) * kCorrelationLanes;
    for (int h = 0; h < H; ++h) {
      a[h] = value * scaleA_[h];
      LoadLanes(day + h * W, b[h]);
      b[h] *= scaleB_[h];
    }
  }

 private:
  const double* a_;
  int32_t stride_;
  const double* block_;
  V scaleA_[H];
  V scaleB_[H];
};

// The days of two blocks, lane by lane.
template <typename V, int H>
struct TwoBlocks {
  static constexpr int W = kCorrelationLanes / H;

  [[gnu::always_inline]] void Load(int32_t i, V (&valuesA)[H], V (&valuesB)[H]) const {
    const ptrdiff_t day = static_cast<ptrdiff_t>(i) * kCorrelationLanes;
    for (int h = 0; h < H; ++h) {
      LoadLanes(a + day + h * W, valuesA[h]);
      LoadLanes(b + day + h * W, valuesB[h]);
    }
  }

  const double* a;
  const double* b;
};

// Every row lane against the column block: one product and one sum per
// pair and day, rounded to single precision in day order.
[[gnu::always_inline]] inline void DotProductsOfLanes(const float* rows, const float* columns,
                                                      int32_t n, float* results) {
  Floats8 sums[kCorrelationLanes] = {};
  for (int32_t i = 0; i < n; ++i) {
    const float* day = rows + static_cast<ptrdiff_t>(i) * kCorrelationLanes;
    Floats8 column;
    LoadLanes(columns + static_cast<ptrdiff_t>(i) * kCorrelationLanes, column);
    for (int r = 0; r < kCorrelationLanes; ++r) sums[r] += day[r] * column;
  }
  for (int r = 0; r < kCorrelationLanes; ++r) {
    for (int c = 0; c < kCorrelationLanes; ++c) results[r * kCorrelationLanes + c] = sums[r][c];
  }
}

// The plain build holds the eight lanes in one vector type, the AVX2 one in
// two of four, which it holds in registers whole (a vector of eight there is
// slower by half). An AVX-512 build of eight lanes in one register ran no
// faster: the loop is bound by the vector units either way.
void BlockPlain(const double* a, int32_t stride, const double* block, const BlockLanes& lanes,
                int32_t n, double* results) {
  CorrelateLanes<Lanes8, 1>(OneAgainstBlock<Lanes8, 1>(a, stride, block, lanes), lanes, n, results);
}

__attribute__((target("avx2"))) void BlockAvx2(const double* a, int32_t stride, const double* block,
                                               const BlockLanes& lanes, int32_t n,
                                               double* results) {
  CorrelateLanes<Lanes4, 2>(OneAgainstBlock<Lanes4, 2>(a, stride, block, lanes), lanes, n, results);
}

void TwoBlocksPlain(const double* a, const double* b, const BlockMeans& means, int32_t n,
                    double* results) {
  CorrelateLanes<Lanes8, 1>(TwoBlocks<Lanes8, 1>{a, b}, means, n, results);
}

__attribute__((target("avx2"))) void TwoBlocksAvx2(const double* a, const double* b,
                                                   const BlockMeans& means, int32_t n,
                                                   double* results) {
  CorrelateLanes<Lanes4, 2>(TwoBlocks<Lanes4, 2>{a, b}, means, n, results);
}

void DotProductsPlain(const float* rows, const float* columns, int32_t n, float* results) {
  DotProductsOfLanes(rows, columns, n, results);
}

__attribute__((target("avx2"))) void DotProductsAvx2(const float* rows, const float* columns,
                                                     int32_t n, float* results) {
  DotProductsOfLanes(rows, columns, n, results);
}

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
