#include "window_bounds.h"

QRect BoundsOnScreens(const QRect& stored, const QList<QRect>& screens, const QRect& fallback) {
  if (!stored.isValid()) return fallback;
  for (const QRect& screen : screens) {
    if (screen.intersects(stored)) return stored;
  }
  return fallback;
}
