#pragma once
// The pair page's chart: ChartPair, the pair's prices over its deviation
// rate for a window of days, with the scroll bar ScrollBarChartPair under it
// and the cross-hair read-outs that answer the mouse over it. The page hands
// it the checked pair and the option values and asks it to draw; the view
// asks the page back to show a day's figures and to set the status text of a
// profit drag. Main thread only.

#include <QWidget>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "chart/chart_widget.h"
#include "pair/pair_chart_readout.h"
#include "pair/pair_chart_settings.h"
#include "pair/pair_chart_window.h"
#include "pair/pair_check_scale.h"
#include "pair/pair_day_record.h"

class QFrame;
class QLabel;
class QScrollBar;

class PairChartView : public QWidget {
  Q_OBJECT
 public:
  explicit PairChartView(QWidget* parent = nullptr);
  ~PairChartView() override;

  // The chart and the scroll bar whose position picks the window of days
  // (the largest position shows the newest days). The page sets the bar's
  // range and position; the view moves it only for the wheel.
  chart::ChartWidget& ChartPair() const { return *chart_; }
  QScrollBar* ScrollBar() const { return scrollBar_; }

  // The checked pair: its days (newest first; the page owns them and keeps
  // them alive until the next SetPair), the lots and adjustment the check
  // scaled them with, the mean rate, twice the standard deviation and the
  // mean's label (code page 932). nullptr days: no pair drawn yet, and
  // nothing is drawn nor read out.
  void SetPair(const std::vector<PairDayRecord>* days, const PairCheckScale& scale, double meanRate,
               double twoSigma, std::string meanText);
  // The page's option values: split, margins, grids, widths, marks and which
  // lines show. Repaints; the window's points are not refilled.
  void SetOptions(const PairChartSettings& settings);
  // The number of days the window holds.
  void SetRange(int32_t daysShown);

  // Ends any read-out and refills the chart for the window that ends at
  // `scrollPosition`. Does nothing before the first pair.
  void DrawChart(int32_t scrollPosition);

  const ChartWindow& Window() const { return window_; }
  PairChartReadout::Mode MouseMode() const { return readout_.CurrentMode(); }

 signals:
  // The figures of day `index` of the days are to be shown.
  void dayShown(int32_t index);
  // Status panel 0 is to show `text` (code page 932).
  void statusText(const std::string& text);

 private:
  void BuildChart();
  void BuildOverlays();
  void BeforeSeries(const chart::Chart& chart, QPainter& painter, const chart::Geometry& g) const;
  void AfterDraw(const chart::Chart& chart, QPainter& painter, const chart::Geometry& g) const;
  void ChartMousePressed(Qt::MouseButton button, QPoint position);
  void ChartMouseMoved(QPoint position);
  void ChartMouseReleased();
  void ChartWheelTurned(int32_t delta);
  void Apply(const ReadoutEffects& effects);

  chart::ChartWidget* chart_ = nullptr;
  QScrollBar* scrollBar_ = nullptr;
  // PanelLineX1, PanelLineX2, PanelLineY1, PanelLineY2.
  std::array<QFrame*, 4> lines_{};
  // StaticTextValueX1, StaticTextValueX2, StaticTextValueY1, StaticTextValueY2.
  std::array<QLabel*, 4> values_{};

  const std::vector<PairDayRecord>* days_ = nullptr;
  PairCheckScale scale_;
  double meanRate_ = 0.0;
  double twoSigma_ = 0.0;
  std::string meanText_;
  PairChartSettings options_;
  int32_t range_ = 0;
  ChartWindow window_;
  PairChartReadout readout_;
  bool mouseHeld_ = false;
};
