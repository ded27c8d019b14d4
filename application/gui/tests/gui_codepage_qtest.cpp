// The code-data page: the code list with its exclusion marks, one code's
// detail and prices, edit mode, deleting, the exclusion switch and the
// page's settings.

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "codes/Dm_fcode.h"
#include "data/library_busy.h"
#include "gui_test_program.h"
#include "main/status_panel_bar.h"
#include "vcl/inifile.h"
#include "widgets/list_column_width.h"

namespace {

constexpr char kCodeFile[] =
    "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"
    "1332\tNissui\tTSE\t1\t100\t-1\t0\t1\r\n"
    "7203\tToyota\tTSE\t17\t100\t-1\t1\t0\r\n";

struct Page : TestProgram {
  // Starts on the code-data page with the window shown, so the lists have
  // their rows laid out.
  void Show(const char* settings = "") {
    dir.Write("Code.txt", kCodeFile);
    dir.Write("Dyadmark.ini", settings);
    Start();
    window->findChild<QTabWidget*>("PageControl")->setCurrentIndex(0);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }
  QTreeView* List() const { return Control<QTreeView>(*window, "ListViewCode"); }
  QTreeView* Prices() const { return Control<QTreeView>(*window, "ListViewPast"); }
  QString PriceText(int row, int column) const {
    return Prices()->model()->index(row, column).data().toString();
  }
  template <class W>
  W* Get(const char* name) const {
    return Control<W>(window->FrameCode(), name);
  }
  int Mark(int row) const { return window->FrameCode().CodeList().DataAt(row).Ng; }
  QRect Cell(int row, int column) const {
    return List()->visualRect(List()->model()->index(row, column));
  }
  // A press at `x` pixels from the left of a row, in its vertical middle.
  void PressAt(int row, int x) const {
    const QRect cell = Cell(row, 0);
    QTest::mousePress(List()->viewport(), Qt::LeftButton, {},
                      QPoint(cell.left() + x, cell.center().y()));
    QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {},
                        QPoint(cell.left() + x, cell.center().y()));
  }
  void Open(int row) const {
    const QPoint at = Cell(row, 1).center();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
  }
  QString Panel2() const { return window->StatusBar().PanelText(2); }
  std::string Ini(const char* key) const {
    return vcl::TIniFile(dir.Path("Dyadmark.ini")).ReadString("FrameC", key, "<none>");
  }
};

}  // namespace

class CodePageTest : public QObject {
  Q_OBJECT

 private slots:
  void theListShowsTheTableWithHeaders() {
    Page p;
    p.Show();
    const QAbstractItemModel* model = p.List()->model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral(u"平均出来高"));
    QCOMPARE(model->index(0, 1).data().toString(), u"1301 Kyokuyo");
    QCOMPARE(model->index(1, 5).data().toString(), u"-");
    QCOMPARE(model->index(0, 6).data().toString(), QStringLiteral(u"○"));
    QCOMPARE(model->index(0, 4).data(Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(model->index(0, 6).data(Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignHCenter | Qt::AlignVCenter));
    QCOMPARE(p.List()->columnWidth(0), 20);
    QCOMPARE(p.List()->columnWidth(6), 24);
    QCOMPARE(p.Prices()->model()->headerData(6, Qt::Horizontal).toString(),
             QStringLiteral(u"出来高"));
    QVERIFY(p.Prices()->isColumnHidden(0));
    QCOMPARE(p.Prices()->header()->sectionPosition(1), 0);
    QVERIFY(p.Get<QCheckBox>("CheckBoxCodeNG")->isVisible());

    // The worker changes the table: the list reports its real size at once.
    p.window->FrameCode().CodeList().InsertCodeData("9984", TCodeData{});
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(p.window->FrameCode().CodeListItemCount(), 4);
    p.window->FrameCode().CodeList().DeleteCodeData("1301");
    p.window->FrameCode().CodeList().DeleteCodeData("1332");
    QCOMPARE(model->rowCount(), 2);
    QVERIFY(!model->index(3, 1).data().isValid());
    QTRY_COMPARE(p.List()->model()->rowCount(), 2);
  }

  void aPressOnTheCheckImageTogglesTheMark() {
    Page p;
    p.Show();
    struct Case {
      int x;
      bool toggles;
    } cases[] = {{3, false}, {4, true}, {16, true}, {17, false}, {60, false}};
    for (const Case& c : cases) {
      const int before = p.Mark(1);
      p.PressAt(1, c.x);
      QCOMPARE(p.Mark(1) != before, c.toggles);
    }
    QCOMPARE(p.Mark(1), 1);  // toggled twice from 1
    p.PressAt(0, 10);
    QCOMPARE(p.Mark(0), 1);
    // Below the last row nothing is hit.
    const QRect last = p.Cell(2, 0);
    QTest::mouseClick(p.List()->viewport(), Qt::LeftButton, {},
                      QPoint(last.left() + 10, last.bottom() + last.height() / 2 + 1));
    QCOMPARE(p.Mark(2), 0);
    // Not while a screening runs.
    QVERIFY(p.window->BeginScreeningRun());
    p.PressAt(2, 10);
    QCOMPARE(p.Mark(2), 0);
    p.window->EndScreeningRun();

    QVERIFY(p.window->close());
    QCOMPARE(p.dir.Read("Code.txt"), std::string("1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t1\r\n"
                                                 "1332\tNissui\tTSE\t1\t100\t-1\t0\t1\r\n"
                                                 "7203\tToyota\tTSE\t17\t100\t-1\t1\t0\r\n"));
  }

  void aScrolledListHitsTheRowUnderThePress() {
    Page p;
    std::string codes;
    for (int code = 1000; code < 1200; ++code) {
      codes += std::to_string(code) + "\tName\tTSE\t1\t100\t-1\t0\t0\r\n";
    }
    p.Show();
    p.dir.Write("Code.txt", codes);
    p.window->FrameCode().CodeList().ClearCodeData();
    p.window->Data().LoadCodeFile();
    p.window->FrameCode().SetCodeListCount();
    p.List()->scrollToBottom();
    QTest::qWait(20);
    const int row = p.List()->indexAt(QPoint(30, p.List()->viewport()->height() / 2)).row();
    QVERIFY(row > 50);
    p.PressAt(row, 10);
    QCOMPARE(p.Mark(row), 1);
    QCOMPARE(p.Mark(row - 1) + p.Mark(row + 1), 0);
  }

  void theExclusionSwitchAlternatesUncheckedAndGrayed() {
    struct Case {
      const char* stored;
      Qt::CheckState state;
    } cases[] = {{"0", Qt::Unchecked}, {"1", Qt::Unchecked}, {"2", Qt::PartiallyChecked}};
    for (const Case& c : cases) {
      Page p;
      p.Show((std::string("[FrameC]\r\nCodeNG=") + c.stored + "\r\n").c_str());
      QCOMPARE(p.Get<QCheckBox>("CheckBoxCodeNG")->checkState(), c.state);
      QCOMPARE(p.window->FrameCode().ExcludeMarkedCodes(), c.state != Qt::Unchecked);
    }
    Page p;
    p.Show();
    QCheckBox* box = p.Get<QCheckBox>("CheckBoxCodeNG");
    const Qt::CheckState expected[] = {Qt::PartiallyChecked, Qt::Unchecked, Qt::PartiallyChecked};
    for (Qt::CheckState state : expected) {
      box->click();
      QCOMPARE(box->checkState(), state);
    }
    QVERIFY(p.window->close());
    QCOMPARE(p.Ini("CodeNG"), std::string("2"));
  }

  void aDoubleClickShowsTheCodeAndItsPrices() {
    Page p;
    p.Show();
    p.dir.Write("1301.txt",
                "2024/03/08\t2510\t2500\t2520\t2490\t123400\r\n"
                "2024/03/07\t2500\t2490\t2510\t2480\t100000\r\n");
    p.Open(0);
    QCOMPARE(p.Get<QPushButton>("ButtonCode")->text(), u"1301");
    QVERIFY(p.Get<QPushButton>("ButtonCode")->isEnabled());
    QCOMPARE(p.Get<QLineEdit>("EditName")->text(), u"Kyokuyo");
    QCOMPARE(p.Get<QLineEdit>("EditType")->text(), QStringLiteral(u"水産・農林業"));
    QCOMPARE(p.Get<QLineEdit>("EditVol")->text(), u"5000");
    QVERIFY(p.Get<QCheckBox>("CheckBoxLoan")->isChecked());
    QCOMPARE(p.Prices()->model()->rowCount(), 2);
    QCOMPARE(p.PriceText(0, 1), u"2024/03/08");
    QCOMPARE(p.PriceText(1, 6), u"100000");
    QCOMPARE(p.Prices()->model()->index(0, 2).data(Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(p.Panel2(), u"2");
    QCOMPARE(p.window->FrameCode().PriceListRowCount(), 2);

    // No price file: the record and no rows.
    p.Open(1);
    QCOMPARE(p.Get<QLineEdit>("EditVol")->text(), u"-");
    QCOMPARE(p.Prices()->model()->rowCount(), 0);
    QCOMPARE(p.Panel2(), u"0");

    // The button outside edit mode closes the detail.
    p.Get<QPushButton>("ButtonCode")->click();
    QCOMPARE(p.Get<QPushButton>("ButtonCode")->text(), u"----");
    QVERIFY(!p.Get<QPushButton>("ButtonCode")->isEnabled());
    QVERIFY(p.Get<QLineEdit>("EditName")->text().isEmpty());
    QCOMPARE(p.Panel2(), u"-");
  }

  void editModeStoresTheEditedFields() {
    Page p;
    p.Show();
    QLineEdit* name = p.Get<QLineEdit>("EditName");
    QLineEdit* unit = p.Get<QLineEdit>("EditUnit");
    QLineEdit* vol = p.Get<QLineEdit>("EditVol");
    QCheckBox* loan = p.Get<QCheckBox>("CheckBoxLoan");
    QVERIFY(name->isReadOnly() && unit->isReadOnly() && vol->isReadOnly());
    QVERIFY(!loan->isEnabled());
    p.Get<QCheckBox>("CheckBoxUpdate")->click();
    QVERIFY(!name->isReadOnly() && !unit->isReadOnly() && !vol->isReadOnly());
    QVERIFY(p.Get<QLineEdit>("EditMarket")->isReadOnly());
    QVERIFY(p.Get<QLineEdit>("EditType")->isReadOnly());
    QVERIFY(loan->isEnabled());

    struct Case {
      const char* unit;
      const char* vol;
      int32_t storedUnit;
      int32_t storedVol;
    } cases[] = {
        {"500", "1200", 500, 1200}, {"", "-", 1, -1}, {"0", "x", 1, -1}, {"-3", "7", 1, 7}};
    for (const Case& c : cases) {
      p.Open(2);
      name->setText(QStringLiteral("Toyota Motor"));
      unit->setText(QString::fromLatin1(c.unit));
      vol->setText(QString::fromLatin1(c.vol));
      loan->setChecked(false);
      p.Get<QPushButton>("ButtonCode")->click();
      const TCodeData& r = p.window->FrameCode().CodeList().DataAt(2);
      QCOMPARE(r.Name, std::string("Toyota Motor"));
      QCOMPARE(r.Unit, c.storedUnit);
      QCOMPARE(r.Vol, c.storedVol);
      QCOMPARE(r.Loan, uint8_t{0});
      QCOMPARE(r.Market, std::string("TSE"));
      QCOMPARE(unit->text(), QString::number(c.storedUnit));
      QCOMPARE(p.List()->selectionModel()->selectedRows().value(0).row(), 2);
    }

    // A library call under way keeps the button from acting.
    p.Open(0);
    unit->setText(QStringLiteral("9"));
    {
      LibraryCallScope call(p.window->Run().LibraryBusy());
      p.Get<QPushButton>("ButtonCode")->click();
    }
    QCOMPARE(p.window->FrameCode().CodeList().DataAt(0).Unit, 100);
    // A code deleted meanwhile is not stored again.
    p.window->FrameCode().CodeList().DeleteCodeData("1301");
    p.Get<QPushButton>("ButtonCode")->click();
    QVERIFY(!p.window->FrameCode().CodeList().ExistCode("1301"));

    p.Get<QCheckBox>("CheckBoxUpdate")->click();
    QVERIFY(name->isReadOnly());
    QVERIFY(!loan->isEnabled());
  }

  void deleteRemovesTheSelectedCode() {
    Page p;
    p.Show();
    p.List()->setFocus();
    p.Open(1);
    QTest::keyClick(p.List(), Qt::Key_Delete);
    QCOMPARE(p.window->FrameCode().CodeListItemCount(), 2);
    QVERIFY(!p.window->FrameCode().CodeList().ExistCode("1332"));
    // The code that moved up is the selected one; the detail stays.
    QCOMPARE(p.List()->selectionModel()->selectedRows().value(0).row(), 1);
    QCOMPARE(p.Get<QPushButton>("ButtonCode")->text(), u"1332");
    QTest::keyClick(p.List(), Qt::Key_Delete);
    QCOMPARE(p.window->FrameCode().CodeListItemCount(), 1);
    QVERIFY(p.List()->selectionModel()->selectedRows().isEmpty());
    QTest::keyClick(p.List(), Qt::Key_Delete);  // nothing selected
    QCOMPARE(p.window->FrameCode().CodeListItemCount(), 1);

    p.Open(0);
    QVERIFY(p.window->BeginScreeningRun());
    QTest::keyClick(p.List(), Qt::Key_Delete);
    QCOMPARE(p.window->FrameCode().CodeListItemCount(), 1);
    p.window->EndScreeningRun();
    QVERIFY(p.window->close());
    QCOMPARE(p.dir.Read("Code.txt"), std::string("1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"));
  }

  void theLayoutComesBack() {
    Page p;
    p.Show(
        "[FrameC]\r\nSplitterT=700\r\nSplitterB=400\r\nCodeClm1=140\r\nCodeClm6=30\r\n"
        "PastClm1=80\r\nPastClm6=66\r\nCodeNG=2\r\n");
    QCOMPARE(p.List()->columnWidth(1), 140);
    QCOMPARE(p.Prices()->columnWidth(6), 66);
    // A width not stored is the form's, fitted to the program's font.
    const std::string fitted = std::to_string(FittedColumnWidth(55, *p.List()));
    QCOMPARE(p.List()->columnWidth(2), FittedColumnWidth(55, *p.List()));
    QVERIFY(p.window->close());
    for (auto [key, value] : {std::pair{"SplitterT", "700"},
                              {"SplitterB", "400"},
                              {"CodeClm1", "140"},
                              {"CodeClm2", fitted.c_str()},
                              {"CodeClm6", "30"},
                              {"PastClm1", "80"},
                              {"PastClm6", "66"},
                              {"CodeNG", "2"}}) {
      QCOMPARE(p.Ini(key), std::string(value));
    }
  }
};

QTEST_MAIN(CodePageTest)
#include "gui_codepage_qtest.moc"
