#include "about/hatched_shape.h"

#include <QPainter>

HatchedShape::HatchedShape(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void HatchedShape::SetBrush(const QColor& color, Qt::BrushStyle style) {
  brush_ = QBrush(color, style);
  update();
}

void HatchedShape::SetPen(const QColor& color) {
  pen_ = color;
  update();
}

void HatchedShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(pen_);
  painter.setBrush(brush_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void HatchedShape::mouseMoveEvent(QMouseEvent* event) {
  emit mouseMoved();
  QWidget::mouseMoveEvent(event);
}
