#pragma once
// The state of a screening run, owned by the main window and read by every
// handler that must stay out of a run's way. One run at a time:
//
//   Idle --Begin--> Running --End / second cancel press--> Idle
//                      |                                   (worker alive:
//                      +-- second cancel press -------> Unlocked until the
//                                                       worker's thread ends)
//
// The window is locked exactly while Running. While a worker's thread is
// alive (Running, or Unlocked after a second cancel press) no new run starts,
// no pair check calls the quote library and the window does not close, since
// the worker still uses the library and the data files.
//
// The cancel request is polled by the worker from its own thread; everything
// else belongs to the main thread.

#include <atomic>
#include <cstdint>

#include "data/library_busy.h"
#include "screening/cancel_request.h"

class ScreeningRun {
 public:
  enum class State { Idle, Running, Unlocked };
  // What a press of the cancel item did.
  enum class CancelPress { Ignored, Requested, Unlocked };

  State GetState() const { return state_; }
  // The window is locked for a run.
  bool Busy() const { return state_ == State::Running; }
  // A worker's thread has started and not yet finished.
  bool WorkerAlive() const { return workerAlive_; }

  // A run may start: nothing runs, no worker lives, no library call is under
  // way on the main thread.
  bool CanStart() const { return CanUseLibrary(); }
  // Starts a run (the cancel request back to 0); false, nothing changed, when
  // CanStart() is false.
  bool Begin();
  // The run's worker thread has started; it is alive until WorkerFinished.
  void WorkerStarted() { workerAlive_ = true; }
  // The worker's thread has finished, with or without its end step; back to
  // Idle. Returns the state it ended: Running (no end step came, the caller
  // unlocks the whole window now), Unlocked (a second cancel press unlocked
  // the conditions, the caller unlocks what waited for the worker) or Idle
  // (the end step unlocked everything).
  State WorkerFinished();
  // The worker's end step: back to Idle with the request at 0. True when the
  // window was still locked (it was not unlocked by a second press).
  bool End();
  // A press of the cancel item: the first sets the request; a second one while
  // the request is pending unlocks the window at once, without waiting for
  // the worker, and sets the request back to 0.
  CancelPress PressCancel();

  // The request the worker polls; any thread may read it.
  const CancelRequest& Cancel() const { return cancel_; }
  // Set by the press that unlocked the window: the worker of this run was
  // given up and must stop at its next poll without touching a widget or a
  // file again. Any thread may read it.
  bool Abandoned() const { return abandoned_.load(); }
  // What the worker polls in every loop.
  bool StopRequested() const { return cancel_.Pending() || Abandoned(); }

  // Set around every library call made on the main thread.
  LibraryBusyFlag& LibraryBusy() { return libraryBusy_; }
  const LibraryBusyFlag& LibraryBusy() const { return libraryBusy_; }
  // A pair check, a chart preset or a screening may call the library now.
  bool CanUseLibrary() const {
    return state_ == State::Idle && !workerAlive_ && !libraryBusy_.Busy();
  }
  // The window may close.
  bool CanClose() const { return CanUseLibrary(); }

  // The number of pairs the last run formed; 0 from the start of a run
  // until its pairs are formed. Main thread only.
  int32_t PairCount() const { return pairCount_; }
  void SetPairCount(int32_t count) { pairCount_ = count; }

 private:
  State state_ = State::Idle;
  bool workerAlive_ = false;
  CancelRequest cancel_;
  std::atomic<bool> abandoned_{false};
  LibraryBusyFlag libraryBusy_;
  int32_t pairCount_ = 0;
};
