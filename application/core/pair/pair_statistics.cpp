#include "pair/pair_statistics.h"

#include <algorithm>

#include "data/statistics.h"
#include "vcl/convert.h"

namespace {

constexpr char kRangeJoin[] = " \x81\x60 ";     // " ～ "
constexpr char kPlusMinusOpen[] = "(\x81\x7D";  // "(±"

size_t Index(int64_t value) { return static_cast<size_t>(std::max<int64_t>(value, 0)); }

// Ma of day k = factor * (Rate of days k .. k + width - 1), for the first
// `usable` days, as a running sum.
template <double PairDayRecord::*Field>
void MovingAverage(std::vector<PairDayRecord>& days, int32_t usable, int32_t width, double factor) {
  if (usable <= width) return;
  double sum = 0.0;
  for (int32_t i = 0; i < width; ++i) sum += days[Index(i)].Rate;
  for (int32_t i = width; i < usable; ++i) {
    days[Index(i - width)].*Field = factor * sum;
    sum -= days[Index(i - width)].Rate;
    sum += days[Index(i)].Rate;
  }
  days[Index(usable - width)].*Field = factor * sum;
}

}  // namespace

PairStatistics ComputePairStatistics(std::vector<PairDayRecord>& days, int32_t from, int32_t to) {
  PairStatistics stats;
  from = std::max(from, 1);
  if (from > to) {
    days.clear();
    return stats;
  }
  const int64_t periodDays = int64_t{to} - from + 1;
  if (days.size() > Index(int64_t{to} + kAverageMarginDays)) {
    days.resize(Index(int64_t{to} + kAverageMarginDays));
  }
  days.erase(days.begin(),
             days.begin() + static_cast<std::ptrdiff_t>(std::min(days.size(), Index(from - 1))));

  int32_t usable = 0;
  while (Index(usable) < days.size() && days[Index(usable)].CloseA != 0 &&
         days[Index(usable)].CloseB != 0) {
    ++usable;
  }
  const int32_t n = static_cast<int32_t>(std::min<int64_t>(periodDays, usable));

  std::vector<int32_t> closesA(Index(usable));
  std::vector<int32_t> closesB(Index(usable));
  for (int32_t i = 0; i < usable; ++i) {
    closesA[Index(i)] = days[Index(i)].CloseA;
    closesB[Index(i)] = days[Index(i)].CloseB;
  }
  const int32_t basis = MaxOfBoth(closesA.data(), closesB.data(), n);
  stats.Basis = basis;
  if (basis <= 0) {
    // No usable day, or no close above 0: nothing to divide by.
    if (days.size() > Index(periodDays)) days.resize(Index(periodDays));
    return stats;
  }

  std::vector<double> rates(Index(usable));
  for (int32_t i = 0; i < usable; ++i) {
    PairDayRecord& day = days[Index(i)];
    const int64_t difference = int64_t{day.CloseA} - day.CloseB;
    day.Rate = static_cast<double>(difference) * 100.0 / basis;
    day.Ma5 = kNoAverage;
    day.Ma25 = kNoAverage;
    rates[Index(i)] = day.Rate;
  }
  stats.MeanRate = MeanRounded(rates.data(), n);
  stats.MeanText = vcl::FloatToStrFFixed(stats.MeanRate, 7, 2);

  MovingAverage<&PairDayRecord::Ma5>(days, usable, 5, 0.2);
  MovingAverage<&PairDayRecord::Ma25>(days, usable, 25, 0.04);

  if (days.size() > Index(periodDays)) days.resize(Index(periodDays));

  if (n > kFewestStatisticsDays) {
    const double correlation = Correlation(closesA.data(), closesB.data(), n);
    std::vector<double> differences(Index(n));
    Differences(closesA.data(), closesB.data(), differences.data(), n);
    const double slope = RegressionSlope(differences.data(), n, basis);
    const double sd = PercentStdDevRounded(differences.data(), n, basis);
    stats.TwoSigma = 2.0 * sd;
    const double intercept = RegressionIntercept(rates.data(), n);
    double highest = -999.0;
    double lowest = 999.0;
    MinMax(rates.data(), n, &highest, &lowest);
    stats.CorrText = vcl::FloatToStrFFixed(correlation, 15, 6);
    stats.RangeText =
        vcl::FloatToStrFFixed(highest, 7, 2) + kRangeJoin + vcl::FloatToStrFFixed(lowest, 7, 2);
    stats.MeanSdText = stats.MeanText + kPlusMinusOpen + vcl::FloatToStrFFixed(sd, 7, 2) + ")";
    stats.SlopeText =
        vcl::FloatToStrFFixed(slope, 15, 6) + "(" + vcl::FloatToStrFFixed(intercept, 7, 2) + ")";
  }
  return stats;
}
