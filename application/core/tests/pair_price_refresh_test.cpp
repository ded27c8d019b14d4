#include "pair/pair_price_refresh.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "data/price_files.h"
#include "fake_ticvane.h"
#include "scratch_dir.h"

namespace {

using ::testing::StartsWith;

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

// A download or an update that cannot be saved says so, names the file, and
// leaves it as it was and unstamped, so the next check tries again.
TEST_F(PairRefreshTest, AFileThatCannotBeSavedIsReported) {
  const std::string stored = "2009/03/05\t1\t1\t1\t1\t1\r\n";
  const struct {
    const char* what;
    std::function<void(ScratchDir&)> prepare;
  } cases[] = {
      {"a folder in the place of a missing file",
       [](ScratchDir& d) { std::filesystem::create_directory(d.path() / "1301.txt"); }},
      {"a read-only file to update",
       [&](ScratchDir& d) {
         d.Write("1301.txt", stored);
         ASSERT_TRUE(StampPriceFile(d.path() / "1301.txt", "2009/03/01"));
         ASSERT_EQ(::chmod((d.path() / "1301.txt").c_str(), 0444), 0);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir scratch;
    c.prepare(scratch);
    fake.records = {{2009, 3, 6, 7, 7, 7, 7, 7}};
    std::string error = "stale";
    EXPECT_EQ(RefreshPairPriceFile(fake.Api(), 1, scratch.path(), "1301", kLatest, table, &error),
              PairRefresh::kSaveFailed);
    // "ファイル "<file>" を保存できません: " and the reason
    EXPECT_THAT(error, StartsWith("\x83\x74\x83\x40\x83\x43\x83\x8B \"" +
                                  (scratch.path() / "1301.txt").string() +
                                  "\" \x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC"
                                  "\x82\xB9\x82\xF1: "));
    EXPECT_FALSE(PriceFileStampedOn(scratch.path() / "1301.txt", kLatest));
    EXPECT_EQ(table.Find("1301")->Vol, -1);
    if (std::filesystem::is_regular_file(scratch.path() / "1301.txt")) {
      EXPECT_EQ(scratch.Read("1301.txt"), stored);
    }
  }
  // A refresh that could save clears the message.
  std::string error = "stale";
  fake.historyResult = kTicvaneFailed;
  EXPECT_EQ(RefreshPairPriceFile(fake.Api(), 1, dir.path(), "1301", kLatest, table, &error),
            PairRefresh::kMissing);
  EXPECT_EQ(error, "");
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
