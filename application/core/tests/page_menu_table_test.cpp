#include "window/page_menu_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The visible items as a string over the nine items in menu order.
std::string Visible(const PageMenuState& state) {
  const PageMenus& m = state.menus;
  std::string out;
  for (bool shown : {m.pairReg, m.fileCode, m.filePast, m.fileScrn, m.filePair, m.filePairPrint,
                     m.fileSentrova, m.chartPreset, m.chartDataUpdate}) {
    out += shown ? '1' : '0';
  }
  return out;
}

TEST(PageMenuTable, EachPageItsHelpItsItemsAndItsPanels) {
  struct Case {
    int32_t page;
    int32_t help;
    // PairReg FileCode FilePast FileScrn FilePair FilePairPrint FileSentrova ChartPreset
    // ChartDataUpdate
    const char* visible;
    std::array<int32_t, 4> widths;
  } cases[] = {
      {0, 300, "011000000", {80, 80, 0, 0}},
      {1, 100, "000100000", {100, 120, 0, 0}},
      {2, 200, "100011111", {70, 95, 95, 105}},
  };
  for (const Case& c : cases) {
    const std::optional<PageMenuState> state = PageMenuStateFor(c.page);
    ASSERT_TRUE(state) << c.page;
    EXPECT_EQ(state->helpContext, c.help) << c.page;
    EXPECT_EQ(Visible(*state), c.visible) << c.page;
    EXPECT_EQ(state->panelWidths, c.widths) << c.page;
  }
}

TEST(PageMenuTable, NoStateForOtherPages) {
  for (int32_t page : {-1, 3, 4}) EXPECT_FALSE(PageMenuStateFor(page)) << page;
}

}  // namespace
