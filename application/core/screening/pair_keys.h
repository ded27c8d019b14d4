#pragma once
// The pair keys of a screening run: every two different codes of which one
// stands in list A and the other in list B, the smaller code first, each pair
// once. The keys are not stored: they are the pairs (i, j), i < j, of the
// sorted union of both lists that pass the membership test, in the order of
// their eight-character key texts.

#include <cstdint>
#include <string>
#include <vector>

class PairKeySet {
 public:
  // `a` and `b` sorted and without repeats (b a copy of a for a group run).
  PairKeySet(const std::vector<std::string>& a, const std::vector<std::string>& b);

  // Every code of A or B, sorted.
  const std::vector<std::string>& Codes() const { return codes_; }
  int32_t CodeCount() const { return static_cast<int32_t>(codes_.size()); }
  // The number of keys.
  int64_t Count() const { return count_; }
  // Codes i and j (i < j) form a key.
  bool IsKey(int32_t i, int32_t j) const { return (inA_[i] && inB_[j]) || (inB_[i] && inA_[j]); }
  // The number of keys whose first code is code i.
  int64_t KeysOfRow(int32_t i) const { return KeysOfRowBetween(i, i + 1, CodeCount()); }
  // The number of keys (i, j) with jBegin <= j < jEnd, i < jBegin.
  int64_t KeysOfRowBetween(int32_t i, int32_t jBegin, int32_t jEnd) const;
  // The eight-character key of codes i and j.
  std::string KeyText(int32_t i, int32_t j) const { return codes_[i] + codes_[j]; }

  // The number of distinct keys that the codes of A before index `rowOfA`
  // (in A's order) form with the codes of B: the count shown while the keys
  // are formed code by code of A.
  const std::vector<int64_t>& KeysBeforeRowsOfA() const { return keysBefore_; }

 private:
  std::vector<std::string> codes_;
  std::vector<uint8_t> inA_;
  std::vector<uint8_t> inB_;
  std::vector<int32_t> inASuffix_;  // codes at index >= i that stand in A
  std::vector<int32_t> inBSuffix_;
  std::vector<int64_t> keysBefore_;
  int64_t count_ = 0;
};
