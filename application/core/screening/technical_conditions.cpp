#include "screening/technical_conditions.h"

#include <array>

#include "vcl/convert.h"

namespace {

// clang-format off
constexpr std::array<std::string_view, 3> kKindTexts = {
    "\x91\x8A\x8A\xD6\x8C\x57\x90\x94",  // 相関係数
    "\x89\xF1\x8B\x41\x8C\x57\x90\x94",  // 回帰係数
    "\x95\x57\x8F\x80\x95\xCE\x8D\xB7",  // 標準偏差
};
// clang-format on

constexpr int32_t kLongestPeriod = 1200;

}  // namespace

std::string TechnicalCaption(TechnicalKind kind, double value) {
  return kind == TechnicalKind::StdDeviation ? vcl::FloatToStrFFixed(value, 7, 2)
                                             : vcl::FloatToStrFFixed(value, 15, 6);
}

std::string_view TechnicalKindText(TechnicalKind kind) {
  return kKindTexts[static_cast<size_t>(kind)];
}

bool TechnicalKindOfText(std::string_view text, TechnicalKind& kind) {
  for (size_t i = 0; i < kKindTexts.size(); ++i) {
    if (kKindTexts[i] == text) {
      kind = static_cast<TechnicalKind>(i);
      return true;
    }
  }
  return false;
}

int32_t ResultSortKind(TechnicalKind kind) {
  switch (kind) {
    case TechnicalKind::Correlation:
      return 2;
    case TechnicalKind::Regression:
      return 5;
    case TechnicalKind::StdDeviation:
      break;
  }
  return 4;
}

int32_t ResultSortKindOfText(std::string_view text) {
  TechnicalKind kind = TechnicalKind::StdDeviation;
  TechnicalKindOfText(text, kind);
  return ResultSortKind(kind);
}

std::string JoinRangeText(std::string_view lower, int width, std::string_view upper) {
  std::string text;
  if (static_cast<int>(lower.size()) < width) text.assign(width - lower.size(), ' ');
  text += lower;
  text += kRangeSeparator;
  text += upper;
  return text;
}

std::pair<std::string, std::string> SplitRangeText(std::string_view text) {
  const size_t at = text.find(kRangeSeparator);
  if (at == std::string_view::npos) return {vcl::Trim(text), std::string()};
  return {vcl::Trim(text.substr(0, at)), std::string(text.substr(at + kRangeSeparator.size()))};
}

std::string CorrectPeriodText(std::string_view text, int32_t replacement) {
  if (text.empty()) return std::string();
  int32_t days = vcl::StrToIntDef(text, replacement);
  if (days < 1 || days > kLongestPeriod) days = replacement;
  return vcl::IntToStr(days);
}

std::string CorrectBoundText(std::string_view text, TechnicalKind kind, RangeBound bound) {
  if (text.empty()) return std::string();
  const bool upper = bound == RangeBound::Upper;
  double value = 0.0;
  const bool number = vcl::TryStrToFloat(text, value);
  switch (kind) {
    case TechnicalKind::Correlation: {
      const double fallback = upper ? 1.0 : 0.9;
      if (!number || value < -1.0 || value > 1.0) value = fallback;
      break;
    }
    case TechnicalKind::Regression:
      if (!number) value = upper ? 0.001 : -0.001;
      break;
    case TechnicalKind::StdDeviation:
      // No deviation is negative: the upper bound then goes, the lower one
      // falls back to its default.
      if (!number || value < 0.0) {
        if (upper) return std::string();
        value = 1.0;
      }
      break;
  }
  return TechnicalCaption(kind, value);
}
