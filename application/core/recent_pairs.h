#pragma once
// The recent pairs of the pair registry: which row a checked pair takes.

#include <string>
#include <vector>

// One row of a registry list: the caption ("codeA,lotsA,codeB,lotsB,adjust")
// and the two sub-items (code + full-width space + the name panel's text).
// Code page 932.
struct PairListRow {
  std::string Caption;
  std::string TextA;
  std::string TextB;
};

// Where a checked pair goes in the recent list.
struct RecentPairPlace {
  enum class Kind {
    kOnRegistry,  // the pair stands on the registry page: the list stays
    kMoved,       // row `from` moves to the top with the new caption
    kInserted,    // a new row on top; the list is cut to kRecentListLimit
  };
  Kind kind = Kind::kInserted;
  int from = -1;
};

// The place of the checked pair `row` in `recent` (rows matched by their two
// texts): nowhere when a row of the registry page now loaded (`registry`)
// holds its texts; else a pair already in the list (at the top included)
// moves to the top with its new caption, and a new pair is inserted there
// (the list then keeps kRecentListLimit rows at most).
RecentPairPlace PlaceRecentPair(const std::vector<PairListRow>& recent,
                                const std::vector<PairListRow>& registry, const PairListRow& row);
