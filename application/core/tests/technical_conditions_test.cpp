#include "screening/technical_conditions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scratch_dir.h"
#include "screening/screening_settings.h"

namespace {

using ::testing::ElementsAre;

const std::string kCorrelation = "\x91\x8A\x8A\xD6\x8C\x57\x90\x94";  // 相関係数
const std::string kRegression = "\x89\xF1\x8B\x41\x8C\x57\x90\x94";   // 回帰係数
const std::string kStdDev = "\x95\x57\x8F\x80\x95\xCE\x8D\xB7";       // 標準偏差

TEST(TechnicalEditors, PeriodCorrection) {
  const struct {
    const char* text;
    int32_t replacement;
    const char* corrected;
  } cases[] = {
      {"", 1, ""},
      {"0", 1, "1"},
      {"abc", 1, "1"},
      {"0001", 1, "1"},
      {"1500", 1200, "1200"},
      {"-5", 1200, "1200"},
      {"1200", 1200, "1200"},
      {"25", 1, "25"},
      {"1e3", 1, "1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CorrectPeriodText(c.text, c.replacement), c.corrected) << c.text;
  }
}

TEST(TechnicalEditors, BoundCorrectionByKind) {
  using K = TechnicalKind;
  const auto upper = RangeBound::Upper;
  const auto lower = RangeBound::Lower;
  const struct {
    const char* text;
    K kind;
    RangeBound bound;
    const char* corrected;
  } cases[] = {
      {"", K::Correlation, upper, ""},
      {"1.5", K::Correlation, upper, "1.000000"},
      {"0.85", K::Correlation, upper, "0.850000"},
      {"-1", K::Correlation, upper, "-1.000000"},
      {"x", K::Correlation, upper, "1.000000"},
      {"x", K::Regression, upper, "0.001000"},
      {"-0.02", K::Regression, upper, "-0.020000"},
      {"-2", K::StdDeviation, upper, ""},
      {"x", K::StdDeviation, upper, ""},
      {"1.5", K::StdDeviation, upper, "1.50"},
      {"0.900000", K::StdDeviation, upper, "0.90"},
      {"-1.5", K::Correlation, lower, "0.900000"},
      {"x", K::Regression, lower, "-0.001000"},
      {"-2", K::StdDeviation, lower, "1.00"},
      {"0.5", K::StdDeviation, lower, "0.50"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CorrectBoundText(c.text, c.kind, c.bound), c.corrected) << c.text;
  }
}

TEST(TechnicalRows, RangeTextsAroundTheCp932Separator) {
  EXPECT_EQ(JoinRangeText("1", 4, "1200"), "   1 \x81\x60 1200");
  EXPECT_EQ(JoinRangeText("0.900000", 9, "1.000000"), " 0.900000 \x81\x60 1.000000");
  EXPECT_EQ(JoinRangeText("-0.0012345", 9, ""), "-0.0012345 \x81\x60 ");
  EXPECT_EQ(SplitRangeText("   1 \x81\x60 1200"),
            std::make_pair(std::string("1"), std::string("1200")));
  EXPECT_EQ(SplitRangeText(" \x81\x60 "), std::make_pair(std::string(), std::string()));
  EXPECT_EQ(SplitRangeText("  7"), std::make_pair(std::string("7"), std::string()));
  EXPECT_EQ(ResultSortKindOfText(kCorrelation), 2);
  EXPECT_EQ(ResultSortKindOfText(kRegression), 5);
  EXPECT_EQ(ResultSortKindOfText(kStdDev), 4);
  EXPECT_EQ(ResultSortKindOfText("?"), 4);
}

TEST(ScreeningSettings, TickTextsReachOnlyTheirItems) {
  std::array<bool, 10> ticks{};
  ticks[5] = true;
  ApplyTickText("101", ticks);
  EXPECT_EQ(TickText(ticks), "1010010000");
  ApplyTickText("011111111111111", ticks);
  EXPECT_EQ(TickText(ticks), "0111111111");
}

TEST(ScreeningSettings, TechnicalRowsRoundTrip) {
  ScratchDir dir;
  vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  dir.Write("Dyadmark.ini",
            "[Technical]\r\nCount=5\r\nKind4=old\r\nCheck2=0\r\nResultC2=2\r\nResult2=R\r\n");
  std::vector<TechnicalCondition> rows = ReadTechnicalSection(ini);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].kind, kCorrelation);
  EXPECT_EQ(rows[0].period, "   1 \x81\x60 1200");
  EXPECT_EQ(rows[0].range, " 0.900000 \x81\x60 1.000000");
  EXPECT_EQ(rows[2].check, 0);
  EXPECT_FALSE(rows[2].resultShown);  // "ResultC" 2 shows no result
  EXPECT_EQ(rows[2].resultCaption, "");

  rows.resize(2);
  rows[1].kind = kStdDev;
  rows[1].resultShown = true;
  rows[1].resultCaption = "SD";
  rows[1].resultWidth = "70";
  WriteTechnicalSection(ini, rows);
  EXPECT_EQ(ini.ReadString("Technical", "FromTo0", ""), "/   1 \x81\x60 1200/");
  EXPECT_EQ(ini.ReadString("Technical", "Values0", ""), "/ 0.900000 \x81\x60 1.000000/");
  EXPECT_EQ(ini.ReadString("Technical", "Kind4", ""), "old");  // left in place

  const std::vector<TechnicalCondition> back = ReadTechnicalSection(ini);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].kind, kStdDev);
  EXPECT_TRUE(back[1].resultShown);
  EXPECT_EQ(back[1].resultCaption, "SD");
  EXPECT_EQ(back[1].resultWidth, "70");
  EXPECT_EQ(back[1].sortKind, 4);
  EXPECT_EQ(back[0].period, rows[0].period);
}

TEST(ScreeningSettings, HistorySections) {
  ScratchDir dir;
  vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  EXPECT_TRUE(ReadHistorySection(ini, "CodeA").empty());
  WriteHistorySection(ini, "CodeA", {"1301,1302", "1301-1305"});
  EXPECT_THAT(ReadHistorySection(ini, "CodeA"), ElementsAre("1301,1302", "1301-1305"));
  WriteHistorySection(ini, "CodeA", {"7203"});
  EXPECT_THAT(ReadHistorySection(ini, "CodeA"), ElementsAre("7203"));
  EXPECT_EQ(ini.ReadString("CodeA", "List2", "gone"), "gone");
}

TEST(ScreeningSettings, DamagedCountsAreCut) {
  ScratchDir dir;
  const vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  dir.Write("Dyadmark.ini",
            "[Technical]\r\nCount=2000000000\r\n[CodeA]\r\nCount=2000000000\r\nList1=7203\r\n");
  EXPECT_EQ(ReadTechnicalSection(ini).size(), 1000u);
  const std::vector<std::string> history = ReadHistorySection(ini, "CodeA");
  ASSERT_EQ(history.size(), 1000u);
  EXPECT_EQ(history[0], "7203");
}

}  // namespace
