#include "sample_directory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code_file.h"
#include "pair_price_refresh.h"
#include "pair_series.h"
#include "price_files.h"
#include "scratch_dir.h"
#include "statistics.h"
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

}  // namespace
