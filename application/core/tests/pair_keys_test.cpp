// The pair keys of the two code lists.

#include "screening/pair_keys.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

TEST(PairKeySetTest, FormsEachPairOnceWithTheSmallerCodeFirst) {
  struct Case {
    const char* name;
    std::vector<std::string> a, b;
    std::vector<std::string> keys;
    std::vector<int64_t> keysBefore;
  };
  const std::vector<Case> cases = {
      {"a group", {"1301", "1302"}, {"1301", "1302"}, {"13011302"}, {0, 1}},
      {"overlapping lists",
       {"1301", "1302", "7203"},
       {"1302", "1303"},
       {"13011302", "13011303", "13021303", "13027203", "13037203"},
       {0, 2, 3}},
      {"one code alone", {"1301"}, {"1301"}, {}, {0}},
      {"an empty list", {}, {"1301"}, {}, {}},
  };
  for (const Case& c : cases) {
    const PairKeySet keys(c.a, c.b);
    std::vector<std::string> formed;
    for (int32_t i = 0; i < keys.CodeCount(); ++i) {
      int64_t row = 0;
      for (int32_t j = i + 1; j < keys.CodeCount(); ++j) {
        if (keys.IsKey(i, j)) {
          formed.push_back(keys.KeyText(i, j));
          ++row;
        }
      }
      EXPECT_EQ(keys.KeysOfRow(i), row) << c.name;
    }
    EXPECT_EQ(formed, c.keys) << c.name;
    EXPECT_EQ(keys.Count(), static_cast<int64_t>(c.keys.size())) << c.name;
    EXPECT_EQ(keys.KeysBeforeRowsOfA(), c.keysBefore) << c.name;
  }
}
