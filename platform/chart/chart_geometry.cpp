#include "chart/chart_geometry.h"

#include <algorithm>
#include <cmath>

namespace chart {

Geometry::Geometry(const QRect& plot, int32_t categoryCount, bool inverted, const ValueScale& left,
                   const ValueScale& right)
    : plot_(plot), categoryCount_(categoryCount), inverted_(inverted), left_(left), right_(right) {}

double Geometry::CategoryWidth() const {
  if (Empty()) return 0.0;
  return static_cast<double>(plot_.width()) / categoryCount_;
}

int32_t Geometry::CategoryPixel(double category) const {
  const double offset = (category + 0.5) * CategoryWidth();
  const double x = inverted_ ? plot_.left() + plot_.width() - offset : plot_.left() + offset;
  return static_cast<int32_t>(std::floor(x));
}

double Geometry::PixelToCategory(int32_t x) const {
  if (Empty()) return 0.0;
  // Measured from the column's centre, so that every column of a category
  // maps strictly inside (c - 0.5, c + 0.5).
  const double centre = x + 0.5;
  const double offset = inverted_ ? plot_.left() + plot_.width() - centre : centre - plot_.left();
  return offset / CategoryWidth() - 0.5;
}

int32_t Geometry::BarWidth(int32_t percent) const {
  const double width = CategoryWidth() * std::clamp(percent, 1, 100) / 100.0;
  return std::max<int32_t>(1, static_cast<int32_t>(width));
}

int32_t Geometry::BarLeft(double category, int32_t percent) const {
  return CategoryPixel(category) - BarWidth(percent) / 2;
}

int32_t Geometry::ValuePixel(AxisSide side, double value) const {
  const ValueScale& axis = Axis(side);
  const double span = axis.max - axis.min;
  if (span == 0.0 || axis.bottom <= axis.top) return axis.bottom;
  const double y = axis.bottom - (value - axis.min) / span * (axis.bottom - axis.top);
  return static_cast<int32_t>(std::lround(std::clamp(y, -1.0e9, 1.0e9)));
}

double Geometry::PixelToValue(AxisSide side, int32_t y) const {
  const ValueScale& axis = Axis(side);
  if (axis.bottom <= axis.top) return axis.min;
  return axis.min +
         static_cast<double>(axis.bottom - y) / (axis.bottom - axis.top) * (axis.max - axis.min);
}

}  // namespace chart
