// How the lists look and take the mouse: grid lines, the technical list's
// header and hidden width column, the check lists' order, the result list's
// least column widths.

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>

#include "gui_test_program.h"
#include "screening/technical_list_view.h"
#include "widgets/check_list_box.h"
#include "widgets/grid_line_delegate.h"

namespace {

constexpr char kCodeFile[] =
    "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"
    "1332\tNissui\tTSE\t1\t100\t-1\t0\t1\r\n";

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton, buttons,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

}  // namespace

class ListLookTest : public QObject {
  Q_OBJECT

 private slots:
  void theCodePagesListsDrawGridLines() {
    TestProgram program;
    program.dir.Write("Code.txt", kCodeFile);
    program.Start();
    program.window->findChild<QTabWidget*>("PageControl")->setCurrentIndex(0);
    program.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.window.get()));
    auto* list = Control<QTreeView>(*program.window, "ListViewCode");
    const QImage image = list->viewport()->grab().toImage();
    const QColor line = list->palette().color(QPalette::Midlight);
    // Below the first row, in the check-image column and in a text column.
    for (int column : {0, 2}) {
      const QRect cell = list->visualRect(list->model()->index(0, column));
      QCOMPARE(image.pixelColor(cell.center().x(), cell.bottom()).rgb(), line.rgb());
      QCOMPARE(image.pixelColor(cell.right(), cell.center().y()).rgb(), line.rgb());
    }
    // The price list draws them with the same delegate.
    QVERIFY(qobject_cast<GridLineDelegate*>(
        Control<QTreeView>(*program.window, "ListViewPast")->itemDelegate()));
  }

  void theKindHeaderIsCentred() {
    TestProgram program;
    program.Start();
    auto* tech = Control<QTreeView>(*program.window, "ListViewTech");
    QCOMPARE(
        tech->model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
        Qt::Alignment(Qt::AlignCenter));
  }

  // The divider at the hidden width column's left edge widens that column,
  // not the one before it; once it is wide, the divider is the usual one.
  void theHiddenWidthColumnIsWidenedByADragAtItsLeftEdge() {
    TestProgram program;
    program.Start();
    program.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.window.get()));
    auto* tech = Control<TechnicalListView>(*program.window, "ListViewTech");
    QHeaderView* header = tech->header();
    const int column = TechnicalListView::kWidthColumn;
    QCOMPARE(header->sectionSize(column), 0);
    const int before = header->sectionSize(column - 1);
    const int edge = header->sectionViewportPosition(column);
    const int y = header->height() / 2;
    QWidget* viewport = header->viewport();
    SendMouse(viewport, QEvent::MouseButtonPress, QPoint(edge, y), Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseMove, QPoint(edge + 20, y), Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseMove, QPoint(edge + 40, y), Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseButtonRelease, QPoint(edge + 40, y), Qt::NoButton);
    QCOMPARE(header->sectionSize(column), 40);
    QCOMPARE(header->sectionSize(column - 1), before);
  }

  // Over the whole band where a press takes the hidden column, the pointer
  // shows that a drag resizes; beyond it, it does not.
  void theHiddenWidthColumnsGripShowsTheSplitCursor() {
    TestProgram program;
    program.Start();
    program.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.window.get()));
    QHeaderView* header = Control<TechnicalListView>(*program.window, "ListViewTech")->header();
    const int column = TechnicalListView::kWidthColumn;
    QCOMPARE(header->sectionSize(column), 0);
    const int edge = header->sectionViewportPosition(column);
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    const int y = header->height() / 2;
    QWidget* viewport = header->viewport();
    const auto cursorAt = [&](int x) {
      SendMouse(viewport, QEvent::MouseMove, QPoint(x, y), Qt::NoButton);
      return viewport->cursor().shape();
    };
    for (int x = edge - margin; x <= edge + margin; ++x) {
      QVERIFY2(cursorAt(x) == Qt::SplitHCursor, qPrintable(QStringLiteral("at %1").arg(x - edge)));
    }
    QVERIFY(cursorAt(edge + margin + 10) != Qt::SplitHCursor);
    QVERIFY(cursorAt(edge - 40) != Qt::SplitHCursor);
    // Found and dragged, it is an ordinary column.
    SendMouse(viewport, QEvent::MouseButtonPress, QPoint(edge + 1, y), Qt::LeftButton);
    SendMouse(viewport, QEvent::MouseMove, QPoint(edge + 30, y), Qt::LeftButton);
    QCOMPARE(viewport->cursor().shape(), Qt::SplitHCursor);
    SendMouse(viewport, QEvent::MouseButtonRelease, QPoint(edge + 30, y), Qt::NoButton);
    QCOMPARE(header->sectionSize(column), 30);
  }

  void theCheckListsFillColumnByColumn() {
    TestProgram program;
    program.Start();
    program.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.window.get()));
    auto* sectors = Control<CheckListBox>(*program.window, "CheckListBoxTypeA");
    sectors->resize(700, 5 * (sectors->fontMetrics().height() + 2) + 2);
    const QRect first = sectors->visualItemRect(sectors->item(0));
    const QRect second = sectors->visualItemRect(sectors->item(1));
    QCOMPARE(second.left(), first.left());
    QVERIFY(second.top() > first.top());
  }

  void theResultListKeepsItsLeastColumnWidths_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("kept");
    QTest::newRow("sell loan") << 6 << 0 << 2;
    QTest::newRow("buy loan") << 12 << 1 << 2;
    QTest::newRow("unit ratio") << 13 << 20 << 48;
    QTest::newRow("unit ratio wide enough") << 13 << 60 << 60;
    QTest::newRow("volume, no least width") << 5 << 1 << 1;
  }
  void theResultListKeepsItsLeastColumnWidths() {
    QFETCH(int, column);
    QFETCH(int, asked);
    QFETCH(int, kept);
    TestProgram program;
    program.Start();
    QHeaderView* header = Control<QTreeView>(*program.window, "ListViewScrn")->header();
    header->resizeSection(column, asked);
    QCOMPARE(header->sectionSize(column), kept);
  }

  void aStoredUnitRatioWidthBelowItsLeastIsWidened() {
    TestProgram program;
    program.dir.Write("Dyadmark.ini", "[FrameS]\r\nScrClm13=10\r\nScrClm06=0\r\n");
    program.Start();
    QHeaderView* header = Control<QTreeView>(*program.window, "ListViewScrn")->header();
    QCOMPARE(header->sectionSize(13), 48);
    QCOMPARE(header->sectionSize(6), 2);
  }
};

QTEST_MAIN(ListLookTest)
#include "gui_list_look_qtest.moc"
