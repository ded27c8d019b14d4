#include "screening/technical_filter.h"

#include <algorithm>

#include "data/statistics.h"
#include "vcl/convert.h"

namespace {

// The two sides of a text around the separator; both blank without one.
std::pair<std::string, std::string> SplitAtSeparator(std::string_view text) {
  const size_t at = text.find(kRangeSeparator);
  if (at == std::string_view::npos) return {};
  return {vcl::Trim(text.substr(0, at)), vcl::Trim(text.substr(at + kRangeSeparator.size()))};
}

std::optional<TechnicalKind> KindOf(std::string_view text) {
  TechnicalKind kind = TechnicalKind::Correlation;
  if (!TechnicalKindOfText(text, kind)) return std::nullopt;
  return kind;
}

// A bound: blank gives `blank`; false for a text that is no number.
bool ReadBound(const std::string& text, double blank, double& bound) {
  if (text.empty()) {
    bound = blank;
    return true;
  }
  return vcl::TryStrToFloat(text, bound);
}

}  // namespace

std::optional<TechnicalTest> ParseTechnicalTest(const TechnicalCondition& condition,
                                                int32_t conditionIndex) {
  if (condition.check == 0) return std::nullopt;
  const std::optional<TechnicalKind> kind = KindOf(condition.kind);
  if (!kind) return std::nullopt;
  TechnicalTest test;
  test.kind = *kind;
  test.conditionIndex = conditionIndex;
  const auto [first, last] = SplitAtSeparator(condition.period);
  test.from = std::max(vcl::StrToIntDef(first, 1), 1) - 1;
  test.to = vcl::StrToIntDef(last, kPairSeriesMaxDays);
  const auto [lowest, highest] = SplitAtSeparator(condition.range);
  test.boundsValid =
      ReadBound(lowest, -999.0, test.lowest) && ReadBound(highest, 999.0, test.highest);
  return test;
}

std::vector<TechnicalTest> ParseTechnicalTests(const std::vector<TechnicalCondition>& conditions) {
  std::vector<TechnicalTest> tests;
  for (size_t i = 0; i < conditions.size(); ++i) {
    if (auto test = ParseTechnicalTest(conditions[i], static_cast<int32_t>(i))) {
      tests.push_back(*test);
    }
  }
  return tests;
}

std::optional<TechnicalWindow> WindowOf(const TechnicalTest& test, int32_t rowCount) {
  if (test.from >= rowCount) return std::nullopt;
  const int32_t to = std::min(test.to, rowCount);
  const int32_t days = to - test.from;
  if (days <= 1) return std::nullopt;
  return TechnicalWindow{test.from, days};
}

double TechnicalValue(TechnicalKind kind, const int32_t* a, const int32_t* b, int32_t n,
                      double* scratch) {
  if (kind == TechnicalKind::Correlation) return Correlation(a, b, n);
  const int32_t largest = MaxOfBoth(a, b, n);
  Differences(a, b, scratch, n);
  if (kind == TechnicalKind::Regression) return RegressionSlope(scratch, n, largest);
  return PercentStdDevRounded(scratch, n, largest);
}

bool WithinRange(const TechnicalTest& test, double value) {
  return test.boundsValid && value >= test.lowest && value <= test.highest;
}

bool CheckTechnicals(const std::vector<MergedDay>& rows, const std::vector<TechnicalTest>& tests,
                     std::vector<double>& values) {
  values.clear();
  std::vector<int32_t> a;
  std::vector<int32_t> b;
  std::vector<double> scratch;
  for (const TechnicalTest& test : tests) {
    const std::optional<TechnicalWindow> window = WindowOf(test, static_cast<int32_t>(rows.size()));
    if (!window || !test.boundsValid) return false;
    a.resize(window->days);
    b.resize(window->days);
    scratch.resize(window->days);
    for (int32_t k = 0; k < window->days; ++k) {
      a[k] = rows[window->from + k].Close1;
      b[k] = rows[window->from + k].Close2;
    }
    const double value =
        TechnicalValue(test.kind, a.data(), b.data(), window->days, scratch.data());
    if (!WithinRange(test, value)) return false;
    values.push_back(value);
  }
  return true;
}
