#include "screening/correlation_bound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "data/statistics.h"

namespace {

// Closes of many shapes over `days` days: random walks at every level, a
// level near the top of 32 bits once scaled with a spread of a few yen,
// closes of 1 to 3 yen, one step, a twin, a mirror image (correlation -1), a
// flat series and one that is flat but for a day.
std::vector<std::vector<int32_t>> Shapes(int32_t days, std::mt19937& random) {
  std::vector<std::vector<int32_t>> codes;
  auto walk = [&](int64_t level, int step, int64_t lowest) {
    std::vector<int32_t> closes;
    for (int32_t d = 0; d < days; ++d) {
      level += static_cast<int>(random() % (2 * step + 1)) - step;
      level = std::max(level, lowest);
      closes.push_back(static_cast<int32_t>(level));
    }
    return closes;
  };
  for (int k = 0; k < 6; ++k) codes.push_back(walk(50 + random() % 30000, 20, 1));
  codes.push_back(walk(2000000, 3, 1999000));
  codes.push_back(walk(2, 1, 1));
  std::vector<int32_t> step(days, 700);
  std::fill(step.begin() + days / 3, step.end(), 701);
  codes.push_back(step);
  codes.push_back(codes[0]);
  std::vector<int32_t> mirror;
  for (int32_t close : codes[1]) mirror.push_back(40000 - close);
  codes.push_back(mirror);
  codes.push_back(std::vector<int32_t>(days, 1234));
  std::vector<int32_t> almostFlat(days, 1000000);
  almostFlat[days / 2] = 1000001;
  codes.push_back(almostFlat);
  return codes;
}

struct Bound {
  std::vector<std::vector<int32_t>> codes;
  CorrelationBound bound;
  Bound(std::vector<std::vector<int32_t>> series, int32_t days)
      : codes(std::move(series)), bound(Pointers(codes), days) {
    for (int32_t b = 0; b < bound.BlockCount(); ++b) bound.NormaliseBlock(b);
  }
  static std::vector<const int32_t*> Pointers(const std::vector<std::vector<int32_t>>& codes) {
    std::vector<const int32_t*> pointers;
    for (const auto& closes : codes) pointers.push_back(closes.data());
    return pointers;
  }
};

// What the screening computes of a pair scaled by sA and sB: the means of
// the exact whole sums, then the three sums around them.
double ComputedCorrelation(const std::vector<int32_t>& a, int32_t sA, const std::vector<int32_t>& b,
                           int32_t sB) {
  const auto n = static_cast<int32_t>(a.size());
  int64_t sumA = 0;
  int64_t sumB = 0;
  for (int32_t k = 0; k < n; ++k) {
    sumA += int64_t{a[k]} * sA;
    sumB += int64_t{b[k]} * sB;
  }
  return CorrelationAroundMeans(a.data(), sA, b.data(), sB, n, static_cast<double>(sumA) / n,
                                static_cast<double>(sumB) / n);
}

std::string Name(VectorPath path) { return path == VectorPath::kPlain ? "plain" : "AVX2"; }

}  // namespace

TEST(DotProductsOfBlocks, EveryProductLiesWithinItsBoundOnEveryBuild) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  for (const int32_t n : {1, 5, 1200}) {
    std::vector<float> rows(static_cast<size_t>(n) * kCorrelationLanes);
    std::vector<float> columns(rows.size());
    for (float& x : rows) x = value(random);
    for (float& x : columns) x = value(random);
    // A lane of one sign throughout sums without cancellation.
    for (int32_t i = 0; i < n; ++i) rows[static_cast<size_t>(i) * kCorrelationLanes] = 0.75f;
    for (const VectorPath path : AvailableVectorPaths()) {
      float results[kCorrelationLanes * kCorrelationLanes];
      DotProductsOfBlocksOn(path, rows.data(), columns.data(), n, results);
      for (int r = 0; r < kCorrelationLanes; ++r) {
        for (int c = 0; c < kCorrelationLanes; ++c) {
          long double exact = 0.0L;
          long double magnitude = 0.0L;
          for (int32_t i = 0; i < n; ++i) {
            const long double p =
                static_cast<long double>(rows[static_cast<size_t>(i) * kCorrelationLanes + r]) *
                columns[static_cast<size_t>(i) * kCorrelationLanes + c];
            exact += p;
            magnitude += std::fabs(p);
          }
          EXPECT_LE(std::fabs(results[r * kCorrelationLanes + c] - exact),
                    SingleDotProductError(n) * magnitude)
              << Name(path) << " n " << n << " lanes " << r << ", " << c;
        }
      }
    }
  }
}

// However the two codes are scaled, the correlation the screening computes
// lies within the margin of the estimate.
TEST(CorrelationBoundTest, TheComputedCorrelationLiesWithinTheMarginOfTheEstimate) {
  std::mt19937 random(11);
  for (const int32_t days : {5, 60, 1200}) {
    Bound data(Shapes(days, random), days);
    const auto count = static_cast<int32_t>(data.codes.size());
    // The flat series has no bound.
    EXPECT_FALSE(data.bound.EstimateOf(0, count - 2, VectorPath::kPlain)) << days;
    for (const VectorPath path : AvailableVectorPaths()) {
      for (int32_t i = 0; i < count; ++i) {
        for (int32_t j = i + 1; j < count; ++j) {
          const std::optional<CorrelationBound::Estimate> estimate =
              data.bound.EstimateOf(i, j, path);
          if (!estimate) continue;
          for (const int32_t sA : {1, 3, 100, 1000}) {
            for (const int32_t sB : {1, 7, 1000}) {
              const auto& a = data.codes[i];
              const auto& b = data.codes[j];
              if (*std::max_element(a.begin(), a.end()) > INT32_MAX / sA ||
                  *std::max_element(b.begin(), b.end()) > INT32_MAX / sB) {
                continue;
              }
              const double computed = ComputedCorrelation(a, sA, b, sB);
              EXPECT_LE(std::fabs(computed - estimate->value), estimate->margin)
                  << Name(path) << " days " << days << " codes " << i << ", " << j << " scales "
                  << sA << ", " << sB;
            }
          }
        }
      }
    }
    // A twin and a mirror image are estimated at 1 and -1 within a margin of
    // float rounding, far below any spread of ranges a user types.
    const auto twin = data.bound.EstimateOf(0, 9, VectorPath::kPlain);
    const auto mirror = data.bound.EstimateOf(1, 10, VectorPath::kPlain);
    ASSERT_TRUE(twin && mirror);
    EXPECT_NEAR(twin->value, 1.0, twin->margin);
    EXPECT_NEAR(mirror->value, -1.0, mirror->margin);
    EXPECT_LT(twin->margin, 2e-4);
  }
}

// A range that holds a pair's computed correlation, even as both its bounds,
// never sets the pair aside; a range that holds none of the unrelated pairs
// sets most of them aside.
TEST(CorrelationBoundTest, SetsAsideOnlyPairsOutsideTheRange) {
  std::mt19937 random(5);
  const int32_t days = 300;
  const std::vector<std::vector<int32_t>> codes = Shapes(days, random);
  const auto count = static_cast<int32_t>(codes.size());
  for (const VectorPath path : AvailableVectorPaths()) {
    for (int32_t i = 0; i < count; ++i) {
      for (int32_t j = i + 1; j < count; ++j) {
        const double computed = ComputedCorrelation(codes[i], 1, codes[j], 1);
        const struct {
          double lowest;
          double highest;
        } ranges[] = {{computed, computed}, {computed, 999.0}, {-999.0, computed}};
        for (const auto& range : ranges) {
          Bound data(codes, days);
          for (int32_t b = 0; b < data.bound.BlockCount(); ++b) {
            data.bound.SetAsideRowsOf(b, range.lowest, range.highest, path);
          }
          EXPECT_FALSE(data.bound.SetAside(i, j))
              << Name(path) << " codes " << i << ", " << j << " range " << range.lowest << " to "
              << range.highest;
        }
      }
    }
    Bound data(codes, days);
    for (int32_t b = 0; b < data.bound.BlockCount(); ++b) {
      data.bound.SetAsideRowsOf(b, 0.999, 1.0, path);
    }
    data.bound.ReleaseCloses();
    int setAside = 0;
    for (int32_t i = 0; i < count; ++i) {
      for (int32_t j = i + 1; j < count; ++j) setAside += data.bound.SetAside(i, j) ? 1 : 0;
    }
    EXPECT_FALSE(data.bound.SetAside(0, 9)) << Name(path);  // the twins
    EXPECT_GT(setAside, count * (count - 1) / 2 / 2) << Name(path);
  }
}
