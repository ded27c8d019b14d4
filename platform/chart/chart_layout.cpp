#include "chart/chart_layout.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

namespace chart::internal {
namespace {

constexpr int32_t kLabelGap = 2;

struct Range {
  double min = std::numeric_limits<double>::infinity();
  double max = -std::numeric_limits<double>::infinity();
  void Add(double value) {
    if (!std::isfinite(value)) return;
    min = std::min(min, value);
    max = std::max(max, value);
  }
};

bool Shown(int32_t category, int32_t count) { return category >= 0 && category < count; }

struct AxisValues {
  Range range;
  // Room needed above the highest and below the lowest value for marks.
  bool marksAbove = false;
  bool marksBelow = false;
};

AxisValues ValueRange(const Chart& chart, AxisSide side) {
  AxisValues values;
  Range& range = values.range;
  for (const Series& series : chart.series) {
    if (!series.active || series.axis != side) continue;
    if (const auto* line = std::get_if<LineSeries>(&series.data)) {
      for (const LinePoint& point : line->points) {
        if (Shown(point.category, chart.bottom.count)) range.Add(point.value);
      }
    } else if (const auto* bars = std::get_if<BarSeries>(&series.data)) {
      bool any = false;
      for (const BarPoint& point : bars->points) {
        if (point.null || !Shown(point.category, chart.bottom.count)) continue;
        range.Add(point.value);
        any = true;
        if (bars->marksVisible && bars->markText) {
          (point.value >= 0.0 ? values.marksAbove : values.marksBelow) = true;
        }
      }
      // Bars grow from 0, so 0 is on the axis.
      if (any) range.Add(0.0);
    } else if (const auto* shape = std::get_if<HorizontalLine>(&series.data)) {
      range.Add(shape->value);
    }
  }
  if (range.min > range.max) range = Range{0.0, 0.0};
  return values;
}

// Widens [min, max] so that `room` pixels stay free above the highest value
// (when `above`) and below the lowest (when `below`) of a pane `height`
// pixels high. With k such sides the range r becomes r / (1 - k room /
// height), of which room / height goes to each side; the room is capped at
// a third of the pane so that a small pane still shows its values.
void KeepRoomForMarks(ValueScale& scale, bool above, bool below, int32_t room, int32_t height) {
  const int sides = (above ? 1 : 0) + (below ? 1 : 0);
  if (sides == 0 || height <= 0) return;
  const double share = std::min(static_cast<double>(room) / height, 1.0 / 3.0);
  const double widened = (scale.max - scale.min) / (1.0 - sides * share);
  if (above) scale.max += widened * share;
  if (below) scale.min -= widened * share;
}

// Steps of 1, 2 or 5 times a power of ten, so that labels stand about two
// text heights apart.
AxisTicks Ticks(double min, double max, int32_t paneHeight, int32_t fontHeight,
                const QFontMetrics& metrics) {
  AxisTicks ticks;
  if (paneHeight <= 0 || !(max > min)) return ticks;
  const int32_t labelRoom = std::max(1, paneHeight / std::max(1, 2 * fontHeight));
  const double raw = (max - min) / labelRoom;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10.0 * magnitude;
  for (double factor : {1.0, 2.0, 5.0}) {
    if (factor * magnitude >= raw) {
      step = factor * magnitude;
      break;
    }
  }
  const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  const double first = std::ceil(min / step - 1e-9);
  for (double k = first;; k += 1.0) {
    const double value = k * step;
    if (value > max + step * 1e-9) break;
    ticks.values.push_back(value);
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && QString(text).remove(u'-').remove(u'0').remove(u'.').isEmpty()) {
      text.remove(0, 1);  // no "-0"
    }
    ticks.labelWidth = std::max<int32_t>(ticks.labelWidth, metrics.horizontalAdvance(text));
    ticks.labels.push_back(std::move(text));
    if (ticks.values.size() > 1000) break;
  }
  return ticks;
}

int32_t Percent(int32_t length, int32_t percent) { return length * percent / 100; }

}  // namespace

Layout ComputeLayout(const Chart& chart, const QRect& rect) {
  Layout layout;
  const QFontMetrics metrics(chart.font);
  layout.fontHeight = metrics.height();

  const int32_t split = std::clamp(chart.splitPercent, 0, 100);
  const bool leftShown = chart.left.visible && split > 0;
  const bool rightShown = chart.right.visible && split < 100;

  const int32_t top =
      rect.top() + Percent(rect.height(), chart.marginTop) + std::max(0, chart.topSpace);
  const int32_t bottomSpace = chart.bottom.tickLength + kLabelGap + layout.fontHeight;
  const int32_t bottom =
      rect.top() + rect.height() - Percent(rect.height(), chart.marginBottom) - bottomSpace;
  const int32_t height = std::max(0, bottom - top);
  const int32_t boundary = top + static_cast<int32_t>(std::lround(height * split / 100.0));

  ValueScale left;
  left.visible = leftShown;
  left.top = top;
  left.bottom = boundary - 1;
  ValueScale right;
  right.visible = rightShown;
  right.top = boundary;
  right.bottom = top + height - 1;

  for (auto [scale, side, ticks] : {std::tuple{&left, AxisSide::kLeft, &layout.leftTicks},
                                    std::tuple{&right, AxisSide::kRight, &layout.rightTicks}}) {
    const AxisValues values = ValueRange(chart, side);
    scale->min = values.range.min;
    scale->max = values.range.max;
    if (scale->max == scale->min) {
      scale->min -= 1.0;
      scale->max += 1.0;
    }
    // A mark stands kMarkGap above its bar and is one text line high; one
    // more pixel keeps it off the pane's edge.
    KeepRoomForMarks(*scale, values.marksAbove, values.marksBelow, layout.fontHeight + kMarkGap + 1,
                     scale->bottom - scale->top + 1);
    if (scale->visible) {
      *ticks =
          Ticks(scale->min, scale->max, scale->bottom - scale->top + 1, layout.fontHeight, metrics);
    }
  }

  const int32_t leftSpace =
      leftShown ? layout.leftTicks.labelWidth + chart.bottom.tickLength + kLabelGap : 0;
  const int32_t rightSpace =
      rightShown ? layout.rightTicks.labelWidth + chart.bottom.tickLength + kLabelGap : 0;
  const int32_t plotLeft = rect.left() + Percent(rect.width(), chart.marginLeft) + leftSpace;
  const int32_t plotRight =
      rect.left() + rect.width() - Percent(rect.width(), chart.marginRight) - rightSpace;
  const QRect plot(plotLeft, top, std::max(0, plotRight - plotLeft), height);
  layout.geometry = Geometry(plot, chart.bottom.count, chart.bottom.inverted, left, right);
  return layout;
}

}  // namespace chart::internal
