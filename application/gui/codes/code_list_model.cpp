#include "codes/code_list_model.h"

#include <QMetaObject>
#include <string>

#include "data/sector_names.h"
#include "widgets/qt_cp932.h"

namespace {

// "銘柄", "取引所", "業種", "単元", "平均出来高", "貸"
constexpr const char* kHeaders[CodeListModel::kColumnCount] = {
    "",
    "\x96\xC1\x95\xBF",
    "\x8E\xE6\x88\xF8\x8F\x8A",
    "\x8B\xC6\x8E\xED",
    "\x92\x50\x8C\xB3",
    "\x95\xBD\x8B\xCF\x8F\x6F\x97\x88\x8D\x82",
    "\x91\xDD",
};
constexpr char kLoanMark[] = "\x81\x9B";  // "○"

// Unit and volume right-aligned, the loan mark centred.
QVariant ColumnAlignment(int column) {
  switch (column) {
    case 4:
    case 5:
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case 6:
      return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
    default:
      return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  }
}

}  // namespace

CodeListModel::CodeListModel(const CodeTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), toldCount_(table.Count()) {}

void CodeListModel::Refresh() {
  beginResetModel();
  toldCount_ = table_.Count();
  refreshPending_ = false;
  endResetModel();
}

void CodeListModel::RowChanged(int row) {
  if (row < 0 || row >= table_.Count()) return;
  emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void CodeListModel::NoticeSizeChange() const {
  if (refreshPending_ || toldCount_ == table_.Count()) return;
  refreshPending_ = true;
  auto* self = const_cast<CodeListModel*>(this);
  QMetaObject::invokeMethod(
      self, [self] { self->Refresh(); }, Qt::QueuedConnection);
}

int CodeListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  NoticeSizeChange();
  return table_.Count();
}

int CodeListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant CodeListModel::data(const QModelIndex& index, int role) const {
  NoticeSizeChange();
  if (!index.isValid() || index.row() >= table_.Count()) return QVariant();
  const TCodeData& r = table_.DataAt(index.row());
  if (role == kCheckImageRole) return index.column() == 0 ? QVariant(r.Ng * 2) : QVariant();
  if (role == Qt::TextAlignmentRole) return ColumnAlignment(index.column());
  if (role != Qt::DisplayRole) return QVariant();
  switch (index.column()) {
    case 1:
      return QFromCp932(table_.CodeAt(index.row()) + " " + r.Name);
    case 2:
      return QFromCp932(r.Market);
    case 3:
      return QFromCp932(TypeName(r.Type));
    case 4:
      return QString::number(r.Unit);
    case 5:
      return r.Vol < 0 ? QStringLiteral("-") : QString::number(r.Vol);
    case 6:
      return r.Loan != 0 ? QFromCp932(kLoanMark) : QString();
    default:
      return QVariant();
  }
}

QVariant CodeListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return QVariant();
  if (role == Qt::TextAlignmentRole) return ColumnAlignment(section);
  if (role != Qt::DisplayRole) return QVariant();
  return QFromCp932(kHeaders[section]);
}
