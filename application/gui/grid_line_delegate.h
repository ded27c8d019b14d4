#pragma once
// Draws the grid lines of a report-style list: a line below and right of
// every cell.

#include <QStyledItemDelegate>

class GridLineDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};
