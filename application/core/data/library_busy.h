#pragma once
// The quote library must never be entered twice at once. A download on the
// main thread pumps the event loop, so a handler (a pair check, a chart
// preset, a second screening) could start another library call in the middle
// of it. Every library call made on the main thread runs inside a
// LibraryCallScope; a handler that would call the library checks Busy() first.
// Main thread only.

#include <cstdint>

class LibraryBusyFlag {
 public:
  bool Busy() const { return depth_ > 0; }

 private:
  friend class LibraryCallScope;
  int32_t depth_ = 0;
};

class LibraryCallScope {
 public:
  explicit LibraryCallScope(LibraryBusyFlag& flag) : flag_(flag) { ++flag_.depth_; }
  ~LibraryCallScope() { --flag_.depth_; }
  LibraryCallScope(const LibraryCallScope&) = delete;
  LibraryCallScope& operator=(const LibraryCallScope&) = delete;

 private:
  LibraryBusyFlag& flag_;
};
