#include "screening/pair_keys.h"

#include <algorithm>
#include <iterator>

PairKeySet::PairKeySet(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(codes_));
  const size_t n = codes_.size();
  inA_.assign(n, 0);
  inB_.assign(n, 0);
  for (size_t i = 0; i < n; ++i) {
    inA_[i] = std::binary_search(a.begin(), a.end(), codes_[i]) ? 1 : 0;
    inB_[i] = std::binary_search(b.begin(), b.end(), codes_[i]) ? 1 : 0;
  }
  inASuffix_.assign(n + 1, 0);
  inBSuffix_.assign(n + 1, 0);
  for (size_t i = n; i-- > 0;) {
    inASuffix_[i] = inASuffix_[i + 1] + inA_[i];
    inBSuffix_[i] = inBSuffix_[i + 1] + inB_[i];
  }
  for (int32_t i = 0; i < static_cast<int32_t>(n); ++i) count_ += KeysOfRow(i);

  // A code of A meets every code of B but itself; a key with an earlier code
  // of A that also stands in B was formed already.
  int64_t formed = 0;
  int64_t earlierInBoth = 0;
  keysBefore_.reserve(a.size());
  for (const std::string& code : a) {
    keysBefore_.push_back(formed);
    const bool alsoInB = std::binary_search(b.begin(), b.end(), code);
    formed += static_cast<int64_t>(b.size()) - (alsoInB ? 1 + earlierInBoth : 0);
    if (alsoInB) ++earlierInBoth;
  }
}

int64_t PairKeySet::KeysOfRowBetween(int32_t i, int32_t jBegin, int32_t jEnd) const {
  if (inA_[i] && inB_[i]) return jEnd - jBegin;
  if (inA_[i]) return inBSuffix_[jBegin] - inBSuffix_[jEnd];
  return inASuffix_[jBegin] - inASuffix_[jEnd];
}
