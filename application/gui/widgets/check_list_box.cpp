#include "widgets/check_list_box.h"

#include <QFocusEvent>
#include <QResizeEvent>
#include <algorithm>

CheckListBox::CheckListBox(QWidget* parent) : QListWidget(parent) {
  setFlow(QListView::TopToBottom);
  setWrapping(true);
  setResizeMode(QListView::Adjust);
  setSpacing(0);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void CheckListBox::SetItems(const QStringList& texts, int columns) {
  clear();
  columns_ = std::max(columns, 1);
  for (const QString& text : texts) {
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  LayOutColumns();
}

bool CheckListBox::Ticked(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry != nullptr && entry->checkState() == Qt::Checked;
}

void CheckListBox::SetTicked(int index, bool ticked) {
  if (QListWidgetItem* entry = item(index))
    entry->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void CheckListBox::GetTicks(std::span<bool> ticks) const {
  for (size_t i = 0; i < ticks.size(); ++i) ticks[i] = Ticked(static_cast<int>(i));
}

void CheckListBox::SetTicks(std::span<const bool> ticks) {
  for (size_t i = 0; i < ticks.size(); ++i) SetTicked(static_cast<int>(i), ticks[i]);
}

void CheckListBox::focusOutEvent(QFocusEvent* event) {
  clearSelection();
  setCurrentRow(-1, QItemSelectionModel::NoUpdate);
  QListWidget::focusOutEvent(event);
}

void CheckListBox::resizeEvent(QResizeEvent* event) {
  QListWidget::resizeEvent(event);
  LayOutColumns();
}

void CheckListBox::LayOutColumns() {
  // Every item takes one cell of the grid, so the texts use the whole width.
  const QSize cell(std::max((viewport()->width() - 1) / columns_, 1), fontMetrics().height() + 2);
  for (int i = 0; i < count(); ++i) item(i)->setSizeHint(cell);
  setGridSize(cell);
}
