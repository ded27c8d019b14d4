#include "screening/screening_run.h"

bool ScreeningRun::Begin() {
  if (!CanStart()) return false;
  state_ = State::Running;
  cancel_.Reset();
  abandoned_.store(false);
  return true;
}

ScreeningRun::State ScreeningRun::WorkerFinished() {
  workerAlive_ = false;
  const State ended = state_;
  state_ = State::Idle;
  cancel_.Reset();
  return ended;
}

bool ScreeningRun::End() {
  const bool wasLocked = state_ == State::Running;
  if (wasLocked) state_ = State::Idle;
  cancel_.Reset();
  return wasLocked;
}

ScreeningRun::CancelPress ScreeningRun::PressCancel() {
  if (state_ != State::Running) return CancelPress::Ignored;
  if (!cancel_.Pending()) {
    cancel_.Raise();
    return CancelPress::Requested;
  }
  state_ = workerAlive_ ? State::Unlocked : State::Idle;
  cancel_.Reset();
  abandoned_.store(true);
  return CancelPress::Unlocked;
}
