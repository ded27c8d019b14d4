#include "sample_directory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/code_file.h"
#include "data/price_files.h"
#include "data/statistics.h"
#include "pair/pair_chart_settings.h"
#include "pair/pair_price_refresh.h"
#include "pair/pair_series.h"
#include "scratch_dir.h"
#include "screening/screening_settings.h"
#include "vcl/cp932_text.h"
#include "vcl/inifile.h"

namespace {

constexpr char kSampleWord[] = "\x83\x54\x83\x93\x83\x76\x83\x8B";  // "サンプル"

class SampleDirectoryTest : public ::testing::Test {
 protected:
  SampleDirectoryTest() { WriteSampleDirectory(dir.path()); }

  std::vector<int32_t> Closes(int code) const {
    std::vector<CodeDayRecord> days;
    EXPECT_FALSE(ReadPairPriceFile(dir.path(), std::to_string(code), 1, 0, days).has_value());
    std::vector<int32_t> closes;
    for (const auto& day : days) closes.push_back(day.Close);
    return closes;
  }

  ScratchDir dir;
};

TEST_F(SampleDirectoryTest, CodeTableOfSampleCompanies) {
  CodeTable table;
  LoadCodeFile(table, dir.path());
  ASSERT_EQ(table.Count(), kSampleGroups * kSampleCodesPerGroup);
  for (int i = 0; i < table.Count(); ++i) {
    EXPECT_EQ(table.CodeAt(i), std::to_string(kSampleFirstCode + 1 + i));
    EXPECT_EQ(table.DataAt(i).Name.rfind(kSampleWord, 0), 0u) << table.CodeAt(i);
    EXPECT_GT(table.DataAt(i).Unit, 0);
    EXPECT_GT(table.DataAt(i).Vol, 0);
  }
}

TEST_F(SampleDirectoryTest, PriceFilesInTheProgramsFormat) {
  for (int code = kSampleFirstCode + 1; code <= kSampleFirstCode + 36; ++code) {
    const std::string bytes = dir.Read(std::to_string(code) + ".txt");
    const std::vector<std::string> lines = vcl::SplitLines(bytes);
    ASSERT_EQ(lines.size(), static_cast<size_t>(kPriceFileMaxLines)) << code;
    EXPECT_EQ(vcl::JoinLinesCrlf(lines), bytes) << code;
    for (size_t i = 1; i < lines.size(); ++i) {
      ASSERT_GT(lines[i - 1].substr(0, 10), lines[i].substr(0, 10)) << code << " line " << i;
    }
    for (int32_t close : Closes(code)) ASSERT_GT(close, 0) << code;
  }
  EXPECT_EQ(ReadFirstLine(dir.path() / "9101.txt").substr(0, 10), "2024/06/28");
}

TEST_F(SampleDirectoryTest, CodesOfAGroupMoveTogether) {
  const auto a = Closes(9101);
  const auto b = Closes(9102);
  const auto c = Closes(9103);
  EXPECT_GT(Correlation(a.data(), b.data(), 250), 0.8);
  EXPECT_GT(Correlation(a.data(), c.data(), 250), 0.5);
}

TEST_F(SampleDirectoryTest, OfflineSettingsAreWrittenOnceAndTheSameBytesEveryTime) {
  const vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  EXPECT_FALSE(ini.ReadBool("Option", "OnLine", true));
  const std::string prices = dir.Read("9117.txt");
  dir.Write("Dyadmark.ini", "[Option]\r\nOnLine=1\r\n");
  WriteSampleDirectory(dir.path());
  EXPECT_EQ(dir.Read("Dyadmark.ini"), "[Option]\r\nOnLine=1\r\n");
  EXPECT_EQ(dir.Read("9117.txt"), prices);
}

// The first screening needs nothing but the button: list A, the group switch
// and one correlation row with its result column are stored, and F5 holds a
// chart preset for the whole period. The code page's layout is left to its
// defaults, which fit the program's font.
TEST_F(SampleDirectoryTest, SettingsHoldAFirstScreeningAndALongRangePreset) {
  const vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  EXPECT_EQ(ini.ReadString("Screening", "CodeA", ""), "9101-9136");
  EXPECT_TRUE(ini.ReadBool("Screening", "Group", false));
  const std::vector<TechnicalCondition> rows = ReadTechnicalSection(ini);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].check, 1);
  EXPECT_EQ(rows[0].kind, "\x91\x8A\x8A\xD6\x8C\x57\x90\x94");  // "相関係数"
  EXPECT_EQ(rows[0].period, "   1 \x81\x60 1200");
  EXPECT_EQ(rows[0].range, " 0.900000 \x81\x60 1.000000");
  EXPECT_TRUE(rows[0].resultShown);
  EXPECT_EQ(rows[0].sortKind, 2);

  const PairChartSettings preset = ReadPairChartSettings(ini, "ChartF5", PresetDefaults());
  EXPECT_EQ(ini.ReadString("ChartF5", "Caption", ""),
            "\x92\xB7\x8A\xFA"
            "1200"
            "\x93\xFA");
  EXPECT_EQ(preset.Renge, -1200);
  EXPECT_EQ(preset.BarLabel, 0);
  EXPECT_EQ(preset.YMDLabel, 2);
  EXPECT_EQ(preset.To, "1200");
  EXPECT_FALSE(ini.SectionExists("FrameC"));
}

}  // namespace
