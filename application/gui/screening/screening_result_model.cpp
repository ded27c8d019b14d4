#include "screening/screening_result_model.h"

#include <algorithm>

#include "screening/result_sort.h"
#include "widgets/qt_cp932.h"

ScreeningResultModel::ScreeningResultModel(QObject* parent)
    : QAbstractTableModel(parent), columns_(FixedColumns()) {}

std::vector<ResultColumn> ScreeningResultModel::FixedColumns() {
  const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
  const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
  const Qt::Alignment centre = Qt::AlignCenter;
  std::vector<ResultColumn> columns = {{std::string(), left, kSortNone, 0}};
  for (const QString& side : {QStringLiteral(u"売"), QStringLiteral(u"買")}) {
    columns.push_back({Cp932FromQ(QStringLiteral(u"銘柄 （%1）").arg(side)), left, kSortText, 135});
    columns.push_back({Cp932FromQ(QStringLiteral(u"取引所")), left, kSortMarket, 55});
    columns.push_back({Cp932FromQ(QStringLiteral(u"業種")), left, kSortSector, 55});
    columns.push_back({Cp932FromQ(QStringLiteral(u"単元")), right, kSortNumber, 36});
    columns.push_back({Cp932FromQ(QStringLiteral(u"出来高")), right, kSortNumberDescending, 50});
    columns.push_back({Cp932FromQ(QStringLiteral(u"貸")), centre, kSortText, 2});
  }
  columns.push_back({Cp932FromQ(QStringLiteral(u"単元比")), centre, kSortRatio, 50});
  columns.push_back({std::string(), centre, kSortNone, 2});
  return columns;
}

int ScreeningResultModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ScreeningResultModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ScreeningResultModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    if (index.column() == 0) return QString();
    return QFromCp932(Row(index.row()).SubItem(index.column() - 1));
  }
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(columns_[static_cast<size_t>(index.column())].alignment);
  }
  return {};
}

QVariant ScreeningResultModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  const ResultColumn& column = columns_[static_cast<size_t>(section)];
  if (role == Qt::DisplayRole) return QFromCp932(column.caption);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(column.alignment);
  return {};
}

void ScreeningResultModel::Clear() {
  // Rows and columns go without a reset, which would lose the column widths.
  if (!rows_.empty()) {
    beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
    rows_.clear();
    endRemoveRows();
  }
  if (columnCount() > kFixedColumns) {
    beginRemoveColumns(QModelIndex(), kFixedColumns, columnCount() - 1);
    columns_.resize(kFixedColumns);
    endRemoveColumns();
  }
}

void ScreeningResultModel::AddResultColumns(const std::vector<ResultColumn>& columns) {
  if (columns.empty()) return;
  const int first = columnCount();
  beginInsertColumns(QModelIndex(), first, first + static_cast<int>(columns.size()) - 1);
  columns_.insert(columns_.end(), columns.begin(), columns.end());
  endInsertColumns();
}

void ScreeningResultModel::AppendRows(std::vector<ScreeningResultRow> rows) {
  if (rows.empty()) return;
  const int first = rowCount();
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
  rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
               std::make_move_iterator(rows.end()));
  endInsertRows();
}

void ScreeningResultModel::RemoveRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  // From the last, so the indexes still to go stay valid.
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (*it < 0 || *it >= rowCount()) continue;
    beginRemoveRows(QModelIndex(), *it, *it);
    rows_.erase(rows_.begin() + *it);
    endRemoveRows();
  }
}

bool ScreeningResultModel::SortByColumn(int column) {
  if (column <= 0 || column >= columnCount() || column == kSpacerColumn) return false;
  const int32_t kind = columns_[static_cast<size_t>(column)].sortKind;
  sortColumn_ = column;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  const std::vector<size_t> order = SortedRowOrder(rows_, column - 1, kind);
  std::vector<ScreeningResultRow> sorted;
  sorted.reserve(rows_.size());
  std::vector<int> newPlace(rows_.size());
  for (size_t i = 0; i < order.size(); ++i) {
    newPlace[order[i]] = static_cast<int>(i);
    sorted.push_back(std::move(rows_[order[i]]));
  }
  rows_ = std::move(sorted);
  QModelIndexList after;
  for (const QModelIndex& index : before) {
    after << this->index(newPlace[static_cast<size_t>(index.row())], index.column());
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  return true;
}
