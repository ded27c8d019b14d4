#include "data/code_file.h"

#include <algorithm>
#include <vector>

#include "data/file_io.h"
#include "vcl/convert.h"
#include "vcl/cp932_text.h"

namespace {

constexpr char kCodeFileName[] = "Code.txt";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

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
  // A code that starts with a byte-order mark would lose it when the file is
  // read again, and the table would not read back as written.
  if (line.starts_with(kUtf8ByteOrderMark)) return false;
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
    // A file saved by an editor as UTF-8 may open with a byte-order mark,
    // which would otherwise cost the first code its line.
    std::string_view text = *bytes;
    if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
    std::string code;
    for (const std::string& line : vcl::SplitLines(text)) {
      TCodeData data;
      if (ParseCodeLine(line, code, data)) table.InsertCodeData(code, data);
    }
  }
  table.Changed = false;
}

bool SaveCodeFile(CodeTable& table, const std::filesystem::path& dataDir, std::string* error) {
  if (!table.Changed) return true;
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(table.Count()));
  for (int i = 0; i < table.Count(); ++i)
    lines.push_back(FormatCodeLine(table.CodeAt(i), table.DataAt(i)));
  if (!WriteFileAtomically(dataDir / kCodeFileName, vcl::JoinLinesCrlf(lines), error)) return false;
  table.Changed = false;
  return true;
}
