#include "screening/code_list_steps.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <stdexcept>
#include <utility>

#include "fake_ticvane.h"
#include "scratch_dir.h"
#include "screening/screening_step_adapters.h"
#include "vcl/convert.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using Codes = ScreeningCodeList;

// clang-format off
const std::string kTosho = "\x93\x8C\x8F\xD8";                           // 東証
const std::string kTosho1 = "\x93\x8C\x8F\xD8" "1\x95\x94";              // 東証1部
const std::string kTosho2 = "\x93\x8C\x8F\xD8" "2\x95\x94";              // 東証2部
const std::string kMothers = "\x83\x7D\x83\x55\x81\x5B\x83\x59";          // マザーズ
const std::string kDaisho = "\x91\xE5\x8F\xD8";                          // 大証
const std::string kDaisho2 = "\x91\xE5\x8F\xD8" "2\x95\x94";             // 大証2部
const std::string kHercules = "\x83\x77\x83\x89\x83\x4E\x83\x8C\x83\x58";  // ヘラクレス
const std::string kMeisho = "\x96\xBC\x8F\xD8";                          // 名証
const std::string kSatsusho = "\x8E\x44\x8F\xD8";                        // 札証
const std::string kFukusho = "\x95\x9F\x8F\xD8";                         // 福証
const std::string kPhaseCodeData = " [ \x83\x58\x83\x4E\x83\x8A\x81\x5B\x83\x6A\x83\x93\x83\x4F ] \x96\xC1\x95\xBF\x83\x66\x81\x5B\x83\x5E\x83\x60\x83\x46\x83\x62\x83\x4E\x92\x86\xA5\xA5\xA5 \x81\x69" "Alt+C\x82\xC5\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B\x81\x6A";  //  [ スクリーニング ] 銘柄データチェック中･･･ （Alt+Cでキャンセル）
// clang-format on

class RecordingStatus : public ScreeningStatus {
 public:
  void Show(int panel, const std::string& text) override { shown.emplace_back(panel, text); }
  // The texts shown in one panel, in order.
  std::vector<std::string> Panel(int panel) const {
    std::vector<std::string> texts;
    for (const auto& [p, text] : shown) {
      if (p == panel) texts.push_back(text);
    }
    return texts;
  }
  std::vector<std::pair<int, std::string>> shown;
};

// Answers "stop" from poll number `stopAt` (1-based) on; 0 never stops.
class CountingStop : public ScreeningStopPoll {
 public:
  bool StopRequested() override { return stopAt != 0 && ++polls >= stopAt; }
  int stopAt = 0;
  int polls = 0;
};

// A scripted web: codes it knows, histories it can give, update answers.
class ScriptedPrices : public ScreeningPriceSource {
 public:
  explicit ScriptedPrices(std::filesystem::path dir) : dir_(std::move(dir)) {}
  bool FetchCodeInfo(const std::string& code, TCodeData& info) override {
    lookedUp.push_back(code);
    const auto found = known.find(code);
    if (found == known.end()) return false;
    info = found->second;
    return true;
  }
  bool DownloadPriceFile(const std::string& code, int32_t& averageVolume,
                         std::string& saveError) override {
    downloaded.push_back(code);
    saveError.clear();
    const auto found = histories.find(code);
    if (found == histories.end()) return false;
    if (!WriteFileAtomically(dir_ / (code + ".txt"), found->second.first, &saveError)) return false;
    averageVolume = found->second.second;
    return true;
  }
  UpdateResult UpdatePriceFile(const std::string& code, std::string& saveError) override {
    updated.push_back(code);
    saveError.clear();
    const auto found = updates.find(code);
    return found == updates.end() ? UpdateResult::kUpdated : found->second;
  }

  std::map<std::string, TCodeData> known;
  std::map<std::string, std::pair<std::string, int32_t>> histories;  // file bytes, volume
  std::map<std::string, UpdateResult> updates;
  std::vector<std::string> lookedUp, downloaded, updated;

 private:
  std::filesystem::path dir_;
};

TCodeData Record(std::string market, int32_t type, int32_t unit, int32_t vol, uint8_t loan,
                 int32_t ng = 0) {
  TCodeData data;
  data.Ng = ng;
  data.Name = "N";
  data.Market = std::move(market);
  data.Type = type;
  data.Unit = unit;
  data.Vol = vol;
  data.Loan = loan;
  return data;
}

class CodeListStepsTest : public ::testing::Test {
 protected:
  CodeListStepsTest() : prices(dir.path()) {}

  CodeListSteps Steps(std::string latest = "2009/03/05") {
    return CodeListSteps(CodeStepContext{conditions, tableAccess, excludedAccess, prices, status,
                                         stop, dir.path(), std::move(latest)});
  }
  void PriceFile(const std::string& code,
                 const std::string& bytes = "2009/03/04\t500\t1\t1\t1\t100\r\n") {
    dir.Write(code + ".txt", bytes);
  }
  std::filesystem::path FileOf(const std::string& code) const {
    return dir.path() / (code + ".txt");
  }
  bool Stamped(const std::string& code, const std::string& date) const {
    return PriceFileStampedOn(FileOf(code), date);
  }
  void Stamp(const std::string& code, const std::string& date) {
    ASSERT_TRUE(StampPriceFile(FileOf(code), date));
  }

  ScratchDir dir;
  ScreeningConditions conditions;
  CodeTable table;
  DirectScreeningCodeTable tableAccess{table};
  ExcludedCodeList excluded;
  DirectScreeningExcludedCodes excludedAccess{excluded};
  ScriptedPrices prices;
  RecordingStatus status;
  CountingStop stop;
};

// --- Parsing -----------------------------------------------------------------

TEST_F(CodeListStepsTest, ParsesListsAndRanges) {
  const struct {
    const char* text;
    Codes codes;
  } cases[] = {
      {"", {}},
      {"1301,1302", {"1301", "1302"}},
      {"1303,1301", {"1301", "1303"}},
      {"1301,,1302,", {"1301", "1302"}},
      {"1301,1301", {"1301"}},
      {"13011302", {"1301", "1302"}},
      {"0000", {"0000"}},
      {"1301-1303", {"1301", "1302", "1303"}},
      {"1301-1301", {"1301"}},
      {"1305-1301", {"1305"}},  // a reversed range adds nothing
      {"1301,1305-1303", {"1301", "1305"}},
      {"5000,1000-1005", {"1000", "5000"}},
      {"1301-1302,1200-1201", {"1200", "1301", "1302"}},
      {"9998-9999", {"9998", "9999"}},
  };
  CodeListSteps steps = Steps();
  for (const auto& c : cases) {
    Codes list = {"stale"};
    EXPECT_TRUE(steps.ParseCodeList(list, c.text)) << c.text;
    EXPECT_EQ(list, c.codes) << c.text;
  }
  Codes all;
  ASSERT_TRUE(steps.ParseCodeList(all, "0000-9999"));
  EXPECT_EQ(all.size(), 10000u);
  EXPECT_EQ(all.back(), "9999");
}

TEST_F(CodeListStepsTest, RefusesEverythingButFourDigitCodes) {
  // The list is emptied first and keeps the codes read before the bad token.
  const struct {
    const char* text;
    Codes codes;
  } cases[] = {
      {"1301, 1302", {"1301"}},  // a blank shifts the four-character window
      {"130", {}},
      {"abcd", {}},
      {"-1305", {}},
      {" 130", {}},
      {"+130", {}},
      {"$FFF", {}},
      {"0x1F", {}},
      {"1301-130", {"1301"}},
      {"1301-abcd", {"1301"}},
      {"1301-+130", {"1301"}},
      {"1301- 130", {"1301"}},
      {"1301-$FFF", {"1301"}},
      {"1301;1302", {"1301"}},
      {"1301-1303,13x4", {"1301", "1302", "1303"}},
      {"http://example.com/", {}},
      {"../etc/passwd", {}},
      {"\x82\x50\x82\x52\x82\x4F\x82\x50", {}},  // full-width digits
  };
  CodeListSteps steps = Steps();
  for (const auto& c : cases) {
    Codes list = {"stale"};
    EXPECT_FALSE(steps.ParseCodeList(list, c.text)) << c.text;
    EXPECT_EQ(list, c.codes) << c.text;
  }
}

TEST_F(CodeListStepsTest, ParseStopsWithTheCodesSoFarOnCancel) {
  stop.stopAt = 2;
  Codes list;
  EXPECT_TRUE(Steps().ParseCodeList(list, "1301,1302,1303,bad"));
  EXPECT_THAT(list, ElementsAre("1301", "1302"));
}

TEST(CodeTokens, MarketIndexAndSectorItem) {
  const struct {
    std::string market;
    int index;
  } markets[] = {
      {kTosho, 0},    {kTosho1, 0},   {kTosho2, 1},  {kMothers, 2},   {kDaisho, 3},
      {kDaisho2, 4},  {kHercules, 5}, {"JASDAQ", 6}, {"JASDAQ-S", 6}, {kMeisho, 7},
      {kSatsusho, 8}, {kFukusho, 9},  {"", 0},       {"NASDAQ", 0},   {kMothers + "x", 0},
  };
  for (const auto& m : markets) EXPECT_EQ(MarketIndex(m.market), m.index) << m.market;

  const std::pair<int32_t, int> sectors[] = {{1, 0},   {33, 32}, {0, 33},
                                             {34, 33}, {-1, 33}, {99, 33}};
  for (const auto& [sector, item] : sectors) EXPECT_EQ(SectorItem(sector), item) << sector;
}

// --- Exclusion -----------------------------------------------------------------

TEST_F(CodeListStepsTest, RemovesListedCodesWithoutPerCodeProgress) {
  Codes codes = {"1301", "1302", "1303", "1304"};
  Steps().RemoveListedCodes(codes, {"1302", "1304", "9999"});
  EXPECT_THAT(codes, ElementsAre("1301", "1303"));
  EXPECT_THAT(status.Panel(1), ElementsAre(""));
  EXPECT_THAT(status.Panel(2), ElementsAre(""));

  stop.stopAt = 2;  // seen before the second code
  codes = {"1301", "1302", "1303"};
  Steps().RemoveListedCodes(codes, {"1301", "1302", "1303"});
  EXPECT_THAT(codes, ElementsAre("1302", "1303"));

  stop = CountingStop{};
  stop.stopAt = 2;
  codes = {"1301", "1302", "1303"};
  Steps().RemoveListedCodes(codes, {"1302"});
  EXPECT_THAT(codes, ElementsAre("1301", "1302", "1303"));
}

// --- Code data ------------------------------------------------------------------

TEST_F(CodeListStepsTest, OnlineCheckLooksUpUnknownCodesAndRemembersFailures) {
  conditions.online = true;
  conditions.exclusion = TriState::Grayed;
  table.InsertCodeData("1301", Record(kTosho, 1, 100, 5000, 1, /*ng=*/1));
  table.InsertCodeData("1302", Record(kTosho, 1, 100, 5000, 1));
  PriceFile("1301");
  prices.known["1303"] = Record(kMothers, 5, 1000, 77, 0);

  Codes codes = {"1301", "1302", "1303", "1304"};
  Steps().CheckCodeData(codes);

  EXPECT_THAT(codes, ElementsAre("1301", "1302", "1303"));
  EXPECT_THAT(prices.lookedUp, ElementsAre("1303", "1304"));
  EXPECT_EQ(table.Find("1301")->Vol, 5000);  // has its file
  EXPECT_EQ(table.Find("1302")->Vol, -1);    // no file: measured again later
  ASSERT_NE(table.Find("1303"), nullptr);
  EXPECT_EQ(table.Find("1303")->Market, kMothers);
  EXPECT_EQ(table.Find("1303")->Vol, -1);
  EXPECT_EQ(table.Find("1303")->Ng, 0);
  EXPECT_FALSE(table.ExistCode("1304"));
  EXPECT_THAT(excluded.Codes(), ElementsAre("1304"));
  EXPECT_TRUE(excluded.Changed());
}

TEST_F(CodeListStepsTest, ReCheckLooksEveryCodeUpAndKeepsTheUsersMark) {
  conditions.online = true;
  conditions.exclusion = TriState::Checked;  // no automatic exclusion
  for (TriState reCheck : {TriState::Checked, TriState::Grayed}) {
    conditions.reCheck = reCheck;
    table.ClearCodeData();
    table.InsertCodeData("1301", Record(kTosho, 1, 100, 5000, 1, /*ng=*/1));
    PriceFile("1301");
    prices.known["1301"] = Record(kDaisho, 2, 10, 0, 0);
    prices.lookedUp.clear();

    Codes codes = {"1301", "1302"};
    Steps().CheckCodeData(codes);
    EXPECT_THAT(codes, ElementsAre("1301"));
    EXPECT_THAT(prices.lookedUp, ElementsAre("1301", "1302"));
    EXPECT_EQ(table.Find("1301")->Market, kDaisho);
    EXPECT_EQ(table.Find("1301")->Vol, -1);
    EXPECT_EQ(table.Find("1301")->Ng, 1);
    EXPECT_THAT(excluded.Codes(), IsEmpty());
  }
}

TEST_F(CodeListStepsTest, OfflineCheckKeepsKnownCodesWithAFile) {
  table.InsertCodeData("1301", Record(kTosho, 1, 100, 5000, 1));
  table.InsertCodeData("1302", Record(kTosho, 1, 100, 5000, 1));
  PriceFile("1301");
  PriceFile("1303");
  Codes codes = {"1301", "1302", "1303"};
  Steps().CheckCodeData(codes);
  EXPECT_THAT(codes, ElementsAre("1301"));
  EXPECT_THAT(prices.lookedUp, IsEmpty());
  EXPECT_EQ(status.shown.front(), std::make_pair(0, kPhaseCodeData));
  // The total follows the list as codes are dropped.
  EXPECT_THAT(status.Panel(1), ElementsAre("1301", "1302", "1303"));
  EXPECT_THAT(status.Panel(2), ElementsAre("0 / 3", "1 / 3", "1 / 2"));
}

// --- Loan, market and sector -------------------------------------------------------

TEST_F(CodeListStepsTest, LoanMarketAndSectorFilters) {
  table.InsertCodeData("1301", Record(kTosho, 1, 100, 0, 1));
  table.InsertCodeData("1302", Record(kTosho2, 2, 100, 0, 1));
  table.InsertCodeData("1303", Record(kMothers, 0, 100, 0, 0));
  table.InsertCodeData("1304", Record("JASDAQ", 40, 100, 0, 1));  // sector out of range
  const Codes all = {"1301", "1302", "1303", "1304"};

  Codes codes = all;
  conditions.loanOnly = true;
  Steps().FilterLoanMarketType(codes, 0);
  EXPECT_THAT(codes, ElementsAre("1301", "1302", "1304"));
  conditions.loanOnly = false;

  SideConditions& b = conditions.sides[1];
  b.marketOn = true;
  b.markets[1] = b.markets[6] = true;
  codes = all;
  Steps().FilterLoanMarketType(codes, 1);
  EXPECT_THAT(codes, ElementsAre("1302", "1304"));
  codes = all;
  Steps().FilterLoanMarketType(codes, 0);  // side A has no market filter
  EXPECT_EQ(codes, all);
  b.marketOn = false;

  b.typeOn = true;
  b.types[33] = true;  // "その他(ETF等)": sector 0 and anything outside 1..33
  b.types[0] = true;   // sector 1
  codes = all;
  Steps().FilterLoanMarketType(codes, 1);
  EXPECT_THAT(codes, ElementsAre("1301", "1303", "1304"));
  b.types[kSectorExclusionItem] = true;  // the ticked sectors go instead
  codes = all;
  Steps().FilterLoanMarketType(codes, 1);
  EXPECT_THAT(codes, ElementsAre("1302"));
}

TEST_F(CodeListStepsTest, ACancelInOneFilterEndsTheWholeStep) {
  table.InsertCodeData("1301", Record(kTosho, 1, 100, 0, 0));
  table.InsertCodeData("1302", Record(kTosho, 1, 100, 0, 0));
  conditions.loanOnly = true;
  conditions.sides[0].marketOn = true;
  stop.stopAt = 2;
  Codes codes = {"1301", "1302"};
  Steps().FilterLoanMarketType(codes, 0);
  EXPECT_THAT(codes, ElementsAre("1302"));  // 1301 dropped, then the cancel
  EXPECT_EQ(status.Panel(0).size(), 1u);    // the market filter never began
}

// --- History fetch --------------------------------------------------------------------

TEST_F(CodeListStepsTest, MeasuredVolumeNearTheInt32LimitStaysAtTheLimit) {
  // Seven significant digits make the mean 2147483647 into 2147484000.
  conditions.online = true;
  table.InsertCodeData("1301", Record(kTosho, 1, 100, -1, 1));
  PriceFile("1301",
            "2009/03/05\t500\t1\t1\t1\t2147483647\r\n"
            "2009/03/04\t500\t1\t1\t1\t2147483647\r\n");
  Codes codes = {"1301"};
  Steps().FetchHistory(codes);
  EXPECT_TRUE(prices.downloaded.empty());
  EXPECT_EQ(table.Find("1301")->Vol, 2147483647);
}

TEST_F(CodeListStepsTest, FetchMeasuresExistingFilesAndDownloadsMissingOnes) {
  conditions.online = true;
  table.InsertCodeData("1301", Record(kTosho, 1, 100, 123, 1));  // measured
  table.InsertCodeData("1302", Record(kTosho, 1, 100, -1, 1));   // file to measure
  table.InsertCodeData("1303", Record(kTosho, 1, 100, -1, 1));   // no file
  table.InsertCodeData("1304", Record(kTosho, 1, 100, -1, 1));   // empty file
  PriceFile("1302",
            "2009/03/05\t500\t1\t1\t1\t100\r\n2009/03/04\t500\t1\t1\t1\tx\r\n"
            "2009/03/03\t500\t1\t1\t1\t251\r\n");
  PriceFile("1304", "");
  prices.histories["1303"] = {"2009/03/05\t1\t1\t1\t1\t7\r\n", 7};
  prices.histories["1304"] = {"2009/03/05\t1\t1\t1\t1\t9\r\n", 9};

  Codes codes = {"1301", "1302", "1303", "1304"};
  Steps().FetchHistory(codes);
  EXPECT_EQ(codes.size(), 4u);
  EXPECT_THAT(prices.downloaded, ElementsAre("1303", "1304"));
  EXPECT_EQ(table.Find("1301")->Vol, 123);
  EXPECT_EQ(table.Find("1302")->Vol, 175);  // the line without a volume left out
  EXPECT_EQ(table.Find("1303")->Vol, 7);
  EXPECT_EQ(table.Find("1304")->Vol, 9);
  EXPECT_TRUE(Stamped("1303", "2009/03/05"));
  EXPECT_FALSE(Stamped("1302", "2009/03/05"));
}

TEST_F(CodeListStepsTest, AFailedDownloadDeletesOnlyARecordThisRunAdded) {
  conditions.online = true;
  conditions.exclusion = TriState::Unchecked;
  table.InsertCodeData("1301", Record(kTosho, 1, 100, -1, 1, /*ng=*/1));
  prices.known["1302"] = Record(kTosho, 1, 100, 0, 1);
  Codes codes = {"1301", "1302"};
  CodeListSteps steps = Steps();
  steps.CheckCodeData(codes);
  ASSERT_THAT(codes, ElementsAre("1301", "1302"));
  ASSERT_TRUE(table.ExistCode("1302"));

  steps.FetchHistory(codes);  // every download fails, a time-out included
  EXPECT_THAT(codes, IsEmpty());
  ASSERT_TRUE(table.ExistCode("1301"));
  EXPECT_EQ(table.Find("1301")->Ng, 1);
  EXPECT_FALSE(table.ExistCode("1302"));
}

TEST_F(CodeListStepsTest, AnUnknownMarketDateStampsNoFile) {
  conditions.online = true;
  table.InsertCodeData("1301", Record(kTosho, 1, 100, -1, 1));
  table.InsertCodeData("1302", Record(kTosho, 1, 100, -1, 1));
  PriceFile("1302", "2009/03/04\t1\t1\t1\t1\t7\r\n");
  Stamp("1302", "2009/03/01");
  prices.histories["1301"] = {"2009/03/05\t1\t1\t1\t1\t7\r\n", 7};
  Codes codes = {"1301", "1302"};
  CodeListSteps steps = Steps(kUnknownMarketDate);
  steps.FetchHistory(codes);
  steps.UpdateHistory(codes);
  EXPECT_THAT(codes, ElementsAre("1301", "1302"));
  EXPECT_THAT(prices.updated, ElementsAre("1301", "1302"));
  EXPECT_TRUE(Stamped("1302", "2009/03/01"));
  EXPECT_FALSE(Stamped("1301", kUnknownMarketDate));
}

// --- History update ---------------------------------------------------------------------

TEST_F(CodeListStepsTest, UpdateBringsFilesUpToTheMarketDate) {
  conditions.online = true;
  for (const char* code : {"1301", "1302", "1303", "1304", "1305", "1306"}) {
    table.InsertCodeData(code, Record(kTosho, 1, 100, 50, 1));
  }
  PriceFile("1302", "2009/03/04\t1\r\n");  // stamped already: not looked at
  Stamp("1302", "2009/03/05");
  PriceFile("1303", "2009/03/05\t1\r\n");  // holds the day: stamped only
  Stamp("1303", "2009/03/01");
  PriceFile("1304", "2009/03/04\t1\r\n");  // updated and stamped
  Stamp("1304", "2009/03/01");
  PriceFile("1305", "garbage\r\n");  // malformed: left as it is
  Stamp("1305", "2009/03/01");
  prices.updates["1305"] = UpdateResult::kMalformedFile;
  PriceFile("1306", "2009/03/04\t1\r\n");  // download failed: tried again next run
  Stamp("1306", "2009/03/01");
  prices.updates["1306"] = UpdateResult::kDownloadFailed;

  Codes codes = {"1301", "1302", "1303", "1304", "1305", "1306"};
  Steps().UpdateHistory(codes);
  EXPECT_EQ(codes.size(), 6u);
  EXPECT_EQ(table.Find("1301")->Vol, -1);  // no file: fetched whole next time
  EXPECT_EQ(table.Find("1302")->Vol, 50);
  EXPECT_THAT(prices.updated, ElementsAre("1304", "1305", "1306"));
  EXPECT_TRUE(Stamped("1303", "2009/03/05"));
  EXPECT_TRUE(Stamped("1304", "2009/03/05"));
  EXPECT_TRUE(Stamped("1305", "2009/03/01"));
  EXPECT_EQ(dir.Read("1305.txt"), "garbage\r\n");
  EXPECT_TRUE(Stamped("1306", "2009/03/01"));
  // The total is taken once, when the step begins.
  EXPECT_THAT(status.Panel(2), ElementsAre("0 / 6", "1 / 6", "2 / 6", "3 / 6", "4 / 6", "5 / 6"));
}

// A price file that cannot be written is shown in panel 0 in the status
// bar's error form, naming the file, and the walk goes on with the next code.
TEST_F(CodeListStepsTest, AnUnwritablePriceFileIsShownAndTheRunGoesOn) {
  conditions.online = true;
  for (const char* code : {"1301", "1302", "1303", "1304"}) {
    table.InsertCodeData(code, Record(kTosho, 1, 100, -1, 1));
  }
  std::filesystem::create_directory(FileOf("1301"));  // in the way of the download
  const std::string stored = "2009/03/04\t1\t1\t1\t1\t5\r\n";
  PriceFile("1303", stored);  // read-only: the update cannot save it
  Stamp("1303", "2009/03/01");
  ASSERT_EQ(::chmod(FileOf("1303").c_str(), 0444), 0);
  PriceFile("1304", stored);
  Stamp("1304", "2009/03/01");
  FakeTicvane fake;
  fake.records = {{2009, 3, 5, 1, 1, 1, 1, 9}};
  TicvanePriceSource library(fake.Api(), 1, dir.path());
  CodeListSteps steps(CodeStepContext{conditions, tableAccess, excludedAccess, library, status,
                                      stop, dir.path(), "2009/03/05"});

  Codes codes = {"1301", "1302", "1303", "1304"};
  steps.FetchHistory(codes);
  EXPECT_THAT(codes, ElementsAre("1302", "1303", "1304"));
  EXPECT_TRUE(Stamped("1302", "2009/03/05"));
  steps.UpdateHistory(codes);
  EXPECT_THAT(codes, ElementsAre("1302", "1303", "1304"));
  EXPECT_EQ(dir.Read("1303.txt"), stored);
  EXPECT_TRUE(Stamped("1303", "2009/03/01"));  // tried again next run
  EXPECT_TRUE(Stamped("1304", "2009/03/05"));

  // " ! ファイル "<file>" を保存できません: " and the reason, shown while the
  // code is at hand; the next code goes on under it.
  const auto saveError = [&](const char* code) {
    return " ! \x83\x74\x83\x40\x83\x43\x83\x8B \"" + FileOf(code).string() +
           "\" \x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1: ";
  };
  std::vector<std::string> panel0, atHand;
  std::string code;
  for (const auto& [panel, text] : status.shown) {
    if (panel == 1) code = text;
    if (panel == 0) {
      panel0.push_back(text);
      atHand.push_back(code);
    }
  }
  ASSERT_EQ(panel0.size(), 4u);
  EXPECT_THAT(panel0[1], StartsWith(saveError("1301")));
  EXPECT_GT(panel0[1].size(), saveError("1301").size());  // the reason follows
  EXPECT_THAT(panel0[3], StartsWith(saveError("1303")));
  EXPECT_THAT(atHand, ElementsAre("", "1301", "1304", "1303"));
  EXPECT_THAT(status.Panel(1), ElementsAre("1301", "1302", "1303", "1304", "1302", "1303", "1304"));

  // Both are kept for the message at the run's end, each once, although the
  // second side meets 1303 again.
  steps.UpdateHistory(codes);
  ASSERT_EQ(steps.SaveFailures().Count(), 2u);
  const std::string summary = steps.SaveFailures().Summary();
  EXPECT_NE(summary.find("\n" + panel0[1].substr(3) + "\n" + panel0[3].substr(3)),
            std::string::npos)
      << summary;
}

TEST_F(CodeListStepsTest, OfflineFetchAndUpdateDoNothing) {
  table.InsertCodeData("1301", Record(kTosho, 1, 100, -1, 1));
  Codes codes = {"1301"};
  Steps().FetchHistory(codes);
  Steps().UpdateHistory(codes);
  EXPECT_THAT(codes, ElementsAre("1301"));
  EXPECT_THAT(prices.downloaded, IsEmpty());
  EXPECT_THAT(status.shown, IsEmpty());
}

// --- Investment and volume ----------------------------------------------------------------

TEST_F(CodeListStepsTest, InvestmentAndVolumeFilters) {
  table.InsertCodeData("1301", Record(kTosho, 1, 100, 1000, 1));    // 500 x 100
  table.InsertCodeData("1302", Record(kTosho, 1, 100000, -1, 1));   // 50000 x 100000
  table.InsertCodeData("1303", Record(kTosho, 1, 0, 1000, 1));      // unit 0
  table.InsertCodeData("1304", Record(kTosho, 1, 1000, 10999, 1));  // 10 units
  PriceFile("1301", "2009/03/05\t500\t1\t1\t1\t1\r\n");
  PriceFile("1302", "2009/03/05\t50000\t1\t1\t1\t1\r\n");
  PriceFile("1303", "2009/03/05\t500\t1\t1\t1\t1\r\n");
  PriceFile("1304", "2009/03/05\tx\t1\t1\t1\t1\r\n");  // unreadable close counts 0
  const Codes all = {"1301", "1302", "1303", "1304"};

  SideConditions& a = conditions.sides[0];
  a.costOn = true;
  const struct {
    const char* limit;
    Codes kept;
  } limits[] = {
      {"", {"1301", "1303", "1304"}},  // 9999999; 5 000 000 000 does not wrap
      {"abc", {"1301", "1303", "1304"}},
      {"50000", {"1301", "1303", "1304"}},
      {"49999", {"1303", "1304"}},
  };
  for (const auto& l : limits) {
    a.costLimit = l.limit;
    Codes codes = all;
    Steps().FilterCostVolume(codes, 0);
    EXPECT_EQ(codes, l.kept) << l.limit;
  }
  a.costOn = false;

  a.volOn = true;
  const struct {
    const char* minimum;
    Codes kept;
  } minimums[] = {
      {"", {"1301", "1302", "1304"}},  // 0; the unit 0 never passes, -1 / 100000 is 0
      {"x", {"1301", "1302", "1304"}},
      {"10", {"1301", "1304"}},
      {"11", {}},
  };
  for (const auto& m : minimums) {
    a.volMinimum = m.minimum;
    Codes codes = all;
    Steps().FilterCostVolume(codes, 0);
    EXPECT_EQ(codes, m.kept) << m.minimum;
  }
}

// --- Cancel points ---------------------------------------------------------------------------

TEST_F(CodeListStepsTest, EveryWalkLeavesBeforeTheCodeAtHand) {
  conditions.online = true;
  conditions.loanOnly = true;
  conditions.sides[0].costOn = true;
  for (const char* code : {"1301", "1302", "1303"}) {
    table.InsertCodeData(code, Record(kTosho, 1, 100, -1, 0));
    prices.known[code] = Record(kTosho, 1, 100, -1, 0);
  }
  using Step = void (*)(CodeListSteps&, Codes&);
  const std::pair<const char*, Step> steps[] = {
      {"check", [](CodeListSteps& s, Codes& c) { s.CheckCodeData(c); }},
      {"loan", [](CodeListSteps& s, Codes& c) { s.FilterLoanMarketType(c, 0); }},
      {"fetch", [](CodeListSteps& s, Codes& c) { s.FetchHistory(c); }},
      {"update", [](CodeListSteps& s, Codes& c) { s.UpdateHistory(c); }},
      {"cost", [](CodeListSteps& s, Codes& c) { s.FilterCostVolume(c, 0); }},
  };
  conditions.reCheck = TriState::Checked;
  for (const auto& [name, run] : steps) {
    stop = CountingStop{};
    stop.stopAt = 2;
    prices.lookedUp.clear();
    prices.downloaded.clear();
    prices.updated.clear();
    status.shown.clear();
    Codes codes = {"1301", "1302", "1303"};
    CodeListSteps s = Steps();
    run(s, codes);
    EXPECT_EQ(stop.polls, 2) << name;
    EXPECT_LE(prices.lookedUp.size() + prices.downloaded.size() + prices.updated.size(), 1u)
        << name;
    EXPECT_EQ(status.Panel(1).back(), "1302") << name;
  }
}

// Counts the visits to the code table: where it lives on another thread each
// visit is a round trip.
class CountingCodeTable : public DirectScreeningCodeTable {
 public:
  using DirectScreeningCodeTable::DirectScreeningCodeTable;
  std::optional<TCodeData> Find(const std::string& code) override {
    ++visits;
    return DirectScreeningCodeTable::Find(code);
  }
  std::vector<std::optional<TCodeData>> FindEach(const std::vector<std::string>& codes) override {
    ++visits;
    std::vector<std::optional<TCodeData>> records;
    for (const std::string& code : codes) records.push_back(DirectScreeningCodeTable::Find(code));
    return records;
  }
  int visits = 0;
};

TEST_F(CodeListStepsTest, EachStepReadsTheCodeTableInOneVisit) {
  for (int code = 1000; code <= 1999; code += 3) {
    table.InsertCodeData(std::to_string(code), Record(kTosho, 1 + code % 33, 100, 5000, code % 2));
    if (code % 2 != 0) PriceFile(std::to_string(code));
  }
  conditions.loanOnly = true;
  conditions.sides[0].marketOn = true;
  conditions.sides[0].markets.fill(true);
  conditions.sides[0].typeOn = true;
  conditions.sides[0].types.fill(true);
  conditions.sides[0].types[kSectorExclusionItem] = false;
  conditions.sides[0].costOn = true;
  conditions.sides[0].volOn = true;
  CountingCodeTable counting(table);
  CodeListSteps steps(CodeStepContext{conditions, counting, excludedAccess, prices, status, stop,
                                      dir.path(), "2009/03/05"});
  Codes codes;
  ASSERT_TRUE(steps.ParseCodeList(codes, "1000-1999"));
  using Step = void (*)(CodeListSteps&, Codes&);
  const std::pair<const char*, Step> runs[] = {
      {"check", [](CodeListSteps& s, Codes& c) { s.CheckCodeData(c); }},
      {"loan, market, sector", [](CodeListSteps& s, Codes& c) { s.FilterLoanMarketType(c, 0); }},
      {"cost, volume", [](CodeListSteps& s, Codes& c) { s.FilterCostVolume(c, 0); }},
  };
  for (const auto& [name, run] : runs) {
    counting.visits = 0;
    run(steps, codes);
    EXPECT_LE(counting.visits, 3) << name;
  }
  // Every third code has a record, every other one of them a file and a loan.
  ASSERT_EQ(codes.size(), 167u);
  EXPECT_EQ(codes.front(), "1003");
  EXPECT_EQ(codes.back(), "1999");
}

TEST_F(CodeListStepsTest, ACancelKeepsTheCodesKeptAndThoseNotYetLookedAt) {
  for (const char* code : {"1302", "1304"}) {
    table.InsertCodeData(code, Record(kTosho, 1, 100, 5000, 1));
    PriceFile(code);
  }
  Codes codes = {"1301", "1302", "1303", "1304", "1305"};
  stop.stopAt = 4;
  Steps().CheckCodeData(codes);
  EXPECT_THAT(codes, ElementsAre("1302", "1304", "1305"));
  EXPECT_THAT(status.Panel(2), ElementsAre("0 / 5", "0 / 4", "1 / 4", "1 / 3"));
}

// --- The library and the exclusion file --------------------------------------------------------

TEST(TicvanePriceSourceTest, LooksUpThroughTheLibraryWithTheRunsSource) {
  ScratchDir dir;
  FakeTicvane fake;
  fake.name = "Name";
  fake.halfWidthName = "Half";
  fake.market = kTosho;
  fake.sector = 7;
  fake.loan = 1;
  fake.unit = 1000;
  TicvanePriceSource source(fake.Api(), 0, dir.path());
  TCodeData info;
  ASSERT_TRUE(source.FetchCodeInfo("1301", info));
  EXPECT_EQ(info.Name, "Half");
  EXPECT_EQ(info.Market, kTosho);
  EXPECT_EQ(info.Type, 7);
  EXPECT_EQ(info.Unit, 1000);
  EXPECT_EQ(info.Loan, 1);
  ASSERT_EQ(fake.codeDataCalls.size(), 1u);
  EXPECT_EQ(fake.codeDataCalls[0].source, 0);

  fake.historyResult = kTicvaneTimedOut;
  int32_t volume = 5;
  std::string saveError = "stale";
  EXPECT_FALSE(source.DownloadPriceFile("1301", volume, saveError));
  EXPECT_EQ(saveError, "");
  EXPECT_EQ(volume, 5);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "1301.txt"));
}

TEST(ExcludedCodeListTest, LoadsSortedAndWritesOnlyOnceChanged) {
  ScratchDir dir;
  const std::filesystem::path file = dir.path() / "C404.txt";
  ExcludedCodeList list;
  list.Load(file);  // missing: empty
  EXPECT_THAT(list.Codes(), IsEmpty());
  ASSERT_TRUE(list.Save(file));
  EXPECT_FALSE(std::filesystem::exists(file));

  dir.Write("C404.txt", "1305\r\n1301\r\n\r\n1305\n");
  list.Load(file);
  EXPECT_THAT(list.Codes(), ElementsAre("1301", "1305"));
  EXPECT_FALSE(list.Changed());
  ASSERT_TRUE(list.Save(file));
  EXPECT_EQ(dir.Read("C404.txt"), "1305\r\n1301\r\n\r\n1305\n");

  list.Add("1303");
  ASSERT_TRUE(list.Save(file));
  EXPECT_EQ(dir.Read("C404.txt"), "1301\r\n1303\r\n1305\r\n");
  list.Clear();
  ASSERT_TRUE(list.Save(file));
  EXPECT_EQ(dir.Read("C404.txt"), "");

  list.Add("1301");
  std::string error;
  EXPECT_FALSE(list.Save(dir.path() / "no-such-dir" / "C404.txt", &error));
  EXPECT_NE(error.find("C404.txt"), std::string::npos);
  EXPECT_TRUE(list.Contains("1301"));
}

}  // namespace
