#include "library_state.h"

#include <ctime>
#include <utility>

#include "win32/message_pump.h"

namespace ticvane {
namespace {

struct Seams {
  std::function<CalendarDate()> today;
  std::function<void()> pumpObserver;
  std::vector<std::string> connectTo;
};

Seams& TestSeams() {
  static Seams seams;
  return seams;
}

}  // namespace

LibraryState& State() {
  static LibraryState state;
  return state;
}

void PumpMessages() {
  if (State().pumpMessages == 0) return;
  if (TestSeams().pumpObserver) TestSeams().pumpObserver();
  win32::ProcessPendingMessages();
}

CalendarDate Today() {
  if (TestSeams().today) return TestSeams().today();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

CallGuard::CallGuard() : entered_(!State().callRunning.exchange(true)) {}

CallGuard::~CallGuard() {
  if (entered_) State().callRunning.store(false);
}

namespace testing {

void SetToday(std::function<CalendarDate()> today) { TestSeams().today = std::move(today); }

void SetPumpObserver(std::function<void()> observer) {
  TestSeams().pumpObserver = std::move(observer);
}

void SetConnectTo(std::vector<std::string> entries) { TestSeams().connectTo = std::move(entries); }

const std::vector<std::string>& ConnectTo() { return TestSeams().connectTo; }

}  // namespace testing
}  // namespace ticvane
