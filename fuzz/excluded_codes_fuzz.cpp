// "C404.txt": any bytes as the exclusion list, loaded, saved and loaded again.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/excluded_codes.h"
#include "fuzz_check.h"
#include "scratch_dir.h"
#include "vcl/cp932_text.h"

namespace {

// Sorted, each code once, none empty, none holding a line end.
void CheckCodes(const ExcludedCodeList& list) {
  const std::vector<std::string>& codes = list.Codes();
  for (size_t i = 0; i < codes.size(); ++i) {
    FUZZ_CHECK(!codes[i].empty());
    FUZZ_CHECK(!fuzz::HoldsLineBreak(codes[i]));
    if (i > 0) FUZZ_CHECK(codes[i - 1] < codes[i]);
    FUZZ_CHECK(list.Contains(codes[i]));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path file = fuzz::ScratchDir() / "C404.txt";
  const std::string input(fuzz::BytesOf(data, size));
  fuzz::WriteBytes(file, input);

  ExcludedCodeList list;
  list.Load(file);
  FUZZ_CHECK(!list.Changed());
  CheckCodes(list);
  FUZZ_CHECK(list.Codes().size() <= vcl::SplitLines(input).size());
  // Every line that is not empty is in the list.
  for (const std::string& line : vcl::SplitLines(input)) {
    FUZZ_CHECK(line.empty() || list.Contains(line));
  }

  // An unchanged list leaves the user's file as it was.
  FUZZ_CHECK(list.Save(file));
  FUZZ_CHECK(fuzz::ReadBytes(file) == input);

  // Built again code by code, in reverse, the list is the same; saved, it is
  // its codes in CR LF lines, and loads as the same list.
  ExcludedCodeList rebuilt;
  rebuilt.Clear();
  for (auto code = list.Codes().rbegin(); code != list.Codes().rend(); ++code) rebuilt.Add(*code);
  if (!list.Codes().empty()) rebuilt.Add(list.Codes().front());
  FUZZ_CHECK(rebuilt.Codes() == list.Codes());
  FUZZ_CHECK(rebuilt.Changed());
  FUZZ_CHECK(rebuilt.Save(file));
  const std::string written = fuzz::ReadBytes(file);
  FUZZ_CHECK(written == vcl::JoinLinesCrlf(list.Codes()));
  ExcludedCodeList again;
  again.Load(file);
  FUZZ_CHECK(again.Codes() == list.Codes());
  return 0;
}
