// The encoding converter: any bytes as a received page, converted into
// buffers of every kind of size.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "nkf/nkf.h"

namespace {

bool IsSevenBit(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Converts into a heap buffer of exactly `outSize` bytes, so that a write past
// it is caught, and checks the cut against the whole result.
void CheckCut(const std::string& input, const std::string& whole, size_t outSize) {
  const auto buffer = std::make_unique<char[]>(outSize + 1);
  std::memset(buffer.get(), 'Z', outSize + 1);
  nkf::Convert(buffer.get(), outSize, input.c_str());
  if (outSize == 0) {
    FUZZ_CHECK(buffer[0] == 'Z');
    return;
  }
  const void* end = std::memchr(buffer.get(), '\0', outSize);
  FUZZ_CHECK(end != nullptr);
  const std::string cut(buffer.get());
  FUZZ_CHECK(cut.size() <= outSize - 1);
  FUZZ_CHECK(whole.compare(0, cut.size(), cut) == 0);
  if (cut.size() < whole.size()) {
    // Cut only where the next character did not fit, and never inside one.
    FUZZ_CHECK(fuzz::IsCharacterBoundary(whole, cut.size()));
    const size_t next = fuzz::IsLeadByte(whole[cut.size()]) ? 2 : 1;
    FUZZ_CHECK(cut.size() + next > outSize - 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(fuzz::BytesOf(data, size));
  const std::string_view text(input.c_str());  // the converter reads up to the first zero

  std::string roomy(text.size() * 3 + 16, 'Z');
  nkf::SetOption("s");
  nkf::Convert(roomy.data(), roomy.size(), input.c_str());
  FUZZ_CHECK(std::memchr(roomy.data(), '\0', roomy.size()) != nullptr);
  const std::string whole(roomy.c_str());
  // The library converts into a buffer as long as the page: no page may lose
  // its end there.
  FUZZ_CHECK(whole.size() <= text.size());

  for (const size_t outSize : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, whole.size() / 2,
                               whole.size(), whole.size() + 1, text.size() + 1}) {
    CheckCut(input, whole, outSize);
  }

  // A text that decodes as UTF-8 is read as UTF-8 by both conversions.
  const std::optional<std::string> fromUtf8 = nkf::Utf8ToCodePage932(text);
  if (fromUtf8 && !IsSevenBit(text)) FUZZ_CHECK(*fromUtf8 == whole);
  if (fromUtf8) FUZZ_CHECK(fromUtf8->size() <= text.size());
  nkf::Utf8ToCodePage932(input);  // zero bytes included
  return 0;
}
