#include "data/price_files.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <vector>

#include "data/file_io.h"
#include "data/statistics.h"
#include "vcl/convert.h"
#include "vcl/cp932_text.h"
#include "vcl/tlist.h"
#include "vcl/tstrings.h"

namespace {

constexpr int32_t kHistoryYearsOffset = -6;
constexpr char kMarketDateCode[] = "1306";

int64_t DateNumber(int year, int month, int day) {
  return int64_t{year} * 10000 + int64_t{month} * 100 + day;
}

bool IsAsciiLetterOrDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The records of one successful history request. Only the library allocated
// them, so only the library frees them: ClearPastData runs when this goes.
class ReceivedRecords {
 public:
  ReceivedRecords(const TicvaneApi& api, vcl::TList& list) : api_(api), list_(list) {}
  ReceivedRecords(const ReceivedRecords&) = delete;
  ReceivedRecords& operator=(const ReceivedRecords&) = delete;
  ~ReceivedRecords() { api_.ClearPastData(&list_); }

  // The records in list order that a price file may take, at most `limit`
  // of them; null items skipped. Each is a real day no later than today and
  // older than the one before it (and than `newerThan`, when given, for a
  // newer day may only go on top of a file): a day after today is passed over,
  // and the first day out of order ends the history there, since a library or
  // site that repeats its rows would otherwise fill the file with copies and
  // push the stored days out.
  std::vector<const PastDataRecord*> History(int32_t limit,
                                             std::optional<int32_t> newerThan = {}) const {
    int year = 0, month = 0, day = 0;
    vcl::LocalToday(year, month, day);
    const int64_t today = DateNumber(year, month, day);
    std::optional<int64_t> last;
    std::vector<const PastDataRecord*> records;
    for (int i = 0; i < list_.Count() && static_cast<int32_t>(records.size()) < limit; ++i) {
      const auto* record = static_cast<const PastDataRecord*>(list_.Get(i));
      if (!record) continue;
      const int64_t date = DateNumber(record->Year, record->Month, record->Day);
      if (!vcl::IsValidDate(record->Year, record->Month, record->Day) || date > today) continue;
      if ((last && date >= *last) || (newerThan && date <= *newerThan)) break;
      records.push_back(record);
      last = date;
    }
    return records;
  }

 private:
  const TicvaneApi& api_;
  vcl::TList& list_;
};

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

// "銘柄コード "<code>" の価格ファイルは作れません"
std::string BadCodeMessage(std::string_view code) {
  return "\x96\xC1\x95\xBF\x83\x52\x81\x5B\x83\x68 \"" + std::string(code) +
         "\" \x82\xCC\x89\xBF\x8A\x69\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCD\x8D\xEC\x82\xEA"
         "\x82\xDC\x82\xB9\x82\xF1";
}

// Year * 10000 + month * 100 + day of a line that begins "yyyy/mm/dd"; the
// separators are not looked at. nullopt when the digits are not there.
std::optional<int32_t> NewestStoredDate(std::string_view line) {
  if (line.size() < 10) return std::nullopt;
  int32_t value = 0;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (line[i] < '0' || line[i] > '9') return std::nullopt;
    value = value * 10 + (line[i] - '0');
  }
  return value;
}

}  // namespace

std::optional<std::filesystem::path> PriceFilePath(const std::filesystem::path& dataDir,
                                                   std::string_view code) {
  if (code.size() != 4) return std::nullopt;
  for (char c : code) {
    if (!IsAsciiLetterOrDigit(c)) return std::nullopt;
  }
  return dataDir / (std::string(code) + ".txt");
}

int32_t MeanVolume(const std::vector<double>& volumes) {
  // Seven significant digits can carry a mean of volumes near the int32 limit
  // past it (2147483647 reads as 2147484000): such a mean stays at the limit
  // instead of wrapping round.
  const double whole =
      std::trunc(MeanRounded(volumes.data(), static_cast<int32_t>(volumes.size())));
  if (whole >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (whole <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(whole);
}

std::string FormatPriceLine(const PastDataRecord& record) {
  char line[128];
  const int length = std::snprintf(line, sizeof line, "%04d/%02d/%02d\t%d\t%d\t%d\t%d\t%d",
                                   record.Year, record.Month, record.Day, record.Close, record.Open,
                                   record.High, record.Low, record.Volume);
  return std::string(line, static_cast<size_t>(length));
}

std::string GetLatestMarketDate(const TicvaneApi& api, int32_t source) {
  vcl::TList list;
  if (api.GetPastData(&list, ToShortText(kMarketDateCode), 1, -1, source) != kTicvaneOk) {
    return kUnknownMarketDate;
  }
  const ReceivedRecords received(api, list);
  const auto records = received.History(1);
  if (records.empty()) return kUnknownMarketDate;
  return vcl::FormatDateYMD(records[0]->Year, records[0]->Month, records[0]->Day);
}

bool FetchCodeInfo(const TicvaneApi& api, int32_t source, const std::string& code,
                   std::string& name, std::string& market, int32_t& sector, int32_t& unit,
                   uint8_t& marginFlag) {
  vcl::TStringList page;
  if (api.GetCodeData(ToShortText(code), &page, source) != kTicvaneOk) return false;
  ShortText nameBuffer{};
  ShortText marketBuffer{};
  uint8_t marginBuffer = 0;
  if (!api.GetCodeInfo(&page, &nameBuffer, &marketBuffer, &sector, &marginBuffer)) return false;
  name = FromShortText(api.CnvStrWtoH(nameBuffer));
  market = FromShortText(marketBuffer);
  marginFlag = marginBuffer;
  return api.GetCodeUnit(&page, &unit);
}

bool DownloadPriceFile(const TicvaneApi& api, int32_t source, const std::filesystem::path& dataDir,
                       const std::string& code, int32_t& averageVolume, std::string* error) {
  SetError(error, {});
  const auto file = PriceFilePath(dataDir, code);
  if (!file) {
    SetError(error, BadCodeMessage(code));
    return false;
  }
  vcl::TList list;
  if (api.GetPastData(&list, ToShortText(code), kPriceFileMaxLines, kHistoryYearsOffset, source) !=
      kTicvaneOk) {
    return false;  // the library has released whatever it added
  }
  std::vector<std::string> lines;
  std::vector<double> volumes;
  {
    const ReceivedRecords received(api, list);
    for (const PastDataRecord* record : received.History(kPriceFileMaxLines)) {
      lines.push_back(FormatPriceLine(*record));
      volumes.push_back(static_cast<double>(record->Volume));
    }
  }
  // A history without a single day is no history: keep the stored one.
  if (lines.empty()) return false;
  if (!WriteFileAtomically(*file, vcl::JoinLinesCrlf(lines), error)) return false;
  averageVolume = MeanVolume(volumes);
  return true;
}

UpdateResult UpdatePriceFile(const TicvaneApi& api, int32_t source,
                             const std::filesystem::path& dataDir, const std::string& code,
                             std::string* error) {
  SetError(error, {});
  const auto file = PriceFilePath(dataDir, code);
  if (!file) {
    SetError(error, BadCodeMessage(code));
    return UpdateResult::kBadCode;
  }
  const auto bytes = ReadFileBytes(*file);
  if (!bytes) return UpdateResult::kFileUnreadable;
  std::vector<std::string> stored = vcl::SplitLines(*bytes);
  if (stored.empty()) return UpdateResult::kMalformedFile;
  const auto newestStored = NewestStoredDate(stored[0]);
  if (!newestStored) return UpdateResult::kMalformedFile;

  vcl::TList list;
  if (api.UpdPastData(&list, ToShortText(code), kPriceFileMaxLines, kHistoryYearsOffset,
                      *newestStored, source) != kTicvaneOk) {
    return UpdateResult::kDownloadFailed;
  }
  std::vector<std::string> lines;
  {
    const ReceivedRecords received(api, list);
    for (const PastDataRecord* record : received.History(kPriceFileMaxLines, *newestStored)) {
      lines.push_back(FormatPriceLine(*record));
    }
  }
  for (std::string& line : stored) {
    if (static_cast<int32_t>(lines.size()) >= kPriceFileMaxLines) break;
    lines.push_back(std::move(line));
  }
  if (!WriteFileAtomically(*file, vcl::JoinLinesCrlf(lines), error))
    return UpdateResult::kSaveFailed;
  return UpdateResult::kUpdated;
}

std::string ReadFirstLine(const std::filesystem::path& file) {
  const auto bytes = ReadFileBytes(file, 80);
  if (!bytes) return {};
  const size_t end = bytes->find("\r\n");
  if (end == std::string::npos) return {};
  return bytes->substr(0, end);
}

std::string CloseOfLine(std::string_view line) {
  if (line.size() <= 11) return {};
  const std::string_view rest = line.substr(11);
  return std::string(rest.substr(0, rest.find('\t')));
}

PriceLineFieldViews SplitFieldViews(std::string_view line) {
  PriceLineFieldViews fields;
  for (std::string_view& field : fields) {
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
      field = line;
      break;  // the fields after it stay empty
    }
    field = line.substr(0, tab);
    line.remove_prefix(tab + 1);
  }
  return fields;
}

PriceLineFields SplitFields(std::string_view line) {
  const PriceLineFieldViews views = SplitFieldViews(line);
  return {std::string(views[0]), std::string(views[1]), std::string(views[2]),
          std::string(views[3]), std::string(views[4]), std::string(views[5])};
}

bool StampPriceFile(const std::filesystem::path& file, std::string_view date) {
  int year = 0, month = 0, day = 0;
  if (!vcl::ParseDateYMD(date, year, month, day)) return false;
  return vcl::SetFileDate(file, year, month, day);
}

bool PriceFileStampedOn(const std::filesystem::path& file, std::string_view date) {
  int year = 0, month = 0, day = 0;
  if (!vcl::ParseDateYMD(date, year, month, day)) return false;
  int fileYear = 0, fileMonth = 0, fileDay = 0;
  if (!vcl::GetFileDate(file, fileYear, fileMonth, fileDay)) return false;
  return fileYear == year && fileMonth == month && fileDay == day;
}
