#pragma once
// What the main window shows for each of its three tab pages: the help
// context, which of the nine page-dependent menu items are visible, and the
// widths of status panels 1 to 4.

#include <array>
#include <cstdint>
#include <optional>

// The nine page-dependent menu items, in menu order.
enum PageMenuItem : int32_t {
  kMenuPairReg,
  kMenuFileCode,
  kMenuFilePast,
  kMenuFileScrn,
  kMenuFilePair,
  kMenuFilePairPrint,
  kMenuFileSentrova,
  kMenuChartPreset,
  kMenuChartDataUpdate,
  kPageMenuItemCount
};

struct PageMenuState {
  int32_t helpContext;
  std::array<bool, kPageMenuItemCount> visible;
  std::array<int32_t, 4> panelWidths;  // panels 1 to 4
};

// Pages 0 (code data), 1 (screening) and 2 (pair check); nothing for others.
std::optional<PageMenuState> PageMenuStateFor(int32_t page);
