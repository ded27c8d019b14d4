#include "window/main_settings.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"

namespace {

TEST(MainSettings, AMissingFileGivesTheDefaults) {
  ScratchDir dir;
  const vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  const MainWindowSettings s = ReadMainWindowSettings(ini);
  const MainWindowSettings d;
  EXPECT_EQ(s.timeoutSeconds, 5);
  EXPECT_EQ(s.sourceIndex, 1);
  EXPECT_EQ(s.printMargins, d.printMargins);
  EXPECT_EQ(s.orientation, 1);
  EXPECT_EQ(s.width, 800);
  EXPECT_EQ(s.height, 600);
  EXPECT_TRUE(s.onLine);
}

TEST(MainSettings, WrittenValuesReadBack) {
  ScratchDir dir;
  vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  MainWindowSettings written;
  written.state = 2;
  written.top = -20;
  written.left = 1930;
  written.height = 700;
  written.width = 1024;
  written.onLine = false;
  written.chartDataUpdate = true;
  written.sourceIndex = 0;
  written.stayOnTop = true;
  written.printMargins = {0, 10, 20, 100};
  written.orientation = 0;
  written.resolution = -3;
  WriteMainWindowSettings(ini, written);

  const vcl::TIniFile again(dir.path() / "Dyadmark.ini");
  const MainWindowSettings read = ReadMainWindowSettings(again);
  EXPECT_EQ(read.state, 2);
  EXPECT_EQ(read.top, -20);
  EXPECT_EQ(read.left, 1930);
  EXPECT_EQ(read.height, 700);
  EXPECT_EQ(read.width, 1024);
  EXPECT_FALSE(read.onLine);
  EXPECT_TRUE(read.chartDataUpdate);
  EXPECT_EQ(read.sourceIndex, 0);
  EXPECT_TRUE(read.stayOnTop);
  EXPECT_EQ(read.printMargins, (std::array<int32_t, 4>{0, 10, 20, 100}));
  EXPECT_EQ(read.orientation, 0);
  EXPECT_EQ(read.resolution, -3);
  EXPECT_EQ(read.timeoutSeconds, 5) << "the time-out is never written";
}

TEST(MainSettings, ValuesTheWindowCannotUseReadAsDefaults) {
  ScratchDir dir;
  vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  ini.WriteInteger("HiddenOption", "Timeout", -1);
  ini.WriteInteger("PrintChart", "MarginLeft", 101);
  ini.WriteInteger("PrintChart", "MarginTop", -1);
  ini.WriteInteger("PrintChart", "Orientation", 2);
  ini.WriteInteger("PrintChart", "Resolution", 5);
  const MainWindowSettings s = ReadMainWindowSettings(ini);
  EXPECT_EQ(s.timeoutSeconds, 5);
  EXPECT_EQ(s.printMargins[0], 5);
  EXPECT_EQ(s.printMargins[1], 5);
  EXPECT_EQ(s.orientation, 1);
  EXPECT_EQ(s.resolution, 0);
}

TEST(MainSettings, PresetCaptionsOnlyForPresentSections) {
  ScratchDir dir;
  vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  ini.WriteString("ChartF5", "Caption", "five");
  ini.WriteString("ChartF12", "LineWidth", "3");
  const auto captions = ReadChartPresetCaptions(ini);
  EXPECT_EQ(captions[0], "five");
  EXPECT_EQ(captions[7], "") << "a section without a caption still makes the key";
  for (size_t i = 1; i < 7; ++i) EXPECT_FALSE(captions[i]) << i;
  EXPECT_EQ(ChartPresetSection(9), "ChartF9");
}

TEST(MainSettings, TheSourceIndexMustNameASource) {
  struct Case {
    int32_t stored, count, expected;
  } cases[] = {{0, 2, 0}, {1, 2, 1}, {2, 2, 1}, {-1, 2, 1}, {1, 1, 0}, {0, 1, 0}, {5, 3, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(ValidSourceIndex(c.stored, c.count), c.expected) << c.stored << " of " << c.count;
  }
}

}  // namespace
