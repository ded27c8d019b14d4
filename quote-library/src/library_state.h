#pragma once
// The library's global state: one set per loaded library. Every export runs on
// its caller's thread; calls never overlap (CallGuard refuses one that does).

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "http/http_client.h"
#include "ticvane.h"

namespace ticvane {

struct CalendarDate {
  int year;
  int month;
  int day;
};

struct LibraryState {
  uint8_t pumpMessages = 0;
  bool longDateFormat = false;  // false: "yyyy/m/d", true: "yyyy/mm/dd"
  std::unique_ptr<http::Client> client;
  int32_t pageCursor = 0;
  int32_t currentSource = kTicvaneSourceA;
  std::string scratch;
  ShortText conversionResult{};
  std::atomic<bool> callRunning{false};
};

LibraryState& State();

// Drains the calling thread's pending events when pumping is on.
void PumpMessages();

// Today's local date, through a seam so that tests can fix "today".
CalendarDate Today();

// Marks one export as running; a second export entered while the first runs
// (from a handler that a pump dispatched, or from another thread) finds
// Entered() false and must change nothing.
class CallGuard {
 public:
  CallGuard();
  ~CallGuard();
  CallGuard(const CallGuard&) = delete;
  CallGuard& operator=(const CallGuard&) = delete;
  bool Entered() const { return entered_; }

 private:
  bool entered_;
};

// Seams for the tests; not exported from the shared library.
namespace testing {
void SetToday(std::function<CalendarDate()> today);  // empty function: the real clock
// Called on every pump with the pumping flag on (counts the pump points).
void SetPumpObserver(std::function<void()> observer);
// CONNECT_TO entries given to every client that TicvaneInit creates.
void SetConnectTo(std::vector<std::string> entries);
const std::vector<std::string>& ConnectTo();
}  // namespace testing

}  // namespace ticvane
