// Price files: any bytes as the file of one code, read line by line (also as
// the code page's list reads them) and brought up to date through a stand-in
// for the quote library.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/price_file_lines.h"
#include "data/price_files.h"
#include "fake_ticvane.h"
#include "fuzz_check.h"
#include "scratch_dir.h"
#include "vcl/cp932_text.h"

namespace {

constexpr char kCode[] = "1332";

void CheckFields(const std::string& line) {
  const PriceLineFields split = SplitFields(line);
  const std::string fields[6] = {split.date, split.close, split.open,
                                 split.high, split.low,   split.volume};
  std::string joined;
  for (const std::string& field : fields) {
    FUZZ_CHECK(field.find('\t') == std::string::npos);
  }
  size_t tabs = 0;
  for (char c : line) tabs += c == '\t' ? 1 : 0;
  for (size_t i = 0; i < 6; ++i) {
    if (i > tabs) {
      FUZZ_CHECK(fields[i].empty());
      continue;
    }
    joined += fields[i];
    if (i < tabs) joined += '\t';
  }
  // Up to the sixth TAB the fields give the line back.
  FUZZ_CHECK(line.compare(0, joined.size(), joined) == 0);
  if (tabs <= 5) FUZZ_CHECK(joined == line);
  // A line that begins with a date has its close as the second field.
  if (fields[0].size() == 10 && tabs >= 1) FUZZ_CHECK(CloseOfLine(line) == fields[1]);
}

// Runs one update against a library that answers `result` with two new days.
UpdateResult Update(const std::filesystem::path& dir, int32_t result, FakeTicvane& library) {
  library.historyResult = result;
  library.records = {{2009, 9, 25, 1010, 1000, 1020, 990, 5000},
                     {2009, 9, 24, 1000, 990, 1005, 980, 4000}};
  std::string error;
  const UpdateResult outcome = UpdatePriceFile(library.Api(), 0, dir, kCode, &error);
  FUZZ_CHECK(library.LiveRecords() == 0 && library.foreignItemsCleared == 0);
  FUZZ_CHECK(library.updPastDataCalls.size() <= 1);
  // A file that does not begin with a date is never sent to the library.
  if (outcome == UpdateResult::kMalformedFile) FUZZ_CHECK(library.updPastDataCalls.empty());
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path& dir = fuzz::ScratchDir();
  const std::filesystem::path file = dir / (std::string(kCode) + ".txt");
  const std::string input(fuzz::BytesOf(data, size));
  fuzz::WriteBytes(file, input);

  const std::string firstLine = ReadFirstLine(file);
  const size_t end = input.substr(0, 80).find("\r\n");
  FUZZ_CHECK(firstLine == (end == std::string::npos ? std::string() : input.substr(0, end)));

  const std::vector<std::string> lines = vcl::SplitLines(input);
  for (const std::string& line : lines) CheckFields(line);

  // The code page's list cuts the same lines and fields from the file.
  const std::optional<PriceFileLines> shown = ReadPriceFileLines(file);
  FUZZ_CHECK(shown && shown->Count() == lines.size());
  for (size_t row = 0; row < lines.size(); ++row) {
    FUZZ_CHECK(shown->Line(row) == lines[row]);
    const PriceLineFields split = SplitFields(lines[row]);
    FUZZ_CHECK(shown->Fields(row) == (PriceLineFieldViews{split.date, split.close, split.open,
                                                          split.high, split.low, split.volume}));
  }

  {
    // A failed download leaves the file as it was.
    FakeTicvane library;
    const UpdateResult outcome = Update(dir, kTicvaneFailed, library);
    FUZZ_CHECK(outcome == UpdateResult::kMalformedFile || outcome == UpdateResult::kDownloadFailed);
    FUZZ_CHECK(fuzz::ReadBytes(file) == input);
  }
  FakeTicvane library;
  const UpdateResult outcome = Update(dir, kTicvaneOk, library);
  if (outcome != UpdateResult::kUpdated) {
    FUZZ_CHECK(outcome == UpdateResult::kMalformedFile);
    FUZZ_CHECK(fuzz::ReadBytes(file) == input);
    return 0;
  }
  // The new days newer than the file's newest (its first line's digits) on
  // top of every stored line, at most the longest file, each line ended by
  // CR LF.
  const std::string& newest = lines.front();
  int32_t stored = 0;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) stored = stored * 10 + (newest[i] - '0');
  std::vector<std::string> expected;
  for (const PastDataRecord& record : library.records) {
    if (record.Year * 10000 + record.Month * 100 + record.Day <= stored) break;
    expected.push_back(FormatPriceLine(record));
  }
  expected.insert(expected.end(), lines.begin(), lines.end());
  if (expected.size() > static_cast<size_t>(kPriceFileMaxLines)) {
    expected.resize(static_cast<size_t>(kPriceFileMaxLines));
  }
  FUZZ_CHECK(fuzz::ReadBytes(file) == vcl::JoinLinesCrlf(expected));
  return 0;
}
