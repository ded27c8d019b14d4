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

RecentPairPlace PlaceRecentPair(const std::vector<PairListRow>& recent,
                                const std::vector<PairListRow>& registry, const PairListRow& row) {
  if (std::any_of(registry.begin(), registry.end(), SamePair(row))) {
    return {RecentPairPlace::Kind::kOnRegistry, -1};
  }
  const auto found = std::find_if(recent.begin(), recent.end(), SamePair(row));
  if (found == recent.end()) return {RecentPairPlace::Kind::kInserted, -1};
  return {RecentPairPlace::Kind::kMoved, static_cast<int>(found - recent.begin())};
}
