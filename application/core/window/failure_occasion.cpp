#include "window/failure_occasion.h"

void FailureOccasion::Begin() {
  open_ = true;
  told_.clear();
}

void FailureOccasion::End() {
  open_ = false;
  told_.clear();
}

bool FailureOccasion::FirstTime(std::u16string_view failure) {
  if (!open_) return true;
  return told_.emplace(failure).second;
}
