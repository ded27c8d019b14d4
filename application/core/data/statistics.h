#pragma once
// Numeric routines on day series. Index 0 is the newest day and higher
// indexes go back in time, so the regressions use x = -index. `n` is the
// number of elements used from index 0; `m` is a base value, in practice the
// largest scaled close of the period (MaxOfBoth). No state: any thread may
// call them at any time. Called below its limits (n or m as noted), a routine
// reads nothing and returns 0.0.

#include <cstdint>
#include <vector>

// A value rounded to at most two decimals and seven significant digits: its
// fixed-point text (precision 7, 2 decimals; a dropped digit of 5 or more on
// the 18-digit decimal expansion rounds away from zero) read back. NaN and
// infinities come back as they are.
double RoundTwoDecimals(double value);
// The same rounding of an extended value, always through its text; the
// reference the faster arithmetic of the routines is held to.
double RoundTwoDecimalsThroughText(long double value);

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

// The largest value met in a or b, never below 0 (0 for n <= 0).
int32_t MaxOfBoth(const int32_t* a, const int32_t* b, int32_t n);

// Raises *maximum to and lowers *minimum to the values of x that pass them
// (strict comparisons); the caller seeds both.
void MinMax(const double* x, int32_t n, double* maximum, double* minimum);

// out[i] = a[i] - b[i], taken in 64 bits.
void Differences(const int32_t* a, const int32_t* b, double* out, int32_t n);

// Least-squares slope of n * y[i] / m against x = -i. Needs n >= 2, m != 0.
double RegressionSlope(const double* y, int32_t n, int32_t m);

// Least-squares value at x = 0 (the newest day) of y[i] against x = -i.
// Needs n >= 2.
double RegressionIntercept(const double* y, int32_t n);

// The mean of x, summed and divided in long double, rounded to two decimals
// as that long double (see RoundTwoDecimals). Needs n >= 1.
double MeanRounded(const double* x, int32_t n);
// MeanRounded for a caller that has the sum already: `sum` / n rounded as
// MeanRounded rounds it. Bit for bit MeanRounded's result when `sum` is the
// long double sum of its values (exactly their sum when they are whole
// numbers whose running totals stay below 2^64). Needs n >= 1.
double MeanRoundedOfSum(long double sum, int32_t n);
// MeanRoundedOfSum of a whole sum, bit for bit, decided on whole numbers
// where it can be: the cut of sum / n at the kept digits lies a whole
// remainder away from the half (or exactly on it), far beyond what the
// extended division and the 18-digit expansion can move, so the remainder
// decides. Needs n >= 1.
double MeanRoundedOfWholeSum(int64_t sum, int32_t n);

// Converts x in place to x[i] * 100 / m and returns the sample standard
// deviation of the converted values (long double sums and root), rounded to
// two decimals as that long double. Needs n >= 2 and m != 0; below that x is left as it was.
double PercentStdDevRounded(double* x, int32_t n, int32_t m);
