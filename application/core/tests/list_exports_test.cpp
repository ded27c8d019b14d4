#include "output/list_exports.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "data/price_files.h"
#include "vcl/cp932_text.h"

namespace {

// "銘柄\t取引所\t業種\t単元\t平均出来高\t貸借"
constexpr char kCodeHeader[] =
    "\x96\xC1\x95\xBF\t\x8E\xE6\x88\xF8\x8F\x8A\t\x8B\xC6\x8E\xED\t\x92\x50\x8C\xB3\t"
    "\x95\xBD\x8B\xCF\x8F\x6F\x97\x88\x8D\x82\t\x91\xDD\x8E\xD8";

TEST(CodeListExport, HeaderThenOneLinePerCodeInCodeOrder) {
  CodeTable table;
  // "トヨタ自動車", "東証1部", sector 16 (電気機器)
  table.InsertCodeData("7203", {.Ng = 1,
                                .Name = "\x83\x67\x83\x88\x83\x5E\x8E\xA9\x93\xAE\x8E\xD4",
                                .Market = "\x93\x8C\x8F\xD8\x31\x95\x94",
                                .Type = 16,
                                .Unit = 100,
                                .Vol = 1234567,
                                .Loan = 1});
  table.InsertCodeData("1301", {.Name = "Kyokuyo", .Market = "JQ", .Type = 1, .Unit = 1000});
  table.InsertCodeData("2000", {.Name = "Zero", .Market = "JQ", .Type = 99, .Unit = 1, .Vol = 0});

  const std::vector<std::string> lines = MakeCodeList(table);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], kCodeHeader);
  // Not measured shows "-"; not eligible ends with a TAB and an empty field.
  EXPECT_EQ(lines[1],
            "1301 Kyokuyo\tJQ\t\x90\x85\x8E\x59\x81\x45\x94\x5F\x97\xD1\x8B\xC6\t1000\t-\t");
  // A volume of 0 is "0"; a sector outside the table is "その他".
  EXPECT_EQ(lines[2], "2000 Zero\tJQ\t\x82\xBB\x82\xCC\x91\xBC\t1\t0\t");
  // The exclusion mark is not exported; eligible codes end with "○".
  EXPECT_EQ(lines[3],
            "7203 \x83\x67\x83\x88\x83\x5E\x8E\xA9\x93\xAE\x8E\xD4\t\x93\x8C\x8F\xD8\x31\x95\x94\t"
            "\x93\x64\x8B\x43\x8B\x40\x8A\xED\t100\t1234567\t\x81\x9B");
}

TEST(CodeListExport, EmptyTableGivesTheHeaderAlone) {
  const CodeTable table;
  EXPECT_EQ(MakeCodeList(table), std::vector<std::string>{kCodeHeader});
}

// The export from the list's lines is the export of the rows the list
// used to hold, each cell a field of SplitFields.
TEST(PastListExport, FromTheLinesAsFromTheRowsOfTheirFields) {
  using namespace std::string_literals;
  const std::string file =
      "2024/06/28\t2500\t2490\t2510\t2480\t123400\r\n"
      "short\t1\r\n"
      "\r\n"
      "1\t2\t3\t4\t5\t6\t7\t8\rcr\tonly\n"
      "\x93\xFA\x95\x74\t\xEE\xE0\tzero\0\t\t\t\r\r\n"
      "no end"s;
  std::vector<PriceListRow> rows;
  for (const std::string& line : vcl::SplitLines(file)) {
    const PriceLineFields f = SplitFields(line);
    rows.push_back({f.date, f.close, f.open, f.high, f.low, f.volume});
  }
  ASSERT_EQ(rows.size(), 8u);
  const PriceFileLines lines = PriceFileLines::Index(file).value();
  EXPECT_EQ(vcl::JoinLinesCrlf(MakePastListFromLines(lines)),
            vcl::JoinLinesCrlf(MakePastList(rows)));
  EXPECT_EQ(MakePastListFromLines(PriceFileLines()), MakePastList({}));
}

TEST(PastListExport, SixColumnsAsShownBehindTheHeader) {
  const std::vector<std::string> lines =
      MakePastList({{"2026/12/09", "2,510", "2500", "2520", "2490", "1000"},
                    {"2026/12/08", "", "", "", "", "0"}});
  ASSERT_EQ(lines.size(), 3u);
  // "      日付\t終値\t始値\t高値\t安値\t出来高"
  EXPECT_EQ(lines[0],
            "      \x93\xFA\x95\x74\t\x8F\x49\x92\x6C\t\x8E\x6E\x92\x6C\t\x8D\x82\x92\x6C\t"
            "\x88\xC0\x92\x6C\t\x8F\x6F\x97\x88\x8D\x82");
  EXPECT_EQ(lines[1], "2026/12/09\t2,510\t2500\t2520\t2490\t1000");
  EXPECT_EQ(lines[2], "2026/12/08\t\t\t\t\t0");
  EXPECT_EQ(MakePastList({}).size(), 1u);
}

// "銘柄（売）\t取引所\t業種\t単元\t出来高\t貸借\t銘柄（買）\t取引所\t業種\t単元\t出来高\t貸借\t単元比"
constexpr char kScrnHeader[] =
    "\x96\xC1\x95\xBF\x81\x69\x94\x84\x81\x6A\t\x8E\xE6\x88\xF8\x8F\x8A\t\x8B\xC6\x8E\xED\t"
    "\x92\x50\x8C\xB3\t\x8F\x6F\x97\x88\x8D\x82\t\x91\xDD\x8E\xD8\t"
    "\x96\xC1\x95\xBF\x81\x69\x94\x83\x81\x6A\t\x8E\xE6\x88\xF8\x8F\x8A\t\x8B\xC6\x8E\xED\t"
    "\x92\x50\x8C\xB3\t\x8F\x6F\x97\x88\x8D\x82\t\x91\xDD\x8E\xD8\t\x92\x50\x8C\xB3\x94\xE4";

size_t FieldCount(const std::string& line) {
  return static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1;
}

ScreeningResultTexts::Row ResultRow(std::vector<std::string> technical) {
  ScreeningResultTexts::Row row;
  row.fixed = {"1301 A", "JQ", "S1",  "1000", "5000", "\x81\x9B", "1332 B",
               "T1",     "S2", "100", "900",  "",     "1 : 10"};
  row.technical = std::move(technical);
  return row;
}

TEST(ScrnListExport, FixedColumnsThenTheUnitRatioAfterABlankThenTechnicalColumns) {
  ScreeningResultTexts result;
  // "相関係数", "回帰係数", "標準偏差"
  result.technicalCaptions = {"\x91\x8A\x8A\xD6\x8C\x57\x90\x94",
                              "\x89\xF1\x8B\x41\x8C\x57\x90\x94",
                              "\x95\x57\x8F\x80\x95\xCE\x8D\xB7"};
  result.rows = {ResultRow({"0.95", "1.02", "3.10"}), ResultRow({"0.80"})};
  const std::vector<std::string> lines = MakeScrnList(result);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(kScrnHeader) +
                          "\t\x91\x8A\x8A\xD6\x8C\x57\x90\x94\t\x89\xF1\x8B\x41\x8C\x57\x90\x94"
                          "\t\x95\x57\x8F\x80\x95\xCE\x8D\xB7");
  EXPECT_EQ(lines[1],
            "1301 A\tJQ\tS1\t1000\t5000\t\x81\x9B\t1332 B\tT1\tS2\t100\t900\t\t 1 : 10"
            "\t0.95\t1.02\t3.10");
  // A row short of technical texts still has a field for every column.
  EXPECT_EQ(lines[2],
            "1301 A\tJQ\tS1\t1000\t5000\t\x81\x9B\t1332 B\tT1\tS2\t100\t900\t\t 1 : 10\t0.80\t\t");
  for (const std::string& line : lines) EXPECT_EQ(FieldCount(line), 16u) << line;
}

TEST(ScrnListExport, WithoutTechnicalColumnsThirteenFieldsAndExtraTextsDropped) {
  ScreeningResultTexts result;
  result.rows = {ResultRow({"stray"})};
  const std::vector<std::string> lines = MakeScrnList(result);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], kScrnHeader);
  EXPECT_EQ(lines[1], "1301 A\tJQ\tS1\t1000\t5000\t\x81\x9B\t1332 B\tT1\tS2\t100\t900\t\t 1 : 10");
  EXPECT_EQ(MakeScrnList({}), std::vector<std::string>{kScrnHeader});
}

PairDayRecord Day(int32_t year, int32_t month, int32_t day, int32_t closeA, int32_t closeB,
                  double rate) {
  PairDayRecord record;
  record.Year = year;
  record.Month = month;
  record.Day = day;
  record.CloseA = closeA;
  record.CloseB = closeB;
  record.Rate = rate;
  return record;
}

TEST(PairListExport, DateClosesAndRateWithTwoDecimalsNewestFirst) {
  const std::vector<std::string> lines =
      MakePairList({Day(2026, 12, 9, 251000, 60200, 1.005), Day(2026, 1, 5, 0, 61000, -0.125),
                    Day(999, 10, 31, 12, -3, 123456.789), Day(2026, 2, 1, 5, 5, -0.004)});
  ASSERT_EQ(lines.size(), 5u);
  // "      日付\tA終値\tB終値\t乖離率"
  EXPECT_EQ(
      lines[0],
      "      \x93\xFA\x95\x74\tA\x8F\x49\x92\x6C\tB\x8F\x49\x92\x6C\t\x98\xA8\x97\xA3\x97\xA6");
  // Two decimals, half away from zero on the decimal expansion (1.005 is
  // 1.00499...).
  EXPECT_EQ(lines[1], "2026/12/09\t251000\t60200\t1.00");
  EXPECT_EQ(lines[2], "2026/01/05\t0\t61000\t-0.13");
  EXPECT_EQ(lines[3], "999/10/31\t12\t-3\t123456.80");
  // Rounded to zero, without a sign.
  EXPECT_EQ(lines[4], "2026/02/01\t5\t5\t0.00");
}

TEST(PairListExport, AFullPeriodOf1200DaysGives1201Lines) {
  std::vector<PairDayRecord> days;
  for (int i = 0; i < 1200; ++i) days.push_back(Day(2026, 12, 9 - i % 9, 100 + i, 200, 0.5));
  const std::vector<std::string> lines = MakePairList(days);
  ASSERT_EQ(lines.size(), 1201u);
  EXPECT_EQ(lines[1], "2026/12/09\t100\t200\t0.50");
  EXPECT_EQ(MakePairList({}).size(), 1u);
}

TEST(ExportText, EveryLineEndsWithCrLfTheLastOneToo) {
  const std::string text = vcl::JoinLinesCrlf(MakePastList({{"d", "1", "2", "3", "4", "5"}}));
  EXPECT_EQ(text,
            "      \x93\xFA\x95\x74\t\x8F\x49\x92\x6C\t\x8E\x6E\x92\x6C\t\x8D\x82\x92\x6C\t"
            "\x88\xC0\x92\x6C\t\x8F\x6F\x97\x88\x8D\x82\r\n"
            "d\t1\t2\t3\t4\t5\r\n");
}

TEST(ExportFileName, ProposedNamesStayInTheChosenDirectory) {
  const struct {
    std::string stem;
    std::string name;
  } cases[] = {
      {"Code", "Code.csv"},
      {"----", "----.csv"},
      {"7203-9984", "7203-9984.csv"},
      {"-", "-.csv"},
      {"../etc/x", ".._etc_x.csv"},
      {std::string("a\0b", 3), "a_b.csv"},
      // "ソ" (83 5C) and "表" (95 5C) keep their trail bytes.
      {"\x83\x5C\x95\x5C/", "\x83\x5C\x95\x5C_.csv"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExportFileName(c.stem), c.name) << c.stem;
  EXPECT_EQ(ExportFileName("1301/1332", ".pdf"), "1301_1332.pdf");
}

}  // namespace
