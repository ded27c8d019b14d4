#include "screening/price_save_failures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "スクリーニング中に時系列データのファイル <n> 件を保存できませんでした。
// これらの銘柄の株価は更新されていません。"
std::string Head(int count) {
  return "\x83\x58\x83\x4E\x83\x8A\x81\x5B\x83\x6A\x83\x93\x83\x4F\x92\x86\x82\xC9\x8E\x9E\x8C\x6E"
         "\x97\xF1\x83\x66\x81\x5B\x83\x5E\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B " +
         std::to_string(count) +
         " \x8C\x8F\x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5"
         "\x82\xBD\x81\x42\x82\xB1\x82\xEA\x82\xE7\x82\xCC\x96\xC1\x95\xBF\x82\xCC\x8A\x94\x89\xBF"
         "\x82\xCD\x8D\x58\x90\x56\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81\x42";
}

TEST(PriceSaveFailures, NamesTheFirstFilesOnceEachAndCountsTheRest) {
  PriceSaveFailures failures;
  EXPECT_TRUE(failures.Empty());
  EXPECT_EQ(failures.Summary(), "");

  failures.Add("1301", "save 1301: full");
  // Side B meets the same file again: it is one failure, told as it first was.
  failures.Add("1301", "save 1301: other");
  EXPECT_EQ(failures.Count(), 1u);
  EXPECT_EQ(failures.Summary(), Head(1) + "\nsave 1301: full");

  for (const char* code : {"1305", "1302", "1307", "1303", "1306", "1304"}) {
    failures.Add(code, std::string("save ") + code);
  }
  EXPECT_EQ(failures.Count(), 7u);
  // In the order they failed; "ほか 2 件".
  EXPECT_EQ(failures.Summary(), Head(7) +
                                    "\nsave 1301: full\nsave 1305\nsave 1302\nsave 1307\nsave 1303"
                                    "\n\x82\xD9\x82\xA9 2 \x8C\x8F");
}

}  // namespace
