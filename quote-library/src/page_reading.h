#pragma once
// The rules by which every reader walks a fetched page. Positions count bytes;
// searches are byte-wise and do not keep to character boundaries.

#include <optional>
#include <string>
#include <string_view>

#include "ticvane.h"

namespace ticvane {

// Line tests.
inline bool Equals(std::string_view line, std::string_view marker) { return line == marker; }
inline bool BeginsWith(std::string_view line, std::string_view marker) {
  return line.substr(0, marker.size()) == marker;
}
inline bool Contains(std::string_view line, std::string_view marker) {
  return line.find(marker) != std::string_view::npos;
}

// T without its bytes up to the end of the first `marker`; when `marker` does
// not occur, only its length - 1 first bytes go.
std::string After(std::string_view text, std::string_view marker);
// The bytes of T before the first `marker`; empty when it does not occur.
std::string Before(std::string_view text, std::string_view marker);
// T with every "," removed.
std::string WithoutCommas(std::string_view text);
// T without its first `count` bytes (all of them when it is shorter).
std::string DropFirst(std::string_view text, size_t count);

// The first line at or after `from` that passes `test`, or nullopt when the
// search reaches the end of the page.
template <typename Test>
std::optional<int> FindLine(const vcl::TStrings& page, int from, Test test) {
  const int count = page.GetCount();
  for (int i = from < 0 ? 0 : from; i < count; ++i) {
    if (test(page.Get(i))) return i;
  }
  return std::nullopt;
}

inline std::optional<int> FindBeginning(const vcl::TStrings& page, int from,
                                        std::string_view marker) {
  return FindLine(page, from, [marker](std::string_view line) { return BeginsWith(line, marker); });
}
inline std::optional<int> FindContaining(const vcl::TStrings& page, int from,
                                         std::string_view marker) {
  return FindLine(page, from, [marker](std::string_view line) { return Contains(line, marker); });
}
inline std::optional<int> FindEqual(const vcl::TStrings& page, int from, std::string_view marker) {
  return FindLine(page, from, [marker](std::string_view line) { return Equals(line, marker); });
}

// Line `index` when it exists on the page.
std::optional<std::string> LineAt(const vcl::TStrings& page, int index);

// True when line `index` exists and equals `marker`.
inline bool LineEquals(const vcl::TStrings& page, int index, std::string_view marker) {
  const std::optional<std::string> line = LineAt(page, index);
  return line && *line == marker;
}

// Writes `text` cut to 255 bytes into a caller's ShortText.
void WriteShortText(ShortText* out, std::string_view text);
// The counted bytes of a ShortText.
std::string_view ShortTextView(const ShortText& text);

// The framework's integer conversion with a default.
int32_t IntegerOr(std::string_view text, int32_t defaultValue);

}  // namespace ticvane
