#include "output/chart_print_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintChartSize, FollowsTheOrientationAndTheResolution) {
  const struct {
    int32_t orientation, resolution, width, height, top;
  } cases[] = {
      {kPrintLandscape, 0, 1448, 1024, 2},
      {kPrintPortrait, 0, 1024, 1448, 3},
      {7, 0, 1024, 1448, 3},
      {kPrintLandscape, -50, 2172, 1536, 2},
      {kPrintPortrait, -100, 2048, 2896, 3},
      {kPrintLandscape, -101, 1448, 1024, 2},
      {kPrintLandscape, 20, 1448, 1024, 2},
  };
  for (const auto& c : cases) {
    const PrintChartSize size = PrintChartSizeAt(c.orientation, c.resolution);
    EXPECT_EQ(size.width, c.width) << c.orientation << " " << c.resolution;
    EXPECT_EQ(size.height, c.height) << c.orientation << " " << c.resolution;
    EXPECT_EQ(size.topMarginPercent, c.top) << c.orientation << " " << c.resolution;
  }
}

TEST(PrintHeader, NamesWithSingleAmpersandsCodesAndTheFourStatistics) {
  const PrintHeaderTexts texts = MakePrintHeader("T1 : A&&B&&&&C&", "1301", "T1 : Nissui", "1332",
                                                 {"0.95", "3.2", "0.1", "1.5"});
  // "Ａ - T1 : A&B&&C& (1301)     "
  EXPECT_EQ(texts.lineA, "\x82\x60 - T1 : A&B&&C& (1301)     ");
  EXPECT_EQ(texts.lineB, "\x82\x61 - T1 : Nissui (1332)");
  // "相関係数: 0.95   乖離範囲: 3.2   乖離平均: 0.1   回帰係数: 1.5"
  EXPECT_EQ(texts.statistics,
            "\x91\x8A\x8A\xD6\x8C\x57\x90\x94: 0.95   \x98\xA8\x97\xA3\x94\xCD\x88\xCD: 3.2   "
            "\x98\xA8\x97\xA3\x95\xBD\x8B\xCF: 0.1   \x89\xF1\x8B\x41\x8C\x57\x90\x94: 1.5");
}

TEST(PrintHeader, LandscapeOneLineEighteenAbovePortraitTwoLines) {
  const PrintHeaderPositions landscape = PlacePrintHeader(kPrintLandscape, 60, 100, 1400, 210, 400);
  EXPECT_EQ(landscape.lineA.x, 65);
  EXPECT_EQ(landscape.lineA.y, 82);
  EXPECT_EQ(landscape.lineB.x, 275);
  EXPECT_EQ(landscape.lineB.y, 82);
  EXPECT_EQ(landscape.statistics.x, 999);
  EXPECT_EQ(landscape.statistics.y, 84);

  const PrintHeaderPositions portrait = PlacePrintHeader(kPrintPortrait, 60, 100, 1000, 210, 400);
  EXPECT_EQ(portrait.lineA.x, 65);
  EXPECT_EQ(portrait.lineA.y, 66);
  EXPECT_EQ(portrait.lineB.x, 64);
  EXPECT_EQ(portrait.lineB.y, 82);
  EXPECT_EQ(portrait.statistics.x, 599);
  EXPECT_EQ(portrait.statistics.y, 84);
}

TEST(PrintStatus, OrientationAndResolutionAsAPositiveNumber) {
  // "印刷 - 方向: 横   解像度: 0"
  EXPECT_EQ(PrintStatusText(true, 0),
            "\x88\xF3\x8D\xFC - \x95\xFB\x8C\xFC: \x89\xA1   \x89\xF0\x91\x9C\x93\x78: 0");
  EXPECT_EQ(PrintStatusText(false, -35),
            "\x88\xF3\x8D\xFC - \x95\xFB\x8C\xFC: \x8F\x63   \x89\xF0\x91\x9C\x93\x78: 35");
}

TEST(PrintChartSettings, ValuesOutOfRangeTakeTheirDefaults) {
  const struct {
    PrintChartSettings stored;
    PrintChartSettings valid;
  } cases[] = {
      {{{0, 10, 20, 30}, 0, -100}, {{0, 10, 20, 30}, 0, -100}},
      {{{-1, 10, 20, 30}, 0, 0}, {{5, 5, 5, 5}, 0, 0}},
      {{{0, 101, 0, 0}, 1, 0}, {{5, 5, 5, 5}, 1, 0}},
      // No paper left between the margins of one direction.
      {{{50, 0, 50, 0}, 1, 0}, {{5, 5, 5, 5}, 1, 0}},
      {{{0, 60, 0, 40}, 1, 0}, {{5, 5, 5, 5}, 1, 0}},
      {{{5, 5, 5, 5}, 2, 1}, {{5, 5, 5, 5}, 1, 0}},
      {{{5, 5, 5, 5}, -1, -101}, {{5, 5, 5, 5}, 1, 0}},
  };
  for (const auto& c : cases) {
    const PrintChartSettings valid = ValidPrintChartSettings(c.stored);
    EXPECT_EQ(valid.margins, c.valid.margins);
    EXPECT_EQ(valid.orientation, c.valid.orientation);
    EXPECT_EQ(valid.resolution, c.valid.resolution);
  }
}

}  // namespace
