// The main window's menus: the state of each page, the online switch,
// stay-on-top, the chart-preset items and their guards, the pair registry.

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>
#include <memory>

#include "codes/price_list_model.h"
#include "drawn_pair_program.h"
#include "gui_test_dir.h"
#include "gui_test_program.h"
#include "main/Dm_umain.h"
#include "main/status_panel_bar.h"
#include "registry/Dm_upairreg.h"
#include "screening/screening_result_model.h"

namespace {

ScreeningResultModel* ResultModelOf(QTreeView* list) {
  return qobject_cast<ScreeningResultModel*>(list->model());
}

// The nine items whose visibility follows the page, in menu order.
const char* const kPageItems[] = {
    "MainMenuPairReg",      "MainMenuFileCode",    "MainMenuFilePast",
    "MainMenuFileScrn",     "MainMenuFilePair",    "MainMenuFilePairPrint",
    "MainMenuFileSentrova", "MainMenuChartPreset", "MainMenuChartDataUpdate"};

struct Program : TestProgram {
  // A menu item by name; a submenu stands for its own item.
  QAction* Item(const char* name) const {
    if (auto* menu = window->findChild<QMenu*>(name)) return menu->menuAction();
    return window->findChild<QAction*>(name);
  }
  QTabWidget* Pages() const { return window->findChild<QTabWidget*>("PageControl"); }
  StatusPanelBar& Bar() const { return window->StatusBar(); }
  // Which of the nine page items are visible, as a string of 0 and 1.
  QString PageItems() const {
    QString shown;
    for (const char* name : kPageItems) shown += Item(name)->isVisible() ? u'1' : u'0';
    return shown;
  }
  QString Widths() const {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(Bar().PanelWidth(1))
        .arg(Bar().PanelWidth(2))
        .arg(Bar().PanelWidth(3))
        .arg(Bar().PanelWidth(4));
  }
  QString Texts() const {
    return Bar().PanelText(1) + u'|' + Bar().PanelText(2) + u'|' + Bar().PanelText(3) + u'|' +
           Bar().PanelText(4);
  }
  // Checks and draws 1301 against 1332 on the pair page, as the registry
  // opens a pair.
  void DrawAPair() {
    dir.Write("1301.txt", DrawnPairProgram::Prices(500));
    dir.Write("1332.txt", DrawnPairProgram::Prices(60));
    QVERIFY(window->FramePair().OpenPair({.codeA = "1301",
                                          .lotsA = "100",
                                          .codeB = "1332",
                                          .lotsB = "1000",
                                          .adjust = "0",
                                          .nameA = "TSE : Kyokuyo",
                                          .nameB = "TSE : Nissui"}));
  }
};

}  // namespace

class MainMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void startsInTheStateOfTheScreeningPage() {
    Program p;
    p.Start();
    QCOMPARE(p.Pages()->currentIndex(), 1);
    QCOMPARE(p.PageItems(), QStringLiteral("000100000"));
    QCOMPARE(p.window->HelpContext(), 100);
    QCOMPARE(p.Widths(), QStringLiteral("100 120 0 0"));
    QCOMPARE(p.Texts(), QStringLiteral("-|-||"));
    QVERIFY(!p.Item("MainMenuCancel")->isVisible());
    // The print page is no page of the tab bar.
    QCOMPARE(p.Pages()->count(), 3);
    QCOMPARE(p.Pages()->tabText(0), QStringLiteral(u"銘柄データ"));
    QCOMPARE(p.Pages()->tabText(1), QStringLiteral(u"スクリーニング"));
    QCOMPARE(p.Pages()->tabText(2), QStringLiteral(u"ペアチェック"));
  }

  void eachPageShowsItsItemsAndPanels_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("items");
    QTest::addColumn<int>("helpContext");
    QTest::addColumn<QString>("widths");
    QTest::addColumn<QString>("texts");
    // Two codes in the table, no price list rows; no result rows and no
    // pairs; the statistics of the pair the pair page checked.
    QTest::newRow("code data") << 1 << 0 << "011000000" << 300 << "80 80 0 0"
                               << "2|-||";
    QTest::newRow("screening") << 0 << 1 << "000100000" << 100 << "100 120 0 0"
                               << "-|-||";
    QTest::newRow("pair check") << 1 << 2 << "100011111" << 200 << "70 95 95 105"
                                << QStringLiteral(
                                       u"1.000000|-15.63 ～ -21.25|-18.44(±2.01)|0.005627(-18.16)");
  }

  void eachPageShowsItsItemsAndPanels() {
    QFETCH(int, from);
    QFETCH(int, page);
    QFETCH(QString, items);
    QFETCH(int, helpContext);
    QFETCH(QString, widths);
    QFETCH(QString, texts);
    Program p;
    p.dir.Write("Code.txt",
                "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"
                "7203\tToyota\tTSE\t17\t100\t-1\t1\t1\r\n");
    p.Start();
    if (page == 2) {
      // The check shows its statistics at once; cleared, they come back from
      // the pair page when it comes to the front.
      p.DrawAPair();
      for (int panel = 1; panel <= 4; ++panel) p.window->SetStatusText(panel, "");
    }
    p.Pages()->setCurrentIndex(from);
    p.Pages()->setCurrentIndex(page);
    QCOMPARE(p.PageItems(), items);
    QCOMPARE(p.window->HelpContext(), helpContext);
    QCOMPARE(p.Widths(), widths);
    QCOMPARE(p.Texts(), texts);
  }

  void countsOnTheCodeAndScreeningPages() {
    Program p;
    p.Start();
    p.Pages()->setCurrentIndex(0);
    QCOMPARE(p.Texts(), QStringLiteral("0|-||"));  // an empty table still counts

    qobject_cast<PriceListModel*>(
        Control<QTreeView>(p.window->FrameCode(), "ListViewPast")->model())
        ->Show(std::make_shared<const PriceFileLines>(*PriceFileLines::Index("a\r\nb\r\n")));
    ResultModelOf(Control<QTreeView>(p.window->FrameScrn(), "ListViewScrn"))
        ->AppendRows(std::vector<ScreeningResultRow>(1));
    p.window->Run().SetPairCount(7);
    p.Pages()->setCurrentIndex(1);
    QCOMPARE(p.Texts(), QStringLiteral("1|7||"));
    p.Pages()->setCurrentIndex(0);
    QCOMPARE(p.Texts(), QStringLiteral("0|2||"));
    p.window->Run().SetPairCount(-1);
    p.Pages()->setCurrentIndex(1);
    QCOMPARE(p.Texts(), QStringLiteral("1|-||"));
  }

  void aPageChangeDuringAScreeningLeavesMenusAndPanels() {
    Program p;
    p.Start();
    p.window->BeginScreeningRun();
    p.Bar().SetPanelText(1, QStringLiteral("12"));
    p.Pages()->setCurrentIndex(2);
    QCOMPARE(p.PageItems(), QStringLiteral("000100000"));
    QCOMPARE(p.Widths(), QStringLiteral("100 120 0 0"));
    QCOMPARE(p.Bar().PanelText(1), QStringLiteral("12"));
    QCOMPARE(p.window->HelpContext(), 100);
    p.window->EndScreeningRun();
  }

  void theOnlineSwitch() {
    Program p;
    p.Start();
    QAction* line = p.Item("MainMenuLine");
    QCheckBox* reCheck = Control<QCheckBox>(p.window->FrameScrn(), "CheckBoxReCheck");
    QCOMPARE(line->text(), QStringLiteral(u"⇔"));
    QVERIFY(line->isChecked());
    QVERIFY(reCheck->isEnabled());
    QCOMPARE(p.Bar().PanelText(0), QString());  // no message at start

    line->trigger();
    QVERIFY(!p.window->OnLine());
    QCOMPARE(line->text(), QStringLiteral("--"));
    QVERIFY(!reCheck->isEnabled());
    QCOMPARE(p.Bar().PanelText(0), QStringLiteral(u" * オフラインモード"));

    line->trigger();
    QVERIFY(p.window->OnLine());
    QCOMPARE(line->text(), QStringLiteral(u"⇔"));
    QVERIFY(reCheck->isEnabled());
    QCOMPARE(p.Bar().PanelText(0), QStringLiteral(u" * オンラインモード"));
  }

  void anOfflineStartSaysNothing() {
    Program p;
    p.dir.Write("Dyadmark.ini", "[Option]\r\nOnLine=0\r\n");
    p.Start();
    QCOMPARE(p.Item("MainMenuLine")->text(), QStringLiteral("--"));
    QVERIFY(!Control<QCheckBox>(p.window->FrameScrn(), "CheckBoxReCheck")->isEnabled());
    QCOMPARE(p.Bar().PanelText(0), QString());
  }

  void stayOnTopFollowsItsItem() {
    Program p;
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    QAction* top = p.Item("MainMenuOptionTop");
    top->trigger();
    QVERIFY(p.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(p.window->isVisible());
    top->trigger();
    QVERIFY(!p.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(p.window->isVisible());
  }

  void presetItemsShowTheSectionsThatExist() {
    Program p;
    p.dir.Write("Dyadmark.ini",
                "[ChartF5]\r\nCaption=Wide\r\n"
                "[ChartF7]\r\nLineWidth=3\r\n"
                "[ChartF9]\r\n"
                "[ChartF12]\r\nCaption=\x83\x8D\x83\x93\x83\x4F\r\n");  // "ロング"
    p.Start();
    const char* const names[] = {"MainMenuChartPresetF5",  "MainMenuChartPresetF6",
                                 "MainMenuChartPresetF7",  "MainMenuChartPresetF8",
                                 "MainMenuChartPresetF9",  "MainMenuChartPresetF10",
                                 "MainMenuChartPresetF11", "MainMenuChartPresetF12"};
    QString shown;
    for (const char* name : names) shown += p.Item(name)->isVisible() ? u'1' : u'0';
    QCOMPARE(shown, QStringLiteral("10100001"));
    QCOMPARE(p.Item("MainMenuChartPresetF5")->text(), QStringLiteral("Wide"));
    QCOMPARE(p.Item("MainMenuChartPresetF7")->text(), QString());
    QCOMPARE(p.Item("MainMenuChartPresetF12")->text(), QStringLiteral(u"ロング"));
    QCOMPARE(p.Item("MainMenuChartPresetF9")->shortcut(), QKeySequence(Qt::Key_F9));
  }

  void presetKeysCheckTheirGuards() {
    Program p;
    p.dir.Write("Dyadmark.ini", "[ChartF5]\r\nCaption=Wide\r\n[ChartF6]\r\nCaption=Gone\r\n");
    p.Start();
    QVERIFY(!p.window->MainMenuChartPresetClick(5));  // another page
    p.Pages()->setCurrentIndex(2);
    QVERIFY(!p.window->MainMenuChartPresetClick(5));  // no pair drawn yet
    p.DrawAPair();
    QVERIFY(p.window->MainMenuChartPresetClick(5));
    QVERIFY(!p.window->MainMenuChartPresetClick(7));   // its item is hidden
    QVERIFY(!p.window->MainMenuChartPresetClick(4));   // no such key
    QVERIFY(!p.window->MainMenuChartPresetClick(13));  // no such key

    // The section went away after the start: the item still shows, the key
    // does nothing.
    p.dir.Write("Dyadmark.ini", "[ChartF5]\r\nCaption=Wide\r\n");
    QVERIFY(!p.window->MainMenuChartPresetClick(6));

    {
      LibraryCallScope download(p.window->LibraryBusy());
      QVERIFY(!p.window->MainMenuChartPresetClick(5));
    }
    p.window->BeginScreeningRun();
    QVERIFY(!p.window->MainMenuChartPresetClick(5));
    p.window->EndScreeningRun();
    p.Pages()->setCurrentIndex(2);
    QVERIFY(p.window->MainMenuChartPresetClick(5));
  }

  void theStartUpDownloadKeepsTheLibraryBusy() {
    Program p;
    bool checked = false;
    p.fake.duringHistory = [&] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<TFormMain*>(widget)) {
          QVERIFY(!window->CanUseLibrary());
          QVERIFY(window->LibraryBusy().Busy());
          checked = true;
        }
      }
    };
    p.Start();
    QVERIFY(checked);
    QVERIFY(p.window->CanUseLibrary());
  }

  void thePairRegistryOpensOnThePairPageOnly() {
    Program p;
    p.Start();
    TFormPairReg registry(p.window->ExeDir(), p.window.get());
    p.window->SetPairRegistry(&registry);
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    p.window->MainMenuPairRegClick();
    QVERIFY(!registry.isVisible());
    p.Pages()->setCurrentIndex(2);
    QVERIFY(p.Item("MainMenuPairReg")->isVisible());
    QCOMPARE(p.Item("MainMenuPairReg")->shortcut(), QKeySequence(Qt::Key_F2));
    p.Item("MainMenuPairReg")->trigger();
    QVERIFY(registry.isVisible());
    registry.FormDeactivate();
    QVERIFY(!registry.isVisible());
  }

  void measuresTheRowsOfAReportList() {
    Program p;
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    auto* list = Control<QTreeView>(p.window->FrameScrn(), "ListViewScrn");
    ScreeningResultModel* model = ResultModelOf(list);
    QCOMPARE(model->rowCount(), 0);  // the measure left nothing behind
    model->AppendRows(std::vector<ScreeningResultRow>(2));
    const QRect first = list->visualRect(model->index(0, 1));
    const QRect second = list->visualRect(model->index(1, 1));
    QCOMPARE(p.window->ListRowTop(), first.top());
    QCOMPARE(p.window->ListRowHeight(), second.top() - first.top());
    QVERIFY(p.window->ListRowHeight() > 0);
  }

  void aMissingHelpFileIsReported() {
    Program p;
    p.Start();
    p.Item("MainMenuHelpTopic")->trigger();
    QCOMPARE(p.errors,
             QStringList{p.dir.ExeDir() + QStringLiteral(u"Dyadmark.hlp が見つかりません")});
  }
};

QTEST_MAIN(MainMenuTest)
#include "gui_menus_qtest.moc"
