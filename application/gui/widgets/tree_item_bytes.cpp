#include "widgets/tree_item_bytes.h"

#include <QByteArray>
#include <QTreeWidgetItem>

#include "widgets/qt_cp932.h"

namespace {

constexpr int kBytesRole = Qt::UserRole;

}  // namespace

void SetCellBytes(QTreeWidgetItem& item, int column, const std::string& bytes) {
  item.setText(column, QFromCp932(bytes));
  item.setData(column, kBytesRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string CellBytes(const QTreeWidgetItem& item, int column) {
  const QByteArray bytes = item.data(column, kBytesRole).toByteArray();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
