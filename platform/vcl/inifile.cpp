// The settings file. Every call reads the file afresh, as the private-profile
// functions do, so two objects on one file never undo each other's writes; a
// line is a section header, a key line or anything else (comments, blank
// lines, text it does not understand), and only the lines a write concerns are
// ever changed.

#include "vcl/inifile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>

#include "vcl/convert.h"
#include "vcl/cp932_text.h"
#include "vcl/path_text.h"
#include "vcl/replace_file.h"

namespace vcl {
namespace {

// "に書き込めません" ("cannot be written to") in code page 932.
constexpr char kCannotWriteSuffix[] =
    " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";

enum class LineKind { kSection, kKey, kOther };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string name;       // section or key name, trimmed
  size_t valueStart = 0;  // key lines: the byte after "="
};

// The last "]" of a header that is a character of its own, not the second
// byte of a two-byte character.
std::optional<size_t> ClosingBracket(std::string_view text) {
  std::optional<size_t> found;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(text[i])) {
      ++i;
    } else if (text[i] == ']') {
      found = i;
    }
  }
  return found;
}

ParsedLine ParseLine(std::string_view line) {
  ParsedLine parsed;
  size_t start = 0;
  while (start < line.size() && static_cast<unsigned char>(line[start]) <= 0x20) ++start;
  if (start == line.size()) return parsed;
  if (line[start] == '[') {
    const std::optional<size_t> close = ClosingBracket(line.substr(start));
    if (close) {
      parsed.kind = LineKind::kSection;
      parsed.name = Trim(line.substr(start + 1, *close - 1));
    }
    return parsed;
  }
  if (line[start] == ';') return parsed;
  // "=" (0x3D) is never the second byte of a two-byte character.
  const size_t equals = line.find('=', start);
  if (equals == std::string_view::npos) return parsed;
  parsed.name = Trim(line.substr(start, equals - start));
  if (parsed.name.empty()) return parsed;
  parsed.kind = LineKind::kKey;
  parsed.valueStart = equals + 1;
  return parsed;
}

// The value as read: trimmed, then one pair of enclosing quotes dropped.
std::string ValueOf(std::string_view line, const ParsedLine& parsed) {
  std::string value = Trim(line.substr(parsed.valueStart));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

enum class ReadResult { kRead, kMissing, kUnreadable };

ReadResult ReadWholeFile(const std::filesystem::path& file, std::string& bytes) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR ? ReadResult::kMissing : ReadResult::kUnreadable;
  char buffer[65536];
  ReadResult result = ReadResult::kRead;
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      result = ReadResult::kUnreadable;
      break;
    }
    bytes.append(buffer, static_cast<size_t>(count));
  }
  ::close(fd);
  if (result != ReadResult::kRead) bytes.clear();
  return result;
}

// Index ranges of the lines; a section's body runs up to the next header.
class SectionView {
 public:
  explicit SectionView(const std::vector<std::string>& lines) : lines_(lines) {}

  // The header line of the first section named `section`.
  std::optional<size_t> FindHeader(std::string_view section, size_t from = 0) const {
    const std::string wanted = FoldAsciiCase(section);
    for (size_t i = from; i < lines_.size(); ++i) {
      const ParsedLine parsed = ParseLine(lines_[i]);
      if (parsed.kind == LineKind::kSection && FoldAsciiCase(parsed.name) == wanted) return i;
    }
    return std::nullopt;
  }

  // One past the section's last line.
  size_t End(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && ParseLine(lines_[i]).kind != LineKind::kSection) ++i;
    return i;
  }

  std::optional<size_t> FindKey(size_t header, std::string_view key) const {
    const std::string wanted = FoldAsciiCase(key);
    const size_t end = End(header);
    for (size_t i = header + 1; i < end; ++i) {
      const ParsedLine parsed = ParseLine(lines_[i]);
      if (parsed.kind == LineKind::kKey && FoldAsciiCase(parsed.name) == wanted) return i;
    }
    return std::nullopt;
  }

  // Where a new key of the section goes: after its last key line, or right
  // after the header when it has none.
  size_t InsertionPoint(size_t header) const {
    size_t point = header + 1;
    const size_t end = End(header);
    for (size_t i = header + 1; i < end; ++i) {
      if (ParseLine(lines_[i]).kind == LineKind::kKey) point = i + 1;
    }
    return point;
  }

 private:
  const std::vector<std::string>& lines_;
};

}  // namespace

TIniFile::TIniFile(std::filesystem::path file) : file_(std::move(file)) {}

TIniFile::Snapshot TIniFile::Load() const {
  Snapshot snapshot;
  std::string bytes;
  switch (ReadWholeFile(file_, bytes)) {
    case ReadResult::kRead:
      snapshot.lines = SplitLines(bytes);
      snapshot.fileHoldsLines = JoinLinesCrlf(snapshot.lines) == bytes;
      break;
    case ReadResult::kMissing:
      snapshot.fileHoldsLines = true;  // no file and no lines: nothing to write yet
      break;
    case ReadResult::kUnreadable:
      snapshot.unreadable = true;
      snapshot.fileHoldsLines = false;
      break;
  }
  return snapshot;
}

const std::filesystem::path& TIniFile::FileName() const { return file_; }

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const std::vector<std::string> lines = Load().lines;
  const SectionView view(lines);
  const std::optional<size_t> header = view.FindHeader(Trim(section));
  if (!header) return std::string(defaultValue);
  const std::optional<size_t> line = view.FindKey(*header, Trim(key));
  if (!line) return std::string(defaultValue);
  return ValueOf(lines[*line], ParseLine(lines[*line]));
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                              int32_t defaultValue) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text = "$" + text.substr(2);
  }
  return StrToIntDef(text, defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string sectionName = Trim(section);
  const std::string keyName = Trim(key);
  if (HasLineBreak(sectionName) || HasLineBreak(keyName) || HasLineBreak(value) ||
      keyName.empty() || keyName.find('=') != std::string::npos || keyName.front() == '[' ||
      keyName.front() == ';' || EndsInLoneLeadByte(sectionName)) {
    throw EIniFileException(PathToCp932Text(file_) + kCannotWriteSuffix);
  }
  // The value goes in as given, as the profile functions write it: blanks at
  // its ends and one pair of enclosing quotes are lost on reading.
  const std::string valueText(value);

  const Snapshot snapshot = Load();
  std::vector<std::string> lines = snapshot.lines;
  const SectionView view(lines);
  const std::optional<size_t> header = view.FindHeader(sectionName);
  if (!header) {
    lines.push_back("[" + sectionName + "]");
    lines.push_back(keyName + "=" + valueText);
  } else if (const std::optional<size_t> line = view.FindKey(*header, keyName)) {
    // The key keeps its spelling and spacing up to "=".
    std::string& text = lines[*line];
    text = text.substr(0, ParseLine(text).valueStart) + valueText;
  } else {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(view.InsertionPoint(*header)),
                 keyName + "=" + valueText);
  }
  Commit(snapshot, lines);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  const std::vector<std::string> lines = Load().lines;
  const SectionView view(lines);
  const std::optional<size_t> header = view.FindHeader(Trim(section));
  if (!header) return keys;
  const size_t end = view.End(*header);
  for (size_t i = *header + 1; i < end; ++i) {
    ParsedLine parsed = ParseLine(lines[i]);
    if (parsed.kind == LineKind::kKey) keys.push_back(std::move(parsed.name));
  }
  return keys;
}

bool TIniFile::SectionExists(std::string_view section) const {
  return !ReadSection(section).empty();
}

void TIniFile::EraseSection(std::string_view section) {
  const std::string sectionName = Trim(section);
  const Snapshot snapshot = Load();
  std::vector<std::string> lines = snapshot.lines;
  // Every section of that name goes, with all its lines.
  for (;;) {
    const SectionView view(lines);
    const std::optional<size_t> header = view.FindHeader(sectionName);
    if (!header) break;
    const size_t end = view.End(*header);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*header),
                lines.begin() + static_cast<std::ptrdiff_t>(end));
  }
  Commit(snapshot, lines);
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  const Snapshot snapshot = Load();
  std::vector<std::string> lines = snapshot.lines;
  const SectionView view(lines);
  if (const std::optional<size_t> header = view.FindHeader(Trim(section))) {
    if (const std::optional<size_t> line = view.FindKey(*header, Trim(key))) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*line));
    }
  }
  Commit(snapshot, lines);
}

void TIniFile::Commit(const Snapshot& before, const std::vector<std::string>& lines) const {
  if (lines == before.lines && before.fileHoldsLines) return;
  if (before.unreadable || !ReplaceFileContents(file_, JoinLinesCrlf(lines))) {
    throw EIniFileException(PathToCp932Text(file_) + kCannotWriteSuffix);
  }
}

}  // namespace vcl
