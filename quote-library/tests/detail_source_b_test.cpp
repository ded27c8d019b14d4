// SourceB's detail page and its four page readers. The readers run on pages
// written here from the markers they look for, with the library left as
// TicvaneGetCodeData leaves it; the detail routine runs against a fixture
// server that sends one page in each of the encodings the site may use.

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "library_fixture.h"
#include "library_state.h"

namespace ticvane::test {
namespace {

using http::testing::FixtureResponse;

constexpr char kHeaderStart[] = "<!-- 銘柄ヘッダ -->";

void SelectSourceB(int cursor) { SelectSource(kTicvaneSourceB, cursor); }

// --- Code information ---------------------------------------------------

const Lines kBodyStart = {kHeaderStart};

Lines CodeBlock(const std::string& marketLine = "\t\t東証1部&nbsp;|&nbsp;電気機器") {
  return {"<div class=\"stock_header\">",
          "<h2 class=\"dname\">ソニー(株)</h2>",
          "<p class=\"market\">&lt;",
          marketLine,
          "&gt;</p>",
          "</div>",
          "<!-- /銘柄ヘッダ -->"};
}

// The margin table: one row per figure line given.
Lines MarginTable(const Lines& valueLines) {
  static const char* const kLabels[] = {"信用買残", "信用売残", "貸借倍率"};
  Lines lines = {"<!-- 信用取引情報詳細 -->", "<table>", "<tbody>"};
  for (size_t i = 0; i < valueLines.size(); ++i) {
    lines.push_back("<tr>");
    lines.push_back(std::string("<th scope=\"row\">") + kLabels[i % 3] + "</th>");
    lines.push_back(valueLines[i]);
    lines.push_back("</tr>");
  }
  lines.push_back("</tbody>");
  return lines;
}

struct CodeInfo {
  bool ok;
  std::string name;
  std::string market;
  int32_t sector;
  uint8_t loan;
};

constexpr int32_t kSectorUnset = -1;
constexpr uint8_t kLoanUnset = 7;

CodeInfo ReadCodeInfo(const Lines& lines, bool withSector = true, bool withLoan = true) {
  vcl::TStringList page = PageOf(lines);
  SelectSourceB(0);
  ShortText name = Short("old");
  ShortText market = Short("old");
  int32_t sector = kSectorUnset;
  uint8_t loan = kLoanUnset;
  const bool ok = TicvaneGetCodeInfo(&page, &name, &market, withSector ? &sector : nullptr,
                                     withLoan ? &loan : nullptr);
  return {ok, FromShort(name), FromShort(market), sector, loan};
}

CodeInfo ReadMarketLine(const std::string& marketLine) {
  return ReadCodeInfo(Join({kBodyStart, CodeBlock(marketLine)}), true, false);
}

TEST(SourceBCodeInfo, ReadsNameMarketSectorAndMarginLoan) {
  const CodeInfo info = ReadCodeInfo(Join(
      {kBodyStart, CodeBlock(), MarginTable({"<td>12,300</td>", "<td>0</td>", "<td>0</td>"})}));
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.name, "\x83\x5c\x83\x6a\x81\x5b(\x8a\x94)");  // ソニー(株)
  EXPECT_EQ(info.market,
            "\x93\x8c\x8f\xd8"
            "1\x95\x94");  // 東証1部
  EXPECT_EQ(info.sector, 16);
  EXPECT_EQ(info.loan, 1);
}

TEST(SourceBCodeInfo, RenamesMarkets) {
  struct Case {
    std::string read;
    std::string expected;
  };
  const Case cases[] = {
      {"東証マザーズ", "\x83\x7d\x83\x55\x81\x5b\x83\x59"},                    // マザーズ
      {"ヘラクレススタンダード", "\x83\x77\x83\x89\x83\x4e\x83\x8c\x83\x58"},  // ヘラクレス
      {"ヘラクレスグロース", "\x83\x77\x83\x89\x83\x4e\x83\x8c\x83\x58"},      // ヘラクレス
      {"名古屋証1部",
       "\x96\xbc\x8f\xd8"
       "1\x95\x94"},  // 名証1部
      {"名古屋証2部",
       "\x96\xbc\x8f\xd8"
       "2\x95\x94"},              // 名証2部
      {"名古屋証セントレックス",  // 名証セントレックス
       "\x96\xbc\x8f\xd8\x83\x5a\x83\x93\x83\x67\x83\x8c\x83\x62\x83\x4e\x83\x58"},
      {"札幌証", "\x8e\x44\x8f\xd8"},  // 札証
      {"札幌証アンビシャス",           // 札証アンビシャス
       "\x8e\x44\x8f\xd8\x83\x41\x83\x93\x83\x72\x83\x56\x83\x83\x83\x58"},
      {"福岡証", "\x95\x9f\x8f\xd8"},                      // 福証
      {"福岡証Qボード", "\x95\x9f\x8f\xd8Q-Board"},        // 福証Q-Board
      {"大証外国部", "\x91\xe5\x8f\xd8\x8a\x4f\x8d\x91"},  // 大証外国
      {"東証1部",
       "\x93\x8c\x8f\xd8"
       "1\x95\x94"},  // unchanged
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.read);
    const CodeInfo info = ReadMarketLine("\t\t" + c.read + "&nbsp;|&nbsp;銀行業");
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.market, c.expected);
  }
}

TEST(SourceBCodeInfo, TrimsTheMarketLineAndCutsItAtTheParenthesis) {
  struct Case {
    std::string line;
    std::string market;
  };
  const Case cases[] = {
      {"\t\t名古屋証2部(",
       "\x96\xbc\x8f\xd8"
       "2\x95\x94"},  // 名証2部
      {" \t\x01\x1f東証1部&nbsp;",
       "\x93\x8c\x8f\xd8"
       "1\x95\x94"},
      // "(" ends the market even when "&" comes first.
      {"\t東証1部&nbsp;(x)",
       "\x93\x8c\x8f\xd8"
       "1\x95\x94"
       "&nbsp;"},
      // An ideographic space is no blank: it stays, and no rename matches.
      {"　東証マザーズ&nbsp;",
       "\x81\x40\x93\x8c\x8f\xd8\x83\x7d\x83\x55\x81\x5b\x83\x59"},  // 　東証マザーズ
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const CodeInfo info = ReadMarketLine(c.line);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.market, c.market);
  }
}

TEST(SourceBCodeInfo, NumbersSectorsFromTheTextAfterTheFirstSemicolon) {
  struct Case {
    std::string line;
    int32_t sector;
  };
  const Case cases[] = {
      {"\t東証1部&nbsp;|&nbsp;商品先物取引業", 29},
      {"\t東証1部&nbsp;|&nbsp;証券業", 29},
      {"\t東証1部&nbsp;|&nbsp;電気機器", 16},
      {"\t東証1部&nbsp;|&nbsp;その他製品", 19},
      {"\t東証1部&nbsp;|&nbsp;サービス業", 33},
      {"\t東証1部&nbsp;|&nbsp;ＥＴＦ", 0},
      // Without a semicolon the whole line is searched.
      {"\t東証1部(小売業)", 27},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const CodeInfo info = ReadMarketLine(c.line);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.sector, c.sector);
  }
}

TEST(SourceBCodeInfo, TheEndOfTheCodeBlockEndsTheNameAndMarketSearches) {
  Lines nameAfterEnd = {kHeaderStart, "<!-- /銘柄ヘッダ -->", "<h2 class=\"dname\">ソニー(株)</h2>",
                        "&lt;", "\t東証1部&nbsp;"};
  Lines marketAfterEnd = {kHeaderStart, "<h2 class=\"dname\">ソニー(株)</h2>",
                          "<!-- /銘柄ヘッダ -->", "&lt;", "\t東証1部&nbsp;"};
  for (const Lines& lines : {nameAfterEnd, marketAfterEnd}) {
    const CodeInfo info = ReadCodeInfo(lines, false, false);
    EXPECT_FALSE(info.ok);
    EXPECT_EQ(info.name, "old");
  }
}

TEST(SourceBCodeInfo, MarginLoanFlag) {
  struct Case {
    Lines values;
    bool ok;
    uint8_t loan;
  };
  const Case cases[] = {
      {{"<td>0</td>", "<td>0</td>", "<td>0</td>"}, true, 0},
      {{"<td>0</td>", "<td>12,300</td>", "<td>0</td>"}, true, 1},
      {{"<td>0</td>", "<td>0</td>", "<td>0.00</td>"}, true, 1},
      // The first figure that is not zero ends the loop.
      {{"<td>5</td>"}, true, 1},
      // Two rows only: false, with the flag already cleared.
      {{"<td>0</td>", "<td>0</td>"}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.values));
    const CodeInfo info = ReadCodeInfo(Join({kBodyStart, CodeBlock(), MarginTable(c.values)}));
    EXPECT_EQ(info.ok, c.ok);
    EXPECT_EQ(info.loan, c.loan);
    EXPECT_EQ(info.sector, 16);  // written whatever the result
    EXPECT_EQ(info.market, c.ok ? "\x93\x8c\x8f\xd8"
                                  "1\x95\x94"
                                : "old");
  }
}

TEST(SourceBCodeInfo, FalseWhenANeededLineIsPastThePageEnd) {
  const Lines cases[] = {
      // "&lt;" on the last line: no market line.
      {kHeaderStart, "<h2 class=\"dname\">ソニー(株)</h2>", "<p>&lt;"},
      // A row header on the last line: no value line.
      Join({kBodyStart,
            CodeBlock(),
            {"<!-- 信用取引情報詳細 -->", "<tbody>", "<th scope=\"row\">信用買残</th>"}}),
      // No "<tbody>" after the margin marker.
      Join({kBodyStart, CodeBlock(), {"<!-- 信用取引情報詳細 -->", "<table>"}}),
  };
  for (const Lines& lines : cases) {
    SCOPED_TRACE(lines.back());
    const CodeInfo info = ReadCodeInfo(lines);
    EXPECT_FALSE(info.ok);
    EXPECT_EQ(info.name, "old");
    EXPECT_EQ(info.market, "old");
  }
}

TEST(SourceBCodeInfo, NullSectorAndLoanReadOnlyNameAndMarket) {
  const CodeInfo info = ReadCodeInfo(Join({kBodyStart, CodeBlock()}), false, false);
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.market,
            "\x93\x8c\x8f\xd8"
            "1\x95\x94");
  EXPECT_EQ(info.sector, kSectorUnset);
  EXPECT_EQ(info.loan, kLoanUnset);
}

// --- Price time, trading unit, last prices ---------------------------------

Lines PriceBlock(const std::string& stamp = "09/24 15:00", const std::string& unit = "1,000") {
  return {
      "<!-- 株価詳細 -->",
      "<dl class=\"price\">",
      "<dt>現在値</dt>",
      "<dd class=\"now-price\">1,234</dd>",
      "<dd class=\"time\">(" + stamp + ")</dd>",
      "<dt>高値</dt>",
      "<dd class=\"high\">1,250</dd>",
      "<dt>安値</dt>",
      "<dd class=\"low\">1,190</dd>",
      "<dt>始値</dt>",
      "<dd class=\"open\">1,200</dd>",
      "<dt>単元株数</dt>",
      "<dd>" + unit + "株</dd>",
      "</dl>",
  };
}

class TodayFixed : public ::testing::Test {
 protected:
  ~TodayFixed() override { testing::SetToday({}); }
  static void SetToday(int year, int month, int day) {
    testing::SetToday([=] { return CalendarDate{year, month, day}; });
  }
};

struct TimeRead {
  bool ok;
  std::string text;
};

TimeRead ReadTime(const Lines& lines) {
  vcl::TStringList page = PageOf(lines);
  SelectSourceB(0);
  ShortText text = Short("old");
  const bool ok = TicvaneGetDateTime(&page, &text);
  return {ok, FromShort(text)};
}

using SourceBDateTime = TodayFixed;

TEST_F(SourceBDateTime, TimeOfTodayDateOfAnyOtherDay) {
  struct Case {
    std::string stamp;
    CalendarDate today;
    std::string expected;
  };
  const Case cases[] = {
      {"09/05 15:00", {2009, 9, 5}, "15:00"},
      {"09/05 15:00", {2009, 9, 6}, "9/5"},
      {"09/05 15:00", {2009, 5, 9}, "9/5"},
      {"09/05 15:00", {2010, 9, 5}, "15:00"},  // the year is not written
      {"09/05 09:05", {2009, 9, 5}, "9:05"},
      {"10/01 15:00", {2009, 10, 2}, "10/1"},
      {"12/24 10:30", {2009, 12, 24}, "10:30"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stamp + " on " + std::to_string(c.today.month) + "/" +
                 std::to_string(c.today.day));
    SetToday(c.today.year, c.today.month, c.today.day);
    const TimeRead read = ReadTime(Join({kBodyStart, PriceBlock(c.stamp)}));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.text, c.expected);
  }
}

TEST_F(SourceBDateTime, FalseWhenTheTimeLineIsPastThePageEnd) {
  SetToday(2009, 9, 24);
  const TimeRead read =
      ReadTime({kHeaderStart, "<!-- 株価詳細 -->", "<dt>現在値</dt>", "<dd>1,234</dd>"});
  EXPECT_FALSE(read.ok);
  EXPECT_EQ(read.text, "old");
}

struct UnitRead {
  bool ok;
  int32_t unit;
};

constexpr int32_t kUnitUnset = -5;

UnitRead ReadUnit(const Lines& lines) {
  vcl::TStringList page = PageOf(lines);
  SelectSourceB(0);
  int32_t unit = kUnitUnset;
  const bool ok = TicvaneGetCodeUnit(&page, &unit);
  return {ok, unit};
}

TEST(SourceBCodeUnit, ReadsTheUnitOnTheLineAfterItsLabel) {
  struct Case {
    std::string text;
    int32_t unit;
  };
  const Case cases[] = {{"100", 100}, {"1,000", 1000}, {"---", 1}, {"", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const UnitRead read = ReadUnit(Join({kBodyStart, PriceBlock("09/24 15:00", c.text)}));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.unit, c.unit);
  }
}

TEST(SourceBCodeUnit, FalseWithoutThePriceBlockOrTheValueLine) {
  const Lines cases[] = {
      {kHeaderStart, "<dt>単元株数</dt>", "<dd>100株</dd>"},
      {kHeaderStart, "<!-- 株価詳細 -->", "<dt>単元株数</dt>"},
  };
  for (const Lines& lines : cases) {
    const UnitRead read = ReadUnit(lines);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.unit, kUnitUnset);
  }
}

struct LastPrices {
  bool ok;
  std::string current, open, high, low;
};

LastPrices ReadLastPrices(const Lines& lines) {
  vcl::TStringList page = PageOf(lines);
  SelectSourceB(0);
  ShortText current = Short("old"), open = Short("old"), high = Short("old"), low = Short("old");
  const bool ok = TicvaneGetLastData(&page, &current, &open, &high, &low);
  return {ok, FromShort(current), FromShort(open), FromShort(high), FromShort(low)};
}

TEST(SourceBLastData, ReadsTheFourPricesWithoutCommas) {
  const LastPrices prices = ReadLastPrices(Join({kBodyStart, PriceBlock()}));
  ASSERT_TRUE(prices.ok);
  EXPECT_EQ(prices.current, "1234");
  EXPECT_EQ(prices.open, "1200");
  EXPECT_EQ(prices.high, "1250");
  EXPECT_EQ(prices.low, "1190");
}

TEST(SourceBLastData, FalseWhenALabelOrAValueLineIsMissing) {
  Lines noOpen = Join({kBodyStart, PriceBlock()});
  noOpen.erase(noOpen.begin() + 10);  // the opening price's label
  const Lines cases[] = {
      noOpen,
      // The high price's label on the last line: its value line is missing.
      {kHeaderStart, "<!-- 株価詳細 -->", "<dt>現在値</dt>", "<dd class=\"now-price\">1,234</dd>",
       "<dd>(09/24 15:00)</dd>", "<dt>高値</dt>"},
  };
  for (const Lines& lines : cases) {
    const LastPrices prices = ReadLastPrices(lines);
    EXPECT_FALSE(prices.ok);
    EXPECT_EQ(prices.current, "old");
    EXPECT_EQ(prices.open, "old");
    EXPECT_EQ(prices.high, "old");
    EXPECT_EQ(prices.low, "old");
  }
}

Lines FullPage(bool withBodyMarker = true) {
  Lines head = {"<!DOCTYPE html>",
                "<html lang=\"ja\">",
                "<head>",
                "<meta http-equiv=\"Content-Type\" content=\"text/html\">",
                "<title>株価 : ソニー(株)【6758】 - Infoseek マネー</title>",
                "</head>",
                "<body>"};
  if (withBodyMarker) head.push_back(kHeaderStart);
  return Join({head,
               CodeBlock(),
               PriceBlock(),
               MarginTable({"<td>0</td>", "<td>0</td>", "<td>0</td>"}),
               {"</body>", "</html>"}});
}

TEST(SourceBReaders, AllFalseWhenThePageHadNoBodyMarker) {
  vcl::TStringList page = PageOf(FullPage(false));
  SelectSourceB(page.GetCount());
  ShortText a = Short("old"), b = Short("old"), c = Short("old"), d = Short("old");
  int32_t sector = kSectorUnset;
  uint8_t loan = kLoanUnset;
  int32_t unit = kUnitUnset;
  EXPECT_FALSE(TicvaneGetCodeInfo(&page, &a, &b, &sector, &loan));
  EXPECT_FALSE(TicvaneGetDateTime(&page, &a));
  EXPECT_FALSE(TicvaneGetCodeUnit(&page, &unit));
  EXPECT_FALSE(TicvaneGetLastData(&page, &a, &b, &c, &d));
  EXPECT_EQ(FromShort(a), "old");
  EXPECT_EQ(sector, kSectorUnset);
  EXPECT_EQ(loan, kLoanUnset);
  EXPECT_EQ(unit, kUnitUnset);
}

// --- Detail page ------------------------------------------------------------

std::string PageText(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

FixtureResponse Response(std::string body) {
  FixtureResponse response;
  response.headers = {{"Content-Type", "text/html"}};
  response.body = std::move(body);
  return response;
}

constexpr char kDetailTarget[] = "/MnStock/6758/sresult/";

TEST(SourceBDetailPage, GivesTheSamePageInEveryEncoding) {
  const std::string text = PageText(FullPage());
  const std::string bodies[] = {Cp932(text), Encoded(text, "EUC-JP"), text};
  for (const std::string& body : bodies) {
    LibraryFixture library;
    library.Server().Route(kDetailTarget, Response(body));
    State().pageCursor = 99;
    State().currentSource = kTicvaneSourceA;
    vcl::TStringList page;
    ASSERT_EQ(TicvaneGetCodeData(Short("6758"), &page, kTicvaneSourceB), kTicvaneOk);
    EXPECT_EQ(State().currentSource, kTicvaneSourceB);
    EXPECT_EQ(State().pageCursor, 7);
    ASSERT_EQ(library.Server().Requests().size(), 1u);
    EXPECT_EQ(library.Server().Requests()[0].host, "money.infoseek.co.jp");
    ASSERT_EQ(page.GetCount(), static_cast<int>(FullPage().size()));
    // <title>株価 : ソニー(株)【6758】 - Infoseek マネー</title>
    EXPECT_EQ(page.Get(4),
              "<title>\x8a\x94\x89\xbf : \x83\x5c\x83\x6a\x81\x5b(\x8a\x94)\x81\x79"
              "6758\x81\x7a"
              " - Infoseek \x83\x7d\x83\x6c\x81\x5b</title>");

    ShortText name{}, market{};
    int32_t sector = kSectorUnset;
    uint8_t loan = kLoanUnset;
    ASSERT_TRUE(TicvaneGetCodeInfo(&page, &name, &market, &sector, &loan));
    EXPECT_EQ(FromShort(name), "\x83\x5c\x83\x6a\x81\x5b(\x8a\x94)");
    EXPECT_EQ(FromShort(market),
              "\x93\x8c\x8f\xd8"
              "1\x95\x94");
    EXPECT_EQ(sector, 16);
    EXPECT_EQ(loan, 0);
    int32_t unit = kUnitUnset;
    ASSERT_TRUE(TicvaneGetCodeUnit(&page, &unit));
    EXPECT_EQ(unit, 1000);
    ShortText time{};
    ASSERT_TRUE(TicvaneGetDateTime(&page, &time));  // the fixture's today is 24 September
    EXPECT_EQ(FromShort(time), "15:00");
  }
}

TEST(SourceBDetailPage, ShortAndNotFoundPagesFailAndKeepTheCursor) {
  const std::string cases[] = {
      PageText({"<html>", "<head>", "<title>x</title>", kHeaderStart}),
      PageText({"<!DOCTYPE html>", "<html>", "<head>", "<meta charset=\"Shift_JIS\">",
                "<title>株価 :　-　Infoseek マネー</title>", "</head>", kHeaderStart}),
  };
  for (const std::string& text : cases) {
    LibraryFixture library;
    library.Server().Route(kDetailTarget, Response(Cp932(text)));
    State().pageCursor = 42;
    vcl::TStringList page;
    EXPECT_EQ(TicvaneGetCodeData(Short("6758"), &page, kTicvaneSourceB), kTicvaneFailed);
    EXPECT_EQ(State().pageCursor, 42);
    EXPECT_GT(page.GetCount(), 0);
  }
}

TEST(SourceBDetailPage, ATitleWithPlainSpacesIsNoNotFoundPage) {
  LibraryFixture library;
  library.Server().Route(kDetailTarget,
                         Response(Cp932(PageText({"a", "b", "c", kHeaderStart,
                                                  "<title>株価 : - Infoseek マネー</title>"}))));
  vcl::TStringList page;
  EXPECT_EQ(TicvaneGetCodeData(Short("6758"), &page, kTicvaneSourceB), kTicvaneOk);
  EXPECT_EQ(State().pageCursor, 3);
}

TEST(SourceBDetailPage, WithoutTheBodyMarkerTheCursorIsTheLineCount) {
  LibraryFixture library;
  library.Server().Route(kDetailTarget, Response(Cp932(PageText(FullPage(false)))));
  vcl::TStringList page;
  ASSERT_EQ(TicvaneGetCodeData(Short("6758"), &page, kTicvaneSourceB), kTicvaneOk);
  EXPECT_EQ(State().pageCursor, page.GetCount());
  ShortText name{}, market{};
  EXPECT_FALSE(TicvaneGetCodeInfo(&page, &name, &market, nullptr, nullptr));
}

TEST(SourceBDetailPage, AFailedRequestLeavesThePageAsItWas) {
  LibraryFixture library;  // no route: 404
  vcl::TStringList page;
  page.Add("kept");
  State().pageCursor = 42;
  EXPECT_EQ(TicvaneGetCodeData(Short("6758"), &page, kTicvaneSourceB), kTicvaneFailed);
  ASSERT_EQ(library.Server().Requests().size(), 1u);
  EXPECT_EQ(library.Server().Requests()[0].target, kDetailTarget);
  ASSERT_EQ(page.GetCount(), 1);
  EXPECT_EQ(page.Get(0), "kept");
  EXPECT_EQ(State().pageCursor, 42);
}

TEST(SourceBDetailPage, EncodesTheCodeInThePath) {
  LibraryFixture library;
  vcl::TStringList page;
  EXPECT_EQ(TicvaneGetCodeData(Short("67/8?x"), &page, kTicvaneSourceB), kTicvaneFailed);
  ASSERT_EQ(library.Server().Requests().size(), 1u);
  EXPECT_EQ(library.Server().Requests()[0].target, "/MnStock/67%2F8%3Fx/sresult/");
}

}  // namespace
}  // namespace ticvane::test
