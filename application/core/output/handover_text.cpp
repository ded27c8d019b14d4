#include "output/handover_text.h"

std::string HandOverText(std::string_view codeA, std::string_view lotA, std::string_view codeB,
                         std::string_view lotB, std::string_view adjust) {
  std::string text;
  text.reserve(codeA.size() + lotA.size() + codeB.size() + lotB.size() + adjust.size() + 4);
  for (std::string_view field : {codeA, lotA, codeB, lotB}) {
    text += field;
    text += ',';
  }
  text += adjust;
  return text;
}
