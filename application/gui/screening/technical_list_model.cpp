#include "screening/technical_list_model.h"

#include "widgets/check_box_images.h"
#include "widgets/qt_cp932.h"

TechnicalListModel::TechnicalListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TechnicalListModel::SetRows(std::vector<TechnicalCondition> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int TechnicalListModel::Append(const TechnicalCondition& row) {
  const int index = static_cast<int>(rows_.size());
  beginInsertRows(QModelIndex(), index, index);
  rows_.push_back(row);
  endInsertRows();
  return index;
}

void TechnicalListModel::Update(int index, const TechnicalCondition& row) {
  if (index < 0 || index >= rowCount()) return;
  TechnicalCondition& target = rows_[static_cast<size_t>(index)];
  target.kind = row.kind;
  target.period = row.period;
  target.range = row.range;
  target.resultShown = row.resultShown;
  target.resultCaption = row.resultCaption;
  target.resultWidth = row.resultWidth;
  if (row.resultShown) target.sortKind = row.sortKind;
  emit dataChanged(this->index(index, 0), this->index(index, kColumnCount - 1));
}

void TechnicalListModel::Remove(int index) {
  if (index < 0 || index >= rowCount()) return;
  beginRemoveRows(QModelIndex(), index, index);
  rows_.erase(rows_.begin() + index);
  endRemoveRows();
}

void TechnicalListModel::SetCaption(int index, const std::string& caption) {
  if (index < 0 || index >= rowCount()) return;
  rows_[static_cast<size_t>(index)].caption = caption;
  emit dataChanged(this->index(index, 0), this->index(index, 0), {Qt::DisplayRole});
}

bool TechnicalListModel::MoveRow(int from, int target) {
  const int count = rowCount();
  if (from < 0 || from >= count || target < 0 || target >= count || from == target) return false;
  beginMoveRows(QModelIndex(), from, from, QModelIndex(), target > from ? target + 1 : target);
  TechnicalCondition row = std::move(rows_[static_cast<size_t>(from)]);
  row.caption.clear();
  rows_.erase(rows_.begin() + from);
  rows_.insert(rows_.begin() + target, std::move(row));
  endMoveRows();
  return true;
}

int TechnicalListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TechnicalListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant TechnicalListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TechnicalCondition& row = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::CheckStateRole:
      if (index.column() == 0) return row.check != 0 ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::DecorationRole:
      if (index.column() == 4 && images_ != nullptr) return images_->Image(row.resultShown ? 1 : 0);
      return {};
    case Qt::TextAlignmentRole:
      if (index.column() == 1) return int(Qt::AlignCenter);
      return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::DisplayRole:
      switch (index.column()) {
        case 0:
          return QFromCp932(row.caption);
        case 1:
          return QFromCp932(row.kind);
        case 2:
          return QFromCp932(row.period);
        case 3:
          return QFromCp932(row.range);
        case 4:
          return QFromCp932(row.resultCaption);
        case 5:
          return QFromCp932(row.resultWidth);
        default:
          return {};
      }
    default:
      return {};
  }
}

bool TechnicalListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole || !MayEdit()) {
    return false;
  }
  rows_[static_cast<size_t>(index.row())].check =
      value.value<Qt::CheckState>() == Qt::Checked ? 1 : 0;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags TechnicalListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
  if (index.column() == 0 && MayEdit()) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant TechnicalListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::TextAlignmentRole && section == 1) {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  }
  if (role != Qt::DisplayRole) return {};
  static const char16_t* const captions[kColumnCount] = {
      u"", u"種別", u"    期間", u"        指定値", u"  結果表示", u"幅"};
  if (section < 0 || section >= kColumnCount) return {};
  return QString::fromUtf16(captions[section]);
}
