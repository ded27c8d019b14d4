// Texts to numbers and back, as the framework reads and writes them.

#include "vcl/convert.h"

#include <charconv>
#include <optional>
#include <system_error>

namespace vcl {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

// Hexadecimal numbers may use all 32 bits: "$FFFFFFFF" is -1, as the framework
// reads it. Decimal numbers must fit int32 as written.
std::optional<int32_t> ParseInt32(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  bool hex = false;
  if (pos < text.size() && text[pos] == '$') {
    hex = true;
    ++pos;
  } else if (pos + 1 < text.size() && text[pos] == '0' &&
             (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    hex = true;
    pos += 2;
  }
  if (pos == text.size()) return std::nullopt;

  uint64_t magnitude = 0;
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  for (; pos < text.size(); ++pos) {
    const int digit = hex ? HexDigitValue(text[pos]) : (IsDigit(text[pos]) ? text[pos] - '0' : -1);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (magnitude > limit) return std::nullopt;
  }
  // Two's complement in 32 bits covers the hexadecimal bit patterns and -2^31.
  const uint32_t bits = static_cast<uint32_t>(magnitude);
  return static_cast<int32_t>(negative ? 0u - bits : bits);
}

namespace {

// [sign] digits [. digits] [e [sign] digits], at least one mantissa digit.
bool IsRealNumberText(std::string_view text) {
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  size_t mantissaDigits = 0;
  while (pos < text.size() && IsDigit(text[pos])) ++pos, ++mantissaDigits;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    size_t exponentDigits = 0;
    while (pos < text.size() && IsDigit(text[pos])) ++pos, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return pos == text.size();
}

// For a well-formed number that did not fit a double: true when it is too
// large, false when it is too close to zero.
bool IsBeyondLargest(std::string_view text) {
  size_t pos = 0;
  long magnitude = 0;  // decimal exponent of the leading non-zero digit
  bool seenNonZero = false;
  bool inFraction = false;
  long integerDigits = 0;
  long leadingFractionZeros = 0;
  for (; pos < text.size() && text[pos] != 'e' && text[pos] != 'E'; ++pos) {
    const char c = text[pos];
    if (c == '.') {
      inFraction = true;
    } else if (IsDigit(c)) {
      if (c != '0') seenNonZero = true;
      if (!inFraction && seenNonZero) ++integerDigits;
      if (inFraction && !seenNonZero) ++leadingFractionZeros;
    }
  }
  magnitude = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
  long exponent = 0;
  if (pos < text.size()) {
    ++pos;
    bool negativeExponent = false;
    if (text[pos] == '+' || text[pos] == '-') negativeExponent = text[pos++] == '-';
    for (; pos < text.size() && exponent < 100000; ++pos)
      exponent = exponent * 10 + (text[pos] - '0');
    if (negativeExponent) exponent = -exponent;
  }
  return magnitude + exponent > 0;
}

}  // namespace

int32_t StrToIntDef(std::string_view text, int32_t defaultValue) {
  return ParseInt32(text).value_or(defaultValue);
}

int32_t StrToInt(std::string_view text) {
  const std::optional<int32_t> value = ParseInt32(text);
  if (!value) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return *value;
}

bool TryStrToFloat(std::string_view text, double& value) {
  const std::string trimmed = Trim(text);
  if (!IsRealNumberText(trimmed)) return false;
  std::string_view number = trimmed;
  const bool negative = number.front() == '-';
  // std::from_chars takes a minus sign but no plus sign.
  if (number.front() == '+' || number.front() == '-') number.remove_prefix(1);
  double parsed = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed,
                                            std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    if (IsBeyondLargest(number)) return false;
    parsed = 0.0;
  } else if (error != std::errc() || end != number.data() + number.size()) {
    return false;
  }
  value = negative ? -parsed : parsed;
  return true;
}

double StrToFloat(std::string_view text) {
  double value = 0.0;
  if (!TryStrToFloat(text, value)) {
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  }
  return value;
}

std::string IntToStr(int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace vcl
