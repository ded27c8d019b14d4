// Calendar dates as "yyyy/mm/dd" texts, and files dated by local calendar day.

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "vcl/convert.h"

namespace vcl {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

bool IsValidDate(int year, int month, int day, int lastYear) {
  static constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > lastYear || month < 1 || month > 12 || day < 1) return false;
  const int lastDay = kDaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  return day <= lastDay;
}

namespace {

bool ReadDigits(std::string_view text, int& value) {
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

void DateOfLocalTime(time_t moment, int& year, int& month, int& day) {
  std::tm local{};
  localtime_r(&moment, &local);
  year = local.tm_year + 1900;
  month = local.tm_mon + 1;
  day = local.tm_mday;
}

}  // namespace

std::string FormatDateYMD(int year, int month, int day) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", year, month, day);
  return buffer;
}

bool ParseDateYMD(std::string_view text, int& year, int& month, int& day) {
  if (text.size() != 10 || text[4] != '/' || text[7] != '/') return false;
  int y = 0, m = 0, d = 0;
  if (!ReadDigits(text.substr(0, 4), y) || !ReadDigits(text.substr(5, 2), m) ||
      !ReadDigits(text.substr(8, 2), d) || !IsValidDate(y, m, d)) {
    return false;
  }
  year = y;
  month = m;
  day = d;
  return true;
}

void LocalToday(int& year, int& month, int& day) {
  DateOfLocalTime(std::time(nullptr), year, month, day);
}

bool GetFileDate(const std::filesystem::path& file, int& year, int& month, int& day) {
  // The link's own date, as SetFileDate stamps it.
  struct stat status {};
  if (::lstat(file.c_str(), &status) != 0) return false;
  DateOfLocalTime(status.st_mtim.tv_sec, year, month, day);
  return true;
}

bool SetFileDate(const std::filesystem::path& file, int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return false;
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_isdst = -1;  // let the zone's rules say whether that midnight is summer time
  const time_t midnight = std::mktime(&local);
  if (midnight == static_cast<time_t>(-1)) return false;
  // Only the modification time is the file's date; the access time stays. A
  // symbolic link is stamped itself: its target may be any file of the user's.
  const struct timespec times[2] = {{0, UTIME_OMIT}, {midnight, 0}};
  return ::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

}  // namespace vcl
