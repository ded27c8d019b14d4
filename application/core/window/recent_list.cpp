#include "window/recent_list.h"

#include "vcl/cp932_text.h"

void AddRecentToList(std::vector<std::string>& items, int& itemIndex, int& tag,
                     std::string_view text) {
  size_t found = 0;
  while (found < items.size() && !vcl::SameTextIgnoringAsciiCase(items[found], text)) ++found;
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
