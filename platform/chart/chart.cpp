#include "chart/chart.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPen>
#include <QPolygon>
#include <algorithm>
#include <tuple>

#include "chart/chart_layout.h"

namespace chart {
namespace {

using internal::Layout;

constexpr int32_t kLabelGap = 2;
constexpr int32_t kMarkGap = 2;

bool IsBlank(const QString& text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

QPainter::CompositionMode Composition(PenMode mode) {
  switch (mode) {
    case PenMode::kNotXor:
      return QPainter::RasterOp_NotSourceXorDestination;
    case PenMode::kMergePenNot:
      return QPainter::RasterOp_SourceOrNotDestination;
    case PenMode::kCopy:
      break;
  }
  return QPainter::CompositionMode_SourceOver;
}

}  // namespace

void ApplyPen(QPainter& painter, const Pen& pen) {
  QPen qpen(pen.color);
  qpen.setWidth(std::max(1, pen.width));
  // A solid line covers both its end points; a patterned one keeps its
  // pattern exact.
  qpen.setCapStyle(pen.style == LineStyle::kSolid ? Qt::SquareCap : Qt::FlatCap);
  switch (pen.style) {
    case LineStyle::kSolid:
      break;
    case LineStyle::kDot:
      qpen.setStyle(Qt::DotLine);
      break;
    case LineStyle::kSmallDots:
      qpen.setDashPattern({1.0, 1.0});
      break;
    case LineStyle::kDashDot:
      qpen.setStyle(Qt::DashDotLine);
      break;
  }
  painter.setPen(qpen);
  const QPaintEngine* engine = painter.paintEngine();
  const bool rasterOps = engine != nullptr && engine->hasFeature(QPaintEngine::RasterOpModes);
  painter.setCompositionMode(rasterOps ? Composition(pen.mode)
                                       : QPainter::CompositionMode_SourceOver);
}

namespace {

// The rows of the pane a series draws in.
QRect PaneRect(const Geometry& geometry, AxisSide side) {
  const ValueScale& axis = geometry.Axis(side);
  const QRect& plot = geometry.Plot();
  return QRect(plot.left(), axis.top, plot.width(), axis.bottom - axis.top + 1);
}

void PaintLine(QPainter& painter, const Geometry& geometry, AxisSide side, const LineSeries& line) {
  ApplyPen(painter, line.pen);
  QPolygon run;
  run.reserve(static_cast<int>(line.points.size()));
  const auto flush = [&] {
    if (run.size() == 1) painter.drawPoint(run.front());
    if (run.size() > 1) painter.drawPolyline(run);
    run.clear();
  };
  const int32_t count = geometry.CategoryCount();
  for (const LinePoint& point : line.points) {
    if (point.category < 0 || point.category >= count) {
      flush();
      continue;
    }
    run.append(
        QPoint(geometry.CategoryPixel(point.category), geometry.ValuePixel(side, point.value)));
  }
  flush();
}

// The bar's rows, from its value to the origin 0 (held inside the pane).
std::pair<int32_t, int32_t> BarRows(const Geometry& geometry, AxisSide side, double value) {
  const ValueScale& axis = geometry.Axis(side);
  const int32_t origin = std::clamp(geometry.ValuePixel(side, 0.0), axis.top, axis.bottom);
  const int32_t end = geometry.ValuePixel(side, value);
  return {std::min(origin, end), std::max(origin, end)};
}

void PaintBars(QPainter& painter, const Geometry& geometry, AxisSide side, const BarSeries& bars) {
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  const int32_t width = geometry.BarWidth(bars.widthPercent);
  const int32_t count = geometry.CategoryCount();
  painter.setPen(QPen(bars.outline, 1));
  painter.setBrush(bars.fill);
  for (const BarPoint& point : bars.points) {
    if (point.null || point.category < 0 || point.category >= count) continue;
    const int32_t left = geometry.BarLeft(point.category, bars.widthPercent);
    const auto [top, bottom] = BarRows(geometry, side, point.value);
    if (width <= 2 || bottom == top) {
      painter.fillRect(QRect(left, top, width, bottom - top + 1), bars.outline);
    } else {
      // A rectangle drawn with a one-pixel pen covers its width plus one.
      painter.drawRect(QRect(left, top, width - 1, bottom - top));
    }
  }
  painter.setBrush(Qt::NoBrush);
}

void PaintMarks(QPainter& painter, const Geometry& geometry, AxisSide side, const BarSeries& bars) {
  if (!bars.marksVisible || !bars.markText) return;
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setPen(Qt::black);
  const QFontMetrics metrics(painter.font());
  const int32_t count = geometry.CategoryCount();
  for (const BarPoint& point : bars.points) {
    if (point.null || point.category < 0 || point.category >= count) continue;
    const QString text = bars.markText(point.value);
    const int32_t width = metrics.horizontalAdvance(text);
    const int32_t x = geometry.CategoryPixel(point.category) - width / 2;
    const auto [top, bottom] = BarRows(geometry, side, point.value);
    const int32_t y = point.value >= 0.0 ? top - kMarkGap - metrics.descent()
                                         : bottom + kMarkGap + metrics.ascent();
    painter.drawText(QPoint(x, y), text);
  }
}

void PaintSeries(QPainter& painter, const Chart& chart, const Geometry& geometry) {
  for (const bool marks : {false, true}) {
    for (const Series& series : chart.series) {
      if (!series.active || !geometry.Axis(series.axis).visible) continue;
      const QRect pane = PaneRect(geometry, series.axis);
      if (pane.isEmpty()) continue;
      painter.setClipRect(pane);
      if (const auto* bars = std::get_if<BarSeries>(&series.data)) {
        if (marks) {
          PaintMarks(painter, geometry, series.axis, *bars);
        } else {
          PaintBars(painter, geometry, series.axis, *bars);
        }
      } else if (marks) {
        continue;
      } else if (const auto* line = std::get_if<LineSeries>(&series.data)) {
        PaintLine(painter, geometry, series.axis, *line);
      } else if (const auto* shape = std::get_if<HorizontalLine>(&series.data)) {
        ApplyPen(painter, shape->pen);
        const int32_t y = geometry.ValuePixel(series.axis, shape->value);
        painter.drawLine(pane.left(), y, pane.right(), y);
      }
    }
  }
  painter.setClipping(false);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PaintBackground(QPainter& painter, const Chart& chart, const QRect& rect,
                     const Geometry& geometry) {
  if (chart.gradient) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0.0, chart.backColor);
    gradient.setColorAt(1.0, chart.gradientEnd);
    painter.fillRect(rect, gradient);
  } else {
    painter.fillRect(rect, chart.backColor);
  }
  painter.fillRect(geometry.Plot(), chart.wallColor);
}

// The frame and the pane border lie under the series, so that a value at an
// end of its axis stays visible.
void PaintFrame(QPainter& painter, const Geometry& geometry) {
  const QRect& plot = geometry.Plot();
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot.adjusted(0, 0, -1, -1));
  const ValueScale& left = geometry.Axis(AxisSide::kLeft);
  const ValueScale& right = geometry.Axis(AxisSide::kRight);
  if (left.visible && right.visible) {
    painter.drawLine(plot.left(), right.top, plot.right(), right.top);
  }
}

void PaintGrids(QPainter& painter, const Chart& chart, const Layout& layout) {
  const Geometry& geometry = layout.geometry;
  const QRect& plot = geometry.Plot();
  for (auto [axis, side, ticks] :
       {std::tuple{&chart.left, AxisSide::kLeft, &layout.leftTicks},
        std::tuple{&chart.right, AxisSide::kRight, &layout.rightTicks}}) {
    if (!axis->grid.visible || !geometry.Axis(side).visible) continue;
    painter.setPen(axis->grid.color);
    for (double value : ticks->values) {
      const int32_t y = geometry.ValuePixel(side, value);
      painter.drawLine(plot.left(), y, plot.right(), y);
    }
  }
  if (chart.bottom.grid.visible) {
    painter.setPen(chart.bottom.grid.color);
    const int32_t count = std::min<int32_t>(geometry.CategoryCount(),
                                            static_cast<int32_t>(chart.bottom.labels.size()));
    for (int32_t i = 0; i < count; ++i) {
      if (IsBlank(chart.bottom.labels[i])) continue;
      const int32_t x = geometry.CategoryPixel(i);
      painter.drawLine(x, plot.top(), x, plot.bottom());
    }
  }
}

void PaintValueLabels(QPainter& painter, const Geometry& geometry, AxisSide side,
                      const internal::AxisTicks& ticks, const QFontMetrics& metrics,
                      int32_t tickLength) {
  if (!geometry.Axis(side).visible) return;
  const QRect& plot = geometry.Plot();
  for (size_t i = 0; i < ticks.values.size(); ++i) {
    const int32_t y = geometry.ValuePixel(side, ticks.values[i]);
    const QString& text = ticks.labels[i];
    const int32_t baseline = y + (metrics.ascent() - metrics.descent()) / 2;
    if (side == AxisSide::kLeft) {
      painter.drawLine(plot.left() - tickLength, y, plot.left() - 1, y);
      const int32_t x = plot.left() - tickLength - kLabelGap - metrics.horizontalAdvance(text);
      painter.drawText(QPoint(x, baseline), text);
    } else {
      painter.drawLine(plot.right() + 1, y, plot.right() + tickLength, y);
      painter.drawText(QPoint(plot.right() + tickLength + kLabelGap, baseline), text);
    }
  }
}

void PaintAxes(QPainter& painter, const Chart& chart, const Layout& layout) {
  const Geometry& geometry = layout.geometry;
  const QRect& plot = geometry.Plot();
  const QFontMetrics metrics(painter.font());
  painter.setPen(Qt::black);
  PaintValueLabels(painter, geometry, AxisSide::kLeft, layout.leftTicks, metrics,
                   chart.bottom.tickLength);
  PaintValueLabels(painter, geometry, AxisSide::kRight, layout.rightTicks, metrics,
                   chart.bottom.tickLength);

  if (geometry.Empty()) return;
  const CategoryAxis& axis = chart.bottom;
  const int32_t count =
      std::min<int32_t>(geometry.CategoryCount(), static_cast<int32_t>(axis.labels.size()));
  const int32_t below = plot.top() + plot.height();
  const int32_t baseline = below + axis.tickLength + kLabelGap + metrics.ascent();
  for (int32_t i = 0; i < count; ++i) {
    const QString& text = axis.labels[i];
    if (IsBlank(text)) continue;
    const int32_t x = geometry.CategoryPixel(i);
    if (axis.ticks.visible && axis.tickLength > 0) {
      painter.setPen(axis.ticks.color);
      painter.drawLine(x, below, x, below + axis.tickLength - 1);
      painter.setPen(Qt::black);
    }
    painter.drawText(QPoint(x - metrics.horizontalAdvance(text) / 2, baseline), text);
  }
}

void RunHook(const PaintHook& hook, const Chart& chart, QPainter& painter,
             const Geometry& geometry) {
  if (!hook) return;
  painter.save();
  hook(chart, painter, geometry);
  painter.restore();
}

}  // namespace

Geometry Chart::LayOut(const QRect& rect) const {
  return internal::ComputeLayout(*this, rect).geometry;
}

Geometry Chart::Paint(QPainter& painter, const QRect& rect) const {
  const Layout layout = internal::ComputeLayout(*this, rect);
  const Geometry& geometry = layout.geometry;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setFont(font);
  painter.setClipRect(rect);
  PaintBackground(painter, *this, rect, geometry);
  if (!geometry.Empty()) PaintGrids(painter, *this, layout);
  PaintFrame(painter, geometry);
  if (!geometry.Empty()) {
    RunHook(beforeSeries, *this, painter, geometry);
    PaintSeries(painter, *this, geometry);
  }
  painter.setClipRect(rect);
  PaintAxes(painter, *this, layout);
  if (!geometry.Empty()) RunHook(afterDraw, *this, painter, geometry);
  painter.restore();
  return geometry;
}

Series* Chart::Find(const std::string& name) {
  for (Series& s : series) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

const Series* Chart::Find(const std::string& name) const {
  return const_cast<Chart*>(this)->Find(name);
}

}  // namespace chart
