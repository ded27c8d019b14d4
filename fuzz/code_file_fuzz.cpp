// "Code.txt": any bytes as the file a user edited, read, written and read
// again.

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/code_file.h"
#include "data/code_table.h"
#include "fuzz_check.h"
#include "scratch_dir.h"
#include "vcl/cp932_text.h"

namespace {

bool SameTables(const CodeTable& a, const CodeTable& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 0; i < a.Count(); ++i) {
    const TCodeData& x = a.DataAt(i);
    const TCodeData& y = b.DataAt(i);
    if (a.CodeAt(i) != b.CodeAt(i) || x.Ng != y.Ng || x.Name != y.Name || x.Market != y.Market ||
        x.Type != y.Type || x.Unit != y.Unit || x.Vol != y.Vol || x.Loan != y.Loan) {
      return false;
    }
  }
  return true;
}

bool HoldsControlByte(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path& dir = fuzz::ScratchDir();
  const std::string input(fuzz::BytesOf(data, size));
  fuzz::WriteBytes(dir / "Code.txt", input);

  CodeTable table;
  table.Changed = true;
  LoadCodeFile(table, dir);
  FUZZ_CHECK(!table.Changed);
  FUZZ_CHECK(table.Count() <= static_cast<int>(vcl::SplitLines(input).size()));
  for (int i = 0; i < table.Count(); ++i) {
    FUZZ_CHECK(table.CodeAt(i).size() == 4);
    if (i > 0) FUZZ_CHECK(table.CodeAt(i - 1) < table.CodeAt(i));  // sorted, each code once
    const TCodeData& data = table.DataAt(i);
    FUZZ_CHECK(data.Type >= 0 && data.Type <= 33);
    FUZZ_CHECK(data.Loan == 0 || data.Loan == 1);
    FUZZ_CHECK(data.Ng == 0 || data.Ng == 1);
    // A TAB or a line end in a text would break the file.
    FUZZ_CHECK(!HoldsControlByte(data.Name) && !HoldsControlByte(data.Market));
  }

  // Written and read again, the table is the same, and so is the file it
  // writes next.
  table.Changed = true;
  FUZZ_CHECK(SaveCodeFile(table, dir));
  FUZZ_CHECK(!table.Changed);
  const std::string written = fuzz::ReadBytes(dir / "Code.txt");
  FUZZ_CHECK(written == vcl::JoinLinesCrlf(vcl::SplitLines(written)));
  CodeTable again;
  LoadCodeFile(again, dir);
  FUZZ_CHECK(SameTables(table, again));
  again.Changed = true;
  FUZZ_CHECK(SaveCodeFile(again, dir));
  FUZZ_CHECK(fuzz::ReadBytes(dir / "Code.txt") == written);
  return 0;
}
