#include "registry/pair_lists.h"

#include <cstddef>

namespace {

using Rows = std::vector<PairRow>;

Rows::iterator At(Rows& rows, int index) {
  return rows.begin() + static_cast<std::ptrdiff_t>(index);
}

// Inserts a row at the top, taking the texts of a present row of the same
// pair (which then goes) and the caption of `pair`; the new row alone is
// selected and focused. Returns whether a present row was replaced.
bool PutOnTop(Rows& rows, const PairItem& pair) {
  const int found = FindPair(rows, pair);
  for (PairRow& row : rows) row.selected = row.focused = false;
  PairRow top;
  top.item = pair;
  top.selected = top.focused = true;
  if (found >= 0) {
    top.item.textA = rows[static_cast<size_t>(found)].item.textA;
    top.item.textB = rows[static_cast<size_t>(found)].item.textB;
    rows.erase(At(rows, found));
  }
  rows.insert(rows.begin(), std::move(top));
  return found >= 0;
}

// Copies the row at `from` to `to` (an index in the list before the copy is
// inserted), then deletes the source.
void MoveRow(Rows& rows, int from, int to) {
  PairRow copy = rows[static_cast<size_t>(from)];
  rows.insert(At(rows, to), std::move(copy));
  rows.erase(At(rows, from < to ? from : from + 1));
}

}  // namespace

int FindPair(const Rows& rows, const PairItem& pair) {
  for (size_t i = 0; i < rows.size(); ++i) {
    if (SamePair(rows[i].item, pair)) return static_cast<int>(i);
  }
  return -1;
}

void RegisterPair(Rows& regist, const PairItem& pair) { PutOnTop(regist, pair); }

bool AddRecentPair(const Rows& regist, Rows& recent, const PairItem& pair) {
  if (FindPair(regist, pair) >= 0) return false;
  if (!PutOnTop(recent, pair) && recent.size() > static_cast<size_t>(kRecentPairLimit)) {
    recent.resize(static_cast<size_t>(kRecentPairLimit));
  }
  return true;
}

bool MoveSelectedPairs(Rows& rows, int target) {
  const int count = static_cast<int>(rows.size());
  if (target < 0 || target >= count) return false;
  int first = -1;
  int last = -1;
  for (int i = 0; i < count; ++i) {
    if (!rows[static_cast<size_t>(i)].selected) continue;
    if (first < 0) first = i;
    last = i;
  }
  if (first < 0 || (first <= target && target <= last)) return false;
  if (target < first) {
    // Each selected row lands before the current one, so the walk never
    // meets a moved row again.
    for (int i = first; i <= last; ++i) {
      if (rows[static_cast<size_t>(i)].selected) MoveRow(rows, i, target + i - first);
    }
  } else {
    for (int i = last; i >= first; --i) {
      if (rows[static_cast<size_t>(i)].selected) MoveRow(rows, i, target + i - last + 1);
    }
  }
  return true;
}
