#pragma once
// The conversions of the original class framework that the program's texts
// depend on. Independent of the process locale: "." is the decimal separator.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vcl {

// Raised by the conversions that have no default.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A whole number in 32 bits: optional leading blanks, an optional sign, then
// decimal digits, or hexadecimal after "$" or "0x"; nothing may follow.
// Anything else, or a value outside int32, gives `defaultValue`.
int32_t StrToIntDef(std::string_view text, int32_t defaultValue);
// As StrToIntDef, but throws EConvertError instead of giving a default.
int32_t StrToInt(std::string_view text);

// A real number: optional blanks, sign, digits with an optional "." and
// fraction, an optional exponent; nothing may follow. TryStrToFloat leaves
// `value` unchanged on failure; StrToFloat throws EConvertError.
bool TryStrToFloat(std::string_view text, double& value);
double StrToFloat(std::string_view text);

std::string IntToStr(int64_t value);

// Fixed-point text of `value` with at most `precision` significant digits and
// `digits` decimals, decided on the value's 18-digit decimal expansion with
// half away from zero (0.125 -> "0.13"). Values of 10^precision or more are
// written in scientific form, as the framework does.
std::string FloatToStrFFixed(double value, int precision, int digits);

// The framework's FormatFloat for the patterns "##0", "##0.#" and "##0.##"
// (and others of the same shape: '#' optional digit, '0' required digit, one
// '.'), half away from zero on the 18-digit decimal expansion.
std::string FormatFloat(std::string_view format, double value);

// The text without its leading and trailing bytes up to 0x20 (blanks and
// control characters).
std::string Trim(std::string_view text);

// "yyyy/mm/dd".
std::string FormatDateYMD(int year, int month, int day);
// Reads "yyyy/mm/dd" (exactly that shape); false when it is not a valid date.
bool ParseDateYMD(std::string_view text, int& year, int& month, int& day);

// Today's local date.
void LocalToday(int& year, int& month, int& day);

// A file's modification date, as a local calendar date. False when the file
// cannot be read.
bool GetFileDate(const std::filesystem::path& file, int& year, int& month, int& day);
// Sets a file's modification time to 00:00 local time of the given day. False
// when the date is not valid or the file cannot be changed.
bool SetFileDate(const std::filesystem::path& file, int year, int month, int day);

}  // namespace vcl
