#pragma once
// Conversions between the program's texts and the library's counted texts.

#include <string>
#include <string_view>

#include "ticvane.h"

// The first 255 bytes of `text` (all of it when shorter) with their count;
// the bytes after the count are zero.
ShortText ToShortText(std::string_view text);

// The counted bytes.
std::string FromShortText(const ShortText& text);
