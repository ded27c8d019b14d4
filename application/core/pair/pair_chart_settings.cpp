#include "pair/pair_chart_settings.h"

#include "window/main_settings.h"

namespace {

constexpr std::array<const char*, 6> kLineABKeys{"LineA1", "LineA2", "LineA3",
                                                 "LineB1", "LineB2", "LineB3"};
constexpr std::array<const char*, 4> kLineCKeys{"LineCM", "LineCSD", "LineC05", "LineC25"};
constexpr std::array<const char*, 3> kGridKeys{"GridL", "GridM", "GridD"};

}  // namespace

PairChartSettings PresetDefaults() {
  PairChartSettings defaults;
  defaults.BarLabel = 3;
  defaults.Split = 70;
  return defaults;
}

PairChartSettings ReadPairChartSettings(const vcl::TIniFile& ini, std::string_view section,
                                        const PairChartSettings& defaults) {
  const vcl::TIniFileReading reading(ini);
  PairChartSettings s;
  s.LineWidth = ini.ReadInteger(section, "LineWidth", defaults.LineWidth);
  s.BarWidth = ini.ReadInteger(section, "BarWidth", defaults.BarWidth);
  s.BarLabel = ini.ReadInteger(section, "BarLabel", defaults.BarLabel);
  s.YMDLabel = ini.ReadInteger(section, "YMDLabel", defaults.YMDLabel);
  for (size_t i = 0; i < kLineABKeys.size(); ++i) {
    s.LinesAB[i] = ini.ReadBool(section, kLineABKeys[i], defaults.LinesAB[i]);
  }
  for (size_t i = 0; i < kLineCKeys.size(); ++i) {
    s.LinesC[i] = ini.ReadBool(section, kLineCKeys[i], defaults.LinesC[i]);
  }
  for (size_t i = 0; i < kGridKeys.size(); ++i) {
    s.Grid[i] = ini.ReadInteger(section, kGridKeys[i], defaults.Grid[i]);
  }
  s.From = ini.ReadString(section, "From", defaults.From);
  s.To = ini.ReadString(section, "To", defaults.To);
  s.Renge = ini.ReadInteger(section, "Renge", defaults.Renge);
  s.Split = ini.ReadInteger(section, "Split", defaults.Split);
  return s;
}

void WritePairChartSettings(vcl::TIniFile& ini, std::string_view section,
                            const PairChartSettings& s) {
  vcl::TIniFileUpdate update(ini);
  ini.WriteInteger(section, "LineWidth", s.LineWidth);
  ini.WriteInteger(section, "BarWidth", s.BarWidth);
  ini.WriteInteger(section, "BarLabel", s.BarLabel);
  ini.WriteInteger(section, "YMDLabel", s.YMDLabel);
  for (size_t i = 0; i < kLineABKeys.size(); ++i)
    ini.WriteBool(section, kLineABKeys[i], s.LinesAB[i]);
  for (size_t i = 0; i < kLineCKeys.size(); ++i) ini.WriteBool(section, kLineCKeys[i], s.LinesC[i]);
  for (size_t i = 0; i < kGridKeys.size(); ++i) ini.WriteInteger(section, kGridKeys[i], s.Grid[i]);
  ini.WriteString(section, "From", s.From);
  ini.WriteString(section, "To", s.To);
  ini.WriteInteger(section, "Renge", s.Renge);
  ini.WriteInteger(section, "Split", s.Split);
  update.Commit();
}

std::string PresetCaption(std::string_view name) {
  return name.empty() ? std::string(" ") : std::string(name);
}

void RegisterChartPreset(vcl::TIniFile& ini, int32_t tag, std::string_view name,
                         const PairChartSettings& settings) {
  const std::string section = ChartPresetSection(tag);
  if (name == kDeletePresetName) {
    ini.EraseSection(section);
    return;
  }
  vcl::TIniFileUpdate update(ini);
  ini.WriteString(section, "Caption", PresetCaption(name));
  WritePairChartSettings(ini, section, settings);
  update.Commit();
}
