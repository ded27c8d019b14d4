#include "widgets/check_image_delegate.h"

#include <QPainter>
#include <algorithm>

#include "widgets/check_box_images.h"
#include "widgets/grid_line_delegate.h"

CheckImageDelegate::CheckImageDelegate(const CheckBoxImages* images, int role, QObject* parent)
    : QStyledItemDelegate(parent), images_(images), role_(role) {}

void CheckImageDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  PaintCellGridLines(painter, option);
  const QVariant image = index.data(role_);
  if (images_ == nullptr || !image.isValid()) return;
  const QPixmap pixmap = images_->Image(image.toInt());
  const int top = option.rect.top() + (option.rect.height() - pixmap.height()) / 2;
  painter->drawPixmap(option.rect.left() + kImageLeft, top, pixmap);
}

QSize CheckImageDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(std::max(size.height(), 16));
  size.setWidth(std::max(size.width(), kImageLeft + 16));
  return size;
}
