#pragma once
// The pair as the sibling watching program takes it.

#include <string>
#include <string_view>

// "codeA,lotA,codeB,lotB,adjust": the five texts of the pair page's boxes
// exactly as they stand (code page 932), empty ones included, so the text
// always holds four commas.
std::string HandOverText(std::string_view codeA, std::string_view lotA, std::string_view codeB,
                         std::string_view lotB, std::string_view adjust);
