#include "window/hint_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct HintCase {
  const char* name;
  std::vector<std::u16string> panels;  // panel 0's text before each hint
  std::string shown;                   // '1' where the hint shows
};

std::vector<std::u16string> Repeat(int n, const std::u16string& text) {
  return std::vector<std::u16string>(static_cast<size_t>(n), text);
}

TEST(HintRule, HoldsAMessageForSixHints) {
  const std::u16string held = u" * done";
  const std::u16string cancel = u" ! cancel";
  const HintCase cases[] = {
      {"status message", Repeat(7, held), "0000001"},
      {"notice", Repeat(7, u" ! failed"), "0000001"},
      {"hint text", Repeat(3, u" ? code"), "111"},
      {"other text", Repeat(2, u"plain"), "11"},
      {"empty panel", Repeat(2, u""), "11"},
      {"one character", Repeat(1, u"*"), "1"},
      // A notice set while three hints are already counted survives three.
      {"notice during the count", {held, held, held, cancel, cancel, cancel, cancel}, "0000001"},
      {"after the seventh",
       {held, held, held, held, held, held, held, u" ? x", u" * again", u" * again"},
       "0000001100"},
  };
  for (const HintCase& c : cases) {
    HintRule rule;
    std::string got;
    for (const std::u16string& panel : c.panels) got += rule.Accept(panel) ? '1' : '0';
    EXPECT_EQ(got, c.shown) << c.name;
  }
}

TEST(HintRule, LongPartOfAHint) {
  EXPECT_EQ(LongHint(u"short|long"), u"long");
  EXPECT_EQ(LongHint(u"a|b|c"), u"b|c");
  EXPECT_EQ(LongHint(u" ? code"), u" ? code");
  EXPECT_EQ(LongHint(u""), u"");
}

}  // namespace
