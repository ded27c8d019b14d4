#pragma once
// A pair check's own refresh of one code's price file, and the reading of the
// file into a series. Main thread; the caller keeps library calls apart.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/code_table.h"
#include "data/ticvane_api.h"
#include "pair/pair_series.h"

// What the refresh did.
enum class PairRefresh {
  kUpToDate,    // the file already carried the latest market date: not opened
  kDownloaded,  // a missing file was downloaded whole
  kUpdated,     // the newer days were put on top
  kChecked,     // the file's newest day is the latest market date
  kNotUpdated,  // the update failed or the file is malformed: the file is as it was
  kMissing,     // no file, and the download failed
  kSaveFailed,  // the file could not be written: as it was, and not stamped
};

// Brings `code`'s price file in `dataDir` up to `latestMarketDate`: a missing
// file is downloaded whole (its average volume is stored in `codeTable` when
// the code is listed there); a file not yet checked against the latest market
// date whose first line does not begin with it is updated. A file that was
// downloaded or checked is stamped with the latest market date, so it is not
// tried again until that date changes; with the date unknown ("0000/00/00")
// nothing is stamped. A malformed file is not updated and is read as it is.
// For kSaveFailed `saveError` (when given) receives the message, in code page
// 932, that names the file; otherwise it is emptied.
PairRefresh RefreshPairPriceFile(const TicvaneApi& api, int32_t source,
                                 const std::filesystem::path& dataDir, const std::string& code,
                                 const std::string& latestMarketDate, CodeTable& codeTable,
                                 std::string* saveError = nullptr);

// `code`'s price file read into a series with its prices times `lots` plus
// `adjustment`. A missing or unreadable file gives no days.
std::optional<SeriesError> ReadPairPriceFile(const std::filesystem::path& dataDir,
                                             const std::string& code, int32_t lots,
                                             int32_t adjustment, std::vector<CodeDayRecord>& days);
