#pragma once
// The texts of one row of the screening result list and the objects its
// market and sector cells carry for sorting. Code page 932 bytes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/code_table.h"

// The fixed sub-items of a row: sell side 0-5, buy side 6-11, the unit ratio
// 12 and the spacer 13; the technical results follow from 14 on.
constexpr int kResultFixedSubItems = 14;
constexpr int kResultRatioSubItem = 12;

struct ScreeningResultRow {
  std::array<std::string, kResultFixedSubItems> cells;
  std::vector<std::string> results;
  std::array<int32_t, 2> marketKeys{8, 8};   // of sub-items 1 and 7
  std::array<int32_t, 2> sectorItems{0, 0};  // of sub-items 2 and 8

  // The text of sub-item k ("" beyond the row's results).
  const std::string& SubItem(int k) const;
  // The object of sub-item k (0 for the cells without one).
  int32_t SubItemObject(int k) const;
  // Every sub-item from 0 on.
  int SubItemCount() const { return kResultFixedSubItems + static_cast<int>(results.size()); }
};

// The six cells a code fills on one side of a row (code and name, market,
// sector, unit, volume counted in units, margin-loan mark) and the objects
// its market and sector cells carry.
struct ResultSide {
  std::array<std::string, 6> cells;
  int32_t marketKey = 8;
  int32_t sectorItem = 0;
};
ResultSide ResultSideOf(const std::string& code, const TCodeData& data);

// The market's sort key: 東 0, マ 1, 大 2, ヘ 3, JA 4, 名 5, 札 6, 福 7, any
// other market 8, by its first two bytes.
int32_t MarketSortKey(std::string_view market);

// "r : 1" for a ratio r >= 1, "1 : n" for -n.
std::string UnitRatioText(int32_t ratio);

// The row of a pair that passed: the sell side's code and record, the buy
// side's, the signed unit ratio and the captions of the shown results.
ScreeningResultRow MakeResultRow(const std::string& sellCode, const TCodeData& sell,
                                 const std::string& buyCode, const TCodeData& buy, int32_t ratio,
                                 std::vector<std::string> results);

// The two codes, lot counts and market texts of a row as the pair page opens
// it: the lot of each side is its trading unit times its part of the ratio.
struct PairOpening {
  std::string codeA;
  std::string nameA;
  std::string marketA;
  std::string codeB;
  std::string nameB;
  std::string marketB;
  int32_t ratioA = 1;  // the ratio's left number (1 when it is none)
  int32_t ratioB = 1;  // and its right one
};
PairOpening PairOpeningOf(const ScreeningResultRow& row);

// What the pair-check page's fields get when a row is opened: the codes, the
// name panels' captions (NamePanelText) and the lot counts (the
// code's trading unit times its part of the ratio; empty for a code no
// longer in the code table).
struct PairCheckFields {
  std::string codeA;
  std::string captionA;
  std::string lotA;
  std::string codeB;
  std::string captionB;
  std::string lotB;
};
PairCheckFields PairCheckFieldsOf(const PairOpening& opening, const CodeTable& table);
