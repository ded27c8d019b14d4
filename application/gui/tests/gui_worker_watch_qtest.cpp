// The watch of the screening worker's thread.

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include "screening/screening_worker_watch.h"

class WorkerWatchTest : public QObject {
  Q_OBJECT

 private slots:
  // The old worker's "finished" is still queued when it is deleted and a new
  // worker, very likely at the same address, is watched: that late signal
  // must not end the new worker's watch.
  void aLateSignalOfADeletedWorkerEndsNoLaterWatch() {
    ScreeningWorkerWatch watch;
    QSignalSpy ended(&watch, &ScreeningWorkerWatch::ended);
    auto* first = new QThread;
    QVERIFY(watch.Watch(first));
    first->start();
    first->quit();
    QVERIFY(first->wait(5000));  // "finished" is queued, not yet delivered
    delete first;                // its "destroyed" ends the first watch
    QCOMPARE(ended.count(), 1);

    auto* second = new QThread;
    QVERIFY(watch.Watch(second));
    QCoreApplication::processEvents();  // the first worker's late "finished"
    QVERIFY(watch.Alive());
    QCOMPARE(ended.count(), 1);
    QThread third;
    QVERIFY2(!watch.Watch(&third), "no second worker beside the first");

    second->start();
    second->quit();
    QVERIFY(second->wait(5000));
    QTRY_COMPARE(ended.count(), 2);
    QVERIFY(!watch.Alive());
    delete second;
  }
};

QTEST_MAIN(WorkerWatchTest)
#include "gui_worker_watch_qtest.moc"
