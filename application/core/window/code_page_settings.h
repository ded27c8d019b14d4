#pragma once
// The code-data page's section FrameC of the settings file, and the values
// the page stores from its detail edits.

#include <array>
#include <cstdint>
#include <string_view>

#include "vcl/inifile.h"

struct CodePageLayout {
  int32_t splitterT = 760;  // width of the left part of the control strip
  int32_t splitterB = 423;  // width of the code list
  std::array<int32_t, 6> codeColumns{135, 55, 55, 36, 75, 24};  // code list columns 1..6
  std::array<int32_t, 6> pastColumns{75, 50, 50, 50, 50, 60};   // price list columns 1..6
  int32_t codeNG = 0;  // the exclusion switch: 0 unchecked, 1 checked, 2 grayed
};

// Each key missing from the file reads as its value in `defaults`.
CodePageLayout ReadCodePageLayout(const vcl::TIniFile& ini, const CodePageLayout& defaults = {});
// Writes the keys in the order SplitterT, SplitterB, CodeClm1-6, PastClm1-6,
// CodeNG. Throws vcl::EIniFileException at the first write that fails.
void WriteCodePageLayout(vcl::TIniFile& ini, const CodePageLayout& layout);

// The trading unit of an edit's text: a decimal number, 1 for anything that
// is not one and for a unit below 1 (prices are divided by units).
int32_t StoredUnit(std::string_view text);
// The average volume of an edit's text: a decimal number, -1 (not measured)
// for anything that is not one, "-" included.
int32_t StoredVolume(std::string_view text);
