#include "screening/ordered_hand_out.h"

#include <stdexcept>
#include <string>

OrderedHandOut::OrderedHandOut(size_t units, size_t runAhead)
    : units_(units), runAhead_(runAhead), done_(units, false) {}

bool OrderedHandOut::MayTake() const {
  return stopping_ || next_ >= units_ || next_ < delivered_ + runAhead_;
}

void OrderedHandOut::RequireNextToDeliver(size_t u, const char* step) const {
  if (u != delivered_ || u >= units_) {
    throw std::logic_error(std::string("OrderedHandOut::") + step + ": unit " + std::to_string(u) +
                           " out of order, the next to deliver is " + std::to_string(delivered_) +
                           " of " + std::to_string(units_));
  }
}

std::optional<size_t> OrderedHandOut::Take() {
  MutexLock lock(mutex_);
  while (!MayTake()) lock.Wait(workReady_);
  if (stopping_ || next_ >= units_) return std::nullopt;
  return next_++;
}

void OrderedHandOut::Done(size_t u) {
  {
    MutexLock lock(mutex_);
    done_[u] = true;
  }
  unitDone_.notify_all();
}

void OrderedHandOut::Fail(std::exception_ptr error) {
  {
    MutexLock lock(mutex_);
    if (!error_) error_ = std::move(error);
    stopping_ = true;
  }
  unitDone_.notify_all();
  workReady_.notify_all();
}

bool OrderedHandOut::WaitDone(size_t u, std::chrono::milliseconds poll) {
  const auto deadline = std::chrono::steady_clock::now() + poll;
  MutexLock lock(mutex_);
  RequireNextToDeliver(u, "WaitDone");
  while (!done_[u] && error_ == nullptr) {
    if (!lock.WaitUntil(unitDone_, deadline)) break;
  }
  return done_[u] && error_ == nullptr;
}

void OrderedHandOut::Delivered(size_t u) {
  {
    MutexLock lock(mutex_);
    RequireNextToDeliver(u, "Delivered");
    if (!done_[u]) throw std::logic_error("OrderedHandOut::Delivered: unit not done");
    ++delivered_;
  }
  workReady_.notify_all();
}

void OrderedHandOut::Stop() {
  {
    MutexLock lock(mutex_);
    stopping_ = true;
  }
  workReady_.notify_all();
}

std::exception_ptr OrderedHandOut::Error() const {
  MutexLock lock(mutex_);
  return error_;
}
