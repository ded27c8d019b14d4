#pragma once
// The three states of a check box as the program stores them (0 unchecked,
// 1 checked, 2 grayed) and as Qt numbers them (grayed is Qt's 1).

#include <Qt>

#include "screening/screening_conditions.h"

inline TriState TriStateFromQt(Qt::CheckState state) {
  switch (state) {
    case Qt::Checked:
      return TriState::Checked;
    case Qt::PartiallyChecked:
      return TriState::Grayed;
    case Qt::Unchecked:
      break;
  }
  return TriState::Unchecked;
}

inline Qt::CheckState QtFromTriState(TriState state) {
  switch (state) {
    case TriState::Checked:
      return Qt::Checked;
    case TriState::Grayed:
      return Qt::PartiallyChecked;
    case TriState::Unchecked:
      break;
  }
  return Qt::Unchecked;
}

// A stored state; anything outside 0..2 reads as unchecked.
inline TriState TriStateFromStored(int32_t value) {
  return value == 1 ? TriState::Checked : value == 2 ? TriState::Grayed : TriState::Unchecked;
}
