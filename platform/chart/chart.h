#pragma once
// A chart of one category axis and two value axes, drawn with QPainter. The
// category axis runs along the bottom (inverted: category 0 at the right)
// and is shared by two panes stacked in the plot: the left value axis owns
// the upper pane, the right value axis the lower one, and the two touch at
// a split given in per cent of the plot height. Series are line series,
// bar series and horizontal lines, each on one value axis, painted in their
// order. The chart is a plain value: copying it copies its settings and its
// series (a second chart for printing is a copy). One renderer, Paint(),
// serves a widget, an image and a printer alike.
//
// Nothing here is thread-safe; a chart is used by one thread at a time. Fonts
// need a QGuiApplication.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "chart/chart_geometry.h"

namespace chart {
namespace internal {
struct TextStore;
}

// How a pen's colour combines with what is already drawn. The raster modes
// apply only on devices that support them (widgets and images); elsewhere,
// as on a printer, the pen is simply copied.
enum class PenMode {
  kCopy,
  kNotXor,       // not (pen xor destination)
  kMergePenNot,  // pen or not destination
};

enum class LineStyle { kSolid, kDot, kSmallDots, kDashDot };

struct Pen {
  QColor color = Qt::black;
  int32_t width = 1;  // 0 draws one pixel wide, as 1 does
  LineStyle style = LineStyle::kSolid;
  PenMode mode = PenMode::kCopy;
};

// A point of a line series: the category it belongs to and its value.
struct LinePoint {
  int32_t category = 0;
  double value = 0.0;
};

// A point of a bar series; a null point takes its category but draws nothing.
struct BarPoint {
  int32_t category = 0;
  double value = 0.0;
  bool null = false;
};

// Consecutive points, in the order given, are joined by straight lines.
struct LineSeries {
  Pen pen;
  std::vector<LinePoint> points;
};

// Bars from the value 0 to each point's value, `widthPercent` of a category
// wide; the axis's range always holds 0, so every bar grows from it. Marks
// write each non-null value, through `markText`, above a bar (below a
// negative one); with marks visible the axis keeps room for them inside the
// pane.
struct BarSeries {
  QColor outline = Qt::black;
  QColor fill = Qt::white;
  int32_t widthPercent = 90;
  bool marksVisible = false;
  std::function<QString(double)> markText;
  std::vector<BarPoint> points;
};

// A line across the whole plot width at one value.
struct HorizontalLine {
  Pen pen;
  double value = 0.0;
};

struct Series {
  std::string name;
  AxisSide axis = AxisSide::kLeft;
  // An inactive series neither draws nor counts for its axis's range.
  bool active = true;
  std::variant<LineSeries, BarSeries, HorizontalLine> data;
};

// A grid line or tick colour; not drawn unless visible.
struct Shade {
  bool visible = false;
  QColor color;
};

// The range of a value axis is that of the values of the active series on it
// within the categories shown, with 0 when a bar series is among them, and
// room for the marks of bar series that show them (a range of 0 is widened
// by 1 each way).
struct ValueAxis {
  bool visible = true;
  Shade grid;
};

struct CategoryAxis {
  int32_t count = 0;
  bool inverted = true;
  // One label per category, drawn centred under it; a label of blanks only
  // draws nothing, not even its grid line and tick. Every other label is
  // drawn, however close to its neighbours.
  std::vector<QString> labels;
  Shade grid;
  Shade ticks;
  int32_t tickLength = 3;
};

// Sets `painter` to draw lines with `pen`, its pen mode included where the
// device supports it. For paint hooks that draw lines as the series do.
void ApplyPen(QPainter& painter, const Pen& pen);

class Chart;
// Called while a chart paints, with the painter and the chart's geometry
// for that paint; the painter's state is restored afterwards.
using PaintHook = std::function<void(const Chart& chart, QPainter& painter, const Geometry&)>;

class Chart {
 public:
  CategoryAxis bottom;
  ValueAxis left;
  ValueAxis right;
  // Where the left pane ends and the right pane begins, per cent of the plot
  // height (0..100).
  int32_t splitPercent = 75;
  // Space kept free around everything, per cent of the chart's width (left,
  // right) and height (top, bottom).
  int32_t marginLeft = 1;
  int32_t marginTop = 1;
  int32_t marginRight = 1;
  int32_t marginBottom = 1;
  // Pixels kept free above the plot besides marginTop, for what is drawn
  // over the chart just above the plot (a read-out's box).
  int32_t topSpace = 0;
  QColor backColor = Qt::white;
  // When set, the background runs from backColor at the top to this colour
  // at the bottom.
  bool gradient = false;
  QColor gradientEnd = Qt::white;
  QColor wallColor = Qt::white;
  QFont font;
  std::vector<Series> series;
  // Before the series (after the wall and the grids) and after everything;
  // neither is called when the chart shows no categories.
  PaintHook beforeSeries;
  PaintHook afterDraw;

  // The geometry this chart has when painted into `rect`. Pure: the chart is
  // unchanged.
  Geometry LayOut(const QRect& rect) const;
  // Paints the chart into `rect` of the painter's device (a widget, an image
  // or a printer) and returns the geometry used. With no categories the
  // frame is drawn without series; a hidden pane draws none of its series.
  // The painter's state is left as it was. Painting a 32-bit image without
  // a transform takes the fast road. Copies of a chart share rendered texts,
  // so paint a chart and its copies from one thread only.
  Geometry Paint(QPainter& painter, const QRect& rect) const;

 private:
  // Texts rendered by earlier paintings; copies of a chart share them.
  mutable std::shared_ptr<internal::TextStore> textStore_;
};

}  // namespace chart
