#include "registry/pair_list_items.h"

#include <QItemSelectionModel>
#include <QTreeWidget>

#include "widgets/tree_item_bytes.h"

PairItem ItemPair(const QTreeWidgetItem& item) {
  return PairItem{CellBytes(item, 0), CellBytes(item, 1), CellBytes(item, 2)};
}

std::vector<PairRow> ListRows(const QTreeWidget& list) {
  std::vector<PairRow> rows;
  rows.reserve(static_cast<size_t>(list.topLevelItemCount()));
  for (int i = 0; i < list.topLevelItemCount(); ++i) {
    const QTreeWidgetItem& item = *list.topLevelItem(i);
    rows.push_back(PairRow{ItemPair(item), item.isSelected(), list.currentItem() == &item});
  }
  return rows;
}

void ShowRows(QTreeWidget& list, const std::vector<PairRow>& rows) {
  const QSignalBlocker quiet(list);
  list.clear();
  QTreeWidgetItem* current = nullptr;
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  for (const PairRow& row : rows) {
    auto* item = new QTreeWidgetItem;
    SetCellBytes(*item, 0, row.item.caption);
    SetCellBytes(*item, 1, row.item.textA);
    SetCellBytes(*item, 2, row.item.textB);
    items.append(item);
    if (row.focused) current = item;
  }
  list.addTopLevelItems(items);
  if (current != nullptr) list.setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
  for (size_t i = 0; i < rows.size(); ++i)
    items[static_cast<qsizetype>(i)]->setSelected(rows[i].selected);
}
