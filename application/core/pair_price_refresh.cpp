#include "pair_price_refresh.h"

#include <system_error>

#include "file_io.h"
#include "price_files.h"
#include "vcl/cp932_text.h"

PairRefresh RefreshPairPriceFile(const TicvaneApi& api, int32_t source,
                                 const std::filesystem::path& dataDir, const std::string& code,
                                 const std::string& latestMarketDate, CodeTable& codeTable) {
  const std::optional<std::filesystem::path> file = PriceFilePath(dataDir, code);
  if (!file) return PairRefresh::kMissing;
  std::error_code error;
  if (!std::filesystem::exists(*file, error)) {
    int32_t averageVolume = 0;
    if (!DownloadPriceFile(api, source, dataDir, code, averageVolume)) {
      return PairRefresh::kMissing;
    }
    codeTable.SetCodeFields(code, nullptr, nullptr, nullptr, nullptr, &averageVolume, nullptr);
    StampPriceFile(*file, latestMarketDate);
    return PairRefresh::kDownloaded;
  }
  if (PriceFileStampedOn(*file, latestMarketDate)) return PairRefresh::kUpToDate;
  PairRefresh result = PairRefresh::kChecked;
  if (ReadFirstLine(*file).substr(0, 10) != latestMarketDate) {
    result = UpdatePriceFile(api, source, dataDir, code) == UpdateResult::kUpdated
                 ? PairRefresh::kUpdated
                 : PairRefresh::kNotUpdated;
  }
  StampPriceFile(*file, latestMarketDate);
  return result;
}

std::optional<SeriesError> ReadPairPriceFile(const std::filesystem::path& dataDir,
                                             const std::string& code, int32_t lots,
                                             int32_t adjustment, std::vector<CodeDayRecord>& days) {
  std::vector<std::string> lines;
  if (const std::optional<std::filesystem::path> file = PriceFilePath(dataDir, code)) {
    if (const std::optional<std::string> bytes = ReadFileBytes(*file))
      lines = vcl::SplitLines(*bytes);
  }
  return ReadCodeSeries(lines, lots, adjustment, days);
}
