#pragma once
// What the tests of a screening's steps share: the names of the technical
// kinds as the condition rows hold them, condition rows, the series and
// merged rows of a few days, and the lines of price files.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "screening/screening_conditions.h"
#include "screening/screening_series.h"
#include "screening/technical_conditions.h"

inline const std::string kSeparator(kRangeSeparator);
inline const std::string kCorrelation = "\x91\x8a\x8a\xd6\x8c\x57\x90\x94";  // 相関係数
inline const std::string kRegression = "\x89\xf1\x8b\x41\x8c\x57\x90\x94";   // 回帰係数
inline const std::string kStdDev = "\x95\x57\x8f\x80\x95\xce\x8d\xb7";       // 標準偏差

// The days as given: (date, close), newest first.
PriceSeries Series(std::vector<std::pair<int32_t, int32_t>> days);

// Merged rows of the closes (Close1, Close2), one date apart from 2010/01/01
// down.
std::vector<MergedDay> Rows(std::vector<std::pair<int32_t, int32_t>> closes);

// One line of a price file: the close of the market day `daysBack` (0 to
// 3000) days before the newest one, on a year of twelve 30-day months, so
// that the dates strictly fall as `daysBack` rises, as a file's lines do.
std::string PriceLine(int daysBack, int64_t close);

// A ticked condition row.
TechnicalCondition Condition(const std::string& kind, const std::string& period,
                             const std::string& range);
