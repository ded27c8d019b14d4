#include "vcl/cp932_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vcl {
namespace {

using ::testing::ElementsAreArray;
using Lines = std::vector<std::string>;

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) {
    if (!hex.empty()) hex += ' ';
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0x0F];
  }
  return hex;
}

TEST(Cp932Text, LeadBytesAreTheTwoRangesOfTheCodePage) {
  for (int byte = 0; byte < 256; ++byte) {
    const bool expected = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(byte)), expected) << byte;
    EXPECT_EQ(IsLeadByte(static_cast<char>(byte)), expected) << byte;
  }
}

TEST(Cp932Text, CaseFoldingNeverTouchesASecondByte) {
  struct Case {
    std::string text;
    std::string folded;
  };
  const Case cases[] = {
      {"", ""},
      {"Dyadmark INI", "dyadmark ini"},
      {"\x83\x41", "\x83\x41"},                    // "ア": its second byte is "A"
      {"\x83\x41Z\x83\x5A", "\x83\x41z\x83\x5A"},  // "アZセ"
      {"\x82\x60", "\x82\x60"},                    // full-width "Ａ" stays
      {"\xB1X", "\xB1x"},                          // half-width "ｱ" is one byte
      {"X\x83", "x\x83"},                          // a lone lead byte at the end
  };
  for (const Case& c : cases) EXPECT_EQ(FoldAsciiCase(c.text), c.folded) << Hex(c.text);
}

TEST(Cp932Text, TextsCompareIgnoringOnlyAsciiCase) {
  struct Case {
    std::string a;
    std::string b;
    bool same;
  };
  const Case cases[] = {
      {"7203 Toyota", "7203 TOYOTA", true},
      {"\x83\x41", "\x83\x61", false},   // "ア" and "ヂ" differ only as "A" and "a"
      {"\x83\x41x", "\x83\x41X", true},  // the letter after the character folds
      {"\x83\x41", "\x83\x41\x83\x41", false},
      {"a\x83", "A\x83", true},  // a lone lead byte compares as itself
      {"", "", true},
      {"ab", "abc", false},
      {"[", "{", false},  // only letters fold
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameTextIgnoringAsciiCase(c.a, c.b), c.same) << Hex(c.a) << " / " << Hex(c.b);
    EXPECT_EQ(SameTextIgnoringAsciiCase(c.b, c.a), c.same) << Hex(c.b) << " / " << Hex(c.a);
  }
}

TEST(Cp932Text, ALoneLeadByteIsFoundOnlyAtTheEndOfAWholeCharacterWalk) {
  struct Case {
    std::string text;
    bool lone;
  };
  const Case cases[] = {
      {"", false},
      {"abc", false},
      {"\x83", true},
      {"\x83\x5D", false},  // "ゾ", second byte "]"
      {"\x83\x5D\x83", true},
      {"\x81\x81", false},  // "＝": a lead byte as second byte
      {"\x81\x81\x81", true},
      {"\xB1\x83", true},  // after a half-width katakana
  };
  for (const Case& c : cases) EXPECT_EQ(EndsInLoneLeadByte(c.text), c.lone) << Hex(c.text);
}

TEST(Cp932Text, CutsKeepWholeCharacters) {
  struct Case {
    std::string text;
    size_t limit;
    size_t length;
  };
  const Case cases[] = {
      {"abc", 5, 3},        {"abc", 2, 2},
      {"ab\x8A\x94", 3, 2},  // "ab株": the cut would halve "株"
      {"ab\x8A\x94", 4, 4}, {"\x8A\x94\x89\xBF", 3, 2},
      {"\x8A\x94", 0, 0},   {"\x81\x81\x81\x81", 3, 2},  // "＝＝": a second byte in the lead range
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WholeCharactersWithin(c.text, c.limit), c.length) << Hex(c.text) << " " << c.limit;
  }
}

TEST(Cp932Text, LinesEndAtCrLfOrCrLf) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"one\r\n", {"one"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"\r\n\r\n", {"", ""}},
      {"\n\r", {"", ""}},  // LF CR is two ends
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
      {"\x83\x5C\r\n", {"\x83\x5C"}},  // "ソ": its second byte is no end
  };
  for (const Case& c : cases) EXPECT_THAT(SplitLines(c.text), ElementsAreArray(c.lines));
}

TEST(Cp932Text, JoinedLinesEndInCrLfAndSplitBack) {
  EXPECT_EQ(JoinLinesCrlf({}), "");
  EXPECT_EQ(JoinLinesCrlf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  const Lines lines = {"1301", "", "\x8A\x94\x89\xBF"};
  EXPECT_THAT(SplitLines(JoinLinesCrlf(lines)), ElementsAreArray(lines));
}

// Both directions of the one conversion.
struct RoundTrip {
  std::u16string text;
  std::string bytes;
};

TEST(Cp932Text, CharactersConvertBothWays) {
  const RoundTrip cases[] = {
      {u"ASCII ~\\", "ASCII ~\\"},
      {u"\u682A\u4FA1", "\x8A\x94\x89\xBF"},                // 株価
      {u"\uFF5E", "\x81\x60"},                              // ～, the code page's own wave dash
      {u"\u2225", "\x81\x61"},                              // ∥
      {u"\uFF0D", "\x81\x7C"},                              // －
      {u"\uFFE0\uFFE1\uFFE2", "\x81\x91\x81\x92\x81\xCA"},  // ￠￡￢
      {u"\u2460", "\x87\x40"},                              // ①
      {u"\uFF76\uFF80", "\xB6\xC0"},                        // ｶﾀ
      {u"\u3000", "\x81\x40"},                              // ideographic space
      {u"\u001A\u001C\u007F", "\x1A\x1C\x7F"},              // control characters stay as they are
      {u"", ""},
  };
  for (const RoundTrip& c : cases) {
    EXPECT_EQ(Hex(Utf16ToCp932(c.text)), Hex(c.bytes));
    EXPECT_EQ(Cp932ToUtf16(c.bytes), c.text) << Hex(c.bytes);
  }
}

TEST(Cp932Text, CharactersHeldInAnotherFormTakeIt) {
  const RoundTrip cases[] = {
      {u"\u301C", "\x81\x60"},                              // 〜 JIS wave dash -> ～
      {u"\u2016", "\x81\x61"},                              // ‖ -> ∥
      {u"\u2212", "\x81\x7C"},                              // − minus sign -> －
      {u"\u00A2\u00A3\u00AC", "\x81\x91\x81\x92\x81\xCA"},  // ¢£¬ -> ￠￡￢
      {u"\u00A5", "\x5C"},                                  // ¥
  };
  for (const RoundTrip& c : cases) EXPECT_EQ(Hex(Utf16ToCp932(c.text)), Hex(c.bytes));
}

TEST(Cp932Text, CharactersTheCodePageLacksBecomeQuestionMarks) {
  const RoundTrip cases[] = {
      {u"a\u00E9z", "a?z"},      // é
      {u"a\u200Bz", "a?z"},      // zero-width space: shown, not dropped
      {u"a\U0001F600z", "a?z"},  // one "?" for a whole surrogate pair
      {std::u16string(u"a") + char16_t(0xD800) + u"z", "a?z"},  // unpaired surrogate
      {u"\uFFFD", "?"},
  };
  for (const RoundTrip& c : cases) EXPECT_EQ(Hex(Utf16ToCp932(c.text)), Hex(c.bytes));
}

TEST(Cp932Text, BytesTheCodePageDoesNotAssignDecodeAsReplacementCharacters) {
  const RoundTrip cases[] = {
      {u"\uFFFDa",
       "\x80"
       "a"},
      {u"\uFFFDa",
       "\xA0"
       "a"},
      {u"\uFFFD\uFFFD\uFFFD", "\xFD\xFE\xFF"},
      {u"a\uFFFD", "a\x82"},          // a lead byte cut off at the end
      {u"\uFFFD\u007F", "\x81\x7F"},  // 7F is no second byte
      {u"\uFFFDb",
       "\x82\x41"
       "b"},  // an unassigned pair is one character
  };
  for (const RoundTrip& c : cases) EXPECT_EQ(Cp932ToUtf16(c.bytes), c.text) << Hex(c.bytes);
}

}  // namespace
}  // namespace vcl
