// The pair chart redraws on every scroll step and wheel notch, and a read-out
// moves its cross-hair on every mouse move: both must fit well inside one
// frame (16 ms) for the largest pair, 1,200 days on a 1,600 x 1,000 chart.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>
#include <cstdint>
#include <vector>

#include "pair/pair_chart_view.h"

namespace {

constexpr int32_t kDays = 1200;

std::vector<PairDayRecord> LargestPair() {
  std::vector<PairDayRecord> days(kDays);
  uint32_t state = 12345;
  int32_t a = 250000;
  int32_t b = 240000;
  for (int32_t i = 0; i < kDays; ++i) {
    PairDayRecord& d = days[static_cast<size_t>(i)];
    state = state * 1664525u + 1013904223u;
    a += static_cast<int32_t>(state >> 24) - 128;
    b += static_cast<int32_t>((state >> 16) & 0xFF) - 128;
    d.Year = 2024 - i / 250;
    d.Month = 12 - (i / 21) % 12;
    d.Day = 28 - i % 21;
    d.Mark = i % 21 == 0 ? (i % 250 == 0 ? 2 : 1) : 0;
    d.CloseA = a;
    d.OpenA = a + 50;
    d.HighA = a + 300;
    d.LowA = a - 300;
    d.CloseB = b;
    d.OpenB = b - 50;
    d.HighB = b + 300;
    d.LowB = b - 300;
    d.Rate = (a - b) * 100.0 / 260000.0;
    d.Ma5 = i < kDays - 4 ? d.Rate + 0.5 : kNoAverage;
    d.Ma25 = i < kDays - 24 ? d.Rate - 0.5 : kNoAverage;
  }
  return days;
}

struct Chart {
  std::vector<PairDayRecord> days = LargestPair();
  PairChartView view;

  Chart() {
    PairChartSettings settings;  // the page's defaults: every day labelled, marks "n.n"
    settings.LinesAB.fill(true);
    settings.LinesC.fill(true);
    view.resize(1600, 1000 + view.ScrollBar()->sizeHint().height());
    view.SetOptions(settings);
    view.ScrollBar()->setRange(0, 0);
    view.SetRange(kDays);
    view.SetPair(&days, PairCheckScale{100, 100, 0}, 3.5, 4.2, "3.50");
    view.DrawChart(0);
  }
};

void BM_RedrawLargestPairIntoImage(benchmark::State& state) {
  Chart chart;
  QImage image(1600, 1000, QImage::Format_RGB32);
  for (auto _ : state) {
    chart.view.DrawChart(0);
    QPainter painter(&image);
    chart.view.ChartPair().Model().Paint(painter, image.rect());
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_RedrawLargestPairIntoImage)->Unit(benchmark::kMillisecond);

void BM_MoveRateReadOut(benchmark::State& state) {
  Chart chart;
  chart::ChartWidget& widget = chart.view.ChartPair();
  chart.view.show();
  widget.repaint();
  const chart::Geometry& g = widget.CurrentGeometry();
  const int32_t y = (g.Axis(chart::AxisSide::kRight).top + g.Plot().bottom()) / 2;
  const QPoint start(g.CategoryPixel(600), y);
  QMouseEvent press(QEvent::MouseButtonPress, start, widget.mapToGlobal(start), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  int32_t point = 0;
  for (auto _ : state) {
    point = (point + 7) % kDays;
    const QPoint at(g.CategoryPixel(point), y);
    QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
    widget.repaint();  // the overlays' new places, over the chart as rendered
  }
}
BENCHMARK(BM_MoveRateReadOut)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
