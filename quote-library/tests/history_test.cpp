// Price history downloads and updates against a fixture server.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "history_pages.h"
#include "library_fixture.h"
#include "price_history.h"

namespace ticvane::test {
namespace {

using http::testing::FixtureRequest;
using http::testing::FixtureResponse;
using ::testing::ElementsAre;
using ::testing::SizeIs;

FixtureResponse Page(const std::string& utf8) {
  FixtureResponse response;
  response.headers = {{"Content-Type", "text/html; charset=Shift_JIS"}};
  response.body = Cp932(utf8);
  return response;
}

// The page of `source` holding `rows`, with the link to a next page.
std::string LinkedPage(int source, const std::vector<SiteRow>& rows) {
  return source == kTicvaneSourceA ? SourceAPage(rows, NextPage::Link)
                                   : SourceBPage(rows, NextPage::Link);
}

// The last page of `source` holding `rows`: SourceB names the next page
// there as plain text, without a link.
std::string LastPage(int source, const std::vector<SiteRow>& rows) {
  return source == kTicvaneSourceA ? SourceAPage(rows, NextPage::None)
                                   : SourceBPage(rows, NextPage::PlainText);
}

// A long SourceA history in full pages of 50 rows, the link to the next page
// on every page.
void ServeLongSourceAHistory(LibraryFixture& library) {
  library.Server().Serve([](const FixtureRequest& request) {
    const int offset = RowOffset(request.target);
    return Page(SourceAPage(PlainRows(50, offset), NextPage::Link));
  });
}

std::vector<int> Offsets(LibraryFixture& library) {
  std::vector<int> offsets;
  for (const FixtureRequest& request : library.Server().Requests()) {
    offsets.push_back(RowOffset(request.target));
  }
  return offsets;
}

TEST(HistoryRequest, SourceAAskForTheCodeTheStartYearAndTheRowOffset) {
  LibraryFixture library;
  ServeLongSourceAHistory(library);
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 1, -6, kTicvaneSourceA), 0);
  ASSERT_THAT(library.Server().Requests(), SizeIs(1));
  EXPECT_EQ(library.Server().Requests()[0].target, "/t?s=1301&a=1&b=1&c=2003&g=d&y=0");
  EXPECT_EQ(library.Server().Requests()[0].host, "table.yahoo.co.jp");
}

TEST(HistoryRequest, StartYearIsTheSameInTheShortDateFormat) {
  LibraryFixture library(2, 1, /*longDateFormat=*/0);
  ServeLongSourceAHistory(library);
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 1, -6, kTicvaneSourceA), 0);
  ASSERT_THAT(library.Server().Requests(), SizeIs(1));
  EXPECT_THAT(library.Server().Requests()[0].target, ::testing::HasSubstr("&c=2003&"));
}

TEST(HistoryRequest, SourceBAsksForTheDateRange) {
  LibraryFixture library;
  library.Server().Serve(
      [](const FixtureRequest&) { return Page(SourceBPage(PlainRows(3), NextPage::PlainText)); });
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 10, -6, kTicvaneSourceB), 0);
  ASSERT_THAT(library.Server().Requests(), SizeIs(1));
  EXPECT_EQ(library.Server().Requests()[0].target,
            "/MnStock/1301/slast/?sy=2003&sm=9&sd=24&ey=2009&em=9&ed=24&k=d&st=0");
  EXPECT_EQ(list.Count(), 3);
}

TEST(HistoryRequest, EveryPageOfOneCallAsksForTheSameDateRange) {
  // The clock passes midnight after the call has read it once.
  int clockReads = 0;
  LibraryFixture library;
  testing::SetToday([&clockReads] {
    return ++clockReads == 1 ? CalendarDate{2009, 9, 24} : CalendarDate{2009, 9, 25};
  });
  library.Server().Serve([](const FixtureRequest& request) {
    return Page(SourceBPage(PlainRows(50, RowOffset(request.target)), NextPage::Link));
  });
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 60, -6, kTicvaneSourceB), 0);
  ASSERT_THAT(library.Server().Requests(), SizeIs(2));
  EXPECT_EQ(library.Server().Requests()[0].target,
            "/MnStock/1301/slast/?sy=2003&sm=9&sd=24&ey=2009&em=9&ed=24&k=d&st=0");
  EXPECT_EQ(library.Server().Requests()[1].target,
            "/MnStock/1301/slast/?sy=2003&sm=9&sd=24&ey=2009&em=9&ed=24&k=d&st=50");
}

TEST(HistoryRequest, CodeBytesOutsideTheUnreservedSetArePercentEncoded) {
  LibraryFixture library;
  ServeLongSourceAHistory(library);
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1 3&y=9\x82\xA0"), 1, 0, kTicvaneSourceA), 0);
  ASSERT_THAT(library.Server().Requests(), SizeIs(1));
  EXPECT_EQ(library.Server().Requests()[0].target,
            "/t?s=1%203%26y%3D9%82%A0&a=1&b=1&c=2009&g=d&y=0");
}

TEST(HistoryPaging, CountsAgainstMaxCount) {
  struct Case {
    int maxCount;
    std::vector<int> offsets;
    int records;
  };
  for (const Case& c :
       {Case{0, {}, 0}, Case{1, {0}, 1}, Case{50, {0}, 50}, Case{120, {0, 50, 100}, 120}}) {
    SCOPED_TRACE(c.maxCount);
    LibraryFixture library;
    ServeLongSourceAHistory(library);
    RecordList list;
    EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), c.maxCount, -6, kTicvaneSourceA), 0);
    EXPECT_EQ(Offsets(library), c.offsets);
    ASSERT_EQ(list.Count(), c.records);
    if (c.records > 0) {
      // Newest first, across pages.
      EXPECT_EQ(list.Records().front().Volume, 100);
      EXPECT_EQ(list.Records().back().Volume, 100 + c.records - 1);
    }
  }
}

TEST(HistoryPaging, TableEndsWithoutNextPage) {
  LibraryFixture library;
  library.Server().Serve(
      [](const FixtureRequest&) { return Page(SourceAPage(PlainRows(30), NextPage::None)); });
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 1225, -6, kTicvaneSourceA), 0);
  EXPECT_EQ(list.Count(), 30);
  EXPECT_THAT(Offsets(library), ElementsAre(0));
}

TEST(HistoryPaging, FirstPageWithoutTableFailsALaterOneEndsTheDownload) {
  for (int source : {kTicvaneSourceA, kTicvaneSourceB}) {
    SCOPED_TRACE(source);
    LibraryFixture library;
    library.Server().Serve([source](const FixtureRequest& request) {
      if (RowOffset(request.target) > 0) return Page("<html><body>no data</body></html>\n");
      return Page(LinkedPage(source, PlainRows(50)));
    });
    RecordList list;
    EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 1225, -6, source), 0);
    EXPECT_EQ(list.Count(), 50);

    library.Server().Serve(
        [](const FixtureRequest&) { return Page("<html><body>no data</body></html>\n"); });
    RecordList empty;
    EXPECT_EQ(TicvaneGetPastData(empty.get(), Short("1301"), 1225, -6, source), 1);
    EXPECT_EQ(empty.Count(), 0);
  }
}

TEST(HistoryPaging, HeaderTooCloseToThePageEndIsNoTable) {
  LibraryFixture library;
  library.Server().Serve([](const FixtureRequest&) {
    return Page("<html>\n<th><small>調整後終値</small></th>\n</tr>\n<tr>\n");
  });
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 10, -6, kTicvaneSourceA), 1);
}

TEST(HistoryPaging, SourceBNextPageMarker) {
  struct Case {
    NextPage next;
    std::vector<int> offsets;
  };
  // Without any marker the next page is asked for; that page, holding a table
  // without rows, ends the download.
  for (const Case& c : {Case{NextPage::Link, {0, 50, 100}}, Case{NextPage::PlainText, {0}},
                        Case{NextPage::None, {0, 50, 100}}}) {
    LibraryFixture library;
    const NextPage next = c.next;
    library.Server().Serve([next](const FixtureRequest& request) {
      const int offset = RowOffset(request.target);
      return Page(SourceBPage(offset < 100 ? PlainRows(50, offset) : PlainRows(0), next));
    });
    RecordList list;
    EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 1225, -6, kTicvaneSourceB), 0);
    EXPECT_EQ(Offsets(library), c.offsets);
    EXPECT_EQ(list.Count(), next == NextPage::PlainText ? 50 : 100);
  }
}

TEST(HistoryPaging, SourceBHeaderWithoutBodyIsNoTable) {
  LibraryFixture library;
  library.Server().Serve([](const FixtureRequest&) {
    return Page("<table>\n<th scope=\"col\">調整後終値</th>\n</tr>\n</table>\n");
  });
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 10, -6, kTicvaneSourceB), 1);
}

TEST(HistoryPaging, SourceBBodyStartAtThePageEndIsATableWithoutRows) {
  // "<tbody>" as the last and as the next-to-last line: the first page has
  // the table, no line follows its end, so the next page is asked for.
  for (const char* tail : {"<tbody>\n", "<tbody>\n<tr>\n"}) {
    SCOPED_TRACE(tail);
    LibraryFixture library;
    const std::string first = std::string("<table>\n<th scope=\"col\">調整後終値</th>\n") + tail;
    library.Server().Serve([first](const FixtureRequest& request) {
      if (RowOffset(request.target) == 0) return Page(first);
      return Page(SourceBPage(PlainRows(3), NextPage::PlainText));
    });
    RecordList list;
    EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 1225, -6, kTicvaneSourceB), 0);
    EXPECT_EQ(Offsets(library), (std::vector<int>{0, 50}));
    EXPECT_EQ(list.Count(), 3);
  }
}

TEST(HistoryPaging, ServerThatNeverEndsItsTableIsNotAskedForEver) {
  // Every page holds one row and no next-page marker, which SourceB reads as
  // "more to come".
  LibraryFixture library;
  library.Server().Serve([](const FixtureRequest& request) {
    return Page(SourceBPage(PlainRows(1, RowOffset(request.target) / 50), NextPage::None));
  });
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 1000000, -6, kTicvaneSourceB), 0);
  EXPECT_EQ(list.Count(), 200);
}

TEST(HistoryRows, SourceBDaysWithoutTradesAreNotStoredNorCounted) {
  LibraryFixture library;
  std::vector<SiteRow> rows = PlainRows(4);
  rows[1].noTrade = true;
  rows[1].close = "1";
  library.Server().Serve(
      [rows](const FixtureRequest&) { return Page(SourceBPage(rows, NextPage::PlainText)); });
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 3, -6, kTicvaneSourceB), 0);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Records()[0].Day, 24);
  EXPECT_EQ(list.Records()[1].Day, 22);
  EXPECT_EQ(list.Records()[2].Day, 21);
}

TEST(HistoryRows, CellsAreReadAsTheSiteWritesThem) {
  for (int source : {kTicvaneSourceA, kTicvaneSourceB}) {
    SCOPED_TRACE(source);
    LibraryFixture library;
    std::vector<SiteRow> rows = PlainRows(2);
    rows[0] = {"2009年09月24日", "1,234", "-", "---", "1,300", "183,000", "1,300"};
    rows[1].open = "12.5";
    library.Server().Serve(
        [rows, source](const FixtureRequest&) { return Page(LastPage(source, rows)); });
    RecordList list;
    EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 10, -6, source), 0);
    ASSERT_EQ(list.Count(), 2);
    const PastDataRecord r = list.Records()[0];
    EXPECT_EQ(r.Year, 2009);
    EXPECT_EQ(r.Month, 9);
    EXPECT_EQ(r.Day, 24);
    EXPECT_EQ(r.Close, 1300);
    EXPECT_EQ(r.Open, 1234);
    EXPECT_EQ(r.High, 0);
    EXPECT_EQ(r.Low, 0);
    EXPECT_EQ(r.Volume, 183000);
    EXPECT_EQ(list.Records()[1].Open, 0);
  }
}

TEST(HistoryRows, RowsWhoseDateCannotBeADateAreNotStored) {
  for (int source : {kTicvaneSourceA, kTicvaneSourceB}) {
    SCOPED_TRACE(source);
    LibraryFixture library;
    std::vector<SiteRow> rows = PlainRows(4);
    rows[1].date = "2009年13月01日";
    rows[2].date = "2009年02月30日";
    library.Server().Serve(
        [rows, source](const FixtureRequest&) { return Page(LastPage(source, rows)); });
    RecordList list;
    EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 10, -6, source), 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Records()[0].Day, 24);
    EXPECT_EQ(list.Records()[1].Day, 21);
  }
}

TEST(HistoryRows, SourceBDateWithoutZeroPaddingReadsMonthAndDayZero) {
  LibraryFixture library;
  std::vector<SiteRow> rows = PlainRows(2);
  rows[0].date = "2009年9月24日";
  library.Server().Serve(
      [rows](const FixtureRequest&) { return Page(SourceBPage(rows, NextPage::PlainText)); });
  RecordList list;
  // Month and day read 0: in an update that is no newer day, so the download
  // ends there.
  EXPECT_EQ(TicvaneUpdPastData(list.get(), Short("1301"), 10, -6, 20090101, kTicvaneSourceB), 0);
  EXPECT_EQ(list.Count(), 0);
}

TEST(HistoryUpdate, StopsAtTheFirstRowOnOrBeforeNewestStored) {
  for (int source : {kTicvaneSourceA, kTicvaneSourceB}) {
    SCOPED_TRACE(source);
    LibraryFixture library;
    library.Server().Serve([source](const FixtureRequest& request) {
      const int offset = RowOffset(request.target);
      return Page(LinkedPage(source, PlainRows(50, offset)));
    });
    RecordList list;
    // Rows run 24, 23, 22 ... September: the 22nd is already held.
    EXPECT_EQ(TicvaneUpdPastData(list.get(), Short("1301"), 1225, -6, 20090922, source), 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Records()[0].Day, 24);
    EXPECT_EQ(list.Records()[1].Day, 23);
    EXPECT_EQ(Offsets(library), std::vector<int>{0});

    RecordList none;
    EXPECT_EQ(TicvaneUpdPastData(none.get(), Short("1301"), 1225, -6, 20090924, source), 0);
    EXPECT_EQ(none.Count(), 0);

    RecordList capped;
    EXPECT_EQ(TicvaneUpdPastData(capped.get(), Short("1301"), 2, -6, 20080101, source), 0);
    EXPECT_EQ(capped.Count(), 2);
  }
}

TEST(HistoryUpdate, SourceBDayWithoutTradesDoesNotEndTheUpdate) {
  LibraryFixture library;
  std::vector<SiteRow> rows = PlainRows(4);
  rows[0].noTrade = true;
  rows[0].date = "2009年09月01日";  // older than the stored day, but not read
  library.Server().Serve(
      [rows](const FixtureRequest&) { return Page(SourceBPage(rows, NextPage::PlainText)); });
  RecordList list;
  EXPECT_EQ(TicvaneUpdPastData(list.get(), Short("1301"), 1225, -6, 20090921, kTicvaneSourceB), 0);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Records()[0].Day, 23);
  EXPECT_EQ(list.Records()[1].Day, 22);
}

// Days of a list, as year * 10000 + month * 100 + day.
std::vector<int> Dates(const RecordList& list) {
  std::vector<int> dates;
  for (const PastDataRecord& r : list.Records())
    dates.push_back(r.Year * 10000 + r.Month * 100 + r.Day);
  return dates;
}

// Dates of PlainRows from index `first` on, `count` of them.
std::vector<int> PlainDates(int count, int first = 0) {
  std::vector<int> dates;
  for (const SiteRow& row : PlainRows(count, first)) {
    dates.push_back(std::stoi(row.date.substr(0, 4)) * 10000 +
                    std::stoi(row.date.substr(7, 2)) * 100 + std::stoi(row.date.substr(12, 2)));
  }
  return dates;
}

TEST(HistoryOrder, ASiteThatRepeatsItselfEndsTheDownloadWithEachDayOnce) {
  struct Case {
    const char* what;
    // The rows served for a row offset.
    std::vector<SiteRow> (*rows)(int offset);
    std::vector<int> expected;
  };
  const Case cases[] = {
      // The offset is ignored: every page holds the same ten rows.
      {"same page for every offset", [](int) { return PlainRows(10); }, PlainDates(10)},
      // The second page starts five rows too early.
      {"later page repeats the end of the one before",
       [](int offset) { return PlainRows(50, offset == 0 ? 0 : offset - 5); }, PlainDates(50)},
      // 24, 23, 22 September, then the 23rd again and older days.
      {"dates rise again on a page",
       [](int) {
         std::vector<SiteRow> rows = PlainRows(3);
         for (const SiteRow& row : PlainRows(5, 1)) rows.push_back(row);
         return rows;
       },
       PlainDates(3)},
  };
  for (int source : {kTicvaneSourceA, kTicvaneSourceB}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(source) + ": " + c.what);
      LibraryFixture library;
      const auto rowsOf = c.rows;
      library.Server().Serve([source, rowsOf](const FixtureRequest& request) {
        return Page(LinkedPage(source, rowsOf(RowOffset(request.target))));
      });
      RecordList list;
      EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 1225, -6, source), 0);
      EXPECT_EQ(Dates(list), c.expected);

      // An update over a history older than every row served meets the same.
      RecordList update;
      EXPECT_EQ(TicvaneUpdPastData(update.get(), Short("1301"), 1225, -6, 20000101, source), 0);
      EXPECT_EQ(Dates(update), c.expected);
    }
  }
}

TEST(HistoryOrder, DaysAfterTodayArePassedOver) {
  // Today is 24 September 2009.
  for (int source : {kTicvaneSourceA, kTicvaneSourceB}) {
    SCOPED_TRACE(source);
    LibraryFixture library;
    std::vector<SiteRow> rows = PlainRows(4);
    SiteRow future = rows[0];
    future.date = "2099年12月31日";
    SiteRow tomorrow = rows[0];
    tomorrow.date = "2009年09月25日";
    rows.insert(rows.begin(), future);
    rows.insert(rows.begin() + 2, tomorrow);  // between today and the 23rd
    library.Server().Serve(
        [source, rows](const FixtureRequest&) { return Page(LastPage(source, rows)); });
    RecordList list;
    EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 1225, -6, source), 0);
    EXPECT_EQ(Dates(list), PlainDates(4));

    RecordList update;
    EXPECT_EQ(TicvaneUpdPastData(update.get(), Short("1301"), 1225, -6, 20090922, source), 0);
    EXPECT_EQ(Dates(update), PlainDates(2));

    // Nothing but a future day: no history at all, and no day counted toward
    // maxCount.
    RecordList one;
    EXPECT_EQ(TicvaneGetPastData(one.get(), Short("1301"), 1, -6, source), 0);
    EXPECT_EQ(Dates(one), PlainDates(1));
  }
}

TEST(SplitAdjustment, WholeRatioOfTheTwoCloses) {
  struct Case {
    HistoryRow row;
    PastDataRecord expected;
  };
  const Case cases[] = {
      // A below C: divided by the whole ratio.
      {{2009, 9, 24, 1000, 980, 1010, 970, 5000, 500}, {2009, 9, 24, 500, 490, 505, 485, 5000}},
      {{2009, 9, 24, 1000, 980, 1010, 970, 5000, 400}, {2009, 9, 24, 400, 490, 505, 485, 5000}},
      // A above C: multiplied.
      {{2009, 9, 24, 250, 240, 260, 230, 7, 1000}, {2009, 9, 24, 1000, 960, 1040, 920, 7}},
      // A ratio below 2 leaves the prices as read.
      {{2009, 9, 24, 1000, 980, 1010, 970, 5000, 990}, {2009, 9, 24, 990, 980, 1010, 970, 5000}},
      {{2009, 9, 24, 1000, 980, 1010, 970, 5000, 1000}, {2009, 9, 24, 1000, 980, 1010, 970, 5000}},
      // Either close unreadable: stored as read, never a division by zero.
      {{2009, 9, 24, 0, 980, 1010, 970, 5000, 1000}, {2009, 9, 24, 1000, 980, 1010, 970, 5000}},
      {{2009, 9, 24, 1000, 980, 1010, 970, 5000, 0}, {2009, 9, 24, 1000, 980, 1010, 970, 5000}},
      // Products stay within 32 bits.
      {{2009, 9, 24, 1, 2000000000, 2000000000, 3, 1, 1000},
       {2009, 9, 24, 1000, 2147483647, 2147483647, 3000, 1}},
  };
  for (const Case& c : cases) {
    const PastDataRecord r = AdjustForSplit(c.row);
    SCOPED_TRACE(::testing::PrintToString(c.row.close) + " / " +
                 ::testing::PrintToString(c.row.adjustedClose));
    EXPECT_EQ(r.Close, c.expected.Close);
    EXPECT_EQ(r.Open, c.expected.Open);
    EXPECT_EQ(r.High, c.expected.High);
    EXPECT_EQ(r.Low, c.expected.Low);
    EXPECT_EQ(r.Volume, c.expected.Volume);
  }
}

TEST(SplitAdjustment, AppliedToDownloadedRows) {
  LibraryFixture library;
  std::vector<SiteRow> rows = PlainRows(1);
  rows[0] = {"2009年09月24日", "980", "1010", "970", "1000", "5000", "500"};
  library.Server().Serve(
      [rows](const FixtureRequest&) { return Page(SourceAPage(rows, NextPage::None)); });
  RecordList list;
  EXPECT_EQ(TicvaneGetPastData(list.get(), Short("1301"), 10, -6, kTicvaneSourceA), 0);
  ASSERT_EQ(list.Count(), 1);
  const PastDataRecord r = list.Records()[0];
  EXPECT_EQ(r.Close, 500);
  EXPECT_EQ(r.Open, 490);
  EXPECT_EQ(r.High, 505);
  EXPECT_EQ(r.Low, 485);
  EXPECT_EQ(r.Volume, 5000);
}

}  // namespace
}  // namespace ticvane::test
