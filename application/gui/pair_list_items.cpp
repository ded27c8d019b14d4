#include "pair_list_items.h"

#include <QByteArray>
#include <QItemSelectionModel>
#include <QTreeWidget>
#include <string>

#include "qt_cp932.h"

namespace {

constexpr int kBytesRole = Qt::UserRole;

void SetText(QTreeWidgetItem& item, int column, const std::string& bytes) {
  item.setText(column, QFromCp932(bytes));
  item.setData(column, kBytesRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string Bytes(const QTreeWidgetItem& item, int column) {
  const QByteArray bytes = item.data(column, kBytesRole).toByteArray();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

PairItem ItemPair(const QTreeWidgetItem& item) {
  return PairItem{Bytes(item, 0), Bytes(item, 1), Bytes(item, 2)};
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
    SetText(*item, 0, row.item.caption);
    SetText(*item, 1, row.item.textA);
    SetText(*item, 2, row.item.textB);
    items.append(item);
    if (row.focused) current = item;
  }
  list.addTopLevelItems(items);
  if (current != nullptr) list.setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
  for (size_t i = 0; i < rows.size(); ++i)
    items[static_cast<qsizetype>(i)]->setSelected(rows[i].selected);
}
