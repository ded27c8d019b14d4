#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "vcl/convert.h"
#include "vcl/testing/test_dir.h"

namespace vcl {
namespace {

TEST(FormatDateYMD, PadsWithZeros) {
  EXPECT_EQ(FormatDateYMD(2009, 3, 5), "2009/03/05");
  EXPECT_EQ(FormatDateYMD(0, 0, 0), "0000/00/00");
}

TEST(ParseDateYMD, ReadsOnlyValidDatesOfExactlyThatShape) {
  int year = 0, month = 0, day = 0;
  ASSERT_TRUE(ParseDateYMD("2009/03/05", year, month, day));
  EXPECT_EQ(year, 2009);
  EXPECT_EQ(month, 3);
  EXPECT_EQ(day, 5);
  ASSERT_TRUE(ParseDateYMD("2008/02/29", year, month, day));
  EXPECT_EQ(day, 29);

  const char* const invalid[] = {"0000/00/00",  "2009/02/29",  "2009/02/30", "1900/02/29",
                                 "2009/13/01",  "2009/04/31",  "2009-03-05", "2009/3/5",
                                 "2009/03/05 ", " 2009/03/05", "2009/0a/05", ""};
  for (const char* text : invalid) {
    year = month = day = -1;
    EXPECT_FALSE(ParseDateYMD(text, year, month, day)) << text;
    EXPECT_EQ(year, -1) << text;
  }
}

TEST(IsValidDate, GregorianDaysWithinTheYearRange) {
  const struct {
    int year, month, day, lastYear;
    bool valid;
  } cases[] = {
      {2008, 2, 29, 9999, true},       {2009, 2, 29, 9999, false},
      {1900, 2, 29, 9999, false},      {2000, 2, 29, 9999, true},
      {2009, 4, 31, 9999, false},      {2009, 12, 31, 9999, true},
      {2009, 13, 1, 9999, false},      {2009, 0, 1, 9999, false},
      {2009, 1, 0, 9999, false},       {0, 1, 1, 9999, false},
      {9999, 12, 31, 9999, true},      {10000, 1, 1, 9999, false},
      {10000, 1, 1, 2147483647, true}, {2147483647, 2, 29, 2147483647, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidDate(c.year, c.month, c.day, c.lastYear), c.valid)
        << c.year << "/" << c.month << "/" << c.day << " up to " << c.lastYear;
  }
}

TEST(LocalToday, IsTheLocalDateOfNow) {
  int year = 0, month = 0, day = 0;
  LocalToday(year, month, day);
  const time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(year, local.tm_year + 1900);
  EXPECT_EQ(month, local.tm_mon + 1);
  EXPECT_EQ(day, local.tm_mday);
}

// Runs the test in a fixed time zone (POSIX rules, no zone database needed).
class FileDateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tz = std::getenv("TZ")) savedTz_ = tz;
    file_ = dir_ / "1306.txt";
    std::ofstream(file_) << "x";
  }
  void TearDown() override {
    if (savedTz_) {
      ::setenv("TZ", savedTz_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  static void UseZone(const char* tz) {
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  time_t ModificationSeconds() const {
    struct stat status {};
    EXPECT_EQ(::stat(file_.c_str(), &status), 0);
    return status.st_mtim.tv_sec;
  }

  std::optional<std::string> savedTz_;
  const TestDir scratch_;
  const std::filesystem::path dir_ = scratch_.path();
  std::filesystem::path file_;
};

TEST_F(FileDateTest, SetsMidnightLocalTimeAndReadsTheDayBack) {
  UseZone("JST-9");
  ASSERT_TRUE(SetFileDate(file_, 2009, 3, 5));
  EXPECT_EQ(ModificationSeconds(), 1236178800);  // 2009-03-04 15:00:00 UTC
  int year = 0, month = 0, day = 0;
  ASSERT_TRUE(GetFileDate(file_, year, month, day));
  EXPECT_EQ(year, 2009);
  EXPECT_EQ(month, 3);
  EXPECT_EQ(day, 5);
}

TEST_F(FileDateTest, MidnightFollowsSummerTime) {
  UseZone("EST5EDT,M3.2.0,M11.1.0");
  ASSERT_TRUE(SetFileDate(file_, 2009, 7, 1));
  EXPECT_EQ(ModificationSeconds(), 1246420800);  // 2009-07-01 04:00:00 UTC = 00:00 EDT
  int year = 0, month = 0, day = 0;
  ASSERT_TRUE(GetFileDate(file_, year, month, day));
  EXPECT_EQ(day, 1);
}

TEST_F(FileDateTest, AnInvalidDateChangesNothing) {
  UseZone("JST-9");
  ASSERT_TRUE(SetFileDate(file_, 2009, 3, 5));
  EXPECT_FALSE(SetFileDate(file_, 0, 0, 0));
  EXPECT_FALSE(SetFileDate(file_, 2009, 2, 30));
  EXPECT_FALSE(SetFileDate(file_, 2009, 13, 1));
  EXPECT_EQ(ModificationSeconds(), 1236178800);
}

TEST_F(FileDateTest, ALinkIsStampedItselfNotItsTarget) {
  UseZone("JST-9");
  ASSERT_TRUE(SetFileDate(file_, 2009, 3, 5));
  const std::filesystem::path link = dir_ / "link.txt";
  std::filesystem::create_symlink(file_, link);
  ASSERT_TRUE(SetFileDate(link, 2010, 6, 1));
  EXPECT_EQ(ModificationSeconds(), 1236178800);  // the target keeps 2009-03-05
  int year = 0, month = 0, day = 0;
  ASSERT_TRUE(GetFileDate(link, year, month, day));
  EXPECT_EQ(year * 10000 + month * 100 + day, 20100601);
  ASSERT_TRUE(GetFileDate(file_, year, month, day));
  EXPECT_EQ(year * 10000 + month * 100 + day, 20090305);
}

TEST_F(FileDateTest, AMissingFileHasNoDate) {
  int year = -1, month = -1, day = -1;
  EXPECT_FALSE(GetFileDate(dir_ / "none.txt", year, month, day));
  EXPECT_EQ(year, -1);
  EXPECT_FALSE(SetFileDate(dir_ / "none.txt", 2009, 3, 5));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "none.txt"));
}

}  // namespace
}  // namespace vcl
