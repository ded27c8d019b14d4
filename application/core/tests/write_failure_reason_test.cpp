#include "data/write_failure_reason.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

bool HasAsciiLetter(const std::string& text) {
  // Lead bytes of code page 932 are all above 0x80, but a trail byte may be a
  // letter: step over each double-byte character whole.
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
      ++i;
    } else if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
      return true;
    }
  }
  return false;
}

TEST(WriteFailureReason, EveryReasonIsJapanese) {
  const std::string other = WriteFailureReason(0);
  for (int error : {EACCES, EPERM, EROFS, EISDIR, ENOSPC, EDQUOT, EFBIG, ENOENT, ENOTDIR,
                    ENAMETOOLONG, ELOOP, EBUSY, ETXTBSY, EMFILE, ENFILE, ENOMEM, EIO, EXDEV}) {
    const std::string reason = WriteFailureReason(error);
    EXPECT_FALSE(reason.empty()) << error;
    EXPECT_FALSE(HasAsciiLetter(reason)) << error;
  }
  // A value without its own text keeps its number, so it can still be told.
  EXPECT_EQ(WriteFailureReason(EXDEV), other.substr(0, other.size() - 1) + std::to_string(EXDEV));
  EXPECT_NE(WriteFailureReason(ENOSPC), other);
  // A read-only file system is not a missing permission.
  EXPECT_NE(WriteFailureReason(EROFS), WriteFailureReason(EACCES));
}

TEST(WriteFailureReason, TheSettingsFileMessageGivesItsReason) {
  const std::string cannotWrite =
      "/d/Dyadmark.ini \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";
  EXPECT_EQ(SettingsWriteMessage(vcl::EIniFileException(cannotWrite, ENOSPC)),
            cannotWrite + ": " + WriteFailureReason(ENOSPC));
  EXPECT_EQ(SettingsWriteMessage(vcl::EIniFileException(cannotWrite, EROFS)),
            cannotWrite + ": " + WriteFailureReason(EROFS));
  // Refused for what it would have written: no reason to give.
  EXPECT_EQ(SettingsWriteMessage(vcl::EIniFileException(cannotWrite)), cannotWrite);
}

}  // namespace
