#include "pair/pair_price_refresh.h"

#include <system_error>

#include "data/file_io.h"
#include "data/price_files.h"
#include "vcl/cp932_text.h"

PairRefresh RefreshPairPriceFile(const TicvaneApi& api, int32_t source,
                                 const std::filesystem::path& dataDir, const std::string& code,
                                 const std::string& latestMarketDate, CodeTable& codeTable,
                                 std::string* saveError) {
  if (saveError) saveError->clear();
  std::string message;
  const auto failed = [&] {
    if (message.empty()) return PairRefresh::kMissing;
    if (saveError) *saveError = message;
    return PairRefresh::kSaveFailed;
  };
  const std::optional<std::filesystem::path> file = PriceFilePath(dataDir, code);
  if (!file) return failed();
  std::error_code error;
  // Anything but a file in its place (a folder) is downloaded over, so that
  // the save reports what is in the way.
  if (!std::filesystem::is_regular_file(*file, error)) {
    int32_t averageVolume = 0;
    if (!DownloadPriceFile(api, source, dataDir, code, averageVolume, &message)) return failed();
    codeTable.SetCodeFields(code, {.Vol = averageVolume});
    StampPriceFile(*file, latestMarketDate);
    return PairRefresh::kDownloaded;
  }
  if (PriceFileStampedOn(*file, latestMarketDate)) return PairRefresh::kUpToDate;
  PairRefresh result = PairRefresh::kChecked;
  if (ReadFirstLine(*file).substr(0, 10) != latestMarketDate) {
    const UpdateResult updated = UpdatePriceFile(api, source, dataDir, code, &message);
    // Not stamped: the next check tries to save it again.
    if (updated == UpdateResult::kSaveFailed) return failed();
    result = updated == UpdateResult::kUpdated ? PairRefresh::kUpdated : PairRefresh::kNotUpdated;
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
