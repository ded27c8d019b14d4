#include "data/short_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ShortText, CutsAt255BytesAndCopiesOnlyTheCountedBytes) {
  const std::string longText(300, 'x');
  const ShortText cut = ToShortText(longText);
  EXPECT_EQ(cut.length, 255);
  EXPECT_EQ(FromShortText(cut), std::string(255, 'x'));

  const ShortText exact = ToShortText(std::string(255, 'y'));
  EXPECT_EQ(exact.length, 255);

  // "株" is 8A 94; a zero byte is a byte like any other.
  const std::string text("\x8A\x94\0z", 4);
  const ShortText shortText = ToShortText(text);
  EXPECT_EQ(shortText.length, 4);
  EXPECT_EQ(FromShortText(shortText), text);
  EXPECT_EQ(ToShortText("").length, 0);
}

}  // namespace
