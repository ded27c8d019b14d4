// Compact result rows against the rows of texts that MakeResultRow makes:
// every cell's bytes and object, every sort kind on every column, after
// deletes; and the keys the fast sort rests on.

#include "screening/compact_result_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "screening/result_sort.h"
#include "screening/result_sort_keys.h"

namespace {

const std::vector<std::string> kMarkets = {
    "\x93\x8c\x8f\xd8\x82\x50\x95\x94",          // 東証１部
    "\x93\x8c\x8f\xd8\x82Q\x95\x94",             // 東証２部
    "\x83\x7d\x83\x55\x81\x5b\x83\x59",          // マザーズ
    "\x91\xe5\x8f\xd8",                          // 大証
    "\x83\x77\x83\x89\x83\x4e\x83\x8c\x83\x58",  // ヘラクレス
    "JASDAQ",
    "jasdaq NEO",
    "\x96\xbc\x8f\xd8",  // 名証
    "NYSE",
    ""};
const std::vector<std::string> kNameParts = {"abc", "ABD", "\x83\x41", "\x83\x61", "x", "1", ""};

// Values a correlation, a slope and a deviation take, with ties and
// neighbours closer than their texts show; with `huge`, numbers too large for
// a short text as well.
double RandomValue(std::mt19937& random, bool huge) {
  switch (random() % (huge ? 6 : 5)) {
    case 0:
      return (static_cast<int>(random() % 201) - 100) / 100.0;
    case 1:
      return (static_cast<int>(random() % 2000001) - 1000000) / 1e6;
    case 2:
      return static_cast<int>(random() % 300) / 100.0 + (random() % 2 ? 0.004 : 0.0);
    case 3:
      return (static_cast<int>(random() % 2001) - 1000) * 1e-9;
    case 4:
      return std::uniform_real_distribution<double>(-5.0, 5.0)(random);
    default:
      return (random() % 2 ? -1.0 : 1.0) * std::pow(10.0, static_cast<double>(random() % 30));
  }
}

// One run: random codes, the compact rows of random pairs and, row for row,
// the rows of texts the old way.
struct RandomRun {
  std::vector<ScreeningResultRow> textRows;
  CompactResultRows rows;

  RandomRun(uint32_t seed, int codes, int rowCount, bool hugeValues = false) {
    std::mt19937 random(seed);
    auto run = std::make_shared<ResultRun>();
    std::vector<std::string> codeTexts;
    std::vector<TCodeData> data;
    for (int c = 0; c < codes; ++c) {
      TCodeData d;
      d.Name = kNameParts[random() % kNameParts.size()] + kNameParts[random() % kNameParts.size()];
      d.Market = kMarkets[random() % kMarkets.size()];
      d.Type = static_cast<int32_t>(random() % 34);
      const int32_t units[] = {0, 1, 100, 1000, static_cast<int32_t>(random() % 5000)};
      d.Unit = units[random() % 5];
      d.Vol = static_cast<int32_t>(random() % 3000000) - 1;
      d.Loan = static_cast<uint8_t>(random() % 2);
      codeTexts.push_back(std::to_string(1000 + random() % 9000));
      data.push_back(d);
      run->sides.push_back(ResultSideOf(codeTexts.back(), d));
    }
    run->resultKinds = {TechnicalKind::Correlation, TechnicalKind::Regression,
                        TechnicalKind::StdDeviation, std::nullopt};
    ResultRowBatch batch{run, {}, {}};
    for (int r = 0; r < rowCount; ++r) {
      const auto sell = static_cast<int32_t>(random() % codes);
      const auto buy = static_cast<int32_t>(random() % codes);
      const int32_t ratios[] = {1, 2, 9, 10, -2, -10, -123456, 123457, 0};
      const int32_t ratio = ratios[random() % 9];
      batch.rows.push_back({sell, buy, ratio, static_cast<uint32_t>(batch.values.size())});
      std::vector<std::string> results;
      for (const auto& kind : run->resultKinds) {
        const double value = RandomValue(random, hugeValues);
        batch.values.push_back(value);
        results.push_back(kind ? TechnicalCaption(*kind, value) : std::string());
      }
      textRows.push_back(MakeResultRow(codeTexts[static_cast<size_t>(sell)], data[sell],
                                       codeTexts[static_cast<size_t>(buy)], data[buy], ratio,
                                       std::move(results)));
    }
    rows.Append(std::move(batch));
  }

  void ExpectSameCells() const {
    ASSERT_EQ(rows.Count(), textRows.size());
    for (size_t r = 0; r < textRows.size(); ++r) {
      const ScreeningResultRow& expected = textRows[r];
      for (int k = -1; k <= expected.SubItemCount() + 1; ++k) {
        ASSERT_EQ(rows.SubItem(r, k), expected.SubItem(k)) << "row " << r << ", sub-item " << k;
        ASSERT_EQ(rows.SubItemObject(r, k), expected.SubItemObject(k)) << r << ", " << k;
      }
      const ScreeningResultRow texts = rows.Texts(r);
      ASSERT_EQ(texts.cells, expected.cells) << r;
      ASSERT_EQ(texts.results, expected.results) << r;
      ASSERT_EQ(texts.marketKeys, expected.marketKeys) << r;
      ASSERT_EQ(texts.sectorItems, expected.sectorItems) << r;
    }
  }

  // Every sort kind, the ones no column has among them, on every sub-item.
  void ExpectSameOrders() const {
    for (int subItem = 0; subItem < textRows.front().SubItemCount() + 1; ++subItem) {
      for (int32_t kind = 0; kind <= 9; ++kind) {
        const std::vector<size_t> plain = SortedRowOrder(textRows, subItem, kind);
        const std::vector<uint32_t> fast = rows.SortedOrder(subItem, kind);
        ASSERT_EQ(std::vector<size_t>(fast.begin(), fast.end()), plain)
            << "sub-item " << subItem << ", kind " << kind;
      }
    }
  }

  void Sort(int subItem, int32_t kind) {
    const std::vector<uint32_t> order = rows.SortedOrder(subItem, kind);
    rows.Reorder(order);
    std::vector<ScreeningResultRow> sorted;
    for (const uint32_t from : order) sorted.push_back(textRows[from]);
    textRows = std::move(sorted);
  }

  void Erase(size_t first, size_t last) {
    rows.Erase(first, last);
    textRows.erase(textRows.begin() + static_cast<std::ptrdiff_t>(first),
                   textRows.begin() + static_cast<std::ptrdiff_t>(last));
  }
};

TEST(CompactResultRows, EveryCellIsTheTextOfTheRowMadeTheOldWay) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    SCOPED_TRACE(seed);
    const RandomRun run(seed, 40, 600, seed == 3);
    run.ExpectSameCells();
  }
}

TEST(CompactResultRows, EverySortIsTheSortOfTheTexts) {
  // Huge values make texts that no key packs: those columns sort by comparing.
  for (const bool huge : {false, true}) {
    SCOPED_TRACE(huge);
    RandomRun run(huge ? 4 : 5, 30, 700, huge);
    run.ExpectSameOrders();
    // Sorted, then sorted by another column: equal rows keep the first order.
    run.Sort(kResultFixedSubItems + 2, kSortNumberDescending);
    run.Sort(1, kSortMarket);
    run.ExpectSameCells();
    run.ExpectSameOrders();
  }
}

TEST(CompactResultRows, RowsDeletedAnywhereLeaveTheOthersAsTheyWere) {
  RandomRun run(6, 25, 400);
  run.Erase(0, 1);
  run.Erase(100, 180);
  run.Erase(run.rows.Count() - 1, run.rows.Count());
  run.Sort(6, kSortText);
  run.Erase(50, 51);
  run.ExpectSameCells();
  run.ExpectSameOrders();
  run.Erase(0, run.rows.Count());
  EXPECT_EQ(run.rows.Count(), 0u);
  EXPECT_TRUE(run.rows.SortedOrder(1, kSortMarket).empty());
}

TEST(CompactResultRows, RowsGivenByTheirTextsKeepThem) {
  RandomRun run(7, 10, 50);
  CompactResultRows rows;
  std::vector<ScreeningResultRow> texts = run.textRows;
  texts[3].cells[13] = "spacer";
  texts[4].results.resize(1);
  rows.AppendTexts(texts);
  for (size_t r = 0; r < texts.size(); ++r) {
    for (int k = 0; k < texts[r].SubItemCount(); ++k) {
      ASSERT_EQ(rows.SubItem(r, k), texts[r].SubItem(k));
    }
  }
  for (int32_t kind = 1; kind <= 9; ++kind) {
    const std::vector<uint32_t> order = rows.SortedOrder(kResultFixedSubItems, kind);
    EXPECT_EQ(std::vector<size_t>(order.begin(), order.end()),
              SortedRowOrder(texts, kResultFixedSubItems, kind));
  }
}

TEST(CompactResultRows, ABatchBeyondItsRunAppendsNothing) {
  auto run = std::make_shared<ResultRun>();
  run->sides.resize(2);
  run->resultKinds = {TechnicalKind::Correlation};
  CompactResultRows rows;
  EXPECT_THROW(rows.Append({run, {{0, 2, 1, 0}}, {0.5}}), std::invalid_argument);
  EXPECT_THROW(rows.Append({run, {{0, 1, 1, 1}}, {0.5}}), std::invalid_argument);
  EXPECT_THROW(rows.Append({nullptr, {}, {}}), std::invalid_argument);
  EXPECT_EQ(rows.Count(), 0u);
  rows.Append({run, {{0, 1, 1, 0}}, {0.5}});
  EXPECT_THROW(rows.Append({std::make_shared<ResultRun>(*run), {{0, 1, 1, 0}}, {0.5}}),
               std::invalid_argument);
  EXPECT_EQ(rows.Count(), 1u);
  rows.Clear();
  rows.Append({std::make_shared<ResultRun>(*run), {{1, 0, 1, 0}}, {0.25}});
  EXPECT_EQ(rows.SubItem(0, kResultFixedSubItems), "0.250000");
}

TEST(ResultSortKeys, NumberTextsKeepTheOrderOfTheirTexts) {
  std::mt19937 random(8);
  const std::string bytes = "+,-.0123456789";
  std::vector<std::string> texts = {"", "-", "0", "00", "-0.5", "-0.45", "10", "9", "1.000000"};
  for (int i = 0; i < 2000; ++i) {
    std::string text;
    const size_t length = random() % 17;
    for (size_t k = 0; k < length; ++k) text += bytes[random() % bytes.size()];
    texts.push_back(text);
  }
  for (const std::string& a : texts) {
    for (size_t j = 0; j < 40; ++j) {
      const std::string& b = texts[random() % texts.size()];
      const int byText = CompareText(a, b);
      const uint64_t ka = *NumberTextKey(a);
      const uint64_t kb = *NumberTextKey(b);
      ASSERT_EQ((byText > 0) - (byText < 0), (ka > kb) - (ka < kb)) << a << " " << b;
    }
  }
  EXPECT_FALSE(NumberTextKey("1.0E+20"));
  EXPECT_FALSE(NumberTextKey("12345678901234567"));
}

TEST(ResultSortKeys, TheRadixOrderIsTheStableOrderOfTheKeys) {
  std::mt19937_64 random(9);
  for (const uint64_t spread : {uint64_t{1}, uint64_t{7}, uint64_t{70000}, ~uint64_t{0}}) {
    std::vector<uint64_t> keys(5000);
    for (uint64_t& key : keys) key = random() % spread;
    std::vector<uint32_t> expected(keys.size());
    std::iota(expected.begin(), expected.end(), 0u);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    EXPECT_EQ(StableOrderOfKeys(keys), expected) << spread;
  }
  EXPECT_TRUE(StableOrderOfKeys({}).empty());
}

TEST(ResultSortKeys, NoRankStandsForHundredthsThatTieInABrokenChain) {
  // 1.000 ties 1.009 and 1.009 ties 1.018, but 1.000 does not tie 1.018.
  const std::vector<ComparedCell> chain = {{"1.018", 0}, {"1.000", 0}, {"1.009", 0}};
  EXPECT_FALSE(RanksOf(kSortNumber, chain));
  EXPECT_FALSE(RanksOf(kSortNumberDescending, chain));
  const std::vector<ComparedCell> units = {{"100", 0}, {"1", 0}, {"100", 0}, {"1000", 0}};
  EXPECT_EQ(RanksOf(kSortNumber, units), (std::vector<uint64_t>{1, 0, 1, 2}));
  EXPECT_EQ(RanksOf(kSortNumberDescending, units), (std::vector<uint64_t>{1, 2, 1, 0}));
  const std::vector<ComparedCell> names = {{"b", 0}, {"A", 0}, {"a", 0}};
  EXPECT_EQ(RanksOf(kSortText, names), (std::vector<uint64_t>{1, 0, 0}));
  EXPECT_EQ(RanksOf(kSortTextDescending, names), (std::vector<uint64_t>{0, 1, 1}));
}

}  // namespace
