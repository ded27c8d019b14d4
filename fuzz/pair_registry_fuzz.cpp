// The pair registry's sections: any bytes as the settings file, read at the
// registry's start (converting the older sections it holds), started again,
// and its rows written to a page and read back.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "pair/pair_item.h"
#include "registry/pair_registry_settings.h"
#include "scratch_dir.h"
#include "vcl/convert.h"
#include "vcl/cp932_text.h"
#include "vcl/inifile.h"

namespace {

// The pairs of an older section as the conversion is to take them over: one
// for every index below Count (at most 10000), a missing value read as empty.
std::vector<PairItem> OldPairs(const vcl::TIniFile& ini, std::string_view section) {
  std::set<std::string> keys;
  for (const std::string& key : ini.ReadSection(section)) {
    keys.insert(vcl::FoldAsciiCase(vcl::Trim(key)));
  }
  const int32_t count = std::clamp(ini.ReadInteger(section, "Count", 0), 0, 10000);
  std::vector<PairItem> pairs;
  for (int32_t i = 0; i < count; ++i) {
    const std::string key = "Data" + vcl::IntToStr(i);
    const bool present = keys.count(vcl::FoldAsciiCase(key)) > 0;
    pairs.push_back(ParseOldPairDataValue(present ? ini.ReadString(section, key, "") : ""));
  }
  return pairs;
}

bool Holds(const std::vector<PairItem>& pairs, const PairItem& pair) {
  return std::any_of(pairs.begin(), pairs.end(),
                     [&](const PairItem& have) { return SamePair(have, pair); });
}

// What a row written to the file reads back as: the settings file keeps any
// value but its blanks at the ends and one pair of enclosing quotes, and a
// bar inside a name cannot be told from those between the texts (an older
// file may hold such a name).
PairItem AsStored(const PairItem& pair) {
  return ParsePairDataValue(fuzz::AsReadFromIni(PairDataValue(pair)));
}

// True when a text holds a bar of its own, read character by character.
bool HoldsBar(const std::string& text) {
  for (size_t i = 0; i < text.size(); i += fuzz::IsLeadByte(text[i]) ? 2 : 1) {
    if (text[i] == '|') return true;
  }
  return false;
}

// A pair the file can hold (no bar of its own, nothing the file drops at the
// ends of its value) is stored as it is.
void CheckStoredWhole(const PairItem& pair) {
  const std::string value = PairDataValue(pair);
  if (HoldsBar(pair.caption) || HoldsBar(pair.textA) || HoldsBar(pair.textB) ||
      fuzz::AsReadFromIni(value) != value) {
    return;
  }
  const PairItem stored = AsStored(pair);
  FUZZ_CHECK(SamePair(stored, pair) && stored.caption == pair.caption);
}

// `read` is what the file gives back for `written`.
bool ReadsAsWritten(const std::vector<PairItem>& read, const std::vector<PairItem>& written) {
  if (read.size() != written.size()) return false;
  for (size_t i = 0; i < read.size(); ++i) {
    const PairItem stored = AsStored(written[i]);
    if (read[i].caption != stored.caption || read[i].textA != stored.textA ||
        read[i].textB != stored.textB) {
      return false;
    }
  }
  return true;
}

bool SameRows(const std::vector<PairItem>& a, const std::vector<PairItem>& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](auto& x, auto& y) {
           return x.caption == y.caption && x.textA == y.textA && x.textB == y.textB;
         });
}

// The pairs of `newSection` and of `oldSection` all stand in `converted`, in
// what the file now holds for `newSection`, and nowhere twice unless the new
// section held them twice already.
void CheckConversion(const vcl::TIniFile& ini, const std::vector<PairItem>& before,
                     const std::vector<PairItem>& old, const std::vector<PairItem>& converted,
                     std::string_view newSection) {
  FUZZ_CHECK(converted.size() <= before.size() + old.size());
  for (const PairItem& pair : before) FUZZ_CHECK(Holds(converted, pair));
  for (const PairItem& pair : old) FUZZ_CHECK(Holds(converted, pair));
  FUZZ_CHECK(ReadsAsWritten(ReadPairSection(ini, newSection), converted));
  for (const PairItem& pair : converted) CheckStoredWhole(pair);
  for (size_t i = before.size(); i < converted.size(); ++i) {
    const std::vector<PairItem> earlier(converted.begin(),
                                        converted.begin() + static_cast<std::ptrdiff_t>(i));
    FUZZ_CHECK(!Holds(earlier, converted[i]));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path path = fuzz::ScratchDir() / "Dyadmark.ini";
  fuzz::WriteBytes(path, fuzz::BytesOf(data, size));
  vcl::TIniFile ini(path);

  const PairRegLayout layout = ReadPairRegLayout(ini);
  FUZZ_CHECK(layout.page >= 1 && layout.page <= kPairPageCount);
  const bool oldRegist = ini.SectionExists("ChartRegist");
  const bool oldRecent = ini.SectionExists("ChartRecent");
  const std::vector<PairItem> registBefore =
      ReadPairSection(ini, PairPageSection(oldRegist ? 1 : layout.page));
  const std::vector<PairItem> recentBefore = ReadPairSection(ini, "PairRecent");
  const std::vector<PairItem> registOld = OldPairs(ini, "ChartRegist");
  const std::vector<PairItem> recentOld = OldPairs(ini, "ChartRecent");

  const PairRegistryStart start = LoadPairRegistry(ini);
  FUZZ_CHECK(start.conversionError.empty());
  FUZZ_CHECK(start.registChanged == oldRegist && start.recentChanged == oldRecent);
  FUZZ_CHECK(!ini.SectionExists("ChartRegist") && !ini.SectionExists("ChartRecent"));
  if (oldRegist) {
    FUZZ_CHECK(start.page == 1);
    CheckConversion(ini, registBefore, registOld, start.regist, PairPageSection(1));
  } else {
    FUZZ_CHECK(start.page == layout.page);
    FUZZ_CHECK(SameRows(start.regist, registBefore));
  }
  if (oldRecent) {
    CheckConversion(ini, recentBefore, recentOld, start.recent, "PairRecent");
  } else {
    FUZZ_CHECK(SameRows(start.recent, recentBefore));
  }

  // A second start converts nothing and reads what the first one left.
  const std::string converted = fuzz::ReadBytes(path);
  const PairRegistryStart again = LoadPairRegistry(ini);
  FUZZ_CHECK(fuzz::ReadBytes(path) == converted);
  FUZZ_CHECK(!again.registChanged && !again.recentChanged && again.conversionError.empty());
  const auto readsAsStarted = [](const std::vector<PairItem>& read,
                                 const std::vector<PairItem>& started, bool converted) {
    return converted ? ReadsAsWritten(read, started) : SameRows(read, started);
  };
  FUZZ_CHECK(readsAsStarted(again.recent, start.recent, oldRecent));
  if (again.page == start.page) {
    FUZZ_CHECK(readsAsStarted(again.regist, start.regist, oldRegist));
  }

  // Rows written to a page read back as they were, and the page then holds
  // no other key.
  const std::string page = PairPageSection(again.page % kPairPageCount + 1);
  WritePairSection(ini, page, start.recent);
  FUZZ_CHECK(ReadsAsWritten(ReadPairSection(ini, page), start.recent));
  for (const std::string& key : ini.ReadSection(page)) {
    const std::string name = vcl::FoldAsciiCase(vcl::Trim(key));
    bool kept = name == "count";
    for (size_t i = 0; i < start.recent.size() && !kept; ++i)
      kept = name == "data" + vcl::IntToStr(i);
    FUZZ_CHECK(kept);
  }
  WritePairSection(ini, page, {});
  FUZZ_CHECK(ReadPairSection(ini, page).empty());
  return 0;
}
