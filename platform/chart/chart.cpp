#include "chart/chart.h"

#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QLinearGradient>
#include <QList>
#include <QPaintEngine>
#include <QPen>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "chart/chart_layout.h"
#include "chart/chart_text.h"

namespace chart {
namespace {

using internal::Layout;

constexpr int32_t kLabelGap = 2;

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
  qpen.setJoinStyle(Qt::BevelJoin);
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
    if (run.size() > 1 && line.pen.width > 1) {
      // Wide segments with square ends meet without joins to compute: a
      // stroker builds a wide polyline's outline several times slower.
      QList<QLine> segments;
      segments.reserve(run.size());
      for (qsizetype i = 1; i < run.size(); ++i) segments.append(QLine(run[i - 1], run[i]));
      painter.drawLines(segments);
    } else if (run.size() > 1) {
      painter.drawPolyline(run);
    }
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
  // Outlined bars, and bars too thin or flat for an inside, each in one call.
  QList<QRect> outlined;
  QList<QRect> solid;
  outlined.reserve(static_cast<qsizetype>(bars.points.size()));
  for (const BarPoint& point : bars.points) {
    if (point.null || point.category < 0 || point.category >= count) continue;
    const int32_t left = geometry.BarLeft(point.category, bars.widthPercent);
    const auto [top, bottom] = BarRows(geometry, side, point.value);
    if (width <= 2 || bottom == top) {
      solid.append(QRect(left, top, width, bottom - top + 1));
    } else {
      // A rectangle drawn with a one-pixel pen covers its width plus one.
      outlined.append(QRect(left, top, width - 1, bottom - top));
    }
  }
  painter.setPen(QPen(bars.outline, 1));
  painter.setBrush(bars.fill);
  painter.drawRects(outlined);
  painter.setPen(Qt::NoPen);
  painter.setBrush(bars.outline);
  painter.drawRects(solid);
  painter.setBrush(Qt::NoBrush);
}

void PaintMarks(QPainter& painter, const Geometry& geometry, AxisSide side, const BarSeries& bars,
                internal::TextStore& store) {
  if (!bars.marksVisible || !bars.markText) return;
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.setPen(Qt::black);
  const QFontMetrics metrics(painter.font());
  internal::TextPainter texts(painter, store);
  const int32_t count = geometry.CategoryCount();
  for (const BarPoint& point : bars.points) {
    if (point.null || point.category < 0 || point.category >= count) continue;
    const internal::TextEntry& text = texts[bars.markText(point.value)];
    const int32_t x = geometry.CategoryPixel(point.category) - text.width / 2;
    const auto [top, bottom] = BarRows(geometry, side, point.value);
    const int32_t y = point.value >= 0.0 ? top - internal::kMarkGap - metrics.height()
                                         : bottom + internal::kMarkGap;
    texts.Draw(text, QPoint(x, y));
  }
}

void PaintSeries(QPainter& painter, const Chart& chart, const Geometry& geometry,
                 internal::TextStore& store) {
  for (const bool marks : {false, true}) {
    for (const Series& series : chart.series) {
      if (!series.active || !geometry.Axis(series.axis).visible) continue;
      const QRect pane = PaneRect(geometry, series.axis);
      if (pane.isEmpty()) continue;
      painter.setClipRect(pane);
      if (const auto* bars = std::get_if<BarSeries>(&series.data)) {
        if (marks) {
          PaintMarks(painter, geometry, series.axis, *bars, store);
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
  const QRect wall = geometry.Plot() & rect;
  if (chart.gradient) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0.0, chart.backColor);
    gradient.setColorAt(1.0, chart.gradientEnd);
    // Only the bands around the wall: the wall covers the rest.
    const QRect bands[] = {
        QRect(rect.left(), rect.top(), rect.width(), wall.top() - rect.top()),
        QRect(rect.left(), wall.bottom() + 1, rect.width(), rect.bottom() - wall.bottom()),
        QRect(rect.left(), wall.top(), wall.left() - rect.left(), wall.height()),
        QRect(wall.right() + 1, wall.top(), rect.right() - wall.right(), wall.height()),
    };
    for (const QRect& band : bands) {
      if (!band.isEmpty()) painter.fillRect(band, gradient);
    }
    if (wall.isEmpty()) painter.fillRect(rect, gradient);
  } else {
    painter.fillRect(rect, chart.backColor);
  }
  painter.fillRect(wall, chart.wallColor);
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
  if (chart.bottom.grid.visible && !plot.isEmpty()) {
    const int32_t count = std::min<int32_t>(geometry.CategoryCount(),
                                            static_cast<int32_t>(chart.bottom.labels.size()));
    std::vector<int32_t> columns;
    columns.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
      if (!IsBlank(chart.bottom.labels[i])) columns.push_back(geometry.CategoryPixel(i));
    }
    if (QImage* image = internal::DirectTarget(painter)) {
      // Rasterisers draw vertical lines a pixel at a time; one row of the
      // wall with its grid, copied down the plot, costs a fraction.
      const QRect area = plot & image->rect();
      std::vector<QRgb> row(static_cast<size_t>(area.width()), chart.wallColor.rgb());
      const QRgb grid = chart.bottom.grid.color.rgb();
      for (int32_t x : columns) {
        if (x >= area.left() && x <= area.right()) row[static_cast<size_t>(x - area.left())] = grid;
      }
      for (int32_t y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image->scanLine(y)) + area.left();
        std::copy(row.begin(), row.end(), line);
      }
    } else {
      QList<QLine> lines;
      lines.reserve(static_cast<qsizetype>(columns.size()));
      for (int32_t x : columns) lines.append(QLine(x, plot.top(), x, plot.bottom()));
      painter.setPen(chart.bottom.grid.color);
      painter.drawLines(lines);
    }
  }
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

void PaintAxes(QPainter& painter, const Chart& chart, const Layout& layout,
               internal::TextStore& store) {
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
  const int32_t textTop = below + axis.tickLength + kLabelGap;
  QList<QLine> ticks;
  ticks.reserve(count);
  internal::TextPainter texts(painter, store);
  for (int32_t i = 0; i < count; ++i) {
    const QString& label = axis.labels[i];
    if (IsBlank(label)) continue;
    const int32_t x = geometry.CategoryPixel(i);
    ticks.append(QLine(x, below, x, below + axis.tickLength - 1));
    const internal::TextEntry& text = texts[label];
    texts.Draw(text, QPoint(x - text.width / 2, textTop));
  }
  if (axis.ticks.visible && axis.tickLength > 0) {
    painter.setPen(axis.ticks.color);
    painter.drawLines(ticks);
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
  if (!textStore_) textStore_ = std::make_shared<internal::TextStore>();
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
    PaintSeries(painter, *this, geometry, *textStore_);
  }
  painter.setClipRect(rect);
  PaintAxes(painter, *this, layout, *textStore_);
  if (!geometry.Empty()) RunHook(afterDraw, *this, painter, geometry);
  painter.restore();
  return geometry;
}

}  // namespace chart
