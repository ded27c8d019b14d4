#include "screening/screening_result_row.h"

#include <algorithm>

#include "data/sector_names.h"
#include "pair/pair_item.h"
#include "screening/code_list_steps.h"
#include "vcl/convert.h"

namespace {

// The margin-loan mark "○".
constexpr char kLoanMark[] = "\x81\x9b";
// Where a market text's first two bytes stand in this text decides its key.
constexpr std::string_view kMarketOrder =
    " \x93\x8c\x83\x7d\x91\xe5\x83\x77JA\x96\xbc\x8e\x44\x95\x9f";  // " 東マ大ヘJA名札福"

void FillSide(ScreeningResultRow& row, int first, const ResultSide& side) {
  const size_t index = first == 0 ? 0 : 1;
  std::copy(side.cells.begin(), side.cells.end(), row.cells.begin() + first);
  row.marketKeys[index] = side.marketKey;
  row.sectorItems[index] = side.sectorItem;
}

int32_t RatioPart(std::string_view text) { return vcl::StrToIntDef(text, 1); }

}  // namespace

const std::string& ScreeningResultRow::SubItem(int k) const {
  static const std::string empty;
  if (k >= 0 && k < kResultFixedSubItems) return cells[k];
  const int r = k - kResultFixedSubItems;
  if (r >= 0 && r < static_cast<int>(results.size())) return results[r];
  return empty;
}

int32_t ScreeningResultRow::SubItemObject(int k) const {
  switch (k) {
    case 1:
      return marketKeys[0];
    case 7:
      return marketKeys[1];
    case 2:
      return sectorItems[0];
    case 8:
      return sectorItems[1];
    default:
      return 0;
  }
}

ResultSide ResultSideOf(const std::string& code, const TCodeData& data) {
  ResultSide side;
  side.cells[0] = code + " " + data.Name;
  side.cells[1] = data.Market;
  side.cells[2] = std::string(TypeName(data.Type));
  side.cells[3] = vcl::IntToStr(data.Unit);
  side.cells[4] = vcl::IntToStr(data.Unit > 0 ? data.Vol / data.Unit : 0);
  side.cells[5] = data.Loan != 0 ? kLoanMark : "";
  side.marketKey = MarketSortKey(data.Market);
  side.sectorItem = SectorItem(data.Type);
  return side;
}

int32_t MarketSortKey(std::string_view market) {
  int32_t position = 0;
  if (market.size() >= 2) {
    const size_t at = kMarketOrder.find(market.substr(0, 2));
    if (at != std::string_view::npos) position = static_cast<int32_t>(at) + 1;
  }
  return (position / 2 + 8) % 9;
}

std::string UnitRatioText(int32_t ratio) {
  if (ratio >= 1) return vcl::IntToStr(ratio) + " : 1";
  return "1 : " + vcl::IntToStr(-static_cast<int64_t>(ratio));
}

ScreeningResultRow MakeResultRow(const std::string& sellCode, const TCodeData& sell,
                                 const std::string& buyCode, const TCodeData& buy, int32_t ratio,
                                 std::vector<std::string> results) {
  ScreeningResultRow row;
  FillSide(row, 0, ResultSideOf(sellCode, sell));
  FillSide(row, 6, ResultSideOf(buyCode, buy));
  row.cells[kResultRatioSubItem] = UnitRatioText(ratio);
  row.results = std::move(results);
  return row;
}

PairOpening PairOpeningOf(const ScreeningResultRow& row) {
  PairOpening opening;
  auto side = [&row](int first, std::string& code, std::string& name, std::string& market) {
    const std::string& text = row.cells[first];
    code = text.substr(0, 4);
    name = text.size() > 5 ? text.substr(5) : std::string();
    market = row.cells[first + 1];
  };
  side(0, opening.codeA, opening.nameA, opening.marketA);
  side(6, opening.codeB, opening.nameB, opening.marketB);
  const std::string& ratio = row.cells[kResultRatioSubItem];
  const size_t at = ratio.find(" : ");
  if (at != std::string::npos) {
    opening.ratioA = RatioPart(ratio.substr(0, at));
    opening.ratioB = RatioPart(ratio.substr(at + 3));
  }
  return opening;
}

PairCheckFields PairCheckFieldsOf(const PairOpening& opening, const CodeTable& table) {
  auto lot = [&table](const std::string& code, int32_t part) {
    int32_t unit = 0;
    if (table.GetCodeFields(code, nullptr, nullptr, nullptr, &unit, nullptr, nullptr) < 0) {
      return std::string();
    }
    return vcl::IntToStr(static_cast<int64_t>(unit) * part);
  };
  PairCheckFields fields;
  fields.codeA = opening.codeA;
  fields.captionA = NamePanelText(opening.marketA, opening.nameA);
  fields.lotA = lot(opening.codeA, opening.ratioA);
  fields.codeB = opening.codeB;
  fields.captionB = NamePanelText(opening.marketB, opening.nameB);
  fields.lotB = lot(opening.codeB, opening.ratioB);
  return fields;
}
