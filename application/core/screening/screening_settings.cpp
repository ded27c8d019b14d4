#include "screening/screening_settings.h"

#include <algorithm>

#include "screening/technical_conditions.h"

namespace {

constexpr std::string_view kTechnical = "Technical";
// More items than a history or the condition list is ever given: a damaged
// Count must not make the page read (and hold) rows for ever.
constexpr int32_t kMostStoredRows = 1000;

std::string Key(std::string_view name, int index) {
  return std::string(name) + std::to_string(index);
}

// The text without its first and last byte, whatever they are.
std::string Unwrapped(const std::string& text) {
  if (text.size() < 2) return std::string();
  return text.substr(1, text.size() - 2);
}

}  // namespace

void ApplyTickText(std::string_view text, std::span<bool> ticks) {
  const size_t n = std::min(text.size(), ticks.size());
  for (size_t i = 0; i < n; ++i) ticks[i] = text[i] == '1';
}

std::string TickText(std::span<const bool> ticks) {
  std::string text;
  for (bool tick : ticks) text += tick ? '1' : '0';
  return text;
}

std::vector<std::string> ReadHistorySection(const vcl::TIniFile& ini, std::string_view section) {
  const vcl::TIniFileReading reading(ini);
  std::vector<std::string> items;
  const int count = std::min(ini.ReadInteger(section, "Count", 0), kMostStoredRows);
  for (int k = 1; k <= count; ++k) items.push_back(ini.ReadString(section, Key("List", k), ""));
  return items;
}

void WriteHistorySection(vcl::TIniFile& ini, std::string_view section,
                         const std::vector<std::string>& items) {
  vcl::TIniFileUpdate update(ini);
  ini.EraseSection(section);
  ini.WriteInteger(section, "Count", static_cast<int32_t>(items.size()));
  for (size_t k = 0; k < items.size(); ++k) {
    ini.WriteString(section, Key("List", static_cast<int>(k + 1)), items[k]);
  }
  update.Commit();
}

std::vector<TechnicalCondition> ReadTechnicalSection(const vcl::TIniFile& ini) {
  const vcl::TIniFileReading reading(ini);
  const std::string defaultKind(TechnicalKindText(TechnicalKind::Correlation));
  const std::string defaultPeriod = "/" + JoinRangeText("1", 4, "1200") + "/";
  const std::string defaultRange = "/" + JoinRangeText("0.900000", 9, "1.000000") + "/";
  std::vector<TechnicalCondition> rows;
  const int count = std::min(ini.ReadInteger(kTechnical, "Count", 0), kMostStoredRows);
  for (int i = 0; i < count; ++i) {
    TechnicalCondition row;
    row.check = ini.ReadInteger(kTechnical, Key("Check", i), 1);
    row.kind = ini.ReadString(kTechnical, Key("Kind", i), defaultKind);
    row.period = Unwrapped(ini.ReadString(kTechnical, Key("FromTo", i), defaultPeriod));
    row.range = Unwrapped(ini.ReadString(kTechnical, Key("Values", i), defaultRange));
    if (ini.ReadInteger(kTechnical, Key("ResultC", i), 0) == 1) {
      row.resultShown = true;
      row.resultCaption = ini.ReadString(kTechnical, Key("Result", i), "");
      row.sortKind = ResultSortKindOfText(row.kind);
      row.resultWidth =
          ini.ReadString(kTechnical, Key("ResultW", i), std::to_string(kDefaultResultWidth));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

void WriteTechnicalSection(vcl::TIniFile& ini, const std::vector<TechnicalCondition>& rows) {
  vcl::TIniFileUpdate update(ini);
  ini.WriteInteger(kTechnical, "Count", static_cast<int32_t>(rows.size()));
  for (size_t n = 0; n < rows.size(); ++n) {
    const TechnicalCondition& row = rows[n];
    const int i = static_cast<int>(n);
    ini.WriteInteger(kTechnical, Key("Check", i), row.check);
    ini.WriteString(kTechnical, Key("Kind", i), row.kind);
    ini.WriteString(kTechnical, Key("FromTo", i), "/" + row.period + "/");
    ini.WriteString(kTechnical, Key("Values", i), "/" + row.range + "/");
    ini.WriteString(kTechnical, Key("Result", i), row.resultCaption);
    ini.WriteInteger(kTechnical, Key("ResultC", i), row.resultShown ? 1 : 0);
    ini.WriteString(kTechnical, Key("ResultW", i), row.resultWidth);
  }
  update.Commit();
}
