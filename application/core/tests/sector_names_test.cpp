#include "data/sector_names.h"

#include <gtest/gtest.h>

namespace {

TEST(SectorNames, IndexIsTheSectorNumberAndStrayNumbersShowOther) {
  EXPECT_EQ(TypeName(0), "\x82\xBB\x82\xCC\x91\xBC");                   // その他
  EXPECT_EQ(TypeName(6), "\x83\x70\x83\x8B\x83\x76\x81\x45\x8E\x86");   // パルプ・紙
  EXPECT_EQ(TypeName(19), "\x82\xBB\x82\xCC\x91\xBC\x90\xBB\x95\x69");  // その他製品
  EXPECT_EQ(TypeName(33), "\x83\x54\x81\x5B\x83\x72\x83\x58\x8B\xC6");  // サービス業
  EXPECT_EQ(TypeName(-1), TypeNames[0]);
  EXPECT_EQ(TypeName(34), TypeNames[0]);
  for (std::string_view name : TypeNames) EXPECT_FALSE(name.empty());
}

}  // namespace
