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
#include <system_error>
#include <unordered_map>
#include <utility>

#include "vcl/convert.h"
#include "vcl/cp932_text.h"
#include "vcl/path_text.h"
#include "vcl/replace_file.h"

namespace vcl {

// One write as given to the object, kept so that an update can make it again
// on top of the file as it is when the update commits.
namespace inifile_detail {
struct Edit {
  enum class Kind { kWrite, kEraseSection, kDeleteKey };
  Kind kind;
  std::string section;
  std::string key;
  std::string value;
};
}  // namespace inifile_detail

namespace {

using inifile_detail::Edit;

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

// `error` receives the errno of an unreadable file.
ReadResult ReadWholeFile(const std::filesystem::path& file, std::string& bytes, int& error) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return error == ENOENT || error == ENOTDIR ? ReadResult::kMissing : ReadResult::kUnreadable;
  }
  char buffer[65536];
  ReadResult result = ReadResult::kRead;
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      error = errno;
      result = ReadResult::kUnreadable;
      break;
    }
    bytes.append(buffer, static_cast<size_t>(count));
  }
  ::close(fd);
  if (result != ReadResult::kRead) bytes.clear();
  return result;
}

// A quick test that spares key lines the full parse: only a line whose first
// non-blank byte is "[" can be a section header.
bool MayBeHeader(std::string_view line) {
  for (const char c : line) {
    if (static_cast<unsigned char>(c) > 0x20) return c == '[';
  }
  return false;
}

// The file's lines cut into sections, with each section's keys looked up by
// name, so that the thousands of writes of one save each cost a look-up
// rather than a pass over the file. Matching and placement are those of a
// pass over the lines: the first section and the first key of a name win, a
// new key goes after the section's last key line, a new section at the end.
class Document {
 public:
  // `indexKeys` is for documents that take many look-ups: each section's
  // keys are then indexed once; otherwise each look-up reads the section.
  Document(std::vector<std::string> lines, bool indexKeys) : indexKeys_(indexKeys) {
    sections_.emplace_back().indexKeys = indexKeys;  // the lines before the first header
    for (std::string& line : lines) {
      if (MayBeHeader(line)) {
        ParsedLine parsed = ParseLine(line);
        if (parsed.kind == LineKind::kSection) {
          Section& section = sections_.emplace_back();
          section.indexKeys = indexKeys;
          section.headed = true;
          section.name = FoldAsciiCase(parsed.name);
          section.lines.push_back(std::move(line));
          continue;
        }
      }
      sections_.back().lines.push_back(std::move(line));
    }
    IndexSections();
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const Section& section : sections_) {
      lines.insert(lines.end(), section.lines.begin(), section.lines.end());
    }
    return lines;
  }

  // The line of `key` in `section` (both trimmed), if there is one.
  const std::string* FindKeyLine(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (found == nullptr) return nullptr;
    const std::optional<size_t> line = found->KeyLine(key);
    return line ? &found->lines[*line] : nullptr;
  }

  std::vector<std::string> KeyNames(std::string_view section) const {
    std::vector<std::string> keys;
    const Section* found = FindSection(section);
    if (found == nullptr) return keys;
    for (size_t i = 1; i < found->lines.size(); ++i) {
      ParsedLine parsed = ParseLine(found->lines[i]);
      if (parsed.kind == LineKind::kKey) keys.push_back(std::move(parsed.name));
    }
    return keys;
  }

  void Write(const std::string& section, const std::string& key, const std::string& value) {
    Section* found = FindSection(section);
    if (found == nullptr) {
      Section& added = sections_.emplace_back();
      added.indexKeys = indexKeys_;
      added.headed = true;
      added.name = FoldAsciiCase(section);
      added.lines.push_back("[" + section + "]");
      added.lines.push_back(key + "=" + value);
      first_.emplace(added.name, sections_.size() - 1);
      return;
    }
    if (const std::optional<size_t> line = found->KeyLine(key)) {
      // The key keeps its spelling and spacing up to "=".
      std::string& text = found->lines[*line];
      text = text.substr(0, ParseLine(text).valueStart) + value;
      return;
    }
    found->InsertKeyLine(key, key + "=" + value);
  }

  // Every section of that name goes, with all its lines.
  void EraseSection(std::string_view section) {
    const std::string wanted = FoldAsciiCase(section);
    if (first_.count(wanted) == 0) return;
    std::erase_if(sections_,
                  [&](const Section& held) { return held.headed && held.name == wanted; });
    IndexSections();
  }

  void DeleteKey(std::string_view section, std::string_view key) {
    Section* found = FindSection(section);
    if (found == nullptr) return;
    if (const std::optional<size_t> line = found->KeyLine(key)) found->EraseLine(*line);
  }

 private:
  struct Section {
    bool indexKeys = false;
    bool headed = false;             // false only for the lines before the first header
    std::string name;                // folded
    std::vector<std::string> lines;  // the header line first when headed

    std::optional<size_t> KeyLine(std::string_view key) const {
      const std::string wanted = FoldAsciiCase(key);
      if (!indexKeys) {
        for (size_t i = 1; i < lines.size(); ++i) {
          const ParsedLine parsed = ParseLine(lines[i]);
          if (parsed.kind == LineKind::kKey && FoldAsciiCase(parsed.name) == wanted) return i;
        }
        return std::nullopt;
      }
      Index();
      const auto found = keys_.find(wanted);
      if (found == keys_.end()) return std::nullopt;
      return found->second;
    }

    // Lines after the insertion point are no key lines, so the lines of the
    // keys already looked up keep their places.
    void InsertKeyLine(std::string_view key, std::string line) {
      Index();
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertion_), std::move(line));
      keys_.emplace(FoldAsciiCase(key), insertion_);
      ++insertion_;
    }

    void EraseLine(size_t line) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
      indexed_ = false;
    }

   private:
    void Index() const {
      if (indexed_) return;
      keys_.clear();
      insertion_ = 1;
      for (size_t i = 1; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(lines[i]);
        if (parsed.kind != LineKind::kKey) continue;
        keys_.emplace(FoldAsciiCase(parsed.name), i);
        insertion_ = i + 1;
      }
      indexed_ = true;
    }

    mutable bool indexed_ = false;
    mutable std::unordered_map<std::string, size_t> keys_;  // folded name: first line
    mutable size_t insertion_ = 1;  // after the last key line, or after the header
  };

  const Section* FindSection(std::string_view section) const {
    const auto found = first_.find(FoldAsciiCase(section));
    return found == first_.end() ? nullptr : &sections_[found->second];
  }
  Section* FindSection(std::string_view section) {
    return const_cast<Section*>(std::as_const(*this).FindSection(section));
  }

  void IndexSections() {
    first_.clear();
    for (size_t i = 0; i < sections_.size(); ++i) {
      if (sections_[i].headed) first_.emplace(sections_[i].name, i);
    }
  }

  bool indexKeys_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> first_;  // folded name: first section
};

void Apply(Document& document, const Edit& edit) {
  switch (edit.kind) {
    case Edit::Kind::kWrite:
      document.Write(edit.section, edit.key, edit.value);
      break;
    case Edit::Kind::kEraseSection:
      document.EraseSection(edit.section);
      break;
    case Edit::Kind::kDeleteKey:
      document.DeleteKey(edit.section, edit.key);
      break;
  }
}

Document Replayed(const std::vector<std::string>& lines, const std::vector<Edit>& edits,
                  size_t count) {
  Document document(lines, true);
  for (size_t i = 0; i < count; ++i) Apply(document, edits[i]);
  return document;
}

}  // namespace

struct TIniFile::Update {
  Snapshot base;  // the file as the update read it
  Document document{{}, true};
  std::vector<Edit> edits;
  std::vector<size_t> marks;  // for each nested update, the edits made before it
};

struct TIniFile::Reading {
  Document document{{}, true};
  int depth = 0;
};

TIniFile::TIniFile(std::filesystem::path file) : file_(std::move(file)) {}

TIniFile::~TIniFile() = default;

template <class Read>
auto TIniFile::WithDocument(Read read) const {
  if (update_) return read(update_->document);
  if (reading_) return read(reading_->document);
  return read(Document(Load().lines, false));
}

TIniFile::Snapshot TIniFile::Load() const {
  Snapshot snapshot;
  std::string bytes;
  switch (ReadWholeFile(file_, bytes, snapshot.readError)) {
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
  return WithDocument([&](const Document& document) {
    const std::string* line = document.FindKeyLine(Trim(section), Trim(key));
    return line ? ValueOf(*line, ParseLine(*line)) : std::string(defaultValue);
  });
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
  std::string sectionName = Trim(section);
  std::string keyName = Trim(key);
  if (HasLineBreak(sectionName) || HasLineBreak(keyName) || HasLineBreak(value) ||
      keyName.empty() || keyName.find('=') != std::string::npos || keyName.front() == '[' ||
      keyName.front() == ';' || EndsInLoneLeadByte(sectionName)) {
    throw EIniFileException(PathToCp932Text(file_) + kCannotWriteSuffix);
  }
  // The value goes in as given, as the profile functions write it: blanks at
  // its ends and one pair of enclosing quotes are lost on reading.
  Make(Edit{Edit::Kind::kWrite, std::move(sectionName), std::move(keyName), std::string(value)});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  return WithDocument([&](const Document& document) { return document.KeyNames(Trim(section)); });
}

bool TIniFile::SectionExists(std::string_view section) const {
  return !ReadSection(section).empty();
}

void TIniFile::EraseSection(std::string_view section) {
  Make(Edit{Edit::Kind::kEraseSection, Trim(section), {}, {}});
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Make(Edit{Edit::Kind::kDeleteKey, Trim(section), Trim(key), {}});
}

void TIniFile::Make(Edit edit) {
  if (update_) {
    Apply(update_->document, edit);
    update_->edits.push_back(std::move(edit));
    return;
  }
  const Snapshot snapshot = Load();
  Document document(snapshot.lines, false);
  Apply(document, edit);
  const std::vector<std::string> lines = document.Lines();
  Commit(snapshot, lines);
  RefreshReading(lines);
}

void TIniFile::RefreshReading(const std::vector<std::string>& lines) const {
  if (reading_) reading_->document = Document(lines, true);
}

void TIniFile::BeginReading() const {
  if (!reading_) {
    reading_ = std::make_unique<Reading>();
    reading_->document = update_ ? update_->document : Document(Load().lines, true);
  }
  ++reading_->depth;
}

void TIniFile::EndReading() const {
  if (reading_ && --reading_->depth == 0) reading_.reset();
}

void TIniFile::BeginUpdate() {
  if (update_) {
    update_->marks.push_back(update_->edits.size());
    return;
  }
  auto update = std::make_unique<Update>();
  update->base = Load();
  update->document = Document(update->base.lines, true);
  update_ = std::move(update);
}

void TIniFile::EndUpdate() {
  if (!update_) return;
  if (!update_->marks.empty()) {
    update_->marks.pop_back();
    return;
  }
  const std::unique_ptr<Update> update = std::move(update_);
  if (update->edits.empty()) return;
  const Snapshot now = Load();
  const bool unchanged = now.lines == update->base.lines &&
                         now.unreadable == update->base.unreadable &&
                         now.fileHoldsLines == update->base.fileHoldsLines;
  const std::vector<std::string> lines =
      unchanged ? update->document.Lines()
                : Replayed(now.lines, update->edits, update->edits.size()).Lines();
  try {
    Commit(now, lines);
  } catch (const EIniFileException&) {
    RefreshReading(now.lines);
    throw;
  }
  RefreshReading(lines);
}

void TIniFile::CancelUpdate() {
  if (!update_) return;
  if (update_->marks.empty()) {
    update_.reset();
    if (reading_) RefreshReading(Load().lines);
    return;
  }
  const size_t kept = update_->marks.back();
  update_->marks.pop_back();
  if (kept == update_->edits.size()) return;
  update_->edits.resize(kept);
  update_->document = Replayed(update_->base.lines, update_->edits, kept);
}

void TIniFile::Commit(const Snapshot& before, const std::vector<std::string>& lines) const {
  if (lines == before.lines && before.fileHoldsLines) return;
  if (before.unreadable) {
    throw EIniFileException(PathToCp932Text(file_) + kCannotWriteSuffix, before.readError);
  }
  std::error_code error;
  if (!ReplaceFileContents(file_, JoinLinesCrlf(lines), error)) {
    throw EIniFileException(PathToCp932Text(file_) + kCannotWriteSuffix, error.value());
  }
}

}  // namespace vcl
