#include "window/window_bounds.h"

bool WindowRect::Intersects(const WindowRect& other) const {
  if (!IsValid() || !other.IsValid()) return false;
  const int64_t right = int64_t{left} + width;
  const int64_t bottom = int64_t{top} + height;
  const int64_t otherRight = int64_t{other.left} + other.width;
  const int64_t otherBottom = int64_t{other.top} + other.height;
  return left < otherRight && other.left < right && top < otherBottom && other.top < bottom;
}

WindowRect BoundsOnScreens(const WindowRect& stored, const std::vector<WindowRect>& screens,
                           const WindowRect& fallback) {
  if (!stored.IsValid()) return fallback;
  for (const WindowRect& screen : screens) {
    if (screen.Intersects(stored)) return stored;
  }
  return fallback;
}
