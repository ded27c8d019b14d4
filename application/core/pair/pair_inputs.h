#pragma once
// The texts of the pair page's input fields as they are after the user leaves
// them. Code page 932 bytes in and out.

#include <cstdint>
#include <string>
#include <string_view>

// A stock code: the text without surrounding blanks and control bytes when it
// is four characters that read as a whole number of 0 or more, else "0000"
// (which the check then reports as an unknown code).
std::string NormalizeCodeText(std::string_view text);

// A lot count or the adjustment: the text's whole number in decimal, or
// `fallback` when it holds none; a result of -1 becomes the empty text (an
// empty lot count is filled with the trading unit by the check, an empty
// adjustment counts as 0).
std::string NormalizeNumberText(std::string_view text, int32_t fallback);

// A period bound (days counted from the newest, 1 to kPeriodMostDays): the
// empty text stays empty; a whole number within the bounds is written back in
// decimal, anything else becomes `fallback`.
std::string NormalizePeriodText(std::string_view text, int32_t fallback);

inline constexpr int32_t kPeriodMostDays = 1200;
