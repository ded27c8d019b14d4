#include "window/recent_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;

std::vector<std::string> Numbered(int count) {
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) items.push_back("item" + std::to_string(i));
  return items;
}

TEST(RecentList, NewTextGoesOnTopAndTheListIsCutAtTwenty) {
  std::vector<std::string> items = Numbered(20);
  int itemIndex = 3;
  int tag = 0;
  AddRecentToList(items, itemIndex, tag, "new");
  ASSERT_EQ(items.size(), 20u);
  EXPECT_EQ(items[0], "new");
  EXPECT_EQ(items[1], "item0");
  EXPECT_EQ(items[19], "item18");  // the former last one is gone
  EXPECT_EQ(itemIndex, 3);
  EXPECT_EQ(tag, 1);
}

TEST(RecentList, ShortListGrows) {
  std::vector<std::string> items = {"a"};
  int itemIndex = -1;
  int tag = 0;
  AddRecentToList(items, itemIndex, tag, "");  // an empty text is a text like any other
  EXPECT_THAT(items, ElementsAre("", "a"));
  EXPECT_EQ(itemIndex, -1);
  EXPECT_EQ(tag, 1);
}

TEST(RecentList, PresentTextMovesToTheTopInItsNewSpellingAndIsSelected) {
  std::vector<std::string> items = Numbered(20);
  items[5] = "1301 7203 abc";
  int itemIndex = -1;
  int tag = 0;
  AddRecentToList(items, itemIndex, tag, "1301 7203 ABC");
  ASSERT_EQ(items.size(), 20u);
  EXPECT_EQ(items[0], "1301 7203 ABC");
  EXPECT_EQ(items[5], "item4");
  EXPECT_EQ(items[6], "item6");
  EXPECT_EQ(items[19], "item19");
  EXPECT_EQ(itemIndex, 0);
  EXPECT_EQ(tag, 1);

  AddRecentToList(items, itemIndex, tag, "1301 7203 abc");  // already on top
  EXPECT_EQ(items.size(), 20u);
  EXPECT_EQ(items[0], "1301 7203 abc");
  EXPECT_EQ(items[1], "item0");
}

TEST(RecentList, CaseIsFoldedOnlyForSingleByteLetters) {
  // "ア" is 83 41 and "ヂ" is 83 61: their trail bytes are "A" and "a".
  std::vector<std::string> items = {"\x83\x61"};
  int itemIndex = -1;
  int tag = 0;
  AddRecentToList(items, itemIndex, tag, "\x83\x41");
  EXPECT_THAT(items, ElementsAre("\x83\x41", "\x83\x61"));
}

}  // namespace
