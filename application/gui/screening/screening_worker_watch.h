#pragma once
// Knows whether the screening worker's thread is still alive. A worker that
// ended without handing over its end step (it failed, or the user unlocked
// the window with a second cancel press) has ended all the same once its
// thread has finished; until then no second worker may start and the program
// may not close, since the worker still uses the quote library and the data
// files. Main thread only.

#include <QObject>
#include <QThread>
#include <QtGlobal>

class ScreeningWorkerWatch : public QObject {
  Q_OBJECT
 public:
  explicit ScreeningWorkerWatch(QObject* parent = nullptr);

  // Watches `worker` until its thread has finished (call it before the thread
  // starts, or at any time while it runs). Refused (false, nothing changed)
  // while an earlier worker is alive.
  bool Watch(QThread* worker);
  bool Alive() const { return alive_; }

 signals:
  // The watched worker's thread has finished.
  void ended();

 private:
  void Ended(quint64 watch);

  // Workers are told apart by the number of their watch, never by address:
  // a new worker may be allocated where a deleted one was while a signal of
  // the old one is still queued.
  quint64 currentWatch_ = 0;
  bool alive_ = false;
};
