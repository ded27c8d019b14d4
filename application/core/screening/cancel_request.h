#pragma once
// The user's request to cancel a screening run: a counter written on the main
// thread (the cancel menu item) and polled by the screening worker, so it is
// read and written atomically. 0 means no request.

#include <atomic>
#include <cstdint>

class CancelRequest {
 public:
  int32_t Count() const { return count_.load(); }
  bool Pending() const { return Count() > 0; }
  void Raise() { count_.fetch_add(1); }
  void Reset() { count_.store(0); }

 private:
  std::atomic<int32_t> count_{0};
};
