#pragma once
// The main window's own sections of the settings file: HiddenOption, Window,
// Option and PrintChart, and the captions of the chart presets ChartF5 to
// ChartF12. Every key is read with its default; a value that the window cannot
// use (a negative time-out, a print orientation other than 0 or 1) reads as
// the default too.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "vcl/inifile.h"
#include "window/window_bounds.h"

// Where the main window opens when no bounds are stored or the stored ones
// meet none of the screens.
inline constexpr WindowRect kDefaultMainWindowBounds{100, 50, 800, 600};

struct MainWindowSettings {
  int32_t timeoutSeconds = 5;  // HiddenOption, never written

  int32_t state = 0;  // Window: 0 normal, 1 minimised, 2 maximised
  int32_t top = kDefaultMainWindowBounds.top;
  int32_t left = kDefaultMainWindowBounds.left;
  int32_t height = kDefaultMainWindowBounds.height;
  int32_t width = kDefaultMainWindowBounds.width;

  bool onLine = true;  // Option
  bool chartDataUpdate = false;
  int32_t sourceIndex = 1;
  bool stayOnTop = false;

  // PrintChart: left, top, right and bottom margins in per cent of the page.
  std::array<int32_t, 4> printMargins{5, 5, 5, 5};
  int32_t orientation = 1;  // 0 portrait, 1 landscape
  int32_t resolution = 0;   // the chart's print resolution, 0 or negative
};

MainWindowSettings ReadMainWindowSettings(const vcl::TIniFile& ini);

// Writes Window, Option and PrintChart, key by key in that order (not
// HiddenOption). Throws vcl::EIniFileException at the first write that fails.
void WriteMainWindowSettings(vcl::TIniFile& ini, const MainWindowSettings& settings);

// The chart preset keys F5 to F12 carry the tags 5 to 12.
constexpr int32_t kFirstChartPresetTag = 5;
constexpr int32_t kChartPresetCount = 8;

// The chart presets F5 to F12 (index 0 to 7): the caption (code page 932)
// when the section "ChartF5" ... "ChartF12" exists, else nothing.
std::array<std::optional<std::string>, kChartPresetCount> ReadChartPresetCaptions(
    const vcl::TIniFile& ini);

// The section name of preset key `tag` (5 to 12): "ChartF" + tag.
std::string ChartPresetSection(int32_t tag);

// The source index to use: `stored` when it names one of `sourceCount`
// sources, else the default 1, or 0 when 0 is the only source.
int32_t ValidSourceIndex(int32_t stored, int32_t sourceCount);
