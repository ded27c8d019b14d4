// SourceA: the detail page of the first web site, and the readers of its code
// information, price time, trading unit and last prices. Every marker is code
// page 932 bytes, the readable text beside it.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "detail_values.h"
#include "hosts.h"
#include "library_state.h"
#include "nkf/nkf.h"
#include "page_reading.h"
#include "page_request.h"
#include "source_drivers.h"

namespace ticvane {
namespace {

// Detail page.
constexpr std::string_view kDetailPath = "/stocks/detail/?code=";
constexpr int kShortestPage = 4;
constexpr int kTitleLine = 3;
constexpr std::string_view kNotFoundTitle =
    "<title>Yahoo!\x83\x74\x83\x40\x83\x43\x83\x69\x83\x93\x83\x58</title>";  // <title>Yahoo!ファイナンス</title>
constexpr std::string_view kBodyMarker = "<!--main start-->";

// Code information.
constexpr std::string_view kTitleBlock = "<div class=\"selectFinTitle yjL";
constexpr std::string_view kNameOpen = "\x81\x79";   // 【
constexpr std::string_view kNameClose = "\x81\x7a";  // 】
constexpr std::string_view kMarketBlock = "<div class=\"selectFin marB10 yjSt";
constexpr std::string_view kMarketLabel = "\x8e\x73\x8f\xea\x81\x46";  // 市場：
constexpr std::string_view kSectorLabel = "\x8b\xc6\x8e\xed\x81\x46";  // 業種：
// The sector label is followed by 7 bytes of markup before the tag that holds
// the sector's name.
constexpr size_t kSectorLabelTail = 7;
constexpr std::string_view kMarginBlock =
    "<!--\x90\x4d\x97\x70\x8e\xe6\x88\xf8\x8f\xee\x95\xf1-->";  // <!--信用取引情報-->
constexpr std::string_view kMarginSold = "\x90\x4d\x97\x70\x94\x84\x8e\x63";  // 信用売残
constexpr std::string_view kSharesFigureEnd = "</strong>\x8a\x94";            // </strong>株
constexpr std::string_view kRatioFigureEnd = "</strong>\x94\x7b";             // </strong>倍
constexpr std::string_view kStrongOpen = "<strong>";
constexpr int kMarginFigures = 3;

// Price time and last prices.
constexpr std::string_view kPriceBlock = "<div class=\"priceDetail marB10";
constexpr std::string_view kCurrentPrice = "\x8c\xbb\x8d\xdd\x92\x6c";  // 現在値
constexpr std::string_view kTimeOpen = ">\x81\x69";                     // >（
constexpr std::string_view kTimeClose = "\x81\x6a";                     // ）
constexpr std::string_view kNoValue = "---";
constexpr std::string_view kPreviousClose = "\x91\x4f\x93\xfa\x8f\x49\x92\x6c";  // 前日終値
constexpr std::string_view kOpenPrice = "\x8e\x6e\x92\x6c";                      // 始値
constexpr std::string_view kHighPrice = "\x8d\x82\x92\x6c";                      // 高値
constexpr std::string_view kLowPrice = "\x88\xc0\x92\x6c";                       // 安値
constexpr std::string_view kSpanTag = "<span";
constexpr std::string_view kStrongTag = "<strong";

// Trading unit.
constexpr std::string_view kUnitLabel = "\x92\x50\x8c\xb3\x8a\x94\x90\x94";  // 単元株数
constexpr int kUnitFigures = 4;
constexpr size_t kUnitDigits = 3;

struct MarketRename {
  std::string_view from;
  std::string_view to;
};

constexpr std::array<MarketRename, 4> kMarketRenames{{
    {"NEO", "JASDAQ NEO"},
    {"\x96\xbc\x8c\xc3\x89\xae\x83\x5a",                                           // 名古屋セ
     "\x96\xbc\x8f\xd8\x83\x5a\x83\x93\x83\x67\x83\x8c\x83\x62\x83\x4e\x83\x58"},  // 名証セントレックス
    {"\x8e\x44\x96\x79\x83\x41",                                                   // 札幌ア
     "\x8e\x44\x8f\xd8\x83\x41\x83\x93\x83\x72\x83\x56\x83\x83\x83\x58"},  // 札証アンビシャス
    {"\x95\x9f\x89\xaa\x82\x70",                                           // 福岡Ｑ
     "\x95\x9f\x8f\xd8Q-Board"},                                           // 福証Q-Board
}};

// The body decoded strictly from UTF-8 in code page 932; a malformed or cut
// sequence anywhere gives an empty text, so that a damaged page is never read
// half-converted.
std::string Utf8ToCp932(std::string_view body) {
  return nkf::Utf8ToCodePage932(body).value_or(std::string());
}

std::string RenamedMarket(std::string_view market) {
  for (const MarketRename& rename : kMarketRenames) {
    if (market == rename.from) return std::string(rename.to);
  }
  return ShortenedForeignSection(market);
}

// The text between ">（" and "）" of a line.
std::string BetweenFullWidthParentheses(std::string_view line) {
  return Before(After(line, kTimeOpen), kTimeClose);
}

// The value of a `<strong>` tag on a line: after "<strong>", before "<".
std::string StrongValue(std::string_view line) {
  return WithoutCommas(Before(After(line, kStrongOpen), "<"));
}

// A high or low price line: everything up to the end of the "<strong" tag
// name goes (the first 6 bytes when there is none), then the tag's content.
std::string StrongTagValue(std::string_view line) {
  const size_t at = line.find(kStrongTag);
  const size_t position = at == std::string_view::npos ? 0 : at + 1;
  const std::string rest = DropFirst(line, position + kStrongTag.size() - 1);
  return WithoutCommas(Before(After(rest, ">"), "<"));
}

// The margin-loan flag: 1 as soon as one of the three margin figures, read
// from the line before "信用売残" on, is neither "0" nor "0.00". `loan` is
// set to 0 once the "信用売残" line is found, even when a figure is missing.
bool ReadMarginLoan(const vcl::TStrings& page, int from, uint8_t* loan) {
  const std::optional<int> block = FindEqual(page, from, kMarginBlock);
  if (!block) return false;
  const std::optional<int> sold = FindContaining(page, *block + 1, kMarginSold);
  if (!sold) return false;
  *loan = 0;
  int next = *sold - 1;
  for (int figure = 0; figure < kMarginFigures; ++figure) {
    const std::optional<int> hit = FindLine(page, next, [](std::string_view line) {
      return Contains(line, kSharesFigureEnd) || Contains(line, kRatioFigureEnd);
    });
    if (!hit) return false;
    const std::string line = page.Get(*hit);
    const std::string_view end =
        Contains(line, kSharesFigureEnd) ? kSharesFigureEnd : kRatioFigureEnd;
    const std::string value = After(Before(line, end), kStrongOpen);
    if (value != "0" && value != "0.00") {
      *loan = 1;
      return true;
    }
    next = *hit + 1;
  }
  return true;
}

// The unit that divides all four margin figures, judged from their last three
// digits: the largest of 1, 10, 100 and 1000. Nullopt when a figure is
// missing or too short to judge.
std::optional<int32_t> UnitFromMarginFigures(const vcl::TStrings& page, int from) {
  const std::optional<int> block = FindEqual(page, from, kMarginBlock);
  if (!block) return std::nullopt;
  std::array<std::string, kUnitFigures> tails;
  int next = *block + 1;
  for (std::string& tail : tails) {
    const std::optional<int> hit = FindContaining(page, next, kSharesFigureEnd);
    if (!hit) return std::nullopt;
    const std::string figure = Before(page.Get(*hit), kSharesFigureEnd);
    tail = figure.size() > kUnitDigits ? figure.substr(figure.size() - kUnitDigits) : figure;
    next = *hit + 1;
  }
  constexpr std::array<int32_t, kUnitDigits + 1> kUnitWhenDigitSet{0, 100, 10, 1};
  for (size_t digit = kUnitDigits; digit >= 1; --digit) {
    for (const std::string& tail : tails) {
      if (tail.size() < digit) return std::nullopt;
      if (tail[digit - 1] != '0') return kUnitWhenDigitSet[digit];
    }
  }
  return 1000;
}

}  // namespace

int32_t SourceADetailPage(ShortText code, vcl::TStrings* page) {
  std::string path(kDetailPath);
  path += EncodeQueryValue(ShortTextView(code));
  const PageResponse response = RequestPage(hosts::kSourceADetail, path);
  if (response.outcome != RequestOutcome::Ok) return ResultOf(response.outcome);

  const std::string text = Utf8ToCp932(response.body);
  return FillDetailPage(page, text, {kShortestPage, kTitleLine, kNotFoundTitle, kBodyMarker});
}

bool SourceACodeInfo(vcl::TStrings* page, ShortText* name, ShortText* market, int32_t* sector,
                     uint8_t* loan) {
  const std::optional<int> titleBlock = FindBeginning(*page, FirstBodyLine(), kTitleBlock);
  if (!titleBlock) return false;
  const std::optional<int> nameLine = FindContaining(*page, *titleBlock + 1, kNameOpen);
  if (!nameLine) return false;
  const std::string nameText =
      Before(After(After(page->Get(*nameLine), kNameOpen), kNameClose), "<");

  const std::optional<int> marketBlock = FindBeginning(*page, *nameLine + 1, kMarketBlock);
  if (!marketBlock) return false;
  const std::optional<int> marketLabelLine = FindContaining(*page, *marketBlock + 1, kMarketLabel);
  if (!marketLabelLine) return false;
  int marketLine = *marketLabelLine;
  std::string text = After(page->Get(marketLine), kMarketLabel);
  if (text.find('<') == 0) {
    // The market's name stands on the next line, after its tag.
    const std::optional<std::string> next = LineAt(*page, marketLine + 1);
    if (!next) return false;
    ++marketLine;
    text = After(*next, ">");
  }
  const std::string marketText = RenamedMarket(Before(text, "<"));

  int lastRead = marketLine;
  if (sector != nullptr) {
    size_t label = text.find(kSectorLabel);
    if (label == std::string::npos) {
      const std::optional<std::string> next = LineAt(*page, marketLine + 1);
      if (!next) return false;
      lastRead = marketLine + 1;
      text = *next;
      label = text.find(kSectorLabel);
    }
    if (label == std::string::npos) {
      *sector = 0;
    } else {
      text = After(DropFirst(text, label + kSectorLabel.size() + kSectorLabelTail), ">");
      *sector = SectorNumber(text, SectorWords::kCommon);
    }
  }

  if (loan != nullptr && !ReadMarginLoan(*page, lastRead + 1, loan)) return false;

  WriteShortText(name, nameText);
  WriteShortText(market, marketText);
  return true;
}

bool SourceADateTime(vcl::TStrings* page, ShortText* text) {
  const std::optional<int> block = FindBeginning(*page, FirstBodyLine(), kPriceBlock);
  if (!block) return false;
  const std::optional<int> current = FindContaining(*page, *block + 1, kCurrentPrice);
  if (!current) return false;
  std::string time = BetweenFullWidthParentheses(page->Get(*current));
  if (time == kNoValue) {
    // No price yet today: the date that goes with the previous close stands
    // on the line before its label.
    const std::optional<int> previous = FindContaining(*page, *current + 1, kPreviousClose);
    if (!previous) return false;
    time = BetweenFullWidthParentheses(page->Get(*previous - 1));
  }
  WriteShortText(text, TidiedPriceTime(time));
  return true;
}

bool SourceACodeUnit(vcl::TStrings* page, int32_t* unit) {
  const std::optional<int> unitLine = FindContaining(*page, FirstBodyLine(), kUnitLabel);
  if (!unitLine) return false;
  const std::optional<std::string> valueLine = LineAt(*page, *unitLine - 1);
  if (!valueLine) return false;
  const std::string value = StrongValue(*valueLine);
  if (value != kNoValue) {
    *unit = IntegerOr(value, 1);
    return true;
  }
  const std::optional<int32_t> inferred = UnitFromMarginFigures(*page, *unitLine + 1);
  if (!inferred) return false;
  *unit = *inferred;
  return true;
}

bool SourceALastData(vcl::TStrings* page, ShortText* current, ShortText* open, ShortText* high,
                     ShortText* low) {
  const std::optional<int> block = FindBeginning(*page, FirstBodyLine(), kPriceBlock);
  if (!block) return false;
  const std::optional<int> currentLabel = FindContaining(*page, *block + 1, kCurrentPrice);
  if (!currentLabel) return false;
  const std::optional<std::string> currentLine = LineAt(*page, *currentLabel + 1);
  if (!currentLine) return false;
  const size_t span = currentLine->find(kSpanTag);
  const std::string currentText = WithoutCommas(
      Before(After(DropFirst(*currentLine, span == std::string::npos ? 0 : span + 1), ">"), "<"));

  const std::optional<int> openLabel = FindContaining(*page, *currentLabel + 2, kOpenPrice);
  if (!openLabel) return false;
  const std::string openText = StrongValue(page->Get(*openLabel - 1));
  const std::optional<int> highLabel = FindContaining(*page, *openLabel + 1, kHighPrice);
  if (!highLabel) return false;
  const std::string highText = StrongTagValue(page->Get(*highLabel - 1));
  const std::optional<int> lowLabel = FindContaining(*page, *highLabel + 1, kLowPrice);
  if (!lowLabel) return false;
  const std::string lowText = StrongTagValue(page->Get(*lowLabel - 1));

  WriteShortText(current, currentText);
  WriteShortText(open, openText);
  WriteShortText(high, highText);
  WriteShortText(low, lowText);
  return true;
}

}  // namespace ticvane
