#include "output/chart_print_layout.h"

#include "pair/pair_item.h"
#include "vcl/convert.h"

namespace {

constexpr int32_t kLowestResolution = -100;

bool ValidResolution(int32_t resolution) {
  return resolution <= 0 && resolution >= kLowestResolution;
}

}  // namespace

PrintChartSize PrintChartSizeFor(int32_t orientation) {
  if (orientation == kPrintLandscape) return {1448, 1024, 2};
  return {1024, 1448, 3};
}

PrintChartSize PrintChartSizeAt(int32_t orientation, int32_t resolution) {
  PrintChartSize size = PrintChartSizeFor(orientation);
  if (!ValidResolution(resolution)) resolution = 0;
  const int32_t percent = 100 - resolution;
  size.width = size.width * percent / 100;
  size.height = size.height * percent / 100;
  return size;
}

PrintHeaderTexts MakePrintHeader(std::string_view namePanelA, std::string_view codeA,
                                 std::string_view namePanelB, std::string_view codeB,
                                 const std::array<std::string, 4>& panels) {
  PrintHeaderTexts texts;
  texts.lineA = "\x82\x60 - ";  // "Ａ - "
  texts.lineA += SingleAmpersands(namePanelA);
  texts.lineA += " (";
  texts.lineA += codeA;
  texts.lineA += ")     ";
  texts.lineB = "\x82\x61 - ";  // "Ｂ - "
  texts.lineB += SingleAmpersands(namePanelB);
  texts.lineB += " (";
  texts.lineB += codeB;
  texts.lineB += ")";
  texts.statistics = "\x91\x8A\x8A\xD6\x8C\x57\x90\x94: " + panels[0] +     // 相関係数
                     "   \x98\xA8\x97\xA3\x94\xCD\x88\xCD: " + panels[1] +  // 乖離範囲
                     "   \x98\xA8\x97\xA3\x95\xBD\x8B\xCF: " + panels[2] +  // 乖離平均
                     "   \x89\xF1\x8B\x41\x8C\x57\x90\x94: " + panels[3];   // 回帰係数
  return texts;
}

PrintHeaderPositions PlacePrintHeader(int32_t orientation, int32_t plotLeft, int32_t plotTop,
                                      int32_t plotRight, int32_t widthA, int32_t widthStatistics) {
  // H is the name font's height as the framework gives it, negative.
  constexpr int32_t h = -kPrintNameFontPixels;
  PrintHeaderPositions at;
  if (orientation == kPrintLandscape) {
    at.lineA = {plotLeft + 5, h + plotTop - 5};
    at.lineB = {at.lineA.x + widthA, at.lineA.y};
  } else {
    at.lineA = {plotLeft + 5, 2 * h + plotTop - 8};
    at.lineB = {plotLeft + 4, at.lineA.y - h + 3};
  }
  at.statistics = {plotRight - widthStatistics - 1, at.lineB.y + 2};
  return at;
}

std::string PrintStatusText(bool landscape, int32_t resolution) {
  // "印刷 - 方向: " + 横 or 縦 + "   解像度: "
  std::string text = "\x88\xF3\x8D\xFC - \x95\xFB\x8C\xFC: ";
  text += landscape ? "\x89\xA1" : "\x8F\x63";
  text += "   \x89\xF0\x91\x9C\x93\x78: ";
  text += vcl::IntToStr(-static_cast<int64_t>(resolution));
  return text;
}

PrintChartSettings ValidPrintChartSettings(const PrintChartSettings& stored) {
  const PrintChartSettings defaults;
  PrintChartSettings valid = stored;
  bool marginsValid = true;
  for (int32_t margin : stored.margins) marginsValid = marginsValid && margin >= 0 && margin <= 100;
  marginsValid = marginsValid && stored.margins[0] + stored.margins[2] < 100 &&
                 stored.margins[1] + stored.margins[3] < 100;
  if (!marginsValid) valid.margins = defaults.margins;
  if (stored.orientation != kPrintPortrait && stored.orientation != kPrintLandscape) {
    valid.orientation = defaults.orientation;
  }
  if (!ValidResolution(stored.resolution)) valid.resolution = defaults.resolution;
  return valid;
}
