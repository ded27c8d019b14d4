#include "widgets/grid_line_delegate.h"

#include <QPainter>

void PaintCellGridLines(QPainter* painter, const QStyleOptionViewItem& option) {
  painter->save();
  painter->setPen(option.palette.color(QPalette::Midlight));
  const QRect& r = option.rect;
  painter->drawLine(r.bottomLeft(), r.bottomRight());
  painter->drawLine(r.topRight(), r.bottomRight());
  painter->restore();
}

void GridLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  PaintCellGridLines(painter, option);
}
