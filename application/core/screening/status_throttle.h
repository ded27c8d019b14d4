#pragma once
// Status texts at display rate: a phase text (panel 0) goes out at once,
// after the item and count texts still pending; the item and count texts
// (panels 1 and 2) go out at most once per interval, the latest of each, and
// whatever is pending goes out on Flush. So the window shows every phase and
// the last texts of each phase exactly, without a hand-over per code or pair.
// One thread.

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "screening/screening_step_access.h"

class StatusThrottle : public ScreeningStatus {
 public:
  using Clock = std::chrono::steady_clock;

  // Texts go to `out`; `now` tells the time (tests pass their own clock).
  explicit StatusThrottle(ScreeningStatus& out,
                          std::chrono::milliseconds interval = std::chrono::milliseconds(40),
                          std::function<Clock::time_point()> now = &Clock::now);

  void Show(int panel, const std::string& text) override;
  // Sends the pending texts.
  void Flush();

 private:
  ScreeningStatus& out_;
  std::chrono::milliseconds interval_;
  std::function<Clock::time_point()> now_;
  std::optional<Clock::time_point> lastSent_;
  std::array<std::optional<std::string>, 3> pending_;
};
