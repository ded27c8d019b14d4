#pragma once
// What the window benchmarks measure of a run beside the event loop: the
// longest time the loop did not answer, and the peak memory.

#include <sys/resource.h>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>

// The longest time between two turns of the event loop while it runs.
class PauseWatch {
 public:
  PauseWatch() {
    QObject::connect(&tick_, &QTimer::timeout,
                     [this] { longest_ = std::max(longest_, since_.restart()); });
    since_.start();
    tick_.start(5);
  }
  qint64 LongestMilliseconds() const { return std::max(longest_, since_.elapsed()); }

 private:
  QTimer tick_;
  QElapsedTimer since_;
  qint64 longest_ = 0;
};

// The process's largest resident size so far.
inline double PeakMegabytes() {
  rusage usage{};
  return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss / 1024.0 : 0.0;
}
