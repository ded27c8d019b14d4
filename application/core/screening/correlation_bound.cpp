#include "screening/correlation_bound.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

// Why the margin holds, one step per constant below. Take a code's closes x
// over n days, scaled by a whole s >= 1 (a pair's unit and ratio), X the
// largest s x, t = s x - mu the exact deviations from their mean mu, rho the
// exact correlation of two codes (no s changes it), u = 2^-53, u_f = 2^-24
// and gamma_m = m u / (1 - m u). The correlation code (CorrelationAroundMeans
// and its lanes) takes the deviations d = fl(s x - M) from M = fl(S / n) of
// the exact whole sum S, then the three sums of their products and the
// coefficient of those. The estimate here is the single-precision dot product
// of two codes' own deviations (s = 1), each divided by its computed norm and
// rounded to floats. The computed correlation and the estimate each lie
// within their bounds of rho, hence within the margin of each other, and a
// pair is set aside only when no value within the margin of its estimate is
// in the range.

namespace {

constexpr double kUnitRoundoff = 0x1p-53;
constexpr double kSingleRoundoff = 0x1p-24;
constexpr size_t kLanes = kCorrelationLanes;

double Gamma(int32_t n) {
  const double nu = n * kUnitRoundoff;
  return nu / (1.0 - nu);
}

// |M - mu| <= u mu and |d - (s x - M)| <= u (s x + M), so each deviation lies
// within u X + u (X + (1 + u) X) = (3 + u) u X of t: ||d - t|| <= E =
// 3.0001 u X sqrt(n). The 0.0001 holds the u^2 X of M's own rounding.
constexpr double kDeviationRoundoffs = 3.0001;
// E as computed lies within a few u of that product (3.0001 and 1 + 1e-12
// are no doubles, and the products and the root round); raised by 1e-12 it
// is never below E.
constexpr double kRoundedUp = 1.0 + 1e-12;

// The computed norm of n deviations, fl(sqrt(fl(sum of squares))), lies
// within a factor 1 + NormError(n) of their norm either way: the sum's
// gamma_n, halved by the root, and the root's own u stay below gamma_{n+2}.
// So ||t|| >= ||d|| - E >= norm / (1 + NormError(n)) - E, and eta = E / ||t||
// is at most what NormaliseBlock takes for a code's error; eta is the same
// for every s, as E and ||t|| both grow with s.
double NormError(int32_t n) { return Gamma(n + 2); }

// A code whose eta may lie above this gets no bound. At or below it, its
// computed deviations lie too near t ever to come out as a spread of 0 (the
// coefficient's special case); and the margin of a code farther off would
// be too wide to set pairs aside.
constexpr double kLargestError = 0.01;

// For any two vectors ||d / ||d|| - t / ||t|||| <= 2 ||d - t|| / ||t||, so the
// cosine of two codes' d lies within 2 (eta_a + eta_b) of rho. 2.1 keeps a
// twentieth to spare.
constexpr double kCosineOfNearVectors = 2.1;
// The computed correlation is that cosine of the pair's scaled d, the
// estimate that of each code's own d (s = 1): both within 2.1 (eta_a + eta_b)
// of rho, so within twice that of each other.
constexpr double kBothCosines = 2 * kCosineOfNearVectors;
static_assert(kBothCosines == 4.2);

// The coefficient from the three sums, against the cosine of its d: sxy lies
// within gamma_n ||d_a|| ||d_b|| of its exact sum, sxx and syy within gamma_n
// relatively, which their roots halve; the two roots, their product and the
// division round once each. That is 2 gamma_n + 4 u, and 0.01 of each holds
// the products of these terms. Clamping it to [-1, 1] only brings it nearer
// to rho.
constexpr double kSumsGammas = 2.01;
constexpr double kSumsRoundoffs = 4.01;

// The estimate's normalising, against the cosine of each code's own d: the
// division rounds each value by u, the float by u_f, and the two norms lie
// within NormError(n) of ||d_a|| and ||d_b||. The exact dot product of the
// floats then lies within 2 u_f + 2 u + 2 NormError(n) of the cosine, and
// 0.0001 u_f and 0.01 u hold the products of these terms. The norms' term is
// kept at 4.03 NormError(n), twice what they need: the margin is wider than
// it must be by some 3e-13 at 1,200 days, which at worst leaves a pair to its
// full evaluation.
constexpr double kNormalisingSingleRoundoffs = 2.0001;
constexpr double kNormalisingRoundoffs = 2.01;
constexpr double kNormalisingNormErrors = 4.03;
// The u terms of the two steps above, 6.02 u, are taken together as 6.1 u.
constexpr double kBothRoundoffs = 6.1;
static_assert(kSumsRoundoffs + kNormalisingRoundoffs <= kBothRoundoffs);

// The single-precision dot product lies within SingleDotProductError(n)
// times the sum of the products' magnitudes of the exact one; that sum is at
// most the product of the floats' two norms, each at most (1 + u)(1 + u_f) /
// (1 - NormError(n)), so below 1.0001.
constexpr double kDotProductNorms = 1.0001;

// The margin and each code's eta are computed in doubles: their own
// roundings, a few u of each, move the margin by far less than a hundredth,
// and 1.01 holds them.
constexpr double kMarginRoundedUp = 1.01;
// What no relative bound holds: the rounding of the estimate plus or minus
// the margin where it is compared with the range (below 1.2e-16), and the
// normalised values and their products that are too small for a float's
// full precision (below 1e-40 in all).
constexpr double kMarginAbsolute = 1e-15;

}  // namespace

CorrelationBound::CorrelationBound(std::vector<const int32_t*> closes, int32_t days)
    : closes_(std::move(closes)),
      days_(std::max(days, 0)),
      blockCount_(static_cast<int32_t>((closes_.size() + kLanes - 1) / kLanes)),
      words_((closes_.size() + 63) / 64),
      error_(closes_.size(), std::numeric_limits<double>::infinity()),
      setAside_(closes_.size() * words_, 0) {
  const int32_t n = days_;
  fixedMargin_ = kDotProductNorms * SingleDotProductError(n) +
                 kNormalisingSingleRoundoffs * kSingleRoundoff +
                 kNormalisingNormErrors * NormError(n) + kBothRoundoffs * kUnitRoundoff +
                 kSumsGammas * Gamma(n);
  if (n >= 2) normalised_.resize(blockCount_);
}

void CorrelationBound::NormaliseBlock(int32_t block) {
  if (normalised_.empty()) return;
  const int32_t n = days_;
  normalised_[block].assign(kLanes * n, 0.0f);
  float* values = normalised_[block].data();
  std::vector<double> deviations(n);
  for (size_t l = 0; l < kLanes; ++l) {
    const size_t code = static_cast<size_t>(block) * kLanes + l;
    if (code >= closes_.size()) break;
    const int32_t* x = closes_[code];
    if (x == nullptr || std::any_of(x, x + n, [](int32_t close) { return close <= 0; })) continue;
    int64_t sum = 0;
    int32_t largest = 0;
    for (int32_t k = 0; k < n; ++k) {
      sum += x[k];
      largest = std::max(largest, x[k]);
    }
    const double mean = static_cast<double>(sum) / n;
    double squares = 0.0;
    for (int32_t k = 0; k < n; ++k) {
      deviations[k] = static_cast<double>(x[k]) - mean;
      squares += deviations[k] * deviations[k];
    }
    const double norm = std::sqrt(squares);
    // E, and a lower bound of ||t||.
    const double farthest = kDeviationRoundoffs * kUnitRoundoff * largest *
                            std::sqrt(static_cast<double>(n)) * kRoundedUp;
    const double exactNorm = norm / (1.0 + NormError(n)) - farthest;
    if (!(exactNorm > 0.0)) continue;
    const double error = farthest / exactNorm;
    if (!(error <= kLargestError)) continue;
    error_[code] = error;
    for (int32_t k = 0; k < n; ++k) {
      values[static_cast<size_t>(k) * kLanes + l] = static_cast<float>(deviations[k] / norm);
    }
  }
}

double CorrelationBound::MarginOf(int32_t i, int32_t j) const {
  return kMarginRoundedUp * (fixedMargin_ + kBothCosines * (error_[i] + error_[j])) +
         kMarginAbsolute;
}

void CorrelationBound::SetAsideRowsOf(int32_t rowBlock, double lowest, double highest,
                                      VectorPath path) {
  if (normalised_.empty()) return;
  const float* rows = normalised_[rowBlock].data();
  const int32_t firstRow = rowBlock * static_cast<int32_t>(kLanes);
  const auto codes = static_cast<int32_t>(error_.size());
  float products[kLanes * kLanes];
  for (int32_t columnBlock = rowBlock; columnBlock < blockCount_; ++columnBlock) {
    DotProductsOfBlocksOn(path, rows, normalised_[columnBlock].data(), days_, products);
    const int32_t firstColumn = columnBlock * static_cast<int32_t>(kLanes);
    for (size_t r = 0; r < kLanes; ++r) {
      const int32_t i = firstRow + static_cast<int32_t>(r);
      if (i >= codes || std::isinf(error_[i])) continue;
      uint64_t* marks = setAside_.data() + static_cast<size_t>(i) * words_;
      for (size_t c = 0; c < kLanes; ++c) {
        const int32_t j = firstColumn + static_cast<int32_t>(c);
        if (j <= i || j >= codes || std::isinf(error_[j])) continue;
        const double value = products[r * kLanes + c];
        const double margin = MarginOf(i, j);
        if (value + margin < lowest || value - margin > highest) {
          marks[j / 64] |= uint64_t{1} << (j % 64);
        }
      }
    }
  }
}

void CorrelationBound::ReleaseCloses() {
  normalised_ = {};
  closes_ = {};
}

std::optional<CorrelationBound::Estimate> CorrelationBound::EstimateOf(int32_t i, int32_t j,
                                                                       VectorPath path) const {
  if (normalised_.empty() || std::isinf(error_[i]) || std::isinf(error_[j])) {
    return std::nullopt;
  }
  float products[kLanes * kLanes];
  DotProductsOfBlocksOn(path, normalised_[static_cast<size_t>(i) / kLanes].data(),
                        normalised_[static_cast<size_t>(j) / kLanes].data(), days_, products);
  return Estimate{
      products[static_cast<size_t>(i) % kLanes * kLanes + static_cast<size_t>(j) % kLanes],
      MarginOf(i, j)};
}
