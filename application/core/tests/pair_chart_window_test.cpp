#include "pair/pair_chart_window.h"

#include <gtest/gtest.h>

namespace {

TEST(ChartWindow, ThePositionCountsFromTheOldestEnd) {
  struct Case {
    int32_t count, range, position, start, end;
  };
  const Case cases[] = {
      {100, 20, 80, 0, 20},                          // the newest days, as after a check
      {100, 20, 0, 80, 100},                         // the oldest days
      {100, 30, 70, 0, 30},   {100, 20, 95, 0, 20},  // a position beyond the maximum is held
      {100, 20, -3, 80, 100}, {10, 20, 0, 0, 10},    // more days asked for than exist
      {0, 20, 0, 0, 0},       {5, 0, 0, 5, 5},
  };
  for (const Case& c : cases) {
    const ChartWindow window = ChartWindowAt(c.count, c.range, c.position);
    EXPECT_EQ(window.start, c.start) << c.count << " " << c.range << " " << c.position;
    EXPECT_EQ(window.end, c.end) << c.count << " " << c.range << " " << c.position;
  }
  const ChartWindow window = ChartWindowAt(100, 20, 80);
  EXPECT_EQ(window.Last(), 19);
  EXPECT_EQ(window.Day(3), 3);
  EXPECT_TRUE(ChartWindowAt(0, 20, 0).Empty());
}

TEST(ChartWindow, TheNewestPositionShowsDayZeroAndIsNeverBelowZero) {
  struct Case {
    int32_t count, range, expected;
  };
  const Case cases[] = {{100, 20, 80}, {100, 100, 0}, {100, 300, 0}, {0, 20, 0}};
  for (const Case& c : cases) {
    const int32_t position = NewestScrollPosition(c.count, c.range);
    EXPECT_EQ(position, c.expected) << c.count << " " << c.range;
    EXPECT_EQ(ChartWindowAt(c.count, c.range, position).start, 0) << c.count << " " << c.range;
  }
}

TEST(ChartWindow, TheWheelScrollsWholeNotchesWithinTheBar) {
  struct Case {
    int32_t position, delta, expected;
  };
  const Case cases[] = {
      {5, 119, 5},  {5, -119, 5}, {5, 120, 6},  {5, 240, 7},
      {5, -240, 3}, {9, 360, 10}, {1, -480, 0}, {0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WheelScrollPosition(c.position, c.delta, 0, 10), c.expected)
        << c.position << " " << c.delta;
  }
}

}  // namespace
