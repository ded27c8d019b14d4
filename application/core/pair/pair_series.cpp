#include "pair/pair_series.h"

#include <limits>

#include "data/price_files.h"
#include "vcl/convert.h"

namespace {

// "'<text>' は整数ではありません"
std::string NotIntegerMessage(std::string_view text) {
  return "'" + std::string(text) +
         "' \x82\xCD\x90\xAE\x90\x94\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
}

// Characters `first` (1-based) to `first + count - 1` of `text`, fewer when it
// is shorter.
std::string_view Part(std::string_view text, size_t first, size_t count) {
  if (first - 1 >= text.size()) return {};
  return text.substr(first - 1, count);
}

// Reads the fields of price-file lines; the first field that is not a whole
// number, or a scaled price beyond 32 bits, becomes the error and the reader
// reads nothing more.
struct LineReader {
  int32_t lots;
  int32_t adjustment;
  std::optional<SeriesError> error;

  int32_t Integer(std::string_view text) {
    int32_t value = 0;
    if (!error) {
      value = vcl::StrToIntDef(text, 0);
      // Only a text that is no number gives each default back.
      if (value == 0 && vcl::StrToIntDef(text, 1) == 1) {
        error = SeriesError{SeriesError::Kind::kNotInteger, NotIntegerMessage(text)};
      }
    }
    return value;
  }

  int32_t Scaled(std::string_view text, std::string_view line) {
    const int64_t price = Integer(text);
    const int64_t scaled = price * lots + adjustment;
    if (!error && (scaled < std::numeric_limits<int32_t>::min() ||
                   scaled > std::numeric_limits<int32_t>::max())) {
      error = SeriesError{SeriesError::Kind::kOutOfRange, std::string(line)};
    }
    return static_cast<int32_t>(scaled);
  }
};

// The four prices of one side of a pair day.
struct Side {
  int32_t PairDayRecord::*Close;
  int32_t PairDayRecord::*Open;
  int32_t PairDayRecord::*High;
  int32_t PairDayRecord::*Low;
};
constexpr Side kSideA{&PairDayRecord::CloseA, &PairDayRecord::OpenA, &PairDayRecord::HighA,
                      &PairDayRecord::LowA};
constexpr Side kSideB{&PairDayRecord::CloseB, &PairDayRecord::OpenB, &PairDayRecord::HighB,
                      &PairDayRecord::LowB};

void Take(PairDayRecord& day, const CodeDayRecord& from, const Side& side) {
  day.Year = from.Year;
  day.Month = from.Month;
  day.Day = from.Day;
  day.*side.Close = from.Close;
  day.*side.Open = from.Open;
  day.*side.High = from.High;
  day.*side.Low = from.Low;
}

void CopyPrices(PairDayRecord& to, const PairDayRecord& from, const Side& side) {
  to.*side.Close = from.*side.Close;
  to.*side.Open = from.*side.Open;
  to.*side.High = from.*side.High;
  to.*side.Low = from.*side.Low;
}

}  // namespace

std::optional<SeriesError> ReadCodeSeries(const std::vector<std::string>& lines, int32_t lots,
                                          int32_t adjustment, std::vector<CodeDayRecord>& days) {
  std::vector<CodeDayRecord> read;
  read.reserve(lines.size());
  LineReader reader{lots, adjustment, std::nullopt};
  for (const std::string& line : lines) {
    PriceLineFields fields = SplitFields(line);
    CodeDayRecord day;
    day.Year = reader.Integer(Part(fields.date, 1, 4));
    day.Month = reader.Integer(Part(fields.date, 6, 2));
    day.Day = reader.Integer(Part(fields.date, 9, 2));
    day.Close = reader.Scaled(fields.close, line);
    day.Open = reader.Scaled(fields.open, line);
    day.High = reader.Scaled(fields.high, line);
    day.Low = reader.Scaled(fields.low, line);
    if (reader.error) return reader.error;
    day.Date = std::move(fields.date);
    read.push_back(std::move(day));
  }
  days = std::move(read);
  return std::nullopt;
}

std::vector<PairDayRecord> MergeSeries(const std::vector<CodeDayRecord>& a,
                                       const std::vector<CodeDayRecord>& b) {
  std::vector<PairDayRecord> days;
  days.reserve(std::max(a.size(), b.size()));
  // "0" stands after the last day of a side and sorts below every date.
  static const std::string kUsedUp = "0";
  size_t ia = 0;
  size_t ib = 0;
  while (ia < a.size() || ib < b.size()) {
    const std::string& da = ia < a.size() ? a[ia].Date : kUsedUp;
    const std::string& db = ib < b.size() ? b[ib].Date : kUsedUp;
    PairDayRecord day;
    if (da == db) {
      Take(day, b[ib++], kSideB);
      Take(day, a[ia++], kSideA);
    } else if (da > db) {
      Take(day, a[ia++], kSideA);
    } else {
      Take(day, b[ib++], kSideB);
    }
    days.push_back(day);
  }

  // From old to new, a side without a price takes the day before's.
  for (size_t i = days.size() >= 2 ? days.size() - 1 : 0; i-- > 0;) {
    if (days[i].CloseA == 0) {
      CopyPrices(days[i], days[i + 1], kSideA);
    } else if (days[i].CloseB == 0) {
      CopyPrices(days[i], days[i + 1], kSideB);
    }
  }

  for (size_t i = 1; i < days.size(); ++i) {
    PairDayRecord& newer = days[i - 1];
    PairDayRecord& older = days[i];
    if (newer.Month != older.Month) {
      newer.Mark = 1;
      older.Mark = -1;
    }
    if (newer.Year != older.Year) {
      newer.Mark = 2;
      older.Mark = -2;
    }
  }

  if (days.size() > kPairMostDays) days.resize(kPairMostDays);
  return days;
}
