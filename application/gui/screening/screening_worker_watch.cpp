#include "screening/screening_worker_watch.h"

ScreeningWorkerWatch::ScreeningWorkerWatch(QObject* parent) : QObject(parent) {}

bool ScreeningWorkerWatch::Watch(QThread* worker) {
  if (alive_ || worker == nullptr) return false;
  const quint64 watch = ++currentWatch_;
  alive_ = true;
  // finished comes from the worker's thread and is queued to this one.
  connect(worker, &QThread::finished, this, [this, watch] { Ended(watch); });
  connect(worker, &QObject::destroyed, this, [this, watch] { Ended(watch); });
  if (worker->isFinished()) Ended(watch);
  return true;
}

void ScreeningWorkerWatch::Ended(quint64 watch) {
  // A late signal of an earlier worker says nothing about the current one.
  if (!alive_ || watch != currentWatch_) return;
  alive_ = false;
  emit ended();
}
