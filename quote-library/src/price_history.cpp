#include "price_history.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "library_state.h"
#include "page_reading.h"
#include "page_request.h"
#include "vcl/convert.h"

namespace ticvane {
namespace {

// One call never asks for more pages than this, whatever the pages say: a
// site that keeps answering with tables but no end would otherwise be asked
// for ever.
constexpr int kMaxPagesPerCall = 200;
constexpr int32_t kRowsPerPage = 50;

int64_t DateNumber(int32_t year, int32_t month, int32_t day) {
  return int64_t{year} * 10000 + int64_t{month} * 100 + day;
}

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

PastDataRecord AdjustForSplit(const HistoryRow& row) {
  PastDataRecord record{row.year, row.month, row.day, row.close,
                        row.open, row.high,  row.low, row.volume};
  const int64_t close = row.close;
  const int64_t adjusted = row.adjustedClose;
  if (adjusted == close) return record;
  if (adjusted == 0 || close == 0) {
    // No ratio can be formed: the row is kept as the site wrote it, with the
    // adjusted close where there is one.
    record.Close = adjusted != 0 ? row.adjustedClose : row.close;
    return record;
  }
  record.Close = row.adjustedClose;
  if (adjusted < close) {
    const int64_t ratio = close / adjusted;
    if (ratio == 0) return record;
    record.Open = ClampToInt32(row.open / ratio);
    record.High = ClampToInt32(row.high / ratio);
    record.Low = ClampToInt32(row.low / ratio);
  } else {
    const int64_t ratio = adjusted / close;
    record.Open = ClampToInt32(row.open * ratio);
    record.High = ClampToInt32(row.high * ratio);
    record.Low = ClampToInt32(row.low * ratio);
  }
  return record;
}

RowCollector::RowCollector(vcl::TList* records, int32_t maxCount,
                           std::optional<int32_t> newestStored, const CalendarDate& today)
    : records_(records),
      firstAdded_(records->Count()),
      maxCount_(maxCount),
      newestStored_(newestStored),
      today_(DateNumber(today.year, today.month, today.day)) {}

bool RowCollector::Full() const { return records_->Count() >= maxCount_; }

bool RowCollector::IsHistoryDate(int32_t year, int32_t month, int32_t day) const {
  return vcl::IsValidDate(year, month, day, std::numeric_limits<int32_t>::max()) &&
         DateNumber(year, month, day) <= today_;
}

void RowCollector::EndDownload() { maxCount_ = records_->Count(); }

bool RowCollector::AcceptDate(int32_t year, int32_t month, int32_t day) {
  const int64_t date = DateNumber(year, month, day);
  if (newestStored_ && date <= *newestStored_) {
    // Rows come newest first: every later row is older still.
    EndDownload();
    return false;
  }
  // A row that Store passes over says nothing about the order of the rows.
  if (!IsHistoryDate(year, month, day)) return true;
  if (lastStored_ && date >= *lastStored_) {
    EndDownload();
    return false;
  }
  return true;
}

bool RowCollector::Store(const HistoryRow& row) {
  if (!IsHistoryDate(row.year, row.month, row.day)) return false;
  records_->Add(new PastDataRecord(AdjustForSplit(row)));
  lastStored_ = DateNumber(row.year, row.month, row.day);
  return true;
}

void RowCollector::FreeAdded() {
  for (int i = firstAdded_; i < records_->Count(); ++i) {
    delete static_cast<PastDataRecord*>(records_->Get(i));
    records_->Put(i, nullptr);
  }
}

std::string StartYear(int32_t yearsOffset, const CalendarDate& today) {
  const int year =
      static_cast<int>(std::clamp<int64_t>(int64_t{today.year} + yearsOffset, 1, 9999));
  char text[8];
  std::snprintf(text, sizeof text, "%04d", year);
  return text;
}

int32_t DownloadHistory(const HistorySite& site, vcl::TList* records, ShortText code,
                        int32_t maxCount, int32_t yearsOffset,
                        std::optional<int32_t> newestStored) {
  if (records == nullptr) return kTicvaneFailed;
  if (maxCount <= 0) return kTicvaneOk;
  // One date for the whole call: a download that runs past midnight still asks
  // every page for the same range.
  const CalendarDate today = Today();
  RowCollector rows(records, maxCount, newestStored, today);

  const std::string codeText(ShortTextView(code));
  const std::string startYear = StartYear(yearsOffset, today);
  vcl::TStringList page;
  int32_t rowOffset = 0;
  for (int pageNumber = 0; !rows.Full() && pageNumber < kMaxPagesPerCall; ++pageNumber) {
    const PageResponse response =
        RequestPage(site.Host(), site.PagePath(codeText, startYear, today, rowOffset));
    if (response.outcome != RequestOutcome::Ok) {
      rows.FreeAdded();
      return ResultOf(response.outcome);
    }
    page.SetText(ConvertToCp932(response.body));
    const std::optional<int> first = site.FirstRowLine(page);
    if (!first) {
      if (rowOffset == 0) {
        rows.FreeAdded();
        return kTicvaneFailed;
      }
      return kTicvaneOk;
    }
    const TableScan scan = site.ReadRows(page, *first, rows);
    if (rows.Full()) break;
    // A later page that holds no row at all has nothing more to give.
    if (rowOffset > 0 && scan.rowsSeen == 0) break;
    if (!site.HasNextPage(page, scan.endLine)) break;
    rowOffset += kRowsPerPage;
  }
  return kTicvaneOk;
}

int32_t CellValue(const std::string& line, size_t prefix) {
  return IntegerOr(WithoutCommas(Before(DropFirst(line, prefix), "<")), 0);
}

}  // namespace ticvane
