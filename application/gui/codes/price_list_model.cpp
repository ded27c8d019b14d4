#include "codes/price_list_model.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "widgets/qt_cp932.h"

namespace {

// "日付", "終値", "始値", "高値", "安値", "出来高"
constexpr const char* kHeaders[PriceListModel::kColumnCount] = {
    "",
    "\x93\xFA\x95\x74",
    "\x8F\x49\x92\x6C",
    "\x8E\x6E\x92\x6C",
    "\x8D\x82\x92\x6C",
    "\x88\xC0\x92\x6C",
    "\x8F\x6F\x97\x88\x8D\x82",
};

// The date centred, the numbers right-aligned.
QVariant ColumnAlignment(int column) {
  if (column == 0) return QVariant();
  return QVariant::fromValue((column == 1 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter);
}

const std::shared_ptr<const PriceFileLines>& NoLines() {
  static const auto none = std::make_shared<const PriceFileLines>();
  return none;
}

}  // namespace

PriceListModel::PriceListModel(QObject* parent) : QAbstractTableModel(parent), lines_(NoLines()) {}

void PriceListModel::Show(std::shared_ptr<const PriceFileLines> lines) {
  beginResetModel();
  lines_ = lines ? std::move(lines) : NoLines();
  endResetModel();
}

void PriceListModel::Clear() {
  if (lines_->Count() == 0) return;
  Show(nullptr);
}

int PriceListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  // A view counts its rows in an int; lines beyond are not shown.
  return static_cast<int>(std::min<size_t>(lines_->Count(), INT_MAX));
}

int PriceListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant PriceListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() == 0 || index.row() >= rowCount()) return QVariant();
  if (role == Qt::TextAlignmentRole) return ColumnAlignment(index.column());
  if (role != Qt::DisplayRole && role != Qt::EditRole) return QVariant();
  const PriceLineFieldViews fields = lines_->Fields(static_cast<size_t>(index.row()));
  return QFromCp932(fields[static_cast<size_t>(index.column() - 1)]);
}

QVariant PriceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return QVariant();
  if (role == Qt::TextAlignmentRole) return ColumnAlignment(section);
  if (role != Qt::DisplayRole) return QVariant();
  return QFromCp932(kHeaders[section]);
}
