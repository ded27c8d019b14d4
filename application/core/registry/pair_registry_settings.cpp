#include "registry/pair_registry_settings.h"

#include <algorithm>
#include <set>

#include "data/write_failure_reason.h"
#include "vcl/convert.h"
#include "vcl/cp932_text.h"

namespace {

constexpr char kLayoutSection[] = "PairReg";
constexpr char kRecentSection[] = "PairRecent";
constexpr char kOldRegistSection[] = "ChartRegist";
constexpr char kOldRecentSection[] = "ChartRecent";
constexpr char kCountKey[] = "Count";
// More pairs than any list of the window is ever given.
constexpr int32_t kMostPairsPerSection = 10000;

std::string DataKey(size_t index) { return "Data" + vcl::IntToStr(static_cast<int64_t>(index)); }

// Key names match regardless of ASCII letter case.
std::string KeyName(std::string_view key) { return vcl::FoldAsciiCase(vcl::Trim(key)); }

// Reads every pair of `section` with `parse`; values of keys that are not in
// the file are empty without reading the file again.
template <class Parse>
std::vector<PairItem> ReadPairs(const vcl::TIniFile& ini, std::string_view section, Parse parse) {
  const vcl::TIniFileReading reading(ini);
  const int32_t count = std::clamp(ini.ReadInteger(section, kCountKey, 0), 0, kMostPairsPerSection);
  std::set<std::string> keys;
  for (const std::string& key : ini.ReadSection(section)) keys.insert(KeyName(key));
  std::vector<PairItem> pairs;
  pairs.reserve(static_cast<size_t>(count));
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    const std::string key = DataKey(i);
    const bool present = keys.count(KeyName(key)) > 0;
    pairs.push_back(parse(present ? ini.ReadString(section, key, "") : std::string()));
  }
  return pairs;
}

// `first`, then the pairs of `second` that `first` does not hold.
std::vector<PairItem> Merged(std::vector<PairItem> first, const std::vector<PairItem>& second) {
  for (const PairItem& pair : second) {
    const bool held = std::any_of(first.begin(), first.end(),
                                  [&](const PairItem& have) { return SamePair(have, pair); });
    if (!held) first.push_back(pair);
  }
  return first;
}

// Converts `oldSection` into `newSection` (merged with what it holds) and
// returns the pairs; the older section is erased only after the new one was
// written. A failed write is noted in `error` and leaves both as they were.
std::vector<PairItem> Convert(vcl::TIniFile& ini, std::string_view oldSection,
                              std::string_view newSection, std::string& error) {
  std::vector<PairItem> pairs = Merged(ReadPairs(ini, newSection, ParsePairDataValue),
                                       ReadPairs(ini, oldSection, ParseOldPairDataValue));
  try {
    vcl::TIniFileUpdate update(ini);
    WritePairSection(ini, newSection, pairs);
    ini.EraseSection(oldSection);
    update.Commit();
  } catch (const vcl::EIniFileException& e) {
    if (error.empty()) error = SettingsWriteMessage(e);
  }
  return pairs;
}

}  // namespace

PairRegLayout ReadPairRegLayout(const vcl::TIniFile& ini) {
  const vcl::TIniFileReading reading(ini);
  PairRegLayout layout;
  layout.height = ini.ReadInteger(kLayoutSection, "Height", layout.height);
  layout.width = ini.ReadInteger(kLayoutSection, "Width", layout.width);
  layout.regist1 = ini.ReadInteger(kLayoutSection, "Regist1", layout.regist1);
  layout.regist2 = ini.ReadInteger(kLayoutSection, "Regist2", layout.regist2);
  layout.recent1 = ini.ReadInteger(kLayoutSection, "Recent1", layout.recent1);
  layout.recent2 = ini.ReadInteger(kLayoutSection, "Recent2", layout.recent2);
  layout.splitter = ini.ReadInteger(kLayoutSection, "Splitter", layout.splitter);
  const int32_t page = ini.ReadInteger(kLayoutSection, "Page", layout.page);
  layout.page = page >= 1 && page <= kPairPageCount ? page : 1;
  return layout;
}

void WritePairRegLayout(vcl::TIniFile& ini, const PairRegLayout& layout) {
  vcl::TIniFileUpdate update(ini);
  ini.WriteInteger(kLayoutSection, "Height", layout.height);
  ini.WriteInteger(kLayoutSection, "Width", layout.width);
  ini.WriteInteger(kLayoutSection, "Regist1", layout.regist1);
  ini.WriteInteger(kLayoutSection, "Regist2", layout.regist2);
  ini.WriteInteger(kLayoutSection, "Recent1", layout.recent1);
  ini.WriteInteger(kLayoutSection, "Recent2", layout.recent2);
  ini.WriteInteger(kLayoutSection, "Splitter", layout.splitter);
  ini.WriteInteger(kLayoutSection, "Page", layout.page);
  update.Commit();
}

std::string PairPageSection(int32_t page) { return "PairRegist" + vcl::IntToStr(page); }

std::vector<PairItem> ReadPairSection(const vcl::TIniFile& ini, std::string_view section) {
  return ReadPairs(ini, section, ParsePairDataValue);
}

void WritePairSection(vcl::TIniFile& ini, std::string_view section,
                      const std::vector<PairItem>& pairs) {
  vcl::TIniFileUpdate update(ini);
  std::set<std::string> kept{KeyName(kCountKey)};
  for (size_t i = 0; i < pairs.size(); ++i) {
    const std::string key = DataKey(i);
    ini.WriteString(section, key, PairDataValue(pairs[i]));
    kept.insert(KeyName(key));
  }
  ini.WriteInteger(section, kCountKey, static_cast<int32_t>(pairs.size()));
  for (const std::string& key : ini.ReadSection(section)) {
    if (kept.count(KeyName(key)) == 0) ini.DeleteKey(section, vcl::Trim(key));
  }
  update.Commit();
}

PairRegistryStart LoadPairRegistry(vcl::TIniFile& ini) {
  const vcl::TIniFileReading reading(ini);
  PairRegistryStart start;
  if (ini.SectionExists(kOldRegistSection)) {
    start.regist = Convert(ini, kOldRegistSection, PairPageSection(1), start.conversionError);
    start.registChanged = true;
  } else {
    start.page = ReadPairRegLayout(ini).page;
    start.regist = ReadPairSection(ini, PairPageSection(start.page));
  }
  if (ini.SectionExists(kOldRecentSection)) {
    start.recent = Convert(ini, kOldRecentSection, kRecentSection, start.conversionError);
    start.recentChanged = true;
  } else {
    start.recent = ReadPairSection(ini, kRecentSection);
  }
  return start;
}
