#include "screening/technical_list_view.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>

#include "widgets/accessible_table.h"
#include "widgets/hidden_column_grip.h"

TechnicalListView::TechnicalListView(QWidget* parent) : QTreeView(parent) {
  AnnounceAsTable(*this);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setItemsExpandable(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  header()->setSectionsClickable(false);
  header()->setMinimumSectionSize(0);
  header()->setStretchLastSection(false);
  // The last column, the result column's width, starts hidden at width 0.
  new HiddenColumnGrip(header(), kWidthColumn);
}

void TechnicalListView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->source() == this) event->acceptProposedAction();
}

void TechnicalListView::dragMoveEvent(QDragMoveEvent* event) {
  if (event->source() == this) event->acceptProposedAction();
}

void TechnicalListView::dropEvent(QDropEvent* event) {
  // The move is the page's: the drag itself removes and copies nothing.
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  const QModelIndex target = indexAt(event->position().toPoint());
  const QModelIndexList selected = selectionModel()->selectedRows();
  if (!target.isValid() || selected.isEmpty()) return;
  emit rowDropped(selected.first().row(), target.row());
}

void TechnicalListView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    emit deletePressed();
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}
