#pragma once
// How a status panel shows a count of list rows or pairs.

#include <cstdint>
#include <string>

// The count in decimal, or "-" when there is nothing to count.
std::string CountOrDash(int64_t count);
