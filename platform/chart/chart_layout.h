#pragma once
// Inside the chart layer: everything Paint() needs beyond the geometry, the
// value axes' ticks and label texts, computed once per layout.

#include <QRect>
#include <QString>
#include <vector>

#include "chart/chart.h"

namespace chart::internal {

// The gap in pixels between a bar and its mark.
inline constexpr int32_t kMarkGap = 2;

struct AxisTicks {
  std::vector<double> values;
  std::vector<QString> labels;
  int32_t labelWidth = 0;
};

struct Layout {
  Geometry geometry;
  AxisTicks leftTicks;
  AxisTicks rightTicks;
  int32_t fontHeight = 0;
};

Layout ComputeLayout(const Chart& chart, const QRect& rect);

}  // namespace chart::internal
