// The status bar: the hint rule, the one hint path of the application, the
// hover hints of the panels, the panel-0 width rule, the idle task and the
// hourglass of a run.

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "gui_test_dir.h"
#include "gui_test_program.h"
#include "main/Dm_umain.h"
#include "main/idle_task.h"
#include "main/status_panel_bar.h"
#include "widgets/screen_cursor.h"

namespace {

struct Program : TestProgram {
  StatusPanelBar& Bar() const { return window->StatusBar(); }
  QString Panel0() const { return Bar().PanelText(0); }
  QTabWidget* Pages() const { return window->findChild<QTabWidget*>("PageControl"); }
  // A hint as Qt raises it when the pointer enters a control with a status
  // tip; it climbs the widget tree like any other.
  void Hint(const QString& text) const {
    QStatusTipEvent tip(text);
    QCoreApplication::sendEvent(Control<QPushButton>(window->FrameScrn(), "ButtonScr"), &tip);
  }
};

// Runs the event loop until a zero-time timer started now has fired. Timers
// that are due fire in the order they were started, so every zero-time timer
// started before this call (a held-back hint, an idle task) has fired by
// then.
bool FireZeroTimersStartedSoFar() {
  QTimer last;
  last.setSingleShot(true);
  last.setInterval(0);
  QSignalSpy fired(&last, &QTimer::timeout);
  last.start();
  return fired.wait(5000);
}

}  // namespace

class StatusBarTest : public QObject {
  Q_OBJECT

 private slots:
  void anOnlineMessageSurvivesSixHints() {
    Program p;
    p.Start();
    QAction* line = p.window->findChild<QAction*>("MainMenuLine");
    line->trigger();
    line->trigger();
    const QString message = QStringLiteral(u" * オンラインモード");
    QCOMPARE(p.Panel0(), message);
    for (int i = 1; i <= 6; ++i) {
      p.Hint(QStringLiteral(" ? hint %1").arg(i));
      QCOMPARE(p.Panel0(), message);
    }
    p.Hint(QStringLiteral(" ? hint 7"));
    QCOMPARE(p.Panel0(), QStringLiteral(" ? hint 7"));
    p.Hint(QStringLiteral("first|second"));
    QCOMPARE(p.Panel0(), QStringLiteral("second"));
  }

  void enteringAndLeavingControlsGivesTheirHints() {
    Program p;
    p.Start();
    QComboBox* codeA = Control<QComboBox>(p.window->FrameScrn(), "ComboBoxCodeA");
    QComboBox* codeB = Control<QComboBox>(p.window->FrameScrn(), "ComboBoxCodeB");
    const QString tip = QStringLiteral(u" ? 銘柄コードをカンマ区切りで指定、範囲はハイフンで指定");
    QCOMPARE(codeA->statusTip(), tip);

    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(codeA, &enter);
    QCOMPARE(p.Panel0(), tip);

    // From one control to the next with the same hint: no change, and the
    // empty hint in between never shows.
    p.Bar().SetPanelText(0, QStringLiteral(" * kept"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(codeA, &leave);
    QCoreApplication::sendEvent(codeB, &enter);
    QCoreApplication::processEvents();
    QCOMPARE(p.Panel0(), QStringLiteral(" * kept"));

    // Leaving every control clears panel 0, as a hint of its own.
    p.Bar().SetPanelText(0, QStringLiteral(" ? something"));
    QCoreApplication::sendEvent(codeB, &leave);
    QTRY_COMPARE(p.Panel0(), QString());
  }

  void thePanelsHintTheirMeaning_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QList<int>>("offsets");  // from panel 1's left edge
    QTest::addColumn<QStringList>("hints");
    const QString mean = QStringLiteral(u" ? 乖離率 平均（±標準偏差）");
    const QString slope = QStringLiteral(u" ? 乖離率 回帰係数（切片）");
    QTest::newRow("code data") << 0 << QList<int>{0, 1, 80, 81, 160}
                               << QStringList{QString(), QStringLiteral(u" ? 銘柄データ件数"),
                                              QStringLiteral(u" ? 銘柄データ件数"),
                                              QStringLiteral(u" ? 時系列データ件数"),
                                              QStringLiteral(u" ? 時系列データ件数")};
    QTest::newRow("screening") << 1 << QList<int>{0, 1, 100, 101, 220}
                               << QStringList{QString(),
                                              QStringLiteral(u" ? テクニカル分析結果件数"),
                                              QStringLiteral(u" ? テクニカル分析結果件数"),
                                              QStringLiteral(u" ? スクリーニング銘柄ペア件数"),
                                              QStringLiteral(u" ? スクリーニング銘柄ペア件数")};
    QTest::newRow("pair check") << 2 << QList<int>{0, 1, 70, 71, 165, 166, 260, 261, 365, 366}
                                << QStringList{QString(),
                                               QStringLiteral(u" ? 銘柄ペア 相関係数"),
                                               QStringLiteral(u" ? 銘柄ペア 相関係数"),
                                               QStringLiteral(u" ? 乖離率 最大～最小"),
                                               QStringLiteral(u" ? 乖離率 最大～最小"),
                                               mean,
                                               mean,
                                               slope,
                                               slope,
                                               slope};  // beyond panel 4 the hint stays
  }

  void thePanelsHintTheirMeaning() {
    QFETCH(int, page);
    QFETCH(QList<int>, offsets);
    QFETCH(QStringList, hints);
    Program p;
    p.Start();
    p.window->resize(900, 600);
    p.Pages()->setCurrentIndex(page == 1 ? 0 : 1);
    p.Pages()->setCurrentIndex(page);
    const int w0 = p.Bar().PanelWidth(0);
    for (int i = 0; i < offsets.size(); ++i) {
      p.window->StatusBarMouseMove(w0 + offsets[i]);
      QCOMPARE(p.Panel0(), hints[i]);
    }
  }

  void theMouseOverTheBarGivesItsHint() {
    Program p;
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    const int x = p.Bar().PanelWidth(0) + 10;
    QTest::mouseMove(&p.Bar(), QPoint(x, p.Bar().height() / 2));
    QTRY_COMPARE(p.Panel0(), QStringLiteral(u" ? テクニカル分析結果件数"));
  }

  void leavingTheBarTakesItsHintAway() {
    Program p;
    p.Start();
    const QString count = QStringLiteral(u" ? テクニカル分析結果件数");
    const int w0 = p.Bar().PanelWidth(0);
    p.window->StatusBarMouseMove(w0 + 1);
    QCOMPARE(p.Panel0(), count);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&p.Bar(), &leave);
    QTRY_COMPARE(p.Panel0(), QString());
    // Back over the same panel, its hint is a new one.
    p.window->StatusBarMouseMove(w0 + 1);
    QCOMPARE(p.Panel0(), count);

    // Straight from the bar into a control with a hint is one change: a
    // held message counts the bar's hint and the control's, and the next
    // four hints, and the fifth replaces it.
    p.Bar().SetPanelText(0, QStringLiteral(" * held"));
    p.window->StatusBarMouseMove(w0 + 101);
    QCoreApplication::sendEvent(&p.Bar(), &leave);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(Control<QComboBox>(p.window->FrameScrn(), "ComboBoxCodeA"), &enter);
    // The empty hint of the leave, had it not been taken back, is shown now.
    QVERIFY(FireZeroTimersStartedSoFar());
    for (int i = 3; i <= 6; ++i) {
      p.Hint(QStringLiteral(" ? hint %1").arg(i));
      QCOMPARE(p.Panel0(), QStringLiteral(" * held"));
    }
    p.Hint(QStringLiteral(" ? hint 7"));
    QCOMPARE(p.Panel0(), QStringLiteral(" ? hint 7"));
  }

  void theBarsHintStaysDuringAScreening() {
    Program p;
    p.Start();
    const int w0 = p.Bar().PanelWidth(0);
    p.window->StatusBarMouseMove(w0 + 1);
    p.window->BeginScreeningRun();
    p.Bar().SetPanelText(0, QStringLiteral(" ? mine"));
    p.window->StatusBarMouseMove(w0 + 101);
    QCOMPARE(p.Panel0(), QStringLiteral(" ? mine"));
    p.window->EndScreeningRun();
    p.window->StatusBarMouseMove(w0 + 101);
    QCOMPARE(p.Panel0(), QStringLiteral(u" ? スクリーニング銘柄ペア件数"));
  }

  void panel0TakesTheRestLess18Pixels() {
    Program p;
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    p.window->resize(1000, 600);
    QTRY_COMPARE(p.Bar().width(), 1000);
    QCOMPARE(p.Bar().PanelWidth(0), 1000 - 100 - 120 - 18);
    p.window->resize(1200, 700);
    QTRY_COMPARE(p.Bar().width(), 1200);
    QCOMPARE(p.Bar().PanelWidth(0), 1200 - 220 - 18);
    QCOMPARE(p.Bar().PanelWidth(1), 100);
    QCOMPARE(p.Bar().PanelWidth(2), 120);
    p.Pages()->setCurrentIndex(2);
    QCOMPARE(p.Bar().PanelWidth(0), 1200 - (70 + 95 + 95 + 105) - 18);
    QCOMPARE(p.Bar().PanelWidth(5), 50);
  }

  void theLastArmedIdleTaskRunsOnce() {
    IdleTaskSlot slot;
    QSignalSpy runs(&slot, &IdleTaskSlot::run);
    slot.Arm(kIdleTaskFirstShow);
    slot.Arm(kIdleTaskCodeBoxFocus);
    QCOMPARE(slot.Pending(), 21);
    QTRY_COMPARE(runs.size(), 1);
    QCOMPARE(runs.at(0).at(0).toInt(), 21);
    QCOMPARE(slot.Pending(), 0);
    // A second run would have been due by now.
    QVERIFY(FireZeroTimersStartedSoFar());
    QCOMPARE(runs.size(), 1);
  }

  void theFirstShowArmsTask1() {
    Program p;
    p.Start();
    QCOMPARE(p.window->PendingIdleTask(), 0);
    p.window->show();
    QCOMPARE(p.window->PendingIdleTask(), 1);
    QTRY_COMPARE(p.window->PendingIdleTask(), 0);
  }

  void aCodeBoxsFocusDropsItsSelectionOnceIdle() {
    Program p;
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    QTRY_COMPARE(p.window->PendingIdleTask(), 0);
    QComboBox* codeA = Control<QComboBox>(p.window->FrameScrn(), "ComboBoxCodeA");
    QComboBox* codeB = Control<QComboBox>(p.window->FrameScrn(), "ComboBoxCodeB");
    codeA->setEditText(QStringLiteral("1301,1302"));
    codeB->setEditText(QStringLiteral("7203"));
    codeB->lineEdit()->selectAll();
    p.window->activateWindow();
    codeA->setFocus();
    QTRY_VERIFY(codeA->hasFocus());
    codeA->lineEdit()->selectAll();
    QCOMPARE(p.window->PendingIdleTask(), 21);
    QTRY_COMPARE(p.window->PendingIdleTask(), 0);
    QCOMPARE(codeA->lineEdit()->selectedText(), QString());
    QCOMPARE(codeB->lineEdit()->selectedText(), QString());
    QCOMPARE(codeA->currentText(), QStringLiteral("1301,1302"));
  }

  // During a run the pointer is an hourglass over the window and the two
  // frames, an arrow over the two page controls and the code list. The
  // frames' own areas are all covered by their panels here, so their hooks
  // are seen through the mouse tracking they turn on.
  void aRunShowsTheHourglassButNotOverPageTabsOrTheCodeList() {
    Program p;
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    QCOMPARE(ScreenCursor(), Qt::ArrowCursor);
    TFrameScrn& scrn = p.window->FrameScrn();
    TFrameCode& code = p.window->FrameCode();
    QVERIFY(!scrn.hasMouseTracking() && !code.hasMouseTracking());
    p.window->BeginScreeningRun();
    QCOMPARE(ScreenCursor(), Qt::WaitCursor);
    QVERIFY(scrn.hasMouseTracking() && code.hasMouseTracking());

    auto overTab = [](QTabBar* tabs) {
      const QPoint at = tabs->tabRect(0).center();
      QMouseEvent move(QEvent::MouseMove, at, tabs->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QCoreApplication::sendEvent(tabs, &move);
    };
    auto* codeList = Control<QAbstractItemView>(code, "ListViewCode");
    const struct {
      const char* control;
      int page;
      std::function<void()> move;
    } arrows[] = {
        {"PageControl", 1, [&] { overTab(p.Pages()->tabBar()); }},
        {"PageControlScr", 1,
         [&] { overTab(Control<QTabWidget>(scrn, "PageControlScr")->tabBar()); }},
        {"ListViewCode", 0, [&] { QVERIFY(MoveOverOwnArea(*codeList->viewport())); }},
    };
    for (const auto& c : arrows) {
      p.Pages()->setCurrentIndex(c.page);
      SetScreenCursor(Qt::WaitCursor);
      c.move();
      QVERIFY2(ScreenCursor() == Qt::ArrowCursor, c.control);
    }

    p.window->EndScreeningRun();
    QCOMPARE(ScreenCursor(), Qt::ArrowCursor);
    // The handlers went with the run.
    QVERIFY(!scrn.hasMouseTracking() && !code.hasMouseTracking());
    for (const auto& c : arrows) {
      p.Pages()->setCurrentIndex(c.page);
      SetScreenCursor(Qt::WaitCursor);
      c.move();
      QVERIFY2(ScreenCursor() == Qt::WaitCursor, c.control);
    }
    SetScreenCursor(Qt::ArrowCursor);
  }

  void aMouseMoveHookSeesOnlyItsWidgetsOwnArea() {
    QWidget outer;
    outer.resize(100, 100);
    auto* inner = new QWidget(&outer);
    inner->setGeometry(0, 0, 50, 50);
    int calls = 0;
    MouseMoveHook hook(&outer, [&calls] { ++calls; });
    QVERIFY(outer.hasMouseTracking());
    auto moveTo = [](QWidget* target, QPoint at) {
      QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QCoreApplication::sendEvent(target, &move);
    };
    moveTo(inner, QPoint(10, 10));  // ignored by the child, passed on to outer
    QCOMPARE(calls, 0);
    moveTo(&outer, QPoint(80, 80));
    QCOMPARE(calls, 1);
  }
};

QTEST_MAIN(StatusBarTest)
#include "gui_status_qtest.moc"
