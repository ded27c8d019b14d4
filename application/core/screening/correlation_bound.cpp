#include "screening/correlation_bound.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

// Why the margin holds. Take a code's closes x over n days, scaled by a whole
// s >= 1, and t = s x - mu their exact deviations. The correlation code takes
// the mean M = fl(S / n) of the exact whole sum S, so |M - mu| <= u mu, and
// each deviation d = fl(s x - M) lies within u mu + u (s x + M) <= 3.0001 u X
// of t (X the largest scaled close, u = 2^-53): ||d - t|| <= E = 3.0001 u X
// sqrt(n), and E / ||t|| = eta does not depend on s. Then the cosine of two
// codes' d lies within 2.1 (eta_a + eta_b) of the exact correlation rho (eta
// <= 0.01), and the correlation computed from the three rounded sums within
// 2.01 gamma_n + 4.01 u of that cosine. The estimate is the same cosine of
// this code's own d (s = 1) normalised in double and rounded to floats: the
// normalising and the rounding move it by at most 2.0001 u_f + 4.03
// gamma_{n+2} + 2.01 u, and the single-precision dot product by
// SingleDotProductError(n) (u_f = 2^-24). Both the computed correlation and
// the estimate lie within their bounds of rho, hence of each other.

namespace {

constexpr double kUnitRoundoff = 0x1p-53;
constexpr double kSingleRoundoff = 0x1p-24;
constexpr double kLargestError = 0.01;
constexpr size_t kLanes = kCorrelationLanes;

double Gamma(int32_t n) {
  const double nu = n * kUnitRoundoff;
  return nu / (1.0 - nu);
}

}  // namespace

CorrelationBound::CorrelationBound(std::vector<const int32_t*> closes, int32_t days)
    : closes_(std::move(closes)),
      days_(std::max(days, 0)),
      blockCount_(static_cast<int32_t>((closes_.size() + kLanes - 1) / kLanes)),
      words_((closes_.size() + 63) / 64),
      error_(closes_.size(), std::numeric_limits<double>::infinity()),
      setAside_(closes_.size() * words_, 0) {
  const int32_t n = days_;
  fixedMargin_ = 1.0001 * SingleDotProductError(n) + 2.0001 * kSingleRoundoff +
                 4.03 * Gamma(n + 2) + 6.1 * kUnitRoundoff + 2.01 * Gamma(n);
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
    const double farthest =
        3.0001 * kUnitRoundoff * largest * std::sqrt(static_cast<double>(n)) * (1.0 + 1e-12);
    // The exact deviations' norm is at least this.
    const double exactNorm = norm / (1.0 + Gamma(n + 2)) - farthest;
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
  return 1.01 * (fixedMargin_ + 4.2 * (error_[i] + error_[j])) + 1e-15;
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
