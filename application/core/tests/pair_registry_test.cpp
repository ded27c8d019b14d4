// The pair registry's rows, list rules and settings sections.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pair/pair_item.h"
#include "registry/pair_lists.h"
#include "registry/pair_registry_settings.h"
#include "scratch_dir.h"
#include "vcl/inifile.h"
#include "vcl/testing/file_size_limit.h"

namespace {

// "　" (full-width space), "⇔" and "東証".
#define SP "\x81\x40"
#define ARROW "\x81\xCC"
#define TOSHO "\x93\x8C\x8F\xD8"

PairItem Pair(std::string caption, std::string a, std::string b) {
  return PairItem{std::move(caption), std::move(a), std::move(b)};
}

std::vector<PairRow> Rows(std::initializer_list<const char*> names) {
  std::vector<PairRow> rows;
  for (const char* name : names) rows.push_back(PairRow{Pair("c", name, name), false, false});
  return rows;
}

std::string Names(const std::vector<PairRow>& rows) {
  std::string names;
  for (const PairRow& row : rows) names += row.item.textA + (row.selected ? "*" : "");
  return names;
}

}  // namespace

TEST(PairItemTest, DataValuesSplitAtTheFirstTwoBars) {
  struct Case {
    const char* value;
    const char* caption;
    const char* a;
    const char* b;
  } cases[] = {
      {"1301,100,1332,200,5|1301" SP "A|1332" SP "B", "1301,100,1332,200,5", "1301" SP "A",
       "1332" SP "B"},
      {"cap|a|b|c", "cap", "a", "b|c"},
      {"cap|only", "cap", "", "only"},
      {"no bar at all", "", "", "no bar at all"},
      // "\x83\x7C" is "ポ": its second byte is no bar.
      {"1,2,3,4,5|1301" SP "\x83\x7C|1332" SP "\x83\x7C", "1,2,3,4,5", "1301" SP "\x83\x7C",
       "1332" SP "\x83\x7C"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    const PairItem item = ParsePairDataValue(c.value);
    EXPECT_EQ(item.caption, c.caption) << c.value;
    EXPECT_EQ(item.textA, c.a) << c.value;
    EXPECT_EQ(item.textB, c.b) << c.value;
  }
  const PairItem item = Pair("1,2,3,4,5", "1301" SP "x", "1332" SP "y");
  EXPECT_EQ(ParsePairDataValue(PairDataValue(item)).textB, item.textB);
  EXPECT_EQ(PairDataValue(item), "1,2,3,4,5|1301" SP "x|1332" SP "y");
}

TEST(PairItemTest, OlderValuesTakeTheCodesFromTheCaption) {
  const PairItem item =
      ParseOldPairDataValue("1301,100,1332,200,0|" TOSHO " : A" SP ARROW SP TOSHO " : B");
  EXPECT_EQ(item.caption, "1301,100,1332,200,0");
  EXPECT_EQ(item.textA, "1301" SP TOSHO " : A");
  EXPECT_EQ(item.textB, "1332" SP TOSHO " : B");

  // No separator: A keeps the whole rest. A short caption leaves code B empty.
  const PairItem bare = ParseOldPairDataValue("1301,100|names");
  EXPECT_EQ(bare.textA, "1301" SP "names");
  EXPECT_EQ(bare.textB, SP);
  // A "⇔" made of the trail byte of one character and the next character is
  // not a separator: "\x81\x81" is "＝", then "\x40".
  const PairItem aligned = ParseOldPairDataValue("1,2,3,4,5|\x81\x81\x40\x81\xCC" SP "b");
  EXPECT_EQ(aligned.textA, "1" SP "\x81\x81\x40\x81\xCC" SP "b");
  // Half a character at the end would swallow the bar after A when stored.
  const PairItem cut = ParseOldPairDataValue("1,2,3,4,5|a\x81");
  EXPECT_EQ(cut.textA, "1" SP "a");
  EXPECT_EQ(ParsePairDataValue(PairDataValue(cut)).textB, cut.textB);
}

TEST(PairItemTest, OpeningSplitsTheCaptionAndDropsTheCodesFromTheNames) {
  PairToOpen pair = PairToOpenOf(
      Pair("1301,100,1332,200,-5,9", "1301" SP TOSHO " : A" SP "x", "1332" SP TOSHO " : B"));
  EXPECT_EQ(pair.codeA, "1301");
  EXPECT_EQ(pair.lotsA, "100");
  EXPECT_EQ(pair.codeB, "1332");
  EXPECT_EQ(pair.lotsB, "200");
  EXPECT_EQ(pair.adjust, "-5,9");
  EXPECT_EQ(pair.nameA, TOSHO " : A" SP "x");
  EXPECT_EQ(pair.nameB, TOSHO " : B");

  pair = PairToOpenOf(Pair("1301,100", "", "1332"));
  EXPECT_EQ(pair.codeB, "");
  EXPECT_EQ(pair.adjust, "");
  EXPECT_EQ(pair.nameB, "1332");

  const PairToOpen fields{.codeA = "1301",
                          .lotsA = "100",
                          .codeB = "1332",
                          .lotsB = "200",
                          .adjust = "0",
                          .nameA = "A",
                          .nameB = "B"};
  const PairItem item = PairItemOf(fields);
  EXPECT_EQ(item.caption, "1301,100,1332,200,0");
  EXPECT_EQ(item.textA, "1301" SP "A");
  EXPECT_EQ(PairToOpenOf(item).nameB, "B");
}

TEST(PairItemTest, StockCodesAreFourAsciiDigits) {
  for (const char* good : {"0000", "1301", "9999"}) EXPECT_TRUE(IsStockCode(good)) << good;
  for (const char* bad : {"", "130", "13011", "13a1", " 130", "\x82\x50\x82\x51"}) {
    EXPECT_FALSE(IsStockCode(bad)) << bad;
  }
}

TEST(PairListsTest, RegisteringAPresentPairMovesItUpWithTheNewCaption) {
  std::vector<PairRow> regist = Rows({"a", "b", "c"});
  regist[2].selected = true;
  RegisterPair(regist, Pair("new", "b", "b"));
  ASSERT_EQ(regist.size(), 3u);
  EXPECT_EQ(Names(regist), "b*ac");
  EXPECT_EQ(regist[0].item.caption, "new");
  EXPECT_TRUE(regist[0].focused);

  RegisterPair(regist, Pair("x", "d", "d"));
  EXPECT_EQ(Names(regist), "d*bac");
}

TEST(PairListsTest, RecentListSkipsRegisteredPairsAndKeepsTwenty) {
  const std::vector<PairRow> regist = Rows({"r"});
  std::vector<PairRow> recent = Rows({"a", "b", "c", "d"});
  EXPECT_FALSE(AddRecentPair(regist, recent, Pair("x", "r", "r")));
  EXPECT_EQ(Names(recent), "abcd");

  // Already first: replaced by a fresh row with the current caption.
  EXPECT_TRUE(AddRecentPair(regist, recent, Pair("fresh", "a", "a")));
  EXPECT_EQ(Names(recent), "a*bcd");
  EXPECT_EQ(recent[0].item.caption, "fresh");
  EXPECT_TRUE(AddRecentPair(regist, recent, Pair("moved", "d", "d")));
  EXPECT_EQ(Names(recent), "d*abc");

  std::vector<PairRow> full;
  for (int i = 0; i < kRecentPairLimit; ++i) {
    full.push_back(PairRow{Pair("c", std::to_string(i), "x"), false, false});
  }
  EXPECT_TRUE(AddRecentPair(regist, full, Pair("c", "new", "x")));
  ASSERT_EQ(full.size(), static_cast<size_t>(kRecentPairLimit));
  EXPECT_EQ(full.front().item.textA, "new");
  EXPECT_EQ(full.back().item.textA, std::to_string(kRecentPairLimit - 2));
}

TEST(PairListsTest, DropMovesTheSelectedRows) {
  struct Case {
    const char* selected;  // one flag per row of "abcdef"
    int target;
    const char* after;
    bool moves;
  } cases[] = {
      {"001000", 0, "c*abdef", true},    // one row up
      {"001000", 5, "abdefc*", true},    // one row down to the last
      {"001010", 1, "ac*be*df", true},   // up: the first on the target, the gap kept
      {"010100", 5, "aceb*fd*", true},   // down: the last on the target, the gap kept
      {"001010", 3, "abc*de*f", false},  // inside the selected range
      {"000000", 2, "abcdef", false},    // nothing selected
      {"001000", 6, "abc*def", false},   // no row under the drop
  };
  for (const Case& c : cases) {
    std::vector<PairRow> rows = Rows({"a", "b", "c", "d", "e", "f"});
    for (size_t i = 0; i < rows.size(); ++i) rows[i].selected = c.selected[i] == '1';
    const bool moved = MoveSelectedPairs(rows, c.target);
    EXPECT_EQ(Names(rows), c.after) << c.selected << " -> " << c.target;
    EXPECT_EQ(moved, c.moves) << c.selected << " -> " << c.target;
  }
}

class PairRegistrySettingsTest : public ::testing::Test {
 protected:
  std::string Ini() const { return dir.Read("Dyadmark.ini"); }
  vcl::TIniFile File() const { return vcl::TIniFile(dir.path() / "Dyadmark.ini"); }
  ScratchDir dir;
};

TEST_F(PairRegistrySettingsTest, SectionsRoundTripAndDropStaleKeys) {
  dir.Write("Dyadmark.ini",
            "[PairRegist2]\r\nCount=3\r\nData0=old0\r\nData1=old1\r\nData2=old2\r\nOther=1\r\n");
  vcl::TIniFile ini = File();
  const std::vector<PairItem> pairs{Pair("1,2,3,4,5", "1301" SP "A", "1332" SP "B"),
                                    Pair("", "", "")};
  WritePairSection(ini, PairPageSection(2), pairs);
  EXPECT_EQ(Ini(),
            "[PairRegist2]\r\nCount=2\r\nData0=1,2,3,4,5|1301" SP "A|1332" SP "B\r\nData1=||\r\n");
  const std::vector<PairItem> back = ReadPairSection(ini, "PairRegist2");
  ASSERT_EQ(back.size(), 2u);
  EXPECT_TRUE(SamePair(back[0], pairs[0]));
  EXPECT_EQ(back[0].caption, pairs[0].caption);

  WritePairSection(ini, "PairRecent", {});
  EXPECT_TRUE(ReadPairSection(ini, "PairRecent").empty());
}

TEST_F(PairRegistrySettingsTest, CountsReadEveryIndexButNeverForever) {
  dir.Write("Dyadmark.ini",
            "[PairRecent]\r\nCount=3\r\ndata1=x|y|z\r\n[PairRegist1]\r\n"
            "Count=2000000000\r\n[PairRegist2]\r\nCount=-4\r\n");
  const vcl::TIniFile ini = File();
  const std::vector<PairItem> recent = ReadPairSection(ini, "PairRecent");
  ASSERT_EQ(recent.size(), 3u);
  EXPECT_EQ(recent[0].textB, "");
  EXPECT_EQ(recent[1].textA, "y");
  EXPECT_LE(ReadPairSection(ini, "PairRegist1").size(), 10000u);
  EXPECT_TRUE(ReadPairSection(ini, "PairRegist2").empty());
}

TEST_F(PairRegistrySettingsTest, LayoutDefaultsAndPagesOutOfRange) {
  PairRegLayout layout = ReadPairRegLayout(File());
  EXPECT_EQ(layout.height, 198);
  EXPECT_EQ(layout.width, 500);
  EXPECT_EQ(layout.splitter, 85);
  EXPECT_EQ(layout.page, 1);
  for (const char* page : {"0", "6", "-1", "x"}) {
    dir.Write("Dyadmark.ini", std::string("[PairReg]\r\nPage=") + page + "\r\n");
    EXPECT_EQ(ReadPairRegLayout(File()).page, 1) << page;
  }
  vcl::TIniFile ini = File();
  layout.page = 4;
  layout.recent2 = 99;
  WritePairRegLayout(ini, layout);
  EXPECT_EQ(ReadPairRegLayout(ini).page, 4);
  EXPECT_EQ(ReadPairRegLayout(ini).recent2, 99);
}

TEST_F(PairRegistrySettingsTest, StartReadsTheStoredPage) {
  dir.Write(
      "Dyadmark.ini",
      "[PairReg]\r\nPage=3\r\n[PairRegist1]\r\nCount=1\r\nData0=a|b|c\r\n"
      "[PairRegist3]\r\nCount=1\r\nData0=d|e|f\r\n[PairRecent]\r\nCount=1\r\nData0=g|h|i\r\n");
  vcl::TIniFile ini = File();
  const PairRegistryStart start = LoadPairRegistry(ini);
  EXPECT_EQ(start.page, 3);
  ASSERT_EQ(start.regist.size(), 1u);
  EXPECT_EQ(start.regist[0].textA, "e");
  ASSERT_EQ(start.recent.size(), 1u);
  EXPECT_EQ(start.recent[0].textB, "i");
  EXPECT_FALSE(start.registChanged);
  EXPECT_FALSE(start.recentChanged);
}

TEST_F(PairRegistrySettingsTest, OlderSectionsAreConvertedOnceAndMerged) {
  dir.Write("Dyadmark.ini",
            "[PairReg]\r\nPage=4\r\n"
            "[ChartRegist]\r\nCount=2\r\n"
            "Data0=1301,100,1332,200,0|A" SP ARROW SP
            "B\r\n"
            "Data1=7203,100,7267,100,0|T" SP ARROW SP
            "H\r\n"
            "[PairRegist1]\r\nCount=1\r\nData0=7203,300,7267,300,1|7203" SP "T|7267" SP
            "H\r\n"
            "[ChartRecent]\r\nCount=1\r\nData0=9984,100,9433,100,0|S" SP ARROW SP "K\r\n");
  vcl::TIniFile ini = File();
  const PairRegistryStart start = LoadPairRegistry(ini);
  EXPECT_TRUE(start.conversionError.empty());
  EXPECT_EQ(start.page, 1);
  ASSERT_EQ(start.regist.size(), 2u);
  // The pair already in the new section keeps its own lots.
  EXPECT_EQ(start.regist[0].caption, "7203,300,7267,300,1");
  EXPECT_EQ(start.regist[1].textA, "1301" SP "A");
  EXPECT_EQ(start.regist[1].textB, "1332" SP "B");
  ASSERT_EQ(start.recent.size(), 1u);
  EXPECT_EQ(start.recent[0].textA, "9984" SP "S");
  EXPECT_TRUE(start.registChanged);
  EXPECT_TRUE(start.recentChanged);

  EXPECT_FALSE(ini.SectionExists("ChartRegist"));
  EXPECT_FALSE(ini.SectionExists("ChartRecent"));
  EXPECT_EQ(ReadPairSection(ini, "PairRegist1").size(), 2u);
  EXPECT_EQ(ReadPairSection(ini, "PairRecent").size(), 1u);
  // A second start reads the new sections and the stored page again.
  EXPECT_EQ(LoadPairRegistry(ini).page, 4);
}

TEST_F(PairRegistrySettingsTest, AFailedConversionKeepsTheOlderSections) {
  const std::string before = "[ChartRegist]\r\nCount=1\r\nData0=1301,100,1332,200,0|A" SP ARROW SP
                             "B\r\n"
                             "[PairRecent]\r\nCount=1\r\nData0=c|a|b\r\n";
  dir.Write("Dyadmark.ini", before);
  vcl::TIniFile ini = File();
  PairRegistryStart start;
  {
    FileSizeLimit limit(before.size());
    start = LoadPairRegistry(ini);
  }
  EXPECT_FALSE(start.conversionError.empty());
  ASSERT_EQ(start.regist.size(), 1u);
  EXPECT_TRUE(start.registChanged);
  ASSERT_EQ(start.recent.size(), 1u);
  EXPECT_EQ(Ini(), before);
}
