#pragma once
// The pair registry's sections of the settings file: the window's layout in
// PairReg, the registered pairs of the five pages in PairRegist1 to
// PairRegist5, the recent pairs in PairRecent, and the one-time conversion of
// the older sections ChartRegist and ChartRecent.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pair/pair_item.h"
#include "vcl/inifile.h"

constexpr int32_t kPairPageCount = 5;

struct PairRegLayout {
  int32_t height = 198;
  int32_t width = 500;
  int32_t regist1 = 235;  // column widths of the registered list
  int32_t regist2 = 235;
  int32_t recent1 = 235;  // column widths of the recent list
  int32_t recent2 = 235;
  int32_t splitter = 85;  // height of the recent list
  int32_t page = 1;       // current page 1 to 5 (another stored value reads as 1)
};

PairRegLayout ReadPairRegLayout(const vcl::TIniFile& ini);
// Throws vcl::EIniFileException at the first write that fails.
void WritePairRegLayout(vcl::TIniFile& ini, const PairRegLayout& layout);

// "PairRegist" + page.
std::string PairPageSection(int32_t page);

// The pairs of a section: one for every index below Count, also for a value
// that is empty or missing. A Count beyond what a section can sensibly hold
// is cut, so a damaged file cannot make the program read forever.
std::vector<PairItem> ReadPairSection(const vcl::TIniFile& ini, std::string_view section);
// Makes the section hold exactly Count and Data0 ... Data<n-1>. The new keys
// are written before the keys no longer needed go, so a failure part way
// leaves the pairs readable. Throws vcl::EIniFileException.
void WritePairSection(vcl::TIniFile& ini, std::string_view section,
                      const std::vector<PairItem>& pairs);

// What the registry shows at start.
struct PairRegistryStart {
  int32_t page = 1;
  std::vector<PairItem> regist;  // the pairs of `page`
  std::vector<PairItem> recent;
  bool registChanged = false;  // differs from what the file holds for it
  bool recentChanged = false;
  // The conversion's write failed (code page 932 text); the older sections
  // are then kept and converted again at the next start.
  std::string conversionError;
};

// Reads the current page and the recent list. An older section present is
// converted: its pairs follow the pairs of the new section that already
// exists (a pair both hold stands once), the result is written to the new
// section, and only then is the older section erased. A converted registry
// shows on page 1.
PairRegistryStart LoadPairRegistry(vcl::TIniFile& ini);
