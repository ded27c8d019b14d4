// The pair-check page: its fields, the check with its statistics and range,
// its refusals, the recent pairs and the chart presets.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <chrono>
#include <functional>
#include <memory>

#include "data/price_files.h"
#include "gui_test_dir.h"
#include "gui_test_program.h"
#include "main/Dm_umain.h"
#include "main/status_panel_bar.h"
#include "pair/Dm_fpair.h"
#include "registry/Dm_upairreg.h"
#include "registry/pair_list_items.h"

namespace {

constexpr char kCodeFile[] =
    "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"
    "1332\tNissui\tTSE\t1\t1000\t9000\t1\t0\r\n";

// `count` days of a code, newest first from 2024/06/28 back, the close
// `close(i)` on day i.
template <class Close>
std::string PriceFile(int count, Close close) {
  using namespace std::chrono;
  std::string text;
  const sys_days newest = year{2024} / June / 28;
  for (int i = 0; i < count; ++i) {
    const year_month_day d{newest - days{i}};
    const int32_t c = close(i);
    text += FormatPriceLine({static_cast<int>(d.year()), static_cast<int32_t>(unsigned(d.month())),
                             static_cast<int32_t>(unsigned(d.day())), c, c, c + 1, c - 1, 1000}) +
            "\r\n";
  }
  return text;
}

struct Program : TestProgram {
  std::unique_ptr<TFormPairReg> registry;

  void StartWithPair(int daysA = 100, int daysB = 100) {
    dir.Write("Code.txt", kCodeFile);
    dir.Write("1301.txt", PriceFile(daysA, [](int i) { return 500 + i % 7; }));
    dir.Write("1332.txt", PriceFile(daysB, [](int i) { return 60 + i % 3; }));
    Start();
    registry = std::make_unique<TFormPairReg>(window->ExeDir(), window.get());
    window->SetPairRegistry(registry.get());
    Control<QTabWidget>(*window, "PageControl")->setCurrentIndex(2);
  }
  // Shown and active, so that focus moves raise their events.
  void Show() const {
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
  }
  TFramePair& Page() const { return window->FramePair(); }
  QLineEdit* Edit(const char* name) const { return Control<QLineEdit>(*window, name); }
  QString Panel(int i) const { return window->StatusBar().PanelText(i); }
  QString Text(const char* name) const { return Control<QLabel>(*window, name)->text(); }
  QScrollBar* Scroll() const { return Control<QScrollBar>(*window, "ScrollBarChartPair"); }
  QSlider* Renge() const { return Control<QSlider>(*window, "TrackBarChartRenge"); }
  void Type(const char* name, const QString& text) const {
    QLineEdit* edit = Edit(name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
  }
  void Codes(const QString& a, const QString& b) const {
    Type("LabeledEditStockCodeA", a);
    Type("LabeledEditStockCodeB", b);
  }
  void Check() const {
    QTest::mouseClick(Control<QPushButton>(*window, "ButtonCheck"), Qt::LeftButton);
  }
};

// What an input dialog showed before it was answered.
struct InputDialogSeen {
  QString title;
  QString proposal;
};

// Answers the next input dialog with `text` (or cancels it); `seen`, when
// given, gets what the dialog showed.
void AnswerInputDialog(const QString& text, bool accept = true, InputDialogSeen* seen = nullptr) {
  QTimer::singleShot(0, [text, accept, seen] {
    auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    if (seen != nullptr) *seen = {dialog->windowTitle(), dialog->textValue()};
    dialog->setTextValue(text);
    accept ? dialog->accept() : dialog->reject();
  });
}

}  // namespace

class PairPageTest : public QObject {
  Q_OBJECT

 private slots:
  void fieldsAreNormalisedOnLeavingAndKeepTheirModifiedMark() {
    Program p;
    p.StartWithPair();
    p.Show();
    p.Type("LabeledEditStockCodeA", " 1301 ");
    p.Type("EditMagnA", " 3 ");
    p.Type("EditAdjust", "abc");
    p.Type("EditChartFrom", "1201");
    p.Type("EditChartTo", "");
    p.Edit("EditMagnB")->setFocus();
    QCOMPARE(p.Edit("LabeledEditStockCodeA")->text(), QStringLiteral("1301"));
    QVERIFY(p.Edit("LabeledEditStockCodeA")->isModified());
    QCOMPARE(p.Edit("EditMagnA")->text(), QStringLiteral("3"));
    QCOMPARE(p.Edit("EditAdjust")->text(), QStringLiteral("0"));
    QCOMPARE(p.Edit("EditChartFrom")->text(), QStringLiteral("1"));
    QCOMPARE(p.Edit("EditChartTo")->text(), QString());
    p.Type("LabeledEditStockCodeB", "abcd");
    p.Edit("EditMagnA")->setFocus();
    QCOMPARE(p.Edit("LabeledEditStockCodeB")->text(), QStringLiteral("0000"));
  }

  // A context menu, the menu bar or another window borrows the focus and gives
  // it back: the field's rule waits until the focus moves to another control.
  void aMenuOrAnotherWindowDoesNotRunTheFieldsRule() {
    Program p;
    p.StartWithPair();
    p.Show();
    QGuiApplication::clipboard()->setText(QStringLiteral("01"));
    p.Type("LabeledEditStockCodeA", "91");
    QLineEdit* edit = p.Edit("LabeledEditStockCodeA");
    QVERIFY(edit->hasFocus());

    std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    menu->popup(edit->mapToGlobal(QPoint(2, 2)));
    QTRY_VERIFY(QApplication::activePopupWidget() == menu.get());
    QCOMPARE(edit->text(), QStringLiteral("91"));
    edit->paste();  // what the menu's paste item does
    menu->close();
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(edit->text(), QStringLiteral("9101"));

    p.Type("LabeledEditStockCodeA", "91");
    QFocusEvent toMenuBar(QEvent::FocusOut, Qt::MenuBarFocusReason);
    QApplication::sendEvent(edit, &toMenuBar);
    QCOMPARE(edit->text(), QStringLiteral("91"));

    p.registry->show();
    QApplication::setActiveWindow(p.registry.get());
    QVERIFY(QTest::qWaitForWindowActive(p.registry.get()));
    QCOMPARE(edit->text(), QStringLiteral("91"));
    p.registry->hide();
    QApplication::setActiveWindow(p.window.get());
    QVERIFY(QTest::qWaitForWindowActive(p.window.get()));
    QCOMPARE(edit->text(), QStringLiteral("91"));

    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(edit->text(), QStringLiteral("0000"));
  }

  void enterInALotFieldEmptiesItAndChecksWithTheTradingUnit() {
    Program p;
    p.StartWithPair();
    p.Show();
    p.Codes("1301", "1332");
    p.Type("EditMagnB", "x");
    QTest::keyClick(p.Edit("EditMagnB"), Qt::Key_Return);
    QVERIFY(p.Page().PairDrawn());
    QCOMPARE(p.Edit("EditMagnA")->text(), QStringLiteral("100"));
    QCOMPARE(p.Edit("EditMagnB")->text(), QStringLiteral("1000"));
    QCOMPARE(p.Text("PanelStockNameA"), QStringLiteral("TSE : Kyokuyo"));
    QVERIFY(!p.Edit("LabeledEditStockCodeA")->isModified());

    // Enter in a period field: its text is kept within the days, then the
    // pair is checked over it.
    p.Type("EditChartTo", "30");
    QTest::keyClick(p.Edit("EditChartTo"), Qt::Key_Return);
    QCOMPARE(p.Page().Days().size(), size_t{30});
    p.Type("EditChartTo", "5000");
    QTest::keyClick(p.Edit("EditChartTo"), Qt::Key_Enter);
    QCOMPARE(p.Edit("EditChartTo")->text(), QStringLiteral("1200"));
    QCOMPARE(p.Page().Days().size(), size_t{100});
  }

  void theCheckFillsTheDaysTheStatisticsAndTheRange() {
    Program p;
    p.StartWithPair(100, 100);
    p.Codes("1301", "1332");
    p.Check();
    const auto& days = p.Page().Days();
    QCOMPARE(days.size(), size_t{100});
    QCOMPARE(days[0].CloseA, 50000);
    QCOMPARE(days[0].CloseB, 60000);
    QCOMPARE(days[0].Rate, -10000.0 * 100.0 / 62000.0);
    QVERIFY(p.Panel(1) != QStringLiteral("-"));
    QVERIFY(p.Panel(2).contains(u'～'));
    QVERIFY(p.Panel(3).contains(QStringLiteral("(±")));
    QCOMPARE(p.Panel(0), QString());
    QCOMPARE(p.Edit("EditMargin")->statusTip(), QStringLiteral(u"乖離率算出基準値: 62000"));
    QCOMPARE(p.Renge()->minimum(), -100);
    QCOMPARE(p.Renge()->maximum(), -20);
    QCOMPARE(p.Scroll()->maximum(), 80);
    QCOMPARE(p.Scroll()->value(), 80);
    QCOMPARE(p.Text("PanelRenge"), QStringLiteral("20"));
    // The newest day's figures in the top panel.
    QCOMPARE(p.Text("PanelChartDT"), QStringLiteral("2024/06/28"));
    QCOMPARE(p.Edit("EditPriceA")->text(), QStringLiteral("500"));
    QCOMPARE(p.Edit("EditChartB")->text(), QStringLiteral("60000"));
    QCOMPARE(p.Edit("EditMargin")->text(), QStringLiteral("-10000"));
    QVERIFY(Control<QWidget>(*p.window, "PairChartView") != nullptr);

    // Widening keeps the newest day shown in place, and so does narrowing.
    p.Renge()->setValue(-30);
    QCOMPARE(p.Scroll()->value(), 70);
    QCOMPARE(p.Scroll()->maximum(), 70);
    p.Renge()->setValue(-20);
    QCOMPARE(p.Scroll()->maximum(), 80);
    QCOMPARE(p.Scroll()->value(), 80);
  }

  void fewDaysGiveDashesAndAShortRange() {
    Program p;
    p.StartWithPair(5, 5);
    p.Codes("1301", "1332");
    p.Check();
    for (int panel = 1; panel <= 4; ++panel) QCOMPARE(p.Panel(panel), QStringLiteral("-"));
    QCOMPARE(p.Page().Statistics().TwoSigma, 0.0);
    QCOMPARE(p.Renge()->minimum(), -5);
    QCOMPARE(p.Renge()->maximum(), -5);
    QCOMPARE(p.Text("PanelRenge"), QStringLiteral("5"));

    // A period with From after To has no day and divides by nothing.
    p.Edit("EditChartFrom")->setText("50");
    p.Edit("EditChartTo")->setText("10");
    p.Check();
    QVERIFY(p.Page().Days().empty());
    QCOMPARE(p.Page().Statistics().MeanRate, 0.0);
    QCOMPARE(p.Panel(1), QStringLiteral("-"));
    QCOMPARE(p.Scroll()->maximum(), 0);
  }

  void anUnknownCodeStopsTheCheck() {
    Program p;
    p.StartWithPair();
    p.Show();
    p.Codes("9999", "1332");
    p.Check();
    QVERIFY(!p.Page().PairDrawn());
    QCOMPARE(p.Text("PanelStockNameA"), QStringLiteral(u"不正な銘柄コード"));
    QCOMPARE(p.Panel(0), QStringLiteral(u" ! 入力エラー"));
    QVERIFY(p.Edit("LabeledEditStockCodeA")->hasFocus());
  }

  void aBadPriceFileLeavesTheLastGoodCheck() {
    Program p;
    p.StartWithPair(30, 30);
    p.Codes("1301", "1332");
    p.Check();
    QCOMPARE(p.Page().Days().size(), size_t{30});
    const QString corr = p.Panel(1);

    p.dir.Write("1332.txt", "2024/06/28\t6x\t1\t1\t1\t1\r\n");
    p.Check();
    QCOMPARE(p.errors, QStringList{QStringLiteral(u"'6x' は整数ではありません")});
    QCOMPARE(p.Page().Days().size(), size_t{30});
    QCOMPARE(p.Panel(1), corr);

    // Lots that lift a price out of 32 bits.
    p.dir.Write("1332.txt", PriceFile(30, [](int) { return 60; }));
    p.Edit("EditMagnA")->setText("99999999");
    p.Check();
    QCOMPARE(p.Panel(0), QStringLiteral(u" ! 入力エラー"));
    QCOMPARE(p.Page().Days().size(), size_t{30});
    QCOMPARE(p.Page().Days()[0].CloseA, 50000);
  }

  void noCheckWhileAScreeningRunsOrTheLibraryIsBusy() {
    Program p;
    p.StartWithPair();
    p.Codes("1301", "1332");
    QVERIFY(p.window->BeginScreeningRun());
    p.Page().ButtonCheckClick(nullptr);
    QVERIFY(!p.Page().PairDrawn());
    // A pair handed over meanwhile is refused without touching the fields.
    QVERIFY(!p.Page().OpenPair({.codeA = "1332",
                                .lotsA = "1",
                                .codeB = "1301",
                                .lotsB = "1",
                                .adjust = "0",
                                .nameA = "",
                                .nameB = ""}));
    QCOMPARE(p.Edit("LabeledEditStockCodeA")->text(), QStringLiteral("1301"));
    p.window->EndScreeningRun();
    {
      LibraryCallScope download(p.window->LibraryBusy());
      p.Page().ButtonCheckClick(nullptr);
      QVERIFY(!p.Page().PairDrawn());
    }
    p.Page().ButtonCheckClick(nullptr);
    QVERIFY(p.Page().PairDrawn());
  }

  void onlineTheMissingFileIsDownloadedOnceAndASecondCheckWaits() {
    Program p;
    p.StartWithPair();
    QFile::remove(QString::fromStdString(p.dir.Path("1332.txt")));
    Control<QTabWidget>(*p.window, "PageControl")->setCurrentIndex(2);
    p.window->findChild<QAction*>("MainMenuLine")->setChecked(true);
    p.window->findChild<QAction*>("MainMenuChartDataUpdate")->setChecked(true);
    p.window->Data().SetLatestMarketDate("2024/06/28");
    p.fake.records = {PastDataRecord{2024, 6, 28, 61, 61, 62, 60, 5000}};
    int nested = 0;
    p.fake.duringHistory = [&] {
      p.Page().ButtonCheckClick(nullptr);  // a second check while this one downloads
      ++nested;
    };
    p.Codes("1301", "1332");
    p.fake.pastDataCalls.clear();
    p.Check();
    QCOMPARE(nested, 1);
    QCOMPARE(p.fake.pastDataCalls.size(), size_t{1});
    QCOMPARE(p.fake.pastDataCalls[0].code, std::string("1332"));
    QVERIFY(PriceFileStampedOn(p.dir.Path("1332.txt"), "2024/06/28"));
    QVERIFY(PriceFileStampedOn(p.dir.Path("1301.txt"), "2024/06/28"));
    QCOMPARE(p.window->Data().CodeList().Find("1332")->Vol, 5000);
    QCOMPARE(p.Page().Days()[0].CloseB, 61000);
  }

  // Online, a price file that cannot be saved is reported with its name; the
  // check stops there and the page keeps what the last check showed.
  void aPriceFileThatCannotBeSavedIsReported() {
    Program p;
    p.StartWithPair();
    p.Codes("1301", "1332");
    p.Check();
    QCOMPARE(p.Page().Days().size(), size_t{100});
    const std::string stored = p.dir.Read("1332.txt");
    QVERIFY(
        QFile::setPermissions(QString::fromStdString(p.dir.Path("1332.txt")), QFile::ReadOwner));
    p.window->findChild<QAction*>("MainMenuLine")->setChecked(true);
    p.window->findChild<QAction*>("MainMenuChartDataUpdate")->setChecked(true);
    p.window->Data().SetLatestMarketDate("2024/07/01");
    p.fake.records = {PastDataRecord{2024, 7, 1, 61, 61, 62, 60, 5000}};
    p.Type("EditChartFrom", "1");
    p.Type("EditChartTo", "10");
    p.Check();
    QCOMPARE(p.errors.size(), 1);
    QVERIFY2(p.errors.first().startsWith(QStringLiteral(u"ファイル \"") +
                                         QString::fromStdString(p.dir.Path("1332.txt")) +
                                         QStringLiteral(u"\" を保存できません: ")),
             qPrintable(p.errors.first()));
    QCOMPARE(p.Page().Days().size(), size_t{100});
    QCOMPARE(p.dir.Read("1332.txt"), stored);
    QVERIFY(!PriceFileStampedOn(p.dir.Path("1332.txt"), "2024/07/01"));
  }

  void theRecentListTakesTheCheckedPair() {
    Program p;
    p.StartWithPair();
    p.Codes("1301", "1332");
    p.Check();
    auto* recent = Control<QTreeWidget>(*p.registry, "ListViewRecent");
    QCOMPARE(recent->topLevelItemCount(), 1);
    QCOMPARE(recent->topLevelItem(0)->text(0), QStringLiteral("1301,100,1332,1000,0"));
    QCOMPARE(recent->topLevelItem(0)->text(1), QStringLiteral(u"1301　TSE : Kyokuyo"));

    // Checked again with other lots: still one row, with the new caption.
    QVERIFY(p.Page().OpenPair({.codeA = "1301",
                               .lotsA = "200",
                               .codeB = "1332",
                               .lotsB = "1000",
                               .adjust = "5",
                               .nameA = "TSE : Kyokuyo",
                               .nameB = "TSE : Nissui"}));
    QCOMPARE(recent->topLevelItemCount(), 1);
    QCOMPARE(recent->topLevelItem(0)->text(0), QStringLiteral("1301,200,1332,1000,5"));
    QCOMPARE(p.Page().Days()[0].CloseA, 100005);

    // A new pair on a full list pushes the oldest out.
    std::vector<PairRow> full;
    for (int i = 0; i < 20; ++i) {
      full.push_back(PairRow{PairItem{std::to_string(i), std::to_string(i), "x"}, false, false});
    }
    ShowRows(*recent, full);
    p.Check();
    QCOMPARE(recent->topLevelItemCount(), 20);
    QCOMPARE(recent->topLevelItem(0)->text(0), QStringLiteral("1301,200,1332,1000,5"));
    QCOMPARE(recent->topLevelItem(19)->text(0), QStringLiteral("18"));

    // A pair on the registry page now loaded leaves the list alone.
    const PairItem first = ItemPair(*recent->topLevelItem(0));
    ShowRows(*Control<QTreeWidget>(*p.registry, "ListViewRegist"),
             {PairRow{PairItem{"1301,1,1332,1,0", first.textA, first.textB}, false, false}});
    p.Edit("EditAdjust")->setText(QStringLiteral("7"));
    p.Check();
    QCOMPARE(recent->topLevelItem(0)->text(0), QStringLiteral("1301,200,1332,1000,5"));
  }

  void aPresetIsRegisteredAppliedAndDeleted() {
    Program p;
    p.StartWithPair();
    p.Codes("1301", "1332");
    p.Check();
    auto* key = Control<QComboBox>(*p.window, "ComboBoxRegFKey");
    auto* button = Control<QPushButton>(*p.window, "ButtonRegFKey");
    QVERIFY(!button->isEnabled());
    key->setCurrentIndex(2);
    emit key->activated(2);
    QVERIFY(button->isEnabled());
    Control<QSpinBox>(*p.window, "UpDownLineWidth")->setValue(4);
    InputDialogSeen seen;
    AnswerInputDialog(QString(), true, &seen);
    QTest::mouseClick(button, Qt::LeftButton);
    // A new preset is proposed no name.
    QCOMPARE(seen.title, QStringLiteral(u"登録"));
    QCOMPARE(seen.proposal, QString());
    QVERIFY(p.dir.Read("Dyadmark.ini").find("[ChartF7]\r\nCaption= \r\nLineWidth=4\r\n") !=
            std::string::npos);
    QAction* item = p.window->findChild<QAction*>("MainMenuChartPresetF7");
    QVERIFY(item->isVisible());
    QCOMPARE(item->text(), QStringLiteral(" "));
    QCOMPARE(key->currentIndex(), -1);
    QVERIFY(!button->isEnabled());

    Control<QSpinBox>(*p.window, "UpDownLineWidth")->setValue(1);
    QVERIFY(p.window->MainMenuChartPresetClick(7));
    QCOMPARE(Control<QSpinBox>(*p.window, "UpDownLineWidth")->value(), 4);
    QCOMPARE(key->currentIndex(), 2);
    QCOMPARE(button->text(), QStringLiteral(u"更新"));
    // The applied preset's caption is proposed for its update; cancelled, the
    // key and the button stay.
    AnswerInputDialog(QString(), false, &seen);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(seen.title, QStringLiteral(u"更新"));
    QCOMPARE(seen.proposal, QStringLiteral(" "));
    QCOMPARE(key->currentIndex(), 2);
    QVERIFY(button->isEnabled());

    // A settings file that cannot be written keeps the preset.
    const std::string settings = p.dir.Read("Dyadmark.ini");
    QFile::remove(QString::fromStdString(p.dir.Path("Dyadmark.ini")));
    p.dir.MakeDirectory("Dyadmark.ini");
    AnswerInputDialog(QStringLiteral("-"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(p.errors.size(), 1);
    QVERIFY(item->isVisible());
    QVERIFY(button->isEnabled());
    QDir(QString::fromStdString(p.dir.Path("Dyadmark.ini"))).removeRecursively();
    p.dir.Write("Dyadmark.ini", settings);

    AnswerInputDialog(QStringLiteral("-"));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(p.dir.Read("Dyadmark.ini").find("[ChartF7]") == std::string::npos);
    QVERIFY(!item->isVisible());
  }

  // A preset whose check stops leaves the range bar as it was before the
  // preset: a preset wider than the pair, kept, would set the scroll bar's
  // maximum below 0 on the next move of the bar.
  void aPresetWhoseCheckStopsKeepsTheRangeBar() {
    const struct {
      const char* name;
      std::function<void(Program&)> spoil;
    } cases[] = {
        {"a price that is no number",
         [](Program& p) { p.dir.Write("1332.txt", "2024/06/28\t6x\t1\t1\t1\t1\r\n"); }},
        {"a scaled price beyond 32 bits",
         [](Program& p) { p.Edit("EditMagnA")->setText("99999999"); }},
        {"a price file that cannot be saved",
         [](Program& p) {
           QVERIFY(QFile::setPermissions(QString::fromStdString(p.dir.Path("1332.txt")),
                                         QFile::ReadOwner));
           p.window->findChild<QAction*>("MainMenuLine")->setChecked(true);
           p.window->findChild<QAction*>("MainMenuChartDataUpdate")->setChecked(true);
           p.window->Data().SetLatestMarketDate("2024/07/01");
           p.fake.records = {PastDataRecord{2024, 7, 1, 61, 61, 62, 60, 5000}};
         }},
    };
    for (const auto& c : cases) {
      Program p;
      p.dir.Write("Dyadmark.ini", "[ChartF5]\r\nCaption=wide\r\nRenge=-300\r\n");
      p.StartWithPair(100, 100);
      p.Codes("1301", "1332");
      p.Check();
      c.spoil(p);
      QVERIFY2(p.window->MainMenuChartPresetClick(5), c.name);
      QCOMPARE(p.Page().Days().size(), size_t{100});
      QVERIFY2(p.Renge()->value() == -20, c.name);
      QVERIFY2(p.Renge()->minimum() == -100 && p.Renge()->maximum() == -20, c.name);
      QCOMPARE(p.Text("PanelRenge"), QStringLiteral("20"));

      // The widest the bar goes shows every day, from the newest.
      p.Renge()->setValue(-290);
      QVERIFY2(p.Scroll()->minimum() == 0 && p.Scroll()->maximum() == 0, c.name);
      QCOMPARE(p.Scroll()->value(), 0);
    }
  }

  // Whatever range the scroll bar was left with, a check gives it 0 up to
  // Count less the days shown.
  void aCheckSetsTheScrollBarsWholeRange() {
    Program p;
    p.StartWithPair(100, 100);
    p.Codes("1301", "1332");
    p.Check();
    p.Scroll()->setRange(-40, -40);
    p.Check();
    QCOMPARE(p.Scroll()->minimum(), 0);
    QCOMPARE(p.Scroll()->maximum(), 80);
    QCOMPARE(p.Scroll()->value(), 80);
  }

  void theOptionPanelFollowsItsBoxAndTheSettings() {
    Program p;
    p.dir.Write("Dyadmark.ini", "[FrameP]\r\nChkOption=1\r\n[Chart]\r\nSplit=40\r\nLineCSD=1\r\n");
    p.StartWithPair();
    p.Show();
    QVERIFY(Control<QWidget>(*p.window, "PanelOption")->isVisible());
    QCOMPARE(p.Text("PanelChartSplit"), QStringLiteral("40"));
    QVERIFY(Control<QCheckBox>(*p.window, "CheckBoxLCSD")->isChecked());
    QVERIFY(!Control<QCheckBox>(*p.window, "CheckBoxLA1")->isChecked());
    Control<QCheckBox>(*p.window, "CheckBoxOption")->setChecked(false);
    QVERIFY(!Control<QWidget>(*p.window, "PanelOption")->isVisible());
  }

  // The split bar's handle goes down the bar as the price pane grows, and the
  // keys move it the way it is drawn.
  void theSplitBarMovesTheWayItIsDrawn() {
    Program p;
    p.dir.Write("Dyadmark.ini", "[FrameP]\r\nChkOption=1\r\n");
    p.StartWithPair();
    p.Show();
    auto* split = Control<QSlider>(*p.window, "TrackBarChartSplit");
    split->setFocus();
    const auto handleTop = [split] {
      QStyleOptionSlider option;
      option.initFrom(split);
      option.rect.setHeight(1000);  // tall enough for one step to show
      option.orientation = split->orientation();
      option.minimum = split->minimum();
      option.maximum = split->maximum();
      option.sliderPosition = split->sliderPosition();
      option.sliderValue = split->value();
      option.pageStep = split->pageStep();
      option.singleStep = split->singleStep();
      option.upsideDown = !split->invertedAppearance();  // as a vertical QSlider draws
      option.subControls = QStyle::SC_SliderHandle;
      return split->style()
          ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, split)
          .top();
    };
    const struct {
      Qt::Key key;
      int value;
      bool down;
    } moves[] = {
        {Qt::Key_PageDown, 80, true},
        {Qt::Key_Down, 81, true},
        {Qt::Key_PageUp, 76, false},
        {Qt::Key_Up, 75, false},
    };
    for (const auto& move : moves) {
      const int before = handleTop();
      QTest::keyClick(split, move.key);
      QCOMPARE(split->value(), move.value);
      QCOMPARE(p.Text("PanelChartSplit"), QString::number(move.value));
      QVERIFY2(move.down ? handleTop() > before : handleTop() < before,
               qPrintable(QString::number(move.key, 16)));
    }
  }

  // The option up-downs change by their arrows only; their text cannot be
  // typed over.
  void theUpDownsChangeOnlyByTheirArrows() {
    Program p;
    p.dir.Write("Dyadmark.ini", "[FrameP]\r\nChkOption=1\r\n");
    p.StartWithPair();
    p.Show();
    for (const char* name :
         {"UpDownLineWidth", "UpDownBarWidth", "UpDownGridL", "UpDownGridM", "UpDownGridD"}) {
      auto* upDown = Control<QSpinBox>(*p.window, name);
      upDown->setFocus();
      const int start = upDown->value();
      QTest::keyClick(upDown, Qt::Key_End);
      QTest::keyClick(upDown, Qt::Key_Backspace);
      QTest::keyClicks(upDown, "1");
      QTest::keyClick(upDown, Qt::Key_Tab);
      QCOMPARE(upDown->value(), start);
      upDown->setFocus();
      QTest::keyClick(upDown, Qt::Key_Down);
      QCOMPARE(upDown->value(), start - upDown->singleStep());
      QTest::keyClick(upDown, Qt::Key_Up);
      QCOMPARE(upDown->value(), start);
    }
  }

  void slidersAndUpDownsAreNamedToo() {
    Program p;
    p.StartWithPair();
    QStringList names;
    for (const QAbstractSlider* w : p.Page().findChildren<QAbstractSlider*>()) {
      // The scroll area's own bars are Qt's, not the page's.
      if (w->objectName().isEmpty() || w->objectName().startsWith(u"qt_")) continue;
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
      names << w->accessibleName();
    }
    for (const QSpinBox* w : p.Page().findChildren<QSpinBox*>()) {
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
      names << w->accessibleName();
    }
    QCOMPARE(names.removeDuplicates(), 0);
    QCOMPARE(p.Edit("EditMagnB")->accessibleName(), QStringLiteral(u"B 売買数"));
  }
};

QTEST_MAIN(PairPageTest)
#include "pair_page_qtest.moc"
