#pragma once
// The pair page's option values as the settings file keeps them: section
// FrameP (ChkOption), section Chart, and the chart presets ChartF5 ...
// ChartF12, which hold the Chart keys after a Caption.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "vcl/inifile.h"

struct PairChartSettings {
  int32_t LineWidth = 2;
  int32_t BarWidth = 90;
  int32_t BarLabel = 2;  // index of the bar-label list
  int32_t YMDLabel = 6;  // index of the date-label list
  // The open, high and low lines of A, then of B.
  std::array<bool, 6> LinesAB{};
  // The mean, the +-2 sigma lines, the 5- and the 25-day averages.
  std::array<bool, 4> LinesC{};
  // Grid shades 0 to 5: left axis, month lines, bottom axis.
  std::array<int32_t, 3> Grid{4, 3, 2};
  std::string From = "1";  // code page 932, as the period fields hold them
  std::string To = "1200";
  int32_t Renge = -20;  // minus the number of days shown
  int32_t Split = 75;   // the price pane's share of the height, per cent
};

// What a preset lacks is read as these (they differ from the Chart section's
// defaults in the bar labels and the split).
PairChartSettings PresetDefaults();

// The Chart keys of `section`, each with its default from `defaults`.
PairChartSettings ReadPairChartSettings(const vcl::TIniFile& ini, std::string_view section,
                                        const PairChartSettings& defaults);
// Writes the Chart keys into `section` in their order. Throws
// vcl::EIniFileException at the first write that fails.
void WritePairChartSettings(vcl::TIniFile& ini, std::string_view section,
                            const PairChartSettings& settings);

inline constexpr char kPairFrameSection[] = "FrameP";
inline constexpr char kPairChartSection[] = "Chart";

// The preset of key `tag` (5 to 12): its Caption (a blank for an empty name)
// and the Chart keys; "-" erases the section instead.
void RegisterChartPreset(vcl::TIniFile& ini, int32_t tag, std::string_view name,
                         const PairChartSettings& settings);
// The caption a registered preset shows: " " for an empty name.
std::string PresetCaption(std::string_view name);
// The name that deletes a preset.
inline constexpr char kDeletePresetName[] = "-";
