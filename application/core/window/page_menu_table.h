#pragma once
// What the main window shows for each of its three tab pages: the help
// context, which of the page-dependent menu items are visible, and the
// widths of status panels 1 to 4.

#include <array>
#include <cstdint>
#include <optional>

#include "window/main_pages.h"

// The page-dependent menu items, in menu order; true shows the item.
struct PageMenus {
  bool pairReg = false;
  bool fileCode = false;
  bool filePast = false;
  bool fileScrn = false;
  bool filePair = false;
  bool filePairPrint = false;
  bool fileSentrova = false;
  bool chartPreset = false;
  bool chartDataUpdate = false;
};

struct PageMenuState {
  int32_t helpContext;
  PageMenus menus;
  std::array<int32_t, 4> panelWidths;  // panels 1 to 4
};

// The three pages' states; nothing for any other page.
std::optional<PageMenuState> PageMenuStateFor(int32_t page);
