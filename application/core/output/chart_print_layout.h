#pragma once
// The printed pair chart: the size the chart is drawn at for the page's
// orientation, the header of names, codes and statistics over it, and the
// status text shown while the preview is open. Pixels are the print chart's
// own; texts are code page 932.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Orientation as the settings keep it.
inline constexpr int32_t kPrintPortrait = 0;
inline constexpr int32_t kPrintLandscape = 1;

struct PrintChartSize {
  int32_t width = 0;
  int32_t height = 0;
  int32_t topMarginPercent = 0;  // the chart's own top margin
};

// Landscape: 1448 x 1024 with a top margin of 2 per cent; any other value:
// 1024 x 1448 with 3.
PrintChartSize PrintChartSizeFor(int32_t orientation);

// The chart's pixel size at a print resolution (0 down to -100): -r draws
// r per cent more pixels each way over the same paper, so that lines and
// texts come out finer. Resolutions outside the range count as 0.
PrintChartSize PrintChartSizeAt(int32_t orientation, int32_t resolution);

struct PrintHeaderTexts {
  std::string lineA;  // "Ａ - " name A " (" code A ")     "
  std::string lineB;  // "Ｂ - " name B " (" code B ")"
  std::string
      statistics;  // "相関係数: " p1 "   乖離範囲: " p2 "   乖離平均: " p3 "   回帰係数: " p4
};

// The header lines from the name panels' captions (a doubled "&" prints as
// one), the code boxes' texts and status panels 1 to 4.
PrintHeaderTexts MakePrintHeader(std::string_view namePanelA, std::string_view codeA,
                                 std::string_view namePanelB, std::string_view codeB,
                                 const std::array<std::string, 4>& panels);

struct TextPosition {
  int32_t x = 0;
  int32_t y = 0;  // the top of the text
};

struct PrintHeaderPositions {
  TextPosition lineA;
  TextPosition lineB;
  TextPosition statistics;
};

// Where the header lines go over the plotting area (left, top, right), given
// the drawn widths of line A and of the statistics line. Landscape: A and B
// on one line 18 pixels above the plot, B right after A; portrait: A 34 and
// B 18 pixels above it. The statistics end one pixel left of the plot's
// right edge, two pixels below line B's top.
PrintHeaderPositions PlacePrintHeader(int32_t orientation, int32_t plotLeft, int32_t plotTop,
                                      int32_t plotRight, int32_t widthA, int32_t widthStatistics);

// The font heights of the header, in pixels.
inline constexpr int32_t kPrintNameFontPixels = 13;
inline constexpr int32_t kPrintStatisticsFontPixels = 12;

// "印刷 - 方向: 横   解像度: 0": the orientation and the resolution as a
// positive number.
std::string PrintStatusText(bool landscape, int32_t resolution);

// The settings of the printed chart as they may be used: margins 0 to 100
// per cent with the two of a direction leaving some paper (else all four
// take their default 5), orientation 0 or 1 (else 1), resolution 0 down to
// -100 (else 0).
struct PrintChartSettings {
  std::array<int32_t, 4> margins{5, 5, 5, 5};  // left, top, right, bottom
  int32_t orientation = kPrintLandscape;
  int32_t resolution = 0;
};
PrintChartSettings ValidPrintChartSettings(const PrintChartSettings& stored);
