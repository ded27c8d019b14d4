#pragma once
// One pair of a screening as a day-by-day series: the two codes' price files
// read into date and close series, merged by date with the gaps filled, and
// balanced by the unit ratio that brings the two sides' money closest. Pure
// functions on the caller's data; any thread may call them.

#include <cstdint>
#include <filesystem>
#include <limits>
#include <string_view>
#include <vector>

// The days of a pair at most: the newest ones.
constexpr int32_t kPairSeriesMaxDays = 1200;

// One code's days, newest first: the date as yyyymmdd (its "yyyy/mm/dd" text
// in byte order) and the close.
struct PriceSeries {
  std::vector<int32_t> dates;
  std::vector<int32_t> closes;

  int32_t Size() const { return static_cast<int32_t>(dates.size()); }
  void Clear() {
    dates.clear();
    closes.clear();
  }
};

enum class SeriesLoad {
  kLoaded,     // every line read
  kMissing,    // no file, or it cannot be read: an empty series
  kMalformed,  // a line is not "yyyy/mm/dd" TAB close ...: an empty series
};

// Reads a price file into `series`. A file that cannot be read gives an empty
// series (its pairs have no days); so does a line whose date or close cannot
// be read, reported as kMalformed so the caller can pass the code's pairs over.
SeriesLoad LoadPriceSeries(const std::filesystem::path& file, PriceSeries& series);
// The same on the file's bytes.
SeriesLoad ParsePriceSeries(std::string_view bytes, PriceSeries& series);

// One day of a pair, newest first. After ComputeUnitRatio the closes are
// scaled to money: close x trading unit (x the ratio on the smaller side),
// the sell side first.
struct MergedDay {
  int32_t date = 0;  // yyyymmdd
  int32_t Close1 = 0;
  int32_t Close2 = 0;
};

// Merges the two series by date into `rows` (replacing what they held): a day
// that one side lacks carries that side's previous close; the older days
// before both sides have a price are dropped, and at most the newest
// kPairSeriesMaxDays days are kept.
void MergePairSeries(const PriceSeries& series1, const PriceSeries& series2,
                     std::vector<MergedDay>& rows);

// The money of the two sides of a merged pair: n days, the sums and the
// largest values of close x unit.
struct PairMoney {
  int32_t days = 0;
  int64_t sum1 = 0;
  int64_t sum2 = 0;
  int64_t max1 = 0;
  int64_t max2 = 0;
  // MeanRoundedOfSum of the sums over the days, when the caller has them
  // already (NaN: not known).
  double mean1 = std::numeric_limits<double>::quiet_NaN();
  double mean2 = std::numeric_limits<double>::quiet_NaN();
};

// The unit ratio of a pair. `ratio` >= 1: that many units of the first code
// against one of the second; <= -1: one unit of the first against -ratio of
// the second; 0: the pair cannot be balanced and is passed over (no days, a
// side without money, or scaled closes beyond 32 bits). `exchanged`: the
// second code is the side to sell and goes first.
struct UnitRatio {
  int32_t ratio = 0;
  bool exchanged = false;
  // The multiplier applied to the smaller side (1 when none), and which side
  // that is (1 or 2; 0 when none).
  int32_t multiplier = 1;
  int side = 0;
};

// The money sums of `rows` scaled by the two trading units.
PairMoney MoneyOfRows(const std::vector<MergedDay>& rows, int32_t unit1, int32_t unit2);

// Searches the multiplier of the smaller side that brings its mean money
// closest to the bigger side's (the larger one on a tie); the side whose
// scaled money is higher becomes the sell side. Every mean is MeanRounded of
// the scaled closes, computed from the exact sums.
UnitRatio FindUnitRatio(const PairMoney& money);

// FindUnitRatio on `rows` with the two trading units; scales the rows to
// money and puts the sell side into Close1. Rows are left as they were when
// the ratio is 0.
UnitRatio ComputeUnitRatio(std::vector<MergedDay>& rows, int32_t unit1, int32_t unit2);
