// The screening page's settings: any bytes as the settings file, read as the
// technical rows and the code-box histories, written back and read again; and
// any text as what a user left in a tick list, a range or an editor of the
// technical rows. The input is that text, the byte 0x1F, then the file; an
// input without 0x1F is both.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "scratch_dir.h"
#include "screening/screening_settings.h"
#include "screening/technical_conditions.h"
#include "vcl/convert.h"
#include "vcl/inifile.h"

namespace {

constexpr size_t kRowsWritten = 100;

bool SameRows(const std::vector<TechnicalCondition>& a, const std::vector<TechnicalCondition>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const TechnicalCondition& x = a[i];
    const TechnicalCondition& y = b[i];
    if (x.check != y.check || x.kind != y.kind || x.period != y.period || x.range != y.range ||
        x.resultShown != y.resultShown || x.resultCaption != y.resultCaption ||
        x.resultWidth != y.resultWidth || x.sortKind != y.sortKind) {
      return false;
    }
  }
  return true;
}

void CheckTicks(std::string_view text) {
  std::array<bool, kSectorItemCount> ticks{};
  for (size_t i = 0; i < ticks.size(); i += 3) ticks[i] = true;
  const std::array<bool, kSectorItemCount> before = ticks;
  ApplyTickText(text, ticks);
  for (size_t i = 0; i < ticks.size(); ++i) {
    FUZZ_CHECK(ticks[i] == (i < text.size() ? text[i] == '1' : before[i]));
  }
  const std::string stored = TickText(ticks);
  FUZZ_CHECK(stored.size() == ticks.size());
  FUZZ_CHECK(stored.find_first_not_of("01") == std::string::npos);
  std::array<bool, kSectorItemCount> back{};
  ApplyTickText(stored, back);
  FUZZ_CHECK(back == ticks);
}

// A corrected period is empty or a day count the list keeps, and correcting
// it again changes nothing.
std::string CheckPeriod(std::string_view text, int32_t replacement) {
  const std::string corrected = CorrectPeriodText(text, replacement);
  if (text.empty()) FUZZ_CHECK(corrected.empty());
  if (!corrected.empty()) {
    const int32_t days = vcl::StrToIntDef(corrected, 0);
    FUZZ_CHECK(days >= 1 && days <= 1200 && vcl::IntToStr(days) == corrected);
  }
  FUZZ_CHECK(CorrectPeriodText(corrected, replacement) == corrected);
  return corrected;
}

// A corrected bound is empty or a number the kind allows, and correcting it
// again changes nothing.
std::string CheckBound(std::string_view text, TechnicalKind kind, RangeBound bound) {
  const std::string corrected = CorrectBoundText(text, kind, bound);
  if (text.empty()) FUZZ_CHECK(corrected.empty());
  if (!corrected.empty()) {
    double value = 0.0;
    FUZZ_CHECK(vcl::TryStrToFloat(corrected, value));
    if (kind == TechnicalKind::Correlation) FUZZ_CHECK(value >= -1.0 && value <= 1.0);
    if (kind == TechnicalKind::StdDeviation) FUZZ_CHECK(value >= 0.0);
  }
  FUZZ_CHECK(CorrectBoundText(corrected, kind, bound) == corrected);
  return corrected;
}

// The text split at its first "," gives the two ends an editor pair holds;
// joined as the list shows them, they split back into the same two.
void CheckRanges(std::string_view text) {
  const auto [first, second] = SplitRangeText(text);
  FUZZ_CHECK(vcl::Trim(first) == first);
  const size_t comma = text.find(',');
  const std::string_view lower = text.substr(0, comma);
  const std::string_view upper =
      comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);

  for (int32_t replacement : {1, 1200}) {
    const std::string from = CheckPeriod(lower, replacement);
    const std::string to = CheckPeriod(upper, replacement);
    FUZZ_CHECK(SplitRangeText(JoinRangeText(from, 4, to)) == std::make_pair(from, to));
  }
  for (TechnicalKind kind :
       {TechnicalKind::Correlation, TechnicalKind::Regression, TechnicalKind::StdDeviation}) {
    const std::string low = CheckBound(lower, kind, RangeBound::Lower);
    const std::string high = CheckBound(upper, kind, RangeBound::Upper);
    FUZZ_CHECK(SplitRangeText(JoinRangeText(low, 9, high)) == std::make_pair(low, high));
    FUZZ_CHECK(ResultSortKindOfText(TechnicalKindText(kind)) == ResultSortKind(kind));
  }
}

void CheckSettingsFile(const vcl::TIniFile& ini, vcl::TIniFile& writer) {
  std::vector<TechnicalCondition> rows = ReadTechnicalSection(ini);
  for (const TechnicalCondition& row : rows) {
    FUZZ_CHECK(row.sortKind == (row.resultShown ? ResultSortKindOfText(row.kind) : 0));
    if (!row.resultShown) FUZZ_CHECK(row.resultCaption.empty() && row.resultWidth.empty());
  }
  std::vector<std::string> history = ReadHistorySection(ini, "CodeA");
  // Each section is one replacement of the file, but the rows' checks grow
  // with their count: some hundred rows show what a thousand would.
  rows.resize(std::min<size_t>(rows.size(), kRowsWritten));
  history.resize(std::min<size_t>(history.size(), kRowsWritten));

  // Written, they read back as they were, but for what the settings file
  // never keeps of a free text: blanks at its ends and one pair of enclosing
  // quotes. The period and the range are kept whole.
  WriteTechnicalSection(writer, rows);
  std::vector<TechnicalCondition> stored = rows;
  for (TechnicalCondition& row : stored) {
    row.kind = fuzz::AsReadFromIni(row.kind);
    row.resultCaption = fuzz::AsReadFromIni(row.resultCaption);
    row.resultWidth = fuzz::AsReadFromIni(row.resultWidth);
    if (row.resultShown) row.sortKind = ResultSortKindOfText(row.kind);
  }
  FUZZ_CHECK(SameRows(ReadTechnicalSection(ini), stored));
  std::vector<std::string> storedHistory;
  for (const std::string& item : history) storedHistory.push_back(fuzz::AsReadFromIni(item));
  WriteHistorySection(writer, "CodeA", history);
  FUZZ_CHECK(ReadHistorySection(ini, "CodeA") == storedHistory);
  WriteHistorySection(writer, "CodeB", history);
  FUZZ_CHECK(ReadHistorySection(ini, "CodeB") == storedHistory);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::BytesOf(data, size);
  const size_t end = bytes.find('\x1F');
  const std::string_view text = bytes.substr(0, end);
  const std::string_view file = end == std::string_view::npos ? bytes : bytes.substr(end + 1);

  CheckTicks(text);
  CheckRanges(text);

  const std::filesystem::path path = fuzz::ScratchDir() / "Dyadmark.ini";
  fuzz::WriteBytes(path, file);
  const vcl::TIniFile ini(path);
  vcl::TIniFile writer(path);
  CheckSettingsFile(ini, writer);
  return 0;
}
