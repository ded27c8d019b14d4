#include "sample_directory.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/code_file.h"
#include "data/code_table.h"
#include "data/file_io.h"
#include "data/price_files.h"
#include "data/sector_names.h"
#include "pair/pair_chart_settings.h"
#include "screening/screening_settings.h"
#include "screening/technical_conditions.h"
#include "vcl/inifile.h"

namespace {

// The generator stops at the first file it cannot write.
void WriteOrThrow(const std::filesystem::path& file, std::string_view bytes) {
  std::string error;
  if (!WriteFileAtomically(file, bytes, &error)) throw std::runtime_error(error);
}

constexpr int kDays = kPriceFileMaxLines;
constexpr char kSampleWord[] = "\x83\x54\x83\x93\x83\x76\x83\x8B";  // "サンプル"
// "長期1200日"
constexpr char kLongRangePresetName[] =
    "\x92\xB7\x8A\xFA"
    "1200"
    "\x93\xFA";
constexpr char kMarket[] = "\x93\x8C\x8F\xD8\x31\x95\x94";  // "東証1部"

// A small generator whose output is the same on every platform (the
// standard distributions are not).
class SampleRandom {
 public:
  explicit SampleRandom(uint64_t seed) : state_(seed) {}
  // Uniform in [0, 1).
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }
  // Roughly normal, mean 0 and deviation 1.
  double Gauss() {
    double sum = 0.0;
    for (int i = 0; i < 12; ++i) sum += Next();
    return sum - 6.0;
  }

 private:
  uint64_t state_;
};

// The trading days, newest first: weekdays back from 2024/06/28.
std::vector<std::chrono::year_month_day> TradingDays() {
  using namespace std::chrono;
  std::vector<year_month_day> days;
  sys_days day = year{2024} / June / 28;
  while (static_cast<int>(days.size()) < kDays) {
    const weekday w{day};
    if (w != Saturday && w != Sunday) days.emplace_back(day);
    day -= std::chrono::days{1};
  }
  return days;
}

std::string Number2(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

// A first screening ready to run: every sample code in list A, paired within
// the list, kept when the closes of the last 1,200 days correlate from 0.9 up,
// with the coefficient as a result column; and a chart preset (F5) whose
// labels stay readable over all 1,200 days.
void WriteSampleSettings(const std::filesystem::path& file) {
  vcl::TIniFile ini(file);
  ini.WriteBool("Option", "OnLine", false);
  ini.WriteBool("Option", "ChartDataUpdate", false);
  const std::string codes = std::to_string(kSampleFirstCode + 1) + "-" +
                            std::to_string(kSampleFirstCode + kSampleGroups * kSampleCodesPerGroup);
  ini.WriteString("Screening", "CodeA", codes);
  ini.WriteBool("Screening", "Group", true);
  TechnicalCondition correlation;
  correlation.kind = std::string(TechnicalKindText(TechnicalKind::Correlation));
  correlation.period = JoinRangeText("1", 4, "1200");
  correlation.range = JoinRangeText("0.900000", 9, "1.000000");
  correlation.resultShown = true;
  correlation.resultCaption = correlation.kind;
  correlation.resultWidth = "65";
  correlation.sortKind = ResultSortKind(TechnicalKind::Correlation);
  WriteTechnicalSection(ini, {correlation});

  ini.WriteBool(kPairFrameSection, "ChkOption", true);
  PairChartSettings chart;
  chart.LinesC = {true, true, true, true};
  WritePairChartSettings(ini, kPairChartSection, chart);
  PairChartSettings longRange = chart;
  longRange.BarLabel = 0;  // no value marks: 1,200 of them would overlap
  longRange.YMDLabel = 2;  // years with their months marked
  longRange.Renge = -1200;
  RegisterChartPreset(ini, 5, kLongRangePresetName, longRange);
}

}  // namespace

void WriteSampleDirectory(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  const auto days = TradingDays();
  SampleRandom random(20240628);
  CodeTable table;

  for (int g = 0; g < kSampleGroups; ++g) {
    // The group's common moves, oldest day first.
    std::vector<double> common(kDays);
    double level = 0.0;
    for (double& move : common) {
      level += 0.012 * random.Gauss();
      move = level;
    }
    const int32_t sector = 1 + (g * 5) % 33;
    for (int k = 0; k < kSampleCodesPerGroup; ++k) {
      const int serial = g * kSampleCodesPerGroup + k + 1;
      const std::string code = std::to_string(kSampleFirstCode + serial);
      const double base = 200.0 + 3000.0 * random.Next();
      // Each code strays from the group's moves and is pulled back, so the
      // spread of two codes of a group stays within bounds; later codes of
      // a group stray further.
      const double own = 0.004 + 0.004 * k;
      std::vector<PastDataRecord> records(kDays);
      double drift = 0.0;
      int64_t volumeSum = 0;
      for (int i = 0; i < kDays; ++i) {
        drift = 0.97 * drift + own * random.Gauss();
        const int32_t close = static_cast<int32_t>(std::lround(base * std::exp(common[i] + drift)));
        const int32_t open =
            close + static_cast<int32_t>(std::lround(close * 0.01 * random.Gauss()));
        const int32_t high =
            std::max(close, open) + static_cast<int32_t>(close * 0.01 * random.Next());
        const int32_t low =
            std::min(close, open) - static_cast<int32_t>(close * 0.01 * random.Next());
        const int32_t volume = 1000 * static_cast<int32_t>(20 + 200 * random.Next());
        volumeSum += volume;
        const auto& d = days[static_cast<size_t>(kDays - 1 - i)];
        records[static_cast<size_t>(kDays - 1 - i)] = {static_cast<int>(d.year()),
                                                       static_cast<int32_t>(unsigned(d.month())),
                                                       static_cast<int32_t>(unsigned(d.day())),
                                                       close,
                                                       open,
                                                       high,
                                                       std::max(low, 1),
                                                       volume};
      }
      std::string text;
      for (const PastDataRecord& record : records) text += FormatPriceLine(record) + "\r\n";
      WriteOrThrow(dir / (code + ".txt"), text);

      TCodeData data;
      data.Name = std::string(kSampleWord) + Number2(serial) + std::string(TypeName(sector));
      data.Market = kMarket;
      data.Type = sector;
      data.Unit = base < 1000.0 ? 1000 : 100;
      data.Vol = static_cast<int32_t>(volumeSum / kDays);
      data.Loan = 1;
      table.StoreCodeData(code, data);
    }
  }
  table.Changed = true;
  std::string error;
  if (!SaveCodeFile(table, dir, &error)) throw std::runtime_error(error);

  // Offline: the sample never asks the web for prices. A settings file the
  // user has changed since is kept.
  const std::filesystem::path ini = dir / "Dyadmark.ini";
  if (!std::filesystem::exists(ini)) WriteSampleSettings(ini);
}
