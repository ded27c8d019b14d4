#pragma once
// Where a window is placed from stored bounds: a rectangle that meets none of
// the screens (a monitor since removed, a corrupt settings file) would put the
// window out of reach, so it takes the default bounds instead.

#include <cstdint>
#include <vector>

struct WindowRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool IsValid() const { return width > 0 && height > 0; }
  // True when the two rectangles share at least one pixel.
  bool Intersects(const WindowRect& other) const;
  bool operator==(const WindowRect&) const = default;
};

// `stored` when it is a valid rectangle that overlaps one of `screens`, else
// `fallback`.
WindowRect BoundsOnScreens(const WindowRect& stored, const std::vector<WindowRect>& screens,
                           const WindowRect& fallback);
