#pragma once
// The correlations of day series: one pair at a time, and many side by side
// in vector lanes on each build the processor can run, every way giving the
// same bits. `n` is the number of days used from index 0. No state: any
// thread may call them at any time. data/statistics.h includes this header.

#include <cstdint>
#include <vector>

// Pearson correlation of a and b, clamped to [-1, 1]; a series whose spread
// is 0 gives 0. Needs n >= 1.
double Correlation(const int32_t* a, const int32_t* b, int32_t n);
// Correlation's second pass, for a caller that knows the two means already,
// on the series a[i] x scaleA and b[i] x scaleB (each product a whole number
// in 32 bits): meanA and meanB must be what Correlation takes of them, the
// double sum of the values divided by n. Needs n >= 1.
double CorrelationAroundMeans(const int32_t* a, int32_t scaleA, const int32_t* b, int32_t scaleB,
                              int32_t n, double meanA, double meanB);

// The correlations computed side by side in vector registers at a time.
constexpr int kCorrelationLanes = 8;

// The builds of the correlation lanes, chosen at run time by what the
// processor has; every one gives the same bits.
enum class VectorPath { kPlain, kAvx2 };
// The builds this processor can run, the plain one first and the fastest last.
std::vector<VectorPath> AvailableVectorPaths();
// The fastest build this processor can run.
VectorPath FastestVectorPath();

// The means of the lanes of a block: a block holds kCorrelationLanes series
// interleaved, the value of lane l on day i at block[i * kCorrelationLanes +
// l]; the means are those Correlation takes. A lane of no use may hold any
// finite values.
struct BlockMeans {
  double meanA[kCorrelationLanes] = {};
  double meanB[kCorrelationLanes] = {};
};
// The same with each lane's scales: a[i] x scaleA[l] and the block's values x
// scaleB[l] must be whole numbers below 2^31 in magnitude.
struct BlockLanes : BlockMeans {
  double scaleA[kCorrelationLanes] = {};
  double scaleB[kCorrelationLanes] = {};
};
// The correlations of a[0], a[stride], ... against every lane of the block
// over n days at once, on a given build (the plain one when the processor
// lacks it). Each result is bit for bit CorrelationAroundMeans on the same
// whole numbers: their products are exact in a double, and each lane does the
// same operations in the same order.
void CorrelationsOfOneAgainstBlockOn(VectorPath path, const double* a, int32_t stride,
                                     const double* block, const BlockLanes& lanes, int32_t n,
                                     double* results);
// The correlations of each lane of block a with the same lane of block b
// (whole numbers below 2^31 in magnitude) over n days, on a given build: each
// is bit for bit CorrelationAroundMeans of its lane. A lane of fewer days may
// be padded up to n with its two means: its terms are then 0 and leave its
// sums as they were (they start at +0 and never reach -0).
void CorrelationsOfTwoBlocksOn(VectorPath path, const double* a, const double* b,
                               const BlockMeans& means, int32_t n, double* results);

// The kCorrelationLanes x kCorrelationLanes dot products, in single
// precision, of the lanes of block `rows` with those of block `columns` (two
// blocks of floats laid out as above) over n days: results[r *
// kCorrelationLanes + c] sums rows[i * kCorrelationLanes + r] x columns[i *
// kCorrelationLanes + c] over i from 0 up. On every build each result lies
// within SingleDotProductError(n) times the sum of the products' magnitudes
// of the exact sum.
void DotProductsOfBlocksOn(VectorPath path, const float* rows, const float* columns, int32_t n,
                           float* results);
// The relative error of n products and running sums, each rounded once to
// single precision.
double SingleDotProductError(int32_t n);
