#include "recent_pairs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(RecentPairs, PlaceOfACheckedPair) {
  using Kind = RecentPairPlace::Kind;
  const struct {
    const char* what;
    std::vector<PairListRow> registry;
    PairListRow row;
    Kind kind;
    int from;
  } cases[] = {
      {"on the registry page", {Row(7)}, Row(7, "new"), Kind::kOnRegistry, -1},
      {"on the registry page and in the list", {Row(3)}, Row(3, "new"), Kind::kOnRegistry, -1},
      {"in the list", {Row(8)}, Row(3, "new"), Kind::kMoved, 3},
      {"at the top", {}, Row(0, "new"), Kind::kMoved, 0},
      {"new", {Row(8)}, Row(9), Kind::kInserted, -1},
      // Matched by both texts, not by the caption.
      {"same caption, other names", {}, {Row(2).Caption, "x", "y"}, Kind::kInserted, -1},
  };
  for (const auto& c : cases) {
    const RecentPairPlace place = PlaceRecentPair(Rows(5), c.registry, c.row);
    EXPECT_EQ(place.kind, c.kind) << c.what;
    EXPECT_EQ(place.from, c.from) << c.what;
  }
}

}  // namespace
