#pragma once
// What the detail pages of both web sites share: the checks of a fetched page,
// the sector numbers, the shortening of a foreign-section market name, and the
// tidying of a price time.

#include <cstdint>
#include <string>
#include <string_view>

#include "ticvane.h"

namespace ticvane {

// What tells a detail page from the site's not-found page, and where its body
// begins.
struct DetailPageShape {
  int shortestPage;  // fewer lines: no page
  int titleLine;     // the line that holds the not-found title
  std::string_view notFoundTitle;
  std::string_view bodyMarker;  // the line the page cursor is set to
};

// Makes `text` the content of `page`; 1 for a page too short or the site's
// not-found page, else 0 with the page cursor on the body marker (on the line
// count when the page has none).
int32_t FillDetailPage(vcl::TStrings* page, const std::string& text, const DetailPageShape& shape);

// The line after the page cursor, where every reader's first search starts.
int FirstBodyLine();

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
