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
#include <optional>
#include <vector>

#include "screening/checked_mutex.h"

class OrderedHandOut {
 public:
  OrderedHandOut(size_t units, size_t runAhead);

  // Worker: the next unit to evaluate, after waiting while the workers are
  // `runAhead` units ahead of the delivery; nullopt once the run has stopped
  // or failed or no unit is left.
  std::optional<size_t> Take() EXCLUDES(mutex_);
  // Worker: unit `u` is evaluated; its result may be read by the delivery.
  void Done(size_t u) EXCLUDES(mutex_);
  // Worker: its evaluation threw. The first error is kept and no unit is
  // handed out any more.
  void Fail(std::exception_ptr error) EXCLUDES(mutex_);

  // The delivery goes through the units one by one from the first: it waits
  // for the next undelivered unit and delivers it, and only that one. Asking
  // for any other unit throws std::logic_error and changes nothing.
  //
  // Delivery: waits up to `poll` for unit `u`; true when it is done, whatever
  // later units are done meanwhile. False at once after a worker failed.
  bool WaitDone(size_t u, std::chrono::milliseconds poll) EXCLUDES(mutex_);
  // Delivery: unit `u`, done, was delivered, so the workers may take one unit
  // more.
  void Delivered(size_t u) EXCLUDES(mutex_);

  // Any thread: no unit is handed out from now on.
  void Stop() EXCLUDES(mutex_);
  // The first error of a worker, if any.
  std::exception_ptr Error() const EXCLUDES(mutex_);
  // Polled by a worker inside a long unit to leave it early; set by Stop and
  // by Fail. Read without the mutex.
  const std::atomic<bool>& Stopping() const { return stopping_; }

 private:
  bool MayTake() const REQUIRES(mutex_);
  // Throws unless `u` is the next unit to deliver.
  void RequireNextToDeliver(size_t u, const char* step) const REQUIRES(mutex_);

  const size_t units_;
  const size_t runAhead_;
  mutable CheckedMutex mutex_;
  std::condition_variable workReady_;          // a unit may be taken, or the run ended
  std::condition_variable unitDone_;           // a unit is done, or a worker failed
  size_t next_ GUARDED_BY(mutex_) = 0;         // the next unit to hand out
  size_t delivered_ GUARDED_BY(mutex_) = 0;    // the units delivered so far
  std::vector<bool> done_ GUARDED_BY(mutex_);  // done_[u] once unit u is evaluated
  std::exception_ptr error_ GUARDED_BY(mutex_);
  std::atomic<bool> stopping_{false};  // written under mutex_
};
