#pragma once
// The window of days the pair chart shows. Days are indexed newest first;
// scroll position P shows the days Count - P - range to Count - P - 1, so
// the largest position shows the newest days.

#include <cstdint>

struct ChartWindow {
  int32_t start = 0;  // index of the newest day shown (bar point 0)
  int32_t end = 0;    // one past the index of the oldest day shown
  int32_t Range() const { return end - start; }
  int32_t Last() const { return end - 1; }
  bool Empty() const { return end <= start; }
  // The day index of bar point `point`.
  int32_t Day(int32_t point) const { return start + point; }
};

// The window of `range` days at scroll position `position` over `count`
// days. The range is held within 0..count and the position within
// 0..count - range, so the window always lies inside the days.
ChartWindow ChartWindowAt(int32_t count, int32_t range, int32_t position);

// The scroll position that shows the newest of `count` days with `range`
// of them shown; 0 when the range takes them all (or more).
int32_t NewestScrollPosition(int32_t count, int32_t range);

// The scroll position after a wheel turn of `delta` (120 per notch, toward
// newer days when positive), whole notches only, held within
// minimum..maximum.
int32_t WheelScrollPosition(int32_t position, int32_t delta, int32_t minimum, int32_t maximum);
