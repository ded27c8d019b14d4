#include "widgets/check_box_images.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap DrawBox(bool ticked, bool shaded) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QColor frame(0x80, 0x80, 0x80);
  painter.setPen(frame);
  painter.setBrush(shaded ? QColor(0xE0, 0xE0, 0xE0) : QColor(Qt::white));
  painter.drawRect(2, 2, 12, 12);
  if (ticked) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(shaded ? QColor(0x80, 0x80, 0x80) : QColor(Qt::black));
    pen.setWidthF(2.0);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(4.5, 8.0);
    tick.lineTo(7.0, 10.5);
    tick.lineTo(11.5, 5.0);
    painter.drawPath(tick);
  }
  return pixmap;
}

}  // namespace

CheckBoxImages::CheckBoxImages()
    : images_{DrawBox(false, false), DrawBox(true, false), DrawBox(true, true)} {}

QPixmap CheckBoxImages::Image(int index) const {
  if (index < 0 || index >= kCount) return QPixmap();
  return images_[static_cast<size_t>(index)];
}
