// Cancelling a screening run, with a stand-in worker thread that polls the
// cancel counter as the screening worker does, and closing while a worker
// lives.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTreeView>
#include <QtTest>
#include <atomic>
#include <memory>

#include "gui_test_dir.h"
#include "gui_test_program.h"
#include "main/Dm_umain.h"
#include "main/status_panel_bar.h"
#include "widgets/screen_cursor.h"

namespace {

// Polls the counter until it sees a request (when it honours one) or until
// it is released; then, unless told to die without it, hands the end of the
// run over to the main thread and waits for it.
class StandInWorker : public QThread {
 public:
  StandInWorker(TFormMain& window, bool honoursCancel, bool endStep)
      : window_(window), honoursCancel_(honoursCancel), endStep_(endStep) {}
  // Its scope's end releases it, also when a failed check left the test
  // early: the main thread then serves the end step it hands over, which
  // would otherwise wait for the main thread forever.
  ~StandInWorker() override {
    release = true;
    while (!wait(QDeadlineTimer(10))) QCoreApplication::processEvents();
  }

  std::atomic<bool> release{false};
  std::atomic<bool> sawRequest{false};

 protected:
  void run() override {
    for (;;) {
      if (window_.CancelCounter().Pending()) {
        sawRequest = true;
        if (honoursCancel_) break;
      }
      if (release) break;
      msleep(1);
    }
    if (endStep_) {
      QMetaObject::invokeMethod(
          &window_, [this] { window_.EndScreeningRun(); }, Qt::BlockingQueuedConnection);
    }
  }

 private:
  TFormMain& window_;
  const bool honoursCancel_;
  const bool endStep_;
};

struct Program : TestProgram {
  Program() { dir.Write("Code.txt", "1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"); }
  QAction* Cancel() const { return window->findChild<QAction*>("MainMenuCancel"); }
  QString Panel0() const { return window->StatusBar().PanelText(0); }
  // What a run's start locks on the pages, and the window's own part.
  void BeginRun(QThread* worker) {
    QVERIFY(window->CanUseLibrary());
    QVERIFY(window->BeginScreeningRun());
    QVERIFY(window->AdoptScreeningWorker(worker));
    QVERIFY(!AnyEnabled());
    worker->start();
  }
  // What a run locks while it runs: the conditions, which a second cancel
  // press gives back at once, ...
  QList<QWidget*> Conditions() const {
    TFrameScrn& scrn = window->FrameScrn();
    return {Control<QPushButton>(scrn, "ButtonScr"), Control<QFrame>(scrn, "PanelScrTop"),
            Control<QWidget>(scrn, "TabSheetScrA"), Control<QWidget>(scrn, "TabSheetScrB"),
            Control<QFrame>(window->FrameCode(), "PanelCodeTL")};
  }
  // ... and what meets the worker, which waits until its thread has ended.
  QList<QWidget*> WorkerUsers() const {
    return {Control<QPushButton>(window->FrameScrn(), "ButtonTechAdd"),
            Control<QTreeView>(window->FrameCode(), "ListViewPast"), &window->FramePair()};
  }
  QList<QWidget*> Locked() const { return Conditions() + WorkerUsers(); }
  static bool AnyEnabled(const QList<QWidget*>& controls) {
    for (QWidget* control : controls) {
      if (control->isEnabled()) return true;
    }
    return false;
  }
  static bool AllEnabled(const QList<QWidget*>& controls) {
    for (QWidget* control : controls) {
      if (!control->isEnabled()) return false;
    }
    return true;
  }
  bool AnyEnabled() const { return AnyEnabled(Locked()); }
  bool AllEnabled() const { return AllEnabled(Locked()); }
  // From the hourglass, a move over the condition tabs: the arrow while the
  // run's cursor hooks live.
  Qt::CursorShape CursorOverConditionTabs() const {
    SetScreenCursor(Qt::WaitCursor);
    QTabBar* tabs = Control<QTabWidget>(window->FrameScrn(), "PageControlScr")->tabBar();
    const QPoint at = tabs->tabRect(0).center();
    QMouseEvent move(QEvent::MouseMove, at, tabs->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(tabs, &move);
    const Qt::CursorShape shape = ScreenCursor();
    SetScreenCursor(Qt::ArrowCursor);
    return shape;
  }
  void RenameCode() { window->FrameCode().CodeList().SetCodeFields("1301", {.Name = "Renamed"}); }
};

}  // namespace

class CancelTest : public QObject {
  Q_OBJECT

 private slots:
  void theCancelItemShowsOnlyDuringARun() {
    Program p;
    p.Start();
    QVERIFY(!p.Cancel()->isVisible());
    QCOMPARE(p.Cancel()->text(), QStringLiteral(u"キャンセル(&C)"));
    p.window->BeginScreeningRun();
    QVERIFY(p.Cancel()->isVisible());
    QVERIFY(p.window->ScreeningBusy());
    QCOMPARE(p.window->StatusBar().PanelText(1), QStringLiteral("-"));
    QCOMPARE(p.window->StatusBar().PanelText(2), QStringLiteral("-"));
    p.window->EndScreeningRun();
    QVERIFY(!p.Cancel()->isVisible());
  }

  void altCPressesTheCancelItemOnlyDuringARun() {
    Program p;
    p.Start();
    p.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    p.window->activateWindow();
    QTRY_VERIFY(p.window->isActiveWindow());
    QTest::keyClick(p.window.get(), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(p.window->CancelCounter().Count(), 0);
    QCOMPARE(p.Panel0(), QString());

    p.window->BeginScreeningRun();
    QTest::keyClick(p.window.get(), Qt::Key_C, Qt::AltModifier);
    QCOMPARE(p.window->CancelCounter().Count(), 1);
    QCOMPARE(p.Panel0(), QStringLiteral(u" ! キャンセルを受け付けました"));
    p.window->EndScreeningRun();
  }

  void aWorkerThatSeesTheRequestEndsTheRun() {
    Program p;
    p.Start();
    StandInWorker worker(*p.window, true, true);
    p.BeginRun(&worker);
    QVERIFY(!p.window->close());

    p.Cancel()->trigger();
    QCOMPARE(p.Panel0(), QStringLiteral(u" ! キャンセルを受け付けました"));
    QCOMPARE(p.window->CancelCounter().Count(), 1);
    QTRY_VERIFY(!p.window->ScreeningBusy());  // the worker's end step
    QCOMPARE(p.window->CancelCounter().Count(), 0);
    QTRY_VERIFY(!p.window->ScreeningWorkerAlive());
    QVERIFY(worker.sawRequest);
    QVERIFY(p.window->CanUseLibrary());
    QVERIFY(p.window->close());
  }

  void aSecondPressUnlocksTheWindowWithoutWaiting() {
    Program p;
    p.Start();
    p.window->show();  // the cursor hooks see moves over shown controls
    QVERIFY(QTest::qWaitForWindowExposed(p.window.get()));
    StandInWorker worker(*p.window, false, true);  // stuck in a long step
    p.BeginRun(&worker);
    p.RenameCode();
    p.window->FrameCode().CodeList().InsertCodeData("7203", TCodeData{});

    p.Cancel()->trigger();
    QTRY_VERIFY(worker.sawRequest);
    QVERIFY(!p.AllEnabled());
    // The code list follows the table the worker changes.
    QCOMPARE(p.window->FrameCode().CodeListItemCount(), 2);

    p.Cancel()->trigger();
    QVERIFY(Program::AllEnabled(p.Conditions()));
    QVERIFY2(!Program::AnyEnabled(p.WorkerUsers()), "the worker still uses the library and files");
    QCOMPARE(ScreenCursor(), Qt::ArrowCursor);
    QVERIFY(p.window->findChild<QTabWidget*>("PageControl")->isEnabled());
    QCOMPARE(p.CursorOverConditionTabs(), Qt::ArrowCursor);  // the hooks wait for the worker too
    QVERIFY(!p.Cancel()->isVisible());
    QCOMPARE(p.window->CancelCounter().Count(), 0);
    QCOMPARE(p.window->FrameCode().CodeListItemCount(), 2);
    QCOMPARE(p.dir.Read("Code.txt"), std::string("1301\tRenamed\tTSE\t1\t100\t5000\t1\t0\r\n"
                                                 "7203\t\t\t0\t0\t-1\t0\t0\r\n"));
    QCOMPARE(p.Panel0(), QStringLiteral(u" ! キャンセルを受け付けました"));

    // The worker still runs: no close, no second run, no library call.
    QVERIFY(p.window->ScreeningWorkerAlive());
    QVERIFY(!p.window->CanUseLibrary());
    StandInWorker second(*p.window, true, false);
    QVERIFY(!p.window->AdoptScreeningWorker(&second));
    QVERIFY(!p.window->close());
    QVERIFY(!p.dir.Exists("Dyadmark.ini"));

    worker.release = true;  // it comes back and hands its end over
    QTRY_VERIFY(!p.window->ScreeningWorkerAlive());
    QVERIFY(p.AllEnabled());
    QVERIFY(!Control<QPushButton>(p.window->FrameScrn(), "ButtonTechUpdate")->isEnabled());
    QCOMPARE(p.CursorOverConditionTabs(), Qt::WaitCursor);  // the hooks are gone
    QVERIFY(p.window->CanUseLibrary());
    QVERIFY(p.window->close());
    QVERIFY(p.dir.Exists("Dyadmark.ini"));
  }

  void aWorkerThatDiesWithoutItsEndStepUnlocksTheWindow() {
    Program p;
    p.Start();
    StandInWorker worker(*p.window, false, false);
    QSignalSpy ended(p.window.get(), &TFormMain::screeningWorkerEnded);
    p.BeginRun(&worker);
    worker.release = true;
    QTRY_COMPARE(ended.size(), 1);
    QVERIFY(!p.window->ScreeningBusy());
    QVERIFY(!p.window->ScreeningWorkerAlive());
    QVERIFY(p.AllEnabled());
    QVERIFY(p.window->close());
  }

  void aRefusedCloseChangesNothing() {
    Program p;
    p.Start();
    p.RenameCode();
    p.window->BeginScreeningRun();  // busy, with no worker to watch
    QVERIFY(!p.window->close());
    QVERIFY(!p.dir.Exists("Dyadmark.ini"));
    QCOMPARE(p.dir.Read("Code.txt"), std::string("1301\tKyokuyo\tTSE\t1\t100\t5000\t1\t0\r\n"));
    QCOMPARE(p.window->FrameCode().CodeList().Count(), 1);
    QVERIFY(p.window->FrameCode().CodeList().Changed);

    p.window->EndScreeningRun();
    QVERIFY(p.window->close());
    QCOMPARE(p.dir.Read("Code.txt"), std::string("1301\tRenamed\tTSE\t1\t100\t5000\t1\t0\r\n"));
    QCOMPARE(p.window->FrameCode().CodeList().Count(), 0);
  }

  void noCloseInTheMiddleOfADownload() {
    Program p;
    p.Start();
    {
      LibraryCallScope download(p.window->LibraryBusy());
      QVERIFY(!p.window->close());
      QVERIFY(!p.dir.Exists("Dyadmark.ini"));
    }
    QVERIFY(p.window->close());
  }

  void closingTwiceSavesOnce() {
    Program p;
    p.Start();
    QVERIFY(p.window->close());
    p.dir.Write("Dyadmark.ini", "[Marker]\r\nKept=1\r\n");
    p.window->show();
    QVERIFY(p.window->close());
    QCOMPARE(p.dir.Read("Dyadmark.ini"), std::string("[Marker]\r\nKept=1\r\n"));
  }
};

QTEST_MAIN(CancelTest)
#include "gui_cancel_qtest.moc"
