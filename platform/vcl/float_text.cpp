// Numbers written as the framework writes them: the value is first taken to its
// 18-digit decimal expansion and every later cut rounds that expansion half
// away from zero, so 0.125 gives "0.13" but 1.005 (1.00499999999999989...)
// gives "1.00".

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "vcl/convert.h"

namespace vcl {
namespace {

constexpr int kExpansionDigits = 18;

// value = 0.<digits> * 10^exponent; no trailing zeros; no digits means zero.
struct DecimalExpansion {
  bool negative = false;
  std::string digits;
  int exponent = 0;

  bool IsZero() const { return digits.empty(); }
};

void DropTrailingZeros(DecimalExpansion& number) {
  while (!number.digits.empty() && number.digits.back() == '0') number.digits.pop_back();
  if (number.digits.empty()) number.exponent = 0;
}

// Precondition: `value` is finite. A double widens to long double exactly, so
// both kinds of value share this one expansion.
DecimalExpansion ExpandTo18Digits(long double value) {
  DecimalExpansion number;
  number.negative = std::signbit(value);
  if (value == 0.0L) return number;
  // Scientific form with 17 decimals is exactly 18 significant digits,
  // correctly rounded from the binary value: "d.ddddddddddddddddde+XX".
  char buffer[48];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                    std::chars_format::scientific, kExpansionDigits - 1);
  const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = text.find('e');
  number.digits.push_back(text[0]);
  number.digits.append(text.substr(2, e - 2));
  int exponent = 0;
  const char* exponentStart = text.data() + e + 1;
  if (*exponentStart == '+') ++exponentStart;
  std::from_chars(exponentStart, text.data() + text.size(), exponent);
  number.exponent = exponent + 1;
  DropTrailingZeros(number);
  return number;
}

// Keeps the first `keep` digits; a first dropped digit of 5 or more rounds the
// kept ones away from zero. `keep` may be zero or negative (nothing kept).
void RoundToDigits(DecimalExpansion& number, int keep) {
  if (keep >= static_cast<int>(number.digits.size())) return;
  if (keep < 0) {
    number.digits.clear();
    number.exponent = 0;
    return;
  }
  const bool roundUp = number.digits[static_cast<size_t>(keep)] >= '5';
  number.digits.resize(static_cast<size_t>(keep));
  if (roundUp) {
    int i = keep - 1;
    while (i >= 0 && number.digits[static_cast<size_t>(i)] == '9') {
      number.digits[static_cast<size_t>(i)] = '0';
      --i;
    }
    if (i < 0) {
      number.digits.insert(number.digits.begin(), '1');
      ++number.exponent;
    } else {
      ++number.digits[static_cast<size_t>(i)];
    }
  }
  DropTrailingZeros(number);
}

// Digit `index` of the expansion counted from the first, '0' past its end.
char DigitAt(const DecimalExpansion& number, int index) {
  if (index < 0 || index >= static_cast<int>(number.digits.size())) return '0';
  return number.digits[static_cast<size_t>(index)];
}

std::string NotFiniteText(long double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// "d.dddE+ddd": `precision` mantissa digits, at least three exponent digits.
std::string ScientificText(const DecimalExpansion& number, int precision) {
  std::string text = number.negative ? "-" : "";
  text += DigitAt(number, 0);
  if (precision > 1) {
    text += '.';
    for (int i = 1; i < precision; ++i) text += DigitAt(number, i);
  }
  const int exponent = number.exponent - 1;
  text += exponent < 0 ? "E-" : "E+";
  std::string exponentDigits = IntToStr(exponent < 0 ? -exponent : exponent);
  if (exponentDigits.size() < 3) exponentDigits.insert(0, 3 - exponentDigits.size(), '0');
  return text + exponentDigits;
}

// The framework's general form with 15 digits: shortest fixed text, or
// "d.dddE[-]dd" for very large and very small values.
std::string GeneralText(double value) {
  if (!std::isfinite(value)) return NotFiniteText(value);
  constexpr int kPrecision = 15;
  DecimalExpansion number = ExpandTo18Digits(value);
  RoundToDigits(number, kPrecision);
  if (number.IsZero()) return "0";
  std::string text = number.negative ? "-" : "";
  const int size = static_cast<int>(number.digits.size());
  if (number.exponent > kPrecision || number.exponent < -3) {
    text += number.digits[0];
    if (size > 1) text += "." + number.digits.substr(1);
    return text + "E" + IntToStr(number.exponent - 1);
  }
  if (number.exponent <= 0) {
    text += "0." + std::string(static_cast<size_t>(-number.exponent), '0') + number.digits;
    return text;
  }
  for (int i = 0; i < number.exponent; ++i) text += DigitAt(number, i);
  if (size > number.exponent)
    text += "." + number.digits.substr(static_cast<size_t>(number.exponent));
  return text;
}

// A pattern of '#' (optional digit) and '0' (required digit) around at most
// one '.'.
struct DigitPattern {
  int minimumIntegerDigits = 0;
  int minimumDecimals = 0;
  int maximumDecimals = 0;
  bool hasPlaceholders = false;
};

DigitPattern ParsePattern(std::string_view format) {
  DigitPattern pattern;
  bool afterPoint = false;
  int integerPlaces = 0;
  int firstRequiredInteger = -1;
  for (const char c : format) {
    if (c == '.') {
      if (afterPoint) throw EConvertError("unsupported number format: " + std::string(format));
      afterPoint = true;
    } else if (c == '#' || c == '0') {
      pattern.hasPlaceholders = true;
      if (afterPoint) {
        ++pattern.maximumDecimals;
        if (c == '0') pattern.minimumDecimals = pattern.maximumDecimals;
      } else {
        if (c == '0' && firstRequiredInteger < 0) firstRequiredInteger = integerPlaces;
        ++integerPlaces;
      }
    } else {
      throw EConvertError("unsupported number format: " + std::string(format));
    }
  }
  if (firstRequiredInteger >= 0)
    pattern.minimumIntegerDigits = integerPlaces - firstRequiredInteger;
  return pattern;
}

// The text of FloatToStrFFixed without the decimal expansion, for the values
// whose rounding it cannot change: x = |value| x 10^digits, below 5 x 10^8
// and below half of 10^precision (so every integer digit is kept), lies more
// than 10^-6 from a half. The product's rounding error (below 6 x 10^-8 at that
// size) and the expansion's (18 digits) are far smaller, so x rounds half away
// from zero as the expansion does. nullopt for any other value.
std::optional<std::string> FixedTextOfSmallValue(double value, int precision, int digits) {
  constexpr double kNearHalf = 1e-6;
  static constexpr double kPowers[] = {1, 10, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (!std::isfinite(value) || digits < 0 || digits > 9 || precision < 1) return std::nullopt;
  const double scale = kPowers[digits];
  const double x = std::fabs(value) * scale;
  const double limit = precision >= 9 ? 5e8 : 0.5 * kPowers[precision];
  if (!(x < limit)) return std::nullopt;
  const double whole = std::floor(x);
  const double fraction = x - whole;
  if (std::fabs(fraction - 0.5) < kNearHalf) return std::nullopt;
  const auto rounded = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  const auto unit = static_cast<uint64_t>(scale);
  char buffer[40];
  char* end = buffer;
  // No minus on a text of zeros, as the expansion's own rounding gives it.
  if (value < 0 && rounded != 0) *end++ = '-';
  end = std::to_chars(end, buffer + sizeof buffer, rounded / unit).ptr;
  if (digits > 0) {
    *end++ = '.';
    uint64_t decimals = rounded % unit;
    for (int i = digits - 1; i >= 0; --i) {
      end[i] = static_cast<char>('0' + decimals % 10);
      decimals /= 10;
    }
    end += digits;
  }
  return std::string(buffer, end);
}

}  // namespace

std::string FloatToStrFFixed(double value, int precision, int digits) {
  if (std::optional<std::string> text = FixedTextOfSmallValue(value, precision, digits)) {
    return std::move(*text);
  }
  return ExtendedToStrFFixed(value, precision, digits);
}

std::string ExtendedToStrFFixed(long double value, int precision, int digits) {
  if (!std::isfinite(value)) return NotFiniteText(value);
  precision = std::clamp(precision, 1, kExpansionDigits);
  digits = std::clamp(digits, 0, kExpansionDigits);
  DecimalExpansion number = ExpandTo18Digits(value);
  RoundToDigits(number, std::min(precision, number.exponent + digits));
  const std::string decimalsOfZero =
      digits > 0 ? "." + std::string(static_cast<size_t>(digits), '0') : "";
  // Nothing left to show: no sign either, a minus on "0.00" would tell of a
  // value that no digit shows.
  if (number.IsZero()) return "0" + decimalsOfZero;
  if (number.exponent > precision) return ScientificText(number, precision);

  std::string text = number.negative ? "-" : "";
  if (number.exponent <= 0) {
    text += '0';
  } else {
    for (int i = 0; i < number.exponent; ++i) text += DigitAt(number, i);
  }
  if (digits > 0) {
    text += '.';
    for (int i = 0; i < digits; ++i) text += DigitAt(number, number.exponent + i);
  }
  return text;
}

std::string FormatFloat(std::string_view format, double value) {
  const DigitPattern pattern = ParsePattern(format);
  if (!pattern.hasPlaceholders || !std::isfinite(value)) return GeneralText(value);
  DecimalExpansion number = ExpandTo18Digits(value);
  RoundToDigits(number, number.exponent + pattern.maximumDecimals);
  if (number.exponent > kExpansionDigits) return GeneralText(value);

  std::string integerPart;
  for (int i = 0; i < number.exponent; ++i) integerPart += DigitAt(number, i);
  if (static_cast<int>(integerPart.size()) < pattern.minimumIntegerDigits) {
    integerPart.insert(0, static_cast<size_t>(pattern.minimumIntegerDigits) - integerPart.size(),
                       '0');
  }
  // Trailing zeros are already gone, so only the digits the value has remain.
  std::string decimals;
  const int lastDigit = static_cast<int>(number.digits.size());
  for (int i = number.exponent; i < lastDigit; ++i) decimals += DigitAt(number, i);
  if (static_cast<int>(decimals.size()) < pattern.minimumDecimals) {
    decimals.append(static_cast<size_t>(pattern.minimumDecimals) - decimals.size(), '0');
  }

  std::string text = number.negative && !number.IsZero() ? "-" : "";
  text += integerPart;
  if (!decimals.empty()) text += "." + decimals;
  return text;
}

}  // namespace vcl
