// The line list's set-text: any bytes as a text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "vcl/tstrings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(fuzz::BytesOf(data, size));
  vcl::TStringList list;
  list.Add("before");
  list.SetText(std::string_view(input));

  // Both ways in read the text up to its first zero byte alike.
  vcl::TStringList fromPointer;
  static_cast<vcl::TStrings&>(fromPointer).SetText(input.c_str());
  FUZZ_CHECK(fromPointer.Lines() == list.Lines());

  // No line holds a line end or a zero byte, and the lines are the text's
  // bytes less its line ends, in order.
  const std::string_view text(input.c_str());
  std::string joined;
  for (int i = 0; i < list.GetCount(); ++i) {
    const std::string line = list.Get(i);
    FUZZ_CHECK(!fuzz::HoldsLineBreak(line) && line.find('\0') == std::string::npos);
    joined += line;
  }
  std::string withoutEnds;
  for (char c : text) {
    if (c != '\r' && c != '\n') withoutEnds += c;
  }
  FUZZ_CHECK(joined == withoutEnds);
  FUZZ_CHECK(static_cast<size_t>(list.GetCount()) <= text.size());

  // The list written out and read again is the same list.
  vcl::TStringList again;
  again.SetText(list.Text());
  FUZZ_CHECK(again.Lines() == list.Lines());
  return 0;
}
