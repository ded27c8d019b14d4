#include "screening/status_throttle.h"

StatusThrottle::StatusThrottle(ScreeningStatus& out, std::chrono::milliseconds interval,
                               std::function<Clock::time_point()> now)
    : out_(out), interval_(interval), now_(std::move(now)) {}

void StatusThrottle::Show(int panel, const std::string& text) {
  if (panel < 1 || panel >= static_cast<int>(pending_.size())) {
    Flush();
    out_.Show(panel, text);
    return;
  }
  pending_[static_cast<size_t>(panel)] = text;
  const Clock::time_point now = now_();
  if (!lastSent_ || now - *lastSent_ >= interval_) {
    lastSent_ = now;
    Flush();
  }
}

void StatusThrottle::Flush() {
  for (size_t panel = 1; panel < pending_.size(); ++panel) {
    if (pending_[panel]) {
      out_.Show(static_cast<int>(panel), *pending_[panel]);
      pending_[panel].reset();
    }
  }
}
