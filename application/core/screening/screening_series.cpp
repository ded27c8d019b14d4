#include "screening/screening_series.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "data/file_io.h"
#include "data/statistics.h"

namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "yyyy/mm/dd" as yyyymmdd; its order is the text's byte order.
bool ReadDate(std::string_view text, int32_t& date) {
  if (text.size() < 10 || text[4] != '/' || text[7] != '/') return false;
  int32_t value = 0;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!IsDigit(text[i])) return false;
    value = value * 10 + (text[i] - '0');
  }
  date = value;
  return true;
}

// The close of a line: from byte 11 up to the next TAB or the end of the line;
// a whole number in 32 bits and nothing else.
bool ReadClose(std::string_view line, int32_t& close) {
  if (line.size() <= 11 || line[10] != '\t') return false;
  std::string_view field = line.substr(11);
  field = field.substr(0, field.find('\t'));
  if (field.empty()) return false;
  const char* end = field.data() + field.size();
  const auto [ptr, ec] = std::from_chars(field.data(), end, close);
  return ec == std::errc() && ptr == end;
}

int64_t Magnitude(int64_t value) { return value < 0 ? -value : value; }

}  // namespace

SeriesLoad ParsePriceSeries(std::string_view bytes, PriceSeries& series) {
  series.Clear();
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(pos, end - pos);
    pos = end;
    if (pos < bytes.size()) pos += bytes.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
    int32_t date = 0;
    int32_t close = 0;
    if (!ReadDate(line, date) || !ReadClose(line, close)) {
      series.Clear();
      return SeriesLoad::kMalformed;
    }
    series.dates.push_back(date);
    series.closes.push_back(close);
  }
  return SeriesLoad::kLoaded;
}

SeriesLoad LoadPriceSeries(const std::filesystem::path& file, PriceSeries& series) {
  const std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) {
    series.Clear();
    return SeriesLoad::kMissing;
  }
  return ParsePriceSeries(*bytes, series);
}

void MergePairSeries(const PriceSeries& series1, const PriceSeries& series2,
                     std::vector<MergedDay>& rows) {
  rows.clear();
  const int32_t end1 = series1.Size();
  const int32_t end2 = series2.Size();
  int32_t i = 0;
  int32_t j = 0;
  // A used-up series stands at date 0, below every day.
  while (i < end1 || j < end2) {
    const int32_t d1 = i < end1 ? series1.dates[i] : 0;
    const int32_t d2 = j < end2 ? series2.dates[j] : 0;
    if (d1 == d2) {
      rows.push_back({d1, series1.closes[i], series2.closes[j]});
      ++i;
      ++j;
    } else if (d1 > d2) {
      rows.push_back({d1, series1.closes[i], 0});
      ++i;
    } else {
      rows.push_back({d2, 0, series2.closes[j]});
      ++j;
    }
  }
  // A missing day carries the side's last earlier close.
  for (int32_t k = static_cast<int32_t>(rows.size()) - 2; k >= 0; --k) {
    if (rows[k].Close1 == 0) {
      rows[k].Close1 = rows[k + 1].Close1;
    } else if (rows[k].Close2 == 0) {
      rows[k].Close2 = rows[k + 1].Close2;
    }
  }
  while (!rows.empty() && (rows.back().Close1 <= 0 || rows.back().Close2 <= 0)) rows.pop_back();
  if (rows.size() > static_cast<size_t>(kPairSeriesMaxDays)) rows.resize(kPairSeriesMaxDays);
}

PairMoney MoneyOfRows(const std::vector<MergedDay>& rows, int32_t unit1, int32_t unit2) {
  PairMoney money;
  money.days = static_cast<int32_t>(rows.size());
  for (const MergedDay& row : rows) {
    const int64_t x = static_cast<int64_t>(row.Close1) * unit1;
    const int64_t y = static_cast<int64_t>(row.Close2) * unit2;
    money.sum1 += x;
    money.sum2 += y;
    money.max1 = std::max(money.max1, Magnitude(x));
    money.max2 = std::max(money.max2, Magnitude(y));
  }
  return money;
}

// The multiplier search works on exact sums: once every scaled close is a
// whole number below 2^32 in magnitude, the extended sum of k x s[i] over at
// most kPairSeriesMaxDays days is exactly k x (the sum of s), so each mean
// costs one division and one rounding, and the means grow with k.
UnitRatio FindUnitRatio(const PairMoney& money) {
  UnitRatio none;
  const int32_t n = money.days;
  if (n <= 0 || n > kPairSeriesMaxDays) return none;
  if (money.max1 > kInt32Max || money.max2 > kInt32Max) return none;
  const double mean1 = std::isnan(money.mean1) ? MeanRoundedOfWholeSum(money.sum1, n) : money.mean1;
  const double mean2 = std::isnan(money.mean2) ? MeanRoundedOfWholeSum(money.sum2, n) : money.mean2;

  const bool firstSmaller = mean1 < mean2;
  const double big = firstSmaller ? mean2 : mean1;
  const double smallMean = firstSmaller ? mean1 : mean2;
  const int64_t smallSum = firstSmaller ? money.sum1 : money.sum2;
  const int64_t smallMax = firstSmaller ? money.max1 : money.max2;
  // Without money on the smaller side no multiplier ever reaches the other.
  if (!(smallMean > 0.0) || smallMax <= 0) return none;

  // Multipliers above this one scale a close beyond 32 bits.
  const int64_t limit = kInt32Max / smallMax;
  auto gap = [&](int64_t k) { return big - MeanRoundedOfWholeSum(k * smallSum, n); };

  // Every multiplier whose gap is not negative is taken (the gaps shrink as k
  // grows), so the search may start right after the last of them.
  int64_t k = 2;
  double d = big - smallMean;
  const double estimate = std::floor(big / smallMean);
  if (estimate >= 4.0) {
    int64_t start = std::min<int64_t>(static_cast<int64_t>(std::min(estimate, 4e18)) - 1, limit);
    if (start > 2 && gap(start - 1) < 0.0) {
      // The estimate overshot: the last multiplier with a gap of 0 or more
      // lies below; halve the interval down to it.
      int64_t low = 1;  // gap(1) = d >= 0
      int64_t high = start - 1;
      while (high - low > 1) {
        const int64_t mid = low + (high - low) / 2;
        (gap(mid) >= 0.0 ? low : high) = mid;
      }
      start = low + 1;
    }
    if (start > 2) {
      k = start;
      d = gap(k - 1);
    }
  }
  for (;; ++k) {
    if (k - 1 > limit) return none;
    const double u = gap(k);
    if (std::trunc(std::fabs(u)) > d) break;
    d = u;
  }
  const int64_t ratio = k - 1;
  if (ratio > limit) return none;

  UnitRatio result;
  result.exchanged = firstSmaller ? d > 0.0 : d < 0.0;
  const int32_t sign = (firstSmaller != result.exchanged) ? 1 : -1;
  result.ratio = static_cast<int32_t>(ratio) * sign;
  result.multiplier = static_cast<int32_t>(ratio);
  result.side = ratio > 1 ? (firstSmaller ? 1 : 2) : 0;
  return result;
}

UnitRatio ComputeUnitRatio(std::vector<MergedDay>& rows, int32_t unit1, int32_t unit2) {
  if (unit1 < 1 || unit2 < 1) return {};
  const UnitRatio ratio = FindUnitRatio(MoneyOfRows(rows, unit1, unit2));
  if (ratio.ratio == 0) return ratio;
  const int64_t scale1 = static_cast<int64_t>(unit1) * (ratio.side == 1 ? ratio.multiplier : 1);
  const int64_t scale2 = static_cast<int64_t>(unit2) * (ratio.side == 2 ? ratio.multiplier : 1);
  for (MergedDay& row : rows) {
    const auto x = static_cast<int32_t>(row.Close1 * scale1);
    const auto y = static_cast<int32_t>(row.Close2 * scale2);
    row.Close1 = ratio.exchanged ? y : x;
    row.Close2 = ratio.exchanged ? x : y;
  }
  return ratio;
}
