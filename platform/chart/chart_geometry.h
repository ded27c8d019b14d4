#pragma once
// The pixel mappings of one laid-out chart: where each category and each
// value of the two value axes lies inside the plot rectangle, and back. A
// Geometry is a plain value; it knows nothing of series or painting, so it
// can be built by hand for tests. Pixels are those of the paint device the
// chart was laid out for. Every function is pure: any thread may use a
// geometry it holds.

#include <QRect>
#include <cstdint>

namespace chart {

enum class AxisSide { kLeft, kRight };

// One value axis as laid out: the values at its ends and the pixel rows they
// fall on. `top` holds `max` and `bottom` holds `min`; a hidden or empty
// pane has bottom < top.
struct ValueScale {
  bool visible = false;
  double min = 0.0;
  double max = 0.0;
  int32_t top = 0;
  int32_t bottom = -1;
};

class Geometry {
 public:
  // An empty geometry: no categories, no visible axis.
  Geometry() = default;
  // `plot` is the plot rectangle; `categoryCount` categories share its width
  // equally, category 0 at the right edge when `inverted`, else at the left.
  Geometry(const QRect& plot, int32_t categoryCount, bool inverted, const ValueScale& left,
           const ValueScale& right);

  const QRect& Plot() const { return plot_; }
  int32_t CategoryCount() const { return categoryCount_; }
  bool Inverted() const { return inverted_; }
  // True when there is nothing to map: no categories or a plot without width.
  bool Empty() const { return categoryCount_ <= 0 || plot_.width() <= 0; }
  const ValueScale& Axis(AxisSide side) const { return side == AxisSide::kLeft ? left_ : right_; }

  // Width of one category in pixels (0 when empty).
  double CategoryWidth() const;
  // The pixel column of a category's centre; fractions of a category are
  // allowed. Only meaningful when not Empty().
  int32_t CategoryPixel(double category) const;
  // The category value at a pixel column's centre: c - 0.5 at the edge of
  // category c that lies toward category 0, c + 0.5 at the other edge. Any
  // column is accepted, also outside the plot; 0 when Empty().
  double PixelToCategory(int32_t x) const;

  // A bar `percent` of a category wide: its width in pixels (at least 1) and
  // the pixel column of its left edge.
  int32_t BarWidth(int32_t percent) const;
  int32_t BarLeft(double category, int32_t percent) const;

  // The pixel row of a value on an axis (rounded to the nearest row), and the
  // value at a pixel row. Values and rows outside the axis extrapolate; a
  // pane one row high maps every row to its minimum.
  int32_t ValuePixel(AxisSide side, double value) const;
  double PixelToValue(AxisSide side, int32_t y) const;

 private:
  QRect plot_;
  int32_t categoryCount_ = 0;
  bool inverted_ = true;
  ValueScale left_;
  ValueScale right_;
};

}  // namespace chart
