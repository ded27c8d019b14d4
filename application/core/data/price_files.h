#pragma once
// The price files, one per stock code in the data directory, and the library
// calls that fill them. A price file is named by its code with ".txt"; one
// line per trading day, newest first, at most kPriceFileMaxLines lines:
// "yyyy/mm/dd", close, open, high, low and volume separated by TAB, CR LF
// after every line. No routine keeps state; each reaches the library only
// through `api` and passes it the source index it is given. The library is not
// re-entrant: the caller keeps calls apart. Failures are values, as in
// file_io.h: no routine throws, except that memory can run out.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/short_text.h"
#include "data/ticvane_api.h"
#include "ticvane.h"

constexpr int32_t kPriceFileMaxLines = 1225;
// What the latest market date is when it cannot be had.
constexpr char kUnknownMarketDate[] = "0000/00/00";

// dataDir/code".txt" for a code of four ASCII letters or digits; nullopt for
// any other code (no path is ever formed from it).
std::optional<std::filesystem::path> PriceFilePath(const std::filesystem::path& dataDir,
                                                   std::string_view code);

// The mean volume of a price file's days (at least one), as the code table
// keeps it: the mean rounded to two decimals, its whole part, held within 32
// bits.
int32_t MeanVolume(const std::vector<double>& volumes);

// One price-file line of `record`, without its line end.
std::string FormatPriceLine(const PastDataRecord& record);

// "yyyy/mm/dd" of the newest day of code "1306", or kUnknownMarketDate when
// the library fails or gives no day.
std::string GetLatestMarketDate(const TicvaneApi& api, int32_t source);

// Looks `code` up on the web: name (made half-width), market, sector, trading
// unit and margin-loan flag. True when every step succeeded; on false some
// outputs may have been written.
bool FetchCodeInfo(const TicvaneApi& api, int32_t source, const std::string& code,
                   std::string& name, std::string& market, int32_t& sector, int32_t& unit,
                   uint8_t& marginFlag);

// Downloads up to kPriceFileMaxLines days of `code` and replaces its price
// file with them; `averageVolume` becomes their mean volume rounded to two
// decimals, truncated. True when the file was written. On false the price file
// and `averageVolume` are as they were, and `error` (when given) says why:
// empty when the library failed or gave no day, a message (code page 932)
// when the code cannot name a price file or the file could not be written.
bool DownloadPriceFile(const TicvaneApi& api, int32_t source, const std::filesystem::path& dataDir,
                       const std::string& code, int32_t& averageVolume,
                       std::string* error = nullptr);

enum class UpdateResult {
  kUpdated,         // the file was rewritten, with or without new days
  kBadCode,         // the code cannot name a price file; nothing touched
  kFileUnreadable,  // the price file is missing or cannot be read; no library call
  kMalformedFile,   // line 0 does not begin with a date (empty file too); no library call
  kDownloadFailed,  // the library failed; the file is unchanged
  kSaveFailed,      // the file could not be written; the old file is unchanged
};

// Puts the days newer than the price file's newest day on top of it, keeps
// at most kPriceFileMaxLines lines and rewrites it with CR LF line ends (also
// when no new day came). For kSaveFailed and kBadCode, `error` (when given)
// receives a message in code page 932; otherwise it is cleared.
UpdateResult UpdatePriceFile(const TicvaneApi& api, int32_t source,
                             const std::filesystem::path& dataDir, const std::string& code,
                             std::string* error = nullptr);

// The bytes before the first CR LF among the first 80 bytes of `file`; empty
// when there is none or the file cannot be read.
std::string ReadFirstLine(const std::filesystem::path& file);

// The close of a price-file line: from byte 11 up to the next TAB or the end.
std::string CloseOfLine(std::string_view line);

// The six fields of a price-file line, as text.
struct PriceLineFields {
  std::string date, close, open, high, low, volume;
};

// The fields of a line in that order, as views into it.
using PriceLineFieldViews = std::array<std::string_view, 6>;

// The first six TAB-separated fields of `line`; when the TABs run out, the
// last field read takes the rest of the line and the later fields are empty.
// Text after a sixth TAB is dropped.
PriceLineFields SplitFields(std::string_view line);
// The same fields, viewing `line`'s own bytes.
PriceLineFieldViews SplitFieldViews(std::string_view line);

// Sets the modification time of `file` to 00:00 local time of `date`
// ("yyyy/mm/dd"). False, with nothing done, for a date that is not valid
// (kUnknownMarketDate included) or a file that cannot be changed.
bool StampPriceFile(const std::filesystem::path& file, std::string_view date);

// True when `file` carries the modification date `date` ("yyyy/mm/dd"), that
// is, it was last checked against that market date. False for a date that is
// not valid or a file that cannot be read.
bool PriceFileStampedOn(const std::filesystem::path& file, std::string_view date);
