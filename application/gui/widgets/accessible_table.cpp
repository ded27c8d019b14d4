#include "widgets/accessible_table.h"

#include <QAccessibleWidget>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>
#include <map>
#include <utility>

#include "widgets/accessible_table_cell.h"

namespace {

// Marks a list announced as a table.
constexpr char kAnnouncedAsTable[] = "accessibleAsTable";

// A list announced as a table. Its children are the header cells, one a
// column, then the cells row by row: the numbering the list itself uses for
// the children in the focus and selection events it sends.
class AccessibleTable : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit AccessibleTable(QTreeView* list) : QAccessibleWidget(list, QAccessible::Table) {}
  ~AccessibleTable() override {
    for (const auto& [place, id] : cells_) QAccessible::deleteAccessibleInterface(id);
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  int childCount() const override { return (rowCount() + 1) * columnCount(); }

  QAccessibleInterface* child(int index) const override {
    const int columns = columnCount();
    if (index < 0 || index >= childCount()) return nullptr;
    return Cell(index / columns - 1, index % columns);
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto* cell = dynamic_cast<const AccessibleTableCell*>(child);
    if (cell == nullptr || !cell->IsOf(List()) || !cell->isValid()) return -1;
    // A header cell's row is kHeaderRow, the one before the first.
    return (cell->rowIndex() + 1) * columnCount() + cell->columnIndex();
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint global(x, y);
    const QWidget* headerArea = List()->header()->viewport();
    const QPoint inHeader = headerArea->mapFromGlobal(global);
    if (headerArea->isVisible() && headerArea->rect().contains(inHeader)) {
      const int column = List()->header()->logicalIndexAt(inHeader.x());
      return column >= 0 ? Cell(AccessibleTableCell::kHeaderRow, column) : nullptr;
    }
    const QPoint inRows = List()->viewport()->mapFromGlobal(global);
    if (!List()->viewport()->rect().contains(inRows)) return nullptr;
    const QModelIndex index = List()->indexAt(inRows);
    if (!index.isValid() || index.parent() != List()->rootIndex()) return nullptr;
    return Cell(index.row(), index.column());
  }

  QAccessibleInterface* focusChild() const override {
    const QModelIndex current =
        Selection() != nullptr ? Selection()->currentIndex() : QModelIndex();
    if (List()->hasFocus() && current.isValid() && current.parent() == List()->rootIndex())
      return Cell(current.row(), current.column());
    return QAccessibleWidget::focusChild();
  }

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }

  QAccessibleInterface* cellAt(int row, int column) const override {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
    return Cell(row, column);
  }

  int rowCount() const override {
    return Model() != nullptr ? Model()->rowCount(List()->rootIndex()) : 0;
  }
  int columnCount() const override {
    return Model() != nullptr ? Model()->columnCount(List()->rootIndex()) : 0;
  }
  QString columnDescription(int column) const override {
    return Model() != nullptr ? Model()->headerData(column, Qt::Horizontal).toString() : QString();
  }
  QString rowDescription(int) const override { return {}; }

  int selectedCellCount() const override { return static_cast<int>(SelectedIndexes().size()); }
  QList<QAccessibleInterface*> selectedCells() const override {
    QList<QAccessibleInterface*> cells;
    for (const QModelIndex& index : SelectedIndexes()) cells << Cell(index.row(), index.column());
    return cells;
  }
  int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
  QList<int> selectedRows() const override {
    if (Selection() == nullptr) return {};
    return Numbers(Selection()->selectedRows(), &QModelIndex::row);
  }
  int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
  QList<int> selectedColumns() const override {
    if (Selection() == nullptr) return {};
    return Numbers(Selection()->selectedColumns(), &QModelIndex::column);
  }
  bool isRowSelected(int row) const override {
    return Selection() != nullptr && Selection()->isRowSelected(row, List()->rootIndex());
  }
  bool isColumnSelected(int column) const override {
    return Selection() != nullptr && Selection()->isColumnSelected(column, List()->rootIndex());
  }

  // A reader selects as the user can: whole rows in a list of whole rows,
  // one row at a time in a list of single selection.
  bool selectRow(int row) override {
    return Select(row, 0, QAbstractItemView::SelectColumns, QItemSelectionModel::Rows);
  }
  bool selectColumn(int column) override {
    return Select(0, column, QAbstractItemView::SelectRows, QItemSelectionModel::Columns);
  }
  bool unselectRow(int row) override { return Deselect(row, 0, QItemSelectionModel::Rows); }
  bool unselectColumn(int column) override {
    return Deselect(0, column, QItemSelectionModel::Columns);
  }

  // Cells are places, so they follow the rows by themselves; those whose
  // place is gone are let go.
  void modelChange(QAccessibleTableModelChangeEvent* event) override {
    if (event->modelChangeType() == QAccessibleTableModelChangeEvent::DataChanged) return;
    for (auto it = cells_.begin(); it != cells_.end();) {
      const QAccessibleInterface* cell = QAccessible::accessibleInterface(it->second);
      if (cell != nullptr && cell->isValid()) {
        ++it;
        continue;
      }
      if (cell != nullptr) QAccessible::deleteAccessibleInterface(it->second);
      it = cells_.erase(it);
    }
  }

 private:
  QTreeView* List() const { return static_cast<QTreeView*>(widget()); }
  QAbstractItemModel* Model() const { return List()->model(); }
  QItemSelectionModel* Selection() const { return List()->selectionModel(); }
  QModelIndexList SelectedIndexes() const {
    return Selection() != nullptr ? Selection()->selectedIndexes() : QModelIndexList();
  }

  // The row or column numbers of `indexes`.
  static QList<int> Numbers(const QModelIndexList& indexes, int (QModelIndex::*number)() const) {
    QList<int> numbers;
    for (const QModelIndex& index : indexes) numbers << (index.*number)();
    return numbers;
  }

  // The cell at a place, made once and kept while its place is there.
  QAccessibleInterface* Cell(int row, int column) const {
    const auto place = std::make_pair(row, column);
    if (const auto known = cells_.find(place); known != cells_.end()) {
      if (QAccessibleInterface* cell = QAccessible::accessibleInterface(known->second)) return cell;
    }
    auto* cell = new AccessibleTableCell(List(), row, column);
    cells_[place] = QAccessible::registerAccessibleInterface(cell);
    return cell;
  }

  bool Select(int row, int column, QAbstractItemView::SelectionBehavior refused,
              QItemSelectionModel::SelectionFlag whole) {
    const QModelIndex index =
        Model() != nullptr ? Model()->index(row, column, List()->rootIndex()) : QModelIndex();
    if (!index.isValid() || Selection() == nullptr ||
        List()->selectionMode() == QAbstractItemView::NoSelection ||
        List()->selectionBehavior() == refused)
      return false;
    const bool single = List()->selectionMode() == QAbstractItemView::SingleSelection;
    Selection()->select(
        index,
        (single ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Select) | whole);
    return true;
  }

  bool Deselect(int row, int column, QItemSelectionModel::SelectionFlag whole) {
    const QModelIndex index =
        Model() != nullptr ? Model()->index(row, column, List()->rootIndex()) : QModelIndex();
    if (!index.isValid() || Selection() == nullptr) return false;
    Selection()->select(index, QItemSelectionModel::Deselect | whole);
    return true;
  }

  // Places (row, column) of the cells made so far, with their ids.
  mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

QAccessibleInterface* TableForMarkedList(const QString&, QObject* object) {
  auto* list = qobject_cast<QTreeView*>(object);
  if (list == nullptr || !list->property(kAnnouncedAsTable).toBool()) return nullptr;
  return new AccessibleTable(list);
}

}  // namespace

void AnnounceAsTable(QTreeView& list) {
  // Once in the factories however many lists are marked.
  QAccessible::removeFactory(&TableForMarkedList);
  QAccessible::installFactory(&TableForMarkedList);
  list.setProperty(kAnnouncedAsTable, true);
  // Qt's tree, if a reader has asked for the list already, is let go; the
  // next question gets the table.
  QAccessibleInterface* known = QAccessible::queryAccessibleInterface(&list);
  if (dynamic_cast<AccessibleTable*>(known) == nullptr && known != nullptr)
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(known));
}
