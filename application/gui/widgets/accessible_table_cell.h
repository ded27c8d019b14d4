#pragma once
// One cell of a list announced as a table (accessible_table.h), known by its
// place: a row and a column of the list, or the header cell of a column. It
// reads what the list shows there each time it is asked, so it follows
// sorting, deleted rows and changed columns.

#include <QAccessible>
#include <QModelIndex>
#include <QPointer>

class QTreeView;

class AccessibleTableCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  // The row of a column's header cell.
  static constexpr int kHeaderRow = -1;

  AccessibleTableCell(QTreeView* list, int row, int column);

  bool IsOf(const QTreeView* list) const { return list_ == list; }

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  bool isSelected() const override;
  QList<QAccessibleInterface*> columnHeaderCells() const override;
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

 private:
  bool IsHeader() const { return row_ == kHeaderRow; }
  QModelIndex Index() const;

  QPointer<QTreeView> list_;
  int row_;
  int column_;
};
