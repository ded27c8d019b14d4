#include "pair_price_refresh.h"

#include <gtest/gtest.h>

#include "fake_ticvane.h"
#include "price_files.h"
#include "scratch_dir.h"

namespace {

constexpr char kLatest[] = "2009/03/06";

class PairRefreshTest : public ::testing::Test {
 protected:
  PairRefreshTest() {
    TCodeData data;
    data.Name = "sample";
    data.Unit = 100;
    table.StoreCodeData("1301", data);
    table.Changed = false;
  }

  PairRefresh Refresh(const std::string& latest = kLatest) {
    return RefreshPairPriceFile(fake.Api(), 1, dir.path(), "1301", latest, table);
  }
  std::filesystem::path File() const { return dir.path() / "1301.txt"; }

  ScratchDir dir;
  FakeTicvane fake;
  CodeTable table;
};

TEST_F(PairRefreshTest, MissingFileIsDownloadedStampedAndMeasured) {
  fake.records = {{2009, 3, 6, 500, 490, 510, 480, 2000}, {2009, 3, 5, 490, 480, 500, 470, 1000}};
  EXPECT_EQ(Refresh(), PairRefresh::kDownloaded);
  EXPECT_EQ(fake.pastDataCalls.size(), 1u);
  EXPECT_TRUE(PriceFileStampedOn(File(), kLatest));
  EXPECT_EQ(table.Find("1301")->Vol, 1500);
  EXPECT_TRUE(table.Changed);
}

TEST_F(PairRefreshTest, FailedDownloadLeavesNoFile) {
  fake.historyResult = kTicvaneFailed;
  EXPECT_EQ(Refresh(), PairRefresh::kMissing);
  EXPECT_FALSE(std::filesystem::exists(File()));
  EXPECT_EQ(table.Find("1301")->Vol, -1);
}

TEST_F(PairRefreshTest, StampedFileIsLeftAlone) {
  dir.Write("1301.txt", "2009/03/02\t1\t1\t1\t1\t1\r\n");
  ASSERT_TRUE(StampPriceFile(File(), kLatest));
  EXPECT_EQ(Refresh(), PairRefresh::kUpToDate);
  EXPECT_TRUE(fake.updPastDataCalls.empty());
}

TEST_F(PairRefreshTest, FileOfTheLatestDayIsOnlyStamped) {
  dir.Write("1301.txt", "2009/03/06\t1\t1\t1\t1\t1\r\n");
  EXPECT_EQ(Refresh(), PairRefresh::kChecked);
  EXPECT_TRUE(fake.updPastDataCalls.empty());
  EXPECT_TRUE(PriceFileStampedOn(File(), kLatest));
}

TEST_F(PairRefreshTest, OlderFileIsUpdatedAndStamped) {
  dir.Write("1301.txt", "2009/03/05\t1\t1\t1\t1\t1\r\n");
  fake.records = {{2009, 3, 6, 7, 7, 7, 7, 7}};
  EXPECT_EQ(Refresh(), PairRefresh::kUpdated);
  EXPECT_EQ(dir.Read("1301.txt"), "2009/03/06\t7\t7\t7\t7\t7\r\n2009/03/05\t1\t1\t1\t1\t1\r\n");
  EXPECT_TRUE(PriceFileStampedOn(File(), kLatest));
}

TEST_F(PairRefreshTest, FailedUpdateIsStillStamped) {
  dir.Write("1301.txt", "2009/03/05\t1\t1\t1\t1\t1\r\n");
  fake.historyResult = kTicvaneFailed;
  EXPECT_EQ(Refresh(), PairRefresh::kNotUpdated);
  EXPECT_EQ(dir.Read("1301.txt"), "2009/03/05\t1\t1\t1\t1\t1\r\n");
  EXPECT_TRUE(PriceFileStampedOn(File(), kLatest));
}

TEST_F(PairRefreshTest, MalformedFileIsNotUpdatedAndReadAsItIs) {
  dir.Write("1301.txt", "garbage\r\n");
  EXPECT_EQ(Refresh(), PairRefresh::kNotUpdated);
  EXPECT_TRUE(fake.updPastDataCalls.empty());
  EXPECT_EQ(dir.Read("1301.txt"), "garbage\r\n");
  std::vector<CodeDayRecord> days;
  const auto error = ReadPairPriceFile(dir.path(), "1301", 1, 0, days);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->kind, SeriesError::Kind::kNotInteger);
}

TEST_F(PairRefreshTest, UnknownMarketDateRefreshesWithoutStamping) {
  fake.records = {{2009, 3, 6, 500, 490, 510, 480, 2000}};
  EXPECT_EQ(Refresh(kUnknownMarketDate), PairRefresh::kDownloaded);
  EXPECT_FALSE(PriceFileStampedOn(File(), kLatest));
  // Never stamped, so the next check tries the update again.
  EXPECT_EQ(Refresh(kUnknownMarketDate), PairRefresh::kUpdated);
  EXPECT_EQ(fake.updPastDataCalls.size(), 1u);
}

TEST_F(PairRefreshTest, ReadingScalesAndMissingFileGivesNoDays) {
  dir.Write("1301.txt", "2009/03/06\t500\t490\t510\t480\t2000\r\n");
  std::vector<CodeDayRecord> days;
  ASSERT_FALSE(ReadPairPriceFile(dir.path(), "1301", 100, 5, days).has_value());
  ASSERT_EQ(days.size(), 1u);
  EXPECT_EQ(days[0].Close, 50005);
  ASSERT_FALSE(ReadPairPriceFile(dir.path(), "1302", 100, 5, days).has_value());
  EXPECT_TRUE(days.empty());
}

}  // namespace
