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

// Puts the checked pair `row` at the top of `recent`, unless a row of the
// registry page now loaded (`registry`) already holds its two texts: then
// nothing changes and the result is false. A pair already in the recent list
// (at the top included) is replaced by a new first row with the new caption
// and the old row's texts; a new pair is inserted at the top and the list is
// cut back to kRecentListLimit rows. True when `recent` changed.
bool PutRecentPair(std::vector<PairListRow>& recent, const std::vector<PairListRow>& registry,
                   const PairListRow& row);
