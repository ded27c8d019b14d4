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
  rendered_ = QImage();
  update();
}

const Geometry& ChartWidget::CurrentGeometry() const {
  if (!geometry_) geometry_ = chart_.LayOut(rect());
  return *geometry_;
}

void ChartWidget::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatioF();
  if (rendered_.isNull()) {
    rendered_ = QImage(size() * ratio, QImage::Format_RGB32);
    rendered_.setDevicePixelRatio(ratio);
    QPainter image(&rendered_);
    geometry_ = chart_.Paint(image, rect());
  }
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), rendered_);
}

void ChartWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  geometry_.reset();
  rendered_ = QImage();
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
