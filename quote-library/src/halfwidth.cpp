#include "halfwidth.h"

#include <cstddef>
#include <string_view>

#include "vcl/cp932_text.h"
#include "win32/halfwidth.h"

namespace ticvane {
namespace {

// 　！”＃＄％＆’（）＊＋，－．／：；＜＝＞？＠［￥］＾＿｀｛｜｝￣。「」、・
constexpr std::string_view kSymbols =
    "\x81\x40\x81\x49\x81\x68\x81\x94\x81\x90\x81\x93\x81\x95\x81\x66\x81\x69\x81\x6A"
    "\x81\x96\x81\x7B\x81\x43\x81\x7C\x81\x44\x81\x5E\x81\x46\x81\x47\x81\x83\x81\x81"
    "\x81\x84\x81\x48\x81\x97\x81\x6D\x81\x8F\x81\x6E\x81\x4F\x81\x51\x81\x4D\x81\x6F"
    "\x81\x62\x81\x70\x81\x50\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45";
static_assert(kSymbols.size() == 38 * 2);

bool IsLetterOrDigit(unsigned code) {
  return (code >= 0x8260 && code <= 0x8279) || (code >= 0x8281 && code <= 0x829A) ||
         (code >= 0x824F && code <= 0x8258);
}

// Only a whole two-byte character of the list matches, never the second half
// of one character and the first of the next.
bool IsListedSymbol(const char* character) {
  for (size_t i = 0; i < kSymbols.size(); i += 2) {
    if (kSymbols[i] == character[0] && kSymbols[i + 1] == character[1]) return true;
  }
  return false;
}

}  // namespace

ShortText ConvertToHalfwidth(const ShortText& text) {
  ShortText result{};
  size_t length = 0;
  const auto append = [&result, &length](char byte) {
    if (length < sizeof result.bytes) result.bytes[length++] = byte;
  };

  const size_t count = text.length;
  size_t i = 0;
  while (i < count) {
    const auto first = static_cast<unsigned char>(text.bytes[i]);
    if (vcl::IsLeadByte(first) && i + 1 < count) {
      const char* character = &text.bytes[i];
      const unsigned code = first * 256u + static_cast<unsigned char>(text.bytes[i + 1]);
      if (IsLetterOrDigit(code) || IsListedSymbol(character)) {
        // A mapping that writes nothing leaves the blank: the character still
        // takes its one byte.
        char halfwidth = ' ';
        win32::MapToHalfwidth(character, 2, &halfwidth, 1);
        append(halfwidth);
      } else {
        append(character[0]);
        append(character[1]);
      }
      i += 2;
    } else {
      append(text.bytes[i]);
      i += 1;
    }
  }
  result.length = static_cast<uint8_t>(length);
  return result;
}

}  // namespace ticvane
