#include "widgets/report_list.h"

#include <QHeaderView>
#include <QTreeView>

#include "widgets/grid_line_delegate.h"

namespace {

constexpr int kNarrowestColumn = 8;

}  // namespace

void SetUpReportHeader(QTreeView& list, bool hideFirstColumn) {
  QHeaderView* header = list.header();
  header->setStretchLastSection(false);
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setMinimumSectionSize(kNarrowestColumn);
  // Hidden only after the header's other settings: changing them later
  // leaves the hidden column's old width in front of the next one.
  if (hideFirstColumn) list.setColumnHidden(0, true);
}

void ShowGridLines(QTreeView& list) { list.setItemDelegate(new GridLineDelegate(&list)); }
