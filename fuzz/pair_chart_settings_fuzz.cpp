// The pair page's chart options: any bytes as the settings file, read as the
// section Chart and a preset, written back and read again, and registered as
// a preset under a name. The input is the name, the byte 0x1F, then the file;
// an input without 0x1F is the file, registered under the caption it holds.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "fuzz_check.h"
#include "pair/pair_chart_plan.h"
#include "pair/pair_chart_settings.h"
#include "scratch_dir.h"
#include "vcl/inifile.h"
#include "window/main_settings.h"

namespace {

bool SameSettings(const PairChartSettings& a, const PairChartSettings& b) {
  return a.LineWidth == b.LineWidth && a.BarWidth == b.BarWidth && a.BarLabel == b.BarLabel &&
         a.YMDLabel == b.YMDLabel && a.LinesAB == b.LinesAB && a.LinesC == b.LinesC &&
         a.Grid == b.Grid && a.From == b.From && a.To == b.To && a.Renge == b.Renge &&
         a.Split == b.Split;
}

// Whatever a file holds, the chart draws with one of its shades and label
// formats.
void CheckDrawable(const PairChartSettings& s) {
  for (int32_t level : s.Grid) {
    const auto shade = GridShadeRgb(level);
    if (shade) FUZZ_CHECK(*shade <= 0xF0F0F0 && (*shade & 0xFF) == (*shade >> 16));
  }
  FUZZ_CHECK(BarMarkFormat(s.BarLabel) != nullptr);
  FUZZ_CHECK(!fuzz::HoldsLineBreak(s.From) && !fuzz::HoldsLineBreak(s.To));
}

PairChartSettings AsStored(PairChartSettings settings) {
  settings.From = fuzz::AsReadFromIni(settings.From);
  settings.To = fuzz::AsReadFromIni(settings.To);
  return settings;
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (c != '\r' && c != '\n') kept += c;
  }
  return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::BytesOf(data, size);
  const size_t end = bytes.find('\x1F');
  const std::string_view file = end == std::string_view::npos ? bytes : bytes.substr(end + 1);
  const std::filesystem::path path = fuzz::ScratchDir() / "Dyadmark.ini";
  fuzz::WriteBytes(path, file);
  vcl::TIniFile ini(path);

  const int32_t tag = 5 + static_cast<int32_t>(std::hash<std::string_view>{}(file) % 8);
  const std::string section = ChartPresetSection(tag);
  const std::string name = end == std::string_view::npos ? ini.ReadString(section, "Caption", "")
                                                         : WithoutLineBreaks(bytes.substr(0, end));

  const PairChartSettings chart = ReadPairChartSettings(ini, kPairChartSection, {});
  const PairChartSettings preset = ReadPairChartSettings(ini, section, PresetDefaults());
  CheckDrawable(chart);
  CheckDrawable(preset);
  if (!ini.SectionExists(section)) FUZZ_CHECK(SameSettings(preset, PresetDefaults()));

  // Written, the options read back as they were, whatever defaults the
  // reader is given (but for what the settings file never keeps of a period
  // text: blanks at its ends and one pair of enclosing quotes).
  WritePairChartSettings(ini, kPairChartSection, chart);
  const PairChartSettings storedChart = AsStored(chart);
  FUZZ_CHECK(
      SameSettings(ReadPairChartSettings(ini, kPairChartSection, PresetDefaults()), storedChart));

  // Registered, a preset shows its caption and gives back its options; the
  // name "-" takes it away.
  RegisterChartPreset(ini, tag, name, preset);
  const auto captions = ReadChartPresetCaptions(ini);
  if (name == kDeletePresetName) {
    FUZZ_CHECK(!captions[static_cast<size_t>(tag - 5)].has_value());
    FUZZ_CHECK(!ini.SectionExists(section));
  } else {
    FUZZ_CHECK(captions[static_cast<size_t>(tag - 5)] == fuzz::AsReadFromIni(PresetCaption(name)));
    FUZZ_CHECK(SameSettings(ReadPairChartSettings(ini, section, {}), AsStored(preset)));
  }
  FUZZ_CHECK(SameSettings(ReadPairChartSettings(ini, kPairChartSection, {}), storedChart));
  return 0;
}
