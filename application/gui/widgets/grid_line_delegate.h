#pragma once
// Draws the grid lines of a report-style list: a line below and right of
// every cell.

#include <QStyledItemDelegate>

// Draws a cell's grid lines (below and right of `option.rect`), for delegates
// that paint cells of their own in a list with grid lines.
void PaintCellGridLines(QPainter* painter, const QStyleOptionViewItem& option);

class GridLineDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};
