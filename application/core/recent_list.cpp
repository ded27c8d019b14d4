#include "recent_list.h"

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

unsigned char FoldAscii(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (IsLeadByte(ca) && i + 1 < a.size()) {
      // A double-byte character: both bytes must match exactly (its trail
      // byte may lie in the ASCII letter range).
      if (ca != cb || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (FoldAscii(ca) != FoldAscii(cb)) return false;
  }
  return true;
}

void AddRecentToList(std::vector<std::string>& items, int& itemIndex, int& tag,
                     std::string_view text) {
  size_t found = 0;
  while (found < items.size() && !SameTextIgnoringCase(items[found], text)) ++found;
  items.insert(items.begin(), std::string(text));
  if (found < items.size() - 1) {
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(found) + 1);
    itemIndex = 0;
  } else {
    if (items.size() > static_cast<size_t>(kRecentListLimit)) {
      items.erase(items.begin() + kRecentListLimit);
    }
    if (itemIndex >= static_cast<int>(items.size())) itemIndex = -1;
  }
  tag = 1;
}
