#include "main/list_row_geometry.h"

#include <QTreeWidget>

ListRowGeometry MeasureReportListRows(const QFont& font) {
  // Two rows of a scratch list in the program's font give the top of the
  // first row and the row pitch.
  QTreeWidget list;
  list.setFont(font);
  list.setRootIsDecorated(false);
  auto* first = new QTreeWidgetItem(&list, QStringList{QStringLiteral("0")});
  auto* second = new QTreeWidgetItem(&list, QStringList{QStringLiteral("1")});
  const QRect r0 = list.visualItemRect(first);
  const QRect r1 = list.visualItemRect(second);
  ListRowGeometry rows;
  rows.top = r0.isValid() ? r0.top() : 0;
  rows.height = r1.top() - r0.top();
  if (rows.height <= 0) rows.height = list.sizeHintForRow(0);
  if (rows.height <= 0) rows.height = list.fontMetrics().height() + 4;
  return rows;
}
