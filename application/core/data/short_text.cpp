#include "data/short_text.h"

#include <algorithm>
#include <cstring>

ShortText ToShortText(std::string_view text) {
  ShortText result{};
  const size_t length = std::min(text.size(), sizeof result.bytes);
  result.length = static_cast<uint8_t>(length);
  std::memcpy(result.bytes, text.data(), length);
  return result;
}

std::string FromShortText(const ShortText& text) { return std::string(text.bytes, text.length); }
