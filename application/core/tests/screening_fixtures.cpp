#include "screening_fixtures.h"

#include <cstdio>

PriceSeries Series(std::vector<std::pair<int32_t, int32_t>> days) {
  PriceSeries series;
  for (auto [date, close] : days) {
    series.dates.push_back(date);
    series.closes.push_back(close);
  }
  return series;
}

std::vector<MergedDay> Rows(std::vector<std::pair<int32_t, int32_t>> closes) {
  std::vector<MergedDay> rows;
  int32_t date = 20100101;
  for (auto [c1, c2] : closes) rows.push_back({date--, c1, c2});
  return rows;
}

std::string PriceLine(int daysBack, int64_t close) {
  const int day = 3000 - daysBack;
  char line[64];
  std::snprintf(line, sizeof line, "%04d/%02d/%02d\t%lld\t1\t1\t1\t1\r\n", 2000 + day / 360,
                1 + (day / 30) % 12, 1 + day % 30, static_cast<long long>(close));
  return line;
}

TechnicalCondition Condition(const std::string& kind, const std::string& period,
                             const std::string& range) {
  TechnicalCondition condition;
  condition.kind = kind;
  condition.period = period;
  condition.range = range;
  return condition;
}
