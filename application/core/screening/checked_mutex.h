#pragma once
// A mutex whose lock rules clang checks at compile time (-Wthread-safety):
// data marked GUARDED_BY(m) is touched only with m held, a function marked
// REQUIRES(m) is called only with it held, one marked EXCLUDES(m) only
// without it. Other compilers see the marks as nothing, so the rules then hold
// as written, unchecked.

#include <chrono>
#include <condition_variable>
#include <mutex>

#if defined(__clang__)
#define THREAD_ANNOTATION(x) __attribute__((x))
#else
#define THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(name) THREAD_ANNOTATION(capability(name))
#define SCOPED_CAPABILITY THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(m) THREAD_ANNOTATION(guarded_by(m))
#define REQUIRES(...) THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) THREAD_ANNOTATION(release_capability(__VA_ARGS__))
// Only for the wrapper's own lock and unlock of the standard mutex, which the
// analysis cannot see.
#define NO_THREAD_SAFETY_ANALYSIS THREAD_ANNOTATION(no_thread_safety_analysis)

class MutexLock;

class CAPABILITY("mutex") CheckedMutex {
 private:
  friend class MutexLock;
  std::mutex mutex_;
};

// Holds a CheckedMutex for its scope; waits on a condition variable with it.
class SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(CheckedMutex& mutex) ACQUIRE(mutex) NO_THREAD_SAFETY_ANALYSIS
      : lock_(mutex.mutex_) {}
  ~MutexLock() RELEASE() NO_THREAD_SAFETY_ANALYSIS {}
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

  // Releases the mutex until `condition` is notified (or wakes spuriously),
  // and holds it again on return: callers wait in a loop over their own test,
  // which the analysis then sees under the mutex.
  void Wait(std::condition_variable& condition) { condition.wait(lock_); }
  // The same, up to `deadline`; false once it has passed.
  bool WaitUntil(std::condition_variable& condition,
                 std::chrono::steady_clock::time_point deadline) {
    return condition.wait_until(lock_, deadline) == std::cv_status::no_timeout;
  }

 private:
  std::unique_lock<std::mutex> lock_;
};
