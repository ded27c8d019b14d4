// The code-data page's settings section and the values of its detail edits.

#include "window/code_page_settings.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"

TEST(CodePageSettingsTest, DefaultsRoundTripAndKeyOrder) {
  ScratchDir dir;
  vcl::TIniFile ini(dir.path() / "Dyadmark.ini");
  CodePageLayout layout = ReadCodePageLayout(ini);
  EXPECT_EQ(layout.splitterT, 760);
  EXPECT_EQ(layout.splitterB, 423);
  EXPECT_EQ(layout.codeColumns[5], 24);
  EXPECT_EQ(layout.pastColumns[0], 75);
  EXPECT_EQ(layout.codeNG, 0);
  WriteCodePageLayout(ini, layout);
  EXPECT_EQ(dir.Read("Dyadmark.ini"),
            "[FrameC]\r\nSplitterT=760\r\nSplitterB=423\r\nCodeClm1=135\r\nCodeClm2=55\r\n"
            "CodeClm3=55\r\nCodeClm4=36\r\nCodeClm5=75\r\nCodeClm6=24\r\nPastClm1=75\r\n"
            "PastClm2=50\r\nPastClm3=50\r\nPastClm4=50\r\nPastClm5=50\r\nPastClm6=60\r\n"
            "CodeNG=0\r\n");
  layout.codeColumns[3] = 40;
  layout.codeNG = 2;
  WriteCodePageLayout(ini, layout);
  EXPECT_EQ(ReadCodePageLayout(ini).codeColumns[3], 40);
  EXPECT_EQ(ReadCodePageLayout(ini).codeNG, 2);
}

TEST(CodePageSettingsTest, EditTextsBecomeUnitsAndVolumes) {
  struct Case {
    const char* text;
    int32_t unit;
    int32_t volume;
  } cases[] = {
      {"100", 100, 100}, {"", 1, -1},   {"-", 1, -1},    {"abc", 1, -1},
      {"0", 1, 0},       {"-5", 1, -5}, {" 42", 42, 42}, {"99999999999", 1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StoredUnit(c.text), c.unit) << c.text;
    EXPECT_EQ(StoredVolume(c.text), c.volume) << c.text;
  }
}
