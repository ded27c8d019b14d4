#include "data/price_file_lines.h"

#include <algorithm>
#include <utility>

#include "data/file_io.h"

namespace {

// The stop poll is asked once per this many bytes looked at.
constexpr size_t kPollBytes = size_t{1} << 20;

bool IsLineEnd(char byte) { return byte == '\r' || byte == '\n'; }

// Where the line after the one that ends at `end` (a CR or LF) starts.
size_t AfterLineEnd(std::string_view bytes, size_t end) {
  return bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? end + 2 : end + 1;
}

// Calls `atStart` with the start of every line of `bytes`, in order. False
// when `stopped` said so first.
template <class AtStart>
bool ForEachLineStart(std::string_view bytes, const PriceFileLines::StopPoll& stopped,
                      AtStart atStart) {
  size_t start = 0;
  size_t nextPoll = kPollBytes;
  while (start < bytes.size()) {
    if (start >= nextPoll) {
      if (stopped && stopped()) return false;
      nextPoll = start + kPollBytes;
    }
    atStart(start);
    const char* const from = bytes.data() + start;
    const char* const end = std::find_if(from, bytes.data() + bytes.size(), IsLineEnd);
    if (end == bytes.data() + bytes.size()) break;
    start = AfterLineEnd(bytes, static_cast<size_t>(end - bytes.data()));
  }
  return true;
}

}  // namespace

std::optional<PriceFileLines> PriceFileLines::Index(std::string bytes, const StopPoll& stopped) {
  // Counted first, so that the starts take their room once: grown by
  // doubling they would cost up to twice as much.
  size_t count = 0;
  if (!ForEachLineStart(bytes, stopped, [&count](size_t) { ++count; })) return std::nullopt;
  PriceFileLines lines;
  lines.starts_.reserve(count + 1);
  if (!ForEachLineStart(bytes, stopped,
                        [&lines](size_t start) { lines.starts_.push_back(start); })) {
    return std::nullopt;
  }
  lines.starts_.push_back(bytes.size());
  lines.bytes_ = std::move(bytes);
  return lines;
}

std::string_view PriceFileLines::Line(size_t row) const {
  const size_t start = starts_[row];
  size_t end = starts_[row + 1];
  // The next line starts after this one's end: CR LF, CR or LF. Only the last
  // line may have none.
  if (end > start && bytes_[end - 1] == '\n') {
    --end;
    if (end > start && bytes_[end - 1] == '\r') --end;
  } else if (end > start && bytes_[end - 1] == '\r') {
    --end;
  }
  return std::string_view(bytes_).substr(start, end - start);
}

std::optional<PriceFileLines> ReadPriceFileLines(const std::filesystem::path& file,
                                                 const PriceFileLines::StopPoll& stopped) {
  std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return PriceFileLines();  // a missing or unreadable file has no lines
  if (stopped && stopped()) return std::nullopt;
  return PriceFileLines::Index(std::move(*bytes), stopped);
}
