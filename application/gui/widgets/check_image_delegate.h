#pragma once
// Draws a list cell's check image (the index the model gives in `role`) at a
// fixed place: the box of the 16 x 16 image then covers pixels 4 to 16 of
// the cell, the band a press must hit to toggle it. The cell keeps the grid
// lines of its list.

#include <QStyledItemDelegate>

class CheckBoxImages;

class CheckImageDelegate : public QStyledItemDelegate {
 public:
  // The left edge of the image within its cell.
  static constexpr int kImageLeft = 2;
  // The band of the cell, inclusive, in which a press hits the box.
  static constexpr int kHitLeft = 4;
  static constexpr int kHitRight = 16;

  // `images` are owned by the main window and outlive the delegate.
  CheckImageDelegate(const CheckBoxImages* images, int role, QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const CheckBoxImages* images_;
  int role_;
};
