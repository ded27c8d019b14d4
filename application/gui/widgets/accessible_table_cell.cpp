#include "widgets/accessible_table_cell.h"

#include <QHeaderView>
#include <QTreeView>
#include <QWidget>
#include <QWindow>

AccessibleTableCell::AccessibleTableCell(QTreeView* list, int row, int column)
    : list_(list), row_(row), column_(column) {}

QModelIndex AccessibleTableCell::Index() const {
  if (list_ == nullptr || list_->model() == nullptr || IsHeader()) return {};
  return list_->model()->index(row_, column_, list_->rootIndex());
}

bool AccessibleTableCell::isValid() const {
  if (list_ == nullptr || list_->model() == nullptr) return false;
  if (IsHeader()) return column_ >= 0 && column_ < list_->model()->columnCount(list_->rootIndex());
  return Index().isValid();
}

QWindow* AccessibleTableCell::window() const {
  return list_ != nullptr ? list_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* AccessibleTableCell::parent() const {
  return QAccessible::queryAccessibleInterface(list_.data());
}

QString AccessibleTableCell::text(QAccessible::Text t) const {
  if (!isValid()) return {};
  if (IsHeader()) {
    if (t != QAccessible::Name) return {};
    return list_->model()->headerData(column_, Qt::Horizontal, Qt::DisplayRole).toString();
  }
  const QModelIndex index = Index();
  switch (t) {
    case QAccessible::Name: {
      const QString spoken = index.data(Qt::AccessibleTextRole).toString();
      return spoken.isEmpty() ? index.data(Qt::DisplayRole).toString() : spoken;
    }
    case QAccessible::Description:
      return index.data(Qt::AccessibleDescriptionRole).toString();
    default:
      return {};
  }
}

QRect AccessibleTableCell::rect() const {
  if (!isValid()) return {};
  if (IsHeader()) {
    const QHeaderView* header = list_->header();
    if (header->isSectionHidden(column_)) return {};
    const QRect section(header->sectionViewportPosition(column_), 0, header->sectionSize(column_),
                        header->viewport()->height());
    return section.translated(header->viewport()->mapToGlobal(QPoint(0, 0)));
  }
  const QRect cell = list_->visualRect(Index());
  if (cell.isEmpty()) return {};
  return cell.translated(list_->viewport()->mapToGlobal(QPoint(0, 0)));
}

QAccessible::Role AccessibleTableCell::role() const {
  return IsHeader() ? QAccessible::ColumnHeader : QAccessible::Cell;
}

QAccessible::State AccessibleTableCell::state() const {
  QAccessible::State state;
  if (!isValid()) {
    state.invalid = true;
    return state;
  }
  // Hidden columns and cells scrolled away are there but not seen.
  const QWidget* shownIn = IsHeader() ? list_->header()->viewport() : list_->viewport();
  const QRect shown(shownIn->mapToGlobal(QPoint(0, 0)), shownIn->size());
  state.invisible = !shownIn->isVisible() || !shown.intersects(rect());
  if (IsHeader()) return state;

  const QModelIndex index = Index();
  const Qt::ItemFlags flags = index.flags();
  if (flags.testFlag(Qt::ItemIsSelectable)) {
    state.selectable = true;
    state.focusable = true;
    state.multiSelectable = list_->selectionMode() == QAbstractItemView::MultiSelection;
    state.extSelectable = list_->selectionMode() == QAbstractItemView::ExtendedSelection;
  }
  state.selected = isSelected();
  state.focused =
      list_->selectionModel() != nullptr && list_->selectionModel()->currentIndex() == index;
  if (flags.testFlag(Qt::ItemIsUserCheckable)) {
    state.checkable = true;
    const auto check = index.data(Qt::CheckStateRole).value<Qt::CheckState>();
    state.checked = check == Qt::Checked;
    state.checkStateMixed = check == Qt::PartiallyChecked;
  }
  return state;
}

void* AccessibleTableCell::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableCellInterface && !IsHeader())
    return static_cast<QAccessibleTableCellInterface*>(this);
  return nullptr;
}

bool AccessibleTableCell::isSelected() const {
  return !IsHeader() && isValid() && list_->selectionModel() != nullptr &&
         list_->selectionModel()->isSelected(Index());
}

QList<QAccessibleInterface*> AccessibleTableCell::columnHeaderCells() const {
  // The table's first children are its header cells, one a column.
  QAccessibleInterface* list = parent();
  QAccessibleInterface* header = list != nullptr && !IsHeader() ? list->child(column_) : nullptr;
  if (header == nullptr) return {};
  return {header};
}
