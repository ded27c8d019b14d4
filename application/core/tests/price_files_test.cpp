#include "data/price_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "fake_ticvane.h"
#include "scratch_dir.h"
#include "vcl/testing/file_size_limit.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

PastDataRecord Day(int32_t year, int32_t month, int32_t day, int32_t close, int32_t volume) {
  return PastDataRecord{year, month, day, close, close - 2, close + 3, close - 5, volume};
}

TEST(PriceLine, FormattedAndReadBack) {
  const PastDataRecord record{2009, 3, 5, 512, 500, 520, 498, 183000};
  const std::string line = FormatPriceLine(record);
  EXPECT_EQ(line, "2009/03/05\t512\t500\t520\t498\t183000");
  EXPECT_EQ(CloseOfLine(line), "512");
  const PriceLineFields fields = SplitFields(line);
  EXPECT_EQ(fields.date, "2009/03/05");
  EXPECT_EQ(fields.close, "512");
  EXPECT_EQ(fields.open, "500");
  EXPECT_EQ(fields.high, "520");
  EXPECT_EQ(fields.low, "498");
  EXPECT_EQ(fields.volume, "183000");

  EXPECT_EQ(FormatPriceLine({812, 12, 31, -1, 0, 2147483647, -2147483647 - 1, 0}),
            "0812/12/31\t-1\t0\t2147483647\t-2147483648\t0");
}

TEST(PriceLine, CloseStartsAtByteEleven) {
  const struct {
    const char* line;
    const char* close;
  } cases[] = {
      {"", ""},
      {"2009/03/05\t", ""},
      {"2009/03/05\t7", "7"},
      {"2009/03/05\t512", "512"},
      {"2009/03/05\t-12\t1\t2", "-12"},
  };
  for (const auto& c : cases) EXPECT_EQ(CloseOfLine(c.line), c.close) << c.line;
}

TEST(PriceLine, SplitFieldsStopsAtTheSixthField) {
  const struct {
    const char* line;
    std::vector<std::string> fields;
  } cases[] = {
      {"abc", {"abc", "", "", "", "", ""}},
      {"a\tb", {"a", "b", "", "", "", ""}},
      {"1\t2\t3\t4\t5\t6", {"1", "2", "3", "4", "5", "6"}},
      {"1\t2\t3\t4\t5\t6\t7\t8", {"1", "2", "3", "4", "5", "6"}},  // after the sixth TAB: lost
      {"\t\t", {"", "", "", "", "", ""}},
  };
  for (const auto& c : cases) {
    const PriceLineFields f = SplitFields(c.line);
    EXPECT_EQ((std::vector<std::string>{f.date, f.close, f.open, f.high, f.low, f.volume}),
              c.fields)
        << c.line;
  }
}

TEST(PriceFile, FirstLineComesFromTheFirstEightyBytesOnly) {
  ScratchDir dir;
  const std::string line78(78, '7');
  const std::string line79(79, '9');
  dir.Write("a.txt", "2009/03/05\t512\t500\t520\t498\t183000\r\n2009/03/04\t1\t1\t1\t1\t1\r\n");
  dir.Write("b.txt", line78 + "\r\nrest\r\n");
  dir.Write("c.txt", line79 + "\r\n");
  dir.Write("d.txt", "2009/03/05\t512\n");  // LF only: no CR LF, no line
  EXPECT_EQ(ReadFirstLine(dir.path() / "a.txt"), "2009/03/05\t512\t500\t520\t498\t183000");
  EXPECT_EQ(ReadFirstLine(dir.path() / "b.txt"), line78);
  EXPECT_EQ(ReadFirstLine(dir.path() / "c.txt"), "");
  EXPECT_EQ(ReadFirstLine(dir.path() / "d.txt"), "");
  EXPECT_EQ(ReadFirstLine(dir.path() / "missing.txt"), "");
}

TEST(PriceFile, PathOnlyFromFourAsciiLettersOrDigits) {
  const std::filesystem::path dir = "/data";
  EXPECT_EQ(PriceFilePath(dir, "1301"), std::filesystem::path("/data/1301.txt"));
  EXPECT_EQ(PriceFilePath(dir, "AbC9"), std::filesystem::path("/data/AbC9.txt"));
  for (const char* code : {"", "130", "13011", "../a", "..\\a", "13 1", "13/1", "13.1",
                           "\x82\x60\x82\x61" /* ＡＢ */, "13\t1"}) {
    EXPECT_EQ(PriceFilePath(dir, code), std::nullopt) << code;
  }
}

// A data directory inside a scratch directory, so that a path that escaped
// it would show up beside it.
class PriceFileTest : public ::testing::Test {
 protected:
  std::filesystem::path DataDir() const { return scratch_.path() / "data"; }
  std::filesystem::path File(const std::string& code) const { return DataDir() / (code + ".txt"); }
  void WriteFile(const std::string& code, std::string_view bytes) {
    ASSERT_TRUE(WriteFileAtomically(File(code), bytes));
  }
  std::string ReadFile(const std::string& code) const {
    return ReadFileBytes(File(code)).value_or("<missing>");
  }
  // A modification time that no routine here would set by itself.
  void BackDate(const std::string& code) { std::filesystem::last_write_time(File(code), kOldTime); }
  bool StillBackDated(const std::string& code) const {
    return std::filesystem::last_write_time(File(code)) == kOldTime;
  }
  void SetUp() override { std::filesystem::create_directory(DataDir()); }

  const std::filesystem::file_time_type kOldTime =
      std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  ScratchDir scratch_;
  FakeTicvane fake_;
};

TEST_F(PriceFileTest, LatestMarketDateAsksForOneDayOf1306) {
  fake_.records = {Day(2009, 3, 5, 900, 10)};
  EXPECT_EQ(GetLatestMarketDate(fake_.Api(), 1), "2009/03/05");
  EXPECT_EQ(GetLatestMarketDate(fake_.Api(), 0), "2009/03/05");
  ASSERT_EQ(fake_.pastDataCalls.size(), 2u);
  EXPECT_EQ(fake_.pastDataCalls[0].code, "1306");
  EXPECT_EQ(fake_.pastDataCalls[0].maxCount, 1);
  EXPECT_EQ(fake_.pastDataCalls[0].yearsOffset, -1);
  EXPECT_EQ(fake_.pastDataCalls[0].source, 1);
  EXPECT_EQ(fake_.pastDataCalls[1].source, 0);
  EXPECT_EQ(fake_.clearPastDataCalls, 2);
  EXPECT_EQ(fake_.LiveRecords(), 0u);
}

TEST_F(PriceFileTest, LatestMarketDateUnknownOnFailureOrNoDay) {
  for (int32_t result : {kTicvaneFailed, kTicvaneTimedOut}) {
    fake_.historyResult = result;
    fake_.records = {Day(2009, 3, 5, 900, 10)};  // poison items left in the list
    EXPECT_EQ(GetLatestMarketDate(fake_.Api(), 1), "0000/00/00");
  }
  EXPECT_EQ(fake_.clearPastDataCalls, 0);

  fake_.historyResult = kTicvaneOk;
  fake_.records.clear();
  EXPECT_EQ(GetLatestMarketDate(fake_.Api(), 1), "0000/00/00");
  EXPECT_EQ(fake_.clearPastDataCalls, 1);
  EXPECT_EQ(fake_.foreignItemsCleared, 0);
}

TEST_F(PriceFileTest, FetchCodeInfoFillsEveryOutputFromOnePage) {
  fake_.name = "\x82\x60\x82\x61\x82\x62";  // ＡＢＣ
  fake_.halfWidthName = "ABC";
  fake_.market = "\x93\x8C\x8F\xD8\x31\x95\x94";  // 東証1部
  fake_.sector = 16;
  fake_.loan = 1;
  fake_.unit = 100;
  std::string name, market;
  int32_t sector = -1, unit = -1;
  uint8_t margin = 9;
  ASSERT_TRUE(FetchCodeInfo(fake_.Api(), 1, "6758", name, market, sector, unit, margin));
  EXPECT_EQ(name, "ABC");
  EXPECT_THAT(fake_.convertedTexts, ElementsAre("\x82\x60\x82\x61\x82\x62"));
  EXPECT_EQ(market, "\x93\x8C\x8F\xD8\x31\x95\x94");
  EXPECT_EQ(sector, 16);
  EXPECT_EQ(unit, 100);
  EXPECT_EQ(margin, 1);
  ASSERT_EQ(fake_.codeDataCalls.size(), 1u);
  EXPECT_EQ(fake_.codeDataCalls[0].code, "6758");
  EXPECT_EQ(fake_.codeDataCalls[0].source, 1);
  EXPECT_EQ(fake_.pagesNotFromCodeData, 0);
}

TEST_F(PriceFileTest, FetchCodeInfoStopsAtTheFirstFailingStep) {
  std::string name, market;
  int32_t sector = 0, unit = 0;
  uint8_t margin = 0;

  fake_.codeDataResult = kTicvaneFailed;
  EXPECT_FALSE(FetchCodeInfo(fake_.Api(), 0, "0000", name, market, sector, unit, margin));
  EXPECT_EQ(fake_.codeInfoCalls, 0);
  EXPECT_EQ(fake_.codeDataCalls.at(0).source, 0);

  fake_.codeDataResult = kTicvaneOk;
  fake_.codeInfoResult = false;
  EXPECT_FALSE(FetchCodeInfo(fake_.Api(), 0, "1301", name, market, sector, unit, margin));
  EXPECT_EQ(fake_.codeUnitCalls, 0);
  EXPECT_TRUE(fake_.convertedTexts.empty());

  fake_.codeInfoResult = true;
  fake_.codeUnitResult = false;
  EXPECT_FALSE(FetchCodeInfo(fake_.Api(), 0, "1301", name, market, sector, unit, margin));
  EXPECT_EQ(fake_.codeUnitCalls, 1);
}

TEST_F(PriceFileTest, DownloadWritesNewestFirstAndMeasuresTheVolume) {
  fake_.records = {Day(2009, 3, 5, 512, 100), Day(2009, 3, 4, 510, 200), Day(2009, 3, 3, 505, 200)};
  WriteFile("1301", "2000/01/01\t1\t1\t1\t1\t1\r\n");  // replaced
  int32_t averageVolume = -1;
  std::string error = "stale";
  ASSERT_TRUE(DownloadPriceFile(fake_.Api(), 1, DataDir(), "1301", averageVolume, &error));
  EXPECT_EQ(ReadFile("1301"),
            "2009/03/05\t512\t510\t515\t507\t100\r\n"
            "2009/03/04\t510\t508\t513\t505\t200\r\n"
            "2009/03/03\t505\t503\t508\t500\t200\r\n");
  EXPECT_EQ(averageVolume, 166);  // 166.666... rounded to 166.67, truncated
  EXPECT_EQ(error, "");
  ASSERT_EQ(fake_.pastDataCalls.size(), 1u);
  EXPECT_EQ(fake_.pastDataCalls[0].code, "1301");
  EXPECT_EQ(fake_.pastDataCalls[0].maxCount, 1225);
  EXPECT_EQ(fake_.pastDataCalls[0].yearsOffset, -6);
  EXPECT_EQ(fake_.pastDataCalls[0].source, 1);
  EXPECT_EQ(fake_.clearPastDataCalls, 1);
  EXPECT_EQ(fake_.LiveRecords(), 0u);
  EXPECT_THAT(scratch_.Names(), ElementsAre("data"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(DataDir()), {}), 1);
}

TEST_F(PriceFileTest, AverageVolumeIsTheRoundedMeanTruncated) {
  const struct {
    int ofVolume1235;
    int ofVolume1234;
    int32_t expected;
  } cases[] = {
      {249, 1, 1235},  // 308749 / 250 = 1234.996 -> 1235.00
      {497, 3, 1234},  // 617497 / 500 = 1234.994 -> 1234.99
  };
  for (const auto& c : cases) {
    fake_.records.clear();
    // One day each, falling from 31 December 2009.
    std::chrono::sys_days date = std::chrono::year{2009} / 12 / 31;
    for (int i = 0; i < c.ofVolume1235 + c.ofVolume1234; ++i, date -= std::chrono::days{1}) {
      const std::chrono::year_month_day ymd{date};
      fake_.records.push_back(Day(int(ymd.year()), int(unsigned(ymd.month())),
                                  int(unsigned(ymd.day())), 1, i < c.ofVolume1235 ? 1235 : 1234));
    }
    int32_t averageVolume = -1;
    ASSERT_TRUE(DownloadPriceFile(fake_.Api(), 0, DataDir(), "1301", averageVolume));
    EXPECT_EQ(averageVolume, c.expected);
  }
}

TEST_F(PriceFileTest, AverageVolumeBeyondTheInt32LimitStaysAtTheLimit) {
  // Seven significant digits make 2147483647 into 2147484000.
  const struct {
    int32_t volume;
    int32_t expected;
  } cases[] = {
      {2147483647, 2147483647},
      {2147483000, 2147483000},
      {-2147483647 - 1, -2147483647 - 1},
  };
  for (const auto& c : cases) {
    fake_.records = {Day(2009, 3, 5, 1, c.volume), Day(2009, 3, 4, 1, c.volume)};
    int32_t averageVolume = 0;
    ASSERT_TRUE(DownloadPriceFile(fake_.Api(), 0, DataDir(), "1301", averageVolume));
    EXPECT_EQ(averageVolume, c.expected) << c.volume;
  }
}

TEST_F(PriceFileTest, FailedOrEmptyDownloadKeepsTheStoredHistory) {
  const std::string stored = "2009/03/05\t512\t500\t520\t498\t183000\r\n";
  WriteFile("1301", stored);
  BackDate("1301");
  const struct {
    const char* what;
    int32_t result;
    size_t records;
    int clears;
  } cases[] = {
      {"failure", kTicvaneFailed, 2, 0},
      {"time-out", kTicvaneTimedOut, 2, 0},
      {"success without a day", kTicvaneOk, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fake_.historyResult = c.result;
    fake_.records.assign(c.records, Day(2010, 1, 1, 1, 1));
    fake_.clearPastDataCalls = 0;
    int32_t averageVolume = 777;
    std::string error = "stale";
    EXPECT_FALSE(DownloadPriceFile(fake_.Api(), 1, DataDir(), "1301", averageVolume, &error));
    EXPECT_EQ(averageVolume, 777);
    EXPECT_EQ(error, "");
    EXPECT_EQ(ReadFile("1301"), stored);
    EXPECT_TRUE(StillBackDated("1301"));
    EXPECT_EQ(fake_.clearPastDataCalls, c.clears);
    EXPECT_EQ(fake_.foreignItemsCleared, 0);
  }
}

TEST_F(PriceFileTest, DownloadThatCannotBeSavedSaysSo) {
  std::filesystem::create_directory(File("1301"));  // in the way
  fake_.records = {Day(2009, 3, 5, 512, 100)};
  int32_t averageVolume = 777;
  std::string error;
  EXPECT_FALSE(DownloadPriceFile(fake_.Api(), 1, DataDir(), "1301", averageVolume, &error));
  EXPECT_THAT(error, HasSubstr("1301.txt"));
  EXPECT_EQ(averageVolume, 777);
  EXPECT_EQ(fake_.LiveRecords(), 0u);
  EXPECT_TRUE(std::filesystem::is_directory(File("1301")));
}

TEST_F(PriceFileTest, BadCodeTouchesNoFileAndCallsNoLibrary) {
  fake_.records = {Day(2009, 3, 5, 512, 100)};
  int32_t averageVolume = 777;
  std::string error;
  EXPECT_FALSE(DownloadPriceFile(fake_.Api(), 1, DataDir(), "../a", averageVolume, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(UpdatePriceFile(fake_.Api(), 1, DataDir(), "../a", &error), UpdateResult::kBadCode);
  EXPECT_TRUE(fake_.pastDataCalls.empty());
  EXPECT_TRUE(fake_.updPastDataCalls.empty());
  EXPECT_THAT(scratch_.Names(), ElementsAre("data"));
  EXPECT_TRUE(std::filesystem::is_empty(DataDir()));
}

// Stored lines, newest first; line 0 is 2009/03/05, the later ones go back
// in time (only their order matters here).
std::vector<std::string> StoredLines(int count) {
  std::vector<std::string> lines = {"2009/03/05\t1000\t1\t1\t1\t0"};
  for (int i = 1; i < count; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "%04d/%02d/%02d\t%d\t1\t1\t1\t%d", 2008 - i / 240,
                  12 - (i % 240) / 20, 28 - i % 20, 1000 + i, i);
    lines.push_back(line);
  }
  return lines;
}

std::string Crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

TEST_F(PriceFileTest, UpdatePutsNewDaysOnTopAndKeeps1225Lines) {
  std::vector<std::string> stored = StoredLines(1225);
  WriteFile("1301", Crlf(stored));
  fake_.records = {Day(2009, 3, 10, 530, 3), Day(2009, 3, 9, 520, 2), Day(2009, 3, 6, 515, 1)};
  std::string error = "stale";
  EXPECT_EQ(UpdatePriceFile(fake_.Api(), 1, DataDir(), "1301", &error), UpdateResult::kUpdated);
  EXPECT_EQ(error, "");
  ASSERT_EQ(fake_.updPastDataCalls.size(), 1u);
  EXPECT_EQ(fake_.updPastDataCalls[0].code, "1301");
  EXPECT_EQ(fake_.updPastDataCalls[0].maxCount, 1225);
  EXPECT_EQ(fake_.updPastDataCalls[0].yearsOffset, -6);
  EXPECT_EQ(fake_.updPastDataCalls[0].newestStored, 20090305);
  EXPECT_EQ(fake_.updPastDataCalls[0].source, 1);
  EXPECT_EQ(fake_.clearPastDataCalls, 1);
  EXPECT_EQ(fake_.LiveRecords(), 0u);

  std::vector<std::string> expected = {"2009/03/10\t530\t528\t533\t525\t3",
                                       "2009/03/09\t520\t518\t523\t515\t2",
                                       "2009/03/06\t515\t513\t518\t510\t1"};
  expected.insert(expected.end(), stored.begin(), stored.end() - 3);  // the three oldest go
  EXPECT_EQ(ReadFile("1301"), Crlf(expected));
}

// What a library that misbehaves may hand over, and the lines a price file
// takes of it: days after today are passed over, and the first day that does
// not fall below the one before it (or, in an update, does not lie above the
// stored newest day, 5 March 2009) ends the history there.
TEST_F(PriceFileTest, OnlyFallingDaysUpToTodayGoIntoAFile) {
  const std::string stored = "2009/03/05\t512\t500\t520\t498\t183000\r\n";
  const std::string day10 = "2009/03/10\t530\t528\t533\t525\t3\r\n";
  const std::string day9 = "2009/03/09\t520\t518\t523\t515\t2\r\n";
  const struct {
    const char* what;
    std::vector<PastDataRecord> records;
    std::string downloaded;  // the file after a full download
    std::string updated;     // the file after an update of `stored`
  } cases[] = {
      {"repeated rows",
       {Day(2009, 3, 10, 530, 3), Day(2009, 3, 9, 520, 2), Day(2009, 3, 10, 530, 3),
        Day(2009, 3, 9, 520, 2)},
       day10 + day9,
       day10 + day9 + stored},
      {"a day after today",
       {Day(2099, 12, 31, 1, 1), Day(2009, 3, 10, 530, 3), Day(2099, 12, 31, 1, 1),
        Day(2009, 3, 9, 520, 2)},
       day10 + day9,
       day10 + day9 + stored},
      {"a day not newer than the stored one",
       {Day(2009, 3, 10, 530, 3), Day(2009, 3, 5, 1, 1), Day(2009, 3, 4, 1, 1)},
       day10 + "2009/03/05\t1\t-1\t4\t-4\t1\r\n2009/03/04\t1\t-1\t4\t-4\t1\r\n",
       day10 + stored},
      {"no day at all", {Day(2099, 12, 31, 1, 1), Day(2009, 2, 30, 1, 1)}, stored, stored},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fake_.records = c.records;
    WriteFile("1301", stored);
    int32_t averageVolume = -1;
    DownloadPriceFile(fake_.Api(), 1, DataDir(), "1301", averageVolume);
    EXPECT_EQ(ReadFile("1301"), c.downloaded);
    WriteFile("1301", stored);
    EXPECT_EQ(UpdatePriceFile(fake_.Api(), 1, DataDir(), "1301"), UpdateResult::kUpdated);
    EXPECT_EQ(ReadFile("1301"), c.updated);
  }
  EXPECT_EQ(fake_.LiveRecords(), 0u);
}

TEST_F(PriceFileTest, LatestMarketDateIsNeverADayAfterToday) {
  fake_.records = {Day(2099, 12, 31, 900, 10)};
  EXPECT_EQ(GetLatestMarketDate(fake_.Api(), 1), "0000/00/00");
  EXPECT_EQ(fake_.LiveRecords(), 0u);
}

TEST_F(PriceFileTest, UpdateWithoutNewDaysRewritesWithCrLf) {
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"LF", "2009/03/05\t512\t500\t520\t498\t183000\n2009/03/04\t1\t1\t1\t1\t1\n"},
      {"CR", "2009/03/05\t512\t500\t520\t498\t183000\r2009/03/04\t1\t1\t1\t1\t1"},
      {"CR LF", "2009/03/05\t512\t500\t520\t498\t183000\r\n2009/03/04\t1\t1\t1\t1\t1\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile("1301", c.bytes);
    BackDate("1301");
    EXPECT_EQ(UpdatePriceFile(fake_.Api(), 0, DataDir(), "1301"), UpdateResult::kUpdated);
    EXPECT_EQ(ReadFile("1301"),
              "2009/03/05\t512\t500\t520\t498\t183000\r\n2009/03/04\t1\t1\t1\t1\t1\r\n");
    EXPECT_FALSE(StillBackDated("1301"));  // rewritten
    EXPECT_EQ(fake_.updPastDataCalls.back().source, 0);
  }
}

TEST_F(PriceFileTest, UpdateOfAFileWithoutADateMakesNoCall) {
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"blank first line", "\r\n2009/03/05\t1\t1\t1\t1\t1\r\n"},
      {"date without zeros", "2009/3/5\t512\t500\t520\t498\t1\r\n"},
      {"letter in the year", "20O9/03/05\t512\t500\t520\t498\t1\r\n"},
      {"cut date", "2009/03/0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile("1301", c.bytes);
    BackDate("1301");
    EXPECT_EQ(UpdatePriceFile(fake_.Api(), 1, DataDir(), "1301"), UpdateResult::kMalformedFile);
    EXPECT_EQ(ReadFile("1301"), c.bytes);
    EXPECT_TRUE(StillBackDated("1301"));
  }
  EXPECT_EQ(UpdatePriceFile(fake_.Api(), 1, DataDir(), "9999"), UpdateResult::kFileUnreadable);
  EXPECT_TRUE(fake_.updPastDataCalls.empty());
}

TEST_F(PriceFileTest, FailedUpdateLeavesTheFile) {
  const std::string stored = "2009/03/05\t512\t500\t520\t498\t183000\n";  // LF kept as it is
  for (int32_t result : {kTicvaneFailed, kTicvaneTimedOut}) {
    WriteFile("1301", stored);
    BackDate("1301");
    fake_.historyResult = result;
    fake_.records = {Day(2009, 3, 6, 1, 1)};
    EXPECT_EQ(UpdatePriceFile(fake_.Api(), 1, DataDir(), "1301"), UpdateResult::kDownloadFailed);
    EXPECT_EQ(ReadFile("1301"), stored);
    EXPECT_TRUE(StillBackDated("1301"));
  }
  EXPECT_EQ(fake_.clearPastDataCalls, 0);
  EXPECT_EQ(fake_.foreignItemsCleared, 0);
}

TEST_F(PriceFileTest, UpdateThatCannotBeSavedKeepsTheOldFile) {
  const std::string stored = Crlf(StoredLines(10));
  WriteFile("1301", stored);
  fake_.records = {Day(2009, 3, 6, 1, 1)};
  std::string error;
  {
    FileSizeLimit limit(40);
    EXPECT_EQ(UpdatePriceFile(fake_.Api(), 1, DataDir(), "1301", &error),
              UpdateResult::kSaveFailed);
  }
  EXPECT_THAT(error, HasSubstr("1301.txt"));
  EXPECT_EQ(ReadFile("1301"), stored);
  EXPECT_EQ(fake_.LiveRecords(), 0u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(DataDir()), {}), 1);
}

TEST_F(PriceFileTest, StampSetsTheMarketDateAndRefusesAnUnknownOne) {
  WriteFile("1301", "x\r\n");
  BackDate("1301");
  EXPECT_FALSE(StampPriceFile(File("1301"), "0000/00/00"));
  EXPECT_FALSE(StampPriceFile(File("1301"), "2009/02/30"));
  EXPECT_TRUE(StillBackDated("1301"));
  EXPECT_FALSE(PriceFileStampedOn(File("1301"), "0000/00/00"));

  ASSERT_TRUE(StampPriceFile(File("1301"), "2009/03/05"));
  EXPECT_TRUE(PriceFileStampedOn(File("1301"), "2009/03/05"));
  EXPECT_FALSE(PriceFileStampedOn(File("1301"), "2009/03/06"));
  EXPECT_FALSE(StampPriceFile(File("9999"), "2009/03/05"));
}

}  // namespace
