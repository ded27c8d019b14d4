#include "data/code_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "data/file_io.h"
#include "scratch_dir.h"
#include "vcl/testing/file_size_limit.h"

namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

// 極洋 (8B C9 97 6D) on 東証1部 (93 8C 8F D8 31 95 94)
const std::string kKyokuyo = "\x8B\xC9\x97\x6D";
const std::string kTosho1 = "\x93\x8C\x8F\xD8\x31\x95\x94";

struct LineCase {
  const char* what;
  std::string line;
  std::string code;
  TCodeData data;
};

void ExpectSameData(const TCodeData& actual, const TCodeData& expected) {
  EXPECT_EQ(actual.Ng, expected.Ng);
  EXPECT_EQ(actual.Name, expected.Name);
  EXPECT_EQ(actual.Market, expected.Market);
  EXPECT_EQ(actual.Type, expected.Type);
  EXPECT_EQ(actual.Unit, expected.Unit);
  EXPECT_EQ(actual.Vol, expected.Vol);
  EXPECT_EQ(actual.Loan, expected.Loan);
}

TEST(CodeFileLine, ReadsFieldsByBytePosition) {
  const LineCase cases[] = {
      {"conformant",
       "1301\t" + kKyokuyo + "\t" + kTosho1 + "\t1\t1000\t-1\t1\t0",
       "1301",
       {0, kKyokuyo, kTosho1, 1, 1000, -1, 1}},
      {"loan 0, mark 1",
       "1332\tN\tM\t1\t1000\t250000\t0\t1",
       "1332",
       {1, "N", "M", 1, 1000, 250000, 0}},
      {"loan 2 is no loan", "1332\tN\tM\t1\t1000\t5\t2\t0", "1332", {0, "N", "M", 1, 1000, 5, 0}},
      {"loan letter is no loan",
       "1332\tN\tM\t1\t1000\t5\tY\t0",
       "1332",
       {0, "N", "M", 1, 1000, 5, 0}},
      {"mark 2 reads as 1", "1332\tN\tM\t1\t1\t5\t1\t2", "1332", {1, "N", "M", 1, 1, 5, 1}},
      {"mark -1 reads as 1", "1332\tN\tM\t1\t1\t5\t1\t-1", "1332", {1, "N", "M", 1, 1, 5, 1}},
      {"mark not a number", "1332\tN\tM\t1\t1\t5\t1\tx", "1332", {0, "N", "M", 1, 1, 5, 1}},
      {"bad numbers read as 0", "1332\tN\tM\tabc\t1.5\t\t1\t0", "1332", {0, "N", "M", 0, 0, 0, 1}},
      {"sector 34 reads as 0", "1332\tN\tM\t34\t100\t5\t0\t0", "1332", {0, "N", "M", 0, 100, 5, 0}},
      {"sector -1 reads as 0", "1332\tN\tM\t-1\t100\t5\t0\t0", "1332", {0, "N", "M", 0, 100, 5, 0}},
      {"sector 33 kept", "1332\tN\tM\t33\t100\t5\t0\t0", "1332", {0, "N", "M", 33, 100, 5, 0}},
      // Without a TAB the field is empty and nothing is consumed: the loan
      // then reads the name's first byte and the mark what follows two bytes on.
      {"name only", "1301\tName", "1301", {0, "", "", 0, 0, 0, 0}},
      {"no TAB after the market", "1301\tName\tMarket", "1301", {0, "Name", "", 0, 0, 0, 0}},
      {"volume missing", "1301\tN\tM\t1\t100\t1\t0", "1301", {0, "N", "M", 1, 100, 1, 0}},
      {"mark missing", "1301\tN\tM\t1\t100\t5\t1", "1301", {0, "N", "M", 1, 100, 5, 1}},
      {"empty fields", "0001\t\t\t\t\t\t\t", "0001", {0, "", "", 0, 0, 0, 0}},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::string code;
    TCodeData data;
    ASSERT_TRUE(ParseCodeLine(c.line, code, data));
    EXPECT_EQ(code, c.code);
    ExpectSameData(data, c.data);
  }
}

TEST(CodeFileLine, RefusesShortLinesAndLinesWithoutTheTabAfterTheCode) {
  for (const char* line : {"", "1", "1301", "1301 Name\tM\t1\t1\t1\t1\t0",
                           "13011\tN\tM\t1\t1\t1\t1\t0", "130\tN\tM\t1\t1\t1\t1\t0"}) {
    SCOPED_TRACE(line);
    std::string code;
    TCodeData data;
    EXPECT_FALSE(ParseCodeLine(line, code, data));
  }
}

TEST(CodeFileLine, ConformantLinesComeBackByteForByte) {
  for (const std::string& line : {
           "1301\t" + kKyokuyo + "\t" + kTosho1 + "\t1\t1000\t-1\t1\t0",
           std::string("9999\tA\tB\t33\t1\t2147483647\t0\t1"),
           std::string("0001\t\t\t0\t0\t0\t0\t0"),
       }) {
    std::string code;
    TCodeData data;
    ASSERT_TRUE(ParseCodeLine(line, code, data));
    EXPECT_EQ(FormatCodeLine(code, data), line);
  }
}

TEST(CodeFileLine, LoanIsWrittenAsOneOrZero) {
  EXPECT_EQ(FormatCodeLine("1301", {0, "N", "M", 1, 100, -1, 7}), "1301\tN\tM\t1\t100\t-1\t1\t0");
  EXPECT_EQ(FormatCodeLine("1301", {1, "N", "M", 1, 100, 0, 0}), "1301\tN\tM\t1\t100\t0\t0\t1");
}

TEST(CodeFile, LoadsEveryLineEndAndMergesRepeatedCodes) {
  ScratchDir dir;
  dir.Write("Code.txt",
            "9999\tLast\tM\t1\t100\t10\t1\t0\r\n"
            "1301\tFirst\tM\t1\t1000\t-1\t1\t1\n"  // mark 1, LF only
            "130\r"                                // too short: skipped, CR only
            "\r\n"                                 // blank: skipped
            "0001\tTop\tM\t2\t1\t2\t0\t0\r"
            "1301\tSecond\tN\t3\t100\t20\t0\t0");  // repeat, no line end
  CodeTable table;
  table.InsertCodeData("5555", {});  // loading replaces what was there
  table.Changed = true;
  LoadCodeFile(table, dir.path());
  ASSERT_EQ(table.Count(), 3);
  EXPECT_EQ(table.CodeAt(0), "0001");
  EXPECT_EQ(table.CodeAt(1), "1301");
  EXPECT_EQ(table.CodeAt(2), "9999");
  ExpectSameData(table.DataAt(1), {1, "Second", "N", 3, 100, 20, 0});
  EXPECT_FALSE(table.Changed);
}

TEST(CodeFile, AByteOrderMarkAtTheStartCostsNoCode) {
  ScratchDir dir;
  dir.Write("Code.txt",
            "\xEF\xBB\xBF"
            "1301\tFirst\tM\t1\t1000\t-1\t1\t0\r\n"
            "1332\tSecond\tM\t1\t1000\t-1\t0\t0\r\n");
  CodeTable table;
  LoadCodeFile(table, dir.path());
  ASSERT_EQ(table.Count(), 2);
  EXPECT_EQ(table.CodeAt(0), "1301");
  ExpectSameData(table.DataAt(0), {0, "First", "M", 1, 1000, -1, 1});
  EXPECT_EQ(table.CodeAt(1), "1332");
}

// A mark anywhere else cannot start a code: such a code, written first,
// would lose its mark when the file is read again.
TEST(CodeFile, ACodeNeverStartsWithAByteOrderMark) {
  ScratchDir dir;
  dir.Write("Code.txt",
            "1301\tFirst\tM\t1\t1000\t-1\t1\t0\r\n"
            "\xEF\xBB\xBF"
            "2\tN\tM\t1\t100\t5\t0\t0\r\n");
  CodeTable table;
  LoadCodeFile(table, dir.path());
  ASSERT_EQ(table.Count(), 1);
  EXPECT_EQ(table.CodeAt(0), "1301");
}

TEST(CodeFile, MissingOrUnreadableFileGivesAnEmptyTable) {
  ScratchDir dir;
  CodeTable table;
  table.InsertCodeData("5555", {});
  table.Changed = true;
  LoadCodeFile(table, dir.path());
  EXPECT_EQ(table.Count(), 0);
  EXPECT_FALSE(table.Changed);

  std::filesystem::create_directory(dir.path() / "Code.txt");
  table.InsertCodeData("5555", {});
  LoadCodeFile(table, dir.path());
  EXPECT_EQ(table.Count(), 0);
}

TEST(CodeFile, SavesTableOrderWithCrLfAfterEveryLineAndNoBom) {
  ScratchDir dir;
  CodeTable table;
  table.StoreCodeData("9999", {0, "Z", "M", 0, 1, -1, 0});
  table.StoreCodeData("0001", {0, kKyokuyo, kTosho1, 1, 1000, 123, 1});
  table.StoreCodeData("1301", {0, "A", "B", 33, 100, 0, 0});
  table.InsertCodeData("1301", {1, "A", "B", 33, 100, 0, 0});  // the mark is kept: still 0
  EXPECT_TRUE(SaveCodeFile(table, dir.path()));
  EXPECT_FALSE(table.Changed);
  EXPECT_EQ(dir.Read("Code.txt"),
            "0001\t\x8B\xC9\x97\x6D\t\x93\x8C\x8F\xD8\x31\x95\x94\t1\t1000\t123\t1\t0\r\n"
            "1301\tA\tB\t33\t100\t0\t0\t0\r\n"
            "9999\tZ\tM\t0\t1\t-1\t0\t0\r\n");
  EXPECT_THAT(dir.Names(), ElementsAre("Code.txt"));
}

TEST(CodeFile, SavesNothingWhenUnchanged) {
  ScratchDir dir;
  CodeTable table;
  table.InsertCodeData("1301", {});
  table.Changed = false;
  EXPECT_TRUE(SaveCodeFile(table, dir.path()));
  EXPECT_TRUE(dir.Names().empty());
}

TEST(CodeFile, FailedSaveNamesTheFileAndKeepsChanged) {
  ScratchDir dir;
  std::filesystem::create_directory(dir.path() / "Code.txt");  // in the way of the rename
  CodeTable table;
  table.StoreCodeData("1301", {0, "A", "B", 1, 100, -1, 0});
  std::string error;
  EXPECT_FALSE(SaveCodeFile(table, dir.path(), &error));
  // "ファイル "<dir>/Code.txt" を保存できません: 同じ名前のフォルダーがあります"
  EXPECT_EQ(error, "\x83\x74\x83\x40\x83\x43\x83\x8B \"" + dir.path().string() +
                       "/Code.txt\" \x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9"
                       "\x82\xF1: \x93\xAF\x82\xB6\x96\xBC\x91\x4F\x82\xCC\x83\x74\x83\x48"
                       "\x83\x8B\x83\x5F\x81\x5B\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB7");
  EXPECT_TRUE(table.Changed);
  EXPECT_THAT(dir.Names(), ElementsAre("Code.txt"));  // no temporary file left

  std::filesystem::remove(dir.path() / "Code.txt");
  EXPECT_TRUE(SaveCodeFile(table, dir.path()));  // the next save tries again
  EXPECT_FALSE(table.Changed);
  EXPECT_EQ(dir.Read("Code.txt"), "1301\tA\tB\t1\t100\t-1\t0\t0\r\n");
}

TEST(CodeFile, AReadOnlyFileIsKeptAndTheSaveFails) {
  ScratchDir dir;
  const std::string old = "1301\tOld\tM\t1\t100\t-1\t0\t0\r\n";
  dir.Write("Code.txt", old);
  ASSERT_EQ(::chmod((dir.path() / "Code.txt").c_str(), 0444), 0);
  CodeTable table;
  table.StoreCodeData("1301", {0, "New", "M", 1, 100, -1, 0});
  std::string error;
  EXPECT_FALSE(SaveCodeFile(table, dir.path(), &error));
  EXPECT_THAT(error, HasSubstr("/Code.txt\" "));
  // ": 書き込みが許可されていません"
  EXPECT_THAT(error, EndsWith(": \x8F\x91\x82\xAB\x8D\x9E\x82\xDD\x82\xAA\x8B\x96\x89\xC2"
                              "\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1"));
  EXPECT_TRUE(table.Changed);
  EXPECT_EQ(dir.Read("Code.txt"), old);
}

TEST(CodeFile, WriteStoppedPartWayKeepsTheOldFile) {
  ScratchDir dir;
  const std::string old = "1301\tOld\tM\t1\t100\t-1\t0\t0\r\n";
  dir.Write("Code.txt", old);
  CodeTable table;
  for (const char* code : {"1001", "1002", "1003", "1004", "1005", "1006", "1007", "1008"}) {
    table.StoreCodeData(code, {0, "Name", "Market", 1, 100, 123456, 1});
  }
  {
    FileSizeLimit limit(100);
    EXPECT_FALSE(SaveCodeFile(table, dir.path()));
  }
  EXPECT_TRUE(table.Changed);
  EXPECT_EQ(dir.Read("Code.txt"), old);
  EXPECT_THAT(dir.Names(), ElementsAre("Code.txt"));
}

}  // namespace
