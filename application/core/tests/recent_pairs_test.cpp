#include "recent_pairs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recent_list.h"

namespace {

PairListRow Row(int i, const std::string& caption = "") {
  const std::string a = std::to_string(1000 + i);
  const std::string b = std::to_string(2000 + i);
  return {caption.empty() ? a + ",100," + b + ",100,0" : caption, a + "\x81\x40x", b + "\x81\x40y"};
}

std::vector<PairListRow> Rows(int count) {
  std::vector<PairListRow> rows;
  for (int i = 0; i < count; ++i) rows.push_back(Row(i));
  return rows;
}

TEST(RecentPairs, PairOnTheRegistryPageLeavesTheListAlone) {
  auto recent = Rows(3);
  EXPECT_FALSE(PutRecentPair(recent, {Row(7)}, Row(7, "new")));
  EXPECT_EQ(recent.size(), 3u);
  EXPECT_EQ(recent[0].Caption, Row(0).Caption);
}

TEST(RecentPairs, KnownPairMovesToTheTopWithItsNewCaption) {
  for (int at : {0, 3}) {
    auto recent = Rows(5);
    PairListRow row = Row(at, "new");
    EXPECT_TRUE(PutRecentPair(recent, {}, row));
    ASSERT_EQ(recent.size(), 5u);
    EXPECT_EQ(recent[0].Caption, "new");
    EXPECT_EQ(recent[0].TextA, Row(at).TextA);
    EXPECT_EQ(recent[at == 0 ? 1 : 3].Caption, Row(at == 0 ? 1 : 2).Caption);
  }
}

TEST(RecentPairs, NewPairGoesOnTopAndTheOldestFallsOff) {
  auto recent = Rows(kRecentListLimit);
  EXPECT_TRUE(PutRecentPair(recent, {}, Row(99)));
  ASSERT_EQ(recent.size(), static_cast<size_t>(kRecentListLimit));
  EXPECT_EQ(recent[0].Caption, Row(99).Caption);
  EXPECT_EQ(recent.back().Caption, Row(kRecentListLimit - 2).Caption);
}

}  // namespace
