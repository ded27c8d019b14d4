#pragma once
// The host names of the two web sites, in one table.

namespace ticvane::hosts {

inline constexpr const char* kSourceADetail = "stocks.finance.yahoo.co.jp";
inline constexpr const char* kSourceAHistory = "table.yahoo.co.jp";
inline constexpr const char* kSourceB = "money.infoseek.co.jp";

}  // namespace ticvane::hosts
