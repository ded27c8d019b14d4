// The settings file: any bytes as the file, and a section, a key and a value
// to write into it. The input is section, key and value, each ended by the
// byte 0x1F, then the file; an input without the three ends is the file
// alone, written with fixed names.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "scratch_dir.h"
#include "vcl/cp932_text.h"
#include "vcl/inifile.h"

namespace {

constexpr char kNoValue[] = "\r";  // no value read from a file holds a CR

struct IniInput {
  std::string section = "Fuzz";
  std::string key = "Key";
  std::string value = "Value";
  std::string file;
};

IniInput ParseInput(std::string_view bytes) {
  IniInput input;
  std::string parts[3];
  std::string_view rest = bytes;
  for (std::string& part : parts) {
    const size_t end = rest.find('\x1F');
    if (end == std::string_view::npos) {
      input.file = std::string(bytes);
      return input;
    }
    part = rest.substr(0, end);
    rest.remove_prefix(end + 1);
  }
  input.section = parts[0];
  input.key = parts[1];
  input.value = parts[2];
  input.file = std::string(rest);
  return input;
}

// Every key a section lists reads back.
void CheckSectionReads(const vcl::TIniFile& ini, const std::string& section) {
  for (const std::string& key : ini.ReadSection(section)) {
    FUZZ_CHECK(ini.ReadString(section, key, kNoValue) != kNoValue);
  }
}

// What a write may do to the lines of the file: change one, add one, or
// append a section header and its key.
bool OneWriteApart(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  size_t same = 0;
  while (same < before.size() && same < after.size() && before[same] == after[same]) ++same;
  const auto rest = [&](size_t from, size_t afterFrom) {
    return before.size() - from == after.size() - afterFrom &&
           std::equal(before.begin() + static_cast<std::ptrdiff_t>(from), before.end(),
                      after.begin() + static_cast<std::ptrdiff_t>(afterFrom));
  };
  if (after.size() == before.size()) return same == before.size() || rest(same + 1, same + 1);
  if (after.size() == before.size() + 1) return rest(same, same + 1);
  return after.size() == before.size() + 2 && same == before.size();
}

// A write either holds, leaving every other line of the file as it was and
// the file in CR LF lines, or throws and changes nothing.
template <typename Write, typename ReadsBack>
void CheckWrite(const vcl::TIniFile& ini, Write write, ReadsBack readsBack) {
  const std::string before = fuzz::ReadBytes(ini.FileName());
  try {
    write();
  } catch (const vcl::EIniFileException&) {
    FUZZ_CHECK(fuzz::ReadBytes(ini.FileName()) == before);
    return;
  }
  FUZZ_CHECK(readsBack());
  const std::string after = fuzz::ReadBytes(ini.FileName());
  FUZZ_CHECK(after == vcl::JoinLinesCrlf(vcl::SplitLines(after)));
  FUZZ_CHECK(OneWriteApart(vcl::SplitLines(before), vcl::SplitLines(after)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const IniInput input = ParseInput(fuzz::BytesOf(data, size));
  const std::filesystem::path file = fuzz::ScratchDir() / "Dyadmark.ini";
  fuzz::WriteBytes(file, input.file);
  vcl::TIniFile ini(file);

  CheckSectionReads(ini, input.section);
  ini.SectionExists(input.section);
  ini.ReadInteger(input.section, input.key, 0);
  ini.ReadBool(input.section, input.key, false);

  CheckWrite(
      ini, [&] { ini.WriteString(input.section, input.key, input.value); },
      [&] {
        return ini.ReadString(input.section, input.key, kNoValue) ==
               fuzz::AsReadFromIni(input.value);
      });
  const int32_t number = static_cast<int32_t>(std::hash<std::string>{}(input.value));
  CheckWrite(
      ini, [&] { ini.WriteInteger(input.section, input.key, number); },
      [&] { return ini.ReadInteger(input.section, input.key, number + 1) == number; });
  CheckWrite(
      ini, [&] { ini.WriteBool(input.section, input.key, true); },
      [&] { return ini.ReadBool(input.section, input.key, false); });
  CheckSectionReads(ini, input.section);

  try {
    ini.DeleteKey(input.section, input.key);
    ini.EraseSection(input.section);
    FUZZ_CHECK(!ini.SectionExists(input.section));
    FUZZ_CHECK(ini.ReadSection(input.section).empty());
  } catch (const vcl::EIniFileException&) {
    FUZZ_CHECK(false);  // the file was written a moment ago
  }
  return 0;
}
