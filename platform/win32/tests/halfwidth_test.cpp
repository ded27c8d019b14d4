#include "win32/halfwidth.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct MappingCase {
  std::string character;  // code page 932 bytes
  int expectedLength;
  char expectedByte;  // meaningful when expectedLength is 1
};

TEST(HalfwidthTest, MapsLettersDigitsAndSymbolsAndNothingElse) {
  const MappingCase cases[] = {
      // Letters and digits, at both ends of each range and inside.
      {"\x82\x60", 1, 'A'},  // Ａ
      {"\x82\x6C", 1, 'M'},  // Ｍ
      {"\x82\x79", 1, 'Z'},  // Ｚ
      {"\x82\x81", 1, 'a'},  // ａ
      {"\x82\x98", 1, 'x'},  // ｘ
      {"\x82\x9A", 1, 'z'},  // ｚ
      {"\x82\x4F", 1, '0'},  // ０
      {"\x82\x54", 1, '5'},  // ５
      {"\x82\x58", 1, '9'},  // ９
      // The symbols.
      {"\x81\x40", 1, '\x20'},  // 　
      {"\x81\x49", 1, '\x21'},  // ！
      {"\x81\x68", 1, '\x22'},  // ”
      {"\x81\x94", 1, '\x23'},  // ＃
      {"\x81\x90", 1, '\x24'},  // ＄
      {"\x81\x93", 1, '\x25'},  // ％
      {"\x81\x95", 1, '\x26'},  // ＆
      {"\x81\x66", 1, '\x27'},  // ’
      {"\x81\x69", 1, '\x28'},  // （
      {"\x81\x6A", 1, '\x29'},  // ）
      {"\x81\x96", 1, '\x2A'},  // ＊
      {"\x81\x7B", 1, '\x2B'},  // ＋
      {"\x81\x43", 1, '\x2C'},  // ，
      {"\x81\x7C", 1, '\x2D'},  // －
      {"\x81\x44", 1, '\x2E'},  // ．
      {"\x81\x5E", 1, '\x2F'},  // ／
      {"\x81\x46", 1, '\x3A'},  // ：
      {"\x81\x47", 1, '\x3B'},  // ；
      {"\x81\x83", 1, '\x3C'},  // ＜
      {"\x81\x81", 1, '\x3D'},  // ＝
      {"\x81\x84", 1, '\x3E'},  // ＞
      {"\x81\x48", 1, '\x3F'},  // ？
      {"\x81\x97", 1, '\x40'},  // ＠
      {"\x81\x6D", 1, '\x5B'},  // ［
      {"\x81\x8F", 1, '\x5C'},  // ￥
      {"\x81\x6E", 1, '\x5D'},  // ］
      {"\x81\x4F", 1, '\x5E'},  // ＾
      {"\x81\x51", 1, '\x5F'},  // ＿
      {"\x81\x4D", 1, '\x60'},  // ｀
      {"\x81\x6F", 1, '\x7B'},  // ｛
      {"\x81\x62", 1, '\x7C'},  // ｜
      {"\x81\x70", 1, '\x7D'},  // ｝
      {"\x81\x50", 1, '\x7E'},  // ￣
      {"\x81\x42", 1, '\xA1'},  // 。
      {"\x81\x75", 1, '\xA2'},  // 「
      {"\x81\x76", 1, '\xA3'},  // 」
      {"\x81\x41", 1, '\xA4'},  // 、
      {"\x81\x45", 1, '\xA5'},  // ・
      // Just outside the letter and digit ranges.
      {"\x82\x4E", 0, 0},
      {"\x82\x59", 0, 0},
      {"\x82\x5F", 0, 0},
      {"\x82\x7A", 0, 0},
      {"\x82\x80", 0, 0},
      {"\x82\x9B", 0, 0},
      // No half-width form: katakana, kanji, other symbols.
      {"\x83\x41", 0, 0},  // ア
      {"\x88\x9F", 0, 0},  // 亜
      {"\x81\x5B", 0, 0},  // ー
      {"\x81\xA6", 0, 0},  // ※
      {"\x81\x60", 0, 0},  // ～
      {"\x81\x5F", 0, 0},  // ＼
      {"\x81\x67", 0, 0},  // “
      // A letter's trail byte under another lead byte.
      {"\x83\x60", 0, 0},  // チ
      {"\xE0\x60", 0, 0},
      // One-byte characters are their own half-width form.
      {"A", 1, 'A'},
      {"\xB1", 1, '\xB1'},  // ｱ
      // A lead byte alone is no character.
      {"\x82", 0, 0},
  };
  for (const MappingCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.character));
    char out[2] = {'#', '#'};
    const int written =
        win32::MapToHalfwidth(c.character.data(), static_cast<int>(c.character.size()), out, 1);
    EXPECT_EQ(written, c.expectedLength);
    EXPECT_EQ(out[0], c.expectedLength == 1 ? c.expectedByte : '#');
    EXPECT_EQ(out[1], '#');
  }
}

TEST(HalfwidthTest, WritesNothingWithoutRoom) {
  char out = '#';
  EXPECT_EQ(win32::MapToHalfwidth("\x82\x60", 2, &out, 0), 0);  // Ａ
  EXPECT_EQ(out, '#');
}

}  // namespace
