#include "window/page_menu_table.h"

std::optional<PageMenuState> PageMenuStateFor(int32_t page) {
  switch (page) {
    case kPageCodeData:
      return PageMenuState{300, {.fileCode = true, .filePast = true}, {80, 80, 0, 0}};
    case kPageScreening:
      return PageMenuState{100, {.fileScrn = true}, {100, 120, 0, 0}};
    case kPagePairCheck:
      return PageMenuState{200,
                           {.pairReg = true,
                            .filePair = true,
                            .filePairPrint = true,
                            .fileSentrova = true,
                            .chartPreset = true,
                            .chartDataUpdate = true},
                           {70, 95, 95, 105}};
    default:
      return std::nullopt;
  }
}
