// Screen readers and scripts from outside see the report-style lists as
// tables: rows and columns as the lists have them, the column captions as
// header cells, each cell's shown text, and the selected rows.

#include <QAccessible>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

#include "gui_test_program.h"
#include "registry/Dm_upairreg.h"
#include "screening/Dm_fscrn.h"
#include "screening/screening_result_list.h"
#include "screening/screening_result_model.h"
#include "widgets/accessible_table.h"
#include "widgets/qt_cp932.h"

namespace {

QAccessibleInterface* AccessibleOf(QWidget* widget) {
  return QAccessible::queryAccessibleInterface(widget);
}

QAccessibleTableInterface* TableOf(QWidget* widget) {
  QAccessibleInterface* accessible = AccessibleOf(widget);
  return accessible != nullptr ? accessible->tableInterface() : nullptr;
}

// What a screen reader reads for the header of `column`: the first header
// cell a cell of that column names.
QString HeaderTextOf(QAccessibleTableInterface& table, int column) {
  QAccessibleInterface* cell = table.cellAt(0, column);
  if (cell == nullptr || cell->tableCellInterface() == nullptr) return QStringLiteral("<no cell>");
  const QList<QAccessibleInterface*> headers = cell->tableCellInterface()->columnHeaderCells();
  if (headers.size() != 1) return QStringLiteral("<%1 headers>").arg(headers.size());
  if (headers[0]->role() != QAccessible::ColumnHeader) return QStringLiteral("<not a header>");
  return headers[0]->text(QAccessible::Name);
}

QString CellText(QAccessibleTableInterface& table, int row, int column) {
  QAccessibleInterface* cell = table.cellAt(row, column);
  return cell != nullptr ? cell->text(QAccessible::Name) : QStringLiteral("<no cell>");
}

// The program with two pairs in its result list, with the sell names, units
// and ratios a run shows, and one result column.
struct ResultList {
  TestProgram p;
  QTreeView* list = nullptr;
  ScreeningResultModel* model = nullptr;

  ResultList() {
    p.Start();
    list = Control<QTreeView>(p.window->FrameScrn(), "ListViewScrn");
    model = qobject_cast<ScreeningResultModel*>(list->model());
    model->AddResultColumns({{Cp932FromQ(QStringLiteral(u"相関係数"))}});
    std::vector<ScreeningResultRow> rows(2);
    rows[0].cells[0] = "1301 Alpha";
    rows[0].cells[3] = "1000";
    rows[0].cells[12] = "3 : 1";
    rows[0].results = {"0.95"};
    rows[1].cells[0] = "1332 Beta";
    rows[1].cells[3] = "100";
    rows[1].cells[12] = "1 : 2";
    rows[1].results = {"0.80"};
    model->AppendRows(std::move(rows));
  }

  QAccessibleInterface& Accessible() const {
    QAccessibleInterface* accessible = AccessibleOf(list);
    if (accessible == nullptr) qFatal("the result list is not accessible");
    return *accessible;
  }
  QAccessibleTableInterface& Table() const {
    QAccessibleTableInterface* table = TableOf(list);
    if (table == nullptr) qFatal("the result list is no table");
    return *table;
  }
};

}  // namespace

class ListTablesTest : public QObject {
  Q_OBJECT

 private slots:
  void theResultListIsATableOfItsRowsAndColumns() {
    ResultList r;
    QAccessibleInterface* accessible = &r.Accessible();
    QCOMPARE(accessible->role(), QAccessible::Table);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral(u"スクリーニング結果"));
    QAccessibleTableInterface* table = accessible->tableInterface();
    QVERIFY(table != nullptr);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->columnCount(), 16);

    const struct {
      int column;
      QString caption;
    } headers[] = {
        {0, QString()},
        {1, QStringLiteral(u"銘柄 （売）")},
        {4, QStringLiteral(u"単元")},
        {13, QStringLiteral(u"単元比")},
        {15, QStringLiteral(u"相関係数")},
    };
    for (const auto& h : headers) {
      QCOMPARE(HeaderTextOf(*table, h.column), h.caption);
      QCOMPARE(table->columnDescription(h.column), h.caption);
    }

    QCOMPARE(CellText(*table, 0, 1), u"1301 Alpha");
    QCOMPARE(CellText(*table, 1, 1), u"1332 Beta");
    QCOMPARE(CellText(*table, 1, 4), u"100");
    QCOMPARE(CellText(*table, 0, 13), u"3 : 1");
    QCOMPARE(CellText(*table, 1, 15), u"0.80");
    QAccessibleInterface* cell = table->cellAt(1, 4);
    QCOMPARE(cell->role(), QAccessible::Cell);
    QCOMPARE(cell->tableCellInterface()->rowIndex(), 1);
    QCOMPARE(cell->tableCellInterface()->columnIndex(), 4);
    QCOMPARE(cell->tableCellInterface()->table(), accessible);
    QCOMPARE(cell->parent(), accessible);
    QVERIFY(table->cellAt(2, 0) == nullptr);
    QVERIFY(table->cellAt(0, 16) == nullptr);
  }

  // The hidden caption column is there, but not shown.
  void theHiddenCaptionColumnIsAnInvisibleCell() {
    ResultList r;
    r.p.window->show();
    QAccessibleInterface* caption = r.Table().cellAt(0, 0);
    QAccessibleInterface* name = r.Table().cellAt(0, 1);
    QVERIFY(caption != nullptr && name != nullptr);
    QVERIFY(caption->state().invisible);
    QVERIFY(!name->state().invisible);
    QVERIFY(!name->rect().isEmpty());
  }

  // Children are the header cells, then the cells row by row, as the list
  // numbers them in the focus and selection events it sends.
  void everyChildIsFoundAgainByItsIndex() {
    ResultList r;
    QAccessibleInterface* accessible = &r.Accessible();
    QCOMPARE(accessible->childCount(), 3 * 16);
    QCOMPARE(accessible->child(3)->role(), QAccessible::ColumnHeader);
    QCOMPARE(accessible->child(3)->text(QAccessible::Name), QStringLiteral(u"業種"));
    QCOMPARE(accessible->child(16 + 1), accessible->tableInterface()->cellAt(0, 1));
    QCOMPARE(accessible->child(2 * 16 + 15)->text(QAccessible::Name), u"0.80");
    for (int i = 0; i < accessible->childCount(); ++i) {
      QAccessibleInterface* child = accessible->child(i);
      QVERIFY(child != nullptr);
      QCOMPARE(accessible->indexOfChild(child), i);
    }
    QVERIFY(accessible->child(3 * 16) == nullptr);
  }

  void theSelectedRowsAreTheListsSelection() {
    ResultList r;
    QAccessibleTableInterface* table = &r.Table();
    QCOMPARE(table->selectedRowCount(), 0);

    r.list->selectionModel()->select(r.model->index(1, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(table->selectedRows(), QList<int>{1});
    QVERIFY(table->isRowSelected(1));
    QVERIFY(!table->isRowSelected(0));
    QVERIFY(table->cellAt(1, 4)->tableCellInterface()->isSelected());
    QVERIFY(table->cellAt(1, 4)->state().selected);
    QVERIFY(!table->cellAt(0, 4)->state().selected);

    // A screen reader selects whole rows, as the user does; several at once.
    QVERIFY(table->selectRow(0));
    QCOMPARE(r.list->selectionModel()->selectedRows().size(), 2);
    QVERIFY(!table->selectColumn(4));
    QVERIFY(table->unselectRow(1));
    QCOMPARE(table->selectedRows(), QList<int>{0});
  }

  // The cells say what the list shows after its rows were deleted or sorted.
  void theCellsFollowTheListsRows() {
    ResultList r;
    QAccessibleTableInterface* table = &r.Table();
    QCOMPARE(CellText(*table, 0, 4), u"1000");
    QCOMPARE(CellText(*table, 1, 15), u"0.80");

    ScreeningResultList& handlers = r.p.window->FrameScrn().ResultList();
    handlers.ListViewScrnColumnClick(4);  // units, ascending
    QCOMPARE(CellText(*table, 0, 4), u"100");
    QCOMPARE(CellText(*table, 0, 1), u"1332 Beta");

    r.list->selectionModel()->select(r.model->index(0, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    handlers.ListViewScrnDeleteKey();
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(CellText(*table, 0, 1), u"1301 Alpha");
    QVERIFY(table->cellAt(1, 1) == nullptr);

    r.model->Clear();
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(table->columnCount(), ScreeningResultModel::kFixedColumns);
  }

  // The list tells of removed rows while a screen reader runs (Qt sends no
  // such events without one, so the test hands the event over itself): the
  // cells of places gone are let go, the others stay.
  void theCellsOfRowsGoneAreLetGo() {
    ResultList r;
    QAccessibleTableInterface* table = &r.Table();
    QAccessibleInterface* kept = table->cellAt(0, 1);
    const QAccessible::Id gone = QAccessible::uniqueId(table->cellAt(1, 1));
    QVERIFY(QAccessible::accessibleInterface(gone) != nullptr);

    r.model->RemoveRows({1});
    QAccessibleTableModelChangeEvent removed(r.list, QAccessibleTableModelChangeEvent::RowsRemoved);
    removed.setFirstRow(1);
    removed.setLastRow(1);
    table->modelChange(&removed);
    QVERIFY(QAccessible::accessibleInterface(gone) == nullptr);
    QCOMPARE(table->cellAt(0, 1), kept);
    QCOMPARE(kept->text(QAccessible::Name), u"1301 Alpha");
  }

  // The program's other report-style lists are tables too, their header
  // cells the captions they show.
  void theOtherReportListsAreTables() {
    TestProgram p;
    p.Start();
    TFormPairReg registry(p.window->ExeDir(), p.window.get());
    const struct {
      const QWidget& root;
      const char* component;
    } lists[] = {
        {*p.window, "ListViewCode"},  {*p.window, "ListViewPast"},  {*p.window, "ListViewTech"},
        {registry, "ListViewRegist"}, {registry, "ListViewRecent"},
    };
    for (const auto& l : lists) {
      auto* list = Control<QTreeView>(l.root, l.component);
      QAccessibleInterface* accessible = AccessibleOf(list);
      QVERIFY2(accessible->role() == QAccessible::Table, l.component);
      QAccessibleTableInterface* table = accessible->tableInterface();
      QVERIFY2(table != nullptr, l.component);
      QAbstractItemModel& model = *list->model();
      QCOMPARE(table->rowCount(), model.rowCount());
      QCOMPARE(table->columnCount(), model.columnCount());
      for (int column = 0; column < model.columnCount(); ++column) {
        QCOMPARE(accessible->child(column)->text(QAccessible::Name),
                 model.headerData(column, Qt::Horizontal).toString());
      }
    }
  }

  // A list that a screen reader already knew as a tree is a table from then on.
  void aListKnownAsATreeTurnsIntoATable() {
    QStandardItemModel model(0, 2);
    model.setHorizontalHeaderLabels({QStringLiteral("Code"), QStringLiteral("Name")});
    model.appendRow(
        {new QStandardItem(QStringLiteral("1301")), new QStandardItem(QStringLiteral("Alpha"))});
    QTreeView list;
    list.setModel(&model);
    list.setAccessibleName(QStringLiteral("Codes"));
    QCOMPARE(AccessibleOf(&list)->role(), QAccessible::Tree);

    AnnounceAsTable(list);
    QAccessibleInterface* accessible = AccessibleOf(&list);
    QCOMPARE(accessible->role(), QAccessible::Table);
    QCOMPARE(accessible->text(QAccessible::Name), u"Codes");
    QAccessibleTableInterface* table = accessible->tableInterface();
    QCOMPARE(HeaderTextOf(*table, 1), u"Name");

    // A cell is a place in the table: a row put in front moves the texts.
    QCOMPARE(CellText(*table, 0, 1), u"Alpha");
    model.insertRow(
        0, {new QStandardItem(QStringLiteral("1332")), new QStandardItem(QStringLiteral("Beta"))});
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(CellText(*table, 0, 1), u"Beta");
    QCOMPARE(CellText(*table, 1, 1), u"Alpha");
    QCOMPARE(accessible->indexOfChild(table->cellAt(1, 1)), 2 * 2 + 1);
  }
};

QTEST_MAIN(ListTablesTest)
#include "gui_list_tables_qtest.moc"
