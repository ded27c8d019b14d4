#pragma once
// The rules of the pair registry's two lists: registering a pair on the
// current page, keeping the recent list, and moving selected rows by a drop.

#include <vector>

#include "pair/pair_item.h"

// The most pairs the recent list keeps after a new pair was added.
constexpr int kRecentPairLimit = 20;

// One row of a list with its selection and focus.
struct PairRow {
  PairItem item;
  bool selected = false;
  bool focused = false;
};

// Index of the first row naming the same pair as `pair`, or -1.
int FindPair(const std::vector<PairRow>& rows, const PairItem& pair);

// Puts `pair` at the top of `regist`: a row of the same pair is replaced
// (its texts kept, the caption's lots and adjustment renewed), so a pair is
// registered once. The new top row is the only selected one and has the
// focus.
void RegisterPair(std::vector<PairRow>& regist, const PairItem& pair);

// After a pair check: nothing when the pair stands in `regist` (false).
// Otherwise the pair goes to the top of `recent` as its only selected and
// focused row (true): a row of the same pair anywhere in the list, the top
// included, gives way to it (its texts kept); a new pair cuts the list back
// to kRecentPairLimit rows.
bool AddRecentPair(const std::vector<PairRow>& regist, std::vector<PairRow>& recent,
                   const PairItem& pair);

// A drop onto row `target` moves the selected rows. Upward (target before
// the first selected row) the first selected row lands on the target and the
// others follow, the gaps between them kept; downward (target after the last
// selected row) the last selected row lands on the target. A target inside
// the selected range, out of range, or no selected row moves nothing.
// Returns true when rows moved.
bool MoveSelectedPairs(std::vector<PairRow>& rows, int target);
