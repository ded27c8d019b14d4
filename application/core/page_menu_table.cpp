#include "page_menu_table.h"

std::optional<PageMenuState> PageMenuStateFor(int32_t page) {
  switch (page) {
    case 0:
      return PageMenuState{
          300, {false, true, true, false, false, false, false, false, false}, {80, 80, 0, 0}};
    case 1:
      return PageMenuState{
          100, {false, false, false, true, false, false, false, false, false}, {100, 120, 0, 0}};
    case 2:
      return PageMenuState{
          200, {true, false, false, false, true, true, true, true, true}, {70, 95, 95, 105}};
    default:
      return std::nullopt;
  }
}
