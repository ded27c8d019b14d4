// Painting into images and a printer, and the widget's mouse and size
// signals. Every coordinate checked comes from the chart's own geometry.

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include "chart/chart.h"
#include "chart/chart_widget.h"

using namespace chart;

namespace {

const QColor kBarOutline(0x00, 0x80, 0x40);
const QColor kLineColour(0x00, 0x00, 0xFF);
const QRect kArea(0, 0, 800, 500);

// Ten categories: a price line on the left axis (values 100..190) and rate
// bars on the right axis, all positive except category 4.
Chart SampleChart() {
  Chart chart;
  chart.bottom.count = 10;
  chart.bottom.labels.assign(10, QStringLiteral(" "));
  LineSeries prices;
  prices.pen = Pen{kLineColour, 3, LineStyle::kSolid, PenMode::kCopy};
  BarSeries rates;
  rates.outline = kBarOutline;
  rates.fill = Qt::white;
  for (int32_t i = 0; i < 10; ++i) {
    prices.points.push_back({i, 100.0 + 10 * i});
    rates.points.push_back({i, i == 4 ? -3.0 : 2.0 + i, false});
  }
  chart.series.push_back({"rates", AxisSide::kRight, true, rates});
  chart.series.push_back({"prices", AxisSide::kLeft, true, prices});
  return chart;
}

QImage Render(const Chart& chart, Geometry* geometry = nullptr) {
  QImage image(kArea.size(), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  const Geometry used = chart.Paint(painter, kArea);
  if (geometry) *geometry = used;
  return image;
}

int CountColour(const QImage& image, const QRect& area, const QColor& colour) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) == colour) ++count;
    }
  }
  return count;
}

}  // namespace

class ChartRenderTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QTest::failOnWarning(QRegularExpression("^(?!.*XDG_RUNTIME_DIR).*$")); }

  void barsStandOnTheirCategoryBetweenZeroAndTheirValue() {
    Geometry g;
    const QImage image = Render(SampleChart(), &g);
    QVERIFY(!g.Empty());
    for (int32_t category : {0, 3, 4, 9}) {
      const double value = category == 4 ? -3.0 : 2.0 + category;
      const int32_t left = g.BarLeft(category, 90);
      const int32_t middle = g.ValuePixel(AxisSide::kRight, value / 2);
      QCOMPARE(image.pixelColor(left, middle), kBarOutline);
      QCOMPARE(image.pixelColor(g.CategoryPixel(category), middle), QColor(Qt::white));
      // Beyond the bar's end, on the far side from zero, no outline.
      const int32_t beyond = g.ValuePixel(AxisSide::kRight, value * 1.5);
      if (beyond > g.Axis(AxisSide::kRight).top && beyond < g.Axis(AxisSide::kRight).bottom) {
        QVERIFY(image.pixelColor(left, beyond) != kBarOutline);
      }
    }
    // Category 0 lies at the right edge of the inverted axis.
    QVERIFY(g.CategoryPixel(0) > g.CategoryPixel(9));
  }

  void aLineJoinsItsPointsOnTheirOwnCategories() {
    Chart chart = SampleChart();
    // A line that skips categories 2 and 3: its later points stay on theirs.
    LineSeries gappy;
    gappy.pen = Pen{QColor(0xFF, 0x80, 0x00), 1, LineStyle::kSolid, PenMode::kCopy};
    for (int32_t i : {0, 1, 4, 5}) gappy.points.push_back({i, 2.0});
    chart.series.push_back({"gappy", AxisSide::kRight, true, gappy});
    Geometry g;
    const QImage image = Render(chart, &g);
    const int32_t y = g.ValuePixel(AxisSide::kRight, 2.0);
    for (int32_t i : {0, 1, 2, 4, 5}) {
      QCOMPARE(image.pixelColor(g.CategoryPixel(i), y), QColor(0xFF, 0x80, 0x00));
    }
    QVERIFY(image.pixelColor(g.CategoryPixel(6), y) != QColor(0xFF, 0x80, 0x00));
    for (int32_t i : {0, 5, 9}) {
      QCOMPARE(image.pixelColor(g.CategoryPixel(i), g.ValuePixel(AxisSide::kLeft, 100.0 + 10 * i)),
               kLineColour);
    }
  }

  void aHiddenPaneDrawsNoneOfItsSeries() {
    for (int32_t split : {0, 100}) {
      Chart chart = SampleChart();
      chart.splitPercent = split;
      Geometry g;
      const QImage image = Render(chart, &g);
      const QColor gone = split == 0 ? kLineColour : kBarOutline;
      const QColor kept = split == 0 ? kBarOutline : kLineColour;
      QCOMPARE(CountColour(image, kArea, gone), 0);
      QVERIFY(CountColour(image, g.Plot(), kept) > 0);
    }
  }

  void withoutCategoriesOnlyTheFrameIsDrawnAndNoHookRuns() {
    Chart chart = SampleChart();
    chart.bottom.count = 0;
    chart.bottom.labels.clear();
    bool hooked = false;
    chart.beforeSeries = [&](const Chart&, QPainter&, const Geometry&) { hooked = true; };
    chart.afterDraw = chart.beforeSeries;
    Geometry g;
    const QImage image = Render(chart, &g);
    QVERIFY(g.Empty());
    QVERIFY(!hooked);
    QCOMPARE(CountColour(image, kArea, kBarOutline), 0);
    QCOMPARE(CountColour(image, kArea, kLineColour), 0);
    QCOMPARE(image.pixelColor(g.Plot().topLeft()), QColor(Qt::black));
    QCOMPARE(image.pixelColor(g.Plot().center()), QColor(Qt::white));
  }

  void hooksPaintUnderAndOverTheSeries() {
    Chart chart = SampleChart();
    const QColor under(0x11, 0x22, 0x33);
    const QColor over(0x44, 0x55, 0x66);
    Geometry seen;
    chart.beforeSeries = [&](const Chart&, QPainter& painter, const Geometry& g) {
      painter.fillRect(g.Plot(), under);
      painter.setPen(Qt::red);  // must not leak into the series
    };
    chart.afterDraw = [&](const Chart&, QPainter& painter, const Geometry& g) {
      seen = g;
      painter.fillRect(QRect(g.Plot().topLeft(), QSize(5, 5)), over);
    };
    Geometry g;
    const QImage image = Render(chart, &g);
    QCOMPARE(seen.Plot(), g.Plot());
    QCOMPARE(image.pixelColor(g.Plot().topLeft()), over);
    // Between two bars the hook's fill shows; on a bar the series covers it.
    const int32_t y = g.ValuePixel(AxisSide::kRight, 1.0);
    const int32_t gap = g.BarLeft(3, 90) - 1;
    QCOMPARE(image.pixelColor(gap, y), under);
    QCOMPARE(image.pixelColor(g.BarLeft(3, 90), y), kBarOutline);
  }

  void rasterPenModesCombineWithWhatLiesBelow() {
    Chart chart = SampleChart();
    const QColor below(0x30, 0x60, 0x90);
    chart.beforeSeries = [&](const Chart&, QPainter& painter, const Geometry& g) {
      painter.fillRect(g.Plot(), below);
    };
    HorizontalLine line;
    line.pen = Pen{QColor(0x0F, 0xF0, 0x00), 0, LineStyle::kSolid, PenMode::kNotXor};
    line.value = 1.0;
    chart.series.push_back({"mean", AxisSide::kRight, true, line});
    Geometry g;
    const QImage image = Render(chart, &g);
    const int32_t y = g.ValuePixel(AxisSide::kRight, 1.0);
    const int32_t gap = g.BarLeft(3, 90) - 1;
    // not (0F F0 00 xor 30 60 90) = not (3F 90 90) = C0 6F 6F
    QCOMPARE(image.pixelColor(gap, y), QColor(0xC0, 0x6F, 0x6F));
  }

  void everyGivenLabelIsDrawnUnderItsCategoryWithItsTickAndGrid() {
    Chart chart = SampleChart();
    chart.bottom.labels[2] = QStringLiteral("88");
    chart.bottom.labels[3] = QStringLiteral("88");  // a neighbour: drawn too
    chart.bottom.grid = Shade{true, QColor(0xE0, 0xE0, 0xE0)};
    chart.bottom.ticks = Shade{true, QColor(0xC0, 0xC0, 0xC0)};
    chart.series.clear();
    Geometry g;
    const QImage image = Render(chart, &g);
    const int32_t below = g.Plot().top() + g.Plot().height();
    for (int32_t i = 0; i < 10; ++i) {
      const bool labelled = i == 2 || i == 3;
      const int32_t x = g.CategoryPixel(i);
      QCOMPARE(image.pixelColor(x, below) == QColor(0xC0, 0xC0, 0xC0), labelled);
      QCOMPARE(image.pixelColor(x, g.Plot().center().y()) == QColor(0xE0, 0xE0, 0xE0), labelled);
      const QRect text(x - 6, below + 4, 12, 14);
      QCOMPARE(CountColour(image, text, Qt::white) < text.width() * text.height(), labelled);
    }
  }

  void marksWriteTheValueOverTheBar() {
    Chart chart = SampleChart();
    auto& bars = std::get<BarSeries>(chart.series[0].data);
    bars.markText = [](double v) { return QString::number(v); };
    for (const bool marks : {true, false}) {
      bars.marksVisible = marks;
      Geometry g;
      const QImage image = Render(chart, &g);
      const int32_t top = g.ValuePixel(AxisSide::kRight, 2.0 + 7);
      const QRect above(g.BarLeft(7, 90), top - 14, g.BarWidth(90), 12);
      const int inked = above.width() * above.height() - CountColour(image, above, Qt::white);
      QCOMPARE(inked > 0, marks);
    }
  }

  // The rate axis holds 0, so bars grow from it, and keeps room for the marks
  // of the highest and the lowest bar: every bar and every mark lies inside
  // its pane, whatever the signs of the values and the size of the chart.
  void everyBarAndItsMarkLieInsideThePane_data() {
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<QSize>("size");
    const QList<double> positive = {2.5, 3.75, 4.0, 1.25, 3.0};
    const QList<double> negative = {-2.5, -3.75, -4.0, -1.25, -3.0};
    const QList<double> mixed = {-2.5, 3.75, -4.0, 1.25, 0.0};
    for (const QSize size : {QSize(800, 500), QSize(1448, 1024), QSize(400, 260)}) {
      const QByteArray at =
          QByteArray::number(size.width()) + "x" + QByteArray::number(size.height());
      QTest::newRow("positive " + at) << positive << size;
      QTest::newRow("negative " + at) << negative << size;
      QTest::newRow("mixed " + at) << mixed << size;
    }
  }
  void everyBarAndItsMarkLieInsideThePane() {
    QFETCH(QList<double>, values);
    QFETCH(QSize, size);
    Chart chart;
    chart.bottom.count = static_cast<int32_t>(values.size());
    chart.bottom.labels.assign(values.size(), QStringLiteral(" "));
    chart.splitPercent = 60;
    chart.topSpace = 20;
    LineSeries prices;
    prices.pen = Pen{kLineColour, 1, LineStyle::kSolid, PenMode::kCopy};
    BarSeries rates;
    rates.outline = kBarOutline;
    rates.marksVisible = true;
    rates.markText = [](double v) { return QString::number(v, 'f', 1); };
    for (int32_t i = 0; i < chart.bottom.count; ++i) {
      prices.points.push_back({i, 1000.0 + 50 * i});
      rates.points.push_back({i, values[i], false});
    }
    chart.series.push_back({"rates", AxisSide::kRight, true, rates});
    chart.series.push_back({"prices", AxisSide::kLeft, true, prices});

    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    const Geometry g = chart.Paint(painter, QRect(QPoint(0, 0), size));
    painter.end();

    const ValueScale& rate = g.Axis(AxisSide::kRight);
    QVERIFY(rate.min <= 0.0 && rate.max >= 0.0);
    // The price pane's range is its values' own.
    QCOMPARE(g.Axis(AxisSide::kLeft).min, 1000.0);
    QCOMPARE(g.Axis(AxisSide::kLeft).max, 1000.0 + 50 * (chart.bottom.count - 1));
    // Room for a read-out box above the plot.
    QVERIFY(g.Plot().top() >= chart.topSpace);
    const QFontMetrics metrics(chart.font);
    const int32_t zero = g.ValuePixel(AxisSide::kRight, 0.0);
    for (int32_t i = 0; i < chart.bottom.count; ++i) {
      const int32_t end = g.ValuePixel(AxisSide::kRight, values[i]);
      QVERIFY(end >= rate.top && end <= rate.bottom);
      // A negative bar hangs down from 0: its outline is drawn between 0 and
      // its end, and nothing of it above 0.
      if (values[i] < 0.0) {
        QCOMPARE(image.pixelColor(g.BarLeft(i, 90), (zero + end) / 2), kBarOutline);
        if (zero - 3 > rate.top) {
          QVERIFY(image.pixelColor(g.BarLeft(i, 90), zero - 3) != kBarOutline);
        }
      }
      const int32_t markTop = values[i] >= 0.0 ? end - 2 - metrics.height() : end + 2;
      QVERIFY2(markTop >= rate.top && markTop + metrics.height() - 1 <= rate.bottom,
               qPrintable(QStringLiteral("mark of bar %1 at %2..%3, pane %4..%5")
                              .arg(i)
                              .arg(markTop)
                              .arg(markTop + metrics.height() - 1)
                              .arg(rate.top)
                              .arg(rate.bottom)));
    }
  }

  void oneRendererServesAPrinter() {
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("chart.pdf"));
    Chart chart = SampleChart();
    chart.series.push_back(
        {"mean", AxisSide::kRight, true,
         HorizontalLine{Pen{Qt::gray, 0, LineStyle::kDot, PenMode::kNotXor}, 1.0}});
    bool after = false;
    chart.afterDraw = [&](const Chart&, QPainter&, const Geometry&) { after = true; };
    QPainter painter(&printer);
    painter.setWindow(0, 0, 1448, 1024);
    const Geometry g = chart.Paint(painter, QRect(0, 0, 1448, 1024));
    painter.end();
    QVERIFY(after);
    QVERIFY(g.Plot().width() > 1300);
    QVERIFY(QFileInfo(dir.filePath("chart.pdf")).size() > 1000);
  }

  void theWidgetReportsTheMouseAndRelaysOutWhenResized() {
    ChartWidget widget;
    widget.Model() = SampleChart();
    widget.resize(600, 400);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    const Geometry small = widget.CurrentGeometry();
    QCOMPARE(small.Plot(), widget.Model().LayOut(widget.rect()).Plot());

    QSignalSpy resized(&widget, &ChartWidget::resized);
    widget.resize(900, 400);
    QTRY_COMPARE(resized.count(), 1);
    QVERIFY(widget.CurrentGeometry().Plot().width() > small.Plot().width());

    QSignalSpy pressed(&widget, &ChartWidget::mousePressed);
    QSignalSpy moved(&widget, &ChartWidget::mouseMoved);
    QSignalSpy released(&widget, &ChartWidget::mouseReleased);
    const QPoint at(widget.CurrentGeometry().CategoryPixel(3), 100);
    QTest::mousePress(&widget, Qt::RightButton, {}, at);
    QTest::mouseMove(&widget, at + QPoint(5, 0));
    QTest::mouseRelease(&widget, Qt::RightButton, {}, at + QPoint(5, 0));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(pressed[0][1].toPoint(), at);
    QVERIFY(moved.count() >= 1);
    QCOMPARE(moved.last()[0].toPoint(), at + QPoint(5, 0));
    QCOMPARE(released.count(), 1);

    QSignalSpy wheel(&widget, &ChartWidget::wheelTurned);
    QWheelEvent event(QPointF(at), widget.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
    QCOMPARE(wheel.count(), 1);
    QCOMPARE(wheel[0][0].toInt(), -240);

    // A change of the chart is laid out afresh after Replot().
    widget.Model().splitPercent = 100;
    widget.Replot();
    QVERIFY(!widget.CurrentGeometry().Axis(AxisSide::kRight).visible);
  }

  void childrenMovingOverTheChartDoNotRenderItAgain() {
    ChartWidget widget;
    int renderings = 0;
    widget.Model() = SampleChart();
    widget.Model().afterDraw = [&](const Chart&, QPainter&, const Geometry&) { ++renderings; };
    widget.resize(600, 400);
    auto* crossHair = new QWidget(&widget);
    crossHair->setAutoFillBackground(true);
    crossHair->setGeometry(100, 0, 1, 400);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QTRY_COMPARE(renderings, 1);
    for (int x = 110; x < 200; x += 10) {
      crossHair->move(x, 0);
      widget.repaint();
    }
    QCOMPARE(renderings, 1);
    const QImage shown = widget.grab().toImage();
    QCOMPARE(shown.pixelColor(190, 200), crossHair->palette().color(QPalette::Window));
    widget.Replot();
    widget.repaint();
    QCOMPARE(renderings, 2);
  }
};

QTEST_MAIN(ChartRenderTest)
#include "chart_render_qtest.moc"
