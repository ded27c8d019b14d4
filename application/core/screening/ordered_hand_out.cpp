#include "screening/ordered_hand_out.h"

OrderedHandOut::OrderedHandOut(size_t units, size_t runAhead)
    : units_(units), runAhead_(runAhead), done_(units, false) {}

bool OrderedHandOut::MayTake() const {
  return stopping_ || next_ >= units_ || next_ < delivered_ + runAhead_;
}

std::optional<size_t> OrderedHandOut::Take() {
  std::unique_lock lock(mutex_);
  workReady_.wait(lock, [this] { return MayTake(); });
  if (stopping_ || next_ >= units_) return std::nullopt;
  return next_++;
}

void OrderedHandOut::Done(size_t u) {
  {
    std::lock_guard lock(mutex_);
    done_[u] = true;
  }
  unitDone_.notify_all();
}

void OrderedHandOut::Fail(std::exception_ptr error) {
  {
    std::lock_guard lock(mutex_);
    if (!error_) error_ = std::move(error);
    stopping_ = true;
  }
  unitDone_.notify_all();
  workReady_.notify_all();
}

bool OrderedHandOut::WaitDone(size_t u, std::chrono::milliseconds poll) {
  std::unique_lock lock(mutex_);
  unitDone_.wait_for(lock, poll, [&] { return done_[u] || error_ != nullptr; });
  return done_[u] && error_ == nullptr;
}

void OrderedHandOut::Delivered(size_t u) {
  {
    std::lock_guard lock(mutex_);
    delivered_ = u + 1;
  }
  workReady_.notify_all();
}

void OrderedHandOut::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workReady_.notify_all();
}

std::exception_ptr OrderedHandOut::Error() const {
  std::lock_guard lock(mutex_);
  return error_;
}
