#include "halfwidth.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A counted text of `counted`, with `beyond` written after the counted bytes
// to show that they are never read.
ShortText MakeShortText(const std::string& counted, const std::string& beyond = "") {
  ShortText text{};
  text.length = static_cast<uint8_t>(counted.size());
  std::memcpy(text.bytes, counted.data(), counted.size());
  std::memcpy(text.bytes + counted.size(), beyond.data(), beyond.size());
  return text;
}

std::string CountedBytes(const ShortText& text) { return std::string(text.bytes, text.length); }

struct ConversionCase {
  const char* name;
  std::string input;
  std::string beyond;
  std::string expected;
};

std::string Repeat(const std::string& part, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

TEST(ConvertToHalfwidthTest, ConvertsLettersDigitsAndListedSymbolsOnly) {
  const ConversionCase cases[] = {
      {"empty", "", "", ""},
      // ＡＢＣ１２３
      {"letters and digits", "\x82\x60\x82\x61\x82\x62\x82\x50\x82\x51\x82\x52", "", "ABC123"},
      {"small letter", "\x82\x98", "", "x"},  // ｘ
      // ＡＢＣ（株） -> ABC(株)
      {"company name", "\x82\x60\x82\x61\x82\x62\x81\x69\x8A\x94\x81\x6A", "", "ABC(\x8A\x94)"},
      // 　！￥・「」 -> blank, !, yen, and the half-width punctuation
      {"listed symbols", "\x81\x40\x81\x49\x81\x8F\x81\x45\x81\x75\x81\x76", "",
       "\x20\x21\x5C\xA5\xA2\xA3"},
      // トヨタ自動車 ※ー: katakana, kanji and symbols outside the list
      {"katakana kanji and other symbols",
       "\x83\x67\x83\x88\x83\x5E\x8E\xA9\x93\xAE\x8E\xD4\x81\xA6\x81\x5B", "",
       "\x83\x67\x83\x88\x83\x5E\x8E\xA9\x93\xAE\x8E\xD4\x81\xA6\x81\x5B"},
      // ｶﾌﾞ A-1
      {"half-width kana and ascii", "\xB6\xCC\xDE A-1", "", "\xB6\xCC\xDE A-1"},
      {"lone lead byte at the end", "\x82\x60\x82", "", "A\x82"},
      // The lead byte ends the counted text: the byte after it is not its pair.
      {"lone lead byte before uncounted bytes", "A\x82", "\x60", "A\x82"},
      {"uncounted bytes ignored", "A", "\x82\x60", "A"},
      // 0x81 0x40 (the ideographic space) straddles two characters here.
      {"symbol bytes across characters", "\x8A\x81\x40", "", "\x8A\x81\x40"},
      {"letter after a lead byte as trail", "\x82\x81\x40", "", "a@"},
      {"letter after half-width kana", "\xB1\x82\x60", "",
       "\xB1"
       "A"},
      // 127 full-width Ａ and the first byte of another
      {"full length", Repeat("\x82\x60", 127) + "\x82", "", Repeat("A", 127) + "\x82"},
  };
  for (const ConversionCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ShortText result = ticvane::ConvertToHalfwidth(MakeShortText(c.input, c.beyond));
    EXPECT_EQ(CountedBytes(result), c.expected);
  }
}

}  // namespace
