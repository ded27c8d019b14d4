#include "pair/pair_chart_plan.h"

#include <algorithm>

#include "pair/pair_chart_labels.h"

const std::array<PairSeriesStyle, kPairSeriesCount>& PairSeriesStyles() {
  using S = PairPenStyle;
  using M = PairPenMode;
  static const std::array<PairSeriesStyle, kPairSeriesCount> styles{{
      {"ChartPairBar", true, kBarOutlineRgb, S::kSolid, M::kCopy, false},
      {"ChartPairLineCH", true, 0x808080, S::kDot, M::kNotXor, false},
      {"ChartPairLineC05", true, 0x0080FF, S::kSolid, M::kMergePenNot, false},
      {"ChartPairLineC25", true, 0xFF8000, S::kSolid, M::kMergePenNot, false},
      {"ChartPairLineB3", false, 0xFF80FF, S::kDot, M::kCopy, false},
      {"ChartPairLineB2", false, 0xFF80FF, S::kDot, M::kCopy, false},
      {"ChartPairLineA3", false, 0x00C0FF, S::kDot, M::kCopy, false},
      {"ChartPairLineA2", false, 0x00C0FF, S::kDot, M::kCopy, false},
      {"ChartPairLineB1", false, 0xFF0000, S::kSmallDots, M::kCopy, false},
      {"ChartPairLineA1", false, 0x0000FF, S::kSmallDots, M::kCopy, false},
      {"ChartPairLineB", false, 0xFF0000, S::kSolid, M::kCopy, true},
      {"ChartPairLineA", false, 0x0000FF, S::kSolid, M::kCopy, true},
  }};
  return styles;
}

namespace {

uint32_t Grey(int32_t level) {
  const auto c = static_cast<uint32_t>(0xF0 - 16 * (level - 1));
  return c << 16 | c << 8 | c;
}

std::vector<PairChartPoint>& Of(PairChartFill& fill, PairSeries series) {
  return fill.series[static_cast<size_t>(series)];
}

}  // namespace

std::optional<uint32_t> GridShadeRgb(int32_t level) {
  level = std::clamp(level, 0, 5);
  if (level == 0) return std::nullopt;
  return Grey(level);
}

std::optional<uint32_t> TickShadeRgb(int32_t level) {
  level = std::clamp(level, 0, 5);
  if (level == 0) return std::nullopt;
  return Grey(std::min(level + 2, 7));
}

const char* BarMarkFormat(int32_t barLabelIndex) {
  switch (barLabelIndex) {
    case 1:
      return "##0";
    case 2:
      return "##0.#";
    case 3:
      return "##0.##";
    default:
      return "";
  }
}

PairChartFill FillPairChart(const std::vector<PairDayRecord>& days, const ChartWindow& window,
                            int32_t labelMode, double pixelsPerDay, double meanRate) {
  PairChartFill fill;
  fill.window = window;
  fill.mean = meanRate;
  fill.labels = DateLabels(days, window, labelMode, pixelsPerDay);
  const int32_t range = window.Empty() ? 0 : window.Range();
  for (auto& points : fill.series) points.reserve(static_cast<size_t>(range));
  for (int32_t point = 0; point < range; ++point) {
    const PairDayRecord& day = days[static_cast<size_t>(window.Day(point))];
    if (day.CloseA < 1 || day.CloseB < 1) {
      Of(fill, PairSeries::kBar).push_back({point, 0.0, true});
    } else {
      Of(fill, PairSeries::kBar).push_back({point, day.Rate, false});
      if (day.Ma5 < kNoAverage) Of(fill, PairSeries::kMa5).push_back({point, day.Ma5, false});
      if (day.Ma25 < kNoAverage) Of(fill, PairSeries::kMa25).push_back({point, day.Ma25, false});
    }
    if (day.CloseA != 0) {
      Of(fill, PairSeries::kCloseA).push_back({point, static_cast<double>(day.CloseA), false});
      Of(fill, PairSeries::kOpenA).push_back({point, static_cast<double>(day.OpenA), false});
      Of(fill, PairSeries::kHighA).push_back({point, static_cast<double>(day.HighA), false});
      Of(fill, PairSeries::kLowA).push_back({point, static_cast<double>(day.LowA), false});
    }
    if (day.CloseB != 0) {
      Of(fill, PairSeries::kCloseB).push_back({point, static_cast<double>(day.CloseB), false});
      Of(fill, PairSeries::kOpenB).push_back({point, static_cast<double>(day.OpenB), false});
      Of(fill, PairSeries::kHighB).push_back({point, static_cast<double>(day.HighB), false});
      Of(fill, PairSeries::kLowB).push_back({point, static_cast<double>(day.LowB), false});
    }
  }
  return fill;
}

std::vector<int32_t> SeparatorPoints(const std::vector<PairDayRecord>& days,
                                     const ChartWindow& window, int32_t labelMode,
                                     int32_t separatorShade) {
  std::vector<int32_t> points;
  if (labelMode <= 0 || labelMode > 6 || !GridShadeRgb(separatorShade) || window.Empty()) {
    return points;
  }
  for (int32_t point = 0; point < window.Range(); ++point) {
    const int32_t mark = days[static_cast<size_t>(window.Day(point))].Mark;
    if ((labelMode >= 3 && mark > 0) || (labelMode <= 2 && mark == 2)) points.push_back(point);
  }
  return points;
}

SigmaLines SigmaLinesFor(bool shown, double meanRate, double twoSigma, double axisMin,
                         double axisMax) {
  SigmaLines lines;
  if (!shown || twoSigma == 0.0) return lines;
  const auto inside = [&](double value) { return value > axisMin && value < axisMax; };
  if (inside(meanRate + twoSigma)) lines.upper = meanRate + twoSigma;
  if (inside(meanRate - twoSigma)) lines.lower = meanRate - twoSigma;
  return lines;
}
