#include "screening/screening_result_model.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

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

QModelIndex ScreeningResultModel::index(int row, int column, const QModelIndex& parent) const {
  if (parent.isValid() || row < 0 || column < 0 || static_cast<size_t>(row) >= rows_.Count() ||
      static_cast<size_t>(column) >= columns_.size()) {
    return {};
  }
  return createIndex(row, column);
}

Qt::ItemFlags ScreeningResultModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

int ScreeningResultModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.Count());
}

int ScreeningResultModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ScreeningResultModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    if (index.column() == 0) return QString();
    return QFromCp932(SubItem(index.row(), index.column() - 1));
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
  if (rows_.Count() > 0) {
    beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
    rows_.Clear();
    endRemoveRows();
  } else {
    rows_.Clear();
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

void ScreeningResultModel::AppendRows(ResultRowBatch batch) {
  if (batch.rows.empty()) return;
  if (rows_.Count() + batch.rows.size() > static_cast<size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("more result rows than a list can show");
  }
  const int first = rowCount();
  const int last = first + static_cast<int>(batch.rows.size()) - 1;
  // Checked before the view hears of new rows.
  rows_.CheckBatch(batch);
  beginInsertRows(QModelIndex(), first, last);
  rows_.Append(std::move(batch));
  endInsertRows();
}

void ScreeningResultModel::AppendRows(std::vector<ScreeningResultRow> rows) {
  if (rows.empty()) return;
  const int first = rowCount();
  beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
  rows_.AppendTexts(std::move(rows));
  endInsertRows();
}

void ScreeningResultModel::RemoveRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(),
                            [this](int row) { return row < 0 || row >= rowCount(); }),
             rows.end());
  // A run of neighbouring rows at a time, from the last, so that the indexes
  // still to go stay valid and a selection of every row goes at once.
  size_t end = rows.size();
  while (end > 0) {
    size_t begin = end - 1;
    while (begin > 0 && rows[begin - 1] == rows[begin] - 1) --begin;
    beginRemoveRows(QModelIndex(), rows[begin], rows[end - 1]);
    rows_.Erase(static_cast<size_t>(rows[begin]), static_cast<size_t>(rows[end - 1]) + 1);
    endRemoveRows();
    end = begin;
  }
}

bool ScreeningResultModel::SortByColumn(int column) {
  if (column <= 0 || column >= columnCount() || column == kSpacerColumn) return false;
  const int32_t kind = columns_[static_cast<size_t>(column)].sortKind;
  sortColumn_ = column;
  const std::vector<uint32_t> order = rows_.SortedOrder(column - 1, kind);
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  rows_.Reorder(order);
  std::vector<int> newPlace(order.size());
  for (size_t i = 0; i < order.size(); ++i) newPlace[order[i]] = static_cast<int>(i);
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) {
    after << this->index(newPlace[static_cast<size_t>(index.row())], index.column());
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  return true;
}
