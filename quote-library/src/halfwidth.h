#pragma once
// Full-width to half-width conversion of a counted text.

#include "ticvane.h"

namespace ticvane {

// Full-width Latin letters, digits and the listed symbols become one byte;
// everything else is kept; the result is cut to 255 bytes.
ShortText ConvertToHalfwidth(const ShortText& text);

}  // namespace ticvane
