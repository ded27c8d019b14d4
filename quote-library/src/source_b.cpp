// SourceB: the detail page of the second web site, and the readers of its code
// information, price time, trading unit and last prices. Every marker is code
// page 932 bytes, the readable text beside it.

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "detail_values.h"
#include "hosts.h"
#include "library_state.h"
#include "page_reading.h"
#include "page_request.h"
#include "source_drivers.h"

namespace ticvane {
namespace {

// Detail page.
constexpr std::string_view kDetailPathStart = "/MnStock/";
constexpr std::string_view kDetailPathEnd = "/sresult/";
constexpr int kShortestPage = 5;
constexpr int kTitleLine = 4;
constexpr std::string_view kNotFoundTitle =
    "<title>\x8a\x94\x89\xbf :\x81\x40-\x81\x40Infoseek "
    "\x83\x7d\x83\x6c\x81\x5b</title>";  // <title>株価 :　-　Infoseek マネー</title>
constexpr std::string_view kBodyMarker =
    "<!-- \x96\xc1\x95\xbf\x83\x77\x83\x62\x83\x5f -->";  // <!-- 銘柄ヘッダ -->

// Code information.
constexpr std::string_view kCodeBlockEnd =
    "<!-- /\x96\xc1\x95\xbf\x83\x77\x83\x62\x83\x5f -->";  // <!-- /銘柄ヘッダ -->
constexpr std::string_view kNameLine = "dname";
constexpr std::string_view kNameOpen = "\"dname\">";
constexpr std::string_view kMarketAbove = "&lt;";
constexpr std::string_view kMarginBlock =
    "<!-- \x90\x4d\x97\x70\x8e\xe6\x88\xf8\x8f\xee\x95\xf1\x8f\xda\x8d\xd7 -->";  // <!--
                                                                                  // 信用取引情報詳細
                                                                                  // -->
constexpr std::string_view kTableBody = "<tbody>";
constexpr std::string_view kRowHeader = "<th scope=\"row\">";
constexpr std::string_view kZeroFigure = "<td>0</td>";
constexpr int kMarginFigures = 3;

// Price time, trading unit and last prices.
constexpr std::string_view kPriceBlock =
    "<!-- \x8a\x94\x89\xbf\x8f\xda\x8d\xd7 -->";                        // <!-- 株価詳細 -->
constexpr std::string_view kCurrentPrice = "\x8c\xbb\x8d\xdd\x92\x6c";  // 現在値
constexpr std::string_view kHighPrice = "\x8d\x82\x92\x6c";             // 高値
constexpr std::string_view kLowPrice = "\x88\xc0\x92\x6c";              // 安値
constexpr std::string_view kOpenPrice = "\x8e\x6e\x92\x6c";             // 始値
constexpr std::string_view kUnitLabel = "\x92\x50\x8c\xb3\x8a\x94\x90\x94";  // 単元株数
constexpr std::string_view kUnitEnd = "\x8a\x94<";                           // 株<
constexpr size_t kUnitTagBytes = 4;      // the "<td>" before the unit
constexpr size_t kCurrentTagBytes = 22;  // the tag before the current price
constexpr std::string_view kTimeOpen = ">(";

struct MarketRename {
  std::string_view from;
  std::string_view to;
};

constexpr std::string_view kMothers = "\x83\x7d\x83\x55\x81\x5b\x83\x59";           // マザーズ
constexpr std::string_view kHercules = "\x83\x77\x83\x89\x83\x4e\x83\x8c\x83\x58";  // ヘラクレス
constexpr std::string_view kCentrex =
    "\x96\xbc\x8f\xd8\x83\x5a\x83\x93\x83\x67\x83\x8c\x83\x62\x83\x4e\x83\x58";  // 名証セントレックス
constexpr std::string_view kAmbitious =
    "\x8e\x44\x8f\xd8\x83\x41\x83\x93\x83\x72\x83\x56\x83\x83\x83\x58";  // 札証アンビシャス

constexpr std::array<MarketRename, 10> kMarketRenames{{
    {"\x93\x8c\x8f\xd8\x83\x7d\x83\x55\x81\x5b\x83\x59", kMothers},  // 東証マザーズ
    {"\x83\x77\x83\x89\x83\x4e\x83\x8c\x83\x58\x83\x58\x83\x5e\x83\x93\x83\x5f\x81\x5b\x83\x68",
     kHercules},  // ヘラクレススタンダード
    {"\x83\x77\x83\x89\x83\x4e\x83\x8c\x83\x58\x83\x4f\x83\x8d\x81\x5b\x83\x58",
     kHercules},  // ヘラクレスグロース
    {"\x96\xbc\x8c\xc3\x89\xae\x8f\xd8"
     "1\x95\x94",
     "\x96\xbc\x8f\xd8"
     "1\x95\x94"},  // 名古屋証1部 -> 名証1部
    {"\x96\xbc\x8c\xc3\x89\xae\x8f\xd8"
     "2\x95\x94",
     "\x96\xbc\x8f\xd8"
     "2\x95\x94"},  // 名古屋証2部 -> 名証2部
    {"\x96\xbc\x8c\xc3\x89\xae\x8f\xd8\x83\x5a\x83\x93\x83\x67\x83\x8c\x83\x62\x83\x4e\x83\x58",
     kCentrex},                                        // 名古屋証セントレックス
    {"\x8e\x44\x96\x79\x8f\xd8", "\x8e\x44\x8f\xd8"},  // 札幌証 -> 札証
    {"\x8e\x44\x96\x79\x8f\xd8\x83\x41\x83\x93\x83\x72\x83\x56\x83\x83\x83\x58",
     kAmbitious},                                      // 札幌証アンビシャス
    {"\x95\x9f\x89\xaa\x8f\xd8", "\x95\x9f\x8f\xd8"},  // 福岡証 -> 福証
    {"\x95\x9f\x89\xaa\x8f\xd8Q\x83\x7b\x81\x5b\x83\x68",
     "\x95\x9f\x8f\xd8Q-Board"},  // 福岡証Qボード -> 福証Q-Board
}};

std::string RenamedMarket(std::string_view market) {
  for (const MarketRename& rename : kMarketRenames) {
    if (market == rename.from) return std::string(rename.to);
  }
  return ShortenedForeignSection(market);
}

// The line without its leading blanks and control characters (bytes up to
// 0x20); a lead byte of a two-byte character is above them, so an
// ideographic space stays.
std::string_view WithoutLeadingBlanks(std::string_view line) {
  size_t start = 0;
  while (start < line.size() && static_cast<unsigned char>(line[start]) <= 0x20) ++start;
  return line.substr(start);
}

// Today as the page writes the date of a price: "mm/dd".
std::string TodayMonthDay() {
  const CalendarDate today = Today();
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d", today.month, today.day);
  return text;
}

// The content of the tag on a value line: after ">", before "<".
std::string TagValue(std::string_view line) { return WithoutCommas(Before(After(line, ">"), "<")); }

// A line containing `marker` inside the code block: reaching the end of the
// block first ends the search empty.
std::optional<int> FindInCodeBlock(const vcl::TStrings& page, int from, std::string_view marker) {
  const std::optional<int> hit = FindLine(page, from, [marker](std::string_view line) {
    return Equals(line, kCodeBlockEnd) || Contains(line, marker);
  });
  if (!hit || Equals(page.Get(*hit), kCodeBlockEnd)) return std::nullopt;
  return hit;
}

// The margin-loan flag: 1 as soon as one of the three margin rows holds a
// figure other than "<td>0</td>". `loan` is set to 0 once "<tbody>" is found,
// even when a row is missing.
bool ReadMarginLoan(const vcl::TStrings& page, int from, uint8_t* loan) {
  const std::optional<int> block = FindEqual(page, from, kMarginBlock);
  if (!block) return false;
  const std::optional<int> body = FindEqual(page, *block + 1, kTableBody);
  if (!body) return false;
  *loan = 0;
  int next = *body + 1;
  for (int figure = 0; figure < kMarginFigures; ++figure) {
    const std::optional<int> row =
        FindLine(page, next, [](std::string_view line) { return BeginsWith(line, kRowHeader); });
    if (!row) return false;
    const std::optional<std::string> value = LineAt(page, *row + 1);
    if (!value) return false;
    if (*value != kZeroFigure) {
      *loan = 1;
      return true;
    }
    next = *row + 2;
  }
  return true;
}

}  // namespace

int32_t SourceBDetailPage(ShortText code, vcl::TStrings* page) {
  std::string path(kDetailPathStart);
  path += EncodeQueryValue(ShortTextView(code));
  path += kDetailPathEnd;
  const PageResponse response = RequestPage(hosts::kSourceB, path);
  if (response.outcome != RequestOutcome::Ok) return ResultOf(response.outcome);

  const std::string text = ConvertToCp932(response.body);
  return FillDetailPage(page, text, {kShortestPage, kTitleLine, kNotFoundTitle, kBodyMarker});
}

bool SourceBCodeInfo(vcl::TStrings* page, ShortText* name, ShortText* market, int32_t* sector,
                     uint8_t* loan) {
  const std::optional<int> nameLine = FindInCodeBlock(*page, FirstBodyLine(), kNameLine);
  if (!nameLine) return false;
  const std::string nameText = Before(After(page->Get(*nameLine), kNameOpen), "<");

  const std::optional<int> aboveMarket = FindInCodeBlock(*page, *nameLine + 1, kMarketAbove);
  if (!aboveMarket) return false;
  const int marketLine = *aboveMarket + 1;
  const std::optional<std::string> line = LineAt(*page, marketLine);
  if (!line) return false;
  const std::string_view text = WithoutLeadingBlanks(*line);
  const std::string marketText =
      RenamedMarket(Contains(text, "(") ? Before(text, "(") : Before(text, "&"));

  if (sector != nullptr) {
    const std::string sectorText = Contains(text, ";") ? After(text, ";") : std::string(text);
    *sector = SectorNumber(sectorText, SectorWords::kWithCommodityFutures);
  }

  if (loan != nullptr && !ReadMarginLoan(*page, marketLine + 1, loan)) return false;

  WriteShortText(name, nameText);
  WriteShortText(market, marketText);
  return true;
}

bool SourceBDateTime(vcl::TStrings* page, ShortText* text) {
  const std::optional<int> block = FindEqual(*page, FirstBodyLine(), kPriceBlock);
  if (!block) return false;
  const std::optional<int> current = FindContaining(*page, *block + 1, kCurrentPrice);
  if (!current) return false;
  const std::optional<std::string> timeLine = LineAt(*page, *current + 2);
  if (!timeLine) return false;
  const std::string stamp = After(*timeLine, kTimeOpen);
  const std::string date = Before(stamp, " ");
  // A price of today carries its time of day; an older one only its date.
  const std::string time = date == TodayMonthDay() ? Before(After(stamp, " "), ")") : date;
  WriteShortText(text, TidiedPriceTime(time));
  return true;
}

bool SourceBCodeUnit(vcl::TStrings* page, int32_t* unit) {
  const std::optional<int> block = FindEqual(*page, FirstBodyLine(), kPriceBlock);
  if (!block) return false;
  const std::optional<int> label = FindContaining(*page, *block + 1, kUnitLabel);
  if (!label) return false;
  const std::optional<std::string> valueLine = LineAt(*page, *label + 1);
  if (!valueLine) return false;
  *unit = IntegerOr(WithoutCommas(Before(DropFirst(*valueLine, kUnitTagBytes), kUnitEnd)), 1);
  return true;
}

bool SourceBLastData(vcl::TStrings* page, ShortText* current, ShortText* open, ShortText* high,
                     ShortText* low) {
  const std::optional<int> block = FindEqual(*page, FirstBodyLine(), kPriceBlock);
  if (!block) return false;
  const std::optional<int> currentLabel = FindContaining(*page, *block + 1, kCurrentPrice);
  if (!currentLabel) return false;
  const std::optional<std::string> currentLine = LineAt(*page, *currentLabel + 1);
  if (!currentLine) return false;
  const std::string currentText =
      WithoutCommas(Before(DropFirst(*currentLine, kCurrentTagBytes), "<"));

  const std::optional<int> highLabel = FindContaining(*page, *currentLabel + 2, kHighPrice);
  if (!highLabel) return false;
  const std::optional<std::string> highLine = LineAt(*page, *highLabel + 1);
  if (!highLine) return false;
  const std::optional<int> lowLabel = FindContaining(*page, *highLabel + 2, kLowPrice);
  if (!lowLabel) return false;
  const std::optional<std::string> lowLine = LineAt(*page, *lowLabel + 1);
  if (!lowLine) return false;
  const std::optional<int> openLabel = FindContaining(*page, *lowLabel + 2, kOpenPrice);
  if (!openLabel) return false;
  const std::optional<std::string> openLine = LineAt(*page, *openLabel + 1);
  if (!openLine) return false;

  WriteShortText(current, currentText);
  WriteShortText(open, TagValue(*openLine));
  WriteShortText(high, TagValue(*highLine));
  WriteShortText(low, TagValue(*lowLine));
  return true;
}

}  // namespace ticvane
