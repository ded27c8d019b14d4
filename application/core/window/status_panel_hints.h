#pragma once
// What the status bar's own hint says at a horizontal mouse position: the
// meaning of the panel under the pointer on the active page; and that meaning
// by panel, which names the panel for screen readers.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// `x` counts pixels from the bar's left edge; `widths` are panels 0 to 4.
// Returns the hint as code page 932 bytes, "" over panel 0, or nothing when
// the hint stays as it was (beyond panel 4, or panels 1 and 2 on a page other
// than 0, 1 or 2).
std::optional<std::string> StatusPanelHint(int32_t x, const std::array<int32_t, 5>& widths,
                                           int32_t page);

// What panel `panel` holds on `page`: its hint without the leading " ? ", as
// code page 932 bytes; "" for panels 1 and 2 on a page other than 0, 1 or 2
// and for any panel but 1 to 4.
std::string StatusPanelMeaning(int32_t panel, int32_t page);
