#pragma once
// The history rule of the code combo boxes, on a plain list of texts.

#include <string>
#include <string_view>
#include <vector>

// The most items a history keeps after a new text was added.
constexpr int kRecentListLimit = 20;

// Puts `text` at the top of `items`. A text already present (the same text
// regardless of ASCII letter case, code page 932 double-byte characters
// compared as they are) moves to the top in its new spelling and `itemIndex`
// becomes 0; a new text is inserted at the top, the list is cut back to
// kRecentListLimit items when it grew past them, and `itemIndex` stays (it
// becomes -1 only if it no longer names an item). `tag` becomes 1, the mark
// that the history changed. An empty text is a text like any other.
void AddRecentToList(std::vector<std::string>& items, int& itemIndex, int& tag,
                     std::string_view text);
