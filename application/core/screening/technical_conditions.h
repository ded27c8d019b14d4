#pragma once
// The texts of the technical-condition rows and the corrections of their
// editors. Texts are code page 932 bytes; the range separator " ～ " is
// 20 81 60 20.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// " ～ " between the two ends of a period or a range.
constexpr std::string_view kRangeSeparator = " \x81\x60 ";

enum class TechnicalKind : int32_t { Correlation = 0, Regression = 1, StdDeviation = 2 };

// A value of the kind as the lists show it: 6 decimals for the correlation
// and the slope, 2 for the standard deviation.
std::string TechnicalCaption(TechnicalKind kind, double value);

// "相関係数", "回帰係数", "標準偏差".
std::string_view TechnicalKindText(TechnicalKind kind);
// The kind named by a row's text; nullopt-like false for an unknown text.
bool TechnicalKindOfText(std::string_view text, TechnicalKind& kind);
// The sort kind of a result column of the kind: 2, 5 or 4.
int32_t ResultSortKind(TechnicalKind kind);
// The sort kind of a row whose kind text is `text`: 2 for "相関係数", 5 for
// "回帰係数", else 4.
int32_t ResultSortKindOfText(std::string_view text);

// `text` left-padded with blanks to `width` bytes (never cut), then the
// separator, then `upper`.
std::string JoinRangeText(std::string_view lower, int width, std::string_view upper);
// The parts before and after the first separator, the first without its
// blanks; without a separator the whole text is the first part.
std::pair<std::string, std::string> SplitRangeText(std::string_view text);

// A period edit's text when the focus leaves it: empty stays empty; a text
// that is not a whole number, or a number outside 1..1200, becomes
// `replacement`.
std::string CorrectPeriodText(std::string_view text, int32_t replacement);

enum class RangeBound { Lower, Upper };
// A bound edit's text when the focus leaves it, for the kind chosen: empty
// stays empty; then the number in fixed notation, 6 decimals (2 for the
// standard deviation), a bad or out-of-range entry replaced by the bound's
// fixed value.
std::string CorrectBoundText(std::string_view text, TechnicalKind kind, RangeBound bound);
