#include "window/code_page_settings.h"

#include <string>

#include "vcl/convert.h"

namespace {

constexpr char kSection[] = "FrameC";

std::string Key(const char* stem, size_t index) {
  return stem + vcl::IntToStr(static_cast<int64_t>(index) + 1);
}

}  // namespace

CodePageLayout ReadCodePageLayout(const vcl::TIniFile& ini, const CodePageLayout& defaults) {
  const vcl::TIniFileReading reading(ini);
  CodePageLayout layout = defaults;
  layout.splitterT = ini.ReadInteger(kSection, "SplitterT", layout.splitterT);
  layout.splitterB = ini.ReadInteger(kSection, "SplitterB", layout.splitterB);
  for (size_t i = 0; i < layout.codeColumns.size(); ++i) {
    layout.codeColumns[i] = ini.ReadInteger(kSection, Key("CodeClm", i), layout.codeColumns[i]);
  }
  for (size_t i = 0; i < layout.pastColumns.size(); ++i) {
    layout.pastColumns[i] = ini.ReadInteger(kSection, Key("PastClm", i), layout.pastColumns[i]);
  }
  layout.codeNG = ini.ReadInteger(kSection, "CodeNG", layout.codeNG);
  return layout;
}

void WriteCodePageLayout(vcl::TIniFile& ini, const CodePageLayout& layout) {
  vcl::TIniFileUpdate update(ini);
  ini.WriteInteger(kSection, "SplitterT", layout.splitterT);
  ini.WriteInteger(kSection, "SplitterB", layout.splitterB);
  for (size_t i = 0; i < layout.codeColumns.size(); ++i) {
    ini.WriteInteger(kSection, Key("CodeClm", i), layout.codeColumns[i]);
  }
  for (size_t i = 0; i < layout.pastColumns.size(); ++i) {
    ini.WriteInteger(kSection, Key("PastClm", i), layout.pastColumns[i]);
  }
  ini.WriteInteger(kSection, "CodeNG", layout.codeNG);
  update.Commit();
}

int32_t StoredUnit(std::string_view text) {
  const int32_t unit = vcl::StrToIntDef(text, 1);
  return unit < 1 ? 1 : unit;
}

int32_t StoredVolume(std::string_view text) { return vcl::StrToIntDef(text, -1); }
