#include "output/chart_print_job.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <variant>

#include "pair/pair_chart_plan.h"
#include "widgets/qt_cp932.h"

namespace {

const QColor kNameAColour(0x00, 0x00, 0xFF);
const QColor kNameBColour(0xFF, 0x00, 0x00);
const QColor kStatisticsColour(0x00, 0x80, 0x00);

// Writes `text` with its top-left corner at `at`; returns its box.
QRect WriteText(QPainter& painter, const QFont& font, const QColor& colour, TextPosition at,
                const QString& text) {
  const QFontMetrics metrics(font, painter.device());
  painter.setFont(font);
  painter.setPen(colour);
  painter.drawText(QPoint(at.x, at.y + metrics.ascent()), text);
  return QRect(at.x, at.y, metrics.horizontalAdvance(text), metrics.height());
}

}  // namespace

ChartPrintJob::ChartPrintJob(const chart::Chart& pairChart, PrintHeaderTexts header,
                             const PrintChartSettings& settings)
    : chart_(pairChart),
      pairAfterDraw_(pairChart.afterDraw),
      header_(std::move(header)),
      settings_(ValidPrintChartSettings(settings)) {
  // White paper, a thin bottom margin and a hair-thin mean line.
  chart_.gradient = false;
  chart_.marginBottom = 1;
  // The room for the screen's read-out box is the header's on paper.
  chart_.topSpace = 0;
  const size_t mean = static_cast<size_t>(PairSeries::kMean);
  if (chart_.series.size() > mean) {
    if (auto* line = std::get_if<chart::HorizontalLine>(&chart_.series[mean].data)) {
      line->pen.width = 0;
    }
  }
}

void ChartPrintJob::SetMargins(const std::array<int32_t, 4>& margins) {
  PrintChartSettings changed = settings_;
  changed.margins = margins;
  if (ValidPrintChartSettings(changed).margins == margins) settings_.margins = margins;
}

void ChartPrintJob::SetResolution(int32_t resolution) {
  PrintChartSettings changed = settings_;
  changed.resolution = resolution;
  if (ValidPrintChartSettings(changed).resolution == resolution) settings_.resolution = resolution;
}

bool ChartPrintJob::Paint(QPrinter& printer) {
  const int32_t orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                                  ? kPrintLandscape
                                  : kPrintPortrait;
  const PrintChartSize size = PrintChartSizeAt(orientation, settings_.resolution);
  chart_.marginTop = size.topMarginPercent;
  chart_.afterDraw = [this, orientation](const chart::Chart& chart, QPainter& painter,
                                         const chart::Geometry& geometry) {
    if (pairAfterDraw_) {
      painter.save();
      pairAfterDraw_(chart, painter, geometry);
      painter.restore();
    }
    DrawHeader(painter, geometry, orientation);
  };

  QPainter painter;
  if (!painter.begin(&printer)) return false;
  // The margins are per cent of the paper; the chart keeps its proportions
  // and stands at the top of the area they leave, centred across it.
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
  const std::array<int32_t, 4>& m = settings_.margins;
  const QRect area(
      QPoint(paper.width() * m[0] / 100, paper.height() * m[1] / 100),
      QPoint(paper.width() * (100 - m[2]) / 100 - 1, paper.height() * (100 - m[3]) / 100 - 1));
  const double scale = std::min(static_cast<double>(area.width()) / size.width,
                                static_cast<double>(area.height()) / size.height);
  painter.translate(area.left() + (area.width() - size.width * scale) / 2, area.top());
  painter.scale(scale, scale);
  page_ = Page{};
  page_.orientation = orientation;
  page_.chartSize = QSize(size.width, size.height);
  page_.plot = chart_.Paint(painter, QRect(0, 0, size.width, size.height)).Plot();
  return painter.end();
}

void ChartPrintJob::DrawHeader(QPainter& painter, const chart::Geometry& geometry,
                               int32_t orientation) {
  QFont nameFont = chart_.font;
  nameFont.setPixelSize(kPrintNameFontPixels);
  nameFont.setBold(true);
  QFont statisticsFont = chart_.font;
  statisticsFont.setPixelSize(kPrintStatisticsFontPixels);
  statisticsFont.setBold(false);
  const QString lineA = QFromCp932(header_.lineA);
  const QString lineB = QFromCp932(header_.lineB);
  const QString statistics = QFromCp932(header_.statistics);
  const QRect& plot = geometry.Plot();
  const PrintHeaderPositions at = PlacePrintHeader(
      orientation, plot.left(), plot.top(), plot.right(),
      QFontMetrics(nameFont, painter.device()).horizontalAdvance(lineA),
      QFontMetrics(statisticsFont, painter.device()).horizontalAdvance(statistics));
  painter.save();
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  page_.lineA = WriteText(painter, nameFont, kNameAColour, at.lineA, lineA);
  page_.lineB = WriteText(painter, nameFont, kNameBColour, at.lineB, lineB);
  page_.statistics =
      WriteText(painter, statisticsFont, kStatisticsColour, at.statistics, statistics);
  painter.restore();
}
