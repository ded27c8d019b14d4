#include "history_input.h"

#include <algorithm>

namespace fuzz {
namespace {

constexpr size_t kHeaderSize = 7;
constexpr char kPageSeparator = '\f';

}  // namespace

HistoryInput ParseHistoryInput(std::string_view bytes) {
  HistoryInput input;
  std::string header(kHeaderSize, '\0');
  bytes.copy(header.data(), std::min(bytes.size(), kHeaderSize));
  bytes.remove_prefix(std::min(bytes.size(), kHeaderSize));
  const auto byte = [&header](size_t i) { return static_cast<uint8_t>(header[i]); };

  input.maxCount = byte(0) * 5 - 3;
  input.yearsOffset = static_cast<int8_t>(byte(1));
  const auto newest = static_cast<int32_t>(byte(2) | byte(3) << 8 | byte(4) << 16 |
                                           static_cast<uint32_t>(byte(5)) << 24);
  if (byte(6) & 1) input.newestStored = newest;
  input.timesOutAfterLast = (byte(6) & 2) != 0;

  while (!bytes.empty()) {
    const size_t end = std::min(bytes.find(kPageSeparator), bytes.size());
    input.pages.emplace_back(bytes.substr(0, end));
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
  }
  return input;
}

std::string ComposeHistoryInput(const HistoryInput& input) {
  const int32_t newest = input.newestStored.value_or(0);
  std::string bytes = {
      static_cast<char>(std::clamp((input.maxCount + 3 + 4) / 5, 0, 255)),
      static_cast<char>(static_cast<int8_t>(input.yearsOffset)),
      static_cast<char>(newest & 0xFF),
      static_cast<char>((newest >> 8) & 0xFF),
      static_cast<char>((newest >> 16) & 0xFF),
      static_cast<char>((newest >> 24) & 0xFF),
      static_cast<char>((input.newestStored ? 1 : 0) | (input.timesOutAfterLast ? 2 : 0)),
  };
  for (size_t i = 0; i < input.pages.size(); ++i) {
    if (i > 0) bytes += kPageSeparator;
    bytes += input.pages[i];
  }
  return bytes;
}

}  // namespace fuzz
