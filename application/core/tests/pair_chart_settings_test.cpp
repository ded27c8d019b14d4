#include "pair/pair_chart_settings.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"

namespace {

TEST(PairChartSettings, MissingKeysTakeTheDefaultsGiven) {
  ScratchDir dir;
  const vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  const PairChartSettings chart = ReadPairChartSettings(ini, kPairChartSection, {});
  EXPECT_EQ(chart.BarLabel, 2);
  EXPECT_EQ(chart.Split, 75);
  EXPECT_EQ(chart.Grid, (std::array<int32_t, 3>{4, 3, 2}));
  EXPECT_EQ(chart.From, "1");
  EXPECT_EQ(chart.To, "1200");
  EXPECT_EQ(chart.Renge, -20);
  EXPECT_EQ(chart.LinesAB, (std::array<bool, 6>{}));
  const PairChartSettings preset = ReadPairChartSettings(ini, "ChartF5", PresetDefaults());
  EXPECT_EQ(preset.BarLabel, 3);
  EXPECT_EQ(preset.Split, 70);
}

TEST(PairChartSettings, PresetIsWrittenInKeyOrderAndErasedByAHyphen) {
  ScratchDir dir;
  vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  PairChartSettings s;
  s.LinesAB = {true, false, false, false, false, true};
  s.LinesC = {false, true, false, false};
  s.Grid = {0, 5, 1};
  // Through a string of its own: GCC 12 sees the assignment of a short literal
  // here as a read of uninitialised bytes in release builds (a false warning).
  s.From = std::string("11");
  s.Renge = -35;
  RegisterChartPreset(ini, 7, "", s);
  EXPECT_EQ(dir.Read("Dyadmark.ini"),
            "[ChartF7]\r\nCaption= \r\nLineWidth=2\r\nBarWidth=90\r\nBarLabel=2\r\nYMDLabel=6\r\n"
            "LineA1=1\r\nLineA2=0\r\nLineA3=0\r\nLineB1=0\r\nLineB2=0\r\nLineB3=1\r\n"
            "LineCM=0\r\nLineCSD=1\r\nLineC05=0\r\nLineC25=0\r\nGridL=0\r\nGridM=5\r\nGridD=1\r\n"
            "From=11\r\nTo=1200\r\nRenge=-35\r\nSplit=75\r\n");
  const PairChartSettings back = ReadPairChartSettings(ini, "ChartF7", PresetDefaults());
  EXPECT_EQ(back.LinesAB, s.LinesAB);
  EXPECT_EQ(back.LinesC, s.LinesC);
  EXPECT_EQ(back.Grid, s.Grid);
  EXPECT_EQ(back.Renge, -35);
  EXPECT_EQ(back.Split, 75);

  RegisterChartPreset(ini, 7, "-", s);
  EXPECT_FALSE(ini.SectionExists("ChartF7"));
}

}  // namespace
