#include "code_file.h"

#include <algorithm>

#include "file_io.h"
#include "text_lines.h"
#include "vcl/convert.h"

namespace {

constexpr char kCodeFileName[] = "Code.txt";

// The text before the next TAB, which is consumed with it; without a TAB the
// field is empty and nothing is consumed.
std::string_view TakeField(std::string_view& rest) {
  const size_t tab = rest.find('\t');
  if (tab == std::string_view::npos) return {};
  const std::string_view field = rest.substr(0, tab);
  rest.remove_prefix(tab + 1);
  return field;
}

}  // namespace

bool ParseCodeLine(std::string_view line, std::string& code, TCodeData& data) {
  if (line.size() < 5 || line[4] != '\t') return false;
  code.assign(line.substr(0, 4));
  std::string_view rest = line.substr(5);
  data.Name.assign(TakeField(rest));
  data.Market.assign(TakeField(rest));
  data.Type = vcl::StrToIntDef(TakeField(rest), 0);
  if (data.Type < 0 || data.Type > 33) data.Type = 0;
  data.Unit = vcl::StrToIntDef(TakeField(rest), 0);
  data.Vol = vcl::StrToIntDef(TakeField(rest), 0);
  data.Loan = !rest.empty() && rest[0] == '1' ? 1 : 0;
  rest.remove_prefix(std::min<size_t>(2, rest.size()));
  data.Ng = vcl::StrToIntDef(rest, 0) == 0 ? 0 : 1;
  return true;
}

std::string FormatCodeLine(std::string_view code, const TCodeData& data) {
  std::string line(code);
  line += '\t';
  line += data.Name;
  line += '\t';
  line += data.Market;
  line += '\t';
  line += vcl::IntToStr(data.Type);
  line += '\t';
  line += vcl::IntToStr(data.Unit);
  line += '\t';
  line += vcl::IntToStr(data.Vol);
  line += '\t';
  line += data.Loan != 0 ? '1' : '0';
  line += '\t';
  line += vcl::IntToStr(data.Ng);
  return line;
}

void LoadCodeFile(CodeTable& table, const std::filesystem::path& dataDir) {
  table.ClearCodeData();
  if (const auto bytes = ReadFileBytes(dataDir / kCodeFileName)) {
    std::string code;
    for (const std::string& line : SplitLines(*bytes)) {
      TCodeData data;
      if (ParseCodeLine(line, code, data)) table.InsertCodeData(code, data);
    }
  }
  table.Changed = false;
}

void SaveCodeFile(CodeTable& table, const std::filesystem::path& dataDir) {
  if (!table.Changed) return;
  std::string text;
  for (int i = 0; i < table.Count(); ++i) {
    text += FormatCodeLine(table.CodeAt(i), table.DataAt(i));
    text += "\r\n";
  }
  WriteFileAtomically(dataDir / kCodeFileName, text);
  table.Changed = false;
}
