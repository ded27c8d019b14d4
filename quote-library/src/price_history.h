#pragma once
// The download loop that both web sites' history routines share: pages of 50
// rows, the split adjustment, the update's stop rule, the pump points and the
// freeing of what a failed call added.

#include <cstdint>
#include <optional>
#include <string>

#include "library_state.h"
#include "ticvane.h"

namespace ticvane {

// One table row as read, before the split adjustment.
struct HistoryRow {
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
  int32_t close = 0;
  int32_t open = 0;
  int32_t high = 0;
  int32_t low = 0;
  int32_t volume = 0;
  int32_t adjustedClose = 0;
};

// The record of a row: the close becomes the adjusted close, and open, high
// and low follow by the whole ratio of the two closes.
PastDataRecord AdjustForSplit(const HistoryRow& row);

// Takes the rows of one call into the caller's list. The list it leaves is
// history as the caller may store it: every date a real day no later than
// `today`, each older than the one before it.
class RowCollector {
 public:
  RowCollector(vcl::TList* records, int32_t maxCount, std::optional<int32_t> newestStored,
               const CalendarDate& today);

  // True once the list holds as many records as the call may store.
  bool Full() const;

  // Called as soon as a row's date is read. False when the download ends
  // there, the row not stored: the update's stop rule fired, or the row is not
  // older than the row stored before it, which on pages that come newest first
  // means the site is repeating itself (a site, cache or proxy that ignores
  // the row offset serves the same rows for every page).
  bool AcceptDate(int32_t year, int32_t month, int32_t day);

  // Adjusts and appends a row whose date was accepted. Returns true when the
  // row was stored; a row whose date is no day, or a day after today, is
  // passed over: a future day stored as the newest would stop every later
  // update of the file.
  bool Store(const HistoryRow& row);

  // Frees the records this call appended; the count stays.
  void FreeAdded();

 private:
  bool IsHistoryDate(int32_t year, int32_t month, int32_t day) const;
  void EndDownload();

  vcl::TList* records_;
  int32_t firstAdded_;
  int32_t maxCount_;
  std::optional<int32_t> newestStored_;
  int64_t today_;
  std::optional<int64_t> lastStored_;
};

// Where one page's rows were read to.
struct TableScan {
  int endLine;   // the line at which the table ended (may lie past the page's end)
  int rowsSeen;  // lines taken as rows, stored or not
};

// What one web site's history pages look like.
class HistorySite {
 public:
  virtual ~HistorySite() = default;
  virtual std::string Host() const = 0;
  // Path and query of the page at `rowOffset`. `today` is the date the call
  // took once at its start, so that every page asks for the same range.
  virtual std::string PagePath(const std::string& code, const std::string& startYear,
                               const CalendarDate& today, int32_t rowOffset) const = 0;
  // The first line to examine for rows, or nullopt when the page has no table.
  virtual std::optional<int> FirstRowLine(const vcl::TStrings& page) const = 0;
  // Reads rows from `first` until the table ends or `rows` says stop.
  virtual TableScan ReadRows(const vcl::TStrings& page, int first, RowCollector& rows) const = 0;
  // Whether the lines after `endLine` ask for a next page.
  virtual bool HasNextPage(const vcl::TStrings& page, int endLine) const = 0;
};

// The start year of a request: four characters of `today` shifted by
// `yearsOffset` years in the library's short date format.
std::string StartYear(int32_t yearsOffset, const CalendarDate& today);

// The whole download of one call. `newestStored` is set for an update.
int32_t DownloadHistory(const HistorySite& site, vcl::TList* records, ShortText code,
                        int32_t maxCount, int32_t yearsOffset, std::optional<int32_t> newestStored);

// A cell's number: the line without its first `prefix` bytes, cut before the
// first "<", commas removed, as a whole number (0 when it is not one).
int32_t CellValue(const std::string& line, size_t prefix);

}  // namespace ticvane
