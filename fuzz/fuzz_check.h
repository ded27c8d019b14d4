#pragma once
// What every fuzz target shares: a check that stops the run on a broken
// promise (libFuzzer then keeps the input as a crash), and the code page 932
// character rule the checks walk texts by.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// Aborts with the failed condition and where it stands.
#define FUZZ_CHECK(condition)                                                                \
  do {                                                                                       \
    if (!(condition)) {                                                                      \
      std::fprintf(stderr, "%s:%d: broken invariant: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                          \
    }                                                                                        \
  } while (false)

namespace fuzz {

inline std::string_view BytesOf(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

inline bool IsLeadByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// True when `position` starts a character of `text` read from its start
// (the end of the text counts when the last character is whole).
inline bool IsCharacterBoundary(std::string_view text, size_t position) {
  size_t at = 0;
  while (at < position) at += IsLeadByte(text[at]) ? 2 : 1;
  return at == position;
}

inline bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// What a settings file gives back for a value written as given: reading drops
// the blanks and control bytes at its ends (as Trim does) and then one pair of
// enclosing quotes.
inline std::string AsReadFromIni(std::string_view value) {
  size_t first = 0;
  size_t last = value.size();
  while (first < last && static_cast<unsigned char>(value[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(value[last - 1]) <= ' ') --last;
  std::string read(value.substr(first, last - first));
  if (read.size() >= 2 && (read.front() == '"' || read.front() == '\'') &&
      read.back() == read.front()) {
    read = read.substr(1, read.size() - 2);
  }
  return read;
}

}  // namespace fuzz
