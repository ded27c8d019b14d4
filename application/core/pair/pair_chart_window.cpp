#include "pair/pair_chart_window.h"

#include <algorithm>

ChartWindow ChartWindowAt(int32_t count, int32_t range, int32_t position) {
  count = std::max(0, count);
  range = std::clamp(range, 0, count);
  position = std::clamp(position, 0, count - range);
  ChartWindow window;
  window.end = count - position;
  window.start = window.end - range;
  return window;
}

int32_t NewestScrollPosition(int32_t count, int32_t range) { return std::max(0, count - range); }

int32_t WheelScrollPosition(int32_t position, int32_t delta, int32_t minimum, int32_t maximum) {
  const int64_t moved = static_cast<int64_t>(position) + delta / 120;
  return static_cast<int32_t>(std::clamp<int64_t>(moved, minimum, std::max(minimum, maximum)));
}
