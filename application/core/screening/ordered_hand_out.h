#pragma once
// The units of work of a parallel run, handed out in order to the working
// threads, and seen done by the one delivering thread in the same order. The
// workers run ahead of the delivery by at most `runAhead` units, so that few
// results wait for delivery at any time.
//
// Every public member takes mutex_ itself: no caller holds it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <vector>

class OrderedHandOut {
 public:
  OrderedHandOut(size_t units, size_t runAhead);

  // Worker: the next unit to evaluate, after waiting while the workers are
  // `runAhead` units ahead of the delivery; nullopt once the run has stopped
  // or failed or no unit is left.
  std::optional<size_t> Take();
  // Worker: unit `u` is evaluated; its result may be read by the delivery.
  void Done(size_t u);
  // Worker: its evaluation threw. The first error is kept and no unit is
  // handed out any more.
  void Fail(std::exception_ptr error);

  // Delivery: waits up to `poll` for unit `u`; true when it is done. False
  // at once after a worker failed.
  bool WaitDone(size_t u, std::chrono::milliseconds poll);
  // Delivery: unit `u` was delivered, so the workers may take one unit more.
  void Delivered(size_t u);

  // Any thread: no unit is handed out from now on.
  void Stop();
  // The first error of a worker, if any.
  std::exception_ptr Error() const;
  // Polled by a worker inside a long unit to leave it early; set by Stop and
  // by Fail. Read without the mutex.
  const std::atomic<bool>& Stopping() const { return stopping_; }

 private:
  // REQUIRES: mutex_ is held.
  bool MayTake() const;

  const size_t units_;
  const size_t runAhead_;
  mutable std::mutex mutex_;
  std::condition_variable workReady_;  // a unit may be taken, or the run ended
  std::condition_variable unitDone_;   // a unit is done, or a worker failed
  size_t next_ = 0;                    // GUARDED_BY(mutex_): the next unit to hand out
  size_t delivered_ = 0;               // GUARDED_BY(mutex_): the units delivered so far
  std::vector<bool> done_;             // GUARDED_BY(mutex_): done_[u] once unit u is evaluated
  std::exception_ptr error_;           // GUARDED_BY(mutex_)
  std::atomic<bool> stopping_{false};  // written under mutex_
};
