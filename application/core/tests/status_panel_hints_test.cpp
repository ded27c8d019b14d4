#include "window/status_panel_hints.h"

#include <gtest/gtest.h>

namespace {

// " ? 銘柄データ件数", " ? テクニカル分析結果件数", " ? 乖離率 最大～最小" and
// " ? 乖離率 回帰係数（切片）" in code page 932.
const std::string kCodeCount = " ? \x96\xC1\x95\xBF\x83\x66\x81\x5B\x83\x5E\x8C\x8F\x90\x94";
const std::string kTechnicalCount =
    " ? \x83\x65\x83\x4E\x83\x6A\x83\x4A\x83\x8B\x95\xAA\x90\xCD\x8C\x8B\x89\xCA\x8C\x8F\x90\x94";
const std::string kRateRange =
    " ? \x98\xA8\x97\xA3\x97\xA6 \x8D\xC5\x91\xE5\x81\x60\x8D\xC5\x8F\xAC";
const std::string kSlope =
    " ? \x98\xA8\x97\xA3\x97\xA6 \x89\xF1\x8B\x41\x8C\x57\x90\x94\x81\x69\x90\xD8\x95\xD0\x81\x6A";

TEST(StatusPanelHints, ThePanelUnderThePointer) {
  const std::array<int32_t, 5> widths{300, 70, 95, 95, 105};
  struct Case {
    int32_t x;
    int32_t page;
    std::optional<std::string> hint;
  } cases[] = {
      {0, 0, ""},
      {300, 2, ""},
      {301, 0, kCodeCount},
      {370, 1, kTechnicalCount},
      {371, 2, kRateRange},
      {465, 2, kRateRange},
      {561, 1, kSlope},
      {665, 0, kSlope},
      {666, 0, std::nullopt},  // beyond the last panel
      {301, 3, std::nullopt},  // panels 1 and 2 on an unknown page
      {561, 3, kSlope},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StatusPanelHint(c.x, widths, c.page), c.hint) << c.x << " on page " << c.page;
  }
}

// The name of a panel is its hint without the mark; a panel without a hint on
// the page has none.
TEST(StatusPanelHints, WhatAPanelHolds) {
  EXPECT_EQ(StatusPanelMeaning(1, 0), kCodeCount.substr(3));
  EXPECT_EQ(StatusPanelMeaning(1, 1), kTechnicalCount.substr(3));
  EXPECT_EQ(StatusPanelMeaning(2, 2), kRateRange.substr(3));
  EXPECT_EQ(StatusPanelMeaning(4, 0), kSlope.substr(3));
  EXPECT_EQ(StatusPanelMeaning(4, 3), kSlope.substr(3));
  EXPECT_EQ(StatusPanelMeaning(1, 3), "");
  EXPECT_EQ(StatusPanelMeaning(0, 1), "");
  EXPECT_EQ(StatusPanelMeaning(5, 1), "");
}

TEST(StatusPanelHints, HiddenPanelsTakeNoRoom) {
  const std::array<int32_t, 5> widths{500, 100, 120, 0, 0};
  EXPECT_EQ(StatusPanelHint(721, widths, 1), std::nullopt);
  EXPECT_EQ(StatusPanelHint(720, widths, 1).value_or("").substr(0, 3), " ? ");
}

}  // namespace
