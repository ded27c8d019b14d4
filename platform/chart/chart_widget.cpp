#include "chart/chart_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace chart {

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
}

void ChartWidget::Replot() {
  geometry_.reset();
  update();
}

const Geometry& ChartWidget::CurrentGeometry() const {
  if (!geometry_) geometry_ = chart_.LayOut(rect());
  return *geometry_;
}

void ChartWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  geometry_ = chart_.Paint(painter, rect());
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  geometry_.reset();
  emit resized();
}

void ChartWidget::mousePressEvent(QMouseEvent* event) {
  emit mousePressed(event->button(), event->position().toPoint());
}

void ChartWidget::mouseMoveEvent(QMouseEvent* event) {
  emit mouseMoved(event->position().toPoint());
}

void ChartWidget::mouseReleaseEvent(QMouseEvent* event) {
  emit mouseReleased(event->button(), event->position().toPoint());
}

void ChartWidget::wheelEvent(QWheelEvent* event) {
  emit wheelTurned(event->angleDelta().y());
  event->accept();
}

}  // namespace chart
