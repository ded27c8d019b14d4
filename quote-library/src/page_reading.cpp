#include "page_reading.h"

#include <algorithm>
#include <cstring>

#include "vcl/convert.h"

namespace ticvane {

std::string After(std::string_view text, std::string_view marker) {
  const size_t p = text.find(marker);
  if (p == std::string_view::npos) {
    // The framework's Pos gives 0 here, so only length - 1 bytes go.
    return DropFirst(text, marker.empty() ? 0 : marker.size() - 1);
  }
  return DropFirst(text, p + marker.size());
}

std::string Before(std::string_view text, std::string_view marker) {
  const size_t p = text.find(marker);
  if (p == std::string_view::npos) return {};
  return std::string(text.substr(0, p));
}

std::string WithoutCommas(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ',') out.push_back(c);
  }
  return out;
}

std::string DropFirst(std::string_view text, size_t count) {
  if (count >= text.size()) return {};
  return std::string(text.substr(count));
}

std::optional<std::string> LineAt(const vcl::TStrings& page, int index) {
  if (index < 0 || index >= page.GetCount()) return std::nullopt;
  return page.Get(index);
}

void WriteShortText(ShortText* out, std::string_view text) {
  const size_t length = std::min<size_t>(text.size(), sizeof(out->bytes));
  out->length = static_cast<uint8_t>(length);
  std::memcpy(out->bytes, text.data(), length);
}

std::string_view ShortTextView(const ShortText& text) {
  return std::string_view(text.bytes, text.length);
}

int32_t IntegerOr(std::string_view text, int32_t defaultValue) {
  return vcl::StrToIntDef(text, defaultValue);
}

}  // namespace ticvane
