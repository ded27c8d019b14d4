#include "data/code_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

using ::testing::ElementsAre;

TCodeData Record(int32_t ng, std::string name, std::string market, int32_t type, int32_t unit,
                 int32_t vol, uint8_t loan) {
  return TCodeData{ng, std::move(name), std::move(market), type, unit, vol, loan};
}

std::vector<std::string> Codes(const CodeTable& table) {
  std::vector<std::string> codes;
  for (int i = 0; i < table.Count(); ++i) codes.push_back(table.CodeAt(i));
  return codes;
}

TEST(CodeTable, KeepsCodesInByteOrderWhateverTheInsertionOrder) {
  CodeTable table;
  for (const char* code : {"9999", "130A", "0001", "1301", "13a0", "1300"}) {
    table.InsertCodeData(code, Record(0, "n", "m", 0, 100, -1, 0));
  }
  // Digits before capitals before small letters; four digits in numeric order.
  EXPECT_THAT(Codes(table), ElementsAre("0001", "1300", "1301", "130A", "13a0", "9999"));
  EXPECT_EQ(table.IndexOf("1301"), 2);
  EXPECT_EQ(table.IndexOf("1302"), -1);
  EXPECT_TRUE(table.ExistCode("13a0"));
  EXPECT_FALSE(table.ExistCode("13A0"));
}

TEST(CodeTable, RepeatedInsertTakesTheLaterDataAndKeepsTheEarlierMark) {
  CodeTable table;
  table.InsertCodeData("1301", Record(1, "Old", "M1", 1, 1000, 50, 1));
  EXPECT_FALSE(table.Changed);  // a new code read from the file is no change
  table.InsertCodeData("1301", Record(0, "New", "M2", 2, 100, 70, 0));
  ASSERT_EQ(table.Count(), 1);
  const TCodeData& data = table.DataAt(0);
  EXPECT_EQ(data.Ng, 1);
  EXPECT_EQ(data.Name, "New");
  EXPECT_EQ(data.Market, "M2");
  EXPECT_EQ(data.Type, 2);
  EXPECT_EQ(data.Unit, 100);
  EXPECT_EQ(data.Vol, 70);
  EXPECT_EQ(data.Loan, 0);
  EXPECT_TRUE(table.Changed);
}

TEST(CodeTable, StoreAddsWithoutMarkOrReplacesKeepingTheMark) {
  CodeTable table;
  table.StoreCodeData("7203", Record(1, "Toyota", "T1", 17, 100, -1, 1));
  ASSERT_EQ(table.Count(), 1);
  EXPECT_EQ(table.DataAt(0).Ng, 0);
  EXPECT_EQ(table.DataAt(0).Unit, 100);

  table.InsertCodeData("6758", Record(1, "Sony", "T1", 16, 100, -1, 1));
  table.StoreCodeData("6758", Record(0, "Sony Group", "T1", 16, 100, 5000, 0));
  ASSERT_EQ(table.Count(), 2);
  const TCodeData& sony = table.DataAt(table.IndexOf("6758"));
  EXPECT_EQ(sony.Ng, 1);
  EXPECT_EQ(sony.Name, "Sony Group");
  EXPECT_EQ(sony.Vol, 5000);
  EXPECT_EQ(sony.Loan, 0);
}

TEST(CodeTable, GetAndSetTouchOnlyTheFieldsGiven) {
  CodeTable table;
  table.InsertCodeData("1301", Record(0, "Name", "Market", 1, 1000, -1, 1));
  table.InsertCodeData("1332", Record(0, "Other", "Market", 1, 1000, -1, 0));

  std::string name = "untouched";
  int32_t vol = 42;
  EXPECT_EQ(table.GetCodeFields("9999", &name, nullptr, nullptr, nullptr, &vol, nullptr), -1);
  EXPECT_EQ(name, "untouched");
  EXPECT_EQ(vol, 42);

  const int32_t newVol = 12345;
  EXPECT_EQ(table.SetCodeFields("1332", nullptr, nullptr, nullptr, nullptr, &newVol, nullptr), 1);
  std::string market;
  int32_t type = 0, unit = 0;
  uint8_t loan = 9;
  EXPECT_EQ(table.GetCodeFields("1332", &name, &market, &type, &unit, &vol, &loan), 1);
  EXPECT_EQ(name, "Other");
  EXPECT_EQ(market, "Market");
  EXPECT_EQ(type, 1);
  EXPECT_EQ(unit, 1000);
  EXPECT_EQ(vol, 12345);
  EXPECT_EQ(loan, 0);

  EXPECT_EQ(table.SetCodeFields("1301", {.Market = "M2", .Unit = 100, .Loan = 0}), 0);
  EXPECT_EQ(table.SetCodeFields("9999", {.Name = "absent"}), -1);
  const TCodeData& named = table.DataAt(0);
  EXPECT_EQ(named.Name, "Name");
  EXPECT_EQ(named.Market, "M2");
  EXPECT_EQ(named.Type, 1);
  EXPECT_EQ(named.Unit, 100);
  EXPECT_EQ(named.Vol, -1);
  EXPECT_EQ(named.Loan, 0);
}

struct ChangedCase {
  const char* what;
  std::function<void(CodeTable&)> operation;
  bool changed;
};

TEST(CodeTable, ChangedFollowsEveryOperation) {
  const ChangedCase cases[] = {
      {"insert of a new code", [](CodeTable& t) { t.InsertCodeData("2000", {}); }, false},
      {"insert of a present code", [](CodeTable& t) { t.InsertCodeData("1301", {}); }, true},
      {"store of a new code", [](CodeTable& t) { t.StoreCodeData("2000", {}); }, true},
      {"store of a present code", [](CodeTable& t) { t.StoreCodeData("1301", {}); }, true},
      {"set with no field on a present code",
       [](CodeTable& t) {
         EXPECT_EQ(t.SetCodeFields("1301", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
                   0);
       },
       true},
      {"set on an absent code",
       [](CodeTable& t) {
         const int32_t unit = 1;
         EXPECT_EQ(t.SetCodeFields("2000", nullptr, nullptr, nullptr, &unit, nullptr, nullptr), -1);
       },
       false},
      {"delete of a present code", [](CodeTable& t) { EXPECT_TRUE(t.DeleteCodeData("1301")); },
       true},
      {"delete of an absent code", [](CodeTable& t) { EXPECT_FALSE(t.DeleteCodeData("2000")); },
       false},
      {"get", [](CodeTable& t) { t.GetCodeFields("1301", 0, 0, 0, 0, 0, 0); }, false},
      {"mark toggled",
       [](CodeTable& t) {
         t.ToggleMark(0);
         EXPECT_EQ(t.DataAt(0).Ng, 1);
         t.ToggleMark(0);
         EXPECT_EQ(t.DataAt(0).Ng, 0);
       },
       true},
      {"clear", [](CodeTable& t) { t.ClearCodeData(); }, false},
  };
  for (const ChangedCase& c : cases) {
    SCOPED_TRACE(c.what);
    CodeTable table;
    table.InsertCodeData("1301", Record(0, "Name", "Market", 1, 1000, -1, 1));
    table.Changed = false;
    c.operation(table);
    EXPECT_EQ(table.Changed, c.changed);
  }
}

TEST(CodeTable, ControlBytesInNameAndMarketBecomeBlanksOnEveryWayIn) {
  // "ソ" is 83 5C: its trail byte is a backslash and must stay as it is.
  const std::string name = "A\tB\r\nC\x83\x5C";
  const std::string market = std::string("M\x00X", 3);
  const std::string cleanName = "A B  C\x83\x5C";
  const std::string cleanMarket = "M X";

  CodeTable table;
  table.InsertCodeData("0001", Record(0, name, market, 0, 0, 0, 0));
  table.StoreCodeData("0002", Record(0, name, market, 0, 0, 0, 0));
  table.StoreCodeData("0003", Record(0, "", "", 0, 0, 0, 0));
  table.SetCodeFields("0003", &name, &market, nullptr, nullptr, nullptr, nullptr);
  table.InsertCodeData("0004", Record(0, "", "", 0, 0, 0, 0));
  table.InsertCodeData("0004", Record(0, name, market, 0, 0, 0, 0));
  for (int i = 0; i < table.Count(); ++i) {
    SCOPED_TRACE(table.CodeAt(i));
    EXPECT_EQ(table.DataAt(i).Name, cleanName);
    EXPECT_EQ(table.DataAt(i).Market, cleanMarket);
  }
}

}  // namespace
