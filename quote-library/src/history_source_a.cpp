// Price history pages of SourceA: a table whose rows are seven cell lines,
// dates written as year, month and day with their kanji.

#include <string>

#include "hosts.h"
#include "library_state.h"
#include "page_reading.h"
#include "page_request.h"
#include "price_history.h"
#include "source_drivers.h"

namespace ticvane {
namespace {

constexpr std::string_view kHeaderCell =
    "<th><small>\x92\xB2\x90\xAE\x8C\xE3\x8FI\x92l";  // <th><small>調整後終値
constexpr std::string_view kTableEnd = "</tr></table>";
constexpr std::string_view kRowStart = "<td>";
constexpr std::string_view kYear = "\x94N";                 // 年
constexpr std::string_view kMonth = "\x8C\x8E";             // 月
constexpr std::string_view kDay = "\x93\xFA";               // 日
constexpr std::string_view kNextPage = "\x8E\x9F\x82\xCC";  // 次の
constexpr size_t kCellPrefix = 11;
constexpr size_t kClosePrefix = 14;
constexpr int kLinesAfterTable = 14;

class SourceAHistory final : public HistorySite {
 public:
  std::string Host() const override { return hosts::kSourceAHistory; }

  std::string PagePath(const std::string& code, const std::string& startYear,
                       const CalendarDate& /*today*/, int32_t rowOffset) const override {
    return "/t?s=" + EncodeQueryValue(code) + "&a=1&b=1&c=" + startYear +
           "&g=d&y=" + std::to_string(rowOffset);
  }

  std::optional<int> FirstRowLine(const vcl::TStrings& page) const override {
    const std::optional<int> header =
        FindLine(page, 0, [](const std::string& line) { return BeginsWith(line, kHeaderCell); });
    if (!header || *header + 3 >= page.GetCount()) return std::nullopt;
    return *header + 3;
  }

  TableScan ReadRows(const vcl::TStrings& page, int first, RowCollector& rows) const override {
    const int count = page.GetCount();
    TableScan scan{count, 0};
    int k = first;
    while (k < count) {
      if (!BeginsWith(page.Get(k), kRowStart)) {
        if (LineEquals(page, k + 2, kTableEnd)) return {k + 2, scan.rowsSeen};
        k += 3;
        continue;
      }
      // A row whose cells run past the page's end cannot be read: the table
      // ends with the page.
      if (k + 6 >= count) return {count, scan.rowsSeen};
      ++scan.rowsSeen;
      HistoryRow row;
      const std::string date = DropFirst(page.Get(k), kCellPrefix);
      row.year = IntegerOr(Before(date, kYear), 0);
      const std::string afterYear = After(date, kYear);
      row.month = IntegerOr(Before(afterYear, kMonth), 0);
      row.day = IntegerOr(Before(After(afterYear, kMonth), kDay), 0);
      if (!rows.AcceptDate(row.year, row.month, row.day)) return {k, scan.rowsSeen};
      row.open = CellValue(page.Get(k + 1), kCellPrefix);
      row.high = CellValue(page.Get(k + 2), kCellPrefix);
      row.low = CellValue(page.Get(k + 3), kCellPrefix);
      row.close = CellValue(page.Get(k + 4), kClosePrefix);
      row.volume = CellValue(page.Get(k + 5), kCellPrefix);
      row.adjustedClose = CellValue(page.Get(k + 6), kCellPrefix);
      const bool stored = rows.Store(row);
      if (rows.Full()) return {k + 7, scan.rowsSeen};
      if (LineEquals(page, k + 7, kTableEnd)) return {k + 7, scan.rowsSeen};
      if (stored) PumpMessages();
      k += 8;
    }
    scan.endLine = k;
    return scan;
  }

  bool HasNextPage(const vcl::TStrings& page, int endLine) const override {
    for (int i = endLine + 1; i <= endLine + kLinesAfterTable && i < page.GetCount(); ++i) {
      if (Contains(page.Get(i), kNextPage)) return true;
    }
    return false;
  }
};

const SourceAHistory& Site() {
  static const SourceAHistory site;
  return site;
}

}  // namespace

int32_t SourceAPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                        int32_t yearsOffset) {
  return DownloadHistory(Site(), records, code, maxCount, yearsOffset, std::nullopt);
}

int32_t SourceAUpdPastData(vcl::TList* records, ShortText code, int32_t maxCount,
                           int32_t yearsOffset, int32_t newestStored) {
  return DownloadHistory(Site(), records, code, maxCount, yearsOffset, newestStored);
}

}  // namespace ticvane
