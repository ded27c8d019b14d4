#pragma once
// The technical conditions of a screening, read once per run from the rows
// of the technical-condition list, and their test of one pair: the
// correlation of the two scaled close series, or the regression slope or the
// standard deviation of their deviation rate, over a period of days, within a
// range. Pure functions; any thread may call them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "screening/screening_conditions.h"
#include "screening/screening_series.h"
#include "screening/technical_conditions.h"

struct TechnicalTest {
  TechnicalKind kind = TechnicalKind::Correlation;
  int32_t from = 0;                 // the first day used, 0 = the newest
  int32_t to = kPairSeriesMaxDays;  // one past the last day used
  double lowest = -999.0;
  double highest = 999.0;
  // A bound that is no number: no pair can be judged, so every pair fails.
  bool boundsValid = true;
  // The row's place in the technical-condition list.
  int32_t conditionIndex = 0;
};

// The test of a condition row; nullopt for a row that is not ticked or whose
// kind is none of the three. A period or range without the separator reads
// as both bounds blank; a period start below 1 counts as 1.
std::optional<TechnicalTest> ParseTechnicalTest(const TechnicalCondition& condition,
                                                int32_t conditionIndex);
// The tests of every ticked row, in list order.
std::vector<TechnicalTest> ParseTechnicalTests(const std::vector<TechnicalCondition>& conditions);

// The first day and the number of days a test uses on `rowCount` rows;
// nullopt when the period starts beyond the rows or covers fewer than two days.
struct TechnicalWindow {
  int32_t from = 0;
  int32_t days = 0;
};
std::optional<TechnicalWindow> WindowOf(const TechnicalTest& test, int32_t rowCount);

// The value of a test over the sell side `a` and the buy side `b`, `n` days
// (n >= 2). `scratch` holds at least n values.
double TechnicalValue(TechnicalKind kind, const int32_t* a, const int32_t* b, int32_t n,
                      double* scratch);

// The value lies within the test's range, both bounds included; NaN never does.
bool WithinRange(const TechnicalTest& test, double value);

// Tests the scaled rows of a pair against every test in order and stops at
// the first that fails. values[k] receives the value of every test that
// passed, in test order. True when all passed.
bool CheckTechnicals(const std::vector<MergedDay>& rows, const std::vector<TechnicalTest>& tests,
                     std::vector<double>& values);
