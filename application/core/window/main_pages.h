#pragma once
// The main window's tab pages, by their index in tab order.

#include <cstdint>

enum MainPage : int32_t { kPageCodeData = 0, kPageScreening = 1, kPagePairCheck = 2 };
