// The code page's price list: its rows show a price file's lines as the list
// always showed them, and export as they always did; a large (damaged or
// foreign) file is read while the window goes on answering, and a newer
// double click wins over an older one.

#include <QAccessible>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QTreeWidgetItem>
#include <string>
#include <vector>

#include "codes/Dm_fcode.h"
#include "data/price_files.h"
#include "file_dialog_answer.h"
#include "gui_test_program.h"
#include "main/status_panel_bar.h"
#include "output/list_exports.h"
#include "vcl/cp932_text.h"
#include "widgets/tree_item_bytes.h"

namespace {

using namespace std::string_literals;

constexpr char kCodeFile[] =
    "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"
    "1332\tNissui\tTSE\t1\t100\t-1\t0\t1\r\n"
    "7203\tToyota\tTSE\t17\t100\t-1\t1\t0\r\n";

// A hand-edited file with every odd line a price file may hold: short lines,
// missing and extra fields, empty lines, CR and LF alone as line ends, a zero
// byte, two-byte characters ("日付", "髙") and a last line without an end.
const std::string kOddFile =
    "2024/06/28\t2500\t2490\t2510\t2480\t123400\r\n"
    "2024/06/27\t2490\r\n"
    "short\r\n"
    "\r\n"
    "1\t2\t3\t4\t5\t6\t7\t8\r"
    "cr\tonly\n"
    "\x93\xFA\x95\x74\t\xEE\xE0\tzero\0byte\t\t\t\r\r\n"
    "\t\t\t\t\t\n"
    "no end"s;

// `count` lines of prices, more than a price file's normal size.
std::string LargeFile(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += FormatPriceLine(
        {2024 - i / 240, 1 + i / 20 % 12, 1 + i % 20, 1000 + i % 900, 1000, 1100, 900, 100000 + i});
    text += "\r\n";
  }
  return text;
}

struct Page : TestProgram {
  void Show() {
    dir.Write("Code.txt", kCodeFile);
    Start();
    Pages()->setCurrentIndex(0);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }
  QTabWidget* Pages() const { return Control<QTabWidget>(*window, "PageControl"); }
  QTreeView* Prices() const { return Control<QTreeView>(*window, "ListViewPast"); }
  int Rows() const { return Prices()->model()->rowCount(); }
  QString Text(int row, int column) const {
    return Prices()->model()->index(row, column).data().toString();
  }
  // Selects the code's row and runs the double click's handler, without a
  // turn of the event loop.
  void Open(int row) const {
    auto* codes = Control<QTreeView>(*window, "ListViewCode");
    codes->selectionModel()->setCurrentIndex(
        codes->model()->index(row, 1),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->FrameCode().ListViewCodeDblClick();
  }
  QString Panel2() const { return window->StatusBar().PanelText(2); }
};

// The rows the list used to hold: one tree item per line, each field set
// as the cell's bytes, the date centred and the numbers right-aligned.
std::vector<std::unique_ptr<QTreeWidgetItem>> OldRows(const std::string& file) {
  std::vector<std::unique_ptr<QTreeWidgetItem>> items;
  for (const std::string& line : vcl::SplitLines(file)) {
    const PriceLineFields fields = SplitFields(line);
    const std::string* const cells[] = {&fields.date, &fields.close, &fields.open,
                                        &fields.high, &fields.low,   &fields.volume};
    auto item = std::make_unique<QTreeWidgetItem>();
    for (int i = 0; i < 6; ++i) {
      SetCellBytes(*item, i + 1, *cells[i]);
      item->setTextAlignment(i + 1,
                             (i == 0 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter);
    }
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace

class PriceListTest : public QObject {
  Q_OBJECT

 private slots:
  void theRowsAreTheOldRowsInFileOrderAndExportAsThey() {
    Page p;
    p.Show();
    p.dir.Write("1301.txt", kOddFile);
    p.Open(0);
    const auto old = OldRows(kOddFile);
    QCOMPARE(p.Rows(), 10);
    QCOMPARE(static_cast<size_t>(p.Rows()), old.size());
    QCOMPARE(p.Panel2(), u"10");
    const QAbstractItemModel& model = *p.Prices()->model();
    const auto compareCells = [&] {
      for (int row = 0; row < p.Rows(); ++row) {
        for (int column = 0; column < 7; ++column) {
          const QModelIndex index = model.index(row, column);
          QCOMPARE(index.data(), old[row]->data(column, Qt::DisplayRole));
          QCOMPARE(index.data(Qt::TextAlignmentRole).toInt(),
                   old[row]->data(column, Qt::TextAlignmentRole).toInt());
        }
      }
    };
    compareCells();
    QCOMPARE(p.Text(6, 2), QStringLiteral(u"髙"));

    // The header sorts nothing, whichever column is clicked.
    QHeaderView* header = p.Prices()->header();
    for (int column = 1; column < 7; ++column) {
      const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    compareCells();

    // A screen reader reads the cells as shown.
    QAccessibleTableInterface* table =
        QAccessible::queryAccessibleInterface(p.Prices())->tableInterface();
    QVERIFY(table != nullptr);
    QCOMPARE(table->rowCount(), 10);
    QCOMPARE(table->cellAt(0, 1)->text(QAccessible::Name), u"2024/06/28");

    // The export: the bytes of the old rows' cells.
    std::vector<PriceListRow> oldTexts;
    for (const auto& item : old) {
      PriceListRow row;
      for (int column = 0; column < 6; ++column) row[column] = CellBytes(*item, column + 1);
      oldTexts.push_back(row);
    }
    FileDialogAnswer answer(p.dir.ExeDir() + QStringLiteral("prices.csv"));
    Control<QAction>(*p.window, "MainMenuFilePastOut")->trigger();
    QCOMPARE(p.dir.Read("prices.csv"), vcl::JoinLinesCrlf(MakePastList(oldTexts)));
  }

  void aLargeFileComesWhileTheWindowAnswers() {
    Page p;
    p.Show();
    const std::string large = LargeFile(40000);
    QVERIFY(large.size() > kPriceFileReadAtOnceBytes);
    p.dir.Write("1332.txt", large);

    // The double click returns before the file is read: the list waits
    // empty, the count blank, also when the page is left and shown again.
    p.Open(1);
    QCOMPARE(p.Rows(), 0);
    QCOMPARE(p.Panel2(), QString());
    p.Pages()->setCurrentIndex(1);
    p.Pages()->setCurrentIndex(0);
    QCOMPARE(p.Panel2(), QString());
    QTRY_COMPARE(p.Rows(), 40000);
    QCOMPARE(p.Panel2(), u"40000");
    const auto old = OldRows(large);
    for (int row : {0, 1, 20000, 39999}) {
      for (int column = 1; column < 7; ++column) {
        QCOMPARE(p.Text(row, column), old[row]->text(column));
      }
    }

    // Rows that come while another page is shown leave its panels alone.
    p.Open(1);
    p.Pages()->setCurrentIndex(1);
    const QString screeningPanel = p.Panel2();
    QTRY_COMPARE(p.Rows(), 40000);
    QCOMPARE(p.Panel2(), screeningPanel);
    p.Pages()->setCurrentIndex(0);
    QCOMPARE(p.Panel2(), u"40000");
  }

  void aNewerDoubleClickOrTheCloseDropsTheOlderLoad() {
    Page p;
    p.Show();
    p.dir.Write("1301.txt", kOddFile);
    p.dir.Write("1332.txt", LargeFile(40000));
    p.dir.Write("7203.txt", LargeFile(41000));
    QList<int> shown;
    connect(p.Prices()->model(), &QAbstractItemModel::modelReset, this, [&] {
      if (p.Rows() > 0) shown << p.Rows();
    });

    p.Open(1);
    p.Open(0);  // read at once
    QCOMPARE(p.Rows(), 10);
    QCOMPARE(p.Panel2(), u"10");
    // Rows read to the end before the newer double click, still on their
    // way to the window, are dropped there.
    p.Open(1);
    QTest::qSleep(500);
    p.Open(0);
    p.Open(1);
    Control<QPushButton>(p.window->FrameCode(), "ButtonCode")->click();  // closes the detail
    QCOMPARE(p.Rows(), 0);
    QCOMPARE(p.Panel2(), u"-");
    // The reads go one after another, so by the time the last one's rows
    // are shown, the dropped ones have come and gone.
    p.Open(2);
    QTRY_COMPARE(p.Rows(), 41000);
    QCOMPARE(shown, (QList<int>{10, 10, 41000}));
    QCOMPARE(p.Panel2(), u"41000");
  }
};

QTEST_MAIN(PriceListTest)
#include "gui_price_list_qtest.moc"
