// The correlations of the vector lanes, computed side by side, against each
// one computed on its own.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <vector>

#include "data/statistics.h"

TEST(RoundingTest, BlockLanesEqualEachOnItsOwn) {
  std::mt19937 random(8);
  const int32_t n = 300;
  constexpr int kLanes = kCorrelationLanes;
  // Series 0 against the block of series 1 to kLanes, each read from a
  // block of its own at a stride, as the screening holds them.
  std::vector<std::vector<int32_t>> series(kLanes + 1, std::vector<int32_t>(n));
  std::vector<double> own(n * kLanes, 0.0);
  std::vector<double> block(n * kLanes, 0.0);
  for (int s = 0; s <= kLanes; ++s) {
    for (int32_t i = 0; i < n; ++i) {
      series[s][i] = 1 + static_cast<int32_t>(random() % 5000);
      (s == 0 ? own[i * kLanes + 3] : block[i * kLanes + s - 1]) = series[s][i];
    }
  }
  const int32_t scalesA[] = {1, 100, 3000, 7, 1000, 1, 10, 400000};
  const int32_t scalesB[] = {1000, 1, 20, 300000, 1000, 3, 100, 1};
  static_assert(std::size(scalesA) == kLanes && std::size(scalesB) == kLanes);
  BlockLanes lanes;
  double expected[kLanes];
  for (int l = 0; l < kLanes; ++l) {
    int64_t sumA = 0, sumB = 0;
    for (int32_t i = 0; i < n; ++i) {
      sumA += static_cast<int64_t>(series[0][i]) * scalesA[l];
      sumB += static_cast<int64_t>(series[l + 1][i]) * scalesB[l];
    }
    lanes.scaleA[l] = scalesA[l];
    lanes.scaleB[l] = scalesB[l];
    lanes.meanA[l] = static_cast<double>(sumA) / n;
    lanes.meanB[l] = static_cast<double>(sumB) / n;
    // Either side may be side a.
    expected[l] = CorrelationAroundMeans(series[l + 1].data(), scalesB[l], series[0].data(),
                                         scalesA[l], n, lanes.meanB[l], lanes.meanA[l]);
  }
  for (const VectorPath path : AvailableVectorPaths()) {
    double results[kLanes];
    CorrelationsOfOneAgainstBlockOn(path, own.data() + 3, kLanes, block.data(), lanes, n, results);
    for (int l = 0; l < kLanes; ++l) {
      EXPECT_EQ(std::memcmp(&results[l], &expected[l], sizeof(double)), 0)
          << "path " << static_cast<int>(path) << ", lane " << l;
    }
  }
}

TEST(RoundingTest, TwoBlocksEqualEachLaneOnItsOwnWhenPaddedWithTheirMeans) {
  std::mt19937 random(9);
  const int32_t longest = 300;
  constexpr int kLanes = kCorrelationLanes;
  const int32_t days[] = {300, 251, 299, 2, 300, 1, 17, 300};
  static_assert(std::size(days) == kLanes);
  std::vector<double> blockA(longest * kLanes), blockB(longest * kLanes);
  BlockMeans means;
  double expected[kLanes];
  for (int l = 0; l < kLanes; ++l) {
    std::vector<int32_t> a, b;
    int64_t sumA = 0, sumB = 0;
    for (int32_t i = 0; i < days[l]; ++i) {
      // Whole numbers up to near 2^31, negative ones among them.
      a.push_back(static_cast<int32_t>(random() % 2000000000u) - (l == 2 ? 1000000000 : 0));
      b.push_back(1 + static_cast<int32_t>(random() % (l == 1 ? 3u : 500000u)));
      sumA += a.back();
      sumB += b.back();
    }
    means.meanA[l] = static_cast<double>(sumA) / days[l];
    means.meanB[l] = static_cast<double>(sumB) / days[l];
    for (int32_t i = 0; i < longest; ++i) {
      blockA[i * kLanes + l] = i < days[l] ? a[i] : means.meanA[l];
      blockB[i * kLanes + l] = i < days[l] ? b[i] : means.meanB[l];
    }
    expected[l] =
        CorrelationAroundMeans(a.data(), 1, b.data(), 1, days[l], means.meanA[l], means.meanB[l]);
  }
  for (const VectorPath path : AvailableVectorPaths()) {
    double results[kLanes];
    CorrelationsOfTwoBlocksOn(path, blockA.data(), blockB.data(), means, longest, results);
    for (int l = 0; l < kLanes; ++l) {
      EXPECT_EQ(std::memcmp(&results[l], &expected[l], sizeof(double)), 0)
          << "path " << static_cast<int>(path) << ", lane " << l;
    }
  }
}
