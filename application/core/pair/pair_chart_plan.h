#pragma once
// What the pair chart shows, as plain data: its twelve series in painting
// order with their axes and pens, the points of one window of days, the
// grid shades and the month and year separators. The window's days become
// points 0 (newest) to range - 1; every point keeps its own day's place, so
// a day that a line skips leaves a gap instead of shifting later points.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pair/pair_chart_window.h"
#include "pair/pair_day_record.h"

// The series in painting order: the first gives the days' places, the
// second is the mean line.
enum class PairSeries : int32_t {
  kBar,     // ChartPairBar: deviation rate
  kMean,    // ChartPairLineCH: mean rate, across the plot
  kMa5,     // ChartPairLineC05
  kMa25,    // ChartPairLineC25
  kLowB,    // ChartPairLineB3
  kHighB,   // ChartPairLineB2
  kLowA,    // ChartPairLineA3
  kHighA,   // ChartPairLineA2
  kOpenB,   // ChartPairLineB1
  kOpenA,   // ChartPairLineA1
  kCloseB,  // ChartPairLineB
  kCloseA,  // ChartPairLineA
};
inline constexpr int32_t kPairSeriesCount = 12;

enum class PairPenStyle { kSolid, kDot, kSmallDots };
enum class PairPenMode { kCopy, kNotXor, kMergePenNot };

struct PairSeriesStyle {
  const char* name;  // the component name
  bool rightAxis;    // the rate pane; else the price pane
  uint32_t rgb;      // 0xRRGGBB
  PairPenStyle style;
  PairPenMode mode;
  bool closeLine;  // width from the line-width option
};

// The twelve series, indexed by PairSeries.
const std::array<PairSeriesStyle, kPairSeriesCount>& PairSeriesStyles();

inline constexpr uint32_t kBarOutlineRgb = 0x008040;
inline constexpr uint32_t kBarFillRgb = 0xFFFFFF;
inline constexpr uint32_t kWallRgb = 0xFFFFFF;
inline constexpr uint32_t kGradientEndRgb = 0xFFFFDC;
inline constexpr uint32_t kSigmaRgb = 0x00FFFF;

// Grid shade level 0..5: the grey of a grid or separator line (level n gives
// 0xF0 - 16 (n - 1) in each component), or none for level 0; out-of-range
// levels are held within 0..5.
std::optional<uint32_t> GridShadeRgb(int32_t level);
// The bottom-axis ticks: two levels darker, at most #909090.
std::optional<uint32_t> TickShadeRgb(int32_t level);

// The value format of the bar marks for the bar-label index (0 none).
const char* BarMarkFormat(int32_t barLabelIndex);

struct PairChartPoint {
  int32_t point = 0;  // the bar point of the day (0 = newest of the window)
  double value = 0.0;
  bool null = false;  // only bars are null: a day with a side without price
};

struct PairChartFill {
  ChartWindow window;
  std::array<std::vector<PairChartPoint>, kPairSeriesCount> series;
  std::vector<std::string> labels;  // one per bar point
  double mean = 0.0;
};

// The points and labels of `window` over `days` (newest first), labelled by
// date-label mode `labelMode` with `pixelsPerDay` pixels per day. The mean
// line takes `meanRate`.
PairChartFill FillPairChart(const std::vector<PairDayRecord>& days, const ChartWindow& window,
                            int32_t labelMode, double pixelsPerDay, double meanRate);

// The bar points that get a month or year separator: month and year starts
// from label mode 3 on, year starts in modes 1 and 2; none in mode 0 or with
// a separator shade of 0.
std::vector<int32_t> SeparatorPoints(const std::vector<PairDayRecord>& days,
                                     const ChartWindow& window, int32_t labelMode,
                                     int32_t separatorShade);

// The +-2 sigma lines of the rate pane: each drawn only when the switch is
// on, twoSigma is not 0 and its value lies strictly inside the axis.
struct SigmaLines {
  std::optional<double> upper;
  std::optional<double> lower;
};
SigmaLines SigmaLinesFor(bool shown, double meanRate, double twoSigma, double axisMin,
                         double axisMax);
