// The rows of the screening result list: their texts, the comparisons of the
// sort kinds and the stable sort, the fields a row opens on the pair page,
// and the status texts at display rate.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "screening/result_sort.h"
#include "screening/screening_result_row.h"
#include "screening/status_throttle.h"

namespace {

const std::string kTosho1 = "\x93\x8c\x8f\xd8\x82\x50\x95\x94";            // 東証１部
const std::string kMothers = "\x83\x7d\x83\x55\x81\x5b\x83\x59";           // マザーズ
const std::string kOsaka = "\x91\xe5\x8f\xd8";                             // 大証
const std::string kHercules = "\x83\x77\x83\x89\x83\x4e\x83\x8c\x83\x58";  // ヘラクレス
const std::string kNagoya = "\x96\xbc\x8f\xd8";                            // 名証
const std::string kSapporo = "\x8e\x44\x8f\xd8";                           // 札証
const std::string kFukuoka = "\x95\x9f\x8f\xd8";                           // 福証
const std::string kCircle = "\x81\x9b";                                    // ○

TCodeData Data(const std::string& name, const std::string& market, int32_t type, int32_t unit,
               int32_t vol, uint8_t loan) {
  TCodeData data;
  data.Name = name;
  data.Market = market;
  data.Type = type;
  data.Unit = unit;
  data.Vol = vol;
  data.Loan = loan;
  return data;
}

}  // namespace

TEST(ResultRowTest, HoldsTheTextsOfBothSidesAndTheRatio) {
  const ScreeningResultRow row =
      MakeResultRow("7203", Data("Toyota", kTosho1, 16, 100, 123456, 1), "1301",
                    Data("Kyokuyo", "JASDAQ", 0, 1000, -1, 0), -3, {"0.912345"});
  const std::vector<std::string> expected = {
      "7203 Toyota",  kTosho1,  "\x93\x64\x8b\x43\x8b\x40\x8a\xed",
      "100",          "1234",   kCircle,
      "1301 Kyokuyo", "JASDAQ", "\x82\xbb\x82\xcc\x91\xbc",
      "1000",         "0",      "",
      "1 : 3",        "",       "0.912345"};
  ASSERT_EQ(row.SubItemCount(), 15);
  for (int k = 0; k < 15; ++k) EXPECT_EQ(row.SubItem(k), expected[k]) << k;
  EXPECT_EQ(row.SubItemObject(1), 0);   // 東
  EXPECT_EQ(row.SubItemObject(7), 4);   // JA
  EXPECT_EQ(row.SubItemObject(2), 15);  // sector 16 is item 15
  EXPECT_EQ(row.SubItemObject(8), 33);  // sector 0 is the last item
  EXPECT_EQ(UnitRatioText(3), "3 : 1");
  EXPECT_EQ(UnitRatioText(-2), "1 : 2");
  EXPECT_EQ(UnitRatioText(1), "1 : 1");
}

TEST(ResultRowTest, MarketSortKeysFollowTheExchanges) {
  const std::vector<std::pair<std::string, int32_t>> markets = {
      {kTosho1, 0}, {kMothers, 1}, {kOsaka, 2},   {kHercules, 3}, {"JASDAQ", 4},
      {kNagoya, 5}, {kSapporo, 6}, {kFukuoka, 7}, {"NYSE", 8},    {"", 8}};
  for (const auto& [market, key] : markets) EXPECT_EQ(MarketSortKey(market), key) << market;
}

TEST(ResultRowTest, OpensThePairWithLotsFromTheUnitsAndTheRatio) {
  CodeTable table;
  table.InsertCodeData("1301", Data("S&P", kTosho1, 1, 100, 0, 0));
  table.InsertCodeData("1302", Data("B", kOsaka, 1, 1000, 0, 0));
  struct Case {
    std::string sell, buy;
    int32_t ratio;
    std::string lotA, lotB;
  };
  for (const Case& c : std::vector<Case>{{"1301", "1302", 3, "300", "1000"},
                                         {"1301", "1302", -2, "100", "2000"},
                                         {"1301", "9999", 1, "100", ""}}) {
    const ScreeningResultRow row = MakeResultRow(
        c.sell, *table.Find(c.sell), c.buy,
        table.Find(c.buy) ? *table.Find(c.buy) : Data("Gone", "X", 0, 1, 0, 0), c.ratio, {});
    const PairCheckFields fields = PairCheckFieldsOf(PairOpeningOf(row), table);
    EXPECT_EQ(fields.codeA, c.sell);
    EXPECT_EQ(fields.codeB, c.buy);
    // The name's "&" is doubled as on every name panel.
    EXPECT_EQ(fields.captionA, kTosho1 + " : S&&P");
    EXPECT_EQ(fields.lotA, c.lotA);
    EXPECT_EQ(fields.lotB, c.lotB);
  }
}

TEST(ResultRowTest, ARatioPartThatIsNoNumberCountsAsOne) {
  ScreeningResultRow row;
  row.cells[0] = "1301 A";
  row.cells[6] = "1302 B";
  row.cells[kResultRatioSubItem] = "x : 4";
  const PairOpening opening = PairOpeningOf(row);
  EXPECT_EQ(opening.ratioA, 1);
  EXPECT_EQ(opening.ratioB, 4);
  EXPECT_EQ(opening.nameA, "A");
}

TEST(ResultSortTest, EachKindComparesItsWay) {
  struct Case {
    int32_t kind;
    std::string s1;
    int32_t o1;
    std::string s2;
    int32_t o2;
    int sign;  // of the comparison
  };
  const std::vector<Case> cases = {
      {kSortText, "abc", 0, "ABD", 0, -1},
      {kSortText, "ABC", 0, "abc", 0, 0},
      {kSortText, kCircle, 0, "", 0, 1},
      {kSortTextDescending, "0.91", 0, "0.95", 0, 1},
      {kSortNumber, "100", 0, "1000", 0, -1},
      {kSortNumber, "1.004", 0, "1.0", 0, 0},  // equal to 1/100
      {kSortNumberDescending, "100", 0, "1000", 0, 1},
      {kSortNumberDescending, "2.50", 0, "2.501", 0, 0},
      {kSortAbsoluteText, "-0.0123", 0, "0.0124", 0, -1},
      {kSortAbsoluteText, "-0.0123", 0, "0.0123", 0, 0},
      {kSortRatio, "1 : 2", 0, "2 : 1", 0, 0},
      {kSortRatio, "9 : 1", 0, "10 : 1", 0, -1},
      {kSortRatio, "1 : 12", 0, "3 : 1", 0, 1},
      {kSortMarket, kOsaka, 2, kTosho1, 0, 1},
      {kSortMarket, "JASDAQ", 4, "JASDAQ NEO", 4, -1},
      {kSortMarket, "NYSE", 8, kFukuoka, 7, 1},
      {kSortSector, "x", 3, "a", 5, -1},
      {kSortNone, "a", 0, "b", 0, 0},
  };
  for (const Case& c : cases) {
    const int result = CompareResultCells(c.kind, c.s1, c.o1, c.s2, c.o2);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.kind << " " << c.s1 << " " << c.s2;
  }
}

TEST(ResultSortTest, SortsStablyInEachColumnsFixedDirection) {
  auto row = [](const std::string& name, const std::string& vol, const std::string& ratio) {
    ScreeningResultRow r;
    r.cells[0] = name;
    r.cells[4] = vol;
    r.cells[kResultRatioSubItem] = ratio;
    return r;
  };
  const std::vector<ScreeningResultRow> rows = {row("a", "10", "1 : 2"), row("b", "30", "3 : 1"),
                                                row("c", "10", "2 : 1"), row("d", "20", "1 : 1")};
  EXPECT_EQ(SortedRowOrder(rows, 4, kSortNumberDescending), (std::vector<size_t>{1, 3, 0, 2}));
  EXPECT_EQ(SortedRowOrder(rows, kResultRatioSubItem, kSortRatio),
            (std::vector<size_t>{3, 0, 2, 1}));
  EXPECT_EQ(SortedRowOrder(rows, 0, kSortText), (std::vector<size_t>{0, 1, 2, 3}));
}

namespace {

class Recorder : public ScreeningStatus {
 public:
  void Show(int panel, const std::string& text) override {
    shown.push_back(std::to_string(panel) + ":" + text);
  }
  std::vector<std::string> shown;
};

}  // namespace

TEST(StatusThrottleTest, SendsPhasesAtOnceAndTheLastItemOfEachPhase) {
  Recorder out;
  StatusThrottle::Clock::time_point now{};
  StatusThrottle status(out, std::chrono::milliseconds(40), [&] { return now; });
  status.Show(0, "phase 1");
  status.Show(1, "a");  // the first item goes at once
  status.Show(2, "0 / 3");
  now += std::chrono::milliseconds(10);
  status.Show(1, "b");
  status.Show(2, "1 / 3");
  status.Show(1, "c");
  status.Show(2, "2 / 3");
  status.Show(0, "phase 2");  // sends what the first phase left pending first
  now += std::chrono::milliseconds(50);
  status.Show(1, "d");
  status.Flush();
  status.Flush();
  EXPECT_EQ(out.shown,
            (std::vector<std::string>{"0:phase 1", "1:a", "1:c", "2:2 / 3", "0:phase 2", "1:d"}));
}
