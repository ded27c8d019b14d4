#pragma once
// Display names of the sector numbers: 0 for anything outside the exchange's
// 33 sectors, 1..33 for those sectors in the exchange's order, the numbering
// the quote library reports. Code page 932 bytes.

#include <array>
#include <cstdint>
#include <string_view>

extern const std::array<std::string_view, 34> TypeNames;

// TypeNames[type], or TypeNames[0] ("その他") for a number outside 0..33.
std::string_view TypeName(int32_t type);
