// Price history pages of SourceB: rows of nine lines whose close stands in an
// emphasised cell, days without trades passed over, dates at fixed positions.

#include <cstdio>
#include <string>

#include "hosts.h"
#include "library_state.h"
#include "page_reading.h"
#include "page_request.h"
#include "price_history.h"
#include "source_drivers.h"

namespace ticvane {
namespace {

constexpr std::string_view kHeaderLine =
    "<th scope=\"col\">\x92\xB2\x90\xAE\x8C\xE3\x8FI\x92l</th>";  // <th scope="col">調整後終値</th>
constexpr std::string_view kBodyStart = "<tbody>";
constexpr std::string_view kBodyEnd = "</tbody>";
constexpr std::string_view kCloseCell = "<td class=\"emph\">";
constexpr std::string_view kNoTrade = "<td>-</td>";
constexpr std::string_view kNextPage =
    "\x8E\x9F\x82\xCC"
    "50\x8C\x8F";  // 次の50件
constexpr std::string_view kLink = "<a href=";
constexpr size_t kCellPrefix = 4;
constexpr int kLinesAfterTable = 14;

// Bytes `from` to `from + length - 1` (counted from 1) of `line`, as a number.
int32_t NumberAt(const std::string& line, size_t from, size_t length) {
  if (from - 1 >= line.size()) return 0;
  return IntegerOr(std::string_view(line).substr(from - 1, length), 0);
}

class SourceBHistory final : public HistorySite {
 public:
  std::string Host() const override { return hosts::kSourceB; }

  std::string PagePath(const std::string& code, const std::string& startYear,
                       const CalendarDate& today, int32_t rowOffset) const override {
    const std::string m = std::to_string(today.month);
    const std::string d = std::to_string(today.day);
    char year[16];
    std::snprintf(year, sizeof year, "%04d", today.year);
    return "/MnStock/" + EncodeQueryValue(code) + "/slast/?sy=" + startYear + "&sm=" + m +
           "&sd=" + d + "&ey=" + year + "&em=" + m + "&ed=" + d +
           "&k=d&st=" + std::to_string(rowOffset);
  }

  std::optional<int> FirstRowLine(const vcl::TStrings& page) const override {
    const std::optional<int> header =
        FindLine(page, 0, [](const std::string& line) { return line == kHeaderLine; });
    if (!header) return std::nullopt;
    const std::optional<int> body =
        FindLine(page, *header + 1, [](const std::string& line) { return line == kBodyStart; });
    if (!body) return std::nullopt;
    return *body + 2;
  }

  TableScan ReadRows(const vcl::TStrings& page, int first, RowCollector& rows) const override {
    const int count = page.GetCount();
    int rowsSeen = 0;
    int k = first;
    while (k < count) {
      const std::optional<std::string> closeLine = LineAt(page, k + 1);
      if (!closeLine || !BeginsWith(*closeLine, kCloseCell)) {
        if (LineEquals(page, k + 3, kBodyEnd)) return {k + 3, rowsSeen};
        k += 4;
        continue;
      }
      if (LineEquals(page, k + 2, kNoTrade)) {
        ++rowsSeen;
        if (LineEquals(page, k + 8, kBodyEnd)) return {k + 8, rowsSeen};
        k += 9;
        continue;
      }
      // A row whose cells run past the page's end cannot be read: the table
      // ends with the page.
      if (k + 6 >= count) return {count, rowsSeen};
      ++rowsSeen;
      HistoryRow row;
      const std::string dateLine = page.Get(k);
      row.year = NumberAt(dateLine, 17, 4);
      row.month = NumberAt(dateLine, 23, 2);
      row.day = NumberAt(dateLine, 27, 2);
      if (!rows.AcceptDate(row.year, row.month, row.day)) return {k, rowsSeen};
      row.close = CellValue(*closeLine, kCloseCell.size());
      row.open = CellValue(page.Get(k + 2), kCellPrefix);
      row.high = CellValue(page.Get(k + 3), kCellPrefix);
      row.low = CellValue(page.Get(k + 4), kCellPrefix);
      row.volume = CellValue(page.Get(k + 5), kCellPrefix);
      row.adjustedClose = CellValue(page.Get(k + 6), kCellPrefix);
      const bool stored = rows.Store(row);
      if (rows.Full()) return {k + 8, rowsSeen};
      if (LineEquals(page, k + 8, kBodyEnd)) return {k + 8, rowsSeen};
      if (stored) PumpMessages();
      k += 9;
    }
    return {k, rowsSeen};
  }

  bool HasNextPage(const vcl::TStrings& page, int endLine) const override {
    for (int i = endLine + 1; i <= endLine + kLinesAfterTable && i < page.GetCount(); ++i) {
      const std::string line = page.Get(i);
      if (Contains(line, kNextPage)) return BeginsWith(line, kLink);
    }
    // No marker at all: the site may still have more rows.
    return true;
  }
};

const SourceBHistory& Site() {
  static const SourceBHistory site;
  return site;
}

}  // namespace

int32_t SourceBPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                        int32_t yearsOffset) {
  return DownloadHistory(Site(), records, code, maxCount, yearsOffset, std::nullopt);
}

int32_t SourceBUpdPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                           int32_t yearsOffset, int32_t newestStored) {
  return DownloadHistory(Site(), records, code, maxCount, yearsOffset, newestStored);
}

}  // namespace ticvane
