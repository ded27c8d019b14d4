#include "screening/correlation_bound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
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

// The correlation of a and b to the precision of a long double: the sums
// of the closes and of their products are exact in 128-bit integers.
long double ExactCorrelation(const std::vector<int32_t>& a, const std::vector<int32_t>& b) {
  const auto n = static_cast<__int128>(a.size());
  __int128 sumA = 0;
  __int128 sumB = 0;
  __int128 sumAA = 0;
  __int128 sumBB = 0;
  __int128 sumAB = 0;
  for (size_t k = 0; k < a.size(); ++k) {
    sumA += a[k];
    sumB += b[k];
    sumAA += static_cast<__int128>(a[k]) * a[k];
    sumBB += static_cast<__int128>(b[k]) * b[k];
    sumAB += static_cast<__int128>(a[k]) * b[k];
  }
  const auto spreadA = static_cast<long double>(n * sumAA - sumA * sumA);
  const auto spreadB = static_cast<long double>(n * sumBB - sumB * sumB);
  return static_cast<long double>(n * sumAB - sumA * sumB) / std::sqrt(spreadA * spreadB);
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

// A sum that sits at 1 while every later product, just under half a unit
// in its last place, rounds away: the error grows by almost a unit roundoff
// at each day, as far as the bound lets it.
TEST(DotProductsOfBlocks, ASumThatEveryDayRoundsTheSameWayStaysWithinItsBound) {
  const float small = 0x1p-12f;
  const float justUnderSmall = (1.0f - 0x1p-24f) * 0x1p-12f;
  for (const int32_t n : {5, 1200}) {
    std::vector<float> rows(static_cast<size_t>(n) * kCorrelationLanes, small);
    std::vector<float> columns(rows.size(), justUnderSmall);
    std::fill(rows.begin(), rows.begin() + kCorrelationLanes, 1.0f);
    std::fill(columns.begin(), columns.begin() + kCorrelationLanes, 1.0f);
    const long double product = static_cast<long double>(small) * justUnderSmall;
    const long double exact = 1.0L + (n - 1) * product;
    const long double bound = SingleDotProductError(n) * exact;
    for (const VectorPath path : AvailableVectorPaths()) {
      float results[kCorrelationLanes * kCorrelationLanes];
      DotProductsOfBlocksOn(path, rows.data(), columns.data(), n, results);
      for (const float result : results) {
        const long double error = std::fabs(result - exact);
        EXPECT_LE(error, bound) << Name(path) << " n " << n;
        // The case itself: with a bound half as wide, it would fall out.
        EXPECT_GT(error, bound / 2) << Name(path) << " n " << n;
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

// Three days whose float roundings of the normalised closes, of the products
// and of the sums go mostly one way (found by a search of many pairs): the
// estimate lies further from the exact correlation than half its margin,
// yet within it, and so does every scaled correlation the screening
// computes.
TEST(CorrelationBoundTest, ThreeDaysWhoseRoundingsGoOneWayStayWithinTheMargin) {
  const std::vector<std::vector<int32_t>> codes = {
      {259, 808, 428}, {586, 917, 688}, {61, 519, 176},     {983, 325, 818},
      {958, 606, 822}, {341, 714, 485}, {9536, 3646, 6530}, {9056, 882, 3747},
  };
  const Bound data(codes, 3);
  for (const VectorPath path : AvailableVectorPaths()) {
    double largestShare = 0.0;
    for (int32_t i = 0; i + 1 < static_cast<int32_t>(codes.size()); i += 2) {
      const std::optional<CorrelationBound::Estimate> estimate =
          data.bound.EstimateOf(i, i + 1, path);
      ASSERT_TRUE(estimate) << Name(path) << " codes " << i;
      const long double exact = ExactCorrelation(codes[i], codes[i + 1]);
      const auto error = static_cast<double>(std::fabs(estimate->value - exact));
      EXPECT_LE(error, estimate->margin) << Name(path) << " codes " << i;
      largestShare = std::max(largestShare, error / estimate->margin);
      for (const int32_t sA : {1, 7, 1000}) {
        for (const int32_t sB : {1, 3, 100000}) {
          const double computed = ComputedCorrelation(codes[i], sA, codes[i + 1], sB);
          EXPECT_LE(std::fabs(computed - estimate->value), estimate->margin)
              << Name(path) << " codes " << i << " scales " << sA << ", " << sB;
        }
      }
    }
    // The cases themselves: with a margin half as wide, one would fall out.
    EXPECT_GT(largestShare, 0.5) << Name(path);
  }
}

// Closes at the top of 32 bits with a spread of a few yen: the rounding of
// their mean is as large as a mean's can be against their deviations, and
// the deviations' error is most of the margin. (That rounding shifts every
// deviation alike, and the exact deviations sum to 0, so the correlations
// move only by its square: no closes take that part of the margin.) The
// estimate and the computed correlation lie within it of the exact one.
TEST(CorrelationBoundTest, ClosesAtTheTopOf32BitsStayWithinTheMargin) {
  std::mt19937 random(13);
  for (const int32_t days : {3, 60, 1200}) {
    std::vector<std::vector<int32_t>> codes(4);
    for (std::vector<int32_t>& closes : codes) {
      for (int32_t d = 0; d < days; ++d) {
        closes.push_back(INT32_MAX - static_cast<int32_t>(random() % 7));
      }
    }
    const Bound data(codes, days);
    for (const VectorPath path : AvailableVectorPaths()) {
      for (int32_t i = 0; i < 4; ++i) {
        for (int32_t j = i + 1; j < 4; ++j) {
          const std::optional<CorrelationBound::Estimate> estimate =
              data.bound.EstimateOf(i, j, path);
          ASSERT_TRUE(estimate) << Name(path) << " days " << days;
          const long double exact = ExactCorrelation(codes[i], codes[j]);
          EXPECT_LE(std::fabs(estimate->value - exact), estimate->margin)
              << Name(path) << " days " << days << " codes " << i << ", " << j;
          EXPECT_LE(std::fabs(ComputedCorrelation(codes[i], 1, codes[j], 1) - exact),
                    estimate->margin)
              << Name(path) << " days " << days << " codes " << i << ", " << j;
        }
      }
    }
  }
}
