// With the default column widths every number and date the lists show fits
// whole in its column, and the code list's default columns fit whole in its
// pane, in the program's font; a width the user stored stays.

#include <QApplication>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>
#include <cmath>

#include "gui_test_program.h"
#include "widgets/program_font.h"

namespace {

// The width a text needs in a column of `list`: the item views draw a text
// inside a margin of PM_FocusFrameHMargin + 1 on each side and elide what
// does not fit, fractions of a pixel counted.
int NeededWidth(const QTreeView& list, const QString& text) {
  const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
  const qreal advance = QFontMetricsF(list.font()).horizontalAdvance(text);
  return static_cast<int>(std::floor(advance)) + 1 + 2 * margin;
}

struct ColumnText {
  const char* list;
  int column;
  const char16_t* text;
};

// The widest texts of the sample directory's numbers and dates.
constexpr ColumnText kTexts[] = {
    {"ListViewPast", 1, u"2024/06/28"},
    {"ListViewPast", 2, u"99999"},
    {"ListViewPast", 5, u"99999"},
    {"ListViewPast", 6, u"1234567"},
    {"ListViewCode", 4, u"1000"},
    {"ListViewCode", 5, u"1234567"},
    {"ListViewScrn", 4, u"1000"},
    {"ListViewScrn", 5, u"123456"},
    {"ListViewScrn", 10, u"1000"},
    {"ListViewScrn", 11, u"123456"},
    {"ListViewScrn", 13, u"10 : 1"},
    {"ListViewTech", 3, u"   1 ～ 1200"},
    {"ListViewTech", 4, u" 0.900000 ～ 1.000000"},
};

// More codes than the list shows at once, so that it has its vertical scroll
// bar, as with the sample's table.
std::string ManyCodes() {
  std::string file;
  for (int code = 9101; code <= 9160; ++code) {
    file += std::to_string(code) + "\tSample\tTSE\t1\t100\t121773\t1\t0\r\n";
  }
  return file;
}

}  // namespace

class ListTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallUiFonts(*qApp); }

  void numbersAndDatesFitWholeWithTheDefaultWidths_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    for (const ColumnText& c : kTexts) {
      const QString text = QString::fromUtf16(c.text);
      QTest::newRow(qPrintable(QStringLiteral("%1 %2 \"%3\"").arg(c.list).arg(c.column).arg(text)))
          << QString::fromLatin1(c.list) << c.column << text;
    }
  }
  void numbersAndDatesFitWholeWithTheDefaultWidths() {
    QFETCH(QString, list);
    QFETCH(int, column);
    QFETCH(QString, text);
    TestProgram program;
    program.Start();
    program.window->show();
    const auto* view = program.window->findChild<QTreeView*>(list);
    QVERIFY(view);
    QVERIFY2(NeededWidth(*view, text) <= view->columnWidth(column),
             qPrintable(QStringLiteral("needs %1, has %2")
                            .arg(NeededWidth(*view, text))
                            .arg(view->columnWidth(column))));
  }

  // At the default window size the code list shows every default column
  // whole, with its vertical scroll bar; the price list takes the rest.
  void theCodeListsDefaultColumnsLieWholeInItsPane() {
    TestProgram program;
    program.dir.Write("Code.txt", ManyCodes());
    program.Start();
    program.window->findChild<QTabWidget*>("PageControl")->setCurrentIndex(0);
    program.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.window.get()));
    QCOMPARE(program.window->size(), QSize(800, 600));
    auto* list = Control<QTreeView>(*program.window, "ListViewCode");
    QTRY_VERIFY(list->verticalScrollBar()->isVisible());
    const QHeaderView* header = list->header();
    QCOMPARE(header->offset(), 0);
    for (int column = 0; column < header->count(); ++column) {
      const int right = header->sectionViewportPosition(column) + header->sectionSize(column);
      QVERIFY2(right <= list->viewport()->width(),
               qPrintable(QStringLiteral("column %1 ends at %2, the pane shows %3")
                              .arg(column)
                              .arg(right)
                              .arg(list->viewport()->width())));
    }
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
    const auto* splitter = Control<QSplitter>(*program.window, "SplitterCodeB");
    const QWidget* prices = Control<QWidget>(*program.window, "ListViewPast");
    QVERIFY(prices->width() > 0);
    QCOMPARE(list->width() + splitter->handleWidth() + prices->width(), splitter->width());
  }

  void aStoredWidthIsKeptAsStored() {
    TestProgram program;
    program.dir.Write("Dyadmark.ini",
                      "[FrameC]\r\nSplitterB=300\r\nPastClm1=40\r\n"
                      "[FrameS]\r\nScrClm04=30\r\nTecClm4=120\r\n");
    program.Start();
    program.window->findChild<QTabWidget*>("PageControl")->setCurrentIndex(0);
    program.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(program.window.get()));
    QCOMPARE(Control<QTreeView>(*program.window, "ListViewCode")->width(), 300);
    QCOMPARE(Control<QTreeView>(*program.window, "ListViewPast")->columnWidth(1), 40);
    QCOMPARE(Control<QTreeView>(*program.window, "ListViewScrn")->columnWidth(4), 30);
    QCOMPARE(Control<QTreeView>(*program.window, "ListViewTech")->columnWidth(4), 120);
  }
};

QTEST_MAIN(ListTextsTest)
#include "gui_list_texts_qtest.moc"
