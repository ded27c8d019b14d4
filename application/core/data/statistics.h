#pragma once
// Numeric routines on day series. Index 0 is the newest day and higher
// indexes go back in time, so the regressions use x = -index. `n` is the
// number of elements used from index 0; `m` is a base value, in practice the
// largest scaled close of the period (MaxOfBoth). No state: any thread may
// call them at any time. Called below its limits (n or m as noted), a routine
// reads nothing and returns 0.0. The correlations, one at a time and in
// vector lanes, are declared in data/correlation_lanes.h, included here.

#include <cstdint>

#include "data/correlation_lanes.h"

// A value rounded to at most two decimals and seven significant digits: its
// fixed-point text (precision 7, 2 decimals; a dropped digit of 5 or more on
// the 18-digit decimal expansion rounds away from zero) read back. NaN and
// infinities come back as they are.
double RoundTwoDecimals(double value);
// The same rounding of an extended value, always through its text; the
// reference the faster arithmetic of the routines is held to.
double RoundTwoDecimalsThroughText(long double value);

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
