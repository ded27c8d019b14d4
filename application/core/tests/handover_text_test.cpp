#include "output/handover_text.h"

#include <gtest/gtest.h>

namespace {

TEST(HandOverText, FiveFieldsAsTypedJoinedByCommas) {
  const struct {
    std::string_view codeA, lotA, codeB, lotB, adjust;
    std::string text;
  } cases[] = {
      {"7203", "1", "7267", "2", "-150", "7203,1,7267,2,-150"},
      {"7203", "", "7267", "", "", "7203,,7267,,"},
      {"", "", "", "", "", ",,,,"},
      // Kept exactly, blanks and double-byte characters included.
      {" 7203", "\x82\x50", "7267 ", "2", "0", " 7203,\x82\x50,7267 ,2,0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HandOverText(c.codeA, c.lotA, c.codeB, c.lotB, c.adjust), c.text);
  }
}

}  // namespace
