#pragma once
// A rectangle drawn with a hatch brush and a pen, behind the labels of a
// dialog. Moves of the mouse over it are reported, for hover effects.

#include <QBrush>
#include <QColor>
#include <QWidget>

class HatchedShape : public QWidget {
  Q_OBJECT
 public:
  explicit HatchedShape(QWidget* parent = nullptr);

  void SetBrush(const QColor& color, Qt::BrushStyle style);
  void SetPen(const QColor& color);

 signals:
  void mouseMoved();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QBrush brush_{QColor(0xEE, 0xEE, 0xEE), Qt::CrossPattern};
  QColor pen_{0xC0, 0xC0, 0xC0};
};
