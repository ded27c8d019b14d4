// A whole screening run through the window: the screening button, the
// worker over a small program directory with the fake quote library, the
// result rows and columns, the status texts, cancel, the second cancel press
// that gives the worker up, an error inside the worker, and the files a run
// cannot save, and an error on an evaluation thread.

#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "data/code_file.h"
#include "data/price_files.h"
#include "gui_test_program.h"
#include "main/Dm_umain.h"
#include "main/status_panel_bar.h"
#include "screening/pair_screening.h"
#include "screening/result_sort.h"
#include "screening/screening_result_model.h"
#include "screening/screening_settings.h"
#include "screening/technical_list_view.h"
#include "vcl/inifile.h"
#include "widgets/qt_cp932.h"

namespace {

const std::string kCorrelation = "\x91\x8a\x8a\xd6\x8c\x57\x90\x94";  // 相関係数
const std::string kStdDev = "\x95\x57\x8f\x80\x95\xce\x8d\xb7";       // 標準偏差
const std::string kSeparator = " \x81\x60 ";                          // " ～ "
const std::string kTosho = "\x93\x8c\x8f\xd8\x82\x50\x95\x94";        // 東証１部

// A ticked condition of `kind` over days 1 to 1200 that shows its result
// under `caption`, or shows none when `caption` is null.
TechnicalCondition ConditionOfAllDays(const std::string& kind, const std::string& range,
                                      const char* caption, std::string width = "") {
  TechnicalCondition c;
  c.kind = kind;
  c.period = "   1" + kSeparator + "1200";
  c.range = range;
  c.resultShown = caption != nullptr;
  c.resultCaption = caption != nullptr ? caption : "";
  c.resultWidth = std::move(width);
  return c;
}

struct Program : TestProgram {
  std::string codeTable;  // the lines of "Code.txt" so far

  // Codes 1301 (falling), 1302 and 1303 (rising together) and 1304, whose
  // price file has a line that cannot be read; one correlation condition
  // that shows its result.
  void WriteData() {
    AddCode("1301", 1000, 400, -3);
    AddCode("1302", 100, 2000, 5);
    AddCode("1303", 100, 2100, 4);
    AddCode("1304", 100, 0, 0);
    dir.Write("1304.txt", "2009/10/30\t12x\t1\t1\t1\t1\r\n");

    const TechnicalCondition condition = ConditionOfAllDays(kCorrelation, "      0.5" + kSeparator,
                                                            "\x91\x8a\x8a\xd6", "70");  // 相関
    vcl::TIniFile ini(dir.Path("Dyadmark.ini"));
    WriteTechnicalSection(ini, {condition});
  }

  // A code of the code table with 30 days of closes that move by `step`
  // a day, the newest `start`.
  void AddCode(const std::string& code, int32_t unit, int32_t start, int32_t step) {
    TCodeData data;
    data.Name = "Name" + code.substr(3);
    data.Market = kTosho;
    data.Type = 1;
    data.Unit = unit;
    data.Vol = 50000;
    data.Loan = 1;
    codeTable += FormatCodeLine(code, data) + "\r\n";
    dir.Write("Code.txt", codeTable);
    std::string text;
    for (int d = 0; d < 30; ++d) {
      PastDataRecord record{2009, 10, 30 - d, start - step * d, 1, 1, 1, 50000};
      text += FormatPriceLine(record) + "\r\n";
    }
    dir.Write((code + ".txt").c_str(), text);
  }

  void Begin() {
    WriteData();
    Start();
    SetCodes(QStringLiteral("1301-1304"));
  }
  void SetCodes(const QString& codes) {
    Control<QComboBox>(window->FrameScrn(), "ComboBoxCodeA")->setEditText(codes);
    Control<QCheckBox>(window->FrameScrn(), "CheckBoxGroup")->setChecked(true);
  }
  QPushButton* Button() const { return Control<QPushButton>(window->FrameScrn(), "ButtonScr"); }
  QTreeView* List() const { return Control<QTreeView>(window->FrameScrn(), "ListViewScrn"); }
  ScreeningResultModel* Model() const {
    return qobject_cast<ScreeningResultModel*>(List()->model());
  }
  QAction* Cancel() const { return window->findChild<QAction*>("MainMenuCancel"); }
  QString Panel(int panel) const { return window->StatusBar().PanelText(panel); }
  QString Cell(int row, int column) const {
    return Model()->data(Model()->index(row, column), Qt::DisplayRole).toString();
  }
  void GoOnline() const {
    QAction* line = window->findChild<QAction*>("MainMenuLine");
    if (!line->isChecked()) line->trigger();
    QVERIFY(window->OnLine());
  }
  // Presses the screening button and waits until the worker's thread ended.
  void RunToTheEnd(const std::function<void()>& afterPress = {}) {
    QSignalSpy ended(window.get(), &TFormMain::screeningWorkerEnded);
    Button()->click();
    QVERIFY(window->ScreeningWorkerAlive());
    if (afterPress) afterPress();
    QVERIFY(ended.wait(20000));
  }
};

// Presses the cancel item once, inside the first hand-over of the worker that
// puts `phase` into panel 0: the worker, waiting for it, goes on with the
// request pending.
class CancelAtPhase : public QObject {
 public:
  CancelAtPhase(Program& p, QString phase) : p_(p), phase_(std::move(phase)) {
    qApp->installEventFilter(this);
  }
  ~CancelAtPhase() override { qApp->removeEventFilter(this); }
  bool pressed = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (pressed || watched != p_.window.get() || event->type() != QEvent::MetaCall) return false;
    static_cast<QObject*>(watched)->event(event);  // the hand-over, run here and now
    if (p_.Panel(0) == phase_) {
      pressed = true;
      p_.Cancel()->trigger();
    }
    return true;
  }

 private:
  Program& p_;
  QString phase_;
};

}  // namespace

class ScreeningRunTest : public QObject {
  Q_OBJECT
 private slots:
  void aRunFillsTheListAndEndsCompleted() {
    Program p;
    p.Begin();
    p.RunToTheEnd();
    QCOMPARE(p.Panel(0),
             QFromCp932(" * \x83X\x83N\x83\x8a\x81[\x83j\x83\x93\x83O\x8a\xae\x97\xb9"));
    QCOMPARE(p.Panel(1), QStringLiteral("1"));
    QCOMPARE(p.Panel(2), QStringLiteral("6"));  // four codes form six pairs
    QCOMPARE(p.window->Run().PairCount(), 6);
    QVERIFY(p.Button()->isEnabled());
    QVERIFY(!p.Cancel()->isVisible());
    QVERIFY(p.window->CanUseLibrary());

    // 1302 and 1303 rise together; 1303's money is higher, so it is sold.
    QCOMPARE(p.Model()->rowCount(), 1);
    QCOMPARE(p.Model()->columnCount(), 16);
    QCOMPARE(p.Model()->headerData(15, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral(u"相関"));
    QCOMPARE(p.List()->header()->sectionSize(15), 70);
    QCOMPARE(p.Cell(0, 1), QStringLiteral("1303 Name3"));
    QCOMPARE(p.Cell(0, 4), QStringLiteral("100"));
    QCOMPARE(p.Cell(0, 5), QStringLiteral("500"));
    QCOMPARE(p.Cell(0, 6), QStringLiteral(u"○"));
    QCOMPARE(p.Cell(0, 7), QStringLiteral("1302 Name2"));
    QCOMPARE(p.Cell(0, 13), QStringLiteral("1 : 1"));
    QCOMPARE(p.Cell(0, 15), QStringLiteral("1.000000"));

    // The next run starts from an empty list and gives the same.
    p.RunToTheEnd();
    QCOMPARE(p.Model()->rowCount(), 1);
    QCOMPARE(p.Model()->columnCount(), 16);
  }

  void aCodeListErrorEndsTheRunAndFocusesTheList() {
    Program p;
    p.WriteData();
    p.Start();
    p.SetCodes(QStringLiteral("130"));
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    p.RunToTheEnd();
    QCOMPARE(p.Panel(0),
             QFromCp932(" ! \x96\xc1\x95\xbf\x83R\x81[\x83h\x8ew\x92\xe8\x83G\x83\x89\x81["));
    QCOMPARE(p.Panel(1), QStringLiteral("-"));
    QVERIFY(p.Button()->isEnabled());
    QCOMPARE(QApplication::focusWidget(),
             Control<QComboBox>(p.window->FrameScrn(), "ComboBoxCodeA"));
  }

  void aCancelEndsTheRunWithItsMessage() {
    Program p;
    p.Begin();
    p.RunToTheEnd([&] { p.Cancel()->trigger(); });
    QCOMPARE(p.Panel(0),
             QFromCp932(" ! \x83X\x83N\x83\x8a\x81[\x83j\x83\x93\x83O\x82\xf0\x83L\x83\x83"
                        "\x83\x93\x83Z\x83\x8b\x82\xb5\x82\xdc\x82\xb5\x82\xbd"));
    QCOMPARE(p.Panel(1), QStringLiteral("-"));
    QCOMPARE(p.Panel(2), QStringLiteral("-"));
    QVERIFY(p.Button()->isEnabled());
    QVERIFY(!p.Cancel()->isVisible());
    QCOMPARE(p.Model()->rowCount(), 0);
  }

  // Cancelled after the first code of A, the run keeps the keys that code
  // formed as its pair count, which the screening page shows.
  void aCancelWhilePairsAreFormedKeepsTheKeysFormedSoFar() {
    Program p;
    p.Begin();
    CancelAtPhase cancel(
        p, QStringLiteral(u" [ スクリーニング ] 銘柄ペア作成中･･･ （Alt+Cでキャンセル）"));
    p.RunToTheEnd();
    QVERIFY(cancel.pressed);
    QCOMPARE(p.Panel(0), QStringLiteral(u" ! スクリーニングをキャンセルしました"));
    QCOMPARE(p.Panel(2), QStringLiteral("-"));
    QCOMPARE(p.window->Run().PairCount(), 3);  // 1301 with 1302, 1303 and 1304
    auto* pages = Control<QTabWidget>(*p.window, "PageControl");
    pages->setCurrentIndex(0);
    pages->setCurrentIndex(1);
    QCOMPARE(p.Panel(2), QStringLiteral("3"));
  }

  // A price file that cannot be saved is named in panel 0 only until the next
  // text; at the run's end one message names every such file and why.
  void priceFilesThatCannotBeSavedAreToldAtTheRunsEnd() {
    Program p;
    p.fake.records = {PastDataRecord{2009, 11, 2, 1000, 1, 1, 1, 50000}};  // the newest day
    p.WriteData();
    const std::string updated = p.dir.Path("1302.txt");
    QCOMPARE(::chmod(updated.c_str(), 0444), 0);  // the update cannot replace it
    const std::string downloaded = p.dir.Path("1303.txt");
    QVERIFY(QFile::remove(QString::fromStdString(downloaded)));
    p.dir.MakeDirectory("1303.txt");  // in the way of the download
    p.Start();
    p.GoOnline();
    p.SetCodes(QStringLiteral("1301-1304"));
    p.RunToTheEnd();
    QCOMPARE(p.Panel(0), QStringLiteral(u" * スクリーニング完了"));
    QCOMPARE(p.errors.size(), 1);
    const QString message = p.errors.front();
    QVERIFY2(message.startsWith(QStringLiteral(
                 u"スクリーニング中に時系列データのファイル 2 件を保存できませんでした。")),
             qPrintable(message));
    for (const std::string& file : {updated, downloaded}) {
      QVERIFY2(message.contains(QStringLiteral(u"ファイル \"") + QString::fromStdString(file) +
                                QStringLiteral(u"\" を保存できません: ")),
               qPrintable(message));
    }
    QVERIFY(message.contains(QStringLiteral(u"書き込みが許可されていません")));
    QVERIFY(message.contains(QStringLiteral(u"同じ名前のフォルダーがあります")));
  }

  // A run saves the code table more than once; a "Code.txt" that cannot be
  // written is told once a run, and again by the next run and the close.
  void aCodeFileThatCannotBeSavedIsToldOnceARun() {
    Program p;
    p.Begin();
    p.GoOnline();  // the code table is saved after the look-ups, the downloads and at the end
    p.window->FrameCode().CodeList().SetCodeFields("1301", {.Name = "Renamed"});
    QVERIFY(QFile::remove(QString::fromStdString(p.dir.Path("Code.txt"))));
    p.dir.MakeDirectory("Code.txt");
    const QString told = QStringLiteral(u"ファイル \"") +
                         QString::fromStdString(p.dir.Path("Code.txt")) +
                         QStringLiteral(u"\" を保存できません: 同じ名前のフォルダーがあります");
    p.RunToTheEnd();
    QCOMPARE(p.errors, QStringList{told});
    p.RunToTheEnd();
    QCOMPARE(p.errors, (QStringList{told, told}));
    QVERIFY(p.window->close());
    QCOMPARE(p.errors, (QStringList{told, told, told}));
  }

  void aSecondCancelPressUnlocksAndTheWorkerTouchesNothingMore() {
    Program p;
    p.Begin();
    const QString accepted = QStringLiteral(u" ! キャンセルを受け付けました");
    p.RunToTheEnd([&] {
      p.Cancel()->trigger();
      p.Cancel()->trigger();
      // Unlocked at once, but nothing new starts while the worker lives.
      QVERIFY(p.Button()->isEnabled());
      QVERIFY(!p.window->CanUseLibrary());
      p.Button()->click();
      QVERIFY(p.window->ScreeningWorkerAlive());
      QVERIFY(!p.window->ScreeningBusy());
      QVERIFY(!p.window->close());
    });
    QCOMPARE(p.Panel(0), accepted);  // the given-up worker wrote nothing
    QCOMPARE(p.Model()->rowCount(), 0);
    QVERIFY(p.window->CanUseLibrary());

    // Once its thread ended, a new run goes.
    p.RunToTheEnd();
    QCOMPARE(p.Model()->rowCount(), 1);
  }

  void anErrorInsideTheWorkerStillEndsTheRun() {
    Program p;
    p.WriteData();
    // Online, looking up the codes missing from the code table fails in a
    // way no result code covers.
    p.fake.duringCodeData = [] { throw std::runtime_error("broken library"); };
    p.Start();
    p.SetCodes(QStringLiteral("1301-1306"));
    QAction* line = p.window->findChild<QAction*>("MainMenuLine");
    if (!line->isChecked()) line->trigger();
    QVERIFY(p.window->OnLine());
    p.RunToTheEnd();
    QVERIFY2(p.Panel(0).startsWith(QStringLiteral(u" ! スクリーニングを中断しました: ")),
             qPrintable(p.Panel(0)));
    QVERIFY(p.Button()->isEnabled());
    QVERIFY(!p.Cancel()->isVisible());
    QVERIFY(!p.window->ScreeningBusy());
  }

  // An error on an evaluation thread ends the run with its reason, never with
  // the completion text over the rows evaluated before it.
  void anEvaluationThreadsErrorEndsTheRunWithItsReason() {
    Program p;
    p.Begin();
    const screening_testing::UnitHookFor failing(
        [](size_t) { throw std::runtime_error("unit failed"); });
    p.RunToTheEnd();
    QCOMPARE(p.Panel(0), QStringLiteral(u" ! スクリーニングを中断しました: unit failed"));
    QCOMPARE(p.Model()->rowCount(), 0);
    QVERIFY(p.Button()->isEnabled());
    QVERIFY(!p.Cancel()->isVisible());
    QVERIFY(!p.window->ScreeningBusy());
  }

  void deletingRowsAndOpeningAPair() {
    Program p;
    p.Begin();
    p.RunToTheEnd();
    QSignalSpy opened(p.window.get(), &TFormMain::pairOpenedFromScreening);
    p.List()->selectionModel()->select(p.Model()->index(0, 1),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // Refused while a run is under way.
    QVERIFY(p.window->Run().Begin());
    emit p.List()->doubleClicked(p.Model()->index(0, 1));
    QCOMPARE(opened.count(), 0);
    p.window->Run().End();
    auto* adjust = Control<QLineEdit>(p.window->FramePair(), "EditAdjust");
    adjust->setText(QStringLiteral("7"));
    emit p.List()->doubleClicked(p.Model()->index(0, 1));
    QCOMPARE(opened.count(), 1);
    const auto fields = opened.front().front().value<PairCheckFields>();
    QCOMPARE(fields.codeA, std::string("1303"));
    QCOMPARE(fields.lotA, std::string("100"));
    QCOMPARE(fields.lotB, std::string("100"));
    QCOMPARE(p.window->findChild<QTabWidget*>("PageControl")->currentIndex(), 2);
    // The pair page took the pair over.
    QCOMPARE(Control<QLineEdit>(p.window->FramePair(), "LabeledEditStockCodeA")->text(), u"1303");
    // A result row carries no adjustment: the page keeps its own.
    QCOMPARE(adjust->text(), u"7");

    // A header click sorts; the caption and spacer columns do not.
    emit p.List()->header()->sectionClicked(5);
    QCOMPARE(p.Model()->SortColumn(), 5);
    emit p.List()->header()->sectionClicked(14);
    QCOMPARE(p.Model()->SortColumn(), 5);

    // Delete counts the rows left, also when no row was selected to go.
    p.List()->setFocus();
    p.List()->clearSelection();
    p.window->SetStatusText(1, "?");
    QTest::keyClick(p.List(), Qt::Key_Delete);
    QCOMPARE(p.Model()->rowCount(), 1);
    QCOMPARE(p.Panel(1), QStringLiteral("1"));
    p.List()->selectionModel()->select(p.Model()->index(0, 1),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(p.List(), Qt::Key_Delete);
    QCOMPARE(p.Model()->rowCount(), 0);
    QCOMPARE(p.Panel(1), QStringLiteral("-"));
    p.window->SetStatusText(1, "?");
    QTest::keyClick(p.List(), Qt::Key_Delete);
    QCOMPARE(p.Panel(1), QStringLiteral("-"));
  }

  // Every pair of six codes passes two shown conditions. Each column's sort
  // puts the rows in the order of their texts, and a selected row stays
  // selected, its texts with it; deleting rows leaves the others' texts.
  void sortsAndDeletesKeepEveryRowsTexts() {
    Program p;
    p.WriteData();
    p.AddCode("1305", 1000, 700, 2);
    p.AddCode("1306", 1, 900, -1);
    TechnicalCondition correlation =
        ConditionOfAllDays(kCorrelation, "       -1" + kSeparator, "\x91\x8a\x8a\xd6");  // 相関
    correlation.sortKind = 2;
    TechnicalCondition deviation = ConditionOfAllDays(kStdDev, "", "\x95\xce\x8d\xb7");  // 偏差
    deviation.sortKind = 4;
    {
      vcl::TIniFile ini(p.dir.Path("Dyadmark.ini"));
      WriteTechnicalSection(ini, {correlation, deviation});
    }
    p.Start();
    p.SetCodes(QStringLiteral("1301-1306"));
    p.RunToTheEnd();
    ScreeningResultModel& model = *p.Model();
    QVERIFY(model.rowCount() >= 10);
    QCOMPARE(model.columnCount(), 17);
    auto texts = [&model] {
      std::vector<ScreeningResultRow> rows;
      for (int r = 0; r < model.rowCount(); ++r) rows.push_back(model.Row(r));
      return rows;
    };
    for (int column = 1; column < model.columnCount(); ++column) {
      if (column == ScreeningResultModel::kSpacerColumn) continue;
      const std::vector<ScreeningResultRow> before = texts();
      p.List()->selectionModel()->clearSelection();
      p.List()->selectionModel()->select(model.index(2, 1),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
      emit p.List()->header()->sectionClicked(column);
      const std::vector<size_t> order =
          SortedRowOrder(before, column - 1, model.Columns()[static_cast<size_t>(column)].sortKind);
      const std::vector<ScreeningResultRow> after = texts();
      for (size_t r = 0; r < order.size(); ++r) {
        QCOMPARE(after[r].cells, before[order[r]].cells);
        QCOMPARE(after[r].results, before[order[r]].results);
        for (int c = 1; c < model.columnCount(); ++c) {
          QCOMPARE(p.Cell(static_cast<int>(r), c), QFromCp932(before[order[r]].SubItem(c - 1)));
        }
      }
      const QModelIndexList selected = p.List()->selectionModel()->selectedRows();
      QCOMPARE(selected.size(), 1);
      QCOMPARE(model.Row(selected.front().row()).cells, before[2].cells);
    }
    std::vector<ScreeningResultRow> kept = texts();
    p.List()->selectionModel()->clearSelection();
    for (int r : {0, 3, 4, model.rowCount() - 1}) {
      p.List()->selectionModel()->select(model.index(r, 1),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    p.List()->setFocus();
    QTest::keyClick(p.List(), Qt::Key_Delete);
    for (int r : {static_cast<int>(kept.size()) - 1, 4, 3, 0}) kept.erase(kept.begin() + r);
    QCOMPARE(model.rowCount(), static_cast<int>(kept.size()));
    for (size_t r = 0; r < kept.size(); ++r) {
      QCOMPARE(model.Row(static_cast<int>(r)).cells, kept[r].cells);
      QCOMPARE(model.Row(static_cast<int>(r)).results, kept[r].results);
    }
  }

  // After a run each ticked condition shows, as its caption, the value of
  // the last pair that passed it, whether or not that pair passed the rest.
  void theConditionsShowTheLastValuesThatPassedThem() {
    Program p;
    p.WriteData();
    // 1305 falls like 1301: it correlates with 1301 and against 1302, 1303.
    p.AddCode("1305", 100, 900, -2);
    auto condition = [](const std::string& kind, const std::string& range, const char* shown) {
      return ConditionOfAllDays(kind, range, shown, "65");
    };
    TechnicalCondition unticked = condition(kCorrelation, kSeparator, nullptr);
    unticked.check = 0;
    {
      vcl::TIniFile ini(p.dir.Path("Dyadmark.ini"));
      WriteTechnicalSection(ini, {condition(kCorrelation, kSeparator, nullptr),
                                  condition(kCorrelation, "      0.5" + kSeparator, "C"), unticked,
                                  condition(kStdDev, kSeparator, "SD")});
    }
    p.Start();
    p.SetCodes(QStringLiteral("1301-1305"));
    p.RunToTheEnd();

    // Rows in key order: 13011305 and 13021303 pass; 13021305 and 13031305,
    // the last pairs, fail the second condition after passing the first.
    QCOMPARE(p.Model()->rowCount(), 2);
    QCOMPARE(p.Cell(1, 1).left(4), QStringLiteral("1303"));
    const QAbstractItemModel* tech =
        Control<QTreeView>(p.window->FrameScrn(), "ListViewTech")->model();
    auto caption = [tech](int row) { return tech->index(row, 0).data(Qt::DisplayRole).toString(); };
    QCOMPARE(caption(0), QStringLiteral("-1.000000"));
    QCOMPARE(caption(1), p.Cell(1, 15));
    QCOMPARE(caption(2), QString());
    QCOMPARE(caption(3), p.Cell(1, 16));
    QVERIFY(p.Cell(0, 16) != p.Cell(1, 16));

    // A row dragged elsewhere loses its caption until the next run.
    emit Control<TechnicalListView>(p.window->FrameScrn(), "ListViewTech")->rowDropped(3, 0);
    QCOMPARE(caption(0), QString());
    QCOMPARE(caption(2), QStringLiteral("1.000000"));
  }

  void theListAndItsHeaderHaveAccessibleNames() {
    Program p;
    p.Begin();
    QVERIFY(!p.List()->accessibleName().isEmpty());
    QVERIFY(!p.List()->header()->accessibleName().isEmpty());
    QVERIFY(p.List()->accessibleName() != p.List()->header()->accessibleName());
  }
};

QTEST_MAIN(ScreeningRunTest)
#include "gui_screening_run_qtest.moc"
