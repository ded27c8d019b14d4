#include "recent_pairs.h"

#include <algorithm>

#include "recent_list.h"

namespace {

auto SamePair(const PairListRow& row) {
  return [&row](const PairListRow& other) {
    return other.TextA == row.TextA && other.TextB == row.TextB;
  };
}

}  // namespace

bool PutRecentPair(std::vector<PairListRow>& recent, const std::vector<PairListRow>& registry,
                   const PairListRow& row) {
  if (std::any_of(registry.begin(), registry.end(), SamePair(row))) return false;
  const auto found = std::find_if(recent.begin(), recent.end(), SamePair(row));
  if (found != recent.end()) {
    PairListRow moved{row.Caption, found->TextA, found->TextB};
    recent.erase(found);
    recent.insert(recent.begin(), std::move(moved));
    return true;
  }
  recent.insert(recent.begin(), row);
  if (recent.size() > static_cast<size_t>(kRecentListLimit)) recent.resize(kRecentListLimit);
  return true;
}
