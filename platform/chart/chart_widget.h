#pragma once
// A widget that shows one Chart, filling its whole area, and reports the
// mouse over it. The widget owns its chart; change it through Model(), then
// call Replot(). The chart is rendered once per change into an image, so
// that child widgets moving over it (cross-hairs, read-outs) never cost a
// new rendering. GUI thread only.

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "chart/chart.h"

namespace chart {

class ChartWidget : public QWidget {
  Q_OBJECT
 public:
  explicit ChartWidget(QWidget* parent = nullptr);

  // The chart shown. Changes show after Replot().
  Chart& Model() { return chart_; }
  const Chart& Model() const { return chart_; }
  // Schedules a repaint with the chart as it now stands and forgets the
  // geometry of the old contents.
  void Replot();
  // The geometry of the chart as it is (or will next be) painted at the
  // widget's current size; computed once per change of chart or size.
  const Geometry& CurrentGeometry() const;

 signals:
  // The mouse, in widget pixels. While a button is held the widget keeps the
  // mouse, so moves and the release arrive even outside it.
  void mousePressed(Qt::MouseButton button, QPoint position);
  void mouseMoved(QPoint position);
  void mouseReleased(Qt::MouseButton button, QPoint position);
  // The wheel's angle in eighths of a degree (120 per notch); positive when
  // turned away from the user.
  void wheelTurned(int32_t delta);
  // The widget's size changed; its geometry has been recomputed.
  void resized();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  Chart chart_;
  QImage rendered_;  // null when the chart must be rendered again
  mutable std::optional<Geometry> geometry_;
};

}  // namespace chart
