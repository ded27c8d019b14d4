#pragma once
// Where a window is placed from stored bounds: a rectangle that meets none of
// the screens (a monitor since removed, a corrupt settings file) would put the
// window out of reach, so it takes the default bounds instead.

#include <QList>
#include <QRect>

// `stored` when it is a valid rectangle that overlaps one of `screens`, else
// `fallback`.
QRect BoundsOnScreens(const QRect& stored, const QList<QRect>& screens, const QRect& fallback);
