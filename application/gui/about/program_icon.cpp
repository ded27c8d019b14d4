#include "about/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

QPixmap ProgramIconPixmap(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  // Drawn on a 32 x 32 grid, scaled to the size asked for.
  painter.scale(size.width() / 32.0, size.height() / 32.0);

  // The sheet: white with a dark green frame and a light grid.
  painter.setPen(QPen(QColor(0x00, 0x60, 0x30), 1.5));
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 4, 4);
  painter.setPen(QPen(QColor(0xD8, 0xD8, 0xD8), 1));
  for (int y = 9; y <= 23; y += 7) painter.drawLine(QPointF(4, y), QPointF(28, y));

  // Two prices that move together, and the spread between them below.
  const QPolygonF a({{4, 20}, {9, 14}, {14, 17}, {19, 9}, {24, 12}, {28, 6}});
  const QPolygonF b({{4, 23}, {9, 18}, {14, 21}, {19, 14}, {24, 16}, {28, 11}});
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0x00, 0x00, 0xFF), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(a);
  painter.setPen(QPen(QColor(0xFF, 0x00, 0x00), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(b);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x00, 0x80, 0x00));
  const int bars[] = {3, 4, 4, 5, 4, 5};
  for (int i = 0; i < 6; ++i) {
    const double x = 4 + i * 4.8;
    painter.drawRect(QRectF(x - 1.2, 28 - bars[i], 2.4, bars[i]));
  }
  return pixmap;
}
