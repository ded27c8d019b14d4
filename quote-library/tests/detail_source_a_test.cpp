// SourceA's detail page and its four page readers. The readers run on pages
// written here from the markers they look for, with the library left as
// TicvaneGetCodeData leaves it; the detail routine runs against a fixture
// server that sends its pages in UTF-8.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "library_fixture.h"
#include "library_state.h"

namespace ticvane::test {
namespace {

using http::testing::FixtureResponse;

constexpr char kMainStart[] = "<!--main start-->";

void SelectSourceA(int cursor) { SelectSource(kTicvaneSourceA, cursor); }

// --- Code information ---------------------------------------------------

const Lines kBodyStart = {kMainStart};

Lines NameBlock(const std::string& nameLine = "<h1><strong>【1332】日本水産(株)</strong></h1>") {
  return {"<div class=\"selectFinTitle yjL\">", nameLine, "</div>"};
}

Lines MarketBlock(const Lines& marketLines) {
  Lines lines = {"<div class=\"selectFin marB10 yjSt\">"};
  lines.insert(lines.end(), marketLines.begin(), marketLines.end());
  lines.push_back("</div>");
  return lines;
}

std::string MarketLine(const std::string& market, const std::string& sector = "銀行業") {
  return "<dl><dt>市場：" + market + "</dt><dd>業種：<a href=\"/i/0\">" + sector + "</a></dd></dl>";
}

// The margin figures as the page writes them, each on the line before its
// label; the third one is a ratio.
Lines MarginBlock(const std::vector<std::string>& figures) {
  static const char* const kLabels[] = {"信用売残", "信用買残", "信用倍率"};
  Lines lines = {"<!--信用取引情報-->"};
  for (size_t i = 0; i < figures.size(); ++i) {
    lines.push_back("<dd><strong>" + figures[i] +
                    (i == 2 ? "</strong>倍</dd>" : "</strong>株</dd>"));
    lines.push_back(std::string("<dt class=\"title\">") + kLabels[i % 3] + "</dt>");
  }
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
  SelectSourceA(0);
  ShortText name = Short("old");
  ShortText market = Short("old");
  int32_t sector = kSectorUnset;
  uint8_t loan = kLoanUnset;
  const bool ok = TicvaneGetCodeInfo(&page, &name, &market, withSector ? &sector : nullptr,
                                     withLoan ? &loan : nullptr);
  return {ok, FromShort(name), FromShort(market), sector, loan};
}

TEST(SourceACodeInfo, ReadsNameMarketSectorAndMarginLoan) {
  const CodeInfo info = ReadCodeInfo(
      Join({kBodyStart, NameBlock(), MarketBlock({MarketLine("東証1部", "水産・農林業")}),
            MarginBlock({"12,300", "45,600", "3.71"})}));
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.name, "\x93\xfa\x96\x7b\x90\x85\x8e\x59(\x8a\x94)");  // 日本水産(株)
  EXPECT_EQ(info.market,
            "\x93\x8c\x8f\xd8"
            "1\x95\x94");  // 東証1部
  EXPECT_EQ(info.sector, 1);
  EXPECT_EQ(info.loan, 1);
}

TEST(SourceACodeInfo, RenamesMarkets) {
  struct Case {
    std::string read;
    std::string expected;
  };
  const Case cases[] = {
      {"NEO", "JASDAQ NEO"},
      {"名古屋セ",  // 名証セントレックス
       "\x96\xbc\x8f\xd8\x83\x5a\x83\x93\x83\x67\x83\x8c\x83\x62\x83\x4e\x83\x58"},
      {"札幌ア",
       "\x8e\x44\x8f\xd8\x83\x41\x83\x93\x83\x72\x83\x56\x83\x83\x83\x58"},  // 札証アンビシャス
      {"福岡Ｑ", "\x95\x9f\x8f\xd8Q-Board"},                                 // 福証Q-Board
      {"東証外国部", "\x93\x8c\x8f\xd8\x8a\x4f\x8d\x91"},                    // 東証外国
      {"東証外国部外国部", "\x93\x8c\x8f\xd8\x8a\x4f\x8d\x91\x8a\x4f\x8d\x91"},  // 東証外国外国
      {"東証1部",
       "\x93\x8c\x8f\xd8"
       "1\x95\x94"},  // unchanged
      // Only the whole text is renamed.
      {"名古屋セントレックス",
       "\x96\xbc\x8c\xc3\x89\xae\x83\x5a\x83\x93\x83\x67\x83\x8c\x83\x62\x83\x4e\x83\x58"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.read);
    const CodeInfo info = ReadCodeInfo(
        Join({kBodyStart, NameBlock(), MarketBlock({MarketLine(c.read)})}), true, false);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.market, c.expected);
  }
}

TEST(SourceACodeInfo, NumbersSectorsByTheFirstRowThatMatches) {
  struct Case {
    std::string text;
    int32_t sector;
  };
  const Case cases[] = {
      {"水産・農林業", 1},   {"パルプ・紙", 6},    {"ガラス・土石製品", 11}, {"電気機器", 16},
      {"輸送用機器", 17},    {"精密機器", 18},     {"その他製品", 19},       {"電気・ガス業", 20},
      {"証券業", 29},        {"その他金融業", 31}, {"サービス業", 33},       {"ＥＴＦ", 0},
      {"商品先物取引業", 0},  // a word of the other site only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const CodeInfo info = ReadCodeInfo(
        Join({kBodyStart, NameBlock(), MarketBlock({MarketLine("東証1部", c.text)})}), true, false);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.sector, c.sector);
  }
}

TEST(SourceACodeInfo, MarketTextMayStartOnTheNextLine) {
  const CodeInfo sameLine = ReadCodeInfo(
      Join({kBodyStart, NameBlock(),
            MarketBlock({"<dt>市場：</dt>",
                         "<dd class=\"m\">東証2部</dd><dd>業種：<a href=\"/i/0\">陸運業</a></dd>"}),
            MarginBlock({"0", "0", "0"})}));
  ASSERT_TRUE(sameLine.ok);
  EXPECT_EQ(sameLine.market,
            "\x93\x8c\x8f\xd8"
            "2\x95\x94");  // 東証2部
  EXPECT_EQ(sameLine.sector, 21);
  EXPECT_EQ(sameLine.loan, 0);

  // That next line is the market line from then on, so the sector is looked
  // for on the line after it.
  const CodeInfo nextLine =
      ReadCodeInfo(Join({kBodyStart, NameBlock(),
                         MarketBlock({"<dt>市場：</dt>", "<dd class=\"m\">東証2部</dd>",
                                      "<dd>業種：<a href=\"/i/0\">陸運業</a></dd>"}),
                         MarginBlock({"0", "0", "0"})}));
  ASSERT_TRUE(nextLine.ok);
  EXPECT_EQ(nextLine.market,
            "\x93\x8c\x8f\xd8"
            "2\x95\x94");
  EXPECT_EQ(nextLine.sector, 21);
}

TEST(SourceACodeInfo, SectorOnNeitherLineIsZeroAndBothLinesCountAsRead) {
  // The margin marker right after the market line is read as the sector's
  // second line, so the margin search starts after it and finds no marker.
  const Lines lines = Join({kBodyStart,
                            NameBlock(),
                            {"<div class=\"selectFin marB10 yjSt\">", "<dt>市場：東証1部</dt>"},
                            MarginBlock({"0", "0", "0"})});
  const CodeInfo withSector = ReadCodeInfo(lines);
  EXPECT_FALSE(withSector.ok);
  EXPECT_EQ(withSector.sector, 0);
  EXPECT_EQ(withSector.loan, kLoanUnset);
  EXPECT_EQ(withSector.name, "old");
  EXPECT_EQ(withSector.market, "old");

  const CodeInfo withoutSector = ReadCodeInfo(lines, false, true);
  ASSERT_TRUE(withoutSector.ok);
  EXPECT_EQ(withoutSector.sector, kSectorUnset);
  EXPECT_EQ(withoutSector.loan, 0);
}

TEST(SourceACodeInfo, MarginLoanFlag) {
  struct Case {
    std::vector<std::string> figures;
    bool ok;
    uint8_t loan;
  };
  const Case cases[] = {
      {{"0", "0.00", "0"}, true, 0},
      {{"0", "12", "0.00"}, true, 1},
      {{"0", "0", "0.01"}, true, 1},
      // The first figure that is not zero ends the loop: no more are needed.
      {{"1,200"}, true, 1},
      // Two figures only: false, with the flag already cleared.
      {{"0", "0.00"}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.figures));
    const CodeInfo info = ReadCodeInfo(Join(
        {kBodyStart, NameBlock(), MarketBlock({MarketLine("東証1部")}), MarginBlock(c.figures)}));
    EXPECT_EQ(info.ok, c.ok);
    EXPECT_EQ(info.loan, c.loan);
    EXPECT_EQ(info.sector, 28);  // written whatever the result
    EXPECT_EQ(info.name, c.ok ? "\x93\xfa\x96\x7b\x90\x85\x8e\x59(\x8a\x94)" : "old");
  }
}

TEST(SourceACodeInfo, MarginSearchNeedsTheMarkerAndTheSoldLabel) {
  Lines noSoldLabel = Join({kBodyStart,
                            NameBlock(),
                            MarketBlock({MarketLine("東証1部")}),
                            {"<!--信用取引情報-->", "<dd><strong>0</strong>株</dd>"}});
  const CodeInfo info = ReadCodeInfo(noSoldLabel);
  EXPECT_FALSE(info.ok);
  EXPECT_EQ(info.loan, kLoanUnset);  // cleared only once the label is found
}

TEST(SourceACodeInfo, NullSectorAndLoanReadOnlyNameAndMarket) {
  const CodeInfo info = ReadCodeInfo(
      Join({kBodyStart, NameBlock(), MarketBlock({MarketLine("東証1部")})}), false, false);
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.market,
            "\x93\x8c\x8f\xd8"
            "1\x95\x94");
  EXPECT_EQ(info.sector, kSectorUnset);
  EXPECT_EQ(info.loan, kLoanUnset);
}

TEST(SourceACodeInfo, OutputsAreCutTo255BytesAndTheRestOfTheBufferIsLeftAlone) {
  const std::string longName(300, 'A');
  vcl::TStringList page =
      PageOf(Join({kBodyStart, NameBlock("<h1><strong>【1332】" + longName + "</strong></h1>"),
                   MarketBlock({MarketLine("NEO")})}));
  SelectSourceA(0);
  ShortText name;
  ShortText market;
  std::memset(&name, 0xEE, sizeof name);
  std::memset(&market, 0xEE, sizeof market);
  ASSERT_TRUE(TicvaneGetCodeInfo(&page, &name, &market, nullptr, nullptr));
  EXPECT_EQ(name.length, 255);
  EXPECT_EQ(FromShort(name), std::string(255, 'A'));
  EXPECT_EQ(FromShort(market), "JASDAQ NEO");
  for (size_t i = 10; i < sizeof market.bytes; ++i) {
    EXPECT_EQ(static_cast<unsigned char>(market.bytes[i]), 0xEE) << i;
  }
}

TEST(SourceACodeInfo, FalseWhenAMarkerOrANeededLineIsMissing) {
  const Lines cases[] = {
      // no title block
      Join({kBodyStart, MarketBlock({MarketLine("東証1部")})}),
      // no market block
      Join({kBodyStart, NameBlock(), {MarketLine("東証1部")}}),
      // market text due on the next line, which is past the page's end
      Join({kBodyStart, NameBlock(), {"<div class=\"selectFin marB10 yjSt\">", "<dt>市場：</dt>"}}),
      // sector due on the line after the market line, past the page's end
      Join({kBodyStart,
            NameBlock(),
            {"<div class=\"selectFin marB10 yjSt\">", "<dt>市場：東証1部</dt>"}}),
  };
  for (const Lines& lines : cases) {
    SCOPED_TRACE(lines.back());
    const CodeInfo info = ReadCodeInfo(lines, true, false);
    EXPECT_FALSE(info.ok);
    EXPECT_EQ(info.name, "old");
    EXPECT_EQ(info.market, "old");
  }
}

// --- Price time, trading unit, last prices ---------------------------------

Lines PriceBlock(const std::string& time, const std::string& previousCloseDate = "09/24") {
  return {
      "<div class=\"priceDetail marB10\">",
      "<dt class=\"title\">現在値<span class=\"time\">（" + time + "）</span></dt>",
      "<dd class=\"price\"><span class=\"yjFL\">1,234</span></dd>",
      "<dd class=\"ymuiEditLink mar0\"><strong>1,180</strong><span class=\"date\">（" +
          previousCloseDate + "）</span></dd>",
      "<dt class=\"title\">前日終値</dt>",
      "<dd><strong>1,200</strong></dd>",
      "<dt class=\"title\">始値</dt>",
      "<dd><strong class=\"yjMS\">1,250</strong></dd>",
      "<dt class=\"title\">高値</dt>",
      "<dd><strong class=\"yjMS\">1,190</strong></dd>",
      "<dt class=\"title\">安値</dt>",
      "</div>",
  };
}

struct TimeRead {
  bool ok;
  std::string text;
};

TimeRead ReadTime(const Lines& lines) {
  vcl::TStringList page = PageOf(lines);
  SelectSourceA(0);
  ShortText text = Short("old");
  const bool ok = TicvaneGetDateTime(&page, &text);
  return {ok, FromShort(text)};
}

TEST(SourceADateTime, DropsLeadingZeros) {
  struct Case {
    std::string time;
    std::string expected;
  };
  const Case cases[] = {
      {"09:05", "9:05"}, {"10:30", "10:30"}, {"10/01", "10/1"}, {"09/05", "9/5"}, {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.time);
    const TimeRead read = ReadTime(Join({kBodyStart, PriceBlock(c.time)}));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.text, c.expected);
  }
}

TEST(SourceADateTime, WithoutACurrentPriceTakesThePreviousCloseDate) {
  const TimeRead read = ReadTime(Join({kBodyStart, PriceBlock("---", "09/05")}));
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.text, "9/5");
}

TEST(SourceADateTime, FalseWhenAMarkerIsMissing) {
  Lines noPreviousClose = Join({kBodyStart, PriceBlock("---")});
  noPreviousClose.erase(noPreviousClose.begin() + 5);  // the previous close's label
  const Lines cases[] = {
      noPreviousClose,
      Join({kBodyStart, {"<div class=\"priceDetail marB10\">"}}),
      Join({kBodyStart, {"<dt class=\"title\">現在値<span class=\"time\">（09:05）</span></dt>"}}),
  };
  for (const Lines& lines : cases) {
    const TimeRead read = ReadTime(lines);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.text, "old");
  }
}

// The unit's value line and label, then the margin block with the four
// figure lines given.
Lines UnitLines(const std::string& unit, const Lines& figureLines) {
  Lines lines = {"<dd><strong>" + unit + "</strong>株</dd>", "<dt class=\"title\">単元株数</dt>",
                 "<!--信用取引情報-->"};
  for (const std::string& figure : figureLines) {
    lines.push_back(figure);
    lines.push_back("<dt class=\"title\">信用売残</dt>");
  }
  return lines;
}

Lines Figures(const std::vector<std::string>& values) {
  Lines lines;
  for (const std::string& value : values)
    lines.push_back("<dd><strong>" + value + "</strong>株</dd>");
  return lines;
}

struct UnitRead {
  bool ok;
  int32_t unit;
};

constexpr int32_t kUnitUnset = -5;

UnitRead ReadUnit(const Lines& lines) {
  vcl::TStringList page = PageOf(lines);
  SelectSourceA(0);
  int32_t unit = kUnitUnset;
  const bool ok = TicvaneGetCodeUnit(&page, &unit);
  return {ok, unit};
}

TEST(SourceACodeUnit, ReadsTheUnitWrittenBeforeItsLabel) {
  struct Case {
    std::string text;
    int32_t unit;
  };
  const Case cases[] = {{"1,000", 1000}, {"100", 100}, {"abc", 1}, {"", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const UnitRead read = ReadUnit(Join({kBodyStart, UnitLines(c.text, {})}));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.unit, c.unit);
  }
}

TEST(SourceACodeUnit, InfersAMissingUnitFromTheFourMarginFigures) {
  struct Case {
    Lines figures;
    int32_t unit;
  };
  const Case cases[] = {
      {Figures({"300", "1,500", "12,000", "700"}), 100},
      // The single digit 0 comes right after its tag: its last three bytes
      // are "g>0", whose middle byte is not a zero.
      {Figures({"120", "0", "40", "60"}), 10},
      {Figures({"1,000", "2,000", "12,000", "5,000"}), 1000},
      {Figures({"1,230", "1,200", "12,000", "5,001"}), 1},
      // Only the first four figures count.
      {Join({Figures({"1,000", "2,000", "12,000", "5,000"}), Figures({"7"})}), 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.figures));
    const UnitRead read = ReadUnit(Join({kBodyStart, UnitLines("---", c.figures)}));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.unit, c.unit);
  }
}

TEST(SourceACodeUnit, InferenceFailsWithoutFourFiguresOrOnAShortFigure) {
  const Lines cases[] = {
      Figures({"300", "1,500", "12,000"}),
      // A figure of fewer than three bytes cannot be judged.
      Join({Figures({"300"}), {"5</strong>株"}, Figures({"100", "100"})}),
  };
  for (const Lines& figures : cases) {
    SCOPED_TRACE(::testing::PrintToString(figures));
    const UnitRead read = ReadUnit(Join({kBodyStart, UnitLines("---", figures)}));
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.unit, kUnitUnset);
  }
  // No margin block after the unit line.
  const UnitRead noBlock = ReadUnit(
      Join({kBodyStart, {"<dd><strong>---</strong>株</dd>", "<dt class=\"title\">単元株数</dt>"}}));
  EXPECT_FALSE(noBlock.ok);
  EXPECT_EQ(noBlock.unit, kUnitUnset);
}

struct LastPrices {
  bool ok;
  std::string current, open, high, low;
};

LastPrices ReadLastPrices(const Lines& lines) {
  vcl::TStringList page = PageOf(lines);
  SelectSourceA(0);
  ShortText current = Short("old"), open = Short("old"), high = Short("old"), low = Short("old");
  const bool ok = TicvaneGetLastData(&page, &current, &open, &high, &low);
  return {ok, FromShort(current), FromShort(open), FromShort(high), FromShort(low)};
}

TEST(SourceALastData, ReadsTheFourPricesWithoutCommas) {
  const LastPrices prices = ReadLastPrices(Join({kBodyStart, PriceBlock("09:05")}));
  ASSERT_TRUE(prices.ok);
  EXPECT_EQ(prices.current, "1234");
  EXPECT_EQ(prices.open, "1200");
  EXPECT_EQ(prices.high, "1250");
  EXPECT_EQ(prices.low, "1190");
}

TEST(SourceALastData, MissingValuesArriveAsTheyAreWritten) {
  const Lines lines = {
      kMainStart,
      "<div class=\"priceDetail marB10\">",
      "<dt class=\"title\">現在値<span class=\"time\">（---）</span></dt>",
      "<dd class=\"price\"><span class=\"yjFL\">---</span></dd>",
      "<dd><strong>---</strong></dd>",
      "<dt class=\"title\">始値</dt>",
      "<dd><strong>---</strong></dd>",
      "<dt class=\"title\">高値</dt>",
      "<dd><strong>---</strong></dd>",
      "<dt class=\"title\">安値</dt>",
  };
  const LastPrices prices = ReadLastPrices(lines);
  ASSERT_TRUE(prices.ok);
  EXPECT_EQ(prices.current, "---");
  EXPECT_EQ(prices.open, "---");
  EXPECT_EQ(prices.high, "---");
  EXPECT_EQ(prices.low, "---");
}

TEST(SourceALastData, FalseWhenALabelOrTheCurrentPriceLineIsMissing) {
  Lines noLow = Join({kBodyStart, PriceBlock("09:05")});
  noLow.erase(noLow.begin() + 11);  // the low price's label
  const Lines cases[] = {
      noLow,
      // The current price's label on the last line: its value line is missing.
      {kMainStart, "<div class=\"priceDetail marB10\">", "<dt>現在値<span>（09:05）</span></dt>"},
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

// A whole page with every block the readers look for.
Lines FullPage(bool withBodyMarker = true) {
  Lines head = {"<!DOCTYPE html>", "<html lang=\"ja\">",
                "<head>",          "<title>日本水産(株)【1332】：株価 - Yahoo!ファイナンス</title>",
                "</head>",         "<body>"};
  if (withBodyMarker) head.push_back(kMainStart);
  return Join({head,
               NameBlock(),
               MarketBlock({MarketLine("東証1部", "水産・農林業")}),
               PriceBlock("09:05"),
               UnitLines("1,000", Figures({"12,300", "1,500", "45,600", "700"})),
               {"</body>", "</html>"}});
}

TEST(SourceAReaders, AllFalseWhenThePageHadNoBodyMarker) {
  vcl::TStringList page = PageOf(FullPage(false));
  SelectSourceA(page.GetCount());
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

std::string Utf8Page(const Lines& lines) {
  std::string body;
  for (const std::string& line : lines) body += line + "\n";
  return body;
}

FixtureResponse Utf8Response(std::string body) {
  FixtureResponse response;
  response.headers = {{"Content-Type", "text/html; charset=utf-8"}};
  response.body = std::move(body);
  return response;
}

constexpr char kDetailTarget[] = "/stocks/detail/?code=1332";

TEST(SourceADetailPage, FetchesDecodesAndPlacesTheCursorOnTheBodyMarker) {
  LibraryFixture library;
  library.Server().Route(kDetailTarget, Utf8Response(Utf8Page(FullPage())));
  State().pageCursor = 99;
  State().currentSource = kTicvaneSourceB;
  vcl::TStringList page;
  ASSERT_EQ(TicvaneGetCodeData(Short("1332"), &page, kTicvaneSourceA), kTicvaneOk);
  EXPECT_EQ(State().currentSource, kTicvaneSourceA);
  EXPECT_EQ(State().pageCursor, 6);
  ASSERT_EQ(library.Server().Requests().size(), 1u);
  EXPECT_EQ(library.Server().Requests()[0].target, kDetailTarget);
  EXPECT_EQ(library.Server().Requests()[0].host, "stocks.finance.yahoo.co.jp");
  ASSERT_EQ(page.GetCount(), static_cast<int>(FullPage().size()));
  // 日本水産(株)【1332】：株価 - Yahoo!ファイナンス
  EXPECT_EQ(page.Get(3),
            "<title>\x93\xfa\x96\x7b\x90\x85\x8e\x59(\x8a\x94)\x81\x79"
            "1332\x81\x7a\x81\x46"
            "\x8a\x94\x89\xbf - Yahoo!\x83\x74\x83\x40\x83\x43\x83\x69\x83\x93\x83\x58</title>");

  ShortText name{}, market{};
  int32_t sector = kSectorUnset;
  uint8_t loan = kLoanUnset;
  ASSERT_TRUE(TicvaneGetCodeInfo(&page, &name, &market, &sector, &loan));
  EXPECT_EQ(FromShort(name), "\x93\xfa\x96\x7b\x90\x85\x8e\x59(\x8a\x94)");
  EXPECT_EQ(sector, 1);
  EXPECT_EQ(loan, 1);
  int32_t unit = kUnitUnset;
  ASSERT_TRUE(TicvaneGetCodeUnit(&page, &unit));
  EXPECT_EQ(unit, 1000);
}

TEST(SourceADetailPage, EncodesTheCodeInTheQuery) {
  LibraryFixture library;
  vcl::TStringList page;
  EXPECT_EQ(TicvaneGetCodeData(Short("13 2&x=1"), &page, kTicvaneSourceA), kTicvaneFailed);
  ASSERT_EQ(library.Server().Requests().size(), 1u);
  EXPECT_EQ(library.Server().Requests()[0].target, "/stocks/detail/?code=13%202%26x%3D1");
}

TEST(SourceADetailPage, ConvertsCharactersTheCodePageHoldsAndMarksTheRest) {
  LibraryFixture library;
  // A byte-order mark, the JIS wave dash, a character beyond the code page,
  // and a name whose second byte is a backslash.
  library.Server().Route(kDetailTarget, Utf8Response("\xef\xbb\xbf<p>1\xe3\x80\x9c"
                                                     "2</p>\n"
                                                     "<p>A\xf0\x9f\x98\x80"
                                                     "B</p>\n"
                                                     "<p>\xe3\x82\xbd\xe3\x83\x8b\xe3\x83\xbc</p>\n"
                                                     "<p></p>\n"));
  vcl::TStringList page;
  ASSERT_EQ(TicvaneGetCodeData(Short("1332"), &page, kTicvaneSourceA), kTicvaneOk);
  ASSERT_EQ(page.GetCount(), 4);
  EXPECT_EQ(page.Get(0),
            "<p>1\x81\x60"
            "2</p>");
  EXPECT_EQ(page.Get(1), "<p>A?B</p>");
  EXPECT_EQ(page.Get(2), "<p>\x83\x5c\x83\x6a\x81\x5b</p>");  // ソニー
  EXPECT_EQ(State().pageCursor, 4);                           // no body marker: the line count
}

TEST(SourceADetailPage, AZeroByteEndsThePage) {
  using namespace std::string_literals;
  LibraryFixture library;
  library.Server().Route(kDetailTarget, Utf8Response("a\nb\n<!--main start-->\nd\n\0e\nf\n"s));
  vcl::TStringList page;
  ASSERT_EQ(TicvaneGetCodeData(Short("1332"), &page, kTicvaneSourceA), kTicvaneOk);
  ASSERT_EQ(page.GetCount(), 4);
  EXPECT_EQ(page.Get(3), "d");
  EXPECT_EQ(State().pageCursor, 2);
}

TEST(SourceADetailPage, MalformedUtf8AnywhereGivesAnEmptyPage) {
  const std::string good = Utf8Page(FullPage());
  const std::string cases[] = {
      "\xff" + good,
      good.substr(0, 40) + "\xc0\xaf" + good.substr(40),          // overlong "/"
      good.substr(0, 40) + "\xed\xa0\x80" + good.substr(40),      // a surrogate
      good.substr(0, 40) + "\xf4\x90\x80\x80" + good.substr(40),  // beyond U+10FFFF
      good + "\xe6\x97",                                          // cut at the end
  };
  for (const std::string& body : cases) {
    LibraryFixture library;
    library.Server().Route(kDetailTarget, Utf8Response(body));
    State().pageCursor = 42;
    vcl::TStringList page;
    page.Add("before");
    EXPECT_EQ(TicvaneGetCodeData(Short("1332"), &page, kTicvaneSourceA), kTicvaneFailed);
    EXPECT_EQ(page.GetCount(), 0);
    EXPECT_EQ(State().pageCursor, 42);
  }
}

TEST(SourceADetailPage, ShortAndNotFoundPagesFailAndKeepTheCursor) {
  const std::string cases[] = {
      Utf8Page({"<!DOCTYPE html>", "<html>", kMainStart}),
      Utf8Page({"<!DOCTYPE html>", "<html>", "<head>", "<title>Yahoo!ファイナンス</title>",
                "</head>", kMainStart}),
  };
  for (const std::string& body : cases) {
    LibraryFixture library;
    library.Server().Route(kDetailTarget, Utf8Response(body));
    State().pageCursor = 42;
    vcl::TStringList page;
    EXPECT_EQ(TicvaneGetCodeData(Short("1332"), &page, kTicvaneSourceA), kTicvaneFailed);
    EXPECT_EQ(State().pageCursor, 42);
    EXPECT_GT(page.GetCount(), 0);  // the page holds what came
  }
}

TEST(SourceADetailPage, FourLinesAreEnoughAndAnotherTitleIsNoNotFoundPage) {
  LibraryFixture library;
  library.Server().Route(kDetailTarget,
                         Utf8Response(Utf8Page({"a", "b", kMainStart, "<title>Yahoo!</title>"})));
  vcl::TStringList page;
  EXPECT_EQ(TicvaneGetCodeData(Short("1332"), &page, kTicvaneSourceA), kTicvaneOk);
  EXPECT_EQ(State().pageCursor, 2);
}

TEST(SourceADetailPage, AFailedRequestLeavesThePageAsItWas) {
  LibraryFixture library;  // no route: 404
  vcl::TStringList page;
  page.Add("kept");
  State().pageCursor = 42;
  EXPECT_EQ(TicvaneGetCodeData(Short("1332"), &page, kTicvaneSourceA), kTicvaneFailed);
  ASSERT_EQ(page.GetCount(), 1);
  EXPECT_EQ(page.Get(0), "kept");
  EXPECT_EQ(State().pageCursor, 42);
}

}  // namespace
}  // namespace ticvane::test
