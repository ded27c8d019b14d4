#pragma once
// How a history fuzz input is laid out: a header of seven bytes, then the
// pages the web site answers, one after the other, separated by a form feed.
//   byte 0     the number of records the call may store, times 5, less 3
//   byte 1     the years offset (signed)
//   bytes 2-5  the newest stored day, little-endian (an update only)
//   byte 6     bit 0: an update; bit 1: requests after the last page time out
//              (else they fail)

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

struct HistoryInput {
  int32_t maxCount = 0;
  int32_t yearsOffset = 0;
  std::optional<int32_t> newestStored;  // set for an update
  bool timesOutAfterLast = false;
  std::vector<std::string> pages;
};

HistoryInput ParseHistoryInput(std::string_view bytes);
// The bytes that parse as `input` (maxCount rounded to what byte 0 can say).
std::string ComposeHistoryInput(const HistoryInput& input);

}  // namespace fuzz
