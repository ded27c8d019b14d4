#include "screening/screening_result_list.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeView>
#include <algorithm>

#include "widgets/accessible_table.h"
#include "widgets/grid_line_delegate.h"

namespace {

constexpr int kSellLoanColumn = 6;
constexpr int kBuyLoanColumn = 12;
constexpr int kUnitRatioColumn = 13;

int LeastColumnWidth(int column) {
  if (column == kSellLoanColumn || column == kBuyLoanColumn) return 2;
  if (column == kUnitRatioColumn) return 48;
  return 0;
}

}  // namespace

ScreeningResultList::ScreeningResultList(QTreeView* view)
    : QObject(view), view_(view), model_(new ScreeningResultModel(this)) {
  view_->setModel(model_);
  view_->setItemDelegate(new GridLineDelegate(view_));
  view_->setRootIsDecorated(false);
  view_->setItemsExpandable(false);
  view_->setUniformRowHeights(true);
  view_->setAllColumnsShowFocus(true);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setFocusPolicy(Qt::ClickFocus);
  view_->setSortingEnabled(false);
  AnnounceAsTable(*view_);
  view_->setAccessibleName(QStringLiteral(u"スクリーニング結果"));
  QHeaderView* header = view_->header();
  header->setAccessibleName(QStringLiteral(u"スクリーニング結果の列見出し"));
  header->setSectionsClickable(true);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->setMinimumSectionSize(0);
  ApplyColumnWidths(0, model_->columnCount() - 1);

  // The margin-loan marks and the unit ratio keep a least width, however the
  // user drags them or the settings file stores them.
  connect(header, &QHeaderView::sectionResized, this, [header](int column, int, int size) {
    const int least = LeastColumnWidth(column);
    if (size < least) header->resizeSection(column, least);
  });
  connect(header, &QHeaderView::sectionClicked, this,
          [this](int column) { ListViewScrnColumnClick(column); });
  connect(view_, &QAbstractItemView::doubleClicked, this, [this] { ListViewScrnDblClick(); });
  connect(model_, &QAbstractItemModel::columnsInserted, this,
          [this](const QModelIndex&, int first, int last) { ApplyColumnWidths(first, last); });
  view_->installEventFilter(this);
}

void ScreeningResultList::ApplyColumnWidths(int first, int last) {
  QHeaderView* header = view_->header();
  for (int c = first; c <= last && c < model_->columnCount(); ++c) {
    header->resizeSection(c, model_->Columns()[static_cast<size_t>(c)].width);
  }
  // The caption column stays hidden and the spacer keeps its width.
  if (first <= ScreeningResultModel::kSpacerColumn) {
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->setSectionResizeMode(ScreeningResultModel::kSpacerColumn, QHeaderView::Fixed);
  }
}

void ScreeningResultList::ListViewScrnColumnClick(int column) {
  if (!model_->SortByColumn(column)) return;
  view_->header()->setSortIndicatorShown(false);
}

void ScreeningResultList::ListViewScrnDeleteKey() {
  // The count of the rows left is shown even when no row was selected.
  std::vector<int> rows;
  for (const QModelIndex& index : view_->selectionModel()->selectedRows()) {
    rows.push_back(index.row());
  }
  if (!rows.empty()) model_->RemoveRows(std::move(rows));
  emit rowsDeleted(model_->rowCount());
}

void ScreeningResultList::ListViewScrnDblClick() {
  if (runActive_ && runActive_()) return;
  const QModelIndexList selected = view_->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  int first = selected.front().row();
  for (const QModelIndex& index : selected) first = std::min(first, index.row());
  emit pairOpenRequested(PairOpeningOf(model_->Row(first)));
}

bool ScreeningResultList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    ListViewScrnDeleteKey();
    return true;
  }
  return QObject::eventFilter(watched, event);
}
