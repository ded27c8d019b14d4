#pragma once
// Sets aside, before any pair is balanced, the pairs of codes whose
// correlation over one stretch of calendar days cannot lie within a range.
// The correlation does not change when either series is multiplied by a
// positive whole number, so one single-precision dot product of the two
// codes' normalised closes estimates the correlation of every scaled version
// of the pair; with a rigorous bound on how far that estimate and the
// double-precision correlation (Correlation, CorrelationAroundMeans) can each
// lie from the exact one, a pair is set aside only when no correlation
// computed of it can lie within the range.
//
// Thread use: NormaliseBlock, then SetAsideRowsOf, may run on several
// threads at once for different blocks; everything else on one thread.

#include <cstdint>
#include <optional>
#include <vector>

#include "data/statistics.h"

class CorrelationBound {
 public:
  // closes[i]: code i's `days` closes over the stretch, whole numbers above
  // 0, or nullptr when code i has none there (its pairs are never set
  // aside). They must stay until every block is normalised.
  CorrelationBound(std::vector<const int32_t*> closes, int32_t days);

  // The codes go in blocks of kCorrelationLanes.
  int32_t BlockCount() const { return blockCount_; }
  // Normalises the closes of the codes of one block; every block before
  // any SetAsideRowsOf.
  void NormaliseBlock(int32_t block);
  // Marks every pair of a code i of row block `rowBlock` with a code j > i
  // whose correlation over the stretch provably lies outside [lowest,
  // highest].
  void SetAsideRowsOf(int32_t rowBlock, double lowest, double highest, VectorPath path);
  // Lets go of the normalised closes; the marks stay.
  void ReleaseCloses();

  // Code i < j's correlation over the stretch lies outside the range.
  bool SetAside(int32_t i, int32_t j) const {
    return (setAside_[static_cast<size_t>(i) * words_ + static_cast<size_t>(j) / 64] >> (j % 64)) &
           1u;
  }

  // The estimate of the correlation of codes i and j and how far from it
  // any correlation computed of the two scaled series can lie; nullopt
  // when either code has no bound.
  struct Estimate {
    double value = 0.0;
    double margin = 0.0;
  };
  std::optional<Estimate> EstimateOf(int32_t i, int32_t j, VectorPath path) const;

 private:
  double MarginOf(int32_t i, int32_t j) const;

  std::vector<const int32_t*> closes_;
  int32_t days_ = 0;
  int32_t blockCount_ = 0;
  size_t words_ = 0;
  // Each code's closes less their mean, divided by their norm, as floats,
  // interleaved kCorrelationLanes codes to a block (0 for a code without a
  // bound). Each block is allocated apart, on the thread that normalises it:
  // once let go, the room serves the blocks of the run that come after.
  std::vector<std::vector<float>> normalised_;
  // Per code, how far its computed deviations can lie from the exact ones
  // relative to their norm (scaled by any factor); infinity when too far to
  // bound.
  std::vector<double> error_;
  double fixedMargin_ = 0.0;
  std::vector<uint64_t> setAside_;
};
