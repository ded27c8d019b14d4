#include "screening_worker_watch.h"

ScreeningWorkerWatch::ScreeningWorkerWatch(QObject* parent) : QObject(parent) {}

bool ScreeningWorkerWatch::Watch(QThread* worker) {
  if (alive_ || worker == nullptr) return false;
  current_ = worker;
  alive_ = true;
  // finished comes from the worker's thread and is queued to this one.
  connect(worker, &QThread::finished, this, [this, worker] { Ended(worker); });
  connect(worker, &QObject::destroyed, this, [this, worker] { Ended(worker); });
  if (worker->isFinished()) Ended(worker);
  return true;
}

void ScreeningWorkerWatch::Ended(QThread* worker) {
  // A late signal of an earlier worker says nothing about the current one.
  if (!alive_ || worker != current_) return;
  alive_ = false;
  current_ = nullptr;
  emit ended();
}
