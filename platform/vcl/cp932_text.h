#pragma once
// Character-aware byte searches in code page 932 text: a double-byte
// character's trail byte may equal an ASCII byte or the lead byte of another
// character, so a plain byte search can match across a character boundary.

#include <cstddef>
#include <string_view>

namespace vcl {

// The first byte of a double-byte character.
inline bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The byte position of the first occurrence of `what` in `text` that starts
// on a character boundary at or after `from` (itself a boundary), or npos.
inline size_t FindCp932(std::string_view text, std::string_view what, size_t from = 0) {
  for (size_t i = from; i < text.size();) {
    if (text.substr(i, what.size()) == what) return i;
    i += IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  return what.empty() && from <= text.size() ? from : std::string_view::npos;
}

}  // namespace vcl
