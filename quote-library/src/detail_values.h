#pragma once
// What the detail pages of both web sites share: the sector numbers, the
// shortening of a foreign-section market name, and the tidying of a price time.

#include <cstdint>
#include <string>
#include <string_view>

namespace ticvane {

enum class SectorWords {
  kCommon,                // the words both sites use
  kWithCommodityFutures,  // also counts "商品先物" as securities (29)
};

// The number (1 to 33, in the exchange's order) of the first sector whose
// words occur in `text`, searched byte by byte; 0 when none does.
int32_t SectorNumber(std::string_view text, SectorWords words);

// `market` with every "外国部" (foreign section) replaced by "外国".
std::string ShortenedForeignSection(std::string_view market);

// A time or date without its leading zero and without the zero after each
// slash: "09:05" -> "9:05", "10/01" -> "10/1".
std::string TidiedPriceTime(std::string_view text);

}  // namespace ticvane
