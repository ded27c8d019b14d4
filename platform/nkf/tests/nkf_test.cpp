#include "nkf/nkf.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

namespace {

// Converts the way the library does: an output buffer exactly as long as the
// input and its zero byte, allocated on its own so that a sanitizer build
// catches any write past it.
std::string ConvertLikeTheLibrary(const std::string& input, size_t outSize) {
  auto out = std::make_unique<char[]>(outSize);
  nkf::SetOption("s");
  nkf::Convert(out.get(), outSize, input.c_str());
  return std::string(out.get());
}

std::string ConvertLikeTheLibrary(const std::string& input) {
  return ConvertLikeTheLibrary(input, input.size() + 1);
}

// <td>株価～①ｶﾀｶﾅ漢字</td> CR LF 2024年1月5日 LF
const std::string kSnippetCp932 =
    "<td>\x8A\x94\x89\xBF\x81\x60\x87\x40\xB6\xC0\xB6\xC5\x8A\xBF\x8E\x9A</td>\r\n"
    "2024\x94\x4E"
    "1\x8C\x8E"
    "5\x93\xFA\n";

struct EncodedSnippet {
  const char* encoding;
  std::string bytes;
};
void PrintTo(const EncodedSnippet& snippet, std::ostream* os) { *os << snippet.encoding; }

class SnippetTest : public ::testing::TestWithParam<EncodedSnippet> {};

TEST_P(SnippetTest, EveryEncodingGivesTheSameCodePage932Bytes) {
  EXPECT_EQ(ConvertLikeTheLibrary(GetParam().bytes), kSnippetCp932);
}

const std::string kSnippetUtf8 =
    "<td>\xE6\xA0\xAA\xE4\xBE\xA1\xEF\xBD\x9E\xE2\x91\xA0"
    "\xEF\xBD\xB6\xEF\xBE\x80\xEF\xBD\xB6\xEF\xBE\x85\xE6\xBC\xA2\xE5\xAD\x97</td>\r\n"
    "2024\xE5\xB9\xB4"
    "1\xE6\x9C\x88"
    "5\xE6\x97\xA5\n";

INSTANTIATE_TEST_SUITE_P(
    Encodings, SnippetTest,
    ::testing::Values(EncodedSnippet{"Cp932", kSnippetCp932},
                      EncodedSnippet{
                          "EucJp",
                          "<td>\xB3\xF4\xB2\xC1\xA1\xC1\xAD\xA1\x8E\xB6\x8E\xC0\x8E\xB6\x8E\xC5"
                          "\xB4\xC1\xBB\xFA</td>\r\n"
                          "2024\xC7\xAF"
                          "1\xB7\xEE"
                          "5\xC6\xFC\n"},
                      EncodedSnippet{"Utf8", kSnippetUtf8},
                      EncodedSnippet{"Utf8WithBom", "\xEF\xBB\xBF" + kSnippetUtf8},
                      EncodedSnippet{"Iso2022Jp",
                                     "<td>\x1B$B3t2A!A-!\x1B(I6@6E\x1B$B4A;z\x1B(B</td>\r\n"
                                     "2024\x1B$BG/\x1B(B"
                                     "1\x1B$B7n\x1B(B"
                                     "5\x1B$BF|\x1B(B\n"}),
    [](const ::testing::TestParamInfo<EncodedSnippet>& info) { return info.param.encoding; });

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::string cp932;
};
void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.name; }

class Utf8CharacterTest : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8CharacterTest, BecomesItsCodePage932Form) {
  EXPECT_EQ(ConvertLikeTheLibrary(GetParam().utf8), GetParam().cp932);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Utf8CharacterTest,
    ::testing::Values(
        // The JIS wave dash and the Microsoft full-width tilde are one character.
        Utf8Case{"WaveDash", "\xE3\x80\x9C", "\x81\x60"},
        Utf8Case{"MinusSign", "\xE2\x88\x92", "\x81\x7C"},
        Utf8Case{"DoubleVerticalLine", "\xE2\x80\x96", "\x81\x61"},
        Utf8Case{"EmDash", "\xE2\x80\x94", "\x81\x5C"},
        Utf8Case{"CentSign", "\xC2\xA2", "\x81\x91"}, Utf8Case{"PoundSign", "\xC2\xA3", "\x81\x92"},
        Utf8Case{"NotSign", "\xC2\xAC", "\x81\xCA"},
        Utf8Case{"SmallRomanOne", "\xE2\x85\xB0", "\xFA\x40"},
        // An emoji: the code page has no place for it.
        Utf8Case{"EmojiBecomesQuestionMark",
                 "a\xF0\x9F\x98\x80"
                 "b",
                 "a?b"},
        Utf8Case{"LatinSmallEWithAcute", "caf\xC3\xA9", "caf?"}),
    [](const ::testing::TestParamInfo<Utf8Case>& info) { return info.param.name; });

TEST(NkfConvertTest, EmptyInputGivesEmptyText) {
  char out[1] = {'x'};
  nkf::SetOption("s");
  nkf::Convert(out, sizeof out, "");
  EXPECT_EQ(out[0], '\0');
}

TEST(NkfConvertTest, AsciiWithEscapeThatIsNoIso2022JpIsKept) {
  const std::string text = "a\x1B(Zb";
  EXPECT_EQ(ConvertLikeTheLibrary(text), text);
}

TEST(NkfConvertTest, CodePage932KanjiThatEucJpBytesWouldAlsoFitStayUnchanged) {
  // 株式: 8A 94 are C1 control bytes and 8E AE a half-width kana in EUC-JP's
  // byte layout; no EUC-JP text holds C1 controls.
  const std::string text = "<th>\x8A\x94\x8E\xAE</th>";
  EXPECT_EQ(ConvertLikeTheLibrary(text), text);
}

TEST(NkfConvertTest, TextOfNoKnownEncodingIsCopiedUnchanged) {
  // A lone 0x80 and 0xFF are neither UTF-8 nor EUC-JP.
  const std::string text = "\x80\x82\xA0\xFF";
  EXPECT_EQ(ConvertLikeTheLibrary(text), text);
}

TEST(NkfConvertTest, ShortBufferIsNeverOverrunAndEndsOnAWholeCharacter) {
  // The UTF-8 snippet needs 41 bytes in code page 932; give it fewer.
  struct Case {
    size_t outSize;
    std::string expected;
  };
  const Case cases[] = {
      {1, ""},
      {4, "<td"},
      {5, "<td>"},
      {6, "<td>"},                                       // 株 does not fit into the one byte left
      {7, "<td>\x8A\x94"},                               // 株
      {14, "<td>\x8A\x94\x89\xBF\x81\x60\x87\x40\xB6"},  // 株価～①ｶ
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outSize);
    EXPECT_EQ(ConvertLikeTheLibrary(kSnippetUtf8, c.outSize), c.expected);
  }
}

TEST(NkfConvertTest, ZeroSizedBufferIsLeftAlone) {
  char out[2] = {'x', 'y'};
  nkf::Convert(out, 0, "abc");
  EXPECT_EQ(out[0], 'x');
  EXPECT_EQ(out[1], 'y');
}

}  // namespace
