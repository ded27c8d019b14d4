#include "library_pages.h"

#include <cstring>
#include <utility>

#include "fuzz_check.h"
#include "history_input.h"
#include "library_state.h"
#include "ticvane.h"

namespace fuzz {

PageFeed::PageFeed(std::vector<std::string> pages, ticvane::RequestOutcome afterLast)
    : pages_(std::move(pages)), afterLast_(afterLast) {
  ticvane::testing::SetToday([] { return ticvane::CalendarDate{2009, 9, 24}; });
  ticvane::testing::SetPageSource([this](std::string_view, std::string_view) {
    const size_t index = requests_++;
    if (index < pages_.size())
      return ticvane::PageResponse{ticvane::RequestOutcome::Ok, pages_[index]};
    return ticvane::PageResponse{afterLast_, {}};
  });
}

PageFeed::~PageFeed() {
  ticvane::testing::SetPageSource({});
  ticvane::testing::SetToday({});
}

namespace {

constexpr int32_t kCursorBefore = 123456;
constexpr int32_t kSectorUnset = -1;
constexpr uint8_t kLoanUnset = 7;
constexpr int32_t kUnitUnset = -77;

// A caller's buffer before a reader runs: "old", then bytes no reader writes.
ShortText Untouched() {
  ShortText text;
  std::memset(&text, 0xA5, sizeof text);
  text.length = 3;
  std::memcpy(text.bytes, "old", 3);
  return text;
}

bool Same(const ShortText& a, const ShortText& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A written output: the length byte and that many bytes, nothing after them.
void CheckWritten(const ShortText& text) {
  const ShortText before = Untouched();
  FUZZ_CHECK(std::memcmp(text.bytes + text.length, before.bytes + text.length,
                         sizeof text.bytes - text.length) == 0);
}

void CheckOutput(bool ok, const ShortText& text) {
  if (ok) {
    CheckWritten(text);
  } else {
    FUZZ_CHECK(Same(text, Untouched()));
  }
}

struct Readings {
  bool infoOk = false;
  ShortText name = Untouched(), market = Untouched();
  int32_t sector = kSectorUnset;
  uint8_t loan = kLoanUnset;
  bool nameOnlyOk = false;
  ShortText nameOnly = Untouched(), marketOnly = Untouched();
  bool timeOk = false;
  ShortText time = Untouched();
  bool unitOk = false;
  int32_t unit = kUnitUnset;
  bool lastOk = false;
  ShortText current = Untouched(), open = Untouched(), high = Untouched(), low = Untouched();

  bool operator==(const Readings& other) const {
    return infoOk == other.infoOk && Same(name, other.name) && Same(market, other.market) &&
           sector == other.sector && loan == other.loan && nameOnlyOk == other.nameOnlyOk &&
           Same(nameOnly, other.nameOnly) && Same(marketOnly, other.marketOnly) &&
           timeOk == other.timeOk && Same(time, other.time) && unitOk == other.unitOk &&
           unit == other.unit && lastOk == other.lastOk && Same(current, other.current) &&
           Same(open, other.open) && Same(high, other.high) && Same(low, other.low);
  }
};

Readings ReadAll(vcl::TStrings& page) {
  Readings r;
  r.infoOk = TicvaneGetCodeInfo(&page, &r.name, &r.market, &r.sector, &r.loan);
  r.nameOnlyOk = TicvaneGetCodeInfo(&page, &r.nameOnly, &r.marketOnly, nullptr, nullptr);
  r.timeOk = TicvaneGetDateTime(&page, &r.time);
  r.unitOk = TicvaneGetCodeUnit(&page, &r.unit);
  r.lastOk = TicvaneGetLastData(&page, &r.current, &r.open, &r.high, &r.low);
  return r;
}

void CheckReadings(const Readings& r) {
  CheckOutput(r.infoOk, r.name);
  CheckOutput(r.infoOk, r.market);
  // Sector and loan may be written on false too, but only with their values.
  FUZZ_CHECK(r.sector == kSectorUnset || (r.sector >= 0 && r.sector <= 33));
  FUZZ_CHECK(r.loan == kLoanUnset || r.loan == 0 || r.loan == 1);
  if (r.infoOk) FUZZ_CHECK(r.sector != kSectorUnset && r.loan != kLoanUnset);
  // Asking for less never fails where asking for more succeeded, nor reads
  // another name or market.
  CheckOutput(r.nameOnlyOk, r.nameOnly);
  CheckOutput(r.nameOnlyOk, r.marketOnly);
  if (r.infoOk) {
    FUZZ_CHECK(r.nameOnlyOk && Same(r.name, r.nameOnly) && Same(r.market, r.marketOnly));
  }
  CheckOutput(r.timeOk, r.time);
  if (!r.unitOk) FUZZ_CHECK(r.unit == kUnitUnset);
  CheckOutput(r.lastOk, r.current);
  CheckOutput(r.lastOk, r.open);
  CheckOutput(r.lastOk, r.high);
  CheckOutput(r.lastOk, r.low);
}

}  // namespace

void CheckDetailPage(int32_t source, std::string_view body) {
  const PageFeed feed({std::string(body)}, ticvane::RequestOutcome::Failed);
  ticvane::LibraryState& state = ticvane::State();
  state.pageCursor = kCursorBefore;
  state.currentSource = 1 - source;

  vcl::TStringList page;
  page.Add("before");
  const int32_t result = TicvaneGetCodeData(ShortText{4, {'1', '3', '3', '2'}}, &page, source);
  FUZZ_CHECK(feed.Requests() == 1);
  FUZZ_CHECK(result == kTicvaneOk || result == kTicvaneFailed);
  FUZZ_CHECK(state.currentSource == source);
  for (const std::string& line : page.Lines()) {
    FUZZ_CHECK(!HoldsLineBreak(line) && line.find('\0') == std::string::npos);
  }
  if (result != kTicvaneOk) {
    FUZZ_CHECK(state.pageCursor == kCursorBefore);
    return;
  }
  const int32_t cursor = state.pageCursor;
  FUZZ_CHECK(cursor >= 0 && cursor <= page.GetCount());

  const std::vector<std::string> lines = page.Lines();
  const Readings first = ReadAll(page);
  CheckReadings(first);
  // Readers change neither the page nor the library, so a second round reads
  // the same.
  FUZZ_CHECK(page.Lines() == lines);
  FUZZ_CHECK(state.pageCursor == cursor && state.currentSource == source);
  FUZZ_CHECK(ReadAll(page) == first);
}

namespace {

bool IsCalendarDay(const PastDataRecord& record) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return record.Year >= 1 && record.Month >= 1 && record.Month <= 12 && record.Day >= 1 &&
         record.Day <= kDays[record.Month - 1];
}

int64_t DayNumber(const PastDataRecord& record) {
  return int64_t{record.Year} * 10000 + record.Month * 100 + record.Day;
}

}  // namespace

void CheckHistory(int32_t source, std::string_view bytes) {
  const HistoryInput input = ParseHistoryInput(bytes);
  const PageFeed feed(input.pages, input.timesOutAfterLast ? ticvane::RequestOutcome::TimedOut
                                                           : ticvane::RequestOutcome::Failed);
  const ShortText code{4, {'1', '3', '3', '2'}};
  vcl::TList records;
  const int32_t result =
      input.newestStored
          ? TicvaneUpdPastData(&records, code, input.maxCount, input.yearsOffset,
                               *input.newestStored, source)
          : TicvaneGetPastData(&records, code, input.maxCount, input.yearsOffset, source);

  FUZZ_CHECK(result == kTicvaneOk || result == kTicvaneFailed || result == kTicvaneTimedOut);
  // No page is asked for after a failed one, and a call always ends.
  FUZZ_CHECK(feed.Requests() <= input.pages.size() + 1);
  FUZZ_CHECK(feed.Requests() <= 200);
  if (result != kTicvaneOk) {
    // The call has freed all it added already.
    for (int i = 0; i < records.Count(); ++i) FUZZ_CHECK(records.Get(i) == nullptr);
    return;
  }
  FUZZ_CHECK(records.Count() <= std::max(input.maxCount, 0));
  for (int i = 0; i < records.Count(); ++i) {
    const auto* record = static_cast<const PastDataRecord*>(records.Get(i));
    FUZZ_CHECK(record != nullptr);
    FUZZ_CHECK(IsCalendarDay(*record));
    if (input.newestStored) FUZZ_CHECK(DayNumber(*record) > *input.newestStored);
  }
  TicvaneClearPastData(&records);
  for (int i = 0; i < records.Count(); ++i) FUZZ_CHECK(records.Get(i) == nullptr);
}

}  // namespace fuzz
