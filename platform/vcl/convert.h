#pragma once
// The conversions of the original class framework that the program's texts
// depend on. Independent of the process locale: "." is the decimal separator.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vcl {

// Raised by the conversions that have no default.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A whole number in 32 bits: optional leading spaces, an optional sign, then
// decimal digits, or hexadecimal after "$" or "0x"; nothing may follow.
// Hexadecimal may use all 32 bits ("$FFFFFFFF" is -1, as the framework reads
// it). Anything else, or a value outside int32, gives nullopt.
std::optional<int32_t> ParseInt32(std::string_view text);
// As ParseInt32, with `defaultValue` for a text that is no such number.
int32_t StrToIntDef(std::string_view text, int32_t defaultValue);
// As StrToIntDef, but throws EConvertError instead of giving a default.
int32_t StrToInt(std::string_view text);

// A real number: optional blanks (bytes up to 0x20) around it, then a sign,
// digits with an optional "." and fraction, an optional exponent ("1e3");
// nothing else. "inf", "nan" and values beyond the double range are no
// numbers; values too small for a double read as 0. TryStrToFloat leaves
// `value` unchanged on failure; StrToFloat throws EConvertError.
bool TryStrToFloat(std::string_view text, double& value);
double StrToFloat(std::string_view text);

std::string IntToStr(int64_t value);

// Fixed-point text of `value` with at most `precision` significant digits and
// `digits` decimals, decided on the value's 18-digit decimal expansion with
// half away from zero (0.125 -> "0.13", 1.005 -> "1.00"). Exactly `digits`
// decimals are shown, places beyond the kept digits as "0" (123456.789 with
// 7, 2 -> "123456.80"). A value that rounds to zero is shown without a sign.
// Values that keep more than `precision` integer digits are written in the
// framework's scientific form ("1.523457E+007"); NaN and infinities give
// "NAN", "INF" and "-INF". `precision` is taken within 1..18, `digits` 0..18.
std::string FloatToStrFFixed(double value, int precision, int digits);
// The same for an extended value, as the framework formats one: its own
// 18-digit expansion decides, not that of the nearest double (a mean just
// below 0.125 that a double would round up to 0.125 gives "0.12").
std::string ExtendedToStrFFixed(long double value, int precision, int digits);

// The framework's FormatFloat for the patterns "##0", "##0.#" and "##0.##"
// (and others of the same shape: '#' optional digit, '0' required digit, one
// '.'), half away from zero on the 18-digit decimal expansion: "##0.#" of 2.25
// is "2.3", of 2.0 is "2". A value that rounds to zero has no sign. Throws
// EConvertError for a pattern with any other character (thousands separators,
// sections, literals are not supported).
std::string FormatFloat(std::string_view format, double value);

// The text without its leading and trailing bytes up to 0x20 (blanks and
// control characters).
std::string Trim(std::string_view text);

// Whether year, month and day name a day of the Gregorian calendar, with
// years from 1 to `lastYear` (the framework's dates end with 9999).
bool IsValidDate(int year, int month, int day, int lastYear = 9999);

// "yyyy/mm/dd".
std::string FormatDateYMD(int year, int month, int day);
// Reads "yyyy/mm/dd" (exactly that shape); false when it is not a valid date.
bool ParseDateYMD(std::string_view text, int& year, int& month, int& day);

// Today's local date.
void LocalToday(int& year, int& month, int& day);

// A file's modification date, as a local calendar date; of a symbolic link
// itself, not of its target. False when the file cannot be read.
bool GetFileDate(const std::filesystem::path& file, int& year, int& month, int& day);
// Sets a file's modification time to 00:00 local time of the given day; a
// symbolic link's own, never its target's. False when the date is not valid
// or the file cannot be changed.
bool SetFileDate(const std::filesystem::path& file, int year, int month, int day);

}  // namespace vcl
