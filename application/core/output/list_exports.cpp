#include "output/list_exports.h"

#include <algorithm>

#include "data/sector_names.h"
#include "pair/pair_day_figures.h"
#include "vcl/convert.h"

namespace {

constexpr char kTab = '\t';
constexpr char kLoanMark[] = "\x81\x9B";  // "○"

// clang-format off
constexpr std::string_view kCodeHeader =
    "\x96\xC1\x95\xBF"                          // 銘柄
    "\t\x8E\xE6\x88\xF8\x8F\x8A"                // 取引所
    "\t\x8B\xC6\x8E\xED"                        // 業種
    "\t\x92\x50\x8C\xB3"                        // 単元
    "\t\x95\xBD\x8B\xCF\x8F\x6F\x97\x88\x8D\x82"  // 平均出来高
    "\t\x91\xDD\x8E\xD8";                       // 貸借

constexpr std::string_view kPastHeader =
    "      \x93\xFA\x95\x74"                    // "      日付"
    "\t\x8F\x49\x92\x6C"                        // 終値
    "\t\x8E\x6E\x92\x6C"                        // 始値
    "\t\x8D\x82\x92\x6C"                        // 高値
    "\t\x88\xC0\x92\x6C"                        // 安値
    "\t\x8F\x6F\x97\x88\x8D\x82";               // 出来高

constexpr std::string_view kScrnHeader =
    "\x96\xC1\x95\xBF\x81\x69\x94\x84\x81\x6A"  // 銘柄（売）
    "\t\x8E\xE6\x88\xF8\x8F\x8A"                // 取引所
    "\t\x8B\xC6\x8E\xED"                        // 業種
    "\t\x92\x50\x8C\xB3"                        // 単元
    "\t\x8F\x6F\x97\x88\x8D\x82"                // 出来高
    "\t\x91\xDD\x8E\xD8"                        // 貸借
    "\t\x96\xC1\x95\xBF\x81\x69\x94\x83\x81\x6A"  // 銘柄（買）
    "\t\x8E\xE6\x88\xF8\x8F\x8A"                // 取引所
    "\t\x8B\xC6\x8E\xED"                        // 業種
    "\t\x92\x50\x8C\xB3"                        // 単元
    "\t\x8F\x6F\x97\x88\x8D\x82"                // 出来高
    "\t\x91\xDD\x8E\xD8"                        // 貸借
    "\t\x92\x50\x8C\xB3\x94\xE4";               // 単元比

constexpr std::string_view kPairHeader =
    "      \x93\xFA\x95\x74"                    // "      日付"
    "\tA\x8F\x49\x92\x6C"                       // A終値
    "\tB\x8F\x49\x92\x6C"                       // B終値
    "\t\x98\xA8\x97\xA3\x97\xA6";               // 乖離率
// clang-format on

// One price row's six texts joined by TABs.
template <class Texts>
std::string PastLine(const Texts& texts) {
  size_t size = texts.size() - 1;
  for (const auto& text : texts) size += text.size();
  std::string line;
  line.reserve(size);
  for (size_t column = 0; column < texts.size(); ++column) {
    if (column > 0) line += kTab;
    line += texts[column];
  }
  return line;
}

}  // namespace

std::vector<std::string> MakeCodeList(const CodeTable& table) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(table.Count()) + 1);
  lines.emplace_back(kCodeHeader);
  for (int i = 0; i < table.Count(); ++i) {
    const TCodeData& data = table.DataAt(i);
    std::string line = table.CodeAt(i);
    line += ' ';
    line += data.Name;
    line += kTab;
    line += data.Market;
    line += kTab;
    line += TypeName(data.Type);
    line += kTab;
    line += vcl::IntToStr(data.Unit);
    line += kTab;
    line += data.Vol < 0 ? std::string("-") : vcl::IntToStr(data.Vol);
    line += kTab;
    if (data.Loan != 0) line += kLoanMark;
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::string> MakePastList(const std::vector<PriceListRow>& rows) {
  std::vector<std::string> lines;
  lines.reserve(rows.size() + 1);
  lines.emplace_back(kPastHeader);
  for (const PriceListRow& row : rows) lines.push_back(PastLine(row));
  return lines;
}

std::vector<std::string> MakePastListFromLines(const PriceFileLines& prices) {
  std::vector<std::string> lines;
  lines.reserve(prices.Count() + 1);
  lines.emplace_back(kPastHeader);
  for (size_t row = 0; row < prices.Count(); ++row) lines.push_back(PastLine(prices.Fields(row)));
  return lines;
}

ScreeningResultTexts::Row ResultRowTexts(const ScreeningResultRow& row) {
  // The exported fixed texts end with the unit ratio, just before the spacer.
  static_assert(std::tuple_size_v<decltype(ScreeningResultTexts::Row::fixed)> ==
                kResultRatioSubItem + 1);
  ScreeningResultTexts::Row texts;
  std::copy_n(row.cells.begin(), texts.fixed.size(), texts.fixed.begin());
  texts.technical = row.results;
  return texts;
}

std::vector<std::string> MakeScrnList(const ScreeningResultTexts& result) {
  std::vector<std::string> lines;
  lines.reserve(result.rows.size() + 1);
  WriteScrnList({result.technicalCaptions, result.rows.size(),
                 [&result](size_t row) { return result.rows[row]; }},
                [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

void WriteScrnList(const ScreeningResultSource& result, const ExportLineSink& line) {
  std::string header(kScrnHeader);
  for (const std::string& caption : result.technicalCaptions) {
    header += kTab;
    header += caption;
  }
  line(header);

  const size_t technicalCount = result.technicalCaptions.size();
  std::string text;
  for (size_t r = 0; r < result.rowCount; ++r) {
    const ScreeningResultTexts::Row row = result.rowAt(r);
    text.clear();
    for (size_t column = 0; column < 12; ++column) {
      if (column > 0) text += kTab;
      text += row.fixed[column];
    }
    text += "\t ";
    text += row.fixed[12];
    for (size_t column = 0; column < technicalCount; ++column) {
      text += kTab;
      if (column < row.technical.size()) text += row.technical[column];
    }
    line(text);
  }
}

std::vector<std::string> MakePairList(const std::vector<PairDayRecord>& days) {
  std::vector<std::string> lines;
  lines.reserve(days.size() + 1);
  lines.emplace_back(kPairHeader);
  for (const PairDayRecord& day : days) {
    std::string line = DayDateText(day);
    line += kTab;
    line += vcl::IntToStr(day.CloseA);
    line += kTab;
    line += vcl::IntToStr(day.CloseB);
    line += kTab;
    line += vcl::FloatToStrFFixed(day.Rate, 7, 2);
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string ExportFileName(std::string_view stem, std::string_view extension) {
  std::string name(stem);
  // Byte 0x2F is never the trail byte of a double-byte character, so this
  // leaves every Japanese character whole.
  for (char& c : name) {
    if (c == '/' || c == '\0') c = '_';
  }
  name += extension;
  return name;
}
