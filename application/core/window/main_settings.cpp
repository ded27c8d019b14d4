#include "window/main_settings.h"

namespace {

constexpr const char* kHiddenOption = "HiddenOption";
constexpr const char* kWindow = "Window";
constexpr const char* kOption = "Option";
constexpr const char* kPrintChart = "PrintChart";
constexpr const char* kMarginKeys[4] = {"MarginLeft", "MarginTop", "MarginRight", "MarginBottom"};

int32_t InRangeOr(int32_t value, int32_t low, int32_t high, int32_t fallback) {
  return value >= low && value <= high ? value : fallback;
}

}  // namespace

MainWindowSettings ReadMainWindowSettings(const vcl::TIniFile& ini) {
  const vcl::TIniFileReading reading(ini);
  MainWindowSettings s;
  const MainWindowSettings d;
  const int32_t timeout = ini.ReadInteger(kHiddenOption, "Timeout", d.timeoutSeconds);
  s.timeoutSeconds = timeout >= 0 ? timeout : d.timeoutSeconds;

  s.state = ini.ReadInteger(kWindow, "State", d.state);
  s.top = ini.ReadInteger(kWindow, "Top", d.top);
  s.left = ini.ReadInteger(kWindow, "Left", d.left);
  s.height = ini.ReadInteger(kWindow, "Height", d.height);
  s.width = ini.ReadInteger(kWindow, "Width", d.width);

  s.onLine = ini.ReadBool(kOption, "OnLine", d.onLine);
  s.chartDataUpdate = ini.ReadBool(kOption, "ChartDataUpdate", d.chartDataUpdate);
  s.sourceIndex = ini.ReadInteger(kOption, "Ticvane", d.sourceIndex);
  s.stayOnTop = ini.ReadBool(kOption, "StayOnTop", d.stayOnTop);

  for (int i = 0; i < 4; ++i) {
    s.printMargins[i] = InRangeOr(ini.ReadInteger(kPrintChart, kMarginKeys[i], d.printMargins[i]),
                                  0, 100, d.printMargins[i]);
  }
  s.orientation =
      InRangeOr(ini.ReadInteger(kPrintChart, "Orientation", d.orientation), 0, 1, d.orientation);
  const int32_t resolution = ini.ReadInteger(kPrintChart, "Resolution", d.resolution);
  s.resolution = resolution <= 0 ? resolution : d.resolution;
  return s;
}

void WriteMainWindowSettings(vcl::TIniFile& ini, const MainWindowSettings& s) {
  vcl::TIniFileUpdate update(ini);
  ini.WriteInteger(kWindow, "Top", s.top);
  ini.WriteInteger(kWindow, "Left", s.left);
  ini.WriteInteger(kWindow, "Height", s.height);
  ini.WriteInteger(kWindow, "Width", s.width);
  ini.WriteInteger(kWindow, "State", s.state);

  ini.WriteBool(kOption, "OnLine", s.onLine);
  ini.WriteBool(kOption, "ChartDataUpdate", s.chartDataUpdate);
  ini.WriteInteger(kOption, "Ticvane", s.sourceIndex);
  ini.WriteBool(kOption, "StayOnTop", s.stayOnTop);

  for (int i = 0; i < 4; ++i) ini.WriteInteger(kPrintChart, kMarginKeys[i], s.printMargins[i]);
  ini.WriteInteger(kPrintChart, "Orientation", s.orientation);
  ini.WriteInteger(kPrintChart, "Resolution", s.resolution);
  update.Commit();
}

std::array<std::optional<std::string>, kChartPresetCount> ReadChartPresetCaptions(
    const vcl::TIniFile& ini) {
  const vcl::TIniFileReading reading(ini);
  std::array<std::optional<std::string>, kChartPresetCount> captions;
  for (int32_t i = 0; i < kChartPresetCount; ++i) {
    const std::string section = ChartPresetSection(kFirstChartPresetTag + i);
    if (ini.SectionExists(section)) captions[i] = ini.ReadString(section, "Caption", "");
  }
  return captions;
}

std::string ChartPresetSection(int32_t tag) { return "ChartF" + std::to_string(tag); }

int32_t ValidSourceIndex(int32_t stored, int32_t sourceCount) {
  if (stored >= 0 && stored < sourceCount) return stored;
  return sourceCount == 1 ? 0 : 1;
}
