#pragma once
// The program's lists as export text: one header line, then one line per
// record, fields joined by one TAB. Every text is code page 932 bytes; the
// copy and save commands join the lines with CR LF (JoinLinesCrlf).

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/code_table.h"
#include "data/price_file_lines.h"
#include "pair/pair_day_record.h"
#include "screening/screening_result_row.h"

// The code table in its order: "銘柄" (code, a blank, the name), "取引所",
// "業種", "単元", "平均出来高" ("-" while not measured), "貸借" ("○" or
// nothing). The exclusion mark is not exported.
std::vector<std::string> MakeCodeList(const CodeTable& table);

// One row of the code page's price list: the texts of its six visible
// columns as shown (date, close, open, high, low, volume).
using PriceListRow = std::array<std::string, 6>;

// The shown code's prices, in list order.
std::vector<std::string> MakePastList(const std::vector<PriceListRow>& rows);
// The same from the lines the list shows, a row's texts being its line's
// fields, without a text per cell held for the whole list.
std::vector<std::string> MakePastListFromLines(const PriceFileLines& lines);

// The screening result list as it stands: the captions of its technical
// result columns (those after the fixed columns, in column order) and its
// rows in their current order.
struct ScreeningResultTexts {
  struct Row {
    // The texts of the visible fixed columns 1 to 13: sell side name,
    // market, sector, unit, volume, loan mark; buy side the same; the unit
    // ratio.
    std::array<std::string, 13> fixed;
    // The texts of the technical result columns, in column order.
    std::vector<std::string> technical;
  };
  std::vector<std::string> technicalCaptions;
  std::vector<Row> rows;
};

// The screening result as the export asks for it: the captions of its
// technical columns and its rows one at a time, so that a list of millions of
// rows is never held as texts all at once.
struct ScreeningResultSource {
  std::vector<std::string> technicalCaptions;
  size_t rowCount = 0;
  std::function<ScreeningResultTexts::Row(size_t row)> rowAt;
};

// Receives the lines of an export, without their line ends, in order.
using ExportLineSink = std::function<void(std::string_view line)>;

// A result row's texts for the export, from the bytes the row was made of:
// the fixed sub-items 0 to 12 (the hidden spacer left out) and its results.
ScreeningResultTexts::Row ResultRowTexts(const ScreeningResultRow& row);

// The screening result: the fixed header and a field per technical column.
// The unit ratio is written after a blank. A row with fewer technical texts
// than there are columns gets empty fields, so that every line has as many
// fields as the header; texts beyond the columns are left out.
std::vector<std::string> MakeScrnList(const ScreeningResultTexts& result);
// The same lines, handed to `line` one at a time.
void WriteScrnList(const ScreeningResultSource& result, const ExportLineSink& line);

// The charted pair's days in list order (newest first): "      日付" (the
// date as y/mm/dd), "A終値", "B終値" (the scaled closes), "乖離率" (the
// deviation rate with two decimals).
std::vector<std::string> MakePairList(const std::vector<PairDayRecord>& days);

// The file name a save dialog proposes for an export: `stem` + `extension`,
// with every "/" (and zero byte) of the stem made "_" so that the name never
// reaches into another directory.
std::string ExportFileName(std::string_view stem, std::string_view extension = ".csv");
