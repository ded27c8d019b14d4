#include "window/window_bounds.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowBounds, StoredBoundsMustMeetAScreen) {
  const WindowRect fallback{100, 50, 800, 600};
  const std::vector<WindowRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  struct Case {
    const char* name;
    WindowRect stored;
    WindowRect expected;
  } cases[] = {
      {"on the first screen", {10, 20, 640, 480}, {10, 20, 640, 480}},
      {"on the second screen", {2000, 100, 300, 200}, {2000, 100, 300, 200}},
      {"partly off a screen", {-300, -100, 400, 200}, {-300, -100, 400, 200}},
      {"touching the edge only", {-400, 0, 400, 300}, fallback},
      {"beyond every screen", {5000, 5000, 300, 200}, fallback},
      {"empty", {10, 10, 0, 0}, fallback},
      {"negative size", {10, 10, -5, 300}, fallback},
      {"far out, no overflow", {2147483000, 2147483000, 2000, 2000}, fallback},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BoundsOnScreens(c.stored, screens, fallback), c.expected) << c.name;
}

TEST(WindowBounds, NoScreenKnownTakesTheFallback) {
  const WindowRect fallback{100, 50, 800, 600};
  EXPECT_EQ(BoundsOnScreens({0, 0, 100, 100}, {}, fallback), fallback);
}

}  // namespace
