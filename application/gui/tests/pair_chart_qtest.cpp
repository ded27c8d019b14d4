// The pair chart on screen: what it draws where its own geometry says, the
// date labels for the chart's width, and the read-outs under the mouse.

#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "pair/pair_chart_view.h"
#include "widgets/screen_cursor.h"

namespace {

using chart::AxisSide;

// 60 days newest first: 20 March 2024 back to 21 January, a day a date.
// Rates run from 2 to 8; the 25-day mean stops 20 days before the oldest.
std::vector<PairDayRecord> SampleDays() {
  std::vector<PairDayRecord> days(60);
  for (int32_t i = 0; i < 60; ++i) {
    PairDayRecord& d = days[static_cast<size_t>(i)];
    d.Year = 2024;
    if (i < 20) {
      d.Month = 3;
      d.Day = 20 - i;
    } else if (i < 49) {
      d.Month = 2;
      d.Day = 29 - (i - 20);
    } else {
      d.Month = 1;
      d.Day = 31 - (i - 49);
    }
    d.CloseA = 100000 + 500 * i;
    d.OpenA = d.CloseA + 100;
    d.HighA = d.CloseA + 300;
    d.LowA = d.CloseA - 300;
    d.CloseB = 90000 + 300 * i;
    d.OpenB = d.CloseB + 100;
    d.HighB = d.CloseB + 300;
    d.LowB = d.CloseB - 300;
    d.Rate = 2.0 + i % 7;
    d.Ma5 = d.Rate + 1.0;
    d.Ma25 = i < 40 ? d.Rate - 1.0 : kNoAverage;
  }
  days[19].Mark = 1;
  days[20].Mark = -1;
  days[48].Mark = 1;
  days[49].Mark = -1;
  return days;
}

PairChartSettings AllLines() {
  PairChartSettings settings;
  settings.LinesAB.fill(true);
  settings.LinesC.fill(true);
  return settings;
}

struct Fixture {
  std::vector<PairDayRecord> days = SampleDays();
  PairChartView view;
  PairChartSettings settings = AllLines();

  Fixture() {
    view.resize(900, 500);
    view.SetOptions(settings);
    view.show();
  }
  // A check's hand-over: 20 days shown, the newest first.
  void Check() {
    view.ScrollBar()->setRange(0, 40);
    view.ScrollBar()->setValue(40);
    view.SetRange(20);
    view.SetPair(&days, PairCheckScale{100, 100, 0}, 5.0, 2.0, "5.00");
    view.DrawChart(40);
  }
  chart::ChartWidget& Chart() { return view.ChartPair(); }
  const chart::Geometry& G() { return Chart().CurrentGeometry(); }
  QImage Rendered() {
    QImage image(Chart().size(), QImage::Format_RGB32);
    QPainter painter(&image);
    Chart().Model().Paint(painter, Chart().rect());
    return image;
  }
  QWidget* Overlay(const char* name) { return Chart().findChild<QWidget*>(name); }
  QPoint AtPoint(int32_t point, int32_t y) { return {G().CategoryPixel(point), y}; }
  int32_t PriceRow() { return (G().Plot().top() + G().Axis(AxisSide::kLeft).bottom) / 2; }
  int32_t RateRow() { return (G().Axis(AxisSide::kRight).top + G().Plot().bottom()) / 2; }
  void Wheel(int delta) {
    const QPointF at(Chart().rect().center());
    QWheelEvent event(at, Chart().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Chart(), &event);
  }
};

int CountInColumn(const QImage& image, int x, const QRect& plot, const QColor& colour) {
  int count = 0;
  for (int y = plot.top(); y <= plot.bottom(); ++y) count += image.pixelColor(x, y) == colour;
  return count;
}

int CountInRow(const QImage& image, int y, const QRect& plot, const QColor& colour) {
  int count = 0;
  for (int x = plot.left(); x <= plot.right(); ++x) count += image.pixelColor(x, y) == colour;
  return count;
}

const QColor kAqua(0x00, 0xFF, 0xFF);

}  // namespace

class PairChartTest : public QObject {
  Q_OBJECT

 private slots:
  void beforeACheckNothingIsDrawnNorReadOut() {
    Fixture f;
    f.view.DrawChart(0);
    QCOMPARE(f.Chart().Model().bottom.count, 0);
    QTest::mousePress(&f.Chart(), Qt::LeftButton, {}, f.Chart().rect().center());
    QCOMPARE(f.view.MouseMode(), PairChartReadout::Mode::kIdle);
    QCOMPARE(ScreenCursor(), Qt::ArrowCursor);
    QTest::mouseRelease(&f.Chart(), Qt::LeftButton, {}, f.Chart().rect().center());
    f.Wheel(240);
    QCOMPARE(f.Chart().Model().bottom.count, 0);
    QCOMPARE(f.Chart().accessibleName(), QStringLiteral(u"ペアチャート"));
  }

  void theWindowIsDrawnWhereTheChartsGeometryPutsIt() {
    Fixture f;
    f.Check();
    QCOMPARE(f.view.Window().start, 0);
    QCOMPARE(f.view.Window().end, 20);
    const QImage image = f.Rendered();
    const chart::Geometry& g = f.G();
    for (int32_t point : {0, 7, 19}) {
      const PairDayRecord& day = f.days[static_cast<size_t>(point)];
      QCOMPARE(image.pixelColor(g.BarLeft(point, 90), g.ValuePixel(AxisSide::kRight, day.Rate / 2)),
               QColor(0x00, 0x80, 0x40));
      QCOMPARE(image.pixelColor(g.CategoryPixel(point), g.ValuePixel(AxisSide::kLeft, day.CloseA)),
               QColor(Qt::blue));
      QCOMPARE(image.pixelColor(g.CategoryPixel(point), g.ValuePixel(AxisSide::kLeft, day.CloseB)),
               QColor(Qt::red));
    }
    // The month line stands at the month's first day (point 19), in the
    // month-line shade (3), through the whole plot; no other day has one.
    const QColor shade(0xD0, 0xD0, 0xD0);
    const int32_t x = g.BarLeft(19, 90) + g.BarWidth(90) / 2;
    QVERIFY(CountInColumn(image, x, g.Plot(), shade) > g.Plot().height() / 3);
    QCOMPARE(CountInColumn(image, g.BarLeft(10, 90) + g.BarWidth(90) / 2, g.Plot(), shade), 0);
    // The +-2 sigma lines (7 and 3) cross the rate pane.
    for (double value : {7.0, 3.0}) {
      QVERIFY(CountInRow(image, g.ValuePixel(AxisSide::kRight, value), g.Plot(), kAqua) > 20);
    }
  }

  // A print copies the chart and paints the copy at the page's size: the
  // month and sigma lines follow the copy's own geometry.
  void aCopyOfTheChartPaintsItsLinesWhereItsOwnGeometryPutsThem() {
    Fixture f;
    f.Check();
    chart::Chart copy = f.Chart().Model();
    copy.gradient = false;
    QImage page(1448, 1024, QImage::Format_RGB32);
    QPainter painter(&page);
    const chart::Geometry g = copy.Paint(painter, page.rect());
    painter.end();
    QVERIFY(g.Plot().width() > f.G().Plot().width());
    const int32_t x = g.BarLeft(19, 90) + g.BarWidth(90) / 2;
    QVERIFY(CountInColumn(page, x, g.Plot(), QColor(0xD0, 0xD0, 0xD0)) > g.Plot().height() / 3);
    QVERIFY(CountInRow(page, g.ValuePixel(AxisSide::kRight, 7.0), g.Plot(), kAqua) > 20);
  }

  void theSigmaLinesFollowTheirSwitchAndTheRatePane() {
    Fixture f;
    f.Check();
    f.settings.LinesC[1] = false;
    f.view.SetOptions(f.settings);
    f.view.DrawChart(40);
    QImage image = f.Rendered();
    QCOMPARE(CountInRow(image, f.G().ValuePixel(AxisSide::kRight, 7.0), f.G().Plot(), kAqua), 0);

    f.settings.LinesC[1] = true;
    f.settings.Split = 100;
    f.view.SetOptions(f.settings);
    f.view.DrawChart(40);
    image = f.Rendered();
    const QRect all = f.Chart().rect().adjusted(0, 0, -1, -1);
    for (int y = all.top(); y <= all.bottom(); ++y) QCOMPARE(CountInRow(image, y, all, kAqua), 0);
  }

  void theMeanIsLabelledLeftOfThePlotWhileItsLineShows() {
    Fixture f;
    f.Check();
    const QImage with = f.Rendered();
    const int32_t y = f.G().ValuePixel(AxisSide::kRight, 5.0);
    const QRect label(f.G().Plot().left() - 30, y - 5, 27, 12);
    f.settings.LinesC[0] = false;
    f.view.SetOptions(f.settings);
    const QImage without = f.Rendered();
    QCOMPARE(f.G().ValuePixel(AxisSide::kRight, 5.0), y);
    int differ = 0;
    for (int py = label.top(); py <= label.bottom(); ++py) {
      for (int px = label.left(); px <= label.right(); ++px) {
        differ += with.pixelColor(px, py) != without.pixelColor(px, py);
      }
    }
    QVERIFY(differ > 10);
  }

  void theDateLabelsAreThinnedForTheChartsWidth() {
    Fixture f;
    f.settings.YMDLabel = 5;  // "m/...d"
    f.view.SetOptions(f.settings);
    f.Check();
    f.view.ScrollBar()->setValue(37);
    f.view.DrawChart(37);  // days 3 to 22: 1 March at point 16
    const auto labels = [&] { return f.Chart().Model().bottom.labels; };
    QCOMPARE(labels().size(), 20);
    QCOMPARE(labels()[0], QStringLiteral("17"));
    QCOMPARE(labels()[16], QStringLiteral("3/"));
    QCOMPARE(labels()[19], QStringLiteral("2/27"));

    f.view.resize(220, 500);
    QTRY_VERIFY(f.G().Plot().width() <= 180);
    QVERIFY(labels()[19] == QStringLiteral(" ") || labels()[19] == QStringLiteral("2/  "));
    QCOMPARE(labels()[16], QStringLiteral("3/1"));
  }

  void aPriceReadOutMovesItsCrossHairAndHidesTheCursor() {
    Fixture f;
    f.Check();
    QSignalSpy days(&f.view, &PairChartView::dayShown);
    const QPoint at = f.AtPoint(3, f.PriceRow());
    QTest::mousePress(&f.Chart(), Qt::LeftButton, {}, at);
    QCOMPARE(f.view.MouseMode(), PairChartReadout::Mode::kPriceA);
    QCOMPARE(ScreenCursor(), Qt::BlankCursor);
    QVERIFY(f.Overlay("PanelLineX1")->isVisible());
    QCOMPARE(f.Overlay("PanelLineX1")->x(), at.x());
    QCOMPARE(f.Overlay("PanelLineY1")->y(), at.y());
    QCOMPARE(f.Overlay("PanelLineY1")->width(), f.Chart().width());
    auto* date = qobject_cast<QLabel*>(f.Overlay("StaticTextValueX1"));
    QCOMPARE(date->text(), QStringLiteral("2024/03/17"));
    QCOMPARE(date->x() + date->width(), at.x());
    QCOMPARE(date->y() + date->height(), f.G().Plot().top());
    // The chart keeps room for the box above the plot.
    QVERIFY2(date->y() >= 0, qPrintable(QString::number(date->y())));
    QVERIFY(!days.isEmpty());
    QCOMPARE(days.last()[0].toInt(), 3);

    const QPoint next = f.AtPoint(5, f.PriceRow() + 10);
    QTest::mouseMove(&f.Chart(), next);
    QCOMPARE(f.Overlay("PanelLineX1")->x(), next.x());
    QCOMPARE(f.Overlay("PanelLineY1")->y(), next.y());
    QCOMPARE(days.last()[0].toInt(), 5);
    // The price at the cursor, back in yen of one share.
    const double value = f.G().PixelToValue(AxisSide::kLeft, next.y());
    const auto shown = static_cast<int64_t>(std::trunc(value + 0.5));
    QCOMPARE(qobject_cast<QLabel*>(f.Overlay("StaticTextValueY1"))->text(),
             QString::number((shown + 50) / 100));

    QTest::mouseRelease(&f.Chart(), Qt::LeftButton, {}, next);
    QCOMPARE(f.view.MouseMode(), PairChartReadout::Mode::kIdle);
    QCOMPARE(ScreenCursor(), Qt::ArrowCursor);
    QVERIFY(!f.Overlay("PanelLineX1")->isVisible());
    QVERIFY(!f.Overlay("StaticTextValueY1")->isVisible());
  }

  void aProfitDragWritesTheStatusAndStaysUntilTheNextClick() {
    Fixture f;
    f.Check();
    QSignalSpy status(&f.view, &PairChartView::statusText);
    QTest::mousePress(&f.Chart(), Qt::RightButton, {}, f.AtPoint(4, f.RateRow()));
    QCOMPARE(f.view.MouseMode(), PairChartReadout::Mode::kProfit);
    QTest::mouseMove(&f.Chart(), f.AtPoint(1, f.RateRow()));
    // Day 4: A 102000, B 91200 (A over B); day 1: A 100500, B 90300:
    // 10800 - 10200 = +600 over 3 days.
    QVERIFY(!status.isEmpty());
    QCOMPARE(status.last()[0].value<std::string>(),
             std::string(" \\ \x8a\xfa\x8a\xd4 3/16\x81\x60"
                         "3/19\x81\x69"
                         "3\x93\xfa\x81\x6a"
                         "  \x8e\xfb\x89\x76 +600\x89\x7e \x81\x69+200\x89\x7e\x81\x6a"));
    QTest::mouseRelease(&f.Chart(), Qt::RightButton, {}, f.AtPoint(1, f.RateRow()));
    QCOMPARE(f.view.MouseMode(), PairChartReadout::Mode::kFinished);
    QCOMPARE(ScreenCursor(), Qt::ArrowCursor);
    QVERIFY(f.Overlay("PanelLineX2")->isVisible());
    QVERIFY(f.Overlay("StaticTextValueY2")->isVisible());

    QTest::mousePress(&f.Chart(), Qt::RightButton, {}, f.AtPoint(2, f.RateRow()));
    QCOMPARE(f.view.MouseMode(), PairChartReadout::Mode::kIdle);
    QVERIFY(!f.Overlay("PanelLineX2")->isVisible());
    QTest::mouseRelease(&f.Chart(), Qt::RightButton, {}, f.AtPoint(2, f.RateRow()));
  }

  void theWheelScrollsAndEndsARunningReadOut() {
    Fixture f;
    f.Check();
    QTest::mousePress(&f.Chart(), Qt::LeftButton, {}, f.AtPoint(2, f.RateRow()));
    QCOMPARE(f.view.MouseMode(), PairChartReadout::Mode::kRate);
    QCOMPARE(ScreenCursor(), Qt::BlankCursor);
    f.Wheel(-240);  // toward older days
    QCOMPARE(f.view.ScrollBar()->value(), 38);
    QCOMPARE(f.view.Window().start, 2);
    QCOMPARE(f.view.MouseMode(), PairChartReadout::Mode::kIdle);
    QCOMPARE(ScreenCursor(), Qt::ArrowCursor);
    QVERIFY(!f.Overlay("PanelLineX1")->isVisible());
    QTest::mouseRelease(&f.Chart(), Qt::LeftButton, {}, f.AtPoint(2, f.RateRow()));
    QCOMPARE(ScreenCursor(), Qt::ArrowCursor);

    f.Wheel(100);  // less than a notch
    QCOMPARE(f.view.ScrollBar()->value(), 38);
    f.Wheel(600);  // held at the newest days
    QCOMPARE(f.view.ScrollBar()->value(), 40);
    QCOMPARE(f.view.Window().start, 0);
  }
};

QTEST_MAIN(PairChartTest)
#include "pair_chart_qtest.moc"
