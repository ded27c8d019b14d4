#include "win32/copy_data_frame.h"

#include <gtest/gtest.h>

namespace {

TEST(CopyDataFrame, TagLengthAndDataLeastSignificantByteFirst) {
  using namespace std::string_literals;
  EXPECT_EQ(win32::EncodeCopyDataFrame(-1, "7203,1,9984,2,\0"s),
            "\xFF\xFF\xFF\xFF\x0F\x00\x00\x00"
            "7203,1,9984,2,\0"s);
  EXPECT_EQ(win32::EncodeCopyDataFrame(0x01020304, ""), "\x04\x03\x02\x01\x00\x00\x00\x00"s);
  const std::string big(0x012345, 'x');
  EXPECT_EQ(win32::EncodeCopyDataFrame(7, big).substr(0, 8), "\x07\x00\x00\x00\x45\x23\x01\x00"s);
  EXPECT_EQ(win32::EncodeCopyDataFrame(7, big).size(), 8 + big.size());
}

TEST(CopyDataFrame, ReplyTakesFourBytes) {
  using namespace std::string_literals;
  EXPECT_EQ(win32::EncodeCopyDataReply(1), "\x01\x00\x00\x00"s);
  EXPECT_EQ(win32::EncodeCopyDataReply(-2), "\xFE\xFF\xFF\xFF"s);
  EXPECT_EQ(win32::DecodeCopyDataReply("\x01\x00\x00\x00"s), 1);
  EXPECT_EQ(win32::DecodeCopyDataReply("\x00\x00\x00\x80xyz"s), INT32_MIN);
  EXPECT_EQ(win32::DecodeCopyDataReply("\x01\x00\x00"s), std::nullopt);
  EXPECT_EQ(win32::DecodeCopyDataReply(""), std::nullopt);
}

}  // namespace
